// Pane fitting, zoom and the frame's build/project/fit phases on an empty theatre.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "geometry/represent.h"
#include "model/theatre.h"
#include "model/value.h"
#include "model/viewentry.h"
#include "model/viewlist.h"
#include "model/walls.h"

using namespace lmv;

namespace {

// Fitting inputs held by the test.
class FakeSource : public FitSource {
 public:
  void forEachObjectRepresent(int pane, const std::function<void(Represent&)>& visit) override {
    for (Represent* r : objects[pane]) visit(*r);
  }
  Represent* wallsRepresent(int pane) override { return walls[pane]; }
  std::vector<Represent*> objects[4];
  Represent* walls[4] = {};
};

// A representation whose extent is the rectangle (x0, y0)..(x1, y1) in plane units.
void setRectangle(Represent& r, double x0, double y0, double x1, double y1) {
  if (r.polygons.count() == 0) r.polygons.add(2, false, true);
  r.polygons[0].setPlanePoint(0, {x0, y0});
  r.polygons[0].setPlanePoint(1, {x1, y1});
}

// One pane of 100 x 50 pixels around one object.
class OnePaneFit : public ::testing::Test {
 protected:
  OnePaneFit() { source.objects[0].push_back(&object); }
  ValueList values;
  int paneCount = 1;
  int rects[4][4] = {{0, 0, 99, 49}};
  ViewList views{values, paneCount, rects};
  Represent object{0};
  FakeSource source;
};

TEST_F(OnePaneFit, ScaleIsTheSmallerAxisWithAOnePixelMarginAndTheExtentIsCentred) {
  setRectangle(object, 0, 0, 200, 50);
  views.fitPanes(source);
  // x: 97 / 200 = 0.485; y: 47 / 50 = 0.94; both take 0.485.
  EXPECT_DOUBLE_EQ(97.0 / 200, views.paneScale[0][0]);
  EXPECT_DOUBLE_EQ(97.0 / 200, views.paneScale[0][1]);
  EXPECT_EQ(1, views.paneOffset[0][0]);   // trunc((99 - 97) * 0.5)
  EXPECT_EQ(12, views.paneOffset[0][1]);  // trunc((49 - 24.25) * 0.5)
  // The object's extent is in pixels now, with the final mapping.
  EXPECT_DOUBLE_EQ(1, object.extent.xMin);
  EXPECT_DOUBLE_EQ(97.0 / 200 * 200 + 1, object.extent.xMax);
  EXPECT_TRUE(object.hitTest(99, 40));
}

TEST_F(OnePaneFit, CentreStaysWhileTheExtentMovesInsideAndFollowsWhenItLeaves) {
  setRectangle(object, 0, 0, 200, 50);
  views.fitPanes(source);
  // Same size, still inside the pane: no jump.
  setRectangle(object, 2, 20, 202, 70);
  views.fitPanes(source);
  EXPECT_EQ(1, views.paneOffset[0][0]);
  EXPECT_EQ(12, views.paneOffset[0][1]);
  // Same size but past the bottom edge: centred again.
  setRectangle(object, 0, 40, 200, 90);
  views.fitPanes(source);
  EXPECT_DOUBLE_EQ(97.0 / 200, views.paneScale[0][0]);
  EXPECT_EQ(1, views.paneOffset[0][0]);
  EXPECT_EQ(-7, views.paneOffset[0][1]);  // trunc(-0.485 * 40 + 12.375)
  // Grown: new scale, centred.
  setRectangle(object, 0, 0, 400, 100);
  views.fitPanes(source);
  EXPECT_DOUBLE_EQ(97.0 / 400, views.paneScale[0][0]);
  EXPECT_EQ(1, views.paneOffset[0][0]);
}

TEST_F(OnePaneFit, WallsCountAndAnEmptyPaneKeepsItsMapping) {
  Represent walls{0};
  setRectangle(walls, -100, 0, 100, 10);
  setRectangle(object, 0, 0, 10, 50);
  source.walls[0] = &walls;
  views.fitPanes(source);
  EXPECT_DOUBLE_EQ(97.0 / 200, views.paneScale[0][0]);  // 200 wide from the walls
  EXPECT_DOUBLE_EQ(-100, views.paneExtent[0].xMin);
  EXPECT_DOUBLE_EQ(50, views.paneExtent[0].yMax);

  // Nothing measured at all: the pane keeps what it had instead of dividing by zero.
  FakeSource nothing;
  views.fitPanes(nothing);
  EXPECT_DOUBLE_EQ(97.0 / 200, views.paneScale[0][0]);
  EXPECT_EQ(views.previousOffset[0][0], views.paneOffset[0][0]);
}

// The empty default theatre (1000 x 200 x 500) in design mode, four panes of 400 x 300.
class DesignTheatre : public ::testing::Test {
 protected:
  DesignTheatre() {
    t.paneCount = 4;
    for (auto& r : t.paneRects) {
      r[0] = 0;
      r[1] = 0;
      r[2] = 399;
      r[3] = 299;
    }
  }
  void frame() {
    t.buildPhase();
    t.projectPhase();
    t.fitPhase();
  }
  ViewList& views() { return *t.viewList; }
  Theatre t;
};

struct Segment {
  int x0, y0, x1, y1;
  bool operator==(const Segment& o) const {
    return x0 == o.x0 && y0 == o.y0 && x1 == o.x1 && y1 == o.y1;
  }
};

// The lines an outline drawing makes of a representation, in polygon order.
std::vector<Segment> outlineSegments(const Represent& r, const PaneProjection& pane) {
  std::vector<Segment> out;
  for (int k = 0; k < r.polygons.count(); ++k) {
    const PolygonEntry& p = r.polygons[k];
    const int n = p.pointCount();
    for (int i = 0; i + 1 < n || (p.closed && i < n); ++i) {
      const ScreenPoint a = pane.toScreenPolygon(p.planePoint(i));
      const ScreenPoint b = pane.toScreenPolygon(p.planePoint((i + 1) % n));
      out.push_back({a.x, a.y, b.x, b.y});
    }
  }
  return out;
}

TEST_F(DesignTheatre, EmptyTheatreShowsTheTwelveBoxEdgesInEveryPane) {
  frame();
  // Pixels of the box corners 0..7: (0,0,0) (0,0,D) (0,H,D) (0,H,0) (W,0,0) (W,0,D) (W,H,D)
  // (W,H,0).
  struct PaneCase {
    const char* name;
    double scale;
    int cx, cy;
    ScreenPoint corners[8];
  } cases[] = {
      {"perspective (current view)",
       364.4600518803465,
       146,
       149,
       {{1, 197}, {195, 240}, {195, 58}, {1, 101}, {247, 174}, {397, 182}, {397, 116}, {247, 124}}},
      // Plan: x to the right, the back wall at the top, the audience at the bottom.
      {"plan",
       0.397,
       199,
       149,
       {{1, 50}, {1, 248}, {1, 248}, {1, 50}, {397, 50}, {397, 248}, {397, 248}, {397, 50}}},
      // Side: the back wall on the left, the audience on the right, height upwards.
      {"side",
       0.397,
       199,
       149,
       {{100, 188},
        {298, 188},
        {298, 110},
        {100, 110},
        {100, 188},
        {298, 188},
        {298, 110},
        {100, 110}}},
      // Front: x to the right, height upwards.
      {"front",
       0.397,
       199,
       149,
       {{1, 188}, {1, 188}, {1, 110}, {1, 110}, {397, 188}, {397, 188}, {397, 110}, {397, 110}}},
  };
  for (int pane = 0; pane < 4; ++pane) {
    const PaneCase& c = cases[pane];
    SCOPED_TRACE(c.name);
    EXPECT_DOUBLE_EQ(c.scale, views().paneScale[pane][0]);
    EXPECT_DOUBLE_EQ(c.scale, views().paneScale[pane][1]);
    EXPECT_EQ(c.cx, views().paneOffset[pane][0]);
    EXPECT_EQ(c.cy, views().paneOffset[pane][1]);
    const Represent* walls = t.walls->representation(pane);
    ASSERT_NE(nullptr, walls);
    const ScreenPoint* p = c.corners;
    auto seg = [&](int a, int b) { return Segment{p[a].x, p[a].y, p[b].x, p[b].y}; };
    const std::vector<Segment> expected = {
        seg(0, 1), seg(1, 2), seg(2, 3), seg(3, 0),  // low-x end
        seg(4, 5), seg(5, 6), seg(6, 7), seg(7, 4),  // high-x end
        seg(0, 4), seg(1, 5), seg(2, 6), seg(3, 7),  // edges along x
    };
    const std::vector<Segment> actual = outlineSegments(*walls, views().projection(pane));
    ASSERT_EQ(12u, actual.size());
    for (size_t i = 0; i < 12; ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(expected[i].x0, actual[i].x0);
      EXPECT_EQ(expected[i].y0, actual[i].y0);
      EXPECT_EQ(expected[i].x1, actual[i].x1);
      EXPECT_EQ(expected[i].y1, actual[i].y1);
    }
  }
  // The box answers the mouse where it is drawn.
  EXPECT_TRUE(t.walls->hitTest(1, 397, 248));
  EXPECT_FALSE(t.walls->hitTest(1, 399, 260));
}

TEST_F(DesignTheatre, UndoneViewSelectionIsDrawnFromTheRestoredCamera) {
  frame();
  const Vec2 before = t.walls->representation(0)->polygons[0].planePoint(0);
  t.undo->beginStep();
  ASSERT_TRUE(views().selectView(1));
  frame();
  EXPECT_NE(before.x, t.walls->representation(0)->polygons[0].planePoint(0).x);
  EXPECT_NE(0, t.undo->undoStep());
  frame();
  const Vec2 after = t.walls->representation(0)->polygons[0].planePoint(0);
  EXPECT_DOUBLE_EQ(before.x, after.x);
  EXPECT_DOUBLE_EQ(before.y, after.y);
}

TEST_F(DesignTheatre, OnlyPanesInUseAreBuiltAndFitted) {
  t.paneCount = 1;
  frame();
  EXPECT_NE(nullptr, t.walls->representation(0));
  EXPECT_EQ(nullptr, t.walls->representation(1));
  EXPECT_EQ(0, views().paneScale[1][0]);
  // One pane shows the current view in perspective.
  EXPECT_TRUE(views().isPerspective(0));
  EXPECT_EQ(views().currentView.get(), views().paneView(0));
}

TEST_F(DesignTheatre, SameScaleGivesTheElevationsTheSmallestFit) {
  views().sameScale->setValue(0);
  frame();
  EXPECT_DOUBLE_EQ(0.397, views().paneScale[1][0]);  // plan: 397 / 1000
  EXPECT_DOUBLE_EQ(0.794, views().paneScale[2][0]);  // side: 397 / 500
  EXPECT_DOUBLE_EQ(0.397, views().paneScale[3][0]);  // front: 397 / 1000
  const double perspective = views().paneScale[0][0];

  views().sameScale->setValue(1);
  frame();
  for (int pane = 1; pane < 4; ++pane) {
    SCOPED_TRACE(pane);
    EXPECT_DOUBLE_EQ(0.397, views().paneScale[pane][0]);
    EXPECT_DOUBLE_EQ(0.397, views().paneScale[pane][1]);
  }
  EXPECT_DOUBLE_EQ(perspective, views().paneScale[0][0]);  // the perspective pane keeps its own
}

TEST_F(DesignTheatre, ShowDepthMakesTheElevationsPerspective) {
  frame();
  const double frontLeft = t.walls->representation(3)->polygons[0].planePoint(0).x;
  EXPECT_TRUE(views().isPerspective(0));
  for (int pane = 1; pane < 4; ++pane) EXPECT_FALSE(views().isPerspective(pane));

  views().showDepth->setValue(1);
  frame();
  for (int pane = 0; pane < 4; ++pane) EXPECT_TRUE(views().isPerspective(pane));
  // The front view now sees the box from 5 x depth away: the back wall looks smaller.
  const Represent& front = *t.walls->representation(3);
  EXPECT_NEAR(500.0 / -2500, front.polygons[0].planePoint(0).x, 1e-12);  // back corner
  EXPECT_NEAR(500.0 / -2000, front.polygons[0].planePoint(1).x, 1e-12);  // audience corner

  views().showDepth->setValue(1.9);  // truncated: still on
  EXPECT_TRUE(views().isPerspective(2));
  views().showDepth->setValue(0);
  frame();
  EXPECT_FALSE(views().isPerspective(3));
  EXPECT_DOUBLE_EQ(frontLeft, t.walls->representation(3)->polygons[0].planePoint(0).x);
}

TEST_F(DesignTheatre, ZoomedPaneIsHeldUntilAClickReturnsItToFitting) {
  frame();
  t.zoomPane(3, 300, 200, 100, 100);  // corners in any order
  EXPECT_EQ(FitHeld, views().paneFitMode[3]);
  EXPECT_EQ(1, views().paneViewsChanged);
  // The 200-pixel-wide box now fills the pane's 397 usable pixels.
  const double zoomed = 0.397 * 397 / 200;
  EXPECT_NEAR(zoomed, views().paneScale[3][0], 1e-12);
  EXPECT_NEAR(zoomed, views().paneScale[3][1], 1e-12);
  // The box's left and right ends (in plane units of the old mapping) now lie one pixel
  // inside the pane's edges.
  const int cx = views().paneOffset[3][0];
  const int cy = views().paneOffset[3][1];
  EXPECT_NEAR(1, (100 - 199) / 0.397 * zoomed + cx, 1);
  EXPECT_NEAR(398, (300 - 199) / 0.397 * zoomed + cx, 1);

  // Held through further frames; the other elevations keep the common fit.
  views().paneViewsChanged = 0;
  frame();
  frame();
  EXPECT_EQ(FitHeld, views().paneFitMode[3]);
  EXPECT_NEAR(zoomed, views().paneScale[3][0], 1e-12);
  EXPECT_EQ(cx, views().paneOffset[3][0]);
  EXPECT_EQ(cy, views().paneOffset[3][1]);
  EXPECT_DOUBLE_EQ(0.397, views().paneScale[1][0]);
  // The walls' pixel extent follows the held mapping.
  EXPECT_NEAR(-500 * zoomed + cx, t.walls->representation(3)->extent.xMin, 1e-9);

  // A click (at most 2 pixels either way) returns the pane to automatic fitting.
  t.zoomPane(3, 50, 50, 52, 48);
  EXPECT_EQ(FitAuto, views().paneFitMode[3]);
  EXPECT_EQ(1, views().paneViewsChanged);
  frame();
  EXPECT_DOUBLE_EQ(0.397, views().paneScale[3][0]);
  EXPECT_EQ(199, views().paneOffset[3][0]);
  EXPECT_EQ(149, views().paneOffset[3][1]);
}

TEST_F(DesignTheatre, ZoomBeforeAnyFitOnlyReturnsToFitting) {
  t.zoomPane(2, 0, 0, 100, 100);  // no scale yet: nothing to zoom to
  EXPECT_EQ(FitAuto, views().paneFitMode[2]);
  t.zoomPane(7, 0, 0, 100, 100);  // no such pane
  frame();
  EXPECT_DOUBLE_EQ(0.397, views().paneScale[2][0]);
}

}  // namespace
