#include "app/script_reader.h"

#include <cctype>

namespace app {

std::vector<std::string> TokeniseScriptLine(const std::string& text, int lineNumber) {
  std::vector<std::string> tokens;
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    while (i < n && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r')) ++i;
    if (i >= n) break;
    std::string token;
    if (text[i] == '"') {
      ++i;
      bool closed = false;
      while (i < n) {
        const char c = text[i++];
        if (c == '"') {
          closed = true;
          break;
        }
        if (c != '\\') {
          token += c;
          continue;
        }
        if (i >= n) break;
        switch (const char e = text[i++]) {
          case '"': token += '"'; break;
          case '\\': token += '\\'; break;
          case 't': token += '\t'; break;
          case 'r': token += '\r'; break;
          case 'n': token += '\n'; break;
          default:
            throw ScriptSyntaxError(lineNumber, std::string("unknown escape \\") + e);
        }
      }
      if (!closed) throw ScriptSyntaxError(lineNumber, "unterminated quoted text");
      if (i < n && text[i] != ' ' && text[i] != '\t' && text[i] != '\r') {
        throw ScriptSyntaxError(lineNumber, "a blank must follow quoted text");
      }
    } else {
      while (i < n && text[i] != ' ' && text[i] != '\t' && text[i] != '\r') token += text[i++];
    }
    tokens.push_back(std::move(token));
  }
  return tokens;
}

std::vector<ScriptLine> ReadScript(std::istream& in) {
  std::vector<ScriptLine> lines;
  std::string text;
  int number = 0;
  while (std::getline(in, text)) {
    ++number;
    std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos || text[first] == '#') continue;
    std::vector<std::string> tokens = TokeniseScriptLine(text, number);
    ScriptLine line;
    line.number = number;
    line.verb = tokens.front();
    line.args.assign(tokens.begin() + 1, tokens.end());
    lines.push_back(std::move(line));
  }
  return lines;
}

std::optional<ControlAddress> ParseControlAddress(const std::string& token) {
  auto isName = [](const std::string& s) {
    if (s.empty()) return false;
    for (unsigned char c : s) {
      if (!std::isalnum(c) && c != '_') return false;
    }
    return true;
  };
  ControlAddress address;
  const std::size_t dot = token.find('.');
  address.form = token.substr(0, dot);
  if (!isName(address.form)) return std::nullopt;
  if (dot == std::string::npos) return address;
  std::string rest = token.substr(dot + 1);
  const std::size_t open = rest.find('(');
  if (open != std::string::npos) {
    if (rest.back() != ')' || open + 2 > rest.size() - 1) return std::nullopt;
    const std::string digits = rest.substr(open + 1, rest.size() - open - 2);
    for (unsigned char c : digits) {
      if (!std::isdigit(c)) return std::nullopt;
    }
    if (digits.size() > 6) return std::nullopt;
    address.index = std::stoi(digits);
    rest = rest.substr(0, open);
  }
  if (!isName(rest)) return std::nullopt;
  address.control = rest;
  return address;
}

std::string EscapeTranscriptText(const std::string& text) {
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

}  // namespace app
