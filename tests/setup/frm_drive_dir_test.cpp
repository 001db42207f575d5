// The blocks-directory chooser on the work window: where it starts, storing
// a folder only when it changed (compared in lower case) while always listing
// it again, the question for a folder without drawing files, the close box,
// and drives that are not ready.
#include "setup/frm_drive_dir.h"

#include <cstdlib>
#include <fstream>

#include "../inventory/work_window_fixture.h"

namespace workwindow_test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

void Touch(const fs::path& file) { std::ofstream(file) << "0\nEOF\n"; }

// A drawing with one block and the folders Blocks (Pump.DWG, Valve.dwg,
// pump.dwg.bak), Other (Tank.dwg, hose.DWG) and Empty (notes.txt only); Blocks is the
// stored blocks directory, read by the work window's scan.
class DriveDirTest : public WorkWindowTest {
 public:
  void SetUp() override {
    WorkWindowTest::SetUp();
    for (const char* name : {"Blocks", "Other", "Empty", "home"}) fs::create_directories(folder / name);
    for (const char* name : {"Blocks/Pump.DWG", "Blocks/Valve.dwg", "Blocks/pump.dwg.bak", "Other/Tank.dwg", "Other/hose.DWG",
                             "Empty/notes.txt"}) {
      Touch(folder / name);
    }
    if (const char* home = std::getenv("HOME")) savedHome = home;
    ::setenv("HOME", (folder / "home").c_str(), 1);
    host::WriteRegistryValue(host::kBlocksPathValue, Path("Blocks"));
    setup::WireDriveDir(chooser, boundary);
    MakeBlock("DOOR");
    Insert("DOOR", 0);
    form.Show();
  }
  void TearDown() override {
    if (savedHome.empty()) {
      ::unsetenv("HOME");
    } else {
      ::setenv("HOME", savedHome.c_str(), 1);
    }
    WorkWindowTest::TearDown();
  }

  std::string Path(const std::string& name) const { return (folder / name).string(); }
  void Open() { form.CmdSelectBlocksDir.UserClick(); }
  void SaveAndExit(const std::string& path) {
    chooser.Dir1.UserGoTo(path);
    chooser.CmdSaveAndExit.UserClick();
  }

  std::string savedHome;
  setup::Frm_DriveDir chooser{ui, form};
};

TEST_F(DriveDirTest, OpensAtTheStoredFolderWithItsDrawingFiles) {
  EXPECT_THAT(ListEntries(form.ListBlocksInDir), UnorderedElementsAre("Pump", "Valve"));
  Open();
  ASSERT_TRUE(chooser.Visible());
  EXPECT_EQ(ui.Windows().Active(), &chooser);
  EXPECT_EQ(chooser.Caption(), "Select current Blocks Directory");
  EXPECT_EQ(chooser.CmdSaveAndExit.Caption(), "Set Blocks Directory and Exit");
  EXPECT_EQ(chooser.Dir1.Path(), Path("Blocks"));
  EXPECT_EQ(chooser.File1.Pattern(), "*.dwg;*.dxf");
  EXPECT_THAT(ListEntries(chooser.File1), ElementsAre("Pump.DWG", "Valve.dwg"));
  EXPECT_EQ(chooser.Drive1.List(0), "/");
  EXPECT_EQ(chooser.Drive1.ListIndex() >= 0, true);
  EXPECT_EQ(Path("Blocks").rfind(chooser.Drive1.Drive(), 0), 0U);

  // Moving in the directory list moves the file list with it.
  chooser.Dir1.UserGoTo(Path("Other"));
  EXPECT_THAT(ListEntries(chooser.File1), ElementsAre("hose.DWG", "Tank.dwg"));
  EXPECT_TRUE(Messages().empty());
}

// Without a stored folder, or when it is gone, the chooser starts at home.
TEST_F(DriveDirTest, StartsAtHomeWhenNoFolderCanBeShown) {
  for (const std::string& stored : {std::string(), Path("Removed")}) {
    form.scan.blocksDirectory = stored;
    Open();
    EXPECT_EQ(chooser.Dir1.Path(), Path("home")) << stored;
    chooser.Close();
  }
}

TEST_F(DriveDirTest, SaveAndExitStoresAnotherFolderAndRefreshesTheCandidates) {
  form.OptRepWith(1).UserClick();
  Open();
  SaveAndExit(Path("Other"));
  EXPECT_FALSE(chooser.Loaded());
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(host::ReadRegistryValue(host::kBlocksPathValue), Path("Other"));
  EXPECT_EQ(form.scan.blocksDirectory, Path("Other"));
  EXPECT_THAT(ListEntries(form.ListBlocksInDir), UnorderedElementsAre("Tank", "hose"));
  // The work window became active again and took the new folder's blocks.
  EXPECT_FALSE(form.returnFlags.blocksDirChosen);
  EXPECT_EQ(form.LblCurrentBlocksDir.Caption(), Path("Other"));
  EXPECT_THAT(ListEntries(form.ComboReplaceWith),
              UnorderedElementsAre("* Select Replacement", "* Clear Replacement", "Tank", "hose"));

  // Shown again, the chooser is loaded afresh at the stored folder.
  Open();
  EXPECT_EQ(chooser.Dir1.Path(), Path("Other"));
}

// The same folder written in other letter case, stored one way and chosen the
// other: nothing is written and no flag is raised, but the folder is listed
// again (found on disk whatever the case of the stored text).
TEST_F(DriveDirTest, SameFolderInOtherLetterCaseIsListedButNotStored) {
  struct Case {
    std::string stored;
    std::string chosen;
  };
  for (const Case& c : {Case{Path("Blocks"), Path("BLOCKS")}, Case{Path("bLoCkS"), Path("Blocks")}}) {
    host::WriteRegistryValue(host::kBlocksPathValue, c.stored);
    form.scan.blocksDirectory = c.stored;
    form.ListBlocksInDir.Clear();
    form.ListBlocksInDir.AddItem("Stale");
    Open();
    form.returnFlags.blocksDirChosen = false;
    chooser.Dir1.UserGoTo(c.chosen);
    // The flag is read by the activate event that follows the close: watch it
    // through the main window's activation.
    bool flagOnReturn = true;
    form.onActivate = [&] { flagOnReturn = form.returnFlags.blocksDirChosen; };
    chooser.CmdSaveAndExit.UserClick();
    EXPECT_FALSE(flagOnReturn) << c.chosen;
    EXPECT_EQ(host::ReadRegistryValue(host::kBlocksPathValue), c.stored);
    EXPECT_EQ(form.scan.blocksDirectory, c.stored);
    EXPECT_THAT(ListEntries(form.ListBlocksInDir), UnorderedElementsAre("Pump", "Valve")) << c.stored;
  }
}

TEST_F(DriveDirTest, FolderWithoutDrawingFilesAsksAndNoKeepsTheChooserOpen) {
  Open();
  ui.QueueAnswer(forms::MessageAnswer::No);
  SaveAndExit(Path("Empty"));
  const std::string empty = Path("Empty");
  ASSERT_EQ(Messages().size(), 1U);
  EXPECT_EQ(Messages()[0], "message title=\"Continue with " + empty +
                               " as Blocks directory?\" icon=question buttons=yesno default=2 text=\"" + empty +
                               " does not contain any blocks\\r\\rPress YES to continue with " + empty +
                               " as Blocks directory\\r\\rPress NO to reselect Blocks directory\"");
  EXPECT_TRUE(chooser.Visible());
  EXPECT_FALSE(chooser.SentBySaveAndExit);
  EXPECT_EQ(chooser.Dir1.Path(), empty);

  // The close box afterwards stores nothing and leaves the list as it was.
  chooser.Close();
  EXPECT_FALSE(chooser.Loaded());
  EXPECT_EQ(host::ReadRegistryValue(host::kBlocksPathValue), Path("Blocks"));
  EXPECT_EQ(form.scan.blocksDirectory, Path("Blocks"));
  EXPECT_FALSE(form.returnFlags.blocksDirChosen);
  EXPECT_THAT(ListEntries(form.ListBlocksInDir), UnorderedElementsAre("Pump", "Valve"));

  // Yes takes the folder anyway: stored, and nothing to list.
  Open();
  ui.QueueAnswer(forms::MessageAnswer::Yes);
  SaveAndExit(empty);
  EXPECT_FALSE(chooser.Loaded());
  EXPECT_EQ(host::ReadRegistryValue(host::kBlocksPathValue), empty);
  EXPECT_THAT(ListEntries(form.ListBlocksInDir), IsEmpty());
}

TEST_F(DriveDirTest, PromptAndTitleUseTheFolderTextAsGiven) {
  EXPECT_EQ(setup::EmptyFolderTitle("/data/Blocks 2"), "Continue with /data/Blocks 2 as Blocks directory?");
  EXPECT_EQ(setup::EmptyFolderPrompt("/data/Blocks 2"),
            "/data/Blocks 2 does not contain any blocks\r\rPress YES to continue with /data/Blocks 2 as "
            "Blocks directory\r\rPress NO to reselect Blocks directory");
  // A folder reached in other letter case is asked about in that case.
  Open();
  ui.QueueAnswer(forms::MessageAnswer::No);
  SaveAndExit(Path("EMPTY"));
  ASSERT_EQ(Messages().size(), 1U);
  EXPECT_NE(Messages()[0].find("title=\"Continue with " + Path("EMPTY") + " as"), std::string::npos);
}

// A drive whose folder is gone is a failure other than a device: the new
// entry stays selected and the directory list stays where it was.
TEST_F(DriveDirTest, DriveWhoseFolderIsGoneStaysSelectedWithoutAMessage) {
  Open();
  chooser.Drive1.Refresh({Path("Blocks"), Path("Unplugged"), Path("Other")});
  chooser.Drive1.ShowDriveOf(Path("Blocks"));
  chooser.Drive1.UserChoose(1);
  EXPECT_EQ(chooser.Drive1.ListIndex(), 1);
  EXPECT_EQ(chooser.Dir1.Path(), Path("Blocks"));
  chooser.Drive1.UserChoose(2);
  EXPECT_EQ(chooser.Dir1.Path(), Path("Other"));
  EXPECT_TRUE(Messages().empty());
}

// A drive that cannot be read is not ready: the previous drive is selected
// again, without a message. Runs in a child that gives up the super-user's
// right to read every folder.
TEST_F(DriveDirTest, DriveThatIsNotReadyPutsThePreviousDriveBack) {
  const fs::path locked = folder / "Locked";
  fs::create_directories(locked);
  fs::permissions(locked, fs::perms::none);
  const auto check = [&] {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) std::exit(3);
    Open();
    chooser.Drive1.Refresh({Path("Blocks"), locked.string(), Path("Other")});
    chooser.Drive1.ShowDriveOf(Path("Blocks"));
    chooser.Drive1.UserChoose(1);
    const bool reverted = chooser.Drive1.ListIndex() == 0 && chooser.IntDriveListIndex == 0 &&
                          chooser.Dir1.Path() == Path("Blocks") && Messages().empty();
    std::exit(reverted ? 0 : 1);
  };
  EXPECT_EXIT(check(), ::testing::ExitedWithCode(0), "");
  fs::permissions(locked, fs::perms::owner_all);
}

}  // namespace
}  // namespace workwindow_test
