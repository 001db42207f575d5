#include "cadhost/dxf/entity_reader.h"

#include "cadhost/dxf/entity_fields.h"
#include "cadhost/dxf/group_codes.h"
#include "cadhost/dxf/values.h"

namespace cadhost::dxf {

namespace {

// The fields every entity has; its own fields come from its type's table.
struct CommonFieldReader {
  const TextCodec& codec;
  Entity& entity;
  bool sawOwner = false;

  void operator()(int code, std::string_view value) {
    switch (code) {
      case 5: entity.handle = ParseHandle(value).value_or(0); break;
      case 330:
        if (!sawOwner) entity.owner = ParseHandle(value).value_or(0);
        sawOwner = true;
        break;
      case 8: entity.layer = codec.decode(value); break;
      case 62: entity.color = toInt(value, cad::kColorByLayer); break;
      case 6: entity.linetype = codec.decode(value); break;
      case 67: entity.paperSpace = toInt(value) == 1; break;
      default: break;
    }
  }
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
  CommonFieldReader common{codec, entity};
  FieldReadState state;
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
    if (IsCommonEntityCode(code)) {
      common(code, value);
      // No modelled type has a field of these codes.
      continue;
    }
    if (!other) ReadEntityField(entity.data, code, value, codec, state);
  }
  if (hasXData) entity.xdata = readXData(tags, layoutOf(tags, record), codec);
  return entity;
}

}  // namespace cadhost::dxf
