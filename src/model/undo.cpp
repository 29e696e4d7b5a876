#include "model/undo.h"

#include "model/value.h"

namespace lmv {

namespace {

class ChangeValueAction : public EditAction {
 public:
  explicit ChangeValueAction(Value& v) : EditAction('v'), value(v) { copy.copyFrom(v); }
  void undo() override { value.swapWith(copy); }
  void redo() override { value.swapWith(copy); }
  char subjectLetter() const override { return 'v'; }
  const Value* changedValue() const override { return &value; }

 private:
  Value& value;
  Value copy;  // private, in no list
};

class LinkValueAction : public EditAction {
 public:
  // added: the value was created (undo unlinks it); otherwise it was removed (undo relinks).
  LinkValueAction(ValueList& l, Value& v, bool added)
      : EditAction(added ? 'A' : 'a'), list(l), value(v), added(added) {}
  void undo() override { added ? list.unlink(&value) : list.relink(&value); }
  void redo() override { added ? list.relink(&value) : list.unlink(&value); }

 private:
  ValueList& list;
  Value& value;
  bool added;
};

}  // namespace

Undo::Undo(UndoHost* h, ValueList& v) : AllocCounter("Undo"), host(h), values(v) {}

Undo::~Undo() {
  busy = 1;
  // Oldest first, and each one gone before the next is destroyed.
  for (auto& a : actions) a.reset();
}

void Undo::beginStep() {
  nextStartsStep = 1;
  if (cursor + 1 < int(actions.size()) && host) host->recomputeDmxAddress();
}

bool Undo::wouldRecord() {
  if (!recording || busy) return false;
  dropRedo();
  return true;
}

void Undo::dropRedo() {
  if (cursor + 1 >= int(actions.size())) return;
  ++busy;
  // Dropped actions may destroy objects, whose removals must not be recorded.
  while (int(actions.size()) > cursor + 1) {
    std::unique_ptr<EditAction> gone = std::move(actions.back());
    actions.pop_back();
    gone.reset();
  }
  --busy;
  if (host) host->recomputeDmxAddress();
}

void Undo::append(std::unique_ptr<EditAction> action) {
  action->stepStart = nextStartsStep;
  nextStartsStep = 0;
  actions.push_back(std::move(action));
  cursor = int(actions.size()) - 1;
  if (host) host->markChanged();
}

void Undo::valueAboutToChange(Value& v) {
  if (!wouldRecord()) return;
  if (cursor >= 0 && actions[size_t(cursor)]->changedValue() == &v) return;
  ++busy;
  auto action = std::make_unique<ChangeValueAction>(v);
  --busy;
  append(std::move(action));
}

void Undo::valueAdded(Value& v) {
  if (!wouldRecord()) return;
  if (cursor >= 0 && actions[size_t(cursor)]->changedValue() == &v) return;
  append(std::make_unique<LinkValueAction>(values, v, true));
}

void Undo::valueRemoved(Value& v) {
  if (!wouldRecord()) return;
  if (cursor >= 0 && actions[size_t(cursor)]->changedValue() == &v) return;
  append(std::make_unique<LinkValueAction>(values, v, false));
}

void Undo::record(std::unique_ptr<EditAction> action) {
  if (!wouldRecord()) return;
  append(std::move(action));
}

int Undo::undoStep() {
  if (cursor < 0) return 0;
  ++busy;
  EditAction* a = nullptr;
  do {
    a = actions[size_t(cursor)].get();
    a->undo();
    --cursor;
  } while (cursor >= 0 && !a->stepStart);
  if (host) host->markChanged();
  --busy;
  return a->code * 256 + a->subjectLetter();
}

int Undo::redoStep() {
  if (cursor + 1 >= int(actions.size())) return 0;
  ++busy;
  EditAction* a = nullptr;
  do {
    a = actions[size_t(cursor + 1)].get();
    a->redo();
    ++cursor;
  } while (cursor + 1 < int(actions.size()) && !actions[size_t(cursor + 1)]->stepStart);
  if (host) host->markChanged();
  --busy;
  return a->code * 256 + a->subjectLetter();
}

}  // namespace lmv
