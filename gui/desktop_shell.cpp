#include "gui/desktop_shell.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace gui {

DesktopShell::DesktopShell(int& argc, char** argv)
    : application_(std::make_unique<QApplication>(argc, argv)), port_(std::make_unique<QtPort>()) {
  QApplication::setApplicationName(QStringLiteral("Cindral"));
  QApplication::setOrganizationName(QStringLiteral("Fenwright"));
  // The program's windows come and go (the start window closes before the main
  // frame opens), and the host's windows outlive the program's: the desktop
  // mode decides when the process ends.
  application_->setQuitOnLastWindowClosed(false);
  // Window layouts are given in twips for an 8-point dialog font of a
  // Helvetica-like width; a wider face or a larger size would cut captions off.
  QFont font = QApplication::font();
  const QStringList families = QFontDatabase::families();
  for (const char* family : {"Liberation Sans", "Arial", "Nimbus Sans", "Helvetica"}) {
    if (families.contains(QString::fromLatin1(family))) {
      font.setFamily(QString::fromLatin1(family));
      break;
    }
  }
  font.setPointSizeF(8.0);
  QApplication::setFont(font);
}

DesktopShell::~DesktopShell() {
  port_.reset();
  application_.reset();
}

int DesktopShell::Exec() { return QApplication::exec(); }

}  // namespace gui
