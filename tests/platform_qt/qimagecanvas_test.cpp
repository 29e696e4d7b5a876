#include "platform/qt/qimagecanvas.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <random>
#include <string>
#include <vector>

using namespace lmv;

namespace {

std::string at(const QImage& im, int x, int y) {
  return im.pixelColor(x, y).name().toStdString();
}

// Pixels that differ from black, as a picture, for failure messages.
std::string picture(const QImage& im) {
  std::string out;
  for (int y = 0; y < im.height(); ++y) {
    for (int x = 0; x < im.width(); ++x) out += im.pixelColor(x, y) == Qt::black ? '.' : '#';
    out += '\n';
  }
  return out;
}

int countNotBlack(const QImage& im) {
  int n = 0;
  for (int y = 0; y < im.height(); ++y)
    for (int x = 0; x < im.width(); ++x) n += im.pixelColor(x, y) != Qt::black;
  return n;
}

TEST(QImageCanvas, ColourNumbersAreRedInTheLowByte) {
  struct Case {
    int color;
    const char* name;
  } cases[] = {
      {0x0000FF, "#ff0000"},
      {0x00FF00, "#00ff00"},
      {0xFF0000, "#0000ff"},
      {0x00FFFF, "#ffff00"},  // the axis legend's yellow
      {colorNumber(192, 192, 192), "#c0c0c0"},
      {0x7F0102, "#02017f"},
      {0x12FFFFFF, "#ffffff"},  // bits above the three bytes are dropped
  };
  QImageCanvas c(4, 4);
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    c.setPenColor(k.color);
    c.moveTo(1, 1);
    c.lineTo(2, 1);
    EXPECT_EQ(at(c.image(), 1, 1), k.name);
  }
}

TEST(QImageCanvas, LinesIncludeBothEndsAndFollowTheCurrentPosition) {
  struct Case {
    const char* name;
    int x0, y0, x1, y1;
    int pixels;  // exactly this many pixels lit
  } cases[] = {
      {"horizontal", 2, 3, 10, 3, 9}, {"leftwards", 10, 3, 2, 3, 9},
      {"vertical", 4, 1, 4, 12, 12},  {"diagonal", 1, 1, 8, 8, 8},
      {"steep", 12, 12, 5, 15, 8},    {"single point", 6, 6, 6, 6, 1},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    QImageCanvas c(20, 20);
    c.setPenColor(0xFF);
    c.moveTo(k.x0, k.y0);
    c.lineTo(k.x1, k.y1);
    EXPECT_EQ(c.penX(), k.x1);
    const QImage& im = c.image();
    EXPECT_EQ(at(im, k.x0, k.y0), "#ff0000") << picture(im);
    EXPECT_EQ(at(im, k.x1, k.y1), "#ff0000") << picture(im);
    EXPECT_EQ(countNotBlack(im), k.pixels) << picture(im);
  }
}

TEST(QImageCanvas, LaterLinesCoverEarlierOnesAcrossPenChanges) {
  // Lines are batched per pen colour; the batches must keep the drawing order.
  QImageCanvas c(10, 10);
  c.setPenColor(0x0000FF);
  c.moveTo(0, 5);
  c.lineTo(9, 5);
  c.setPenColor(0xFF0000);
  c.moveTo(5, 0);
  c.lineTo(5, 9);
  EXPECT_EQ(at(c.image(), 5, 5), "#0000ff");
  c.setPenColor(0x0000FF);
  c.moveTo(0, 5);
  c.lineTo(9, 5);
  c.rectangle(7, 7, 9, 9);  // red pen still pending when the rectangle comes
  EXPECT_EQ(at(c.image(), 5, 5), "#ff0000");
  EXPECT_EQ(at(c.image(), 8, 8), "#ff0000");
}

TEST(QImageCanvas, LinesFarOutsideAreClippedToTheVisiblePart) {
  QImageCanvas c(16, 12);
  c.setPenColor(0xFFFFFF);
  c.moveTo(-1000000000, 4);
  c.lineTo(1000000000, 4);
  c.moveTo(7, -2000000000);
  c.lineTo(7, 2000000000);
  c.moveTo(-50, -50);
  c.lineTo(-10, 30);  // wholly outside
  const QImage& im = c.image();
  for (int x = 0; x < 16; ++x) EXPECT_EQ(at(im, x, 4), "#ffffff") << x;
  for (int y = 0; y < 12; ++y) EXPECT_EQ(at(im, 7, y), "#ffffff") << y;
  EXPECT_EQ(countNotBlack(im), 16 + 12 - 1) << picture(im);
}

TEST(QImageCanvas, RectangleCoversUpToTheFarCornerExcluded) {
  struct Case {
    const char* name;
    int x1, y1, x2, y2;
    BrushStyle brush;
  } cases[] = {
      {"ordered solid", 2, 3, 9, 8, BrushStyle::Solid},
      {"reversed solid", 9, 8, 2, 3, BrushStyle::Solid},
      {"mixed clear", 2, 8, 9, 3, BrushStyle::Clear},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    QImageCanvas c(12, 12);
    c.setPenColor(0x00FF00);
    c.setBrushColor(0x0000FF);
    c.setBrushStyle(k.brush);
    c.rectangle(k.x1, k.y1, k.x2, k.y2);
    const QImage& im = c.image();
    const std::string inside = k.brush == BrushStyle::Solid ? "#ff0000" : "#000000";
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 12; ++x) {
        bool in = x >= 2 && x <= 8 && y >= 3 && y <= 7;
        bool edge = in && (x == 2 || x == 8 || y == 3 || y == 7);
        std::string want = edge ? "#00ff00" : in ? inside : "#000000";
        ASSERT_EQ(at(im, x, y), want) << x << "," << y << "\n" << picture(im);
      }
  }
}

TEST(QImageCanvas, DegenerateRectangles) {
  QImageCanvas c(8, 8);
  c.setPenColor(0xFFFFFF);
  c.rectangle(3, 3, 3, 6);  // no width: nothing
  EXPECT_EQ(countNotBlack(c.image()), 0);
  c.rectangle(3, 2, 4, 6);  // one column
  EXPECT_EQ(countNotBlack(c.image()), 4) << picture(c.image());
  c.rectangle(-100, -100, 100, 100);  // the outline lies outside
  EXPECT_EQ(countNotBlack(c.image()), 8 * 8) << "the white brush fills";
}

TEST(QImageCanvas, ClearingAsTheFrameLoopDoes) {
  // Brush and pen in the background colour, solid, rectangle (0, 0, width, height).
  QImageCanvas c(30, 20);
  c.setPenColor(0xFFFFFF);
  c.moveTo(0, 0);
  c.lineTo(29, 19);  // pending when the background comes
  c.setBrushColor(0x402010);
  c.setPenColor(0x402010);
  c.setBrushStyle(BrushStyle::Solid);
  c.rectangle(0, 0, c.width(), c.height());
  const QImage& im = c.image();
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x) ASSERT_EQ(at(im, x, y), "#102040") << x << "," << y;
  c.clear(0x000080);
  EXPECT_EQ(at(c.image(), 29, 19), "#800000");
  EXPECT_EQ(c.brushColor(), 0x402010);
  c.setBrushStyle(BrushStyle::Clear);
  c.fillRect(0, 0, 5, 5);
  EXPECT_EQ(at(c.image(), 0, 0), "#800000") << "a clear brush fills nothing";
  c.setBrushStyle(BrushStyle::Solid);
  c.fillRect(5, 5, 0, 0);
  EXPECT_EQ(at(c.image(), 0, 0), "#102040");
  EXPECT_EQ(at(c.image(), 4, 4), "#102040");
  EXPECT_EQ(at(c.image(), 5, 5), "#800000");
}

struct Box {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, count = 0;
};
Box litBox(const QImage& im) {
  Box b;
  for (int y = 0; y < im.height(); ++y)
    for (int x = 0; x < im.width(); ++x)
      if (im.pixelColor(x, y) != Qt::black) {
        b.left = std::min(b.left, x);
        b.right = std::max(b.right, x);
        b.top = std::min(b.top, y);
        b.bottom = std::max(b.bottom, y);
        ++b.count;
      }
  return b;
}

TEST(QImageCanvas, TextHangsBelowAndRightOfItsPoint) {
  QImageCanvas c(60, 40);
  c.setPenColor(0x0000FF);
  c.setTextColor(0x00FFFF);
  c.moveTo(3, 4);
  c.textOut(17, 13, "dh");
  EXPECT_EQ(c.penX(), 3);
  EXPECT_EQ(c.penY(), 4);
  const QImage& im = c.image();
  Box b = litBox(im);
  ASSERT_GT(b.count, 10) << picture(im);
  EXPECT_GE(b.left, 17);
  EXPECT_LE(b.left, 19);
  EXPECT_GE(b.top, 13);
  EXPECT_LE(b.top, 16);
  EXPECT_LE(b.bottom, 13 + 12) << "an 11-pixel font stays within its cell";
  EXPECT_LE(b.right, 17 + 16);
  // No anti-aliasing: every lit pixel is the text colour.
  for (int y = b.top; y <= b.bottom; ++y)
    for (int x = b.left; x <= b.right; ++x)
      if (im.pixelColor(x, y) != Qt::black) {
        ASSERT_EQ(at(im, x, y), "#ffff00");
      }
}

TEST(QImageCanvas, TextOfAnyBytesIsDrawn) {
  for (std::string s : {std::string("Caf\xc3\xa9"), std::string("Caf\xe9"),
                        std::string("\xff\xfe\x80"), std::string()}) {
    QImageCanvas c(60, 20);
    c.setTextColor(0xFFFFFF);
    c.textOut(2, 2, s);
    EXPECT_EQ(countNotBlack(c.image()) > 0, !s.empty()) << s;
  }
}

TEST(QImageCanvas, EmptyAndResizedSurfaces) {
  QImageCanvas c(0, -5);
  EXPECT_EQ(c.width(), 0);
  EXPECT_EQ(c.height(), 0);
  c.setPenColor(0xFFFFFF);
  c.moveTo(0, 0);
  c.lineTo(5, 5);
  c.rectangle(0, 0, 5, 5);
  c.fillRect(0, 0, 5, 5);
  c.textOut(0, 0, "x");
  c.clear(0xFF);
  EXPECT_TRUE(c.image().isNull());
  c.resize(6, 4);
  EXPECT_EQ(c.image().size(), QSize(6, 4));
  EXPECT_EQ(countNotBlack(c.image()), 0);
  c.moveTo(0, 0);
  c.lineTo(5, 3);
  c.resize(3, 3);  // drops the pending line with the old picture
  EXPECT_EQ(countNotBlack(c.image()), 0);
  EXPECT_EQ(c.penColor(), 0xFFFFFF);
}

TEST(QImageCanvas, SameImageAsOneBatchedDrawLinesCall) {
  // The benchmark's batched path is only a fair floor if it draws the same pixels.
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> coord(-40, 240);
  std::vector<QLine> lines;
  for (int i = 0; i < 500; ++i) lines.emplace_back(coord(rng), coord(rng), coord(rng), coord(rng));
  QImageCanvas c(200, 200);
  c.setPenColor(0xC0C0C0);
  for (const QLine& l : lines) {
    c.moveTo(l.x1(), l.y1());
    c.lineTo(l.x2(), l.y2());
  }
  QImage batched(200, 200, QImage::Format_RGB32);
  batched.fill(Qt::black);
  {
    QPainter p(&batched);
    p.setPen(QPen(QColor(192, 192, 192), 0));
    p.drawLines(lines.data(), int(lines.size()));
  }
  EXPECT_TRUE(c.image() == batched);
}

}  // namespace
