// Named selection sets, the shared model-space filter, polygon point lists and
// the world UCS, against the built-in host with a drawing read from DXF.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cadhost/application.h"
#include "cadhost/dxf/drawing_files.h"
#include "host/host_state.h"
#include "selection/polygon_points.h"
#include "selection/selection_sets.h"
#include "selection/ucs.h"

namespace selection {
namespace {

class SelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto files = std::make_shared<cadhost::dxf::DxfDrawingFiles>();
    cadhost::HostOptions options;
    options.services.loader = files;
    options.services.saver = files;
    application = cadhost::HostApplication::Create(std::move(options));
    application->OpenDocument(CINDRAL_SOURCE_DIR "/tests/selection/polylines.dxf");
    host::Host() = host::HostState();
    host::Host().application = application;
    host::RefreshActiveDocument();
    M_Select() = SelectState();
    M_Polygon() = PolygonState();
    InitialiseSelectionFilter();
  }

  cad::DocumentPtr Drawing() const { return application->ActiveDocument(); }

  // The first model-space entity whose object name is `objectName`.
  cad::EntityPtr First(const std::string& objectName) const {
    const cad::BlockPtr model = Drawing()->ModelSpace();
    for (long i = 0; i < model->Count(); ++i) {
      if (cad::EntityPtr entity = model->Item(i); entity->ObjectName() == objectName) return entity;
    }
    ADD_FAILURE() << "no " << objectName << " in the drawing";
    return nullptr;
  }

  std::shared_ptr<cadhost::HostApplication> application;
};

TEST_F(SelectionTest, DeleteBeforeCreateAndCreateTwiceFails) {
  EXPECT_NO_THROW(DeleteSelectionSet(kSS2));  // no such set: nothing happens
  CreateSelectionSet(kSS2);
  EXPECT_EQ(M_Select().SS2->Name(), "SS2");
  EXPECT_THROW(CreateSelectionSet(kSS2), cad::HostError);

  DeleteSelectionSet(kSS2);
  EXPECT_THROW(Drawing()->SelectionSets()->Item("SS2"), cad::HostError);
  EXPECT_THROW(M_Select().SS2->Count(), cad::HostError);  // the reference points at the deleted set
  EXPECT_NO_THROW(CreateSelectionSet(kSS2));
  EXPECT_THROW(SelectionSetReference("SS9"), cad::HostError);
}

TEST_F(SelectionTest, TheThreeNamesAreIndependentSets) {
  for (const char* name : {kSS2, kSS3, kSsTemp}) {
    DeleteSelectionSet(name);
    CreateSelectionSet(name);
  }
  EXPECT_EQ(Drawing()->SelectionSets()->Count(), 3);
  EXPECT_EQ(M_Select().ssTemp->Name(), "ssTemp");
}

TEST_F(SelectionTest, TheSharedFilterFindsOnlyModelSpaceReferences) {
  DeleteSelectionSet(kSS2);
  CreateSelectionSet(kSS2);
  SetFilterEntry0(kFilterBlockName, "VALVE");
  M_Select().SS2->Select(cad::SelectMode::All, M_Select().filter);
  ASSERT_EQ(M_Select().SS2->Count(), 2);  // the paper-space reference stays out
  for (long i = 0; i < 2; ++i) {
    EXPECT_EQ(cad::As<cad::BlockReference>(M_Select().SS2->Item(i))->Name(), "VALVE");
  }
}

TEST_F(SelectionTest, CreatingASetLeavesTheWorldUcsActiveAndSettingItTwiceIsQuiet) {
  CreateSelectionSet(kSS3);
  EXPECT_EQ(Drawing()->ActiveUCS()->Name(), "WCS");
  EXPECT_NO_THROW(SetWorldUcs());
  EXPECT_NO_THROW(SetWorldUcs());
  EXPECT_EQ(Drawing()->ActiveUCS()->Name(), "WCS");
  EXPECT_EQ(Drawing()->ActiveUCS()->XVector(), (cad::Point3{1, 0, 0}));
}

TEST_F(SelectionTest, PolylinesBecomeFlatPointLists) {
  struct Case {
    const char* objectName;
    std::vector<double> points;
  };
  const std::vector<Case> cases{
      {"AcDbPolyline", {0, 0, 0, 10, 0, 0, 10, 5, 0, 0, 5, 0}},
      {"AcDb3dPolyline", {0, 0, 0, 10, 0, 0, 10, 5, 0}},
      {"AcDb2dPolyline", {1, 1, 0, 4, 1, 0, 4, 3, 0}},
  };
  for (const Case& c : cases) {
    M_Polygon().pickedEntity = First(c.objectName);
    BuildPolygonPoints();
    EXPECT_EQ(M_Polygon().polygonPoints, c.points) << c.objectName;
  }
}

TEST_F(SelectionTest, ValuesPassThroughFifteenSignificantDigits) {
  M_Polygon().pickedEntity =
      Drawing()->ModelSpace()->AddLightWeightPolyline({1234.56789012345678, 0.1, 2, 2, 0, 3});
  BuildPolygonPoints();
  ASSERT_EQ(M_Polygon().polygonPoints.size(), 9U);
  EXPECT_EQ(M_Polygon().polygonPoints[0], 1234.56789012346);
  EXPECT_EQ(M_Polygon().polygonPoints[1], 0.1);
}

TEST_F(SelectionTest, TheReachSelectorFillsOnlyTheReachList) {
  M_Polygon().pickedEntity = First("AcDbPolyline");
  BuildPolygonPoints();
  const std::vector<double> runPolygon = M_Polygon().polygonPoints;
  M_Polygon().pickedEntity = First("AcDb2dPolyline");
  M_Polygon().reachSelector = true;
  BuildPolygonPoints();
  EXPECT_EQ(M_Polygon().polygonPoints, runPolygon);
  EXPECT_EQ(M_Polygon().reachPoints, (std::vector<double>{1, 1, 0, 4, 1, 0, 4, 3, 0}));
}

TEST_F(SelectionTest, AnEntityWithoutVerticesFailsToTheCaller) {
  M_Polygon().pickedEntity = First("AcDbLine");
  EXPECT_THROW(BuildPolygonPoints(), cad::HostError);
  M_Polygon().pickedEntity = nullptr;
  EXPECT_THROW(BuildPolygonPoints(), cad::HostError);
}

TEST_F(SelectionTest, AWindowPolygonFromThePickedRectangleTakesTheReferencesInside) {
  M_Polygon().pickedEntity = First("AcDbPolyline");
  BuildPolygonPoints();
  DeleteSelectionSet(kSS2);
  CreateSelectionSet(kSS2);
  SetFilterEntry0(kFilterBlockName, "VALVE");
  M_Select().SS2->SelectByPolygon(cad::SelectMode::WindowPolygon, M_Polygon().polygonPoints, M_Select().filter);
  ASSERT_EQ(M_Select().SS2->Count(), 1);
  EXPECT_EQ(cad::As<cad::BlockReference>(M_Select().SS2->Item(0))->InsertionPoint(), (cad::Point3{5, 2.5, 0}));
}

}  // namespace
}  // namespace selection
