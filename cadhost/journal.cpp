#include "cadhost/journal.h"

#include <ranges>

namespace cadhost {

void Journal::Record(Change change) {
  ++version_;
  undone_.clear();
  if (marks_.empty())
    done_.push_back(Step{std::move(change)});
  else
    open_.push_back(std::move(change));
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
  for (std::size_t i = open_.size(); i > begin; --i) open_[i - 1].undo();
  open_.resize(begin);
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
  for (auto& change : std::views::reverse(step)) change.undo();
  undone_.push_back(std::move(step));
  ++version_;
  return true;
}

bool Journal::Redo() {
  if (!marks_.empty() || undone_.empty()) return false;
  Step step = std::move(undone_.back());
  undone_.pop_back();
  for (auto& change : step) change.redo();
  done_.push_back(std::move(step));
  ++version_;
  return true;
}

}  // namespace cadhost
