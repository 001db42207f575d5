// How a drawing window maps the plan to its pixels.
#pragma once

#include <QPointF>

#include "cadhost/geometry.h"

namespace gui {

// A uniform scale about a centre, with y pointing up on the plan and down on
// the screen. Owned by a drawing view; zooming and panning change it.
struct ViewMapping {
  double centerX = 0.0;  // plan point at the middle of the window
  double centerY = 0.0;
  double scale = 1.0;    // pixels per drawing unit
  int width = 1;         // window size in pixels
  int height = 1;

  QPointF ToScreen(double x, double y) const {
    return {width / 2.0 + (x - centerX) * scale, height / 2.0 - (y - centerY) * scale};
  }
  cadhost::Point ToPlan(const QPointF& screen) const;
  // The plan area the window shows.
  cadhost::Box3 Visible() const;
  // Scales by `factor` keeping the plan point under `screen` where it is.
  void ZoomAbout(const QPointF& screen, double factor);
  void Pan(const QPointF& screenDelta);
  // Shows the whole box with a small margin; a nil box shows the origin.
  void Fit(const cadhost::Box3& box);
};

}  // namespace gui
