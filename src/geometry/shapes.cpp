#include "geometry/shapes.h"

#include <cmath>

#include "geometry/polygonlist.h"
#include "geometry/represent.h"
#include "geometry/transformation.h"

namespace lmv {

namespace {

// Corner k of a box as signs along x, y, z: the low-x face first, then the high-x face, each
// going round the same way so that edge k joins corner k and corner k + 4.
constexpr int kCorners[8][3] = {{-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1},
                                {1, -1, -1},  {1, -1, 1},  {1, 1, 1},  {1, 1, -1}};

// Sines and cosines of j * 30 degrees, computed like the theatre's tables.
struct RingTable {
  double sines[kBodyRing];
  double cosines[kBodyRing];
  RingTable() {
    for (int j = 0; j < kBodyRing; ++j) {
      const double a = degToRad(double(j * 30));
      sines[j] = std::sin(a);
      cosines[j] = std::cos(a);
    }
  }
};

const RingTable& ringTable() {
  static const RingTable table;
  return table;
}

bool hasShape(const PolygonList& polygons, int ringSize) {
  if (polygons.count() != 2 + ringSize) return false;
  for (int k = 0; k < polygons.count(); ++k)
    if (polygons[k].pointCount() != (k < 2 ? ringSize : 2)) return false;
  return true;
}

// The points of a list of the shape's make, polygon after polygon: the two rings, then the
// edges, edge k from point k of the low ring to point k of the high one.
struct ShapeLayout {
  int ringSize;
  int low(int k) const { return k; }
  int high(int k) const { return ringSize + k; }
  int edge(int k) const { return 2 * ringSize + 2 * k; }
};

// Polygon 0 and 1 take the two rings, edge k joins point k of both.
void fillShape(PolygonList& polygons, const Vec3* low, const Vec3* high, int ringSize) {
  const ShapeLayout at{ringSize};
  Vec3* points = polygons.allViewPointsToWrite();
  for (int k = 0; k < ringSize; ++k) {
    points[at.low(k)] = low[k];
    points[at.high(k)] = high[k];
    points[at.edge(k)] = low[k];
    points[at.edge(k) + 1] = high[k];
  }
}

// projectShape for a list that is not of the shape's make: every access checked.
void projectOddShape(const PaneProjection& pane, PolygonList& polygons, int ringSize) {
  PolygonEntry* a = polygons.polygon(0);
  PolygonEntry* b = polygons.polygon(1);
  if (!a || !b) return;
  for (int i = 0; i < ringSize; ++i) {
    a->setPlanePoint(i, pane.projectPoint(a->viewPoint(i)));
    b->setPlanePoint(i, pane.projectPoint(b->viewPoint(i)));
  }
  for (int k = 0; k < ringSize; ++k) {
    PolygonEntry* edge = polygons.polygon(2 + k);
    if (!edge) break;
    edge->setPlanePoint(0, a->planePoint(k));
    edge->setPlanePoint(1, b->planePoint(k));
  }
}

}  // namespace

void makeShape(PolygonList& polygons, int ringSize) {
  if (hasShape(polygons, ringSize)) return;
  polygons.clear();
  polygons.reserve(2 + ringSize, 4 * ringSize);
  polygons.add(ringSize, true, true);
  polygons.add(ringSize, true, true);
  for (int k = 0; k < ringSize; ++k) polygons.add(2, false, false);
}

std::unique_ptr<Represent> newBoxRepresent(int pane) {
  auto r = std::make_unique<Represent>(pane);
  makeShape(r->polygons, kBoxRing);
  return r;
}

std::unique_ptr<Represent> newBodyRepresent(int pane) {
  auto r = std::make_unique<Represent>(pane);
  makeShape(r->polygons, kBodyRing);
  return r;
}

void buildBox(PolygonList& polygons, const IVec3& centre, const IVec3& size, const IVec3& angles,
              int split, const Transformation& view) {
  Transformation turn(kAxisX, kAxisZ, kAxisY);
  turn.skipInverse();
  turn.set({}, toVec3(angles));
  buildTurnedBox(polygons, centre, size, turn, split, view);
}

void buildTurnedBox(PolygonList& polygons, const IVec3& centre, const IVec3& size,
                    const Transformation& turn, int split, const Transformation& view) {
  makeShape(polygons, kBoxRing);
  const Vec3 c = toVec3(centre);
  Vec3 points[8];
  for (int k = 0; k < 8; ++k) {
    // Integer corners that truncate toward zero; products in 64 bits so that no size
    // overflows.
    const long long x = kCorners[k][0] < 0 ? (-static_cast<long long>(split) * size.x) / 100
                                           : ((100LL - split) * size.x) / 100;
    const long long y = (kCorners[k][1] * static_cast<long long>(size.y)) / 2;
    const long long z = (kCorners[k][2] * static_cast<long long>(size.z)) / 2;
    const Vec3 local{double(x), double(y), double(z)};
    points[k] = view.apply(turn.apply(local) + c);
  }
  fillShape(polygons, points, points + 4, kBoxRing);
}

void bodyRings(const IVec3& centre, const IVec3& size, const Vec3& angles, const Vec3* headTurn,
               Vec3 (&rings)[2][kBodyRing]) {
  Transformation turn(kAxisX, kAxisZ, kAxisY);
  turn.skipInverse();
  turn.set({}, {});
  if (headTurn) turn.rotate(*headTurn);
  turn.rotate(angles);
  const RingTable& t = ringTable();
  const Vec3 c = toVec3(centre);
  for (int r = 0; r < 2; ++r) {
    const double g = r == 0 ? -1 : 1;
    for (int j = 0; j < kBodyRing; ++j) {
      const Vec3 local{g * size.x * 0.5, size.y * 0.5 * t.cosines[j], size.z * 0.5 * t.sines[j]};
      rings[r][j] = turn.apply(local) + c;
    }
  }
}

void fillBody(PolygonList& polygons, const Vec3 (&rings)[2][kBodyRing],
              const Transformation& view) {
  makeShape(polygons, kBodyRing);
  Vec3 seen[2][kBodyRing];
  for (int r = 0; r < 2; ++r)
    for (int j = 0; j < kBodyRing; ++j) seen[r][j] = view.apply(rings[r][j]);
  fillShape(polygons, seen[0], seen[1], kBodyRing);
}

void buildBody(PolygonList& polygons, const IVec3& centre, const IVec3& size, const Vec3& angles,
               const Vec3* headTurn, const Transformation& view) {
  Vec3 rings[2][kBodyRing];
  bodyRings(centre, size, angles, headTurn, rings);
  fillBody(polygons, rings, view);
}

void projectShape(const PaneProjection& pane, PolygonList& polygons, int ringSize) {
  if (!hasShape(polygons, ringSize)) {
    projectOddShape(pane, polygons, ringSize);
    return;
  }
  const ShapeLayout at{ringSize};
  const Vec3* view = polygons.allViewPoints();
  Vec2* plane = polygons.allPlanePointsToWrite();
  for (int i = 0; i < ringSize; ++i) {
    plane[at.low(i)] = pane.projectPoint(view[at.low(i)]);
    plane[at.high(i)] = pane.projectPoint(view[at.high(i)]);
  }
  for (int k = 0; k < ringSize; ++k) {
    plane[at.edge(k)] = plane[at.low(k)];
    plane[at.edge(k) + 1] = plane[at.high(k)];
  }
}

}  // namespace lmv
