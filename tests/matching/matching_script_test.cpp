// End-to-end runs of attribute matching through `cindral --script` on the
// sample site plan: each script under tests/e2e/matching gives its transcript
// exactly, and the saved drawing carries the attribute values the matches
// say (read back with ezdxf). Skipped when the command is not built.
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

const fs::path kCases = fs::path(CINDRAL_SOURCE_DIR) / "tests/e2e/matching";
const fs::path kProgram = fs::path(CINDRAL_BINARY_DIR) / "app/cindral";

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

class MatchingScript : public ::testing::TestWithParam<std::string> {};

TEST_P(MatchingScript, TranscriptAndAttributeValues) {
  if (!fs::exists(kProgram)) GTEST_SKIP() << "cindral is not built";
  const std::string name = GetParam();
  const fs::path folder = fs::path(::testing::TempDir()) /
                          ("cindral_match_e2e_" + std::to_string(::getpid()) + "_" + name);
  fs::remove_all(folder);
  fs::create_directories(folder / "config");
  const std::string run = "cd '" + folder.string() + "' && XDG_CONFIG_HOME='" +
                          (folder / "config").string() + "' '" + kProgram.string() +
                          "' --script '" + (kCases / (name + ".script")).string() + "' '" +
                          CINDRAL_SOURCE_DIR + "/samples/site.dxf' > out.txt 2> err.txt";
  ASSERT_EQ(Shell(run), 0) << ReadAll(folder / "err.txt");
  EXPECT_EQ(ReadAll(folder / "out.txt"), ReadAll(kCases / (name + ".transcript")));

  const std::string check = "/usr/bin/python3 '" + (kCases / "attribute_values.py").string() +
                            "' '" + (folder / "out.dxf").string() + "' > '" +
                            (folder / "values.txt").string() + "'";
  ASSERT_EQ(Shell(check), 0);
  EXPECT_EQ(ReadAll(folder / "values.txt"), ReadAll(kCases / (name + ".values")));
  fs::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(SitePlan, MatchingScript, ::testing::Values("sprinkler_to_rotor"));

}  // namespace
