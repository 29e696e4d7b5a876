#include "geometry/draw.h"

#include "geometry/polygonlist.h"
#include "geometry/projection.h"
#include "model/theatre.h"
#include "model/viewentry.h"
#include "model/viewlist.h"
#include "platform/canvas.h"

namespace lmv {

void drawPolygon(Canvas& canvas, const PolygonEntry& polygon, const PaneProjection& projection,
                 int color) {
  int n = polygon.pointCount();
  if (n <= 0) return;
  canvas.setPenColor(color);
  const Vec2* points = polygon.planePoints();
  ScreenPoint first = projection.toScreenPolygon(points[0]);
  canvas.moveTo(first.x, first.y);
  for (int i = 1; i < n; ++i) {
    ScreenPoint p = projection.toScreenPolygon(points[i]);
    canvas.lineTo(p.x, p.y);
  }
  if (polygon.closed) canvas.lineTo(first.x, first.y);
}

void drawPolygons(Canvas& canvas, const PolygonList& polygons, const PaneProjection& projection,
                  int color) {
  for (int k = 0; k < polygons.count(); ++k) drawPolygon(canvas, polygons[k], projection, color);
}

void drawAxisLegend(Canvas& canvas, char kind, int h) {
  struct Legend {
    char kind;
    int ox, oy, hx, hy;
    const char* label1;
    int l1x, l1y, vx, vy;
    const char* label2;
    int l2x, l2y;
  };
  // y values relative to the top (plan) or to the pane height (side, front).
  const Legend legends[] = {
      {'p', 0, 0, 15, 0, "w", 17, 0, 0, 15, "d", 0, 13},
      {'s', 0, h - 1, 15, h - 1, "d", 17, h - 13, 0, h - 16, "h", 0, h - 30},
      {'f', 0, h - 1, 15, h - 1, "w", 17, h - 14, 0, h - 16, "h", 0, h - 30},
  };
  for (const Legend& l : legends) {
    if (l.kind != kind) continue;
    const int yellow = 0x00FFFF;
    canvas.setPenColor(yellow);
    canvas.setTextColor(yellow);
    canvas.moveTo(l.ox, l.oy);
    canvas.lineTo(l.hx, l.hy);
    canvas.textOut(l.l1x, l.l1y, l.label1);
    canvas.moveTo(l.ox, l.oy);
    canvas.lineTo(l.vx, l.vy);
    canvas.textOut(l.l2x, l.l2y, l.label2);
  }
}

void drawFrame(Theatre& t, int backgroundColor) {
  for (int i = 0; i < t.paneCount && i < 4; ++i) {
    if (Canvas* c = t.paneCanvases[i]) {
      c->setBrushStyle(BrushStyle::Solid);
      c->setBrushColor(backgroundColor);
      c->setPenColor(backgroundColor);
      c->fillRect(0, 0, c->width(), c->height());
    }
  }
  t.buildPhase();
  t.projectPhase();
  t.fitPhase();
  t.drawPhase();
  if (t.paneCount == 4) {
    for (int i = 0; i < 4; ++i) {
      Canvas* c = t.paneCanvases[i];
      const ViewEntry* view = t.viewList->paneView(i);
      if (c && view) drawAxisLegend(*c, view->viewType, c->height());
    }
  }
}

}  // namespace lmv
