#include "forms/number_text.h"

#include <cctype>
#include <charconv>
#include <string>

namespace forms {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Checks the shape of a number; std::from_chars alone would accept "inf",
// "nan" and stop early on trailing text, and refuses a leading "+".
bool HasNumberShape(std::string_view t) {
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < t.size() && IsDigit(t[i])) ++i, ++digits;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && IsDigit(t[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t exponentDigits = 0;
    while (i < t.size() && IsDigit(t[i])) ++i, ++exponentDigits;
    if (exponentDigits == 0) return false;
  }
  return i == t.size();
}

}  // namespace

std::optional<double> ParseNumber(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  if (!HasNumberShape(text)) return std::nullopt;
  if (text.front() == '+') text.remove_prefix(1);
  double value = 0.0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec == std::errc::result_out_of_range) return std::nullopt;
  if (result.ec != std::errc{} || result.ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace forms
