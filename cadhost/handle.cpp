#include "cadhost/handle.h"

#include <charconv>

namespace cadhost {

std::string HandleText(Handle handle) {
  char buffer[17];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, handle, 16);
  std::string text(buffer, end);
  for (char& c : text)
    if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

std::optional<Handle> ParseHandle(std::string_view text) {
  if (text.empty() || text.size() > 16) return std::nullopt;
  Handle value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace cadhost
