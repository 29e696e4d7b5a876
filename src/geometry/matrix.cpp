#include "geometry/matrix.h"

#include <cmath>
#include <cstring>

namespace lmv {

namespace {

using Grid = double[4][4];

void setIdentityGrid(Grid& g) {
  for (auto& row : g)
    for (double& e : row) e = 0.0;
  for (int i = 0; i < 4; ++i) g[i][i] = 1.0;
}

// out := a * b; out must not alias a or b.
void multiply(const Grid& a, const Grid& b, Grid& out) {
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) sum += a[i][k] * b[k][j];
      out[i][j] = sum;
    }
  }
}

// out = a * b, safe when out is a or b.
void multiplyInto(const Grid& a, const Grid& b, Grid& out) {
  Grid tmp;
  multiply(a, b, tmp);
  std::memcpy(out, tmp, sizeof tmp);
}

void translation(const Vec3& p, Grid& t) {
  setIdentityGrid(t);
  t[0][3] = p.x;
  t[1][3] = p.y;
  t[2][3] = p.z;
}

}  // namespace

void Matrix::setIdentity() {
  setIdentityGrid(m);
}

void Matrix::rotation(int axis, double degrees, double (&r)[4][4]) {
  setIdentityGrid(r);
  const double rad = degToRad(degrees);
  const double c = std::cos(rad);
  const double s = std::sin(rad);
  switch (axis) {
    case kAxisX:
      r[1][1] = c;
      r[1][2] = -s;
      r[2][1] = s;
      r[2][2] = c;
      break;
    case kAxisY:
      r[0][0] = c;
      r[0][2] = s;
      r[2][0] = -s;
      r[2][2] = c;
      break;
    case kAxisZ:
      r[0][0] = c;
      r[0][1] = -s;
      r[1][0] = s;
      r[1][1] = c;
      break;
    default:
      break;
  }
}

void Matrix::preRotate(int axis, double degrees) {
  if (degrees == 0 || axis < kAxisX || axis > kAxisZ) return;
  Grid r;
  rotation(axis, degrees, r);
  multiplyInto(r, m, m);
}

void Matrix::postRotate(int axis, double degrees) {
  if (degrees == 0 || axis < kAxisX || axis > kAxisZ) return;
  Grid r;
  rotation(axis, degrees, r);
  multiplyInto(m, r, m);
}

void Matrix::preTranslate(const Vec3& p) {
  Grid t;
  translation(p, t);
  multiplyInto(t, m, m);
}

void Matrix::postTranslate(const Vec3& p) {
  Grid t;
  translation(p, t);
  multiplyInto(m, t, m);
}

Vec4 Matrix::transformVector(const Vec4& v) const {
  const double in[4] = {v.x, v.y, v.z, v.w};
  double out[4];
  for (int i = 0; i < 4; ++i) {
    double sum = 0.0;
    for (int k = 0; k < 4; ++k) sum += m[i][k] * in[k];
    out[i] = sum;
  }
  return {out[0], out[1], out[2], out[3]};
}

}  // namespace lmv
