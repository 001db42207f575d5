// The host windows of the desktop program, one per host instance.
#pragma once

#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cadhost/application.h"
#include "cadhost/services.h"
#include "gui/host_window_dialogs.h"

namespace gui {

class HostWindow;

// Owns a HostWindow for each host instance attached, and is the picker those
// hosts are given: a pick goes to the window of the drawing's host.
class HostWindows : public cadhost::EntityPicker {
 public:
  explicit HostWindows(HostWindowDialogs dialogs = QtHostDialogs());
  ~HostWindows() override;
  HostWindows(const HostWindows&) = delete;
  HostWindows& operator=(const HostWindows&) = delete;

  // Gives the host a window that follows its Visible and WindowState; a host
  // attached twice keeps its one window.
  HostWindow& Attach(const std::shared_ptr<cadhost::HostApplication>& application);
  // The window of a host; null when it has none.
  HostWindow* WindowOf(const cadhost::HostApplication& application) const;
  // Every host window that still has its host, in no particular order.
  std::vector<HostWindow*> Windows() const;
  // True while any host window is on the screen.
  bool AnyVisible() const;
  // Told when the user quits a host by closing its window.
  std::function<void()> onHostQuit;

  std::optional<cad::PickedEntity> Pick(cad::Document& document, const std::string& prompt) override;

 private:
  struct Attached {
    std::weak_ptr<cadhost::HostApplication> application;
    QPointer<HostWindow> window;
  };
  HostWindowDialogs dialogs_;
  std::map<const cadhost::HostApplication*, Attached> windows_;
};

}  // namespace gui
