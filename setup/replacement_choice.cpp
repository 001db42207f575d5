#include "setup/replacement_choice.h"

#include <cstdlib>
#include <exception>
#include <string>

#include "host/host_state.h"
#include "inventory/block_grid.h"

namespace setup {
namespace {

using inventory::Frm_ReplaceBlocks;

constexpr int kEditorOffset = 10;  // twips the in-place list sits up and left of the cell

void CloseMatchAttributes(Frm_ReplaceBlocks& form) {
  forms::Form* matchAtts = form.Links().matchAtts;
  if (matchAtts != nullptr && matchAtts->Loaded()) matchAtts->Unload();
}

bool OnDataRow(const forms::FlexGrid& grid) {
  return grid.Cols() == inventory::kGridColumns && grid.Row() >= grid.FixedRows() &&
         grid.Row() > 0 && grid.Row() < grid.Rows();
}

// The number at the start of a cell, as the classic Val reads it (0 when none).
long long LeadingNumber(const std::string& text) {
  return std::strtoll(text.c_str(), nullptr, 10);
}

void OpenReplacementEditor(Frm_ReplaceBlocks& form) {
  forms::FlexGrid& grid = form.MSHBlockDefs;
  forms::ComboBox& list = form.ComboReplaceWith;
  if (list.ListCount() > 0) list.ListIndex(0);
  list.Visible(true);
  list.Move(grid.Left() + grid.CellLeft() - kEditorOffset, grid.Top() + grid.CellTop() - kEditorOffset,
            grid.CellWidth(), list.Height());
  list.ZOrder(forms::Control::kBringToFront);
  const std::string& cell = grid.Text();
  if (!cell.empty()) {
    const int entry = list.FindExact(cell);
    if (entry >= 0) {
      form.SentByMSHBlockDefsClick = true;
      try {
        list.ListIndex(entry);
      } catch (...) {
        form.SentByMSHBlockDefsClick = false;
        throw;
      }
      form.SentByMSHBlockDefsClick = false;
    }
  }
  list.SetFocus();
}

// The drawing file or block name InsertBlock takes for a replacement.
std::string InsertionName(const std::string& name, const std::string& source) {
  if (source == inventory::kInDrawing) return name;
  return source + "\\" + name + ".dwg";
}

}  // namespace

void ColourOptionPair(forms::ControlArray<forms::OptionButton>& pair, int chosen) {
  for (int i = 0; i < pair.Count(); ++i) pair(i).ForeColor(inventory::kNotChosenColor);
  pair(chosen).ForeColor(inventory::kChosenColor);
}

void WireReplacementChoice(Frm_ReplaceBlocks& form) {
  form.MSHBlockDefs.onClick = [&form] { MSHBlockDefs_Click(form); };
  form.MSHBlockDefs.onScroll = [&form] { MSHBlockDefs_Scroll(form); };
  form.ComboReplaceWith.onClick = [&form] { ComboReplaceWith_Click(form); };
  form.ComboReplaceWith.onLostFocus = [&form] { form.ComboReplaceWith.Visible(false); };
  for (int i = 0; i < 2; ++i) {
    form.OptRepWith(i).onClick = [&form, i] { OptRepWith_Click(form, i); };
    form.OptSelect(i).onClick = [&form, i] { OptSelect_Click(form, i); };
  }
}

void MSHBlockDefs_Click(Frm_ReplaceBlocks& form) {
  CloseMatchAttributes(form);
  forms::FlexGrid& grid = form.MSHBlockDefs;
  const int col = grid.Col();
  grid.ColSel(col == inventory::kColBlockName ? grid.Cols() - 1 : 0);
  if (OnDataRow(grid)) {
    if (col == inventory::kColReplaceWith) {
      OpenReplacementEditor(form);
    } else if (col >= inventory::kColScale && col <= inventory::kColLayer) {
      forms::RaiseEvent(form.openScaleRotationEditor);
    }
  }
  RefreshMatchStatus(form);
}

void MSHBlockDefs_Scroll(Frm_ReplaceBlocks& form) {
  form.ComboReplaceWith.Visible(false);
  form.ComboScaleRotation.Visible(false);
}

void ComboReplaceWith_Click(Frm_ReplaceBlocks& form) {
  if (form.SentByMSHBlockDefsClick || !form.scan.scanFinished) return;
  CloseMatchAttributes(form);
  forms::FlexGrid& grid = form.MSHBlockDefs;
  const int row = grid.Row();
  const int choice = form.ComboReplaceWith.ListIndex();
  if (OnDataRow(grid)) {
    if (choice == 1) {
      grid.TextMatrix(row, inventory::kColReplaceWith, "");
      grid.TextMatrix(row, inventory::kColPath, "");
      grid.TextMatrix(row, inventory::kColMatched,
                      std::string("0") + inventory::kMatchedJoin +
                          grid.TextMatrix(row, inventory::kColAttributes));
    } else if (choice > 1) {
      grid.TextMatrix(row, inventory::kColReplaceWith, form.ComboReplaceWith.Text());
      if (form.OptRepWith(0).Value()) {
        grid.TextMatrix(row, inventory::kColPath, inventory::kInDrawing);
      } else if (form.OptRepWith(1).Value()) {
        grid.TextMatrix(row, inventory::kColPath, form.scan.blocksDirectory);
      }
    }
  }
  RefreshMatchStatus(form);
}

void OptRepWith_Click(Frm_ReplaceBlocks& form, int index) {
  if (!form.scan.scanFinished) return;
  ColourOptionPair(form.OptRepWith, index);
  forms::ListBox* source = &form.ListBlocksInDir;
  if (index == 0) {
    const std::string drawingName = host::RefreshActiveDocument()->Name();
    form.LblCurrentBlocksDir.Caption("Blocks in " + drawingName);
    source = &form.ListBlocksInDwg;
  } else {
    form.LblCurrentBlocksDir.Caption(form.scan.blocksDirectory.empty() ? "Blocks Directory not set"
                                                                       : form.scan.blocksDirectory);
  }
  forms::ComboBox& list = form.ComboReplaceWith;
  list.Clear();
  list.AddItem(kSelectReplacement);
  list.AddItem(kClearReplacement);
  // A source of exactly one name offers only the two fixed entries.
  if (source->ListCount() > 1) {
    for (int i = 0; i < source->ListCount(); ++i) list.AddItem(source->List(i));
  }
  list.ListIndex(0);
}

void OptSelect_Click(Frm_ReplaceBlocks& form, int index) { ColourOptionPair(form.OptSelect, index); }

void RefreshMatchStatus(Frm_ReplaceBlocks& form) {
  form.LabelMatchAtts.Caption("...");
  form.CmdMatchAtts.Enabled(false);
  const forms::FlexGrid& grid = form.MSHBlockDefs;
  if (!OnDataRow(grid)) return;
  const int row = grid.Row();
  const std::string& blockName = grid.TextMatrix(row, inventory::kColBlockName);
  const std::string& replacement = grid.TextMatrix(row, inventory::kColReplaceWith);
  if (LeadingNumber(grid.TextMatrix(row, inventory::kColAttributes)) == 0) {
    form.LabelMatchAtts.Caption("0 Att's in " + blockName + " to Match");
    return;
  }
  if (replacement.empty()) return;
  inventory::CurrentRowContext& context = form.currentRow;
  context.row = row;
  context.blockName = blockName;
  context.replacementName = replacement;
  context.source = grid.TextMatrix(row, inventory::kColPath);
  context.tagList = grid.TextMatrix(row, inventory::kColTags);

  // A replacement that cannot be inserted reads as one without attributes.
  const std::string noAttributes = "0 Att's in Rep' Block: " + replacement;
  cad::BlockReferencePtr temporary;
  try {
    cad::DocumentPtr drawing = host::RefreshActiveDocument();
    temporary = drawing->ModelSpace()->InsertBlock(form.scan.firstInsertionPoint,
                                                   InsertionName(replacement, context.source), 1.0,
                                                   1.0, 1.0, form.lastInsertionRotation);
  } catch (const std::exception&) {
    form.LabelMatchAtts.Caption(noAttributes);
    return;
  }
  try {
    if (temporary->HasAttributes()) {
      context.replacementAttributes = temporary->GetAttributes();
      context.replacementTags.clear();
      for (const auto& attribute : context.replacementAttributes) {
        context.replacementTags.push_back(attribute->TagString());
      }
      form.LabelMatchAtts.Caption(blockName + " to " + replacement);
      form.CmdMatchAtts.Enabled(true);
    } else {
      form.LabelMatchAtts.Caption(noAttributes);
    }
  } catch (const std::exception&) {
    form.LabelMatchAtts.Caption(noAttributes);
  }
  try {
    temporary->Delete();
  } catch (const std::exception&) {
    // The temporary reference is gone already.
  }
}

}  // namespace setup
