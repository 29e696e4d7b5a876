#pragma once
// 4x4 matrix of doubles, row-major m[row][col], for column vectors (x, y, z, 1): a translation
// sits in column 3. Angles are degrees. Products go through a temporary and accumulate each
// element as a running sum over k = 0..3, so results are reproducible bit for bit.

#include "geometry/vector3.h"
#include "model/alloccounter.h"

namespace lmv {

struct Vec4 {
  double x = 0;
  double y = 0;
  double z = 0;
  double w = 0;
};

class Matrix : public AllocCounter {
 public:
  Matrix() : AllocCounter("Matrix") {}  // all zeros

  void setIdentity();

  // M := R_axis(degrees) * M and M := M * R_axis(degrees). An angle of exactly 0 leaves M
  // untouched (no multiplication at all); an axis outside 0..2 is ignored.
  void preRotate(int axis, double degrees);
  void postRotate(int axis, double degrees);

  // M := T(p) * M and M := M * T(p), T(p) the identity with column 3 = (p, 1).
  void preTranslate(const Vec3& p);
  void postTranslate(const Vec3& p);

  Vec4 transformVector(const Vec4& v) const;
  // The x, y, z of transformVector((p, 1)), each row summed exactly as there; the w row is
  // not computed. Per-frame shapes and rays transform many points through few matrices.
  Vec3 transformPoint(const Vec3& p) const {
    auto row = [&](int i) {
      double sum = 0.0;
      sum += m[i][0] * p.x;
      sum += m[i][1] * p.y;
      sum += m[i][2] * p.z;
      sum += m[i][3] * 1.0;
      return sum;
    };
    return {row(0), row(1), row(2)};
  }

  // The elementary rotation about an axis (identity for an axis outside 0..2).
  static void rotation(int axis, double degrees, double (&r)[4][4]);

  double m[4][4] = {};
};

}  // namespace lmv
