#include "app/dwg_reader_setup.h"

#include <cstdlib>
#include <string>

#include "host/settings_store.h"

namespace app {

cadhost::dwg::DwgReaderSetup DwgReaderSetupFromEnvironment() {
  cadhost::dwg::DwgReaderSetup setup;
  setup.script = CINDRAL_DWG_READER_SCRIPT;
  if (const char* script = std::getenv("CINDRAL_DWG_READER"); script != nullptr && *script != '\0')
    setup.script = script;
  if (const char* limit = std::getenv("CINDRAL_DWG_TIME_LIMIT"); limit != nullptr && *limit != '\0') {
    char* end = nullptr;
    const double seconds = std::strtod(limit, &end);
    if (end != limit && *end == '\0' && seconds > 0)
      setup.timeLimit = std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
  }
  setup.cacheFolder = host::SettingsStore::DefaultPath().parent_path() / "dwg-cache";
  return setup;
}

}  // namespace app
