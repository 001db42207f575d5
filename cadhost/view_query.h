// Questions a drawing window asks of a drawing: what is seen, and what lies
// nearest a picked point.
#pragma once

#include <string>
#include <vector>

#include "cadhost/drawing.h"

namespace cadhost {

// True when entities on that layer are drawn: the layer exists, is on and is
// not frozen. An entity naming a layer the drawing lacks is drawn.
bool LayerShown(const Database& db, const std::string& layer);

// The live top-level model-space entities whose extents meet the box, in
// drawing order (oldest first), found through the spatial index.
std::vector<EntityId> ModelSpaceMeeting(Drawing& drawing, const Box3& box);

// The shortest distance in the plane from a point to an outline's curves and points.
double DistanceInPlane(const Outline& outline, const Point& point);

// The shown model-space entity nearest the point whose geometry passes within
// `aperture` of it (a point within a text's letters is on the text) (ties go to the one drawn last, which is on top); none
// when nothing is that close.
EntityId NearestEntity(Drawing& drawing, const Point& point, double aperture);

}  // namespace cadhost
