#include "setup/scale_rotation_layer.h"

#include <cctype>
#include <clocale>
#include <cstring>

#include "inventory/block_grid.h"

namespace setup {
namespace {

using inventory::Frm_ReplaceBlocks;

// How far the combo is laid up and left of the cell so its border covers the cell's.
constexpr int kEditorInset = 10;

bool IsNumberColumn(int column) {
  return column == inventory::kColScale || column == inventory::kColRotation;
}

bool IsEditorColumn(int column) {
  return column >= inventory::kColScale && column <= inventory::kColLayer;
}

std::string LowerTrimmed(std::string_view text) {
  std::string lower = inventory::Trim(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

// Shows "* same": the first entry when the list is filled, else the text
// itself (while the editor opens, before the suggestions are added).
void ResetToSame(forms::ComboBox& combo) {
  if (combo.ListCount() > 0) {
    combo.ListIndex(0);
  } else {
    combo.Text(inventory::kSame);
  }
}

bool IsAllowedLayerCharacter(unsigned char c) {
  return c == ' ' || c == '-' || c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
         (c >= 'a' && c <= 'z');
}

bool IsLoneSign(std::string_view text) {
  const std::string sign = inventory::Trim(text);
  return sign == "-" || sign == "+";
}

std::size_t SkipDigits(std::string_view text, std::size_t at) {
  while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) ++at;
  return at;
}

}  // namespace

const std::vector<std::string>& ScaleSuggestions() {
  static const std::vector<std::string> entries{"0.5", "1",   "2.5", "5",   "10",  "15",
                                                "20",  "25",  "50",  "75",  "100", "125",
                                                "150", "200", "250", "500", "750", "1000"};
  return entries;
}

const std::vector<std::string>& RotationSuggestions() {
  static const std::vector<std::string> entries{"0",  "5",   "10",  "15",  "20",  "30",
                                                "45", "60",  "75",  "90",  "105", "120",
                                                "135", "150", "165", "180", "270", "315"};
  return entries;
}

// Hand-written because the parsers at hand (strtod, from_chars, iostreams)
// also take "inf", "nan" and hexadecimal forms, or ignore the locale.
bool IsLocaleNumber(std::string_view text) {
  const std::string_view separator = std::localeconv()->decimal_point;
  const std::string trimmed = inventory::Trim(text);
  const std::string_view number = trimmed;
  std::size_t at = 0;
  if (at < number.size() && (number[at] == '+' || number[at] == '-')) ++at;
  const std::size_t wholeEnd = SkipDigits(number, at);
  std::size_t digits = wholeEnd - at;
  at = wholeEnd;
  if (!separator.empty() && number.substr(at, separator.size()) == separator) {
    const std::size_t fractionEnd = SkipDigits(number, at + separator.size());
    digits += fractionEnd - (at + separator.size());
    at = fractionEnd;
  }
  if (digits == 0) return false;
  if (at < number.size() && (number[at] == 'e' || number[at] == 'E')) {
    std::size_t exponent = at + 1;
    if (exponent < number.size() && (number[exponent] == '+' || number[exponent] == '-')) {
      ++exponent;
    }
    const std::size_t exponentEnd = SkipDigits(number, exponent);
    if (exponentEnd == exponent) return false;
    at = exponentEnd;
  }
  return at == number.size();
}

std::string CleanLayerName(std::string name) {
  std::string clean;
  for (char c : name) {
    if (IsAllowedLayerCharacter(static_cast<unsigned char>(c))) clean += c;
  }
  if (clean.size() == name.size()) return name;
  return clean.empty() ? std::string("_") : clean;
}

void WireScaleRotationLayer(Frm_ReplaceBlocks& form) {
  form.openScaleRotationEditor = [&form] { OpenScaleRotationEditor(form); };
  form.ComboScaleRotation.onChange = [&form] { ComboScaleRotation_Change(form); };
  form.ComboScaleRotation.onClick = [&form] { ComboScaleRotation_Click(form); };
  form.ComboScaleRotation.onLostFocus = [&form] { ComboScaleRotation_LostFocus(form); };
}

void OpenScaleRotationEditor(Frm_ReplaceBlocks& form) {
  forms::ComboBox& combo = form.ComboScaleRotation;
  forms::FlexGrid& grid = form.MSHBlockDefs;
  const int column = grid.Col();
  if (!IsEditorColumn(column)) return;
  combo.Clear();
  combo.Visible(true);
  combo.Top(grid.Top() + grid.CellTop() - kEditorInset);
  combo.Left(grid.Left() + grid.CellLeft() - kEditorInset);
  combo.Width(grid.CellWidth());
  combo.ZOrder(forms::Control::kBringToFront);
  combo.Text(grid.Text());
  combo.AddItem(inventory::kSame);
  if (column == inventory::kColScale) {
    for (const std::string& entry : ScaleSuggestions()) combo.AddItem(entry);
  } else if (column == inventory::kColRotation) {
    for (const std::string& entry : RotationSuggestions()) combo.AddItem(entry);
  } else {
    for (const std::string& layer : form.scan.layerNames) combo.AddItem(layer);
  }
  combo.SetFocus();
}

void ComboScaleRotation_Change(Frm_ReplaceBlocks& form) {
  forms::ComboBox& combo = form.ComboScaleRotation;
  const std::string text = combo.Text();
  // The keep-the-old-value marker passes as typed, whatever its letter case.
  if (LowerTrimmed(text) != inventory::kSame) {
    const int column = form.MSHBlockDefs.Col();
    if (IsNumberColumn(column)) {
      // A text with "." stays while typing, so decimals can be typed a
      // character at a time, and so does a lone sign, so a negative number
      // can be; leaving the combo fixes either up.
      if (text.find('.') == std::string::npos && !IsLocaleNumber(text) && !IsLoneSign(text)) {
        ResetToSame(combo);
      }
    } else if (column == inventory::kColLayer) {
      if (inventory::Trim(text).empty()) {
        ResetToSame(combo);
      } else {
        const std::string clean = CleanLayerName(text);
        form.Ui().DoEvents();
        // A cleaned name runs Change again, which finds nothing left to clean.
        combo.Text(clean);
      }
    }
  }
  ComboScaleRotation_Click(form);
}

void ComboScaleRotation_Click(Frm_ReplaceBlocks& form) {
  forms::FlexGrid& grid = form.MSHBlockDefs;
  grid.Text(form.ComboScaleRotation.Text());
  form.currentRow.row = grid.Row();
  form.currentRow.column = grid.Col();
}

void ComboScaleRotation_LostFocus(Frm_ReplaceBlocks& form) {
  form.ComboScaleRotation.Visible(false);
  forms::FlexGrid& grid = form.MSHBlockDefs;
  const int row = form.currentRow.row;
  const int column = form.currentRow.column;
  // A rescan since the edit may have left fewer rows or an empty-drawing grid.
  if (!IsNumberColumn(column) || row < 1 || row >= grid.Rows() || column >= grid.Cols()) return;
  const std::string cell = grid.TextMatrix(row, column);
  if (!IsLocaleNumber(cell)) {
    grid.TextMatrix(row, column, inventory::kSame);
  } else if (cell == "0.") {
    grid.TextMatrix(row, column, "0");
  }
}

}  // namespace setup
