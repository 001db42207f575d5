// The block grid's columns, its fixed texts, and the rules the drawing scan
// applies when it builds a row.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "forms/flex_grid.h"

namespace inventory {

// Columns of MSHBlockDefs.
inline constexpr int kColBlockName = 0;
inline constexpr int kColCount = 1;
inline constexpr int kColAttributes = 2;
inline constexpr int kColMatched = 3;
inline constexpr int kColReplaceWith = 4;
inline constexpr int kColPath = 5;
inline constexpr int kColScale = 6;
inline constexpr int kColRotation = 7;
inline constexpr int kColLayer = 8;
inline constexpr int kColTags = 9;  // hidden tag list
inline constexpr int kGridColumns = 10;

inline constexpr const char* kSame = "* same";          // keep the old reference's value
inline constexpr const char* kInDrawing = "In Drawing";  // replacement is a block of the drawing
inline constexpr const char* kNoAttributes = "N/A";      // column 3 of a block without attributes
inline constexpr const char* kMatchedJoin = " of ";

// The nine visible column headers; column 9 has none.
inline constexpr std::array<const char*, 9> kGridHeaders{
    "Block Name", "Count", "Attributes", "Att's Matched", "Replace With",
    "Path",       "Scale", "Rotation",   "Layer"};
// The sort list's entries, one per visible column.
inline constexpr std::array<const char*, 9> kSortEntries{
    "Block Name", "Dwg Count", "Attributes", "Att's Matched", "Replace With",
    "Path",       "Scale",     "Rotation",   "Layer"};
inline constexpr std::array<int, kGridColumns> kColumnWidths{2205, 915, 915, 1320, 2205,
                                                             3585, 915, 915, 1485, 0};
// &HC00000 of the header cells 0 to 3, in blue-green-red order.
inline constexpr std::uint32_t kHeaderColorBgr = 0xC00000;

// Whether a block definition is kept out of the grid and the source lists by
// its name: anonymous or dependent names and the system and marker blocks.
// (Layouts and external references are excluded by their flags beforehand.)
bool IsExcludedBlockName(std::string_view name);

// The header row as tab-separated text (nine cells; column 9 has no header).
std::string HeaderRowText();

// The tab-separated text of one freshly scanned row.
std::string ScannedRowText(const std::string& blockName, long long referenceCount,
                           long long attributeCount, long long matchedCount,
                           const std::string& tagList);

// The header row, sort by block name, widths and centring of a built grid.
void FinishBlockGrid(forms::FlexGrid& grid);

// The attribute total n of an "m of n" cell: the text after " of ", trimmed.
std::string MatchedTotal(const std::string& matchedCell);

// Blanks and tabs taken off both ends.
std::string Trim(std::string_view text);

}  // namespace inventory
