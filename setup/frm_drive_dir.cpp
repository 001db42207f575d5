#include "setup/frm_drive_dir.h"

#include <algorithm>
#include <cctype>
#include <functional>

#include "forms/message_box.h"
#include "host/error_boundary.h"
#include "host/registry.h"
#include "inventory/blocks_directory.h"

namespace setup {
namespace {

constexpr int kWindowWidth = 4830;
constexpr int kWindowHeight = 5520;
constexpr char kCarriageReturn = '\r';

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// Whether a failure is that of a drive that is not ready: its description
// speaks of the device.
bool IsDeviceFailure(const std::exception& failure) {
  if (const auto* folder = dynamic_cast<const forms::FolderUnavailable*>(&failure)) {
    return Lower(folder->Description()).find("device") != std::string::npos;
  }
  return Lower(failure.what()).find("device") != std::string::npos;
}

}  // namespace

std::string EmptyFolderPrompt(const std::string& folder) {
  const std::string paragraph(2, kCarriageReturn);
  return folder + " does not contain any blocks" + paragraph + "Press YES to continue with " + folder +
         " as Blocks directory" + paragraph + "Press NO to reselect Blocks directory";
}

std::string EmptyFolderTitle(const std::string& folder) {
  return "Continue with " + folder + " as Blocks directory?";
}

Frm_DriveDir::Frm_DriveDir(forms::UiPort& ui, inventory::Frm_ReplaceBlocks& main)
    : Form("Frm_DriveDir", ui), main_(main) {
  LayOut();
  Register(Drive1);
  Register(Dir1);
  Register(File1);
  Register(CmdSaveAndExit);
  onLoad = [this] { Form_Load(); };
  onActivate = [this] { Form_Activate(); };
  onUnload = [this](bool&) { Form_Unload(); };
  Drive1.onGotFocus = [this] { Drive1_GotFocus(); };
  Drive1.onChange = [this] { Drive1_Change(); };
  Dir1.onChange = [this] { Dir1_Change(); };
  Dir1.onClick = [this] { Dir1_Click(); };
  CmdSaveAndExit.onClick = [this] { CmdSaveAndExit_Click(); };
}

// Positions in twips.
void Frm_DriveDir::LayOut() {
  Caption(kDriveDirCaption);
  Move(0, 0, kWindowWidth, kWindowHeight);
  Drive1.Move(120, 120, 4455, 315);
  Dir1.Move(120, 540, 4455, 2535);
  File1.Move(120, 3195, 4455, 1230);
  File1.Pattern(kDrawingFilePattern);
  CmdSaveAndExit.Caption(kSaveAndExitCaption);
  CmdSaveAndExit.Move(120, 4545, 4455, 495);
  Drive1.TabIndex(0);
  Dir1.TabIndex(1);
  File1.TabIndex(2);
  CmdSaveAndExit.TabIndex(3);
}

void Frm_DriveDir::Form_Load() {
  Drive1.Refresh();
  GoToStartFolder();
  Drive1.ShowDriveOf(Dir1.Path());
}

void Frm_DriveDir::GoToStartFolder() {
  for (const std::string& folder : {main_.scan.blocksDirectory, forms::HomeFolder(), std::string("/")}) {
    if (folder.empty()) continue;
    try {
      Dir1.Path(folder);
      return;
    } catch (const forms::FolderUnavailable&) {
      // A stored folder that is gone, or an unreadable home: try the next.
    }
  }
}

void Frm_DriveDir::Form_Activate() { SentBySaveAndExit = false; }

void Frm_DriveDir::Drive1_GotFocus() { IntDriveListIndex = static_cast<std::int16_t>(Drive1.ListIndex()); }

void Frm_DriveDir::Drive1_Change() {
  // Failures of this handler are not reported: a drive that is not ready puts
  // the previous drive back, any other failure leaves the new one selected.
  try {
    Dir1.Path(Drive1.Drive());
  } catch (const std::exception& failure) {
    if (!IsDeviceFailure(failure)) return;
    try {
      Drive1.ListIndex(IntDriveListIndex);
    } catch (const std::exception&) {
      // The previous entry is gone too: the list stays as it is.
    }
  }
}

void Frm_DriveDir::Dir1_Change() { File1.Path(Dir1.Path()); }

void Frm_DriveDir::Dir1_Click() { File1.Path(Dir1.Path()); }

void Frm_DriveDir::CmdSaveAndExit_Click() {
  SentBySaveAndExit = true;
  if (File1.ListCount() == 0) {
    const std::string& folder = Dir1.Path();
    forms::MessageBoxRequest box;
    box.icon = forms::MessageIcon::Question;
    box.buttons = forms::MessageButtons::YesNo;
    box.defaultButton = 2;
    box.title = EmptyFolderTitle(folder);
    box.text = EmptyFolderPrompt(folder);
    if (Ui().ShowMessage(box) == forms::MessageAnswer::No) {
      SentBySaveAndExit = false;
      return;
    }
  }
  Unload();
}

void Frm_DriveDir::Form_Unload() {
  if (!SentBySaveAndExit) return;
  main_.ListBlocksInDir.Clear();
  const std::string folder = Dir1.Path();
  if (Lower(folder) != Lower(main_.scan.blocksDirectory)) {
    main_.scan.blocksDirectory = folder;
    host::WriteRegistryValue(host::kBlocksPathValue, folder);
    main_.returnFlags.blocksDirChosen = true;
  }
  try {
    ListBlocksDirectory();
  } catch (const std::exception&) {
    // A folder that cannot be listed leaves ListBlocksInDir empty.
  }
  Ui().DoEvents();
}

// The drawing files of the stored folder, found on disk also when the stored
// text differs from the folder's name in letter case.
void Frm_DriveDir::ListBlocksDirectory() {
  const std::string& stored = main_.scan.blocksDirectory;
  if (stored.empty()) return;
  main_.ListBlocksInDir.Clear();
  const auto disk = forms::ResolveFolder(stored);
  for (const std::string& name : inventory::ListDrawingFileBlocks(disk ? disk->string() : stored)) {
    main_.ListBlocksInDir.AddItem(name);
  }
}

void OpenDriveDir(Frm_DriveDir& window) {
  window.Show();
  window.BringToFront();
}

void WireDriveDir(Frm_DriveDir& window, const host::ErrorBoundary& boundary) {
  const auto guard = [&boundary](std::function<void()>& handler) {
    if (handler) handler = boundary.Guard(handler);
  };
  guard(window.onLoad);
  guard(window.onActivate);
  guard(window.Drive1.onGotFocus);
  guard(window.Drive1.onChange);
  guard(window.Dir1.onChange);
  guard(window.Dir1.onClick);
  guard(window.CmdSaveAndExit.onClick);
  window.onUnload = boundary.Guard(std::function<void(bool&)>([&window](bool&) { window.Form_Unload(); }));
  window.Main().CmdSelectBlocksDir.onClick =
      boundary.Guard(std::function<void()>([&window] { OpenDriveDir(window); }));
}

}  // namespace setup
