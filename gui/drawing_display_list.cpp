#include "gui/drawing_display_list.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <variant>

namespace gui {

using cadhost::BlockId;
using cadhost::Box3;
using cadhost::EntityId;
using cadhost::Point;
using cadhost::Transform;

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
// Chord steps of a full circle: smooth at window sizes, cheap for many blocks.
constexpr int kCircleSteps = 72;

void AppendArc(const Point& center, double radius, double start, double sweep,
               std::vector<Point>& out) {
  int steps = std::max(2, static_cast<int>(std::ceil(std::abs(sweep) / kTwoPi * kCircleSteps)));
  for (int i = 0; i <= steps; ++i) {
    double a = start + sweep * i / steps;
    out.push_back({center.x + radius * std::cos(a), center.y + radius * std::sin(a), center.z});
  }
}

Box3 TransformedBox(const Box3& box, const Transform& t) {
  Box3 result;
  if (box.Empty()) return result;
  for (double x : {box.min.x, box.max.x})
    for (double y : {box.min.y, box.max.y}) result.Add(t.Apply({x, y, box.min.z}));
  return result;
}

}  // namespace

void AppendBulgeSegment(const Point& from, const Point& to, double bulge, std::vector<Point>& out) {
  double dx = to.x - from.x, dy = to.y - from.y;
  double chord = std::hypot(dx, dy);
  if (bulge == 0 || chord == 0 || !std::isfinite(bulge)) {
    out.push_back(to);
    return;
  }
  double included = 4 * std::atan(bulge);  // signed: positive is counter-clockwise
  double radius = chord / (2 * std::sin(std::abs(included) / 2));
  // The centre lies off the chord's midpoint, on the side the arc turns to.
  double sagitta = bulge * chord / 2;
  double apothem = radius - std::abs(sagitta);
  double nx = -dy / chord, ny = dx / chord;  // left normal of the chord
  double side = bulge > 0 ? 1.0 : -1.0;
  Point center{(from.x + to.x) / 2 + nx * apothem * side, (from.y + to.y) / 2 + ny * apothem * side,
               from.z};
  double start = std::atan2(from.y - center.y, from.x - center.x);
  std::vector<Point> arc;
  AppendArc(center, radius, start, included, arc);
  arc.back() = to;  // exact end, free of rounding
  out.insert(out.end(), arc.begin() + 1, arc.end());
}

std::string PlainMText(const std::string& value) {
  std::string plain;
  for (std::size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    if (c == '{' || c == '}') continue;
    if (c != '\\' || i + 1 >= value.size()) {
      plain += c;
      continue;
    }
    char code = value[++i];
    switch (code) {
      case 'P': plain += '\n'; break;
      case '~': plain += ' '; break;
      case '\\': case '{': case '}': plain += code; break;
      case 'L': case 'l': case 'O': case 'o': case 'K': case 'k': break;  // on/off switches
      case 'S': {  // stacked fraction a^b: shown as a/b
        std::size_t end = value.find(';', i);
        std::string stacked = value.substr(i + 1, end == std::string::npos ? end : end - i - 1);
        std::replace(stacked.begin(), stacked.end(), '^', '/');
        std::replace(stacked.begin(), stacked.end(), '#', '/');
        plain += stacked;
        i = end == std::string::npos ? value.size() : end;
        break;
      }
      default: {  // \f...; \H...; \C...; and the like carry a value up to ';'
        std::size_t end = value.find(';', i);
        i = end == std::string::npos ? value.size() : end;
      }
    }
  }
  return plain;
}

Box3 ModelSpaceExtents(cadhost::Drawing& drawing, DisplayLists& lists) {
  Box3 extents;
  BlockId modelSpace = drawing.db().ModelSpace();
  if (!modelSpace) return extents;
  for (EntityId id : drawing.LiveEntities(modelSpace))
    for (const DisplayItem& item : lists.Entity(id)) extents.Merge(lists.Bounds(item));
  return extents;
}

void DisplayLists::Clear() {
  blocks_.clear();
  entities_.clear();
}

const BlockGraphics& DisplayLists::Block(BlockId id) {
  if (blocks_.size() < db_.BlockCount()) blocks_.resize(db_.BlockCount());
  CachedBlock& cached = blocks_.at(id.value - 1);
  if (cached.built || cached.building) return cached.graphics;
  cached.building = true;
  BlockGraphics graphics;
  for (EntityId member : db_.Block(id).entities) {
    const cadhost::Entity& entity = db_.At(member);
    if (!entity.erased) Build(entity, true, graphics.items);
  }
  for (const DisplayItem& item : graphics.items) graphics.bounds.Merge(Bounds(item));
  // Build may have grown the cache (nested blocks): look the slot up again.
  CachedBlock& slot = blocks_.at(id.value - 1);
  slot.graphics = std::move(graphics);
  slot.built = true;
  slot.building = false;
  return slot.graphics;
}

const std::vector<DisplayItem>& DisplayLists::Entity(EntityId id) {
  if (entities_.size() < db_.EntityCount()) entities_.resize(db_.EntityCount());
  CachedEntity& cached = entities_.at(id.value - 1);
  if (!cached.built) {
    std::vector<DisplayItem> items;
    Build(db_.At(id), false, items);
    CachedEntity& slot = entities_.at(id.value - 1);
    slot.items = std::move(items);
    slot.built = true;
    return slot.items;
  }
  return cached.items;
}

Box3 DisplayLists::Bounds(const DisplayItem& item) {
  if (item.kind == DisplayItem::Kind::Reference) {
    if (!item.block) return {};
    return TransformedBox(Block(item.block).bounds, item.placement);
  }
  Box3 box;
  for (const Point& p : item.points) box.Add(p);
  return box;
}

void DisplayLists::Build(const cadhost::Entity& entity, bool inBlock, std::vector<DisplayItem>& out) {
  DisplayItem base;
  base.layer = db_.layers.Find(entity.layer);
  base.onLayerZero = base.layer != 0 && entity.layer == "0";
  base.color = entity.color;
  auto path = [&](std::vector<Point> points) {
    DisplayItem item = base;
    item.points = std::move(points);
    out.push_back(std::move(item));
  };
  auto text = [&](const std::array<Point, 4>& corners, std::string value) {
    DisplayItem item = base;
    item.kind = DisplayItem::Kind::Text;
    item.points.assign(corners.begin(), corners.end());
    item.text = std::move(value);
    out.push_back(std::move(item));
  };
  struct Visitor {
    DisplayLists& lists;
    const cadhost::Entity& entity;
    bool inBlock;
    DisplayItem& base;
    std::vector<DisplayItem>& out;
    decltype(path)& addPath;
    decltype(text)& addText;

    // A planar entity's points, from its own plane into the world.
    static std::vector<Point> InPlane(std::vector<Point> points, const Point& normal) {
      if (cadhost::IsWorldNormal(normal)) return points;
      for (Point& p : points) p = cadhost::OcsToWcs(p, normal);
      return points;
    }
    static std::array<Point, 4> Corners(const cadhost::TextFields& text) {
      std::array<Point, 4> corners = cadhost::TextCorners(text);
      for (Point& p : corners) p = cadhost::OcsToWcs(p, text.normal);
      return corners;
    }

    void operator()(const cadhost::LineData& line) const { addPath({line.start, line.end}); }
    void operator()(const cadhost::ArcData& arc) const {
      double sweep = std::fmod(arc.endAngle - arc.startAngle, kTwoPi);
      if (sweep <= 0) sweep += kTwoPi;
      std::vector<Point> points;
      AppendArc(arc.center, arc.radius, arc.startAngle, sweep, points);
      addPath(InPlane(std::move(points), arc.normal));
    }
    void operator()(const cadhost::CircleData& circle) const {
      std::vector<Point> points;
      AppendArc(circle.center, circle.radius, 0, kTwoPi, points);
      addPath(InPlane(std::move(points), circle.normal));
    }
    void operator()(const cadhost::LwPolylineData& polyline) const {
      const auto& v = polyline.vertices;
      if (v.empty()) return;
      auto at = [&](std::size_t i) { return Point{v[i].x, v[i].y, polyline.elevation}; };
      std::vector<Point> points{at(0)};
      bool closed = (polyline.flags & 1) != 0;
      std::size_t segments = closed ? v.size() : v.size() - 1;
      for (std::size_t i = 0; i < segments; ++i)
        AppendBulgeSegment(at(i), at((i + 1) % v.size()), v[i].bulge, points);
      addPath(InPlane(std::move(points), polyline.normal));
    }
    void operator()(const cadhost::PolylineData& polyline) const {
      bool flat = (polyline.flags & 8) == 0;
      std::vector<const cadhost::VertexData*> vertices;
      for (EntityId id : polyline.vertices) {
        const cadhost::Entity& vertex = lists.db_.At(id);
        auto* data = std::get_if<cadhost::VertexData>(&vertex.data);
        if (vertex.erased || !data || (data->flags & 16) != 0) continue;  // 16: spline frame point
        vertices.push_back(data);
      }
      if (vertices.empty()) return;
      auto at = [&](std::size_t i) {
        Point p = vertices[i]->point;
        if (flat) p.z = polyline.elevation.z;
        return p;
      };
      std::vector<Point> points{at(0)};
      bool closed = (polyline.flags & 1) != 0;
      std::size_t segments = closed ? vertices.size() : vertices.size() - 1;
      for (std::size_t i = 0; i < segments; ++i)
        AppendBulgeSegment(at(i), at((i + 1) % vertices.size()), flat ? vertices[i]->bulge : 0, points);
      addPath(flat ? InPlane(std::move(points), polyline.normal) : std::move(points));
    }
    void operator()(const cadhost::PointData& point) const {
      DisplayItem item = base;
      item.kind = DisplayItem::Kind::Dot;
      item.points = {point.point};
      out.push_back(std::move(item));
    }
    void operator()(const cadhost::TextData& data) const {
      addText(Corners(data.text), data.text.value);
    }
    void operator()(const cadhost::AttribData& data) const {
      if ((data.flags & 1) == 0) addText(Corners(data.text), data.text.value);
    }
    void operator()(const cadhost::AttdefData& data) const {
      // A block's attribute definitions show through their references' values;
      // a loose one shows its tag, as while a block is being made.
      if (!inBlock) addText(Corners(data.text), data.tag);
    }
    void operator()(const cadhost::MTextData& data) const {
      addText(cadhost::MTextCorners(data), PlainMText(data.value));
    }
    void operator()(const cadhost::InsertData& insert) const {
      BlockId block = lists.db_.FindBlock(insert.blockName);
      if (block) {
        for (const Transform& placement :
             cadhost::ReferencePlacements(insert, lists.db_.Block(block).base)) {
          DisplayItem item = base;
          item.kind = DisplayItem::Kind::Reference;
          item.block = block;
          item.placement = placement;
          out.push_back(std::move(item));
        }
      }
      for (EntityId id : insert.attributes) {
        const cadhost::Entity& attrib = lists.db_.At(id);
        if (!attrib.erased) lists.Build(attrib, inBlock, out);
      }
    }
    void operator()(const cadhost::VertexData&) const {}
    void operator()(const cadhost::SeqEndData&) const {}
    void operator()(const cadhost::OtherData&) const {}
  };
  std::visit(Visitor{*this, entity, inBlock, base, out, path, text}, entity.data);
}

}  // namespace gui
