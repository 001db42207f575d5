// ASCII DXF: each tag is two lines, the group code and the value, ended by LF
// or CR LF.
#include <charconv>
#include <cstdint>
#include <cstring>

#include "cadhost/dxf/error.h"
#include "cadhost/dxf/tag_reader.h"

namespace cadhost::dxf {

namespace {

// A line's text for an error message: printable and short.
std::string shown(std::string_view text) {
  std::string out;
  for (char c : text.substr(0, 40)) out += (c >= 32 && c < 127) ? c : '?';
  if (text.size() > 40) out += "...";
  return out;
}

bool blank(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// The number of line feeds in `text`, eight bytes at a time: one pass over a
// large file, where a call per line would cost more than the reading itself.
std::size_t countLineFeeds(std::string_view text) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
  std::size_t count = 0;
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    const std::uint64_t x = word ^ (kOnes * '\n');  // zero bytes where the line feeds are
    // High bit set in each byte of x that is not zero, exactly.
    const std::uint64_t nonZero = ((x & kLow7) + kLow7) | x;
    // One in the low bit of each such byte; the multiplication sums them in the top byte.
    count += static_cast<std::size_t>((((~nonZero & (kOnes << 7)) >> 7) * kOnes) >> 56);
  }
  for (; i < text.size(); ++i) count += text[i] == '\n' ? 1 : 0;
  return count;
}

}  // namespace

class AsciiTagReader {
 public:
  AsciiTagReader(TagList& list, const std::string& fileName) : list_(list), fileName_(fileName) {}

  void read() {
    const std::string_view bytes = list_.bytes_;
    const std::size_t size = bytes.size();
    std::size_t pos = 0;
    // A byte-order mark stays in the preamble so the file is written back as read.
    if (bytes.starts_with("\xEF\xBB\xBF")) pos = 3;
    const char* nl = static_cast<const char*>(std::memchr(bytes.data(), '\n', size));
    list_.crlf_ = nl && nl != bytes.data() && nl[-1] == '\r';

    // Two lines per tag: reserving from the line count avoids regrowing a
    // vector as large as the file.
    list_.refs_.reserve(countLineFeeds(bytes) / 2 + 1);

    std::size_t line = 1;  // line number of the next line to read
    while (pos < size) {
      const std::size_t tagStart = pos;
      const char first = bytes[pos];
      const bool digit = (first >= '0' && first <= '9') || first == '-';
      if (!digit && blank(bytes.substr(pos))) break;  // trailing blank lines
      std::string_view codeLine = nextLine(pos);
      const int code = parseCode(codeLine, line);
      if (pos >= size) fail(line, "group code " + std::to_string(code) + " has no value line");
      const std::size_t valueStart = pos;
      std::string_view valueLine = nextLine(pos);
      line += 2;
      const std::size_t skip = valueStart - tagStart;
      list_.refs_.push_back(TagRef{static_cast<std::uint32_t>(tagStart), static_cast<std::int16_t>(code),
                                   skip < TagRef::kFarValue ? static_cast<std::uint16_t>(skip) : TagRef::kFarValue});
      if (code == 0 && valueLine == "EOF") break;
    }
    list_.rawEnd_ = static_cast<std::uint32_t>(pos);
  }

 private:
  // The line at `pos` without its line ending; moves `pos` past it.
  std::string_view nextLine(std::size_t& pos) {
    const std::string_view bytes = list_.bytes_;
    const char* begin = bytes.data() + pos;
    // Most lines are a few bytes: a plain loop beats a library call per line.
    const char* limit = bytes.data() + bytes.size();
    const char* end = begin;
    while (end != limit && *end != '\n') ++end;
    const bool feed = end != limit;
    std::size_t length = static_cast<std::size_t>(end - begin);
    pos += length + (feed ? 1 : 0);
    if (length > 0 && begin[length - 1] == '\r') --length;
    return std::string_view(begin, length);
  }

  int parseCode(std::string_view text, std::size_t line) {
    // The usual form: optional spaces, then one to four digits.
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    if (i < text.size() && text.size() - i <= 4) {
      int code = 0;
      std::size_t j = i;
      while (j < text.size() && text[j] >= '0' && text[j] <= '9') code = code * 10 + (text[j++] - '0');
      if (j == text.size()) return code;
    }
    return parseCodeInFull(text, line);
  }

  // Any other form: tabs, signs, trailing blanks, and the faults.
  int parseCodeInFull(std::string_view text, std::size_t line) {
    const std::size_t first = text.find_first_not_of(" \t");
    const std::size_t last = text.find_last_not_of(" \t");
    std::string_view digits =
        first == std::string_view::npos ? std::string_view{} : text.substr(first, last - first + 1);
    int code = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), code);
    if (digits.empty() || ec != std::errc{} || end != digits.data() + digits.size())
      fail(line, "expected a group code, found \"" + shown(text) + "\"");
    if (code < -9999 || code > 9999) fail(line, "group code " + std::to_string(code) + " is out of range");
    return code;
  }

  [[noreturn]] void fail(std::size_t line, const std::string& what) const {
    throw DxfError(fileName_ + ", line " + std::to_string(line) + ": " + what);
  }

  TagList& list_;
  const std::string& fileName_;
};

void readAsciiTags(TagList& list, const std::string& fileName) {
  AsciiTagReader(list, fileName).read();
}

}  // namespace cadhost::dxf
