#include "gui/qt_port.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QFrame>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <set>

#include "forms/form.h"
#include "gui/form_skin.h"
#include "host/frm_mdi.h"

namespace gui {

namespace {

// Repaints closer together than one screen refresh are merged.
constexpr qint64 kRepaintIntervalMs = 16;

const std::set<std::string> kMdiChildren = {"Frm_ReplaceBlocks", "Frm_MatchAtts", "Frm_DriveDir"};
constexpr const char* kMdiFrameName = "Frm__MDI";

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Message texts join lines with carriage returns; Qt breaks lines on line feeds.
QString MessageText(const std::string& text) {
  QString shown = QString::fromStdString(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return shown;
}

QMessageBox::Icon ToQtIcon(forms::MessageIcon icon) {
  switch (icon) {
    case forms::MessageIcon::Information: return QMessageBox::Information;
    case forms::MessageIcon::Question: return QMessageBox::Question;
    case forms::MessageIcon::Exclamation: return QMessageBox::Warning;
    case forms::MessageIcon::Critical: return QMessageBox::Critical;
  }
  return QMessageBox::Information;
}

// Runs an action when the watched widget is clicked (the button released).
class ClickFilter : public QObject {
 public:
  ClickFilter(std::function<void()> action, QObject* parent)
      : QObject(parent), action_(std::move(action)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonRelease) action_();
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> action_;
};

}  // namespace

// A top-level window or MDI child frame whose close box asks the window model
// (which may refuse) instead of closing by itself.
class QtPort::WindowFrame {
 public:
  template <class Base>
  class Closing : public Base {
   public:
    Closing(forms::Form& form, QWidget* parent) : Base(parent), form_(form) {}

   protected:
    void closeEvent(QCloseEvent* event) override {
      event->ignore();
      // The model's unload tells the port, which removes the window later.
      QMetaObject::invokeMethod(
          qApp, [form = &form_] { form->Close(); }, Qt::QueuedConnection);
    }

   private:
    forms::Form& form_;
  };
};

QtPort::QtPort() = default;

QtPort::~QtPort() {
  for (auto& [form, shown] : shown_) delete shown.window.data();
  delete mdiFrame_.data();
}

forms::MessageAnswer QtPort::ShowMessage(const forms::MessageBoxRequest& box) {
  QMessageBox message(ToQtIcon(box.icon), QString::fromStdString(box.title), MessageText(box.text),
                      QMessageBox::NoButton, ActiveQtWindow());
  std::vector<std::pair<QAbstractButton*, forms::MessageAnswer>> buttons;
  auto add = [&](QMessageBox::StandardButton button, forms::MessageAnswer answer) {
    buttons.emplace_back(message.addButton(button), answer);
  };
  switch (box.buttons) {
    case forms::MessageButtons::Ok: add(QMessageBox::Ok, forms::MessageAnswer::Ok); break;
    case forms::MessageButtons::YesNo:
      add(QMessageBox::Yes, forms::MessageAnswer::Yes);
      add(QMessageBox::No, forms::MessageAnswer::No);
      break;
    case forms::MessageButtons::OkCancel:
      add(QMessageBox::Ok, forms::MessageAnswer::Ok);
      add(QMessageBox::Cancel, forms::MessageAnswer::Cancel);
      break;
  }
  const std::size_t defaultIndex =
      box.defaultButton >= 1 && static_cast<std::size_t>(box.defaultButton) <= buttons.size()
          ? static_cast<std::size_t>(box.defaultButton - 1)
          : 0;
  message.setDefaultButton(qobject_cast<QPushButton*>(buttons[defaultIndex].first));
  message.exec();
  for (const auto& [button, answer] : buttons) {
    if (message.clickedButton() == button) return answer;
  }
  // Closed with Escape or the close box: the box's last button (No, Cancel, OK).
  return buttons.back().second;
}

void QtPort::DoEvents() {
  RefreshAll();
  QApplication::processEvents();
}

void QtPort::Repaint(const forms::Form& form) {
  const qint64 now = QDateTime::currentMSecsSinceEpoch();
  // Each window is throttled on its own: a loop that repaints two progress
  // windows in turn must not starve one of them.
  qint64& last = lastRepaintMs_[&form];
  if (now - last < kRepaintIntervalMs) return;
  last = now;
  auto found = shown_.find(&form);
  if (found == shown_.end() || !found->second.skin) return;
  found->second.skin->Refresh();
  if (QWidget* window = found->second.window) {
    // A progress window's caption says what a long loop is doing now.
    const QString caption = QString::fromStdString(form.Caption());
    if (window->windowTitle() != caption) window->setWindowTitle(caption);
    window->repaint();
  }
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool QtPort::ActivateTopLevel(std::string_view title) {
  const QString wanted = ToQString(title);
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (!widget->isVisible()) continue;
    if (!widget->windowTitle().startsWith(wanted)) continue;
    if (widget->isMinimized()) widget->showNormal();
    widget->raise();
    widget->activateWindow();
    return true;
  }
  return false;
}

void QtPort::SetStaysOnTop(const forms::Form& form, bool onTop) {
  auto found = shown_.find(&form);
  if (found == shown_.end() || !found->second.window) return;
  QWidget* window = found->second.window;
  if (!window->isWindow()) return;  // MDI children stay inside their frame
  const bool wasVisible = window->isVisible();
  window->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
  if (wasVisible) window->show();  // changing the flags hides a window
  window->raise();
}

void QtPort::SetTopmost(const forms::Form& form) { SetStaysOnTop(form, true); }
void QtPort::ClearTopmost(const forms::Form& form) { SetStaysOnTop(form, false); }

void QtPort::RefreshAll() {
  for (auto& [form, shown] : shown_) {
    if (shown.skin && form->Visible()) shown.skin->Refresh();
    if (shown.window) ApplyGeometry(*form, shown);
  }
}

const QWidget* QtPort::ClientWidget(const forms::Form& form) const {
  auto found = shown_.find(&form);
  return found == shown_.end() ? nullptr : found->second.skin;
}

quintptr QtPort::NativeWindow(const forms::Form& form) const {
  auto found = shown_.find(&form);
  if (found == shown_.end() || !found->second.window) return 0;
  const QWidget* window = found->second.window->window();
  return window->isVisible() ? static_cast<quintptr>(window->winId()) : 0;
}

int QtPort::GridFrameWidth(const forms::Form& form, const forms::Control& grid) const {
  const QWidget* client = ClientWidget(form);
  if (client == nullptr) return 0;
  const auto* view = client->findChild<const QFrame*>(QString::fromStdString(grid.QualifiedName()));
  return view != nullptr ? view->frameWidth() : 0;
}

bool QtPort::AnyWindowLoaded() const {
  const auto& forms = Windows().Forms();
  return std::any_of(forms.begin(), forms.end(), [](const forms::Form* f) { return f->Loaded(); });
}

QtPort::Shown& QtPort::EnsureWindow(forms::Form& form) {
  Shown& shown = shown_[&form];
  if (shown.window) return shown;
  auto afterGesture = [this] { RefreshAll(); };
  if (form.Name() == kMdiFrameName) {
    auto* frame = new WindowFrame::Closing<QMainWindow>(form, nullptr);
    auto* area = new QMdiArea(frame);
    frame->setCentralWidget(area);
    // A click on the empty client area, outside every child window.
    if (auto* mainFrame = dynamic_cast<host::Frm__MDI*>(&form)) {
      area->viewport()->installEventFilter(new ClickFilter(
          [this, mainFrame] {
            try {
              mainFrame->UserClickClientArea();
            } catch (const forms::ControlError&) {
              // The frame is not showing.
            }
            RefreshAll();
          },
          area));
    }
    mdiFrame_ = frame;
    mdiArea_ = area;
    shown.window = frame;
    return shown;
  }
  if (mdiArea_ && kMdiChildren.count(form.Name())) {
    auto* child = new WindowFrame::Closing<QMdiSubWindow>(form, nullptr);
    shown.skin = new FormSkin(form, afterGesture);
    child->setWidget(shown.skin);
    child->setAttribute(Qt::WA_DeleteOnClose, false);
    mdiArea_->addSubWindow(child);
    shown.window = child;
    return shown;
  }
  auto* window = new WindowFrame::Closing<QWidget>(form, nullptr);
  window->setWindowFlag(Qt::Window, true);
  shown.skin = new FormSkin(form, afterGesture, window);
  shown.window = window;
  return shown;
}

void QtPort::ApplyGeometry(const forms::Form& form, Shown& shown) {
  QWidget* window = shown.window;
  window->setWindowTitle(QString::fromStdString(form.Caption()));
  switch (form.State()) {
    case forms::WindowState::Maximized:
      if (!window->isMaximized()) {
        // Without a window manager a maximise request is ignored: fill the
        // screen (or the MDI area) so the window looks the same either way.
        if (window->isWindow()) {
          if (const QScreen* screen = window->screen()) window->setGeometry(screen->availableGeometry());
        }
        window->showMaximized();
      }
      return;
    case forms::WindowState::Minimized:
      if (!window->isMinimized()) window->showMinimized();
      return;
    case forms::WindowState::Normal:
      break;
  }
  if (window->isMaximized() || window->isMinimized()) window->showNormal();
  const QRect wanted(Px(form.Left()), Px(form.Top()), Px(form.Width()), Px(form.Height()));
  if (shown.skin) shown.skin->setMinimumSize(wanted.size());
  if (window->isWindow()) {
    // The model's left and top are where the window's frame goes, title bar
    // included, as a window manager places it; before the window has a frame
    // Qt would put the client area there and leave the title bar off screen.
    if (QWindow* handle = window->windowHandle()) {
      if (window->frameGeometry().topLeft() != wanted.topLeft()) handle->setFramePosition(wanted.topLeft());
    } else {
      window->move(wanted.topLeft());
    }
    if (window->size() != wanted.size()) window->resize(wanted.size());
  } else {
    window->setGeometry(wanted);
  }
}

void QtPort::OnShow(const forms::Form& form) {
  forms::Form* model = Windows().Find(form.Name());
  if (!model) return;
  Shown& shown = EnsureWindow(*model);
  if (shown.skin) shown.skin->Refresh();
  ApplyGeometry(form, shown);
  shown.window->show();
}

void QtPort::OnHide(const forms::Form& form) {
  auto found = shown_.find(&form);
  if (found != shown_.end() && found->second.window) found->second.window->hide();
}

void QtPort::OnUnload(const forms::Form& form) {
  auto found = shown_.find(&form);
  if (found == shown_.end()) return;
  if (QWidget* window = found->second.window) {
    window->hide();
    window->deleteLater();  // an unload may run inside one of the window's own slots
  }
  shown_.erase(found);
  lastRepaintMs_.erase(&form);
  if (!AnyWindowLoaded() && onProgramEnded) onProgramEnded();
}

void QtPort::OnForget(const forms::Form& form) {
  auto found = shown_.find(&form);
  if (found == shown_.end()) return;
  // The model is going away (its controls may already be gone): its widgets
  // must neither touch it nor outlive it.
  if (found->second.skin) found->second.skin->Detach();
  delete found->second.window.data();
  shown_.erase(found);
}

void QtPort::OnActivate(const forms::Form& form) {
  auto found = shown_.find(&form);
  if (found == shown_.end() || !found->second.window) return;
  QWidget* window = found->second.window;
  if (auto* child = qobject_cast<QMdiSubWindow*>(window); child && mdiArea_) {
    mdiArea_->setActiveSubWindow(child);
    return;
  }
  window->raise();
  window->activateWindow();
}

QWidget* QtPort::ActiveQtWindow() const {
  if (QWidget* active = QApplication::activeWindow()) return active;
  return mdiFrame_.data();
}

}  // namespace gui
