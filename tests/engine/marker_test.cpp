// Marker shapes against the built-in host: the "zLemon" definition made once
// (its geometry as written to DXF read back with ezdxf), an existing one kept,
// the size, colour, wording and flag data of each marker.
#include "engine/marker.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <memory>

#include "engine/flags.h"

#include "../inventory/work_window_fixture.h"

namespace workwindow_test {
namespace {

class MarkerTest : public WorkWindowTest {
 public:
  void SetUp() override {
    WorkWindowTest::SetUp();
    MakeBlock("OAK");
    oak = Insert("OAK", 5, 5);
  }
  engine::MarkerRequest Request(const std::string& wording, double scale = 1.0) {
    engine::MarkerRequest request;
    request.insertionPoint = {5, 5, 0};
    request.oldReference = oak;
    request.wording = wording;
    request.sizeFactor = engine::kMarkerSizeRatio * scale;
    return request;
  }
  std::string FlagValue(const cad::BlockReferencePtr& marker) {
    return marker->GetAttributes().at(0)->TextString();
  }
  // Output of a Python program run with Debian's interpreter on `argument`.
  static std::string RunPython(const std::string& program, const std::string& argument) {
    const std::string command = "/usr/bin/python3 -c '" + program + "' '" + argument + "' 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    std::string output;
    std::array<char, 512> buffer{};
    while (pipe && std::fgets(buffer.data(), buffer.size(), pipe.get())) output += buffer.data();
    return output;
  }

  cad::BlockReferencePtr oak;
};

TEST_F(MarkerTest, ShapeIsMadeOnceAndEachMarkerIsScaledRedAndFlagged) {
  const long blocksBefore = doc->Blocks()->Count();
  auto first = engine::PlaceMarker(Request("No valid Text Reached"));
  auto second = engine::PlaceMarker(Request(">1 TextString Found", 2));
  EXPECT_EQ(doc->Blocks()->Count(), blocksBefore + 1);
  auto shape = doc->Blocks()->Item("zLemon");
  ASSERT_EQ(shape->Count(), 6);
  for (long i = 0; i < shape->Count(); ++i) EXPECT_EQ(shape->Item(i)->color(), 0) << i;

  EXPECT_EQ(first->Name(), "zLemon");
  EXPECT_EQ(first->InsertionPoint(), (cad::Point3{5, 5, 0}));
  EXPECT_DOUBLE_EQ(first->XScaleFactor(), 0.3);
  EXPECT_DOUBLE_EQ(second->XScaleFactor(), 0.6);
  EXPECT_DOUBLE_EQ(first->Rotation(), 0.0);
  EXPECT_EQ(first->color(), 1);
  EXPECT_EQ(FlagValue(first), "No valid Text Reached");
  EXPECT_EQ(FlagValue(second), ">1 TextString Found");
  EXPECT_EQ(first->GetXData("Flags"), engine::FlagXData("No valid Text Reached"));

  // 16 units across at scale 0.3: the top of the lemon is 2.4 above the insertion point.
  cad::Point3 lower;
  cad::Point3 upper;
  first->GetBoundingBox(lower, upper);
  EXPECT_NEAR(upper.y - 5, 2.4, 1e-6);
}

TEST_F(MarkerTest, WordingsBlankAndUseBlockName) {
  struct Case {
    const char* wording;
    const char* shown;
  };
  const std::vector<Case> cases{
      {"blank", "?"}, {"BLANK", "?"}, {"", "?"}, {"use block name", "OAK"},
      {"Use Block Name", "OAK"}, {"Check station", "Check station"}};
  for (const Case& c : cases) {
    auto marker = engine::PlaceMarker(Request(c.wording));
    EXPECT_EQ(FlagValue(marker), c.shown) << c.wording;
    EXPECT_EQ(marker->GetXData("Flags"), engine::FlagXData(c.wording)) << c.wording;
  }
}

TEST_F(MarkerTest, ExistingShapeIsUsedAsItIs) {
  auto own = doc->Blocks()->Add({0, 0, 0}, "ZLEMON");
  own->AddLine({0, 0, 0}, {1, 1, 0});
  auto marker = engine::PlaceMarker(Request("No valid Text Reached"));
  EXPECT_EQ(own->Count(), 1);
  EXPECT_EQ(marker->Name(), "ZLEMON");
  EXPECT_FALSE(marker->HasAttributes());
  EXPECT_EQ(marker->GetXData("Flags"), engine::FlagXData("No valid Text Reached"));
}

TEST_F(MarkerTest, MissingOtherShapeFailsAndChangesNothing) {
  const long blocksBefore = doc->Blocks()->Count();
  const long entitiesBefore = model->Count();
  auto request = Request("x");
  request.shapeName = "zDiamond";
  EXPECT_THROW(engine::PlaceMarker(request), cad::HostError);
  EXPECT_EQ(doc->Blocks()->Count(), blocksBefore);
  EXPECT_EQ(model->Count(), entitiesBefore);
}

TEST_F(MarkerTest, ShapeGeometryAsWrittenToDxf) {
  engine::PlaceMarker(Request("No valid Text Reached"));
  const std::string path = (folder / "marker.dxf").string();
  doc->SaveAs(path);
  const std::string program = R"PY(
import sys, ezdxf
doc = ezdxf.readfile(sys.argv[1])
block = doc.blocks.get("zLemon")
r = lambda v: round(v, 3) + 0.0
print("BASE", [r(v) for v in block.block.dxf.base_point])
for e in block:
    t = e.dxftype()
    if t == "LWPOLYLINE":
        print(t, e.dxf.color, [(r(p[0]), r(p[1])) for p in e.get_points()], e.closed)
    elif t == "ARC":
        print(t, e.dxf.color, [r(v) for v in e.dxf.center], r(e.dxf.radius), r(e.dxf.start_angle), r(e.dxf.end_angle))
    elif t == "LINE":
        print(t, e.dxf.color, [r(v) for v in e.dxf.start], [r(v) for v in e.dxf.end])
    elif t == "ATTDEF":
        print(t, e.dxf.color, e.dxf.tag, e.dxf.text, e.dxf.prompt, r(e.dxf.height), e.dxf.halign, e.dxf.valign, e.dxf.flags)
    else:
        print("OTHER", t)
)PY";
  EXPECT_EQ(RunPython(program, path),
            "BASE [0.0, 0.0, 0.0]\n"
            "LWPOLYLINE 0 [(8.0, 0.0), (8.0, 8.0), (0.0, 8.0)] False\n"
            "LWPOLYLINE 0 [(-8.0, 0.0), (-8.0, -8.0), (0.0, -8.0)] False\n"
            "ARC 0 [0.0, 0.0, 0.0] 8.0 270.0 0.0\n"
            "ARC 0 [0.0, 0.0, 0.0] 8.0 90.0 180.0\n"
            "LINE 0 [-0.05, 0.0, 0.0] [0.05, 0.0, 0.0]\n"
            "ATTDEF 0 Flag ? Flag 5.0 1 2 0\n");
}

}  // namespace
}  // namespace workwindow_test
