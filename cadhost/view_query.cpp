#include "cadhost/view_query.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace cadhost {

namespace {

double SegmentDistance(const Point& a, const Point& b, const Point& p) {
  double dx = b.x - a.x, dy = b.y - a.y;
  double length2 = dx * dx + dy * dy;
  double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y);
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
    double distance = DistanceInPlane(drawing.OutlineOf(id), point);
    if (distance <= best) {  // later (drawn on top) wins a tie
      best = distance;
      nearest = id;
    }
  }
  return nearest;
}

}  // namespace cadhost
