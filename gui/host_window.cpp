#include "gui/host_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <filesystem>

#include "cadhost/entity_objects.h"
#include "cadhost/view_query.h"
#include "gui/command_line_pane.h"
#include "gui/drawing_view.h"
#include "host/host_state.h"

namespace gui {

namespace {
// How often the window looks for changes the program made to the drawing.
constexpr int kWatchIntervalMs = 150;
constexpr int kStatusMs = 4000;
}  // namespace

std::string HostWindowTitle(const cadhost::HostApplication& application) {
  std::string title = host::ProductNameForVersion(application.Version());
  try {
    const cad::DocumentPtr active = application.ActiveDocument();
    title += " - [" + active->Name();
    if (const auto* document = dynamic_cast<const cadhost::HostDocument*>(active.get());
        document != nullptr && !document->ImportedFrom().empty())
      title += " (imported from " + document->ImportedFrom() + ")";
    title += "]";
  } catch (const cad::HostError&) {
    // No drawing open: the bare product name.
  }
  return title;
}

HostWindow::HostWindow(std::shared_ptr<cadhost::HostApplication> application, HostWindowDialogs dialogs)
    : application_(std::move(application)),
      dialogs_(std::move(dialogs)),
      view_(new DrawingView),
      commandLine_(new CommandLinePane),
      watch_(new QTimer(this)) {
  auto* split = new QSplitter(Qt::Vertical, this);
  split->addWidget(view_);
  split->addWidget(commandLine_);
  split->setStretchFactor(0, 1);
  split->setStretchFactor(1, 0);
  setCentralWidget(split);
  resize(900, 650);
  BuildMenus();
  statusBar();
  connect(watch_, &QTimer::timeout, this, [this] {
    if (isVisible()) Sync();
  });
  watch_->start(kWatchIntervalMs);
  Sync();
}

HostWindow::~HostWindow() {
  if (pickLoop_) pickLoop_->quit();
}

void HostWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  QAction* open = file->addAction(QStringLiteral("&Open..."), this, [this] { OpenDrawing(); });
  open->setShortcut(QKeySequence::Open);
  saveAction_ = file->addAction(QStringLiteral("&Save"), this, [this] { SaveDrawing(); });
  saveAction_->setShortcut(QKeySequence::Save);
  saveAsAction_ = file->addAction(QStringLiteral("Save &As..."), this, [this] { SaveDrawingAs(); });
  saveAsAction_->setShortcut(QKeySequence::SaveAs);
  closeAction_ = file->addAction(QStringLiteral("&Close"), this, [this] { CloseDrawing(); });
  closeAction_->setShortcut(QKeySequence::Close);
  file->addSeparator();
  exitAction_ = file->addAction(QStringLiteral("E&xit"), this, [this] { close(); });
  exitAction_->setShortcut(QKeySequence::Quit);

  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  undoAction_ = edit->addAction(QStringLiteral("&Undo"), this, [this] { UndoStep(); });
  undoAction_->setShortcut(QKeySequence::Undo);
  redoAction_ = edit->addAction(QStringLiteral("&Redo"), this, [this] { RedoStep(); });
  // CAD users redo with Ctrl+Y; the desktop's own redo key works too.
  QList<QKeySequence> redoKeys{QKeySequence(Qt::CTRL | Qt::Key_Y)};
  for (const QKeySequence& key : QKeySequence::keyBindings(QKeySequence::Redo)) {
    if (!redoKeys.contains(key)) redoKeys << key;
  }
  redoAction_->setShortcuts(redoKeys);

  QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
  view->addAction(QStringLiteral("Zoom &Extents"), this, [this] { view_->ZoomExtents(); });

  windowMenu_ = menuBar()->addMenu(QStringLiteral("&Window"));
  connect(windowMenu_, &QMenu::aboutToShow, this, [this] { FillWindowMenu(); });
}

void HostWindow::FillWindowMenu() {
  windowMenu_->clear();
  auto active = Active();
  int number = 0;
  for (const auto& document : application_->documents()) {
    if (document->IsClosed()) continue;
    QString label = QStringLiteral("&%1 %2").arg(++number).arg(QString::fromStdString(document->Name()));
    QAction* item = windowMenu_->addAction(label, this, [this, weak = std::weak_ptr(document)] {
      if (auto chosen = weak.lock()) SwitchTo(chosen);
    });
    item->setCheckable(true);
    item->setChecked(document == active);
    item->setEnabled(!Picking());
  }
}

std::shared_ptr<cadhost::HostDocument> HostWindow::Active() const {
  try {
    return std::dynamic_pointer_cast<cadhost::HostDocument>(application_->ActiveDocument());
  } catch (const cad::HostError&) {
    return nullptr;
  }
}

void HostWindow::Sync() {
  if (syncing_) return;
  syncing_ = true;
  auto active = Active();
  setWindowTitle(QString::fromStdString(HostWindowTitle(*application_)));
  view_->ShowDocument(active);
  commandLine_->Follow(active);
  if (pickLoop_ && !view_->Document()) pickLoop_->quit();  // the drawing picked in went away
  UpdateActions();
  FollowState();
  syncing_ = false;
  // From the event loop, once start-up is done and the window is up: a box
  // shown in the middle of a sync (or of the window's construction) would
  // hold up everything behind it.
  for (const auto& document : application_->documents()) {
    if (!document->IsClosed() && document->ImportNoticePending()) {
      QTimer::singleShot(0, this, [this] { ShowImportNotices(); });
      break;
    }
  }
}

void HostWindow::ShowImportNotices() {
  // Copied first: answering a notice lets the event loop run, which may open
  // or close drawings.
  const auto documents = application_->documents();
  for (const auto& document : documents) {
    if (document->IsClosed()) continue;
    if (std::optional<std::string> notice = document->TakeImportNotice()) {
      statusBar()->showMessage(QString::fromStdString(*notice), kStatusMs);
      if (dialogs_.showNotice) dialogs_.showNotice(this, *notice);
    }
  }
}

void HostWindow::FollowState() {
  if (!application_->Visible()) {
    if (isVisible()) hide();
    return;
  }
  const Qt::WindowStates state = windowState();
  switch (application_->WindowState()) {
    case cad::kWindowMinimized:
      if (!isVisible() || !(state & Qt::WindowMinimized)) showMinimized();
      break;
    case cad::kWindowMaximized:
      if (!isVisible() || (state & Qt::WindowMinimized) || !(state & Qt::WindowMaximized)) showMaximized();
      break;
    default:
      if (!isVisible() || (state & (Qt::WindowMinimized | Qt::WindowMaximized))) showNormal();
  }
}

void HostWindow::UpdateActions() {
  auto active = Active();
  const bool idle = !Picking();
  const bool hasDrawing = active != nullptr;
  // Undo steps are whole once no undo mark is open (a run in progress).
  const bool stepsClosed = hasDrawing && active->drawing().journal().OpenMarks() == 0;
  saveAction_->setEnabled(idle && hasDrawing);
  saveAsAction_->setEnabled(idle && hasDrawing);
  closeAction_->setEnabled(idle && hasDrawing);
  exitAction_->setEnabled(idle);
  undoAction_->setEnabled(idle && stepsClosed && active->drawing().journal().CanUndo());
  redoAction_->setEnabled(idle && stepsClosed && active->drawing().journal().CanRedo());
}

std::optional<cad::PickedEntity> HostWindow::Pick(cadhost::HostDocument& document, const std::string& prompt) {
  if (Picking() || document.IsClosed()) return std::nullopt;
  std::shared_ptr<cadhost::HostDocument> target = document.shared_from_this();
  if (Active() != target) application_->Activate(target);  // the drawing picked in is shown
  if (!application_->Visible()) application_->Visible(true);
  if (application_->WindowState() == cad::kWindowMinimized) application_->WindowState(cad::kWindowNormal);
  Sync();
  raise();
  activateWindow();

  std::optional<cad::PickedEntity> result;
  QEventLoop loop;
  pickLoop_ = &loop;
  connect(view_, &DrawingView::pointPicked, &loop, [&](double x, double y) {
    if (target->IsClosed()) return loop.quit();
    cad::PickedEntity pick;
    pick.point = {x, y, 0};
    cadhost::EntityId id = cadhost::NearestEntity(target->drawing(), pick.point, view_->PickAperture());
    if (id) pick.entity = cadhost::MakeEntityObject(target, id);
    result = pick;
    loop.quit();
  });
  connect(view_, &DrawingView::pickCancelled, &loop, &QEventLoop::quit);
  commandLine_->SetPrompt(QString::fromStdString(prompt));
  statusBar()->showMessage(QString::fromStdString(prompt));
  view_->BeginPick();
  UpdateActions();
  loop.exec();
  pickLoop_ = nullptr;
  view_->EndPick();
  commandLine_->SetPrompt({});
  statusBar()->showMessage(result ? (result->entity ? QStringLiteral("1 found") : QStringLiteral("0 found"))
                                  : QStringLiteral("*Cancel*"),
                           kStatusMs);
  UpdateActions();
  return result;
}

bool HostWindow::OpenDrawing() {
  if (Picking() || !dialogs_.chooseOpen) return false;
  std::optional<std::string> path = dialogs_.chooseOpen(this);
  if (!path) return false;
  try {
    application_->OpenDocument(*path);
  } catch (const std::exception& failure) {
    ReportFailure(failure.what());
    return false;
  }
  Sync();
  return true;
}

bool HostWindow::SaveTo(cadhost::HostDocument& document, const std::string& path) {
  try {
    document.SaveAs(path);
  } catch (const std::exception& failure) {
    ReportFailure(failure.what());
    return false;
  }
  Sync();
  statusBar()->showMessage(QStringLiteral("Saved %1").arg(QString::fromStdString(path)), kStatusMs);
  return true;
}

bool HostWindow::SaveDrawing() {
  auto active = Active();
  if (Picking() || !active) return false;
  // An imported DWG drawing goes through Save As the first time, which
  // suggests the DXF beside the DWG: the user sees where it is written.
  if (active->FullName().empty() || !active->SavedToOwnFile()) return SaveDrawingAs();
  return SaveTo(*active, active->FullName());
}

bool HostWindow::SaveDrawingAs() {
  auto active = Active();
  if (Picking() || !active || !dialogs_.chooseSaveAs) return false;
  // The host writes DXF: a new drawing's suggested name gets that extension.
  std::filesystem::path suggested = active->FullName().empty() ? active->Name() : active->FullName();
  suggested.replace_extension(".dxf");
  std::optional<std::string> path = dialogs_.chooseSaveAs(this, suggested.string());
  if (!path) return false;
  return SaveTo(*active, *path);
}

bool HostWindow::CloseDrawing() {
  auto active = Active();
  if (Picking() || !active) return false;
  if (!active->Saved()) {
    UnsavedAnswer answer = dialogs_.askUnsaved ? dialogs_.askUnsaved(this, active->Name()) : UnsavedAnswer::Cancel;
    if (answer == UnsavedAnswer::Cancel) return false;
    if (answer == UnsavedAnswer::Save && !SaveDrawing()) return false;
  }
  active->Close();
  Sync();
  return true;
}

bool HostWindow::UndoStep() {
  auto active = Active();
  if (Picking() || !active || active->drawing().journal().OpenMarks() != 0) return false;
  bool undone = active->Undo();
  Sync();
  return undone;
}

bool HostWindow::RedoStep() {
  auto active = Active();
  if (Picking() || !active || active->drawing().journal().OpenMarks() != 0) return false;
  bool redone = active->Redo();
  Sync();
  return redone;
}

void HostWindow::SwitchTo(const std::shared_ptr<cadhost::HostDocument>& document) {
  if (Picking() || !document || document->IsClosed()) return;
  application_->Activate(document);
  Sync();
}

void HostWindow::ReportFailure(const std::string& message) {
  statusBar()->showMessage(QString::fromStdString(message), kStatusMs);
  if (dialogs_.showError) dialogs_.showError(this, message);
}

bool HostWindow::QuitHost() {
  std::vector<std::shared_ptr<cadhost::HostDocument>> open;
  for (const auto& document : application_->documents()) {
    if (!document->IsClosed()) open.push_back(document);
  }
  for (const auto& document : open) {
    if (document->drawing().journal().OpenMarks() != 0) {
      ReportFailure(document->Name() + " is being changed by a program; close it when the program is done.");
      return false;
    }
  }
  for (const auto& document : open) {
    if (document->Saved()) continue;
    SwitchTo(document);  // the drawing asked about is the one on screen
    const UnsavedAnswer answer =
        dialogs_.askUnsaved ? dialogs_.askUnsaved(this, document->Name()) : UnsavedAnswer::Cancel;
    if (answer == UnsavedAnswer::Cancel) return false;
    if (answer == UnsavedAnswer::Save && !SaveDrawing()) return false;
  }
  for (const auto& document : open) {
    if (!document->IsClosed()) document->Close();
  }
  syncing_ = true;
  application_->Visible(false);
  syncing_ = false;
  Sync();
  return true;
}

void HostWindow::closeEvent(QCloseEvent* event) {
  // Closing the window quits the host, as a CAD program's close box does;
  // during a pick the first close only cancels the pick.
  if (pickLoop_) {
    pickLoop_->quit();
    event->ignore();
    return;
  }
  if (syncing_ || !isVisible()) {
    event->accept();
    return;
  }
  if (!QuitHost()) {
    event->ignore();
    return;
  }
  event->accept();
  emit quit();
}

void HostWindow::keyPressEvent(QKeyEvent* event) {
  if (pickLoop_ && event->key() == Qt::Key_Escape) return pickLoop_->quit();
  QMainWindow::keyPressEvent(event);
}

void HostWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange || syncing_) return;
  const Qt::WindowStates state = windowState();
  int followed = (state & Qt::WindowMinimized)   ? cad::kWindowMinimized
                 : (state & Qt::WindowMaximized) ? cad::kWindowMaximized
                                                 : cad::kWindowNormal;
  if (followed == application_->WindowState()) return;
  syncing_ = true;  // the user changed it: the application follows the window
  application_->WindowState(followed);
  syncing_ = false;
}

}  // namespace gui
