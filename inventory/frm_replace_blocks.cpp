#include "inventory/frm_replace_blocks.h"

#include "inventory/block_grid.h"

namespace inventory {
namespace {

void Colour(forms::Control& control, bool chosen) {
  control.ForeColor(chosen ? kChosenColor : kNotChosenColor);
}

}  // namespace

Frm_ReplaceBlocks::Frm_ReplaceBlocks(forms::UiPort& ui) : Form("Frm_ReplaceBlocks", ui) {
  LayOut();
  RegisterControls();
  onLoad = [this] { Form_Load(); };
  onActivate = [this] { Form_Activate(); };
}

// Positions in twips, relative to the control's frame. The grid frame takes
// the upper part of the window; the option and command frames sit in a row
// below it.
void Frm_ReplaceBlocks::LayOut() {
  Caption("Replace Blocks");
  Move(0, 0, 15270, 9945);

  FrameBlockDefs.Caption("Block Definitions");
  FrameBlockDefs.Move(120, 60, 14910, 6780);
  MSHBlockDefs.Container(&FrameBlockDefs);
  MSHBlockDefs.Move(120, 240, 14670, 6420);
  MSHBlockDefs.Cols(kGridColumns);
  ComboReplaceWith.Container(&FrameBlockDefs);
  ComboReplaceWith.Move(120, 240, 2205, 315);
  ComboReplaceWith.Visible(false);
  ComboScaleRotation.Container(&FrameBlockDefs);
  ComboScaleRotation.Move(120, 240, 915, 315);
  ComboScaleRotation.Visible(false);
  MSHSortAtts.Container(&FrameBlockDefs);
  MSHSortAtts.Move(120, 240, 4000, 1500);
  MSHSortAtts.Visible(false);

  FrameRePlaceWith.Caption("Replace With ");
  FrameRePlaceWith.Move(120, 6900, 4335, 1935);
  OptRepWith(0).Caption("From Dwg");
  OptRepWith(1).Caption("From Dir'");
  CmdSelectBlocksDir.Caption("Select Blocks Dir'");
  LblCurrentBlocksDir.Caption("In Drawing");
  for (forms::Control* control : {static_cast<forms::Control*>(&OptRepWith(0)),
                                  static_cast<forms::Control*>(&OptRepWith(1)),
                                  static_cast<forms::Control*>(&CmdSelectBlocksDir),
                                  static_cast<forms::Control*>(&LblCurrentBlocksDir)}) {
    control->Container(&FrameRePlaceWith);
  }
  OptRepWith(0).Move(120, 300, 1215, 255);
  OptRepWith(1).Move(1440, 300, 1215, 255);
  CmdSelectBlocksDir.Move(2760, 240, 1455, 375);
  LblCurrentBlocksDir.Move(120, 720, 4095, 1095);
  OptRepWith(1).Value(true);
  Colour(OptRepWith(0), false);
  Colour(OptRepWith(1), true);

  Frame1.Caption("Attribute Data");
  Frame1.Move(4575, 6900, 3495, 1935);
  CmdMatchAtts.Container(&Frame1);
  CmdMatchAtts.Caption("Match Att's");
  CmdMatchAtts.Move(120, 240, 1455, 375);
  CmdMatchAtts.Enabled(false);
  LabelMatchAtts.Container(&Frame1);
  LabelMatchAtts.Caption("...");
  LabelMatchAtts.Move(120, 720, 3255, 1095);

  FrameReplace.Caption("Replace Blocks (as per grid)");
  FrameReplace.Move(8190, 6900, 3375, 1935);
  CkEraseBlocks.Container(&FrameReplace);
  CkEraseBlocks.Caption("Erase Replaced");
  CkEraseBlocks.ToolTipText("If unchecked original Blocks will not be erased");
  CkEraseBlocks.Move(120, 240, 1695, 255);
  CkEraseBlocks.Value(1);
  Colour(CkEraseBlocks, true);
  OptSelect(0).Caption("Select All");
  OptSelect(1).Caption("Select By Poly");
  OptSelect(0).Container(&FrameReplace);
  OptSelect(1).Container(&FrameReplace);
  OptSelect(0).Move(120, 600, 1335, 255);
  OptSelect(1).Move(1560, 600, 1695, 255);
  OptSelect(0).Value(true);
  Colour(OptSelect(0), true);
  Colour(OptSelect(1), false);
  CmdReplace.Container(&FrameReplace);
  CmdReplace.Caption("Replace Blocks");
  CmdReplace.Move(120, 1020, 3135, 735);

  FrameSort.Caption("Sort");
  FrameSort.Move(11685, 6900, 1935, 1935);
  OptSort(0).Caption("Asc'");
  OptSort(1).Caption("Desc'");
  OptSort(0).Container(&FrameSort);
  OptSort(1).Container(&FrameSort);
  OptSort(0).Move(120, 300, 795, 255);
  OptSort(1).Move(1020, 300, 795, 255);
  OptSort(0).Value(true);
  Colour(OptSort(0), true);
  Colour(OptSort(1), false);
  ComboSort.Container(&FrameSort);
  ComboSort.Move(120, 720, 1695, 315);

  Frame2.Move(13740, 6900, 1290, 1935);
  CmdClearFlags.Container(&Frame2);
  CmdClearFlags.Caption("Clear Flags");
  CmdClearFlags.ToolTipText("Clear Flags Text");
  CmdClearFlags.Move(90, 180, 1110, 495);
  CmdNotes.Container(&Frame2);
  CmdNotes.Caption("Notes");
  CmdNotes.Move(90, 720, 1110, 495);
  Command1.Container(&Frame2);
  Command1.Caption("ReScan Drawing");
  Command1.Move(90, 1260, 1110, 555);

  CkReachText.Caption("Reach Text");
  CkReachText.ToolTipText("Reach Text (special)");
  CkReachText.Move(120, 8940, 1695, 255);
  Colour(CkReachText, false);

  // The three name lists are work stores of the program, laid out hidden at
  // the bottom edge of the window.
  List1.Move(2040, 9300, 1215, 255);
  ListBlocksInDir.Move(3360, 9300, 1215, 255);
  ListBlocksInDwg.Move(4680, 9300, 1215, 255);
  for (forms::ListBox* list : {&List1, &ListBlocksInDir, &ListBlocksInDwg}) list->Visible(false);
}

void Frm_ReplaceBlocks::RegisterControls() {
  Register(CkReachText);
  Register(FrameSort);
  Register(OptSort);
  Register(ComboSort);
  Register(Frame2);
  Register(CmdClearFlags);
  Register(CmdNotes);
  Register(Command1);
  Register(FrameRePlaceWith);
  Register(OptRepWith);
  Register(CmdSelectBlocksDir);
  Register(LblCurrentBlocksDir);
  Register(Frame1);
  Register(CmdMatchAtts);
  Register(LabelMatchAtts);
  Register(FrameReplace);
  Register(CkEraseBlocks);
  Register(CmdReplace);
  Register(OptSelect);
  Register(List1);
  Register(ListBlocksInDir);
  Register(ListBlocksInDwg);
  Register(FrameBlockDefs);
  Register(ComboScaleRotation);
  Register(ComboReplaceWith);
  Register(MSHBlockDefs);
  Register(MSHSortAtts);
}

void Frm_ReplaceBlocks::RunOptRepWithClick(int index) { forms::RaiseEvent(OptRepWith(index).onClick); }

}  // namespace inventory
