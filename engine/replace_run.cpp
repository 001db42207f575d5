#include "engine/replace_run.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <ctime>
#include <variant>
#include <exception>
#include <utility>
#include <vector>

#include "engine/set_var_layer.h"
#include "host/frm_progress.h"
#include "host/host_state.h"
#include "host/startup.h"
#include "inventory/block_grid.h"
#include "selection/polygon_points.h"
#include "selection/selection_sets.h"

namespace engine {
namespace {

using inventory::Frm_ReplaceBlocks;
using inventory::Trim;

constexpr double kDegreesToRadians = 3.141592 / 180.0;

// Holds one undo mark open over a whole run, so that the user takes the run
// back in one step in the host: the rows' and references' own marks nest in
// it. Rows already done stay done when a run stops or fails; the mark is then
// closed, never cancelled.
class RunUndoStep {
 public:
  explicit RunUndoStep(cad::DocumentPtr drawing) : drawing_(std::move(drawing)) { drawing_->StartUndoMark(); }
  ~RunUndoStep() { Close(); }
  RunUndoStep(const RunUndoStep&) = delete;
  RunUndoStep& operator=(const RunUndoStep&) = delete;

  void Close() noexcept {
    if (!drawing_) return;
    try {
      drawing_->EndUndoMark();
    } catch (const std::exception&) {
      // The drawing went away with its undo history; nothing is left to close.
    }
    drawing_.reset();
  }

 private:
  cad::DocumentPtr drawing_;
};

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

forms::MessageBoxRequest Information(std::string text, std::string title = host::kProgramTitle) {
  forms::MessageBoxRequest box;
  box.title = std::move(title);
  box.text = std::move(text);
  return box;
}

// A grid number: the whole cell must read as a number.
double CellNumber(const std::string& cell, const char* what) {
  const std::string text = Trim(cell);
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size()) {
    throw cad::HostError(std::string(what) + " \"" + cell + "\" is not a number");
  }
  return value;
}

// The two progress windows, when the program has them.
class RunProgress {
 public:
  explicit RunProgress(const inventory::WorkWindowLinks& links)
      : outer_(links.progress), inner_(links.progress2) {}
  void Start(int rows) {
    if (outer_ == nullptr) return;
    outer_->ProgressBar1.Min(0);
    outer_->ProgressBar1.Value(0);
    outer_->ProgressBar1.Max(static_cast<float>(rows));
    outer_->Caption("Replacing Blocks");
    outer_->Show();
  }
  void Row(int row) {
    if (outer_ == nullptr) return;
    outer_->ProgressBar1.Value(static_cast<float>(row));
    outer_->Repaint();
  }
  void RowCaption(const std::string& caption, long references) {
    if (outer_ != nullptr) {
      outer_->Caption(caption);
      outer_->Repaint();
    }
    if (inner_ == nullptr) return;
    inner_->ProgressBar2.Min(0);
    inner_->ProgressBar2.Value(0);
    inner_->ProgressBar2.Max(static_cast<float>(references));
    inner_->Show();
  }
  void Reference(long handled) {
    if (inner_ == nullptr) return;
    inner_->ProgressBar2.Value(static_cast<float>(handled));
    inner_->Repaint();
  }
  void Close() {
    if (outer_ != nullptr && outer_->Loaded()) outer_->Unload();
    if (inner_ != nullptr && inner_->Loaded()) inner_->Unload();
  }

 private:
  host::FrmProgress* outer_ = nullptr;
  host::FrmProgress2* inner_ = nullptr;
};

// Whether this run inserted the reference: it carries this run's stamp.
bool StampedByThisRun(const cad::BlockReference& reference, const std::string& stamp) {
  try {
    for (const cad::XDataItem& item : reference.GetXData(kRunStampApp)) {
      if (item.code != 1000) continue;
      const auto* text = std::get_if<std::string>(&item.value);
      if (text != nullptr && *text == stamp) return true;
    }
  } catch (const std::exception&) {
    // Unreadable extended data counts as not stamped.
  }
  return false;
}

void AddNotFound(std::string& list, const std::string& item) {
  if (list.find(item) != std::string::npos) return;
  if (!list.empty()) list += '\r';
  list += item;
}

// Everything a run keeps between its steps.
class ReplaceRun {
 public:
  ReplaceRun(Frm_ReplaceBlocks& form, const ReplaceRunServices& services)
      : form_(form), ui_(form.Ui()), services_(services), progress_(form.Links()) {}

  RunReport Run();

 private:
  struct RowWork {
    RunRow row;
    RowMatches matches;
    std::string scaleCell;
    std::string rotationCell;
    std::string layerCell;
  };
  enum class ReferenceResult { Replaced, Failed, NotFound };

  bool PickBoundary();
  // False when the run stops at this row.
  bool ReplaceRow(int row);
  // Builds one replacement inside its own undo mark.
  ReferenceResult ReplaceReference(RowWork& work, const cad::BlockReferencePtr& old);
  void StopAtRow();
  void RestoreLayer();
  void ActivateSelf() {
    if (form_.Links().switching != nullptr) form_.Links().switching->ActivateSelf();
  }
  void ActivateHost() {
    if (form_.Links().switching != nullptr) form_.Links().switching->ActivateHost();
  }

  Frm_ReplaceBlocks& form_;
  forms::UiPort& ui_;
  const ReplaceRunServices& services_;
  RunProgress progress_;
  RunReport report_;
  cad::DocumentPtr drawing_;
  cad::BlockPtr modelSpace_;
  cad::LayerPtr savedLayer_;
  std::string stamp_;
  bool byPolygon_ = false;
  std::vector<double> boundary_;
};

RunReport ReplaceRun::Run() {
  forms::FlexGrid& grid = form_.MSHBlockDefs;
  const RowSelection rows = CountSelectedRows(grid);
  if (rows.selected == 0) {
    ui_.ShowMessage(Information(kNothingSelectedText));
    report_.end = RunEnd::NothingSelected;
    return report_;
  }
  if (rows.unmatched > 0) {
    ActivateSelf();
    forms::MessageBoxRequest question = Information(UnmatchedQuestion(rows), kQuestionTitle);
    question.icon = forms::MessageIcon::Question;
    question.buttons = forms::MessageButtons::YesNo;
    question.defaultButton = 2;
    if (ui_.ShowMessage(question) != forms::MessageAnswer::Yes) {
      report_.end = RunEnd::Declined;
      return report_;
    }
  }
  ActivateHost();
  drawing_ = host::RefreshActiveDocument();
  ActivateHost();
  savedLayer_ = drawing_->ActiveLayer();
  modelSpace_ = drawing_->ModelSpace();

  byPolygon_ = form_.OptSelect(1).Value();
  if (byPolygon_ && !PickBoundary()) {
    ActivateSelf();
    ui_.ShowMessage(Information(kPickPolylineText));
    report_.end = RunEnd::NoBoundary;
    return report_;
  }

  stamp_ = services_.clock ? services_.clock() : RunStampNow();
  RunUndoStep undoStep(drawing_);
  progress_.Start(grid.Rows() - 1);
  try {
    for (int row = 1; row < grid.Rows(); ++row) {
      if (!ReplaceRow(row)) {
        StopAtRow();
        report_.end = RunEnd::StoppedAtRow;
        return report_;
      }
    }
  } catch (...) {
    // A failure outside one reference (the drawing went away, a selection set
    // refused): the rows done stay done; the windows and the layer are put
    // back before the failure is reported.
    progress_.Close();
    RestoreLayer();
    throw;
  }

  RunCounts& counts = report_.counts;
  if ((counts.zeroAttributeCount > 0 || counts.fewerAttributeCount > 0) &&
      services_.hooks.flagLayeringPass) {
    try {
      services_.hooks.flagLayeringPass(counts);
    } catch (...) {
      // The replacements are done; put the layer and the windows back before
      // the failure to move the flags is reported.
      progress_.Close();
      RestoreLayer();
      throw;
    }
  }
  RestoreLayer();
  progress_.Close();
  ui_.DoEvents();
  form_.Form_Load();
  undoStep.Close();
  report_.summary = BuildRunSummary(counts);
  if (!report_.summary.empty()) {
    ui_.ShowMessage(Information(report_.summary, kSummaryTitle));
    ActivateSelf();
    ui_.ActivateTopLevel(host::kProgramTitle);
  }
  report_.end = RunEnd::Completed;
  return report_;
}

bool ReplaceRun::PickBoundary() {
  ui_.ActivateTopLevel(host::Host().hostProductName);
  try {
    cad::PickedEntity picked = drawing_->Utility()->GetEntity("Select a Polyline");
    if (!picked.entity) return false;
    if (Lower(picked.entity->ObjectName()).find("poly") == std::string::npos) return false;
    if (!picked.entity->Closed()) return false;
    selection::PolygonState& polygon = selection::M_Polygon();
    polygon.pickedEntity = picked.entity;
    polygon.reachSelector = false;
    selection::BuildPolygonPoints();
    boundary_ = polygon.polygonPoints;
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool ReplaceRun::ReplaceRow(int row) {
  forms::FlexGrid& grid = form_.MSHBlockDefs;
  selection::SelectState& select = selection::M_Select();
  selection::DeleteSelectionSet(selection::kSsTemp);
  selection::CreateSelectionSet(selection::kSsTemp);
  progress_.Row(row);
  if (Trim(grid.TextMatrix(row, inventory::kColReplaceWith)).empty()) return true;

  RowWork work;
  work.row.row = row;
  work.row.oldName = grid.TextMatrix(row, inventory::kColBlockName);
  work.row.replacementName = Upper(grid.TextMatrix(row, inventory::kColReplaceWith));
  work.row.source = grid.TextMatrix(row, inventory::kColPath);
  work.scaleCell = grid.TextMatrix(row, inventory::kColScale);
  work.rotationCell = grid.TextMatrix(row, inventory::kColRotation);
  work.layerCell = grid.TextMatrix(row, inventory::kColLayer);

  // One filtered selection of the row's references in scope.
  selection::DeleteSelectionSet(selection::kSS2);
  selection::CreateSelectionSet(selection::kSS2);
  selection::SetFilterEntry0(selection::kFilterBlockName, work.row.oldName);
  if (byPolygon_) {
    select.SS2->SelectByPolygon(cad::SelectMode::WindowPolygon, boundary_, select.filter);
  } else {
    select.SS2->Select(cad::SelectMode::All, select.filter);
  }
  const long references = select.SS2->Count();
  // A row with none of its references inside the picked polyline has nothing
  // to replace there; the rows after it still have theirs. With the whole of
  // model space in scope, none at all means the drawing changed since the
  // scan, and the run stops.
  if (references == 0) return byPolygon_;

  progress_.RowCaption("Replacing " + work.row.oldName + " with " + work.row.replacementName,
                       references);
  if (services_.hooks.loadMatches) work.matches = services_.hooks.loadMatches(work.row);

  // The row's replacements form one undo step, so a replacement that cannot be
  // inserted takes back those already made and no old reference ends up doubled.
  drawing_->StartUndoMark();
  std::vector<cad::EntityPtr> replaced;
  replaced.reserve(static_cast<std::size_t>(references));
  long handled = 0;
  try {
    for (long i = 0; i < references; ++i) {
    cad::EntityPtr entity = select.SS2->Item(i);
    auto old = std::dynamic_pointer_cast<cad::BlockReference>(entity);
    if (!old || StampedByThisRun(*old, stamp_)) continue;
    progress_.Reference(handled++);
    const ReferenceResult result = ReplaceReference(work, old);
    if (result == ReferenceResult::NotFound) {
      drawing_->CancelUndoMark();
      AddNotFound(report_.counts.notFoundList, work.row.source == inventory::kInDrawing
                                                   ? work.row.replacementName
                                                   : work.row.source);
      return true;
    }
    if (result == ReferenceResult::Replaced) replaced.push_back(entity);
    }
    if (form_.CkEraseBlocks.Value() == 1 && !replaced.empty()) {
      select.ssTemp->AddItems(replaced);
      select.ssTemp->Erase();
    }
  } catch (...) {
    drawing_->CancelUndoMark();
    throw;
  }
  drawing_->EndUndoMark();
  return true;
}

ReplaceRun::ReferenceResult ReplaceRun::ReplaceReference(RowWork& work,
                                                         const cad::BlockReferencePtr& old) {
  const std::string insertName =
      work.row.source == inventory::kInDrawing
          ? work.row.replacementName
          : work.row.source + "\\" + work.row.replacementName + ".dwg";
  drawing_->StartUndoMark();
  try {
    const cad::Point3 insertionPoint = old->InsertionPoint();
    // "* same" keeps each of the three factors: a reference mirrored by a
    // negative x factor stays mirrored. A typed scale applies to all three.
    const bool sameScale = work.scaleCell == inventory::kSame;
    const double scale = sameScale ? old->XScaleFactor() : CellNumber(work.scaleCell, "Scale");
    const double yScale = sameScale ? old->YScaleFactor() : scale;
    const double zScale = sameScale ? old->ZScaleFactor() : scale;
    const bool sameRotation = work.rotationCell == inventory::kSame;
    const double rotation = sameRotation ? old->Rotation()
                                         : CellNumber(work.rotationCell, "Rotation") * kDegreesToRadians;
    cad::BlockReferencePtr made;
    try {
      made = modelSpace_->InsertBlock(insertionPoint, insertName, scale, yScale, zScale, rotation);
    } catch (const cad::HostError&) {
      drawing_->CancelUndoMark();
      return ReferenceResult::NotFound;
    }
    // Its rotation kept, a reference mirrored through its normal (or lying in
    // another plane) keeps that plane, at the same place in the world.
    if (sameRotation) {
      const cad::Point3 normal = old->Normal();
      if (normal.x != 0 || normal.y != 0 || normal.z <= 0) made->Normal(normal);
    }
    form_.lastInsertionRotation = rotation;
    made->SetXData({{1001, std::string(kRunStampApp)}, {1000, stamp_}});
    if (Lower(work.layerCell) == Lower(inventory::kSame)) {
      made->Layer(old->Layer());
    } else {
      SetVarLayer(ui_, work.layerCell);
      made->Layer(work.layerCell);
    }
    made->Update();
    const ReplacedReference reference{old, made, insertionPoint, scale};
    if (work.matches.matchesExist && services_.hooks.transferAttributes) {
      services_.hooks.transferAttributes(work.row, work.matches, reference, report_.counts);
    }
    if (form_.CkReachText.Value() == 1 && services_.hooks.stationCheck) {
      services_.hooks.stationCheck(work.row, reference, report_.counts);
    }
    drawing_->EndUndoMark();
    return ReferenceResult::Replaced;
  } catch (const std::exception& failure) {
    drawing_->CancelUndoMark();
    report_.counts.failedReferences.push_back({work.row.oldName, failure.what()});
    return ReferenceResult::Failed;
  }
}

// A row without references in scope ends the run there; the progress windows
// close and the current layer comes back, as at a normal end.
void ReplaceRun::StopAtRow() {
  ActivateSelf();
  if (!byPolygon_) ui_.ShowMessage(Information(kNoneInModelSpaceText));
  progress_.Close();
  RestoreLayer();
}

void ReplaceRun::RestoreLayer() {
  try {
    drawing_->ActiveLayer(savedLayer_);
  } catch (const std::exception&) {
    // The drawing went away: there is no current layer left to restore.
  }
}

}  // namespace

RowSelection CountSelectedRows(const forms::FlexGrid& grid) {
  RowSelection rows;
  if (grid.Cols() != inventory::kGridColumns) return rows;
  for (int row = 1; row < grid.Rows(); ++row) {
    if (Trim(grid.TextMatrix(row, inventory::kColReplaceWith)).empty()) continue;
    ++rows.selected;
    const std::string matched = Trim(grid.TextMatrix(row, inventory::kColMatched));
    if (Trim(grid.TextMatrix(row, inventory::kColAttributes)) != "0" && !matched.empty() &&
        matched.front() == '0') {
      ++rows.unmatched;
    }
  }
  return rows;
}

std::string UnmatchedQuestion(const RowSelection& rows) {
  return std::to_string(rows.unmatched) + " of " + std::to_string(rows.selected) +
         " blocks types selected to be replaced have attributes which have not been Matched."
         "\r\rNote: Attribute values not matched will be lost."
         "\r\rPress YES to continue with Cindral.\r\rPress NO to Cancel.";
}

std::string RunStampNow() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm local{};
  localtime_r(&now, &local);
  const int hour12 = local.tm_hour % 12 == 0 ? 12 : local.tm_hour % 12;
  char text[40];
  std::snprintf(text, sizeof text, "%d/%d/%d %d:%02d:%02d %s", local.tm_mon + 1, local.tm_mday,
                local.tm_year + 1900, hour12, local.tm_min, local.tm_sec,
                local.tm_hour < 12 ? "AM" : "PM");
  return text;
}

RunReport ReplaceBlocks(Frm_ReplaceBlocks& form, const ReplaceRunServices& services) {
  return ReplaceRun(form, services).Run();
}

}  // namespace engine
