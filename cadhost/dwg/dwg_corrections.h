// Puts right, in a drawing read from the DXF that LibreDWG wrote, what its
// DXF writer is known to get wrong, from the facts of its object model.
#pragma once

#include <string>
#include <vector>

#include "cadhost/database.h"
#include "cadhost/dwg/dwg_sidecar.h"

namespace cadhost::dwg {

struct CorrectionSummary {
  int attdefsCorrected = 0;    // flags, prompt, tag or default value set from the object model
  int attribsCorrected = 0;    // tag, flags or value set from the object model
  int attribsRestored = 0;     // attributes the DXF left out, added to their references
  // What the DXF still lacks, one item each: "2 MULTILEADER", "the true
  // colours of 12 entities", ...; empty when the drawing came through whole.
  std::vector<std::string> losses;
};

// Sets every attribute definition's flags, prompt and default value and every
// attribute's tag, flags and value to what the object model holds (matched by
// handle), adds the attributes the DXF left out to their block references,
// and lists what the drawing still lacks against the object model's counts.
CorrectionSummary ApplySidecar(Database& drawing, const DwgSidecar& sidecar);

}  // namespace cadhost::dwg
