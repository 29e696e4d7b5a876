#include "model/group.h"

#include <algorithm>

#include "base/runlog.h"
#include "model/coordinates.h"
#include "model/load.h"
#include "model/objectactions.h"
#include "model/objectlist.h"
#include "model/undo.h"
#include "model/value.h"

namespace lmv {

Group::Group(ObjectList& l) : ObjectEntry(l, "Group") {
  typeLetter = 'g';
  channelCount = 12;
}

Group::~Group() {
  while (!memberList.empty()) leave(memberList.front(), false);
}

int Group::containsType(char letter) const {
  for (const ObjectEntry* m : memberList)
    if (m->typeLetter == letter || m->containsType(letter)) return 1;
  return 0;
}

void Group::drawOutline() {
  for (ObjectEntry* m : memberList) m->drawOutline();
}

void Group::eraseOutline() {
  for (ObjectEntry* m : memberList) m->eraseOutline();
}

int Group::hitTest(int pane, int x, int y) {
  for (ObjectEntry* m : memberList) {
    if (m->hitTest(pane, x, y)) {
      hitMember = m;
      return 1;
    }
  }
  return 0;
}

double Group::distanceTo(int pane, int x, int y) {
  return hitMember ? hitMember->distanceTo(pane, x, y) : ObjectEntry::distanceTo(pane, x, y);
}

void Group::screenPoint(int pane, int& x, int& y) {
  if (!hitMember || !hitMember->hitTest(pane, x, y)) {
    if (!hitTest(pane, x, y)) hitMember = memberList.empty() ? nullptr : memberList.front();
  }
  if (hitMember) hitMember->screenPoint(pane, x, y);
}

void Group::disablePatch() {
  unpatchPlacement();
}

void Group::setPatch(int base) {
  patchPlacement(base);
}

void Group::linkMember(ObjectEntry* object) {
  memberList.push_back(object);
  object->parentGroup = this;
}

void Group::unlinkMember(ObjectEntry* object) {
  auto it = std::find(memberList.begin(), memberList.end(), object);
  if (it == memberList.end()) return;
  memberList.erase(it);
  if (object->parentGroup == this) object->parentGroup = nullptr;
  if (principal == object) principal = nullptr;
  if (hitMember == object) hitMember = nullptr;
}

void Group::forget(ObjectEntry* object) {
  bool wasPrincipal = principal == object;
  unlinkMember(object);
  if (wasPrincipal) clearPrincipal();
}

void Group::refreshMembers() {
  for (ObjectEntry* m : memberList) m->refreshCache();
}

void Group::reapplyMembers() {
  for (ObjectEntry* m : memberList) m->reapplyCache();
}

int Group::addMember(ObjectEntry* object) {
  if (!object || object == this) return 0;
  if (object->parentGroup == this) return -1;
  if (object->parentGroup) return 0;
  // Only objects of the theatre, and never a group this one sits in (that would be a cycle).
  if (!object->linked || !linked) return 0;
  if (isInside(object->asGroup(), this)) return 0;

  object->refreshCache();
  linkMember(object);
  object->reapplyCache();
  if (object->typeLetter == 't' && !principal) setPrincipal(object);

  Undo& undo = list.undo();
  if (undo.wouldRecord())
    undo.record(std::make_unique<AddObjectToGroupAction>(*this, *object, principal == object));
  list.markChanged();
  return 1;
}

void Group::removeMember(ObjectEntry* object) {
  if (!object || object->parentGroup != this) return;
  leave(object, true);
  list.markChanged();
}

void Group::leave(ObjectEntry* object, bool record) {
  if (std::find(memberList.begin(), memberList.end(), object) == memberList.end()) {
    if (object->parentGroup == this) object->parentGroup = nullptr;
    return;
  }
  if (record) {
    Undo& undo = list.undo();
    if (undo.wouldRecord())
      undo.record(
          std::make_unique<DeleteObjectFromGroupAction>(*this, *object, principal == object));
  }
  object->refreshCache();
  if (principal == object) clearPrincipal();
  unlinkMember(object);
  object->reapplyCache();
}

void Group::dissolve() {
  while (!memberList.empty()) leave(memberList.front(), true);
  list.markChanged();
}

void Group::setPrincipal(ObjectEntry* member) {
  if (!member || member->parentGroup != this) return;
  refreshMembers();
  const Vec3 orientation = member->cachedWorldOrientation;
  const Vec3 position = member->cachedWorldPosition;
  setWorldOrientation(orientation);
  setWorldPosition(position);
  reapplyMembers();
  principal = member;
}

void Group::clearPrincipal() {
  refreshMembers();
  orient->set(0, 0, 0, true);
  principal = nullptr;
  reapplyMembers();
}

Group::Counts Group::countMembers() const {
  Counts c;
  for (const ObjectEntry* m : memberList) {
    switch (m->typeLetter) {
      case 'g':
        ++c.groups;
        break;
      case 'h':
      case 'm':
        ++c.lights;
        break;
      case 't':
        ++c.trusses;
        break;
      case 'r':
        ++c.risers;
        break;
    }
  }
  return c;
}

void Group::load(Load& in) {
  readGroupSection(in, true);
}

void Group::readGroupSection(Load& in, bool resolve) {
  // Read values become the bases: the group's placement is static, DMX adds to it.
  auto toBases = [](Coordinates& c) {
    for (Value* v : c.v) v->setValue(v->value, true);
  };
  int principalIndex = -1;
  bool principalGiven = false;
  readSection(in, "Group", {"posn", "orient", "list", "dmxBase", "principal", "locked"},
              [&](int key) {
                switch (key) {
                  case 0:
                    posn->load(in);
                    toBases(*posn);
                    break;
                  case 1:
                    orient->load(in);
                    toBases(*orient);
                    break;
                  case 2:
                    if (!in.nextLine()) break;
                    for (int i = 0; resolve && i < in.tokenCount(); ++i) {
                      int index = -1;
                      in.intAt(i, index);
                      ObjectEntry* o = index >= 0 ? list.objectAtLoadIndex(index) : nullptr;
                      if (!o) break;
                      if (o == this || o->parentGroup || isInside(o->asGroup(), this)) {
                        logWarning("Object %d cannot join group %d", index, listIndex);
                        continue;
                      }
                      linkMember(o);
                    }
                    break;
                  case 3:
                    readDmxBase(in);
                    break;
                  case 4:
                    principalGiven = readInt(in, principalIndex);
                    break;
                  case 5:
                    locked = 1;
                    break;
                }
              });
  if (resolve && principalGiven) {
    ObjectEntry* o = list.objectAtLoadIndex(principalIndex);
    if (o && o->parentGroup == this)
      principal = o;
    else
      logWarning("Principal %d is no member of its group", principalIndex);
  }
  if (dmxBase >= 0) setPatch(dmxBase);
}

void Group::save(FILE* f, const std::string& prefix) const {
  const char* p = prefix.c_str();
  const std::string child = prefix + "  ";
  fprintf(f, "%sGroup\n", p);
  if (dmxBase != -1) fprintf(f, "%s dmxBase\n%s  %d\n", p, p, dmxBase);
  fprintf(f, "%s posn\n", p);
  posn->save(f, child);
  fprintf(f, "%s orient\n", p);
  orient->save(f, child);
  fprintf(f, "%s list\n", p);
  fprintf(f, "%s ", p);
  for (const ObjectEntry* m : memberList) fprintf(f, " %d", m->listIndex);
  if (memberList.empty()) fprintf(f, " -1");
  fprintf(f, "\n");
  if (locked) fprintf(f, "%s locked\n", p);
  if (principal) fprintf(f, "%s principal\n%s  %d\n", p, p, principal->listIndex);
}

}  // namespace lmv
