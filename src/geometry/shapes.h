#pragma once
// The two outline shapes and their per-pane building and projection. A box (walls, risers,
// trusses) is 6 polygons: the low-x and high-x end faces (4 corners, closed, in the extent)
// and 4 edges joining them; a light body is 14: two 12-point rings and 12 edges. Builders
// fill camera-space points through a view's transformation; projectShape projects the two
// ends and copies the edges' plane points from them. Nothing here allocates once a shape's
// polygons exist.
#include <memory>

#include "geometry/projection.h"
#include "geometry/vector3.h"

namespace lmv {

class PolygonList;
class Represent;
class Transformation;

inline constexpr int kBoxPolygons = 6;
inline constexpr int kBoxRing = 4;
inline constexpr int kBodyPolygons = 14;
inline constexpr int kBodyRing = 12;

// Gives the list the polygons of the shape (ring points per end, closed and in the extent;
// then one 2-point open edge per ring point), unless it already has them.
void makeShape(PolygonList& polygons, int ringSize);

// A representation for the pane with the polygons of a box or a light body.
std::unique_ptr<Represent> newBoxRepresent(int pane);
std::unique_ptr<Represent> newBodyRepresent(int pane);

// Box of `size` around `centre`, turned by whole-degree `angles` (order x, z, y), its origin
// `split` percent of its length from the low-x end, seen through `view`. Integer corners.
void buildBox(PolygonList& polygons, const IVec3& centre, const IVec3& size, const IVec3& angles,
              int split, const Transformation& view);
// The same with the object's turn already set up (order x, z, y, at position 0), so an object
// seen in several panes computes it once.
void buildTurnedBox(PolygonList& polygons, const IVec3& centre, const IVec3& size,
                    const Transformation& turn, int split, const Transformation& view);

// Twelve-sided prism along local x with an elliptic section size.y by size.z, turned by
// `headTurn` (when given) and then by `angles`, at `centre`, seen through `view`.
void buildBody(PolygonList& polygons, const IVec3& centre, const IVec3& size, const Vec3& angles,
               const Vec3* headTurn, const Transformation& view);

// The same in two steps, so that a body seen in several panes is turned only once: the two
// rings in world coordinates, then their camera-space points through one pane's view.
void bodyRings(const IVec3& centre, const IVec3& size, const Vec3& angles, const Vec3* headTurn,
               Vec3 (&rings)[2][kBodyRing]);
void fillBody(PolygonList& polygons, const Vec3 (&rings)[2][kBodyRing], const Transformation& view);

// Plane points of the two end polygons (ringSize points each), the edges copied from them.
void projectShape(const PaneProjection& pane, PolygonList& polygons, int ringSize);

}  // namespace lmv
