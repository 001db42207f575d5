#include "app/script_mode.h"

#include <fstream>
#include <iostream>
#include <memory>

#include "app/program.h"
#include "app/script_port.h"
#include "app/script_runner.h"

namespace app {
namespace {

std::string ScriptName(const std::string& path) { return path == "-" ? "stdin" : path; }

// --save: the host saves the active drawing to the path when the program ends.
bool SaveAtEnd(const Program& program, const std::string& path, std::ostream& err) {
  const std::optional<std::string> failure = program.SaveActiveDrawing(path);
  if (!failure) return true;
  err << "cindral: --save " << path << ": " << *failure << '\n';
  return false;
}

}  // namespace

int RunScript(const Options& options, std::istream& standardInput, std::ostream& out, std::ostream& err) {
  const std::string& path = *options.scriptPath;
  const std::string name = ScriptName(path);
  std::vector<ScriptLine> lines;
  try {
    if (path == "-") {
      lines = ReadScript(standardInput);
    } else {
      std::ifstream file(path, std::ios::binary);
      if (!file) {
        err << "cindral: cannot read script " << path << '\n';
        return 2;
      }
      lines = ReadScript(file);
    }
  } catch (const ScriptSyntaxError& failure) {
    err << name << ':' << failure.line() << ": " << failure.what() << '\n';
    return 2;
  }

  ScriptCursor cursor(std::move(lines));
  auto port = std::make_shared<ScriptPort>(out, cursor);
  std::unique_ptr<Program> program;
  try {
    program = std::make_unique<Program>(options, *port, port);
  } catch (const StartError& failure) {
    err << "cindral: " << failure.what() << '\n';
    return 2;
  }
  ScriptRunner runner(*program, *port, cursor);
  try {
    runner.Run();
  } catch (const ScriptLineError& failure) {
    out.flush();
    err << name << ':' << failure.line() << ": " << failure.what() << '\n';
    return 2;
  } catch (const std::exception& failure) {
    // Outside any handler (the boundary catches inside them): say where the
    // run was and stop, instead of ending without a word.
    out.flush();
    err << name << ':' << cursor.Current() << ": " << failure.what() << '\n';
    return 2;
  }
  out.flush();
  if (options.savePath && !SaveAtEnd(*program, *options.savePath, err)) return 1;
  return 0;
}

}  // namespace app
