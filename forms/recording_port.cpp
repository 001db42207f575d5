#include "forms/recording_port.h"

#include "forms/form.h"
#include "forms/text_format.h"

#include <stdexcept>

namespace forms {

std::string RecordingPort::Transcript() const {
  std::string text;
  for (const std::string& line : lines_) text += line + "\n";
  return text;
}

MessageAnswer RecordingPort::ShowMessage(const MessageBoxRequest& box) {
  lines_.push_back(MessageLine(box));
  if (answers_.empty()) {
    const MessageAnswer answer = DefaultAnswer(box);
    lines_.push_back("answer " + std::string(AnswerName(answer)) + " (default)");
    return answer;
  }
  const MessageAnswer answer = answers_.front();
  answers_.pop_front();
  if (!Offers(box, answer)) {
    throw std::logic_error("queued answer " + std::string(AnswerName(answer)) + " is not a button of " +
                           MessageLine(box));
  }
  lines_.push_back("answer " + std::string(AnswerName(answer)));
  return answer;
}

void RecordingPort::Repaint(const Form& form) { lines_.push_back("repaint " + form.Name()); }

bool RecordingPort::ActivateTopLevel(std::string_view title) {
  lines_.push_back("activate " + QuoteText(title));
  const auto matches = [title](std::string_view candidate) { return candidate.substr(0, title.size()) == title; };
  for (const std::string& foreign : foreignTitles_) {
    if (matches(foreign)) return true;
  }
  for (const Form* form : Windows().Forms()) {
    if (form->Visible() && matches(form->Caption())) return true;
  }
  return false;
}

void RecordingPort::SetTopmost(const Form& form) { lines_.push_back("topmost " + form.Name()); }
void RecordingPort::ClearTopmost(const Form& form) { lines_.push_back("notopmost " + form.Name()); }
void RecordingPort::OnShow(const Form& form) { lines_.push_back("show " + form.Name()); }
void RecordingPort::OnHide(const Form& form) { lines_.push_back("hide " + form.Name()); }
void RecordingPort::OnUnload(const Form& form) { lines_.push_back("unload " + form.Name()); }
void RecordingPort::OnActivate(const Form& form) { lines_.push_back("activate " + form.Name()); }

}  // namespace forms
