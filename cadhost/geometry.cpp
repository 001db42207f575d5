#include "cadhost/geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

// Boost 1.74's rescale policy trips a false "may be used uninitialized"
// warning in GCC 12 when polygons are related; the value is always set.
// (Clang, which builds the fuzz target, has no such warning to silence.)
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <boost/geometry.hpp>
#include <boost/geometry/geometries/linestring.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

namespace cadhost {

namespace bg = boost::geometry;
using Point2 = bg::model::d2::point_xy<double>;
using Path2 = bg::model::linestring<Point2>;
using Polygon2 = bg::model::polygon<Point2>;
using Box2 = bg::model::box<Point2>;

namespace {

constexpr double kPi = std::numbers::pi;
// Block references nest no deeper than this in any real drawing; content
// below it is not followed.
constexpr std::size_t kMaxNesting = 32;
// Average advance of one character, in text heights (width factor 1).
constexpr double kCharWidth = 0.8;
// Distance between MTEXT lines, in text heights.
constexpr double kLineSpacing = 5.0 / 3.0;
constexpr double kMaxArcStep = kPi / 36;  // 5 degrees


// Points along an arc from `start` to `end` (radians, counter-clockwise),
// through every quadrant point on the way so that extents come out exact.
std::vector<Point> ArcPoints(const Point& center, double radius, double start, double end) {
  while (end <= start) end += 2 * kPi;
  std::vector<double> angles{start};
  double quadrant = std::ceil(start / (kPi / 2)) * (kPi / 2);
  for (double q = quadrant; q < end; q += kPi / 2)
    if (q > start) angles.push_back(q);
  angles.push_back(end);
  std::vector<Point> points;
  for (std::size_t i = 0; i + 1 < angles.size(); ++i) {
    double a = angles[i], b = angles[i + 1];
    int steps = std::max(1, static_cast<int>(std::ceil((b - a) / kMaxArcStep)));
    for (int s = 0; s < steps; ++s) {
      double t = a + (b - a) * s / steps;
      points.push_back({center.x + radius * std::cos(t), center.y + radius * std::sin(t), center.z});
    }
  }
  points.push_back({center.x + radius * std::cos(end), center.y + radius * std::sin(end), center.z});
  return points;
}

// Points of a polyline segment from a to b with a bulge (tan of a quarter of the
// included angle; positive counter-clockwise), without the end point.
void AppendBulgeSegment(const Point& a, const Point& b, double bulge, std::vector<Point>& out) {
  if (std::abs(bulge) < 1e-12) {
    out.push_back(a);
    return;
  }
  double dx = b.x - a.x, dy = b.y - a.y;
  double chord = std::hypot(dx, dy);
  if (chord < 1e-12) {
    out.push_back(a);
    return;
  }
  double included = 4 * std::atan(bulge);
  double radius = chord / (2 * std::sin(std::abs(included) / 2));
  // The centre lies on the chord's left for a positive bulge of less than a
  // half circle, and crosses over for more.
  double offset = radius * std::cos(std::abs(included) / 2) * (bulge > 0 ? 1 : -1);
  Point center{(a.x + b.x) / 2 - dy / chord * offset, (a.y + b.y) / 2 + dx / chord * offset, a.z};
  double startAngle = std::atan2(a.y - center.y, a.x - center.x);
  double endAngle = std::atan2(b.y - center.y, b.x - center.x);
  std::vector<Point> arc = bulge > 0 ? ArcPoints(center, radius, startAngle, endAngle)
                                     : ArcPoints(center, radius, endAngle, startAngle);
  if (bulge < 0) std::reverse(arc.begin(), arc.end());
  arc.pop_back();
  out.insert(out.end(), arc.begin(), arc.end());
}

std::size_t CharacterCount(const std::string& text) {
  std::size_t count = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++count;
  return count;
}

void AppendMapped(const Transform& t, std::vector<Point> local, Outline& out) {
  for (Point& p : local) p = t.Apply(p);
  out.paths.push_back(std::move(local));
}

void AppendCorners(const Transform& t, const std::array<Point, 4>& corners, Outline& out) {
  std::vector<Point> ring(corners.begin(), corners.end());
  ring.push_back(corners[0]);
  AppendMapped(t, std::move(ring), out);
}

Point2 Flat(const Point& p) { return {p.x, p.y}; }

}  // namespace

void Box3::Add(const Point& p) {
  if (Empty()) {
    min = max = p;
    return;
  }
  min = {std::min(min.x, p.x), std::min(min.y, p.y), std::min(min.z, p.z)};
  max = {std::max(max.x, p.x), std::max(max.y, p.y), std::max(max.z, p.z)};
}

void Box3::Merge(const Box3& other) {
  if (other.Empty()) return;
  Add(other.min);
  Add(other.max);
}

Point Transform::Apply(const Point& p) const {
  return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + m[0][3],
          m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + m[1][3],
          m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z + m[2][3]};
}

Transform Transform::Then(const Transform& outer) const {
  Transform r;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 4; ++j) {
      double v = j == 3 ? outer.m[i][3] : 0.0;
      for (int k = 0; k < 3; ++k) v += outer.m[i][k] * m[k][j];
      r.m[i][j] = v;
    }
  return r;
}

double Transform::PlaneScale() const {
  double sx = std::hypot(m[0][0], m[1][0]);
  double sy = std::hypot(m[0][1], m[1][1]);
  return std::sqrt(sx * sy);
}

Transform Transform::Placement(const Point& base, const Point& insertion, double xScale,
                               double yScale, double zScale, double rotation) {
  double c = std::cos(rotation), s = std::sin(rotation);
  Transform t;
  t.m[0] = {c * xScale, -s * yScale, 0, 0};
  t.m[1] = {s * xScale, c * yScale, 0, 0};
  t.m[2] = {0, 0, zScale, 0};
  // Content point p lands at insertion + R S (p - base).
  Point moved = t.Apply(base);
  t.m[0][3] = insertion.x - moved.x;
  t.m[1][3] = insertion.y - moved.y;
  t.m[2][3] = insertion.z - moved.z;
  return t;
}

Transform Transform::Scaling(const Point& basePoint, double factor) {
  Transform t;
  for (int i = 0; i < 3; ++i) t.m[i][i] = factor;
  t.m[0][3] = basePoint.x * (1 - factor);
  t.m[1][3] = basePoint.y * (1 - factor);
  t.m[2][3] = basePoint.z * (1 - factor);
  return t;
}

namespace {

// A normal too short to give a plane is taken as the world's.
constexpr double kShortestNormal = 1e-12;
// The arbitrary axis algorithm's threshold: a normal this close to the world z
// axis takes its x axis from the world y axis.
constexpr double kArbitraryAxisLimit = 1.0 / 64.0;

Point Cross(const Point& a, const Point& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Point Unit(const Point& p) {
  const double length = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
  return {p.x / length, p.y / length, p.z / length};
}

struct OcsAxes {
  Point x, y, z;
};

OcsAxes AxesOf(const Point& normal) {
  const double length = std::sqrt(normal.x * normal.x + normal.y * normal.y + normal.z * normal.z);
  if (length < kShortestNormal) return {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  const Point z = Unit(normal);
  const Point x = (std::abs(z.x) < kArbitraryAxisLimit && std::abs(z.y) < kArbitraryAxisLimit)
                      ? Unit(Cross({0, 1, 0}, z))
                      : Unit(Cross({0, 0, 1}, z));
  return {x, Unit(Cross(z, x)), z};
}

}  // namespace

bool IsWorldNormal(const Point& normal) { return normal.x == 0 && normal.y == 0 && normal.z > 0; }

Transform OcsToWorld(const Point& normal) {
  Transform t;
  if (IsWorldNormal(normal)) return t;
  const OcsAxes axes = AxesOf(normal);
  t.m[0] = {axes.x.x, axes.y.x, axes.z.x, 0};
  t.m[1] = {axes.x.y, axes.y.y, axes.z.y, 0};
  t.m[2] = {axes.x.z, axes.y.z, axes.z.z, 0};
  return t;
}

Point OcsToWcs(const Point& p, const Point& normal) {
  if (IsWorldNormal(normal)) return p;
  return OcsToWorld(normal).Apply(p);
}

Point WcsToOcs(const Point& p, const Point& normal) {
  if (IsWorldNormal(normal)) return p;
  const OcsAxes a = AxesOf(normal);
  return {p.x * a.x.x + p.y * a.x.y + p.z * a.x.z, p.x * a.y.x + p.y * a.y.y + p.z * a.y.z,
          p.x * a.z.x + p.y * a.z.y + p.z * a.z.z};
}

std::vector<Transform> ReferencePlacements(const InsertData& insert, const Point& blockBase) {
  const int columns = std::max(1, insert.columns), rows = std::max(1, insert.rows);
  const double c = std::cos(insert.rotation), s = std::sin(insert.rotation);
  std::vector<Transform> placements;
  placements.reserve(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
  for (int row = 0; row < rows; ++row)
    for (int column = 0; column < columns; ++column) {
      const double u = column * insert.columnSpacing, v = row * insert.rowSpacing;
      const Point at{insert.insertion.x + u * c - v * s, insert.insertion.y + u * s + v * c,
                     insert.insertion.z};
      Transform placement = Transform::Placement(blockBase, at, insert.xScale, insert.yScale,
                                                 insert.zScale, insert.rotation);
      if (!IsWorldNormal(insert.normal)) placement = placement.Then(OcsToWorld(insert.normal));
      placements.push_back(placement);
    }
  return placements;
}

Box3 Outline::Extents() const {
  Box3 box;
  for (const auto& path : paths)
    for (const Point& p : path) box.Add(p);
  for (const Point& p : points) box.Add(p);
  return box;
}

std::array<Point, 4> TextCorners(const TextFields& text) {
  double height = text.height > 0 ? text.height : 1.0;
  double width = static_cast<double>(CharacterCount(text.value)) * height * kCharWidth *
                 (text.widthFactor > 0 ? text.widthFactor : 1.0);
  Point anchor = text.insertion;
  double rotation = text.rotation;
  double left = 0.0, bottom = 0.0;
  bool baselineLeft = text.horizontal == 0 && text.vertical == 0;
  if (text.horizontal == 3 || text.horizontal == 5) {
    // Aligned and fit text run from the first to the second alignment point.
    double dx = text.alignmentPoint.x - text.insertion.x;
    double dy = text.alignmentPoint.y - text.insertion.y;
    if (std::hypot(dx, dy) > 1e-12) {
      width = std::hypot(dx, dy);
      rotation = std::atan2(dy, dx);
    }
  } else if (!baselineLeft) {
    anchor = text.alignmentPoint;
    if (text.horizontal == 1 || text.horizontal == 4) left = -width / 2;
    if (text.horizontal == 2) left = -width;
    if (text.horizontal == 4 || text.vertical == 2) bottom = -height / 2;
    if (text.vertical == 3) bottom = -height;
    if (text.vertical == 1) bottom = -0.3 * height;  // bottom: below the baseline
  }
  double c = std::cos(rotation), s = std::sin(rotation);
  auto place = [&](double u, double v) {
    return Point{anchor.x + u * c - v * s, anchor.y + u * s + v * c, anchor.z};
  };
  return {place(left, bottom), place(left + width, bottom), place(left + width, bottom + height),
          place(left, bottom + height)};
}

std::array<Point, 4> MTextCorners(const MTextData& mtext) {
  double height = mtext.height > 0 ? mtext.height : 1.0;
  std::size_t lines = 1, longest = 0, current = 0;
  for (std::size_t i = 0; i < mtext.value.size(); ++i) {
    if (mtext.value.compare(i, 2, "\\P") == 0) {
      ++lines;
      longest = std::max(longest, current);
      current = 0;
      ++i;
    } else if ((static_cast<unsigned char>(mtext.value[i]) & 0xC0) != 0x80) {
      ++current;
    }
  }
  longest = std::max(longest, current);
  double width = mtext.referenceWidth > 0 ? mtext.referenceWidth
                                          : static_cast<double>(longest) * height * kCharWidth;
  double total = height + static_cast<double>(lines - 1) * height * kLineSpacing;
  int attachment = std::clamp(mtext.attachment, 1, 9);
  int column = (attachment - 1) % 3;  // 0 left, 1 centre, 2 right
  int row = (attachment - 1) / 3;     // 0 top, 1 middle, 2 bottom
  double left = -width * column / 2.0;
  double top = total * row / 2.0;
  double angle = std::hypot(mtext.direction.x, mtext.direction.y) > 1e-12
                     ? std::atan2(mtext.direction.y, mtext.direction.x)
                     : mtext.rotation;
  double c = std::cos(angle), s = std::sin(angle);
  auto place = [&](double u, double v) {
    return Point{mtext.insertion.x + u * c - v * s, mtext.insertion.y + u * s + v * c,
                 mtext.insertion.z};
  };
  return {place(left, top - total), place(left + width, top - total), place(left + width, top),
          place(left, top)};
}

namespace {

// The blocks being expanded, outermost first.
using Expansion = std::vector<BlockId>;

void OutlineIn(const Database& db, const Entity& entity, const Transform& t, Outline& out,
               Expansion& expansion);

void BlockOutlineIn(const Database& db, BlockId block, const Transform& transform, Outline& out,
                    Expansion& expansion) {
  if (!block || expansion.size() >= kMaxNesting ||
      std::find(expansion.begin(), expansion.end(), block) != expansion.end())
    return;
  expansion.push_back(block);
  for (EntityId id : db.Block(block).entities) {
    const Entity& entity = db.At(id);
    if (entity.erased) continue;
    if (const auto* attdef = std::get_if<AttdefData>(&entity.data)) {
      // A reference shows only constant, visible attribute definitions; the
      // others become its attribute references.
      if ((attdef->flags & 2) == 0 || (attdef->flags & 1) != 0) continue;
    }
    OutlineIn(db, entity, transform, out, expansion);
  }
  expansion.pop_back();
}

void OutlineIn(const Database& db, const Entity& entity, const Transform& t, Outline& out,
               Expansion& expansion) {
  struct Visitor {
    const Database& db;
    const Entity& entity;
    const Transform& t;
    Outline& out;
    Expansion& expansion;

    void operator()(const InsertData& insert) const {
      BlockId block = db.FindBlock(insert.blockName);
      if (block) {
        for (const Transform& placement : ReferencePlacements(insert, db.Block(block).base))
          BlockOutlineIn(db, block, placement.Then(t), out, expansion);
      }
      // Invisible attributes are not part of what the reference shows.
      for (EntityId id : insert.attributes) {
        const Entity& attrib = db.At(id);
        const auto* data = std::get_if<AttribData>(&attrib.data);
        if (!attrib.erased && data && (data->flags & 1) == 0) OutlineIn(db, attrib, t, out, expansion);
      }
      if (out.Empty()) out.points.push_back(t.Apply(OcsToWcs(insert.insertion, insert.normal)));
    }
    // An entity's own points, in the plane of its normal, mapped to the world
    // and then by the outer transform.
    Transform Planar(const Point& normal) const { return OcsToWorld(normal).Then(t); }
    void operator()(const AttribData& attrib) const {
      AppendCorners(Planar(attrib.text.normal), TextCorners(attrib.text), out);
    }
    void operator()(const AttdefData& attdef) const {
      AppendCorners(Planar(attdef.text.normal), TextCorners(attdef.text), out);
    }
    void operator()(const TextData& text) const {
      AppendCorners(Planar(text.text.normal), TextCorners(text.text), out);
    }
    void operator()(const MTextData& mtext) const { AppendCorners(t, MTextCorners(mtext), out); }
    void operator()(const LineData& line) const { AppendMapped(t, {line.start, line.end}, out); }
    void operator()(const ArcData& arc) const {
      AppendMapped(Planar(arc.normal), ArcPoints(arc.center, arc.radius, arc.startAngle, arc.endAngle), out);
    }
    void operator()(const CircleData& circle) const {
      AppendMapped(Planar(circle.normal), ArcPoints(circle.center, circle.radius, 0, 2 * kPi), out);
    }
    void operator()(const LwPolylineData& lw) const {
      std::vector<Point> path;
      const auto& v = lw.vertices;
      bool closed = (lw.flags & 1) != 0;
      for (std::size_t i = 0; i < v.size(); ++i) {
        Point a{v[i].x, v[i].y, lw.elevation};
        bool last = i + 1 == v.size();
        if (last && !closed) {
          path.push_back(a);
          break;
        }
        const LwVertex& next = v[last ? 0 : i + 1];
        AppendBulgeSegment(a, {next.x, next.y, lw.elevation}, v[i].bulge, path);
        if (last) path.push_back({next.x, next.y, lw.elevation});
      }
      const Transform placed = Planar(lw.normal);
      if (path.size() == 1)
        out.points.push_back(placed.Apply(path[0]));
      else if (!path.empty())
        AppendMapped(placed, std::move(path), out);
    }
    void operator()(const PolylineData& polyline) const {
      std::vector<Point> path;
      std::vector<const VertexData*> vertices;
      for (EntityId id : polyline.vertices)
        if (const auto* v = std::get_if<VertexData>(&db.At(id).data); v && !db.At(id).erased)
          vertices.push_back(v);
      bool closed = (polyline.flags & 1) != 0;
      bool is3d = (polyline.flags & 8) != 0;
      for (std::size_t i = 0; i < vertices.size(); ++i) {
        Point a = vertices[i]->point;
        if (!is3d) a.z = polyline.elevation.z;
        bool last = i + 1 == vertices.size();
        if (last && !closed) {
          path.push_back(a);
          break;
        }
        Point b = vertices[last ? 0 : i + 1]->point;
        if (!is3d) b.z = polyline.elevation.z;
        AppendBulgeSegment(a, b, is3d ? 0.0 : vertices[i]->bulge, path);
        if (last) path.push_back(b);
      }
      // A 3D polyline's vertices are world points; a 2D one's lie in its plane.
      const Transform placed = is3d ? t : Planar(polyline.normal);
      if (path.size() == 1)
        out.points.push_back(placed.Apply(path[0]));
      else if (!path.empty())
        AppendMapped(placed, std::move(path), out);
    }
    void operator()(const VertexData& vertex) const { out.points.push_back(t.Apply(vertex.point)); }
    void operator()(const PointData& point) const { out.points.push_back(t.Apply(point.point)); }
    void operator()(const SeqEndData&) const {}
    void operator()(const OtherData&) const {}
  };
  std::visit(Visitor{db, entity, t, out, expansion}, entity.data);
}

bool ShowsIn(const Database& db, BlockId block, BlockId target, std::vector<BlockId>& seen) {
  if (block == target) return true;
  if (std::find(seen.begin(), seen.end(), block) != seen.end()) return false;
  seen.push_back(block);
  for (EntityId id : db.Block(block).entities) {
    const Entity& entity = db.At(id);
    const auto* insert = std::get_if<InsertData>(&entity.data);
    if (!insert || entity.erased) continue;
    BlockId inner = db.FindBlock(insert->blockName);
    if (inner && ShowsIn(db, inner, target, seen)) return true;
  }
  return false;
}

}  // namespace

void AppendOutline(const Database& db, const Entity& entity, const Transform& t, Outline& out) {
  Expansion expansion;
  OutlineIn(db, entity, t, out, expansion);
}

void AppendBlockOutline(const Database& db, BlockId block, const Transform& transform,
                        Outline& out) {
  Expansion expansion;
  BlockOutlineIn(db, block, transform, out, expansion);
}

bool BlockShows(const Database& db, BlockId block, BlockId target) {
  std::vector<BlockId> seen;
  return block && target && ShowsIn(db, block, target, seen);
}

struct SelectionArea::Impl {
  Polygon2 polygon;
  Box2 box;
};

SelectionArea::SelectionArea(const std::vector<double>& xyz) : impl_(std::make_unique<Impl>()) {
  if (xyz.size() % 3 != 0 || xyz.size() < 9)
    throw std::invalid_argument("a polygon needs at least three points of x, y and z");
  for (std::size_t i = 0; i < xyz.size(); i += 3) {
    if (!std::isfinite(xyz[i]) || !std::isfinite(xyz[i + 1]))
      throw std::invalid_argument("a polygon point is not a finite number");
    impl_->polygon.outer().push_back(Point2{xyz[i], xyz[i + 1]});
  }
  bg::unique(impl_->polygon);   // a point given twice in a row is one vertex
  bg::correct(impl_->polygon);  // closes the ring and orders it clockwise
  bg::validity_failure_type failure = bg::no_failure;
  if (!bg::is_valid(impl_->polygon, failure)) {
    if (failure == bg::failure_self_intersections)
      throw std::invalid_argument("polygon segments cannot intersect");
    if (failure != bg::failure_spikes)
      throw std::invalid_argument("the polygon encloses no area");
  }
  bg::envelope(impl_->polygon, impl_->box);
}

SelectionArea::~SelectionArea() = default;
SelectionArea::SelectionArea(SelectionArea&&) noexcept = default;

Box3 SelectionArea::Bounds() const {
  Box3 box;
  box.Add(Point{impl_->box.min_corner().x(), impl_->box.min_corner().y(), -1e300});
  box.Add(Point{impl_->box.max_corner().x(), impl_->box.max_corner().y(), 1e300});
  return box;
}

bool SelectionArea::Contains(const Box3& box) const {
  if (box.Empty()) return false;
  Box2 flat{Point2{box.min.x, box.min.y}, Point2{box.max.x, box.max.y}};
  if (!bg::covered_by(flat, impl_->box)) return false;
  Polygon2 rectangle;
  bg::convert(flat, rectangle);
  return bg::covered_by(rectangle, impl_->polygon);
}

namespace {
// A path as Boost.Geometry sees it; a path whose points all coincide is a point.
Path2 FlatPath(const std::vector<Point>& path) {
  Path2 line;
  for (const Point& p : path)
    if (line.empty() || !bg::equals(line.back(), Flat(p))) line.push_back(Flat(p));
  return line;
}
}  // namespace

bool SelectionArea::WhollyInside(const Outline& outline) const {
  if (outline.Empty()) return false;
  for (const Point& p : outline.points)
    if (!bg::covered_by(Flat(p), impl_->polygon)) return false;
  for (const auto& path : outline.paths) {
    Path2 line = FlatPath(path);
    if (line.size() == 1 ? !bg::covered_by(line.front(), impl_->polygon)
                         : !bg::covered_by(line, impl_->polygon))
      return false;
  }
  return true;
}

bool SelectionArea::Touches(const Outline& outline) const {
  for (const Point& p : outline.points)
    if (bg::covered_by(Flat(p), impl_->polygon)) return true;
  for (const auto& path : outline.paths) {
    Path2 line = FlatPath(path);
    if (line.size() == 1 ? bg::covered_by(line.front(), impl_->polygon)
                         : bg::intersects(line, impl_->polygon))
      return true;
  }
  return false;
}

}  // namespace cadhost
