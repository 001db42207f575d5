#include "cadhost/dxf/entity_reader.h"

#include "cadhost/dxf/group_codes.h"
#include "cadhost/dxf/values.h"

namespace cadhost::dxf {

namespace {

// Sets one coordinate of a point from its group code: 10/20/30 style.
void setCoordinate(Point& point, int code, double value) {
  switch ((code / 10) % 10) {
    case 1: point.x = value; break;
    case 2: point.y = value; break;
    default: point.z = value; break;
  }
}

bool isPointCode(int code, int base) { return code == base || code == base + 10 || code == base + 20; }

struct FieldReader {
  const TagList& tags;
  const TextCodec& codec;
  Entity& entity;
  bool sawOwner = false;
  std::string mtextChunks;  // MTEXT 3 groups, before the closing 1

  std::string text(std::string_view value) const { return codec.decode(value); }

  void common(int code, std::string_view value) {
    switch (code) {
      case 5: entity.handle = ParseHandle(value).value_or(0); break;
      case 330:
        if (!sawOwner) entity.owner = ParseHandle(value).value_or(0);
        sawOwner = true;
        break;
      case 8: entity.layer = text(value); break;
      case 62: entity.color = toInt(value, cad::kColorByLayer); break;
      case 6: entity.linetype = text(value); break;
      case 67: entity.paperSpace = toInt(value) == 1; break;
      default: break;
    }
  }

  void textFields(TextFields& t, int code, std::string_view value) {
    const double number = toDouble(value);
    if (isPointCode(code, 10)) return setCoordinate(t.insertion, code, number);
    if (isPointCode(code, 11)) return setCoordinate(t.alignmentPoint, code, number);
    if (isPointCode(code, 210)) return setCoordinate(t.normal, code, number);
    switch (code) {
      case 1: t.value = text(value); break;
      case 40: t.height = number; break;
      case 41: t.widthFactor = toDouble(value, 1.0); break;
      case 50: t.rotation = degreesToRadians(number); break;
      case 51: t.oblique = degreesToRadians(number); break;
      case 7: t.style = text(value); break;
      case 71: t.generation = toInt(value); break;
      case 72: t.horizontal = toInt(value); break;
      default: break;
    }
  }

  void operator()(InsertData& d, int code, std::string_view value) {
    const double number = toDouble(value);
    if (isPointCode(code, 10)) return setCoordinate(d.insertion, code, number);
    if (isPointCode(code, 210)) return setCoordinate(d.normal, code, number);
    switch (code) {
      case 2: d.blockName = text(value); break;
      case 41: d.xScale = toDouble(value, 1.0); break;
      case 42: d.yScale = toDouble(value, 1.0); break;
      case 43: d.zScale = toDouble(value, 1.0); break;
      case 50: d.rotation = degreesToRadians(number); break;
      case 70: d.columns = toInt(value, 1); break;
      case 71: d.rows = toInt(value, 1); break;
      case 44: d.columnSpacing = number; break;
      case 45: d.rowSpacing = number; break;
      default: break;
    }
  }
  void operator()(AttribData& d, int code, std::string_view value) {
    attributeField(d.text, d.tag, d.flags, code, value);
  }
  void operator()(AttdefData& d, int code, std::string_view value) {
    if (code == 3) {
      d.prompt = text(value);
      return;
    }
    attributeField(d.text, d.tag, d.flags, code, value);
  }
  void attributeField(TextFields& t, PooledText& tag, int& flags, int code, std::string_view value) {
    switch (code) {
      case 2: tag = text(value); return;
      case 70: flags = toInt(value); return;
      case 73:  // field length on attributes; the vertical alignment is 74
        return;
      case 74: t.vertical = toInt(value); return;
      default: textFields(t, code, value);
    }
  }
  void operator()(TextData& d, int code, std::string_view value) {
    if (code == 73) d.text.vertical = toInt(value);
    else textFields(d.text, code, value);
  }
  void operator()(MTextData& d, int code, std::string_view value) {
    const double number = toDouble(value);
    if (isPointCode(code, 10)) return setCoordinate(d.insertion, code, number);
    if (isPointCode(code, 11)) return setCoordinate(d.direction, code, number);
    switch (code) {
      case 3: mtextChunks += value; break;
      case 1: d.value = text(mtextChunks + std::string(value)); break;
      case 40: d.height = number; break;
      case 41: d.referenceWidth = number; break;
      case 50: d.rotation = degreesToRadians(number); break;
      case 71: d.attachment = toInt(value, 1); break;
      case 7: d.style = text(value); break;
      default: break;
    }
  }
  void operator()(LineData& d, int code, std::string_view value) {
    if (isPointCode(code, 10)) setCoordinate(d.start, code, toDouble(value));
    if (isPointCode(code, 11)) setCoordinate(d.end, code, toDouble(value));
  }
  void operator()(ArcData& d, int code, std::string_view value) {
    const double number = toDouble(value);
    if (isPointCode(code, 10)) return setCoordinate(d.center, code, number);
    if (isPointCode(code, 210)) return setCoordinate(d.normal, code, number);
    if (code == 40) d.radius = number;
    if (code == 50) d.startAngle = degreesToRadians(number);
    if (code == 51) d.endAngle = degreesToRadians(number);
  }
  void operator()(CircleData& d, int code, std::string_view value) {
    if (isPointCode(code, 10)) setCoordinate(d.center, code, toDouble(value));
    if (isPointCode(code, 210)) setCoordinate(d.normal, code, toDouble(value));
    if (code == 40) d.radius = toDouble(value);
  }
  void operator()(LwPolylineData& d, int code, std::string_view value) {
    const double number = toDouble(value);
    switch (code) {
      case 10: d.vertices.push_back(LwVertex{number}); break;
      case 20: if (!d.vertices.empty()) d.vertices.back().y = number; break;
      case 40: if (!d.vertices.empty()) d.vertices.back().startWidth = number; break;
      case 41: if (!d.vertices.empty()) d.vertices.back().endWidth = number; break;
      case 42: if (!d.vertices.empty()) d.vertices.back().bulge = number; break;
      case 70: d.flags = toInt(value); break;
      case 38: d.elevation = number; break;
      case 43: d.constantWidth = number; break;
      case 210: d.normal.x = number; break;
      case 220: d.normal.y = number; break;
      case 230: d.normal.z = number; break;
      default: break;
    }
  }
  void operator()(PolylineData& d, int code, std::string_view value) {
    if (isPointCode(code, 10)) setCoordinate(d.elevation, code, toDouble(value));
    if (isPointCode(code, 210)) setCoordinate(d.normal, code, toDouble(value));
    if (code == 70) d.flags = toInt(value);
  }
  void operator()(VertexData& d, int code, std::string_view value) {
    if (isPointCode(code, 10)) setCoordinate(d.point, code, toDouble(value));
    if (code == 42) d.bulge = toDouble(value);
    if (code == 70) d.flags = toInt(value);
  }
  void operator()(PointData& d, int code, std::string_view value) {
    if (isPointCode(code, 10)) setCoordinate(d.point, code, toDouble(value));
  }
  void operator()(SeqEndData&, int, std::string_view) {}
  void operator()(OtherData&, int, std::string_view) {}
};

EntityData emptyData(std::string_view type) {
  if (type == "INSERT") return InsertData{};
  if (type == "ATTRIB") return AttribData{};
  if (type == "ATTDEF") return AttdefData{};
  if (type == "TEXT") return TextData{};
  if (type == "MTEXT") return MTextData{};
  if (type == "LINE") return LineData{};
  if (type == "ARC") return ArcData{};
  if (type == "CIRCLE") return CircleData{};
  if (type == "LWPOLYLINE") return LwPolylineData{};
  if (type == "POLYLINE") return PolylineData{};
  if (type == "VERTEX") return VertexData{};
  if (type == "POINT") return PointData{};
  if (type == "SEQEND") return SeqEndData{};
  return OtherData{};
}

cad::XDataValue xdataValue(int code, const TagList& tags, std::uint32_t& i, std::uint32_t last,
                           const TextCodec& codec) {
  const std::string_view value = tags.value(i);
  if (code >= 1010 && code <= 1013) {
    Point point;
    point.x = toDouble(value);
    if (i + 1 < last && tags.code(i + 1) == code + 10) point.y = toDouble(tags.value(++i));
    if (i + 1 < last && tags.code(i + 1) == code + 20) point.z = toDouble(tags.value(++i));
    return point;
  }
  if (code >= 1040 && code <= 1042) return toDouble(value);
  if (code == 1070 || code == 1071) return static_cast<std::int32_t>(toInt(value));
  if (code == 1000 || code == 1003) return codec.decode(value);
  return std::string(value);
}

}  // namespace

std::vector<ExtendedData> readXData(const TagList& tags, const RecordLayout& layout, const TextCodec& codec) {
  std::vector<ExtendedData> all;
  for (const auto& part : layout.xdata) {
    ExtendedData data;
    data.application = codec.decode(part.name);
    for (std::uint32_t i = part.tags.first + 1; i < part.tags.last; ++i) {
      const int code = tags.code(i);
      data.items.push_back(cad::XDataItem{static_cast<std::int16_t>(code), xdataValue(code, tags, i, part.tags.last, codec)});
    }
    all.push_back(std::move(data));
  }
  return all;
}

Entity readEntity(const std::shared_ptr<const TagList>& file, Record record, const TextCodec& codec) {
  const TagList& tags = *file;
  Entity entity;
  entity.type = std::string(tags.value(record.first));
  entity.data = emptyData(entity.type);
  entity.source.emplace(file, record.first, record.last);
  FieldReader reader{tags, codec, entity, false, {}};
  bool hasXData = false;
  const bool other = std::holds_alternative<OtherData>(entity.data);
  for (std::uint32_t i = record.first + 1; i < record.last; ++i) {
    const int code = tags.code(i);
    const std::string_view value = tags.value(i);
    if (code == codes::kAppData && value.starts_with('{')) {  // app data: not the entity's own fields
      while (i + 1 < record.last && !(tags.code(i + 1) == codes::kAppData && tags.value(i + 1) == "}")) ++i;
      ++i;
      continue;
    }
    if (code >= 1000 || code == 101) {  // extended data, or an embedded object
      hasXData = true;
      break;
    }
    if (code == 5 || code == 330 || code == 8 || code == 62 || code == 6 || code == 67) {
      reader.common(code, value);
      // A LWPOLYLINE or INSERT has no field of these codes; text-like ones neither.
      continue;
    }
    if (!other) std::visit([&](auto& data) { reader(data, code, value); }, entity.data);
  }
  if (hasXData) entity.xdata = readXData(tags, layoutOf(tags, record), codec);
  return entity;
}

}  // namespace cadhost::dxf
