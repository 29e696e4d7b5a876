#pragma once
// The beam of a light: cone angle, iris (aperture), gobos and colour as DMX-drivable values,
// and what each frame makes of them: the rays along the cone's edge shaped by the gobo
// outlines, their hits on the faces of the theatre box, the spot outlines on those faces
// (one SpotPoly per face, wall edges and the room corner filled in) and their pixels in every
// pane. Lengths are world units, angles degrees. Work arrays keep their capacity from frame
// to frame, so a steady rig allocates nothing per frame. Bad input never faults: rays that
// cannot be computed or hit nothing leave no spot, and nothing that is not a finite point is
// drawn.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "geometry/projection.h"
#include "geometry/spotpolylist.h"
#include "geometry/vector3.h"
#include "model/alloccounter.h"

namespace lmv {

class Color;
class GoboList;
class Light;
class Load;
class Value;
class ValueList;
class ViewList;

// What the rays are built from: the light's world placement, body size and head angles.
struct LightPose {
  Vec3 position;     // world, not rounded
  Vec3 orientation;  // world, degrees
  IVec3 size;
  double pan = 0;
  double tilt = 0;
};

enum class SpotKind : int { Inside, Border, Corner };

struct SpotRecord {
  int ray = -1;  // -1 for an inserted corner
  int face = 0;  // 0..5: x = 0, x = W, y = 0, y = H, z = 0, z = D
  SpotKind kind = SpotKind::Inside;
  Vec3 point;
};

// A gobo wheel position: which outline of the gobo list and its turn about the beam axis.
class Gobo : public AllocCounter {
 public:
  explicit Gobo(ValueList& list);
  ~Gobo();
  Gobo(const Gobo&) = delete;
  Gobo& operator=(const Gobo&) = delete;

  Value* orientation;  // degrees
  Value* index;        // position in the gobo list
};

class Beam : public AllocCounter {
 public:
  static constexpr int kNoColour = -1;
  // Beyond this a file's gobo number is taken for damage, not a gobo wheel.
  static constexpr int kMaxGobos = 16;

  // gobos: the theatre's gobo list (its size scales the first gobo's DMX decoding); may be
  // null.
  Beam(Light& owner, ValueList& values, const GoboList* gobos);
  ~Beam();
  Beam(const Beam&) = delete;
  Beam& operator=(const Beam&) = delete;

  Light& owner;
  Value* coneAngle;  // full opening angle, degrees
  Value* aperture;   // fraction of the gobo outline's radius; 1 is fully open
  std::vector<std::unique_ptr<Gobo>> gobos;
  std::unique_ptr<Color> colour;
  Vec3 origin;         // apex of the cone, world
  SpotPolyList spots;  // the spot outlines of the last grouping
  ScreenPoint originPixels[4];

  double getConeAngle() const;
  void setConeAngle(double degrees);
  double getAperture() const;
  void setAperture(double a);
  // Stores each component as c * 255 / intensity so that the shown colour is about (r, g, b).
  void setColour(int r, int g, int b);

  int goboCount() const { return int(gobos.size()); }
  void setGoboCount(int n);
  void addGobo();
  // Truncated toward zero; 0 for a gobo that does not exist.
  int goboOrientation(int i) const;
  int goboIndex(int i) const;
  // Ignored for a gobo that does not exist.
  void setGoboOrientation(int i, double degrees);
  void setGoboIndex(int i, double index);

  // Rays of a moving head (the body is the beam's axis) or a moving mirror (the beam leaves
  // the mirror at a quarter of the body length). No rays when no gobo has an outline or the
  // aperture is 0.
  void computeHeadRays(const LightPose& pose, const GoboList* gobos);
  void computeMirrorRays(const LightPose& pose, const GoboList* gobos);
  // Hits of the rays on the box 0..room, corner records and the spot outlines.
  void computeSpots(const IVec3& room);
  bool hasRays() const { return !rays_.empty(); }
  int rayCount() const { return int(rays_.size()); }
  const Vec3& rayEnd(int i) const { return rays_[size_t(i)]; }
  int recordCount() const { return int(records_.size()); }
  const SpotRecord& record(int i) const { return records_[size_t(i)]; }

  // Pixels of the origin and every spot vertex in the panes in use.
  void mapToPanes(const ViewList& views, int paneCount);
  // Spot outlines in spotColour and cone lines in coneColour (kNoColour: not drawn), under
  // the theatre's spot, cone and smoke switches; needs mapToPanes first.
  void draw(int spotColour, int coneColour);
  // The beam as it shows: nothing without rays or with the origin outside the box.
  void drawBeam();
  // Red, green and blue 0..255 after intensity and the DMX-driven colour filters.
  void evaluateColour(int rgb[3]) const;
  bool beamOutsideRoom(const IVec3& room) const;

  void load(Load& in);
  void save(FILE* f, const std::string& prefix) const;

  // Where the ray O->P meets face f of the box 0..room: SpotKind::Inside, SpotKind::Border
  // (on an edge of the face), or false for no hit.
  static bool hitFace(const Vec3& o, const Vec3& p, int face, const IVec3& room, Vec3& q,
                      SpotKind& kind);
  // The point on the edge shared by faces fa and fb where the plane through o, a and b
  // crosses it; false when there is none.
  static bool edgeCorner(const Vec3& o, int fa, const Vec3& a, int fb, const Vec3& b,
                         const IVec3& room, Vec3& k);

 private:
  // False (rays released) when no ray can be made: no outline points or aperture 0.
  bool prepareRays(const GoboList* gobos);
  void groupSpots(const IVec3& room);

  ValueList& values_;
  std::vector<Vec3> rays_;
  std::vector<SpotRecord> records_;
};

}  // namespace lmv
