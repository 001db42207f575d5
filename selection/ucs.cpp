#include "selection/ucs.h"

#include "host/host_state.h"

namespace selection {

void SetWorldUcs() {
  const cad::Point3 origin{0, 0, 0};
  const cad::Point3 xAxisPoint{1, 0, 0};
  const cad::Point3 yAxisPoint{0, 1, 0};
  const cad::ApplicationPtr& application = host::Host().application;
  if (!application) return;
  try {
    // The drawing the application names now; the stored active drawing stays.
    cad::DocumentPtr drawing = application->ActiveDocument();
    cad::UcsPtr world = drawing->UserCoordinateSystems()->Add(origin, xAxisPoint, yAxisPoint,
                                                              kWorldUcsName);
    drawing->ActiveUCS(world);
  } catch (const cad::HostError&) {
    // The current coordinate system stays what it was.
  }
}

}  // namespace selection
