#include "gui/desktop_shell.h"

#include <QApplication>
#include <QFont>

namespace gui {

DesktopShell::DesktopShell(int& argc, char** argv)
    : application_(std::make_unique<QApplication>(argc, argv)), port_(std::make_unique<QtPort>()) {
  QApplication::setApplicationName(QStringLiteral("Cindral"));
  QApplication::setOrganizationName(QStringLiteral("Fenwright"));
  // The program's windows come and go (the start window closes before the main
  // frame opens); the end is when the port sees no window loaded.
  application_->setQuitOnLastWindowClosed(false);
  // Window layouts are given in twips for an 8-point dialog font; a larger
  // default font would cut captions off.
  QFont font = QApplication::font();
  font.setPointSizeF(8.0);
  QApplication::setFont(font);
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
