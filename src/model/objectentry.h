#pragma once
// A placed object: position and orientation as DMX-drivable coordinates, an optional DMX patch
// of `channelCount` channels from `dmxBase`, and membership of at most one group (positions are
// then relative to the group's frame). The virtual operations are the table every kind of
// object shares; the drawing and projection slots stay empty here and are filled by the
// kinds that have a body.
//
// Ownership: while linked, an object belongs to its ObjectList; while unlinked it belongs to
// the undo action that took it out (see objectactions.h). Destructors never touch the list:
// at teardown the list is gone before the undo history destroys what it still owns.
#include <cstdio>
#include <memory>
#include <string>

#include "geometry/vector3.h"
#include "model/alloccounter.h"

namespace lmv {

class Coordinates;
class Group;
class Load;
class ObjectList;
class Represent;
class Riser;

class ObjectEntry : public AllocCounter {
 public:
  explicit ObjectEntry(ObjectList& list, const char* className = "ObjectEntry");
  virtual ~ObjectEntry();
  ObjectEntry(const ObjectEntry&) = delete;
  ObjectEntry& operator=(const ObjectEntry&) = delete;

  // The shared table of operations.
  virtual int containsType(char letter) const;
  virtual void drawOutline() {}
  virtual void eraseOutline() {}
  virtual void load(Load& in);
  virtual void save(FILE* f, const std::string& prefix) const;
  virtual int hitTest(int pane, int x, int y);
  virtual double distanceTo(int pane, int x, int y);
  virtual void screenPoint(int pane, int& x, int& y);
  virtual void project() {}
  virtual void reproject() {}
  virtual void projectToPlane() {}
  virtual void projectIfChanged() {}
  virtual void disablePatch() {}
  virtual void setPatch(int /*base*/) {}

  // The outline built for a pane, or null (groups, plain entries, panes not built yet).
  virtual Represent* representation(int /*pane*/) const { return nullptr; }

  virtual Riser* asRiser() { return nullptr; }
  virtual Group* asGroup() { return nullptr; }
  const Riser* asRiser() const { return const_cast<ObjectEntry*>(this)->asRiser(); }
  const Group* asGroup() const { return const_cast<ObjectEntry*>(this)->asGroup(); }

  std::unique_ptr<Coordinates> posn;    // relative to the group frame when in a group
  std::unique_ptr<Coordinates> orient;  // degrees, rotation order (x, z, y)
  Vec3 cachedWorldPosition;             // kept across group changes (refresh / reapply)
  Vec3 cachedWorldOrientation;
  char typeLetter = 'o';
  int listIndex = -1;  // assigned when the list is saved; file references use it
  int dmxBase = -1;    // -1 not patched, -2 patched without an address
  int channelCount = 0;
  Group* parentGroup = nullptr;
  int fixtureHandle = -1;
  int locked = 0;
  int marked = 0;
  bool linked = false;  // in the object list (kept by the list)

  // Real objects have a body: everything but plain entries and groups.
  bool isReal() const { return typeLetter != 'o' && typeLetter != 'g'; }
  bool isLight() const { return typeLetter == 'l' || typeLetter == 'h' || typeLetter == 'm'; }

  // World placement, composed up through the groups.
  Vec3 worldPosition() const;
  Vec3 worldOrientation() const;
  IVec3 worldPositionInt() const { return roundToInt(worldPosition()); }
  IVec3 worldOrientationInt() const { return roundToInt(worldOrientation()); }
  // A group's principal makes its group adopt the new frame afterwards.
  void setWorldPosition(const Vec3& p);
  void setWorldPosition(int x, int y, int z);
  void setWorldOrientation(const Vec3& a);
  void setWorldOrientation(int x, int y, int z);

  void refreshCache();
  // Puts the object back at its cached world placement (no principal re-framing).
  void reapplyCache();

  // The drawing colour of the object's role (selection, kind), as r, g, b.
  void roleColor(int out[3]) const;

  ObjectList& objectList() const { return list; }

 protected:
  void placeWorldPosition(const Vec3& p);
  void placeWorldOrientation(const Vec3& a);
  // Position and orientation values get their DMX base (enabling them) or lose DMX.
  void patchPlacement(int base);
  void unpatchPlacement();
  // Key lines shared by the sections of every kind.
  void readDmxBase(Load& in);

  ObjectList& list;
};

// Whether object sits inside group, following parentGroup links upward.
bool isInside(const Group* group, const ObjectEntry* object);

}  // namespace lmv
