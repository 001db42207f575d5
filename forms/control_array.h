// Control arrays: several controls of one kind sharing a name, addressed by
// index (`OptRepWith(1)`).
#pragma once

#include "forms/control.h"
#include "forms/simple_controls.h"

#include <deque>
#include <string>
#include <utility>
#include <type_traits>

namespace forms {

// Owns the controls of one array, indexed from 0. Option buttons of an array
// form one group: choosing one clears the others.
template <class ControlType>
class ControlArray {
 public:
  ControlArray(std::string name, int count) : name_(std::move(name)) {
    for (int i = 0; i < count; ++i) members_.emplace_back(name_, i);
    if constexpr (std::is_same_v<ControlType, OptionButton>) {
      std::vector<OptionButton*> group;
      for (auto& member : members_) group.push_back(&member);
      for (auto& member : members_) member.Group(group);
    }
  }
  ControlArray(const ControlArray&) = delete;
  ControlArray& operator=(const ControlArray&) = delete;

  const std::string& Name() const { return name_; }
  int Count() const { return static_cast<int>(members_.size()); }

  ControlType& operator()(int index) { return members_.at(Checked(index)); }
  const ControlType& operator()(int index) const { return members_.at(Checked(index)); }

  // Index of the first option button that is set, or -1 (option arrays).
  int Chosen() const {
    for (std::size_t i = 0; i < members_.size(); ++i) {
      if (members_[i].Value()) return static_cast<int>(i);
    }
    return -1;
  }

  auto begin() { return members_.begin(); }
  auto end() { return members_.end(); }

 private:
  std::size_t Checked(int index) const {
    if (index < 0 || index >= Count()) {
      throw ControlError(name_ + "(" + std::to_string(index) + ") does not exist (" +
                         std::to_string(Count()) + " controls)");
    }
    return static_cast<std::size_t>(index);
  }

  std::string name_;
  // A deque keeps every member at its address (handlers and groups hold pointers).
  std::deque<ControlType> members_;
};

}  // namespace forms
