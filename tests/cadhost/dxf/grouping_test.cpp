#include <gtest/gtest.h>

#include "cadhost/dxf/error.h"
#include "cadhost/dxf/grouping.h"
#include "cadhost/dxf/tag_reader.h"
#include "tests/cadhost/dxf/dxf_fixture.h"

namespace cadhost::dxf {
namespace {

TagList fixture() { return readTags(test::asciiDxf(test::r2000Drawing()), "f.dxf"); }

TEST(Grouping, SectionsTablesBlocksAndEntitiesWithSubEntities) {
  const TagList tags = fixture();
  const auto sections = splitSections(tags, "f.dxf");
  ASSERT_EQ(sections.size(), 5u);
  EXPECT_EQ(sections[0].name, "HEADER");
  EXPECT_EQ(sections[4].name, "OBJECTS");

  const auto variables = headerVariables(tags, sections[0]);
  ASSERT_EQ(variables.size(), 6u);
  EXPECT_EQ(variables[2].name, "$DWGCODEPAGE");
  EXPECT_EQ(variables[3].tags.last - variables[3].tags.first, 4u);  // $INSBASE and its point

  const auto tables = groupTables(tags, sections[1], "f.dxf");
  ASSERT_EQ(tables.size(), 4u);
  EXPECT_EQ(tables[1].name, "LAYER");
  EXPECT_EQ(tables[1].entries.size(), 2u);

  const auto blocks = groupBlocks(tags, sections[2], "f.dxf");
  ASSERT_EQ(blocks.size(), 3u);
  EXPECT_EQ(blocks[2].entities.size(), 2u);

  const auto records = splitRecords(tags, sections[3].bodyFirst, sections[3].bodyLast);
  const auto entities = groupEntities(tags, records);
  ASSERT_EQ(entities.size(), 4u);
  EXPECT_EQ(tags.value(entities[0].head.first), "INSERT");
  ASSERT_EQ(entities[0].children.size(), 2u);  // ATTRIB, SEQEND
  EXPECT_EQ(tags.value(entities[0].children[1].first), "SEQEND");
}

TEST(Grouping, RecordLayoutFindsAppDataSubclassesAndExtendedData) {
  const TagList tags = fixture();
  const auto sections = splitSections(tags, "f.dxf");
  const auto records = splitRecords(tags, sections[3].bodyFirst, sections[3].bodyLast);
  const Record line = records[3];
  ASSERT_EQ(tags.value(line.first), "LINE");
  const RecordLayout layout = layoutOf(tags, line);
  ASSERT_EQ(layout.appData.size(), 1u);
  EXPECT_EQ(layout.appData[0].name, "ACAD_REACTORS");
  ASSERT_EQ(layout.subclasses.size(), 2u);
  EXPECT_EQ(layout.subclasses[1].name, "AcDbLine");
  ASSERT_EQ(layout.xdata.size(), 1u);
  EXPECT_EQ(layout.xdata[0].name, "Flags");
  EXPECT_EQ(layout.xdata[0].tags.last, line.last);
}

struct BrokenStructure {
  const char* name;
  test::Pairs pairs;
  std::string message;
};

class BrokenDrawing : public testing::TestWithParam<BrokenStructure> {};

TEST_P(BrokenDrawing, SaysWhereAndWhat) {
  const TagList tags = readTags(test::asciiDxf(GetParam().pairs), "bad.dxf");
  try {
    for (const Section& s : splitSections(tags, "bad.dxf")) {
      if (s.name == "TABLES") groupTables(tags, s, "bad.dxf");
      if (s.name == "BLOCKS") groupBlocks(tags, s, "bad.dxf");
    }
    FAIL() << "accepted a broken drawing";
  } catch (const DxfError& e) {
    EXPECT_EQ(std::string(e.what()), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrokenDrawing,
    testing::Values(
        BrokenStructure{"TagOutsideSection", {{8, "0"}}, "bad.dxf, line 1: expected \"0 SECTION\", found group code 8"},
        BrokenStructure{"SectionWithoutName", {{0, "SECTION"}, {0, "ENDSEC"}}, "bad.dxf, line 1: a section has no name"},
        BrokenStructure{"SectionNotClosed", {{0, "SECTION"}, {2, "ENTITIES"}, {0, "LINE"}, {0, "EOF"}},
                        "bad.dxf, line 7: section ENTITIES is not closed by ENDSEC"},
        BrokenStructure{"TableNotClosed", {{0, "SECTION"}, {2, "TABLES"}, {0, "TABLE"}, {2, "LAYER"}, {0, "ENDSEC"}},
                        "bad.dxf, line 5: table LAYER is not closed by ENDTAB"},
        BrokenStructure{"BlockNotClosed", {{0, "SECTION"}, {2, "BLOCKS"}, {0, "BLOCK"}, {2, "A"}, {0, "LINE"}, {0, "ENDSEC"}},
                        "bad.dxf, line 5: a block is not closed by ENDBLK"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace cadhost::dxf
