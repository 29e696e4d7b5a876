#include "geometry/polygonlist.h"

#include "geometry/represent.h"

namespace lmv {

void PolygonEntry::setPointCount(int n) {
  if (n < 0) n = 0;
  if (n == count_) return;
  view_.resize(size_t(n));
  plane_.resize(size_t(n));
  count_ = n;
}

void PolygonEntry::setViewPoint(int i, const Vec3& p) {
  if (i < 0 || i >= count_) return;
  view_[size_t(i)] = p;
  if (owner) owner->changed = 1;
}

PolygonEntry& PolygonList::add(int pointCount, bool closed, bool inExtent) {
  polygons_.push_back(std::make_unique<PolygonEntry>(owner));
  PolygonEntry& p = *polygons_.back();
  p.setPointCount(pointCount);
  p.closed = closed;
  p.inExtent = inExtent;
  return p;
}

void PolygonList::remove(int k) {
  if (k < 0 || k >= count()) return;
  polygons_.erase(polygons_.begin() + k);
}

int PolygonList::totalPoints() const {
  int n = 0;
  for (const auto& p : polygons_) n += p->pointCount();
  return n;
}

void PolygonList::collectViewPoints(std::vector<Vec3>& out) const {
  out.clear();
  for (const auto& p : polygons_)
    out.insert(out.end(), p->viewPoints(), p->viewPoints() + p->pointCount());
}

}  // namespace lmv
