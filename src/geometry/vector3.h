#pragma once
// Small value types and helpers shared by all geometry code: points and directions as three
// doubles, integer positions as three ints, the degree/radian conversions and the one
// tolerance of the geometry code. Everything is inline and allocation-free (per-frame path).
// The order of floating-point operations is deliberate: results are compared exactly.

#include <cmath>

namespace lmv {

// The only tolerance of the geometry code.
inline constexpr double kGeometryTolerance = 1e-6;
inline constexpr double kPi = 3.141592653589793;

// Axis indices used for rotation orders and for indexing angle triples.
inline constexpr int kAxisX = 0;
inline constexpr int kAxisY = 1;
inline constexpr int kAxisZ = 2;

struct Vec3 {
  double x = 0;
  double y = 0;
  double z = 0;

  // Index by axis (0 x, 1 y, anything else z), so an angle triple is read as a[axis].
  double operator[](int axis) const { return axis == kAxisX ? x : axis == kAxisY ? y : z; }
  double& operator[](int axis) { return axis == kAxisX ? x : axis == kAxisY ? y : z; }
};

// Integer lengths: positions and sizes as the model stores them.
struct IVec3 {
  int x = 0;
  int y = 0;
  int z = 0;
};

inline Vec3 toVec3(const IVec3& v) {
  return {static_cast<double>(v.x), static_cast<double>(v.y), static_cast<double>(v.z)};
}

// Multiply by pi, then by 1/180 (and back likewise): rounding differs from a division.
inline double degToRad(double degrees) {
  return degrees * kPi * (1.0 / 180.0);
}
inline double radToDeg(double radians) {
  return radians * 180.0 * (1.0 / kPi);
}

inline Vec3 operator+(const Vec3& a, const Vec3& b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(const Vec3& a, const Vec3& b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator-(const Vec3& a) {
  return {-a.x, -a.y, -a.z};
}
inline Vec3 operator*(const Vec3& a, double k) {
  return {a.x * k, a.y * k, a.z * k};
}
inline Vec3 operator*(double k, const Vec3& a) {
  return {k * a.x, k * a.y, k * a.z};
}

inline double dot(const Vec3& a, const Vec3& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline double length(const Vec3& v) {
  return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

inline Vec3 cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// Writes v / |v| to out; false (out untouched) when |v| is below the tolerance.
inline bool normalize(const Vec3& v, Vec3& out) {
  const double len = length(v);
  if (len < kGeometryTolerance) return false;
  out = {v.x / len, v.y / len, v.z / len};
  return true;
}
inline bool normalize(Vec3& v) {
  return normalize(v, v);
}

// Brings an angle into -180..180 by one turn at most: below -180 add 360, above 180 subtract
// 360.
inline double wrapDegrees(double a) {
  if (a < -180) return a + 360;
  if (a > 180) return a - 360;
  return a;
}

inline bool nearlyEqual(double a, double b) {
  return std::fabs(a - b) < kGeometryTolerance;
}
inline bool nearlyZero(double a) {
  return std::fabs(a) < kGeometryTolerance;
}

// Squared distance against the tolerance: points about 0.001 apart are still the same.
inline bool samePoint(const Vec3& p, const Vec3& q) {
  const Vec3 d = p - q;
  return d.x * d.x + d.y * d.y + d.z * d.z < kGeometryTolerance;
}

inline bool isZeroVector(const Vec3& v) {
  return !(std::fabs(v.x) > kGeometryTolerance || std::fabs(v.y) > kGeometryTolerance ||
           std::fabs(v.z) > kGeometryTolerance);
}

// Adds 0.4999 away from zero, then truncates: 2.5 -> 2, 2.5002 -> 3, -2.6 -> -3.
// Values beyond the int range saturate and a NaN gives 0, instead of an undefined conversion.
inline int roundToInt(double x) {
  const double r = x >= 0 ? x + 0.4999 : x - 0.4999;
  if (r >= 2147483647.0) return 2147483647;
  if (r <= -2147483648.0) return -2147483647 - 1;
  if (r != r) return 0;
  return static_cast<int>(r);
}

inline IVec3 roundToInt(const Vec3& v) {
  return {roundToInt(v.x), roundToInt(v.y), roundToInt(v.z)};
}

}  // namespace lmv
