#pragma once
// The spot outlines of one beam: at most one polygon per face of the theatre box, each a
// closed run of world points with their pixel positions in the four panes. The list keeps a
// polygon for every face and only changes how many are in use and their vertex counts, so
// regrouping every frame reuses what earlier frames allocated.
#include <array>
#include <vector>

#include "geometry/projection.h"
#include "geometry/vector3.h"
#include "model/alloccounter.h"
#include "model/basicvertex.h"

namespace lmv {

class SpotPolyList;

struct SpotVertex : BasicVertex {
  Vec3 point;
  ScreenPoint pixels[4];
};

class SpotPoly : public AllocCounter {
 public:
  SpotPoly() : AllocCounter("SpotPoly") {}
  SpotPoly(const SpotPoly&) = delete;
  SpotPoly& operator=(const SpotPoly&) = delete;

  SpotPolyList* owner = nullptr;
  int face = -1;

  // Makes room for n vertices and starts filling from the first.
  void reset(int face, int n);
  // Writes the next vertex; ignored once the polygon is full.
  void append(const Vec3& p);
  int vertexCount() const { return count_; }
  int filled() const { return fill_; }
  const SpotVertex& vertex(int i) const { return vertices_[size_t(i)]; }
  SpotVertex& vertex(int i) { return vertices_[size_t(i)]; }

 private:
  std::vector<SpotVertex> vertices_;
  int count_ = 0;
  int fill_ = 0;
};

class SpotPolyList : public AllocCounter {
 public:
  SpotPolyList();
  SpotPolyList(const SpotPolyList&) = delete;
  SpotPolyList& operator=(const SpotPolyList&) = delete;

  // Drops every polygon from use.
  void clear();
  // One polygon per face with a vertex count above 0, in face order; faceToPoly follows.
  void rebuild(const int (&verticesPerFace)[6]);

  int count() const { return count_; }
  SpotPoly& poly(int i) { return *inUse_[size_t(i)]; }
  const SpotPoly& poly(int i) const { return *inUse_[size_t(i)]; }
  // The polygon on a face, or null.
  SpotPoly* polyOnFace(int face);

  int faceToPoly[6] = {-1, -1, -1, -1, -1, -1};

 private:
  std::array<SpotPoly, 6> byFace_;
  std::array<SpotPoly*, 6> inUse_ = {};
  int count_ = 0;
};

}  // namespace lmv
