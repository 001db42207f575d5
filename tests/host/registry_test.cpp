#include "host/registry.h"

#include <cstdlib>
#include <fstream>

#include <gtest/gtest.h>

#include "host/settings_store.h"
#include "tests/host/temp_folder.h"

namespace {

// Points the per-user store at a fresh folder for the test's duration.
class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    hadXdg_ = saved != nullptr;
    if (hadXdg_) savedXdg_ = saved;
    ::setenv("XDG_CONFIG_HOME", folder_.Path().c_str(), 1);
  }
  void TearDown() override {
    if (hadXdg_) {
      ::setenv("XDG_CONFIG_HOME", savedXdg_.c_str(), 1);
    } else {
      ::unsetenv("XDG_CONFIG_HOME");
    }
  }

  host_test::TempFolder folder_;
  bool hadXdg_ = false;
  std::string savedXdg_;
};

TEST_F(RegistryTest, ValueNeverWrittenReadsAsEmptyText) {
  EXPECT_EQ(host::ReadRegistryValue(host::kBlocksPathValue), "");
}

TEST_F(RegistryTest, WrittenDirectoryReadsBackTheSame) {
  host::WriteRegistryValue(host::kBlocksPathValue, "D:\\Blocks");
  EXPECT_EQ(host::ReadRegistryValue(host::kBlocksPathValue), "D:\\Blocks");
  host::WriteRegistryValue(host::kBlocksPathValue, "/srv/blöcke/übersicht");
  EXPECT_EQ(host::ReadRegistryValue("hkey_current_user\\software\\fenwright\\cindral\\BLOCKS PATH"),
            "/srv/blöcke/übersicht");
  EXPECT_TRUE(std::filesystem::exists(folder_.Path() / "cindral" / "cindral.sqlite"));
}

TEST_F(RegistryTest, ShortRootKeyNamesTheSameValue) {
  host::WriteRegistryValue("HKCU\\Software\\Fenwright\\Cindral\\Blocks Path", "E:\\Parts");
  EXPECT_EQ(host::ReadRegistryValue(host::kBlocksPathValue), "E:\\Parts");
  EXPECT_EQ(host::ReadRegistryValue("HKLM\\SOFTWARE\\Fenwright\\Cindral\\Blocks Path"), "");
}

TEST_F(RegistryTest, StoreThatCannotBeOpenedReadsAsEmptyAndWritesNothing) {
  std::ofstream(folder_.Path() / "blocked") << "a file where the folder should be";
  ::setenv("XDG_CONFIG_HOME", (folder_.Path() / "blocked").c_str(), 1);
  EXPECT_NO_THROW(host::WriteRegistryValue(host::kBlocksPathValue, "D:\\Blocks"));
  EXPECT_EQ(host::ReadRegistryValue(host::kBlocksPathValue), "");
}

TEST_F(RegistryTest, DamagedStoreKeepsItsBytesAndReadsAsEmpty) {
  const auto file = folder_.Path() / "cindral" / "cindral.sqlite";
  std::filesystem::create_directories(file.parent_path());
  const std::string garbage(2048, '#');
  std::ofstream(file, std::ios::binary) << garbage;
  host::WriteRegistryValue(host::kBlocksPathValue, "D:\\Blocks");
  EXPECT_EQ(host::ReadRegistryValue(host::kBlocksPathValue), "");
  EXPECT_EQ(std::filesystem::file_size(file), garbage.size());
}

}  // namespace
