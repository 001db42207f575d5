// The text encoding of a drawing file and the UTF-8 the host works in.
#pragma once

#include <string>
#include <string_view>

namespace cadhost::dxf {

// Converts text values between a file's encoding and UTF-8. R2007 (AC1021) and
// newer files are UTF-8; older ones use the code page named by $DWGCODEPAGE
// ("ANSI_1252") and write characters outside it as \U+XXXX escapes.
class TextCodec {
 public:
  TextCodec(std::string_view acadVer, std::string_view codePage);

  // File text to UTF-8, \U+XXXX escapes decoded.
  std::string decode(std::string_view fileText) const;
  // UTF-8 to file text: UTF-8 as is for newer files; the code page for older
  // ones, with \U+XXXX for what the code page lacks.
  std::string encode(std::string_view text) const;

  bool utf8() const { return charset_.empty(); }

 private:
  std::string charset_;  // iconv name of the code page; empty for UTF-8
};

}  // namespace cadhost::dxf
