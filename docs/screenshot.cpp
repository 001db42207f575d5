// Runs the desktop program offscreen on a drawing and saves a picture of the
// main frame beside the host window, once start-up has opened the main frame.
//   cindral_screenshot DRAWING OUTPUT.png
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMainWindow>
#include <QPainter>
#include <QPixmap>
#include <iostream>
#include <memory>

#include "app/program.h"
#include "gui/desktop_shell.h"
#include "gui/drawing_view.h"
#include "gui/host_window.h"
#include "gui/host_windows.h"

namespace {

constexpr int kStartUpLimitMs = 20000;
constexpr int kGap = 16;

void RunEventsFor(int milliseconds) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < milliseconds) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The program's main frame: its top-level main window that is not a host window.
QWidget* MainFrame() {
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (widget->isVisible() && qobject_cast<QMainWindow*>(widget) && !qobject_cast<gui::HostWindow*>(widget))
      return widget;
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: cindral_screenshot DRAWING OUTPUT.png\n";
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  gui::DesktopShell shell(argc, argv);
  auto hostWindows = std::make_shared<gui::HostWindows>();
  app::Options options;
  options.drawings = {argv[1]};
  std::unique_ptr<app::Program> program;
  try {
    program = std::make_unique<app::Program>(options, shell.Port(), hostWindows);
  } catch (const std::exception& failure) {
    std::cerr << "cindral_screenshot: " << failure.what() << '\n';
    return 1;
  }
  for (const auto& host : program->Hosts()) hostWindows->Attach(host);
  program->Start();

  QElapsedTimer clock;
  clock.start();
  while (!program->mainFrame.Loaded() && clock.elapsed() < kStartUpLimitMs) RunEventsFor(50);
  RunEventsFor(500);  // let the windows settle and paint
  QWidget* frame = MainFrame();
  gui::HostWindow* hostWindow = hostWindows->WindowOf(*program->UserHost());
  if (!frame || !hostWindow) {
    std::cerr << "cindral_screenshot: the main frame or the host window did not open\n";
    return 1;
  }
  hostWindow->resize(900, frame->height());
  hostWindow->View().ZoomExtents();
  RunEventsFor(200);
  const QPixmap left = frame->grab(), right = hostWindow->grab();
  QImage picture(left.width() + kGap + right.width(), std::max(left.height(), right.height()),
                 QImage::Format_RGB32);
  picture.fill(QColor(90, 90, 90));
  QPainter painter(&picture);
  painter.drawPixmap(0, 0, left);
  painter.drawPixmap(left.width() + kGap, 0, right);
  painter.end();
  if (!picture.save(QString::fromLocal8Bit(argv[2]))) {
    std::cerr << "cindral_screenshot: cannot write " << argv[2] << '\n';
    return 1;
  }
  program->Close();
  return 0;
}
