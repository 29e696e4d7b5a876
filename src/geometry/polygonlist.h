#pragma once
// The outline of a drawable thing in one pane: polygons of camera-space points ("view
// points") and their projections ("plane points", not yet scaled to pixels). Point arrays are
// sized once by setPointCount and reused every frame.
// Reads outside a polygon give kOutsidePoint in every coordinate; writes there do nothing.
//
// A list keeps its polygons side by side and all their points in one array per kind, in
// polygon order: the per-frame phases walk every outline of a large rig several times, and
// scattered small allocations would make each walk a chain of cache misses. A polygon made
// on its own keeps its points itself.
#include <cstddef>
#include <memory>
#include <vector>

#include "geometry/projection.h"
#include "geometry/vector3.h"
#include "model/alloccounter.h"

namespace lmv {

class PolygonList;
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

  // Resizes both point arrays (points keep their values where they still fit, new ones are
  // 0).
  void setPointCount(int n);
  int pointCount() const { return count_; }

  Vec3 viewPoint(int i) const {
    return i >= 0 && i < count_ ? view_[i] : Vec3{kOutsidePoint, kOutsidePoint, kOutsidePoint};
  }
  Vec2 planePoint(int i) const {
    return i >= 0 && i < count_ ? plane_[i] : Vec2{kOutsidePoint, kOutsidePoint};
  }
  void setViewPoint(int i, const Vec3& p);
  void setPlanePoint(int i, const Vec2& p) {
    if (i >= 0 && i < count_) plane_[i] = p;
  }

  // Direct access for the per-frame loops (pointCount() elements each).
  const Vec3* viewPoints() const { return view_; }
  const Vec2* planePoints() const { return plane_; }

 private:
  friend class PolygonList;

  struct OwnPoints {
    std::vector<Vec3> view;
    std::vector<Vec2> plane;
  };

  // Only the list moves its entries (within its array); the points stay where they are.
  PolygonEntry(PolygonEntry&&) = default;
  PolygonEntry& operator=(PolygonEntry&&) = default;

  PolygonList* list_ = nullptr;  // whose arrays hold the points; null: own_ holds them
  std::unique_ptr<OwnPoints> own_;
  size_t first_ = 0;  // index of point 0 in the list's arrays
  int count_ = 0;
  Vec3* view_ = nullptr;
  Vec2* plane_ = nullptr;
};

class PolygonList : public AllocCounter {
 public:
  explicit PolygonList(Represent* owner = nullptr) : AllocCounter("PolygonList"), owner(owner) {}
  PolygonList(const PolygonList&) = delete;
  PolygonList& operator=(const PolygonList&) = delete;

  Represent* owner;

  // Appends polygon number count(). The reference holds until the list next changes shape.
  PolygonEntry& add(int pointCount, bool closed, bool inExtent);
  // Removes polygon k (later ones move down); nothing for a bad index.
  void remove(int k);
  void clear();
  // Room for that many polygons and points in all, so that building a shape moves nothing.
  void reserve(int polygons, int points);

  int count() const { return int(polygons_.size()); }
  // Polygon k, or null outside 0..count()-1. Constness covers the list's shape, not the
  // points, which every phase rewrites.
  PolygonEntry* polygon(int k) const { return k >= 0 && k < count() ? &entry(size_t(k)) : nullptr; }
  PolygonEntry& operator[](int k) const { return entry(size_t(k)); }

  // Points of all polygons together.
  int totalPoints() const { return int(view_.size()); }
  // The points of all polygons as one array of totalPoints(), polygon after polygon, for
  // the per-frame loops of shapes whose layout is known. Writing view points tells the
  // owner at once, as setViewPoint would.
  const Vec3* allViewPoints() const { return view_.data(); }
  const Vec2* allPlanePoints() const { return plane_.data(); }
  Vec3* allViewPointsToWrite();
  Vec2* allPlanePointsToWrite() { return plane_.data(); }
  // Every view point of every polygon, in polygon order, into out (cleared first; its
  // capacity is reused).
  void collectViewPoints(std::vector<Vec3>& out) const;

 private:
  friend class PolygonEntry;

  PolygonEntry& entry(size_t k) const { return const_cast<PolygonEntry&>(polygons_[k].entry); }
  // Grows or shrinks polygon p's share of the arrays at its end.
  void resizePolygon(PolygonEntry& p, int n);
  // Points every polygon at its place in the arrays, which may have moved.
  void rebase();

  // The array's element: entries may be moved by the list's array and nobody else.
  struct Slot {
    explicit Slot(Represent* owner) : entry(owner) {}
    Slot(Slot&& other) noexcept : entry(std::move(other.entry)) {}
    Slot& operator=(Slot&& other) noexcept {
      entry = std::move(other.entry);
      return *this;
    }
    PolygonEntry entry;
  };

  std::vector<Slot> polygons_;
  std::vector<Vec3> view_;
  std::vector<Vec2> plane_;
};

}  // namespace lmv
