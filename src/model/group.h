#pragma once
// A group gives its members a common frame: members store placement relative to the group's
// world position and orientation. The group's own position lives in its values' bases, so DMX
// moves it on top of where it was placed. With a principal member the group's frame is that
// member's world frame. Every membership or principal change keeps every object's world
// placement (refresh cache, change, reapply).
//
// Members are plain pointers to objects owned by the object list; an object leaves its group
// before it is unlinked or destroyed, and a group is dissolved before it is, so a member list
// never holds an object outside the list.
#include <vector>

#include "model/objectentry.h"

namespace lmv {

class Group : public ObjectEntry {
 public:
  explicit Group(ObjectList& list);
  // Dissolves the group: every member leaves, keeping its world placement.
  ~Group() override;

  int containsType(char letter) const override;
  void drawOutline() override;
  void eraseOutline() override;
  void load(Load& in) override;
  void save(FILE* f, const std::string& prefix) const override;
  int hitTest(int pane, int x, int y) override;
  double distanceTo(int pane, int x, int y) override;
  void screenPoint(int pane, int& x, int& y) override;
  void disablePatch() override;
  void setPatch(int base) override;
  Group* asGroup() override { return this; }

  const std::vector<ObjectEntry*>& members() const { return memberList; }
  ObjectEntry* principal = nullptr;
  ObjectEntry* hitMember = nullptr;

  // 1 added; 0 refused (the group itself, a member of another group, an enclosing group, an
  // object outside the list); -1 already a member. Records the change for undo.
  int addMember(ObjectEntry* object);
  // Records the change for undo; nothing happens for an object that is no member.
  void removeMember(ObjectEntry* object);
  // Every member leaves (recorded).
  void dissolve();
  void setPrincipal(ObjectEntry* member);
  void clearPrincipal();

  struct Counts {
    int groups = 0, lights = 0, trusses = 0, risers = 0;
  };
  Counts countMembers() const;

  // Membership links alone, without re-framing or recording (undo, redo and file reading).
  void linkMember(ObjectEntry* object);
  void unlinkMember(ObjectEntry* object);
  // The object is being destroyed: it leaves without being re-placed or recorded.
  void forget(ObjectEntry* object);
  // The Group section; without resolve, member and principal indices are read and dropped.
  void readGroupSection(Load& in, bool resolve);

 private:
  void leave(ObjectEntry* object, bool record);
  void refreshMembers();
  void reapplyMembers();

  std::vector<ObjectEntry*> memberList;
};

}  // namespace lmv
