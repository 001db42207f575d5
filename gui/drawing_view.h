// The drawing area of the host window: shows one document's model space.
#pragma once

#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>

#include "cadhost/document.h"
#include "gui/drawing_display_list.h"
#include "gui/view_mapping.h"

namespace gui {

// Owns the view of one document (its mapping and display lists). The wheel
// zooms about the cursor, dragging pans (left button, or middle button while
// picking), a middle double-click zooms to extents. In pick mode a left click
// reports the plan point under it and Esc reports a cancel.
class DrawingView : public QWidget {
  Q_OBJECT

 public:
  explicit DrawingView(QWidget* parent = nullptr);

  // Shows a document; another document than before is zoomed to extents.
  void ShowDocument(const std::shared_ptr<cadhost::HostDocument>& document);
  std::shared_ptr<cadhost::HostDocument> Document() const;
  // Repaints when the drawing changed since the last paint.
  void Refresh();
  void ZoomExtents();
  const ViewMapping& Mapping() const { return view_; }
  // The plan distance a pick reaches around the cursor (a few pixels).
  double PickAperture() const;

  void BeginPick();
  void EndPick();
  bool Picking() const { return picking_; }

 signals:
  void pointPicked(double x, double y);
  void pickCancelled();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  cadhost::Drawing* LiveDrawing() const;
  bool Changed() const;

  std::weak_ptr<cadhost::HostDocument> document_;
  std::unique_ptr<DisplayLists> lists_;
  std::uint64_t paintedVersion_ = 0;
  bool fitPending_ = false;
  ViewMapping view_;
  bool picking_ = false;
  std::optional<QPointF> dragFrom_;
  bool dragged_ = false;
};

}  // namespace gui
