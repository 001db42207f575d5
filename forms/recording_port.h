// The user-interface port of unit tests: records every call as a text line
// and answers message boxes from a queue the test fills.
#pragma once

#include "forms/ui_port.h"

#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace forms {

// Records, one line per call: the message line of each box followed by
// `answer X` (with ` (default)` when the queue was empty and the default
// button answered), `doevents`, `repaint FORM`, `show FORM`, `hide FORM`,
// `unload FORM`, `activate FORM` (a program window became active),
// `activate "TITLE"` (a top-level window brought to the front by title),
// `topmost FORM` and `notopmost FORM`.
class RecordingPort : public UiPort {
 public:
  // The answer for the next message box. An answer that is not one of that
  // box's buttons is a mistake in the test and throws std::logic_error.
  void QueueAnswer(MessageAnswer answer) { answers_.push_back(answer); }
  // A top-level window outside the program (the host's) that ActivateTopLevel can find.
  void AddTopLevelWindow(std::string title) { foreignTitles_.push_back(std::move(title)); }

  const std::vector<std::string>& Lines() const { return lines_; }
  // The recorded lines joined with line feeds (each line ends with one).
  std::string Transcript() const;
  void ClearLines() { lines_.clear(); }
  int PendingAnswers() const { return static_cast<int>(answers_.size()); }

  MessageAnswer ShowMessage(const MessageBoxRequest& box) override;
  void DoEvents() override { lines_.emplace_back("doevents"); }
  void Repaint(const Form& form) override;
  bool ActivateTopLevel(std::string_view title) override;
  void SetTopmost(const Form& form) override;
  void ClearTopmost(const Form& form) override;

 protected:
  void OnShow(const Form& form) override;
  void OnHide(const Form& form) override;
  void OnUnload(const Form& form) override;
  void OnActivate(const Form& form) override;

 private:
  std::vector<std::string> lines_;
  std::deque<MessageAnswer> answers_;
  std::vector<std::string> foreignTitles_;
};

}  // namespace forms
