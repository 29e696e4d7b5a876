#include "platform/recordingcanvas.h"

#include <cstdio>
#include <ostream>

namespace lmv {

std::string colorName(int color) {
  char buf[8];
  snprintf(buf, sizeof buf, "#%02x%02x%02x", redOf(color), greenOf(color), blueOf(color));
  return buf;
}

std::string describe(const Segment& s) {
  char buf[96];
  snprintf(buf, sizeof buf, "line (%d,%d)-(%d,%d) ", s.x1, s.y1, s.x2, s.y2);
  return buf + colorName(s.color);
}

std::string describe(const CanvasCall& c) {
  char buf[96];
  switch (c.kind) {
    case CallKind::Line:
      return describe(Segment{c.x1, c.y1, c.x2, c.y2, c.penColor});
    case CallKind::Rectangle:
      snprintf(buf, sizeof buf, "rectangle (%d,%d)-(%d,%d) pen ", c.x1, c.y1, c.x2, c.y2);
      return buf + colorName(c.penColor) + " brush " +
             (c.brushStyle == BrushStyle::Solid ? colorName(c.brushColor) : std::string("clear"));
    case CallKind::FillRect:
      snprintf(buf, sizeof buf, "fill (%d,%d)-(%d,%d) ", c.x1, c.y1, c.x2, c.y2);
      return buf + colorName(c.brushColor);
    case CallKind::Text:
      snprintf(buf, sizeof buf, "text (%d,%d) ", c.x1, c.y1);
      return buf + colorName(c.textColor) + " \"" + c.text + "\"";
    case CallKind::Clear:
      return "clear " + colorName(c.clearColor);
  }
  return "?";
}

void PrintTo(const Segment& s, std::ostream* os) {
  *os << describe(s);
}

CanvasCall& RecordingCanvas::add(CallKind kind, int x1, int y1, int x2, int y2) {
  CanvasCall& c = log.emplace_back();
  c.kind = kind;
  c.x1 = x1;
  c.y1 = y1;
  c.x2 = x2;
  c.y2 = y2;
  c.penColor = penColor();
  c.brushColor = brushColor();
  c.brushStyle = brushStyle();
  c.textColor = textColor();
  return c;
}

void RecordingCanvas::drawLine(int x0, int y0, int x1, int y1) {
  add(CallKind::Line, x0, y0, x1, y1);
}

void RecordingCanvas::drawRectangle(int x1, int y1, int x2, int y2) {
  add(CallKind::Rectangle, x1, y1, x2, y2);
}

void RecordingCanvas::fillRectangle(int x1, int y1, int x2, int y2) {
  // A clear brush fills nothing, but the call is still worth seeing in a test.
  add(CallKind::FillRect, x1, y1, x2, y2);
}

void RecordingCanvas::drawText(int x, int y, std::string_view s) {
  add(CallKind::Text, x, y, x, y).text.assign(s);
}

void RecordingCanvas::clearAll(int color) {
  add(CallKind::Clear, 0, 0, width(), height()).clearColor = color;
}

std::vector<Segment> RecordingCanvas::segments() const {
  std::vector<Segment> out;
  for (const CanvasCall& c : log)
    if (c.kind == CallKind::Line) out.push_back({c.x1, c.y1, c.x2, c.y2, c.penColor});
  return out;
}

std::vector<Segment> RecordingCanvas::segments(int color) const {
  std::vector<Segment> out;
  for (const CanvasCall& c : log)
    if (c.kind == CallKind::Line && c.penColor == (color & 0xFFFFFF))
      out.push_back({c.x1, c.y1, c.x2, c.y2, c.penColor});
  return out;
}

bool RecordingCanvas::hasSegment(const Segment& s) const {
  for (const CanvasCall& c : log)
    if (c.kind == CallKind::Line && Segment{c.x1, c.y1, c.x2, c.y2, c.penColor}.sameLine(s))
      return true;
  return false;
}

const CanvasCall* RecordingCanvas::findText(std::string_view text) const {
  for (const CanvasCall& c : log)
    if (c.kind == CallKind::Text && c.text == text) return &c;
  return nullptr;
}

std::vector<const CanvasCall*> RecordingCanvas::texts() const {
  std::vector<const CanvasCall*> out;
  for (const CanvasCall& c : log)
    if (c.kind == CallKind::Text) out.push_back(&c);
  return out;
}

std::vector<const CanvasCall*> RecordingCanvas::rectangles() const {
  std::vector<const CanvasCall*> out;
  for (const CanvasCall& c : log)
    if (c.kind == CallKind::Rectangle) out.push_back(&c);
  return out;
}

std::string RecordingCanvas::describeCalls() const {
  std::string out;
  for (const CanvasCall& c : log) {
    out += describe(c);
    out += '\n';
  }
  return out;
}

}  // namespace lmv
