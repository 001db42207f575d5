// Start-up against the real built-in host: the release probe and its
// messages, the attach, the loading display, the host switching operations
// and the main frame, recorded through the recording port.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "cadhost/application.h"
#include "cadhost/running_object_table.h"
#include "forms/recording_port.h"
#include "host/error_boundary.h"
#include "host/frm_mdi.h"
#include "host/frm_progress.h"
#include "host/frm_rtext.h"
#include "host/frm_start.h"
#include "host/host_state.h"
#include "host/startup.h"

namespace host {
namespace {

using cadhost::HostApplication;

std::shared_ptr<HostApplication> StartHost(const std::string& version, bool withDrawing = true) {
  cadhost::HostOptions options;
  options.version = version;
  auto application = HostApplication::Create(std::move(options));
  if (withDrawing) application->NewDocument();
  return application;
}

// Registers one instance under AutoCAD.Application.<id> for each id.
void Register(cadhost::RunningObjectTable& table, const std::shared_ptr<HostApplication>& application,
              const std::vector<std::string>& ids) {
  for (const std::string& id : ids) table.Register("AutoCAD.Application." + id, application);
  table.Register("AutoCAD.Application", application);
}

bool Contains(const std::vector<std::string>& lines, const std::string& wanted) {
  return std::find(lines.begin(), lines.end(), wanted) != lines.end();
}

// Lines other than repaints and yields, which only say the screen was kept current.
std::vector<std::string> Visible(const std::vector<std::string>& lines) {
  std::vector<std::string> kept;
  for (const std::string& line : lines) {
    if (line.rfind("repaint", 0) != 0 && line != "doevents") kept.push_back(line);
  }
  return kept;
}

const std::string kStartFirstLine =
    "message title=\"Cindral\" icon=information buttons=ok default=1 text=\"Please start AutoCAD 2007 first\"";
const std::string kSeveralLine =
    "message title=\"Cindral\" icon=information buttons=ok default=1 text=\"More than one version of AutoCAD is "
    "currently running.\\rPlease run only one version of AutoCAD when using this software.\"";

// The program's windows around one recording port, wired through the boundary.
struct StartupFixture {
  forms::RecordingPort port;
  cadhost::RunningObjectTable table;
  HostSwitching switching{table, port};
  ErrorBoundary boundary{port};
  Frm__Start start{port, table};
  Frm__MDI mainFrame{port, switching};
  forms::Form workWindow{"Frm_ReplaceBlocks", port};
  FrmProgress progress{port};
  FrmProgress2 progress2{port};
  FrmRText notes{port};
  int filterInitialised = 0;

  StartupFixture() {
    Host() = HostState();
    workWindow.Caption("Replace Blocks");
    start.WireHandlers(boundary);
    mainFrame.WireHandlers(boundary);
    progress.WireHandlers(boundary);
    progress2.WireHandlers(boundary);
    notes.WireHandlers(boundary);
    switching.MainFrame(&mainFrame);
    start.Links({&mainFrame, &workWindow, [this] { ++filterInitialised; }});
  }
};

struct ProbeCase {
  const char* name;
  std::vector<std::vector<std::string>> instances;  // the ids each running instance answers
  long long count;
  ProbeVerdict verdict;
};

void PrintTo(const ProbeCase& probeCase, std::ostream* out) { *out << probeCase.name; }

class ReleaseProbeTest : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(ReleaseProbeTest, CountsEveryAnsweringIdentifierAndDecides) {
  cadhost::RunningObjectTable table;
  for (const auto& ids : GetParam().instances) Register(table, StartHost(ids.front()), ids);
  const ReleaseProbe probe = ProbeRunningReleases(table);
  EXPECT_EQ(probe.count, GetParam().count);
  EXPECT_EQ(Decide(probe), GetParam().verdict);
}

INSTANTIATE_TEST_SUITE_P(
    Releases, ReleaseProbeTest,
    ::testing::Values(ProbeCase{"Release17Alone", {{"17"}}, 1, ProbeVerdict::Attach},
                      ProbeCase{"NoHost", {}, 0, ProbeVerdict::StartServedRelease},
                      ProbeCase{"Release17And161", {{"17"}, {"16.1"}}, 2, ProbeVerdict::SeveralReleases},
                      ProbeCase{"Release15UnderThreeIds", {{"15", "15.0", "15.1"}}, 3, ProbeVerdict::SeveralReleases},
                      ProbeCase{"Release161Alone", {{"16.1"}}, 1, ProbeVerdict::StartServedRelease},
                      // Release 16 is asked only when 16.1 did not answer.
                      ProbeCase{"Release16SkippedAfter161", {{"16.1", "16"}}, 1, ProbeVerdict::StartServedRelease},
                      ProbeCase{"Release16Alone", {{"16"}}, 1, ProbeVerdict::StartServedRelease},
                      ProbeCase{"Release1506Alone", {{"15.06"}}, 1, ProbeVerdict::StartServedRelease}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StartupTest, WithRelease17AloneTheStartWindowAttachesLoadsAndOpensTheMainWindows) {
  StartupFixture f;
  auto host = StartHost("17.0");
  host->Visible(false);
  Register(f.table, host, {"17"});
  f.start.Show();

  EXPECT_EQ(Visible(f.port.Lines()),
            (std::vector<std::string>{"topmost Frm__Start", "show Frm__Start", "activate Frm__Start",
                                      "unload Frm__Start", "topmost Frm__MDI", "notopmost Frm__MDI",
                                      "show Frm__MDI", "activate Frm__MDI",
                                      "show Frm_ReplaceBlocks", "activate Frm_ReplaceBlocks"}))
      << f.port.Transcript();
  EXPECT_TRUE(host->Visible());
  EXPECT_EQ(f.filterInitialised, 1);
  EXPECT_EQ(f.mainFrame.State(), forms::WindowState::Maximized);
  EXPECT_FALSE(f.start.Loaded());
  EXPECT_EQ(Host().application, host);
  EXPECT_EQ(Host().activeDocument, host->ActiveDocument());
  EXPECT_EQ(Host().hostProductName, "AutoCAD");
}

TEST(StartupTest, TheLoadingBarFillsFromZeroTo2500OneRepaintPerValue) {
  // A port that notes the bar's value at every repaint of the start window.
  struct BarWatcher : forms::RecordingPort {
    Frm__Start* start = nullptr;
    std::vector<float> seen;
    void Repaint(const forms::Form& form) override {
      if (start != nullptr && &form == start && start->ProBarLoading.Visible()) {
        seen.push_back(start->ProBarLoading.Value());
      }
    }
  } port;
  cadhost::RunningObjectTable table;
  Register(table, StartHost("17.0"), {"17"});
  Frm__Start start(port, table);
  ErrorBoundary boundary(port);
  start.WireHandlers(boundary);
  Host() = HostState();
  port.start = &start;
  start.Show();
  ASSERT_EQ(port.seen.size(), 2502U);  // the display's own repaint, then 0..2500
  for (std::size_t i = 1; i < port.seen.size(); ++i) EXPECT_EQ(port.seen[i], static_cast<float>(i - 1));
  EXPECT_EQ(start.ProBarLoading.Max(), 2500.0F);
}

TEST(StartupTest, RefusalsShowOneMessageAndNoWindow) {
  struct Refusal {
    std::vector<std::vector<std::string>> instances;
    std::string message;
  };
  const std::vector<Refusal> refusals{{{}, kStartFirstLine},
                                      {{{"17"}, {"16.1"}}, kSeveralLine},
                                      {{{"15", "15.0", "15.1"}}, kSeveralLine},
                                      {{{"16.1"}}, kStartFirstLine}};
  for (const Refusal& refusal : refusals) {
    StartupFixture f;
    for (const auto& ids : refusal.instances) Register(f.table, StartHost(ids.front()), ids);
    f.start.Show();
    EXPECT_EQ(Visible(f.port.Lines()),
              (std::vector<std::string>{refusal.message, "answer OK (default)", "unload Frm__Start"}))
        << f.port.Transcript();
    EXPECT_FALSE(f.mainFrame.Loaded());
    EXPECT_EQ(Host().application, nullptr);
  }
}

TEST(StartupTest, AMinimisedHostIsMaximisedAndOthersKeepTheirState) {
  for (const auto& [before, after] : std::vector<std::pair<int, int>>{{cad::kWindowMinimized, cad::kWindowMaximized},
                                                                      {cad::kWindowNormal, cad::kWindowNormal},
                                                                      {cad::kWindowMaximized, cad::kWindowMaximized}}) {
    StartupFixture f;
    auto host = StartHost("17.0");
    host->WindowState(before);
    Register(f.table, host, {"17"});
    f.start.Show();
    EXPECT_EQ(host->WindowState(), after) << "from state " << before;
  }
}

// A real host whose window cannot be shown: every call goes to the host
// except Visible(true), which fails as a host in trouble would.
class HostThatCannotShow : public cad::Application {
 public:
  explicit HostThatCannotShow(cad::ApplicationPtr inner) : inner_(std::move(inner)) {}
  bool Visible() const override { return inner_->Visible(); }
  void Visible(bool) override { throw cad::HostError("The host window cannot be shown"); }
  int WindowState() const override { return inner_->WindowState(); }
  void WindowState(int state) override { inner_->WindowState(state); }
  cad::DocumentPtr ActiveDocument() const override { return inner_->ActiveDocument(); }
  cad::DocumentsPtr Documents() const override { return inner_->Documents(); }
  std::string Version() const override { return inner_->Version(); }

 private:
  cad::ApplicationPtr inner_;
};

TEST(StartupTest, AFailingAttachIsReportedAndEndsCleanly) {
  StartupFixture f;
  f.table.Register("AutoCAD.Application.17", std::make_shared<HostThatCannotShow>(StartHost("17.0")));
  f.start.Show();
  EXPECT_EQ(Visible(f.port.Lines()),
            (std::vector<std::string>{
                "message title=\"Cindral\" icon=information buttons=ok default=1 text=\"Problem Attaching to "
                "AutoCAD\\rError : The host window cannot be shown\"",
                "answer OK (default)", "unload Frm__Start"}))
      << f.port.Transcript();
  EXPECT_FALSE(f.mainFrame.Loaded());
  EXPECT_EQ(Host().application, nullptr);
}

TEST(StartupTest, AMapHostIsActivatedByItsOwnTitleWhenTheFrameIsClicked) {
  for (const auto& [version, title] : std::vector<std::pair<std::string, std::string>>{
           {"15.06", "Autodesk Map"}, {"17.0", "AutoCAD"}, {"16.1", "AutoCAD"}}) {
    StartupFixture f;
    Register(f.table, StartHost(version), {"17"});
    f.start.Show();
    ASSERT_TRUE(f.mainFrame.Visible());
    f.port.ClearLines();
    f.mainFrame.UserClickClientArea();
    EXPECT_EQ(Visible(f.port.Lines()),
              (std::vector<std::string>{"notopmost Frm__MDI", "activate \"" + title + "\""}))
        << f.port.Transcript();
    EXPECT_EQ(f.mainFrame.State(), forms::WindowState::Minimized);
    EXPECT_EQ(Host().hostProductName, title);
  }
}

TEST(StartupTest, ActivateSelfBringsTheMaximisedFrameToTheFrontWithoutKeepingItOnTop) {
  StartupFixture f;
  Register(f.table, StartHost("17.0"), {"17"});
  f.start.Show();
  f.mainFrame.UserClickClientArea();
  f.port.ClearLines();
  f.switching.ActivateSelf();
  EXPECT_EQ(Visible(f.port.Lines()), (std::vector<std::string>{"activate \"Cindral\"", "topmost Frm__MDI",
                                                               "notopmost Frm__MDI"}));
  EXPECT_EQ(f.mainFrame.State(), forms::WindowState::Maximized);
}

TEST(StartupTest, AttachHostAsksUntilADrawingIsOpen) {
  StartupFixture f;
  auto host = StartHost("17.0");
  Register(f.table, host, {"17"});
  f.start.Show();
  host->ActiveDocument()->Close();
  ASSERT_EQ(host->Documents()->Count(), 0);

  // The user presses OK once without opening anything, then opens a drawing
  // while the box is back and presses OK again.
  int repeats = 0;
  f.switching.onOpenDrawingRepeats = [&] {
    if (++repeats == 1) host->NewDocument();
  };
  f.port.ClearLines();
  f.switching.AttachHost();
  const std::string box =
      "message title=\"Open a Drawing\" icon=information buttons=ok default=1 text=\"Please open a Drawing. Press "
      "OK when the Drawing has finished loading.\"";
  EXPECT_EQ(Visible(f.port.Lines()),
            (std::vector<std::string>{box, "answer OK (default)", box, "answer OK (default)"}));
  EXPECT_EQ(Host().activeDocument, host->ActiveDocument());
}

TEST(StartupTest, AttachHostStartsAHostWhenNoneRuns) {
  StartupFixture f;
  auto started = StartHost("17.0");
  started->Visible(false);
  f.table.RegisterFactory(kCreateReleaseId, [&] { return started; });
  f.switching.AttachHost();
  EXPECT_EQ(Host().application, started);
  EXPECT_TRUE(started->Visible());
  EXPECT_EQ(Host().activeDocument, started->ActiveDocument());
}

TEST(StartupTest, ClosingTheMainFrameUnloadsEveryOtherWindow) {
  StartupFixture f;
  Register(f.table, StartHost("17.0"), {"17"});
  f.start.Show();
  f.progress.Show();
  f.progress2.Show();
  f.notes.Show();
  f.port.ClearLines();
  EXPECT_TRUE(f.mainFrame.Close());
  const auto lines = Visible(f.port.Lines());
  for (const char* name : {"Frm_ReplaceBlocks", "FrmProgress", "FrmProgress2", "FrmRText", "Frm__MDI"}) {
    EXPECT_TRUE(Contains(lines, std::string("unload ") + name)) << name << "\n" << f.port.Transcript();
  }
  EXPECT_EQ(lines.back(), "unload Frm__MDI");
  for (const forms::Form* form : f.port.Windows().Forms()) EXPECT_FALSE(form->Loaded()) << form->Name();
}

TEST(StartupTest, AWindowFailingToUnloadDoesNotKeepTheOthersOpen) {
  StartupFixture f;
  Register(f.table, StartHost("17.0"), {"17"});
  f.start.Show();
  f.progress.Show();
  f.notes.Show();
  f.progress.onUnload = [](bool&) { throw cad::HostError("busy"); };
  EXPECT_TRUE(f.mainFrame.Close());
  EXPECT_FALSE(f.notes.Loaded());
  EXPECT_FALSE(f.mainFrame.Loaded());
}

}  // namespace
}  // namespace host
