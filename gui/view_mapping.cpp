#include "gui/view_mapping.h"

#include <algorithm>
#include <cmath>

namespace gui {

namespace {
constexpr double kFitMargin = 0.05;  // of the window, on each side
constexpr double kMinScale = 1e-9;
constexpr double kMaxScale = 1e9;
}  // namespace

cadhost::Point ViewMapping::ToPlan(const QPointF& screen) const {
  return {centerX + (screen.x() - width / 2.0) / scale, centerY - (screen.y() - height / 2.0) / scale, 0};
}

cadhost::Box3 ViewMapping::Visible() const {
  cadhost::Box3 box;
  box.Add(ToPlan({0, 0}));
  box.Add(ToPlan({static_cast<double>(width), static_cast<double>(height)}));
  return box;
}

void ViewMapping::ZoomAbout(const QPointF& screen, double factor) {
  cadhost::Point fixed = ToPlan(screen);
  scale = std::clamp(scale * factor, kMinScale, kMaxScale);
  centerX = fixed.x - (screen.x() - width / 2.0) / scale;
  centerY = fixed.y + (screen.y() - height / 2.0) / scale;
}

void ViewMapping::Pan(const QPointF& screenDelta) {
  centerX -= screenDelta.x() / scale;
  centerY += screenDelta.y() / scale;
}

void ViewMapping::Fit(const cadhost::Box3& box) {
  if (box.Empty() || !std::isfinite(box.min.x) || !std::isfinite(box.max.x)) {
    centerX = centerY = 0;
    scale = std::min(width, height) / 10.0;
    return;
  }
  centerX = (box.min.x + box.max.x) / 2;
  centerY = (box.min.y + box.max.y) / 2;
  double spanX = std::max(box.max.x - box.min.x, 1e-9);
  double spanY = std::max(box.max.y - box.min.y, 1e-9);
  double usable = 1 - 2 * kFitMargin;
  scale = std::clamp(std::min(width * usable / spanX, height * usable / spanY), kMinScale, kMaxScale);
}

}  // namespace gui
