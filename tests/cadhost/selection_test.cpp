// Selection sets against the real built-in host: filters, spaces, modes.
#include <map>

#include "host_fixture.h"

namespace cadhost::testing {
namespace {

class SelectionTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    MakeBlock("VALVE");
    MakeBlock("HEAD");
    doc->Layers()->Add("IRR");
    valveModel = model->InsertBlock({0, 0, 0}, "VALVE", 1, 1, 1, 0);
    headModel = model->InsertBlock({10, 0, 0}, "HEAD", 1, 1, 1, 0);
    headOnIrr = model->InsertBlock({20, 0, 0}, "HEAD", 1, 1, 1, 0);
    headOnIrr->Layer("IRR");
    headOnIrr->SetXData({{1001, std::string("Flags")}, {1000, std::string("x")}});
    valvePaper = doc->PaperSpace()->InsertBlock({0, 0, 0}, "VALVE", 1, 1, 1, 0);
    text = model->AddText("12-A", {30, 0, 0}, 1);
    text->Layer("IRR");
  }
  cad::BlockReferencePtr valveModel, headModel, headOnIrr, valvePaper;
  cad::TextPtr text;
};

struct FilterCase {
  std::string name;
  std::vector<std::int16_t> types;
  std::vector<std::string> values;
  std::vector<std::string> expected;  // which fixtures, by name
};

class SelectionFilterTest : public SelectionTest,
                            public ::testing::WithParamInterface<FilterCase> {};

TEST_P(SelectionFilterTest, SelectAllKeepsWhatEveryEntryAccepts) {
  std::map<std::string, cad::EntityPtr> named{{"valveModel", valveModel}, {"headModel", headModel},
                                              {"headOnIrr", headOnIrr},   {"valvePaper", valvePaper},
                                              {"text", text}};
  std::vector<std::string> expected;
  for (const auto& n : GetParam().expected) expected.push_back(named.at(n)->Handle());
  auto set = NewSet();
  set->Select(cad::SelectMode::All, {GetParam().types, GetParam().values});
  EXPECT_EQ(Handles(set), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, SelectionFilterTest,
    ::testing::Values(
        FilterCase{"NoFilterTakesBothSpaces", {}, {}, {"valveModel", "headModel", "headOnIrr", "text", "valvePaper"}},
        FilterCase{"BlockNameAnyCase", {2}, {"valve"}, {"valveModel", "valvePaper"}},
        FilterCase{"BlockNameModelSpaceOnly", {2, 67}, {"VALVE", ""}, {"valveModel"}},
        FilterCase{"SpaceZeroIsModelSpace", {67, 2}, {"0", "VALVE"}, {"valveModel"}},
        FilterCase{"PaperSpaceOnly", {2, 67}, {"VALVE", "1"}, {"valvePaper"}},
        FilterCase{"BlockAndLayer", {2, 8}, {"HEAD", "irr"}, {"headOnIrr"}},
        FilterCase{"LayerTakesTextsAndReferences", {8, 67}, {"IRR", ""}, {"headOnIrr", "text"}},
        FilterCase{"TypeAndLayer", {0, 8}, {"TEXT", "IRR"}, {"text"}},
        FilterCase{"ExtendedDataApplication", {1001, 67}, {"flags", ""}, {"headOnIrr"}},
        FilterCase{"ConflictingEntriesTakeNothing", {2, 2}, {"HEAD", "VALVE"}, {}},
        FilterCase{"UnknownBlockTakesNothing", {2}, {"NOPE"}, {}}),
    [](const auto& info) { return info.param.name; });

TEST_F(SelectionTest, BadFiltersAndModesFailWithADescription) {
  auto set = NewSet();
  EXPECT_THROW(set->Select(cad::SelectMode::All, {{2, 8}, {"X"}}), cad::HostError);
  EXPECT_THROW(set->Select(cad::SelectMode::All, {{62}, {"1"}}), cad::HostError);
  EXPECT_THROW(set->Select(cad::SelectMode::All, {{67}, {"2"}}), cad::HostError);
  EXPECT_THROW(set->Select(cad::SelectMode::WindowPolygon), cad::HostError);
  EXPECT_THROW(set->SelectByPolygon(cad::SelectMode::All, {0, 0, 0, 1, 0, 0, 1, 1, 0}), cad::HostError);
  EXPECT_THROW(set->SelectByPolygon(cad::SelectMode::WindowPolygon, {0, 0, 0, 1, 0, 0}), cad::HostError);
  EXPECT_EQ(set->Count(), 0);
}

TEST_F(SelectionTest, LastIsTheLastEntityCreatedAndSkipsErasedOnes) {
  auto set = NewSet();
  set->Select(cad::SelectMode::Last);
  ASSERT_EQ(set->Count(), 1);
  EXPECT_EQ(set->Item(0)->Handle(), text->Handle());
  text->Delete();
  auto again = NewSet("again");
  again->Select(cad::SelectMode::Last);
  ASSERT_EQ(again->Count(), 1);
  EXPECT_EQ(again->Item(0)->Handle(), valvePaper->Handle());
  // An attribute reference is part of its reference, never "last" itself.
  MakeBlock("TAGGED", {{"STATION", "1"}});
  auto tagged = model->InsertBlock({50, 0, 0}, "TAGGED", 1, 1, 1, 0);
  auto last = NewSet("last");
  last->Select(cad::SelectMode::Last);
  EXPECT_EQ(last->Item(0)->Handle(), tagged->Handle());
}

TEST_F(SelectionTest, SetLifecycle) {
  auto sets = doc->SelectionSets();
  auto set = sets->Add("SS2");
  EXPECT_THROW(sets->Add("ss2"), cad::HostError);
  EXPECT_EQ(sets->Item("Ss2")->Name(), "SS2");
  set->Select(cad::SelectMode::All, {{2}, {"HEAD"}});
  set->Select(cad::SelectMode::All, {{2}, {"HEAD"}});  // adds nothing twice
  EXPECT_EQ(set->Count(), 2);
  set->Clear();
  EXPECT_EQ(set->Count(), 0);
  set->AddItems({headModel, valveModel});
  set->Delete();  // the set goes, its entities stay
  EXPECT_THROW(sets->Item("SS2"), cad::HostError);
  EXPECT_THROW(set->Count(), cad::HostError);
  EXPECT_NO_THROW(headModel->Handle());
  EXPECT_NO_THROW(sets->Add("SS2"));
}

TEST_F(SelectionTest, EraseDeletesEveryMemberWithItsAttributes) {
  MakeBlock("TAGGED", {{"STATION", "1"}, {"FLOW", "2"}});
  auto tagged = model->InsertBlock({50, 0, 0}, "TAGGED", 1, 1, 1, 0);
  auto attribute = tagged->GetAttributes().at(0);
  auto set = NewSet();
  set->AddItems({tagged, headModel});
  set->Erase();
  EXPECT_EQ(set->Count(), 0);
  EXPECT_THROW(tagged->Name(), cad::HostError);
  EXPECT_THROW(attribute->TextString(), cad::HostError);
  EXPECT_THROW(doc->HandleToObject(attribute->Handle()), cad::HostError);
  auto all = NewSet("all");
  all->Select(cad::SelectMode::All, {{67}, {""}});
  EXPECT_EQ(all->Count(), 3);
}

TEST_F(SelectionTest, ErasedMembersDropOutOfASet) {
  auto set = NewSet();
  set->Select(cad::SelectMode::All, {{2}, {"HEAD"}});
  headModel->Delete();
  ASSERT_EQ(set->Count(), 1);
  EXPECT_EQ(set->Item(0)->Handle(), headOnIrr->Handle());
}

TEST_F(SelectionTest, IndexedSelectionsFollowChangesAndUndo) {
  auto select = [this](std::int16_t code, const std::string& value) {
    auto set = NewSet("probe");
    set->Select(cad::SelectMode::All, {{code}, {value}});
    auto handles = Handles(set);
    set->Delete();
    return handles;
  };
  // Searched once so the indexes exist, then changed many times.
  EXPECT_EQ(select(8, "IRR").size(), 2u);
  doc->StartUndoMark();
  for (int i = 0; i < 100; ++i) {
    headModel->Layer(i % 2 ? "IRR" : "0");
    headModel->SetXData({{1001, std::string("Flags")}, {1000, std::to_string(i)}});
  }
  EXPECT_EQ(select(8, "irr"), (std::vector<std::string>{headModel->Handle(), headOnIrr->Handle(), text->Handle()}));
  EXPECT_EQ(select(1001, "FLAGS"), (std::vector<std::string>{headModel->Handle(), headOnIrr->Handle()}));
  headModel->Delete();
  EXPECT_EQ(select(2, "HEAD"), (std::vector<std::string>{headOnIrr->Handle()}));
  doc->CancelUndoMark();
  EXPECT_EQ(select(8, "IRR"), (std::vector<std::string>{headOnIrr->Handle(), text->Handle()}));
  EXPECT_EQ(select(1001, "Flags"), (std::vector<std::string>{headOnIrr->Handle()}));
  EXPECT_EQ(select(2, "HEAD"), (std::vector<std::string>{headModel->Handle(), headOnIrr->Handle()}));
}

// An L-shaped (concave) polygon: the notch at the upper right is outside.
//   (0,10)-(5,10)-(5,5)-(10,5)-(10,0)-(0,0)
const std::vector<double> kLShape{0, 0, 0, 10, 0, 0, 10, 5, 0, 5, 5, 0, 5, 10, 0, 0, 10, 0};

class PolygonTest : public HostTest {};

TEST_F(PolygonTest, WindowTakesOnlyWhatLiesWhollyInsideAConcavePolygon) {
  MakeBlock("B");  // a 2 x 1 rectangle from the insertion point
  auto inside = model->InsertBlock({1, 1, 0}, "B", 1, 1, 1, 0);
  auto inNotch = model->InsertBlock({7, 7, 0}, "B", 1, 1, 1, 0);      // in the box, not the L
  auto acrossEdge = model->InsertBlock({4, 6, 0}, "B", 1, 1, 1, 0);   // crosses x = 5
  auto outside = model->InsertBlock({20, 20, 0}, "B", 1, 1, 1, 0);
  // Insertion point inside, but scaled content reaches out of the polygon.
  auto bigFromInside = model->InsertBlock({1, 1, 0}, "B", 10, 1, 1, 0);
  // Insertion point outside the polygon, rotated content lies wholly inside.
  auto rotatedIn = model->InsertBlock({3, -0.5, 0}, "B", 1, 1, 1, 3.14159265358979 / 2);
  (void)outside;

  auto window = NewSet("window");
  window->SelectByPolygon(cad::SelectMode::WindowPolygon, kLShape);
  EXPECT_EQ(Handles(window), (std::vector<std::string>{inside->Handle()}));

  auto crossing = NewSet("crossing");
  crossing->SelectByPolygon(cad::SelectMode::CrossingPolygon, kLShape);
  EXPECT_EQ(Handles(crossing), (std::vector<std::string>{inside->Handle(), acrossEdge->Handle(),
                                                         bigFromInside->Handle(),
                                                         rotatedIn->Handle()}));
  (void)inNotch;
}

TEST_F(PolygonTest, RotatedReferenceLyingInsideIsTakenByWindow) {
  MakeBlock("B");
  // Rotated a quarter turn about (3, 1): the content spans x 2..3, y 1..3.
  auto rotated = model->InsertBlock({3, 1, 0}, "B", 1, 1, 1, 3.14159265358979 / 2);
  auto window = NewSet();
  window->SelectByPolygon(cad::SelectMode::WindowPolygon, kLShape);
  EXPECT_EQ(Handles(window), (std::vector<std::string>{rotated->Handle()}));
}

TEST_F(PolygonTest, TextIsJudgedByItsExtentsNotItsInsertionPoint) {
  // Inserted inside the L, but eight characters of height 1 run past x = 10.
  auto longText = model->AddText("STATION7", {4, 1, 0}, 1);
  auto shortText = model->AddText("7", {1, 1, 0}, 1);
  // Inserted outside (in the notch) but reaching across x = 5 into the L.
  auto reaching = model->AddText("ABCDEFGH", {-2, 7, 0}, 1);
  auto window = NewSet("window");
  window->SelectByPolygon(cad::SelectMode::WindowPolygon, kLShape);
  EXPECT_EQ(Handles(window), (std::vector<std::string>{shortText->Handle()}));
  auto crossing = NewSet("crossing");
  crossing->SelectByPolygon(cad::SelectMode::CrossingPolygon, kLShape, {{8}, {"0"}});
  EXPECT_EQ(Handles(crossing), (std::vector<std::string>{longText->Handle(), shortText->Handle(),
                                                         reaching->Handle()}));
}

TEST_F(PolygonTest, PolygonSelectionFollowsChangesAndTakesModelSpaceOnly) {
  MakeBlock("B");
  auto moved = model->InsertBlock({20, 20, 0}, "B", 1, 1, 1, 0);
  doc->PaperSpace()->InsertBlock({1, 1, 0}, "B", 1, 1, 1, 0);
  moved->ScaleEntity({0, 0, 0}, 0.1);  // now at (2, 2), 0.2 x 0.1
  auto window = NewSet();
  window->SelectByPolygon(cad::SelectMode::WindowPolygon, kLShape, {{2, 67}, {"b", ""}});
  EXPECT_EQ(Handles(window), (std::vector<std::string>{moved->Handle()}));
  moved->Delete();
  auto after = NewSet("after");
  after->SelectByPolygon(cad::SelectMode::CrossingPolygon, kLShape);
  EXPECT_EQ(after->Count(), 0);
}

TEST_F(PolygonTest, ChangingABlockDefinitionMovesItsReferencesInTheIndex) {
  auto block = MakeBlock("GROWS");
  auto reference = model->InsertBlock({1, 1, 0}, "GROWS", 1, 1, 1, 0);
  auto window = NewSet("before");
  window->SelectByPolygon(cad::SelectMode::WindowPolygon, kLShape);
  EXPECT_EQ(window->Count(), 1);
  block->AddLine({0, 0, 0}, {30, 30, 0});  // now reaches far outside
  auto crossingFar = NewSet("far");
  crossingFar->SelectByPolygon(cad::SelectMode::CrossingPolygon,
                               {25, 25, 0, 35, 25, 0, 35, 35, 0, 25, 35, 0});
  EXPECT_EQ(Handles(crossingFar), (std::vector<std::string>{reference->Handle()}));
}

// The index is brought up to date lazily; a selection made between edits inside
// one open undo mark must still see each edit, attributes included, and the
// undo and redo of the whole step.
TEST_F(PolygonTest, SelectionsBetweenEditsInsideOneMarkSeeEveryEdit) {
  MakeBlock("SHORT", {{"NAME", "A"}});
  // 120 characters of height 0.1 run 9.6 units from x = 0.2 in the block.
  MakeBlock("LONG", {{"NAME", std::string(120, 'W')}});
  const std::vector<double> square{0, 0, 0, 10, 0, 0, 10, 10, 0, 0, 10, 0};
  const std::vector<double> pastTheSquare{10.5, 0, 0, 11, 0, 0, 11, 3, 0, 10.5, 3, 0};
  auto select = [this](cad::SelectMode mode, const std::vector<double>& polygon) {
    auto set = NewSet("probe");
    set->SelectByPolygon(mode, polygon);
    auto handles = Handles(set);
    set->Delete();
    return handles;
  };
  EXPECT_TRUE(select(cad::SelectMode::WindowPolygon, square).empty());  // the index exists
  doc->StartUndoMark();
  auto shortOne = model->InsertBlock({1, 5, 0}, "SHORT", 1, 1, 1, 0);
  EXPECT_EQ(select(cad::SelectMode::WindowPolygon, square), (std::vector<std::string>{shortOne->Handle()}));
  auto longOne = model->InsertBlock({1, 1, 0}, "LONG", 1, 1, 1, 0);
  EXPECT_EQ(select(cad::SelectMode::WindowPolygon, square), (std::vector<std::string>{shortOne->Handle()}));
  EXPECT_EQ(select(cad::SelectMode::CrossingPolygon, pastTheSquare),
            (std::vector<std::string>{longOne->Handle()}));
  longOne->ScaleEntity({0, 0, 0}, 0.5);  // now wholly inside
  shortOne->Delete();
  EXPECT_EQ(select(cad::SelectMode::WindowPolygon, square), (std::vector<std::string>{longOne->Handle()}));
  EXPECT_TRUE(select(cad::SelectMode::CrossingPolygon, pastTheSquare).empty());
  doc->EndUndoMark();
  ASSERT_TRUE(doc->Undo());
  EXPECT_TRUE(select(cad::SelectMode::CrossingPolygon, square).empty());
  ASSERT_TRUE(doc->Redo());
  EXPECT_EQ(select(cad::SelectMode::CrossingPolygon, square), (std::vector<std::string>{longOne->Handle()}));
}

}  // namespace
}  // namespace cadhost::testing
