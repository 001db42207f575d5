#include "host/frm_rtext.h"

#include "host/error_boundary.h"
#include "host/notes.h"

namespace host {

FrmRText::FrmRText(forms::UiPort& ui) : Form("FrmRText", ui) {
  Caption("Report");
  Move(0, 400, 9600, 7200);
  RText1.Move(0, 0, 9480, 6720);
  Register(RText1);
}

void FrmRText::WireHandlers(const ErrorBoundary& boundary) {
  onLoad = boundary.Guard([this] { Form_Load(); });
}

void FrmRText::Form_Load() {
  Top(400);
  Left(0);
}

void FrmRText::ShowNotes(const std::filesystem::path& folder) {
  Show();
  Left(0);
  Top(0);
  BringToFront();
  const Notes notes = LoadNotes(folder);
  if (notes.source == Notes::Source::File) {
    RText1.Document(notes.richText);
  } else {
    RText1.Text(notes.plainText);
  }
}

void FrmRText::ShowNotes() { ShowNotes(ProgramDataFolder()); }

}  // namespace host
