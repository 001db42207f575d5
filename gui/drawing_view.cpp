#include "gui/drawing_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

#include "gui/drawing_painter.h"

namespace gui {

namespace {
const QColor kBackground(33, 40, 48);
constexpr double kPickBoxPixels = 5.0;
constexpr double kWheelStep = 1.2;   // zoom factor per wheel notch
constexpr double kDragStart = 3.0;   // pixels a press moves before it is a drag
}  // namespace

DrawingView::DrawingView(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(false);
  setMinimumSize(200, 150);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void DrawingView::ShowDocument(const std::shared_ptr<cadhost::HostDocument>& document) {
  if (document == document_.lock() && (!document || !document->IsClosed())) return Refresh();
  document_ = document;
  lists_.reset();
  if (document && !document->IsClosed()) lists_ = std::make_unique<DisplayLists>(document->drawing().db());
  paintedVersion_ = 0;
  fitPending_ = true;
  update();
}

std::shared_ptr<cadhost::HostDocument> DrawingView::Document() const {
  auto document = document_.lock();
  return document && !document->IsClosed() ? document : nullptr;
}

cadhost::Drawing* DrawingView::LiveDrawing() const {
  auto document = Document();
  return document && lists_ ? &document->drawing() : nullptr;
}

bool DrawingView::Changed() const {
  cadhost::Drawing* drawing = LiveDrawing();
  return drawing && drawing->journal().Version() != paintedVersion_;
}

void DrawingView::Refresh() {
  if (Changed() || (!LiveDrawing() && lists_)) update();
}

void DrawingView::ZoomExtents() {
  cadhost::Drawing* drawing = LiveDrawing();
  view_.width = std::max(1, width());
  view_.height = std::max(1, height());
  view_.Fit(drawing ? ModelSpaceExtents(*drawing, *lists_) : cadhost::Box3{});
  fitPending_ = false;
  update();
}

double DrawingView::PickAperture() const { return kPickBoxPixels / view_.scale; }

void DrawingView::BeginPick() {
  picking_ = true;
  setCursor(Qt::CrossCursor);
  setFocus();
}

void DrawingView::EndPick() {
  picking_ = false;
  unsetCursor();
}

void DrawingView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kBackground);
  cadhost::Drawing* drawing = LiveDrawing();
  if (!drawing) {
    lists_.reset();
    return;
  }
  if (drawing->journal().Version() != paintedVersion_) {
    lists_->Clear();
    paintedVersion_ = drawing->journal().Version();
  }
  if (fitPending_) ZoomExtents();
  PaintModelSpace(painter, *drawing, *lists_, view_);
}

void DrawingView::resizeEvent(QResizeEvent*) {
  view_.width = std::max(1, width());
  view_.height = std::max(1, height());
}

void DrawingView::wheelEvent(QWheelEvent* event) {
  double notches = event->angleDelta().y() / 120.0;
  if (notches == 0) return;
  view_.ZoomAbout(event->position(), std::pow(kWheelStep, notches));
  update();
  event->accept();
}

void DrawingView::mousePressEvent(QMouseEvent* event) {
  bool pans = event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && !picking_);
  if (pans) {
    dragFrom_ = event->position();
    dragged_ = false;
  }
  if (picking_ && event->button() == Qt::LeftButton) {
    cadhost::Point at = view_.ToPlan(event->position());
    emit pointPicked(at.x, at.y);
  }
  event->accept();
}

void DrawingView::mouseMoveEvent(QMouseEvent* event) {
  if (!dragFrom_) return;
  QPointF delta = event->position() - *dragFrom_;
  if (!dragged_ && std::hypot(delta.x(), delta.y()) < kDragStart) return;
  dragged_ = true;
  view_.Pan(delta);
  dragFrom_ = event->position();
  update();
}

void DrawingView::mouseReleaseEvent(QMouseEvent*) { dragFrom_.reset(); }

void DrawingView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton) ZoomExtents();
}

void DrawingView::keyPressEvent(QKeyEvent* event) {
  if (picking_ && event->key() == Qt::Key_Escape) {
    emit pickCancelled();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace gui
