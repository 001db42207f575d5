// A small reader for rich-text (RTF) files such as the program's notes: it
// keeps the text with its paragraphs, bold and italic, and leaves out fonts,
// colours, styles, pictures and every other destination it does not show.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace host {

// A malformed or unreadable rich-text file; `what()` says what is wrong and where.
class RtfError : public std::runtime_error {
 public:
  explicit RtfError(const std::string& message) : std::runtime_error(message) {}
};

// A stretch of text in one style. Text is UTF-8; "\t" is a tab and "\n" a line
// break inside the paragraph.
struct StyledRun {
  std::string text;
  bool bold = false;
  bool italic = false;
  friend bool operator==(const StyledRun&, const StyledRun&) = default;
};

// One paragraph; an empty paragraph is a blank line.
struct StyledParagraph {
  std::vector<StyledRun> runs;
  std::string Text() const;
  friend bool operator==(const StyledParagraph&, const StyledParagraph&) = default;
};

// The whole document, as the notes viewer renders it.
struct StyledText {
  std::vector<StyledParagraph> paragraphs;
  // The text without styles, paragraphs joined by carriage returns ("\r").
  std::string PlainText() const;
  friend bool operator==(const StyledText&, const StyledText&) = default;
};

// Reads a rich-text document; throws RtfError when it is malformed.
StyledText ReadRtf(std::string_view rtf);

// Reads a rich-text file; throws RtfError when it cannot be read, is larger
// than `kMaxRtfFileBytes` or is malformed.
StyledText ReadRtfFile(const std::filesystem::path& file);

inline constexpr std::uintmax_t kMaxRtfFileBytes = 64u * 1024u * 1024u;

}  // namespace host
