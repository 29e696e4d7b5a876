#pragma once
// One pane's representation of a drawable thing (the walls, a riser, truss or light body):
// its polygons, a changed flag, and its extent, which pane fitting measures in plane units
// and then turns into pixels with the pane's scale and centre. The pixel extent and the
// mapping it was made with answer the mouse: hit test, screen centre, distance.
#include "geometry/polygonlist.h"
#include "geometry/projection.h"
#include "model/alloccounter.h"

namespace lmv {

// Bounds of a set of points; "empty" while min lies above max.
struct Extent {
  static constexpr double kStart = 1000000;
  double xMin = kStart;
  double xMax = -kStart;
  double yMin = kStart;
  double yMax = -kStart;

  void reset() { *this = Extent{}; }
  void include(const Vec2& p) {
    if (p.x < xMin) xMin = p.x;
    if (p.x > xMax) xMax = p.x;
    if (p.y < yMin) yMin = p.y;
    if (p.y > yMax) yMax = p.y;
  }
  void include(const Extent& e) {
    if (e.xMin < xMin) xMin = e.xMin;
    if (e.xMax > xMax) xMax = e.xMax;
    if (e.yMin < yMin) yMin = e.yMin;
    if (e.yMax > yMax) yMax = e.yMax;
  }
  bool empty() const { return xMin > xMax || yMin > yMax; }
};

class Represent : public AllocCounter {
 public:
  explicit Represent(int paneIndex) : AllocCounter("Represent"), paneIndex(paneIndex) {}
  Represent(const Represent&) = delete;
  Represent& operator=(const Represent&) = delete;

  const int paneIndex;
  PolygonList polygons{this};
  int changed = 0;  // set whenever a view point is written
  Extent extent;    // plane units while fitting measures, pixels afterwards

  bool takeChanged() {
    bool was = changed != 0;
    changed = 0;
    return was;
  }

  // Fitting: the extent becomes the bounds of the plane points of the inExtent polygons.
  void measure();
  // Fitting: the extent is turned into pixels with the pane's scale and centre (no
  // truncation), which are remembered for screenCentre.
  void toPixels(const PaneProjection& pane);

  // Whether a pixel lies within 5 pixels of the pixel extent.
  bool hitTest(int x, int y) const;
  // Mean of the plane points of the inExtent polygons, in pixels (beam rounding); the
  // plane origin's pixel when there are none.
  ScreenPoint screenCentre() const;
  // |x - centre x| + |y - centre y|.
  int distanceTo(int x, int y) const;

 private:
  PaneProjection mapping_;
};

}  // namespace lmv
