#pragma once
// A placement (integer position and three angles in degrees) as a 4x4 matrix and its exact
// inverse. `order` lists the axes in the order their turns are applied: views use
// (x, y, z), placed objects, light bodies, beams and orientation composition (x, z, y), the
// moving mirror (z, x, y). Nothing here allocates or reports errors.

#include "geometry/matrix.h"
#include "geometry/vector3.h"
#include "model/alloccounter.h"

namespace lmv {

class Transformation : public AllocCounter {
 public:
  Transformation();  // both matrices identity, order (x, y, z)
  Transformation(int first, int second, int third);

  // Affects only later set() and rotate() calls.
  void setOrder(int first, int second, int third);

  // For a turn that is only ever applied forwards (the per-frame bodies, boxes and rays):
  // later set() and rotate() calls leave the inverse alone, which halves their work. Its
  // inverse() and applyInverse() are then not to be used.
  void skipInverse() { keepInverse_ = false; }

  // matrix = T(-p) * R_o2(-a_o2) * R_o1(-a_o1) * R_o0(-a_o0), inverse = its exact inverse;
  // a is indexed by axis (a.x about x, a.y about y, a.z about z).
  void set(const IVec3& p, const Vec3& a);

  // Further turns by b (in `order`), acting after everything already in the matrix.
  void rotate(const Vec3& b);

  // The x, y, z of matrix * (v, 1) and of inverse * (v, 1). For a view, apply takes a world
  // point to camera space; for an object set at position 0, apply turns a local direction
  // into the world.
  Vec3 apply(const Vec3& v) const { return matrix_.transformPoint(v); }
  Vec3 applyInverse(const Vec3& v) const;

  // The angles (ax, ay, az) of the rotation part read as the (x, z, y) form
  // R_y(-ay) * R_z(-az) * R_x(-ax), whatever `order` holds. Entries of the 3x3 rotation part
  // below the tolerance are set to exactly 0 in the matrix first.
  Vec3 extractAngles();

  const Matrix& matrix() const { return matrix_; }
  const Matrix& inverse() const { return inverse_; }
  int order(int k) const { return order_[k]; }

 private:
  Matrix matrix_;
  Matrix inverse_;
  int order_[3] = {kAxisX, kAxisY, kAxisZ};
  bool keepInverse_ = true;
};

// World orientation of something turned by `own` inside a frame turned by `parent`.
Vec3 composeOrientation(const Vec3& own, const Vec3& parent);

// The own angles that, inside a frame turned by `parent`, give the orientation `world`.
Vec3 localOrientation(const Vec3& world, const Vec3& parent);

}  // namespace lmv
