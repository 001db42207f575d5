// Message boxes as the program asks for them: icon, buttons, default button,
// title and text; and the answer the user gives.
#pragma once

#include <string>
#include <string_view>

namespace forms {

enum class MessageIcon { Information, Question, Exclamation, Critical };
enum class MessageButtons { Ok, YesNo, OkCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

// One message box. Lines of the text are joined by carriage returns.
struct MessageBoxRequest {
  MessageIcon icon = MessageIcon::Information;
  MessageButtons buttons = MessageButtons::Ok;
  int defaultButton = 1;  // 1 for the first button, 2 for the second
  std::string title;
  std::string text;
};

std::string_view IconName(MessageIcon icon);            // "information", ...
std::string_view ButtonsName(MessageButtons buttons);   // "ok", "yesno", "okcancel"
std::string_view AnswerName(MessageAnswer answer);      // "OK", "Yes", "No", "Cancel"

// The answer given by pressing the default button (Enter). A default button
// number beyond the box's buttons falls back to the first button.
MessageAnswer DefaultAnswer(const MessageBoxRequest& box);
// Whether `answer` is one of the box's buttons.
bool Offers(const MessageBoxRequest& box, MessageAnswer answer);

// `message title="..." icon=... buttons=... default=N text="..."`.
std::string MessageLine(const MessageBoxRequest& box);

}  // namespace forms
