#include "geometry/draw.h"

#include <gtest/gtest.h>

#include <memory>

#include "model/theatre.h"
#include "platform/recordingcanvas.h"
#include "testutil.h"

using namespace lmv;

namespace {

struct Panes {
  Panes(int w, int h) {
    for (int i = 0; i < 4; ++i) {
      canvas[i] = std::make_unique<RecordingCanvas>(w, h);
      raw[i] = canvas[i].get();
    }
  }
  void layout(Theatre& t, int count) {
    t.paneCount = count;
    for (int i = 0; i < count; ++i) {
      t.paneRects[i][0] = t.paneRects[i][1] = 0;
      t.paneRects[i][2] = canvas[i]->width() - 1;
      t.paneRects[i][3] = canvas[i]->height() - 1;
    }
  }
  std::unique_ptr<RecordingCanvas> canvas[4];
  Canvas* raw[4];
};

TEST(Draw, EmptyTheatreDrawsTwelveWhiteEdgesPerPaneAndLegends) {
  Panes panes(400, 300);
  Theatre t(panes.raw);
  panes.layout(t, 4);
  drawFrame(t, 0x000000);
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const RecordingCanvas& c = *panes.canvas[i];
    EXPECT_EQ(c.segments(0xFFFFFF).size(), 12u) << c.describeCalls();
    // Only the box and, in the elevations, the yellow legend.
    EXPECT_EQ(c.segments().size(), c.segments(0xFFFFFF).size() + c.segments(0x00FFFF).size());
  }
  // Pane 1 shows the plan: "w" to the right, "d" downwards from the top-left corner.
  EXPECT_TRUE(panes.canvas[1]->hasSegment({0, 0, 15, 0, 0x00FFFF}));
  EXPECT_TRUE(panes.canvas[1]->hasSegment({0, 0, 0, 15, 0x00FFFF}));
  ASSERT_NE(panes.canvas[1]->findText("w"), nullptr);
  EXPECT_EQ(panes.canvas[1]->findText("w")->x1, 17);
  // Side view (pane 2): depth across, height up from the bottom.
  EXPECT_TRUE(panes.canvas[2]->hasSegment({0, 299, 0, 284, 0x00FFFF}));
  ASSERT_NE(panes.canvas[2]->findText("h"), nullptr);
  EXPECT_EQ(panes.canvas[2]->findText("h")->y1, 270);
  // The perspective pane has no legend.
  EXPECT_TRUE(panes.canvas[0]->segments(0x00FFFF).empty());
}

TEST(Draw, SinglePaneModeDrawsOnlyPaneZero) {
  Panes panes(320, 200);
  Theatre t(panes.raw);
  panes.layout(t, 1);
  drawFrame(t, 0x102030);
  EXPECT_EQ(panes.canvas[0]->segments(0xFFFFFF).size(), 12u);
  EXPECT_TRUE(panes.canvas[0]->segments(0x00FFFF).empty());
  for (int i = 1; i < 4; ++i) EXPECT_TRUE(panes.canvas[i]->calls().empty());
}

}  // namespace

#include "model/content.h"
#include "model/globals.h"
#include "model/group.h"
#include "model/objectlist.h"
#include "model/riser.h"
#include "model/truss.h"

namespace {

int colourOf(const int rgb[3]) {
  return colorNumber(rgb[0], rgb[1], rgb[2]);
}

TEST(Draw, RoleColoursAndSelectedObjectLast) {
  Panes panes(400, 300);
  Theatre t(panes.raw);
  panes.layout(t, 4);
  ObjectList& objects = *t.content->objectList;
  Riser* riser = objects.newRiser();
  riser->setWorldPosition(200, 10, 100);
  riser->setSize(100, 20, 100);
  Truss* truss = objects.newTruss();
  truss->setWorldPosition(600, 150, 250);
  truss->setSize(300, 30, 30);
  Riser* member = objects.newRiser();
  member->setWorldPosition(800, 10, 400);
  member->setSize(50, 20, 50);
  Group* group = objects.newGroup();
  group->addMember(member);
  const Globals& g = *t.globals;

  struct Case {
    const char* name;
    ObjectEntry* selected;
    bool markTruss;
    int riserColour, trussColour, memberColour;
  } cases[] = {
      {"nothing selected", nullptr, false, colourOf(g.riserColor), colourOf(g.trussColor),
       colourOf(g.riserColor)},
      {"group selected", group, false, colourOf(g.riserColor), colourOf(g.trussColor),
       colourOf(g.selectedGroupColor)},
      {"riser selected, truss marked", riser, true, colourOf(g.selectedObjectColor),
       colourOf(g.selectedObjectColor), colourOf(g.riserColor)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    objects.selectedObject = c.selected;
    truss->marked = c.markTruss ? 1 : 0;
    for (auto& canvas : panes.canvas) canvas->reset();
    drawFrame(t, 0);
    for (int pane = 0; pane < 4; ++pane) {
      SCOPED_TRACE(pane);
      std::vector<Segment> all = panes.canvas[pane]->segments();
      // Box (12), then the three bodies of 12 segments each, the selected one last.
      ASSERT_GE(all.size(), 48u);
      std::vector<Segment> bodies(all.begin() + 12, all.begin() + 48);
      auto colourAt = [&](int body) { return bodies[size_t(body) * 12].color; };
      std::vector<int> order;
      std::vector<int> expected;
      if (c.selected == riser) {
        expected = {c.trussColour, c.memberColour, c.riserColour};
      } else if (c.selected == group) {
        expected = {c.riserColour, c.trussColour, c.memberColour};
      } else {
        expected = {c.riserColour, c.trussColour, c.memberColour};
      }
      for (int b = 0; b < 3; ++b) order.push_back(colourAt(b));
      EXPECT_EQ(order, expected);
    }
  }
}

}  // namespace
