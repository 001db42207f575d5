#include "app/script_runner.h"

#include "cadhost/document.h"
#include "forms/control_address.h"
#include "forms/file_system_lists.h"
#include "forms/flex_grid.h"
#include "forms/list_controls.h"
#include "forms/text_format.h"

#include <limits>

namespace app {
namespace {

// A whole number written in a script line.
int ParseNumber(const ScriptLine& line, const std::string& text) {
  try {
    std::size_t used = 0;
    const long long value = std::stoll(text, &used);
    if (used == text.size() && value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max()) {
      return static_cast<int>(value);
    }
  } catch (const std::exception&) {
  }
  throw ScriptLineError(line.number, "not a whole number: " + text);
}

void ExpectArguments(const ScriptLine& line, std::size_t low, std::size_t high, const char* usage) {
  if (line.args.size() < low || line.args.size() > high) {
    throw ScriptLineError(line.number, std::string("usage: ") + usage);
  }
}

}  // namespace

ScriptRunner::ScriptRunner(Program& program, ScriptPort& port, ScriptCursor& cursor)
    : program_(program), port_(port), cursor_(cursor) {
  port_.runAside = [this](const ScriptLine& line) { Execute(line); };
  port_.foreignWindowTitles = [this] { return program_.HostWindowTitles(); };
  program_.Switching().onOpenDrawingRepeats = [this] {
    if (port_.LastAnswerWasDefault()) {
      const int line = cursor_.Current() > 0 ? cursor_.Current() : cursor_.LastLine();
      throw ScriptLineError(line, std::string("the \"") + host::kOpenDrawingTitle +
                                      "\" box would come back for ever: the host has no drawing and "
                                      "the script gives no answer after opening one");
    }
  };
}

// A drawing the host imported with losses tells the user once, as the host
// window's notice would: `host notice "TEXT"`.
void ScriptRunner::PrintImportNotices() {
  const auto application = program_.UserHost();
  if (!application) return;
  for (const auto& document : application->documents()) {
    if (document->IsClosed()) continue;
    if (std::optional<std::string> notice = document->TakeImportNotice())
      port_.Print("host notice " + forms::QuoteText(*notice));
  }
}

void ScriptRunner::Run() {
  PrintImportNotices();
  program_.Start();
  while (!program_.Ended() && !cursor_.AtEnd()) Execute(cursor_.Take());
  if (!program_.Ended()) program_.Close();
  port_.Print("end");
}

void ScriptRunner::Execute(const ScriptLine& line) {
  try {
    if (line.verb == "click") {
      Click(line);
    } else if (line.verb == "choose") {
      Choose(line);
    } else if (line.verb == "type") {
      ExpectArguments(line, 2, 2, "type COMBO \"text\"");
      FindControlOf<forms::ComboBox>(line, 0, "a combo box").UserType(line.args[1]);
    } else if (line.verb == "erase") {
      ExpectArguments(line, 1, 1, "erase COMBO");
      FindControlOf<forms::ComboBox>(line, 0, "a combo box").UserErase();
    } else if (line.verb == "leave") {
      ExpectArguments(line, 1, 1, "leave CONTROL");
      FindControl(line, 0).UserLeave();
    } else if (line.verb == "scroll") {
      ExpectArguments(line, 1, 1, "scroll GRID");
      FindControlOf<forms::FlexGrid>(line, 0, "a grid").UserScroll();
    } else if (line.verb == "activate") {
      ExpectArguments(line, 1, 1, "activate FORM");
      forms::Form& form = FindForm(line, line.args[0]);
      if (!form.Visible()) throw ScriptLineError(line.number, form.Name() + " is not showing");
      program_.Ui().ActivateWindow(form);
    } else if (line.verb == "close") {
      ExpectArguments(line, 1, 1, "close FORM");
      forms::Form& form = FindForm(line, line.args[0]);
      if (!form.Visible()) throw ScriptLineError(line.number, form.Name() + " is not showing");
      form.Close();
    } else if (line.verb == "answer") {
      throw ScriptLineError(line.number, "no message box is showing");
    } else if (line.verb == "pick") {
      throw ScriptLineError(line.number, "no pick prompt is showing");
    } else if (line.verb == "host") {
      HostAction(line);
    } else if (line.verb == "save") {
      Save(line);
    } else if (line.verb == "dump") {
      Dump(line);
    } else {
      throw ScriptLineError(line.number, "unknown gesture " + line.verb);
    }
  } catch (const forms::ControlError& failure) {
    // The gesture itself was refused (a hidden or disabled control, no such
    // entry); failures inside handlers were shown by the error boundary.
    throw ScriptLineError(line.number, failure.what());
  }
}

forms::Form& ScriptRunner::FindForm(const ScriptLine& line, const std::string& name) const {
  forms::Form* form = program_.Ui().Windows().Find(name);
  if (form == nullptr) throw ScriptLineError(line.number, "unknown window " + name);
  return *form;
}

forms::Control& ScriptRunner::FindControl(const ScriptLine& line, std::size_t argument) const {
  const std::string& token = line.args.at(argument);
  const std::optional<forms::ControlAddress> address = forms::ParseControlAddress(token);
  if (!address || address->control.empty()) throw ScriptLineError(line.number, "not a control: " + token);
  forms::Form& form = FindForm(line, address->form);
  forms::Control* control = form.FindControl(address->control, address->index);
  if (control == nullptr) throw ScriptLineError(line.number, "unknown control " + token);
  if (!form.Loaded()) throw ScriptLineError(line.number, form.Name() + " is not loaded");
  return *control;
}

template <class ControlType>
ControlType& ScriptRunner::FindControlOf(const ScriptLine& line, std::size_t argument, const char* what) const {
  auto* control = dynamic_cast<ControlType*>(&FindControl(line, argument));
  if (control == nullptr) throw ScriptLineError(line.number, line.args.at(argument) + " is not " + what);
  return *control;
}

void ScriptRunner::Click(const ScriptLine& line) {
  if (line.args.size() == 3) {
    FindControlOf<forms::FlexGrid>(line, 0, "a grid")
        .UserClick(ParseNumber(line, line.args[1]), ParseNumber(line, line.args[2]));
    return;
  }
  ExpectArguments(line, 1, 1, "click CONTROL, or click GRID ROW COL");
  const std::optional<forms::ControlAddress> address = forms::ParseControlAddress(line.args[0]);
  if (address && address->control.empty()) {
    forms::Form& form = FindForm(line, address->form);
    if (&form != &program_.mainFrame) throw ScriptLineError(line.number, form.Name() + " takes no click");
    program_.mainFrame.UserClickClientArea();
    return;
  }
  FindControl(line, 0).UserClick();
}

void ScriptRunner::Choose(const ScriptLine& line) {
  ExpectArguments(line, 2, 2, "choose LIST \"text\", or choose LIST #N");
  auto& list = FindControlOf<forms::ListControl>(line, 0, "a list or combo box");
  const std::string& which = line.args[1];
  const bool byNumber = which.size() > 1 && which[0] == '#';
  // A directory list goes to the folder the text names (from the working
  // directory when relative), as the user double-clicks down to it.
  if (auto* folders = dynamic_cast<forms::DirectoryList*>(&list); folders != nullptr && !byNumber) {
    folders->UserGoTo(which);
    return;
  }
  int index = -1;
  if (byNumber) {
    index = ParseNumber(line, which.substr(1));
  } else {
    index = list.FindExact(which);
    if (index < 0) throw ScriptLineError(line.number, line.args[0] + " has no entry " + forms::QuoteText(which));
  }
  list.UserChoose(index);
}

void ScriptRunner::Dump(const ScriptLine& line) {
  ExpectArguments(line, 1, 1, "dump CONTROL, or dump FORM");
  const std::optional<forms::ControlAddress> address = forms::ParseControlAddress(line.args[0]);
  if (!address) throw ScriptLineError(line.number, "not a window or control: " + line.args[0]);
  forms::Form& form = FindForm(line, address->form);
  if (address->control.empty()) {
    port_.Print(form.Dump());
    return;
  }
  port_.Print(form.DumpControl(address->control, address->index));
}

std::shared_ptr<cadhost::HostApplication> ScriptRunner::UserHost(const ScriptLine& line) const {
  auto application = program_.UserHost();
  if (!application) throw ScriptLineError(line.number, "no host is running");
  return application;
}

void ScriptRunner::HostAction(const ScriptLine& line) {
  if (line.args.empty()) throw ScriptLineError(line.number, "usage: host open|close|activate|erase ...");
  const std::string& action = line.args[0];
  const auto application = UserHost(line);
  try {
    if (action == "open" && line.args.size() == 2) {
      application->OpenDocument(line.args[1]);
      PrintImportNotices();
    } else if (action == "close" && line.args.size() == 1) {
      application->ActiveDocument()->Close();
    } else if (action == "activate" && line.args.size() == 2) {
      for (const auto& document : application->documents()) {
        if (forms::EqualsNoCase(document->Name(), line.args[1])) {
          document->Activate();
          return;
        }
      }
      throw ScriptLineError(line.number, "the host has no open drawing " + line.args[1]);
    } else if (action == "erase" && line.args.size() == 2) {
      cad::As<cad::Entity>(application->ActiveDocument()->HandleToObject(line.args[1]))->Delete();
    } else {
      throw ScriptLineError(line.number, "usage: host open PATH | host close | host activate NAME | host erase HANDLE");
    }
  } catch (const cad::HostError& failure) {
    throw ScriptLineError(line.number, "host " + action + ": " + failure.Description());
  }
}

void ScriptRunner::Save(const ScriptLine& line) {
  ExpectArguments(line, 0, 1, "save [PATH]");
  try {
    const cad::DocumentPtr document = UserHost(line)->ActiveDocument();
    if (line.args.empty()) {
      document->Save();
    } else {
      document->SaveAs(line.args[0]);
    }
  } catch (const cad::HostError& failure) {
    throw ScriptLineError(line.number, "save: " + failure.Description());
  }
}

}  // namespace app
