#include "inventory/frm_replace_blocks.h"

namespace inventory {

Frm_ReplaceBlocks::Frm_ReplaceBlocks(forms::UiPort& ui) : Form("Frm_ReplaceBlocks", ui) {
  Caption("Replace Blocks");
  Move(0, 0, 15270, 9945);
}

}  // namespace inventory
