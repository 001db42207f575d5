// The built-in host's command line: the regular-polygon command and its errors.
#include <cmath>
#include <numbers>

#include "host_fixture.h"

namespace cadhost::testing {
namespace {

constexpr double kPi = std::numbers::pi;

struct PolygonCase {
  std::string name;
  std::string command;
  int sides;
  cad::Point3 center;
  double vertexRadius;  // distance of every vertex from the centre
};

class PolygonCommandTest : public HostTest, public ::testing::WithParamInterface<PolygonCase> {};

TEST_P(PolygonCommandTest, DrawsAClosedRegularPolygonOnTheCurrentLayerAsLastEntity) {
  const PolygonCase& c = GetParam();
  doc->Layers()->Add("REACH");
  doc->ActiveLayer(doc->Layers()->Item("REACH"));
  model->AddLine({0, 0, 0}, {1, 1, 0});
  doc->SendCommand(c.command);
  auto last = NewSet();
  last->Select(cad::SelectMode::Last);
  ASSERT_EQ(last->Count(), 1);
  auto polygon = cad::As<cad::Polyline>(last->Item(0));
  EXPECT_EQ(polygon->ObjectName(), "AcDbPolyline");
  EXPECT_EQ(polygon->Layer(), "REACH");
  EXPECT_TRUE(polygon->Closed());
  auto xy = polygon->Coordinates();
  ASSERT_EQ(xy.size(), static_cast<std::size_t>(2 * c.sides));
  double side = -1;
  for (int k = 0; k < c.sides; ++k) {
    double x = xy[2 * k], y = xy[2 * k + 1];
    EXPECT_NEAR(std::hypot(x - c.center.x, y - c.center.y), c.vertexRadius, 1e-9);
    double nx = xy[(2 * k + 2) % xy.size()], ny = xy[(2 * k + 3) % xy.size()];
    double length = std::hypot(nx - x, ny - y);
    if (side >= 0) {
      EXPECT_NEAR(length, side, 1e-9);
    }
    side = length;
  }
  // The bottom edge is horizontal, below the centre.
  EXPECT_NEAR(xy[1], xy[3], 1e-9);
  EXPECT_LT(xy[1], c.center.y);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, PolygonCommandTest,
    ::testing::Values(
        PolygonCase{"CircumscribedTwelve", "polygon\r12\r100.5,-20,0\rC\r3\r", 12, {100.5, -20, 0},
                    3 / std::cos(kPi / 12)},
        PolygonCase{"InscribedSix", "POLYGON\r6\r0,0,0\rI\r2\r", 6, {0, 0, 0}, 2},
        PolygonCase{"DefaultsAndSpacesEndWords", "_polygon  1,2 \r5\r", 4, {1, 2, 0}, 5},
        PolygonCase{"BadAnswersArePromptedAgain", "polygon\r2\rabc\r3\rx,y\r0,0\rQ\rc\r-1\r1\r", 3,
                    {0, 0, 0}, 1 / std::cos(kPi / 3)}),
    [](const auto& info) { return info.param.name; });

TEST_F(HostTest, UnknownCommandsAreReportedNotThrown) {
  EXPECT_NO_THROW(doc->SendCommand("frobnicate\r"));
  const auto& history = doc->commandLine().History();
  ASSERT_FALSE(history.empty());
  EXPECT_EQ(history.back(), "Unknown command \"frobnicate\".  Press F1 for help.");
  EXPECT_EQ(model->Count(), 0);
}

TEST_F(HostTest, ACommandWaitsAcrossInputsAndEscapeCancelsIt) {
  doc->SendCommand("polygon\r12\r");
  EXPECT_TRUE(doc->commandLine().Busy());
  doc->SendCommand("0,0,0\rC\r");
  doc->SendCommand("1\r");
  EXPECT_FALSE(doc->commandLine().Busy());
  EXPECT_EQ(model->Count(), 1);
  doc->SendCommand("polygon\r5\r\x1b");
  EXPECT_FALSE(doc->commandLine().Busy());
  EXPECT_EQ(doc->commandLine().History().back(), "Specify center of polygon: *Cancel*");
  EXPECT_EQ(model->Count(), 1);
}

}  // namespace
}  // namespace cadhost::testing
