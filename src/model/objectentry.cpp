#include "model/objectentry.h"

#include "geometry/transformation.h"
#include "model/coordinates.h"
#include "model/globals.h"
#include "model/group.h"
#include "model/load.h"
#include "model/objectlist.h"
#include "model/theatre.h"
#include "model/value.h"

namespace lmv {

namespace {

constexpr double kPositionScale = 0.0625;
constexpr double kOrientationScale = 0.00549;

Vec3 read(const Coordinates& c) {
  double v[3];
  c.get(v);
  return {v[0], v[1], v[2]};
}

// Turns a local direction of a frame with the given orientation into the world.
Transformation frameTurn(const Vec3& orientation) {
  Transformation t(kAxisX, kAxisZ, kAxisY);
  t.set({}, orientation);
  return t;
}

void copyColor(int out[3], const int in[3]) {
  for (int i = 0; i < 3; ++i) out[i] = in[i];
}

}  // namespace

bool isInside(const Group* group, const ObjectEntry* object) {
  if (!group || !object) return false;
  for (const Group* g = object->parentGroup; g; g = g->parentGroup)
    if (g == group) return true;
  return false;
}

ObjectEntry::ObjectEntry(ObjectList& l, const char* className) : AllocCounter(className), list(l) {
  ValueList& values = list.values();
  posn = std::make_unique<Coordinates>(values, kPositionScale);
  orient = std::make_unique<Coordinates>(values, kOrientationScale);
  // Twelve channels from the base: position x, y, z, then orientation x, y, z, two each.
  for (int i = 0; i < 3; ++i) {
    posn->v[i]->setDmxOffset(2 * i);
    orient->v[i]->setDmxOffset(6 + 2 * i);
  }
}

ObjectEntry::~ObjectEntry() {
  if (parentGroup) parentGroup->forget(this);
}

int ObjectEntry::containsType(char) const {
  return 0;
}

int ObjectEntry::hitTest(int, int, int) {
  return 0;
}

double ObjectEntry::distanceTo(int, int, int) {
  return 99999999;
}

void ObjectEntry::screenPoint(int, int&, int&) {}

void ObjectEntry::load(Load& in) {
  readSection(in, "ObjectEntry", {"posn", "dmxBase", "locked"}, [&](int key) {
    if (key == 0)
      posn->load(in);
    else if (key == 1)
      readDmxBase(in);
    else
      locked = 1;
  });
}

void ObjectEntry::save(FILE* f, const std::string& prefix) const {
  const char* p = prefix.c_str();
  fprintf(f, "%sObjectEntry\n", p);
  fprintf(f, "%s posn\n", p);
  posn->save(f, prefix + "  ");
  fprintf(f, "%s dmxBase\n%s  %d\n", p, p, dmxBase);
  if (locked) fprintf(f, "%s locked\n", p);
}

void ObjectEntry::readDmxBase(Load& in) {
  int base = 0;
  if (!readInt(in, base)) return;
  dmxBase = base;
  list.values().loadingDmxBase = base;
}

Vec3 ObjectEntry::worldPosition() const {
  Vec3 p = read(*posn);
  if (!parentGroup) return p;
  return parentGroup->worldPosition() + frameTurn(parentGroup->worldOrientation()).apply(p);
}

Vec3 ObjectEntry::worldOrientation() const {
  Vec3 a = read(*orient);
  if (!parentGroup) return a;
  return composeOrientation(a, parentGroup->worldOrientation());
}

void ObjectEntry::placeWorldPosition(const Vec3& p) {
  Vec3 local = p;
  if (parentGroup)
    local =
        frameTurn(parentGroup->worldOrientation()).applyInverse(p - parentGroup->worldPosition());
  // A group keeps its placement in the bases, so DMX moves it from there.
  posn->set(local.x, local.y, local.z, asGroup() != nullptr);
}

void ObjectEntry::placeWorldOrientation(const Vec3& a) {
  Vec3 local = parentGroup ? localOrientation(a, parentGroup->worldOrientation()) : a;
  orient->set(local.x, local.y, local.z, asGroup() != nullptr);
}

void ObjectEntry::setWorldPosition(const Vec3& p) {
  placeWorldPosition(p);
  if (parentGroup && parentGroup->principal == this) parentGroup->setPrincipal(this);
}

void ObjectEntry::setWorldPosition(int x, int y, int z) {
  setWorldPosition(Vec3{double(x), double(y), double(z)});
}

void ObjectEntry::setWorldOrientation(const Vec3& a) {
  placeWorldOrientation(a);
  if (parentGroup && parentGroup->principal == this) parentGroup->setPrincipal(this);
}

void ObjectEntry::setWorldOrientation(int x, int y, int z) {
  setWorldOrientation(Vec3{double(x), double(y), double(z)});
}

void ObjectEntry::refreshCache() {
  cachedWorldPosition = worldPosition();
  cachedWorldOrientation = worldOrientation();
}

void ObjectEntry::reapplyCache() {
  placeWorldPosition(cachedWorldPosition);
  placeWorldOrientation(cachedWorldOrientation);
}

void ObjectEntry::patchPlacement(int base) {
  dmxBase = base;
  for (Value* v : posn->v) v->setBaseAll(base);
  for (Value* v : orient->v) v->setBaseAll(base);
}

void ObjectEntry::unpatchPlacement() {
  dmxBase = -1;
  for (Value* v : posn->v) v->disableDmx();
  for (Value* v : orient->v) v->disableDmx();
}

void ObjectEntry::roleColor(int out[3]) const {
  static const int kWhite[3] = {255, 255, 255};
  const Globals& g = *list.theatre.globals;
  const ObjectEntry* selected = list.selectedObject;
  if (marked || selected == this)
    copyColor(out, g.selectedObjectColor);
  else if (selected && isInside(selected->asGroup(), this))
    copyColor(out, g.selectedGroupColor);
  else if (typeLetter == 'm')
    copyColor(out, g.mmLightColor);
  else if (typeLetter == 'h')
    copyColor(out, g.mhLightColor);
  else if (typeLetter == 'r')
    copyColor(out, g.riserColor);
  else if (typeLetter == 't')
    copyColor(out, g.trussColor);
  else
    copyColor(out, kWhite);
}

}  // namespace lmv
