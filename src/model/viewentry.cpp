#include "model/viewentry.h"

#include <algorithm>
#include <climits>

#include "geometry/projection.h"
#include "model/coordinates.h"
#include "model/load.h"
#include "model/value.h"
#include "model/viewlist.h"

namespace lmv {

ViewEntry::ViewEntry(ViewList& list, ValueList& valueList)
    : AllocCounter("ViewEntry"), owner(list), values(valueList) {
  posn = std::make_unique<Coordinates>(values);
  orient = std::make_unique<Coordinates>(values);
  makePlan(owner.boxSize);
}

ViewEntry::~ViewEntry() = default;

void ViewEntry::setPosition(int x, int y, int z) {
  posn->set(x, y, z);
  viewType = '?';
  updateTransformation();
  owner.viewsChanged = 1;
}

void ViewEntry::setOrientation(int x, int y, int z) {
  orient->set(x, y, z);
  viewType = '?';
  updateTransformation();
  owner.viewsChanged = 1;
}

void ViewEntry::getPosition(int out[3]) const {
  posn->get(out);
}

void ViewEntry::getOrientation(int out[3]) const {
  orient->get(out);
}

void ViewEntry::updateTransformation() {
  int p[3];
  double a[3];
  posn->get(p);
  orient->get(a);
  transformation.set({p[0], p[1], p[2]}, {a[0], a[1], a[2]});
}

void ViewEntry::copyFrom(const ViewEntry& other) {
  double p[3];
  double a[3];
  other.posn->get(p);
  other.orient->get(a);
  posn->set(p[0], p[1], p[2]);
  orient->set(a[0], a[1], a[2]);
  viewType = '?';
  updateTransformation();
  owner.viewsChanged = 1;
}

void ViewEntry::place(int px, int py, int pz, int ox, int oy, int oz, char type) {
  posn->set(px, py, pz);
  orient->set(ox, oy, oz);
  viewType = type;
  updateTransformation();
  owner.viewsChanged = 1;
}

namespace {
// The camera distance 5 x depth, saturated for absurd boxes instead of overflowing.
int fiveTimes(int depth) {
  return int(std::clamp<long long>(5LL * depth, INT_MIN, INT_MAX));
}
}  // namespace

void ViewEntry::makePlan(const int box[3]) {
  place(box[0] / 2, -box[2] / 2, fiveTimes(box[2]), -90, 0, 0, 'p');
}

void ViewEntry::makeSide(const int box[3]) {
  place(box[2] / 2, box[1] / 2, fiveTimes(box[2]), 0, -90, 0, 's');
}

void ViewEntry::makeFront(const int box[3]) {
  place(box[0] / 2, box[1] / 2, fiveTimes(box[2]), 0, 0, 0, 'f');
}

void ViewEntry::makeDefaultUser(const int box[3]) {
  place(truncToInt(0.3 * box[0]), truncToInt(0.5 * box[1]), truncToInt(1.5 * box[2]), 0, -45, 0,
        '?');
}

bool ViewEntry::sameAs(int index) const {
  const ViewEntry* other = owner.entry(index);
  if (!other) return false;
  int p[3], q[3], a[3], b[3];
  getPosition(p);
  other->getPosition(q);
  getOrientation(a);
  other->getOrientation(b);
  return std::equal(p, p + 3, q) && std::equal(a, a + 3, b);
}

void ViewEntry::rescale(const int oldSize[3], const int newSize[3]) {
  int p[3];
  getPosition(p);
  for (int i = 0; i < 3; ++i) {
    if (oldSize[i] == 0) continue;
    // 64-bit product: a large box times a far camera must not overflow.
    long long v = static_cast<long long>(p[i]) * newSize[i] / oldSize[i];
    p[i] = int(std::clamp<long long>(v, INT_MIN, INT_MAX));
  }
  p[2] = std::max(p[2], newSize[2]);
  setPosition(p[0], p[1], p[2]);
}

void ViewEntry::load(Load& in) {
  bool moved = false;
  readSection(in, "ViewEntry", {"posn", "orient", "name"}, [&](int key) {
    switch (key) {
      case 0:
        posn->load(in);
        moved = true;
        break;
      case 1:
        orient->load(in);
        moved = true;
        break;
      case 2:
        readString(in, name);
        break;
    }
  });
  // Old files stored the default user view as (180, 225, 180), the same camera turned the
  // long way round.
  double a[3];
  orient->get(a);
  if (values.fileVersion <= 3018 && a[0] == 180 && a[1] == 225 && a[2] == 180)
    orient->set(0, -45, 0);
  if (moved) viewType = '?';
  updateTransformation();
}

void ViewEntry::save(FILE* f, const std::string& prefix) const {
  const char* p = prefix.c_str();
  std::string child = prefix + "  ";
  fprintf(f, "%sViewEntry\n", p);
  fprintf(f, "%s posn\n", p);
  posn->save(f, child);
  fprintf(f, "%s orient\n", p);
  orient->save(f, child);
  fprintf(f, "%s name\n", p);
  fprintf(f, "%s  \"%s\"\n", p, name.c_str());
}

}  // namespace lmv
