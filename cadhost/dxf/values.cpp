#include "cadhost/dxf/values.h"

#include <charconv>
#include <cmath>

namespace cadhost::dxf {

namespace {
std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  return text;
}
}  // namespace

double toDouble(std::string_view text, double fallback) {
  text = trimmed(text);
  double value = 0.0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end == text.data() || !std::isfinite(value)) return fallback;
  return value;
}

int toInt(std::string_view text, int fallback) {
  text = trimmed(text);
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end == text.data()) return fallback;
  return value;
}

std::string formatDouble(double value) {
  if (value == 0.0) return "0.0";  // also turns -0 into 0
  char buffer[32];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  std::string text(buffer, result.ptr);
  // Other programs expect a decimal point in a real value.
  if (text.find_first_of(".eE") == std::string::npos) text += ".0";
  return text;
}

}  // namespace cadhost::dxf
