#include "setup/window_commands.h"

#include <utility>

namespace setup {

void ColourCheckBox(forms::CheckBox& box) {
  box.ForeColor(box.Value() == 1 ? inventory::kChosenColor : inventory::kNotChosenColor);
}

void WireWindowCommands(inventory::Frm_ReplaceBlocks& form, std::function<void()> showNotes) {
  form.CkEraseBlocks.onClick = [&form] { ColourCheckBox(form.CkEraseBlocks); };
  form.CkReachText.onClick = [&form] { ColourCheckBox(form.CkReachText); };
  // The rescan is the complete load handler, as at start-up.
  form.Command1.onClick = [&form] { form.Form_Load(); };
  if (showNotes) form.CmdNotes.onClick = std::move(showNotes);
}

}  // namespace setup
