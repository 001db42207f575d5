#include "engine/flags.h"

#include "engine/set_var_layer.h"
#include "host/frm_progress.h"
#include "host/host_state.h"
#include "selection/selection_sets.h"

namespace engine {
namespace {

// Degrees computed with the program's angle constant land a hair off the
// exact boundary angles; this much slack keeps 90 and 270 inside the range.
constexpr double kBoundarySlackDegrees = 1e-4;

// A quarter of the reference's height; a flat reference (a row of points or
// a line along X) takes a quarter of its width, and one without any extent a
// height of 1 drawing unit, so the text can always be made.
double FlagTextHeight(const cad::BlockReference& reference) {
  cad::Point3 lower;
  cad::Point3 upper;
  reference.GetBoundingBox(lower, upper);
  const double quarterY = (upper.y - lower.y) / 4.0;
  if (quarterY > 0.0) return quarterY;
  const double quarterX = (upper.x - lower.x) / 4.0;
  return quarterX > 0.0 ? quarterX : 1.0;
}

}  // namespace

cad::XData FlagXData(const std::string& wording) {
  return {{1001, std::string(kFlagsApp)}, {1000, wording}};
}

double UprightFlagRotation(double rotation) {
  double degrees = rotation * 180.0 / kFlagPi;
  if (degrees >= 90.0 - kBoundarySlackDegrees && degrees <= 270.0 + kBoundarySlackDegrees) {
    degrees += 180.0;
  }
  return degrees * kFlagPi / 180.0;
}

cad::TextPtr AddAttributeFlag(RunRow& row, const cad::BlockReference& newReference,
                              const AttributeFlag& flag) {
  const double height = FlagTextHeight(newReference);
  if (row.flagTextHeight == 0.0) row.flagTextHeight = height;
  cad::DocumentPtr drawing = host::Host().activeDocument;
  if (!drawing) throw cad::HostError("Object variable not set");
  cad::TextPtr text =
      drawing->ModelSpace()->AddText(flag.wording, flag.insertionPoint, row.flagTextHeight);
  text->Alignment(cad::kAlignmentMiddleCenter);
  text->TextAlignmentPoint(flag.insertionPoint);
  text->Rotation(UprightFlagRotation(flag.rotation));
  text->color(kAttributeFlagColor);
  text->SetXData(FlagXData(flag.wording));
  return text;
}

long LayerFlagMarks(forms::UiPort& ui, host::FrmProgress* progress) {
  if (!SetVarLayer(ui, kFlagLayer)) return 0;
  selection::DeleteSelectionSet(selection::kSS2);
  selection::CreateSelectionSet(selection::kSS2);
  selection::SetFilterEntry0(selection::kFilterXDataApp, kFlagsApp);
  cad::SelectionSetPtr& marks = selection::M_Select().SS2;
  marks->Select(cad::SelectMode::All, selection::M_Select().filter);
  const long count = marks->Count();
  if (count == 0) return 0;
  if (progress != nullptr) {
    progress->ProgressBar1.Min(0);
    progress->ProgressBar1.Max(static_cast<float>(count));
    progress->ProgressBar1.Value(0);
    progress->Caption("Layering Flag Text");
  }
  for (long i = 0; i < count; ++i) {
    if (progress != nullptr) {
      progress->ProgressBar1.Value(static_cast<float>(i + 1));
      progress->Repaint();
    }
    cad::EntityPtr mark = marks->Item(i);
    mark->Layer(kFlagLayer);
    mark->Update();
  }
  return count;
}

}  // namespace engine
