// The DWG side of the host: the helper process runner, the corrections taken
// from the reader's sidecar, and the drawing files that route DWG and DXF.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "cadhost/dwg/drawing_files.h"
#include "cadhost/dwg/dwg_corrections.h"
#include "cadhost/dwg/dwg_sidecar.h"
#include "cadhost/dwg/helper_process.h"
#include "cadhost/dxf/drawing_reader.h"
#include "cadhost/dxf/drawing_writer.h"
#include "cadhost/dxf/tag_reader.h"
#include "host/cad.h"
#include "tests/cadhost/dxf/dxf_fixture.h"

namespace cadhost::dwg {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using namespace std::chrono_literals;

const fs::path kFixtures = fs::path(CINDRAL_SOURCE_DIR) / "tests" / "fixtures" / "dwg";

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "cindral-dwg-test-XXXXXX").string();
    path = ::mkdtemp(pattern.data());
  }
  ~TempFolder() { fs::remove_all(path); }
  fs::path path;
};

std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// ---- the helper process ----

TEST(HelperProcess, TellsHowTheHelperEnded) {
  struct Case {
    std::vector<std::string> arguments;
    HelperOutcome::End end;
    int status;
    std::string errorText;
  };
  for (const Case& c : {
           Case{{"sh", "-c", "echo 'no such drawing' >&2; exit 3"}, HelperOutcome::End::Exited, 3, "no such drawing\n"},
           Case{{"sh", "-c", "exit 0"}, HelperOutcome::End::Exited, 0, ""},
           Case{{"sh", "-c", "kill -SEGV $$"}, HelperOutcome::End::Signalled, SIGSEGV, ""},
           Case{{"cindral-no-such-helper"}, HelperOutcome::End::NotFound, ENOENT, ""},
       }) {
    const HelperOutcome outcome = RunHelper(c.arguments, 10s);
    EXPECT_EQ(outcome.end, c.end) << c.arguments.back();
    EXPECT_EQ(outcome.status, c.status) << c.arguments.back();
    EXPECT_EQ(outcome.errorText, c.errorText) << c.arguments.back();
  }
}

TEST(HelperProcess, AHelperPastItsTimeIsKilledWithWhatItStarted) {
  TempFolder temp;
  const fs::path pidFile = temp.path / "child.pid";
  // The helper starts a child of its own that would outlive it, then hangs.
  const HelperOutcome outcome =
      RunHelper({"sh", "-c", "sleep 300 & echo $! > '" + pidFile.string() + "'; wait"}, 500ms);
  EXPECT_EQ(outcome.end, HelperOutcome::End::TimedOut);
  const pid_t grandchild = std::stoi(ReadText(pidFile));
  // Killed with its process group: gone (or a zombie reaped by init shortly).
  bool gone = false;
  for (int i = 0; i < 100 && !gone; ++i) {
    gone = ::kill(grandchild, 0) != 0 || ReadText("/proc/" + std::to_string(grandchild) + "/stat").find(" Z ") != std::string::npos;
    if (!gone) std::this_thread::sleep_for(20ms);
  }
  EXPECT_TRUE(gone);
}

// ---- corrections from the sidecar ----

// The R2000 fixture drawing as LibreDWG's DXF writer gets it wrong: its VALVE
// block's STATION definition (handle 33) lost its preset flag, prompt and
// default, the reference 40 lost its second attribute, two texts were left
// out, and four objects were not decoded: two multileaders, a placeholder
// and one whose class has no name.
constexpr const char* kSidecar = R"({
  "version": "AC1015", "readWarnings": 0,
  "entityCounts": {"BLOCK": 3, "ENDBLK": 3, "CIRCLE": 1, "ATTDEF": 1, "INSERT": 1, "ATTRIB": 2, "SEQEND": 1,
                   "LINE": 1, "XLINE": 1, "TEXT": 3},
  "trueColours": 1, "transparencies": 0, "undecoded": 4,
  "undecodedKinds": {"ACDBPLACEHOLDER": {"count": 1, "entity": false}, "MULTILEADER": {"count": 2, "entity": true}},
  "attdefs": [{"handle": "33", "tag": "STATION", "flags": 8, "lockPosition": false, "layer": "0",
               "insertionPoint": [0, -2, 0], "alignmentPoint": [0, 0, 0], "height": 0.5, "rotation": 0,
               "prompt": "Station number", "default": "S-0"}],
  "inserts": [{"handle": "40", "block": "VALVE", "attribs": [
      {"handle": "41", "tag": "STATION", "flags": 0, "layer": "Heads", "insertionPoint": [10, 18, 0],
       "alignmentPoint": [0, 0, 0], "height": 0.5, "rotation": 1.5707963, "value": "12-A"},
      {"handle": "4A", "tag": "SIZE", "flags": 1, "layer": "Heads", "insertionPoint": [10, 17, 0],
       "alignmentPoint": [0, 0, 0], "height": 0.25, "rotation": 1.5707963, "style": "Standard", "value": "DN50"}]}]
})";

std::unique_ptr<Database> FixtureDrawing() {
  auto tags = std::make_shared<const dxf::TagList>(
      dxf::readTags(dxf::test::asciiDxf(dxf::test::r2000Drawing()), "converted.dxf"));
  return dxf::readDrawing(std::move(tags), "converted.dxf");
}

TEST(DwgCorrections, PutsAttributesRightAndListsWhatIsStillMissing) {
  auto drawing = FixtureDrawing();
  const CorrectionSummary summary = ApplySidecar(*drawing, ParseSidecar(kSidecar));

  EXPECT_EQ(summary.attdefsCorrected, 1);
  EXPECT_EQ(summary.attribsCorrected, 0);
  EXPECT_EQ(summary.attribsRestored, 1);
  EXPECT_THAT(summary.losses, ElementsAre("2 MULTILEADER", "2 TEXT", "the true colours of 1 entity",
                                          "2 objects it could not decode (1 ACDBPLACEHOLDER)"));

  // Written and read back: what was put right is in the file.
  auto tags = std::make_shared<const dxf::TagList>(dxf::readTags(dxf::writeDrawing(*drawing), "saved.dxf"));
  const auto saved = dxf::readDrawing(std::move(tags), "saved.dxf");
  const auto& attdef = std::get<AttdefData>(saved->At(saved->FindEntity(0x33)).data);
  EXPECT_EQ(attdef.flags, 8);
  EXPECT_EQ(std::string(attdef.prompt), "Station number");
  EXPECT_EQ(attdef.text.value, "S-0");
  const auto& insert = std::get<InsertData>(saved->At(saved->FindEntity(0x40)).data);
  ASSERT_EQ(insert.attributes.size(), 2u);
  EXPECT_TRUE(insert.seqEnd);
  const Entity& restored = saved->At(insert.attributes[1]);
  EXPECT_EQ(restored.handle, 0x4Au);
  EXPECT_EQ(std::string(restored.layer), "Heads");
  const auto& size = std::get<AttribData>(restored.data);
  EXPECT_EQ(std::string(size.tag), "SIZE");
  EXPECT_EQ(size.text.value, "DN50");
  EXPECT_EQ(size.flags, 1);
  EXPECT_DOUBLE_EQ(size.text.height, 0.25);
  EXPECT_NEAR(size.text.rotation, 1.5707963, 1e-9);
  EXPECT_EQ(std::get<AttribData>(saved->At(insert.attributes[0]).data).text.value, "12-A");
}

TEST(DwgCorrections, ADamagedSidecarIsRefusedWithItsReason) {
  for (const char* text : {"", "{\"entityCounts\": {}}", "{\"entityCounts\": {}, \"attdefs\": [], \"inserts\": "
                                                          "[{\"handle\": \"XYZ\", \"attribs\": []}]}"}) {
    EXPECT_THROW(ParseSidecar(text), std::runtime_error) << text;
  }
}

// ---- DWG and DXF drawing files ----

DwgReaderSetup InstalledReader(const fs::path& cache) {
  DwgReaderSetup setup;
  setup.script = fs::path(CINDRAL_SOURCE_DIR) / "cadhost" / "dwg" / "reader" / "dwg_reader.mjs";
  setup.cacheFolder = cache;
  return setup;
}

TEST(DwgDrawingFiles, ADwgBlockFileInsertsWithItsAttributeDefinitionsOnceConverted) {
  TempFolder temp;
  fs::create_directories(temp.path / "Blocks");
  fs::copy_file(kFixtures / "blocks" / "autocad_entities_attdef_R2000.dwg", temp.path / "Blocks" / "Marker.dwg");
  DrawingFiles files(InstalledReader(temp.path / "cache"));

  auto first = Database::CreateNew();
  const BlockId marker = files.InsertAsBlock(*first, (temp.path / "Blocks").string() + "\\MARKER.dwg");
  std::vector<std::tuple<std::string, std::string, std::string, int>> definitions;
  for (EntityId id : first->Block(marker).entities) {
    if (const auto* attdef = std::get_if<AttdefData>(&first->At(id).data))
      definitions.emplace_back(std::string(attdef->tag), std::string(attdef->prompt), attdef->text.value, attdef->flags);
  }
  EXPECT_THAT(definitions, ElementsAre(std::make_tuple("ATTR1", "PROMPT", "3", 0)));
  EXPECT_EQ(first->Block(marker).name, "MARKER");

  // Another drawing takes the same file from the cache.
  auto second = Database::CreateNew();
  files.InsertAsBlock(*second, (temp.path / "Blocks" / "Marker.dwg").string());
  EXPECT_EQ(files.converter().HelperRuns(), 1);
}

TEST(DwgDrawingFiles, ADwgNameFindsTheDxfFileWhenThereIsNoDwg) {
  TempFolder temp;
  std::ofstream(temp.path / "Valve.dxf", std::ios::binary) << dxf::test::asciiDxf(dxf::test::r2000Drawing());
  DrawingFiles files(InstalledReader(temp.path / "cache"));
  auto db = Database::CreateNew();
  const BlockId valve = files.InsertAsBlock(*db, temp.path.string() + "\\Valve.dwg");
  EXPECT_EQ(db->Block(valve).name, "Valve");
  EXPECT_FALSE(db->Block(valve).entities.empty());
  EXPECT_EQ(files.converter().HelperRuns(), 0);
  EXPECT_THROW(files.InsertAsBlock(*db, temp.path.string() + "\\Missing.dwg"), cad::HostError);
}

TEST(DwgDrawingFiles, AnOpenedDwgSaysItWasImportedAndIsNeverSavedOver) {
  TempFolder temp;
  const fs::path dwg = temp.path / "site.dwg";
  fs::copy_file(kFixtures / "autocad_map_attribs_R2010.dwg", dwg);
  const std::string before = ReadText(dwg);
  DrawingFiles files(InstalledReader(temp.path / "cache"));
  const auto drawing = files.Open(dwg.string());
  ASSERT_TRUE(drawing->imported);
  EXPECT_EQ(drawing->imported->sourcePath, dwg.string());
  try {
    files.Save(*drawing, dwg.string());
    ADD_FAILURE() << "saved over the DWG";
  } catch (const cad::HostError& e) {
    EXPECT_THAT(e.Description(), HasSubstr("it is a DWG drawing"));
  }
  EXPECT_EQ(ReadText(dwg), before);
  files.Save(*drawing, (temp.path / "site.dxf").string());
  EXPECT_TRUE(dxf::readDrawingFile((temp.path / "site.dxf").string()));
}

TEST(DwgDrawingFiles, AReaderThatIsNotInstalledIsNamedInTheFailure) {
  TempFolder temp;
  const fs::path dwg = temp.path / "site.dwg";
  fs::copy_file(kFixtures / "autocad_entities_R2000.dwg", dwg);
  struct Case {
    DwgReaderSetup setup;
    std::string reason;
  };
  DwgReaderSetup noScript = InstalledReader(temp.path / "cache");
  noScript.script = temp.path / "missing" / "dwg_reader.mjs";
  // A reader script whose package was never installed beside it.
  DwgReaderSetup noPackage = InstalledReader(temp.path / "cache");
  noPackage.script = temp.path / "reader" / "dwg_reader.mjs";
  fs::create_directories(noPackage.script.parent_path());
  std::ofstream(noPackage.script) << "process.exit(0);\n";
  for (const Case& c : {Case{noScript, "the DWG reader is not installed"},
                        Case{noPackage, "@mlightcad/libredwg-web is not installed"}}) {
    DrawingFiles files(c.setup);
    try {
      files.Open(dwg.string());
      ADD_FAILURE() << c.reason;
    } catch (const cad::HostError& e) {
      EXPECT_THAT(e.Description(), HasSubstr(c.reason));
      EXPECT_THAT(e.Description(), HasSubstr("site.dwg"));
    }
  }
}

}  // namespace
}  // namespace cadhost::dwg
