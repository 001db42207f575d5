// The station text reach check against the built-in host: which texts a new
// reference reaches and accepts, the widening search, the marker and layers
// of a failed check, the polygon command under a decimal-comma locale, a
// command line that draws nothing, and the check inside a replace run.
#include "engine/station_check.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <cmath>
#include <locale>
#include <numbers>

#include "cadhost/drawing.h"
#include "cadhost/entity.h"
#include "engine/flags.h"
#include "engine/marker.h"
#include "engine/replace_run.h"
#include "inventory/block_grid.h"

#include "../inventory/work_window_fixture.h"
#include "failing_insert_host.h"

namespace workwindow_test {
namespace {

const cad::Point3 kAt{100, 100, 0};

// A single-line text or a multi-line text on a layer.
struct PlacedText {
  std::string text;
  double x = 0;
  double y = 0;
  bool multiLine = false;
  std::string layer = engine::kStationTextLayer;
};

class StationCheckTest : public WorkWindowTest {
 public:
  void SetUp() override {
    WorkWindowTest::SetUp();
    doc->Layers()->Add(engine::kStationTextLayer);
    doc->Layers()->Add("HEADS");
    MakeBlock("SPRAY");
    MakeBlock("VALVE", {"STATION", "MODEL"});
    MakeBlock("PLUG");
  }

  void Place(const PlacedText& placed) {
    if (!placed.multiLine) {
      model->AddText(placed.text, {placed.x, placed.y, 0}, 1.0)->Layer(placed.layer);
      return;
    }
    cadhost::Entity entity;
    entity.type = "MTEXT";
    entity.layer = placed.layer;
    cadhost::MTextData text;
    text.value = placed.text;
    text.insertion = {placed.x, placed.y, 0};
    entity.data = text;
    doc->drawing().AddEntity(doc->drawing().db().ModelSpace(), std::move(entity));
  }

  // An old reference at `at` and its replacement, as the run hands them over.
  engine::ReplacedReference Replacement(const std::string& block, double scale = 1.0,
                                        cad::Point3 at = kAt) {
    engine::ReplacedReference reference;
    reference.oldReference = model->InsertBlock(at, "SPRAY", 1, 1, 1, 0);
    reference.newReference = model->InsertBlock(at, block, scale, scale, scale, 0);
    reference.newReference->Layer("HEADS");
    if (reference.newReference->HasAttributes()) {
      reference.newReference->GetAttributes().at(0)->TextString("1-A");
    }
    reference.insertionPoint = at;
    reference.scale = scale;
    return reference;
  }
  engine::ReplacedReference Replacement() { return Replacement("VALVE"); }

  long PolygonCommands() const {
    long count = 0;
    for (const std::string& line : doc->commandLine().History()) count += line == "Command: polygon";
    return count;
  }
  long ModelSpacePolylines() const {
    long count = 0;
    for (long i = 0; i < model->Count(); ++i) count += model->Item(i)->ObjectName() == "AcDbPolyline";
    return count;
  }
  std::string CurrentLayer() const { return doc->ActiveLayer()->Name(); }

  engine::RunCounts counts;
};

TEST_F(StationCheckTest, StationNumberOfATextTakesTheNumberBeforeTheFirstDash) {
  struct Case {
    const char* text;
    std::optional<std::string> number;
  };
  const std::vector<Case> cases{
      {"12-A", "12"}, {"7-", "7"},        {"12-A-3", "12"}, {"12.5-B", "12.5"},
      {"AB-1", {}},   {"-5", {}},         {"12", {}},       {"12A-1", {}},
      {"", {}},       {"1 2-A", {}},      {"--", {}}};
  for (const Case& c : cases) EXPECT_EQ(engine::StationNumber(c.text), c.number) << c.text;
}

// Reference at (100, 100); each case: the texts around it and what the check does.
TEST_F(StationCheckTest, WhatTheReferenceReaches) {
  struct Case {
    const char* name;
    std::vector<PlacedText> texts;
    engine::StationCheckResult result;
    const char* firstAttribute;  // after the check
    const char* layer;           // of the new reference, and current afterwards
    const char* markerWording;   // empty: no marker
    long polygons;               // reach polygons drawn
  };
  using engine::StationCheckResult;
  const std::vector<Case> cases{
      {"one text 10 away", {{"12-A", 110, 100}}, StationCheckResult::Accepted, "12-A", "12-V", "", 1},
      {"only text 20 away", {{"7-C", 120, 100}}, StationCheckResult::Accepted, "7-C", "7-V", "", 3},
      {"nothing within 24", {{"7-C", 126, 100}}, StationCheckResult::Failed, "1-A", "-V",
       "No valid Text Reached", 3},
      {"same text twice", {{"12-A", 110, 100}, {"12-A", 95, 92}}, StationCheckResult::Accepted,
       "12-A", "12-V", "", 1},
      {"two different texts", {{"12-A", 110, 100}, {"13-B", 95, 92}}, StationCheckResult::Failed,
       "1-A", "-V", ">1 TextString Found", 1},
      {"AB-1 alone", {{"AB-1", 105, 100}}, StationCheckResult::Failed, "1-A", "-V",
       "No valid Text Reached", 1},
      {"dash first", {{"-5", 105, 100}}, StationCheckResult::Failed, "1-A", "-V",
       "No valid Text Reached", 1},
      {"accepted then another", {{"12-A", 105, 100}, {"NOTE", 95, 100}},
       StationCheckResult::Failed, "1-A", "-V", ">1 TextString Found", 1},
      {"passed over before the accepted one", {{"NOTE", 95, 100}, {"12-A", 105, 100}},
       StationCheckResult::Accepted, "12-A", "12-V", "", 1},
      {"multi-line text ends the widening uncounted",
       {{"12-A", 105, 100, true}, {"14-A", 120, 100}}, StationCheckResult::Failed, "1-A", "-V",
       "No valid Text Reached", 1},
      {"text on another layer", {{"12-A", 105, 100, false, "HEADS"}}, StationCheckResult::Failed,
       "1-A", "-V", "No valid Text Reached", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    counts = {};
    ui.ClearLines();
    for (const PlacedText& text : c.texts) Place(text);
    const engine::ReplacedReference reference = Replacement();

    EXPECT_EQ(engine::CheckStationText(ui, reference, counts), c.result);
    EXPECT_EQ(reference.newReference->GetAttributes().at(0)->TextString(), c.firstAttribute);
    EXPECT_EQ(reference.newReference->Layer(), c.layer);
    EXPECT_EQ(CurrentLayer(), c.layer);
    EXPECT_EQ(PolygonCommands(), c.polygons);
    EXPECT_EQ(ModelSpacePolylines(), 0);
    const auto markers = References("zLemon");
    EXPECT_EQ(counts.reachCount, static_cast<long>(markers.size()));
    if (std::string(c.markerWording).empty()) {
      EXPECT_TRUE(markers.empty());
    } else if (!markers.empty()) {
      ASSERT_EQ(markers.size(), 1U);
      EXPECT_EQ(markers[0]->GetAttributes().at(0)->TextString(), c.markerWording);
      EXPECT_EQ(markers[0]->Layer(), engine::kFlagLayer);
      EXPECT_EQ(markers[0]->InsertionPoint(), kAt);
      EXPECT_EQ(markers[0]->color(), cad::kColorRed);
    }
    EXPECT_TRUE(Messages().empty()) << ui.Transcript();
    TearDown();
  }
}

TEST_F(StationCheckTest, ReferenceWithoutAttributesIsNotChecked) {
  Place({"12-A", 105, 100});
  const engine::ReplacedReference reference = Replacement("PLUG");
  const long entities = model->Count();
  const std::string layer = CurrentLayer();
  EXPECT_EQ(engine::CheckStationText(ui, reference, counts), engine::StationCheckResult::NotChecked);
  EXPECT_EQ(model->Count(), entities);
  EXPECT_EQ(PolygonCommands(), 0);
  EXPECT_EQ(reference.newReference->Layer(), "HEADS");
  EXPECT_EQ(CurrentLayer(), layer);
  EXPECT_EQ(counts.reachCount, 0);
}

TEST_F(StationCheckTest, MarkerGrowsWithTheReferenceScale) {
  const engine::ReplacedReference reference = Replacement("VALVE", 2.0);
  EXPECT_EQ(engine::CheckStationText(ui, reference, counts), engine::StationCheckResult::Failed);
  const auto markers = References("zLemon");
  ASSERT_EQ(markers.size(), 1U);
  EXPECT_DOUBLE_EQ(markers[0]->XScaleFactor(), engine::kMarkerSizeRatio * 2.0);
}

// The command the check sends draws a 12-sided polygon whose edges touch the
// circle of the reach radius, wherever the reference lies.
TEST_F(StationCheckTest, CommandDrawsTheCircumscribedTwelveSidedPolygon) {
  const cad::Point3 center{-1234.125, 0.1, 5};
  doc->SendCommand(engine::ReachPolygonCommand(center, 18));
  const auto polygon = model->Item(model->Count() - 1);
  ASSERT_EQ(polygon->ObjectName(), "AcDbPolyline");
  EXPECT_TRUE(polygon->Closed());
  const std::vector<double> xy = polygon->Coordinates();
  ASSERT_EQ(xy.size(), 24U);
  const double corner = 18 / std::cos(std::numbers::pi / 12);
  for (std::size_t i = 0; i < xy.size(); i += 2) {
    EXPECT_NEAR(std::hypot(xy[i] - center.x, xy[i + 1] - center.y), corner, 1e-9) << i;
  }
}

// A numpunct that writes numbers as German users do.
class DecimalComma : public std::numpunct<char> {
 protected:
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

// Makes the C library's numbers German (decimal comma), compiling the locale
// into `folder` when the system has none installed. False when neither works.
bool GermanNumericLocale(const std::filesystem::path& folder) {
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr) return true;
  const std::string command = "localedef -i de_DE -f UTF-8 '" + (folder / "de_DE.UTF-8").string() +
                              "' > /dev/null 2>&1";
  if (std::system(command.c_str()) != 0) return false;
  ::setenv("LOCPATH", folder.c_str(), 1);
  return std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
}

TEST_F(StationCheckTest, NumbersInTheCommandIgnoreTheUsersLocale) {
  const std::string previousC = std::setlocale(LC_NUMERIC, nullptr);
  const bool german = GermanNumericLocale(folder);
  if (german) {
    char written[16];
    std::snprintf(written, sizeof written, "%.1f", 1.5);
    EXPECT_STREQ(written, "1,5");
  }
  const std::locale previous =
      std::locale::global(std::locale(std::locale::classic(), new DecimalComma));

  EXPECT_EQ(engine::ReachPolygonCommand({1234.5, -0.25, 7}, 18), "polygon\r12\r1234.5,-0.25,0\rC\r18\r");
  EXPECT_EQ(engine::ReachPolygonCommand({1e7, 3, 0}, 12), "polygon\r12\r10000000,3,0\rC\r12\r");
  Place({"12-A", 110.5, 100.25});
  const engine::ReplacedReference reference = Replacement("VALVE", 1.0, {100.5, 100.25, 0});
  EXPECT_EQ(engine::CheckStationText(ui, reference, counts), engine::StationCheckResult::Accepted);
  EXPECT_EQ(PolygonCommands(), 1);

  std::locale::global(previous);
  std::setlocale(LC_NUMERIC, previousC.c_str());
  ::unsetenv("LOCPATH");
  EXPECT_TRUE(german) << "no German locale could be made; only the C++ locale was German";
}

// A drawing whose command line takes the input and draws nothing.
class DeafCommandLineDocument : public FailingInsertDocument {
 public:
  explicit DeafCommandLineDocument(cad::DocumentPtr real) : FailingInsertDocument(std::move(real), 0) {}
  void SendCommand(const std::string&) override {}
};
class DeafCommandLineApplication : public FailingInsertApplication {
 public:
  explicit DeafCommandLineApplication(const cad::ApplicationPtr& real)
      : FailingInsertApplication(real, 0),
        document_(std::make_shared<DeafCommandLineDocument>(real->ActiveDocument())) {}
  cad::DocumentPtr ActiveDocument() const override { return document_; }

 private:
  cad::DocumentPtr document_;
};

// The command draws nothing, so the last entity is the station text drawn
// before: it is not taken for the polygon (and not deleted); the user is told
// and the reference is marked.
TEST_F(StationCheckTest, NoReachPolygonIsToldAndMarked) {
  const engine::ReplacedReference reference = Replacement();
  Place({"12-A", 105, 100});
  host::Host().application = std::make_shared<DeafCommandLineApplication>(app);

  EXPECT_EQ(engine::CheckStationText(ui, reference, counts), engine::StationCheckResult::Failed);
  ASSERT_EQ(Messages().size(), 1U);
  EXPECT_EQ(Messages()[0],
            "message title=\"CkReachText.value = Checked\" icon=information buttons=ok default=1 "
            "text=\"No reach polygon found\"");
  const auto markers = References("zLemon");
  ASSERT_EQ(markers.size(), 1U);
  EXPECT_EQ(markers[0]->GetAttributes().at(0)->TextString(), "No valid Text Reached");
  EXPECT_EQ(reference.newReference->Layer(), "-V");
  EXPECT_EQ(counts.reachCount, 1);
  bool textKept = false;
  for (long i = 0; i < model->Count(); ++i) {
    const cad::EntityPtr entity = model->Item(i);
    textKept |= entity->ObjectName() == "AcDbText" && entity->TextString() == "12-A";
  }
  EXPECT_TRUE(textKept);
}

class StationCheckRunTest : public StationCheckTest {
 public:
  void Run(engine::ReplaceRunHooks hooks = {}) {
    engine::ReplaceRunServices run;
    run.hooks = std::move(hooks);
    Wire(std::move(run));
    form.Show();
    const int row = GridRowOf("SPRAY");
    form.MSHBlockDefs.TextMatrix(row, inventory::kColReplaceWith, "VALVE");
    form.MSHBlockDefs.TextMatrix(row, inventory::kColPath, inventory::kInDrawing);
    form.MSHBlockDefs.TextMatrix(row, inventory::kColLayer, "HEADS");
    form.CkReachText.UserClick();
    form.CkEraseBlocks.UserClick();
    ui.ClearLines();
    form.CmdReplace.UserClick();
  }
  // The value the transfer writes into every new reference.
  static engine::ReplaceRunHooks WritingTransfer() {
    engine::ReplaceRunHooks hooks;
    hooks.loadMatches = [](engine::RunRow&) { return engine::RowMatches{true, "asdf42"}; };
    hooks.transferAttributes = [](engine::RunRow&, const engine::RowMatches&,
                                  const engine::ReplacedReference& reference, engine::RunCounts&) {
      reference.newReference->GetAttributes().at(0)->TextString("FROM-OLD");
    };
    return hooks;
  }
  std::string Attribute(const cad::BlockReferencePtr& reference) {
    return reference->GetAttributes().at(0)->TextString();
  }
};

// The work window wires the check itself; the accepted text replaces what the
// transfer wrote, a failed reference keeps it, and the summary counts it.
TEST_F(StationCheckRunTest, RunChecksEveryNewReferenceAfterTheTransfer) {
  Insert("SPRAY", 100, 100);
  Insert("SPRAY", 300, 100);
  Place({"12-A", 108, 100});
  const std::string current = CurrentLayer();
  Run(WritingTransfer());

  const auto valves = References("VALVE");
  ASSERT_EQ(valves.size(), 2U);
  EXPECT_EQ(Attribute(valves[0]), "12-A");
  EXPECT_EQ(valves[0]->Layer(), "12-V");
  EXPECT_EQ(Attribute(valves[1]), "FROM-OLD");
  EXPECT_EQ(valves[1]->Layer(), "-V");
  EXPECT_EQ(References("zLemon").size(), 1U);
  EXPECT_EQ(ModelSpacePolylines(), 0);
  EXPECT_EQ(CurrentLayer(), current);
  ASSERT_EQ(Messages().size(), 1U) << ui.Transcript();
  EXPECT_NE(Messages()[0].find("title=\"Blocks Replaced\""), std::string::npos);
  EXPECT_NE(Messages()[0].find("text=\"1 Blocks replaced reached zero or >1 piece of Station "
                               "Text\\rLemon's have been drawn around the blocks\""),
            std::string::npos);
}

// The marker cannot be inserted: the reference's whole replacement is taken
// back (its polygon, layers and marker with it) and it is not counted as
// reaching no text, but as not replaced.
TEST_F(StationCheckRunTest, FailureInsideTheCheckTakesTheReplacementBack) {
  Insert("SPRAY", 100, 100);
  // Insertion 1 is the replacement, insertion 2 the marker.
  host::Host().application = std::make_shared<FailingInsertApplication>(app, 2);
  Run();

  EXPECT_TRUE(References("VALVE").empty());
  EXPECT_EQ(References("SPRAY").size(), 1U);
  EXPECT_TRUE(References("zLemon").empty());
  EXPECT_EQ(ModelSpacePolylines(), 0);
  EXPECT_THROW(doc->Layers()->Item("-V"), cad::HostError);
  ASSERT_EQ(Messages().size(), 1U) << ui.Transcript();
  EXPECT_EQ(Messages()[0].find("reached zero"), std::string::npos);
  EXPECT_NE(Messages()[0].find("1 Blocks could not be replaced"), std::string::npos);
}

}  // namespace
}  // namespace workwindow_test
