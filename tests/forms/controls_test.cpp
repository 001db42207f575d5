// Events raised when the program and the user set controls, option arrays,
// combo and list behaviour, and the dump lines of controls.
#include "forms/control_array.h"
#include "forms/form.h"
#include "forms/list_controls.h"
#include "forms/recording_port.h"
#include "forms/simple_controls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace forms {
namespace {

// A window with one control of each kind, every event written to `events`.
class TestWindow : public Form {
 public:
  explicit TestWindow(UiPort& ui) : Form("Frm_Test", ui) {
    Combo.AddItem("* same");
    Combo.AddItem("0.5");
    Combo.AddItem("1");
    Combo.onClick = [this] { events.push_back("Combo_Click " + Combo.Text()); };
    Combo.onChange = [this] { events.push_back("Combo_Change " + Combo.Text()); };
    Combo.onLostFocus = [this] { events.push_back("Combo_LostFocus"); };
    Combo.onGotFocus = [this] { events.push_back("Combo_GotFocus"); };
    DropList.onClick = [this] { events.push_back("DropList_Click " + DropList.Text()); };
    List.onClick = [this] { events.push_back("List_Click " + std::to_string(List.ListIndex())); };
    Check.onClick = [this] { events.push_back("Check_Click " + std::to_string(Check.Value())); };
    Cmd.onClick = [this] { events.push_back("Cmd_Click"); };
    Cmd.onGotFocus = [this] { events.push_back("Cmd_GotFocus"); };
    for (int i = 0; i < Opt.Count(); ++i) {
      Opt(i).onClick = [this, i] { events.push_back("Opt_Click " + std::to_string(i)); };
    }
    Opt(0).Caption("From Dwg");
    Opt(1).Caption("From Dir'");
    Check.Container(&Frame1);
    Register(Combo);
    Register(DropList);
    Register(List);
    Register(Check);
    Register(Cmd);
    Register(Frame1);
    Register(Opt);
    Register(Bar);
  }

  ComboBox Combo{"Combo"};
  ComboBox DropList{"DropList", ComboStyle::DropDownList};
  ListBox List{"List"};
  CheckBox Check{"Check"};
  CommandButton Cmd{"Cmd"};
  Frame Frame1{"Frame1"};
  ControlArray<OptionButton> Opt{"Opt", 3};
  ProgressBar Bar{"Bar"};
  std::vector<std::string> events;
};

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override { window.Show(); }
  RecordingPort port;
  TestWindow window{port};
};

using Events = std::vector<std::string>;

TEST_F(ControlsTest, SettingListIndexRunsClickEveryTimeAndMinusOneRunsNothing) {
  window.Combo.ListIndex(1);
  window.Combo.ListIndex(1);
  window.Combo.ListIndex(-1);
  EXPECT_EQ(window.events, (Events{"Combo_Click 0.5", "Combo_Click 0.5"}));
  EXPECT_EQ(window.Combo.Text(), "");
  EXPECT_THROW(window.Combo.ListIndex(3), ControlError);
}

TEST_F(ControlsTest, SettingComboTextRunsChangeOnlyWhenTheTextDiffersAndIndexFollowsText) {
  window.Combo.Text("2");
  window.Combo.Text("2");
  EXPECT_EQ(window.Combo.ListIndex(), -1);
  window.Combo.Text("1");
  EXPECT_EQ(window.Combo.ListIndex(), 2);
  EXPECT_EQ(window.events, (Events{"Combo_Change 2", "Combo_Change 1"}));
}

TEST_F(ControlsTest, HandlerThatSetsItsOwnComboRaisesTheNestedEventInside) {
  // As a Change handler that corrects the text: the correction's Change runs
  // inside the first one, and choosing an entry runs Click, not Change.
  window.Combo.onChange = [this] {
    window.events.push_back("Change " + window.Combo.Text());
    if (window.Combo.Text() == "a") window.Combo.ListIndex(0);
    if (window.Combo.Text() == "x#") window.Combo.Text("x");
    window.events.push_back("end Change " + window.Combo.Text());
  };
  window.Combo.Text("a");
  window.Combo.Text("x#");
  EXPECT_EQ(window.events, (Events{"Change a", "Combo_Click * same", "end Change * same", "Change x#", "Change x",
                                   "end Change x", "end Change x"}));
}

TEST_F(ControlsTest, ClearEmptiesListAndTextWithoutEvents) {
  window.Combo.ListIndex(2);
  window.events.clear();
  window.Combo.Clear();
  EXPECT_EQ(window.Combo.ListCount(), 0);
  EXPECT_EQ(window.Combo.ListIndex(), -1);
  EXPECT_EQ(window.Combo.Text(), "");
  EXPECT_TRUE(window.events.empty());
  // After Clear, setting the text it had before is a change again.
  window.Combo.Text("1");
  EXPECT_EQ(window.events, (Events{"Combo_Change 1"}));
}

TEST_F(ControlsTest, AddAndRemoveItemsKeepTheSelectedEntry) {
  window.List.AddItem("b");
  window.List.AddItem("c");
  window.List.ListIndex(1);  // "c"
  window.List.AddItem("a", 0);
  EXPECT_EQ(window.List.ListIndex(), 2);
  EXPECT_EQ(window.List.Text(), "c");
  window.List.RemoveItem(0);
  EXPECT_EQ(window.List.Text(), "c");
  window.List.RemoveItem(1);
  EXPECT_EQ(window.List.ListIndex(), -1);
  EXPECT_EQ(window.List.Text(), "");
  EXPECT_THROW(window.List.RemoveItem(5), ControlError);
  EXPECT_THROW(window.List.AddItem("z", 3), ControlError);
}

TEST_F(ControlsTest, DropDownListTextSelectsAMatchingEntryOrIsRefused) {
  window.DropList.AddItem("Block Name");
  window.DropList.AddItem("Dwg Count");
  window.DropList.Text("Dwg Count");
  EXPECT_EQ(window.DropList.ListIndex(), 1);
  EXPECT_THROW(window.DropList.Text("Layer"), ControlError);
  EXPECT_THROW(window.DropList.UserType("x"), ControlError);
  EXPECT_EQ(window.events, (Events{"DropList_Click Dwg Count"}));
}

TEST_F(ControlsTest, TypingIsOneChangePerCharacterAndTakesTheFocus) {
  window.Cmd.SetFocus();
  window.events.clear();
  window.Combo.ListIndex(1);
  window.events.clear();
  window.Combo.UserType("2.5");
  window.Combo.UserType("\xC3\xA9");  // one accented letter: one keystroke
  window.Combo.UserEdit("\xC3\xA9-12");  // a paste in the desktop's edit field: one change
  window.Combo.UserErase();
  EXPECT_EQ(window.events, (Events{"Combo_GotFocus", "Combo_Change 2", "Combo_Change 2.", "Combo_Change 2.5",
                                   "Combo_Change \xC3\xA9", "Combo_Change \xC3\xA9-12",
                                   "Combo_Change "}));
  window.events.clear();
  window.Combo.UserLeave();
  EXPECT_EQ(window.events, (Events{"Combo_LostFocus"}));
  EXPECT_THROW(window.Combo.UserLeave(), ControlError);
}

TEST_F(ControlsTest, ClickingAnotherControlTakesTheFocusFirst) {
  window.Combo.SetFocus();
  window.events.clear();
  window.Cmd.UserClick();
  EXPECT_EQ(window.events, (Events{"Combo_LostFocus", "Cmd_GotFocus", "Cmd_Click"}));
}

TEST_F(ControlsTest, HiddenOrDisabledControlsRefuseGesturesAndFocus) {
  window.Combo.Visible(false);
  EXPECT_THROW(window.Combo.UserType("1"), ControlError);
  EXPECT_THROW(window.Combo.SetFocus(), ControlError);
  // A disabled frame makes what it holds unreachable, though the control
  // itself stays enabled.
  window.Frame1.Enabled(false);
  EXPECT_TRUE(window.Check.Enabled());
  EXPECT_THROW(window.Check.UserClick(), ControlError);
  EXPECT_THROW(window.List.UserClick(), ControlError);
  EXPECT_TRUE(window.events.empty());
}

TEST_F(ControlsTest, CheckBoxRunsClickWhenItsValueChanges) {
  window.Check.Value(1);
  window.Check.Value(1);
  window.Check.UserClick();
  EXPECT_EQ(window.events, (Events{"Check_Click 1", "Check_Click 0"}));
  EXPECT_THROW(window.Check.Value(2), ControlError);
}

TEST_F(ControlsTest, OptionArrayChoosingOneClearsTheOthersAndRunsOnlyItsClick) {
  window.Opt(1).Value(true);
  window.Opt(1).Value(true);
  window.Opt(2).UserClick();
  EXPECT_EQ(window.events, (Events{"Opt_Click 1", "Opt_Click 1", "Opt_Click 2"}));
  EXPECT_FALSE(window.Opt(0).Value());
  EXPECT_FALSE(window.Opt(1).Value());
  EXPECT_TRUE(window.Opt(2).Value());
  EXPECT_EQ(window.Opt.Chosen(), 2);
  EXPECT_THROW(window.Opt(3), ControlError);
}

TEST_F(ControlsTest, ProgressBarKeepsItsValueWithinItsRange) {
  window.Bar.Max(2500.0F);
  window.Bar.Value(1250.5F);
  window.Bar.Max(1000.0F);  // the value comes down with the maximum
  EXPECT_FLOAT_EQ(window.Bar.Value(), 1000.0F);
  EXPECT_THROW(window.Bar.Value(1001.0F), ControlError);
  EXPECT_THROW(window.Bar.Min(2000.0F), ControlError);
  EXPECT_EQ(window.Bar.Dump("Frm_Test"),
            "progress Frm_Test.Bar caption=\"\" value=1000 min=0 max=1000 visible=1 enabled=1 color=#000000");
}

TEST_F(ControlsTest, DumpLinesOfControls) {
  window.Opt(1).Value(true);
  window.Opt(1).ForeColor(Rgb{0, 0, 192});
  window.Cmd.Caption("Save Matches && Exit");
  window.Cmd.Enabled(false);
  window.Combo.ListIndex(0);
  window.Combo.List(2, "tab\there \"q\"");
  EXPECT_EQ(window.DumpControl("Opt", 1),
            "option Frm_Test.Opt(1) caption=\"From Dir'\" value=1 visible=1 enabled=1 color=#0000C0");
  EXPECT_EQ(window.DumpControl("cmd"),
            "button Frm_Test.Cmd caption=\"Save Matches && Exit\" visible=1 enabled=0 color=#000000");
  EXPECT_EQ(window.DumpControl("Check"),
            "check Frm_Test.Check caption=\"\" value=0 visible=1 enabled=1 color=#000000");
  EXPECT_EQ(window.DumpControl("Combo"),
            "list Frm_Test.Combo visible=1 enabled=1 index=0 text=\"* same\"\n"
            "  0\t* same\n"
            "  1\t0.5\n"
            "  2\ttab\\there \\\"q\\\"");
  EXPECT_THROW(window.DumpControl("Opt"), ControlError);
  EXPECT_THROW(window.DumpControl("Nothing"), ControlError);
}

TEST(ControlColors, BgrColourNumbersConvertToRgb) {
  EXPECT_EQ(Rgb::FromBgr(0xC00000), (Rgb{0, 0, 192}));
  EXPECT_EQ(Rgb::FromBgr(0x000080).Hex(), "#800000");
}

}  // namespace
}  // namespace forms
