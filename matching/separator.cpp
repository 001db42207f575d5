#include "matching/separator.h"

#include <algorithm>
#include <cctype>

namespace matching {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

std::string JoinText(const std::string& storedSeparator) {
  const std::string lower = Lower(storedSeparator);
  if (lower == "none" || lower == "'none'") return {};
  if (lower == "space" || lower == "'space'") return " ";
  return storedSeparator;
}

}  // namespace matching
