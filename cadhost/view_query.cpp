#include "cadhost/view_query.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <variant>

namespace cadhost {

namespace {

double SegmentDistance(const Point& a, const Point& b, const Point& p) {
  double dx = b.x - a.x, dy = b.y - a.y;
  double length2 = dx * dx + dy * dy;
  double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y);
}

// True when the point lies within the box of a text's letters, where a user
// clicks to pick a text (its outline is only the box's edges).
bool InsideText(const Entity& entity, const Point& p) {
  std::array<Point, 4> corners;
  if (auto* text = std::get_if<TextData>(&entity.data)) {
    corners = TextCorners(text->text);
  } else if (auto* mtext = std::get_if<MTextData>(&entity.data)) {
    corners = MTextCorners(*mtext);
  } else if (auto* attdef = std::get_if<AttdefData>(&entity.data)) {
    corners = TextCorners(attdef->text);
  } else {
    return false;
  }
  int positive = 0, negative = 0;
  for (std::size_t i = 0; i < corners.size(); ++i) {
    const Point& a = corners[i];
    const Point& b = corners[(i + 1) % corners.size()];
    double cross = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
    positive += cross > 0;
    negative += cross < 0;
  }
  return positive == 0 || negative == 0;
}

}  // namespace

bool LayerShown(const Database& db, const std::string& layer) {
  const LayerRecord* record = db.layers.FindRecord(layer);
  return !record || (record->On() && !record->Frozen());
}

std::vector<EntityId> ModelSpaceMeeting(Drawing& drawing, const Box3& box) {
  std::vector<EntityId> found = drawing.index().Meeting(box);
  const Database& db = drawing.db();
  std::erase_if(found, [&](EntityId id) {
    const Entity& entity = db.At(id);
    return entity.erased || entity.container != db.ModelSpace();
  });
  std::sort(found.begin(), found.end(), [](EntityId a, EntityId b) { return a.value < b.value; });
  return found;
}

double DistanceInPlane(const Outline& outline, const Point& point) {
  double best = std::numeric_limits<double>::infinity();
  for (const auto& path : outline.paths) {
    if (path.size() == 1) best = std::min(best, SegmentDistance(path[0], path[0], point));
    for (std::size_t i = 1; i < path.size(); ++i)
      best = std::min(best, SegmentDistance(path[i - 1], path[i], point));
  }
  for (const Point& p : outline.points) best = std::min(best, std::hypot(p.x - point.x, p.y - point.y));
  return best;
}

EntityId NearestEntity(Drawing& drawing, const Point& point, double aperture) {
  Box3 box;
  box.Add({point.x - aperture, point.y - aperture, 0});
  box.Add({point.x + aperture, point.y + aperture, 0});
  EntityId nearest;
  double best = aperture;
  for (EntityId id : ModelSpaceMeeting(drawing, box)) {
    if (!LayerShown(drawing.db(), drawing.db().At(id).layer)) continue;
    double distance = InsideText(drawing.db().At(id), point)
                          ? 0.0
                          : DistanceInPlane(drawing.OutlineOf(id), point);
    if (distance <= best) {  // later (drawn on top) wins a tie
      best = distance;
      nearest = id;
    }
  }
  return nearest;
}

}  // namespace cadhost
