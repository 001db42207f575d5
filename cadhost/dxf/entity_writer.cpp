#include "cadhost/dxf/entity_writer.h"

#include "cadhost/dxf/record_merge.h"
#include "cadhost/geometry.h"
#include "cadhost/dxf/values.h"

namespace cadhost::dxf {

namespace {

// Builds a record's canonical tags.
struct TagBuilder {
  const WriteContext& context;
  Tags tags;

  void add(int code, std::string value) { tags.push_back(Tag{code, std::move(value)}); }
  void text(int code, std::string_view value) { add(code, context.codec.encode(value)); }
  void number(int code, double value) { add(code, formatDouble(value)); }
  void integer(int code, int value) { add(code, std::to_string(value)); }
  void angle(int code, double radians) { number(code, radiansToDegrees(radians)); }
  void point(int code, const Point& p) {
    number(code, p.x);
    number(code + 10, p.y);
    number(code + 20, p.z);
  }
  void subclass(const char* name) {
    if (!context.r12) add(100, name);
  }
  // 210: the plane of a planar entity, written when it is not the world's.
  void normal(const Point& n) {
    if (!IsWorldNormal(n)) point(210, n);
  }
};

const std::set<int> kCommonCodes{5, 330, 8, 62, 6, 67};

std::set<int> with(std::initializer_list<int> codes) {
  std::set<int> all = kCommonCodes;
  all.insert(codes);
  return all;
}

void textFields(TagBuilder& b, const TextFields& t) {
  b.point(10, t.insertion);
  b.number(40, t.height);
  b.text(1, t.value);
  if (t.rotation != 0.0) b.angle(50, t.rotation);
  if (t.widthFactor != 1.0) b.number(41, t.widthFactor);
  if (t.oblique != 0.0) b.angle(51, t.oblique);
  if (t.style != "Standard") b.text(7, t.style);
  if (t.generation != 0) b.integer(71, t.generation);
  if (t.horizontal != 0) b.integer(72, t.horizontal);
  if (t.horizontal != 0 || t.vertical != 0) b.point(11, t.alignmentPoint);
  b.normal(t.normal);
}

const std::set<int> kTextCodes = with({10, 20, 30, 40, 1, 50, 41, 51, 7, 71, 72, 11, 21, 31, 73, 210, 220, 230});
const std::set<int> kAttributeCodes = with({10, 20, 30, 40, 1, 50, 41, 51, 7, 71, 72, 11, 21, 31, 2, 3, 70, 74,
                                            210, 220, 230});

struct CanonicalFields {
  TagBuilder& b;
  bool hasAttributes = false;
  std::set<int> modelled;

  void operator()(const InsertData& d) {
    modelled = with({66, 2, 10, 20, 30, 41, 42, 43, 50, 70, 71, 44, 45, 210, 220, 230});
    b.subclass(d.columns > 1 || d.rows > 1 ? "AcDbMInsertBlock" : "AcDbBlockReference");
    if (hasAttributes) b.integer(66, 1);
    b.text(2, d.blockName);
    b.point(10, d.insertion);
    if (d.xScale != 1.0) b.number(41, d.xScale);
    if (d.yScale != 1.0) b.number(42, d.yScale);
    if (d.zScale != 1.0) b.number(43, d.zScale);
    if (d.rotation != 0.0) b.angle(50, d.rotation);
    if (d.columns != 1) b.integer(70, d.columns);
    if (d.rows != 1) b.integer(71, d.rows);
    if (d.columnSpacing != 0.0) b.number(44, d.columnSpacing);
    if (d.rowSpacing != 0.0) b.number(45, d.rowSpacing);
    b.normal(d.normal);
  }
  void operator()(const AttribData& d) {
    modelled = kAttributeCodes;
    b.subclass("AcDbText");
    textFields(b, d.text);
    b.subclass("AcDbAttribute");
    b.text(2, d.tag);
    b.integer(70, d.flags);
    if (d.text.vertical != 0) b.integer(74, d.text.vertical);
  }
  void operator()(const AttdefData& d) {
    modelled = kAttributeCodes;
    b.subclass("AcDbText");
    textFields(b, d.text);
    b.subclass("AcDbAttributeDefinition");
    b.text(3, d.prompt);
    b.text(2, d.tag);
    b.integer(70, d.flags);
    if (d.text.vertical != 0) b.integer(74, d.text.vertical);
  }
  void operator()(const TextData& d) {
    modelled = kTextCodes;
    b.subclass("AcDbText");
    textFields(b, d.text);
    b.subclass("AcDbText");
    if (d.text.vertical != 0) b.integer(73, d.text.vertical);
  }
  void operator()(const MTextData& d) {
    modelled = with({10, 20, 30, 11, 21, 31, 40, 41, 50, 71, 7, 1, 3});
    b.subclass("AcDbMText");
    b.point(10, d.insertion);
    b.number(40, d.height);
    b.number(41, d.referenceWidth);
    b.integer(71, d.attachment);
    // Text longer than 250 characters goes in 3 chunks before the final 1.
    const std::string encoded = b.context.codec.encode(d.value);
    std::size_t at = 0;
    while (encoded.size() - at > 250) {
      b.add(3, encoded.substr(at, 250));
      at += 250;
    }
    b.add(1, encoded.substr(at));
    if (d.style != "Standard") b.text(7, d.style);
    b.point(11, d.direction);
  }
  void operator()(const LineData& d) {
    modelled = with({10, 20, 30, 11, 21, 31});
    b.subclass("AcDbLine");
    b.point(10, d.start);
    b.point(11, d.end);
  }
  void operator()(const ArcData& d) {
    modelled = with({10, 20, 30, 40, 50, 51, 210, 220, 230});
    b.subclass("AcDbCircle");
    b.point(10, d.center);
    b.number(40, d.radius);
    b.normal(d.normal);
    b.subclass("AcDbArc");
    b.angle(50, d.startAngle);
    b.angle(51, d.endAngle);
  }
  void operator()(const CircleData& d) {
    modelled = with({10, 20, 30, 40, 210, 220, 230});
    b.subclass("AcDbCircle");
    b.point(10, d.center);
    b.number(40, d.radius);
    b.normal(d.normal);
  }
  void operator()(const LwPolylineData& d) {
    modelled = with({90, 70, 38, 43, 10, 20, 40, 41, 42, 210, 220, 230});
    b.subclass("AcDbPolyline");
    b.integer(90, static_cast<int>(d.vertices.size()));
    b.integer(70, d.flags);
    if (d.elevation != 0.0) b.number(38, d.elevation);
    if (d.constantWidth != 0.0) b.number(43, d.constantWidth);
    for (const LwVertex& v : d.vertices) {
      b.number(10, v.x);
      b.number(20, v.y);
      if (v.startWidth != 0.0) b.number(40, v.startWidth);
      if (v.endWidth != 0.0) b.number(41, v.endWidth);
      if (v.bulge != 0.0) b.number(42, v.bulge);
    }
    b.normal(d.normal);
  }
  void operator()(const PolylineData& d) {
    modelled = with({66, 10, 20, 30, 70, 210, 220, 230});
    b.subclass((d.flags & 8) ? "AcDb3dPolyline" : "AcDb2dPolyline");
    b.integer(66, 1);
    b.point(10, d.elevation);
    b.integer(70, d.flags);
    b.normal(d.normal);
  }
  void operator()(const VertexData& d) {
    modelled = with({10, 20, 30, 42, 70});
    b.subclass("AcDbVertex");
    b.subclass((d.flags & 32) ? "AcDb3dPolylineVertex" : "AcDb2dVertex");
    b.point(10, d.point);
    if (d.bulge != 0.0) b.number(42, d.bulge);
    b.integer(70, d.flags);
  }
  void operator()(const PointData& d) {
    modelled = with({10, 20, 30});
    b.subclass("AcDbPoint");
    b.point(10, d.point);
  }
  void operator()(const SeqEndData&) { modelled = kCommonCodes; }
  void operator()(const OtherData&) { modelled = kCommonCodes; }
};

}  // namespace

Tags xdataTags(const std::vector<ExtendedData>& xdata, const TextCodec& codec) {
  Tags tags;
  for (const ExtendedData& data : xdata) {
    tags.push_back(Tag{1001, codec.encode(data.application)});
    for (const cad::XDataItem& item : data.items) {
      if (const auto* text = std::get_if<std::string>(&item.value)) {
        tags.push_back(Tag{item.code, item.code == 1000 || item.code == 1003 ? codec.encode(*text) : *text});
      } else if (const auto* real = std::get_if<double>(&item.value)) {
        tags.push_back(Tag{item.code, formatDouble(*real)});
      } else if (const auto* integer = std::get_if<std::int32_t>(&item.value)) {
        tags.push_back(Tag{item.code, std::to_string(*integer)});
      } else if (const auto* point = std::get_if<Point>(&item.value)) {
        tags.push_back(Tag{item.code, formatDouble(point->x)});
        tags.push_back(Tag{item.code + 10, formatDouble(point->y)});
        tags.push_back(Tag{item.code + 20, formatDouble(point->z)});
      }
    }
  }
  return tags;
}

Tags entityTags(const Entity& entity, const WriteContext& context, bool hasAttributes) {
  TagBuilder b{context, {}};
  b.add(0, entity.type.empty() ? DxfTypeName(entity.data) : entity.type.str());
  if (entity.handle) b.add(5, HandleText(entity.handle));
  if (!context.r12 && entity.owner) b.add(330, HandleText(entity.owner));
  b.subclass("AcDbEntity");
  if (entity.paperSpace) b.integer(67, 1);
  b.text(8, entity.layer);
  if (!entity.linetype.empty()) b.text(6, entity.linetype);
  if (entity.color != cad::kColorByLayer) b.integer(62, entity.color);
  CanonicalFields fields{b, hasAttributes, {}};
  std::visit(fields, entity.data);
  return mergeRecord(entity.SourceTags(), b.tags, fields.modelled, xdataTags(entity.xdata, context.codec));
}

}  // namespace cadhost::dxf
