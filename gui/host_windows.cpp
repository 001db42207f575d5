#include "gui/host_windows.h"

#include "cadhost/document.h"
#include "gui/host_window.h"

namespace gui {

HostWindows::HostWindows(HostWindowDialogs dialogs) : dialogs_(std::move(dialogs)) {}

HostWindows::~HostWindows() {
  for (auto& [key, attached] : windows_) {
    if (auto application = attached.application.lock()) application->onWindowChange = nullptr;
    delete attached.window.data();
  }
}

HostWindow& HostWindows::Attach(const std::shared_ptr<cadhost::HostApplication>& application) {
  if (HostWindow* window = WindowOf(*application)) return *window;
  auto* window = new HostWindow(application, dialogs_);
  windows_[application.get()] = {application, window};
  application->onWindowChange = [guard = QPointer<HostWindow>(window)] {
    if (guard) guard->Sync();
  };
  QObject::connect(window, &HostWindow::quit, window, [this] {
    if (onHostQuit) onHostQuit();
  });
  window->Sync();
  return *window;
}

HostWindow* HostWindows::WindowOf(const cadhost::HostApplication& application) const {
  auto found = windows_.find(&application);
  if (found == windows_.end() || found->second.application.expired()) return nullptr;
  return found->second.window.data();
}

std::vector<HostWindow*> HostWindows::Windows() const {
  std::vector<HostWindow*> windows;
  for (const auto& [key, attached] : windows_) {
    if (!attached.application.expired() && attached.window) windows.push_back(attached.window.data());
  }
  return windows;
}

bool HostWindows::AnyVisible() const {
  for (const HostWindow* window : Windows()) {
    if (window->isVisible()) return true;
  }
  return false;
}

std::optional<cad::PickedEntity> HostWindows::Pick(cad::Document& document, const std::string& prompt) {
  auto* hostDocument = dynamic_cast<cadhost::HostDocument*>(&document);
  if (!hostDocument || hostDocument->IsClosed()) return std::nullopt;
  auto application = std::dynamic_pointer_cast<cadhost::HostApplication>(hostDocument->Application());
  HostWindow* window = application ? WindowOf(*application) : nullptr;
  if (!window) window = application ? &Attach(application) : nullptr;
  if (!window) return std::nullopt;
  return window->Pick(*hostDocument, prompt);
}

}  // namespace gui
