#pragma once
// The outline of a drawable thing in one pane: polygons of camera-space points ("view
// points") and their projections ("plane points", not yet scaled to pixels). The list owns
// its polygons; point arrays are sized once by setPointCount and reused every frame.
// Reads outside a polygon give kOutsidePoint in every coordinate; writes there do nothing.
#include <memory>
#include <vector>

#include "geometry/projection.h"
#include "geometry/vector3.h"
#include "model/alloccounter.h"

namespace lmv {

class Represent;

inline constexpr double kOutsidePoint = 1000000;

class PolygonEntry : public AllocCounter {
 public:
  explicit PolygonEntry(Represent* owner = nullptr) : AllocCounter("PolygonEntry"), owner(owner) {}
  PolygonEntry(const PolygonEntry&) = delete;
  PolygonEntry& operator=(const PolygonEntry&) = delete;

  Represent* owner;       // told when a view point is written; may be null
  bool inExtent = false;  // counts for the extent, the screen centre and pane fitting
  bool closed = false;    // the outline returns to its first point

  // Resizes both point arrays (points keep their values where they still fit).
  void setPointCount(int n);
  int pointCount() const { return count_; }

  Vec3 viewPoint(int i) const {
    return i >= 0 && i < count_ ? view_[size_t(i)]
                                : Vec3{kOutsidePoint, kOutsidePoint, kOutsidePoint};
  }
  Vec2 planePoint(int i) const {
    return i >= 0 && i < count_ ? plane_[size_t(i)] : Vec2{kOutsidePoint, kOutsidePoint};
  }
  void setViewPoint(int i, const Vec3& p);
  void setPlanePoint(int i, const Vec2& p) {
    if (i >= 0 && i < count_) plane_[size_t(i)] = p;
  }

  // Direct access for the per-frame loops (pointCount() elements each).
  const Vec3* viewPoints() const { return view_.data(); }
  const Vec2* planePoints() const { return plane_.data(); }

 private:
  int count_ = 0;
  std::vector<Vec3> view_;
  std::vector<Vec2> plane_;
};

class PolygonList : public AllocCounter {
 public:
  explicit PolygonList(Represent* owner = nullptr) : AllocCounter("PolygonList"), owner(owner) {}
  PolygonList(const PolygonList&) = delete;
  PolygonList& operator=(const PolygonList&) = delete;

  Represent* owner;

  // Appends polygon number count().
  PolygonEntry& add(int pointCount, bool closed, bool inExtent);
  // Removes polygon k (later ones move down); nothing for a bad index.
  void remove(int k);
  void clear() { polygons_.clear(); }

  int count() const { return int(polygons_.size()); }
  // Polygon k, or null outside 0..count()-1.
  PolygonEntry* polygon(int k) const {
    return k >= 0 && k < count() ? polygons_[size_t(k)].get() : nullptr;
  }
  PolygonEntry& operator[](int k) const { return *polygons_[size_t(k)]; }

  // Points of all polygons together.
  int totalPoints() const;
  // Every view point of every polygon, in polygon order, into out (cleared first; its
  // capacity is reused).
  void collectViewPoints(std::vector<Vec3>& out) const;

 private:
  std::vector<std::unique_ptr<PolygonEntry>> polygons_;
};

}  // namespace lmv
