#pragma once
// Where a light's beam points, from its pan and tilt (degrees) and its world orientation.
// A moving head turns its whole body: the local axis (1, 0, 0) is turned by the head turn
// (0, pan, tilt + 90) and then by the orientation. A moving mirror reflects the lamp's axis
// (1, 0, 0) off a mirror whose normal starts at (-1/sqrt 2, -1/sqrt 2, 0) and is turned by
// tilt / 2 about z and then by pan plus the orientation's x angle about x; the result is then
// turned by the orientation's y and z angles. Pure functions, nothing allocated.
#include "geometry/vector3.h"

namespace lmv {

class Transformation;

inline Vec3 headTurnAngles(double pan, double tilt) {
  return {0, pan, tilt + 90};
}

// The head's turn (head turn first, then the orientation), order (x, z, y).
void setHeadTurn(Transformation& t, double pan, double tilt, const Vec3& orientation);

Vec3 headBeamAxis(double pan, double tilt, const Vec3& orientation);

// The mirror in the light's own frame (before the orientation's y and z turns).
struct MirrorGeometry {
  Vec3 normal;   // the turned mirror normal n
  double c = 0;  // |q . n| with q = (1, 0, 0)
  Vec3 axis;     // v = q + 2c n
};

MirrorGeometry mirrorGeometry(double pan, double tilt, double orientationX);

// The turn that takes the mirror's frame into the world: (0, orientation y, orientation z),
// order (x, z, y), at position 0.
void setMirrorFrame(Transformation& t, const Vec3& orientation);

Vec3 mirrorBeamAxis(double pan, double tilt, const Vec3& orientation);

}  // namespace lmv
