#include "gui/drawing_painter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStringList>
#include <QTransform>
#include <algorithm>
#include <cmath>

#include "cadhost/view_query.h"
#include "gui/aci_colors.h"

namespace gui {

namespace {

// Nesting deeper than any real drawing: a malformed block that shows itself.
constexpr int kMaxDepth = 32;
// On screen, a reference smaller than this is a dot and a text shorter than
// this is a stroke along its baseline.
constexpr double kDotSize = 2.0;
constexpr double kReadableHeight = 4.0;
constexpr int kFontPixels = 64;
// Lines of multi-line text lie 5/3 of the text height apart.
constexpr double kLinePitch = 5.0 / 3.0;

double Length(const QPointF& v) { return std::hypot(v.x(), v.y()); }

}  // namespace

DrawingPainter::DrawingPainter(const cadhost::Database& db, DisplayLists& lists)
    : db_(db), lists_(lists), dots_(256), strokes_(256) {
  font_.setPixelSize(kFontPixels);
  fontCapHeight_ = std::max(1.0, QFontMetricsF(font_).capHeight());
}

void DrawingPainter::Paint(QPainter& painter, const ViewMapping& view,
                           const std::vector<cadhost::EntityId>& ids) {
  layers_.assign(db_.layers.Size() + 1, LayerLook{});
  for (std::uint32_t i = 1; i <= db_.layers.Size(); ++i) {
    const cadhost::LayerRecord& layer = db_.layers.At(i);
    layers_[i] = {layer.On() && !layer.Frozen() && !layer.erased, std::abs(layer.color)};
  }
  painter_ = &painter;
  view_ = &view;
  penColor_ = -1;
  painter.setFont(font_);
  painter.setRenderHint(QPainter::Antialiasing, false);
  Context top;
  for (cadhost::EntityId id : ids) PaintItems(lists_.Entity(id), top);
  FlushGathered();
  painter_ = nullptr;
  view_ = nullptr;
}

std::size_t DrawingPainter::ColorSlot(int color) const {
  return color >= 1 && color <= 255 ? static_cast<std::size_t>(color) : cad::kColorWhite;
}

void DrawingPainter::FlushGathered() {
  for (std::size_t slot = 0; slot < dots_.size(); ++slot) {
    if (dots_[slot].empty() && strokes_[slot].empty()) continue;
    UsePen(static_cast<int>(slot));
    if (!dots_[slot].empty()) painter_->drawPoints(dots_[slot].data(), static_cast<int>(dots_[slot].size()));
    if (!strokes_[slot].empty())
      painter_->drawLines(strokes_[slot].data(), static_cast<int>(strokes_[slot].size()));
    dots_[slot].clear();
    strokes_[slot].clear();
  }
}

QPointF DrawingPainter::Screen(const cadhost::Point& p, const Context& context) const {
  if (!context.placed) return view_->ToScreen(p.x, p.y);
  cadhost::Point q = context.transform.Apply(p);
  return view_->ToScreen(q.x, q.y);
}

void DrawingPainter::UsePen(int color) {
  if (color == penColor_) return;
  penColor_ = color;
  painter_->setPen(QColor::fromRgb(static_cast<QRgb>(AciRgb(color))));
}

void DrawingPainter::PaintItems(const std::vector<DisplayItem>& items, const Context& context) {
  for (const DisplayItem& item : items) {
    std::uint32_t layer = item.onLayerZero && context.layer ? context.layer : item.layer;
    const LayerLook& look = layer < layers_.size() ? layers_[layer] : layers_[0];
    if (!look.shown) continue;
    int color = item.color == cad::kColorByLayer ? look.color
                : item.color == cad::kColorByBlock ? context.color
                                                   : item.color;
    switch (item.kind) {
      case DisplayItem::Kind::Reference:
        PaintReference(item, layer, color, context);
        continue;
      case DisplayItem::Kind::Path:
        buffer_.clear();
        for (const cadhost::Point& p : item.points) buffer_.push_back(Screen(p, context));
        UsePen(color);
        painter_->drawPolyline(buffer_.data(), static_cast<int>(buffer_.size()));
        continue;
      case DisplayItem::Kind::Dot:
        UsePen(color);
        painter_->drawPoint(Screen(item.points.front(), context));
        continue;
      case DisplayItem::Kind::Text:
        textCorners_.clear();
        for (const cadhost::Point& p : item.points) textCorners_.push_back(Screen(p, context));
        PaintText(item, color);
        continue;
    }
  }
}

void DrawingPainter::PaintReference(const DisplayItem& item, std::uint32_t layer, int color,
                                    const Context& context) {
  if (!item.block || context.depth >= kMaxDepth) return;
  const BlockGraphics& block = lists_.Block(item.block);
  if (block.bounds.Empty()) return;
  Context inner;
  inner.transform = context.placed ? item.placement.Then(context.transform) : item.placement;
  inner.placed = true;
  inner.layer = layer;
  inner.color = color;
  inner.depth = context.depth + 1;
  // The block's box on screen: skip it when outside, a dot when tiny.
  double left = 0, right = 0, top = 0, bottom = 0;
  bool first = true;
  for (double x : {block.bounds.min.x, block.bounds.max.x})
    for (double y : {block.bounds.min.y, block.bounds.max.y}) {
      QPointF p = Screen({x, y, 0}, inner);
      left = first ? p.x() : std::min(left, p.x());
      right = first ? p.x() : std::max(right, p.x());
      top = first ? p.y() : std::min(top, p.y());
      bottom = first ? p.y() : std::max(bottom, p.y());
      first = false;
    }
  const QRectF screenBox(QPointF(left, top), QPointF(right, bottom));
  if (right < -1 || left > view_->width + 1 || bottom < -1 || top > view_->height + 1) return;
  if (screenBox.width() < kDotSize && screenBox.height() < kDotSize) {
    dots_[ColorSlot(color)].push_back(screenBox.center());
    return;
  }
  PaintItems(block.items, inner);
}

void DrawingPainter::PaintText(const DisplayItem& item, int color) {
  if (textCorners_.size() != 4 || item.text.empty()) return;
  const QPointF lowerLeft = textCorners_[0], lowerRight = textCorners_[1], upperLeft = textCorners_[3];
  const QStringList lines = QString::fromStdString(item.text).split(QLatin1Char('\n'));
  // The box holds the first line's height plus a line pitch per further line.
  const double count = static_cast<double>(lines.size());
  const double lineShare = 1.0 / (1.0 + (count - 1) * kLinePitch);
  const QPointF along = lowerRight - lowerLeft, up = upperLeft - lowerLeft, lineUp = up * lineShare;
  if (Length(lineUp) < kReadableHeight) {
    strokes_[ColorSlot(color)].emplace_back(lowerLeft, lowerRight);
    return;
  }
  UsePen(color);
  QFontMetricsF metrics(font_);
  double advance = 0;
  for (const QString& line : lines) advance = std::max(advance, metrics.horizontalAdvance(line));
  if (advance <= 0) return;
  const QPointF perUnitX = along / advance;
  const QPointF perUnitY = -lineUp / fontCapHeight_;
  painter_->save();
  for (qsizetype i = 0; i < lines.size(); ++i) {
    QPointF baseline = lowerLeft + lineUp * ((count - 1 - static_cast<double>(i)) * kLinePitch);
    painter_->setTransform(QTransform(perUnitX.x(), perUnitX.y(), perUnitY.x(), perUnitY.y(),
                                      baseline.x(), baseline.y()));
    painter_->drawText(QPointF(0, 0), lines[i]);
  }
  painter_->restore();
}

void PaintModelSpace(QPainter& painter, cadhost::Drawing& drawing, DisplayLists& lists,
                     const ViewMapping& view) {
  std::vector<cadhost::EntityId> shown = cadhost::ModelSpaceMeeting(drawing, view.Visible());
  DrawingPainter(drawing.db(), lists).Paint(painter, view, shown);
}

}  // namespace gui
