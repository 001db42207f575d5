// The desktop program's Qt application: its event loop and user-interface port.
#pragma once

#include <memory>

#include "gui/qt_port.h"

class QApplication;

namespace gui {

// Owns the QApplication and the Qt port for the life of the desktop program.
// The program builds its windows on `Port()`, starts, then `Exec` runs the event
// loop until it is told to quit.
class DesktopShell {
 public:
  DesktopShell(int& argc, char** argv);
  ~DesktopShell();
  DesktopShell(const DesktopShell&) = delete;
  DesktopShell& operator=(const DesktopShell&) = delete;

  QtPort& Port() { return *port_; }
  // Runs the event loop until QApplication::quit.
  int Exec();

 private:
  std::unique_ptr<QApplication> application_;
  std::unique_ptr<QtPort> port_;
};

}  // namespace gui
