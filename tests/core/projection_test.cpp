#include "geometry/projection.h"

#include <gtest/gtest.h>

#include "geometry/polygonlist.h"
#include "geometry/represent.h"
#include "geometry/shapes.h"
#include "geometry/transformation.h"

using namespace lmv;

namespace {

struct ProjectCase {
  const char* name;
  bool perspective;
  Vec3 c;
  Vec2 expected;
};

TEST(PaneProjection, ProjectPointOrthographicAndPerspective) {
  const ProjectCase cases[] = {
      // In front of the camera (Z < 0) both kinds show +X right and +Y up (smaller plane y).
      {"orthographic in front", false, {10, 20, -5}, {10, -20}},
      {"orthographic behind", false, {10, 20, 5}, {-10, 20}},
      {"orthographic at Z 0", false, {10, 20, 0}, {-10, 20}},
      {"perspective divides", true, {10, 20, -2}, {5, -10}},
      {"perspective |Z| <= 1 only flips", true, {10, 20, -0.5}, {10, -20}},
      {"perspective Z exactly -1 only flips", true, {10, 20, -1}, {10, -20}},
      {"perspective behind lands mirrored", true, {10, 20, 3}, {-10.0 / 3, 20.0 / 3}},
  };
  for (const ProjectCase& c : cases) {
    SCOPED_TRACE(c.name);
    PaneProjection pane;
    pane.perspective = c.perspective;
    const Vec2 p = pane.projectPoint(c.c);
    EXPECT_DOUBLE_EQ(c.expected.x, p.x);
    EXPECT_DOUBLE_EQ(c.expected.y, p.y);
  }
}

TEST(PaneProjection, TwoRoundingsToPixels) {
  PaneProjection pane{false, 1, 1, 10, 10};
  // Outlines truncate before adding the centre, beams after.
  const ScreenPoint outline = pane.toScreenPolygon({-1.5, 2.5});
  const ScreenPoint beam = pane.toScreenBeam({-1.5, 2.5});
  EXPECT_EQ(9, outline.x);
  EXPECT_EQ(12, outline.y);
  EXPECT_EQ(8, beam.x);
  EXPECT_EQ(12, beam.y);
  // Far-off points saturate instead of overflowing.
  EXPECT_EQ(2147483647, pane.toScreenBeam({1e300, 0}).x);
  EXPECT_EQ(10, pane.toScreenPolygon({std::nan(""), 0}).x);
}

TEST(PaneProjection, UnprojectInvertsProjection) {
  for (bool perspective : {false, true}) {
    SCOPED_TRACE(perspective ? "perspective" : "orthographic");
    PaneProjection pane{perspective, 2, 2, 100, 50};
    Vec3 c;
    ASSERT_TRUE(pane.unproject(130, 20, -400, c));
    EXPECT_DOUBLE_EQ(-400, c.z);
    const ScreenPoint back = pane.toScreenBeam(pane.projectPoint(c));
    EXPECT_EQ(130, back.x);
    EXPECT_EQ(20, back.y);
  }
  PaneProjection perspective{true, 2, 2, 100, 50};
  Vec3 c;
  ASSERT_TRUE(perspective.unproject(130, 20, -400, c));
  EXPECT_DOUBLE_EQ(6000, c.x);
  EXPECT_DOUBLE_EQ(6000, c.y);

  PaneProjection unfitted;
  Vec3 untouched{1, 2, 3};
  EXPECT_FALSE(unfitted.unproject(5, 5, -10, untouched));
  EXPECT_DOUBLE_EQ(1, untouched.x);
}

TEST(PolygonEntry, ReadsOutsideGiveOneMillionAndWritesThereDoNothing) {
  Represent owner(0);
  PolygonEntry& p = owner.polygons.add(12, true, true);
  for (int i : {12, -1, 1000}) {
    SCOPED_TRACE(i);
    const Vec3 v = p.viewPoint(i);
    EXPECT_EQ(1000000, v.x);
    EXPECT_EQ(1000000, v.y);
    EXPECT_EQ(1000000, v.z);
    EXPECT_EQ(1000000, p.planePoint(i).x);
    EXPECT_EQ(1000000, p.planePoint(i).y);
  }
  EXPECT_FALSE(owner.takeChanged());
  p.setViewPoint(12, {1, 2, 3});
  p.setPlanePoint(-1, {1, 2});
  EXPECT_FALSE(owner.takeChanged());
  p.setViewPoint(11, {1, 2, 3});
  EXPECT_EQ(3, p.viewPoint(11).z);
  EXPECT_TRUE(owner.takeChanged());
  EXPECT_FALSE(owner.takeChanged());
}

TEST(PolygonList, CountsCollectsAndRemoves) {
  PolygonList list;
  list.add(4, true, true).setViewPoint(0, {1, 0, 0});
  list.add(2, false, false).setViewPoint(1, {2, 0, 0});
  EXPECT_EQ(6, list.totalPoints());
  std::vector<Vec3> points(99);
  list.collectViewPoints(points);
  ASSERT_EQ(6u, points.size());
  EXPECT_EQ(1, points[0].x);
  EXPECT_EQ(2, points[5].x);
  list.remove(0);
  list.remove(7);
  ASSERT_EQ(1, list.count());
  EXPECT_EQ(2, list[0].pointCount());
  EXPECT_EQ(nullptr, list.polygon(1));
}

// Polygons share their list's point arrays: resizing or removing one must leave the points
// of the others where they belong, empty polygons included.
TEST(PolygonList, ResizingAndRemovingKeepOtherPolygonsPoints) {
  Represent owner(0);
  PolygonList& list = owner.polygons;
  list.add(0, false, false);
  list.add(2, false, false);
  list.add(3, true, true);
  for (int k = 1; k < 3; ++k)
    for (int i = 0; i < list[k].pointCount(); ++i) {
      list[k].setViewPoint(i, {double(10 * k + i), 0, 0});
      list[k].setPlanePoint(i, {double(10 * k + i), 1});
    }
  auto expectPolygon = [&](int k, int first, int n) {
    SCOPED_TRACE(k);
    ASSERT_EQ(n, list[k].pointCount());
    for (int i = 0; i < n; ++i) {
      EXPECT_EQ(first + i, list[k].viewPoint(i).x);
      EXPECT_EQ(first + i, list[k].planePoint(i).x);
    }
  };
  list[0].setPointCount(2);  // the empty one grows in front of the others
  EXPECT_EQ(0, list[0].viewPoint(1).x);
  EXPECT_EQ(0, list[0].planePoint(1).y);
  expectPolygon(1, 10, 2);
  expectPolygon(2, 20, 3);
  list[1].setPointCount(1);
  expectPolygon(1, 10, 1);
  expectPolygon(2, 20, 3);
  list.remove(1);
  expectPolygon(1, 20, 3);
  EXPECT_EQ(5, list.totalPoints());
  std::vector<Vec3> points;
  list.collectViewPoints(points);
  ASSERT_EQ(5u, points.size());
  EXPECT_EQ(22, points[4].x);
  owner.changed = 0;
  list[1].setViewPoint(2, {7, 7, 7});
  EXPECT_TRUE(owner.takeChanged());

  PolygonEntry alone;  // outside a list it keeps its points itself
  alone.setPointCount(2);
  alone.setViewPoint(1, {5, 0, 0});
  alone.setPointCount(4);
  EXPECT_EQ(5, alone.viewPoint(1).x);
  EXPECT_EQ(0, alone.viewPoint(3).x);
}

// A representation with a square 0..10 in the extent and a far point outside it.
class RepresentFixture : public ::testing::Test {
 protected:
  RepresentFixture() {
    PolygonEntry& square = r.polygons.add(4, true, true);
    square.setPlanePoint(0, {0, 0});
    square.setPlanePoint(1, {10, 0});
    square.setPlanePoint(2, {10, 10});
    square.setPlanePoint(3, {0, 10});
    PolygonEntry& far = r.polygons.add(2, false, false);
    far.setPlanePoint(0, {100, 100});
    far.setPlanePoint(1, {-100, -100});
  }
  Represent r{0};
};

TEST_F(RepresentFixture, ExtentCountsOnlyPolygonsInTheExtent) {
  r.measure();
  EXPECT_EQ(0, r.extent.xMin);
  EXPECT_EQ(10, r.extent.xMax);
  EXPECT_EQ(0, r.extent.yMin);
  EXPECT_EQ(10, r.extent.yMax);
  r.toPixels({false, 2, 3, 5, 7});
  EXPECT_EQ(5, r.extent.xMin);
  EXPECT_EQ(25, r.extent.xMax);
  EXPECT_EQ(7, r.extent.yMin);
  EXPECT_EQ(37, r.extent.yMax);
}

TEST_F(RepresentFixture, HitTestAcceptsFivePixelsOutsideAndRejectsSix) {
  r.measure();
  r.toPixels({false, 1, 1, 0, 0});
  struct Case {
    int x, y;
    bool hit;
  } cases[] = {{5, 5, true},  {-5, 5, true},  {-6, 5, false}, {15, 5, true}, {16, 5, false},
               {5, -5, true}, {5, -6, false}, {5, 15, true},  {5, 16, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    EXPECT_EQ(c.hit, r.hitTest(c.x, c.y));
  }
}

TEST_F(RepresentFixture, ScreenCentreAndDistanceUseTheFittedMapping) {
  r.measure();
  r.toPixels({false, 2, 2, 1, 1});
  const ScreenPoint c = r.screenCentre();
  EXPECT_EQ(11, c.x);  // mean 5 of the square only, 5 * 2 + 1
  EXPECT_EQ(11, c.y);
  EXPECT_EQ(9 + 11, r.distanceTo(20, 0));
}

TEST(Shapes, BoxCornersSplitAndTruncate) {
  Transformation view;  // identity camera
  PolygonList box;
  buildBox(box, {0, 0, 0}, {100, 11, 21}, {0, 0, 0}, 25, view);
  ASSERT_EQ(6, box.count());
  // Low-x end 25 % of the length from the origin; halves truncate toward zero.
  const Vec3 expected[8] = {{-25, -5, -10}, {-25, -5, 10}, {-25, 5, 10}, {-25, 5, -10},
                            {75, -5, -10},  {75, -5, 10},  {75, 5, 10},  {75, 5, -10}};
  for (int k = 0; k < 4; ++k) {
    SCOPED_TRACE(k);
    for (int end = 0; end < 2; ++end) {
      const Vec3 v = box[end].viewPoint(k);
      EXPECT_EQ(expected[k + 4 * end].x, v.x);
      EXPECT_EQ(expected[k + 4 * end].y, v.y);
      EXPECT_EQ(expected[k + 4 * end].z, v.z);
    }
    EXPECT_EQ(expected[k].x, box[2 + k].viewPoint(0).x);
    EXPECT_EQ(expected[k + 4].x, box[2 + k].viewPoint(1).x);
  }
  for (int k = 0; k < 6; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(k < 2, box[k].closed);
    EXPECT_EQ(k < 2, box[k].inExtent);
    EXPECT_EQ(k < 2 ? 4 : 2, box[k].pointCount());
  }
}

TEST(Shapes, BoxTurnsAboutItsOriginAndMovesToItsCentre) {
  Transformation view;
  view.set({0, 0, 100}, {0, 0, 0});  // camera 100 towards the audience
  PolygonList box;
  // A positive turn about y swings +x towards the audience.
  buildBox(box, {1, 2, 3}, {100, 10, 20}, {0, 90, 0}, 25, view);
  const Vec3 corner4 = box[1].viewPoint(0);  // local (75, -5, -10)
  EXPECT_NEAR(1 + 10, corner4.x, 1e-9);
  EXPECT_NEAR(2 - 5, corner4.y, 1e-9);
  EXPECT_NEAR(3 + 75 - 100, corner4.z, 1e-9);
}

TEST(Shapes, BodyRingsAndHeadTurnFirst) {
  Transformation view;
  PolygonList body;
  buildBody(body, {0, 0, 0}, {20, 10, 6}, {0, 0, 0}, nullptr, view);
  ASSERT_EQ(14, body.count());
  EXPECT_EQ(12, body[0].pointCount());
  EXPECT_EQ(2, body[13].pointCount());
  const Vec3 p3 = body[1].viewPoint(3);  // 90 degrees round the high-x ring
  EXPECT_DOUBLE_EQ(10, p3.x);
  EXPECT_NEAR(0, p3.y, 1e-12);
  EXPECT_DOUBLE_EQ(3, p3.z);
  EXPECT_DOUBLE_EQ(-10, body[5].viewPoint(0).x);  // edge 3 starts on the low-x ring

  // The head turn acts before the orientation: the same as one composed orientation.
  const Vec3 head{0, 30, 0};
  const Vec3 angles{0, 0, 40};
  PolygonList turned, composed;
  buildBody(turned, {5, 6, 7}, {20, 10, 6}, angles, &head, view);
  buildBody(composed, {5, 6, 7}, {20, 10, 6}, composeOrientation(head, angles), nullptr, view);
  for (int k = 0; k < 2; ++k)
    for (int j = 0; j < 12; ++j) {
      SCOPED_TRACE(testing::Message() << k << "/" << j);
      EXPECT_NEAR(composed[k].viewPoint(j).x, turned[k].viewPoint(j).x, 1e-9);
      EXPECT_NEAR(composed[k].viewPoint(j).y, turned[k].viewPoint(j).y, 1e-9);
      EXPECT_NEAR(composed[k].viewPoint(j).z, turned[k].viewPoint(j).z, 1e-9);
    }
}

TEST(Shapes, ProjectShapeCopiesEdgesFromTheEnds) {
  Transformation view;
  PolygonList box;
  buildBox(box, {0, 0, -500}, {100, 10, 20}, {0, 0, 0}, 50, view);
  // Edges are never projected themselves: spoil their camera points to prove it.
  for (int k = 0; k < 4; ++k) box[2 + k].setViewPoint(0, {9999, 9999, -1});
  PaneProjection pane;
  projectShape(pane, box, kBoxRing);
  for (int k = 0; k < 4; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(box[0].planePoint(k).x, box[2 + k].planePoint(0).x);
    EXPECT_EQ(box[1].planePoint(k).y, box[2 + k].planePoint(1).y);
  }
  EXPECT_EQ(-50, box[0].planePoint(0).x);  // orthographic, in front: x kept
  EXPECT_EQ(5, box[0].planePoint(0).y);    // y = -5 drawn lower: plane y 5
}

}  // namespace
