#pragma once
// A canvas for tests: it draws nothing and keeps every primitive with the drawing state it was
// made in, so a test checks geometry and colours to the pixel without comparing images.
// Moves and state changes are not calls of their own; they show in the primitives that use
// them (a line keeps its start point, every call keeps its colours).
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"

namespace lmv {

enum class CallKind { Line, Rectangle, FillRect, Text, Clear };

struct CanvasCall {
  CallKind kind = CallKind::Line;
  // Line: from (x1, y1) to (x2, y2). Rectangle, FillRect: ordered corners as the canvas takes
  // them (x2, y2 excluded). Text: top-left (x1, y1).
  int x1 = 0;
  int y1 = 0;
  int x2 = 0;
  int y2 = 0;
  int penColor = 0;
  int brushColor = 0;
  BrushStyle brushStyle = BrushStyle::Solid;
  int textColor = 0;
  int clearColor = 0;  // Clear only
  std::string text;    // Text only
};

// A drawn line in its pen colour.
struct Segment {
  int x1 = 0;
  int y1 = 0;
  int x2 = 0;
  int y2 = 0;
  int color = 0;
  bool operator==(const Segment&) const = default;
  // The same pixels: equal, or equal with the ends swapped.
  bool sameLine(const Segment& o) const {
    return *this == o || (x1 == o.x2 && y1 == o.y2 && x2 == o.x1 && y2 == o.y1 && color == o.color);
  }
};

// "line (0,0)-(15,0) #ffff00": colours as #rrggbb, like QColor::name().
std::string describe(const Segment& s);
std::string describe(const CanvasCall& c);
std::string colorName(int color);
// Lets GoogleTest print segments readably.
void PrintTo(const Segment& s, std::ostream* os);

class RecordingCanvas : public Canvas {
 public:
  explicit RecordingCanvas(int width = 800, int height = 600) { setExtent(width, height); }
  void resize(int width, int height) { setExtent(width, height); }

  const std::vector<CanvasCall>& calls() const { return log; }
  // Forgets the calls; the drawing state stays.
  void reset() { log.clear(); }

  // Every line in drawing order, or only those in one colour.
  std::vector<Segment> segments() const;
  std::vector<Segment> segments(int color) const;
  // Whether a line covering the same pixels (either direction) was drawn in that colour.
  bool hasSegment(const Segment& s) const;
  // The first text call showing exactly this text, or nullptr.
  const CanvasCall* findText(std::string_view text) const;
  std::vector<const CanvasCall*> texts() const;
  std::vector<const CanvasCall*> rectangles() const;
  // Every call on a line of its own, for failure messages.
  std::string describeCalls() const;

 protected:
  void drawLine(int x0, int y0, int x1, int y1) override;
  void drawRectangle(int x1, int y1, int x2, int y2) override;
  void fillRectangle(int x1, int y1, int x2, int y2) override;
  void drawText(int x, int y, std::string_view s) override;
  void clearAll(int color) override;

 private:
  CanvasCall& add(CallKind kind, int x1, int y1, int x2, int y2);

  std::vector<CanvasCall> log;
};

}  // namespace lmv
