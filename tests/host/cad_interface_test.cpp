#include "host/cad.h"

#include <gtest/gtest.h>

namespace {

// An entity type without the late-bound members, as a line is.
class PlainEntity : public cad::Entity {
 public:
  std::string ObjectName() const override { return "AcDbLine"; }
  std::string Handle() const override { return "2A"; }
  std::string Layer() const override { return "0"; }
  void Layer(const std::string&) override {}
  int color() const override { return cad::kColorByLayer; }
  void color(int) override {}
  void Update() override {}
  void GetBoundingBox(cad::Point3&, cad::Point3&) const override {}
  void ScaleEntity(const cad::Point3&, double) override {}
  cad::XData GetXData(const std::string&) const override { return {}; }
  void SetXData(const cad::XData&) override {}
  void Delete() override {}
};

TEST(CadInterface, LateBoundMembersFailOnEntitiesThatLackThem) {
  PlainEntity line;
  EXPECT_THROW((void)line.Closed(), cad::HostError);
  EXPECT_THROW((void)line.Coordinates(), cad::HostError);
  EXPECT_THROW((void)line.TextString(), cad::HostError);
  EXPECT_THROW(line.TextString("x"), cad::HostError);
}

TEST(CadInterface, AsFailsLikeALateBoundCall) {
  cad::EntityPtr line = std::make_shared<PlainEntity>();
  try {
    cad::As<cad::BlockReference>(line);
    FAIL() << "expected a HostError";
  } catch (const cad::HostError& e) {
    EXPECT_EQ(e.Description(), "Object doesn't support this property or method");
  }
  EXPECT_THROW(cad::As<cad::BlockReference>(cad::EntityPtr{}), cad::HostError);
  EXPECT_EQ(cad::As<cad::Entity>(line), line);
}

}  // namespace
