#include "geometry/vector3.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace lmv {
namespace {

TEST(Vector3, RoundToIntAddsAlmostAHalfAwayFromZero) {
  struct Case {
    double in;
    int out;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      {0.0, 0},
      {0.5, 0},
      {-0.5, 0},
      {2.5, 2},
      {2.5002, 3},
      {-2.5, -2},
      {-2.6, -3},
      {-2.5002, -3},
      {7.0, 7},
      {-7.0, -7},
      {0.5001, 1},
      {1e-300, 0},
      {3e9, 2147483647},
      {-3e9, -2147483647 - 1},
      {inf, 2147483647},
      {-inf, -2147483647 - 1},
      {std::nan(""), 0},
      {2147483646.6, 2147483647},
      {-2147483647.6, -2147483647 - 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "x = " << c.in);
    EXPECT_EQ(roundToInt(c.in), c.out);
  }
  const IVec3 v = roundToInt(Vec3{2.5, -2.6, 0.49995});
  EXPECT_EQ(v.x, 2);
  EXPECT_EQ(v.y, -3);
  EXPECT_EQ(v.z, 0);
}

TEST(Vector3, DegreesAndRadiansConvertByMultiplyingInTheFixedOrder) {
  // Each of these differs in the last bit from a plain division.
  EXPECT_EQ(degToRad(20.5), 0.35779249665883756);
  EXPECT_EQ(degToRad(41.0), 41.0 * kPi * (1.0 / 180.0));
  EXPECT_NE(degToRad(41.0), 41.0 * kPi / 180.0);
  EXPECT_EQ(radToDeg(0.001), 0.057295779513082325);
}

TEST(Vector3, NormalizeFailsBelowToleranceAndKeepsTheVector) {
  Vec3 tiny{1e-7, 0, 0};
  EXPECT_FALSE(normalize(tiny));
  EXPECT_EQ(tiny.x, 1e-7);

  Vec3 v{3, 4, 0};
  Vec3 out{9, 9, 9};
  EXPECT_TRUE(normalize(v, out));
  EXPECT_EQ(out.x, 0.6);
  EXPECT_EQ(out.y, 0.8);
  EXPECT_EQ(out.z, 0.0);
  EXPECT_EQ(v.x, 3.0);  // the variant leaves its input alone

  Vec3 untouched{9, 9, 9};
  EXPECT_FALSE(normalize(Vec3{0, 0, 0}, untouched));
  EXPECT_EQ(untouched.x, 9.0);

  EXPECT_TRUE(normalize(v));
  EXPECT_EQ(v.y, 0.8);
}

TEST(Vector3, ToleranceTests) {
  // samePoint compares the squared distance: 0.0009 apart is 8.1e-7.
  EXPECT_TRUE(samePoint({1, 2, 3}, {1.0009, 2, 3}));
  EXPECT_FALSE(samePoint({1, 2, 3}, {1.0011, 2, 3}));
  EXPECT_TRUE(samePoint({0, 0, 0}, {0.0005, 0.0005, 0.0005}));

  EXPECT_TRUE(nearlyEqual(1.0, 1.0 + 0.9e-6));
  EXPECT_FALSE(nearlyEqual(1.0, 1.0 + 1.1e-6));
  EXPECT_TRUE(nearlyZero(-0.9e-6));
  EXPECT_FALSE(nearlyZero(1e-6 * 1.0001));

  // Zero unless some component is above the tolerance (a component at it still counts).
  EXPECT_TRUE(isZeroVector({1e-6, -1e-6, 0}));
  EXPECT_FALSE(isZeroVector({0, 0, -1.1e-6}));
  EXPECT_FALSE(isZeroVector({0, 2, 0}));
}

TEST(Vector3, Arithmetic) {
  const Vec3 a{1, 2, 3}, b{-4, 5, 0.5};
  const Vec3 s = a + b, d = a - b, m = a * 2, n = 0.5 * a, neg = -a;
  EXPECT_EQ(s.x, -3.0);
  EXPECT_EQ(s.z, 3.5);
  EXPECT_EQ(d.x, 5.0);
  EXPECT_EQ(d.y, -3.0);
  EXPECT_EQ(m.z, 6.0);
  EXPECT_EQ(n.y, 1.0);
  EXPECT_EQ(neg.x, -1.0);
  EXPECT_EQ(dot(a, b), 7.5);
  EXPECT_EQ(length(Vec3{3, 4, 12}), 13.0);

  const Vec3 z = cross({1, 0, 0}, {0, 1, 0});  // right-handed
  EXPECT_EQ(z.x, 0.0);
  EXPECT_EQ(z.y, 0.0);
  EXPECT_EQ(z.z, 1.0);
  const Vec3 c = cross(a, b);
  EXPECT_EQ(c.x, 2 * 0.5 - 3 * 5);
  EXPECT_EQ(c.y, 3 * -4 - 1 * 0.5);
  EXPECT_EQ(c.z, 1 * 5 - 2 * -4);

  Vec3 v{7, 8, 9};
  EXPECT_EQ(v[kAxisX], 7.0);
  EXPECT_EQ(v[kAxisY], 8.0);
  EXPECT_EQ(v[kAxisZ], 9.0);
  v[kAxisY] = -1;
  EXPECT_EQ(v.y, -1.0);
  EXPECT_EQ(v[5], 9.0);  // out-of-range axes read z, never past the struct
}

}  // namespace
}  // namespace lmv
