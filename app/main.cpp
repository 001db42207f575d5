// The `cindral` command: the desktop program, or a scripted run with --script.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/options.h"
#include "app/script_mode.h"

#ifdef CINDRAL_HAS_DESKTOP
#include "app/program.h"
#include "gui/desktop_shell.h"
#include "gui/host_windows.h"
#endif

#ifdef CINDRAL_HAS_DESKTOP
namespace {

// The desktop program: the Qt shell's port drives the same windows; the
// program ends when its last window is unloaded.
int RunDesktop(const app::Options& options, int argc, char** argv) {
  gui::DesktopShell shell(argc, argv);
  // Each host instance gets its own window, which is also where its picks happen.
  auto hostWindows = std::make_shared<gui::HostWindows>();
  std::unique_ptr<app::Program> program;
  try {
    program = std::make_unique<app::Program>(options, shell.Port(), hostWindows);
  } catch (const app::StartError& failure) {
    std::cerr << "cindral: " << failure.what() << '\n';
    return 2;
  }
  for (const auto& host : program->Hosts()) hostWindows->Attach(host);
  program->onHostStarted = [hostWindows](const auto& host) { hostWindows->Attach(host); };
  program->Start();
  return shell.Exec();
}

}  // namespace
#endif

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  app::Options options;
  try {
    options = app::ParseOptions(arguments);
  } catch (const app::UsageError& failure) {
    std::cerr << "cindral: " << failure.what() << "\nTry 'cindral --help'.\n";
    return 2;
  }
  if (options.help) {
    std::cout << app::UsageText();
    return 0;
  }
  if (options.version) {
    std::cout << "cindral " << CINDRAL_VERSION << '\n';
    return 0;
  }
  if (options.scriptPath) return app::RunScript(options, std::cin, std::cout, std::cerr);
#ifdef CINDRAL_HAS_DESKTOP
  return RunDesktop(options, argc, argv);
#else
  std::cerr << "cindral: the desktop program is not built in this build; use --script FILE\n";
  return 1;
#endif
}
