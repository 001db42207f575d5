// ASCII DXF: each tag is two lines, the group code and the value, ended by LF
// or CR LF.
#include <charconv>
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
    std::size_t lines = 0;
    for (const char* p = bytes.data(); (p = static_cast<const char*>(
                                            std::memchr(p, '\n', bytes.data() + size - p)));
         ++p)
      ++lines;
    list_.refs_.reserve(lines / 2 + 1);

    std::size_t line = 1;  // line number of the next line to read
    while (pos < size) {
      const std::size_t tagStart = pos;
      if (blank(bytes.substr(pos))) break;  // trailing blank lines
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
    const char* end = static_cast<const char*>(std::memchr(begin, '\n', bytes.size() - pos));
    std::size_t length = end ? static_cast<std::size_t>(end - begin) : bytes.size() - pos;
    pos += length + (end ? 1 : 0);
    if (length > 0 && begin[length - 1] == '\r') --length;
    return std::string_view(begin, length);
  }

  int parseCode(std::string_view text, std::size_t line) {
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
