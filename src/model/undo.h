#pragma once
// The undo history of a theatre: actions recorded by the model's own operations, grouped into
// user steps by beginStep().
//
// Ownership: values are owned by the theatre's ValueList for the theatre's lifetime, so value
// actions hold plain pointers and only link or unlink. A ChangeValueAction owns its private
// copy. Object actions own the removed object (through unique_ptr) while it is out of the
// object list, and destroy it when they are dropped; nothing is recorded while actions are
// being dropped or undone.
#include <memory>
#include <vector>

#include "model/alloccounter.h"

namespace lmv {

class Value;
class ValueList;

class EditAction : public AllocCounter {
 public:
  explicit EditAction(char code) : AllocCounter("EditAction"), code(code) {}
  virtual ~EditAction() = default;
  virtual void undo() = 0;
  virtual void redo() = 0;
  virtual char subjectLetter() const { return 0; }
  // The value a ChangeValueAction watches, for coalescing runs of edits.
  virtual const Value* changedValue() const { return nullptr; }

  char code;
  int stepStart = 0;
};

// What the history needs of the theatre around it.
class UndoHost {
 public:
  virtual ~UndoHost() = default;
  virtual void markChanged() = 0;
  // The object list's next free DMX address may have changed.
  virtual void recomputeDmxAddress() = 0;
};

class Undo : public AllocCounter {
 public:
  Undo(UndoHost* host, ValueList& values);
  ~Undo();
  Undo(const Undo&) = delete;
  Undo& operator=(const Undo&) = delete;

  void enableRecording() { recording = 1; }
  bool isRecording() const { return recording && !busy; }
  void beginStep();

  void valueAboutToChange(Value& v);
  void valueAdded(Value& v);
  void valueRemoved(Value& v);
  // Records an action built by the caller (object actions); ignored when not recording.
  void record(std::unique_ptr<EditAction> action);
  // Whether a record() call would be taken now; callers skip building the action otherwise.
  bool wouldRecord();

  // Each returns code * 256 + subject letter of the action that ends the step, 0 if nothing.
  int undoStep();
  int redoStep();
  void dropRedo();

  int actionCount() const { return int(actions.size()); }
  const EditAction* action(int i) const { return actions[size_t(i)].get(); }
  // Index of the last done action, -1 before the first.
  int cursorIndex() const { return cursor; }

 private:
  void append(std::unique_ptr<EditAction> action);

  UndoHost* host;
  ValueList& values;
  std::vector<std::unique_ptr<EditAction>> actions;
  int cursor = -1;
  int busy = 0;
  int recording = 0;
  int nextStartsStep = 0;
};

}  // namespace lmv
