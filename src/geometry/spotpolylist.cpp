#include "geometry/spotpolylist.h"

namespace lmv {

void SpotPoly::reset(int f, int n) {
  face = f;
  if (n < 0) n = 0;
  if (int(vertices_.size()) < n) vertices_.resize(size_t(n));
  count_ = n;
  fill_ = 0;
}

void SpotPoly::append(const Vec3& p) {
  if (fill_ >= count_) return;
  // Pixels are written by the mapping that precedes every drawing.
  vertices_[size_t(fill_++)].point = p;
}

SpotPolyList::SpotPolyList() : AllocCounter("SpotPolyList") {
  for (SpotPoly& p : byFace_) p.owner = this;
}

void SpotPolyList::clear() {
  count_ = 0;
  for (int& f : faceToPoly) f = -1;
}

void SpotPolyList::rebuild(const int (&verticesPerFace)[6]) {
  clear();
  for (int face = 0; face < 6; ++face) {
    if (verticesPerFace[face] <= 0) continue;
    SpotPoly& p = byFace_[size_t(face)];
    p.reset(face, verticesPerFace[face]);
    faceToPoly[face] = count_;
    inUse_[size_t(count_++)] = &p;
  }
}

SpotPoly* SpotPolyList::polyOnFace(int face) {
  if (face < 0 || face >= 6 || faceToPoly[face] < 0) return nullptr;
  return inUse_[size_t(faceToPoly[face])];
}

}  // namespace lmv
