// The attribute transfer of the replace run: loading a row's attribute matches
// from the settings store into the work window's match table, and carrying
// the old reference's attribute values into each new reference.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/run_hooks.h"
#include "forms/flex_grid.h"
#include "host/cad.h"
#include "host/settings_store.h"
#include "inventory/frm_replace_blocks.h"
#include "matching/match_records.h"

namespace engine {

// The wordings of the attribute flag.
inline constexpr const char* kZeroAttsFlag = "Zero Att's";
inline constexpr const char* kFewerAttsFlag = "Att's<expected";

// One row of the match table MSHSortAtts.
struct TableMatch {
  int oldIndex = 0;          // column 0
  int replacementIndex = 0;  // column 1
  int order = 0;             // column 2
};

// Whether the grid row's matches are consulted: its "Attributes" cell is a
// number other than 0 and its "Att's Matched" count is not 0.
bool RowHasMatches(const forms::FlexGrid& blockGrid, int row);

// Fills the match table with the record set's matches sorted by replacement
// index and then by order, and returns the separator and whether any match
// exists. Without a stored separator the values are joined with nothing
// between them.
RowMatches LoadMatchTable(const matching::MatchRecordSet& records, forms::FlexGrid& table);

// The match table as numbers, top to bottom.
std::vector<TableMatch> ReadMatchTable(const forms::FlexGrid& table);

// Copies the old reference's values into the new reference as the table
// says and returns the flag wording: kZeroAttsFlag for an old reference
// without attributes, kFewerAttsFlag when it lacks an attribute the table
// expects (the matches that fit are still carried over), empty otherwise.
// Raises the zero- or fewer-attribute count once for a flagged reference.
// A match whose replacement attribute the new reference does not have is
// passed over.
std::string TransferAttributes(const std::vector<TableMatch>& table, const std::string& separator,
                               const cad::BlockReference& oldReference,
                               const cad::BlockReference& newReference, RunCounts& counts);

// The replace run's loadMatches and transferAttributes hooks over the work
// window's grid and match table. One store connection, opened on the first
// row that has matches, serves every later row; a store that cannot be read
// stops the run before the row's drawing is touched, with the store's reason.
void SetAttributeTransferHooks(ReplaceRunHooks& hooks, inventory::Frm_ReplaceBlocks& form,
                               std::filesystem::path storeFile = host::SettingsStore::DefaultPath());

}  // namespace engine
