// The work window's load handler: the drawing scan that builds the block grid
// and the source lists from the active drawing.
#include <exception>
#include <string>

#include "forms/message_box.h"
#include "host/frm_progress.h"
#include "host/host_state.h"
#include "host/registry.h"
#include "host/startup.h"
#include "host/tag_list.h"
#include "host/topmost.h"
#include "inventory/block_grid.h"
#include "inventory/blocks_directory.h"
#include "inventory/frm_replace_blocks.h"
#include "selection/selection_sets.h"

namespace inventory {
namespace {

constexpr const char* kScanFailedText = "The drawing could not be scanned while ";
constexpr const char* kRescanHintText = "Press \"ReScan Drawing\" to try again.";

// The outer progress window, when the program has one.
class ScanProgress {
 public:
  explicit ScanProgress(host::FrmProgress* window) : window_(window) {}
  void Show() {
    if (window_ == nullptr) return;
    window_->ProgressBar1.Min(0);
    window_->Show();
  }
  void Range(long long max, const std::string& caption) {
    if (window_ == nullptr) return;
    window_->ProgressBar1.Value(0);
    window_->ProgressBar1.Max(static_cast<float>(max));
    window_->Caption(caption);
    window_->Repaint();
  }
  void Step(long long value, const std::string* caption = nullptr) {
    if (window_ == nullptr) return;
    window_->ProgressBar1.Value(static_cast<float>(value));
    if (caption != nullptr) window_->Caption(*caption);
    window_->Repaint();
  }
  void Hide() {
    if (window_ != nullptr && window_->Visible()) window_->Hide();
  }

 private:
  host::FrmProgress* window_ = nullptr;
};

bool HasNamedBlock(const cad::Blocks& blocks) {
  const long count = blocks.Count();
  for (long i = 0; i < count; ++i) {
    if (blocks.Item(i)->Name().find('*') == std::string::npos) return true;
  }
  return false;
}

void ShowEmptyDrawing(Frm_ReplaceBlocks& form, const std::string& drawingName) {
  forms::FlexGrid& grid = form.MSHBlockDefs;
  grid.Clear();
  grid.FixedRows(0);
  grid.FixedCols(0);
  grid.Rows(1);
  grid.Cols(1);
  grid.TextMatrix(0, 0, drawingName + " contains zero blocks");
  grid.ColWidth(0, grid.Width());
}

// The grid as the scan leaves it when a host call fails: the header row only,
// so no handler finds a half-built row.
void ShowHeaderOnly(Frm_ReplaceBlocks& form) {
  forms::FlexGrid& grid = form.MSHBlockDefs;
  grid.Clear();
  grid.Rows(0);
  grid.Cols(kGridColumns);
  grid.AddItem(HeaderRowText());
  FinishBlockGrid(grid);
  form.ListBlocksInDwg.Clear();
}

}  // namespace

void Frm_ReplaceBlocks::Form_Load() {
  ScanProgress progress(links_.progress);
  std::string step = "reading the active drawing";
  try {
    // 1. Window set-up.
    Move(0, 0, 15270, 9945);
    scan.scanFinished = false;
    cad::DocumentPtr drawing = host::RefreshActiveDocument();
    const std::string drawingName = drawing->Name();
    LblCurrentBlocksDir.Caption("Blocks in " + drawingName);

    // 2. Named-block check.
    step = "reading the block definitions";
    cad::BlocksPtr blocks = drawing->Blocks();
    if (!HasNamedBlock(*blocks)) {
      ShowEmptyDrawing(*this, drawingName);
      return;
    }
    MSHBlockDefs.Cols(kGridColumns);

    // 3. Layers.
    step = "reading the layers";
    progress.Show();
    cad::LayersPtr layers = drawing->Layers();
    const long layerCount = layers->Count();
    progress.Range(layerCount, " Recording Layers");
    scan.layerNames.assign(static_cast<std::size_t>(layerCount), std::string());
    for (long i = 0; i < layerCount; ++i) {
      std::string name = layers->Item(i)->Name();
      const std::string caption = " Recording Layer " + name;
      scan.layerNames[static_cast<std::size_t>(i)] = std::move(name);
      progress.Step(i + 1, &caption);
    }

    // 4. Lists.
    ComboSort.Clear();
    for (const char* entry : kSortEntries) ComboSort.AddItem(entry);
    ComboSort.ListIndex(0);
    ListBlocksInDwg.Clear();
    ListBlocksInDir.Clear();

    // 5. Block definitions: one filtered selection per listed block.
    const long blockCount = blocks->Count();
    progress.Range(blockCount, " Recording Block Definitions");
    forms::FlexGrid& grid = MSHBlockDefs;
    grid.Clear();
    grid.Rows(0);
    grid.AddItem(HeaderRowText());
    selection::SelectState& select = selection::M_Select();
    for (long i = 0; i < blockCount; ++i) {
      progress.Step(i + 1);
      cad::BlockPtr block = blocks->Item(i);
      const std::string name = block->Name();
      step = "reading the block definition " + name;
      if (block->IsLayout() || block->IsXRef() || IsExcludedBlockName(name)) continue;
      const std::string caption = " Recording " + name;
      progress.Step(i + 1, &caption);
      ListBlocksInDwg.AddItem(name);

      step = "selecting the references of " + name;
      selection::DeleteSelectionSet(selection::kSS2);
      selection::CreateSelectionSet(selection::kSS2);
      selection::SetFilterEntry0(selection::kFilterBlockName, name);
      select.SS2->Select(cad::SelectMode::All, select.filter);
      const long references = select.SS2->Count();
      if (references == 0) continue;

      step = "reading the attributes of " + name;
      auto first = cad::As<cad::BlockReference>(select.SS2->Item(0));
      scan.firstInsertionPoint = first->InsertionPoint();
      scan.firstReference = first;
      std::string tagList = host::kNoTagsSentinel;
      long long attributeCount = 0;
      scan.firstAttributes.clear();
      if (first->HasAttributes()) {
        scan.firstAttributes = first->GetAttributes();
        attributeCount = static_cast<long long>(scan.firstAttributes.size());
        for (std::size_t a = 0; a < scan.firstAttributes.size(); ++a) {
          const std::string tag = scan.firstAttributes[a]->TagString();
          tagList = a == 0 ? tag : tagList + "^" + tag;
        }
      }
      grid.AddItem(ScannedRowText(name, references, attributeCount, returnFlags.matchedCount, tagList));
      grid.Row(grid.Rows() - 1);
    }
    selection::DeleteSelectionSet(selection::kSS2);

    // 6. Grid finishing.
    FinishBlockGrid(grid);
  } catch (const std::exception& failure) {
    // The grid keeps only its header and the scan counts as not finished, so
    // no editing handler works on a partial grid; the rescan command tries again.
    progress.Hide();
    selection::DeleteSelectionSet(selection::kSS2);
    ShowHeaderOnly(*this);
    forms::MessageBoxRequest box;
    box.icon = forms::MessageIcon::Exclamation;
    box.title = host::kProgramTitle;
    box.text = std::string(kScanFailedText) + step + ":\r" + failure.what() + "\r\r" + kRescanHintText;
    Ui().ShowMessage(box);
    return;
  }

  // 7. Close-down; from here on failures only leave lists empty.
  Ui().DoEvents();
  progress.Hide();
  scan.scanFinished = true;
  try {
    if (links_.switching != nullptr) links_.switching->ActivateSelf();
  } catch (const std::exception&) {
  }

  // 8. Blocks directory and the replacement list.
  scan.blocksDirectory = Trim(host::ReadRegistryValue(host::kBlocksPathValue));
  if (!scan.blocksDirectory.empty()) {
    for (const std::string& name : ListDrawingFileBlocks(scan.blocksDirectory)) {
      ListBlocksInDir.AddItem(name);
    }
  }
  try {
    if (OptRepWith(0).Value()) {
      RunOptRepWithClick(0);
    } else if (OptRepWith(1).Value()) {
      RunOptRepWithClick(1);
    }
  } catch (const std::exception&) {
    // The replacement list stays as the handler left it.
  }
  if (links_.mainFrame != nullptr) host::ClearTopmost(*links_.mainFrame);
}

void Frm_ReplaceBlocks::Form_Activate() {
  if (returnFlags.blocksDirChosen) {
    returnFlags.blocksDirChosen = false;
    if (OptRepWith(0).Value()) {
      RunOptRepWithClick(0);
    } else if (OptRepWith(1).Value()) {
      scan.blocksDirectory = host::ReadRegistryValue(host::kBlocksPathValue);
      RunOptRepWithClick(1);
    }
    return;
  }
  if (returnFlags.matchesSaved) {
    if (links_.matchAtts != nullptr && links_.matchAtts->Loaded()) links_.matchAtts->Unload();
    returnFlags.matchesSaved = false;
    const int row = currentRow.row;
    if (row > 0 && row < MSHBlockDefs.Rows() && MSHBlockDefs.Cols() > kColMatched) {
      const std::string total = MatchedTotal(MSHBlockDefs.TextMatrix(row, kColMatched));
      MSHBlockDefs.TextMatrix(row, kColMatched,
                              std::to_string(returnFlags.matchedCount) + kMatchedJoin + total);
    }
    returnFlags.matchedCount = 0;
  }
}

}  // namespace inventory
