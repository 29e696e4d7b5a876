#include "model/coordinates.h"

#include <cmath>

#include "model/load.h"
#include "model/value.h"

namespace lmv {

namespace {
int roundHalf(double x) {
  return int(x >= 0 ? x + 0.4999 : x - 0.4999);
}
}  // namespace

Coordinates::Coordinates(ValueList& l) : AllocCounter("Coordinates"), list(l) {
  for (Value*& value : v) value = list.newValue();
}

Coordinates::Coordinates(ValueList& l, double dmxScale) : Coordinates(l) {
  for (Value* value : v) {
    DmxSpec* s = value->positionSpec();
    s->setLayout(2, 1, 1);
    s->clearRanges();
    s->addRange(0, 65535, dmxScale, 0);
  }
}

Coordinates::~Coordinates() {
  for (Value* value : v) list.removeValue(value);
}

void Coordinates::set(int x, int y, int z, bool asBase) {
  set(double(x), double(y), double(z), asBase);
}

void Coordinates::set(double x, double y, double z, bool asBase) {
  v[0]->setValue(x, asBase);
  v[1]->setValue(y, asBase);
  v[2]->setValue(z, asBase);
}

void Coordinates::get(int out[3]) const {
  for (int i = 0; i < 3; ++i) out[i] = int(v[i]->currentValue());
}

void Coordinates::get(double out[3]) const {
  for (int i = 0; i < 3; ++i) out[i] = v[i]->currentValue();
}

bool Coordinates::equals(int x, int y, int z) const {
  return roundHalf(v[0]->currentValue()) == x && roundHalf(v[1]->currentValue()) == y &&
         roundHalf(v[2]->currentValue()) == z;
}

void Coordinates::load(Load& in) {
  int filled = 0;
  readSection(in, "Coordinates", {"value"}, [&](int) {
    if (list.fileVersion < 5000) {
      if (filled == 0) {
        loadOldValues(in, v, 3);
      } else {
        Value a, b, c;  // a further old section is read and dropped
        Value* spare[3] = {&a, &b, &c};
        loadOldValues(in, spare, 3);
      }
      filled = 3;
    } else if (filled < 3) {
      v[filled++]->load(in);
    } else {
      Value spare;  // beyond the third: read and dropped
      spare.load(in);
    }
  });
}

void Coordinates::save(FILE* f, const std::string& prefix) const {
  fprintf(f, "%sCoordinates\n", prefix.c_str());
  std::string child = prefix + "  ";
  for (int i = 0; i < 3; ++i) {
    fprintf(f, "%s value %d\n", prefix.c_str(), i);
    v[i]->save(f, child);
  }
}

}  // namespace lmv
