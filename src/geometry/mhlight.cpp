#include "geometry/mhlight.h"

#include <cmath>
#include <utility>

#include "geometry/beamaxis.h"
#include "geometry/transformation.h"
#include "model/objectlist.h"
#include "model/value.h"

namespace lmv {

namespace {

void smallerFirst(double& a, double& b) {
  if (std::fabs(b) < std::fabs(a)) std::swap(a, b);
}

}  // namespace

MHLight::MHLight(ObjectList& l, bool autoPatch) : Light(l, "MHLight") {
  typeLetter = 'h';
  pan->configure(1, 1, 0, 1.40625, 128, 0);
  tilt->configure(1, 1, 0, 1.40625, 128, 0);
  pan->setValue(0);
  tilt->setValue(0);
  initFromTemplate(list.defaultMHLight.get(), autoPatch);
}

Light* MHLight::templateLight() const {
  return list.defaultMHLight.get();
}

bool MHLight::headTurn(Vec3& angles) const {
  angles = headTurnAngles(getPan(), getTilt());
  return true;
}

Vec3 MHLight::beamDirection() const {
  return headBeamAxis(getPan(), getTilt(), worldOrientation());
}

void MHLight::computeRays(const LightPose& p) {
  beam->computeHeadRays(p, list.gobos);
}

PanTilt MHLight::aimAt(const Vec3& target) const {
  Vec3 d = target - worldPosition();
  normalize(d);
  Transformation frame(kAxisX, kAxisZ, kAxisY);
  frame.set({}, worldOrientation());
  d = frame.applyInverse(d);

  double t1, t2;
  if (!solveQuadratic(d.y, 2, d.y, t1, t2)) return {6666, 6666};
  double tilts[2] = {wrapDegrees(halfAngleToDegrees(t1) - 90),
                     wrapDegrees(halfAngleToDegrees(t2) - 90)};
  double p1, p2;
  if (!solveQuadratic(d.z, 2 * d.x, -d.z, p1, p2)) return {7777, 7777};
  double pans[2] = {halfAngleToDegrees(p1), halfAngleToDegrees(p2)};
  smallerFirst(tilts[0], tilts[1]);
  smallerFirst(pans[0], pans[1]);
  const int order[4][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
  for (const auto& o : order) {
    const double pa = degToRad(pans[o[0]]);
    const double ti = degToRad(tilts[o[1]] + 90);
    if (nearlyZero(std::cos(pa) * d.x + std::sin(pa) * d.z - std::cos(ti)))
      return {pans[o[0]], tilts[o[1]]};
  }
  return {8888, 8888};
}

}  // namespace lmv
