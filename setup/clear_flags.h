// "Clear Flags" on the work window: removes the flag texts and marker shapes
// that replace runs left in the drawing.
#pragma once

#include <string>

namespace setup {

// Erases every entity of model space in the active drawing that carries
// extended data under the application name `flagsApp` (1001), whatever layer
// it now sits on, through the selection set "SS2", which is gone afterwards.
// Entities without that extended data stay, and so do the flag layer and the
// marker block definition. Asks nothing and reports nothing; a failing host
// call reaches the caller with the drawing unchanged.
void CmdClearFlags_Click(const std::string& flagsApp);

}  // namespace setup
