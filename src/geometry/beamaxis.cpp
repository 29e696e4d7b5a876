#include "geometry/beamaxis.h"

#include <cmath>

#include "geometry/transformation.h"

namespace lmv {

void setHeadTurn(Transformation& t, double pan, double tilt, const Vec3& orientation) {
  t.setOrder(kAxisX, kAxisZ, kAxisY);
  t.set({}, headTurnAngles(pan, tilt));
  t.rotate(orientation);
}

Vec3 headBeamAxis(double pan, double tilt, const Vec3& orientation) {
  Transformation t;
  setHeadTurn(t, pan, tilt, orientation);
  return t.apply({1, 0, 0});
}

MirrorGeometry mirrorGeometry(double pan, double tilt, double orientationX) {
  const double h = 1 / std::sqrt(2.0);
  Transformation t(kAxisZ, kAxisX, kAxisY);
  t.set({}, {pan + orientationX, 0, tilt / 2});
  MirrorGeometry g;
  g.normal = t.apply({-h, -h, 0});
  const Vec3 q{1, 0, 0};
  g.c = std::fabs(dot(q, g.normal));
  g.axis = q + 2 * g.c * g.normal;
  return g;
}

void setMirrorFrame(Transformation& t, const Vec3& orientation) {
  t.setOrder(kAxisX, kAxisZ, kAxisY);
  t.set({}, {0, orientation.y, orientation.z});
}

Vec3 mirrorBeamAxis(double pan, double tilt, const Vec3& orientation) {
  Transformation t;
  setMirrorFrame(t, orientation);
  return t.apply(mirrorGeometry(pan, tilt, orientation.x).axis);
}

}  // namespace lmv
