#pragma once
// Undo actions of placed objects.
//
// Ownership rules:
// - 'O' (object added) and 'o' (object removed) hold the object as a plain pointer while it is
//   in the object list and as a unique_ptr while it is out of it (undone addition, done
//   removal). An action dropped in that state destroys the object through its virtual
//   destructor; the object's values only leave the value list, which owns them.
// - 'G' and 'g' (membership) hold plain pointers to a group and an object. Both outlive the
//   action's use: an object is destroyed only when an action that created it is dropped as
//   undone, and every action that mentions it came later and is dropped with it; otherwise
//   objects die with the theatre, after which no action is replayed.
// - Membership actions only link and unlink: the position changes that went with the group
//   change were recorded as value changes in the same step and restore the placement exactly.
// - 'p' exchanges a light's personality name with the copy taken when it was recorded.
#include <memory>
#include <string>

#include "model/undo.h"

namespace lmv {

class Group;
class ObjectEntry;
class ObjectList;

class AddObjectAction : public EditAction {
 public:
  AddObjectAction(ObjectList& list, ObjectEntry* object);
  ~AddObjectAction() override;
  void undo() override;
  void redo() override;
  char subjectLetter() const override { return letter; }

 private:
  ObjectList& list;
  ObjectEntry* object;
  std::unique_ptr<ObjectEntry> owned;
  char letter;
  bool wasStage = false;
};

class DeleteObjectAction : public EditAction {
 public:
  // Takes the removed object; wasStage restores the stage when the removal is undone.
  DeleteObjectAction(ObjectList& list, std::unique_ptr<ObjectEntry> object, bool wasStage);
  ~DeleteObjectAction() override;
  void undo() override;
  void redo() override;
  char subjectLetter() const override { return letter; }

 private:
  ObjectList& list;
  ObjectEntry* object;
  std::unique_ptr<ObjectEntry> owned;
  char letter;
  bool wasStage;
};

// Membership changes: only the links and the principal pointer are restored.
class GroupMemberAction : public EditAction {
 public:
  char subjectLetter() const override { return letter; }

 protected:
  // principal: the object was the group's principal after joining or before leaving.
  GroupMemberAction(char code, Group& group, ObjectEntry& object, bool principal);
  void join();
  void leave();

 private:
  Group& group;
  ObjectEntry& object;
  bool principal;
  char letter;
};

class AddObjectToGroupAction : public GroupMemberAction {
 public:
  AddObjectToGroupAction(Group& group, ObjectEntry& object, bool principal)
      : GroupMemberAction('G', group, object, principal) {}
  void undo() override { leave(); }
  void redo() override { join(); }
};

class DeleteObjectFromGroupAction : public GroupMemberAction {
 public:
  DeleteObjectFromGroupAction(Group& group, ObjectEntry& object, bool principal)
      : GroupMemberAction('g', group, object, principal) {}
  void undo() override { join(); }
  void redo() override { leave(); }
};

class SetPersonalityAction : public EditAction {
 public:
  // personality: the light's name field, which outlives the action like the light itself.
  explicit SetPersonalityAction(std::string& personality);
  void undo() override { personality.swap(copy); }
  void redo() override { personality.swap(copy); }

 private:
  std::string& personality;
  std::string copy;
};

}  // namespace lmv
