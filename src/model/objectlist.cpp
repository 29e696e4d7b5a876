#include "model/objectlist.h"

#include <algorithm>
#include <cstdint>

#include "base/runlog.h"
#include "geometry/mhlight.h"
#include "geometry/mmlight.h"
#include "model/color.h"
#include "model/coordinates.h"
#include "model/group.h"
#include "model/load.h"
#include "model/objectactions.h"
#include "model/riser.h"
#include "model/theatre.h"
#include "model/truss.h"
#include "model/value.h"
#include "model/walls.h"

namespace lmv {

int nextDmxAddress = 0;

namespace {

int64_t floorDiv512(int64_t x) {
  return x >= 0 ? x / 512 : -((-x + 511) / 512);
}

}  // namespace

ObjectList::ObjectList(Theatre& t, const GoboList* goboList, FixtureList* fixtureList)
    : AllocCounter("ObjectList"), theatre(t), gobos(goboList), fixtures(fixtureList) {
  const IVec3 w = wallSize();
  defaultRiser = std::make_unique<Riser>(*this);
  defaultRiser->setSize(50, 10, 30);
  defaultRiser->setWorldPosition(25, 5, 15);
  defaultRiser->setWorldOrientation(0, 0, 0);
  defaultTruss = std::make_unique<Truss>(*this);
  defaultTruss->setSize(72, 3, 3);
  defaultTruss->setWorldPosition(36, w.y * 3 / 4, w.z / 2);
  defaultTruss->setWorldOrientation(0, 0, 0);
  // The light templates: built without a template of their own, marked "patched without an
  // address" so that new lights look for free channels.
  defaultMHLight = std::make_unique<MHLight>(*this, false);
  defaultMHLight->size->set(15, 5, 5);
  defaultMHLight->setWorldPosition(15 / 5, w.y * 3 / 4, w.z / 2);
  defaultMHLight->setWorldOrientation(0, 90, 20);
  defaultMHLight->dmxBase = -2;
  defaultMMLight = std::make_unique<MMLight>(*this, false);
  defaultMMLight->size->set(15, 5, 5);
  defaultMMLight->setWorldPosition(15 * 4 / 5, w.y * 3 / 4, w.z / 2);
  defaultMMLight->setWorldOrientation(0, 90, 20);
  defaultMMLight->dmxBase = -2;
}

ObjectList::~ObjectList() {
  // Outermost groups first (each dissolves, so its members become outermost), then the rest
  // in list order, then the defaults.
  for (bool found = true; found;) {
    found = false;
    for (size_t i = 0; i < list.size(); ++i) {
      if (list[i]->asGroup() && !list[i]->parentGroup) {
        std::unique_ptr<ObjectEntry> group = std::move(list[i]);
        list.erase(list.begin() + std::ptrdiff_t(i));
        group.reset();
        found = true;
        break;
      }
    }
  }
  for (auto& o : list) o.reset();
  list.clear();
  defaultRiser.reset();
  defaultTruss.reset();
  defaultMHLight.reset();
  defaultMMLight.reset();
}

ValueList& ObjectList::values() const {
  return theatre.valueList;
}

Undo& ObjectList::undo() const {
  return *theatre.undo;
}

IVec3 ObjectList::wallSize() const {
  int s[3] = {0, 0, 0};
  if (theatre.walls) theatre.walls->getSize(s);
  return {s[0], s[1], s[2]};
}

int ObjectList::dmxBufferSize() const {
  return theatre.dmxBufferSize;
}

ObjectEntry* ObjectList::at(int i) const {
  return i >= 0 && i < count() ? list[size_t(i)].get() : nullptr;
}

int ObjectList::indexOf(const ObjectEntry* object) const {
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i].get() == object) return int(i);
  return -1;
}

bool ObjectList::contains(const ObjectEntry* object) const {
  return object && object->linked && indexOf(object) >= 0;
}

void ObjectList::markChanged() {
  changed = 1;
  theatre.markChanged();
}

void ObjectList::recordAdd(ObjectEntry* object) {
  Undo& u = undo();
  if (u.wouldRecord()) u.record(std::make_unique<AddObjectAction>(*this, object));
}

void ObjectList::patchFromDefault(Riser& object, const Riser* def) {
  if (!def || def->dmxBase == -1) return;
  if (def->dmxBase == -2)
    object.setPatch(-2);
  else
    object.setPatch(findFreeDmxBase(object));
}

ObjectEntry* ObjectList::addFromDefault(std::unique_ptr<Riser> object, const Riser* def,
                                        char letter) {
  Riser* r = object.get();
  r->linked = true;
  list.push_back(std::move(object));
  if (def) {
    for (size_t i = 0; i < 6; ++i) {
      const Color& from = *def->faceColors[i];
      Color& to = *r->faceColors[i];
      for (int c = 0; c < 3; ++c) to.rgbo[c]->setValue(from.rgbo[c]->currentValue());
      to.intensity->setValue(from.intensity->currentValue());
    }
    r->setWorldPosition(def->worldPosition());
    double s[3];
    def->size->get(s);
    r->size->set(s[0], s[1], s[2]);
    r->setWorldOrientation(def->worldOrientation());
  }
  r->typeLetter = letter;
  r->autoButtNow();
  markChanged();
  recordAdd(r);
  return r;
}

Riser* ObjectList::newRiser() {
  auto r = std::make_unique<Riser>(*this);
  patchFromDefault(*r, defaultRiser.get());
  return static_cast<Riser*>(addFromDefault(std::move(r), defaultRiser.get(), 'r'));
}

Truss* ObjectList::newTruss() {
  auto t = std::make_unique<Truss>(*this);
  patchFromDefault(*t, defaultTruss.get());
  return static_cast<Truss*>(addFromDefault(std::move(t), defaultTruss.get(), 't'));
}

MHLight* ObjectList::newMHLight() {
  return static_cast<MHLight*>(
      addFromDefault(std::make_unique<MHLight>(*this, true), defaultMHLight.get(), 'h'));
}

MMLight* ObjectList::newMMLight() {
  return static_cast<MMLight*>(
      addFromDefault(std::make_unique<MMLight>(*this, true), defaultMMLight.get(), 'm'));
}

Group* ObjectList::newGroup() {
  auto g = std::make_unique<Group>(*this);
  Group* raw = g.get();
  raw->linked = true;
  list.push_back(std::move(g));
  currentGroup = raw;
  recordAdd(raw);
  markChanged();
  return raw;
}

std::unique_ptr<ObjectEntry> ObjectList::unlink(ObjectEntry* object) {
  int i = indexOf(object);
  if (i < 0) return nullptr;
  std::unique_ptr<ObjectEntry> owned = std::move(list[size_t(i)]);
  list.erase(list.begin() + i);
  owned->linked = false;
  if (selectedObject == object) clearSelection();
  if (currentGroup == object) currentGroup = nullptr;
  if (stageObject == object) stageObject = nullptr;
  markChanged();
  return owned;
}

void ObjectList::relink(std::unique_ptr<ObjectEntry> object) {
  if (!object) return;
  object->linked = true;
  list.push_back(std::move(object));
  markChanged();
}

void ObjectList::removeObject(ObjectEntry* object) {
  if (!contains(object)) return;
  const bool wasStage = stageObject && stageObject == object;
  if (wasStage) stageObject = nullptr;
  if (Group* g = object->asGroup()) g->dissolve();
  // A removed object leaves its group first, so member lists only name objects of the theatre.
  if (object->parentGroup) object->parentGroup->removeMember(object);
  std::unique_ptr<ObjectEntry> owned = unlink(object);
  Undo& u = undo();
  if (u.wouldRecord())
    u.record(std::make_unique<DeleteObjectAction>(*this, std::move(owned), wasStage));
  // Otherwise nothing can refer to the object any more and it goes with `owned`.
  markChanged();
}

void ObjectList::clearSelection() {
  selectedObject = nullptr;
  selectedIndex = -1;
  pickPane = -1;
  pickPoint[0] = pickPoint[1] = -1;
}

void ObjectList::deleteSelected() {
  ObjectEntry* object = selectedObject;
  if (!object) return;
  object->eraseOutline();
  removeObject(object);
  if (currentGroup == object) currentGroup = nullptr;
  clearSelection();
}

void ObjectList::setStageObject(Riser* riser) {
  if (riser && !contains(riser)) return;
  stageObject = riser;
  markChanged();
}

namespace {
void markWithMembers(ObjectEntry* o) {
  o->marked = 1;
  if (Group* g = o->asGroup())
    for (ObjectEntry* m : g->members()) markWithMembers(m);
}
}  // namespace

// Marks are display state, not edits: they ask for a redraw but count as no modification.
void ObjectList::markByHandle(int handle) {
  for (auto& o : list)
    if (o->fixtureHandle == handle) markWithMembers(o.get());
  changed = 1;
}

void ObjectList::clearMarks() {
  for (auto& o : list) o->marked = 0;
  changed = 1;
}

void ObjectList::buildPhase() {
  for (auto& o : list)
    if (o->isLight()) o->project();
  for (auto& o : list)
    if (!o->isLight()) o->project();
}

void ObjectList::projectPhase() {
  for (auto& o : list)
    if (o->isLight()) o->projectToPlane();
  for (auto& o : list)
    if (!o->isLight()) o->projectToPlane();
}

void ObjectList::drawPhase() {
  for (auto& o : list)
    if (!o->parentGroup && o.get() != selectedObject) o->drawOutline();
  if (selectedObject) selectedObject->drawOutline();
}

int ObjectList::findFreeDmxBase(const ObjectEntry& object) const {
  const int64_t n = object.channelCount;
  const int64_t size = dmxBufferSize();
  int64_t b = nextDmxAddress;
  if (b < 0 || b >= size) b = 0;
  int64_t c = b + n - 1;
  // Each conflict moves the block strictly forward, so the scan ends.
  for (bool conflict = n > 0; conflict;) {
    conflict = false;
    for (const auto& o : list) {
      if (o->dmxBase < 0 || o->channelCount <= 0) continue;
      const int64_t d = o->dmxBase;
      const int64_t e = d + o->channelCount - 1;
      if (d > c || e < b) continue;
      b = e + 1;
      c = e + n;
      if (floorDiv512(b) != floorDiv512(c)) {
        b = floorDiv512(c) * 512;
        c = b + n - 1;
      }
      conflict = true;
      break;
    }
  }
  if (b < 0 || b >= size || c >= size) return 0;
  return int(b);
}

void ObjectList::recomputeDmxAddress() {
  int64_t next = 0;
  for (const auto& o : list)
    if (o->dmxBase >= 0) next = std::max(next, int64_t(o->dmxBase) + o->channelCount);
  nextDmxAddress = int(std::min<int64_t>(next, INT32_MAX));
}

ObjectEntry* ObjectList::objectAtLoadIndex(int index) const {
  if (!loading) return at(index);
  return index >= 0 && index < int(loadSlots.size()) ? loadSlots[size_t(index)] : nullptr;
}

void ObjectList::load(Load& in) {
  changed = 1;
  loading = true;
  loadSlots.clear();
  for (auto& o : list) loadSlots.push_back(o.get());
  readSection(in, "ObjectList",
              {"defaultObject", "defaultRiser", "defaultTruss", "defaultMHLight", "defaultMMLight",
               "objectEntry", "riser", "object", "truss", "mhLight", "mmLight", "groupRef",
               "groupDef", "definesStage"},
              [&](int key) {
                switch (key) {
                  case 0:
                  case 1:
                    defaultRiser->load(in);
                    break;
                  case 2:
                    defaultTruss->load(in);
                    break;
                  case 3:
                    defaultMHLight->load(in);
                    break;
                  case 4:
                    defaultMMLight->load(in);
                    break;
                  case 5:
                  case 6:
                  case 7: {
                    Riser* r = newRiser();
                    loadSlots.push_back(r);
                    r->load(in);
                    break;
                  }
                  case 8: {
                    Truss* t = newTruss();
                    loadSlots.push_back(t);
                    t->load(in);
                    break;
                  }
                  case 9:
                  case 10: {
                    Riser* light = key == 9 ? static_cast<Riser*>(newMHLight())
                                            : static_cast<Riser*>(newMMLight());
                    loadSlots.push_back(light);
                    light->load(in);
                    break;
                  }
                  case 11:
                    loadSlots.push_back(newGroup());
                    break;
                  case 12: {
                    int index = -1;
                    if (!in.intAt(1, index)) break;
                    ObjectEntry* o = objectAtLoadIndex(index);
                    if (Group* g = o ? o->asGroup() : nullptr) {
                      g->load(in);
                    } else {
                      logWarning("Group definition %d names no group", index);
                      Group scratch(*this);
                      scratch.readGroupSection(in, false);
                    }
                    break;
                  }
                  case 13: {
                    int index = -1;
                    if (!in.intAt(1, index)) break;
                    ObjectEntry* o = objectAtLoadIndex(index);
                    if (Riser* r = o ? o->asRiser() : nullptr)
                      stageObject = r;
                    else
                      logWarning("Stage %d names no riser", index);
                    break;
                  }
                }
              });
  loading = false;
  loadSlots.clear();
}

void ObjectList::save(FILE* f, const std::string& prefix) {
  const char* p = prefix.c_str();
  const std::string child = prefix + "  ";
  fprintf(f, "%sObjectList\n", p);
  fprintf(f, "%s defaultRiser\n", p);
  defaultRiser->save(f, child);
  fprintf(f, "%s defaultTruss\n", p);
  defaultTruss->save(f, child);
  fprintf(f, "%s defaultMMLight\n", p);
  defaultMMLight->save(f, child);
  fprintf(f, "%s defaultMHLight\n", p);
  defaultMHLight->save(f, child);
  int n = 0;
  for (auto& o : list) o->listIndex = n++;
  for (auto& o : list) {
    const char* key = "object";
    switch (o->typeLetter) {
      case 'r':
        key = "riser";
        break;
      case 't':
        key = "truss";
        break;
      case 'h':
        key = "mhLight";
        break;
      case 'm':
        key = "mmLight";
        break;
      case 'g':
        key = "groupRef";
        break;
    }
    fprintf(f, "%s %s %d\n", p, key, o->listIndex);
    if (o->typeLetter != 'g') o->save(f, child);
  }
  if (stageObject && contains(stageObject))
    fprintf(f, "%s definesStage %d\n", p, stageObject->listIndex);
  for (auto& o : list) {
    if (!o->asGroup()) continue;
    fprintf(f, "%s groupDef %d\n", p, o->listIndex);
    o->save(f, child);
  }
}

}  // namespace lmv
