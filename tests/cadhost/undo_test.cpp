// Undo marks and undo steps of the built-in host: every change is recorded.
#include "host_fixture.h"

namespace cadhost::testing {
namespace {

class UndoTest : public HostTest {
 public:
  void SetUp() override {
    HostTest::SetUp();
    MakeBlock("OLD", {{"STATION", "1"}});
    MakeBlock("NEW", {{"STATION", "0"}});
    old = model->InsertBlock({0, 0, 0}, "OLD", 1, 1, 1, 0);
    old->GetAttributes()[0]->TextString("7-B");
    original = Snapshot();
  }
  // What a caller can see of the drawing.
  std::vector<std::string> Snapshot() {
    std::vector<std::string> state;
    for (long i = 0; i < model->Count(); ++i) {
      auto e = model->Item(i);
      std::string line = e->ObjectName() + " " + e->Handle() + " " + e->Layer() + " " +
                         std::to_string(e->color());
      if (auto ref = std::dynamic_pointer_cast<cad::BlockReference>(e)) {
        line += " " + ref->Name() + " " + std::to_string(ref->XScaleFactor());
        for (const auto& a : ref->GetAttributes()) line += " " + a->TagString() + "=" + a->TextString();
      }
      for (const auto& item : e->GetXData("")) line += " x" + std::to_string(item.code);
      state.push_back(line);
    }
    for (long i = 0; i < doc->Layers()->Count(); ++i) state.push_back("layer " + doc->Layers()->Item(i)->Name());
    for (long i = 0; i < doc->Blocks()->Count(); ++i) state.push_back("block " + doc->Blocks()->Item(i)->Name());
    state.push_back("current " + doc->ActiveLayer()->Name());
    return state;
  }
  // A replacement as a run makes it: new reference, values carried over, old erased.
  void Replace() {
    doc->Layers()->Add("NEWLAYER");
    doc->ActiveLayer(doc->Layers()->Item("NEWLAYER"));
    auto made = model->InsertBlock({0, 0, 0}, "NEW", 1, 1, 1, 0);
    made->GetAttributes()[0]->TextString(old->GetAttributes()[0]->TextString());
    made->SetXData({{1001, std::string("_BRTempSSet")}, {1000, std::string("stamp")}});
    made->ScaleEntity({0, 0, 0}, 2);
    made->color(cad::kColorRed);
    doc->Blocks()->Add({0, 0, 0}, "zLemon")->AddLine({0, 0, 0}, {1, 1, 0});
    auto set = NewSet("ssTemp");
    set->AddItems({old});
    set->Erase();
  }
  cad::BlockReferencePtr old;
  std::vector<std::string> original;
};

TEST_F(UndoTest, CancelUndoMarkRollsBackEverythingSinceTheMark) {
  doc->StartUndoMark();
  Replace();
  EXPECT_NE(Snapshot(), original);
  doc->CancelUndoMark();
  EXPECT_EQ(Snapshot(), original);
  EXPECT_EQ(old->GetAttributes()[0]->TextString(), "7-B");
  // The taken-back block name is free again.
  EXPECT_NO_THROW(doc->Blocks()->Add({0, 0, 0}, "zLemon"));
}

TEST_F(UndoTest, NestedMarksCancelOnlyTheInnerPart) {
  doc->StartUndoMark();
  model->AddLine({0, 0, 0}, {1, 0, 0});
  auto afterLine = Snapshot();
  doc->StartUndoMark();
  Replace();
  doc->CancelUndoMark();
  EXPECT_EQ(Snapshot(), afterLine);
  doc->EndUndoMark();
  EXPECT_THROW(doc->EndUndoMark(), cad::HostError);
  EXPECT_THROW(doc->CancelUndoMark(), cad::HostError);
}

TEST_F(UndoTest, AMarkedStepUndoesAndRedoesAsAWhole) {
  doc->StartUndoMark();
  Replace();
  doc->EndUndoMark();
  auto replaced = Snapshot();
  ASSERT_TRUE(doc->Undo());
  EXPECT_EQ(Snapshot(), original);
  ASSERT_TRUE(doc->Redo());
  EXPECT_EQ(Snapshot(), replaced);
  // The index follows: the erased old reference is not found by name.
  auto set = NewSet("check");
  set->Select(cad::SelectMode::All, {{2}, {"OLD"}});
  EXPECT_EQ(set->Count(), 0);
  ASSERT_TRUE(doc->Undo());
  set->Select(cad::SelectMode::All, {{2}, {"OLD"}});
  EXPECT_EQ(set->Count(), 1);
}

TEST_F(UndoTest, SavedTracksChanges) {
  // A new drawing with changes is not saved; without a saver Save fails and says why.
  EXPECT_FALSE(doc->Saved());
  try {
    doc->SaveAs("/tmp/x.dxf");
    FAIL();
  } catch (const cad::HostError& e) {
    EXPECT_NE(e.Description().find("writer"), std::string::npos);
  }
}

}  // namespace
}  // namespace cadhost::testing
