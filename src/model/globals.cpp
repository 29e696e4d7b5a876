#include "model/globals.h"

#include <cstring>

#include "model/load.h"
#include "model/value.h"

namespace lmv {

Globals::Globals(ValueList& l) : AllocCounter("Globals"), list(l) {
  smoke = list.newValue();
  wire = list.newValue();
  spot = list.newValue();
  cone = list.newValue();
  smoke->setValue(100);
  spot->setValue(1);
  cone->setValue(1);
}

Globals::~Globals() {
  for (Value* v : {smoke, wire, spot, cone}) list.removeValue(v);
}

void Globals::setSmoke(int level) {
  smoke->setValue(double(level));
}
int Globals::smokeLevel() const {
  return int(smoke->currentValue());
}
void Globals::spotsOn() {
  spot->setValue(1);
}
void Globals::spotsOff() {
  spot->setValue(0);
}
int Globals::spots() const {
  return int(spot->currentValue());
}
void Globals::conesOn() {
  cone->setValue(1);
}
void Globals::conesOff() {
  cone->setValue(0);
}
int Globals::cones() const {
  return int(cone->currentValue());
}

void Globals::setColors(const int colors[6][3]) {
  int* targets[6] = {mmLightColor, mhLightColor,        riserColor,
                     trussColor,   selectedObjectColor, selectedGroupColor};
  for (int i = 0; i < 6; ++i) memcpy(targets[i], colors[i], sizeof(int) * 3);
}

void Globals::load(Load& in) {
  readSection(in, "Globals", {"smoke", "wire", "spot", "cone"}, [&](int key) {
    Value* targets[4] = {smoke, wire, spot, cone};
    targets[key]->load(in);
  });
}

void Globals::save(FILE* f, const std::string& prefix) const {
  const char* p = prefix.c_str();
  std::string child = prefix + "  ";
  fprintf(f, "%sGlobals\n", p);
  const char* keys[4] = {"smoke", "wire", "spot", "cone"};
  const Value* values[4] = {smoke, wire, spot, cone};
  for (int i = 0; i < 4; ++i) {
    fprintf(f, "%s %s\n", p, keys[i]);
    values[i]->save(f, child);
  }
}

}  // namespace lmv
