#include "geometry/mmlight.h"

#include <cmath>

#include "geometry/beamaxis.h"
#include "geometry/transformation.h"
#include "model/objectlist.h"
#include "model/value.h"

namespace lmv {

namespace {

double snapUnit(double v) {
  if (nearlyEqual(v, 1)) return 1;
  if (nearlyEqual(v, -1)) return -1;
  return v;
}

}  // namespace

MMLight::MMLight(ObjectList& l, bool autoPatch) : Light(l, "MMLight") {
  typeLetter = 'm';
  pan->configure(1, 1, 0, 1.40625, 128, 0);
  tilt->configure(1, 1, 0, 0.625, 128, 0);
  pan->setValue(0);
  tilt->setValue(0);
  initFromTemplate(list.defaultMMLight.get(), autoPatch);
}

Light* MMLight::templateLight() const {
  return list.defaultMMLight.get();
}

Vec3 MMLight::beamDirection() const {
  return mirrorBeamAxis(getPan(), getTilt(), worldOrientation());
}

void MMLight::computeRays(const LightPose& p) {
  beam->computeMirrorRays(p, list.gobos);
}

PanTilt MMLight::aimAt(const Vec3& target) const {
  const PanTilt failed{-999, -999};
  const int m = getSize().x / 4;
  Transformation frame;
  setMirrorFrame(frame, worldOrientation());
  const Vec3 centre = worldPosition() + double(m) * frame.apply({1, 0, 0});
  Vec3 d = frame.applyInverse(centre - target);
  normalize(d);
  Vec3 n = Vec3{1, 0, 0} + d;
  normalize(n);
  if (nearlyZero(n.y)) return failed;
  const double c = radToDeg(std::asin(n.x));
  double tilt = (c - 45) * 2;
  if (tilt > 180) tilt -= 360;
  const double cosC = std::cos(degToRad(c));
  const double e = snapUnit(-n.z / cosC);
  const double l = snapUnit(n.y / cosC);
  double pan;
  if (e >= 0)
    pan = radToDeg(std::acos(l));
  else if (l >= 0)
    pan = radToDeg(std::asin(e));
  else
    pan = -180 - radToDeg(std::asin(e));
  if (!std::isfinite(pan) || !std::isfinite(tilt)) return failed;
  // The mirror turns by pan plus the body's x angle, so the body's share comes off.
  const double ox = worldOrientation().x;
  if (ox != 0) {
    pan -= ox;
    while (pan > 180) pan -= 360;
    while (pan < -180) pan += 360;
  }
  return {pan, tilt};
}

}  // namespace lmv
