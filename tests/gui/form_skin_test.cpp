// Offscreen checks of the Qt skin and port: widgets carry the models' captions
// and states, the user's input reaches the models' handlers, and windows follow
// the models' show, hide and unload.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

#include <gtest/gtest.h>

#include "forms/flex_grid.h"
#include "forms/form.h"
#include "forms/list_controls.h"
#include "forms/simple_controls.h"
#include "gui/form_skin.h"
#include "gui/qt_port.h"

namespace gui {
namespace {

class SampleWindow : public forms::Form {
 public:
  explicit SampleWindow(forms::UiPort& ui) : forms::Form("Frm_Sample", ui) {
    Caption("Sample");
    Move(0, 0, 6000, 4500);
    Frame1.Caption("Replace Blocks (as per grid)");
    Frame1.Move(100, 100, 3000, 1500);
    Cmd.Caption("Replace Blocks");
    Cmd.Container(&Frame1);
    Cmd.Move(120, 300, 1500, 400);
    Check.Caption("Erase Replaced");
    Check.Value(1);
    Check.Move(3200, 100, 1500, 300);
    Opt(0).Caption("From Dwg");
    Opt(1).Caption("From Dir'");
    Opt(1).Value(true);
    Opt(0).Move(3200, 500, 1200, 300);
    Opt(1).Move(3200, 800, 1200, 300);
    Label1.Caption("Blocks in site.dxf");
    Label1.Move(100, 1700, 3000, 300);
    Bar.Max(2500);
    Bar.Value(1250);
    Bar.Move(100, 2100, 3000, 300);
    Combo.AddItem("* Select Replacement");
    Combo.AddItem("DOOR");
    Combo.Move(100, 2500, 2000, 315);
    Grid.Cols(3);
    Grid.Rows(1);
    Grid.AddItem("DOOR\t3\t2");
    Grid.TextMatrix(0, 0, "Block Name");
    Grid.Move(100, 2900, 5000, 1200);
    Register(Frame1);
    Register(Cmd);
    Register(Check);
    Register(Opt);
    Register(Label1);
    Register(Bar);
    Register(Combo);
    Register(Grid);
    Cmd.onClick = [this] { ++clicks; };
    Combo.onClick = [this] { chosen = Combo.Text(); };
  }

  forms::Frame Frame1{"Frame1"};
  forms::CommandButton Cmd{"CmdReplace"};
  forms::CheckBox Check{"CkEraseBlocks"};
  forms::ControlArray<forms::OptionButton> Opt{"OptRepWith", 2};
  forms::Label Label1{"LblCurrentBlocksDir"};
  forms::ProgressBar Bar{"ProgressBar1"};
  forms::ComboBox Combo{"ComboReplaceWith", forms::ComboStyle::DropDownList};
  forms::FlexGrid Grid{"MSHBlockDefs"};
  int clicks = 0;
  std::string chosen;
};

template <class W>
W* Find(QWidget* root, const char* name) {
  return root->findChild<W*>(QString::fromLatin1(name));
}

class FormSkinTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "gui_form_skin_test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
  }
  QtPort port;
  SampleWindow window{port};
};

TEST_F(FormSkinTest, WidgetsCarryTheModelsCaptionsAndStates) {
  FormSkin skin(window, nullptr);
  EXPECT_EQ(Find<QGroupBox>(&skin, "Frame1")->title(), "Replace Blocks (as per grid)");
  auto* button = Find<QPushButton>(&skin, "CmdReplace");
  EXPECT_EQ(button->text(), "Replace Blocks");
  EXPECT_EQ(button->parentWidget(), Find<QGroupBox>(&skin, "Frame1"));  // placed in its frame
  EXPECT_EQ(button->geometry(), QRect(8, 20, 100, 26));                 // twips / 15
  EXPECT_TRUE(Find<QCheckBox>(&skin, "CkEraseBlocks")->isChecked());
  EXPECT_FALSE(Find<QRadioButton>(&skin, "OptRepWith(0)")->isChecked());
  EXPECT_TRUE(Find<QRadioButton>(&skin, "OptRepWith(1)")->isChecked());
  EXPECT_EQ(Find<QLabel>(&skin, "LblCurrentBlocksDir")->text(), "Blocks in site.dxf");
  EXPECT_EQ(Find<QProgressBar>(&skin, "ProgressBar1")->value(), 500);
  auto* combo = Find<QComboBox>(&skin, "ComboReplaceWith");
  ASSERT_EQ(combo->count(), 2);
  EXPECT_EQ(combo->itemText(1), "DOOR");
  auto* grid = Find<QTableView>(&skin, "MSHBlockDefs");
  EXPECT_EQ(grid->model()->data(grid->model()->index(1, 0)).toString(), "DOOR");
  EXPECT_EQ(grid->model()->data(grid->model()->index(0, 0)).toString(), "Block Name");
}

TEST_F(FormSkinTest, PortShowsHidesAndUnloadsWindows) {
  window.Show();
  EXPECT_TRUE(window.Visible());
  QWidget* shown = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->isVisible() && w->windowTitle() == "Sample") shown = w;
  }
  ASSERT_NE(shown, nullptr);
  EXPECT_TRUE(port.ActivateTopLevel("Sam"));
  EXPECT_FALSE(port.ActivateTopLevel("AutoCAD"));
  window.Hide();
  EXPECT_FALSE(shown->isVisible());
  window.Show();
  window.Unload();
  EXPECT_FALSE(port.AnyWindowLoaded());
}

}  // namespace
}  // namespace gui
