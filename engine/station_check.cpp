#include "engine/station_check.h"

#include <array>
#include <charconv>
#include <exception>
#include <vector>

#include "engine/flags.h"
#include "engine/marker.h"
#include "engine/set_var_layer.h"
#include "forms/ui_port.h"
#include "host/host_state.h"
#include "host/startup.h"
#include "selection/polygon_points.h"
#include "selection/selection_sets.h"
#include "setup/scale_rotation_layer.h"

namespace engine {
namespace {

constexpr const char* kSingleLineText = "AcDbText";
constexpr int kReachPolygonSides = 12;

// Shortest text that reads back as the same double, never in exponent form
// and never with the locale's decimal comma.
std::string PlainDecimal(double value) {
  std::array<char, 400> buffer{};
  const auto [end, error] =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
  if (error != std::errc()) throw cad::HostError("A coordinate cannot be written as a number");
  return std::string(buffer.data(), end);
}

// Recreates "SS3" and fills it with the last entity the drawing holds.
cad::SelectionSetPtr SelectLastEntity() {
  selection::DeleteSelectionSet(selection::kSS3);
  selection::CreateSelectionSet(selection::kSS3);
  cad::SelectionSetPtr last = selection::M_Select().SS3;
  last->Select(cad::SelectMode::Last);
  return last;
}

std::string LastEntityHandle() {
  cad::SelectionSetPtr last = SelectLastEntity();
  return last->Count() == 1 ? last->Item(0)->Handle() : std::string();
}

// Reads the polygon's vertices into the reach point list. The polygon is
// deleted whatever happens, so no reach polygon outlives the check.
std::vector<double> ReadAndDeletePolygon(const cad::EntityPtr& polygon) {
  selection::PolygonState& state = selection::M_Polygon();
  try {
    polygon->color(cad::kColorRed);
    state.pickedEntity = polygon;
    state.reachSelector = true;
    selection::BuildPolygonPoints();
    state.reachSelector = false;
  } catch (const std::exception&) {
    state.reachSelector = false;
    try {
      polygon->Delete();
    } catch (const std::exception&) {
      // The first failure is the one to report; the run's undo mark takes
      // the polygon back with the rest of the reference's replacement.
    }
    throw;
  }
  polygon->Delete();
  return state.reachPoints;
}

// Draws the reach polygon of one attempt on the current layer and returns its
// vertices, or nothing when the command drew nothing. The last entity before
// the command is remembered so that an older entity is never taken (and
// deleted) for a polygon the command did not draw.
std::optional<std::vector<double>> DrawReachPolygon(const cad::Point3& center, int radius) {
  const std::string lastBefore = LastEntityHandle();
  host::RefreshActiveDocument()->SendCommand(ReachPolygonCommand(center, radius));
  cad::SelectionSetPtr last = SelectLastEntity();
  if (last->Count() != 1) return std::nullopt;
  cad::EntityPtr polygon = last->Item(0);
  if (polygon->Handle() == lastBefore) return std::nullopt;
  return ReadAndDeletePolygon(polygon);
}

// Recreates "SS3" with the model-space entities on the station text layer
// that the reach polygon crosses or holds.
cad::SelectionSetPtr SelectStationEntities(const std::vector<double>& reachPoints) {
  selection::SelectState& select = selection::M_Select();
  selection::SetFilterEntry0(selection::kFilterLayer, kStationTextLayer);
  selection::DeleteSelectionSet(selection::kSS3);
  selection::CreateSelectionSet(selection::kSS3);
  select.SS3->SelectByPolygon(cad::SelectMode::CrossingPolygon, reachPoints, select.filter);
  return select.SS3;
}

// What the single-line texts of a reach say: the one station text, or more
// than one different text once a station text was accepted.
struct ReachedText {
  std::optional<std::string> text;  // the accepted station text
  std::string stationNumber;        // its part before the first "-"
  bool several = false;             // a different text came after it
};

ReachedText ExamineReachedTexts(const cad::SelectionSet& reached) {
  ReachedText found;
  for (long i = 0; i < reached.Count(); ++i) {
    const cad::EntityPtr entity = reached.Item(i);
    if (entity->ObjectName() != kSingleLineText) continue;
    const std::string text = entity->TextString();
    if (found.text) {
      if (text == *found.text) continue;
      found.several = true;
      break;
    }
    if (std::optional<std::string> number = StationNumber(text)) {
      found.text = text;
      found.stationNumber = *number;
    }
  }
  return found;
}

// Marks the reference, moves it to the "-V" layer and counts it. The count
// rises last, so a reference whose marking fails (and whose replacement the
// run then takes back) is not counted.
void MarkFailure(forms::UiPort& ui, const ReplacedReference& reference, const std::string& wording,
                 RunCounts& counts) {
  SetVarLayer(ui, kFlagLayer);
  MarkerRequest marker;
  marker.insertionPoint = reference.insertionPoint;
  marker.oldReference = reference.oldReference;
  marker.wording = wording;
  marker.colorNumber = cad::kColorRed;
  marker.shapeName = kMarkerShape;
  marker.sizeFactor = kMarkerSizeRatio * reference.scale;
  PlaceMarker(marker);
  SetVarLayer(ui, kStationLayerSuffix);
  reference.newReference->Layer(kStationLayerSuffix);
  ++counts.reachCount;
}

}  // namespace

int ReachRadius(int attempt) { return 6 + 6 * attempt; }

std::string ReachPolygonCommand(const cad::Point3& center, int radius) {
  return "polygon\r" + std::to_string(kReachPolygonSides) + "\r" + PlainDecimal(center.x) + "," +
         PlainDecimal(center.y) + ",0\rC\r" + std::to_string(radius) + "\r";
}

std::optional<std::string> StationNumber(const std::string& text) {
  const std::size_t dash = text.find('-');
  if (dash == std::string::npos || dash == 0) return std::nullopt;
  std::string number = text.substr(0, dash);
  if (!setup::IsLocaleNumber(number)) return std::nullopt;
  return number;
}

StationCheckResult CheckStationText(forms::UiPort& ui, const ReplacedReference& reference,
                                    RunCounts& counts) {
  cad::BlockReference& made = *reference.newReference;
  if (!made.HasAttributes()) return StationCheckResult::NotChecked;
  const std::vector<cad::AttributeReferencePtr> attributes = made.GetAttributes();
  if (attributes.empty()) return StationCheckResult::NotChecked;

  cad::SelectionSetPtr reached;
  for (int attempt = 1; attempt <= kReachAttempts; ++attempt) {
    SetVarLayer(ui, kFlagLayer);
    const std::optional<std::vector<double>> reachPoints =
        DrawReachPolygon(reference.insertionPoint, ReachRadius(attempt));
    if (!reachPoints) {
      forms::MessageBoxRequest box = host::InformationBox(kNoReachPolygonText, kNoReachPolygonTitle);
      ui.ShowMessage(box);
      MarkFailure(ui, reference, kNoValidTextWording, counts);
      return StationCheckResult::Failed;
    }
    cad::SelectionSetPtr crossing = SelectStationEntities(*reachPoints);
    if (crossing->Count() > 0) {
      reached = crossing;
      break;
    }
  }

  const ReachedText found = reached ? ExamineReachedTexts(*reached) : ReachedText{};
  if (found.several || !found.text) {
    MarkFailure(ui, reference, found.several ? kManyTextsWording : kNoValidTextWording, counts);
    return StationCheckResult::Failed;
  }
  attributes.front()->TextString(*found.text);
  const std::string stationLayer = found.stationNumber + kStationLayerSuffix;
  SetVarLayer(ui, stationLayer);
  made.Layer(stationLayer);
  return StationCheckResult::Accepted;
}

}  // namespace engine
