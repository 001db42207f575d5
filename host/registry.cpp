#include "host/registry.h"

#include <exception>

#include "host/settings_store.h"

namespace host {

// Both calls swallow every failure: the program reads this value where an empty
// answer simply means "no blocks directory chosen yet", and a lost write is
// noticed by the user when the directory is shown again.
std::string ReadRegistryValue(const std::string& path) {
  try {
    SettingsStore store(SettingsStore::DefaultPath());
    return store.ReadRegistryValue(path).value_or(std::string());
  } catch (const std::exception&) {
    return {};
  }
}

void WriteRegistryValue(const std::string& path, const std::string& value) {
  try {
    SettingsStore store(SettingsStore::DefaultPath());
    store.WriteRegistryValue(path, value);
  } catch (const std::exception&) {
  }
}

}  // namespace host
