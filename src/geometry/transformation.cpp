#include "geometry/transformation.h"

#include <cmath>

namespace lmv {

namespace {

// One of the sum/difference angles of extractAngles. p decides between the fixed angles and
// the quadrant window of a free angle; a free angle starts at `estimate`.
double decideAngle(double p, double q, double estimate) {
  if (nearlyZero(p)) return q > 0 ? 0.0 : 180.0;
  if (nearlyZero(q)) return p > 0 ? 90.0 : -90.0;
  double lo;
  double hi;
  if (p >= 0) {
    lo = q >= 0 ? 0 : 90;
    hi = q >= 0 ? 90 : 180;
  } else {
    lo = q >= 0 ? -90 : -180;
    hi = q >= 0 ? 0 : -90;
  }
  double a = wrapDegrees(estimate);
  if (a < lo)
    a += 180;
  else if (a > hi)
    a -= 180;
  return wrapDegrees(a);
}

}  // namespace

Transformation::Transformation() : AllocCounter("Transformation") {
  matrix_.setIdentity();
  inverse_.setIdentity();
}

Transformation::Transformation(int first, int second, int third) : Transformation() {
  setOrder(first, second, third);
}

void Transformation::setOrder(int first, int second, int third) {
  order_[0] = first;
  order_[1] = second;
  order_[2] = third;
}

void Transformation::set(const IVec3& p, const Vec3& a) {
  matrix_.setIdentity();
  for (int axis : order_) matrix_.preRotate(axis, -a[axis]);
  // Negated in doubles: no integer overflow for the most negative int.
  matrix_.preTranslate(
      {-static_cast<double>(p.x), -static_cast<double>(p.y), -static_cast<double>(p.z)});

  if (!keepInverse_) return;
  inverse_.setIdentity();
  for (int axis : order_) inverse_.postRotate(axis, a[axis]);
  inverse_.postTranslate(toVec3(p));
}

void Transformation::rotate(const Vec3& b) {
  for (int axis : order_) matrix_.preRotate(axis, -b[axis]);
  if (!keepInverse_) return;
  for (int axis : order_) inverse_.postRotate(axis, b[axis]);
}

Vec3 Transformation::applyInverse(const Vec3& v) const {
  const Vec4 r = inverse_.transformVector({v.x, v.y, v.z, 1.0});
  return {r.x, r.y, r.z};
}

Vec3 Transformation::extractAngles() {
  auto& m = matrix_.m;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      if (nearlyZero(m[i][j])) m[i][j] = 0.0;

  double x0 = 0;
  if (!nearlyZero(m[1][1]))
    x0 = radToDeg(std::atan(m[1][2] / m[1][1]));
  else if (!nearlyZero(m[1][2]))
    x0 = m[1][2] > 0 ? 90 : -90;

  double y0 = 0;
  if (!nearlyZero(m[0][0]))
    y0 = radToDeg(std::atan(m[2][0] / m[0][0]));
  else if (!nearlyZero(m[2][0]))
    y0 = m[2][0] > 0 ? 90 : -90;

  const double s = -m[1][0];  // sin(az)

  const double g[4] = {
      m[1][2] * m[2][0] - m[0][0] * m[1][0] * m[1][1],
      m[1][0] * m[1][1] * m[2][0] + m[0][0] * m[1][2],
      m[0][0] * m[1][0] * m[1][2] + m[1][1] * m[2][0],
      m[1][0] * m[1][2] * m[2][0] + m[0][0] * m[1][1],
  };
  const double h[4] = {
      m[0][0] * m[0][1] * m[1][1],
      -m[0][0] * m[1][1] * m[2][1],
      -m[0][0] * m[0][2] * m[1][1],
      m[0][0] * m[1][1] * m[2][2],
  };
  double r = 1;
  for (int k = 0; k < 4; ++k) {
    if (!nearlyZero(g[k])) {
      r = h[k] / g[k];
      break;
    }
  }

  const double q = m[0][1] - r * s;
  double e = s * s - 1;
  if (nearlyZero(e)) e = -0.001;
  const double t = (m[0][2] * s + m[2][1]) / e;
  const double u = t * s - m[0][2];

  const double alpha = decideAngle(t + u, r - q, x0 + y0);  // ax + ay
  const double beta = decideAngle(t - u, r + q, x0 - y0);   // ax - ay

  double ax = (alpha + beta) / 2;
  double ay = (alpha - beta) / 2;
  ax = wrapDegrees(ax);
  ay = wrapDegrees(ay);

  // A matrix composed of several turns can carry |m10| a rounding step above 1; asin would
  // give NaN there.
  const double sc = s > 1 ? 1.0 : s < -1 ? -1.0 : s;
  double az = radToDeg(std::asin(sc));
  // cos(az) must have the sign of m11 / cos(ax). At ax = +-90 m11 has been snapped to 0 and
  // says nothing, but m12 = cos(az) sin(ax) still does; without it such turns lose their
  // half-turn about z.
  const double rad = degToRad(ax);
  const bool cosAzNegative =
      m[1][1] != 0 ? std::cos(rad) * m[1][1] < 0 : std::sin(rad) * m[1][2] < 0;
  if (cosAzNegative) az = s < 0 ? -180 - az : 180 - az;
  return {ax, ay, az};
}

Vec3 composeOrientation(const Vec3& own, const Vec3& parent) {
  Transformation t(kAxisX, kAxisZ, kAxisY);
  t.set({}, own);
  t.rotate(parent);
  return t.extractAngles();
}

Vec3 localOrientation(const Vec3& world, const Vec3& parent) {
  Transformation t(kAxisX, kAxisZ, kAxisY);
  t.set({}, world);
  t.setOrder(kAxisY, kAxisZ, kAxisX);
  t.rotate(-parent);
  return t.extractAngles();
}

}  // namespace lmv
