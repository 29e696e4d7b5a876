// Design-mode picking on the object list: which object is selected and under which pane
// point. Hit tests and distances are the objects' own (their pixel extents as last fitted).
#include "model/group.h"
#include "model/objectentry.h"
#include "model/objectlist.h"
#include "model/theatre.h"

namespace lmv {

void ObjectList::setSelection(ObjectEntry* object) {
  selectedObject = object;
  selectedIndex = object ? indexOf(object) : -1;
}

void ObjectList::recordPick(int pane, int x, int y) {
  pickPane = pane;
  pickPoint[0] = x;
  pickPoint[1] = y;
  changed = 1;
}

ObjectEntry* ObjectList::best(int pane, int x, int y, bool skipLocked, char skipType) {
  ObjectEntry* found = nullptr;
  double nearest = 0;
  for (auto& entry : list) {
    ObjectEntry* o = entry.get();
    if (o->parentGroup || (skipType && o->typeLetter == skipType)) continue;
    if (skipLocked && o->locked) continue;
    if (!o->hitTest(pane, x, y)) continue;
    // A group is hit through one of its members, which must not be of the skipped kind.
    if (Group* g = o->asGroup();
        g && skipType && g->hitMember && g->hitMember->typeLetter == skipType)
      continue;
    const double d = o->distanceTo(pane, x, y);
    if (!found || d < nearest) {
      found = o;
      nearest = d;
    }
  }
  if (found)
    setSelection(found);
  else
    clearSelection();
  return found;
}

ObjectEntry* ObjectList::keepOrBest(int pane, int x, int y, bool skipLocked, char skipType) {
  ObjectEntry* s = selectedObject;
  if (s && indexOf(s) >= 0 && !(skipLocked && s->locked) && s->hitTest(pane, x, y)) {
    setSelection(s);  // its index may have moved since it was selected
    return s;
  }
  return best(pane, x, y, skipLocked, skipType);
}

ObjectEntry* ObjectList::pick(int pane, int x, int y, bool skipLocked, char skipType) {
  ObjectEntry* o = keepOrBest(pane, x, y, skipLocked, skipType);
  if (o && theatre.autoCenterObject) o->screenPoint(pane, x, y);
  recordPick(pane, x, y);
  return o;
}

ObjectEntry* ObjectList::pickBest(int pane, int x, int y, bool skipLocked, char skipType) {
  ObjectEntry* o = best(pane, x, y, skipLocked, skipType);
  recordPick(pane, x, y);
  return o;
}

ObjectEntry* ObjectList::pickNonTruss(int pane, int x, int y, bool skipLocked) {
  ObjectEntry* o = keepOrBest(pane, x, y, skipLocked, 't');
  // A truss that was selected before stays through keepOrBest; look past it.
  if (o && o->typeLetter == 't') o = best(pane, x, y, skipLocked, 't');
  if (o && theatre.autoCenterObject) o->screenPoint(pane, x, y);
  recordPick(pane, x, y);
  return o;
}

ObjectEntry* ObjectList::pickInCurrentGroup(int pane, int x, int y) {
  ObjectEntry* found = nullptr;
  if (currentGroup) {
    for (auto& entry : list) {
      if (entry->parentGroup == currentGroup && entry->hitTest(pane, x, y)) {
        found = entry.get();
        break;
      }
    }
  }
  setSelection(found);
  recordPick(pane, x, y);
  return found;
}

ObjectEntry* ObjectList::pickNext() {
  const int pane = pickPane;
  const int x = pickPoint[0];
  const int y = pickPoint[1];
  ObjectEntry* found = nullptr;
  const int from = selectedObject ? indexOf(selectedObject) + 1 : 0;
  for (int i = from; i < count() && !found; ++i)
    if (list[size_t(i)]->hitTest(pane, x, y)) found = list[size_t(i)].get();
  for (int i = 0; i < count() && !found; ++i)
    if (!list[size_t(i)]->parentGroup && list[size_t(i)]->hitTest(pane, x, y))
      found = list[size_t(i)].get();
  // The recorded point stays, so that further calls keep cycling there.
  setSelection(found);
  changed = 1;
  return found;
}

ObjectEntry* ObjectList::selectFirstOfKind(char letter) {
  for (auto& entry : list) {
    if (entry->typeLetter != letter) continue;
    setSelection(entry.get());
    pickPane = 0;
    changed = 1;
    return entry.get();
  }
  clearSelection();
  changed = 1;
  return nullptr;
}

ObjectEntry* ObjectList::selectNextOfKind(char letter) {
  const int n = count();
  const int from = selectedObject ? indexOf(selectedObject) + 1 : 0;
  // From the object after the selected one round to the selected one itself.
  for (int k = 0; k < n; ++k) {
    ObjectEntry* o = list[size_t((from + k) % n)].get();
    if (o->typeLetter != letter) continue;
    setSelection(o);
    pickPane = 0;
    changed = 1;
    return o;
  }
  clearSelection();
  changed = 1;
  return nullptr;
}

void ObjectList::select(ObjectEntry* object) {
  if (object && indexOf(object) < 0) return;
  if (object)
    setSelection(object);
  else
    clearSelection();
  changed = 1;
}

void ObjectList::makeSelectedCurrentGroup() {
  if (Group* g = selectedObject ? selectedObject->asGroup() : nullptr) currentGroup = g;
  changed = 1;
}

void ObjectList::toggleSelectedInCurrentGroup() {
  if (selectedObject && currentGroup && currentGroup->addMember(selectedObject) == -1)
    currentGroup->removeMember(selectedObject);
  changed = 1;
}

void ObjectList::removeSelectedFromCurrentGroup() {
  if (selectedObject && currentGroup) currentGroup->removeMember(selectedObject);
  changed = 1;
}

}  // namespace lmv
