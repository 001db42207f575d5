#include "engine/attribute_transfer.h"

#include <cctype>
#include <string_view>

#include "engine/flags.h"
#include "matching/separator.h"

namespace engine {
namespace {

constexpr int kColAttributes = 2;
constexpr int kColMatched = 3;

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

int TableNumber(const std::string& text) {
  try {
    return std::stoi(text);
  } catch (const std::exception&) {
    return -1;
  }
}

}  // namespace

bool RowHasMatches(const forms::FlexGrid& blockGrid, int row) {
  if (row < 1 || row >= blockGrid.Rows() || blockGrid.Cols() <= kColMatched) return false;
  const std::string_view attributes = Trim(blockGrid.TextMatrix(row, kColAttributes));
  const std::string_view matched = Trim(blockGrid.TextMatrix(row, kColMatched));
  double count = 0.0;
  try {
    count = std::stod(std::string(attributes));
  } catch (const std::exception&) {
    return false;
  }
  return count != 0.0 && !matched.empty() &&
         std::isdigit(static_cast<unsigned char>(matched.front())) != 0 && matched.front() != '0';
}

RowMatches LoadMatchTable(const matching::MatchRecordSet& records, forms::FlexGrid& table) {
  RowMatches loaded;
  // A record set without a separator joins its values with nothing between them.
  loaded.separator = records.separator.value_or("'none'");
  loaded.matchesExist = !records.matches.empty();
  table.FixedRows(0);
  table.FixedCols(0);
  table.Cols(3);
  table.Rows(static_cast<int>(records.matches.size()));
  table.Clear();
  for (std::size_t i = 0; i < records.matches.size(); ++i) {
    const matching::AttributeMatch& match = records.matches[i];
    const int row = static_cast<int>(i);
    table.TextMatrix(row, 0, std::to_string(match.oldIndex));
    table.TextMatrix(row, 1, std::to_string(match.replacementIndex));
    table.TextMatrix(row, 2, std::to_string(match.order));
  }
  if (table.Rows() > 1) {
    table.Row(0);
    table.RowSel(table.Rows() - 1);
    table.Col(1);
    table.ColSel(2);
    table.Sort(forms::SortCode::NumericAscending);
  }
  return loaded;
}

std::vector<TableMatch> ReadMatchTable(const forms::FlexGrid& table) {
  std::vector<TableMatch> matches;
  if (table.Cols() < 3) return matches;
  for (int row = table.FixedRows(); row < table.Rows(); ++row) {
    matches.push_back({TableNumber(table.TextMatrix(row, 0)), TableNumber(table.TextMatrix(row, 1)),
                       TableNumber(table.TextMatrix(row, 2))});
  }
  return matches;
}

std::string TransferAttributes(const std::vector<TableMatch>& table, const std::string& separator,
                               const cad::BlockReference& oldReference,
                               const cad::BlockReference& newReference, RunCounts& counts) {
  if (!oldReference.HasAttributes()) {
    ++counts.zeroAttributeCount;
    return kZeroAttsFlag;
  }
  const std::vector<cad::AttributeReferencePtr> oldAttributes = oldReference.GetAttributes();
  const std::vector<cad::AttributeReferencePtr> newAttributes = newReference.GetAttributes();
  const std::string join = matching::JoinText(separator);
  const auto oldCount = static_cast<int>(oldAttributes.size());
  const auto newCount = static_cast<int>(newAttributes.size());
  bool fewer = false;
  int lastWritten = -1;
  for (const TableMatch& match : table) {
    if (match.oldIndex < 0 || match.oldIndex >= oldCount) {
      fewer = true;
      continue;
    }
    // The replacement block changed since the match was saved.
    if (match.replacementIndex < 0 || match.replacementIndex >= newCount) continue;
    const std::string value = oldAttributes[static_cast<std::size_t>(match.oldIndex)]->TextString();
    if (Trim(value).empty()) continue;
    cad::AttributeReference& target = *newAttributes[static_cast<std::size_t>(match.replacementIndex)];
    if (match.replacementIndex == lastWritten) {
      target.TextString(target.TextString() + join + value);
    } else {
      target.TextString(value);
    }
    lastWritten = match.replacementIndex;
  }
  if (!fewer) return {};
  ++counts.fewerAttributeCount;
  return kFewerAttsFlag;
}

void SetAttributeTransferHooks(ReplaceRunHooks& hooks, inventory::Frm_ReplaceBlocks& form,
                               std::filesystem::path storeFile) {
  auto store = std::make_shared<std::unique_ptr<host::SettingsStore>>();
  hooks.loadMatches = [&form, store, storeFile](RunRow& row) {
    row.attributeFlag.clear();
    if (!RowHasMatches(form.MSHBlockDefs, row.row)) return RowMatches{};
    matching::MatchRecordSet records;
    try {
      if (!*store) *store = std::make_unique<host::SettingsStore>(storeFile);
      records = matching::ReadMatchRecords(**store, row.oldName, row.replacementName);
    } catch (const host::SettingsStoreError& failure) {
      store->reset();
      throw host::SettingsStoreError("The attribute matches of " + row.oldName + " to " +
                                     row.replacementName +
                                     " could not be read; the blocks of this row and the rows "
                                     "after it were not replaced.\r" + failure.what());
    }
    return LoadMatchTable(records, form.MSHSortAtts);
  };
  hooks.transferAttributes = [&form](RunRow& row, const RowMatches& matches,
                                     const ReplacedReference& reference, RunCounts& counts) {
    row.attributeFlag = TransferAttributes(ReadMatchTable(form.MSHSortAtts), matches.separator,
                                           *reference.oldReference, *reference.newReference, counts);
    if (!row.attributeFlag.empty()) {
      const cad::BlockReference& made = *reference.newReference;
      AddAttributeFlag(row, made, {made.InsertionPoint(), made.Rotation(), row.attributeFlag});
    }
  };
}

}  // namespace engine
