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
