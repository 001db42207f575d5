// Reads a gesture script: one user action per line, tokens separated by blanks.
#pragma once

#include <istream>
#include <stdexcept>
#include <string>
#include <vector>

namespace app {

// A script line that cannot be read; `line` is 1-based.
class ScriptSyntaxError : public std::runtime_error {
 public:
  ScriptSyntaxError(int line, const std::string& reason)
      : std::runtime_error(reason), line_(line) {}
  int line() const { return line_; }

 private:
  int line_;
};

// One gesture: its verb (`click`, `choose`, `host`, ...) and the tokens after it.
struct ScriptLine {
  int number = 0;  // 1-based line number in the script file
  std::string verb;
  std::vector<std::string> args;
};

// Splits one line into tokens. A token holding blanks is written in double quotes,
// where \" \\ \t and \r stand for a quote, a backslash, a tab and a carriage return.
std::vector<std::string> TokeniseScriptLine(const std::string& text, int lineNumber);

// Reads every gesture of a script, skipping blank lines and lines starting with '#'.
std::vector<ScriptLine> ReadScript(std::istream& in);

}  // namespace app
