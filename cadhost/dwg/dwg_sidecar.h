// What the DWG reader takes from LibreDWG's object model beside the DXF it
// writes: the facts that DXF writer is known to get wrong or leave out.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "cadhost/entity.h"

namespace cadhost::dwg {

// One attribute definition or attribute as the object model holds it.
struct SidecarAttribute {
  Handle handle = 0;
  std::string tag;
  int flags = 0;  // 1 invisible, 2 constant, 4 verify, 8 preset
  std::string layer = "0";
  TextFields text;  // value, placement, height, style, alignment
};

struct SidecarAttdef : SidecarAttribute {
  std::string prompt;
};

// A block reference and its attributes, in the order the DWG keeps them.
struct SidecarInsert {
  Handle handle = 0;
  std::string block;
  std::vector<SidecarAttribute> attribs;
};

struct DwgSidecar {
  std::string version;                      // "AC1018", ...
  std::map<std::string, int> entityCounts;  // every entity of the file by DXF type
  int trueColours = 0;                      // entities with a colour of their own beyond the 255
  int transparencies = 0;                   // entities with a transparency of their own
  int undecoded = 0;                        // objects LibreDWG could not decode
  struct Kind {
    int count = 0;
    bool entity = false;
  };
  std::map<std::string, Kind> undecodedKinds;  // those whose class the file names, by that name
  std::vector<SidecarAttdef> attdefs;
  std::vector<SidecarInsert> inserts;
};

// Parses the reader's JSON; throws std::runtime_error saying what is wrong.
DwgSidecar ParseSidecar(std::string_view json);

}  // namespace cadhost::dwg
