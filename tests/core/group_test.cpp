#include "model/group.h"

#include <gtest/gtest.h>

#include <functional>

#include "geometry/transformation.h"
#include "objectutil.h"

using namespace lmv;
using test::nearVec;
using test::objects;

namespace {

struct Placement {
  Vec3 position, orientation;
};

Placement placementOf(const ObjectEntry* o) {
  return {o->worldPosition(), o->worldOrientation()};
}

// Every object keeps its world placement across group changes (angles compared through the
// directions they turn the axes to, since equal turns may come back as other angles).
::testing::AssertionResult samePlacement(const Placement& expected, const ObjectEntry* o) {
  if (!nearVec(expected.position, o->worldPosition(), 1e-6))
    return nearVec(expected.position, o->worldPosition(), 1e-6) << " (position)";
  Transformation a(kAxisX, kAxisZ, kAxisY), b(kAxisX, kAxisZ, kAxisY);
  a.set({}, expected.orientation);
  b.set({}, o->worldOrientation());
  for (Vec3 axis : {Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1}}) {
    auto r = nearVec(a.apply(axis), b.apply(axis), 1e-6);
    if (!r) return r << " (orientation)";
  }
  return ::testing::AssertionSuccess();
}

class GroupTest : public ::testing::Test {
 protected:
  GroupTest() : list(objects(theatre)) {
    truss = list.newTruss();
    truss->setWorldPosition(Vec3{100, 150, 250});
    truss->setWorldOrientation(Vec3{0, 90, 0});
    riser = list.newRiser();
    riser->setWorldPosition(Vec3{100, 150, 300});
    riser->setWorldOrientation(Vec3{10, 20, 30});
    group = list.newGroup();
  }
  Theatre theatre;
  ObjectList& list;
  Truss* truss;
  Riser* riser;
  Group* group;
};

TEST_F(GroupTest, PrincipalTrussGivesTheFrameAndNothingMoves) {
  const Placement t0 = placementOf(truss), r0 = placementOf(riser);
  ASSERT_EQ(group->addMember(riser), 1);
  EXPECT_EQ(group->principal, nullptr);  // only a truss becomes principal by joining
  EXPECT_TRUE(nearVec({100, 150, 300}, riser->worldPosition()));
  ASSERT_EQ(group->addMember(truss), 1);
  EXPECT_EQ(group->principal, truss);
  EXPECT_TRUE(nearVec({100, 150, 250}, group->worldPosition()));
  EXPECT_TRUE(samePlacement({{100, 150, 250}, {0, 90, 0}}, group));
  EXPECT_TRUE(samePlacement(t0, truss));
  EXPECT_TRUE(samePlacement(r0, riser));
  // Inside the group the truss sits at the origin; the riser 50 along the group's x, which the
  // group's 90 degree turn about y swings towards the audience.
  double local[3];
  truss->posn->get(local);
  EXPECT_TRUE(nearVec({0, 0, 0}, {local[0], local[1], local[2]}));
  riser->posn->get(local);
  EXPECT_TRUE(nearVec({50, 0, 0}, {local[0], local[1], local[2]}));
  // The group's placement lives in the bases.
  EXPECT_EQ(group->posn->v[0]->value, 0);
  EXPECT_DOUBLE_EQ(group->posn->v[0]->base, 100);

  group->removeMember(truss);
  EXPECT_EQ(group->principal, nullptr);
  EXPECT_TRUE(nearVec({0, 0, 0}, group->worldOrientation()));
  EXPECT_TRUE(nearVec({100, 150, 250}, group->worldPosition()));
  EXPECT_TRUE(samePlacement(t0, truss));
  EXPECT_TRUE(samePlacement(r0, riser));
  EXPECT_EQ(truss->parentGroup, nullptr);
}

TEST_F(GroupTest, MovingAndTurningTheGroupCarriesItsMembers) {
  group->addMember(truss);
  group->addMember(riser);
  group->setWorldOrientation(Vec3{0, 0, 0});
  EXPECT_TRUE(nearVec({150, 150, 250}, riser->worldPosition()));
  group->setWorldPosition(Vec3{200, 150, 250});
  EXPECT_TRUE(nearVec({250, 150, 250}, riser->worldPosition()));
  EXPECT_TRUE(nearVec({200, 150, 250}, truss->worldPosition()));
  // Moving the principal makes the group adopt its frame; the others stay where they are.
  const Placement r0 = placementOf(riser);
  truss->setWorldPosition(Vec3{300, 100, 100});
  EXPECT_TRUE(nearVec({300, 100, 100}, group->worldPosition()));
  EXPECT_TRUE(samePlacement(r0, riser));
  EXPECT_TRUE(nearVec({300, 100, 100}, truss->worldPosition()));
}

TEST_F(GroupTest, MembershipChangesKeepWorldPlacement) {
  Group* outer = list.newGroup();
  Riser* lone = list.newRiser();
  lone->setWorldPosition(Vec3{700, 20, 400});
  lone->setWorldOrientation(Vec3{0, 45, 0});
  struct Step {
    const char* name;
    std::function<void()> run;
  };
  std::vector<Step> steps = {
      {"principal truss joins", [&] { group->addMember(truss); }},
      {"riser joins a turned group", [&] { group->addMember(riser); }},
      {"group joins an outer group", [&] { outer->addMember(group); }},
      {"lone riser joins the outer group", [&] { outer->addMember(lone); }},
      {"member becomes principal", [&] { outer->setPrincipal(lone); }},
      {"principal cleared", [&] { outer->clearPrincipal(); }},
      {"inner group leaves", [&] { outer->removeMember(group); }},
      {"outer group dissolved by its removal", [&] { list.removeObject(outer); }},
      {"inner group dissolved", [&] { group->dissolve(); }},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    const Placement t0 = placementOf(truss), r0 = placementOf(riser), l0 = placementOf(lone);
    s.run();
    EXPECT_TRUE(samePlacement(t0, truss));
    EXPECT_TRUE(samePlacement(r0, riser));
    EXPECT_TRUE(samePlacement(l0, lone));
  }
  EXPECT_TRUE(group->members().empty());
  EXPECT_EQ(lone->parentGroup, nullptr);
}

TEST_F(GroupTest, AddMemberRefusals) {
  Group* other = list.newGroup();
  Group* outer = list.newGroup();
  ASSERT_EQ(outer->addMember(group), 1);
  struct Case {
    const char* name;
    Group* group;
    ObjectEntry* object;
    int expected;
  } cases[] = {
      {"the group itself", group, group, 0},
      {"joins", group, riser, 1},
      {"already a member", group, riser, -1},
      {"member of another group", other, riser, 0},
      {"an enclosing group would make a cycle", group, outer, 0},
      {"a default object is no object of the theatre", group, list.defaultRiser.get(), 0},
      {"nothing", group, nullptr, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.group->addMember(c.object), c.expected);
  }
  EXPECT_EQ(outer->members().size(), 1u);
  EXPECT_EQ(group->members().size(), 1u);
  EXPECT_EQ(other->members().size(), 0u);
}

TEST_F(GroupTest, ContainsTypeAndCounts) {
  Group* inner = list.newGroup();
  inner->addMember(truss);
  group->addMember(inner);
  group->addMember(riser);
  EXPECT_EQ(group->containsType('t'), 1);  // found inside the member group
  EXPECT_EQ(group->containsType('g'), 1);
  EXPECT_EQ(group->containsType('h'), 0);
  Group::Counts c = group->countMembers();
  EXPECT_EQ(c.groups, 1);
  EXPECT_EQ(c.risers, 1);
  EXPECT_EQ(c.trusses, 0);  // members of member groups are not counted
  EXPECT_TRUE(isInside(group, truss));
  EXPECT_FALSE(isInside(inner, riser));
}

TEST_F(GroupTest, DestroyingObjectsLeavesNoDanglingLinks) {
  group->addMember(truss);
  group->addMember(riser);
  // Without a history the removed objects go at once; the group forgets them.
  theatre.undo = std::make_unique<Undo>(&theatre, theatre.valueList);
  list.removeObject(truss);
  EXPECT_EQ(group->principal, nullptr);
  EXPECT_EQ(group->members().size(), 1u);
  list.removeObject(group);
  EXPECT_EQ(riser->parentGroup, nullptr);
  EXPECT_TRUE(nearVec({100, 150, 300}, riser->worldPosition()));
}

}  // namespace
