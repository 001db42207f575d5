// The window base: load, show, hide and unload with their events, activation
// order, the control registry and design state, the window dump; and the
// recording port.
#include "forms/control_address.h"
#include "forms/form.h"
#include "forms/list_controls.h"
#include "forms/recording_port.h"
#include "forms/simple_controls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace forms {
namespace {

using Lines = std::vector<std::string>;

// A window that writes its own events into the port's transcript order.
class LoggedWindow : public Form {
 public:
  LoggedWindow(const std::string& name, RecordingPort& port, Lines& log) : Form(name, port) {
    Caption("Caption of " + name);
    Label1.Caption("date");
    Register(Label1);
    Register(List1);
    onLoad = [this, &log] { log.push_back("Load " + Name()); };
    onActivate = [this, &log] { log.push_back("Activate " + Name()); };
    onQueryUnload = [this, &log](bool&, UnloadMode mode) {
      log.push_back("QueryUnload " + Name() + " " + std::to_string(static_cast<int>(mode)));
    };
    onUnload = [this, &log](bool& cancel) {
      log.push_back("Unload " + Name());
      cancel = refuseUnload;
    };
  }
  Label Label1{"Label1"};
  ListBox List1{"List1"};
  bool refuseUnload = false;
};

class FormTest : public ::testing::Test {
 protected:
  RecordingPort port;
  Lines log;
  LoggedWindow mdi{"Frm__MDI", port, log};
  LoggedWindow work{"Frm_ReplaceBlocks", port, log};
  LoggedWindow match{"Frm_MatchAtts", port, log};
};

TEST_F(FormTest, ZOrderStacksControlsAndUnloadRestoresTheDesignedOrder) {
  // Registered later is drawn over registered earlier.
  EXPECT_LT(work.Label1.ZPosition(), work.List1.ZPosition());
  work.Show();
  work.Label1.ZOrder(Control::kBringToFront);
  EXPECT_GT(work.Label1.ZPosition(), work.List1.ZPosition());
  work.List1.ZOrder(Control::kBringToFront);
  work.Label1.ZOrder(Control::kSendToBack);
  work.List1.ZOrder(Control::kSendToBack);
  EXPECT_LT(work.List1.ZPosition(), work.Label1.ZPosition());
  EXPECT_THROW(work.List1.ZOrder(2), ControlError);
  work.Unload();
  EXPECT_LT(work.Label1.ZPosition(), work.List1.ZPosition());
}

TEST_F(FormTest, ShowLoadsOnceAndActivates) {
  work.Show();
  work.Show();
  EXPECT_EQ(log, (Lines{"Load Frm_ReplaceBlocks", "Activate Frm_ReplaceBlocks"}));
  EXPECT_EQ(port.Lines(), (Lines{"show Frm_ReplaceBlocks", "activate Frm_ReplaceBlocks"}));
  EXPECT_TRUE(work.Loaded());
  EXPECT_TRUE(work.Visible());
}

TEST_F(FormTest, ClosingTheActiveWindowActivatesTheOneActiveBeforeIt) {
  mdi.Show();
  work.Show();
  match.Show();
  work.BringToFront();
  match.BringToFront();
  log.clear();
  port.ClearLines();
  match.Close();
  EXPECT_EQ(log, (Lines{"QueryUnload Frm_MatchAtts 0", "Unload Frm_MatchAtts", "Activate Frm_ReplaceBlocks"}));
  EXPECT_EQ(port.Lines(), (Lines{"unload Frm_MatchAtts", "activate Frm_ReplaceBlocks"}));
  EXPECT_EQ(port.Windows().Active(), &work);
  // Hiding works the same way; a hidden window is skipped.
  mdi.Hide();
  work.Hide();
  EXPECT_EQ(port.Windows().Active(), nullptr);
}

TEST_F(FormTest, ClosingAnInactiveWindowKeepsTheActiveOne) {
  work.Show();
  match.Show();
  log.clear();
  work.Unload();
  EXPECT_EQ(log, (Lines{"QueryUnload Frm_ReplaceBlocks 1", "Unload Frm_ReplaceBlocks"}));
  EXPECT_EQ(port.Windows().Active(), &match);
}

TEST_F(FormTest, UnloadCanBeCancelledAndAWindowMayUnloadItselfWhileLoading) {
  work.Show();
  work.refuseUnload = true;
  EXPECT_FALSE(work.Unload());
  EXPECT_TRUE(work.Loaded());
  EXPECT_TRUE(work.Visible());

  // A start window whose load gives up unloads itself: Show then shows nothing.
  match.onLoad = [this] { match.Unload(); };
  port.ClearLines();
  match.Show();
  EXPECT_FALSE(match.Loaded());
  EXPECT_EQ(port.Lines(), (Lines{"unload Frm_MatchAtts"}));
  EXPECT_EQ(port.Windows().Active(), &work);
}

TEST_F(FormTest, UnloadReturnsWindowAndControlsToTheirDesignState) {
  match.Show();
  match.Caption("Match Attributes (DOOR to DOOR2)");
  match.State(WindowState::Maximized);
  match.Label1.Caption("changed");
  match.List1.AddItem("entry");
  match.List1.ListIndex(0);
  match.Unload();
  EXPECT_EQ(match.Caption(), "Caption of Frm_MatchAtts");
  EXPECT_EQ(match.State(), WindowState::Normal);
  EXPECT_EQ(match.Label1.Caption(), "date");
  EXPECT_EQ(match.List1.ListCount(), 0);
  EXPECT_EQ(match.List1.ListIndex(), -1);
}

TEST_F(FormTest, RegistryFindsControlsByNameAndIndex) {
  ControlArray<OptionButton> opts{"OptRepWith", 2};
  work.Register(opts);
  EXPECT_EQ(work.FindControl("label1"), &work.Label1);
  EXPECT_EQ(work.FindControl("OptRepWith", 1), &opts(1));
  EXPECT_EQ(work.FindControl("OptRepWith"), nullptr);
  EXPECT_EQ(opts(1).Parent(), &work);
  EXPECT_THROW(work.Register(work.Label1), ControlError);
  EXPECT_EQ(port.Windows().Find("frm_matchatts"), &match);
  EXPECT_EQ(port.Windows().Find("Frm_DriveDir"), nullptr);
}

TEST_F(FormTest, AddressesNameWindowsAndControlsOfArrays) {
  ControlArray<OptionButton> opts{"OptRepWith", 2};
  work.Register(opts);
  const std::vector<std::pair<std::string, std::optional<ControlAddress>>> cases{
      {"Frm_ReplaceBlocks", ControlAddress{"Frm_ReplaceBlocks", "", -1}},
      {"Frm_ReplaceBlocks.List1", ControlAddress{"Frm_ReplaceBlocks", "List1", -1}},
      {"Frm_ReplaceBlocks.OptRepWith(1)", ControlAddress{"Frm_ReplaceBlocks", "OptRepWith", 1}},
      {"", std::nullopt},
      {"Frm.", std::nullopt},
      {"Frm.Opt(", std::nullopt},
      {"Frm.Opt()", std::nullopt},
      {"Frm.Opt(-1)", std::nullopt},
      {"Frm.Opt(1", std::nullopt},
      {"Frm.A.B", std::nullopt},
      {"Frm Work", std::nullopt}};
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(ParseControlAddress(text), expected) << text;
  }
  EXPECT_EQ(Resolve(port.Windows(), *ParseControlAddress("frm_replaceblocks.OptRepWith(1)")).control, &opts(1));
  EXPECT_EQ(Resolve(port.Windows(), *ParseControlAddress("Frm__MDI")).form, &mdi);
  EXPECT_THROW(Resolve(port.Windows(), *ParseControlAddress("Frm_ReplaceBlocks.OptRepWith(2)")), ControlError);
  EXPECT_THROW(Resolve(port.Windows(), *ParseControlAddress("Frm_DriveDir")), ControlError);
}

TEST_F(FormTest, WindowDumpLoadedOrNot) {
  EXPECT_EQ(mdi.Dump(),
            "window Frm__MDI loaded=0 visible=0 caption=\"Caption of Frm__MDI\" left=0 top=0 width=4800 "
            "height=3600 state=normal");
  mdi.Show();
  mdi.Move(0, 420, 15270, 720);
  mdi.State(WindowState::Maximized);
  EXPECT_EQ(mdi.Dump(),
            "window Frm__MDI loaded=1 visible=1 caption=\"Caption of Frm__MDI\" left=0 top=420 width=15270 "
            "height=720 state=maximized");
}

TEST(RecordingPort, AnswersFromTheQueueThenWithTheDefaultButton) {
  RecordingPort port;
  MessageBoxRequest box;
  box.icon = MessageIcon::Question;
  box.buttons = MessageButtons::YesNo;
  box.defaultButton = 2;
  box.title = "Cindral";
  box.text = "Line one\r\"two\"";
  port.QueueAnswer(MessageAnswer::Yes);
  EXPECT_EQ(port.ShowMessage(box), MessageAnswer::Yes);
  EXPECT_EQ(port.ShowMessage(box), MessageAnswer::No);
  MessageBoxRequest ok;
  ok.title = "Open a Drawing";
  EXPECT_EQ(port.ShowMessage(ok), MessageAnswer::Ok);
  EXPECT_EQ(port.Transcript(),
            "message title=\"Cindral\" icon=question buttons=yesno default=2 text=\"Line one\\r\\\"two\\\"\"\n"
            "answer Yes\n"
            "message title=\"Cindral\" icon=question buttons=yesno default=2 text=\"Line one\\r\\\"two\\\"\"\n"
            "answer No (default)\n"
            "message title=\"Open a Drawing\" icon=information buttons=ok default=1 text=\"\"\n"
            "answer OK (default)\n");
  // An answer the box does not offer is a mistake in the test.
  port.QueueAnswer(MessageAnswer::Cancel);
  EXPECT_THROW(port.ShowMessage(ok), std::logic_error);
}

TEST(RecordingPort, RecordsWindowCallsAndFindsTopLevelWindowsByTitlePrefix) {
  RecordingPort port;
  port.AddTopLevelWindow("Autodesk Map 5 - [site.dxf]");
  Form frame("Frm__MDI", port);
  frame.Caption("Cindral");
  frame.Show();
  port.SetTopmost(frame);
  port.ClearTopmost(frame);
  frame.Repaint();
  port.DoEvents();
  EXPECT_TRUE(port.ActivateTopLevel("Autodesk Map"));
  EXPECT_TRUE(port.ActivateTopLevel("Cindral"));
  EXPECT_FALSE(port.ActivateTopLevel("AutoCAD"));
  EXPECT_EQ(port.Lines(), (Lines{"show Frm__MDI", "activate Frm__MDI", "topmost Frm__MDI", "notopmost Frm__MDI",
                                 "repaint Frm__MDI", "doevents", "activate \"Autodesk Map\"",
                                 "activate \"Cindral\"", "activate \"AutoCAD\""}));
}

}  // namespace
}  // namespace forms
