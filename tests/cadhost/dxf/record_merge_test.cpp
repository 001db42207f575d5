#include <gtest/gtest.h>

#include "cadhost/dxf/record_merge.h"

namespace cadhost::dxf {
namespace {

TEST(MergeRecord, ReplacesFieldsInPlaceAndKeepsEverythingElse) {
  const Tags source{{0, "INSERT"}, {5, "40"}, {102, "{ACAD_XDICTIONARY"}, {360, "9A"}, {102, "}"},
                    {330, "1F"}, {100, "AcDbEntity"}, {8, "Heads"}, {100, "AcDbBlockReference"},
                    {66, "1"}, {2, "VALVE"}, {10, "10.000"}, {20, "20.0"}, {30, "0.0"}, {210, "0.0"},
                    {62, "5"}, {1001, "Old"}, {1000, "x"}};
  // Layer changed, colour back to ByLayer (no 62), rotation set (new 50).
  const Tags canonical{{0, "INSERT"}, {5, "40"}, {330, "1F"}, {100, "AcDbEntity"}, {8, "Valves"},
                       {100, "AcDbBlockReference"}, {66, "1"}, {2, "VALVE"}, {10, "10"}, {20, "20"},
                       {30, "0"}, {50, "90"}};
  const Tags merged = mergeRecord(&source, canonical, {5, 330, 8, 62, 66, 2, 10, 20, 30, 50},
                                  Tags{{1001, "Flags"}, {1070, "1"}});
  const Tags expected{{0, "INSERT"}, {5, "40"}, {102, "{ACAD_XDICTIONARY"}, {360, "9A"}, {102, "}"},
                      {330, "1F"}, {100, "AcDbEntity"}, {8, "Valves"}, {100, "AcDbBlockReference"},
                      {66, "1"}, {2, "VALVE"}, {10, "10.000"}, {20, "20.0"}, {30, "0.0"}, {50, "90"},
                      {210, "0.0"}, {1001, "Flags"}, {1070, "1"}};
  EXPECT_EQ(merged, expected);
}

TEST(MergeRecord, RepeatedCodesFollowTheFieldsOrder) {
  // A polyline that lost its last vertex and got a bulge on the first.
  const Tags source{{0, "LWPOLYLINE"}, {90, "3"}, {10, "0"}, {20, "0"}, {10, "1"}, {20, "0"}, {10, "1"}, {20, "1"}};
  const Tags canonical{{0, "LWPOLYLINE"}, {90, "2"}, {10, "0"}, {20, "0"}, {42, "0.5"}, {10, "1"}, {20, "0"}};
  const Tags merged = mergeRecord(&source, canonical, {90, 10, 20, 42}, {});
  EXPECT_EQ(merged, canonical);
}

TEST(MergeRecord, NewRecordIsItsCanonicalTags) {
  const Tags canonical{{0, "LINE"}, {8, "0"}};
  EXPECT_EQ(mergeRecord(nullptr, canonical, {8}, Tags{{1001, "A"}}), (Tags{{0, "LINE"}, {8, "0"}, {1001, "A"}}));
}

}  // namespace
}  // namespace cadhost::dxf
