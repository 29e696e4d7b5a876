#pragma once
// Wireframe drawing primitives shared by the walls, objects and the frame: polygons in one
// pane's projection, and the design-mode axis legends.
namespace lmv {

class Canvas;
class PaneProjection;
class PolygonEntry;
class PolygonList;
class Theatre;

// Pen set, then the outline point by point (closed polygons return to their first point).
void drawPolygon(Canvas& canvas, const PolygonEntry& polygon, const PaneProjection& projection,
                 int color);
void drawPolygons(Canvas& canvas, const PolygonList& polygons, const PaneProjection& projection,
                  int color);

// The two labelled axes for a pane showing a view of the given kind ('p', 's', 'f'; others
// have none), on a pane height pixels high.
void drawAxisLegend(Canvas& canvas, char viewKind, int height);

// One drawn frame as the main window draws it: each pane cleared to the background, the
// theatre's four phases, then the legends in design mode (four panes).
void drawFrame(Theatre& theatre, int backgroundColor);

}  // namespace lmv
