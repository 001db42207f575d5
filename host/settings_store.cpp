#include "host/settings_store.h"

#include <sqlite3.h>
#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>

namespace host {
namespace {

constexpr int kSchemaVersion = 1;
constexpr std::chrono::milliseconds kSchemaRetryPause{5};

std::string Quoted(const std::filesystem::path& file) { return "\"" + file.string() + "\""; }

// Turns a failed SQLite call into the message the user is shown.
[[noreturn]] void Fail(sqlite3* db, int rc, const std::filesystem::path& file) {
  const std::string detail = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  switch (rc & 0xff) {
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
      throw SettingsStoreError("The settings store " + Quoted(file) +
                               " is damaged and cannot be used (" + detail +
                               "). Move the file aside to start again with empty settings.");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      throw SettingsStoreBusyError("The settings store " + Quoted(file) +
                               " is in use by another program and could not be reached (" +
                               detail + "). Try again in a moment.");
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
      throw SettingsStoreError("The settings store " + Quoted(file) +
                               " could not be opened for writing (" + detail +
                               "). Check that the folder and the file may be written.");
    case SQLITE_IOERR:
    case SQLITE_FULL:
      throw SettingsStoreError("The settings store " + Quoted(file) +
                               " could not be read or written (" + detail +
                               "). Check the disk and its free space.");
    default:
      throw SettingsStoreError("The settings store " + Quoted(file) + " could not be used (" +
                               detail + ").");
  }
}

// Names as SQLite sees them: the store compares folded copies, because the
// NOCASE collation only folds ASCII letters. ICU's simple case folding maps
// each character to one character, as the Windows registry compares names
// ("STRASSE" and "Straße" stay different names). Text that is not valid UTF-8
// keeps its other bytes unchanged, so two different names never fold alike.
std::string FoldCase(const std::string& text) {
  std::string folded;
  folded.reserve(text.size());
  // ICU indexes with 32-bit integers; SQLite refuses such a text anyway.
  const bool decodable = text.size() <= static_cast<std::size_t>(INT32_MAX);
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80 || !decodable) {
      folded += static_cast<char>(lead >= 'A' && lead <= 'Z' ? lead - 'A' + 'a' : lead);
      ++i;
      continue;
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    auto next = static_cast<int32_t>(i);
    UChar32 c = 0;
    U8_NEXT(bytes, next, length, c);
    if (c < 0) {
      folded += text.substr(i, static_cast<std::size_t>(next) - i);
    } else {
      const UChar32 lower = u_foldCase(c, U_FOLD_CASE_DEFAULT);
      char buffer[U8_MAX_LENGTH];
      int32_t written = 0;
      U8_APPEND_UNSAFE(reinterpret_cast<uint8_t*>(buffer), written, lower);
      folded.append(buffer, static_cast<std::size_t>(written));
    }
    i = static_cast<std::size_t>(next);
  }
  return folded;
}

// A registry path as the store keys it: folded, with the root key's short
// form ("HKCU\...") spelt out, as the registry accepts both for one value.
std::string RegistryKey(const std::string& path) {
  static constexpr std::pair<std::string_view, std::string_view> kRootAbbreviations[] = {
      {"hkcu\\", "hkey_current_user\\"},
      {"hklm\\", "hkey_local_machine\\"},
      {"hkcr\\", "hkey_classes_root\\"}};
  std::string key = FoldCase(path);
  for (const auto& [shortForm, longForm] : kRootAbbreviations) {
    if (key.starts_with(shortForm)) return std::string(longForm) + key.substr(shortForm.size());
  }
  return key;
}

// One prepared statement; text is always bound, never spliced into SQL.
class Statement {
 public:
  Statement(sqlite3* db, const std::filesystem::path& file, const char* sql) : db_(db), file_(file) {
    const int rc = sqlite3_prepare_v2(db_, sql, -1, &stmt_, nullptr);
    if (rc != SQLITE_OK) Fail(db_, rc, file_);
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Statement& Bind(int index, const std::string& text) {
    const int rc = sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_TRANSIENT,
                                       SQLITE_UTF8);
    if (rc != SQLITE_OK) Fail(db_, rc, file_);
    return *this;
  }

  // Advances to the next row; false when the statement has finished.
  bool Step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    Fail(db_, rc, file_);
  }

  void Run() {
    while (Step()) {
    }
  }

  std::string Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    const int size = sqlite3_column_bytes(stmt_, column);
    return text != nullptr ? std::string(text, static_cast<std::size_t>(size)) : std::string();
  }

  int Int(int column) const { return sqlite3_column_int(stmt_, column); }

 private:
  sqlite3* db_ = nullptr;
  const std::filesystem::path& file_;
  sqlite3_stmt* stmt_ = nullptr;
};

void Execute(sqlite3* db, const std::filesystem::path& file, const char* sql) {
  Statement(db, file, sql).Run();
}

// A write transaction that rolls back unless committed. IMMEDIATE takes the
// write lock up front, so two instances never deadlock upgrading a read.
class WriteTransaction {
 public:
  WriteTransaction(sqlite3* db, const std::filesystem::path& file) : db_(db), file_(file) {
    Execute(db_, file_, "BEGIN IMMEDIATE");
  }
  ~WriteTransaction() {
    if (!committed_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
  WriteTransaction(const WriteTransaction&) = delete;
  WriteTransaction& operator=(const WriteTransaction&) = delete;

  void Commit() {
    Execute(db_, file_, "COMMIT");
    committed_ = true;
  }

 private:
  sqlite3* db_ = nullptr;
  const std::filesystem::path& file_;
  bool committed_ = false;
};

constexpr const char* kUpsertSetting =
    "INSERT INTO settings(application, application_folded, section, section_folded,"
    " key, key_folded, value) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)"
    " ON CONFLICT(application_folded, section_folded, key_folded)"
    " DO UPDATE SET value = excluded.value";

// A section, and the sections nested under it: folded names from "<section>\"
// up to "<section>]" (the byte after "\"), a range the unique index serves.
constexpr const char* kDeleteSection =
    "DELETE FROM settings WHERE application_folded = ?1 AND section_folded = ?2";
constexpr const char* kDeleteNestedSections =
    "DELETE FROM settings WHERE application_folded = ?1"
    " AND section_folded >= ?2 AND section_folded < ?3";

void UpsertSetting(sqlite3* db, const std::filesystem::path& file, const std::string& application,
                   const std::string& section, const SettingValue& entry) {
  Statement(db, file, kUpsertSetting)
      .Bind(1, application)
      .Bind(2, FoldCase(application))
      .Bind(3, section)
      .Bind(4, FoldCase(section))
      .Bind(5, entry.key)
      .Bind(6, FoldCase(entry.key))
      .Bind(7, entry.value)
      .Run();
}

void DeleteSection(sqlite3* db, const std::filesystem::path& file, const std::string& application,
                   const std::string& section) {
  const std::string foldedApplication = FoldCase(application);
  const std::string foldedSection = FoldCase(section);
  Statement(db, file, kDeleteSection).Bind(1, foldedApplication).Bind(2, foldedSection).Run();
  Statement(db, file, kDeleteNestedSections)
      .Bind(1, foldedApplication)
      .Bind(2, foldedSection + '\\')
      .Bind(3, foldedSection + ']')
      .Run();
}

}  // namespace

SettingsStore::SettingsStore(const std::filesystem::path& file, const SettingsStoreOptions& options)
    : file_(file) {
  const std::filesystem::path folder = file_.parent_path();
  if (!folder.empty()) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
      throw SettingsStoreError("The folder " + Quoted(folder) +
                               " for the settings store could not be created (" + error.message() +
                               ").");
    }
  }
  const int rc = sqlite3_open_v2(file_.c_str(), &db_,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                                 nullptr);
  if (rc != SQLITE_OK) {
    // The handle exists even when opening failed and carries the reason.
    const std::string detail = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    sqlite3_close(db_);
    db_ = nullptr;
    throw SettingsStoreError("The settings store " + Quoted(file_) + " could not be opened (" +
                             detail + "). Check that the folder and the file may be written.");
  }
  try {
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, static_cast<int>(options.busyTimeout.count()));
    // Two instances making a new store at once: SQLite refuses the switch to
    // write-ahead logging, or a read that meets the other's recovery, at once
    // instead of waiting, so the schema step is tried again until the wait
    // allowed for a busy store is over.
    const auto deadline = std::chrono::steady_clock::now() + options.busyTimeout;
    for (;;) {
      try {
        CreateSchema();
        break;
      } catch (const SettingsStoreBusyError&) {
        if (std::chrono::steady_clock::now() >= deadline) throw;
        std::this_thread::sleep_for(kSchemaRetryPause);
      }
    }
  } catch (...) {
    sqlite3_close(db_);
    db_ = nullptr;
    throw;
  }
}

SettingsStore::~SettingsStore() { sqlite3_close(db_); }

void SettingsStore::CreateSchema() {
  // Reading the version is the first access to the file: a file that is not a
  // store fails here with a clear message.
  int found = 0;
  {
    Statement version(db_, file_, "PRAGMA user_version");
    if (version.Step()) found = version.Int(0);
  }
  if (found == kSchemaVersion) return;
  if (found > kSchemaVersion) {
    throw SettingsStoreError("The settings store " + Quoted(file_) +
                             " was written by a newer version of the program and cannot be used.");
  }
  // Write-ahead logging lets one instance read while the other writes; where
  // the file system cannot keep a shared log, SQLite stays with its rollback
  // journal, which is just as safe.
  Statement(db_, file_, "PRAGMA journal_mode=WAL").Run();
  WriteTransaction transaction(db_, file_);
  Execute(db_, file_,
          "CREATE TABLE IF NOT EXISTS registry_values("
          " path_folded TEXT PRIMARY KEY,"
          " path TEXT NOT NULL,"
          " value TEXT NOT NULL)");
  // The integer key keeps the order in which keys were first saved.
  Execute(db_, file_,
          "CREATE TABLE IF NOT EXISTS settings("
          " id INTEGER PRIMARY KEY,"
          " application TEXT NOT NULL, application_folded TEXT NOT NULL,"
          " section TEXT NOT NULL, section_folded TEXT NOT NULL,"
          " key TEXT NOT NULL, key_folded TEXT NOT NULL,"
          " value TEXT NOT NULL,"
          " UNIQUE(application_folded, section_folded, key_folded))");
  Execute(db_, file_, "PRAGMA user_version = 1");
  transaction.Commit();
}

std::filesystem::path SettingsStore::DefaultPath() {
  std::filesystem::path base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg != '\0') {
    base = xdg;
  }
  if (!base.is_absolute()) {
    const char* home = std::getenv("HOME");
    base = std::filesystem::path(home != nullptr ? home : "") / ".config";
  }
  return base / "cindral" / "cindral.sqlite";
}

std::optional<std::string> SettingsStore::ReadRegistryValue(const std::string& path) {
  Statement query(db_, file_, "SELECT value FROM registry_values WHERE path_folded = ?1");
  query.Bind(1, RegistryKey(path));
  if (!query.Step()) return std::nullopt;
  return query.Text(0);
}

void SettingsStore::WriteRegistryValue(const std::string& path, const std::string& value) {
  Statement(db_, file_,
            "INSERT INTO registry_values(path_folded, path, value) VALUES(?1, ?2, ?3)"
            " ON CONFLICT(path_folded) DO UPDATE SET value = excluded.value")
      .Bind(1, RegistryKey(path))
      .Bind(2, path)
      .Bind(3, value)
      .Run();
}

void SettingsStore::SaveSetting(const std::string& application, const std::string& section,
                                const std::string& key, const std::string& value) {
  WriteTransaction transaction(db_, file_);
  UpsertSetting(db_, file_, application, section, SettingValue{key, value});
  transaction.Commit();
}

std::vector<SettingValue> SettingsStore::GetAllSettings(const std::string& application,
                                                        const std::string& section) {
  Statement query(db_, file_,
                  "SELECT key, value FROM settings"
                  " WHERE application_folded = ?1 AND section_folded = ?2 ORDER BY id");
  query.Bind(1, FoldCase(application)).Bind(2, FoldCase(section));
  std::vector<SettingValue> values;
  while (query.Step()) values.push_back(SettingValue{query.Text(0), query.Text(1)});
  return values;
}

void SettingsStore::DeleteSetting(const std::string& application, const std::string& section) {
  WriteTransaction transaction(db_, file_);
  DeleteSection(db_, file_, application, section);
  transaction.Commit();
}

void SettingsStore::ReplaceSection(const std::string& application, const std::string& section,
                                   const std::vector<SettingValue>& values) {
  WriteTransaction transaction(db_, file_);
  DeleteSection(db_, file_, application, section);
  for (const SettingValue& entry : values) UpsertSetting(db_, file_, application, section, entry);
  transaction.Commit();
}

}  // namespace host
