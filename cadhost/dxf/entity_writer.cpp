#include "cadhost/dxf/entity_writer.h"

#include "cadhost/dxf/entity_fields.h"
#include "cadhost/dxf/record_merge.h"
#include "cadhost/dxf/values.h"

namespace cadhost::dxf {

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
  TagBuilder b{context.codec, context.r12, {}};
  b.add(0, entity.type.empty() ? DxfTypeName(entity.data) : entity.type.str());
  if (entity.handle) b.add(5, HandleText(entity.handle));
  if (!context.r12 && entity.owner) b.add(330, HandleText(entity.owner));
  b.subclass("AcDbEntity");
  if (entity.paperSpace) b.integer(67, 1);
  b.text(8, entity.layer);
  if (!entity.linetype.empty()) b.text(6, entity.linetype);
  if (entity.color != cad::kColorByLayer) b.integer(62, entity.color);
  const std::set<int>& modelled = WriteEntityFields(entity.data, b, hasAttributes);
  if (!entity.SourceTags() || entity.SourceTags()->empty()) {
    // A record the host made: its fields are all it has, nothing to merge.
    const Tags xdata = xdataTags(entity.xdata, context.codec);
    for (std::size_t i = 0; i < xdata.size(); ++i) b.tags.push_back(xdata[i]);
    return std::move(b.tags);
  }
  return mergeRecord(entity.SourceTags(), b.tags, modelled, xdataTags(entity.xdata, context.codec));
}

}  // namespace cadhost::dxf
