// The drive, directory and file lists over real folders: the drawing-file
// pattern, folders in other letter case, unreadable and missing folders, the
// events each list raises, and the roots a drive list offers.
#include "forms/file_system_lists.h"
#include "forms/form.h"
#include "forms/recording_port.h"
#include "tests/host/temp_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace forms {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Entries(const ListControl& list) {
  std::vector<std::string> entries;
  for (int i = 0; i < list.ListCount(); ++i) entries.push_back(list.List(i));
  return entries;
}

void Touch(const fs::path& file) { std::ofstream(file) << "0\nEOF\n"; }

// A folder of drawing files and look-alikes:
//   Blocks/Pump.DWG, Valve.dwg, pump.dwg.bak, notes.txt, .hidden.dwg
//   Blocks/Old.dwg/ (a folder), Blocks/archive/, Blocks/.cache/
class BlocksFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(blocks / "Old.dwg");
    fs::create_directories(blocks / "archive");
    fs::create_directories(blocks / ".cache");
    for (const char* name : {"Pump.DWG", "Valve.dwg", "pump.dwg.bak", "notes.txt", ".hidden.dwg"}) {
      Touch(blocks / name);
    }
  }

  host_test::TempFolder temp;
  const fs::path blocks = temp.Path() / "Blocks";
};

struct PatternCase {
  const char* name;
  const char* pattern;
  bool matches;
};

TEST(FilePattern, MatchesWithoutRegardToLetterCase) {
  const PatternCase cases[] = {
      {"Pump.DWG", "*.dwg", true},        {"valve.dwg", "*.DWG", true},
      {"pump.dwg.bak", "*.dwg", false},   {"pump.dwgx", "*.dwg", false},
      {"dwg", "*.dwg", false},            {".dwg", "*.dwg", true},
      {"a.dxf", "*.dwg;*.dxf", true},     {"a.dxf", "*.dwg; *.DXF ", true},
      {"P1.dwg", "P?.dwg", true},         {"P10.dwg", "P?.dwg", false},
      {"notes.txt", "*.*", true},         {"anything", "", false},
  };
  for (const PatternCase& c : cases) {
    EXPECT_EQ(MatchesFilePattern(c.name, c.pattern), c.matches) << c.name << " against " << c.pattern;
  }
}

TEST_F(BlocksFolder, FileListShowsOnlyMatchingFilesSorted) {
  FileList files("File1");
  files.Pattern("*.dwg");
  files.Path(blocks.string());
  // Pump.DWG is a drawing file; pump.dwg.bak and the folder Old.dwg are not.
  EXPECT_EQ(Entries(files), (std::vector<std::string>{".hidden.dwg", "Pump.DWG", "Valve.dwg"}));
  EXPECT_EQ(files.ListCount(), 3);

  files.Pattern("*.txt");
  EXPECT_EQ(Entries(files), (std::vector<std::string>{"notes.txt"}));

  // A folder that vanished keeps the listing and says why.
  const std::string gone = (temp.Path() / "Gone").string();
  try {
    files.Path(gone);
    FAIL() << "a missing folder was listed";
  } catch (const FolderUnavailable& failure) {
    EXPECT_EQ(failure.Description(), kPathNotFound);
  }
  EXPECT_EQ(files.Path(), blocks.string());
  EXPECT_EQ(files.ListCount(), 1);
}

TEST_F(BlocksFolder, DirectoryListListsSubfoldersAndRaisesChangeOnlyOnAMove) {
  RecordingPort ui;
  Form window("Frm_Test", ui);
  DirectoryList dir("Dir1");
  window.Register(dir);
  std::vector<std::string> events;
  dir.onChange = [&] { events.push_back("Change " + dir.Path()); };
  dir.onClick = [&] { events.push_back("Click " + dir.Text()); };

  dir.Path(blocks.string() + "/");
  EXPECT_EQ(dir.Path(), blocks.string());
  EXPECT_EQ(Entries(dir), (std::vector<std::string>{"archive", "Old.dwg"}));
  EXPECT_EQ(dir.ListIndex(), -1);
  EXPECT_EQ(dir.Text(), blocks.string());
  dir.Path(blocks.string());  // the same folder again: listed again, no Change
  dir.ListIndex(1);
  EXPECT_EQ(dir.EntryPath(1), (blocks / "Old.dwg").string());
  EXPECT_EQ(events, (std::vector<std::string>{"Change " + blocks.string(),
                                              "Click " + (blocks / "Old.dwg").string()}));

  // Missing folders and files are refused; the list keeps its folder.
  for (const fs::path& wrong : {temp.Path() / "Gone", blocks / "notes.txt"}) {
    try {
      dir.Path(wrong.string());
      FAIL() << wrong << " was shown";
    } catch (const FolderUnavailable& failure) {
      EXPECT_EQ(failure.Description(), kPathNotFound);
      EXPECT_NE(std::string(failure.what()).find("Frm_Test.Dir1 path not found: "), std::string::npos);
    }
    EXPECT_EQ(dir.Path(), blocks.string());
    EXPECT_EQ(dir.ListCount(), 2);
  }
}

TEST_F(BlocksFolder, FolderInOtherLetterCaseIsFoundAndKeepsItsText) {
  const std::string otherCase = (temp.Path() / "bLOCKS" / "ARCHIVE").string();
  ASSERT_TRUE(ResolveFolder(otherCase));
  EXPECT_EQ(*ResolveFolder(otherCase), blocks / "archive");
  EXPECT_EQ(*ResolveFolder((temp.Path() / "BLOCKS" / ".." / "Blocks" / ".").string()), blocks);
  EXPECT_FALSE(ResolveFolder((blocks / "Pump.DWG").string()));
  EXPECT_FALSE(ResolveFolder(""));

  DirectoryList dir("Dir1");
  dir.Path(temp.Path().string() + "/bLOCKS");
  EXPECT_EQ(dir.Path(), temp.Path().string() + "/bLOCKS");
  EXPECT_EQ(dir.ListCount(), 2);
  FileList files("File1");
  files.Pattern("*.dwg");
  files.Path(dir.Path());
  EXPECT_EQ(files.ListCount(), 3);
}

// The user's gestures move the list only while its window shows.
TEST_F(BlocksFolder, UserOpensAndLeavesFolders) {
  RecordingPort ui;
  Form window("Frm_Test", ui);
  DirectoryList dir("Dir1");
  window.Register(dir);
  window.Show();
  dir.Path(blocks.string());
  dir.UserOpen(0);
  EXPECT_EQ(dir.Path(), (blocks / "archive").string());
  EXPECT_EQ(dir.ListCount(), 0);
  dir.UserUp();
  dir.UserUp();
  EXPECT_EQ(dir.Path(), temp.Path().string());
  dir.UserGoTo("/");
  dir.UserUp();
  EXPECT_EQ(dir.Path(), "/");
  EXPECT_THROW(dir.UserOpen(dir.ListCount()), ControlError);
  window.Hide();
  EXPECT_THROW(dir.UserGoTo(blocks.string()), ControlError);
  EXPECT_EQ(dir.Path(), "/");
}

// A folder that exists but cannot be read is a drive that is not ready. The
// check runs in a child process that gives up the super-user's right to read
// every folder, so that it holds whoever runs the tests.
TEST_F(BlocksFolder, UnreadableFolderIsADeviceThatIsNotReady) {
  const fs::path locked = blocks / "locked";
  fs::create_directories(locked);
  Touch(locked / "Inside.dwg");
  fs::permissions(locked, fs::perms::none);
  const auto check = [&] {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) std::exit(3);
    DirectoryList dir("Dir1");
    FileList files("File1");
    dir.Path(blocks.string());
    int found = 0;
    for (const auto& attempt : {std::function<void()>([&] { dir.Path(locked.string()); }),
                                std::function<void()>([&] { files.Path(locked.string()); })}) {
      try {
        attempt();
      } catch (const FolderUnavailable& failure) {
        if (failure.Description() == kDeviceUnavailable) ++found;
      }
    }
    std::exit(found == 2 && dir.Path() == blocks.string() ? 0 : 1);
  };
  EXPECT_EXIT(check(), ::testing::ExitedWithCode(0), "");
}

TEST(DriveList, ChangeOnlyWhenAnotherDriveIsChosen) {
  RecordingPort ui;
  Form window("Frm_Test", ui);
  DriveList drives("Drive1");
  window.Register(drives);
  std::vector<std::string> changes;
  drives.onChange = [&] { changes.push_back(drives.Drive()); };
  window.Load();
  drives.Refresh({"/", "/home/ana", "/media/ana/STICK"});

  drives.ShowDriveOf("/home/ana/blocks");  // quietly, no Change
  EXPECT_EQ(drives.Drive(), "/home/ana");
  drives.ShowDriveOf("/home/anabel");
  EXPECT_EQ(drives.Drive(), "/");
  drives.ListIndex(2);
  drives.ListIndex(2);
  drives.ListIndex(0);
  EXPECT_EQ(changes, (std::vector<std::string>{"/media/ana/STICK", "/"}));

  window.Unload();  // a window loaded again starts with an empty list
  EXPECT_EQ(drives.ListCount(), 0);
  EXPECT_EQ(drives.Drive(), "");
}

TEST(DriveList, MountTableGivesTheUsersVolumes) {
  const std::string table =
      "proc /proc proc rw 0 0\n"
      "/dev/vda / ext4 rw 0 0\n"
      "tmpfs /run/user/1000 tmpfs rw 0 0\n"
      "/dev/sdb1 /media/ana/USB\\040DISK vfat rw 0 0\n"
      "/dev/sdc1 /run/media/ana/STICK exfat rw 0 0\n"
      "/dev/loop0 /snap/core/1 squashfs ro 0 0\n"
      "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n"
      "server:/share /mnt/share nfs4 rw 0 0\n"
      "/dev/vda / ext4 rw 0 0\n"
      "broken line\n";
  EXPECT_EQ(RealFileSystemMounts(table),
            (std::vector<std::string>{"/", "/media/ana/USB DISK", "/run/media/ana/STICK", "/mnt/share"}));

  const std::vector<std::string> roots = FileSystemRoots();
  ASSERT_FALSE(roots.empty());
  EXPECT_EQ(roots.front(), "/");
  for (const std::string& root : roots) EXPECT_TRUE(fs::is_directory(root)) << root;
}

}  // namespace
}  // namespace forms
