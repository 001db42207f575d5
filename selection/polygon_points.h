// Point lists for the host's polygon selections, made from a polyline's vertices.
#pragma once

#include <vector>

#include "host/cad.h"

namespace selection {

// The polyline whose vertices become a point list, the two lists, and which of them
// the next build fills. Lists hold x, y, 0 per vertex.
struct PolygonState {
  cad::EntityPtr pickedEntity;
  std::vector<double> polygonPoints;  // "Select By Poly" boundary (window polygon)
  std::vector<double> reachPoints;    // station text reach polygon (crossing polygon)
  bool reachSelector = false;         // true: the build fills reachPoints
};

PolygonState& M_Polygon();

// Reads the picked entity's vertices into the chosen point list, with every z set
// to 0. 2D and 3D polylines report x, y, z per vertex; lightweight polylines x, y.
// Host failures (an entity without vertices) reach the caller.
void BuildPolygonPoints();

// The value as the platform's default text conversion of a double keeps it:
// rounded to 15 significant digits.
double RoundTo15SignificantDigits(double value);

}  // namespace selection
