#include "platform/recordingcanvas.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace lmv;

namespace {

TEST(RecordingCanvas, LinesKeepTheirStartAndPenColour) {
  RecordingCanvas c(100, 50);
  EXPECT_EQ(c.width(), 100);
  EXPECT_EQ(c.height(), 50);
  // The axis legend of a side view, H = 50.
  c.setPenColor(0x00FFFF);
  c.setTextColor(0x00FFFF);
  c.moveTo(0, 49);
  c.lineTo(15, 49);
  c.textOut(17, 37, "d");
  c.moveTo(0, 49);
  c.lineTo(0, 34);
  c.setPenColor(0xFFFFFF);
  c.lineTo(10, 10);  // continues from the last point
  c.textOut(0, 20, "h");
  EXPECT_EQ(c.segments(),
            (std::vector<Segment>{
                {0, 49, 15, 49, 0x00FFFF}, {0, 49, 0, 34, 0x00FFFF}, {0, 34, 10, 10, 0xFFFFFF}}));
  EXPECT_EQ(c.segments(0x00FFFF).size(), 2u);
  EXPECT_EQ(c.segments(0x12FFFFFF).size(), 1u) << "colours compare as colour numbers";
  EXPECT_TRUE(c.hasSegment({15, 49, 0, 49, 0x00FFFF})) << "either direction";
  EXPECT_FALSE(c.hasSegment({0, 49, 15, 49, 0xFFFFFF})) << "colour matters";
  EXPECT_FALSE(c.hasSegment({0, 49, 15, 48, 0x00FFFF}));
  const CanvasCall* d = c.findText("d");
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->x1, 17);
  EXPECT_EQ(d->y1, 37);
  EXPECT_EQ(d->textColor, 0x00FFFF);
  EXPECT_EQ(c.findText("w"), nullptr);
  ASSERT_EQ(c.texts().size(), 2u);
  EXPECT_EQ(c.texts()[1]->text, "h");
  EXPECT_EQ(c.penX(), 10) << "text leaves the current position alone";
  EXPECT_EQ(c.calls().size(), 5u);
}

TEST(RecordingCanvas, RectanglesAreOrderedAndKeepTheBrush) {
  RecordingCanvas c;
  c.setPenColor(colorNumber(128, 128, 128));
  c.setBrushStyle(BrushStyle::Clear);
  c.rectangle(40, 30, 10, 60);  // a rubber box dragged left and down
  c.setBrushColor(0x112233);
  c.setBrushStyle(BrushStyle::Solid);
  c.fillRect(5, 5, 1, 1);
  c.clear(0x010203);
  ASSERT_EQ(c.rectangles().size(), 1u);
  const CanvasCall& r = *c.rectangles()[0];
  EXPECT_EQ((std::vector<int>{r.x1, r.y1, r.x2, r.y2}), (std::vector<int>{10, 30, 40, 60}));
  EXPECT_EQ(r.penColor, 8421504);
  EXPECT_EQ(r.brushStyle, BrushStyle::Clear);
  EXPECT_EQ(c.describeCalls(),
            "rectangle (10,30)-(40,60) pen #808080 brush clear\n"
            "fill (1,1)-(5,5) #332211\n"
            "clear #030201\n");
  c.reset();
  EXPECT_TRUE(c.calls().empty());
  EXPECT_EQ(c.brushColor(), 0x112233) << "reset keeps the drawing state";
}

TEST(RecordingCanvas, DescribesForFailureMessages) {
  struct Case {
    int color;
    const char* name;
  } cases[] = {{0, "#000000"}, {0x0000FF, "#ff0000"}, {0x00FFFF, "#ffff00"}, {0x7F0102, "#02017f"}};
  for (const Case& k : cases) EXPECT_EQ(colorName(k.color), k.name);
  std::ostringstream os;
  PrintTo(Segment{1, 2, 3, 4, 0xFF}, &os);
  EXPECT_EQ(os.str(), "line (1,2)-(3,4) #ff0000");
  RecordingCanvas c;
  c.setTextColor(0xFFFFFF);
  c.textOut(1, 2, "Plan \"A\"");
  EXPECT_EQ(c.describeCalls(), "text (1,2) #ffffff \"Plan \"A\"\"\n");
}

TEST(RecordingCanvas, NegativeSizesCountAsEmpty) {
  RecordingCanvas c(-3, 7);
  EXPECT_EQ(c.width(), 0);
  EXPECT_EQ(c.height(), 7);
  c.resize(640, -1);
  EXPECT_EQ(c.width(), 640);
  EXPECT_EQ(c.height(), 0);
}

}  // namespace
