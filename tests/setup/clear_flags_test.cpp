// "Clear Flags": every model-space entity tagged with the flag extended data
// goes, wherever it was moved; untagged entities, paper space, the flag layer
// and the marker block stay, and the command leaves no selection set behind.
#include "../inventory/work_window_fixture.h"
#include "engine/flags.h"
#include "engine/marker.h"

namespace workwindow_test {
namespace {

using ::testing::UnorderedElementsAreArray;

class ClearFlagsTest : public WorkWindowTest {
 public:
  void SetUp() override {
    WorkWindowTest::SetUp();
    MakeBlock("DOOR", {"TAG1"});
    door = Insert("DOOR", 0);
    form.Show();
  }

  // A flag text as a replace run writes it.
  cad::TextPtr FlagText(const cad::BlockPtr& space, const std::string& wording, double x) {
    cad::TextPtr text = space->AddText(wording, {x, 0, 0}, 0.25);
    text->SetXData(engine::FlagXData(wording));
    return text;
  }
  std::vector<std::string> ModelHandles() const {
    std::vector<std::string> handles;
    for (long i = 0; i < model->Count(); ++i) handles.push_back(model->Item(i)->Handle());
    return handles;
  }
  bool HasSelectionSet(const std::string& name) const {
    auto sets = doc->SelectionSets();
    for (long i = 0; i < sets->Count(); ++i) {
      if (sets->Item(i)->Name() == name) return true;
    }
    return false;
  }

  cad::BlockReferencePtr door;
};

TEST_F(ClearFlagsTest, ErasesTaggedEntitiesWhereverTheyAreAndKeepsTheRest) {
  cad::TextPtr zeroAtts = FlagText(model, engine::kZeroAttsWording, 1);
  engine::MarkerRequest request;
  request.insertionPoint = {2, 0, 0};
  request.wording = engine::kNoValidTextWording;
  cad::BlockReferencePtr marker = engine::PlaceMarker(request);
  ASSERT_EQ(engine::LayerFlagMarks(ui, nullptr), 2);  // both onto ___FLAGS___

  cad::TextPtr moved = FlagText(model, engine::kFewerAttsWording, 3);
  doc->Layers()->Add("Notes");
  moved->Layer("Notes");  // moved by the user, still tagged
  cad::TextPtr plain = model->AddText("pipe note", {4, 0, 0}, 0.25);
  plain->Layer(engine::kFlagLayer);  // on the flag layer, untagged
  cad::TextPtr otherApp = model->AddText("survey", {5, 0, 0}, 0.25);
  otherApp->SetXData({{1001, std::string("Survey")}, {1000, std::string("Flags")}});
  cad::TextPtr paperFlag = FlagText(doc->PaperSpace(), engine::kZeroAttsWording, 6);

  ui.ClearLines();
  form.CmdClearFlags.UserClick();

  EXPECT_THAT(ModelHandles(), UnorderedElementsAreArray({door->Handle(), plain->Handle(), otherApp->Handle()}));
  EXPECT_EQ(doc->PaperSpace()->Count(), 1);
  EXPECT_EQ(doc->PaperSpace()->Item(0)->Handle(), paperFlag->Handle());
  EXPECT_EQ(plain->Layer(), engine::kFlagLayer);
  EXPECT_NO_THROW(doc->Layers()->Item(engine::kFlagLayer));
  EXPECT_NO_THROW(doc->Blocks()->Item(engine::kMarkerShape));
  EXPECT_FALSE(HasSelectionSet(selection::kSS2));
  EXPECT_TRUE(ui.Lines().empty()) << ui.Transcript();  // no question, no message
}

TEST_F(ClearFlagsTest, WithNothingTaggedNothingIsErased) {
  model->AddText("pipe note", {4, 0, 0}, 0.25);
  // A set of that name left in the drawing does not stop the command.
  doc->SelectionSets()->Add(selection::kSS2);
  const std::vector<std::string> before = ModelHandles();
  ui.ClearLines();
  form.CmdClearFlags.UserClick();
  EXPECT_EQ(ModelHandles(), before);
  EXPECT_FALSE(HasSelectionSet(selection::kSS2));
  EXPECT_TRUE(ui.Lines().empty()) << ui.Transcript();
}

}  // namespace
}  // namespace workwindow_test
