// The desktop's user-interface port: Qt message boxes, windows and event loop.
#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>

#include "forms/control.h"
#include "forms/ui_port.h"

class QMdiArea;
class QMainWindow;

namespace gui {

class FormSkin;

// Shows the program's windows with Qt. Each window model gets a FormSkin when it
// is first shown; the main frame is a main window with an MDI area in which the
// work windows open as children; every other window is a top-level window.
// Repaints the program asks for while a long loop runs are coalesced to screen
// rate, so a loop over many items is not slowed by drawing.
class QtPort : public forms::UiPort {
 public:
  QtPort();
  ~QtPort() override;

  forms::MessageAnswer ShowMessage(const forms::MessageBoxRequest& box) override;
  void DoEvents() override;
  void Repaint(const forms::Form& form) override;
  bool ActivateTopLevel(std::string_view title) override;
  void SetTopmost(const forms::Form& form) override;
  void ClearTopmost(const forms::Form& form) override;

  // Copies every showing window's model onto its widgets.
  void RefreshAll();
  // The widget showing a window model's client area; null before it is shown.
  const QWidget* ClientWidget(const forms::Form& form) const;
  // The window system's window that holds a window model (the main frame for
  // its MDI children); 0 before it is shown.
  quintptr NativeWindow(const forms::Form& form) const;
  // The frame a grid's widget draws around its cells, in pixels.
  int GridFrameWidth(const forms::Form& form, const forms::Control& grid) const;
  // True while at least one of the program's windows is loaded.
  bool AnyWindowLoaded() const;
  // Told when the last of the program's windows is unloaded: the program has
  // ended (the host's windows may still be open).
  std::function<void()> onProgramEnded;

 protected:
  void OnShow(const forms::Form& form) override;
  void OnHide(const forms::Form& form) override;
  void OnUnload(const forms::Form& form) override;
  void OnActivate(const forms::Form& form) override;
  void OnForget(const forms::Form& form) override;

 private:
  class WindowFrame;
  struct Shown {
    QPointer<QWidget> window;  // the top-level window or MDI child frame
    FormSkin* skin = nullptr;
  };

  Shown& EnsureWindow(forms::Form& form);
  void ApplyGeometry(const forms::Form& form, Shown& shown);
  QWidget* ActiveQtWindow() const;
  void SetStaysOnTop(const forms::Form& form, bool onTop);

  std::map<const forms::Form*, Shown> shown_;
  QPointer<QMainWindow> mdiFrame_;
  QPointer<QMdiArea> mdiArea_;
  std::map<const forms::Form*, qint64> lastRepaintMs_;
};

}  // namespace gui
