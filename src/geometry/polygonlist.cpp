#include "geometry/polygonlist.h"

#include "geometry/represent.h"

namespace lmv {

void PolygonEntry::setPointCount(int n) {
  if (n < 0) n = 0;
  if (n == count_) return;
  if (list_) {
    list_->resizePolygon(*this, n);
    return;
  }
  if (!own_) own_ = std::make_unique<OwnPoints>();
  own_->view.resize(size_t(n));
  own_->plane.resize(size_t(n));
  view_ = own_->view.data();
  plane_ = own_->plane.data();
  count_ = n;
}

void PolygonEntry::setViewPoint(int i, const Vec3& p) {
  if (i < 0 || i >= count_) return;
  view_[i] = p;
  if (owner) owner->changed = 1;
}

Vec3* PolygonList::allViewPointsToWrite() {
  if (owner && !view_.empty()) owner->changed = 1;
  return view_.data();
}

PolygonEntry& PolygonList::add(int pointCount, bool closed, bool inExtent) {
  polygons_.emplace_back(owner);
  PolygonEntry& p = polygons_.back().entry;
  p.list_ = this;
  p.first_ = view_.size();
  // The entries may have moved with the array that holds them.
  rebase();
  p.setPointCount(pointCount);
  p.closed = closed;
  p.inExtent = inExtent;
  return p;
}

void PolygonList::remove(int k) {
  if (k < 0 || k >= count()) return;
  const PolygonEntry& p = polygons_[size_t(k)].entry;
  const auto from = std::ptrdiff_t(p.first_);
  const auto to = from + p.count_;
  view_.erase(view_.begin() + from, view_.begin() + to);
  plane_.erase(plane_.begin() + from, plane_.begin() + to);
  const size_t removed = size_t(p.count_);
  polygons_.erase(polygons_.begin() + k);
  for (size_t j = size_t(k); j < polygons_.size(); ++j) polygons_[j].entry.first_ -= removed;
  rebase();
}

void PolygonList::clear() {
  polygons_.clear();
  view_.clear();
  plane_.clear();
}

void PolygonList::reserve(int polygons, int points) {
  if (polygons > 0) polygons_.reserve(size_t(polygons));
  if (points > 0) {
    view_.reserve(size_t(points));
    plane_.reserve(size_t(points));
  }
  rebase();
}

void PolygonList::resizePolygon(PolygonEntry& p, int n) {
  // Later polygons by position, not by first point: an empty polygon shares its first point
  // with the next.
  size_t later = 0;
  while (later < polygons_.size() && &polygons_[later].entry != &p) ++later;
  ++later;
  const auto end = std::ptrdiff_t(p.first_) + p.count_;
  if (n > p.count_) {
    const size_t more = size_t(n - p.count_);
    view_.insert(view_.begin() + end, more, Vec3{});
    plane_.insert(plane_.begin() + end, more, Vec2{});
    for (size_t j = later; j < polygons_.size(); ++j) polygons_[j].entry.first_ += more;
  } else {
    const size_t fewer = size_t(p.count_ - n);
    view_.erase(view_.begin() + (end - std::ptrdiff_t(fewer)), view_.begin() + end);
    plane_.erase(plane_.begin() + (end - std::ptrdiff_t(fewer)), plane_.begin() + end);
    for (size_t j = later; j < polygons_.size(); ++j) polygons_[j].entry.first_ -= fewer;
  }
  p.count_ = n;
  rebase();
}

void PolygonList::rebase() {
  for (Slot& s : polygons_) {
    s.entry.view_ = view_.data() + s.entry.first_;
    s.entry.plane_ = plane_.data() + s.entry.first_;
  }
}

void PolygonList::collectViewPoints(std::vector<Vec3>& out) const {
  out.assign(view_.begin(), view_.end());
}

}  // namespace lmv
