#pragma once
// A moving mirror: the body stays still and pan and tilt turn a mirror in front of the lamp,
// which deflects the beam. Pan decodes by default like a moving head's, tilt 0.625 degrees
// per step around raw 128 (-80 to +79.375).
#include "geometry/light.h"

namespace lmv {

class MMLight : public Light {
 public:
  MMLight(ObjectList& list, bool autoPatch);

  Vec3 beamDirection() const override;
  // Fails with (-999, -999) when the mirror cannot send the beam there.
  PanTilt aimAt(const Vec3& target) const override;

 protected:
  Light* templateLight() const override;
  const char* builtInPersonality() const override { return "KorStdMMirr"; }
  bool headTurn(Vec3&) const override { return false; }
  void computeRays(const LightPose& pose) override;
};

}  // namespace lmv
