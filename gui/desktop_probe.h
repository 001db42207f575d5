// A state file of the desktop for tests that drive it with real input events.
#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <string>

class QTimer;

namespace gui {

class HostWindows;
class QtPort;

// Writes, a few times a second, what a person looking at the screen would
// see of the program: every loaded window's and control's dump line with the
// control's place on the screen (from the window model's twips and the
// window's origin), the grids' column and row sizes, the host windows with
// their drawing view's plan-to-screen mapping, the message box showing and
// the control holding the focus. A test that moves the real mouse and types on
// the real keyboard reads it to find where a control is and to see what its
// input did. The file is replaced whole, so a reader never sees half of it.
// Made only when the desktop program is asked for it (CINDRAL_DESKTOP_PROBE).
class DesktopProbe : public QObject {
 public:
  DesktopProbe(QString path, QtPort& port, std::shared_ptr<HostWindows> hostWindows);
  ~DesktopProbe() override;

  // The state text as the file holds it.
  std::string Snapshot() const;
  // Writes the file now when the state changed since the last write.
  void Write();

 private:
  QString path_;
  QtPort& port_;
  std::shared_ptr<HostWindows> hostWindows_;
  QTimer* timer_ = nullptr;
  std::string written_;
};

}  // namespace gui
