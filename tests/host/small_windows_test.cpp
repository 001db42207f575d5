// The progress windows, the notes viewer and the error boundary, through the
// recording port.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include "forms/recording_port.h"
#include "host/cad.h"
#include "host/error_boundary.h"
#include "host/frm_progress.h"
#include "host/frm_rtext.h"
#include "host/settings_store.h"
#include "temp_folder.h"

namespace host {
namespace {

std::vector<std::string> WithoutRepaints(const std::vector<std::string>& lines) {
  std::vector<std::string> kept;
  for (const std::string& line : lines) {
    if (line.rfind("repaint", 0) != 0) kept.push_back(line);
  }
  return kept;
}

TEST(ProgressWindowsTest, EachPlacesItselfAndStaysOnTop) {
  forms::RecordingPort port;
  FrmProgress progress(port);
  FrmProgress2 progress2(port);
  ErrorBoundary boundary(port);
  progress.WireHandlers(boundary);
  progress2.WireHandlers(boundary);
  progress.Move(500, 500, 6000, 2000);
  progress2.Move(0, 0, 6000, 2000);

  progress.Show();
  progress2.Show();
  EXPECT_EQ(progress.Dump(),
            "window FrmProgress loaded=1 visible=1 caption=\"\" left=0 top=420 width=6000 height=720 state=normal");
  EXPECT_EQ(progress2.Left(), 1000);
  EXPECT_EQ(progress2.Top(), 2000);
  EXPECT_EQ(progress.DumpControl("ProgressBar1"),
            "progress FrmProgress.ProgressBar1 caption=\"\" value=0 min=0 max=100 visible=1 enabled=1 color=#000000");
  EXPECT_EQ(WithoutRepaints(port.Lines()),
            (std::vector<std::string>{"topmost FrmProgress", "show FrmProgress", "activate FrmProgress",
                                      "topmost FrmProgress2", "show FrmProgress2", "activate FrmProgress2"}));

  // The inner window repaints itself whenever it becomes active again.
  progress.BringToFront();
  port.ClearLines();
  progress2.BringToFront();
  EXPECT_EQ(port.Lines(), (std::vector<std::string>{"activate FrmProgress2", "repaint FrmProgress2"}));
}

class NotesViewerTest : public ::testing::Test {
 protected:
  host_test::TempFolder folder;
  forms::RecordingPort port;
  FrmRText viewer{port};
  ErrorBoundary boundary{port};
  void SetUp() override { viewer.WireHandlers(boundary); }
};

TEST_F(NotesViewerTest, WithoutTheFileItShowsTheBuiltInNotesAtTheTopLeft) {
  viewer.ShowNotes(folder.Path());
  EXPECT_EQ(viewer.Left(), 0);
  EXPECT_EQ(viewer.Top(), 0);
  EXPECT_EQ(viewer.Caption(), "Report");
  const std::string text = viewer.RText1.Text();
  const std::string firstLine = "The file: " + (folder.Path() / "CindralNotes.rtf").string() + " could not be found.";
  EXPECT_EQ(text.substr(0, text.find('\r')), firstLine);
  EXPECT_NE(text.find("\r\rMajor Features:\r\r* The program records"), std::string::npos);
  // No message box: the notes themselves say what is missing.
  for (const std::string& line : port.Lines()) EXPECT_EQ(line.rfind("message", 0), std::string::npos) << line;
}

TEST_F(NotesViewerTest, WithTheFileItShowsItsStyledTextAndReloadsOnTheSecondPress) {
  {
    std::ofstream file(folder.Path() / "CindralNotes.rtf");
    file << R"({\rtf1\ansi {\fonttbl{\f0 Arial;}}\f0 {\b Cindral} notes\par Second \i line\i0\par})";
  }
  viewer.ShowNotes(folder.Path());
  ASSERT_EQ(viewer.RText1.Document().paragraphs.size(), 2U);
  EXPECT_TRUE(viewer.RText1.Document().paragraphs[0].runs.at(0).bold);
  EXPECT_EQ(viewer.RText1.Text().substr(0, 26), "Cindral notes\rSecond line");

  // Moved away and pressed again: the same viewer comes back to the corner
  // with the file read afresh.
  viewer.Move(3000, 3000, viewer.Width(), viewer.Height());
  std::filesystem::remove(folder.Path() / "CindralNotes.rtf");
  port.ClearLines();
  viewer.ShowNotes(folder.Path());
  EXPECT_EQ(viewer.Left(), 0);
  EXPECT_EQ(viewer.Top(), 0);
  EXPECT_EQ(viewer.RText1.Text().rfind("The file: ", 0), 0U);
  EXPECT_EQ(std::count(port.Lines().begin(), port.Lines().end(), "show FrmRText"), 0);
}

TEST_F(NotesViewerTest, UnloadingForgetsTheText) {
  viewer.ShowNotes(folder.Path());
  viewer.Unload();
  EXPECT_EQ(viewer.DumpControl("RText1"), "richtext FrmRText.RText1 caption=\"\" visible=1 enabled=1 color=#000000");
  EXPECT_EQ(viewer.Dump(),
            "window FrmRText loaded=0 visible=0 caption=\"Report\" left=0 top=400 width=9600 height=7200 state=normal");
}

TEST(ErrorBoundaryTest, ShowsWhatAHandlerLetsThroughAndCarriesOn) {
  forms::RecordingPort port;
  ErrorBoundary boundary(port);
  const std::vector<std::function<void()>> failures{
      [] { throw cad::HostError("Key not found"); },
      [] { throw forms::ControlError("List1: index 7 is out of range"); },
      [] { throw SettingsStoreError("The settings store is in use by another program."); },
      [] { throw std::runtime_error("disk full"); },
      [] { throw std::bad_alloc(); },
  };
  for (const auto& failure : failures) boundary.Run(failure);
  const std::string head = "message title=\"Cindral\" icon=information buttons=ok default=1 text=";
  EXPECT_EQ(port.Lines(), (std::vector<std::string>{
                              head + "\"Key not found\"", "answer OK (default)",
                              head + "\"List1: index 7 is out of range\"", "answer OK (default)",
                              head + "\"The settings store is in use by another program.\"", "answer OK (default)",
                              head + "\"disk full\"", "answer OK (default)",
                              head + "\"Not enough memory to finish this step.\"", "answer OK (default)"}));
}

TEST(ErrorBoundaryTest, GuardedHandlersKeepTheirArgumentsAndAPortAbortPassesThrough) {
  forms::RecordingPort port;
  ErrorBoundary boundary(port);
  auto unload = boundary.Guard(std::function<void(bool&)>([](bool& cancel) { cancel = true; }));
  bool cancel = false;
  unload(cancel);
  EXPECT_TRUE(cancel);
  EXPECT_THROW(boundary.Run([] { throw PortAbort("script ran out"); }), PortAbort);
  EXPECT_TRUE(port.Lines().empty());
}

}  // namespace
}  // namespace host
