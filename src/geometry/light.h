#pragma once
// A light is a riser with a beam: its body is a twelve-sided prism drawn like a riser's box,
// and its pan, tilt and beam values decode from DMX through a fixture personality (or the
// built-in defaults). Owns its beam; pan and tilt live in the theatre's value list and leave
// it with the light. The two kinds differ in how pan and tilt aim the beam: a moving head
// turns its whole body, a moving mirror turns a mirror in front of a fixed lamp.
//
// Angles are degrees, lengths world units. Nothing throws: an unknown personality leaves the
// light as it was (false), a target the light cannot reach gives the kind's failure values.
#include <string>

#include "geometry/beam.h"
#include "model/riser.h"

namespace lmv {

class DmxSpecs;
class FixtureEntry;
class FixtureList;

struct PanTilt {
  double pan = 0;
  double tilt = 0;
};

class Light : public Riser {
 public:
  ~Light() override;

  // Starts from the built-in personality, so that only what the section names is bound.
  void load(Load& in) override;
  void save(FILE* f, const std::string& prefix) const override;
  // The body in every pane, then the beam's rays and spots.
  void project() override;
  void reproject() override { project(); }
  void projectToPlane() override;
  void drawOutline() override;
  void eraseOutline() override;
  void disablePatch() override;
  void setPatch(int base) override;

  std::unique_ptr<Beam> beam;
  Value* pan;               // degrees
  Value* tilt;              // degrees
  std::string personality;  // empty: the built-in personality of the kind

  double getPan() const;
  double getTilt() const;
  void setPan(double degrees);
  void setTilt(double degrees);
  const std::string& getPersonality() const { return personality; }

  // Decoding offsets, gobo and filter counts and the personality from the template (the
  // kind's default light; null while the defaults themselves are made), then the patch.
  void initFromTemplate(Light* templ, bool autoPatch);
  // Takes the DMX decoding of a personality (empty name: the built-in one of the kind).
  // True when the light ends up bound; an unknown name changes nothing but the undo record.
  bool bindPersonality(const std::string& name, bool force);
  // The value's specs become copies of the personality attribute's, at the light's base.
  void applyAttribute(Value& value, const DmxSpecs& specs);

  // The world direction of the beam's axis at the current pan and tilt.
  virtual Vec3 beamDirection() const = 0;
  // Pan and tilt that point the beam's axis at a world point.
  virtual PanTilt aimAt(const Vec3& target) const = 0;

  // What the beam is built from this frame.
  LightPose pose() const;

 protected:
  Light(ObjectList& list, const char* className);
  bool loadExtraKey(Load& in) override;

  // The kind's template light and built-in personality.
  virtual Light* templateLight() const = 0;
  virtual const char* builtInPersonality() const = 0;
  // The turn of the body before its orientation (a head's pan and tilt), or null.
  virtual bool headTurn(Vec3& angles) const = 0;
  virtual void computeRays(const LightPose& pose) = 0;

  FixtureList* fixtures() const;
  // The bound personality's entry (loaded), or null without one.
  FixtureEntry* boundEntry() const;
};

// Roots of a x^2 + b x + c = 0 (a linear or degenerate equation gives one root twice); false
// when there is no real root.
bool solveQuadratic(double a, double b, double c, double& r1, double& r2);
// 2 atan(x) in degrees, in (-180, 180], from the half-angle sine and cosine.
double halfAngleToDegrees(double x);

}  // namespace lmv
