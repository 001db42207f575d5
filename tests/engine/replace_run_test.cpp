// The replace run against the built-in host: pre-checks, the question, scope,
// stamping, erase on and off, the A-to-B-then-B-to-C chain, the not-found list,
// the layer restore and the rollback of references that fail.
#include "engine/replace_run.h"

#include <cmath>
#include <variant>

#include "cadhost/drawing.h"
#include "cadhost/entity.h"
#include "cadhost/handle.h"

#include "../inventory/work_window_fixture.h"
#include "failing_insert_host.h"

namespace workwindow_test {
namespace {

constexpr const char* kStamp = "12/9/2026 10:07:32 PM";

class ReplaceRunTest : public WorkWindowTest {
 public:
  void SetUp() override {
    WorkWindowTest::SetUp();
    doc->Layers()->Add("L1");
    MakeBlock("DOOR", {"TAG1", "TAG2"});
    MakeBlock("TREE");
    MakeBlock("NEWDOOR", {"NUMBER"});
    MakeBlock("OAK");
  }
  // Scans, then writes replacements into the grid as the editing would.
  void Scan() {
    if (form.Loaded()) form.Command1.UserClick();
    else form.Show();
  }
  void SetRow(const std::string& block, const std::string& replacement,
              const std::string& source = "In Drawing") {
    const int row = GridRowOf(block);
    ASSERT_GT(row, 0) << block;
    form.MSHBlockDefs.TextMatrix(row, 4, replacement);
    form.MSHBlockDefs.TextMatrix(row, 5, source);
  }
  void SetCell(const std::string& block, int col, const std::string& text) {
    form.MSHBlockDefs.TextMatrix(GridRowOf(block), col, text);
  }
  // Clicks "Replace Blocks"; `answers` go to the message boxes in turn.
  void Run(std::initializer_list<forms::MessageAnswer> answers = {}) {
    ui.ClearLines();
    for (auto answer : answers) ui.QueueAnswer(answer);
    form.CmdReplace.UserClick();
  }
  // A closed lightweight polyline (the object model cannot close one).
  cad::PolylinePtr ClosedPolyline(const std::vector<double>& vertices) {
    auto polyline = model->AddLightWeightPolyline(vertices);
    cadhost::Drawing& drawing = doc->drawing();
    const auto id = drawing.db().FindEntity(*cadhost::ParseHandle(polyline->Handle()));
    drawing.ChangeEntity(id, [](cadhost::Entity& entity) {
      std::get<cadhost::LwPolylineData>(entity.data).flags |= 1;
    });
    return polyline;
  }
  static bool Stamped(const cad::BlockReferencePtr& ref) {
    return ref->GetXData("_BRTempSSet") ==
           cad::XData{{1001, std::string("_BRTempSSet")}, {1000, std::string(kStamp)}};
  }
};

TEST_F(ReplaceRunTest, NothingSelectedChangesNothing) {
  Insert("TREE", 0);
  Scan();
  ui.ClearLines();
  form.CmdReplace.UserClick();
  ASSERT_EQ(Messages().size(), 1U) << ui.Transcript();
  EXPECT_NE(Messages()[0].find("text=\"Zero Blocks selected for Replacement\""), std::string::npos);
  EXPECT_EQ(References("TREE").size(), 1U);
}

TEST_F(ReplaceRunTest, UnmatchedAttributesAskFirstAndNoCancels) {
  Insert("DOOR", 0);
  Insert("TREE", 5);
  Scan();
  SetRow("DOOR", "NEWDOOR");
  SetRow("TREE", "OAK");
  Run({forms::MessageAnswer::No});
  ASSERT_EQ(Messages().size(), 1U) << ui.Transcript();
  EXPECT_EQ(Messages()[0],
            "message title=\"Continue with Cindral\" icon=question buttons=yesno default=2 "
            "text=\"1 of 2 blocks types selected to be replaced have attributes which have not "
            "been Matched.\\r\\rNote: Attribute values not matched will be lost.\\r\\rPress YES "
            "to continue with Cindral.\\r\\rPress NO to Cancel.\"");
  EXPECT_EQ(References("DOOR").size(), 1U);
  EXPECT_EQ(References("TREE").size(), 1U);
  EXPECT_TRUE(References("OAK").empty());
}

TEST_F(ReplaceRunTest, SelectAllReplacesStampsKeepsLayerAndRescans) {
  auto a = Insert("TREE", 0, 0);
  auto b = model->InsertBlock({4, 1, 0}, "TREE", 3, 3, 3, 0.5);
  b->Layer("L1");
  doc->ActiveLayer(doc->Layers()->Item("L1"));
  Scan();
  SetRow("TREE", "OAK");
  Run();

  EXPECT_TRUE(Messages().empty());  // a clean run shows no summary
  EXPECT_TRUE(References("TREE").empty());
  auto made = References("OAK");
  ASSERT_EQ(made.size(), 2U);
  for (const auto& ref : made) EXPECT_TRUE(Stamped(ref));
  EXPECT_EQ(made[0]->InsertionPoint(), (cad::Point3{0, 0, 0}));
  EXPECT_EQ(made[1]->InsertionPoint(), (cad::Point3{4, 1, 0}));
  EXPECT_DOUBLE_EQ(made[1]->XScaleFactor(), 3);
  EXPECT_DOUBLE_EQ(made[1]->Rotation(), 0.5);
  EXPECT_EQ(made[0]->Layer(), "0");
  EXPECT_EQ(made[1]->Layer(), "L1");
  EXPECT_EQ(doc->ActiveLayer()->Name(), "L1");
  EXPECT_THAT(GridRows(), ::testing::ElementsAre("OAK|2|0|N/A|||* same|* same|* same|asdf42"));
  EXPECT_FALSE(progress.Visible());
  EXPECT_FALSE(progress2.Visible());
}

TEST_F(ReplaceRunTest, AWholeRunIsOneUndoStepInTheHost) {
  Insert("DOOR", 0);
  Insert("TREE", 5);
  Insert("TREE", 10);
  Scan();
  SetRow("DOOR", "NEWDOOR");
  SetRow("TREE", "OAK");
  Run({forms::MessageAnswer::Yes});
  ASSERT_EQ(References("OAK").size(), 2U);
  ASSERT_EQ(References("NEWDOOR").size(), 1U);

  // One step back: both rows and the rescan's temporary insertion at the end.
  ASSERT_TRUE(doc->drawing().journal().Undo());
  EXPECT_EQ(References("DOOR").size(), 1U);
  EXPECT_EQ(References("TREE").size(), 2U);
  EXPECT_TRUE(References("OAK").empty());
  EXPECT_TRUE(References("NEWDOOR").empty());
}

TEST_F(ReplaceRunTest, EraseUncheckedKeepsTheOldReferences) {
  Insert("TREE", 0);
  Scan();
  form.CkEraseBlocks.UserClick();
  SetRow("TREE", "OAK");
  Run();
  EXPECT_EQ(References("TREE").size(), 1U);
  EXPECT_EQ(References("OAK").size(), 1U);
}

TEST_F(ReplaceRunTest, ChainSkipsReferencesThisRunInserted) {
  MakeBlock("A");
  MakeBlock("B");
  MakeBlock("C");
  Insert("A", 0);
  Insert("A", 5);
  Insert("B", 10);
  Scan();
  SetRow("A", "B");
  SetRow("B", "C");
  Run();
  EXPECT_TRUE(References("A").empty());
  auto bs = References("B");
  ASSERT_EQ(bs.size(), 2U);
  for (const auto& ref : bs) EXPECT_TRUE(Stamped(ref));
  auto cs = References("C");
  ASSERT_EQ(cs.size(), 1U);
  EXPECT_EQ(cs[0]->InsertionPoint(), (cad::Point3{10, 0, 0}));
}

TEST_F(ReplaceRunTest, ScaleRotationAndLayerCells) {
  Insert("TREE", 0);
  Scan();
  SetRow("TREE", "oak");  // the run uses the name in capitals
  SetCell("TREE", 6, "2");
  SetCell("TREE", 7, "90");
  SetCell("TREE", 8, "NEWLAYER");
  Run();
  auto made = References("OAK");
  ASSERT_EQ(made.size(), 1U);
  EXPECT_DOUBLE_EQ(made[0]->XScaleFactor(), 2);
  EXPECT_DOUBLE_EQ(made[0]->ZScaleFactor(), 2);
  EXPECT_DOUBLE_EQ(made[0]->Rotation(), 90 * 3.141592 / 180);
  EXPECT_EQ(made[0]->Layer(), "NEWLAYER");
  EXPECT_EQ(doc->ActiveLayer()->Name(), "0");  // restored after the run
  EXPECT_DOUBLE_EQ(form.lastInsertionRotation, 90 * 3.141592 / 180);
}

TEST_F(ReplaceRunTest, MissingReplacementsAreListedOnceAndLeaveTheRowAlone) {
  Insert("TREE", 0);
  Insert("DOOR", 5);
  MakeBlock("PINE");
  Insert("PINE", 9);
  Scan();
  const std::string dir = (folder / "nowhere").string();
  SetRow("TREE", "MAPLE", dir);
  SetRow("PINE", "ELM", dir);
  SetRow("DOOR", "NEWDOOR");
  SetCell("DOOR", 3, "2 of 2");
  Run();
  EXPECT_EQ(References("TREE").size(), 1U);
  EXPECT_EQ(References("PINE").size(), 1U);
  EXPECT_EQ(References("NEWDOOR").size(), 1U);
  ASSERT_EQ(Messages().size(), 1U) << ui.Transcript();
  EXPECT_NE(Messages()[0].find("title=\"Blocks Replaced\""), std::string::npos);
  EXPECT_NE(Messages()[0].find("text=\"The following Replacement Blocks count not found: \\r\\r" +
                               dir + "\\rThe Blocks 'to be replaced' remain unaffected\""),
            std::string::npos);
}

TEST_F(ReplaceRunTest, FailedReferenceIsRolledBackKeptAndReported) {
  Insert("TREE", 0);
  Insert("TREE", 5);
  Scan();
  SetRow("TREE", "OAK");
  SetCell("TREE", 8, "A<B");  // a layer name the host refuses
  const long before = model->Count();
  Run();
  EXPECT_EQ(References("TREE").size(), 2U);
  EXPECT_TRUE(References("OAK").empty());
  EXPECT_EQ(model->Count(), before);
  EXPECT_EQ(doc->ActiveLayer()->Name(), "0");
  const auto messages = Messages();
  ASSERT_EQ(messages.size(), 3U);  // SetVarLayer once per reference, then the summary
  EXPECT_NE(messages[0].find("Error in SetVarLayer"), std::string::npos);
  EXPECT_NE(messages[2].find("text=\"2 Blocks could not be replaced and remain unaffected:\\rTREE (2): "),
            std::string::npos);
}

TEST_F(ReplaceRunTest, InsertionFailingMidRowTakesBackTheRowsReplacements) {
  Insert("TREE", 0);
  Insert("TREE", 5);
  Insert("TREE", 10);
  Insert("DOOR", 20);
  Scan();
  SetRow("TREE", "OAK");
  SetRow("DOOR", "NEWDOOR");
  SetCell("DOOR", 3, "2 of 2");
  const long before = model->Count();
  // The grid rows are DOOR then TREE: the fourth insertion is TREE's third.
  host::Host().application = std::make_shared<FailingInsertApplication>(app, 4);
  Run();
  host::Host().application = app;
  EXPECT_EQ(References("TREE").size(), 3U);
  EXPECT_TRUE(References("OAK").empty());
  EXPECT_TRUE(References("DOOR").empty());
  EXPECT_EQ(References("NEWDOOR").size(), 1U);
  EXPECT_EQ(model->Count(), before);
  ASSERT_EQ(Messages().size(), 1U) << ui.Transcript();
  EXPECT_NE(Messages()[0].find("count not found: \\r\\rOAK\\r"), std::string::npos);
}

TEST_F(ReplaceRunTest, PolygonScopeReplacesOnlyReferencesInside) {
  Insert("TREE", 0);
  Insert("TREE", 5);
  Insert("TREE", 50);
  Scan();
  auto closed = ClosedPolyline({-1, -1, 10, -1, 10, 5, -1, 5});
  auto open = model->AddLightWeightPolyline({-1, -1, 10, -1, 10, 5});
  SetRow("TREE", "OAK");
  form.OptSelect(1).UserClick();

  // A pick that is not a closed polyline ends the run before any change.
  picker->picks = {open};
  Run();
  ASSERT_EQ(Messages().size(), 1U) << ui.Transcript();
  EXPECT_NE(Messages()[0].find("Pick a closed polyline to select blocks to be replaced"),
            std::string::npos);
  EXPECT_EQ(References("TREE").size(), 3U);

  picker->picks = {closed};
  Run();
  EXPECT_THAT(picker->prompts, ::testing::Contains("Select a Polyline"));
  EXPECT_EQ(References("TREE").size(), 1U);
  EXPECT_EQ(References("OAK").size(), 2U);
}

TEST_F(ReplaceRunTest, PolygonScopeGoesOnPastARowWithNothingInsideAndRescans) {
  MakeBlock("A");
  MakeBlock("B");
  Insert("A", 50);  // outside the polygon
  Insert("B", 0);
  Scan();
  SetRow("A", "OAK");
  SetRow("B", "OAK");
  form.OptSelect(1).UserClick();
  picker->picks = {ClosedPolyline({-1, -1, 10, -1, 10, 5, -1, 5})};
  Run();
  EXPECT_EQ(References("A").size(), 1U);
  EXPECT_TRUE(References("B").empty()) << "the row after the empty one is replaced";
  EXPECT_EQ(References("OAK").size(), 1U);
  EXPECT_TRUE(Messages().empty()) << ui.Transcript();
  EXPECT_EQ(GridRowOf("B"), -1) << "the grid is scanned again: B has no references left";
  EXPECT_EQ(doc->ActiveLayer()->Name(), "0");
}

TEST_F(ReplaceRunTest, MirroredReferencesKeepTheirPlacePlaneAndScales) {
  // One reference mirrored through its normal (as a mirror command writes it:
  // its 10 point is in its own plane, so world (-10, 5) is stored as (10, 5)),
  // one mirrored by a negative x factor.
  auto byNormal = Insert("DOOR", -10, 5);
  byNormal->Normal({0, 0, -1});
  auto byScale = model->InsertBlock({30, 5, 0}, "DOOR", -2, 2, 2, 0.5);
  EXPECT_EQ(byNormal->InsertionPoint(), (cad::Point3{-10, 5, 0}));
  const auto stored = std::get<cadhost::InsertData>(
      doc->drawing().db().At(doc->drawing().db().FindEntity(*cadhost::ParseHandle(byNormal->Handle()))).data);
  EXPECT_EQ(stored.insertion, (cadhost::Point{10, 5, 0}));
  std::vector<std::pair<cad::Point3, cad::Point3>> attributeBoxes;
  for (const auto& attribute : byNormal->GetAttributes()) {
    cad::Point3 low, high;
    attribute->GetBoundingBox(low, high);
    attributeBoxes.push_back({low, high});
  }

  Scan();
  SetRow("DOOR", "DOOR");
  Run({forms::MessageAnswer::Yes});
  const auto doors = References("DOOR");
  ASSERT_EQ(doors.size(), 2U) << ui.Transcript();
  int mirrored = 0;
  for (const auto& door : doors) {
    if (door->InsertionPoint() == cad::Point3{-10, 5, 0}) {
      ++mirrored;
      EXPECT_EQ(door->Normal(), (cad::Point3{0, 0, -1}));
      const auto attributes = door->GetAttributes();
      ASSERT_EQ(attributes.size(), attributeBoxes.size());
      for (std::size_t i = 0; i < attributes.size(); ++i) {
        cad::Point3 low, high;
        attributes[i]->GetBoundingBox(low, high);
        EXPECT_NEAR(low.x, attributeBoxes[i].first.x, 1e-9) << "the attribute stays on the mirrored side";
        EXPECT_NEAR(high.y, attributeBoxes[i].second.y, 1e-9);
      }
    } else if (door->InsertionPoint() == cad::Point3{30, 5, 0}) {
      EXPECT_EQ(door->XScaleFactor(), -2);
      EXPECT_EQ(door->YScaleFactor(), 2);
      EXPECT_DOUBLE_EQ(door->Rotation(), 0.5);
    }
  }
  EXPECT_EQ(mirrored, 1);

  // A window around the world place selects the mirrored reference; one
  // around its stored, in-plane coordinates does not.
  auto set = doc->SelectionSets()->Add("AROUND");
  set->SelectByPolygon(cad::SelectMode::WindowPolygon, {-14, 1, 0, -6, 1, 0, -6, 9, 0, -14, 9, 0}, {});
  EXPECT_GE(set->Count(), 1);
  auto elsewhere = doc->SelectionSets()->Add("ELSEWHERE");
  elsewhere->SelectByPolygon(cad::SelectMode::WindowPolygon, {6, 1, 0, 14, 1, 0, 14, 9, 0, 6, 9, 0}, {});
  EXPECT_EQ(elsewhere->Count(), 0);
}

TEST_F(ReplaceRunTest, RowWithoutReferencesStopsTheRunAndRestoresTheLayer) {
  MakeBlock("A");
  MakeBlock("B");
  Insert("A", 0);
  auto b = Insert("B", 5);
  Scan();
  SetRow("A", "OAK");
  SetRow("B", "OAK");
  SetCell("A", 8, "NEWLAYER");
  b->Delete();  // the drawing changed after the scan
  Run();
  EXPECT_TRUE(References("A").empty());  // the rows before are finished
  ASSERT_EQ(Messages().size(), 1U) << ui.Transcript();
  EXPECT_NE(Messages()[0].find("Zero Blocks (to be replaced) found in Model Space"), std::string::npos);
  EXPECT_EQ(doc->ActiveLayer()->Name(), "0");
  EXPECT_FALSE(progress.Visible());
  EXPECT_FALSE(progress2.Visible());
  EXPECT_EQ(GridRowOf("A"), 1);  // no rescan
}

TEST_F(ReplaceRunTest, FailingFlagLayeringStillRestoresTheLayerAndWindows) {
  Insert("DOOR", 0);
  Scan();
  SetRow("DOOR", "OAK");
  SetCell("DOOR", 8, "NEWLAYER");
  engine::ReplaceRunServices run;
  run.hooks.loadMatches = [](engine::RunRow&) {
    engine::RowMatches matches;
    matches.matchesExist = true;
    return matches;
  };
  run.hooks.transferAttributes = [](engine::RunRow&, const engine::RowMatches&,
                                    const engine::ReplacedReference&,
                                    engine::RunCounts& counts) { ++counts.zeroAttributeCount; };
  run.hooks.flagLayeringPass = [](engine::RunCounts&) {
    throw cad::HostError("the flag layer is locked");
  };
  Wire(std::move(run));
  Run({forms::MessageAnswer::Yes});
  EXPECT_NE(ui.Transcript().find("the flag layer is locked"), std::string::npos) << ui.Transcript();
  EXPECT_EQ(doc->ActiveLayer()->Name(), "0");
  EXPECT_FALSE(progress.Visible());
  EXPECT_FALSE(progress2.Visible());
  EXPECT_EQ(References("OAK").size(), 1U);  // the replacement itself stays done
}

}  // namespace
}  // namespace workwindow_test
