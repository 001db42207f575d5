// A read-only rich-text box: paragraphs with bold and italic runs, or plain text.
#pragma once

#include <string>

#include "forms/control.h"
#include "host/rtf_reader.h"

namespace host {

// Owns the document the box shows. Setting the plain text replaces the
// document by unstyled paragraphs (one per carriage-return separated line);
// setting a styled document keeps its runs for the skin to render. The dump
// shows the plain text as the caption.
class RichTextBox : public forms::Control {
 public:
  using Control::Control;
  std::string Kind() const override { return "richtext"; }
  bool CanTakeFocus() const override { return true; }

  const StyledText& Document() const { return document_; }
  void Document(StyledText document);
  std::string Text() const { return document_.PlainText(); }
  void Text(const std::string& plainText);

  std::string Dump(const std::string& formName) const override;

 protected:
  void SaveDesignState() override;
  void RestoreDesignState() override;

 private:
  StyledText document_;
  StyledText designDocument_;
};

}  // namespace host
