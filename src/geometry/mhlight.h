#pragma once
// A moving head: pan and tilt turn the whole body, and the beam leaves along the body's axis
// from the light's position. Pan and tilt decode by default from one channel each, 1.40625
// degrees per step around raw 128.
#include "geometry/light.h"

namespace lmv {

class MHLight : public Light {
 public:
  // Takes its decoding and patch from the object list's default moving head when there is
  // one; autoPatch patches it as that template says.
  MHLight(ObjectList& list, bool autoPatch);

  Vec3 beamDirection() const override;
  // Fails with (6666, 6666) or (7777, 7777) when no angle solves the aim, (8888, 8888) when no
  // pair of them points the axis at the target.
  PanTilt aimAt(const Vec3& target) const override;

 protected:
  Light* templateLight() const override;
  const char* builtInPersonality() const override { return "KorStdMHead"; }
  bool headTurn(Vec3& angles) const override;
  void computeRays(const LightPose& pose) override;
};

}  // namespace lmv
