// Offscreen check of the blocks-directory chooser's skin: the drive list as a
// combo box, the directory list with its current folder, ".." and subfolders,
// the file list; a double click enters a folder, ".." goes up, and a drive
// choice moves the directory list.
#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "gui/form_skin.h"
#include "gui/qt_port.h"
#include "inventory/frm_replace_blocks.h"
#include "setup/frm_drive_dir.h"
#include "tests/host/temp_folder.h"

namespace gui {
namespace {

namespace fs = std::filesystem;

QStringList Rows(const QListWidget& list) {
  QStringList rows;
  for (int i = 0; i < list.count(); ++i) rows << list.item(i)->text();
  return rows;
}

QListWidgetItem* Row(const QListWidget& list, const QString& text) {
  const auto found = list.findItems(text, Qt::MatchExactly);
  return found.isEmpty() ? nullptr : found.front();
}

class DriveDirSkinTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "gui_drive_dir_skin_test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
  }
  void SetUp() override {
    fs::create_directories(blocks / "Sub");
    std::ofstream(blocks / "Pump.DWG") << "0\nEOF\n";
    std::ofstream(blocks / "pump.dwg.bak") << "0\nEOF\n";
    std::ofstream(blocks / "Sub" / "Valve.dwg") << "0\nEOF\n";
    main.scan.blocksDirectory = blocks.string();
  }

  host_test::TempFolder temp;
  const fs::path blocks = temp.Path() / "Blocks";
  QtPort port;
  inventory::Frm_ReplaceBlocks main{port};
  setup::Frm_DriveDir chooser{port, main};
};

TEST_F(DriveDirSkinTest, ListsShowTheModelAsItMovesThroughFoldersAndDrives) {
  chooser.Show();
  FormSkin skin(chooser, nullptr);
  auto* drives = skin.findChild<QComboBox*>("Drive1");
  auto* folders = skin.findChild<QListWidget*>("Dir1");
  auto* files = skin.findChild<QListWidget*>("File1");
  ASSERT_NE(drives, nullptr);
  ASSERT_NE(folders, nullptr);
  ASSERT_NE(files, nullptr);
  EXPECT_EQ(skin.findChild<QPushButton*>("CmdSaveAndExit")->text(), "Set Blocks Directory and Exit");
  ASSERT_EQ(drives->count(), chooser.Drive1.ListCount());
  EXPECT_EQ(drives->itemText(0), "/");
  EXPECT_EQ(drives->currentIndex(), chooser.Drive1.ListIndex());

  const QString here = QString::fromStdString(blocks.string());
  EXPECT_EQ(Rows(*folders), (QStringList{here, "..", "Sub"}));
  EXPECT_EQ(Rows(*files), QStringList{"Pump.DWG"});

  // The user's double clicks and Enter are driven through the window system
  // by the desktop tests; here the model moves and the skin follows it.
  chooser.Dir1.UserOpen(chooser.Dir1.FindExact("Sub"));
  skin.Refresh();
  EXPECT_EQ(chooser.Dir1.Path(), (blocks / "Sub").string());
  EXPECT_EQ(Rows(*folders), (QStringList{here + "/Sub", ".."}));
  EXPECT_EQ(Rows(*files), QStringList{"Valve.dwg"});

  chooser.Dir1.UserUp();
  skin.Refresh();
  EXPECT_EQ(chooser.Dir1.Path(), blocks.string());
  EXPECT_EQ(Rows(*files), QStringList{"Pump.DWG"});

  // Two roots, the first holding the folder: each choice of the other moves.
  chooser.Drive1.Refresh({"/", (blocks / "Sub").string()});
  chooser.Drive1.ShowDriveOf(chooser.Dir1.Path());
  skin.Refresh();
  chooser.Drive1.UserChoose(1);
  EXPECT_EQ(chooser.Dir1.Path(), (blocks / "Sub").string());
  chooser.Drive1.UserChoose(0);
  skin.Refresh();
  EXPECT_EQ(chooser.Dir1.Path(), "/");
  EXPECT_EQ(folders->item(0)->text(), "/");
  EXPECT_EQ(Row(*folders, ".."), nullptr);  // nothing above the root
}

}  // namespace
}  // namespace gui
