// The record of every change made to a drawing, for undo marks and undo steps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace cadhost {

// One change, as the two actions that take it back and make it again.
struct Change {
  std::function<void()> undo;
  std::function<void()> redo;
};

// Owns the changes of one drawing, grouped into undo steps. Outside any undo
// mark each change is a step of its own; between the outermost StartMark and
// its EndMark all changes form one step. CancelMark takes back every change
// since the innermost open mark. Undo and Redo work on whole steps.
class Journal {
 public:
  void Record(Change change);
  void StartMark();
  // Closes the innermost mark; false when no mark is open.
  bool EndMark();
  // Takes back every change since the innermost open mark and closes it;
  // false when no mark is open.
  bool CancelMark();
  bool Undo();
  bool Redo();
  int OpenMarks() const { return static_cast<int>(marks_.size()); }
  bool CanUndo() const { return !done_.empty(); }
  bool CanRedo() const { return !undone_.empty(); }
  // Grows with every change, undo and redo: a drawing is unchanged since a
  // save while this is what it was then.
  std::uint64_t Version() const { return version_; }

 private:
  using Step = std::vector<Change>;
  std::vector<Change> open_;        // changes of the step being built under marks
  std::vector<std::size_t> marks_;  // positions in open_ where open marks began
  std::vector<Step> done_;
  std::vector<Step> undone_;
  std::uint64_t version_ = 0;
};

}  // namespace cadhost
