#include "cadhost/entity.h"

namespace cadhost {

namespace {
struct TypeName {
  std::string operator()(const InsertData&) const { return "INSERT"; }
  std::string operator()(const AttribData&) const { return "ATTRIB"; }
  std::string operator()(const AttdefData&) const { return "ATTDEF"; }
  std::string operator()(const TextData&) const { return "TEXT"; }
  std::string operator()(const MTextData&) const { return "MTEXT"; }
  std::string operator()(const LineData&) const { return "LINE"; }
  std::string operator()(const ArcData&) const { return "ARC"; }
  std::string operator()(const CircleData&) const { return "CIRCLE"; }
  std::string operator()(const LwPolylineData&) const { return "LWPOLYLINE"; }
  std::string operator()(const PolylineData&) const { return "POLYLINE"; }
  std::string operator()(const VertexData&) const { return "VERTEX"; }
  std::string operator()(const PointData&) const { return "POINT"; }
  std::string operator()(const SeqEndData&) const { return "SEQEND"; }
  std::string operator()(const OtherData&) const { return {}; }
};
}  // namespace

std::string DxfTypeName(const EntityData& data) { return std::visit(TypeName{}, data); }

}  // namespace cadhost
