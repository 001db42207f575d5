// The main work window: the block grid with the user's replacement choices,
// the source lists, the option pairs and the commands of a replacement.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "forms/control_array.h"
#include "forms/flex_grid.h"
#include "forms/form.h"
#include "forms/list_controls.h"
#include "forms/simple_controls.h"
#include "host/cad.h"

namespace host {
class FrmProgress;
class FrmProgress2;
class HostSwitching;
}  // namespace host

namespace inventory {

// Text colours that show a choice: the chosen option or ticked box is blue,
// the others dark red.
inline constexpr forms::Rgb kChosenColor{0, 0, 192};
inline constexpr forms::Rgb kNotChosenColor{128, 0, 0};

// The other windows the work window works with; set by the program before the
// window is first shown. Any may be missing in a test: the scan then simply
// shows no progress, and the switching steps are left out.
struct WorkWindowLinks {
  host::FrmProgress* progress = nullptr;    // outer progress window
  host::FrmProgress2* progress2 = nullptr;  // inner progress window of the replace run
  forms::Form* mainFrame = nullptr;         // Frm__MDI, released from topmost after a scan
  host::HostSwitching* switching = nullptr; // ActivateSelf, ActivateHost
  forms::Form* matchAtts = nullptr;         // Frm_MatchAtts, once it exists
};

// What the drawing scan records besides the grid.
struct ScanResults {
  bool scanFinished = false;            // false while the grid is being built
  std::vector<std::string> layerNames;  // in the host's enumeration order
  std::string blocksDirectory;          // trimmed registry value, empty when unset
  // The first reference of the last block that got a grid row: its insertion
  // point is where the attribute status refresh inserts its temporary block.
  cad::Point3 firstInsertionPoint;
  std::vector<cad::AttributeReferencePtr> firstAttributes;
  cad::BlockReferencePtr firstReference;
};

// The grid row being edited, read by the Match Attributes window. Kept from
// the last row that had both attributes and a replacement.
struct CurrentRowContext {
  int row = 0;
  int column = 0;  // the column the scale, rotation and layer editor writes
  std::string blockName;        // column 0
  std::string replacementName;  // column 4
  std::string source;           // column 5
  std::string tagList;          // column 9
  // The attribute references of the temporary insertion (deleted again right
  // after, so only their identity remains) and their tags as read before.
  std::vector<cad::AttributeReferencePtr> replacementAttributes;
  std::vector<std::string> replacementTags;
};

// Set by the windows the user returns from; read by the activate event.
struct ReturnFlags {
  bool blocksDirChosen = false;    // the blocks-directory chooser has just closed
  bool matchesSaved = false;       // the Match Attributes window has just saved
  long long matchedCount = 0;      // attributes matched by that save
};

// Owns every control of the work window as laid out, the scan results, the
// current-row context and the return flags. Its load handler is the drawing
// scan and its activate event the return handling; the editing handlers and
// the replace run are wired onto its controls by the set-up and engine code.
class Frm_ReplaceBlocks : public forms::Form {
 public:
  explicit Frm_ReplaceBlocks(forms::UiPort& ui);

  void Links(const WorkWindowLinks& links) { links_ = links; }
  const WorkWindowLinks& Links() const { return links_; }

  // The drawing scan: fills the grid, the source lists, the sort list and the
  // layer names from the active drawing. Also what "ReScan Drawing" and the end
  // of a replace run call.
  void Form_Load();
  // The return from the blocks-directory chooser or the Match Attributes window.
  void Form_Activate();

  // Runs the Click handler of one source option, as the program does after a
  // scan and on returning from the chooser.
  void RunOptRepWithClick(int index);

  forms::CheckBox CkReachText{"CkReachText"};
  forms::Frame FrameSort{"FrameSort"};
  forms::ControlArray<forms::OptionButton> OptSort{"OptSort", 2};
  forms::ComboBox ComboSort{"ComboSort", forms::ComboStyle::DropDownList};
  forms::Frame Frame2{"Frame2"};
  forms::CommandButton CmdClearFlags{"CmdClearFlags"};
  forms::CommandButton CmdNotes{"CmdNotes"};
  forms::CommandButton Command1{"Command1"};
  forms::Frame FrameRePlaceWith{"FrameRePlaceWith"};
  forms::ControlArray<forms::OptionButton> OptRepWith{"OptRepWith", 2};
  forms::CommandButton CmdSelectBlocksDir{"CmdSelectBlocksDir"};
  forms::Label LblCurrentBlocksDir{"LblCurrentBlocksDir"};
  forms::Frame Frame1{"Frame1"};
  forms::CommandButton CmdMatchAtts{"CmdMatchAtts"};
  forms::Label LabelMatchAtts{"LabelMatchAtts"};
  forms::Frame FrameReplace{"FrameReplace"};
  forms::CheckBox CkEraseBlocks{"CkEraseBlocks"};
  forms::CommandButton CmdReplace{"CmdReplace"};
  forms::ControlArray<forms::OptionButton> OptSelect{"OptSelect", 2};
  forms::ListBox List1{"List1"};
  forms::ListBox ListBlocksInDir{"ListBlocksInDir"};
  forms::ListBox ListBlocksInDwg{"ListBlocksInDwg"};
  forms::Frame FrameBlockDefs{"FrameBlockDefs"};
  forms::ComboBox ComboScaleRotation{"ComboScaleRotation", forms::ComboStyle::Editable};
  forms::ComboBox ComboReplaceWith{"ComboReplaceWith", forms::ComboStyle::DropDownList};
  forms::FlexGrid MSHBlockDefs{"MSHBlockDefs"};
  forms::FlexGrid MSHSortAtts{"MSHSortAtts"};

  ScanResults scan;
  CurrentRowContext currentRow;
  ReturnFlags returnFlags;
  // True only while the grid click itself selects an entry of ComboReplaceWith.
  bool SentByMSHBlockDefsClick = false;
  // The rotation (radians) of the replace run's last insertion; the attribute
  // status refresh inserts its temporary reference with it.
  double lastInsertionRotation = 0.0;
  // Opens the scale, rotation and layer editor over the current cell; set by
  // that editor's wiring, empty until it exists (those cells then open nothing).
  std::function<void()> openScaleRotationEditor;

 private:
  void LayOut();
  void RegisterControls();

  WorkWindowLinks links_;
};

}  // namespace inventory
