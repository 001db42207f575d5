// The `cindral` command line, shared by the desktop and the scripted mode.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace app {

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One built-in host instance to start: the class identifiers it answers to
// (`AutoCAD.Application.<id>` for each id) and the version it reports.
struct HostInstanceOption {
  std::vector<std::string> ids;
  std::string version;  // "17.0" for id 17, "15.06" for 15.06, or the text after ':'
};

struct Options {
  bool help = false;
  bool version = false;
  std::optional<std::string> scriptPath;  // "-" reads standard input
  std::optional<std::string> savePath;
  bool noHost = false;                    // --host none
  std::vector<HostInstanceOption> hosts;  // empty and !noHost: one release-17 host
  std::vector<std::string> drawings;
};

Options ParseOptions(const std::vector<std::string>& arguments);

// The instance `--host IDS` describes, e.g. "17", "15,15.0,15.1" or "17:15.06".
HostInstanceOption ParseHostOption(const std::string& value);

// The hosts to start: those given, or the one release-17 host when none was named.
std::vector<HostInstanceOption> HostsToStart(const Options& options);

std::string UsageText();

}  // namespace app
