#include "engine/work_window.h"

#include <memory>
#include <utility>

#include "engine/flags.h"
#include "engine/station_check.h"
#include "host/error_boundary.h"
#include "setup/clear_flags.h"
#include "setup/grid_sort.h"
#include "setup/replacement_choice.h"
#include "setup/scale_rotation_layer.h"
#include "setup/window_commands.h"

namespace engine {
namespace {

void Guard(const host::ErrorBoundary& boundary, std::function<void()>& handler) {
  if (handler) handler = boundary.Guard(handler);
}

}  // namespace

void WireReplaceBlocks(inventory::Frm_ReplaceBlocks& form, const host::ErrorBoundary& boundary,
                       WorkWindowServices services) {
  form.Links(services.links);
  setup::WireReplacementChoice(form);
  setup::WireScaleRotationLayer(form);
  setup::WireWindowCommands(form, std::move(services.showNotes));
  setup::WireGridSort(form);
  form.CmdClearFlags.onClick = [] { setup::CmdClearFlags_Click(kFlagsApp); };
  if (!services.run.hooks.flagLayeringPass) {
    services.run.hooks.flagLayeringPass = [&form](RunCounts&) {
      LayerFlagMarks(form.Ui(), form.Links().progress);
    };
  }
  if (!services.run.hooks.stationCheck) {
    services.run.hooks.stationCheck = [&form](RunRow&, const ReplacedReference& reference,
                                              RunCounts& counts) {
      CheckStationText(form.Ui(), reference, counts);
    };
  }
  auto run = std::make_shared<ReplaceRunServices>(std::move(services.run));
  form.CmdReplace.onClick = [&form, run] { ReplaceBlocks(form, *run); };

  form.onLoad = [&form] { form.Form_Load(); };
  form.onActivate = [&form] { form.Form_Activate(); };
  Guard(boundary, form.onLoad);
  Guard(boundary, form.onActivate);
  for (forms::Control* control : form.Controls()) {
    Guard(boundary, control->onClick);
    Guard(boundary, control->onLostFocus);
  }
  Guard(boundary, form.MSHBlockDefs.onScroll);
  Guard(boundary, form.ComboScaleRotation.onChange);
}

}  // namespace engine
