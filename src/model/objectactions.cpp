#include "model/objectactions.h"

#include "model/group.h"
#include "model/objectlist.h"
#include "model/riser.h"

namespace lmv {

AddObjectAction::AddObjectAction(ObjectList& l, ObjectEntry* o)
    : EditAction('O'), list(l), object(o), letter(o->typeLetter) {}

AddObjectAction::~AddObjectAction() = default;

void AddObjectAction::undo() {
  wasStage = list.stageObject && list.stageObject == object;
  owned = list.unlink(object);
}

void AddObjectAction::redo() {
  list.relink(std::move(owned));
  if (wasStage) list.stageObject = object->asRiser();
}

DeleteObjectAction::DeleteObjectAction(ObjectList& l, std::unique_ptr<ObjectEntry> o, bool stage)
    : EditAction('o'),
      list(l),
      object(o.get()),
      owned(std::move(o)),
      letter(object->typeLetter),
      wasStage(stage) {}

DeleteObjectAction::~DeleteObjectAction() = default;

void DeleteObjectAction::undo() {
  list.relink(std::move(owned));
  if (wasStage) list.stageObject = object->asRiser();
}

void DeleteObjectAction::redo() {
  owned = list.unlink(object);
}

GroupMemberAction::GroupMemberAction(char code, Group& g, ObjectEntry& o, bool p)
    : EditAction(code), group(g), object(o), principal(p), letter(o.typeLetter) {}

void GroupMemberAction::join() {
  if (object.parentGroup) return;
  group.linkMember(&object);
  if (principal) group.principal = &object;
}

void GroupMemberAction::leave() {
  group.unlinkMember(&object);
}

SetPersonalityAction::SetPersonalityAction(std::string& p)
    : EditAction('p'), personality(p), copy(p) {}

}  // namespace lmv
