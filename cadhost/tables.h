// Symbol table records the host models: LAYER, APPID, UCS and BLOCK_RECORD.
#pragma once

#include <string>

#include "cadhost/entity.h"
#include "cadhost/record.h"

namespace cadhost {

// Fields every symbol table record has.
struct TableRecord : DxfRecord {
  std::string name;  // 2
  int flags = 0;     // 70
};

struct LayerRecord : TableRecord {
  int color = cad::kColorWhite;         // 62, negative when the layer is off
  std::string linetype = "Continuous";  // 6
  bool On() const { return color >= 0; }
  bool Frozen() const { return (flags & 1) != 0; }
};

struct AppIdRecord : TableRecord {};

struct UcsRecord : TableRecord {
  Point origin;            // 10
  Point xAxis{1, 0, 0};    // 11, unit direction
  Point yAxis{0, 1, 0};    // 12, unit direction
};

// The BLOCK_RECORD entry of a block definition (R2000 and newer): the owner
// (330) of the definition's BLOCK, ENDBLK and entities.
struct BlockRecordEntry : TableRecord {
  BlockId block;  // the definition it stands for
};

// The TABLE head of a modelled table: its own handle, owner and raw tags
// (0 TABLE up to the first record, without the records).
struct TableHead : DxfRecord {};

}  // namespace cadhost
