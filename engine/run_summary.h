// The message that closes a replace run, telling the user what needs attention.
#pragma once

#include <string>
#include <vector>

namespace engine {

// One reference the run could not replace: a host call failed while its
// replacement was being built, so what was made for it was taken back and the
// old reference kept.
struct ReferenceFailure {
  std::string blockName;    // the old block
  std::string description;  // the host's description of the failure
  friend bool operator==(const ReferenceFailure&, const ReferenceFailure&) = default;
};

// What a replace run collected for its summary. Counts are wide so that a run over
// a large drawing cannot overflow them.
struct RunCounts {
  long fewerAttributeCount = 0;  // old references with fewer attributes than matched
  long zeroAttributeCount = 0;   // old references without attributes
  std::string notFoundList;      // replacements not inserted, joined by carriage returns
  long reachCount = 0;           // references whose station text check failed
  std::vector<ReferenceFailure> failedReferences;  // in the order they failed
};

// The summary text; empty when the run went cleanly and no message is due.
std::string BuildRunSummary(const RunCounts& counts);

}  // namespace engine
