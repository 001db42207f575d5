// The field tables of the modelled entity types: every group a type writes is
// one it models (so a changed record never carries it twice), and what it
// writes reads back as the same fields.
#include <gtest/gtest.h>

#include <numbers>

#include "cadhost/dxf/entity_fields.h"
#include "cadhost/dxf/group_codes.h"

namespace cadhost::dxf {
namespace {

TextFields SampleText() {
  TextFields t;
  t.value = "12-A";
  t.insertion = {1, 2, 3};
  t.alignmentPoint = {4, 5, 6};
  t.height = 2.5;
  t.widthFactor = 0.8;
  t.rotation = std::numbers::pi / 2;
  t.oblique = std::numbers::pi / 12;
  t.style = "ROMANS";
  t.generation = 2;
  t.horizontal = 1;
  t.vertical = 2;
  t.normal = {0, 0, -1};
  return t;
}

// One record of each modelled type with every field away from its default.
std::vector<EntityData> Samples() {
  InsertData insert;
  insert.blockName = "VALVE";
  insert.insertion = {10, 20, 0};
  insert.xScale = -2;
  insert.yScale = 3;
  insert.zScale = 4;
  insert.rotation = std::numbers::pi / 4;
  insert.columns = 2;
  insert.rows = 3;
  insert.columnSpacing = 5;
  insert.rowSpacing = 6;
  insert.normal = {0, 0, -1};
  AttribData attrib{SampleText(), "STATION", 8};
  AttdefData attdef{SampleText(), "STATION", "Station?", 4};
  TextData text{SampleText()};
  MTextData mtext;
  mtext.value = std::string(600, 'x');  // three chunks
  mtext.insertion = {1, 1, 0};
  mtext.direction = {0, 1, 0};
  mtext.height = 3;
  mtext.referenceWidth = 40;
  mtext.attachment = 5;
  mtext.style = "NOTES";
  LineData line{{1, 2, 3}, {4, 5, 6}};
  ArcData arc{{1, 2, 0}, 3, 0.5, 1.5, {0, 0, -1}};
  CircleData circle{{1, 2, 0}, 3, {1, 0, 0}};
  LwPolylineData lw;
  lw.vertices = {{0, 0, 0.1, 0.2, 0.5}, {10, 0, 0, 0, 0}, {10, 5, 0, 0, -1}};
  lw.flags = 1;
  lw.elevation = 2;
  lw.constantWidth = 0.3;
  lw.normal = {0, 0, -1};
  PolylineData polyline;
  polyline.flags = 1;
  polyline.elevation = {0, 0, 4};
  polyline.normal = {0, 0, -1};
  VertexData vertex{{1, 2, 0}, 0.5, 32};
  PointData point{{7, 8, 9}};
  return {insert, attrib, attdef, text, mtext, line, arc, circle, lw, polyline, vertex, point};
}

TEST(EntityFields, WhatATypeWritesItModelsAndReadsBackAlike) {
  const TextCodec codec("AC1015", "ANSI_1252");
  for (const EntityData& sample : Samples()) {
    SCOPED_TRACE(DxfTypeName(sample));
    TagBuilder builder{codec, false, {}};
    const std::set<int>& modelled = WriteEntityFields(sample, builder, true);
    EntityData again = sample;
    std::visit([](auto& data) { data = std::decay_t<decltype(data)>{}; }, again);
    FieldReadState state;
    for (std::size_t i = 0; i < builder.tags.size(); ++i) {
      const int code = builder.tags.code(i);
      if (code == codes::kSubclass) continue;
      EXPECT_TRUE(modelled.contains(code)) << "group " << code << " is written but not modelled";
      ReadEntityField(again, code, builder.tags.value(i), codec, state);
    }
    // Written again, the fields read back give the same tags.
    TagBuilder second{codec, false, {}};
    WriteEntityFields(again, second, true);
    ASSERT_EQ(second.tags.size(), builder.tags.size());
    for (std::size_t i = 0; i < builder.tags.size(); ++i) {
      EXPECT_EQ(second.tags.code(i), builder.tags.code(i));
      EXPECT_EQ(second.tags.value(i), builder.tags.value(i)) << "group " << builder.tags.code(i);
    }
  }
}

}  // namespace
}  // namespace cadhost::dxf
