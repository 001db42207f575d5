// The questions the host window asks its user, replaceable for tests.
#pragma once

#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace gui {

enum class UnsavedAnswer { Save, Discard, Cancel };

// Owns nothing: each member asks the user one thing. `QtHostDialogs()` gives
// Qt's file dialogs and message boxes; a test puts its own answers in.
struct HostWindowDialogs {
  // A drawing file to open; nullopt when the user cancels.
  std::function<std::optional<std::string>(QWidget* parent)> chooseOpen;
  // Where to save, starting from `suggested`; nullopt when the user cancels.
  std::function<std::optional<std::string>(QWidget* parent, const std::string& suggested)> chooseSaveAs;
  // Whether to save the changes of drawing `name` before it closes.
  std::function<UnsavedAnswer(QWidget* parent, const std::string& name)> askUnsaved;
  // Says why an operation failed.
  std::function<void(QWidget* parent, const std::string& message)> showError;
  // Tells the user something they should know, such as what a DWG import lost.
  std::function<void(QWidget* parent, const std::string& message)> showNotice;
};

HostWindowDialogs QtHostDialogs();

}  // namespace gui
