// The user-interface port of scripted runs: prints the transcript and takes
// the answers to message boxes and pick prompts from the script.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/script_reader.h"
#include "cadhost/services.h"
#include "forms/ui_port.h"
#include "host/error_boundary.h"

namespace app {

// A script line that cannot be carried out. It passes through the error
// boundary and ends the run; `line()` is the 1-based line in the script.
class ScriptLineError : public host::PortAbort {
 public:
  ScriptLineError(int line, const std::string& reason) : host::PortAbort(reason), line_(line) {}
  int line() const { return line_; }

 private:
  int line_ = 0;
};

// The script's gestures and how far the run has got. `Current` is the line of
// the gesture being carried out (the last line once the script has run out).
class ScriptCursor {
 public:
  explicit ScriptCursor(std::vector<ScriptLine> lines) : lines_(std::move(lines)) {}
  const ScriptLine* Peek() const { return next_ < lines_.size() ? &lines_[next_] : nullptr; }
  const ScriptLine& Take();
  bool AtEnd() const { return next_ >= lines_.size(); }
  int Current() const { return current_; }
  int LastLine() const { return lines_.empty() ? 0 : lines_.back().number; }

 private:
  std::vector<ScriptLine> lines_;
  std::size_t next_ = 0;
  int current_ = 0;
};

// Owns nothing but the transcript stream. A message box or a pick prompt is
// answered by the script line right after the gesture that raised it; `dump`
// and `host` lines before that answer run aside (through `runAside`). Any
// other line, or the end of the script, answers with the default button or
// cancels the prompt, and the transcript says so.
class ScriptPort : public forms::UiPort, public cadhost::EntityPicker {
 public:
  ScriptPort(std::ostream& out, ScriptCursor& cursor) : out_(out), cursor_(cursor) {}

  // Carries out a `dump` or `host` line while a box or prompt is showing.
  std::function<void(const ScriptLine&)> runAside;
  // The titles of top-level windows outside the program (the hosts').
  std::function<std::vector<std::string>()> foreignWindowTitles;

  // Whether the last message box got its default answer because the script
  // had no answer for it (nothing the script does can change what follows).
  bool LastAnswerWasDefault() const { return lastAnswerWasDefault_; }

  void Print(const std::string& line);

  forms::MessageAnswer ShowMessage(const forms::MessageBoxRequest& box) override;
  void DoEvents() override {}
  void Repaint(const forms::Form&) override {}
  bool ActivateTopLevel(std::string_view title) override;
  void SetTopmost(const forms::Form&) override {}
  void ClearTopmost(const forms::Form&) override {}

  std::optional<cad::PickedEntity> Pick(cad::Document& document, const std::string& prompt) override;

 protected:
  void OnShow(const forms::Form& form) override;
  void OnHide(const forms::Form& form) override;
  void OnUnload(const forms::Form& form) override;
  void OnActivate(const forms::Form&) override {}

 private:
  // Runs the `dump` and `host` lines that come next; returns the line after
  // them when it has the verb `answerVerb`, taking it, else null.
  const ScriptLine* TakeAnswer(const std::string& answerVerb);

  // A box that keeps coming back with its default answer while the script
  // stands still is a wait nothing can end; the run stops after this many.
  static constexpr long long kUnansweredRepeatLimit = 1000;

  std::ostream& out_;
  ScriptCursor& cursor_;
  bool lastAnswerWasDefault_ = false;
  std::string lastDefaultBox_;
  long long unansweredRepeats_ = 0;
};

}  // namespace app
