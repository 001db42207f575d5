// The blocks-directory chooser: the user picks the folder whose drawing files
// are offered as replacement blocks; closing it with its command stores the
// folder and lists its drawing files on the work window.
#pragma once

#include <cstdint>
#include <string>

#include "forms/file_system_lists.h"
#include "forms/form.h"
#include "forms/simple_controls.h"
#include "inventory/frm_replace_blocks.h"

namespace host {
class ErrorBoundary;
}

namespace setup {

inline constexpr const char* kDriveDirCaption = "Select current Blocks Directory";
inline constexpr const char* kSaveAndExitCaption = "Set Blocks Directory and Exit";
// The pattern of the drawing files File1 shows.
inline constexpr const char* kDrawingFilePattern = "*.dwg;*.dxf";

// The question asked when the chosen folder holds no drawing file: its prompt
// and its title, with the folder text as the directory list gives it.
std::string EmptyFolderPrompt(const std::string& folder);
std::string EmptyFolderTitle(const std::string& folder);

// Owns the chooser's controls as laid out and its two window variables. Reads
// the program-wide blocks directory path from the work window and, when closed
// by CmdSaveAndExit, stores the chosen folder there and in the registry value
// of the blocks path, raises the work window's directory-changed flag and
// lists the folder's drawing files into its ListBlocksInDir.
class Frm_DriveDir : public forms::Form {
 public:
  Frm_DriveDir(forms::UiPort& ui, inventory::Frm_ReplaceBlocks& main);

  inventory::Frm_ReplaceBlocks& Main() const { return main_; }

  // Reads the drives and starts Dir1 at the stored path (the home folder when
  // none is stored or it can no longer be shown).
  void Form_Load();
  void Form_Activate();
  void Drive1_GotFocus();
  // Moves Dir1 to the chosen drive; a drive that is not ready puts the
  // previous drive back, without a message.
  void Drive1_Change();
  // File1 shows Dir1's folder.
  void Dir1_Change();
  void Dir1_Click();
  // Asks before taking a folder without drawing files, then closes the window.
  void CmdSaveAndExit_Click();
  // Stores the folder and relists it, only when closed by CmdSaveAndExit.
  void Form_Unload();

  forms::DriveList Drive1{"Drive1"};
  forms::DirectoryList Dir1{"Dir1"};
  forms::FileList File1{"File1"};
  forms::CommandButton CmdSaveAndExit{"CmdSaveAndExit"};

  // True only while the window is being closed by CmdSaveAndExit.
  bool SentBySaveAndExit = false;
  // The drive list entry selected when Drive1 got the focus.
  std::int16_t IntDriveListIndex = 0;

 private:
  void LayOut();
  void GoToStartFolder();
  void ListBlocksDirectory();

  inventory::Frm_ReplaceBlocks& main_;
};

// CmdSelectBlocksDir's Click: shows the chooser (not modal), loading it afresh
// when it was closed, and brings it to the front.
void OpenDriveDir(Frm_DriveDir& window);

// Wires the chooser's handlers and the work window's CmdSelectBlocksDir, each
// entered through `boundary`.
void WireDriveDir(Frm_DriveDir& window, const host::ErrorBoundary& boundary);

}  // namespace setup
