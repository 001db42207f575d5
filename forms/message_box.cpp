#include "forms/message_box.h"

#include "forms/text_format.h"

namespace forms {

std::string_view IconName(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information: return "information";
    case MessageIcon::Question: return "question";
    case MessageIcon::Exclamation: return "exclamation";
    case MessageIcon::Critical: return "critical";
  }
  return "information";
}

std::string_view ButtonsName(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok: return "ok";
    case MessageButtons::YesNo: return "yesno";
    case MessageButtons::OkCancel: return "okcancel";
  }
  return "ok";
}

std::string_view AnswerName(MessageAnswer answer) {
  switch (answer) {
    case MessageAnswer::Ok: return "OK";
    case MessageAnswer::Yes: return "Yes";
    case MessageAnswer::No: return "No";
    case MessageAnswer::Cancel: return "Cancel";
  }
  return "OK";
}

MessageAnswer DefaultAnswer(const MessageBoxRequest& box) {
  const bool second = box.defaultButton == 2;
  switch (box.buttons) {
    case MessageButtons::Ok: return MessageAnswer::Ok;
    case MessageButtons::YesNo: return second ? MessageAnswer::No : MessageAnswer::Yes;
    case MessageButtons::OkCancel: return second ? MessageAnswer::Cancel : MessageAnswer::Ok;
  }
  return MessageAnswer::Ok;
}

bool Offers(const MessageBoxRequest& box, MessageAnswer answer) {
  switch (box.buttons) {
    case MessageButtons::Ok: return answer == MessageAnswer::Ok;
    case MessageButtons::YesNo: return answer == MessageAnswer::Yes || answer == MessageAnswer::No;
    case MessageButtons::OkCancel: return answer == MessageAnswer::Ok || answer == MessageAnswer::Cancel;
  }
  return false;
}

std::string MessageLine(const MessageBoxRequest& box) {
  return "message title=" + QuoteText(box.title) + " icon=" + std::string(IconName(box.icon)) +
         " buttons=" + std::string(ButtonsName(box.buttons)) + " default=" + std::to_string(box.defaultButton) +
         " text=" + QuoteText(box.text);
}

}  // namespace forms
