// Design-mode editing on fitted panes: picking, dragging at depth, placing, the world point
// under the mouse and the rubber box (classification, zoom, group, alignments, drawing).
#include "model/editsession.h"

#include <gtest/gtest.h>

#include <memory>

#include "geometry/draw.h"
#include "model/viewentry.h"
#include "model/viewlist.h"
#include "objectutil.h"
#include "platform/recordingcanvas.h"

using namespace lmv;

namespace {

constexpr int kCurrent = 0;  // the current (free) view
constexpr int kPlan = 1;
constexpr int kSide = 2;
constexpr int kFront = 3;
constexpr int kGrey = 8421504;

// A theatre of the default box (1000 x 200 x 500) in four recorded panes of 400 x 300.
class Edit : public ::testing::Test {
 protected:
  explicit Edit(int autoCenter = 0) : autoCenter(autoCenter) {
    for (int i = 0; i < 4; ++i) {
      canvas[i] = std::make_unique<RecordingCanvas>(400, 300);
      raw[i] = canvas[i].get();
    }
    rebuild();
  }
  // A fresh theatre (for tables of cases).
  void rebuild() {
    theatre.reset();
    theatre = std::make_unique<Theatre>(raw, autoCenter);
    theatre->paneCount = 4;
    for (int i = 0; i < 4; ++i) {
      theatre->paneRects[i][0] = theatre->paneRects[i][1] = 0;
      theatre->paneRects[i][2] = 399;
      theatre->paneRects[i][3] = 299;
    }
  }

  ObjectList& list() { return *theatre->content->objectList; }
  EditSession& edit() { return *theatre->content->edit; }
  // Builds, projects, fits and draws, so hit tests see where objects are now.
  void frame() {
    for (auto& c : canvas) c->reset();
    drawFrame(*theatre, 0);
  }

  Riser* riser(int x, int y, int z, int sx = 50, int sy = 10, int sz = 30, char letter = 'r') {
    Riser* r = static_cast<Riser*>(
        list().addFromDefault(std::make_unique<Riser>(list()), list().defaultRiser.get(), letter));
    r->setSize(sx, sy, sz);
    r->setWorldPosition(x, y, z);
    return r;
  }
  Truss* truss(int x, int y, int z) {
    Truss* t = list().newTruss();
    t->setWorldPosition(x, y, z);
    return t;
  }

  static ScreenPoint at(ObjectEntry* o, int pane) {
    int x = -1, y = -1;
    o->screenPoint(pane, x, y);
    return {x, y};
  }
  // The box around the screen points of some objects, with a margin.
  void boxAround(std::initializer_list<ObjectEntry*> objects, int pane = kPlan, int margin = 3) {
    int l = 1 << 30, t = 1 << 30, r = -(1 << 30), b = -(1 << 30);
    for (ObjectEntry* o : objects) {
      ScreenPoint p = at(o, pane);
      l = std::min(l, p.x), t = std::min(t, p.y), r = std::max(r, p.x), b = std::max(b, p.y);
    }
    edit().startRubberBox(pane, l - margin, t - margin);
    edit().updateRubberBox(pane, r + margin, b + margin);
  }

  int autoCenter;
  std::unique_ptr<RecordingCanvas> canvas[4];
  Canvas* raw[4];
  std::unique_ptr<Theatre> theatre;
};

class EditCentred : public Edit {
 protected:
  EditCentred() : Edit(1) {}
};

IVec3 pos(const ObjectEntry* o) {
  return o->worldPositionInt();
}

::testing::AssertionResult samePos(const IVec3& e, const IVec3& a) {
  if (e.x == a.x && e.y == a.y && e.z == a.z) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "expected (" << e.x << ", " << e.y << ", " << e.z
                                       << ") got (" << a.x << ", " << a.y << ", " << a.z << ")";
}

// --- Picking ---------------------------------------------------------------------------------

TEST_F(Edit, OverlappingRisersPickNearestKeepSelectionAndCycle) {
  Riser* a = riser(300, 5, 250, 100, 10, 100);
  Riser* b = riser(350, 5, 250, 100, 10, 100);
  frame();
  const ScreenPoint pa = at(a, kPlan), pb = at(b, kPlan);
  ASSERT_LT(pa.x, pb.x);
  ASSERT_TRUE(a->hitTest(kPlan, pb.x, pb.y) && b->hitTest(kPlan, pa.x, pa.y));

  // Nearer a's centre: a; then nearer b's, but a is still under the point: a stays.
  EXPECT_EQ(edit().pick(kPlan, pa.x + 2, pa.y, true), 1);
  EXPECT_EQ(edit().pickedObject, a);
  EXPECT_EQ(edit().pickIndex, 0);
  EXPECT_EQ(edit().pickPane, kPlan);
  EXPECT_EQ(edit().pick(kPlan, pb.x - 2, pb.y, true), 1);
  EXPECT_EQ(edit().pickedObject, a);
  EXPECT_EQ(list().pickPoint[0], pb.x - 2);
  // pickNext cycles through what lies under the recorded point.
  EXPECT_EQ(edit().pickNext(), 1);
  EXPECT_EQ(edit().pickedObject, b);
  EXPECT_EQ(edit().pickIndex, 1);
  EXPECT_EQ(edit().pickNext(), 1);
  EXPECT_EQ(edit().pickedObject, a);

  // With nothing selected the nearer one wins.
  edit().clearPick();
  EXPECT_EQ(edit().pick(kPlan, pb.x - 2, pb.y, true), 1);
  EXPECT_EQ(edit().pickedObject, b);

  // Far away: nothing, and the selection is cleared.
  EXPECT_EQ(edit().pick(kPlan, 2, 2, true), 0);
  EXPECT_EQ(list().selectedObject, nullptr);
  EXPECT_EQ(list().selectedIndex, -1);
  EXPECT_EQ(edit().pickIndex, -1);
}

TEST_F(Edit, PickSkipsLockedAndSkippedKindsAndPicksGroupsThroughMembers) {
  Riser* a = riser(300, 5, 250, 100, 10, 100);
  Riser* b = riser(350, 5, 250, 100, 10, 100);
  Truss* t = truss(315, 150, 250);
  Riser* member = riser(800, 5, 100);
  Group* g = list().newGroup();
  g->addMember(member);
  Riser* twin = riser(800, 5, 400);
  Riser* twin2 = riser(800, 5, 400);
  frame();
  const ScreenPoint ptruss = at(t, kPlan);
  const ScreenPoint pm = at(member, kPlan);
  const ScreenPoint pt = at(twin, kPlan);

  struct Case {
    const char* name;
    ScreenPoint point;
    bool skipLocked;
    char skipType;
    int lockA;
    ObjectEntry* expected;
  } cases[] = {
      {"truss nearest", ptruss, true, 0, 0, t},
      {"trusses skipped: the nearer riser", ptruss, true, 't', 0, a},
      {"locked a skipped", ptruss, true, 't', 1, b},
      {"locked a taken when locks are ignored", ptruss, false, 't', 1, a},
      {"member picked as its group", pm, true, 0, 0, g},
      {"group of a skipped kind left out", pm, true, 'r', 0, nullptr},
      {"equal distances: the earlier", pt, true, 0, 0, twin},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    a->locked = c.lockA;
    edit().clearPick();
    edit().pickBest(kPlan, c.point.x, c.point.y, c.skipLocked, c.skipType);
    EXPECT_EQ(edit().pickedObject, c.expected);
  }
  (void)twin2;

  // A selected truss stays for pick, but not for the non-truss pick.
  a->locked = 0;
  edit().clearPick();
  ASSERT_EQ(edit().pick(kPlan, ptruss.x, ptruss.y, true), 1);
  ASSERT_EQ(edit().pickedObject, t);
  EXPECT_EQ(edit().pickNonTruss(kPlan, ptruss.x, ptruss.y, true), 1);
  EXPECT_EQ(edit().pickedObject, a);
  // A selected locked riser does not stay when locks count.
  a->locked = 1;
  EXPECT_EQ(edit().pick(kPlan, ptruss.x, ptruss.y, true, 't'), 1);
  EXPECT_EQ(edit().pickedObject, b);
}

TEST_F(EditCentred, AutoCentreMovesThePickPointToTheObject) {
  Riser* a = riser(300, 5, 250, 100, 10, 100);
  frame();
  const ScreenPoint pa = at(a, kPlan);
  ASSERT_EQ(edit().pick(kPlan, pa.x + 4, pa.y - 3, true), 1);
  EXPECT_EQ(list().pickPoint[0], pa.x);
  EXPECT_EQ(list().pickPoint[1], pa.y);
}

TEST_F(Edit, SelectFirstAndNextOfAKindWrap) {
  Riser* r1 = riser(100, 5, 100);
  Truss* t1 = truss(500, 150, 250);
  Riser* r2 = riser(300, 5, 100);
  Group* g = list().newGroup();
  struct Step {
    bool first;
    char letter;
    ObjectEntry* expected;
  } steps[] = {{true, 'r', r1},  {false, 'r', r2}, {false, 'r', r1},    {false, 't', t1},
               {false, 't', t1}, {true, 'g', g},   {true, 'h', nullptr}};
  int n = 0;
  for (const Step& s : steps) {
    SCOPED_TRACE(n++);
    int found = s.first ? edit().selectFirstOfKind(s.letter) : edit().selectNextOfKind(s.letter);
    EXPECT_EQ(found, s.expected ? 1 : 0);
    EXPECT_EQ(edit().pickedObject, s.expected);
    EXPECT_EQ(list().selectedObject, s.expected);
    if (s.expected) {
      EXPECT_EQ(edit().pickPane, 0);
    }
  }
}

TEST_F(Edit, GroupEditingTogglesMembersOfTheCurrentGroup) {
  Riser* a = riser(300, 5, 250);
  Riser* b = riser(700, 5, 250);
  frame();
  Group* g = list().newGroup();
  list().currentGroup = nullptr;
  edit().select(g);
  edit().makeSelectedCurrentGroup();
  EXPECT_EQ(list().currentGroup, g);
  edit().select(a);
  edit().makeSelectedCurrentGroup();  // a riser is no group: the current group stays
  EXPECT_EQ(list().currentGroup, g);

  edit().toggleSelectedInCurrentGroup();
  EXPECT_EQ(a->parentGroup, g);
  edit().select(b);
  edit().toggleSelectedInCurrentGroup();
  edit().select(a);
  edit().toggleSelectedInCurrentGroup();
  EXPECT_EQ(a->parentGroup, nullptr);
  EXPECT_EQ(b->parentGroup, g);

  const ScreenPoint pb = at(b, kPlan);
  EXPECT_EQ(edit().pickInCurrentGroup(kPlan, pb.x, pb.y), 1);
  EXPECT_EQ(edit().pickedObject, b);
  edit().removeSelectedFromCurrentGroup();
  EXPECT_EQ(b->parentGroup, nullptr);
  EXPECT_EQ(edit().pickInCurrentGroup(kPlan, pb.x, pb.y), 0);
}

TEST_F(Edit, PickedObjectIsDroppedWhenItLeavesTheTheatre) {
  theatre->undo->beginStep();
  Riser* a = riser(300, 5, 250);
  frame();
  const ScreenPoint pa = at(a, kPlan);
  ASSERT_EQ(edit().pick(kPlan, pa.x, pa.y, true), 1);
  theatre->undo->undoStep();  // the riser goes back out of the theatre
  EXPECT_EQ(edit().picked(), nullptr);
  edit().dragTo(pa.x + 10, pa.y);  // nothing to move, nothing touched
  edit().select(list().defaultRiser.get());
  EXPECT_EQ(edit().picked(), list().defaultRiser.get());
  EXPECT_EQ(list().selectedObject, nullptr);
}

TEST_F(Edit, DeletingTheSelectedObjectDropsThePick) {
  riser(100, 5, 100);
  Riser* b = riser(300, 5, 250);
  frame();
  const ScreenPoint pb = at(b, kPlan);
  ASSERT_EQ(edit().pick(kPlan, pb.x, pb.y, true), 1);
  edit().deleteSelected();
  EXPECT_EQ(list().count(), 1);
  EXPECT_EQ(list().indexOf(b), -1);
  EXPECT_EQ(edit().pickedObject, nullptr);
  EXPECT_EQ(edit().pickIndex, -1);
}

// --- Dragging and placing --------------------------------------------------------------------

TEST_F(Edit, DragInPlanMovesXAndZKeepsYAndUndoesAsOneStep) {
  Riser* r = riser(400, 37, 200);
  frame();
  const ScreenPoint p = at(r, kPlan);
  theatre->undo->beginStep();
  ASSERT_EQ(edit().pick(kPlan, p.x, p.y, true), 1);
  edit().startDrag();
  EXPECT_EQ(edit().dragStartPoints[kPlan][0], p.x);
  // The plan looks down: the drag happens at the riser's height.
  EXPECT_NEAR(edit().dragStartWorld.y, 37, 1e-6);

  Vec3 from, to;
  ASSERT_TRUE(edit().worldPointAt(kPlan, p.x, p.y, from));
  ASSERT_TRUE(edit().worldPointAt(kPlan, p.x + 40, p.y + 25, to));
  edit().dragTo(p.x + 20, p.y + 10);
  edit().dragTo(p.x + 40, p.y + 25);
  EXPECT_EQ(edit().dragPoints[kPlan][0], p.x + 40);
  EXPECT_EQ(edit().editChanged, 1);
  const IVec3 moved = pos(r);
  EXPECT_NEAR(moved.x, 400 + (to.x - from.x), 1.0);
  EXPECT_NEAR(moved.z, 200 + (to.z - from.z), 1.0);
  EXPECT_GT(moved.x, 400);
  EXPECT_GT(moved.z, 200);  // downwards in the plan is towards the audience
  EXPECT_EQ(moved.y, 37);
  // The front pane follows the drag sideways, the side pane towards the audience side.
  EXPECT_GT(edit().dragPoints[kFront][0], edit().dragStartPoints[kFront][0]);
  EXPECT_EQ(edit().dragPoints[kFront][1], edit().dragStartPoints[kFront][1]);
  EXPECT_GT(edit().dragPoints[kSide][0], edit().dragStartPoints[kSide][0]);

  edit().endDrag();
  EXPECT_EQ(edit().pickedObject, nullptr);
  EXPECT_EQ(edit().pickPane, -1);
  EXPECT_EQ(list().selectedObject, nullptr);
  EXPECT_EQ(edit().dragPoints[kFront][0], 0);

  theatre->undo->undoStep();
  EXPECT_TRUE(samePos({400, 37, 200}, pos(r)));
}

TEST_F(Edit, ReleasingWithAutoButtSnapsToTheWall) {
  Riser* r = riser(150, 5, 250);
  r->setAutoButt(1);
  Riser* still = riser(600, 5, 250);
  frame();
  const ScreenPoint p = at(r, kPlan);
  Vec3 a, b;
  ASSERT_TRUE(edit().worldPointAt(kPlan, 0, 0, a));
  ASSERT_TRUE(edit().worldPointAt(kPlan, 100, 0, b));
  const double unitsPerPixel = (b.x - a.x) / 100;
  ASSERT_EQ(edit().pick(kPlan, p.x, p.y, true), 1);
  edit().startDrag();
  // About 30 units from the left wall: within its width of it.
  edit().dragTo(p.x - int(120 / unitsPerPixel), p.y);
  EXPECT_NEAR(pos(r).x, 30, 3);
  edit().endDrag();
  EXPECT_TRUE(samePos({25, 5, 250}, pos(r)));
  EXPECT_TRUE(samePos({600, 5, 250}, pos(still)));
}

TEST_F(Edit, DraggingAGroupMovesItsMembers) {
  Riser* a = riser(300, 5, 250);
  Riser* b = riser(400, 5, 250);
  Group* g = list().newGroup();
  g->addMember(a);
  g->addMember(b);
  frame();
  const ScreenPoint pb = at(b, kPlan);
  ASSERT_EQ(edit().pick(kPlan, pb.x, pb.y, true), 1);
  ASSERT_EQ(edit().pickedObject, g);
  edit().startDrag();
  Vec3 from, to;
  edit().worldPointAt(kPlan, pb.x, pb.y, from);
  edit().worldPointAt(kPlan, pb.x + 30, pb.y, to);
  edit().dragTo(pb.x + 30, pb.y);
  const int dx = pos(a).x - 300;
  EXPECT_NEAR(dx, to.x - from.x, 1.0);
  EXPECT_EQ(pos(b).x - 400, dx);
  EXPECT_EQ(pos(a).z, 250);
  EXPECT_EQ(pos(b).z, 250);
}

TEST_F(Edit, RotateAddsWholeDegreesToTheWorldOrientation) {
  Riser* r = riser(300, 5, 250);
  r->setWorldOrientation(0, 10, 0);
  edit().select(r);
  edit().rotatePicked(0, 1, 0);
  edit().rotatePicked(0, -90, 0);
  const IVec3 o = r->worldOrientationInt();
  EXPECT_TRUE(samePos({0, -79, 0}, o));
}

TEST_F(Edit, PlaceAtKeepsDepthAndMovesTheDefault) {
  frame();
  Riser* r = riser(100, 37, 100);
  Vec3 w;
  ASSERT_TRUE(edit().worldPointAt(kPlan, 200, 150, w));
  edit().placeAt(*r, kPlan, 200, 150);
  EXPECT_TRUE(samePos({roundToInt(w.x), 37, roundToInt(w.z)}, pos(r)));
  EXPECT_TRUE(samePos(pos(r), pos(list().defaultRiser.get())));
  // In the front elevation the depth is kept instead.
  ASSERT_TRUE(edit().worldPointAt(kFront, 100, 200, w));
  const int z = pos(r).z;
  edit().placeAt(*r, kFront, 100, 200);
  EXPECT_TRUE(samePos({roundToInt(w.x), roundToInt(w.y), z}, pos(r)));
}

TEST_F(Edit, WorldPointUnderTheMouse) {
  frame();
  Vec3 w;
  // Plan: the floor plan point, height unknown.
  ASSERT_TRUE(edit().worldPointAt(kPlan, 200, 150, w));
  EXPECT_EQ(w.y, noCoordinate);
  EXPECT_GT(w.x, 0);
  EXPECT_LT(w.x, 1000);
  // The side and front elevations cannot tell x and z respectively.
  ASSERT_TRUE(edit().worldPointAt(kSide, 200, 150, w));
  EXPECT_EQ(w.x, noCoordinate);
  EXPECT_NE(w.z, noCoordinate);
  ASSERT_TRUE(edit().worldPointAt(kFront, 200, 150, w));
  EXPECT_EQ(w.z, noCoordinate);
  // A free view tells nothing; nor do elevations shown with depth.
  EXPECT_FALSE(edit().worldPointAt(kCurrent, 200, 150, w));
  EXPECT_EQ(w.x, noCoordinate);
  theatre->viewList->showDepth->setValue(1);
  EXPECT_FALSE(edit().worldPointAt(kPlan, 200, 150, w));
  EXPECT_EQ(w.z, noCoordinate);
}

// --- Rubber box ------------------------------------------------------------------------------

TEST_F(Edit, RubberBoxClassification) {
  Riser* r1 = riser(100, 5, 100);
  Riser* r2 = riser(200, 5, 100);
  Riser* l1 = riser(100, 100, 400, 15, 5, 5, 'h');
  Riser* l2 = riser(200, 100, 400, 15, 5, 5, 'm');
  Truss* t1 = truss(600, 150, 100);
  Truss* t2 = truss(750, 150, 100);
  Riser* r3 = riser(900, 5, 400);
  Group* g = list().newGroup();
  g->addMember(r3);
  frame();

  EXPECT_EQ(edit().analyseRubberBox(), 0);  // no box
  struct Case {
    const char* name;
    std::initializer_list<ObjectEntry*> inside;
    int flags;
  } cases[] = {
      {"two risers", {r1, r2}, 8 | 2 | 64}, {"one riser", {r1}, 2 | 64},
      {"two lights", {l1, l2}, 4 | 2 | 64}, {"risers and lights", {r1, r2, l1, l2}, 8 | 4 | 2 | 64},
      {"one truss", {t1}, 16 | 2 | 64},     {"two trusses", {t1, t2}, 32 | 2 | 64},
      {"a grouped riser", {r3}, 64},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    boxAround(c.inside);
    EXPECT_EQ(edit().analyseRubberBox(), c.flags);
  }
  // Empty floor, a click, a box 2 pixels wide but taller.
  const ScreenPoint p1 = at(r1, kPlan);
  edit().startRubberBox(kPlan, p1.x + 10, p1.y + 10);
  edit().updateRubberBox(kPlan, p1.x + 20, p1.y + 20);
  EXPECT_EQ(edit().analyseRubberBox(), 2);
  edit().updateRubberBox(kPlan, p1.x + 8, p1.y + 12);
  EXPECT_EQ(edit().analyseRubberBox(), 1);
  edit().startRubberBox(kPlan, p1.x + 1, p1.y - 10);
  edit().updateRubberBox(kPlan, p1.x - 1, p1.y + 10);  // corners in any order
  EXPECT_EQ(edit().analyseRubberBox(), 2 | 64);
  // A box drawn in another pane looks at that pane's points: the side pane shows both risers
  // at one point.
  boxAround({r1}, kSide);
  EXPECT_EQ(edit().analyseRubberBox(), 8 | 2 | 64);
}

TEST_F(Edit, RubberBoxIsDrawnOnlyInItsPane) {
  frame();
  edit().startRubberBox(kSide, 300, 200);
  edit().updateRubberBox(kPlan, 10, 10);  // another pane: ignored
  theatre->content->clearChanged();
  edit().updateRubberBox(kSide, 120, 50);
  EXPECT_EQ(edit().editChanged, 1);
  EXPECT_TRUE(theatre->content->isChanged());
  frame();
  for (int pane = 0; pane < 4; ++pane) {
    SCOPED_TRACE(pane);
    std::vector<const CanvasCall*> boxes;
    for (const CanvasCall* c : canvas[pane]->rectangles())
      if (c->penColor == kGrey) boxes.push_back(c);
    if (pane != kSide) {
      EXPECT_TRUE(boxes.empty());
      continue;
    }
    ASSERT_EQ(boxes.size(), 1u) << canvas[pane]->describeCalls();
    EXPECT_EQ(boxes[0]->brushStyle, BrushStyle::Clear);
    EXPECT_EQ(boxes[0]->x1, 120);
    EXPECT_EQ(boxes[0]->y1, 50);
    EXPECT_EQ(boxes[0]->x2, 300);
    EXPECT_EQ(boxes[0]->y2, 200);
    // Drawn after the box and the objects.
    const std::vector<CanvasCall>& calls = canvas[pane]->calls();
    for (const CanvasCall& c : calls)
      if (c.kind == CallKind::Line && c.penColor != 0x00FFFF) {
        EXPECT_LT(&c, boxes[0]);
      }
  }
  edit().endRubberBox();
  frame();
  for (int pane = 0; pane < 4; ++pane) EXPECT_TRUE(canvas[pane]->rectangles().empty());
}

TEST_F(Edit, ZoomThroughTheRubberBoxAndBackWithAClick) {
  riser(300, 5, 250);
  frame();
  ViewList& views = *theatre->viewList;
  const double scale = views.paneScale[kPlan][0];
  views.paneViewsChanged = 0;
  edit().startRubberBox(kPlan, 100, 100);
  edit().updateRubberBox(kPlan, 200, 150);
  edit().applyRubberBox(true, false, false, false, false);
  EXPECT_EQ(edit().rubberBoxPane, -1);
  EXPECT_EQ(views.paneFitMode[kPlan], FitHeld);
  EXPECT_EQ(views.paneViewsChanged, 1);
  EXPECT_GT(views.paneScale[kPlan][0], 3 * scale);
  // Held through later frames.
  const double zoomed = views.paneScale[kPlan][0];
  frame();
  EXPECT_EQ(views.paneScale[kPlan][0], zoomed);
  EXPECT_EQ(views.paneFitMode[kSide], FitAuto);

  // A click (at most 2 pixels each way) returns the pane to automatic fitting.
  edit().startRubberBox(kPlan, 50, 50);
  edit().updateRubberBox(kPlan, 52, 52);
  EXPECT_EQ(edit().analyseRubberBox(), RubberBoxClick);
  edit().applyRubberBox(true, false, false, false, false);
  EXPECT_EQ(views.paneFitMode[kPlan], FitAuto);
  frame();
  EXPECT_EQ(views.paneScale[kPlan][0], scale);
}

TEST_F(Edit, GroupThroughTheRubberBoxTakesOutermostGroups) {
  Riser* a = riser(100, 5, 100);
  Riser* b = riser(200, 5, 100);
  Riser* c = riser(800, 5, 400);
  Group* inner = list().newGroup();
  // The group's own screen point is its first member's, far outside the box: it is gathered
  // through b.
  inner->addMember(c);
  inner->addMember(b);
  frame();
  theatre->undo->beginStep();
  boxAround({a, b});
  edit().applyRubberBox(false, true, false, false, false);
  Group* made = list().currentGroup;
  ASSERT_NE(made, nullptr);
  ASSERT_NE(made, inner);
  EXPECT_EQ(made->members(), (std::vector<ObjectEntry*>{a, inner}));
  EXPECT_EQ(b->parentGroup, inner);
  EXPECT_TRUE(samePos({200, 5, 100}, pos(b)));
  EXPECT_EQ(edit().rubberBoxPane, -1);
  // One undo step takes the new group away again.
  theatre->undo->undoStep();
  EXPECT_EQ(a->parentGroup, nullptr);
  EXPECT_EQ(inner->parentGroup, nullptr);
  EXPECT_EQ(list().indexOf(made), -1);
}

TEST_F(Edit, AlignRisersToALine) {
  struct Case {
    const char* name;
    IVec3 in[3];
    bool evenly;
    IVec3 out[3];
  } cases[] = {
      {"slight slope becomes level, evenly",
       {{0, 100, 10}, {50, 100, 12}, {100, 100, 11}},
       true,
       {{0, 100, 11}, {50, 100, 11}, {100, 100, 11}}},
      {"listed out of order, sorted along x",
       {{100, 100, 11}, {0, 100, 10}, {50, 100, 12}},
       true,
       {{100, 100, 11}, {0, 100, 11}, {50, 100, 11}}},
      {"uneven spacing kept without evenly",
       {{100, 50, 100}, {120, 50, 102}, {300, 50, 101}},
       false,
       {{100, 50, 101}, {120, 50, 101}, {300, 50, 101}}},
      {"uneven spacing evened",
       {{100, 50, 100}, {120, 50, 102}, {300, 50, 101}},
       true,
       {{100, 50, 101}, {200, 50, 101}, {300, 50, 101}}},
      {"depth is the main axis",
       {{500, 20, 100}, {502, 20, 300}, {501, 20, 200}},
       false,
       {{501, 20, 100}, {501, 20, 300}, {501, 20, 200}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    rebuild();
    Riser* r[3];
    for (int i = 0; i < 3; ++i) r[i] = riser(c.in[i].x, c.in[i].y, c.in[i].z, 10, 10, 10);
    frame();
    theatre->undo->beginStep();
    boxAround({r[0], r[1], r[2]});
    ASSERT_EQ(edit().analyseRubberBox() & RubberBoxRisers, RubberBoxRisers);
    edit().applyRubberBox(false, false, false, true, c.evenly);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(samePos(c.out[i], pos(r[i]))) << i;
    EXPECT_EQ(edit().rubberBoxPane, -1);
    theatre->undo->undoStep();
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(samePos(c.in[i], pos(r[i]))) << i;
  }
}

// Slopes snap to multiples of 15 degrees: 12 degrees becomes 15, 45 stays 45.
TEST_F(Edit, AlignToALineSnapsTheSlope) {
  struct Case {
    const char* name;
    IVec3 in[3];
    double slope;
  } cases[] = {
      {"12 degrees", {{100, 5, 100}, {200, 5, 121}, {300, 5, 142}}, std::tan(degToRad(15))},
      {"45 degrees", {{100, 5, 100}, {200, 5, 210}, {300, 5, 300}}, 1},
      {"-40 degrees", {{100, 5, 300}, {200, 5, 216}, {300, 5, 132}}, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    rebuild();
    Riser* r[3];
    for (int i = 0; i < 3; ++i) r[i] = riser(c.in[i].x, c.in[i].y, c.in[i].z, 10, 10, 10);
    frame();
    boxAround({r[0], r[1], r[2]});
    edit().applyRubberBox(false, false, false, true, false);
    // All three on one line of that slope (within the truncation to whole units).
    for (int i = 0; i < 3; ++i) {
      EXPECT_NEAR(pos(r[i]).z - c.slope * pos(r[i]).x, pos(r[0]).z - c.slope * pos(r[0]).x, 1.5)
          << i;
      EXPECT_EQ(pos(r[i]).y, 5);
    }
  }
}

TEST_F(Edit, AlignToALineFollowsA45DegreeSlopeAndLeavesOthersAlone) {
  Riser* r[3];
  const IVec3 in[3] = {{100, 5, 100}, {200, 5, 210}, {300, 5, 300}};
  for (int i = 0; i < 3; ++i) r[i] = riser(in[i].x, in[i].y, in[i].z, 10, 10, 10);
  Riser* light = riser(150, 100, 150, 15, 5, 5, 'h');
  Riser* outside = riser(800, 5, 450, 10, 10, 10);
  frame();
  boxAround({r[0], r[1], r[2]});
  edit().applyRubberBox(false, false, false, true, false);
  // On the line z = x + c through the mean: every riser lies on one 45-degree line.
  const int c0 = pos(r[0]).z - pos(r[0]).x;
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(pos(r[i]).z - pos(r[i]).x, c0, 1) << i;
  EXPECT_TRUE(samePos({150, 100, 150}, pos(light)));
  EXPECT_TRUE(samePos({800, 5, 450}, pos(outside)));
}

TEST_F(Edit, AlignLightsOnlyMovesLights) {
  Riser* l1 = riser(100, 100, 100, 15, 5, 5, 'h');
  Riser* l2 = riser(200, 100, 104, 15, 5, 5, 'm');
  Riser* r = riser(150, 5, 130, 10, 10, 10);
  frame();
  boxAround({l1, l2, r});
  edit().applyRubberBox(false, false, true, true, false);
  EXPECT_EQ(pos(l1).z, pos(l2).z);
  EXPECT_TRUE(samePos({150, 5, 130}, pos(r)));
}

TEST_F(Edit, AlignUnderATruss) {
  struct Case {
    const char* name;
    IVec3 trussOrient;
    IVec3 out[2];
  } cases[] = {
      // Drop (3 * 3 + 5) / 2 = 7 below, at -33.5 and +33.5 along the truss.
      {"along x", {0, 0, 0}, {{466, 143, 250}, {533, 143, 250}}},
      // Turned 90 degrees about y the truss runs along z.
      {"along z", {0, 90, 0}, {{500, 143, 216}, {500, 143, 283}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    rebuild();
    Truss* t = truss(500, 150, 250);  // 72 x 3 x 3
    t->setWorldOrientation(c.trussOrient.x, c.trussOrient.y, c.trussOrient.z);
    Riser* a = riser(470, 5, 240, 10, 5, 10);
    Riser* b = riser(530, 5, 260, 10, 5, 10);
    frame();
    boxAround({t, a, b});
    const int flags = edit().analyseRubberBox();
    EXPECT_EQ(flags & (RubberBoxOneTruss | RubberBoxRisers), RubberBoxOneTruss | RubberBoxRisers);
    edit().applyRubberBox(false, false, false, false, false);
    EXPECT_TRUE(samePos(c.out[0], pos(a)));
    EXPECT_TRUE(samePos(c.out[1], pos(b)));
    EXPECT_TRUE(samePos({500, 150, 250}, pos(t)));
  }
}

TEST_F(Edit, AlignmentNeedsASpreadAndATruss) {
  Riser* a = riser(300, 5, 250, 10, 10, 10);
  Riser* b = riser(300, 5, 250, 10, 10, 10);
  Riser* c = riser(600, 5, 100, 10, 10, 10);
  Riser* d = riser(700, 5, 110, 10, 10, 10);
  frame();
  // Two risers at one place: no line.
  boxAround({a, b});
  edit().applyRubberBox(false, false, false, true, true);
  EXPECT_TRUE(samePos({300, 5, 250}, pos(a)));
  EXPECT_TRUE(samePos({300, 5, 250}, pos(b)));
  // No truss in the box: nothing moves.
  boxAround({c, d});
  edit().applyRubberBox(false, false, false, false, false);
  EXPECT_TRUE(samePos({600, 5, 100}, pos(c)));
  EXPECT_TRUE(samePos({700, 5, 110}, pos(d)));
  // Without a box nothing happens at all.
  edit().applyRubberBox(false, true, false, false, false);
  EXPECT_EQ(list().count(), 4);
}

}  // namespace
