// Blocks, references with attributes, layers and extended data in the built-in host.
#include <cmath>
#include <functional>
#include <numbers>

#include "host_fixture.h"

namespace cadhost::testing {
namespace {

using ::testing::ElementsAre;

class BlocksTest : public HostTest {};

void ExpectNear(const cad::Point3& actual, const cad::Point3& expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-9);
  EXPECT_NEAR(actual.y, expected.y, 1e-9);
  EXPECT_NEAR(actual.z, expected.z, 1e-9);
}

TEST_F(BlocksTest, InsertBlockMakesOneAttributePerNonConstantDefinitionInOrder) {
  MakeBlock("HEAD", {{"STATION", "1-A"}, {"FIXED", "x", 2 /* constant */}, {"MODEL", "RB"},
                     {"HIDDEN", "h", 1 /* invisible */}});
  doc->Layers()->Add("IRR");
  doc->ActiveLayer(doc->Layers()->Item("irr"));
  auto ref = model->InsertBlock({100, 50, 0}, "head", 2, 2, 2, std::numbers::pi / 2);
  EXPECT_EQ(ref->ObjectName(), "AcDbBlockReference");
  EXPECT_EQ(ref->Name(), "HEAD");
  EXPECT_EQ(ref->Layer(), "IRR");
  ASSERT_TRUE(ref->HasAttributes());
  auto attributes = ref->GetAttributes();
  std::vector<std::string> tags, values;
  for (const auto& a : attributes) {
    tags.push_back(a->TagString());
    values.push_back(a->TextString());
    EXPECT_EQ(a->ObjectName(), "AcDbAttribute");
  }
  EXPECT_THAT(tags, ElementsAre("STATION", "MODEL", "HIDDEN"));
  EXPECT_THAT(values, ElementsAre("1-A", "RB", "h"));
  // STATION's definition sits at (0.2, 0.25): scaled by 2, turned a quarter, moved.
  ExpectNear(attributes[0]->InsertionPoint(), {100 - 0.5, 50 + 0.4, 0});
  EXPECT_NEAR(attributes[0]->Height(), 0.2, 1e-12);
  EXPECT_NEAR(attributes[0]->Rotation(), std::numbers::pi / 2, 1e-12);
  attributes[1]->TextString("PGP");
  EXPECT_EQ(ref->GetAttributes()[1]->TextString(), "PGP");
}

TEST_F(BlocksTest, InsertBlockFailuresSayWhy) {
  MakeBlock("HEAD");
  try {
    model->InsertBlock({0, 0, 0}, "MISSING", 1, 1, 1, 0);
    FAIL();
  } catch (const cad::HostError& e) {
    EXPECT_NE(e.Description().find("MISSING"), std::string::npos);
  }
  try {
    model->InsertBlock({0, 0, 0}, "C:\\Blocks\\HEAD.dwg", 1, 1, 1, 0);
    FAIL();
  } catch (const cad::HostError& e) {
    EXPECT_NE(e.Description().find("no drawing file reader"), std::string::npos);
  }
  EXPECT_THROW(model->InsertBlock({0, 0, 0}, "HEAD", 0, 1, 1, 0), cad::HostError);
  EXPECT_THROW(model->InsertBlock({0, 0, 0}, "*Model_Space", 1, 1, 1, 0), cad::HostError);
  EXPECT_EQ(model->Count(), 0);
}

// Reads a "drawing file" as a block the way the DXF side will: adds records only.
class OneBlockLoader : public DrawingLoader {
 public:
  std::unique_ptr<Database> Open(const std::string&) override { return Database::CreateNew(); }
  BlockId InsertAsBlock(Database& target, const std::string& path) override {
    paths.push_back(path);
    if (BlockId existing = target.FindBlock("DOOR")) return existing;
    BlockDefinition block;
    block.name = "DOOR";
    BlockId id = target.AddBlock(std::move(block));
    Entity line;
    line.data = LineData{{0, 0, 0}, {1, 0, 0}};
    target.AddEntity(id, std::move(line));
    return id;
  }
  std::vector<std::string> paths;
};

TEST_F(BlocksTest, InsertBlockWithAPathGoesThroughTheLoaderAndUndoesWithTheStep) {
  auto loader = std::make_shared<OneBlockLoader>();
  app->services().loader = loader;
  doc->StartUndoMark();
  auto ref = model->InsertBlock({5, 5, 0}, "C:\\Blocks\\DOOR.dwg", 1, 1, 1, 0);
  EXPECT_EQ(ref->Name(), "DOOR");
  EXPECT_THAT(loader->paths, ElementsAre("C:\\Blocks\\DOOR.dwg"));
  cad::Point3 lo, hi;
  ref->GetBoundingBox(lo, hi);
  ExpectNear(lo, {5, 5, 0});
  ExpectNear(hi, {6, 5, 0});
  doc->CancelUndoMark();
  EXPECT_THROW(doc->Blocks()->Item("DOOR"), cad::HostError);
  EXPECT_EQ(model->Count(), 0);
}

TEST_F(BlocksTest, BlocksAndLayersAreFoundWithoutRegardToCase) {
  auto block = MakeBlock("Valve");
  EXPECT_EQ(doc->Blocks()->Item("VALVE")->Name(), "Valve");
  EXPECT_EQ(doc->Blocks()->Add({0, 0, 0}, "vALVE")->Handle(), block->Handle());
  auto layer = doc->Layers()->Add("Irr_Station");
  long count = doc->Layers()->Count();
  EXPECT_EQ(doc->Layers()->Add("IRR_STATION")->Handle(), layer->Handle());
  EXPECT_EQ(doc->Layers()->Count(), count);
  EXPECT_EQ(layer->color(), cad::kColorWhite);
  EXPECT_TRUE(layer->LayerOn());
  EXPECT_FALSE(layer->Freeze());
  EXPECT_THROW(doc->Layers()->Item("nope"), cad::HostError);
  auto line = model->AddLine({0, 0, 0}, {1, 1, 0});
  line->Layer("irr_station");
  EXPECT_EQ(line->Layer(), "Irr_Station");
  EXPECT_THROW(line->Layer("missing"), cad::HostError);
}

TEST_F(BlocksTest, LayoutsAnonymousBlocksAndModelSpaceAreFlagged) {
  EXPECT_TRUE(model->IsLayout());
  EXPECT_TRUE(doc->PaperSpace()->IsLayout());
  auto anonymous = doc->Blocks()->Add({0, 0, 0}, "*U");
  EXPECT_EQ(anonymous->Name(), "*U1");
  EXPECT_FALSE(anonymous->IsLayout());
  EXPECT_FALSE(anonymous->IsXRef());
  EXPECT_EQ(doc->Blocks()->Add({0, 0, 0}, "*U")->Name(), "*U2");
}

class LayerNameTest : public HostTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(LayerNameTest, NamesTheHostCannotAcceptFail) {
  long count = doc->Layers()->Count();
  EXPECT_THROW(doc->Layers()->Add(GetParam()), cad::HostError);
  EXPECT_THROW(doc->Blocks()->Add({0, 0, 0}, GetParam()), cad::HostError);
  EXPECT_EQ(doc->Layers()->Count(), count);
}

INSTANTIATE_TEST_SUITE_P(BadNames, LayerNameTest,
                         ::testing::Values("", std::string(256, 'A'), "a<b", "a>b", "a/b", "a\\b",
                                           "a\"b", "a:b", "a;b", "a?b", "a*b", "a|b", "a=b",
                                           "a`b"));

TEST_F(BlocksTest, LongestAcceptedNameAndSpacesAreFine) {
  EXPECT_NO_THROW(doc->Layers()->Add(std::string(255, 'L')));
  EXPECT_NO_THROW(doc->Layers()->Add("IRR - V"));
}

TEST_F(BlocksTest, ExtendedDataReplacesOneApplicationAndRegistersIt) {
  auto line = model->AddLine({0, 0, 0}, {1, 0, 0});
  EXPECT_TRUE(line->GetXData("_BRTempSSet").empty());
  line->SetXData({{1001, std::string("_BRTempSSet")}, {1000, std::string("run 1")}});
  line->SetXData({{1001, std::string("Flags")},
                  {1000, std::string("flag")},
                  {1070, std::int32_t{3}},
                  {1040, 2.5},
                  {1010, cad::Point3{1, 2, 3}}});
  line->SetXData({{1001, std::string("_brtempsset")}, {1000, std::string("run 2")}});
  EXPECT_EQ(line->GetXData("_BRTempSSet"),
            (cad::XData{{1001, std::string("_BRTempSSet")}, {1000, std::string("run 2")}}));
  EXPECT_EQ(line->GetXData("FLAGS").size(), 5u);
  EXPECT_EQ(line->GetXData("").size(), 7u);
  const Database& db = doc->drawing().db();
  EXPECT_TRUE(db.appIds.FindRecord("Flags"));
  EXPECT_TRUE(db.appIds.FindRecord("_BRTempSSet"));
  // Data of an application without items removes it.
  line->SetXData({{1001, std::string("Flags")}});
  EXPECT_TRUE(line->GetXData("Flags").empty());
}

TEST_F(BlocksTest, MalformedExtendedDataFailsAndChangesNothing) {
  auto line = model->AddLine({0, 0, 0}, {1, 0, 0});
  line->SetXData({{1001, std::string("A")}, {1000, std::string("keep")}});
  const std::vector<cad::XData> bad{
      {{1000, std::string("no application first")}},
      {{1001, std::string("A")}, {1000, 1.5}},
      {{1001, std::string("A")}, {1070, std::int32_t{70000}}},
      {{1001, std::string("A")}, {999, std::string("x")}},
      {{1001, std::string("A")}, {1003, std::string("no such layer")}},
      {{1001, std::string("bad*name")}, {1000, std::string("x")}}};
  for (const auto& data : bad) EXPECT_THROW(line->SetXData(data), cad::HostError);
  EXPECT_EQ(line->GetXData("A"), (cad::XData{{1001, std::string("A")}, {1000, std::string("keep")}}));
}

TEST_F(BlocksTest, ObjectNamesFollowTheHostConvention) {
  auto block = MakeBlock("B", {{"T", "v"}});
  EXPECT_EQ(model->AddText("t", {0, 0, 0}, 1)->ObjectName(), "AcDbText");
  EXPECT_EQ(model->AddLine({0, 0, 0}, {1, 0, 0})->ObjectName(), "AcDbLine");
  EXPECT_EQ(model->AddArc({0, 0, 0}, 1, 0, 1)->ObjectName(), "AcDbArc");
  EXPECT_EQ(model->AddLightWeightPolyline({0, 0, 1, 1})->ObjectName(), "AcDbPolyline");
  EXPECT_EQ(block->Item(1)->ObjectName(), "AcDbAttributeDefinition");
  auto attdef = cad::As<cad::AttributeDefinition>(block->Item(1));
  EXPECT_EQ(attdef->TagString(), "T");
  EXPECT_EQ(attdef->PromptString(), "T?");
  EXPECT_THROW(model->AddLine({0, 0, 0}, {1, 0, 0})->TextString(), cad::HostError);
}

TEST_F(BlocksTest, BadArgumentsFailAndLeaveTheDrawingAlone) {
  MakeBlock("B");
  const double nan = std::nan("");
  const std::vector<std::function<void()>> calls{
      [&] { model->InsertBlock({nan, 0, 0}, "B", 1, 1, 1, 0); },
      [&] { model->InsertBlock({0, 0, 0}, "B", 1, 1, 1, nan); },
      [&] { model->AddText("t", {0, 0, 0}, 0); },
      [&] { model->AddArc({0, 0, 0}, -1, 0, 1); },
      [&] { model->AddLightWeightPolyline({0, 0, 1}); },
      [&] { model->AddLightWeightPolyline({0, 0}); },
      [&] { model->AddAttribute(1, 0, "p", {0, 0, 0}, "TWO WORDS", "v"); },
      [&] { model->AddAttribute(1, 99, "p", {0, 0, 0}, "TAG", "v"); },
      [&] { model->Item(0); },
      [&] { doc->Blocks()->Item(999); },
      [&] { doc->Layers()->Item(-1); },
      [&] { doc->SelectionSets()->Item(0); },
      [&] { doc->ActiveLayer(nullptr); },
  };
  for (std::size_t i = 0; i < calls.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_THROW(calls[i](), cad::HostError);
  }
  EXPECT_EQ(model->Count(), 0);
  auto text = model->AddText("t", {0, 0, 0}, 1);
  EXPECT_THROW(text->Alignment(15), cad::HostError);
  EXPECT_THROW(text->color(257), cad::HostError);
  EXPECT_EQ(text->Alignment(), cad::kAlignmentLeft);
  EXPECT_EQ(text->color(), cad::kColorByLayer);
}

TEST_F(BlocksTest, DeletedObjectsFailEveryCall) {
  auto line = model->AddLine({0, 0, 0}, {1, 0, 0});
  std::string handle = line->Handle();
  EXPECT_EQ(doc->HandleToObject(handle)->ObjectName(), "AcDbLine");
  line->Delete();
  EXPECT_THROW(line->Handle(), cad::HostError);
  EXPECT_THROW(line->Layer(), cad::HostError);
  EXPECT_THROW(line->Delete(), cad::HostError);
  EXPECT_THROW(line->SetXData({{1001, std::string("A")}}), cad::HostError);
  EXPECT_THROW(doc->HandleToObject(handle), cad::HostError);
  EXPECT_THROW(doc->HandleToObject("not hex"), cad::HostError);
  EXPECT_EQ(model->Count(), 0);
}

}  // namespace
}  // namespace cadhost::testing
