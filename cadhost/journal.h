// The record of every change made to a drawing, for undo marks and undo steps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "cadhost/entity.h"

namespace cadhost {

// One change, as the two actions that take it back and make it again. Used
// for the changes of tables, blocks and the header, which are few.
struct Change {
  std::function<void()> undo;
  std::function<void()> redo;
};

// One change of one entity, recorded as data rather than as two closures:
// a replace run makes several per new reference, by the hundred thousand.
struct EntityChange {
  enum class Kind : std::uint8_t {
    Added,     // undo erases the entity, redo brings it back
    Erased,    // undo brings the entity back, redo erases it
    Replaced,  // the entity and `other` swap states, both ways
  };
  Kind kind = Kind::Added;
  EntityId id;
  std::unique_ptr<Entity> other;  // Replaced: the state not in the drawing
};

// Carries out entity changes for the journal: the drawing that owns it.
class EntityChangeTarget {
 public:
  virtual ~EntityChangeTarget() = default;
  virtual void SetEntityErased(EntityId id, bool erased) = 0;
  virtual void SwapEntityState(EntityId id, Entity& other) = 0;
};

// Owns the changes of one drawing, grouped into undo steps. Outside any undo
// mark each change is a step of its own; between the outermost StartMark and
// its EndMark all changes form one step. CancelMark takes back every change
// since the innermost open mark. Undo and Redo work on whole steps.
class Journal {
 public:
  explicit Journal(EntityChangeTarget& target) : target_(target) {}
  void Record(Change change);
  void Record(EntityChange change);
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
  // One recorded change, kept small: a run records millions of them.
  struct Entry {
    std::unique_ptr<Change> actions;  // set for a change recorded as two actions
    EntityChange change;              // otherwise
  };
  using Step = std::vector<Entry>;
  void Add(Entry entry);
  enum class Direction { TakeBack, MakeAgain };
  void Apply(Entry& entry, Direction direction);

  EntityChangeTarget& target_;
  std::vector<Entry> open_;         // changes of the step being built under marks
  std::vector<std::size_t> marks_;  // positions in open_ where open marks began
  std::vector<Step> done_;
  std::vector<Step> undone_;
  std::uint64_t version_ = 0;
};

}  // namespace cadhost
