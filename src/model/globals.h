#pragma once
// Display switches of a theatre (smoke level, wire, spots, cones: DMX-drivable values) and the
// role colours the drawing uses (set from the preferences, never stored in the file).
#include <cstdio>
#include <string>

#include "model/alloccounter.h"

namespace lmv {

class Load;
class Value;
class ValueList;

class Globals : public AllocCounter {
 public:
  explicit Globals(ValueList& list);
  ~Globals();
  Globals(const Globals&) = delete;
  Globals& operator=(const Globals&) = delete;

  Value* smoke;
  Value* wire;
  Value* spot;
  Value* cone;

  int mmLightColor[3] = {255, 255, 255};
  int mhLightColor[3] = {255, 255, 255};
  int riserColor[3] = {192, 192, 192};
  int trussColor[3] = {128, 128, 128};
  int selectedObjectColor[3] = {0, 0, 255};
  int selectedGroupColor[3] = {255, 0, 0};

  void setSmoke(int level);
  int smokeLevel() const;
  void spotsOn();
  void spotsOff();
  int spots() const;
  void conesOn();
  void conesOff();
  int cones() const;
  // Six triples in the order mm light, mh light, riser, truss, selected object, selected group.
  void setColors(const int colors[6][3]);

  void load(Load& in);
  void save(FILE* f, const std::string& prefix) const;

 private:
  ValueList& list;
};

}  // namespace lmv
