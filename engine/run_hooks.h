// The places where the replace run hands its work to the attribute transfer,
// the flag marking and the station text check. Each hook is empty until the
// part that does the work is wired in; the run then behaves as a run without
// that part: no matches loaded means no transfer, no flags means no layering
// pass, no station check means no reach count.
#pragma once

#include <functional>
#include <string>

#include "engine/run_summary.h"
#include "host/cad.h"

namespace engine {

// One grid row as the run works on it.
struct RunRow {
  int row = 0;
  std::string oldName;          // column 0
  std::string replacementName;  // column 4, in capitals
  std::string source;           // column 5
  double flagTextHeight = 0.0;  // worked out once per row by the flag marking
  // The attribute flag wording of the reference just handed to the attribute
  // transfer ("Zero Att's", "Att's<expected"), empty when it needs no flag;
  // read by the flag marking.
  std::string attributeFlag;
};

// The row's attribute matches as loaded from the store.
struct RowMatches {
  bool matchesExist = false;
  std::string separator = "asdf42";
};

// One reference being replaced, after its replacement was inserted, stamped and layered.
struct ReplacedReference {
  cad::BlockReferencePtr oldReference;
  cad::BlockReferencePtr newReference;
  cad::Point3 insertionPoint;  // where the replacement went, as the old reference reports it
  double scale = 1.0;          // the one X, Y and Z scale the replacement was inserted with
};

struct ReplaceRunHooks {
  // Loads the row's matches before its references are replaced.
  std::function<RowMatches(RunRow& row)> loadMatches;
  // Carries the attribute values over and flags what could not be (only when
  // the row's matches exist). A failure takes back the reference's replacement.
  std::function<void(RunRow& row, const RowMatches& matches, const ReplacedReference& reference,
                     RunCounts& counts)>
      transferAttributes;
  // The station text check of a new reference, when "Reach Text" is ticked.
  std::function<void(RunRow& row, const ReplacedReference& reference, RunCounts& counts)>
      stationCheck;
  // Moves the flag text to the flag layer at the end of a run that flagged any.
  std::function<void(RunCounts& counts)> flagLayeringPass;
};

}  // namespace engine
