// The station text reach check of the replace run: the irrigation station
// text near a new reference names its station, which goes into the
// reference's first attribute and picks its layer ("12-A" gives layer 12-V).
// A reference that reaches no station text, or two different ones, gets a
// marker, goes to layer "-V" and is counted for the run summary.
#pragma once

#include <optional>
#include <string>

#include "engine/run_hooks.h"
#include "engine/run_summary.h"
#include "host/cad.h"

namespace forms {
class UiPort;
}

namespace engine {

inline constexpr const char* kStationTextLayer = "IRR_STATION";
// A station layer is the station number followed by this; alone it is the
// layer of references whose check failed.
inline constexpr const char* kStationLayerSuffix = "-V";
inline constexpr const char* kNoReachPolygonText = "No reach polygon found";
inline constexpr const char* kNoReachPolygonTitle = "CkReachText.value = Checked";
// The search widens three times before it gives up.
inline constexpr int kReachAttempts = 3;

// The reach radius of attempt 1, 2 or 3: 12, 18 or 24 drawing units.
int ReachRadius(int attempt);

// The command line input that draws a regular 12-sided polygon circumscribed
// about a circle of `radius` around `center`. Numbers are plain decimal text
// whatever the user's locale, since the command line reads them that way.
std::string ReachPolygonCommand(const cad::Point3& center, int radius);

// The station number of a station text: the part before its first "-", when
// that part is not empty and reads as a number the way the user writes one
// (blanks around, the locale's decimal separator). "12-A" gives "12"; "AB-1",
// "-5" and "12" give nothing.
std::optional<std::string> StationNumber(const std::string& text);

enum class StationCheckResult {
  NotChecked,  // the new reference has no attributes
  Accepted,    // exactly one station text reached; written and layered
  Failed,      // none or several reached; marked, layered "-V" and counted
};

// The check for one new reference of the run, on the active drawing. Draws
// the reach polygon on the flag layer (radius 12, then 18, then 24, stopping
// at the first that crosses anything on the station text layer), reads the
// single-line station texts it crosses and writes the outcome into the
// drawing. Leaves the station layer current. A host failure reaches the
// caller with no reach polygon left behind; the replace run then takes the
// whole replacement of that reference back.
StationCheckResult CheckStationText(forms::UiPort& ui, const ReplacedReference& reference,
                                    RunCounts& counts);

}  // namespace engine
