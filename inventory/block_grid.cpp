#include "inventory/block_grid.h"

#include <algorithm>
#include <cctype>

namespace inventory {

bool IsExcludedBlockName(std::string_view name) {
  if (name.find('*') != std::string_view::npos || name.find('|') != std::string_view::npos) {
    return true;
  }
  std::string upper(name);
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  static constexpr std::array<std::string_view, 8> kReserved{
      "ACAD", "$", "ARCHTICK", "ZBOX", "ZCIRCLE", "ZDIAMOND", "ZLEMON", "ZTRIANGLE"};
  return std::any_of(kReserved.begin(), kReserved.end(), [&](std::string_view part) {
    return upper.find(part) != std::string::npos;
  });
}

std::string HeaderRowText() {
  std::string header;
  for (const char* text : kGridHeaders) header += std::string(header.empty() ? "" : "\t") + text;
  return header;
}

std::string ScannedRowText(const std::string& blockName, long long referenceCount,
                           long long attributeCount, long long matchedCount,
                           const std::string& tagList) {
  const std::string matched = attributeCount == 0
                                  ? std::string(kNoAttributes)
                                  : std::to_string(matchedCount) + kMatchedJoin +
                                        std::to_string(attributeCount);
  std::string text = blockName;
  for (const std::string& cell :
       {std::to_string(referenceCount), std::to_string(attributeCount), matched, std::string(),
        std::string(), std::string(kSame), std::string(kSame), std::string(kSame), tagList}) {
    text += '\t';
    text += cell;
  }
  return text;
}

void FinishBlockGrid(forms::FlexGrid& grid) {
  grid.Row(0);
  for (int col = 0; col <= kColMatched; ++col) {
    grid.Col(col);
    grid.CellForeColor(forms::Rgb::FromBgr(kHeaderColorBgr));
  }
  if (grid.Rows() >= 2) {
    grid.FixedRows(1);
    grid.Row(1);
    grid.RowSel(grid.Rows() - 1);
    grid.Col(kColBlockName);
    grid.ColSel(kColAttributes);
    grid.Sort(forms::SortCode::GenericAscending);
    grid.ColSel(kColBlockName);
  }
  for (int col = 0; col < kGridColumns; ++col) {
    grid.ColWidth(col, kColumnWidths[static_cast<std::size_t>(col)]);
    if (col < kColTags) {
      grid.ColAlignment(col, forms::Alignment::CenterCenter);
      grid.FixedAlignment(col, forms::Alignment::CenterCenter);
    }
  }
}

std::string MatchedTotal(const std::string& matchedCell) {
  const auto at = matchedCell.find(kMatchedJoin);
  if (at == std::string::npos) return Trim(matchedCell);
  return Trim(std::string_view(matchedCell).substr(at + std::string_view(kMatchedJoin).size()));
}

std::string Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return std::string(text.substr(first, last - first + 1));
}

}  // namespace inventory
