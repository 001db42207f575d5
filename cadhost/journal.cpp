#include "cadhost/journal.h"

#include <ranges>

namespace cadhost {

void Journal::Record(Change change) {
  Add(Entry{std::make_unique<Change>(std::move(change)), {}});
}

void Journal::Record(EntityChange change) { Add(Entry{nullptr, std::move(change)}); }

void Journal::Add(Entry entry) {
  ++version_;
  undone_.clear();
  if (marks_.empty()) {
    Step step;
    step.push_back(std::move(entry));
    done_.push_back(std::move(step));
  } else {
    open_.push_back(std::move(entry));
  }
}

void Journal::Apply(Entry& entry, Direction direction) {
  const bool back = direction == Direction::TakeBack;
  if (entry.actions) {
    back ? entry.actions->undo() : entry.actions->redo();
    return;
  }
  EntityChange& change = entry.change;
  switch (change.kind) {
    case EntityChange::Kind::Added: target_.SetEntityErased(change.id, back); break;
    case EntityChange::Kind::Erased: target_.SetEntityErased(change.id, !back); break;
    // A swap of states goes either way.
    case EntityChange::Kind::Replaced: target_.SwapEntityState(change.id, *change.other); break;
  }
}

void Journal::StartMark() { marks_.push_back(open_.size()); }

bool Journal::EndMark() {
  if (marks_.empty()) return false;
  marks_.pop_back();
  if (marks_.empty() && !open_.empty()) {
    done_.push_back(std::move(open_));
    open_.clear();
  }
  return true;
}

bool Journal::CancelMark() {
  if (marks_.empty()) return false;
  std::size_t begin = marks_.back();
  marks_.pop_back();
  for (std::size_t i = open_.size(); i > begin; --i) Apply(open_[i - 1], Direction::TakeBack);
  open_.erase(open_.begin() + static_cast<std::ptrdiff_t>(begin), open_.end());
  ++version_;
  if (marks_.empty() && !open_.empty()) {
    done_.push_back(std::move(open_));
    open_.clear();
  }
  return true;
}

bool Journal::Undo() {
  if (!marks_.empty() || done_.empty()) return false;
  Step step = std::move(done_.back());
  done_.pop_back();
  for (auto& entry : std::views::reverse(step)) Apply(entry, Direction::TakeBack);
  undone_.push_back(std::move(step));
  ++version_;
  return true;
}

bool Journal::Redo() {
  if (!marks_.empty() || undone_.empty()) return false;
  Step step = std::move(undone_.back());
  undone_.pop_back();
  for (auto& entry : step) Apply(entry, Direction::MakeAgain);
  done_.push_back(std::move(step));
  ++version_;
  return true;
}

}  // namespace cadhost
