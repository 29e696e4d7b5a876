#pragma once
// Projection of camera-space points into one pane: first to the plane (orthographic or
// perspective), then to pixels with the pane's scale and centre, and back again. A
// PaneProjection is a snapshot of one pane, taken once per pane and phase, so that the
// per-point work reads no lists and allocates nothing.

#include "geometry/vector3.h"

namespace lmv {

struct Vec2 {
  double x = 0;
  double y = 0;
};

struct ScreenPoint {
  int x = 0;
  int y = 0;
};

// Plane x runs against camera x, plane y with camera y; since cameras look along -z, both
// branches of projectPoint end up with +x to the right and +y upwards on the screen.
inline constexpr double kPlaneSignX = -1;
inline constexpr double kPlaneSignY = 1;

// Truncation toward zero that saturates (a NaN gives 0): points far behind a perspective
// camera or a pane that was never fitted must not overflow a pixel coordinate.
inline int truncToInt(double x) {
  if (x >= 2147483647.0) return 2147483647;
  if (x <= -2147483648.0) return -2147483647 - 1;
  if (x != x) return 0;
  return static_cast<int>(x);
}

struct PaneProjection {
  bool perspective = false;
  double sx = 0;  // pixels per plane unit
  double sy = 0;
  int cx = 0;  // pixel position of the plane origin
  int cy = 0;

  // Plane coordinates of a camera-space point. Perspective divides by Z when |Z| > 1 (no
  // near plane: a point behind the camera lands mirrored); orthographic only flips the signs
  // for points in front of the camera (Z < 0).
  Vec2 projectPoint(const Vec3& c) const {
    double px = kPlaneSignX * c.x;
    double py = kPlaneSignY * c.y;
    if (perspective && (c.z > 1 || c.z < -1)) {
      px = px / c.z;
      py = py / c.z;
    } else if (c.z < 0) {
      px = -px;
      py = -py;
    }
    return {px, py};
  }

  // Outlines: truncated before the centre is added.
  ScreenPoint toScreenPolygon(const Vec2& p) const {
    return {truncToInt(p.x * sx) + cx, truncToInt(p.y * sy) + cy};
  }
  // Beam origins and spot vertices: truncated after the centre is added.
  ScreenPoint toScreenBeam(const Vec2& p) const {
    return {truncToInt(p.x * sx + cx), truncToInt(p.y * sy + cy)};
  }

  // The camera-space point at depth z that projects onto pixel (x, y); false (out untouched)
  // while the pane has no scale.
  bool unproject(int x, int y, double z, Vec3& out) const {
    if (sx == 0 || sy == 0) return false;
    double dx = (x - cx) / sx;
    double dy = (y - cy) / sy;
    if (perspective) {
      dx = dx * z;
      dy = dy * z;
    } else if (z < 0) {
      dx = -dx;
      dy = -dy;
    }
    out = {kPlaneSignX * dx, kPlaneSignY * dy, z};
    return true;
  }
};

}  // namespace lmv
