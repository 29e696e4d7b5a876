#pragma once
// A box placed in the theatre: size, auto-butt switch and six face colours on top of the
// object's placement. Trusses and lights are risers too. Auto-butt snaps a riser against the
// walls and then against its neighbours when it is placed (integer lengths, centred boxes).
// The per-pane representation is added by the projection code.
#include <array>
#include <memory>

#include "model/objectentry.h"

namespace lmv {

class Color;
class Represent;
class Value;

class Riser : public ObjectEntry {
 public:
  explicit Riser(ObjectList& list, const char* className = "Riser");
  ~Riser() override;

  void load(Load& in) override;
  void save(FILE* f, const std::string& prefix) const override;
  void disablePatch() override;
  void setPatch(int base) override;
  Riser* asRiser() override { return this; }

  // Per-pane box outline, made on first use by project().
  void project() override;
  void reproject() override { project(); }
  void projectToPlane() override;
  void projectIfChanged() override;
  void drawOutline() override;
  void eraseOutline() override;
  int hitTest(int pane, int x, int y) override;
  double distanceTo(int pane, int x, int y) override;
  void screenPoint(int pane, int& x, int& y) override;
  Represent* representation(int pane) const override;

  std::unique_ptr<Coordinates> size;
  Value* autoButt;  // any value other than 0 switches auto-butt on
  std::array<std::unique_ptr<Color>, 6> faceColors;

  // Marks the object list changed unless this is a default object.
  void setSize(int x, int y, int z);
  IVec3 getSize() const;
  void setFaceColors(const int rgb[6][3]);
  void getFaceColors(int rgb[6][3]) const;
  void setAutoButt(int on);
  int getAutoButt() const;

  void autoButtNow();
  void snapToWalls();
  void snapToNeighbours();
  // Whether another real object overlaps this riser's box placed at c.
  bool collides(const IVec3& c) const;

 protected:
  // Keys a derived kind reads after the riser's own; true when the current line was one.
  virtual bool loadExtraKey(Load& in);
  // Percentage of the length on the low-x side of the position.
  virtual int boxSplit() const { return 50; }
  // The outline in every built pane in one colour.
  void drawRepresentation(int color);

  std::array<std::unique_ptr<Represent>, 4> representations;
};

}  // namespace lmv
