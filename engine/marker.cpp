#include "engine/marker.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <vector>

#include "engine/flags.h"
#include "host/host_state.h"

namespace engine {
namespace {

cad::DocumentPtr Drawing() {
  cad::DocumentPtr drawing = host::Host().activeDocument;
  if (!drawing) throw cad::HostError("Object variable not set");
  return drawing;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

double Radians(double degrees) { return degrees * kFlagPi / 180.0; }

// The lemon: two square corners and two quarter-circle corners about the
// origin make a closed 16-unit outline; a short line marks the centre; the
// attribute sits below-left. Every part takes the reference's colour.
void DrawLemon(cad::Block& shape) {
  shape.AddLightWeightPolyline({8, 0, 8, 8, 0, 8})->color(cad::kColorByBlock);
  shape.AddLightWeightPolyline({-8, 0, -8, -8, 0, -8})->color(cad::kColorByBlock);
  shape.AddArc({0, 0, 0}, 8, Radians(270), Radians(0))->color(cad::kColorByBlock);
  shape.AddArc({0, 0, 0}, 8, Radians(90), Radians(180))->color(cad::kColorByBlock);
  shape.AddLine({-0.05, 0, 0}, {0.05, 0, 0})->color(cad::kColorByBlock);
  cad::AttributeDefinitionPtr flag = shape.AddAttribute(5, 0, "Flag", {-10, -16, 0}, "Flag", "?");
  flag->Alignment(cad::kAlignmentMiddleCenter);
  flag->color(cad::kColorByBlock);
}

}  // namespace

cad::BlockPtr MarkerShapeBlock(const std::string& shapeName) {
  cad::DocumentPtr drawing = Drawing();
  cad::BlocksPtr blocks = drawing->Blocks();
  for (long i = 0; i < blocks->Count(); ++i) {
    cad::BlockPtr block = blocks->Item(i);
    if (Lower(block->Name()) == Lower(shapeName)) return block;
  }
  if (shapeName != kMarkerShape) {
    throw cad::HostError("The marker shape \"" + shapeName + "\" is not in the drawing");
  }
  drawing->StartUndoMark();
  try {
    cad::BlockPtr shape = blocks->Add({0, 0, 0}, shapeName);
    DrawLemon(*shape);
    drawing->EndUndoMark();
    return shape;
  } catch (const std::exception&) {
    drawing->CancelUndoMark();
    throw;
  }
}

cad::BlockReferencePtr PlaceMarker(const MarkerRequest& request) {
  const cad::BlockPtr shape = MarkerShapeBlock(request.shapeName);
  cad::BlockReferencePtr marker =
      Drawing()->ModelSpace()->InsertBlock(request.insertionPoint, shape->Name(), 1, 1, 1, 0);
  marker->ScaleEntity(request.insertionPoint, request.sizeFactor);
  marker->color(request.colorNumber);
  if (!request.wording.empty() && marker->HasAttributes()) {
    const std::vector<cad::AttributeReferencePtr> attributes = marker->GetAttributes();
    const std::string wording = Lower(request.wording);
    if (!attributes.empty() && wording == kUseBlockNameWording) {
      if (!request.oldReference) throw cad::HostError("Object variable not set");
      attributes.front()->TextString(request.oldReference->Name());
    } else if (!attributes.empty() && wording != kBlankWording) {
      attributes.front()->TextString(request.wording);
    }
  }
  marker->SetXData(FlagXData(request.wording));
  return marker;
}

}  // namespace engine
