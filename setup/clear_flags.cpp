#include "setup/clear_flags.h"

#include "selection/selection_sets.h"

namespace setup {

void CmdClearFlags_Click(const std::string& flagsApp) {
  selection::DeleteSelectionSet(selection::kSS2);
  selection::CreateSelectionSet(selection::kSS2);
  try {
    selection::SetFilterEntry0(selection::kFilterXDataApp, flagsApp);
    selection::SelectState& select = selection::M_Select();
    // Filter entry 1 keeps the selection to model space.
    select.SS2->Select(cad::SelectMode::All, select.filter);
    select.SS2->Erase();
  } catch (...) {
    // The erase is all or nothing; the set itself must not outlive the command.
    selection::DeleteSelectionSet(selection::kSS2);
    throw;
  }
  selection::DeleteSelectionSet(selection::kSS2);
}

}  // namespace setup
