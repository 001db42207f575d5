#include "matching/frm_match_atts.h"

#include <charconv>

#include "forms/message_box.h"
#include "host/tag_list.h"
#include "matching/separator.h"

namespace matching {
namespace {

constexpr int kWindowWidth = 10410;
constexpr int kWindowHeight = 6660;

// Sets the ready flag again when the build ends, also when it fails part way.
class ReadyWhenDone {
 public:
  explicit ReadyWhenDone(bool& ready) : ready_(ready) { ready_ = false; }
  ~ReadyWhenDone() { ready_ = true; }
  ReadyWhenDone(const ReadyWhenDone&) = delete;
  ReadyWhenDone& operator=(const ReadyWhenDone&) = delete;

 private:
  bool& ready_;
};

}  // namespace

int CellNumber(const std::string& text) {
  int value = 0;
  const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  (void)stop;
  return error == std::errc() ? value : 0;
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

Frm_MatchAtts::Frm_MatchAtts(forms::UiPort& ui, inventory::Frm_ReplaceBlocks& main,
                             std::filesystem::path storeFile)
    : Form("Frm_MatchAtts", ui), main_(main), storeFile_(std::move(storeFile)) {
  LayOut();
  RegisterControls();
  onActivate = [this] { Form_Activate(); };
  onUnload = [this](bool&) { built_ = false; };
}

// Positions in twips, relative to the control's frame.
void Frm_MatchAtts::LayOut() {
  Caption("Match Attributes");
  Move(0, 0, kWindowWidth, kWindowHeight);

  FrameSort.Caption("Sort");
  FrameSort.Move(90, 60, 2145, 675);
  ComboSort.Container(&FrameSort);
  ComboSort.Move(120, 240, 1905, 315);

  FrameAttsSeparator.Caption("Mutiple Att's in to One");
  FrameAttsSeparator.Move(2310, 60, 2175, 675);
  LblAttsSeparator.Container(&FrameAttsSeparator);
  LblAttsSeparator.Caption("Separator:");
  LblAttsSeparator.Move(90, 330, 765, 225);
  ComboAttsSeparator.Container(&FrameAttsSeparator);
  ComboAttsSeparator.Move(870, 240, 1185, 315);
  ComboAttsSeparator.Text("-");
  EnableSeparator(false);

  FrameRepAtts.Caption(kMatchingCaption);
  FrameRepAtts.Move(4560, 60, 3795, 675);
  for (forms::OptionButton& option : OptRepAtts) option.Container(&FrameRepAtts);
  OptRepAtts(0).Caption("Automatic");
  OptRepAtts(0).ToolTipText("Automatically matches attributes by Tags (as applicable)");
  OptRepAtts(0).Move(90, 300, 1035, 255);
  OptRepAtts(1).Caption("Saved values");
  OptRepAtts(1).Move(1170, 300, 1335, 255);
  OptRepAtts(1).Enabled(false);
  OptRepAtts(2).Caption("Clear values");
  OptRepAtts(2).Move(2520, 300, 1215, 255);

  // The doubled ampersand shows as one ampersand on the button.
  CmdSaveMatchesAndExit.Caption("Save Matches && Exit");
  CmdSaveMatchesAndExit.Move(8430, 150, 1770, 570);

  FrameMatchAtts.Caption("Match Attributes");
  FrameMatchAtts.Move(90, 750, 10125, 5355);
  MSHAtts.Container(&FrameMatchAtts);
  MSHAtts.Move(120, 240, 9870, 4995);
  MSHAtts.Cols(kAttsColumns);
  MSHAtts.FixedCols(0);
  ComboAtts.Container(&FrameMatchAtts);
  ComboAtts.Move(750, 1110, 1935, 315);
  ComboAtts.Visible(false);
}

void Frm_MatchAtts::RegisterControls() {
  Register(FrameSort);
  Register(ComboSort);
  Register(FrameAttsSeparator);
  Register(LblAttsSeparator);
  Register(ComboAttsSeparator);
  Register(FrameRepAtts);
  Register(OptRepAtts);
  Register(CmdSaveMatchesAndExit);
  Register(FrameMatchAtts);
  Register(MSHAtts);
  Register(ComboAtts);
}

void Frm_MatchAtts::EnableSeparator(bool enabled) {
  FrameAttsSeparator.Enabled(enabled);
  LblAttsSeparator.Enabled(enabled);
  ComboAttsSeparator.Enabled(enabled);
}

void Frm_MatchAtts::ShowFailure(const std::string& text) const {
  forms::MessageBoxRequest box;
  box.title = "Cindral";
  box.text = text;
  Ui().ShowMessage(box);
}

void Frm_MatchAtts::Form_Activate() {
  if (!built_) Build();
}

void Frm_MatchAtts::Build() {
  ReadyWhenDone ready(main_.scan.scanFinished);
  built_ = true;
  Move(0, 0, kWindowWidth, kWindowHeight);
  Repaint();

  ComboSort.Clear();
  for (const char* entry : {"Att' Index", "Block Att'", "Replacement Att'", "Rep' Att' Index"}) {
    ComboSort.AddItem(entry);
  }
  ComboSort.ListIndex(static_cast<int>(SortEntry::OldIndex));

  ComboAttsSeparator.Clear();
  for (const char* entry : kSeparatorChoices) ComboAttsSeparator.AddItem(entry);
  ComboAttsSeparator.ListIndex(kDefaultSeparatorEntry);

  const inventory::CurrentRowContext& context = main_.currentRow;
  MSHAtts.Cols(kAttsColumns);
  MSHAtts.FixedCols(0);
  MSHAtts.Rows(1);
  MSHAtts.Clear();
  const std::vector<std::string> tags = host::SplitTagList(context.tagList);
  MSHAtts.Rows(1 + static_cast<int>(tags.size()));
  for (std::size_t k = 0; k < tags.size(); ++k) {
    const int row = static_cast<int>(k) + 1;
    MSHAtts.TextMatrix(row, kColOldIndex, std::to_string(k));
    MSHAtts.TextMatrix(row, kColOldTag, tags[k]);
  }
  int col = 0;
  for (const char* header :
       {"Att' Index", "Block Att': ", "Replacement Att':", "Rep' Att' Index: ", "Order"}) {
    MSHAtts.TextMatrix(0, col++, header);
  }
  MSHAtts.FixedRows(1);
  const int widths[kAttsColumns] = {1500, 2500, 2500, 1500, 1500};
  for (int c = 0; c < kAttsColumns; ++c) MSHAtts.ColWidth(c, widths[c]);

  ComboAtts.Visible(false);
  ComboAtts.Clear();
  ComboAtts.AddItem(kSelectReplacementAtt);
  ComboAtts.AddItem(kClearReplacementAtt);
  for (const std::string& tag : context.replacementTags) ComboAtts.AddItem(tag);
  ComboAtts.ListIndex(0);

  VarSettings = {};
  try {
    host::SettingsStore store(storeFile_);
    VarSettings = ReadMatchRecords(store, context.blockName, context.replacementName);
  } catch (const host::SettingsStoreError& failure) {
    ShowFailure(std::string("The saved attribute matches could not be read, so the attributes are "
                            "matched by tag.\r") + failure.what());
  }
  if (VarSettings.Empty()) {
    OptRepAtts(static_cast<int>(FillOption::Automatic)).Value(true);
  } else {
    OptRepAtts(static_cast<int>(FillOption::SavedValues)).Enabled(true);
    OptRepAtts(static_cast<int>(FillOption::SavedValues)).Value(true);
  }

  Caption("Match Attributes (" + context.blockName + " to " + context.replacementName + ")");
  FrameMatchAtts.Caption("Block: " + context.blockName +
                         ", Replacement Block: " + context.replacementName);
}

void Frm_MatchAtts::SortGrid(SortEntry entry) {
  if (MSHAtts.Rows() <= 1) return;
  int first = kColOldIndex;
  int last = kColOldIndex;
  forms::SortCode code = forms::SortCode::NumericAscending;
  switch (entry) {
    case SortEntry::OldIndex:
      break;
    case SortEntry::OldTag:
      first = last = kColOldTag;
      code = forms::SortCode::GenericAscending;
      break;
    case SortEntry::ReplacementTag:
      first = last = kColReplacementTag;
      code = forms::SortCode::GenericAscending;
      break;
    case SortEntry::ReplacementIndex:
      first = kColReplacementIndex;
      last = kColOrder;
      break;
  }
  MSHAtts.Row(1);
  MSHAtts.RowSel(MSHAtts.Rows() - 1);
  MSHAtts.Col(first);
  MSHAtts.ColSel(last);
  MSHAtts.Sort(code);
  MSHAtts.Row(1);
  MSHAtts.Col(kColOldIndex);
}

MatchRecordSet Frm_MatchAtts::GridMatches() const {
  MatchRecordSet records;
  for (int row = 1; row < MSHAtts.Rows(); ++row) {
    if (MSHAtts.TextMatrix(row, kColReplacementTag).empty()) continue;
    records.matches.push_back({row - 1, CellNumber(MSHAtts.TextMatrix(row, kColReplacementIndex)),
                               MSHAtts.TextMatrix(row, kColOldTag),
                               MSHAtts.TextMatrix(row, kColReplacementTag),
                               CellNumber(MSHAtts.TextMatrix(row, kColOrder))});
  }
  if (ComboAttsSeparator.Enabled()) records.separator = ComboAttsSeparator.Text();
  return records;
}

void Frm_MatchAtts::CmdSaveMatchesAndExit_Click() {
  main_.returnFlags.matchesSaved = false;
  // The keys are old indices, so the grid goes back into old-index order first.
  ComboSort.ListIndex(static_cast<int>(SortEntry::OldIndex));
  if (!Ready()) SortGrid(SortEntry::OldIndex);

  bool anyTag = false;
  for (int row = 1; row < MSHAtts.Rows() && !anyTag; ++row) {
    anyTag = !Trimmed(MSHAtts.TextMatrix(row, kColOldTag)).empty();
  }
  if (!anyTag) return;

  const MatchRecordSet records = GridMatches();
  const inventory::CurrentRowContext& context = main_.currentRow;
  try {
    host::SettingsStore store(storeFile_);
    WriteMatchRecords(store, context.blockName, context.replacementName, records);
  } catch (const host::SettingsStoreError& failure) {
    // The window stays open with the user's matches, so nothing is lost.
    ShowFailure(std::string("The attribute matches could not be saved.\r") + failure.what());
    return;
  }
  main_.returnFlags.matchedCount = static_cast<long long>(records.matches.size());
  main_.returnFlags.matchesSaved = true;
  Unload();
}

}  // namespace matching
