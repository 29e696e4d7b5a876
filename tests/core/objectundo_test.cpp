// Undo and redo of object edits: additions, removals, moves and group changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "model/objectactions.h"
#include "objectutil.h"

using namespace lmv;
using test::objects;

namespace {

// Two risers and a truss read from a file, so the history starts empty.
const char* kThreeObjects =
    "Theatre\ncontent\nContent\nobjectList\nObjectList\n"
    "riser 0\nObjectEntry\nfixtureHandle\n1\nposn\nCoordinates\nvalue 0\nValue\nvalueBuffer\n"
    "200.0\nvalue 1\nValue\nvalueBuffer\n5.0\nvalue 2\nValue\nvalueBuffer\n100.0\n"
    "riser 1\nObjectEntry\nfixtureHandle\n2\nposn\nCoordinates\nvalue 0\nValue\nvalueBuffer\n"
    "600.0\n"
    "truss 2\nObjectEntry\nfixtureHandle\n3\norient\nCoordinates\nvalue 0\nValue\nvalueBuffer\n"
    "0.0\nvalue 1\nValue\nvalueBuffer\n30.0\n";

struct ObjectState {
  bool linked = false;
  std::vector<double> posn, orient, size;
  const ObjectEntry* parent = nullptr;
  const ObjectEntry* principal = nullptr;
  std::vector<const ObjectEntry*> members;  // sorted: re-joining appends

  bool operator==(const ObjectState& o) const {
    if (linked != o.linked) return false;
    if (!linked) return true;  // an object out of the theatre is compared by presence only
    return posn == o.posn && orient == o.orient && size == o.size && parent == o.parent &&
           principal == o.principal && members == o.members;
  }
};

struct Snapshot {
  std::map<const ObjectEntry*, ObjectState> objects;
  std::vector<const ObjectEntry*> linkedSorted;
  const Riser* stage = nullptr;
};

Snapshot snapshot(ObjectList& list, const std::vector<ObjectEntry*>& tracked) {
  Snapshot s;
  for (ObjectEntry* o : tracked) {
    ObjectState st;
    st.linked = list.contains(o);
    st.posn = test::raw(*o->posn);
    st.orient = test::raw(*o->orient);
    if (Riser* r = o->asRiser()) st.size = test::raw(*r->size);
    st.parent = o->parentGroup;
    if (Group* g = o->asGroup()) {
      st.principal = g->principal;
      st.members.assign(g->members().begin(), g->members().end());
      std::sort(st.members.begin(), st.members.end());
    }
    s.objects[o] = st;
  }
  for (const auto& o : list.objects()) s.linkedSorted.push_back(o.get());
  std::sort(s.linkedSorted.begin(), s.linkedSorted.end());
  s.stage = list.stageObject;
  return s;
}

void expectSame(const Snapshot& expected, const Snapshot& actual) {
  EXPECT_EQ(expected.linkedSorted, actual.linkedSorted);
  EXPECT_EQ(expected.stage, actual.stage);
  for (const auto& [object, state] : expected.objects) {
    SCOPED_TRACE(object->typeLetter);
    EXPECT_TRUE(state == actual.objects.at(object));
  }
}

TEST(ObjectUndo, MoveThenAddTrussUndoesStepByStep) {
  Theatre t;
  ASSERT_TRUE(test::loadTheatre(t, kThreeObjects));
  ObjectList& list = objects(t);
  Riser* riser = list.at(0)->asRiser();
  const int valuesBefore = t.valueList.values.size();

  t.undo->beginStep();
  riser->setWorldPosition(Vec3{300, 5, 120});
  t.undo->beginStep();
  Truss* truss = list.newTruss();
  ASSERT_EQ(list.count(), 4);

  EXPECT_EQ(t.undo->undoStep(), 'A' * 256);
  EXPECT_EQ(list.count(), 3);
  EXPECT_FALSE(list.contains(truss));
  EXPECT_EQ(t.valueList.values.size(), valuesBefore);  // its values left with it
  EXPECT_EQ(t.undo->undoStep(), 'v' * 256 + 'v');
  EXPECT_TRUE(test::nearVec({200, 5, 100}, riser->worldPosition(), 0));
  EXPECT_EQ(t.undo->undoStep(), 0);

  // Redo starts with the first recorded action again.
  EXPECT_EQ(t.undo->redoStep(), 'v' * 256 + 'v');
  EXPECT_TRUE(test::nearVec({300, 5, 120}, riser->worldPosition(), 0));
  EXPECT_EQ(t.undo->redoStep(), 'O' * 256 + 't');
  EXPECT_EQ(list.at(3), truss);
  EXPECT_EQ(t.undo->redoStep(), 0);
}

// A step that only edits the value the previous step edited last is still a step of its own.
TEST(ObjectUndo, EveryStepUndoesAlone) {
  Theatre t;
  ASSERT_TRUE(test::loadTheatre(t, kThreeObjects));
  Riser* riser = objects(t).at(0)->asRiser();
  t.undo->beginStep();
  riser->setAutoButt(1);
  t.undo->beginStep();
  riser->setAutoButt(0);
  EXPECT_EQ(t.undo->undoStep(), 'v' * 256 + 'v');
  EXPECT_EQ(riser->getAutoButt(), 1);
  EXPECT_EQ(t.undo->undoStep(), 'v' * 256 + 'v');
  EXPECT_EQ(riser->getAutoButt(), 0);
}

TEST(ObjectUndo, EditsUndoAndRedoToTheExactModel) {
  Theatre t;
  ASSERT_TRUE(test::loadTheatre(t, kThreeObjects));
  ObjectList& list = objects(t);
  Riser* r1 = list.at(0)->asRiser();
  Riser* r2 = list.at(1)->asRiser();
  ObjectEntry* truss = list.at(2);
  list.setStageObject(r2);
  Group* group = nullptr;
  Truss* extra = nullptr;
  std::vector<ObjectEntry*> tracked = {r1, r2, truss};

  struct Step {
    const char* name;
    std::function<void()> run;
    int undoResult;
  };
  const std::vector<Step> steps = {
      {"new group",
       [&] {
         group = list.newGroup();
         tracked.push_back(group);
       },
       'A' * 256},
      {"principal truss joins", [&] { group->addMember(truss); }, 'v' * 256 + 'v'},
      {"riser joins", [&] { group->addMember(r1); }, 'v' * 256 + 'v'},
      {"group moved and turned",
       [&] {
         group->setWorldPosition(Vec3{420, 60, 210});
         group->setWorldOrientation(Vec3{0, -35, 5});
       },
       'v' * 256 + 'v'},
      {"stage riser moved",
       [&] {
         r2->setWorldPosition(Vec3{610, 0, 240});
       },
       'v' * 256 + 'v'},
      {"new truss joins the group",
       [&] {
         extra = list.newTruss();
         tracked.push_back(extra);
         group->addMember(extra);
       },
       'A' * 256},
      {"riser leaves the group", [&] { group->removeMember(r1); }, 'g' * 256 + 'r'},
      {"principal truss deleted", [&] { list.removeObject(truss); }, 'g' * 256 + 't'},
      {"stage riser deleted", [&] { list.removeObject(r2); }, 'o' * 256 + 'r'},
      {"group deleted", [&] { list.removeObject(group); }, 'g' * 256 + 't'},
  };

  // Each snapshot covers the objects that existed when it was taken; everything else is
  // compared by whether it is in the list.
  std::vector<Snapshot> states = {snapshot(list, tracked)};
  for (const Step& s : steps) {
    t.undo->beginStep();
    s.run();
    states.push_back(snapshot(list, tracked));
  }
  EXPECT_EQ(group->members().size(), 0u);
  EXPECT_FALSE(list.contains(group));
  EXPECT_EQ(list.stageObject, nullptr);
  for (size_t i = steps.size(); i-- > 0;) {
    SCOPED_TRACE(std::string("undo ") + steps[i].name);
    EXPECT_EQ(t.undo->undoStep(), steps[i].undoResult);
    expectSame(states[i], snapshot(list, tracked));
  }
  for (size_t i = 0; i < steps.size(); ++i) {
    SCOPED_TRACE(std::string("redo ") + steps[i].name);
    EXPECT_NE(t.undo->redoStep(), 0);
    expectSame(states[i + 1], snapshot(list, tracked));
  }
}

TEST(ObjectUndo, UndoRestoresWhatTheStepsChanged) {
  Theatre t;
  ASSERT_TRUE(test::loadTheatre(t, kThreeObjects));
  ObjectList& list = objects(t);
  Riser* r1 = list.at(0)->asRiser();
  ObjectEntry* truss = list.at(2);
  const Snapshot before = snapshot(list, {r1, truss});

  t.undo->beginStep();
  Group* group = list.newGroup();
  group->addMember(truss);
  group->addMember(r1);
  t.undo->beginStep();
  group->setWorldOrientation(Vec3{0, 90, 0});
  const Snapshot grouped = snapshot(list, {r1, truss, group});
  t.undo->beginStep();
  list.removeObject(group);  // dissolved: members keep their world placement
  EXPECT_EQ(r1->parentGroup, nullptr);

  EXPECT_EQ(t.undo->undoStep(), 'g' * 256 + 't');
  expectSame(grouped, snapshot(list, {r1, truss, group}));
  EXPECT_EQ(group->principal, truss);
  EXPECT_EQ(list.at(list.count() - 1), group);  // back at the end of the list
  t.undo->undoStep();
  t.undo->undoStep();
  expectSame(before, snapshot(list, {r1, truss}));
  EXPECT_EQ(list.currentGroup, nullptr);  // the undone group is no longer current
}

TEST(ObjectUndo, UndoneDeletionGoesToTheEndAndRestoresTheStage) {
  Theatre t;
  ASSERT_TRUE(test::loadTheatre(t, kThreeObjects));
  ObjectList& list = objects(t);
  Riser* first = list.at(0)->asRiser();
  list.setStageObject(first);
  list.selectedObject = first;
  t.undo->beginStep();
  list.deleteSelected();
  EXPECT_EQ(list.stageObject, nullptr);
  EXPECT_EQ(list.selectedObject, nullptr);
  EXPECT_EQ(t.undo->undoStep(), 'o' * 256 + 'r');
  EXPECT_EQ(list.at(2), first);
  EXPECT_EQ(list.stageObject, first);
  // Undoing an addition clears the selection it held.
  t.undo->beginStep();
  Riser* added = list.newRiser();
  list.selectedObject = added;
  t.undo->undoStep();
  EXPECT_EQ(list.selectedObject, nullptr);
}

TEST(ObjectUndo, DroppedActionsFreeWhatTheyOwn) {
  bool undoneAddGone = false, deletedGone = false, restoredGone = false;
  {
    Theatre t;
    ASSERT_TRUE(test::loadTheatre(t, kThreeObjects));
    ObjectList& list = objects(t);

    t.undo->beginStep();
    test::addProbe(t, "undone add", 'r', nullptr, &undoneAddGone);
    t.undo->undoStep();
    EXPECT_FALSE(undoneAddGone);  // the undone addition holds it for a redo
    t.undo->beginStep();
    list.newRiser();  // a new action drops the undone one
    EXPECT_TRUE(undoneAddGone);

    t.undo->beginStep();
    auto* deleted = test::addProbe(t, "deleted", 'r', nullptr, &deletedGone);
    t.undo->beginStep();
    list.removeObject(deleted);
    EXPECT_FALSE(deletedGone);  // the done removal holds it

    t.undo->beginStep();
    auto* restored = test::addProbe(t, "restored", 'r', nullptr, &restoredGone);
    t.undo->beginStep();
    list.removeObject(restored);
    t.undo->undoStep();
    t.undo->beginStep();
    list.newTruss();  // drops the undone removal, which owns nothing now
    EXPECT_FALSE(restoredGone);
    EXPECT_TRUE(list.contains(restored));
  }
  EXPECT_TRUE(deletedGone);
  EXPECT_TRUE(restoredGone);
}

TEST(ObjectUndo, NothingIsRecordedWithoutAHistoryAndRemovalsGoAtOnce) {
  Theatre t;
  bool gone = false;
  auto* probe = test::addProbe(t, "probe", 'r', nullptr, &gone);
  t.undo = std::make_unique<Undo>(&t, t.valueList);  // not recording
  objects(t).removeObject(probe);
  EXPECT_TRUE(gone);
  EXPECT_EQ(t.undo->actionCount(), 0);
}

TEST(ObjectUndo, PersonalityChangeSwapsTheName) {
  Theatre t;
  std::string personality = "Wash";
  t.undo->beginStep();
  t.undo->record(std::make_unique<SetPersonalityAction>(personality));
  personality = "Spot";
  EXPECT_EQ(t.undo->undoStep(), 'p' * 256);
  EXPECT_EQ(personality, "Wash");
  EXPECT_EQ(t.undo->redoStep(), 'p' * 256);
  EXPECT_EQ(personality, "Spot");
}

}  // namespace
