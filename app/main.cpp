// The `cindral` command: the desktop program, or a scripted run with --script.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/options.h"
#include "app/script_mode.h"

#ifdef CINDRAL_HAS_DESKTOP
#include "app/desktop_mode.h"
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
  return app::RunDesktop(options, argc, argv);
#else
  std::cerr << "cindral: the desktop program is not built in this build; use --script FILE\n";
  return 1;
#endif
}
