#pragma once
// A colour of DMX-drivable components: red, green, blue, an intensity and a list of filters
// that, when DMX-enabled, select colour-table entries to multiply with. Values live in the
// given ValueList and leave it when the colour is destroyed.
#include <cstdio>
#include <string>
#include <vector>

#include "model/alloccounter.h"

namespace lmv {

class ColorLookup;
class Load;
class Value;
class ValueList;

// The colour table filters look entries up in; none until the theatre's content has one.
void setColorLookup(const ColorLookup* table);
const ColorLookup* colorLookup();

class Color : public AllocCounter {
 public:
  explicit Color(ValueList& list);
  ~Color();
  Color(const Color&) = delete;
  Color& operator=(const Color&) = delete;

  Value* rgbo[3];
  Value* intensity;
  std::vector<Value*> filters;

  // Stores components so that the effective colour equals (r, g, b) at the current intensity.
  void setRgb(int r, int g, int b);
  void effectiveRgb(int out[3]) const;
  void addFilter();
  void setFilterCount(int n);

  void load(Load& in);
  void save(FILE* f, const std::string& prefix) const;

 private:
  ValueList& list;
};

}  // namespace lmv
