#include "forms/simple_controls.h"

#include "forms/text_format.h"

#include <cmath>

namespace forms {

// ---- CheckBox ----

void CheckBox::Value(int value) {
  if (value != 0 && value != 1) Fail("value must be 0 or 1, not " + std::to_string(value));
  if (value == value_) return;
  value_ = value;
  RaiseEvent(onClick);
}

void CheckBox::UserClick() {
  BeginUserGesture();
  Value(1 - value_);
}

std::string CheckBox::DumpValue() const { return "value=" + std::to_string(value_); }

void CheckBox::SaveDesignState() {
  Control::SaveDesignState();
  designValue_ = value_;
}

void CheckBox::RestoreDesignState() {
  Control::RestoreDesignState();
  value_ = designValue_;
}

// ---- OptionButton ----

void OptionButton::Value(bool value) {
  if (!value) {
    value_ = false;
    return;
  }
  for (OptionButton* other : group_) {
    if (other != this) other->value_ = false;
  }
  value_ = true;
  RaiseEvent(onClick);
}

void OptionButton::UserClick() {
  BeginUserGesture();
  Value(true);
}

std::string OptionButton::DumpValue() const { return std::string("value=") + (value_ ? "1" : "0"); }

void OptionButton::SaveDesignState() {
  Control::SaveDesignState();
  designValue_ = value_;
}

void OptionButton::RestoreDesignState() {
  Control::RestoreDesignState();
  value_ = designValue_;
}

// ---- ProgressBar ----

void ProgressBar::Min(float min) {
  if (std::isnan(min) || min > range_.max) Fail("minimum " + FormatSingle(min) + " is above the maximum " + FormatSingle(range_.max));
  range_.min = min;
  if (range_.value < min) range_.value = min;
}

void ProgressBar::Max(float max) {
  if (std::isnan(max) || max < range_.min) Fail("maximum " + FormatSingle(max) + " is below the minimum " + FormatSingle(range_.min));
  range_.max = max;
  if (range_.value > max) range_.value = max;
}

void ProgressBar::Value(float value) {
  if (!(value >= range_.min && value <= range_.max)) {
    Fail("value " + FormatSingle(value) + " is outside " + FormatSingle(range_.min) + " to " +
         FormatSingle(range_.max));
  }
  range_.value = value;
}

std::string ProgressBar::DumpValue() const {
  return "value=" + FormatSingle(range_.value) + " min=" + FormatSingle(range_.min) +
         " max=" + FormatSingle(range_.max);
}

void ProgressBar::SaveDesignState() {
  Control::SaveDesignState();
  designRange_ = range_;
}

void ProgressBar::RestoreDesignState() {
  Control::RestoreDesignState();
  range_ = designRange_;
}

}  // namespace forms
