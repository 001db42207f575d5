// The gestures of scripted runs carried out on a window of the running
// program: each reaches the control's own user gesture, and a gesture the
// control does not take stops the run at its line.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/program.h"
#include "app/script_runner.h"
#include "forms/flex_grid.h"
#include "forms/list_controls.h"
#include "forms/simple_controls.h"

namespace app {
namespace {

// A work window of the kind later windows are: controls whose handlers log.
class GestureWindow : public forms::Form {
 public:
  GestureWindow(forms::UiPort& ui, std::vector<std::string>& log) : Form("Frm_Gestures", ui) {
    Caption("Gestures");
    Register(CmdGo);
    Register(CkErase);
    Register(ListBlocks);
    Register(ComboScale);
    Register(MSHGrid);
    Register(CmdHidden);
    CmdHidden.Visible(false);
    for (const char* entry : {"A", "B", "C"}) ListBlocks.AddItem(entry);
    MSHGrid.Cols(3);
    MSHGrid.Rows(4);
    CmdGo.onClick = [&log] { log.push_back("CmdGo_Click"); };
    CkErase.onClick = [&log, this] { log.push_back("CkErase_Click " + std::to_string(CkErase.Value())); };
    ListBlocks.onClick = [&log, this] { log.push_back("ListBlocks_Click " + ListBlocks.Text()); };
    ComboScale.onChange = [&log, this] { log.push_back("ComboScale_Change " + ComboScale.Text()); };
    ComboScale.onLostFocus = [&log] { log.push_back("ComboScale_LostFocus"); };
    MSHGrid.onClick = [&log, this] {
      log.push_back("MSHGrid_Click " + std::to_string(MSHGrid.Row()) + "," + std::to_string(MSHGrid.Col()));
    };
    MSHGrid.onScroll = [&log] { log.push_back("MSHGrid_Scroll"); };
  }
  forms::CommandButton CmdGo{"CmdGo"};
  forms::CheckBox CkErase{"CkErase"};
  forms::ListBox ListBlocks{"ListBlocks"};
  forms::ComboBox ComboScale{"ComboScale"};
  forms::FlexGrid MSHGrid{"MSHGrid"};
  forms::CommandButton CmdHidden{"CmdHidden"};
};

struct RunnerFixture {
  explicit RunnerFixture(const std::string& script)
      : cursor([&] {
          std::istringstream in(script);
          return ReadScript(in);
        }()),
        port(std::make_shared<ScriptPort>(out, cursor)),
        program(ParseOptions({}), *port, port),
        window(*port, log),
        runner(program, *port, cursor) {
    program.Start();
    window.Show();
  }
  // Carries out every line; the line number of the first refused one, or 0.
  int RunAll() {
    try {
      while (!cursor.AtEnd()) runner.Execute(cursor.Take());
    } catch (const ScriptLineError& error) {
      refusal = error.what();
      return error.line();
    }
    return 0;
  }
  std::ostringstream out;
  ScriptCursor cursor;
  std::shared_ptr<ScriptPort> port;
  Program program;
  std::vector<std::string> log;
  GestureWindow window;
  ScriptRunner runner;
  std::string refusal;
};

TEST(ScriptRunnerTest, GesturesReachTheControlsAndRaiseTheirEvents) {
  RunnerFixture f(
      "click Frm_Gestures.CmdGo\n"
      "click Frm_Gestures.CkErase\n"
      "choose Frm_Gestures.ListBlocks \"B\"\n"
      "choose Frm_Gestures.ListBlocks #2\n"
      "type Frm_Gestures.ComboScale \"12\"\n"
      "erase Frm_Gestures.ComboScale\n"
      "leave Frm_Gestures.ComboScale\n"
      "click Frm_Gestures.MSHGrid 2 1\n"
      "scroll Frm_Gestures.MSHGrid\n"
      "close Frm_Gestures\n");
  EXPECT_EQ(f.RunAll(), 0) << f.refusal;
  EXPECT_EQ(f.log, (std::vector<std::string>{"CmdGo_Click", "CkErase_Click 1", "ListBlocks_Click B",
                                             "ListBlocks_Click C", "ComboScale_Change 1", "ComboScale_Change 12",
                                             "ComboScale_Change ", "ComboScale_LostFocus", "MSHGrid_Click 2,1",
                                             "MSHGrid_Scroll"}));
  EXPECT_FALSE(f.window.Loaded());
}

TEST(ScriptRunnerTest, GesturesTheControlsDoNotTakeStopAtTheirLine) {
  const std::vector<std::pair<std::string, std::string>> cases{
      {"click Frm_Gestures.CmdHidden", "is hidden or disabled"},
      {"choose Frm_Gestures.ListBlocks \"Z\"", "Frm_Gestures.ListBlocks has no entry \"Z\""},
      {"type Frm_Gestures.ListBlocks \"1\"", "Frm_Gestures.ListBlocks is not a combo box"},
      {"click Frm_Gestures.MSHGrid x 1", "not a whole number: x"},
      {"click Frm_Gestures", "Frm_Gestures takes no click"},
      {"scroll Frm_Gestures.CmdGo", "Frm_Gestures.CmdGo is not a grid"},
      {"click Frm_Gestures.Missing(2)", "unknown control Frm_Gestures.Missing(2)"},
  };
  for (const auto& [line, reason] : cases) {
    RunnerFixture f("dump Frm_Gestures\n" + line + "\n");
    EXPECT_EQ(f.RunAll(), 2) << line;
    EXPECT_NE(f.refusal.find(reason), std::string::npos) << line << ": " << f.refusal;
  }
}

TEST(ScriptRunnerTest, AGestureOnAnUnloadedWindowIsRefusedButItsDumpWorks) {
  RunnerFixture f("close Frm_Gestures\ndump Frm_Gestures.CmdGo\nclick Frm_Gestures.CmdGo\n");
  EXPECT_EQ(f.RunAll(), 3);
  EXPECT_EQ(f.refusal, "Frm_Gestures is not loaded");
  EXPECT_NE(f.out.str().find("button Frm_Gestures.CmdGo caption=\"\" visible=1 enabled=1"), std::string::npos)
      << f.out.str();
}

// The directory list takes a folder's path (relative ones from the working
// directory) where other lists take an entry's text; a missing folder stops
// the run at its line and the list stays where it was.
TEST(ScriptRunnerTest, TheDirectoryListGoesToAFolderByItsPath) {
  RunnerFixture f(
      "click Frm_ReplaceBlocks.CmdSelectBlocksDir\n"
      "choose Frm_DriveDir.Dir1 \"/\"\n"
      "choose Frm_DriveDir.Dir1 \"/no such folder\"\n");
  EXPECT_EQ(f.RunAll(), 3);
  EXPECT_EQ(f.refusal, "Frm_DriveDir.Dir1 path not found: /no such folder");
  EXPECT_EQ(f.program.driveDir.Dir1.Path(), "/");
}

}  // namespace
}  // namespace app
