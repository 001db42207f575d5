// The HEADER section variables the host works with.
#pragma once

#include <memory>
#include <string>

#include "cadhost/entity.h"

namespace cadhost {

// Drawing variables the host reads and changes. `source` holds the whole
// HEADER section as read (every variable, in order, modelled or not); when
// `modified` is set the writer writes it with the modelled variables replaced
// by these values (and added where missing).
struct Header {
  std::string acadVer = "AC1015";        // $ACADVER (1)
  Handle handSeed = 1;                   // $HANDSEED (5): next free handle
  std::string codePage = "ANSI_1252";    // $DWGCODEPAGE (3)
  Point insBase;                         // $INSBASE (10, 20, 30)
  int insUnits = 0;                      // $INSUNITS (70)
  std::string currentLayer = "0";        // $CLAYER (8)

  std::shared_ptr<const dxf::Tags> source;
  bool modified = false;
};

}  // namespace cadhost
