#include <gtest/gtest.h>

#include <algorithm>
#include <numbers>

#include "cadhost/dxf/drawing_reader.h"
#include "cadhost/dxf/drawing_writer.h"
#include "cadhost/dxf/error.h"
#include "cadhost/dxf/tag_reader.h"
#include "cadhost/dxf/tag_writer.h"
#include "tests/cadhost/dxf/dxf_fixture.h"

namespace cadhost::dxf {
namespace {

std::unique_ptr<Database> load(const std::string& bytes) {
  return readDrawing(std::make_shared<const TagList>(readTags(bytes, "f.dxf")), "f.dxf");
}

// A layer added as the host adds one: a handle of its own, owned by the table.
void addLayer(Database& db, const std::string& name) {
  LayerRecord layer;
  layer.name = name;
  layer.handle = db.NewHandle();
  layer.owner = db.layers.head.handle;
  db.layers.Add(layer);
}

EntityId entityByHandle(const Database& db, Handle handle) {
  EntityId id = db.FindEntity(handle);
  EXPECT_TRUE(id) << "no entity " << HandleText(handle);
  return id;
}

TEST(DrawingReader, ReadsTheModelledContent) {
  auto db = load(test::asciiDxf(test::r2000Drawing()));
  EXPECT_EQ(db->header.acadVer, "AC1015");
  EXPECT_EQ(db->header.handSeed, 0x100u);
  EXPECT_EQ(db->header.currentLayer, "0");
  EXPECT_EQ(db->layers.Size(), 2u);
  ASSERT_TRUE(db->layers.FindRecord("HEADS"));
  EXPECT_EQ(db->layers.FindRecord("heads")->color, 3);
  EXPECT_TRUE(db->appIds.Find("Flags"));

  const BlockId valve = db->FindBlock("valve");
  ASSERT_TRUE(valve);
  EXPECT_EQ(db->Block(valve).flags, kBlockHasAttributes);
  ASSERT_EQ(db->Block(valve).entities.size(), 2u);
  const auto& attdef = std::get<AttdefData>(db->At(db->Block(valve).entities[1]).data);
  EXPECT_EQ(attdef.tag, "STATION");
  EXPECT_EQ(attdef.prompt, "Station");

  const Entity& insert = db->At(entityByHandle(*db, 0x40));
  const auto& data = std::get<InsertData>(insert.data);
  EXPECT_EQ(insert.layer, "Heads");
  EXPECT_EQ(insert.container, db->ModelSpace());
  EXPECT_EQ(data.blockName, "VALVE");
  EXPECT_DOUBLE_EQ(data.rotation, std::numbers::pi / 2);
  ASSERT_EQ(data.attributes.size(), 1u);
  EXPECT_EQ(std::get<AttribData>(db->At(data.attributes[0]).data).text.value, "12-A");
  EXPECT_TRUE(data.seqEnd);

  const Entity& line = db->At(entityByHandle(*db, 0x43));
  EXPECT_EQ(line.owner, 0x1Fu);  // not the reactor's 330
  EXPECT_EQ(line.color, 1);
  ASSERT_EQ(line.xdata.size(), 1u);
  EXPECT_EQ(line.xdata[0].application, "Flags");
  EXPECT_EQ(line.xdata[0].items[2], (cad::XDataItem{1010, Point{1, 2, 0}}));

  EXPECT_EQ(db->At(entityByHandle(*db, 0x44)).type, "XLINE");
  const Entity& title = db->At(entityByHandle(*db, 0x45));
  EXPECT_TRUE(title.paperSpace);
  EXPECT_EQ(title.container, db->PaperSpace());
  ASSERT_EQ(db->unmodelled.sections.size(), 1u);
  EXPECT_EQ(db->unmodelled.sections[0].name, "OBJECTS");
}

TEST(DrawingWriter, UnchangedDrawingIsWrittenByteForByte) {
  const std::string lf = test::asciiDxf(test::r2000Drawing());
  const std::string crlf = test::asciiDxf(test::r2000Drawing(), "\r\n");
  std::string binary;
  TagWriter(binary, WriteFormat{FileFormat::Binary}).writeFile(readTags(lf, "f.dxf"));
  // Entities kept inside the model space BLOCK stay there.
  auto pairs = test::r2000Drawing();
  const auto endblk = std::find(pairs.begin(), pairs.end(), std::pair<int, std::string>{0, "ENDBLK"});
  pairs.insert(endblk, {{0, "POINT"}, {5, "99"}, {8, "0"}, {10, "1"}, {20, "2"}, {30, "0"}});
  const std::string inBlock = test::asciiDxf(pairs);
  // ... also when the file has no ENTITIES section at all.
  const auto entities = std::find(pairs.begin(), pairs.end(), std::pair<int, std::string>{2, "ENTITIES"});
  ASSERT_NE(entities, pairs.end());
  const auto endsec = std::find(entities, pairs.end(), std::pair<int, std::string>{0, "ENDSEC"});
  pairs.erase(entities - 1, endsec + 1);
  const std::string onlyInBlock = test::asciiDxf(pairs);
  for (const std::string& bytes :
       std::vector<std::string>{lf, crlf, binary, inBlock, onlyInBlock, "0\nSECTION\n2\nENTITIES\n0\nENDSEC\n0\nEOF\n"})
    EXPECT_EQ(writeDrawing(*load(bytes)), bytes);
}

TEST(DrawingWriter, ChangedRecordKeepsItsUnknownTagsAndNothingElseChanges) {
  const std::string original = test::asciiDxf(test::r2000Drawing());
  auto db = load(original);
  const EntityId insertId = entityByHandle(*db, 0x40);
  Entity& attrib = db->At(std::get<InsertData>(db->At(insertId).data).attributes[0]);
  std::get<AttribData>(attrib.data).text.value = "7-B";
  attrib.modified = true;

  const std::string saved = writeDrawing(*db);
  std::string expected = original;
  const std::string before = "  1\n12-A\n100\nAcDbAttribute\n  2\nSTATION\n 70\n0\n999\nkept comment\n";
  const std::string after = "  1\n7-B\n100\nAcDbAttribute\n  2\nSTATION\n 70\n0\n999\nkept comment\n";
  ASSERT_NE(expected.find(before), std::string::npos);
  expected.replace(expected.find(before), before.size(), after);
  EXPECT_EQ(saved, expected);
}

TEST(DrawingWriter, NewRecordsGetHandlesOwnersAndTheirTables) {
  auto db = load(test::asciiDxf(test::r2000Drawing()));
  addLayer(*db, "IRR_STATION");

  Entity text;
  text.layer = "IRR_STATION";
  TextData textData;
  textData.text.value = "12-A";
  textData.text.insertion = {5, 5, 0};
  textData.text.height = 2.0;
  text.data = textData;
  text.xdata = {ExtendedData{"Flags", {cad::XDataItem{1000, std::string("new")}}}};
  const EntityId textId = db->AddEntity(db->ModelSpace(), text);

  Entity insert;
  InsertData insertData;
  insertData.blockName = "VALVE";
  insertData.insertion = {1, 1, 0};
  insert.data = insertData;
  const EntityId insertId = db->AddEntity(db->ModelSpace(), insert);
  Entity attrib;
  AttribData attribData;
  attribData.text.value = "3";
  attribData.tag = "STATION";
  attrib.data = attribData;
  db->AddSubEntity(insertId, attrib);

  auto again = load(writeDrawing(*db));
  EXPECT_GT(again->header.handSeed, db->At(insertId).handle);
  ASSERT_TRUE(again->layers.FindRecord("IRR_STATION"));
  EXPECT_EQ(again->layers.FindRecord("IRR_STATION")->owner, db->layers.head.handle);
  const Entity& textAgain = again->At(entityByHandle(*again, db->At(textId).handle));
  EXPECT_EQ(std::get<TextData>(textAgain.data).text.value, "12-A");
  EXPECT_EQ(textAgain.owner, 0x1Fu);
  ASSERT_EQ(textAgain.xdata.size(), 1u);
  EXPECT_EQ(textAgain.xdata[0].application, "Flags");
  EXPECT_EQ(textAgain.xdata[0].items, db->At(textId).xdata[0].items);
  const Entity& insertAgain = again->At(entityByHandle(*again, db->At(insertId).handle));
  const auto& data = std::get<InsertData>(insertAgain.data);
  ASSERT_EQ(data.attributes.size(), 1u);
  EXPECT_EQ(std::get<AttribData>(again->At(data.attributes[0]).data).tag, "STATION");
  EXPECT_TRUE(data.seqEnd) << "a reference with attributes ends with SEQEND";
  EXPECT_EQ(again->At(data.seqEnd).owner, insertAgain.handle);
}

TEST(DrawingWriter, NewBlockWithAttributesIsFlaggedAndRecorded) {
  auto db = load(test::asciiDxf(test::r2000Drawing()));
  BlockRecordEntry record;
  record.name = "PUMP";
  record.handle = db->NewHandle();
  record.owner = db->blockRecords.head.handle;
  BlockDefinition block;
  block.name = "PUMP";
  block.owner = record.handle;
  block.recordIndex = db->blockRecords.Add(record);
  const BlockId id = db->AddBlock(block);
  Entity attdef;
  AttdefData attdefData;
  attdefData.tag = "FLOW";
  attdefData.prompt = "Flow";
  attdef.data = attdefData;
  db->AddEntity(id, attdef);

  auto again = load(writeDrawing(*db));
  const BlockId pump = again->FindBlock("PUMP");
  ASSERT_TRUE(pump);
  EXPECT_EQ(again->Block(pump).flags & kBlockHasAttributes, kBlockHasAttributes);
  EXPECT_TRUE(again->Block(pump).recordIndex);
  EXPECT_TRUE(again->Block(pump).endHandle);
}

TEST(DrawingWriter, TableTheFileLackedIsAddedWithAHandle) {
  auto db = load(test::asciiDxf(test::r2000Drawing()));  // no UCS table
  UcsRecord ucs;
  ucs.name = "SITE_GRID";
  ucs.origin = {10, 10, 0};
  ucs.handle = db->NewHandle();
  db->ucss.Add(ucs);
  const std::string saved = writeDrawing(*db);
  auto again = load(saved);
  ASSERT_TRUE(again->ucss.FindRecord("site_grid"));
  EXPECT_EQ(again->ucss.FindRecord("site_grid")->origin, (Point{10, 10, 0}));
  EXPECT_NE(again->ucss.head.handle, 0u);
  EXPECT_GT(again->header.handSeed, again->ucss.head.handle);
}

TEST(DrawingReader, R12FileWithoutLayoutsOrHandles) {
  const test::Pairs r12{{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1009"}, {0, "ENDSEC"},
                        {0, "SECTION"}, {2, "ENTITIES"}, {0, "LINE"}, {8, "0"}, {10, "0"}, {20, "0"},
                        {30, "0"}, {11, "1"}, {21, "1"}, {31, "0"}, {0, "ENDSEC"}, {0, "EOF"}};
  const std::string bytes = test::asciiDxf(r12);
  auto db = load(bytes);
  ASSERT_TRUE(db->ModelSpace());
  ASSERT_EQ(db->Block(db->ModelSpace()).entities.size(), 1u);
  EXPECT_EQ(writeDrawing(*db), bytes);
}

TEST(DrawingReader, WritersCommentsAreKeptWhereTheyStand) {
  // LibreCAD, QCAD and FreeCAD open the file with a 999 comment.
  const test::Pairs commented{{999, "dxfrw 0.6.3"}, {0, "SECTION"}, {2, "ENTITIES"}, {0, "LINE"}, {8, "0"},
                              {10, "0"}, {20, "0"}, {11, "1"}, {21, "1"}, {0, "ENDSEC"}, {999, "end"}, {0, "EOF"}};
  const std::string bytes = test::asciiDxf(commented);
  auto db = load(bytes);
  ASSERT_EQ(db->Block(db->ModelSpace()).entities.size(), 1u);
  EXPECT_EQ(writeDrawing(*db), bytes);
  Entity& line = db->At(db->Block(db->ModelSpace()).entities[0]);
  std::get<LineData>(line.data).end.x = 2;
  line.modified = true;
  const std::string saved = writeDrawing(*db);
  EXPECT_TRUE(saved.starts_with("999\ndxfrw 0.6.3\n  0\nSECTION\n")) << saved;
  EXPECT_NE(saved.find("999\nend\n  0\nEOF"), std::string::npos) << saved;
}

TEST(DrawingReader, LayersNamedOnlyByEntitiesExistAndAreWrittenToTheTable) {
  auto pairs = test::r2000Drawing();
  const auto endsec = std::find(pairs.rbegin(), pairs.rend(), std::pair<int, std::string>{2, "ENTITIES"});
  ASSERT_NE(endsec, pairs.rend());
  // A text on a layer the LAYER table does not list.
  pairs.insert(endsec.base(), {{0, "TEXT"}, {5, "98"}, {330, "1F"}, {100, "AcDbEntity"}, {8, "Survey"},
                               {100, "AcDbText"}, {10, "1"}, {20, "1"}, {30, "0"}, {40, "1"}, {1, "A"}});
  const std::string original = test::asciiDxf(pairs);
  auto db = load(original);
  const LayerRecord* made = db->layers.FindRecord("SURVEY");
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->color, cad::kColorWhite);
  EXPECT_EQ(made->linetype, "Continuous");
  EXPECT_EQ(db->layers.FindRecord("0")->handle, load(original)->layers.FindRecord("0")->handle);

  const std::string saved = writeDrawing(*db);
  auto entities = [](const std::string& dxf) { return dxf.substr(dxf.find("ENTITIES")); };
  EXPECT_EQ(entities(saved), entities(original)) << "the entities are written as they were";
  auto again = load(saved);
  ASSERT_NE(again->layers.FindRecord("Survey"), nullptr);
  EXPECT_EQ(again->layers.FindRecord("Survey")->handle, made->handle);
  EXPECT_GT(again->header.handSeed, made->handle) << "the handle seed lies above the new entry";
}

TEST(DrawingWriter, SectionsAFileLackedAreAddedOnceTheDrawingNeedsThem) {
  // R12 as many generators write it: ENTITIES only, on a layer no table lists.
  const test::Pairs r12{{0, "SECTION"}, {2, "ENTITIES"}, {0, "INSERT"}, {8, "PIPES"}, {2, "OLD"}, {10, "1"},
                        {20, "2"}, {0, "ENDSEC"}, {0, "EOF"}};
  const std::string bytes = test::asciiDxf(r12);
  auto db = load(bytes);
  ASSERT_NE(db->layers.FindRecord("PIPES"), nullptr);
  EXPECT_EQ(writeDrawing(*db), bytes) << "an unchanged drawing keeps the sections it had";

  addLayer(*db, "FLAGS");
  BlockDefinition block;
  block.name = "NEW";
  const BlockId id = db->AddBlock(block);
  Entity point;
  point.data = PointData{};
  db->AddEntity(id, point);
  const std::string saved = writeDrawing(*db);
  EXPECT_LT(saved.find("TABLES"), saved.find("BLOCKS"));
  EXPECT_LT(saved.find("BLOCKS"), saved.find("ENTITIES"));
  auto again = load(saved);
  EXPECT_NE(again->layers.FindRecord("PIPES"), nullptr) << "the layer the entities named is listed too";
  EXPECT_NE(again->layers.FindRecord("FLAGS"), nullptr);
  EXPECT_TRUE(again->FindBlock("NEW"));
  EXPECT_EQ(saved.find("$INSUNITS"), std::string::npos);
}

TEST(DrawingWriter, HeaderVariablesTheVersionLacksAreNotAdded) {
  for (const char* version : {"AC1009", "AC1015"}) {
    const test::Pairs drawing{{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, version}, {0, "ENDSEC"},
                              {0, "SECTION"}, {2, "ENTITIES"}, {0, "ENDSEC"}, {0, "EOF"}};
    auto db = load(test::asciiDxf(drawing));
    db->header.modified = true;
    const bool hasUnits = writeDrawing(*db).find("$INSUNITS") != std::string::npos;
    EXPECT_EQ(hasUnits, std::string(version) == "AC1015") << version;
  }
}

TEST(DrawingReader, SecondEntitiesSectionIsRefused) {
  const test::Pairs twice{{0, "SECTION"}, {2, "ENTITIES"}, {0, "ENDSEC"}, {0, "SECTION"}, {2, "ENTITIES"},
                          {0, "ENDSEC"}, {0, "EOF"}};
  try {
    load(test::asciiDxf(twice));
    FAIL();
  } catch (const DxfError& e) {
    EXPECT_EQ(std::string(e.what()), "f.dxf, line 7: a second ENTITIES section");
  }
}

TEST(DrawingReader, DuplicateNamesAreReportedWithTheLine) {
  auto pairs = test::r2000Drawing();
  for (auto& [code, value] : pairs)
    if (value == "Heads" && code == 2) value = "0";
  try {
    load(test::asciiDxf(pairs));
    FAIL();
  } catch (const DxfError& e) {
    EXPECT_NE(std::string(e.what()).find("f.dxf, line "), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("duplicate table entry \"0\""), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace cadhost::dxf
