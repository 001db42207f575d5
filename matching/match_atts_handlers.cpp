// The Match Attributes window's event handlers: the grid click with its
// in-place list, the replacement choice with its order bookkeeping, the fill
// options, sorting, the separator box, and the work window's command.
#include <algorithm>
#include <utility>

#include "host/error_boundary.h"
#include "matching/frm_match_atts.h"
#include "setup/replacement_choice.h"

namespace matching {

void Frm_MatchAtts::MSHAtts_Click() {
  const int col = MSHAtts.Col();
  MSHAtts.ColSel(col == kColOldIndex ? kAttsColumns - 1 : kColOldIndex);
  SentByMSHAttsClick = false;
  if (col != kColReplacementTag) {
    ComboAtts.Visible(false);
    return;
  }
  ComboAtts.ListIndex(0);
  ComboAtts.BackColor(forms::kWhite);
  ComboAtts.Visible(true);
  ComboAtts.Move(MSHAtts.Left() + MSHAtts.CellLeft() - 10, MSHAtts.Top() + MSHAtts.CellTop() - 10,
                 MSHAtts.CellWidth(), ComboAtts.Height());
  ComboAtts.ZOrder(forms::Control::kBringToFront);
  const std::string& cell = MSHAtts.Text();
  if (!cell.empty()) {
    const int entry = ComboAtts.FindExact(cell);
    if (entry >= 0) {
      SentByMSHAttsClick = true;
      ComboAtts.ListIndex(entry);
    }
  }
  ComboAtts.SetFocus();
  Ui().DoEvents();
}

void Frm_MatchAtts::MSHAtts_Scroll() { ComboAtts.Visible(false); }

// Every other row of the replacement attribute's group that came after
// `order` moves up by one, so the group's orders stay 1, 2, 3 without gaps.
void Frm_MatchAtts::CloseOrderGap(const std::string& replacementTag, int order) {
  for (int row = 1; row < MSHAtts.Rows(); ++row) {
    if (MSHAtts.TextMatrix(row, kColReplacementTag) != replacementTag) continue;
    const std::string orderText = Trimmed(MSHAtts.TextMatrix(row, kColOrder));
    if (orderText.empty()) continue;
    const int rowOrder = CellNumber(orderText);
    if (rowOrder > order) MSHAtts.TextMatrix(row, kColOrder, std::to_string(rowOrder - 1));
  }
}

void Frm_MatchAtts::ClearRowMatch(int row) {
  for (int col : {kColReplacementTag, kColReplacementIndex, kColOrder}) MSHAtts.TextMatrix(row, col, "");
}

void Frm_MatchAtts::ChooseReplacement(int row, int replacementIndex) {
  const std::string orderText = Trimmed(MSHAtts.TextMatrix(row, kColOrder));
  if (!orderText.empty()) {
    CloseOrderGap(MSHAtts.TextMatrix(row, kColReplacementTag), CellNumber(orderText));
  }
  MSHAtts.TextMatrix(row, kColReplacementTag,
                     ComboAtts.List(replacementIndex + kFirstTagEntry));
  MSHAtts.TextMatrix(row, kColReplacementIndex, std::to_string(replacementIndex));
  int largest = 0;
  for (int other = 1; other < MSHAtts.Rows(); ++other) {
    if (other == row) continue;
    const std::string indexText = Trimmed(MSHAtts.TextMatrix(other, kColReplacementIndex));
    if (indexText.empty() || CellNumber(indexText) != replacementIndex) continue;
    largest = std::max(largest, CellNumber(MSHAtts.TextMatrix(other, kColOrder)));
  }
  const int order = largest + 1;
  MSHAtts.TextMatrix(row, kColOrder, std::to_string(order));
  if (order > 1) EnableSeparator(true);
}

void Frm_MatchAtts::ComboAtts_Click() {
  if (!Ready()) return;
  if (SentByMSHAttsClick) {
    SentByMSHAttsClick = false;
    return;
  }
  const int row = MSHAtts.Row();
  const int entry = ComboAtts.ListIndex();
  if (row < 1 || row >= MSHAtts.Rows() || entry <= 0) return;
  if (entry == 1) {
    const std::string orderText = Trimmed(MSHAtts.TextMatrix(row, kColOrder));
    if (orderText.empty()) return;
    CloseOrderGap(MSHAtts.TextMatrix(row, kColReplacementTag), CellNumber(orderText));
    ClearRowMatch(row);
    return;
  }
  ChooseReplacement(row, entry - kFirstTagEntry);
}

void Frm_MatchAtts::EmptyMatchCells() {
  for (int row = 1; row < MSHAtts.Rows(); ++row) ClearRowMatch(row);
}

// Matches each old attribute to the replacement attribute with the same tag,
// exactly and with case. Two old attributes with one tag both get order 1.
void Frm_MatchAtts::FillAutomatic() {
  bool anyMatched = false;
  for (int row = 1; row < MSHAtts.Rows(); ++row) {
    const std::string& tag = MSHAtts.TextMatrix(row, kColOldTag);
    int entry = -1;
    // The two command entries are not tags of the replacement.
    for (int e = kFirstTagEntry; e < ComboAtts.ListCount() && entry < 0; ++e) {
      if (ComboAtts.List(e) == tag) entry = e;
    }
    if (entry < 0) {
      ClearRowMatch(row);
      continue;
    }
    MSHAtts.TextMatrix(row, kColReplacementTag, ComboAtts.List(entry));
    MSHAtts.TextMatrix(row, kColReplacementIndex, std::to_string(entry - kFirstTagEntry));
    MSHAtts.TextMatrix(row, kColOrder, "1");
    anyMatched = true;
  }
  if (!anyMatched) FrameRepAtts.Caption(kZeroAutoMatchedCaption);
}

// Puts the saved matches into their rows. A match whose replacement attribute
// or old attribute no longer exists is passed over.
void Frm_MatchAtts::FillSaved() {
  EmptyMatchCells();
  const int replacementCount = ComboAtts.ListCount() - kFirstTagEntry;
  for (const AttributeMatch& match : VarSettings.matches) {
    // The grid may be sorted: the old index is found in column 0.
    int row = -1;
    const std::string oldIndex = std::to_string(match.oldIndex);
    for (int r = 1; r < MSHAtts.Rows() && row < 0; ++r) {
      if (MSHAtts.TextMatrix(r, kColOldIndex) == oldIndex) row = r;
    }
    if (match.replacementIndex >= replacementCount || row < 0) continue;
    MSHAtts.TextMatrix(row, kColReplacementTag, match.replacementTag);
    MSHAtts.TextMatrix(row, kColReplacementIndex, std::to_string(match.replacementIndex));
    MSHAtts.TextMatrix(row, kColOrder, std::to_string(match.order));
  }
  if (VarSettings.separator) {
    EnableSeparator(true);
    ComboAttsSeparator.Text(*VarSettings.separator);
  }
}

void Frm_MatchAtts::OptRepAtts_Click(int index) {
  MSHAtts.Col(kColOldIndex);
  ComboAtts.Visible(false);
  for (forms::OptionButton& option : OptRepAtts) {
    option.ForeColor(option.Index() == index ? inventory::kChosenColor : inventory::kNotChosenColor);
  }
  EnableSeparator(false);
  FrameRepAtts.Caption(kMatchingCaption);
  switch (static_cast<FillOption>(index)) {
    case FillOption::Automatic:
      FillAutomatic();
      break;
    case FillOption::SavedValues:
      FillSaved();
      break;
    case FillOption::ClearValues:
      EmptyMatchCells();
      break;
  }
}

void Frm_MatchAtts::ComboSort_Click() {
  if (!Ready()) return;
  const int entry = ComboSort.ListIndex();
  if (entry >= 0) SortGrid(static_cast<SortEntry>(entry));
}

void Frm_MatchAtts::ComboAttsSeparator_Change() {
  if (Trimmed(ComboAttsSeparator.Text()).empty()) ComboAttsSeparator.ListIndex(0);
}

void OpenMatchAtts(Frm_MatchAtts& window) {
  inventory::Frm_ReplaceBlocks& main = window.Main();
  if (main.MSHBlockDefs.Rows() <= main.MSHBlockDefs.FixedRows()) return;
  setup::RefreshMatchStatus(main);
  if (window.Loaded()) window.Unload();
  window.Show();
  window.BringToFront();
}

void WireMatchAtts(Frm_MatchAtts& window, const host::ErrorBoundary& boundary) {
  window.onActivate = boundary.Guard(std::function<void()>([&window] { window.Form_Activate(); }));
  window.MSHAtts.onClick = boundary.Guard(std::function<void()>([&window] { window.MSHAtts_Click(); }));
  window.MSHAtts.onScroll = boundary.Guard(std::function<void()>([&window] { window.MSHAtts_Scroll(); }));
  window.ComboAtts.onClick = boundary.Guard(std::function<void()>([&window] { window.ComboAtts_Click(); }));
  window.ComboSort.onClick = boundary.Guard(std::function<void()>([&window] { window.ComboSort_Click(); }));
  window.ComboAttsSeparator.onChange =
      boundary.Guard(std::function<void()>([&window] { window.ComboAttsSeparator_Change(); }));
  for (forms::OptionButton& option : window.OptRepAtts) {
    const int index = option.Index();
    option.onClick =
        boundary.Guard(std::function<void()>([&window, index] { window.OptRepAtts_Click(index); }));
  }
  window.CmdSaveMatchesAndExit.onClick =
      boundary.Guard(std::function<void()>([&window] { window.CmdSaveMatchesAndExit_Click(); }));
  window.ComboAtts.onLostFocus = [&window] { window.ComboAtts.Visible(false); };
  window.Main().CmdMatchAtts.onClick =
      boundary.Guard(std::function<void()>([&window] { OpenMatchAtts(window); }));
}

}  // namespace matching
