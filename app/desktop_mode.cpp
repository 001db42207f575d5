#include "app/desktop_mode.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdlib>
#include <iostream>
#include <memory>

#include "app/program.h"
#include "gui/desktop_probe.h"
#include "gui/desktop_shell.h"
#include "gui/host_windows.h"

namespace app {
namespace {

constexpr const char* kProbeVariable = "CINDRAL_DESKTOP_PROBE";

// Qt ends the process on its own when it finds no display; say it first, in
// words a user of the command can act on.
bool HasDisplay() {
  for (const char* variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

// A failure the user must see: on standard error for whoever started the
// command from a shell, and in a box for whoever started it from a menu.
void ReportFailure(const std::string& text) {
  std::cerr << "cindral: " << text << '\n';
  QString shown = QString::fromStdString(text);
  if (!shown.isEmpty()) shown[0] = shown[0].toUpper();  // a sentence in the box
  QMessageBox::critical(nullptr, QStringLiteral("Cindral"), shown);
}

}  // namespace

int RunDesktop(const Options& options, int argc, char** argv) {
  if (!HasDisplay()) {
    std::cerr << "cindral: no display to show the desktop program on (DISPLAY is not set); "
                 "run it on a desktop, or without one as 'cindral --script FILE'\n";
    return 2;
  }
  gui::DesktopShell shell(argc, argv);
  int status = 0;
  bool programEnded = false;
  // Each host instance gets its own window, which is also where its picks happen.
  auto hostWindows = std::make_shared<gui::HostWindows>();
  std::unique_ptr<Program> program;
  try {
    program = std::make_unique<Program>(options, shell.Port(), hostWindows);
  } catch (const StartError& failure) {
    ReportFailure(failure.what());
    return 2;
  } catch (const std::exception& failure) {
    ReportFailure(std::string("cannot start: ") + failure.what());
    return 2;
  }
  for (const auto& host : program->Hosts()) hostWindows->Attach(host);
  program->onHostStarted = [hostWindows](const auto& host) { hostWindows->Attach(host); };

  std::unique_ptr<gui::DesktopProbe> probe;
  if (const char* path = std::getenv(kProbeVariable); path != nullptr && *path != '\0') {
    probe = std::make_unique<gui::DesktopProbe>(QString::fromLocal8Bit(path), shell.Port(), hostWindows);
  }

  // The program and the host are separate programs on the desktop: closing
  // the program leaves the host's window and drawings open, and the process
  // ends when the last window of either is closed.
  auto quitWhenNothingShows = [&] {
    if (programEnded && !hostWindows->AnyVisible()) QApplication::quit();
  };
  auto endProgram = [&] {
    if (programEnded) return;
    programEnded = true;
    if (options.savePath) {
      if (const auto failure = program->SaveActiveDrawing(*options.savePath)) {
        ReportFailure("--save " + *options.savePath + ": " + *failure);
        status = 1;
      }
    }
    quitWhenNothingShows();
  };
  // The start window unloads (and lets events run) before the main frame
  // loads: no window loaded means the end only once start-up is over.
  bool started = false;
  shell.Port().onProgramEnded = [&] {
    if (started) endProgram();
  };
  hostWindows->onHostQuit = [&] { quitWhenNothingShows(); };

  program->Start();
  started = true;
  if (!shell.Port().AnyWindowLoaded()) endProgram();
  if (programEnded && !hostWindows->AnyVisible()) return status;
  const int loopStatus = shell.Exec();
  if (probe) probe->Write();
  shell.Port().onProgramEnded = nullptr;
  hostWindows->onHostQuit = nullptr;
  return status != 0 ? status : loopStatus;
}

}  // namespace app
