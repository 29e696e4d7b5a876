#pragma once
// Everything placed in the theatre, in list order, with one default object per kind that new
// objects copy from (saved with the theatre), the stage riser and the design-mode pick state.
//
// Ownership: the list owns its linked objects. Unlinking hands the object out as a unique_ptr
// (to the undo action that recorded the removal, or to nobody when nothing is recorded, which
// destroys it); relinking takes it back. Every pointer the list keeps besides (selection,
// current group, stage) is cleared when its object is unlinked, so none can dangle.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "geometry/vector3.h"
#include "model/alloccounter.h"

namespace lmv {

class FixtureList;
class GoboList;
class Group;
class Load;
class MHLight;
class MMLight;
class ObjectEntry;
class Riser;
class Theatre;
class Truss;
class Undo;
class ValueList;

// The first DMX channel to try for a new object (one per program): set by the property
// dialogs, recomputed by the undo history.
extern int nextDmxAddress;

class ObjectList : public AllocCounter {
 public:
  // The libraries lights are built with (the gobo list sizes a beam's gobo decoding, the
  // fixture index gives personalities); either may be null, and both must outlive the list.
  explicit ObjectList(Theatre& theatre, const GoboList* gobos = nullptr,
                      FixtureList* fixtures = nullptr);
  ~ObjectList();
  ObjectList(const ObjectList&) = delete;
  ObjectList& operator=(const ObjectList&) = delete;

  Theatre& theatre;
  const GoboList* const gobos;
  FixtureList* const fixtures;

  std::unique_ptr<Riser> defaultRiser;
  std::unique_ptr<Truss> defaultTruss;
  std::unique_ptr<MHLight> defaultMHLight;
  std::unique_ptr<MMLight> defaultMMLight;

  Riser* stageObject = nullptr;  // key "definesStage"
  int changed = 0;

  // Pick state of design-mode editing.
  ObjectEntry* selectedObject = nullptr;
  int selectedIndex = -1;
  int pickPane = -1;
  int pickPoint[2] = {-1, -1};
  Group* currentGroup = nullptr;

  const std::vector<std::unique_ptr<ObjectEntry>>& objects() const { return list; }
  int count() const { return int(list.size()); }
  ObjectEntry* at(int i) const;
  int indexOf(const ObjectEntry* object) const;
  bool contains(const ObjectEntry* object) const;

  // New objects take size, colours, placement and patching from their default object,
  // auto-butt, and are recorded for undo.
  Riser* newRiser();
  Truss* newTruss();
  MHLight* newMHLight();
  MMLight* newMMLight();
  Group* newGroup();
  // Appends a freshly built object and gives it what `def` holds (face colours, world
  // position, size, world orientation); then auto-butt, changed mark and the undo record.
  ObjectEntry* addFromDefault(std::unique_ptr<Riser> object, const Riser* def, char letter);
  // The patch a new riser or truss takes from its default object.
  void patchFromDefault(Riser& object, const Riser* def);

  // Takes the object out of the theatre; the undo step owns it from then on.
  void removeObject(ObjectEntry* object);
  void deleteSelected();
  void clearSelection();
  void setStageObject(Riser* riser);

  // Without recording (undo and redo).
  std::unique_ptr<ObjectEntry> unlink(ObjectEntry* object);
  void relink(std::unique_ptr<ObjectEntry> object);

  void markByHandle(int handle);
  void clearMarks();

  // Design-mode picking (objectpick.cpp): pane pixels, as last fitted. Each sets `changed`
  // and returns the selected object, or null when the selection ended up cleared. skipType
  // is a type letter left out, 0 for none.
  // The selected object stays when it is hit (and not skipped for its lock); else pickBest.
  // With autoCenterObject the recorded point moves to the object's screen point.
  ObjectEntry* pick(int pane, int x, int y, bool skipLocked, char skipType = 0);
  // The nearest hit object in no group (earliest on ties).
  ObjectEntry* pickBest(int pane, int x, int y, bool skipLocked, char skipType = 0);
  ObjectEntry* pickNonTruss(int pane, int x, int y, bool skipLocked);
  // The first member of the current group hit at the point.
  ObjectEntry* pickInCurrentGroup(int pane, int x, int y);
  // The next object hit at the recorded pane and point after the selected one.
  ObjectEntry* pickNext();
  // Objects of one type letter in list order, wrapping; pane 0.
  ObjectEntry* selectFirstOfKind(char letter);
  ObjectEntry* selectNextOfKind(char letter);
  // Selects an object of the list (null clears the selection).
  void select(ObjectEntry* object);
  // A selected group becomes the current group; other kinds leave it.
  void makeSelectedCurrentGroup();
  // Adds the selected object to the current group, or takes it out if it is a member.
  void toggleSelectedInCurrentGroup();
  void removeSelectedFromCurrentGroup();

  // Frame phases: lights first, then every other object.
  void buildPhase();
  void projectPhase();
  // Outlines of every object in no group, the selected object last.
  void drawPhase();

  int findFreeDmxBase(const ObjectEntry& object) const;
  // nextDmxAddress = the end of the highest patched block (0 when nothing is patched).
  void recomputeDmxAddress();

  void markChanged();
  bool isChanged() const { return changed != 0; }
  void clearChanged() { changed = 0; }

  void load(Load& in);
  void save(FILE* f, const std::string& prefix);

  // File indices name objects in list order; while a section is read they are looked up in
  // the order objects were read, so skipped sections keep their place.
  ObjectEntry* objectAtLoadIndex(int index) const;

  // What objects need of the theatre around them.
  ValueList& values() const;
  Undo& undo() const;
  IVec3 wallSize() const;
  int dmxBufferSize() const;

 private:
  void recordAdd(ObjectEntry* object);
  Group* readGroupRef();
  void setSelection(ObjectEntry* object);
  void recordPick(int pane, int x, int y);
  // The selected object if it stays at the point, else the best candidate (or none).
  ObjectEntry* keepOrBest(int pane, int x, int y, bool skipLocked, char skipType);
  ObjectEntry* best(int pane, int x, int y, bool skipLocked, char skipType);

  std::vector<std::unique_ptr<ObjectEntry>> list;
  std::vector<ObjectEntry*> loadSlots;
  bool loading = false;
};

}  // namespace lmv
