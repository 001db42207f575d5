#include "host/rich_text_box.h"

#include "forms/text_format.h"

namespace host {

void RichTextBox::Document(StyledText document) { document_ = std::move(document); }

void RichTextBox::Text(const std::string& plainText) {
  StyledText document;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = plainText.find('\r', start);
    StyledParagraph paragraph;
    std::string line = plainText.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!line.empty()) paragraph.runs.push_back(StyledRun{std::move(line), false, false});
    document.paragraphs.push_back(std::move(paragraph));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  document_ = std::move(document);
}

std::string RichTextBox::Dump(const std::string& formName) const {
  return Kind() + " " + formName + "." + QualifiedName() + " caption=" + forms::QuoteText(Text()) +
         " visible=" + (Visible() ? "1" : "0") + " enabled=" + (Enabled() ? "1" : "0") +
         " color=" + ForeColor().Hex();
}

void RichTextBox::SaveDesignState() {
  Control::SaveDesignState();
  designDocument_ = document_;
}

void RichTextBox::RestoreDesignState() {
  Control::RestoreDesignState();
  document_ = designDocument_;
}

}  // namespace host
