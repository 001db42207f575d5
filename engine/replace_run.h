// The replace run: the "Replace Blocks" command of the work window.
#pragma once

#include <functional>
#include <string>

#include "engine/run_hooks.h"
#include "engine/run_summary.h"
#include "forms/flex_grid.h"
#include "inventory/frm_replace_blocks.h"

namespace engine {

inline constexpr const char* kRunStampApp = "_BRTempSSet";
inline constexpr const char* kNothingSelectedText = "Zero Blocks selected for Replacement";
inline constexpr const char* kPickPolylineText = "Pick a closed polyline to select blocks to be replaced";
inline constexpr const char* kNoneInModelSpaceText = "Zero Blocks (to be replaced) found in Model Space";
inline constexpr const char* kSummaryTitle = "Blocks Replaced";
inline constexpr const char* kQuestionTitle = "Continue with Cindral";

// Rows that name a replacement, and those of them whose attributes are not matched.
struct RowSelection {
  long long selected = 0;
  long long unmatched = 0;
};
RowSelection CountSelectedRows(const forms::FlexGrid& grid);

// The Yes/No question about rows with unmatched attributes.
std::string UnmatchedQuestion(const RowSelection& rows);

// The current local date and time as the run stamp, "12/9/2026 10:07:32 PM".
std::string RunStampNow();

// What the run needs besides the window: the hooks of the attribute, flag and
// station work, and the clock of the run stamp (RunStampNow when empty).
struct ReplaceRunServices {
  ReplaceRunHooks hooks;
  std::function<std::string()> clock;
};

// How a run ended.
enum class RunEnd {
  NothingSelected,  // no row names a replacement
  Declined,         // the question about unmatched attributes was answered No
  NoBoundary,       // the boundary pick failed or was not a closed polyline
  StoppedAtRow,     // a row had no reference in scope
  Completed,        // every row was handled, the drawing rescanned and the summary built
};

struct RunReport {
  RunEnd end = RunEnd::NothingSelected;
  RunCounts counts;
  std::string summary;  // the summary text of a completed run, empty when clean
};

// The whole replace run over the work window's grid.
RunReport ReplaceBlocks(inventory::Frm_ReplaceBlocks& form, const ReplaceRunServices& services);

}  // namespace engine
