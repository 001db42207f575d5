// Where the program's DWG reader helper is, how long it may take and where
// its conversions are kept.
#pragma once

#include "cadhost/dwg/dwg_converter.h"

namespace app {

// The reader installed with the program (cadhost/dwg/reader), its cache in
// the per-user folder beside the settings store ($XDG_CONFIG_HOME/cindral/
// dwg-cache). CINDRAL_DWG_READER names another reader script and
// CINDRAL_DWG_TIME_LIMIT another time limit in seconds (default 120).
cadhost::dwg::DwgReaderSetup DwgReaderSetupFromEnvironment();

}  // namespace app
