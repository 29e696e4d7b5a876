#include "geometry/represent.h"

#include <cstdlib>

namespace lmv {

void Represent::measure() {
  // Gathered in a local: the compiler cannot tell the member from the points it reads, and
  // would store and reload it for every point.
  Extent e;
  for (int k = 0; k < polygons.count(); ++k) {
    const PolygonEntry& p = polygons[k];
    if (!p.inExtent) continue;
    const Vec2* points = p.planePoints();
    for (int i = 0; i < p.pointCount(); ++i) e.include(points[i]);
  }
  extent = e;
}

void Represent::toPixels(const PaneProjection& pane) {
  mapping_ = pane;
  extent.xMin = extent.xMin * pane.sx + pane.cx;
  extent.xMax = extent.xMax * pane.sx + pane.cx;
  extent.yMin = extent.yMin * pane.sy + pane.cy;
  extent.yMax = extent.yMax * pane.sy + pane.cy;
}

bool Represent::hitTest(int x, int y) const {
  return extent.xMin - 5 <= x && x <= extent.xMax + 5 && extent.yMin - 5 <= y &&
         y <= extent.yMax + 5;
}

ScreenPoint Represent::screenCentre() const {
  double sumX = 0;
  double sumY = 0;
  int n = 0;
  for (int k = 0; k < polygons.count(); ++k) {
    const PolygonEntry& p = polygons[k];
    if (!p.inExtent) continue;
    const Vec2* points = p.planePoints();
    for (int i = 0; i < p.pointCount(); ++i) {
      sumX += points[i].x;
      sumY += points[i].y;
    }
    n += p.pointCount();
  }
  const Vec2 mean = n > 0 ? Vec2{sumX / n, sumY / n} : Vec2{};
  return mapping_.toScreenBeam(mean);
}

int Represent::distanceTo(int x, int y) const {
  const ScreenPoint c = screenCentre();
  // In 64 bits: a far-off centre saturates at the int range.
  long long d =
      std::llabs(static_cast<long long>(x) - c.x) + std::llabs(static_cast<long long>(y) - c.y);
  return d > 2147483647LL ? 2147483647 : int(d);
}

}  // namespace lmv
