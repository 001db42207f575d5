// The layer helper against the built-in host.
#include "engine/set_var_layer.h"

#include "../inventory/work_window_fixture.h"

namespace workwindow_test {
namespace {

class SetVarLayerTest : public WorkWindowTest {};

TEST_F(SetVarLayerTest, MakesTheLayerCurrentCreatingItWhenMissing) {
  const long layersBefore = doc->Layers()->Count();
  EXPECT_TRUE(engine::SetVarLayer(ui, "0"));
  EXPECT_EQ(doc->Layers()->Count(), layersBefore);

  EXPECT_TRUE(engine::SetVarLayer(ui, "12-V"));
  EXPECT_EQ(doc->ActiveLayer()->Name(), "12-V");
  EXPECT_EQ(doc->Layers()->Count(), layersBefore + 1);
  EXPECT_EQ(engine::M_Layers().VarCurrentLayerName, "0");

  // The comparison is exact: another letter case asks the host, which answers
  // with the existing layer.
  doc->Layers()->Add("FLAGS");
  EXPECT_TRUE(engine::SetVarLayer(ui, "flags"));
  EXPECT_EQ(doc->ActiveLayer()->Name(), "FLAGS");
  EXPECT_TRUE(Messages().empty());
}

TEST_F(SetVarLayerTest, RefusedNameShowsThreeLinesAndKeepsTheCurrentLayer) {
  EXPECT_FALSE(engine::SetVarLayer(ui, "A<B"));
  EXPECT_EQ(doc->ActiveLayer()->Name(), "0");
  ASSERT_EQ(Messages().size(), 1U);
  const std::string line = Messages()[0];
  EXPECT_NE(line.find("icon=exclamation"), std::string::npos);
  EXPECT_NE(line.find("title=\"Cindral\""), std::string::npos);
  EXPECT_NE(line.find("text=\"Error in SetVarLayer Invalid layer name"), std::string::npos);
  EXPECT_NE(line.find("\\rVariableLayerName: A<B\\rVarCurrentLayerName: 0\""), std::string::npos);
}

}  // namespace
}  // namespace workwindow_test
