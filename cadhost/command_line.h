// The host's command line: typed commands and their answers, with a history.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cadhost/drawing.h"

namespace cadhost {

// Reads command input as a CAD command line does: a carriage return, line
// feed or space ends each word; an empty answer takes the prompt's default.
// A command that still waits for answers when the input runs out keeps
// waiting for the next input. Escape (or Ctrl+C) cancels it. Unknown commands
// are reported in the history, never thrown. Understood: POLYGON (a regular
// polygon drawn as a closed lightweight polyline on the current layer).
class CommandLine {
 public:
  CommandLine();
  ~CommandLine();

  void Run(Drawing& drawing, const std::string& input);
  // Every prompt, answer and message, oldest first.
  const std::vector<std::string>& History() const { return history_; }
  bool Busy() const { return static_cast<bool>(active_); }
  // Called with each line added to the history (the host window shows them).
  std::function<void(const std::string&)> onLine;

  // A running command: answers one word at a time.
  class Command {
   public:
    virtual ~Command() = default;
    virtual std::string Prompt() const = 0;
    // Takes one answer; returns a message to show (an error that makes the
    // prompt repeat), or nothing.
    virtual std::optional<std::string> Answer(Drawing& drawing, const std::string& word) = 0;
    virtual bool Done() const = 0;
  };

 private:
  void Word(Drawing& drawing, const std::string& word);
  void Add(const std::string& line);

  std::unique_ptr<Command> active_;
  std::vector<std::string> history_;
  std::string pendingPrompt_;
};

}  // namespace cadhost
