#include "model/color.h"

#include "model/colorlookup.h"
#include "model/load.h"
#include "model/value.h"

namespace lmv {

namespace {
const ColorLookup* currentTable = nullptr;

void byteSpec(Value* v, double scale) {
  DmxSpec* s = v->positionSpec();
  s->setLayout(1, 1, 0);
  s->clearRanges();
  s->addRange(0, 255, scale, 0);
}
}  // namespace

void setColorLookup(const ColorLookup* table) {
  currentTable = table;
}
const ColorLookup* colorLookup() {
  return currentTable;
}

Color::Color(ValueList& l) : AllocCounter("Color"), list(l) {
  for (Value*& c : rgbo) {
    c = list.newValue();
    byteSpec(c, 1.0);
  }
  intensity = list.newValue();
  byteSpec(intensity, 1.0);
  intensity->setValue(255);
  addFilter();
}

Color::~Color() {
  for (Value* c : rgbo) list.removeValue(c);
  list.removeValue(intensity);
  for (Value* f : filters) list.removeValue(f);
}

void Color::setRgb(int r, int g, int b) {
  int level = int(intensity->currentValue());
  if (level == 0) level = 1;
  const int in[3] = {r, g, b};
  for (int i = 0; i < 3; ++i) {
    int c = in[i] * 255 / level;
    rgbo[i]->setValue(c > 255 ? 255 : c);
  }
}

void Color::effectiveRgb(int out[3]) const {
  int level = int(intensity->currentValue());
  for (int i = 0; i < 3; ++i) out[i] = int(rgbo[i]->currentValue()) * level / 255;
  const ColorLookup* table = colorLookup();
  for (const Value* f : filters) {
    if (!f->dmxEnabled || !table) continue;
    int entry[3];
    table->colorRgb(int(f->currentValue()), entry);
    for (int i = 0; i < 3; ++i) out[i] = out[i] * entry[i] / 256;
  }
}

void Color::addFilter() {
  Value* f = list.newValue();
  const ColorLookup* table = colorLookup();
  byteSpec(f, table ? table->colorCount() / 256.0 : 1.0);
  f->setValue(255);
  filters.push_back(f);
}

void Color::setFilterCount(int n) {
  while (int(filters.size()) > n && !filters.empty()) {
    list.removeValue(filters.back());
    filters.pop_back();
  }
  while (int(filters.size()) < n) addFilter();
}

void Color::load(Load& in) {
  int components = 0;
  bool firstFilter = true;
  readSection(in, "Color", {"rgbo", "intensity", "filter1", "filter2", "filter"}, [&](int key) {
    if (key == 0) {
      if (list.fileVersion < 5000) {
        if (components == 0) {
          loadOldValues(in, rgbo, 3);
        } else {
          Value a, b, c;  // a further old section is read and dropped
          Value* spare[3] = {&a, &b, &c};
          loadOldValues(in, spare, 3);
        }
        components = 3;
      } else if (components < 3) {
        rgbo[components++]->load(in);
      } else {
        Value spare;
        spare.load(in);
      }
    } else if (key == 1) {
      intensity->load(in);
    } else {
      // The first filter key reads into the existing first filter, later ones append.
      if (!firstFilter || filters.empty()) addFilter();
      Value* target = firstFilter ? filters.front() : filters.back();
      firstFilter = false;
      target->load(in);
    }
  });
}

void Color::save(FILE* f, const std::string& prefix) const {
  const char* p = prefix.c_str();
  std::string child = prefix + "  ";
  fprintf(f, "%sColor\n", p);
  for (int i = 0; i < 3; ++i) {
    fprintf(f, "%s rgbo %d\n", p, i);
    rgbo[i]->save(f, child);
  }
  fprintf(f, "%s intensity\n", p);
  intensity->save(f, child);
  for (size_t j = 0; j < filters.size(); ++j) {
    fprintf(f, "%s filter %d\n", p, int(j));
    filters[j]->save(f, child);
  }
}

}  // namespace lmv
