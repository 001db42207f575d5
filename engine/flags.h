// Flag text on replaced references whose attributes fell short, and the
// layering pass that gathers every flag mark of model space on the flag layer.
#pragma once

#include <string>

#include "engine/run_hooks.h"
#include "host/cad.h"

namespace forms {
class UiPort;
}
namespace host {
class FrmProgress;
}

namespace engine {

inline constexpr const char* kFlagLayer = "___FLAGS___";
// The extended-data application every flag mark carries (1001), followed by
// its wording (1000); the Clear Flags command finds the marks by it.
inline constexpr const char* kFlagsApp = "Flags";
inline constexpr int kAttributeFlagColor = 21;
inline constexpr const char* kZeroAttsWording = "Zero Att's";
inline constexpr const char* kFewerAttsWording = "Att's<expected";

// The angle constant the program turns degrees and radians with.
inline constexpr double kFlagPi = 3.141592;

// Where and how one flag text goes: the new reference's insertion point and
// rotation (radians) as the run inserted it, and the wording.
struct AttributeFlag {
  cad::Point3 insertionPoint;
  double rotation = 0.0;
  std::string wording;
};

// The flag XDATA of a mark with that wording.
cad::XData FlagXData(const std::string& wording);

// The rotation (radians) a flag text gets on a reference rotated by `rotation`:
// turned half a turn when it would read upside down (90 to 270 degrees).
double UprightFlagRotation(double rotation);

// Adds the flag text to model space of the active drawing, centred on the
// reference's insertion point, colour 21, with the flag XDATA. The text
// height is worked out from the first flagged reference of the row (a quarter
// of its height) and kept in `row` for the row's later flags. The text is
// created on the current layer; the layering pass moves it.
cad::TextPtr AddAttributeFlag(RunRow& row, const cad::BlockReference& newReference,
                              const AttributeFlag& flag);

// Makes the flag layer current (creating it when missing) and moves every
// entity of model space carrying the flag XDATA onto it, earlier runs' marks
// included, showing the count on `progress` when given. Returns the number
// moved; 0 when the flag layer could not be made current (SetVarLayer has told
// the user then).
long LayerFlagMarks(forms::UiPort& ui, host::FrmProgress* progress);

}  // namespace engine
