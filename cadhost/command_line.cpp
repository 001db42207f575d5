#include "cadhost/command_line.h"

#include "cadhost/names.h"
#include "cadhost/polygon_command.h"

namespace cadhost {

CommandLine::CommandLine() = default;
CommandLine::~CommandLine() = default;

void CommandLine::Add(const std::string& line) {
  history_.push_back(line);
  if (onLine) onLine(line);
}

void CommandLine::Run(Drawing& drawing, const std::string& input) {
  std::string word;
  for (char c : input) {
    if (c == '\x1b' || c == '\x03') {
      word.clear();
      if (active_) {
        Add(pendingPrompt_ + "*Cancel*");
        active_.reset();
      }
    } else if (c == '\r' || c == '\n' || c == ' ') {
      Word(drawing, word);
      word.clear();
    } else {
      word += c;
    }
  }
  // Words are only complete when ended; what is left stays typed but unsent,
  // as on a command line, and is dropped.
  if (!word.empty()) Add("Command: " + word + " (not ended by Enter, ignored)");
}

void CommandLine::Word(Drawing& drawing, const std::string& word) {
  if (!active_) {
    if (word.empty()) return;  // Enter at an empty prompt does nothing here
    std::string name = FoldName(word);
    while (!name.empty() && (name.front() == '_' || name.front() == '.' || name.front() == '-'))
      name.erase(0, 1);
    if (name == "polygon" || name == "pol") {
      Add("Command: " + word);
      active_ = std::make_unique<PolygonCommand>();
      pendingPrompt_ = active_->Prompt();
      return;
    }
    Add("Unknown command \"" + word + "\".  Press F1 for help.");
    return;
  }
  Add(pendingPrompt_ + word);
  std::optional<std::string> message;
  try {
    message = active_->Answer(drawing, word);
  } catch (const std::exception& error) {
    Add(std::string("Error: ") + error.what());
    active_.reset();
    return;
  }
  if (message) Add(*message);
  if (active_->Done()) {
    active_.reset();
    pendingPrompt_.clear();
  } else {
    pendingPrompt_ = active_->Prompt();
  }
}

}  // namespace cadhost
