// The notes viewer: a read-only rich-text window showing the program's notes.
#pragma once

#include <filesystem>

#include "forms/form.h"
#include "host/rich_text_box.h"

namespace host {

class ErrorBoundary;

// Owns RText1. ShowNotes is what the work window's notes command does: it
// opens (or brings forward) the viewer at the top-left corner and fills it
// with the notes file, or with the built-in notes when the file cannot be read.
class FrmRText : public forms::Form {
 public:
  explicit FrmRText(forms::UiPort& ui);
  void WireHandlers(const ErrorBoundary& boundary);
  void Form_Load();

  // Shows the notes read from `folder` (the program's data folder by default).
  void ShowNotes(const std::filesystem::path& folder);
  void ShowNotes();

  RichTextBox RText1{"RText1"};
};

}  // namespace host
