// Extents and scaling of entities in the built-in host.
#include <cmath>
#include <numbers>

#include "cadhost/geometry.h"
#include "host_fixture.h"

namespace cadhost::testing {
namespace {

constexpr double kPi = std::numbers::pi;

struct BoxCase {
  std::string name;
  std::function<cad::EntityPtr(HostTest&, cad::Block&)> make;
  cad::Point3 min, max;
};

class BoundingBoxTest : public HostTest, public ::testing::WithParamInterface<BoxCase> {
 public:
  using HostTest::MakeBlock;
};

TEST_P(BoundingBoxTest, ExtentsAreTheEntitysRealGeometry) {
  auto entity = GetParam().make(*this, *model);
  cad::Point3 lo, hi;
  entity->GetBoundingBox(lo, hi);
  EXPECT_NEAR(lo.x, GetParam().min.x, 1e-6);
  EXPECT_NEAR(lo.y, GetParam().min.y, 1e-6);
  EXPECT_NEAR(hi.x, GetParam().max.x, 1e-6);
  EXPECT_NEAR(hi.y, GetParam().max.y, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(
    Entities, BoundingBoxTest,
    ::testing::Values(
        BoxCase{"Line", [](HostTest&, cad::Block& m) { return m.AddLine({3, 4, 0}, {1, 7, 0}); },
                {1, 4, 0}, {3, 7, 0}},
        // A quarter arc from 45 to 135 degrees passes the top quadrant point.
        BoxCase{"ArcThroughQuadrant",
                [](HostTest&, cad::Block& m) { return m.AddArc({0, 0, 0}, 2, kPi / 4, 3 * kPi / 4); },
                {-std::sqrt(2.0), std::sqrt(2.0), 0}, {std::sqrt(2.0), 2, 0}},
        // Ending at 0 degrees the arc crosses from the fourth into the first quadrant.
        BoxCase{"ArcAcrossZero",
                [](HostTest&, cad::Block& m) { return m.AddArc({0, 0, 0}, 1, 3 * kPi / 2, kPi / 2); },
                {0, -1, 0}, {1, 1, 0}},
        BoxCase{"PolylineWithBulge",
                [](HostTest& t, cad::Block& m) -> cad::EntityPtr {
                  auto p = m.AddLightWeightPolyline({0, 0, 2, 0});
                  // A half circle bulging below the chord from (0,0) to (2,0).
                  t.doc->drawing().ChangeEntity(
                      t.doc->drawing().LastEntity(), [](Entity& e) {
                        std::get<LwPolylineData>(e.data).vertices[0].bulge = 1;
                      });
                  return p;
                },
                {0, -1, 0}, {2, 0, 0}},
        // Left-aligned text: four characters of height 2, 0.8 height per character.
        BoxCase{"Text", [](HostTest&, cad::Block& m) { return m.AddText("ABCD", {1, 1, 0}, 2); },
                {1, 1, 0}, {1 + 4 * 2 * 0.8, 3, 0}},
        BoxCase{"MiddleCenterText",
                [](HostTest&, cad::Block& m) -> cad::EntityPtr {
                  auto t = m.AddText("AB", {0, 0, 0}, 1);
                  t->Alignment(cad::kAlignmentMiddleCenter);
                  t->TextAlignmentPoint({10, 10, 0});
                  return t;
                },
                {10 - 0.8, 9.5, 0}, {10 + 0.8, 10.5, 0}},
        BoxCase{"RotatedScaledReference",
                [](HostTest& t, cad::Block& m) -> cad::EntityPtr {
                  t.MakeBlock("B");  // 2 x 1 rectangle
                  return m.InsertBlock({10, 10, 0}, "B", 2, 3, 1, kPi / 2);
                },
                {7, 10, 0}, {10, 14, 0}}),
    [](const auto& info) { return info.param.name; });

TEST_F(HostTest, ReferenceExtentsHoldItsAttributesAndNestedBlocks) {
  auto inner = doc->Blocks()->Add({0, 0, 0}, "INNER");
  inner->AddLine({0, 0, 0}, {1, 0, 0});
  auto outer = doc->Blocks()->Add({0, 0, 0}, "OUTER");
  outer->InsertBlock({5, 0, 0}, "INNER", 3, 3, 3, 0);  // spans x 5..8
  outer->AddAttribute(1, 0, "?", {0, 2, 0}, "TAG", "ABCDE");  // 5 x 0.8 wide, y 2..3
  outer->AddAttribute(1, 1 /* invisible */, "?", {0, 9, 0}, "HIDDEN", "ABCDE");
  auto ref = model->InsertBlock({0, 0, 0}, "OUTER", 1, 1, 1, 0);
  cad::Point3 lo, hi;
  ref->GetBoundingBox(lo, hi);
  EXPECT_NEAR(lo.x, 0, 1e-9);
  EXPECT_NEAR(lo.y, 0, 1e-9);
  EXPECT_NEAR(hi.x, 8, 1e-9);
  EXPECT_NEAR(hi.y, 3, 1e-9);  // the invisible attribute at y 9 is not shown
  auto hidden = ref->GetAttributes().at(1);
  hidden->GetBoundingBox(lo, hi);  // but has extents of its own
  EXPECT_NEAR(lo.y, 9, 1e-9);
}

TEST_F(HostTest, BlocksThatContainThemselvesAreRefusedOrCutShort) {
  auto a = doc->Blocks()->Add({0, 0, 0}, "A");
  auto b = doc->Blocks()->Add({0, 0, 0}, "B");
  a->AddLine({0, 0, 0}, {1, 0, 0});
  a->InsertBlock({0, 0, 0}, "B", 1, 1, 1, 0);
  EXPECT_THROW(b->InsertBlock({0, 0, 0}, "A", 1, 1, 1, 0), cad::HostError);
  EXPECT_THROW(a->InsertBlock({0, 0, 0}, "a", 1, 1, 1, 0), cad::HostError);
  // A malformed drawing may hold such a loop anyway: B shows A twice.
  Drawing& drawing = doc->drawing();
  for (double x : {0.0, 5.0}) {
    Entity loop;
    InsertData insert;
    insert.blockName = "A";
    insert.insertion = {x, 0, 0};
    loop.data = insert;
    drawing.AddEntity(drawing.db().FindBlock("B"), loop);
  }
  auto ref = model->InsertBlock({0, 0, 0}, "A", 1, 1, 1, 0);
  cad::Point3 lo, hi;
  ref->GetBoundingBox(lo, hi);
  EXPECT_NEAR(hi.x, 1, 1e-9);  // B shows no second copy of A inside A
  auto set = NewSet();
  set->SelectByPolygon(cad::SelectMode::WindowPolygon, {-1, -1, 0, 7, -1, 0, 7, 1, 0, -1, 1, 0});
  EXPECT_EQ(set->Count(), 1);
}

TEST_F(HostTest, ScaleEntityScalesAboutTheBasePointWithAttributes) {
  MakeBlock("B", {{"T", "v"}});
  auto ref = model->InsertBlock({10, 0, 0}, "B", 1, 1, 1, 0);
  auto attribute = ref->GetAttributes().at(0);
  ref->ScaleEntity({0, 0, 0}, 2);
  EXPECT_EQ(ref->InsertionPoint(), (cad::Point3{20, 0, 0}));
  EXPECT_DOUBLE_EQ(ref->XScaleFactor(), 2);
  EXPECT_DOUBLE_EQ(ref->YScaleFactor(), 2);
  EXPECT_NEAR(attribute->InsertionPoint().x, 20.4, 1e-12);
  EXPECT_NEAR(attribute->Height(), 0.2, 1e-12);
  Entity circleEntity;
  circleEntity.data = CircleData{{1, 1, 0}, 1};
  auto circle = doc->drawing().AddEntity(doc->drawing().db().ModelSpace(), circleEntity);
  auto circleObject = doc->HandleToObject(HandleText(doc->drawing().db().At(circle).handle));
  cad::As<cad::Entity>(circleObject)->ScaleEntity({1, 1, 0}, 3);
  cad::Point3 lo, hi;
  cad::As<cad::Entity>(circleObject)->GetBoundingBox(lo, hi);
  EXPECT_NEAR(lo.x, -2, 1e-9);
  EXPECT_NEAR(hi.y, 4, 1e-9);
  EXPECT_THROW(ref->ScaleEntity({0, 0, 0}, 0), cad::HostError);
  EXPECT_THROW(ref->ScaleEntity({0, 0, 0}, -1), cad::HostError);
}

TEST(ObjectCoordinates, TheArbitraryAxisAlgorithmMapsPlanesToTheWorld) {
  struct Case {
    Point normal, ocs, world;
  };
  const double r = std::sqrt(0.5);
  const Case cases[] = {
      {{0, 0, 1}, {1, 2, 3}, {1, 2, 3}},
      {{0, 0, -1}, {10, 5, 0}, {-10, 5, 0}},  // a plan mirrored in x
      {{0, 0, -2}, {10, 5, 1}, {-10, 5, -1}},  // any length
      {{1, 0, 0}, {1, 2, 3}, {3, 1, 2}},      // x axis from world z x normal
      {{0, 1, 0}, {1, 2, 3}, {-1, 3, 2}},
      {{r, 0, r}, {1, 0, 0}, {0, 1, 0}},
  };
  for (const Case& c : cases) {
    const Point world = OcsToWcs(c.ocs, c.normal);
    EXPECT_NEAR(world.x, c.world.x, 1e-12);
    EXPECT_NEAR(world.y, c.world.y, 1e-12);
    EXPECT_NEAR(world.z, c.world.z, 1e-12);
    const Point back = WcsToOcs(world, c.normal);
    EXPECT_NEAR(back.x, c.ocs.x, 1e-12);
    EXPECT_NEAR(back.y, c.ocs.y, 1e-12);
    EXPECT_NEAR(back.z, c.ocs.z, 1e-12);
  }
  EXPECT_TRUE(IsWorldNormal({0, 0, 1}));
  EXPECT_FALSE(IsWorldNormal({0, 0, -1}));
}

TEST(ReferencePlacements, OneCopyPerCellOfARotatedGrid) {
  InsertData insert;
  insert.insertion = {100, 50, 0};
  insert.rotation = kPi / 2;
  insert.columns = 2;
  insert.rows = 3;
  insert.columnSpacing = 10;
  insert.rowSpacing = 5;
  const std::vector<Transform> placements = ReferencePlacements(insert, {1, 1, 0});
  ASSERT_EQ(placements.size(), 6U);
  // The block's base point lands on each cell: row 2, column 1 is 10 along the
  // turned x axis and 10 along the turned y axis.
  const Point cell = placements[2 * 2 + 1].Apply({1, 1, 0});
  EXPECT_NEAR(cell.x, 100 - 10, 1e-9);
  EXPECT_NEAR(cell.y, 50 + 10, 1e-9);

  InsertData plain;
  plain.columns = 0;  // as old files write a plain reference
  EXPECT_EQ(ReferencePlacements(plain, {}).size(), 1U);
}

}  // namespace
}  // namespace cadhost::testing
