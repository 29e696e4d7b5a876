#pragma once
// The drawing surface of one pane. It keeps the drawing state (pen, brush and text colours,
// brush style, current position) itself, so state changes and moves cost no virtual call; an
// implementation only turns finished primitives into pixels (or records them).
// Colours are colour numbers r + 256*g + 65536*b (bits above 23 are dropped). Coordinates are
// pixels, x to the right and y downwards; anything outside 0..width-1 x 0..height-1 is clipped.
// Drawing never fails and never throws.
#include <string_view>

namespace lmv {

constexpr int colorNumber(int r, int g, int b) {
  return (r & 0xFF) + 256 * (g & 0xFF) + 65536 * (b & 0xFF);
}
constexpr int redOf(int color) {
  return color & 0xFF;
}
constexpr int greenOf(int color) {
  return (color >> 8) & 0xFF;
}
constexpr int blueOf(int color) {
  return (color >> 16) & 0xFF;
}

enum class BrushStyle { Solid, Clear };

class Canvas {
 public:
  Canvas() = default;
  virtual ~Canvas() = default;
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  int width() const { return w; }
  int height() const { return h; }

  void setPenColor(int color) { pen = color & 0xFFFFFF; }
  int penColor() const { return pen; }
  void setBrushColor(int color) { brush = color & 0xFFFFFF; }
  int brushColor() const { return brush; }
  void setBrushStyle(BrushStyle style) { bstyle = style; }
  BrushStyle brushStyle() const { return bstyle; }
  void setTextColor(int color) { text = color & 0xFFFFFF; }
  int textColor() const { return text; }

  int penX() const { return curX; }
  int penY() const { return curY; }
  void moveTo(int x, int y) {
    curX = x;
    curY = y;
  }
  // A pen-coloured line from the current position to (x, y), both end pixels included;
  // (x, y) becomes the current position.
  void lineTo(int x, int y) {
    drawLine(curX, curY, x, y);
    curX = x;
    curY = y;
  }

  // The corners may come in any order. The rectangle covers columns min(x1, x2) up to but
  // excluding max(x1, x2), rows likewise, so (0, 0, width, height) covers the whole surface
  // and equal coordinates cover nothing. Outline one pixel wide in the pen colour; the interior
  // in the brush colour when the brush is solid, untouched when it is clear.
  void rectangle(int x1, int y1, int x2, int y2) {
    order(x1, x2);
    order(y1, y2);
    drawRectangle(x1, y1, x2, y2);
  }
  // The same area in the brush colour without an outline; nothing with a clear brush.
  void fillRect(int x1, int y1, int x2, int y2) {
    order(x1, x2);
    order(y1, y2);
    fillRectangle(x1, y1, x2, y2);
  }
  // One line of text in the text colour with its cell's top-left corner at (x, y); the
  // background shows through. The current position does not move.
  void textOut(int x, int y, std::string_view s) { drawText(x, y, s); }
  // The whole surface in one colour; the drawing state is unchanged.
  void clear(int color) { clearAll(color & 0xFFFFFF); }

 protected:
  // Implementations report their size here; negative sizes count as 0.
  void setExtent(int width, int height) {
    w = width > 0 ? width : 0;
    h = height > 0 ? height : 0;
  }

  // Primitives in the current state; rectangles arrive ordered (x1 <= x2, y1 <= y2).
  virtual void drawLine(int x0, int y0, int x1, int y1) = 0;
  virtual void drawRectangle(int x1, int y1, int x2, int y2) = 0;
  virtual void fillRectangle(int x1, int y1, int x2, int y2) = 0;
  virtual void drawText(int x, int y, std::string_view s) = 0;
  virtual void clearAll(int color) = 0;

 private:
  static void order(int& a, int& b) {
    if (b < a) {
      int t = a;
      a = b;
      b = t;
    }
  }

  int w = 0;
  int h = 0;
  int pen = 0;
  int brush = 0xFFFFFF;
  BrushStyle bstyle = BrushStyle::Solid;
  int text = 0;
  int curX = 0;
  int curY = 0;
};

}  // namespace lmv
