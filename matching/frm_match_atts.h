// The Match Attributes window: for the block grid row chosen on the work
// window, which attribute of the old block feeds which attribute of its
// replacement, and in which order several old attributes are joined.
#pragma once

#include <filesystem>
#include <string>

#include "forms/control_array.h"
#include "forms/flex_grid.h"
#include "forms/form.h"
#include "forms/list_controls.h"
#include "forms/simple_controls.h"
#include "inventory/frm_replace_blocks.h"
#include "matching/match_records.h"

namespace host {
class ErrorBoundary;
}

namespace matching {

// Columns of MSHAtts.
inline constexpr int kColOldIndex = 0;
inline constexpr int kColOldTag = 1;
inline constexpr int kColReplacementTag = 2;
inline constexpr int kColReplacementIndex = 3;
inline constexpr int kColOrder = 4;
inline constexpr int kAttsColumns = 5;

// Entries 0 and 1 of ComboAtts; entry k + 2 is replacement attribute k.
inline constexpr const char* kSelectReplacementAtt = "* Select Replacement Att'";
inline constexpr const char* kClearReplacementAtt = "* Clear Replacement Att'";
inline constexpr int kFirstTagEntry = 2;

inline constexpr const char* kMatchingCaption = "Attribute Matching";
inline constexpr const char* kZeroAutoMatchedCaption = "Zero Att' Tags Auto Matched";

// Entries of ComboSort.
enum class SortEntry : int { OldIndex = 0, OldTag = 1, ReplacementTag = 2, ReplacementIndex = 3 };

// The fill options of OptRepAtts.
enum class FillOption : int { Automatic = 0, SavedValues = 1, ClearValues = 2 };

// Owns the window's controls as laid out, the record set read when the window
// was built and the click guard. Reads the current-row context of the work
// window and leaves the save state in its return flags; the record set lives
// in the settings store file given at construction.
class Frm_MatchAtts : public forms::Form {
 public:
  Frm_MatchAtts(forms::UiPort& ui, inventory::Frm_ReplaceBlocks& main,
                std::filesystem::path storeFile = host::SettingsStore::DefaultPath());

  inventory::Frm_ReplaceBlocks& Main() const { return main_; }
  const std::filesystem::path& StoreFile() const { return storeFile_; }

  // Fills the window for the work window's current row (each time the window
  // opens; an activation while it is open keeps the user's grid).
  void Build();
  // Runs on activation: builds the window unless it is already built.
  void Form_Activate();
  // A click on a cell of MSHAtts (the current cell is the clicked one).
  void MSHAtts_Click();
  void MSHAtts_Scroll();
  // An entry of ComboAtts was chosen: the current row's replacement attribute.
  void ComboAtts_Click();
  // One of the three fill options was chosen.
  void OptRepAtts_Click(int index);
  // An entry of ComboSort was chosen.
  void ComboSort_Click();
  void ComboAttsSeparator_Change();
  // Stores the grid's matches as the pair's record set and closes the window.
  void CmdSaveMatchesAndExit_Click();

  // Sorts the data rows of MSHAtts as a ComboSort entry says.
  void SortGrid(SortEntry entry);
  // The grid's matches, rows in their current order.
  MatchRecordSet GridMatches() const;

  forms::Frame FrameSort{"FrameSort"};
  forms::ComboBox ComboSort{"ComboSort", forms::ComboStyle::DropDownList};
  forms::Frame FrameAttsSeparator{"FrameAttsSeparator"};
  forms::Label LblAttsSeparator{"LblAttsSeparator"};
  forms::ComboBox ComboAttsSeparator{"ComboAttsSeparator", forms::ComboStyle::Editable};
  forms::Frame FrameRepAtts{"FrameRepAtts"};
  forms::ControlArray<forms::OptionButton> OptRepAtts{"OptRepAtts", 3};
  forms::CommandButton CmdSaveMatchesAndExit{"CmdSaveMatchesAndExit"};
  forms::Frame FrameMatchAtts{"FrameMatchAtts"};
  forms::FlexGrid MSHAtts{"MSHAtts"};
  forms::ComboBox ComboAtts{"ComboAtts", forms::ComboStyle::DropDownList};

  // True only while the grid click itself selects the ComboAtts entry that
  // matches the cell, so that the choice handler does nothing.
  bool SentByMSHAttsClick = false;
  // The record set read for the pair when the window was built.
  MatchRecordSet VarSettings;

 private:
  void LayOut();
  void RegisterControls();
  void EnableSeparator(bool enabled);
  void FillAutomatic();
  void FillSaved();
  void EmptyMatchCells();
  void ClearRowMatch(int row);
  void CloseOrderGap(const std::string& replacementTag, int order);
  void ChooseReplacement(int row, int replacementIndex);
  bool Ready() const { return main_.scan.scanFinished; }
  void ShowFailure(const std::string& text) const;

  inventory::Frm_ReplaceBlocks& main_;
  std::filesystem::path storeFile_;
  bool built_ = false;
};

// The whole number a grid cell starts with (0 when none), and a cell text
// without its leading and trailing blanks.
int CellNumber(const std::string& text);
std::string Trimmed(const std::string& text);

// Wires the window's handlers and the work window's "Match Att's" command,
// each entered through `boundary`.
void WireMatchAtts(Frm_MatchAtts& window, const host::ErrorBoundary& boundary);

// The work window's "Match Att's": refreshes the current row's context and
// opens the window afresh (unsaved matches of an open window are dropped).
void OpenMatchAtts(Frm_MatchAtts& window);

}  // namespace matching
