#include "gui/desktop_shell.h"

#include <QApplication>

namespace gui {

DesktopShell::DesktopShell(int& argc, char** argv)
    : application_(std::make_unique<QApplication>(argc, argv)), port_(std::make_unique<QtPort>()) {
  QApplication::setApplicationName(QStringLiteral("Cindral"));
  QApplication::setOrganizationName(QStringLiteral("Fenwright"));
  // The program's windows come and go (the start window closes before the main
  // frame opens); the end is when the port sees no window loaded.
  application_->setQuitOnLastWindowClosed(false);
}

DesktopShell::~DesktopShell() {
  port_.reset();
  application_.reset();
}

int DesktopShell::Exec() {
  if (!port_->AnyWindowLoaded()) return 0;
  return QApplication::exec();
}

}  // namespace gui
