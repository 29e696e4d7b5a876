#include "model/riser.h"

#include <cstdint>
#include <vector>

#include "base/runlog.h"
#include "geometry/draw.h"
#include "geometry/represent.h"
#include "geometry/shapes.h"
#include "geometry/transformation.h"
#include "model/color.h"
#include "model/coordinates.h"
#include "model/load.h"
#include "model/objectlist.h"
#include "model/theatre.h"
#include "model/truss.h"
#include "model/value.h"
#include "model/viewentry.h"
#include "model/viewlist.h"
#include "platform/canvas.h"

namespace lmv {

namespace {

int64_t absDiff(int a, int b) {
  int64_t d = int64_t(a) - int64_t(b);
  return d < 0 ? -d : d;
}

int& axis(IVec3& v, int a) {
  return a == 0 ? v.x : (a == 1 ? v.y : v.z);
}
int axis(const IVec3& v, int a) {
  return a == 0 ? v.x : (a == 1 ? v.y : v.z);
}

// Selection order of keys: for rank i the candidate starts at entry i and is replaced by every
// entry, scanned from the first, whose key is strictly smaller; ranked entries count as larger
// than any key. (Ties therefore keep entry i when it is among the smallest.)
std::vector<int> rankByKey(const std::vector<int64_t>& keys) {
  const int n = int(keys.size());
  std::vector<bool> ranked(size_t(n), false);
  std::vector<int> order;
  order.reserve(size_t(n));
  for (int i = 0; i < n; ++i) {
    int candidate = i;
    bool candidateRanked = ranked[size_t(i)];
    for (int j = 0; j < n; ++j) {
      if (ranked[size_t(j)]) continue;
      if (candidateRanked || keys[size_t(j)] < keys[size_t(candidate)]) {
        candidate = j;
        candidateRanked = false;
      }
    }
    ranked[size_t(candidate)] = true;
    order.push_back(candidate);
  }
  return order;
}

}  // namespace

Riser::Riser(ObjectList& l, const char* className) : ObjectEntry(l, className) {
  typeLetter = 'r';
  channelCount = 12;
  ValueList& values = list.values();
  size = std::make_unique<Coordinates>(values);
  autoButt = values.newValue();
  autoButt->setValue(list.defaultRiser ? list.defaultRiser->autoButt->currentValue() : 0);
  for (auto& c : faceColors) c = std::make_unique<Color>(values);
}

Riser::~Riser() {
  // The value list outlives every object; the object list may not (see objectentry.h).
  if (autoButt->list) autoButt->list->removeValue(autoButt);
}

void Riser::setSize(int x, int y, int z) {
  size->set(x, y, z);
  if (this != list.defaultRiser.get() && this != list.defaultTruss.get()) list.markChanged();
}

IVec3 Riser::getSize() const {
  int s[3];
  size->get(s);
  return {s[0], s[1], s[2]};
}

void Riser::setFaceColors(const int rgb[6][3]) {
  for (int i = 0; i < 6; ++i) faceColors[size_t(i)]->setRgb(rgb[i][0], rgb[i][1], rgb[i][2]);
}

void Riser::getFaceColors(int rgb[6][3]) const {
  for (int i = 0; i < 6; ++i) faceColors[size_t(i)]->effectiveRgb(rgb[i]);
}

void Riser::setAutoButt(int on) {
  autoButt->setValue(double(on));
}

int Riser::getAutoButt() const {
  return int(autoButt->currentValue());
}

void Riser::disablePatch() {
  unpatchPlacement();
  for (Value* v : size->v) v->disableDmx();
}

void Riser::setPatch(int base) {
  patchPlacement(base);
  for (Value* v : size->v) v->disableDmx();
}

void Riser::autoButtNow() {
  if (autoButt->currentValue() == 0) return;
  snapToWalls();
  snapToNeighbours();
}

void Riser::snapToWalls() {
  IVec3 p = worldPositionInt();
  const IVec3 s = getSize();
  const IVec3 walls = list.wallSize();
  for (int a = 0; a < 3; ++a) {
    // Far plane first, so that the near plane wins when both are within reach.
    for (int plane : {axis(walls, a), 0}) {
      int64_t d = int64_t(axis(p, a)) - plane;
      int extent = axis(s, a);
      if (d >= 0 && extent >= d)
        axis(p, a) = plane + extent / 2;
      else if (d < 0 && -d <= extent)
        axis(p, a) = plane - extent / 2;
    }
  }
  setWorldPosition(p.x, p.y, p.z);
}

bool Riser::collides(const IVec3& c) const {
  const IVec3 own = getSize();
  for (const auto& entry : list.objects()) {
    const Riser* x = entry->asRiser();
    if (!x || x == this || !x->isReal()) continue;
    const IVec3 xp = x->worldPositionInt();
    const IVec3 xs = x->getSize();
    bool overlaps = true;
    for (int a = 0; a < 3 && overlaps; ++a)
      overlaps = absDiff(axis(xp, a), axis(c, a)) < (int64_t(axis(xs, a)) + axis(own, a)) / 2;
    if (overlaps) return true;
  }
  return false;
}

void Riser::snapToNeighbours() {
  const IVec3 r = worldPositionInt();
  const IVec3 rs = getSize();
  const bool collidesHere = collides(r);

  std::vector<const Riser*> others;
  std::vector<int64_t> keys;
  for (const auto& entry : list.objects()) {
    const Riser* o = entry->asRiser();
    if (!o || o == this || !o->isReal()) continue;
    const IVec3 op = o->worldPositionInt();
    int64_t key = 0;
    for (int a = 0; a < 3; ++a)
      key += absDiff(axis(op, a), axis(r, a)) * absDiff(axis(op, a), axis(r, a));
    others.push_back(o);
    keys.push_back(key);
  }

  for (int index : rankByKey(keys)) {
    const Riser* o = others[size_t(index)];
    const IVec3 op = o->worldPositionInt();
    const IVec3 os = o->getSize();
    bool near = true;
    for (int a = 0; a < 3; ++a)
      near = near && absDiff(axis(r, a), axis(op, a)) <= int64_t(axis(rs, a)) + axis(os, a);
    if (!collidesHere && !near) return;

    // Sides 0..5: -x, +x, -y, +y, -z, +z; butting centres this riser on that face.
    IVec3 butt[6];
    std::vector<int64_t> sideKeys;
    for (int side = 0; side < 6; ++side) {
      const int a = side / 2;
      butt[side] = op;
      int half = int((int64_t(axis(os, a)) + axis(rs, a)) / 2);
      axis(butt[side], a) += side % 2 ? half : -half;
      int64_t key = 0;
      for (int k = 0; k < 3; ++k) key += absDiff(axis(r, k), axis(butt[side], k));
      sideKeys.push_back(key);
    }
    for (int side : rankByKey(sideKeys)) {
      if (!collides(butt[side])) {
        setWorldPosition(butt[side].x, butt[side].y, butt[side].z);
        return;
      }
    }
  }
}

bool Riser::loadExtraKey(Load&) {
  return false;
}

void Riser::load(Load& in) {
  static const char* const kKeys[] = {"fixtureHandle", "posn",     "size",    "orient",
                                      "color",         "autoButt", "dmxBase", "locked"};
  if (in.nextLine()) in.isKey("ObjectEntry");
  while (in.state == ReadOk) {
    if (!in.nextLine()) break;
    int key = 0;
    while (key < 8 && !in.isKey(kKeys[key])) ++key;
    if (key == 8) {
      if (loadExtraKey(in)) continue;
      in.state = ReadMismatch;
      break;
    }
    switch (key) {
      case 0:
        readInt(in, fixtureHandle);
        break;
      case 1:
        posn->load(in);
        break;
      case 2:
        size->load(in);
        break;
      case 3:
        orient->load(in);
        break;
      case 4: {
        int face = -1;
        if (!in.intAt(1, face)) break;
        if (face >= 0 && face < 6) {
          faceColors[size_t(face)]->load(in);
        } else {
          logWarning("Face colour %d ignored: faces are numbered 0 to 5", face);
          Color scratch(list.values());
          scratch.load(in);
        }
        break;
      }
      case 5:
        autoButt->load(in);
        break;
      case 6:
        readDmxBase(in);
        break;
      case 7:
        locked = 1;
        break;
    }
  }
  if (in.state > ReadEnd) in.pushBack();
}

void Riser::save(FILE* f, const std::string& prefix) const {
  const char* p = prefix.c_str();
  const std::string child = prefix + "  ";
  fprintf(f, "%sObjectEntry\n", p);
  fprintf(f, "%s dmxBase\n", p);
  fprintf(f, "%s  %d\n", p, dmxBase);
  fprintf(f, "%s fixtureHandle\n", p);
  fprintf(f, "%s  %d\n", p, fixtureHandle);
  fprintf(f, "%s posn\n", p);
  posn->save(f, child);
  fprintf(f, "%s size\n", p);
  size->save(f, child);
  fprintf(f, "%s orient\n", p);
  orient->save(f, child);
  fprintf(f, "%s autoButt\n", p);
  autoButt->save(f, child);
  if (locked) fprintf(f, "%s locked\n", p);
}

}  // namespace lmv

namespace lmv {

Represent* Riser::representation(int pane) const {
  return pane >= 0 && pane < 4 ? representations[size_t(pane)].get() : nullptr;
}

void Riser::project() {
  Theatre* t = theTheatre();
  if (!t || !t->viewList) return;
  const ViewList& views = *t->viewList;
  const IVec3 centre = worldPositionInt();
  const IVec3 extent = getSize();
  Transformation turn(kAxisX, kAxisZ, kAxisY);
  turn.skipInverse();
  turn.set({}, toVec3(worldOrientationInt()));
  for (int pane = 0; pane < views.panes() && pane < 4; ++pane) {
    auto& r = representations[size_t(pane)];
    if (!r) r = newBoxRepresent(pane);
    if (const ViewEntry* view = views.paneView(pane))
      buildTurnedBox(r->polygons, centre, extent, turn, boxSplit(), view->transformation);
  }
}

void Riser::projectToPlane() {
  Theatre* t = theTheatre();
  if (!t || !t->viewList) return;
  const ViewList& views = *t->viewList;
  for (int pane = 0; pane < views.panes() && pane < 4; ++pane)
    if (Represent* r = representation(pane))
      projectShape(views.projection(pane), r->polygons, kBoxRing);
}

void Riser::projectIfChanged() {
  if (representations[0] && representations[0]->takeChanged()) projectToPlane();
}

void Riser::drawRepresentation(int color) {
  Theatre* t = theTheatre();
  if (!t || !t->viewList) return;
  for (int pane = 0; pane < t->paneCount && pane < 4; ++pane) {
    Canvas* canvas = t->paneCanvases[pane];
    Represent* r = representation(pane);
    if (canvas && r) drawPolygons(*canvas, r->polygons, t->viewList->projection(pane), color);
  }
}

void Riser::drawOutline() {
  int rgb[3];
  roleColor(rgb);
  drawRepresentation(colorNumber(rgb[0], rgb[1], rgb[2]));
}

void Riser::eraseOutline() {
  drawRepresentation(0);
}

int Riser::hitTest(int pane, int x, int y) {
  const Represent* r = representation(pane);
  return r && r->hitTest(x, y) ? 1 : 0;
}

double Riser::distanceTo(int pane, int x, int y) {
  const Represent* r = representation(pane);
  return r ? r->distanceTo(x, y) : ObjectEntry::distanceTo(pane, x, y);
}

void Riser::screenPoint(int pane, int& x, int& y) {
  if (const Represent* r = representation(pane)) {
    ScreenPoint p = r->screenCentre();
    x = p.x;
    y = p.y;
  }
}

}  // namespace lmv
