// The per-user settings store: one SQLite file holding the registry values the
// program reads and writes by their full path text, and the application
// settings (application, section, key, value) that keep the attribute matches.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

struct sqlite3;

namespace host {

// A settings store that cannot be opened, read or written (damaged file,
// locked by another program for too long, folder or file not writable).
// `what()` is a complete sentence the caller shows to the user.
class SettingsStoreError : public std::runtime_error {
 public:
  explicit SettingsStoreError(const std::string& message) : std::runtime_error(message) {}
};

// The store is held by another instance for longer than the wait allows.
class SettingsStoreBusyError : public SettingsStoreError {
 public:
  using SettingsStoreError::SettingsStoreError;
};

// How a store connection behaves when another instance holds the file.
struct SettingsStoreOptions {
  // How long a call waits for another instance's write to finish before it
  // reports the store as in use.
  std::chrono::milliseconds busyTimeout{5000};
};

// One value of a section, with its key as it was first written.
struct SettingValue {
  std::string key;
  std::string value;
  friend bool operator==(const SettingValue&, const SettingValue&) = default;
};

// Owns one open connection to the store file. Every change runs in its own
// transaction, so a second program instance working on the same file sees
// either the whole change or none of it; a busy store is waited for a few
// seconds before the call gives up with `SettingsStoreError`. One object is
// used by one thread at a time; threads or instances each open their own.
//
// Application, section and key names are compared without regard to case
// (Unicode simple case folding, not only ASCII letters); each row keeps the name as it
// was first written beside its folded form. A section name may hold "\",
// which nests it under the section named by the text before it.
class SettingsStore {
 public:
  // Opens (creating when missing) the store file and its folder.
  explicit SettingsStore(const std::filesystem::path& file,
                         const SettingsStoreOptions& options = SettingsStoreOptions());
  ~SettingsStore();
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;

  // The per-user store file: $XDG_CONFIG_HOME/cindral/cindral.sqlite, or
  // ~/.config/cindral/cindral.sqlite when XDG_CONFIG_HOME is unset or not an
  // absolute path.
  static std::filesystem::path DefaultPath();

  const std::filesystem::path& File() const { return file_; }

  // Registry values, keyed by their full path text
  // ("HKEY_CURRENT_USER\SOFTWARE\...\Value Name"), compared without regard to
  // case; the root keys' short forms HKCU, HKLM and HKCR name the same values.
  std::optional<std::string> ReadRegistryValue(const std::string& path);
  void WriteRegistryValue(const std::string& path, const std::string& value);

  // Saves one value, creating the section when it is missing. An existing key
  // gets the new value and keeps its place among the section's values.
  void SaveSetting(const std::string& application, const std::string& section,
                   const std::string& key, const std::string& value);

  // All values of a section in the order their keys were first saved; empty
  // when the section does not exist.
  std::vector<SettingValue> GetAllSettings(const std::string& application,
                                           const std::string& section);

  // Removes the section with all its keys and the sections nested under it.
  // Deleting a section that does not exist changes nothing.
  void DeleteSetting(const std::string& application, const std::string& section);

  // Deletes the section and writes `values` in their order, in one
  // transaction: other readers see the old or the new record set, never a mix.
  void ReplaceSection(const std::string& application, const std::string& section,
                      const std::vector<SettingValue>& values);

 private:
  void CreateSchema();

  std::filesystem::path file_;
  sqlite3* db_ = nullptr;
};

}  // namespace host
