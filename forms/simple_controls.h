// Controls with a caption and at most one value: label, command button, frame,
// check box, option button and progress bar.
#pragma once

#include "forms/control.h"

#include <vector>

namespace forms {

// A text on the form. Takes clicks, never the focus.
class Label : public Control {
 public:
  using Control::Control;
  std::string Kind() const override { return "label"; }
};

// A push button: a click runs its Click handler.
class CommandButton : public Control {
 public:
  using Control::Control;
  std::string Kind() const override { return "button"; }
  bool CanTakeFocus() const override { return true; }
};

// A captioned box that groups controls; controls placed in it with
// `Container(&frame)` are hidden and disabled with it.
class Frame : public Control {
 public:
  using Control::Control;
  std::string Kind() const override { return "frame"; }
};

// A check box whose value is 0 (clear) or 1 (ticked). Setting a different
// value runs Click, from the program or from the user's click, which toggles it.
class CheckBox : public Control {
 public:
  using Control::Control;
  std::string Kind() const override { return "check"; }
  bool CanTakeFocus() const override { return true; }

  int Value() const { return value_; }
  // 0 or 1; anything else is refused.
  void Value(int value);
  void UserClick() override;

 protected:
  std::string DumpValue() const override;
  void SaveDesignState() override;
  void RestoreDesignState() override;

 private:
  int value_ = 0;
  int designValue_ = 0;
};

// An option button. Buttons of one control array form a group: setting one to
// true clears the others (which raise nothing) and runs the chosen one's Click,
// also when it was already set.
class OptionButton : public Control {
 public:
  using Control::Control;
  std::string Kind() const override { return "option"; }
  bool CanTakeFocus() const override { return true; }

  bool Value() const { return value_; }
  void Value(bool value);
  void UserClick() override;

  // The buttons that are cleared when this one is chosen (set by ControlArray).
  void Group(std::vector<OptionButton*> members) { group_ = std::move(members); }

 protected:
  std::string DumpValue() const override;
  void SaveDesignState() override;
  void RestoreDesignState() override;

 private:
  bool value_ = false;
  bool designValue_ = false;
  std::vector<OptionButton*> group_;
};

// A progress bar with single-precision Min, Max and Value. The value must lie
// within Min..Max; moving a bound past the value brings the value along.
class ProgressBar : public Control {
 public:
  using Control::Control;
  std::string Kind() const override { return "progress"; }

  float Min() const { return range_.min; }
  void Min(float min);
  float Max() const { return range_.max; }
  void Max(float max);
  float Value() const { return range_.value; }
  void Value(float value);

 protected:
  std::string DumpValue() const override;
  void SaveDesignState() override;
  void RestoreDesignState() override;

 private:
  struct Range {
    float min = 0.0F;
    float max = 100.0F;
    float value = 0.0F;
  };
  Range range_;
  Range designRange_;
};

}  // namespace forms
