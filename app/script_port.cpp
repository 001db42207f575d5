#include "app/script_port.h"

#include "forms/form.h"
#include "forms/text_format.h"

namespace app {

const ScriptLine& ScriptCursor::Take() {
  const ScriptLine& line = lines_.at(next_++);
  current_ = line.number;
  return line;
}

void ScriptPort::Print(const std::string& line) { out_ << line << '\n'; }

const ScriptLine* ScriptPort::TakeAnswer(const std::string& answerVerb) {
  while (const ScriptLine* next = cursor_.Peek()) {
    if (next->verb == "dump" || next->verb == "host") {
      const ScriptLine& aside = cursor_.Take();
      if (runAside) runAside(aside);
      continue;
    }
    if (next->verb == answerVerb) return &cursor_.Take();
    return nullptr;
  }
  return nullptr;
}

forms::MessageAnswer ScriptPort::ShowMessage(const forms::MessageBoxRequest& box) {
  Print(forms::MessageLine(box));
  const ScriptLine* line = TakeAnswer("answer");
  if (line == nullptr) {
    const std::string shown = forms::MessageLine(box);
    unansweredRepeats_ = shown == lastDefaultBox_ ? unansweredRepeats_ + 1 : 0;
    lastDefaultBox_ = shown;
    if (unansweredRepeats_ >= kUnansweredRepeatLimit) {
      throw ScriptLineError(cursor_.Current() > 0 ? cursor_.Current() : cursor_.LastLine(),
                            "the message box \"" + box.title + "\" keeps coming back and the script has no answer for it");
    }
    const forms::MessageAnswer answer = forms::DefaultAnswer(box);
    Print("answer " + std::string(forms::AnswerName(answer)) + " (default)");
    lastAnswerWasDefault_ = true;
    return answer;
  }
  lastDefaultBox_.clear();
  unansweredRepeats_ = 0;
  if (line->args.size() != 1) throw ScriptLineError(line->number, "answer takes one of Yes, No, OK");
  std::optional<forms::MessageAnswer> answer;
  for (const auto candidate : {forms::MessageAnswer::Yes, forms::MessageAnswer::No, forms::MessageAnswer::Ok,
                               forms::MessageAnswer::Cancel}) {
    if (forms::EqualsNoCase(line->args[0], forms::AnswerName(candidate))) answer = candidate;
  }
  if (!answer) throw ScriptLineError(line->number, "unknown answer " + line->args[0]);
  if (!forms::Offers(box, *answer)) {
    throw ScriptLineError(line->number, "the message box has no button " + line->args[0]);
  }
  Print("answer " + std::string(forms::AnswerName(*answer)));
  lastAnswerWasDefault_ = false;
  return *answer;
}

bool ScriptPort::ActivateTopLevel(std::string_view title) {
  Print("activate " + forms::QuoteText(title));
  const auto begins = [title](std::string_view candidate) { return candidate.substr(0, title.size()) == title; };
  if (foreignWindowTitles) {
    for (const std::string& foreign : foreignWindowTitles()) {
      if (begins(foreign)) return true;
    }
  }
  for (const forms::Form* form : Windows().Forms()) {
    if (form->Visible() && begins(form->Caption())) return true;
  }
  return false;
}

std::optional<cad::PickedEntity> ScriptPort::Pick(cad::Document& document, const std::string& prompt) {
  Print("prompt " + forms::QuoteText(prompt));
  const ScriptLine* line = TakeAnswer("pick");
  if (line == nullptr) {
    Print("picked none (default)");
    return std::nullopt;
  }
  if (line->args.size() != 1) throw ScriptLineError(line->number, "pick takes a handle or none");
  if (line->args[0] == "none") {
    Print("picked none");
    return std::nullopt;
  }
  cad::PickedEntity picked;
  try {
    picked.entity = cad::As<cad::Entity>(document.HandleToObject(line->args[0]));
  } catch (const cad::HostError& failure) {
    throw ScriptLineError(line->number, "cannot pick " + line->args[0] + ": " + failure.Description());
  }
  try {
    // The pick point: the middle of the entity, as a click on it would give.
    cad::Point3 low;
    cad::Point3 high;
    picked.entity->GetBoundingBox(low, high);
    picked.point = cad::Point3{(low.x + high.x) / 2, (low.y + high.y) / 2, 0.0};
  } catch (const cad::HostError&) {
    // An entity without extents is picked at the origin.
  }
  Print("picked " + line->args[0]);
  return picked;
}

void ScriptPort::OnShow(const forms::Form& form) { Print("show " + form.Name()); }
void ScriptPort::OnHide(const forms::Form& form) { Print("hide " + form.Name()); }
void ScriptPort::OnUnload(const forms::Form& form) { Print("unload " + form.Name()); }

}  // namespace app
