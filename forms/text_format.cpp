#include "forms/text_format.h"

#include "forms/color.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace forms {

std::string Rgb::Hex() const {
  std::array<char, 8> buffer{};
  std::snprintf(buffer.data(), buffer.size(), "#%02X%02X%02X", red, green, blue);
  return std::string(buffer.data());
}

std::string EscapeText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out += c;
    }
  }
  return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string QuoteText(std::string_view text) { return "\"" + EscapeText(text) + "\""; }

std::string FormatSingle(float value) {
  // Fixed notation, shortest round-trip digits: a float needs at most 39
  // integer digits plus sign, point and fraction.
  std::array<char, 64> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::fixed);
  std::string text(buffer.data(), result.ptr);
  return text == "-0" ? "0" : text;
}

}  // namespace forms
