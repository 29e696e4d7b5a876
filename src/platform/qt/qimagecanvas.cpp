#include "platform/qt/qimagecanvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QStringDecoder>

namespace lmv {
namespace {

// Enough to amortise the painter call, small enough to stay in cache.
constexpr size_t kBatchLines = 4096;

const QFont& textFont() {
  static const QFont font = [] {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(11);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
  }();
  return font;
}

// Names in our files may be UTF-8 or a single-byte code page: UTF-8 when it decodes cleanly,
// otherwise one character per byte, so no text is lost or garbled into replacement marks.
QString toQString(std::string_view s) {
  QStringDecoder utf8(QStringDecoder::Utf8);
  QString out = utf8(QByteArrayView(s.data(), qsizetype(s.size())));
  if (utf8.hasError()) out = QString::fromLatin1(s.data(), qsizetype(s.size()));
  return out;
}

}  // namespace

QColor toQColor(int color) {
  return QColor(redOf(color), greenOf(color), blueOf(color));
}

QImageCanvas::QImageCanvas(int width, int height) {
  resize(width, height);
}

QImageCanvas::~QImageCanvas() {
  finish();
}

void QImageCanvas::resize(int width, int height) {
  finish();
  setExtent(width, height);
  img = QImage();
  if (this->width() > 0 && this->height() > 0) {
    img = QImage(this->width(), this->height(), QImage::Format_RGB32);
    img.fill(Qt::black);
  }
}

const QImage& QImageCanvas::image() {
  finish();
  return img;
}

QPainter* QImageCanvas::painter() {
  if (paint.isActive()) return &paint;
  if (img.isNull() || !paint.begin(&img)) return nullptr;
  painterPen = -1;
  return &paint;
}

void QImageCanvas::flushLines() {
  if (pending.empty()) return;
  if (QPainter* p = painter()) {
    if (painterPen != pendingColor) {
      p->setPen(QPen(toQColor(pendingColor), 0));
      painterPen = pendingColor;
    }
    p->drawLines(pending.data(), int(pending.size()));
  }
  pending.clear();
}

void QImageCanvas::finish() {
  flushLines();
  if (paint.isActive()) paint.end();
}

void QImageCanvas::drawLine(int x0, int y0, int x1, int y1) {
  if (penColor() != pendingColor || pending.size() >= kBatchLines) {
    flushLines();
    pendingColor = penColor();
  }
  pending.emplace_back(x0, y0, x1, y1);
}

void QImageCanvas::drawRectangle(int x1, int y1, int x2, int y2) {
  flushLines();
  if (x1 == x2 || y1 == y2) return;
  QPainter* p = painter();
  if (!p) return;
  int w = x2 - x1, h = y2 - y1;
  if (brushStyle() == BrushStyle::Solid) p->fillRect(x1, y1, w, h, toQColor(brushColor()));
  // The outline as four one-pixel strips, exact for every size including 1 x n.
  QColor pen = toQColor(penColor());
  p->fillRect(x1, y1, w, 1, pen);
  p->fillRect(x1, y2 - 1, w, 1, pen);
  p->fillRect(x1, y1, 1, h, pen);
  p->fillRect(x2 - 1, y1, 1, h, pen);
}

void QImageCanvas::fillRectangle(int x1, int y1, int x2, int y2) {
  flushLines();
  if (x1 == x2 || y1 == y2 || brushStyle() != BrushStyle::Solid) return;
  if (QPainter* p = painter()) p->fillRect(x1, y1, x2 - x1, y2 - y1, toQColor(brushColor()));
}

void QImageCanvas::drawText(int x, int y, std::string_view s) {
  flushLines();
  if (s.empty()) return;
  QPainter* p = painter();
  if (!p) return;
  if (p->font() != textFont()) {
    p->setFont(textFont());
    textAscent = QFontMetrics(textFont()).ascent();
  }
  p->setPen(QPen(toQColor(textColor()), 0));
  painterPen = textColor();
  p->drawText(x, y + textAscent, toQString(s));
}

void QImageCanvas::clearAll(int color) {
  pending.clear();  // hidden under the new colour anyway
  if (QPainter* p = painter()) p->fillRect(img.rect(), toQColor(color));
}

}  // namespace lmv
