#include "selection/polygon_points.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "selection/ucs.h"

namespace selection {

PolygonState& M_Polygon() {
  static PolygonState state;
  return state;
}

double RoundTo15SignificantDigits(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", value);
  return std::strtod(text, nullptr);
}

void BuildPolygonPoints() {
  PolygonState& state = M_Polygon();
  SetWorldUcs();
  if (!state.pickedEntity) throw cad::HostError("Object variable not set");
  const std::vector<double> coordinates = state.pickedEntity->Coordinates();
  const std::string objectName = state.pickedEntity->ObjectName();

  std::vector<double> points;
  const bool hasZ = objectName.find("3d") != std::string::npos ||
                    objectName.find("2d") != std::string::npos;
  if (hasZ) {
    points.reserve(coordinates.size());
    for (std::size_t i = 0; i < coordinates.size(); ++i) {
      points.push_back(i % 3 == 2 ? 0.0 : RoundTo15SignificantDigits(coordinates[i]));
    }
  } else {
    points.reserve(coordinates.size() / 2 * 3 + 1);
    for (std::size_t i = 0; i + 1 < coordinates.size(); i += 2) {
      points.push_back(RoundTo15SignificantDigits(coordinates[i]));
      points.push_back(RoundTo15SignificantDigits(coordinates[i + 1]));
      points.push_back(0.0);
    }
  }
  (state.reachSelector ? state.reachPoints : state.polygonPoints) = std::move(points);
}

}  // namespace selection
