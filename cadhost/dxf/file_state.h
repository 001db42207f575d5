// What a loaded drawing keeps of its file so it can be written back as it was.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cadhost/database.h"
#include "cadhost/dxf/tag.h"

namespace cadhost::dxf {

// Kept in Database::unmodelled.dxfState. Holds the file's bytes (every source
// span points into them), the section order and the framing tags of each
// section and modelled table, so that an unchanged drawing is written back
// byte for byte.
struct FileState {
  struct SectionFrame {
    std::string name;
    Tags open;   // "0 SECTION" "2 NAME"
    Tags close;  // "0 ENDSEC"
  };
  std::shared_ptr<const TagList> file;
  std::vector<SectionFrame> sections;      // file order
  std::map<std::string, Tags> tableEnds;   // "0 ENDTAB" of each modelled table, by name
  std::map<std::string, std::size_t> tableEntries;  // entries each modelled table had when read
  std::vector<EntityId> entitiesSection;   // top-level entities of ENTITIES, file order
  // Entities a file keeps inside the model or paper space BLOCK rather than in
  // ENTITIES: written back where they were.
  std::vector<EntityId> inLayoutBlocks;
  std::vector<BlockId> madeBlocks;         // layouts the file lacked (R12), not written
  // Layers only the file's entities named: written into the file's LAYER
  // table, but no reason to add a TABLES section to a file that had none.
  std::vector<std::uint32_t> madeLayers;
};

}  // namespace cadhost::dxf
