// Marker shapes: the "zLemon" block inserted beside a replaced reference that
// needs the user's attention, with the reason written in its "Flag" attribute.
#pragma once

#include <string>

#include "host/cad.h"

namespace engine {

inline constexpr const char* kMarkerShape = "zLemon";
inline constexpr const char* kNoValidTextWording = "No valid Text Reached";
inline constexpr const char* kManyTextsWording = ">1 TextString Found";
// Wordings the marker treats specially: "blank" keeps the attribute's "?",
// "use block name" writes the old reference's block name.
inline constexpr const char* kBlankWording = "blank";
inline constexpr const char* kUseBlockNameWording = "use block name";
// A marker is this fraction of the new reference's scale.
inline constexpr double kMarkerSizeRatio = 0.3;

// One marker to place.
struct MarkerRequest {
  cad::Point3 insertionPoint;          // the new reference's insertion point
  cad::BlockReferencePtr oldReference; // read for "use block name"
  std::string wording;
  int colorNumber = cad::kColorRed;
  std::string shapeName = kMarkerShape;
  double sizeFactor = kMarkerSizeRatio;  // kMarkerSizeRatio times the new reference's scale
};

// The marker shape block of the active drawing: the existing definition of
// that name as it is, or for "zLemon" a new one drawn in colour ByBlock (a
// 16-unit lemon outline, a centre tick and the "Flag" attribute). A shape
// other than "zLemon" that the drawing lacks fails with a description. A
// failure while drawing the new definition takes it back whole.
cad::BlockPtr MarkerShapeBlock(const std::string& shapeName);

// Inserts the marker into model space of the active drawing, on the current
// layer (the caller makes the flag layer current first), scaled about the
// insertion point by the size factor, in the colour given, with the wording
// in its first attribute and the flag XDATA holding the wording.
cad::BlockReferencePtr PlaceMarker(const MarkerRequest& request);

}  // namespace engine
