#pragma once
// A canvas drawing into an RGB32 QImage with QPainter: aliased one-pixel lines, text in a fixed
// 11-pixel sans-serif font without anti-aliasing. Lines of one pen colour are collected and
// handed to QPainter in batches; image() finishes all pending drawing before it is read.
// A surface of zero width or height draws nothing.
#include <QImage>
#include <QLine>
#include <QPainter>
#include <string>
#include <vector>

#include "platform/canvas.h"

namespace lmv {

QColor toQColor(int color);

class QImageCanvas : public Canvas {
 public:
  // A black surface of that size (negative sizes count as 0).
  QImageCanvas(int width, int height);
  ~QImageCanvas() override;

  // A new black surface of that size; the drawing state stays.
  void resize(int width, int height);
  // The finished picture; the painter is ended until the next drawing call.
  const QImage& image();

 protected:
  void drawLine(int x0, int y0, int x1, int y1) override;
  void drawRectangle(int x1, int y1, int x2, int y2) override;
  void fillRectangle(int x1, int y1, int x2, int y2) override;
  void drawText(int x, int y, std::string_view s) override;
  void clearAll(int color) override;

 private:
  // The active painter, or nullptr for an empty surface.
  QPainter* painter();
  void flushLines();
  void finish();

  QImage img;  // declared before the painter, which must end first
  QPainter paint;
  std::vector<QLine> pending;
  int pendingColor = -1;
  int painterPen = -1;  // pen colour set on the painter, -1 when none
  int textAscent = 0;
};

}  // namespace lmv
