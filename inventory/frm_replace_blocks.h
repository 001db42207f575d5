// The main work window, child of the main frame: it will hold the block grid
// and the replacement choices.
#pragma once

#include "forms/form.h"

namespace inventory {

// Owns the work window's place and caption; the grid, the lists and the
// commands are added to it as the drawing scan and the editing arrive.
class Frm_ReplaceBlocks : public forms::Form {
 public:
  explicit Frm_ReplaceBlocks(forms::UiPort& ui);
};

}  // namespace inventory
