// A picture on a window: an image shown by name, taking clicks but never the focus.
#pragma once

#include <string>

#include "forms/control.h"
#include "forms/text_format.h"

namespace forms {

// Owns the name of the image it shows (a resource the skin resolves); the
// model never loads the image itself.
class PictureBox : public Control {
 public:
  using Control::Control;
  std::string Kind() const override { return "picture"; }

  const std::string& Picture() const { return picture_; }
  void Picture(std::string name) { picture_ = std::move(name); }

 protected:
  std::string DumpValue() const override { return "picture=" + QuoteText(picture_); }
  void SaveDesignState() override {
    Control::SaveDesignState();
    designPicture_ = picture_;
  }
  void RestoreDesignState() override {
    Control::RestoreDesignState();
    picture_ = designPicture_;
  }

 private:
  std::string picture_;
  std::string designPicture_;
};

}  // namespace forms
