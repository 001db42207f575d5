#include "gui/desktop_probe.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QSaveFile>
#include <QTimer>
#include <QWidget>

#include <sstream>

#include "forms/flex_grid.h"
#include "forms/form.h"
#include "forms/text_format.h"
#include "gui/drawing_view.h"
#include "gui/form_skin.h"
#include "gui/host_window.h"
#include "gui/host_windows.h"
#include "gui/qt_port.h"

namespace gui {

namespace {

constexpr int kWriteIntervalMs = 100;
// Rows of a grid listed below its fixed rows: more than a window shows.
constexpr int kListedScrolledRows = 80;

void PutRect(std::ostream& out, const QRect& rect) {
  out << rect.x() << ' ' << rect.y() << ' ' << rect.width() << ' ' << rect.height();
}

// Where the model places a control on the screen: its twips from the left and
// top of its frame, frame by frame, from the window's client origin.
QRect ScreenRect(const forms::Control& control, QPoint origin) {
  QPoint at = origin;
  for (const forms::Control* c = &control; c != nullptr; c = c->Container()) {
    at += QPoint(Px(c->Left()), Px(c->Top()));
  }
  return {at, QSize(Px(control.Width()), Px(control.Height()))};
}

void PutGridGeometry(std::ostream& out, const std::string& name, const forms::FlexGrid& grid,
                     const QRect& rect, int frame) {
  out << "cols " << name;
  int x = rect.x() + frame;
  for (int col = 0; col < grid.Cols(); ++col) {
    const int width = std::max(0, Px(grid.ColWidth(col)));
    out << ' ' << col << ':' << x << ':' << width;
    x += width;
  }
  out << "\nrows " << name;
  int y = rect.y() + frame;
  auto put = [&](int row) {
    const int height = Px(grid.RowHeight(row));
    out << ' ' << row << ':' << y << ':' << height;
    y += height;
  };
  for (int row = 0; row < grid.FixedRows() && row < grid.Rows(); ++row) put(row);
  for (int row = grid.TopRow(); row < grid.Rows() && row < grid.TopRow() + kListedScrolledRows; ++row) {
    if (row >= grid.FixedRows()) put(row);
  }
  out << '\n';
}

QString ObjectPath(const QWidget* widget) {
  for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
    if (!w->objectName().isEmpty()) return w->objectName();
  }
  return QStringLiteral("-");
}

}  // namespace

DesktopProbe::DesktopProbe(QString path, QtPort& port, std::shared_ptr<HostWindows> hostWindows)
    : path_(std::move(path)), port_(port), hostWindows_(std::move(hostWindows)), timer_(new QTimer(this)) {
  connect(timer_, &QTimer::timeout, this, [this] { Write(); });
  timer_->start(kWriteIntervalMs);
}

DesktopProbe::~DesktopProbe() = default;

std::string DesktopProbe::Snapshot() const {
  std::ostringstream out;
  for (const forms::Form* form : port_.Windows().Forms()) {
    if (!form->Loaded()) continue;
    out << form->Dump();
    const QWidget* client = port_.ClientWidget(*form);
    const bool onScreen = client != nullptr && client->isVisible();
    if (const quintptr native = port_.NativeWindow(*form)) out << " xid=" << native;
    if (onScreen) {
      out << " origin=" << client->mapToGlobal(QPoint(0, 0)).x() << ',' << client->mapToGlobal(QPoint(0, 0)).y();
    }
    out << '\n';
    if (!onScreen) continue;
    const QPoint origin = client->mapToGlobal(QPoint(0, 0));
    for (const forms::Control* control : form->Controls()) {
      out << control->Dump(form->Name()) << '\n';
      const std::string name = form->Name() + "." + control->QualifiedName();
      const QRect rect = ScreenRect(*control, origin);
      out << "rect " << name << ' ';
      PutRect(out, rect);
      out << '\n';
      if (const auto* grid = dynamic_cast<const forms::FlexGrid*>(control)) {
        PutGridGeometry(out, name, *grid, rect, port_.GridFrameWidth(*form, *control));
      }
      // A list box lays its entries out itself (a folder list adds rows of
      // its own): where each shown row is.
      const QString objectName = QString::fromStdString(control->QualifiedName());
      if (const auto* list = client->findChild<const QListWidget*>(objectName); list && list->isVisible()) {
        for (int row = 0; row < list->count(); ++row) {
          const QRect shown = list->visualItemRect(list->item(row));
          if (shown.isEmpty() || !list->viewport()->rect().intersects(shown)) continue;
          out << "item " << name << ' ' << forms::QuoteText(list->item(row)->text().toStdString()) << ' ';
          PutRect(out, QRect(list->viewport()->mapToGlobal(shown.topLeft()), shown.size()));
          out << '\n';
        }
      }
    }
  }
  if (const forms::Form* active = port_.Windows().Active()) {
    out << "active " << active->Name();
    if (const forms::Control* focused = active->ActiveControl()) out << ' ' << focused->QualifiedName();
    out << '\n';
  }
  out << "qtfocus " << ObjectPath(QApplication::focusWidget()).toStdString() << '\n';
  if (const QWidget* modal = QApplication::activeModalWidget()) {
    out << "modal title=" << forms::QuoteText(modal->windowTitle().toStdString());
    if (const auto* box = qobject_cast<const QMessageBox*>(modal)) {
      out << " text=" << forms::QuoteText(box->text().toStdString());
    }
    const QRect frame = modal->frameGeometry();
    out << " rect=" << frame.x() << ',' << frame.y() << ',' << frame.width() << ',' << frame.height();
    out << '\n';
  }
  if (const QWidget* popup = QApplication::activePopupWidget()) {
    // An open drop-down list: where each of its entries is on the screen.
    if (const auto* list = popup->findChild<const QAbstractItemView*>()) {
      const QAbstractItemModel* model = list->model();
      for (int row = 0; model != nullptr && row < model->rowCount(list->rootIndex()); ++row) {
        const QModelIndex index = model->index(row, 0, list->rootIndex());
        const QRect shown = list->visualRect(index);
        if (shown.isEmpty()) continue;
        out << "popup " << row << ' ' << forms::QuoteText(index.data().toString().toStdString()) << ' ';
        PutRect(out, QRect(list->viewport()->mapToGlobal(shown.topLeft()), shown.size()));
        out << '\n';
      }
    }
  }
  for (const HostWindow* window : hostWindows_->Windows()) {
    out << "host title=" << forms::QuoteText(window->windowTitle().toStdString())
        << " xid=" << (window->isVisible() ? static_cast<quintptr>(window->winId()) : 0)
        << " visible=" << (window->isVisible() ? 1 : 0) << " picking=" << (window->Picking() ? 1 : 0) << " rect=";
    PutRect(out, window->frameGeometry());
    const DrawingView& view = window->View();
    const QPoint viewOrigin = view.mapToGlobal(QPoint(0, 0));
    const ViewMapping& mapping = view.Mapping();
    out << " view=" << viewOrigin.x() << ',' << viewOrigin.y() << ',' << view.width() << ',' << view.height()
        << " center=" << mapping.centerX << ',' << mapping.centerY << " scale=" << mapping.scale << '\n';
  }
  return out.str();
}

void DesktopProbe::Write() {
  std::string state = Snapshot();
  if (state == written_) return;
  QSaveFile file(path_);
  if (!file.open(QIODevice::WriteOnly)) return;
  file.write(state.data(), static_cast<qint64>(state.size()));
  if (file.commit()) written_ = std::move(state);
}

}  // namespace gui
