// Paints the model space of a drawing with Qt.
#pragma once

#include <QColor>
#include <QFont>
#include <QLineF>
#include <QPointF>
#include <cstdint>
#include <vector>

#include "gui/drawing_display_list.h"
#include "gui/view_mapping.h"

class QPainter;

namespace gui {

// Paints display lists onto a painter: resolves colours by entity, by layer
// and by block, leaves out layers that are off or frozen (layer 0 content of a
// block takes the reference's layer), and draws what is too small to read as
// little as a dot (a tiny reference) or a stroke (a tiny text), which keeps a
// full view of a large drawing quick.
class DrawingPainter {
 public:
  DrawingPainter(const cadhost::Database& db, DisplayLists& lists);

  // Paints the top-level entities, in the order given, as `view` shows them.
  void Paint(QPainter& painter, const ViewMapping& view, const std::vector<cadhost::EntityId>& ids);

 private:
  struct Context {
    cadhost::Transform transform;
    bool placed = false;        // false: holder coordinates are plan coordinates
    std::uint32_t layer = 0;    // the layer layer-0 content takes
    int color = cad::kColorWhite;  // what by-block colours become
    int depth = 0;
  };
  struct LayerLook {
    bool shown = true;
    int color = cad::kColorWhite;
  };

  void PaintItems(const std::vector<DisplayItem>& items, const Context& context);
  void PaintReference(const DisplayItem& item, std::uint32_t layer, int color, const Context& context);
  void PaintText(const DisplayItem& item, int color);
  // Tiny references and texts are gathered per colour and drawn in one call
  // each at the end: a full view of a large drawing is mostly those.
  std::size_t ColorSlot(int color) const;
  void FlushGathered();
  QPointF Screen(const cadhost::Point& p, const Context& context) const;
  void UsePen(int color);

  const cadhost::Database& db_;
  DisplayLists& lists_;
  std::vector<LayerLook> layers_;  // by layer index; [0] for entities without a layer
  QPainter* painter_ = nullptr;
  const ViewMapping* view_ = nullptr;
  int penColor_ = -1;
  QFont font_;
  double fontCapHeight_ = 1.0;
  std::vector<QPointF> buffer_;
  std::vector<QPointF> textCorners_;
  std::vector<std::vector<QPointF>> dots_;   // by colour slot
  std::vector<std::vector<QLineF>> strokes_; // by colour slot
};

// Paints the part of model space the view shows, found through the drawing's
// spatial index, on a cleared painter.
void PaintModelSpace(QPainter& painter, cadhost::Drawing& drawing, DisplayLists& lists,
                     const ViewMapping& view);

}  // namespace gui
