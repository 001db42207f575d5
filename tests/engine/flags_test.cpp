// Flag text on replaced references and the layering pass, against the built-in host.
#include "engine/flags.h"

#include <optional>

#include <cmath>
#include <variant>

#include "engine/attribute_transfer.h"
#include "host/settings_store.h"
#include "inventory/block_grid.h"
#include "matching/match_records.h"

#include "../inventory/work_window_fixture.h"

namespace workwindow_test {
namespace {

constexpr double kRunPi = 3.141592;

double Degrees(double radians) { return radians * 180.0 / kRunPi; }

// The angle brought into [0, 360) degrees.
double NormalDegrees(double radians) {
  double degrees = std::fmod(Degrees(radians), 360.0);
  if (degrees < 0) degrees += 360.0;
  if (degrees > 360.0 - 1e-6) degrees -= 360.0;
  return degrees;
}

class FlagsTest : public WorkWindowTest {
 public:
  cad::BlockReferencePtr InsertScaled(const std::string& name, double x, double scale,
                                      double rotation = 0) {
    return model->InsertBlock({x, 0, 0}, name, scale, scale, scale, rotation);
  }
  std::vector<cad::EntityPtr> Entities() const {
    std::vector<cad::EntityPtr> all;
    for (long i = 0; i < model->Count(); ++i) all.push_back(model->Item(i));
    return all;
  }
};

TEST(UprightFlagRotationTest, TextBetween90And270DegreesIsTurnedHalfATurn) {
  const std::vector<std::pair<double, double>> degrees{
      {0, 0}, {45, 45}, {89.9, 89.9}, {90, 270}, {180, 0}, {270, 90}, {270.1, 270.1}, {300, 300}};
  for (const auto& [reference, text] : degrees) {
    // As the run computes angles from the grid, and as a drawing stores them.
    for (const double pi : {kRunPi, 3.141592653589793}) {
      EXPECT_NEAR(NormalDegrees(engine::UprightFlagRotation(reference * pi / 180)), text, 1e-3)
          << reference << " degrees";
    }
  }
}

TEST_F(FlagsTest, FlagTextIsCentredColouredAndCarriesItsWording) {
  MakeBlock("OAK");  // 2 x 1 rectangle
  auto oak = InsertScaled("OAK", 10, 1, 90 * kRunPi / 180);
  engine::RunRow row;
  auto text = engine::AddAttributeFlag(row, *oak, {{10, 0, 0}, 90 * kRunPi / 180, "Zero Att's"});
  EXPECT_EQ(text->TextString(), "Zero Att's");
  EXPECT_EQ(text->Alignment(), cad::kAlignmentMiddleCenter);
  EXPECT_EQ(text->TextAlignmentPoint(), (cad::Point3{10, 0, 0}));
  EXPECT_NEAR(NormalDegrees(text->Rotation()), 270, 1e-6);
  EXPECT_EQ(text->color(), 21);
  // Rotated a quarter turn, the 2 x 1 rectangle stands 2 high.
  EXPECT_NEAR(text->Height(), 0.5, 1e-6);
  EXPECT_DOUBLE_EQ(row.flagTextHeight, text->Height());
  EXPECT_EQ(text->Layer(), "0");
  EXPECT_EQ(text->GetXData("Flags"),
            (cad::XData{{1001, std::string("Flags")}, {1000, std::string("Zero Att's")}}));
}

TEST_F(FlagsTest, TwoReferencesOfOneRowShareTheFirstHeight) {
  MakeBlock("OAK");
  auto small = InsertScaled("OAK", 0, 1);
  auto large = InsertScaled("OAK", 20, 4);
  engine::RunRow row;
  auto first = engine::AddAttributeFlag(row, *small, {{0, 0, 0}, 0, "Att's<expected"});
  auto second = engine::AddAttributeFlag(row, *large, {{20, 0, 0}, 0, "Att's<expected"});
  EXPECT_DOUBLE_EQ(first->Height(), 0.25);
  EXPECT_DOUBLE_EQ(second->Height(), 0.25);

  engine::RunRow nextRow;
  EXPECT_DOUBLE_EQ(engine::AddAttributeFlag(nextRow, *large, {{20, 0, 0}, 0, "x"})->Height(), 1.0);
}

TEST_F(FlagsTest, FlatReferenceStillGetsAFlagHeight) {
  auto block = doc->Blocks()->Add({0, 0, 0}, "RULE");
  block->AddLine({0, 0, 0}, {8, 0, 0});
  auto rule = Insert("RULE", 0);
  engine::RunRow row;
  EXPECT_DOUBLE_EQ(engine::AddAttributeFlag(row, *rule, {{0, 0, 0}, 0, "Zero Att's"})->Height(),
                   2.0);
}

TEST_F(FlagsTest, LayeringPassMovesEveryFlagOfModelSpaceEarlierRunsIncluded) {
  MakeBlock("OAK");
  auto oak = Insert("OAK", 0);
  doc->Layers()->Add("Trees");
  oak->Layer("Trees");
  engine::RunRow row;
  auto earlier = engine::AddAttributeFlag(row, *oak, {{0, 0, 0}, 0, "Zero Att's"});
  earlier->Layer("Trees");
  auto now = engine::AddAttributeFlag(row, *oak, {{0, 0, 0}, 0, "Att's<expected"});
  auto inPaper = doc->PaperSpace()->AddText("paper flag", {0, 0, 0}, 1);
  inPaper->SetXData(engine::FlagXData("Zero Att's"));

  EXPECT_EQ(engine::LayerFlagMarks(ui, &progress), 2);
  EXPECT_EQ(earlier->Layer(), "___FLAGS___");
  EXPECT_EQ(now->Layer(), "___FLAGS___");
  EXPECT_EQ(oak->Layer(), "Trees");
  EXPECT_EQ(inPaper->Layer(), "0");
  EXPECT_EQ(doc->ActiveLayer()->Name(), "___FLAGS___");
  EXPECT_EQ(progress.Caption(), "Layering Flag Text");
  EXPECT_EQ(progress.ProgressBar1.Max(), 2);
  EXPECT_EQ(progress.ProgressBar1.Value(), 2);
}

TEST_F(FlagsTest, LayeringPassWithoutFlagsOnlyMakesTheLayer) {
  EXPECT_EQ(engine::LayerFlagMarks(ui, nullptr), 0);
  EXPECT_EQ(doc->Layers()->Item("___FLAGS___")->Name(), "___FLAGS___");
}

// A run whose old references lack an attribute the stored matches expect
// leaves flag text on the flag layer, and the saved drawing holds it there.
TEST_F(FlagsTest, RunFlagsShortReferencesAndTheSavedDrawingShowsThem) {
  MakeBlock("SHORT", {"A", "B"});
  MakeBlock("NEW", {"X", "Y"});
  Insert("SHORT", 0);
  model->InsertBlock({30, 0, 0}, "SHORT", 1, 1, 1, 3.141592653589793);
  const auto storeFile = folder / "matches.db";
  {
    host::SettingsStore store(storeFile);
    matching::WriteMatchRecords(store, "SHORT", "NEW",
                                {{{0, 0, "A", "X", 1}, {2, 1, "C", "Y", 1}}, std::nullopt});
  }
  engine::ReplaceRunServices run;
  engine::SetAttributeTransferHooks(run.hooks, form, storeFile);
  Wire(std::move(run));
  form.Show();
  const int row = GridRowOf("SHORT");
  form.MSHBlockDefs.TextMatrix(row, inventory::kColMatched, "2 of 2");
  form.MSHBlockDefs.TextMatrix(row, inventory::kColReplaceWith, "NEW");
  form.MSHBlockDefs.TextMatrix(row, inventory::kColPath, "In Drawing");
  ui.QueueAnswer(forms::MessageAnswer::Ok);
  form.CmdReplace.UserClick();
  ASSERT_EQ(References("NEW").size(), 2U) << ui.Transcript();

  const std::string path = (folder / "flagged.dxf").string();
  doc->SaveAs(path);
  auto reopened = app->Documents()->Open(path);
  auto space = reopened->ModelSpace();
  std::vector<double> rotations;
  for (long i = 0; i < space->Count(); ++i) {
    auto entity = space->Item(i);
    if (entity->GetXData("Flags").empty()) continue;
    EXPECT_EQ(entity->Layer(), "___FLAGS___");
    EXPECT_EQ(entity->TextString(), "Att's<expected");
    EXPECT_EQ(entity->color(), 21);
    rotations.push_back(NormalDegrees(cad::As<cad::Text>(entity)->Rotation()));
  }
  ASSERT_EQ(rotations.size(), 2U);
  // The reference turned half a turn gets upright text too.
  EXPECT_NEAR(rotations[0], 0, 1e-3);
  EXPECT_NEAR(rotations[1], 0, 1e-3);
  EXPECT_EQ(reopened->ActiveLayer()->Name(), "0");
}

}  // namespace
}  // namespace workwindow_test
