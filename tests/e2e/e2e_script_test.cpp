// End-to-end runs of `cindral --script` on the sample site plan. Every folder
// under tests/e2e is a suite; each NAME.script in it is one case:
//   NAME.transcript  the exact standard output of the run;
//   NAME.expected    (optional) what the suite's check.py prints about the
//                    drawing the script saved as out.dxf (read with ezdxf);
//   NAME.files/      (optional) files copied into the case's folder before the
//                    run; the transcript writes that folder as $CASE.
// Each case runs in a folder of its own with a fresh per-user store.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kSuites = fs::path(CINDRAL_SOURCE_DIR) / "tests/e2e";
const fs::path kProgram = fs::path(CINDRAL_BINARY_DIR) / "app/cindral";
const fs::path kSite = fs::path(CINDRAL_SOURCE_DIR) / "samples/site.dxf";

struct ScriptCase {
  std::string suite;
  std::string name;
};

// How test listings name a case.
void PrintTo(const ScriptCase& c, std::ostream* out) { *out << c.suite << "/" << c.name; }

std::vector<ScriptCase> AllCases() {
  std::vector<ScriptCase> cases;
  for (const auto& suite : fs::directory_iterator(kSuites)) {
    if (!suite.is_directory()) continue;
    for (const auto& file : fs::directory_iterator(suite.path())) {
      if (file.path().extension() != ".script") continue;
      cases.push_back({suite.path().filename().string(), file.path().stem().string()});
    }
  }
  std::sort(cases.begin(), cases.end(), [](const ScriptCase& a, const ScriptCase& b) {
    return a.suite + "/" + a.name < b.suite + "/" + b.name;
  });
  return cases;
}

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

int Shell(const std::string& command) {
  const int raw = std::system(command.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// The transcript with each mention of the case's folder (as the program's
// working directory gives it, or as written) written as $CASE.
std::string CaseFolderAsText(std::string transcript, const fs::path& folder) {
  for (const std::string& path : {fs::weakly_canonical(folder).string(), folder.string()}) {
    for (std::size_t at = transcript.find(path); at != std::string::npos; at = transcript.find(path, at)) {
      transcript.replace(at, path.size(), "$CASE");
    }
  }
  return transcript;
}

class ScriptRun : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(ScriptRun, TranscriptAndSavedDrawing) {
  if (!fs::exists(kProgram)) GTEST_SKIP() << "cindral is not built";
  const ScriptCase& c = GetParam();
  const fs::path cases = kSuites / c.suite;
  const fs::path folder = fs::path(::testing::TempDir()) /
                          ("cindral_e2e_" + std::to_string(::getpid()) + "_" + c.suite + "_" + c.name);
  fs::remove_all(folder);
  fs::create_directories(folder / "config");
  if (const fs::path files = cases / (c.name + ".files"); fs::is_directory(files)) {
    fs::copy(files, folder, fs::copy_options::recursive);
  }
  const std::string run = "cd " + Quoted(folder) + " && XDG_CONFIG_HOME=" + Quoted(folder / "config") +
                          " " + Quoted(kProgram) + " --script " + Quoted(cases / (c.name + ".script")) +
                          " " + Quoted(kSite) + " > out.txt 2> err.txt";
  ASSERT_EQ(Shell(run), 0) << ReadAll(folder / "err.txt");
  EXPECT_EQ(CaseFolderAsText(ReadAll(folder / "out.txt"), folder), ReadAll(cases / (c.name + ".transcript")));

  const fs::path expected = cases / (c.name + ".expected");
  if (fs::exists(expected)) {
    const std::string check = "/usr/bin/python3 " + Quoted(cases / "check.py") + " " +
                              Quoted(folder / "out.dxf") + " > " + Quoted(folder / "check.txt");
    ASSERT_EQ(Shell(check), 0);
    EXPECT_EQ(ReadAll(folder / "check.txt"), ReadAll(expected));
  }
  fs::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(SitePlan, ScriptRun, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<ScriptCase>& info) {
                           return info.param.suite + "_" + info.param.name;
                         });

}  // namespace
