// Carries out a gesture script against the program, line by line.
#pragma once

#include <string>

#include "app/program.h"
#include "app/script_port.h"

namespace app {

// Owns nothing; drives the program with the script's gestures through the
// same window models and handlers as the desktop. Lines that cannot be
// carried out throw ScriptLineError.
class ScriptRunner {
 public:
  ScriptRunner(Program& program, ScriptPort& port, ScriptCursor& cursor);

  // Starts the program, carries out every line while it runs, closes the
  // main frame when the script runs out, and prints `end`.
  void Run();

  // One line (also the `dump` and `host` lines a showing box lets through).
  void Execute(const ScriptLine& line);

 private:
  forms::Form& FindForm(const ScriptLine& line, const std::string& name) const;
  forms::Control& FindControl(const ScriptLine& line, std::size_t argument) const;
  template <class ControlType>
  ControlType& FindControlOf(const ScriptLine& line, std::size_t argument, const char* what) const;
  void Click(const ScriptLine& line);
  void Choose(const ScriptLine& line);
  void Dump(const ScriptLine& line);
  void HostAction(const ScriptLine& line);
  void PrintImportNotices();
  void Save(const ScriptLine& line);
  std::shared_ptr<cadhost::HostApplication> UserHost(const ScriptLine& line) const;

  Program& program_;
  ScriptPort& port_;
  ScriptCursor& cursor_;
};

}  // namespace app
