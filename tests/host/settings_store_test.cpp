#include "host/settings_store.h"

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/host/temp_folder.h"

namespace {

using host::SettingsStore;
using host::SettingsStoreError;
using host::SettingValue;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr const char* kApp = "QV_Cindral";

std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

class SettingsStoreTest : public ::testing::Test {
 protected:
  std::filesystem::path StoreFile() const { return folder_.Path() / "cindral" / "cindral.sqlite"; }

  host_test::TempFolder folder_;
};

// Names differing only in letter case (ASCII and beyond) reach the same value;
// quotes, "^", "\" and SQL-looking text are stored and found exactly.
struct NamePair {
  const char* label;
  std::string written;
  std::string askedFor;
  friend void PrintTo(const NamePair& c, std::ostream* os) { *os << c.label; }
};

class SettingsStoreNames : public SettingsStoreTest,
                           public ::testing::WithParamInterface<NamePair> {};

TEST_P(SettingsStoreNames, SectionAndKeyFoundWhateverTheirCase) {
  const NamePair& names = GetParam();
  {
    SettingsStore store(StoreFile());
    store.SaveSetting(kApp, names.written, names.written, "value of " + names.written);
  }
  SettingsStore reopened(StoreFile());
  EXPECT_THAT(reopened.GetAllSettings("qv_cindral", names.askedFor),
              ElementsAre(SettingValue{names.written, "value of " + names.written}));
  reopened.SaveSetting("QV_CINDRAL", names.askedFor, names.askedFor, "replaced");
  EXPECT_THAT(reopened.GetAllSettings(kApp, names.written),
              ElementsAre(SettingValue{names.written, "replaced"}));
}

INSTANTIATE_TEST_SUITE_P(
    Names, SettingsStoreNames,
    ::testing::Values(
        NamePair{"AsciiCase", "BlocksMatched\\Valve_A^Title_B", "BLOCKSMATCHED\\VALVE_A^TITLE_B"},
        NamePair{"Accented", "BlocksMatched\\Ölkessel^Émetteur", "blocksmatched\\ölkessel^émetteur"},
        NamePair{"Greek", "Σήμα^ΒΑΝΑ", "σήμα^βανα"},
        NamePair{"Cyrillic", "Задвижка", "ЗАДВИЖКА"},
        NamePair{"Quotes", "It's \"quoted\"", "IT'S \"QUOTED\""},
        NamePair{"SqlText", "x'); DROP TABLE settings; --", "X'); drop table SETTINGS; --"},
        NamePair{"Wildcards", "100%_match\\*", "100%_MATCH\\*"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(SettingsStoreTest, NamesThatDifferBeyondCaseStayApart) {
  SettingsStore store(StoreFile());
  store.SaveSetting(kApp, "S", "Straße", "1");
  store.SaveSetting(kApp, "S", "STRASSE", "2");
  store.SaveSetting(kApp, "S", "Cafe", "3");
  store.SaveSetting(kApp, "S", "Café", "4");
  store.SaveSetting(kApp, "S", "A%", "5");
  store.SaveSetting(kApp, "S", "AB", "6");
  EXPECT_EQ(store.GetAllSettings(kApp, "S").size(), 6u);
  EXPECT_TRUE(store.GetAllSettings("Other", "S").empty());
}

TEST_F(SettingsStoreTest, ValuesComeBackInTheOrderTheyWereFirstSaved) {
  SettingsStore store(StoreFile());
  store.SaveSetting(kApp, "Pair", "2^1", "C^B^2");
  store.SaveSetting(kApp, "Pair", "0^1", "A^B^1");
  store.SaveSetting(kApp, "Pair", "Separator", "-");
  store.SaveSetting(kApp, "Other", "0^0", "X^Y^1");
  // Saving an existing key again replaces its value and keeps its place.
  store.SaveSetting(kApp, "pair", "2^1", "C^B^3");
  EXPECT_THAT(store.GetAllSettings(kApp, "Pair"),
              ElementsAre(SettingValue{"2^1", "C^B^3"}, SettingValue{"0^1", "A^B^1"},
                          SettingValue{"Separator", "-"}));
}

TEST_F(SettingsStoreTest, ValuesAreKeptByteForByte) {
  const std::vector<SettingValue> values{{"empty", ""},
                                         {"lines", "one\rtwo\r\nthree"},
                                         {"nul", std::string("a\0b", 3)},
                                         {"long", std::string(100000, 'v')},
                                         {"latin1", "\xE9t\xE9"}};
  {
    SettingsStore store(StoreFile());
    for (const SettingValue& value : values) store.SaveSetting(kApp, "S", value.key, value.value);
  }
  EXPECT_EQ(SettingsStore(StoreFile()).GetAllSettings(kApp, "S"), values);
}

TEST_F(SettingsStoreTest, MissingSectionReadsAsNothing) {
  SettingsStore store(StoreFile());
  EXPECT_TRUE(store.GetAllSettings(kApp, "BlocksMatched\\None^Such").empty());
  EXPECT_NO_THROW(store.DeleteSetting(kApp, "BlocksMatched\\None^Such"));
}

TEST_F(SettingsStoreTest, DeleteRemovesTheSectionAndItsNestedSectionsOnly) {
  SettingsStore store(StoreFile());
  store.SaveSetting(kApp, "BlocksMatched\\A^B", "0^0", "T^T^1");
  store.SaveSetting(kApp, "BlocksMatched\\A^B\\Nested", "k", "v");
  store.SaveSetting(kApp, "BlocksMatched\\A^BC", "0^0", "kept");
  store.SaveSetting(kApp, "BlocksMatched", "k", "kept");
  store.SaveSetting("Another App", "BlocksMatched\\A^B", "0^0", "kept");

  store.DeleteSetting("qv_cindral", "blocksmatched\\a^b");

  EXPECT_TRUE(store.GetAllSettings(kApp, "BlocksMatched\\A^B").empty());
  EXPECT_TRUE(store.GetAllSettings(kApp, "BlocksMatched\\A^B\\Nested").empty());
  EXPECT_EQ(store.GetAllSettings(kApp, "BlocksMatched\\A^BC").size(), 1u);
  EXPECT_EQ(store.GetAllSettings(kApp, "BlocksMatched").size(), 1u);
  EXPECT_EQ(store.GetAllSettings("Another App", "BlocksMatched\\A^B").size(), 1u);
}

TEST_F(SettingsStoreTest, ReplaceSectionWritesTheNewRecordSetWhole) {
  SettingsStore store(StoreFile());
  store.SaveSetting(kApp, "BlocksMatched\\A^B", "0^0", "old");
  store.SaveSetting(kApp, "BlocksMatched\\A^B", "1^1", "old");
  store.ReplaceSection(kApp, "BLOCKSMATCHED\\A^B",
                       {{"2^1", "C^B^2"}, {"0^1", "A^B^1"}, {"Separator", "/"}});
  EXPECT_THAT(store.GetAllSettings(kApp, "BlocksMatched\\A^B"),
              ElementsAre(SettingValue{"2^1", "C^B^2"}, SettingValue{"0^1", "A^B^1"},
                          SettingValue{"Separator", "/"}));
  store.ReplaceSection(kApp, "BlocksMatched\\A^B", {});
  EXPECT_TRUE(store.GetAllSettings(kApp, "BlocksMatched\\A^B").empty());
}

TEST_F(SettingsStoreTest, RegistryValuesKeyedByTheirPathWhateverItsCase) {
  SettingsStore store(StoreFile());
  const std::string path = "HKEY_CURRENT_USER\\SOFTWARE\\Fenwright\\Cindral\\Blocks Path";
  EXPECT_EQ(store.ReadRegistryValue(path), std::nullopt);
  store.WriteRegistryValue(path, "D:\\Blocks");
  store.WriteRegistryValue("hkey_current_user\\software\\fenwright\\cindral\\blocks path",
                           "D:\\Blöcke 'new'");
  EXPECT_EQ(store.ReadRegistryValue(path), "D:\\Blöcke 'new'");
  EXPECT_EQ(store.ReadRegistryValue(path + "2"), std::nullopt);
  // Registry values and settings do not see each other.
  EXPECT_TRUE(store.GetAllSettings("HKEY_CURRENT_USER", "SOFTWARE").empty());
}

TEST_F(SettingsStoreTest, TwoConnectionsSeeEachOthersWrites) {
  SettingsStore first(StoreFile());
  SettingsStore second(StoreFile());
  first.SaveSetting(kApp, "S", "a", "1");
  EXPECT_THAT(second.GetAllSettings(kApp, "s"), ElementsAre(SettingValue{"a", "1"}));
  second.ReplaceSection(kApp, "S", {{"b", "2"}});
  EXPECT_THAT(first.GetAllSettings(kApp, "S"), ElementsAre(SettingValue{"b", "2"}));
}

TEST_F(SettingsStoreTest, ConcurrentWritersLoseNothing) {
  constexpr int kPerWriter = 100;
  auto writer = [this](const std::string& section) {
    SettingsStore store(StoreFile());
    for (int i = 0; i < kPerWriter; ++i) {
      store.SaveSetting(kApp, section, std::to_string(i), std::to_string(i));
    }
  };
  std::thread one(writer, "One");
  std::thread two(writer, "Two");
  one.join();
  two.join();
  SettingsStore store(StoreFile());
  EXPECT_EQ(store.GetAllSettings(kApp, "One").size(), static_cast<std::size_t>(kPerWriter));
  EXPECT_EQ(store.GetAllSettings(kApp, "Two").size(), static_cast<std::size_t>(kPerWriter));
}

// Two program instances: a child process saves while this one saves too.
TEST_F(SettingsStoreTest, TwoProcessesSavingAtOnceLoseNothing) {
  constexpr int kPerInstance = 40;
  auto saveAll = [this](const std::string& section) {
    SettingsStore store(StoreFile());
    for (int i = 0; i < kPerInstance; ++i) {
      store.ReplaceSection(kApp, section + std::to_string(i % 10),
                           {{"0^0", std::to_string(i)}, {"Separator", "-"}});
      store.SaveSetting(kApp, section, std::to_string(i), std::to_string(i));
    }
  };
  const pid_t child = ::fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    int status = 0;
    try {
      saveAll("Child");
    } catch (...) {
      status = 1;
    }
    ::_exit(status);
  }
  EXPECT_NO_THROW(saveAll("Parent"));
  int status = -1;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child instance failed to save";
  SettingsStore store(StoreFile());
  for (const char* section : {"Child", "Parent"}) {
    EXPECT_EQ(store.GetAllSettings(kApp, section).size(), static_cast<std::size_t>(kPerInstance));
    EXPECT_THAT(store.GetAllSettings(kApp, std::string(section) + "9"),
                ElementsAre(SettingValue{"0^0", "39"}, SettingValue{"Separator", "-"}));
  }
}

TEST_F(SettingsStoreTest, StoreHeldByAnotherWriterGivesAClearErrorAndKeepsTheValue) {
  SettingsStore store(StoreFile(), host::SettingsStoreOptions{std::chrono::milliseconds(50)});
  store.SaveSetting(kApp, "S", "k", "before");

  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(StoreFile().c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  try {
    store.SaveSetting(kApp, "S", "k", "after");
    ADD_FAILURE() << "a write through a held store succeeded";
  } catch (const SettingsStoreError& error) {
    EXPECT_THAT(error.what(), HasSubstr("in use by another program"));
  }
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_THAT(store.GetAllSettings(kApp, "S"), ElementsAre(SettingValue{"k", "before"}));
}

TEST_F(SettingsStoreTest, DamagedFileGivesAClearErrorAndIsLeftAsItWas) {
  std::filesystem::create_directories(StoreFile().parent_path());
  const std::string garbage(4096, 'x');
  WriteBytes(StoreFile(), garbage);
  try {
    SettingsStore store(StoreFile());
    ADD_FAILURE() << "a damaged store opened";
  } catch (const SettingsStoreError& error) {
    EXPECT_THAT(error.what(), HasSubstr("is damaged"));
    EXPECT_THAT(error.what(), HasSubstr(StoreFile().string()));
  }
  EXPECT_EQ(ReadBytes(StoreFile()), garbage);
}

TEST_F(SettingsStoreTest, StoreOfANewerProgramIsRefused) {
  {
    SettingsStore store(StoreFile());
  }
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(StoreFile().c_str(), &db), SQLITE_OK);
  sqlite3_exec(db, "PRAGMA user_version = 99", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  EXPECT_THROW(SettingsStore{StoreFile()}, SettingsStoreError);
}

TEST_F(SettingsStoreTest, FolderThatCannotBeCreatedGivesAClearError) {
  WriteBytes(folder_.Path() / "plain-file", "not a folder");
  try {
    SettingsStore store(folder_.Path() / "plain-file" / "cindral" / "cindral.sqlite");
    ADD_FAILURE() << "a store opened below a plain file";
  } catch (const SettingsStoreError& error) {
    EXPECT_THAT(error.what(), HasSubstr("could not be created"));
  }
}

TEST_F(SettingsStoreTest, UnwritableFolderGivesAClearError) {
  if (::geteuid() == 0) GTEST_SKIP() << "file permissions do not bind the superuser";
  const std::filesystem::path locked = folder_.Path() / "locked";
  std::filesystem::create_directories(locked);
  std::filesystem::permissions(locked, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_exec);
  EXPECT_THROW(SettingsStore{locked / "cindral.sqlite"}, SettingsStoreError);
}

TEST_F(SettingsStoreTest, ReadOnlyStoreRefusesAWriteWithAClearError) {
  if (::geteuid() == 0) GTEST_SKIP() << "file permissions do not bind the superuser";
  {
    SettingsStore store(StoreFile());
    store.SaveSetting(kApp, "S", "k", "kept");
  }
  const auto readOnly = std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec;
  std::filesystem::permissions(StoreFile(), std::filesystem::perms::owner_read);
  std::filesystem::permissions(StoreFile().parent_path(), readOnly);
  try {
    SettingsStore store(StoreFile());
    store.SaveSetting(kApp, "S", "k", "lost");
    ADD_FAILURE() << "a read-only store took a write";
  } catch (const SettingsStoreError& error) {
    EXPECT_THAT(error.what(), HasSubstr(StoreFile().string()));
  }
  std::filesystem::permissions(StoreFile().parent_path(), std::filesystem::perms::owner_all);
  std::filesystem::permissions(StoreFile(), std::filesystem::perms::owner_all);
  EXPECT_THAT(SettingsStore(StoreFile()).GetAllSettings(kApp, "S"),
              ElementsAre(SettingValue{"k", "kept"}));
}

struct DefaultPathCase {
  const char* label;
  const char* xdgConfigHome;  // nullptr: unset
  std::string expected;
  friend void PrintTo(const DefaultPathCase& c, std::ostream* os) { *os << c.label; }
};

class SettingsStoreDefaultPath : public ::testing::TestWithParam<DefaultPathCase> {};

TEST_P(SettingsStoreDefaultPath, FollowsXdgConfigHome) {
  const char* savedXdg = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = savedXdg != nullptr ? savedXdg : "";
  const char* savedHome = std::getenv("HOME");
  const std::string home = savedHome != nullptr ? savedHome : "";
  ::setenv("HOME", "/home/drafter", 1);
  if (GetParam().xdgConfigHome != nullptr) {
    ::setenv("XDG_CONFIG_HOME", GetParam().xdgConfigHome, 1);
  } else {
    ::unsetenv("XDG_CONFIG_HOME");
  }
  const std::filesystem::path found = SettingsStore::DefaultPath();
  ::setenv("HOME", home.c_str(), 1);
  if (savedXdg != nullptr) {
    ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  } else {
    ::unsetenv("XDG_CONFIG_HOME");
  }
  EXPECT_EQ(found, std::filesystem::path(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Environment, SettingsStoreDefaultPath,
    ::testing::Values(
        DefaultPathCase{"Set", "/tmp/conf", "/tmp/conf/cindral/cindral.sqlite"},
        DefaultPathCase{"Unset", nullptr, "/home/drafter/.config/cindral/cindral.sqlite"},
        DefaultPathCase{"Empty", "", "/home/drafter/.config/cindral/cindral.sqlite"},
        DefaultPathCase{"Relative", "conf", "/home/drafter/.config/cindral/cindral.sqlite"}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
