#include "app/options.h"

namespace app {

namespace {

std::vector<std::string> SplitOnComma(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    parts.push_back(text.substr(start, comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return parts;
}

// The version a release identifier reports: "17" reports "17.0"; an id that
// already has a minor part ("16.1", "15.06") reports itself.
std::string VersionOfId(const std::string& id) {
  return id.find('.') == std::string::npos ? id + ".0" : id;
}

}  // namespace

HostInstanceOption ParseHostOption(const std::string& value) {
  HostInstanceOption host;
  std::string ids = value;
  const std::size_t colon = value.find(':');
  if (colon != std::string::npos) {
    ids = value.substr(0, colon);
    host.version = value.substr(colon + 1);
    if (host.version.empty()) throw UsageError("--host " + value + ": no version after ':'");
  }
  host.ids = SplitOnComma(ids);
  for (const std::string& id : host.ids) {
    if (id.empty()) throw UsageError("--host " + value + ": empty release id");
  }
  if (host.version.empty()) host.version = VersionOfId(host.ids.front());
  return host;
}

Options ParseOptions(const std::vector<std::string>& arguments) {
  Options options;
  auto valueOf = [&](std::size_t& i) -> const std::string& {
    if (i + 1 >= arguments.size()) throw UsageError(arguments[i] + " needs a value");
    return arguments[++i];
  };
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--help" || argument == "-h") {
      options.help = true;
    } else if (argument == "--version") {
      options.version = true;
    } else if (argument == "--script") {
      options.scriptPath = valueOf(i);
    } else if (argument == "--save") {
      options.savePath = valueOf(i);
    } else if (argument == "--host") {
      const std::string& value = valueOf(i);
      if (value == "none") {
        options.noHost = true;
      } else {
        options.hosts.push_back(ParseHostOption(value));
      }
    } else if (argument.size() > 1 && argument[0] == '-' && argument != "-") {
      throw UsageError("unknown option " + argument);
    } else {
      options.drawings.push_back(argument);
    }
  }
  if (options.noHost && !options.hosts.empty()) {
    throw UsageError("--host none cannot be combined with other --host options");
  }
  return options;
}

std::vector<HostInstanceOption> HostsToStart(const Options& options) {
  if (options.noHost) return {};
  if (!options.hosts.empty()) return options.hosts;
  return {HostInstanceOption{{"17"}, "17.0"}};
}

std::string UsageText() {
  return "Usage: cindral [options] [DRAWING ...]\n"
         "\n"
         "Replaces block references in the drawing open in the built-in CAD host,\n"
         "keeping attribute values.\n"
         "\n"
         "  DRAWING ...      drawings the host opens first; the first one is active\n"
         "  --host IDS       start a host answering AutoCAD.Application.<id> for each\n"
         "                   id of the comma-separated IDS (e.g. 17, or 15,15.0,15.1);\n"
         "                   IDS:VERSION sets the version it reports; repeatable\n"
         "  --host none      no host is running at start-up\n"
         "  --script FILE    run headless, gestures from FILE ('-' for standard input),\n"
         "                   transcript on standard output\n"
         "  --save PATH      when the program ends, save the active drawing to PATH\n"
         "  --help           show this text\n"
         "  --version        show the program's version\n";
}

}  // namespace app
