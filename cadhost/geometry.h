// Plane geometry of entities: transforms, outlines, extents and the polygon
// tests selections are judged by.
#pragma once

#include <array>
#include <vector>

#include "cadhost/database.h"

namespace cadhost {

// An axis-aligned box in world coordinates; empty until a point is added.
struct Box3 {
  Point min{1, 1, 1};
  Point max{-1, -1, -1};
  bool Empty() const { return min.x > max.x; }
  void Add(const Point& p);
  void Merge(const Box3& other);
};

// An affine map of 3D points: a block reference's placement of its block's
// content (translate, rotate about z, scale), composed for nested references.
struct Transform {
  std::array<std::array<double, 4>, 3> m{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}}};
  Point Apply(const Point& p) const;
  Transform Then(const Transform& outer) const;  // this first, then outer
  // How much the map scales lengths in the plane, on average (for extents).
  double PlaneScale() const;
  static Transform Placement(const Point& base, const Point& insertion, double xScale,
                             double yScale, double zScale, double rotation);
  static Transform Scaling(const Point& basePoint, double factor);
};

// Object coordinate systems: the points of a planar entity (a block
// reference, a text, a circle, an arc, a 2D polyline) lie in the plane its
// normal (210, extrusion direction) defines, with axes chosen by the DXF
// arbitrary axis algorithm. A mirrored reference has the normal (0, 0, -1).
inline constexpr Point kWorldNormal{0, 0, 1};
bool IsWorldNormal(const Point& normal);
// The map from the plane of `normal` to world coordinates (its inverse is its
// transpose: the axes are unit and at right angles).
Transform OcsToWorld(const Point& normal);
Point OcsToWcs(const Point& p, const Point& normal);
Point WcsToOcs(const Point& p, const Point& normal);

// The placement of each copy a block reference shows of its block: one for a
// plain reference, one per cell of a multi-row, multi-column reference (the
// grid turned with the reference's rotation).
std::vector<Transform> ReferencePlacements(const InsertData& insert, const Point& blockBase);

// What an entity looks like for selections and extents: its curves as
// polylines in world coordinates (arcs and circles tessellated through their
// quadrant points) and its isolated points.
struct Outline {
  std::vector<std::vector<Point>> paths;
  std::vector<Point> points;
  Box3 Extents() const;
  bool Empty() const { return paths.empty() && points.empty(); }
};

// Appends the outline of an entity, mapped by `transform`. A block reference
// contributes its block's whole content and its visible attributes; texts their
// estimated extents rectangle. Nested references are followed, except into a
// block already being expanded (a malformed drawing's block that contains
// itself) or deeper than any real drawing nests.
void AppendOutline(const Database& db, const Entity& entity, const Transform& transform,
                   Outline& out);
// The content of a block definition in block coordinates (what a reference shows).
void AppendBlockOutline(const Database& db, BlockId block, const Transform& transform,
                        Outline& out);
// True when the content of `block` shows `target`, directly or nested.
bool BlockShows(const Database& db, BlockId block, BlockId target);

// The four corners of a text's extents (lower left, lower right, upper right,
// upper left), estimated from height, width factor and character count and
// placed by its alignment and rotation.
std::array<Point, 4> TextCorners(const TextFields& text);
std::array<Point, 4> MTextCorners(const MTextData& mtext);

// The closed area a polygon selection is bounded by; any simple polygon,
// convex or not, given by its vertices (it closes by itself).
class SelectionArea {
 public:
  // `xyz` holds x, y, z per vertex. Throws std::invalid_argument for fewer than
  // three vertices or a list whose length is not a multiple of three.
  explicit SelectionArea(const std::vector<double>& xyz);
  ~SelectionArea();
  SelectionArea(SelectionArea&&) noexcept;
  Box3 Bounds() const;
  bool Contains(const Box3& box) const;            // the box lies wholly inside
  bool WhollyInside(const Outline& outline) const;  // every curve and point inside
  bool Touches(const Outline& outline) const;       // inside or crossing the boundary

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace cadhost
