// End-to-end runs of `cindral --script`: the real program, the built-in host
// and the scripted user-interface port, compared by transcript.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A private folder per test: the script, the transcript and the per-user stores.
class CindralScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::path(::testing::TempDir()) /
              ("cindral_e2e_" + std::to_string(::getpid()) + "_" + info->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_ / "config");
  }
  void TearDown() override { fs::remove_all(folder_); }

  // Runs the program with `script` and the command-line `arguments`.
  RunResult Run(const std::string& script, const std::string& arguments = "") {
    return RunProgram(CINDRAL_BINARY_DIR "/app/cindral", script, arguments);
  }

  RunResult RunProgram(const fs::path& binary, const std::string& script, const std::string& arguments) {
    {
      std::ofstream file(folder_ / "script.txt", std::ios::binary);
      file << script;
    }
    const std::string command = "cd '" + folder_.string() + "' && XDG_CONFIG_HOME='" + (folder_ / "config").string() +
                                "' '" + binary.string() + "' --script script.txt " + arguments +
                                " > out.txt 2> err.txt";
    RunResult result;
    const int raw = std::system(command.c_str());
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = ReadAll(folder_ / "out.txt");
    result.err = ReadAll(folder_ / "err.txt");
    return result;
  }

  fs::path folder_;
};

const std::string kAttached =
    "show Frm__Start\n"
    "unload Frm__Start\n"
    "show Frm__MDI\n"
    "show Frm_ReplaceBlocks\n";
const std::string kClosedByEnd =
    "unload Frm_ReplaceBlocks\n"
    "unload Frm__MDI\n"
    "end\n";
const std::string kStartFirst =
    "message title=\"Cindral\" icon=information buttons=ok default=1 text=\"Please start AutoCAD 2007 first\"\n"
    "answer OK (default)\n"
    "unload Frm__Start\n"
    "end\n";
const std::string kSeveral =
    "message title=\"Cindral\" icon=information buttons=ok default=1 text=\"More than one version of AutoCAD is "
    "currently running.\\rPlease run only one version of AutoCAD when using this software.\"\n"
    "answer OK (default)\n"
    "unload Frm__Start\n"
    "end\n";

TEST_F(CindralScriptTest, Release17AloneAttachesAndOpensTheMainWindows) {
  const RunResult run = Run("dump Frm__Start\ndump Frm__MDI\ndump Frm_ReplaceBlocks\n");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, kAttached +
                         "window Frm__Start loaded=0 visible=0 caption=\"\" left=0 top=0 width=6015 height=3690 "
                         "state=normal\n"
                         "window Frm__MDI loaded=1 visible=1 caption=\"Cindral\" left=0 top=0 width=15360 "
                         "height=11520 state=maximized\n"
                         "window Frm_ReplaceBlocks loaded=1 visible=1 caption=\"Replace Blocks\" left=0 top=0 "
                         "width=15270 height=9945 state=normal\n" +
                         kClosedByEnd);
}

TEST_F(CindralScriptTest, ProbeRefusalsShowTheirMessageAndEnd) {
  const std::pair<const char*, std::string> cases[] = {
      {"--host none", kStartFirst},
      {"--host 17 --host 16.1", kSeveral},
      {"--host 15,15.0,15.1", kSeveral},
      {"--host 16.1", kStartFirst},
  };
  // The box is showing when the dump runs; the click that follows is no
  // answer, so the box takes its default, and after the end no line runs.
  const std::string dump =
      "window Frm__MDI loaded=0 visible=0 caption=\"Cindral\" left=0 top=0 width=15360 height=11520 "
      "state=normal\n";
  for (const auto& [arguments, transcript] : cases) {
    const RunResult run = Run("dump Frm__MDI\nclick Frm__MDI\n", arguments);
    EXPECT_EQ(run.status, 0) << arguments << "\n" << run.err;
    const std::size_t afterMessage = transcript.find('\n') + 1;
    EXPECT_EQ(run.out, transcript.substr(0, afterMessage) + dump + transcript.substr(afterMessage)) << arguments;
  }
}

TEST_F(CindralScriptTest, TheStartWindowControlsDumpAsDesigned) {
  const RunResult run = Run(
      "dump Frm__Start.Label1\ndump Frm__Start.LblLoading\ndump Frm__Start.ProBarLoading\ndump Frm__Start.LblTime\n");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, kAttached +
                         "label Frm__Start.Label1 caption=\"Cindral\" visible=1 enabled=1 color=#000000\n"
                         "label Frm__Start.LblLoading caption=\"Loading\" visible=0 enabled=1 color=#000000\n"
                         "progress Frm__Start.ProBarLoading caption=\"\" value=0 min=0 max=2500 visible=0 "
                         "enabled=1 color=#000000\n"
                         "label Frm__Start.LblTime caption=\"date\" visible=1 enabled=1 color=#000000\n" +
                         kClosedByEnd);
}

TEST_F(CindralScriptTest, ClickingTheFrameMinimisesItAndActivatesTheHostByItsTitle) {
  const std::pair<const char*, const char*> cases[] = {{"--host 17:15.06", "Autodesk Map"}, {"", "AutoCAD"}};
  for (const auto& [arguments, title] : cases) {
    const RunResult run = Run("click Frm__MDI\ndump Frm__MDI\n", arguments);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, kAttached + "activate \"" + title +
                           "\"\n"
                           "window Frm__MDI loaded=1 visible=1 caption=\"Cindral\" left=0 top=0 width=15360 "
                           "height=11520 state=minimized\n" +
                           kClosedByEnd);
  }
}

TEST_F(CindralScriptTest, ClosingTheFrameUnloadsEveryWindowAndEnds) {
  const RunResult run = Run("close Frm__MDI\ndump Frm__MDI\n");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, kAttached + kClosedByEnd);
}

TEST_F(CindralScriptTest, TheOpenADrawingBoxWaitsForTheUserToOpenOne) {
  const RunResult saved = Run("", "--save first.dxf");
  ASSERT_EQ(saved.status, 0) << saved.err;
  ASSERT_TRUE(fs::exists(folder_ / "first.dxf"));

  const std::string box =
      "message title=\"Open a Drawing\" icon=information buttons=ok default=1 text=\"Please open a Drawing. Press "
      "OK when the Drawing has finished loading.\"\n";
  const RunResult run = Run(
      "host close\n"
      "click Frm__MDI\n"
      "answer OK\n"
      "dump Frm__MDI\n"
      "host open first.dxf\n"
      "answer OK\n");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, kAttached + box + "answer OK\n" + box +
                         "window Frm__MDI loaded=1 visible=1 caption=\"Cindral\" left=0 top=0 width=15360 "
                         "height=11520 state=maximized\n"
                         "answer OK\n"
                         "activate \"AutoCAD\"\n" +
                         kClosedByEnd);
}

TEST_F(CindralScriptTest, ABoxThatWouldComeBackForEverStopsTheRun) {
  const RunResult run = Run("host close\nclick Frm__MDI\n");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err.rfind("script.txt:2: the \"Open a Drawing\" box would come back for ever", 0), 0U) << run.err;
}

TEST_F(CindralScriptTest, LinesThatCannotBeCarriedOutStopWithFileAndLine) {
  const std::pair<const char*, const char*> cases[] = {
      {"dump Frm__MDI.Nothing\n", "script.txt:1: Frm__MDI has no control Nothing\n"},
      {"\n# a comment\nanswer OK\n", "script.txt:3: no message box is showing\n"},
      {"pick none\n", "script.txt:1: no pick prompt is showing\n"},
      {"click Frm_Nowhere.Cmd1\n", "script.txt:1: unknown window Frm_Nowhere\n"},
      {"close Frm__Start\n", "script.txt:1: Frm__Start is not showing\n"},
      {"frobnicate Frm__MDI\n", "script.txt:1: unknown gesture frobnicate\n"},
      {"click \"unterminated\n", "script.txt:1: unterminated quoted text\n"},
      {"host close\nclick Frm__MDI\nanswer Yes\n", "script.txt:3: the message box has no button Yes\n"},
      {"host open missing.dxf\n", nullptr},
  };
  for (const auto& [script, error] : cases) {
    const RunResult run = Run(script);
    EXPECT_EQ(run.status, 2) << script;
    if (error != nullptr) {
      EXPECT_EQ(run.err, error) << script;
    } else {
      EXPECT_EQ(run.err.rfind("script.txt:1: host open: ", 0), 0U) << run.err;
    }
  }
}

TEST_F(CindralScriptTest, TheNotesViewerShowsTheNotesFileOrTheBuiltInNotes) {
  const std::string script = "click Frm_ReplaceBlocks.CmdNotes\ndump FrmRText.RText1\ndump FrmRText\n";
  const std::string viewer =
      "window FrmRText loaded=1 visible=1 caption=\"Report\" left=0 top=0 width=9600 height=7200 state=normal\n";

  // Installed beside the program in the build tree: the file's own text.
  const RunResult installed = Run(script);
  EXPECT_EQ(installed.status, 0) << installed.err;
  EXPECT_NE(installed.out.find("show FrmRText\nrichtext FrmRText.RText1 caption=\"Cindral\\r"), std::string::npos)
      << installed.out;
  EXPECT_NE(installed.out.find(viewer), std::string::npos) << installed.out;

  // A copy of the program in a folder without the notes file: the built-in
  // notes, naming the file that was looked for, and no message box.
  fs::copy_file(CINDRAL_BINARY_DIR "/app/cindral", folder_ / "cindral");
  const RunResult missing = RunProgram(folder_ / "cindral", script, "");
  EXPECT_EQ(missing.status, 0) << missing.err;
  const std::string firstLine = "richtext FrmRText.RText1 caption=\"The file: " +
                                (folder_ / "CindralNotes.rtf").string() + " could not be found.\\r\\rThe Cindral";
  EXPECT_NE(missing.out.find(firstLine), std::string::npos) << missing.out;
  EXPECT_NE(missing.out.find(viewer), std::string::npos) << missing.out;
  EXPECT_EQ(missing.out.find("message "), std::string::npos) << missing.out;
}

TEST_F(CindralScriptTest, SavedMatchesOutliveTheProgram) {
  const std::string site = "'" CINDRAL_SOURCE_DIR "/samples/site.dxf'";
  const std::string chooseRotor =
      "click Frm_ReplaceBlocks.OptRepWith(0)\n"
      "click Frm_ReplaceBlocks.MSHBlockDefs 3 4\n"
      "choose Frm_ReplaceBlocks.ComboReplaceWith \"ROTOR\"\n"
      "click Frm_ReplaceBlocks.CmdMatchAtts\n";
  // First run: automatic matching by tag, saved into the per-user store.
  const RunResult first = Run(chooseRotor + "click Frm_MatchAtts.CmdSaveMatchesAndExit\n"
                                            "dump Frm_ReplaceBlocks.MSHBlockDefs\n",
                              site);
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_NE(first.out.find("\tSPRINKLER\t20\t3\t3 of 3\tROTOR\tIn Drawing\t"), std::string::npos)
      << first.out;

  // Second run of the program with the same store: the saved matches are there.
  const RunResult second = Run(chooseRotor + "dump Frm_MatchAtts.OptRepAtts(1)\n"
                                             "click Frm_MatchAtts.OptRepAtts(1)\n"
                                             "dump Frm_MatchAtts.MSHAtts\n",
                               site);
  ASSERT_EQ(second.status, 0) << second.err;
  EXPECT_NE(second.out.find("option Frm_MatchAtts.OptRepAtts(1) caption=\"Saved values\" value=1 visible=1 enabled=1"),
            std::string::npos)
      << second.out;
  EXPECT_NE(second.out.find("\t0\tSTATION\tSTATION\t0\t1\n"), std::string::npos) << second.out;

  // A fresh store knows nothing of them.
  fs::remove_all(folder_ / "config");
  fs::create_directories(folder_ / "config");
  const RunResult fresh = Run(chooseRotor + "dump Frm_MatchAtts.OptRepAtts(1)\n", site);
  ASSERT_EQ(fresh.status, 0) << fresh.err;
  EXPECT_NE(fresh.out.find("option Frm_MatchAtts.OptRepAtts(1) caption=\"Saved values\" value=0 visible=1 enabled=0"),
            std::string::npos)
      << fresh.out;
}

TEST_F(CindralScriptTest, HelpVersionAndBadOptions) {
  const std::string binary = "'" CINDRAL_BINARY_DIR "/app/cindral'";
  EXPECT_EQ(std::system((binary + " --help > /dev/null").c_str()), 0);
  EXPECT_EQ(std::system((binary + " --version | grep -q '^cindral [0-9]'").c_str()), 0);
  const int bad = std::system((binary + " --bogus 2> /dev/null").c_str());
  EXPECT_EQ(WEXITSTATUS(bad), 2);
  const RunResult missing = Run("", "missing-drawing.dxf");
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("missing-drawing.dxf"), std::string::npos) << missing.err;
}

}  // namespace
