// The built-in host's own window: the drawing, picking, files, undo and the
// command line.
#pragma once

#include <QEventLoop>
#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <optional>
#include <string>

#include "cadhost/application.h"
#include "cadhost/document.h"
#include "gui/host_window_dialogs.h"

class QAction;
class QLabel;
class QMenu;
class QTimer;

namespace gui {

class CommandLinePane;
class DrawingView;

// One window per host instance, titled "<product> - [<drawing>]" so that the
// program finds it by the product name. It follows the application: the
// active document is shown, `Visible` and `WindowState` show, hide, minimise
// and maximise it; and the drawing is watched so that what the program
// changes is seen. Does nothing of the program's own: it only shows and edits
// the host's documents.
class HostWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit HostWindow(std::shared_ptr<cadhost::HostApplication> application,
                      HostWindowDialogs dialogs = QtHostDialogs());
  ~HostWindow() override;

  // Catches up with the application: title, drawing shown, visibility, state.
  void Sync();
  // Lets the user pick an object of `document` with `prompt` shown; runs a
  // nested event loop, so other windows stay responsive. nullopt on Esc (or
  // when the window or drawing goes away meanwhile); a result without an
  // entity when the click hit nothing.
  std::optional<cad::PickedEntity> Pick(cadhost::HostDocument& document, const std::string& prompt);

  // What the File, Edit and Window menus run; false when nothing was done
  // (the user cancelled, or the failure was reported).
  bool OpenDrawing();
  bool SaveDrawing();
  bool SaveDrawingAs();
  bool CloseDrawing();
  // Quits the host as its close box does: asks "Save changes to NAME?" for
  // every changed drawing (Yes saves, No discards, Cancel keeps everything
  // open), then closes the drawings and hides the window. Refused while a
  // run of the program holds an undo step open. False when nothing closed.
  bool QuitHost();
  bool UndoStep();
  bool RedoStep();
  void SwitchTo(const std::shared_ptr<cadhost::HostDocument>& document);

  DrawingView& View() { return *view_; }
  const DrawingView& View() const { return *view_; }
  CommandLinePane& CommandLine() { return *commandLine_; }
  bool Picking() const { return pickLoop_ != nullptr; }

 signals:
  // The user quit the host: its window is gone and its drawings are closed.
  void quit();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;  // Esc cancels a pick wherever the focus is

 private:
  void BuildMenus();
  void FillWindowMenu();
  void UpdateActions();
  void ShowImportNotices();
  void FollowState();
  std::shared_ptr<cadhost::HostDocument> Active() const;
  bool SaveTo(cadhost::HostDocument& document, const std::string& path);
  void ReportFailure(const std::string& message);

  std::shared_ptr<cadhost::HostApplication> application_;
  HostWindowDialogs dialogs_;
  DrawingView* view_ = nullptr;
  CommandLinePane* commandLine_ = nullptr;
  QTimer* watch_ = nullptr;
  QMenu* windowMenu_ = nullptr;
  QAction* saveAction_ = nullptr;
  QAction* exitAction_ = nullptr;
  QAction* saveAsAction_ = nullptr;
  QAction* closeAction_ = nullptr;
  QAction* undoAction_ = nullptr;
  QAction* redoAction_ = nullptr;
  QPointer<QEventLoop> pickLoop_;
  bool syncing_ = false;  // set while the window follows the application
};

// The title of a host window: the product name, then the active drawing.
std::string HostWindowTitle(const cadhost::HostApplication& application);

}  // namespace gui
