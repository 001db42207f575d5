#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>

#include "cadhost/dxf/drawing_files.h"
#include "cadhost/dxf/drawing_reader.h"
#include "cadhost/dxf/drawing_writer.h"
#include "cadhost/dxf/error.h"
#include "cadhost/dxf/tag_reader.h"
#include "cadhost/dxf/tag_writer.h"
#include "tests/cadhost/dxf/dxf_fixture.h"

namespace cadhost::dxf {
namespace {

namespace fs = std::filesystem;

class DrawingFiles : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("cindral_dxf_" + std::to_string(::getpid()) + "_" +
                                        testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "Blocks");
  }
  void TearDown() override { fs::remove_all(dir_); }

  void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  std::string readFile(const fs::path& path) { return readFileBytes(path); }

  // A drawing file holding a door: a line on its own layer, an attribute
  // definition, a reference to a nested block, base point (2, 3).
  static std::string doorDrawing() {
    return test::asciiDxf({
        {0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1015"}, {9, "$INSBASE"},
        {10, "2.0"}, {20, "3.0"}, {30, "0.0"}, {0, "ENDSEC"},
        {0, "SECTION"}, {2, "TABLES"}, {0, "TABLE"}, {2, "LAYER"}, {70, "1"},
        {0, "LAYER"}, {2, "Doors"}, {70, "0"}, {62, "4"}, {6, "Continuous"}, {0, "ENDTAB"}, {0, "ENDSEC"},
        {0, "SECTION"}, {2, "BLOCKS"},
        {0, "BLOCK"}, {8, "0"}, {2, "HINGE"}, {70, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {3, "HINGE"},
        {0, "CIRCLE"}, {8, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {40, "0.1"},
        {0, "ENDBLK"}, {8, "0"},
        {0, "ENDSEC"},
        {0, "SECTION"}, {2, "ENTITIES"},
        {0, "LINE"}, {8, "Doors"}, {10, "0"}, {20, "0"}, {30, "0"}, {11, "1"}, {21, "0"}, {31, "0"},
        {0, "ATTDEF"}, {8, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {40, "0.2"}, {1, "D1"}, {3, "Door"}, {2, "MODEL"}, {70, "0"},
        {0, "INSERT"}, {8, "0"}, {2, "HINGE"}, {10, "0"}, {20, "0"}, {30, "0"},
        {0, "ENDSEC"}, {0, "EOF"}});
  }

  fs::path dir_;
  DxfDrawingFiles files_;
};

TEST_F(DrawingFiles, OpensAndSavesKeepingTheOldFileAsBak) {
  const fs::path path = dir_ / "site.dxf";
  const std::string original = test::asciiDxf(test::r2000Drawing());
  writeFile(path, original);
  auto db = files_.Open(path.string());
  files_.Save(*db, path.string());
  EXPECT_EQ(readFile(path), original);
  EXPECT_EQ(readFile(dir_ / "site.bak"), original);

  Entity line;
  LineData lineData;
  lineData.end = {1, 1, 0};
  line.data = lineData;
  db->AddEntity(db->ModelSpace(), line);
  files_.Save(*db, path.string());
  EXPECT_EQ(readFile(dir_ / "site.bak"), original);
  EXPECT_EQ(files_.Open(path.string())->Block(db->ModelSpace()).entities.size(), 4u);
  for (const auto& entry : fs::directory_iterator(dir_))
    EXPECT_FALSE(entry.path().filename().string().starts_with(".")) << "temporary file left behind";
}

// Another program rewriting the file in place, shorter, while the drawing is
// open changes nothing of the open drawing: saved elsewhere, it is the
// drawing as it was opened.
TEST_F(DrawingFiles, FileRewrittenInPlaceWhileOpenLeavesTheDrawingAsOpened) {
  const fs::path path = dir_ / "site.dxf";
  const std::string original = test::asciiDxf(test::r2000Drawing());
  writeFile(path, original);
  auto db = files_.Open(path.string());
  {
    std::ofstream overwrite(path, std::ios::binary | std::ios::trunc);  // same file, truncated
    overwrite << "  0\nEOF\n";
  }
  files_.Save(*db, (dir_ / "copy.dxf").string());
  EXPECT_EQ(readFile(dir_ / "copy.dxf"), original);
}

TEST_F(DrawingFiles, SaveKeepsTheDrawingsPermissions) {
  const fs::path path = dir_ / "site.dxf";
  writeFile(path, test::asciiDxf(test::r2000Drawing()));
  fs::permissions(path, fs::perms(0640));
  auto db = files_.Open(path.string());
  files_.Save(*db, path.string());
  EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640));

  // A new file gets what any new file gets: 0666 less the umask.
  const mode_t mask = ::umask(022);
  files_.Save(*db, (dir_ / "copy.dxf").string());
  ::umask(mask);
  EXPECT_EQ(fs::status(dir_ / "copy.dxf").permissions(), fs::perms(0644));
}

TEST_F(DrawingFiles, FailedSaveLeavesTheOldFileUntouched) {
  const fs::path path = dir_ / "site.dxf";
  std::string binary;
  TagWriter(binary, WriteFormat{FileFormat::Binary}).writeFile(readTags(test::asciiDxf(test::r2000Drawing()), "x"));
  writeFile(path, binary);
  auto db = files_.Open(path.string());
  // Binary data that is not hexadecimal cannot be written to a binary file.
  Entity& line = db->At(db->FindEntity(0x43));
  cad::XDataItem notHex;
  notHex.code = 1004;
  notHex.value = std::string("not hex");
  line.xdata[0].items.push_back(notHex);
  line.modified = true;
  EXPECT_THROW(files_.Save(*db, path.string()), cad::HostError);
  EXPECT_EQ(readFile(path), binary);
  EXPECT_FALSE(fs::exists(dir_ / "site.bak"));
  EXPECT_THROW(files_.Save(*db, (dir_ / "missing" / "x.dxf").string()), cad::HostError);
}

// A drawing of thousands of points (more than a chunk of the entity store),
// every other one moved: the save is then thousands of pieces (unchanged
// records from the read file, changed ones made anew), more than one system
// call takes.
TEST_F(DrawingFiles, LargeDrawingChangedHereAndThereSavesWhatTheWriterMakes) {
  auto pairs = test::r2000Drawing();
  auto at = std::find(pairs.begin(), pairs.end(), std::pair<int, std::string>{2, "ENTITIES"}) + 1;
  constexpr int kPoints = static_cast<int>(RecordStore<Entity>::kChunk) + 500;
  test::Pairs points;
  for (int i = 0; i < kPoints; ++i) {
    const std::string handle = HandleText(0x1000 + static_cast<Handle>(i));
    points.insert(points.end(), {{0, "POINT"}, {5, handle}, {330, "1F"}, {100, "AcDbEntity"}, {8, "0"},
                                 {100, "AcDbPoint"}, {10, std::to_string(i)}, {20, "0.0"}, {30, "0.0"}});
  }
  pairs.insert(at, points.begin(), points.end());
  const fs::path path = dir_ / "points.dxf";
  writeFile(path, test::asciiDxf(pairs, "\r\n"));

  auto db = files_.Open(path.string());
  for (int i = 0; i < kPoints; i += 2) {
    const EntityId id = db->FindEntity(0x1000 + static_cast<Handle>(i));
    ASSERT_TRUE(id) << i;
    std::get<PointData>(db->At(id).data).point.y = 5.0;
    db->At(id).modified = true;
  }
  ASSERT_GT(writeDrawingPieces(*db).size(), 2000u);
  const std::string expected = writeDrawing(*db);
  files_.Save(*db, path.string());
  EXPECT_EQ(readFile(path), expected);

  auto again = files_.Open(path.string());
  for (int i : {0, 1, kPoints / 2, kPoints - 1}) {
    const EntityId id = again->FindEntity(0x1000 + static_cast<Handle>(i));
    ASSERT_TRUE(id) << i;
    EXPECT_EQ(std::get<PointData>(again->At(id).data).point.y, i % 2 == 0 ? 5.0 : 0.0) << i;
  }
  EXPECT_GT(again->header.handSeed, 0x1000u + kPoints - 1);
}

// What open loads is what reading the bytes gives, and a file that cannot be
// a drawing says so.
TEST_F(DrawingFiles, LoadedFileReadsAsItsBytes) {
  const fs::path path = dir_ / "site.dxf";
  const std::string bytes = test::asciiDxf(test::r2000Drawing());
  writeFile(path, bytes);
  const TagList loaded = readTags(loadFileBytes(path), "site.dxf");
  const TagList read = readTags(bytes, "site.dxf");
  ASSERT_EQ(loaded.size(), read.size());
  for (std::size_t i = 0; i < read.size(); ++i) {
    EXPECT_EQ(loaded.code(i), read.code(i));
    EXPECT_EQ(loaded.value(i), read.value(i));
  }
  EXPECT_EQ(loaded.bytes(), bytes);

  writeFile(dir_ / "empty.dxf", "");
  for (const fs::path& bad : {dir_ / "empty.dxf", dir_ / "Blocks", dir_ / "missing.dxf"}) {
    try {
      readTags(loadFileBytes(bad), bad.filename().string());
      ADD_FAILURE() << bad;
    } catch (const DxfError& e) {
      EXPECT_NE(std::string(e.what()).find(bad.filename().string()), std::string::npos) << e.what();
    }
  }
}

TEST_F(DrawingFiles, InsertsADrawingFileAsABlockByContent) {
  writeFile(dir_ / "Blocks" / "door.dwg", doorDrawing());
  auto db = readDrawing(std::make_shared<const TagList>(readTags(test::asciiDxf(test::r2000Drawing()), "s")), "s");
  // The program writes `\` and the block name in capitals.
  std::string path = (dir_ / "blocks").string() + "\\DOOR.dwg";
  const BlockId door = files_.InsertAsBlock(*db, path);
  const BlockDefinition& block = db->Block(door);
  EXPECT_EQ(block.name, "DOOR");
  EXPECT_EQ(block.base, (Point{2, 3, 0}));
  ASSERT_EQ(block.entities.size(), 3u);
  EXPECT_EQ(std::get<AttdefData>(db->At(block.entities[1]).data).tag, "MODEL");
  EXPECT_TRUE(db->FindBlock("HINGE")) << "nested blocks come along";
  ASSERT_TRUE(db->layers.FindRecord("Doors"));
  EXPECT_EQ(db->layers.FindRecord("Doors")->color, 4);
  ASSERT_TRUE(block.recordIndex);
  EXPECT_EQ(db->blockRecords.At(block.recordIndex).handle, block.owner);
  EXPECT_EQ(files_.InsertAsBlock(*db, path), door) << "a block of that name is used as it is";

  // Saved and read again, the new block is complete.
  const fs::path saved = dir_ / "out.dxf";
  files_.Save(*db, saved.string());
  auto again = files_.Open(saved.string());
  const BlockId doorAgain = again->FindBlock("DOOR");
  ASSERT_TRUE(doorAgain);
  EXPECT_EQ(again->Block(doorAgain).entities.size(), 3u);
  EXPECT_EQ(again->Block(doorAgain).flags & kBlockHasAttributes, kBlockHasAttributes);
}

TEST_F(DrawingFiles, CopiedEntitiesKeepTheirGroupsButNoHandleOfTheirFile) {
  // A line with lineweight, true colour and a normal, reactors and an
  // extension dictionary pointing into the block's own file, and a HATCH the
  // host keeps as tags, pointing at the same dictionary.
  writeFile(dir_ / "Blocks" / "pipe.dxf", test::asciiDxf({
      {0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1015"}, {0, "ENDSEC"},
      {0, "SECTION"}, {2, "ENTITIES"},
      {0, "CIRCLE"}, {5, "2A"}, {102, "{ACAD_REACTORS"}, {330, "77"}, {102, "}"},
      {102, "{ACAD_XDICTIONARY"}, {360, "78"}, {102, "}"}, {330, "1F"}, {100, "AcDbEntity"}, {8, "0"},
      {370, "35"}, {420, "16711680"}, {100, "AcDbCircle"}, {10, "1"}, {20, "2"}, {30, "0"}, {40, "3"},
      {210, "0"}, {220, "0"}, {230, "-1"},
      {0, "HATCH"}, {5, "2B"}, {102, "{ACAD_REACTORS"}, {330, "77"}, {102, "}"}, {330, "1F"},
      {100, "AcDbEntity"}, {8, "0"}, {370, "18"}, {100, "AcDbHatch"}, {2, "SOLID"}, {390, "79"},
      {0, "ENDSEC"}, {0, "EOF"}}));
  auto db = readDrawing(std::make_shared<const TagList>(readTags(test::asciiDxf(test::r2000Drawing()), "s")), "s");
  const BlockId pipe = files_.InsertAsBlock(*db, (dir_ / "Blocks" / "pipe.dxf").string());
  ASSERT_EQ(db->Block(pipe).entities.size(), 2u);
  EXPECT_EQ(std::get<CircleData>(db->At(db->Block(pipe).entities[0]).data).normal, (Point{0, 0, -1}));

  const std::string saved = writeDrawing(*db);
  ASSERT_NE(saved.find("\npipe\n"), std::string::npos);
  const std::string block = saved.substr(saved.find("\npipe\n"));
  for (const char* kept : {"370\n35\n", "420\n16711680\n", "230\n-1", "370\n18\n", "  2\nSOLID\n"})
    EXPECT_NE(block.find(kept), std::string::npos) << kept;
  for (const char* dropped : {"ACAD_REACTORS", "ACAD_XDICTIONARY", "\n77\n", "\n78\n", "\n79\n"})
    EXPECT_EQ(block.substr(0, block.find("ENDBLK")).find(dropped), std::string::npos) << dropped;
}

TEST_F(DrawingFiles, RefusesWhatIsNotADxfDrawingWithTheFileNamed) {
  writeFile(dir_ / "Blocks" / "REAL.dwg", std::string("AC1018\0\0\0\0binary", 16));
  writeFile(dir_ / "Blocks" / "BROKEN.dwg", "  0\nSECTION\nxx\n");
  auto db = Database::CreateNew();
  struct Case {
    std::string file;
    std::string message;
  };
  for (const Case& c : {Case{"REAL.dwg", "is a DWG drawing; the built-in host reads DXF drawings only"},
                        Case{"BROKEN.dwg", "line 3: expected a group code"},
                        Case{"MISSING.dwg", "Drawing file not found: "}}) {
    const std::string path = (dir_ / "Blocks" / c.file).string();
    try {
      files_.InsertAsBlock(*db, path);
      ADD_FAILURE() << c.file;
    } catch (const cad::HostError& e) {
      EXPECT_NE(e.Description().find(c.message), std::string::npos) << e.Description();
      EXPECT_NE(e.Description().find(c.file), std::string::npos) << e.Description();
    }
  }
  EXPECT_FALSE(db->FindBlock("REAL"));
}

}  // namespace
}  // namespace cadhost::dxf
