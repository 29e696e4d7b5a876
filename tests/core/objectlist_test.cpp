#include "model/objectlist.h"

#include <gtest/gtest.h>

#include "model/globals.h"
#include "model/walls.h"
#include "objectutil.h"

using namespace lmv;
using test::objects;

namespace {

IVec3 sizeOf(const Riser& r) {
  return r.getSize();
}

void expectIVec(const IVec3& expected, const IVec3& actual) {
  EXPECT_EQ(expected.x, actual.x);
  EXPECT_EQ(expected.y, actual.y);
  EXPECT_EQ(expected.z, actual.z);
}

TEST(ObjectList, NewObjectsCopyTheirDefaults) {
  Theatre t;
  ObjectList& list = objects(t);
  expectIVec({36, 150, 250}, list.defaultTruss->worldPositionInt());

  Riser* r = list.newRiser();
  EXPECT_EQ(r->typeLetter, 'r');
  EXPECT_EQ(r->channelCount, 12);
  EXPECT_EQ(r->dmxBase, -1);
  expectIVec({50, 10, 30}, sizeOf(*r));
  expectIVec({25, 5, 15}, r->worldPositionInt());
  expectIVec({0, 0, 0}, r->worldOrientationInt());
  for (Value* v : r->posn->v) EXPECT_EQ(v->dmxEnabled, 0);

  Truss* tr = list.newTruss();
  EXPECT_EQ(tr->typeLetter, 't');
  EXPECT_EQ(tr->origin, 50);
  expectIVec({72, 3, 3}, sizeOf(*tr));
  expectIVec({36, 150, 250}, tr->worldPositionInt());

  Group* g = list.newGroup();
  EXPECT_EQ(g->typeLetter, 'g');
  EXPECT_EQ(list.currentGroup, g);
  ASSERT_EQ(list.count(), 3);
  EXPECT_EQ(list.at(0), r);
  EXPECT_EQ(list.at(2), g);
  EXPECT_TRUE(list.isChanged());
}

TEST(ObjectList, PatchingLaysOutTwelveChannels) {
  Theatre t;
  Riser* r = objects(t).newRiser();
  r->setPatch(100);
  EXPECT_EQ(r->dmxBase, 100);
  const int expectedFirst[6] = {100, 102, 104, 106, 108, 110};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    for (int k = 0; k < 2; ++k) {
      Value* v = (k == 0 ? r->posn : r->orient)->v[i];
      DmxSpec* s = v->positionSpec();
      EXPECT_EQ(v->dmxEnabled, 1);
      EXPECT_EQ(s->channelCount, 2);
      EXPECT_EQ(s->channels[0], expectedFirst[3 * k + i]);
      EXPECT_EQ(s->channels[1], expectedFirst[3 * k + i] + 1);
      EXPECT_EQ(s->isSigned, 1);
      ASSERT_EQ(s->ranges.size(), 1u);
      EXPECT_DOUBLE_EQ(s->ranges[0].scale, k == 0 ? 0.0625 : 0.00549);
    }
    EXPECT_EQ(r->size->v[i]->dmxEnabled, 0);
  }
  r->disablePatch();
  EXPECT_EQ(r->dmxBase, -1);
  for (Value* v : r->orient->v) EXPECT_EQ(v->dmxEnabled, 0);
}

TEST(ObjectList, NewObjectsFollowTheDefaultPatch) {
  Theatre t;
  ObjectList& list = objects(t);
  nextDmxAddress = 0;
  list.defaultRiser->dmxBase = 7;  // patched default: new risers take the next free block
  Riser* a = list.newRiser();
  Riser* b = list.newRiser();
  EXPECT_EQ(a->dmxBase, 0);
  EXPECT_EQ(b->dmxBase, 12);
  list.defaultRiser->dmxBase = -2;  // marker: enabled, channels where they are
  Riser* c = list.newRiser();
  EXPECT_EQ(c->dmxBase, -2);
  EXPECT_EQ(c->posn->v[1]->dmxEnabled, 1);
  EXPECT_EQ(c->posn->v[1]->positionSpec()->channels[0], 2);
  list.recomputeDmxAddress();
  EXPECT_EQ(nextDmxAddress, 24);
  nextDmxAddress = 0;
}

TEST(ObjectList, FindFreeDmxBase) {
  struct Block {
    int base, count;
  };
  struct Case {
    const char* name;
    std::vector<Block> patched;
    int next;
    int count;  // channels of the object looking for a place
    int expected;
  } cases[] = {
      {"after two blocks", {{0, 12}, {12, 12}}, 0, 12, 24},
      {"next universe when the block ends one", {{500, 12}}, 500, 12, 512},
      {"a block never straddles universes", {{495, 12}}, 490, 12, 512},
      {"free start is kept", {{0, 12}}, 100, 12, 100},
      {"conflicts rescan from the start", {{24, 12}, {0, 24}}, 0, 12, 36},
      {"negative start begins at 0", {{0, 12}}, -5, 12, 12},
      {"start past the buffer begins at 0", {}, 5000, 12, 0},
      {"running out gives 0", {{4080, 16}}, 4085, 12, 0},
      {"last block that fits", {}, 4084, 12, 4084},
      {"one past gives 0", {}, 4085, 12, 0},
      {"unpatched and empty objects are no obstacle", {{-1, 12}, {3, 0}}, 0, 12, 0},
      {"an object with no channels goes anywhere", {{0, 12}}, 5, 0, 5},
      {"huge bases from a file", {{2147483000, 2000}}, 0, 12, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Theatre t;
    ObjectList& list = objects(t);
    for (const Block& b : c.patched) {
      Riser* r = list.newRiser();
      r->dmxBase = b.base;
      r->channelCount = b.count;
    }
    Riser probe(list);
    probe.channelCount = c.count;
    nextDmxAddress = c.next;
    EXPECT_EQ(list.findFreeDmxBase(probe), c.expected);
  }
  nextDmxAddress = 0;
}

TEST(ObjectList, UndoHistoryRecomputesNextDmxAddress) {
  Theatre t;
  ObjectList& list = objects(t);
  Riser* r = list.newRiser();
  r->setPatch(40);
  nextDmxAddress = 0;
  t.undo->beginStep();  // nothing to redo: left alone
  EXPECT_EQ(nextDmxAddress, 0);
  t.undo->beginStep();
  list.newTruss();
  t.undo->undoStep();
  t.undo->beginStep();  // an undone step waits to be dropped
  EXPECT_EQ(nextDmxAddress, 52);
  nextDmxAddress = 0;
  list.newTruss();  // recording drops the undone step
  EXPECT_EQ(nextDmxAddress, 52);
  nextDmxAddress = 0;
}

// A lone riser (auto-butt on) in a box of 1000 x 200 x 500.
TEST(AutoButt, SnapsToWalls) {
  struct Case {
    const char* name;
    IVec3 size;
    IVec3 at;
    IVec3 expected;
  } cases[] = {
      {"30 from the left wall touches it", {50, 10, 30}, {30, 100, 250}, {25, 100, 250}},
      {"60 from the left wall stays", {50, 10, 30}, {60, 100, 250}, {60, 100, 250}},
      {"near the right wall from inside", {50, 10, 30}, {970, 100, 250}, {975, 100, 250}},
      {"outside the right wall stays outside", {50, 10, 30}, {1020, 100, 250}, {1025, 100, 250}},
      {"rests on the floor", {50, 10, 30}, {500, 3, 250}, {500, 5, 250}},
      {"hangs from the ceiling", {50, 10, 30}, {500, 196, 250}, {500, 195, 250}},
      {"back and front walls", {50, 10, 30}, {500, 100, 20}, {500, 100, 15}},
      {"both planes within reach: the near one wins",
       {2000, 10, 30},
       {500, 100, 250},
       {1000, 100, 250}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Theatre t;
    Riser* r = objects(t).newRiser();
    r->setSize(c.size.x, c.size.y, c.size.z);
    r->setWorldPosition(c.at.x, c.at.y, c.at.z);
    r->setAutoButt(1);
    r->autoButtNow();
    expectIVec(c.expected, r->worldPositionInt());
  }
}

TEST(AutoButt, OffNeverMoves) {
  Theatre t;
  ObjectList& list = objects(t);
  Riser* a = list.newRiser();
  a->setWorldPosition(500, 100, 250);
  Riser* b = list.newRiser();
  b->setWorldPosition(510, 100, 255);
  b->autoButtNow();
  expectIVec({510, 100, 255}, b->worldPositionInt());
  // New risers take the default riser's switch.
  list.defaultRiser->setAutoButt(1);
  EXPECT_EQ(list.newRiser()->getAutoButt(), 1);
}

// Neighbour A (50 x 10 x 30) at (500, 100, 250), away from every wall; B of the same size is
// dropped near it. Butting places: -x 450, +x 550, -y 90, +y 110, -z 220, +z 280.
TEST(AutoButt, ButtsAgainstNeighbours) {
  struct Case {
    const char* name;
    IVec3 drop;
    std::vector<IVec3> blockers;  // further risers of the same size
    IVec3 expected;
  } cases[] = {
      {"overlap: the closest butting place, centred on the face",
       {530, 100, 250},
       {},
       {550, 100, 250}},
      {"closest by the sum of distances", {510, 100, 255}, {}, {500, 90, 250}},
      {"equal keys: the earlier side", {480, 101, 252}, {}, {500, 110, 250}},
      {"near but clear still butts", {560, 100, 250}, {}, {550, 100, 250}},
      {"too far away stays", {700, 100, 250}, {}, {700, 100, 250}},
      {"occupied best side: the next one", {530, 100, 250}, {{580, 100, 250}}, {500, 90, 250}},
      {"occupied among equals: the later one", {510, 100, 255}, {{500, 90, 250}}, {500, 110, 250}},
      {"touching is no collision", {510, 100, 255}, {{500, 80, 250}}, {500, 90, 250}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Theatre t;
    ObjectList& list = objects(t);
    Riser* a = list.newRiser();
    a->setWorldPosition(500, 100, 250);
    for (const IVec3& p : c.blockers) list.newRiser()->setWorldPosition(p.x, p.y, p.z);
    list.newGroup();  // groups have no body and are never neighbours
    Riser* b = list.newRiser();
    b->setWorldPosition(c.drop.x, c.drop.y, c.drop.z);
    b->setAutoButt(1);
    b->autoButtNow();
    expectIVec(c.expected, b->worldPositionInt());
    expectIVec({500, 100, 250}, a->worldPositionInt());
  }
}

TEST(AutoButt, NewRiserDroppedOnAnotherMovesAside) {
  Theatre t;
  ObjectList& list = objects(t);
  list.defaultRiser->setAutoButt(1);
  list.defaultRiser->setWorldPosition(500, 100, 250);
  Riser* first = list.newRiser();
  Riser* second = list.newRiser();  // same place: moved to the nearest free face
  expectIVec({500, 100, 250}, first->worldPositionInt());
  expectIVec({500, 90, 250}, second->worldPositionInt());
  EXPECT_FALSE(second->collides(second->worldPositionInt()));
}

TEST(ObjectList, MarksFollowHandlesIntoGroups) {
  Theatre t;
  ObjectList& list = objects(t);
  Riser* lone = list.newRiser();
  Riser* inner = list.newRiser();
  Riser* other = list.newRiser();
  Group* g = list.newGroup();
  Group* sub = list.newGroup();
  ASSERT_EQ(sub->addMember(inner), 1);
  ASSERT_EQ(g->addMember(sub), 1);
  g->fixtureHandle = 7;
  lone->fixtureHandle = 7;
  other->fixtureHandle = 8;
  list.clearChanged();
  int before = t.modificationCount;
  list.markByHandle(7);
  EXPECT_EQ(lone->marked, 1);
  EXPECT_EQ(g->marked, 1);
  EXPECT_EQ(sub->marked, 1);
  EXPECT_EQ(inner->marked, 1);
  EXPECT_EQ(other->marked, 0);
  EXPECT_TRUE(list.isChanged());
  EXPECT_EQ(t.modificationCount, before);  // display state, not an edit
  list.clearMarks();
  for (const auto& o : list.objects()) EXPECT_EQ(o->marked, 0);
}

TEST(ObjectList, RoleColours) {
  Theatre t;
  ObjectList& list = objects(t);
  const Globals& g = *t.globals;
  Riser* r = list.newRiser();
  Truss* tr = list.newTruss();
  Riser* member = list.newRiser();
  Group* group = list.newGroup();
  group->addMember(member);
  auto colour = [](const ObjectEntry* o) {
    int c[3];
    o->roleColor(c);
    return std::vector<int>(c, c + 3);
  };
  auto of = [](const int c[3]) { return std::vector<int>(c, c + 3); };
  EXPECT_EQ(colour(r), of(g.riserColor));
  EXPECT_EQ(colour(tr), of(g.trussColor));
  EXPECT_EQ(colour(group), std::vector<int>({255, 255, 255}));
  list.selectedObject = group;
  EXPECT_EQ(colour(member), of(g.selectedGroupColor));
  EXPECT_EQ(colour(group), of(g.selectedObjectColor));
  tr->marked = 1;
  EXPECT_EQ(colour(tr), of(g.selectedObjectColor));
}

TEST(ObjectList, FramePhasesVisitLightsFirstAndDrawSelectedLast) {
  Theatre t;
  ObjectList& list = objects(t);
  std::vector<std::string> log;
  test::addProbe(t, "riser", 'r', &log);
  auto* member = test::addProbe(t, "member", 'r', &log);
  test::addProbe(t, "light", 'h', &log);
  auto* selected = test::addProbe(t, "selected", 'r', &log);
  Group* g = list.newGroup();
  g->addMember(member);
  list.selectedObject = selected;

  t.buildPhase();
  t.projectPhase();
  t.drawPhase();
  const std::vector<std::string> expected = {"build light",    "build riser",      "build member",
                                             "build selected", "project light",    "project riser",
                                             "project member", "project selected", "draw riser",
                                             "draw light",     "draw member",  // through its group
                                             "draw selected"};
  EXPECT_EQ(log, expected);
}

}  // namespace
