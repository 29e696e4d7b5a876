#pragma once
// Three DMX-drivable values x, y, z (positions, orientations, sizes). The values live in the
// given ValueList and are removed from it when the coordinates are destroyed.
#include <cstdio>
#include <string>

#include "model/alloccounter.h"

namespace lmv {

class Load;
class Value;
class ValueList;

class Coordinates : public AllocCounter {
 public:
  explicit Coordinates(ValueList& list);
  // Each value decodes two big-endian signed channels through one range 0..65535 times scale.
  Coordinates(ValueList& list, double dmxScale);
  ~Coordinates();
  Coordinates(const Coordinates&) = delete;
  Coordinates& operator=(const Coordinates&) = delete;

  Value* v[3];

  void set(int x, int y, int z, bool asBase = false);
  void set(double x, double y, double z, bool asBase = false);
  void get(int out[3]) const;
  void get(double out[3]) const;
  bool equals(int x, int y, int z) const;

  void load(Load& in);
  void save(FILE* f, const std::string& prefix) const;

 private:
  ValueList& list;
};

}  // namespace lmv
