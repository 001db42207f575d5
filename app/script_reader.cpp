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

}  // namespace app
