#include "host/error_boundary.h"

#include "forms/control.h"
#include "forms/message_box.h"
#include "forms/ui_port.h"
#include "host/cad.h"
#include "host/settings_store.h"

namespace host {

std::string ErrorBoundary::Describe(const std::exception& failure) {
  std::string text = failure.what();
  if (text.empty()) text = "An unexpected error occurred.";
  return text;
}

void ErrorBoundary::Run(const std::function<void()>& handler) const {
  if (!handler) return;
  try {
    handler();
  } catch (const PortAbort&) {
    throw;
  } catch (const cad::HostError& failure) {
    Report(failure.Description().empty() ? Describe(failure) : failure.Description());
  } catch (const forms::ControlError& failure) {
    Report(Describe(failure));
  } catch (const SettingsStoreError& failure) {
    Report(Describe(failure));
  } catch (const std::bad_alloc&) {
    Report("Not enough memory to finish this step.");
  } catch (const std::exception& failure) {
    Report(Describe(failure));
  }
}

void ErrorBoundary::Report(const std::string& description) const {
  forms::MessageBoxRequest box;
  box.icon = forms::MessageIcon::Information;
  box.buttons = forms::MessageButtons::Ok;
  box.title = "Cindral";
  box.text = description;
  ui_.ShowMessage(box);
}

}  // namespace host
