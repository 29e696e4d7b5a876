#include "geometry/transformation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>

namespace lmv {
namespace {

constexpr double kNear = 1e-9;

std::string str(const Vec3& v) {
  std::ostringstream s;
  s.precision(17);
  s << "(" << v.x << ", " << v.y << ", " << v.z << ")";
  return s.str();
}

void expectNear(const Vec3& actual, const Vec3& expected, double tol = kNear) {
  EXPECT_NEAR(actual.x, expected.x, tol) << str(actual) << " vs " << str(expected);
  EXPECT_NEAR(actual.y, expected.y, tol) << str(actual) << " vs " << str(expected);
  EXPECT_NEAR(actual.z, expected.z, tol) << str(actual) << " vs " << str(expected);
}

void expectSameBits(const Vec3& actual, const Vec3& expected) {
  EXPECT_EQ(std::memcmp(&actual, &expected, sizeof(Vec3)), 0)
      << str(actual) << " vs " << str(expected);
}

void expectRotationPartNear(const Matrix& a, const Matrix& b, double tol) {
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(a.m[i][j], b.m[i][j], tol) << i << "," << j;
}

bool isIdentity(const Matrix& a) {
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      if (a.m[i][j] != (i == j ? 1.0 : 0.0)) return false;
  return true;
}

Vec3 apply(const Matrix& m, const Vec3& v) {
  const Vec4 r = m.transformVector({v.x, v.y, v.z, 1.0});
  return {r.x, r.y, r.z};
}

// --- Matrix ---------------------------------------------------------------------------------

TEST(Matrix, StartsAtZeroAndSetIdentityClearsEverything) {
  Matrix a;
  for (auto& row : a.m)
    for (double e : row) EXPECT_EQ(e, 0.0);
  for (auto& row : a.m)
    for (double& e : row) e = 7.0;
  a.setIdentity();
  EXPECT_TRUE(isIdentity(a));
}

TEST(Matrix, ElementaryRotationsTurnCounterClockwiseAboutTheirAxis) {
  struct Case {
    int axis;
    Vec3 in;
    Vec3 out;
  };
  const Case cases[] = {
      {kAxisX, {0, 1, 0}, {0, 0, 1}}, {kAxisX, {0, 0, 1}, {0, -1, 0}},
      {kAxisY, {0, 0, 1}, {1, 0, 0}}, {kAxisY, {1, 0, 0}, {0, 0, -1}},
      {kAxisZ, {1, 0, 0}, {0, 1, 0}}, {kAxisZ, {0, 1, 0}, {-1, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "axis " << c.axis << " in " << str(c.in));
    Matrix a;
    a.setIdentity();
    a.preRotate(c.axis, 90);
    expectNear(apply(a, c.in), c.out);
    Matrix b;
    b.setIdentity();
    b.postRotate(c.axis, 90);
    expectNear(apply(b, c.in), c.out);
    // The rotation leaves its own axis and the homogeneous row alone.
    Vec3 axis;
    axis[c.axis] = 1;
    expectSameBits(apply(a, axis), axis);
    EXPECT_EQ(a.m[3][3], 1.0);
  }
}

TEST(Matrix, RotationAnglesBecomeRadiansByPiThenOneOver180) {
  // 20.5 degrees times pi, then times 1/180, is one step above 20.5 * pi / 180.
  const double rad = 0.35779249665883756;
  ASSERT_NE(rad, 20.5 * kPi / 180.0);
  Matrix a;
  a.setIdentity();
  a.preRotate(kAxisZ, 20.5);
  EXPECT_EQ(a.m[0][0], std::cos(rad));
  EXPECT_EQ(a.m[1][0], std::sin(rad));
  EXPECT_EQ(a.m[0][1], -std::sin(rad));
}

TEST(Matrix, PreRotateMultipliesOnTheLeftPostRotateOnTheRight) {
  // Start from R_x(90): pre gives R_z(90) R_x(90), post gives R_x(90) R_z(90).
  Matrix pre;
  pre.setIdentity();
  pre.preRotate(kAxisX, 90);
  Matrix post = pre;
  pre.preRotate(kAxisZ, 90);
  post.postRotate(kAxisZ, 90);
  // (1, 2, 3): R_x(90) -> (1, -3, 2), then R_z(90) -> (3, 1, 2).
  expectNear(apply(pre, {1, 2, 3}), {3, 1, 2});
  // R_z(90) -> (-2, 1, 3), then R_x(90) -> (-2, -3, 1).
  expectNear(apply(post, {1, 2, 3}), {-2, -3, 1});
}

TEST(Matrix, ZeroAngleRotationDoesNotMultiply) {
  // A product with the identity would turn -0 into +0 and an infinity into NaNs elsewhere.
  Matrix a;
  a.setIdentity();
  a.m[0][1] = -0.0;
  a.m[2][2] = std::numeric_limits<double>::infinity();
  const Matrix before = a;
  for (int axis = 0; axis < 3; ++axis) {
    a.preRotate(axis, 0.0);
    a.postRotate(axis, -0.0);
  }
  EXPECT_EQ(std::memcmp(a.m, before.m, sizeof a.m), 0);
  a.preRotate(kAxisX, 1e-300);  // not exactly zero: multiplies
  EXPECT_NE(std::memcmp(a.m, before.m, sizeof a.m), 0);
}

TEST(Matrix, InvalidAxisIsIgnored) {
  Matrix a;
  a.setIdentity();
  a.preRotate(3, 45);
  a.postRotate(-1, 45);
  EXPECT_TRUE(isIdentity(a));
}

TEST(Matrix, TranslationSitsInColumnThreeOnEitherSide) {
  Matrix t;
  t.setIdentity();
  t.preTranslate({4, 5, 6});
  EXPECT_EQ(t.m[0][3], 4.0);
  EXPECT_EQ(t.m[1][3], 5.0);
  EXPECT_EQ(t.m[2][3], 6.0);
  EXPECT_EQ(t.m[3][3], 1.0);

  Matrix pre;
  pre.setIdentity();
  pre.preRotate(kAxisZ, 90);
  Matrix post = pre;
  pre.preTranslate({10, 20, 30});    // T R: turn, then move
  post.postTranslate({10, 20, 30});  // R T: move, then turn
  expectNear(apply(pre, {1, 0, 0}), {10, 21, 30});
  expectNear(apply(post, {1, 0, 0}), {-20, 11, 30});
}

TEST(Matrix, TransformVectorReturnsAllFourComponents) {
  Matrix a;
  a.setIdentity();
  a.preTranslate({1, 2, 3});
  a.m[3][0] = 2;  // a projective row, to see the fourth component
  const Vec4 r = a.transformVector({1, 1, 1, 2});
  EXPECT_EQ(r.x, 3.0);
  EXPECT_EQ(r.y, 5.0);
  EXPECT_EQ(r.z, 7.0);
  EXPECT_EQ(r.w, 4.0);
}

// --- Transformation -------------------------------------------------------------------------

TEST(Transformation, NewOneIsIdentityWithOrderXYZ) {
  Transformation t;
  EXPECT_TRUE(isIdentity(t.matrix()));
  EXPECT_TRUE(isIdentity(t.inverse()));
  EXPECT_EQ(t.order(0), kAxisX);
  EXPECT_EQ(t.order(1), kAxisY);
  EXPECT_EQ(t.order(2), kAxisZ);
  EXPECT_STREQ(t.className(), "Transformation");
  EXPECT_STREQ(t.matrix().className(), "Matrix");
}

TEST(Transformation, SetWithNothingIsExactIdentityAndApplyKeepsBits) {
  for (int order = 0; order < 2; ++order) {
    Transformation t;
    if (order == 1) t.setOrder(kAxisX, kAxisZ, kAxisY);
    t.set({0, 0, 0}, {0, 0, 0});
    EXPECT_TRUE(isIdentity(t.matrix()));
    EXPECT_TRUE(isIdentity(t.inverse()));
    const Vec3 samples[] = {{1.5, -2.25, 1e300}, {-0.1, 0.2, -0.3}, {123456.789, -1e-300, 3}};
    for (const Vec3& v : samples) {
      expectSameBits(t.apply(v), v);
      expectSameBits(t.applyInverse(v), v);
    }
  }
}

TEST(Transformation, PositionAloneSubtractsAndAddsExactly) {
  Transformation t;
  const IVec3 p{-7, 300, 2147483647};
  t.set(p, {0, 0, 0});
  const Vec3 w{0.1, -2.5, 12.75};
  const Vec3 c = t.apply(w);
  EXPECT_EQ(c.x, w.x - p.x);
  EXPECT_EQ(c.y, w.y - p.y);
  EXPECT_EQ(c.z, w.z - static_cast<double>(p.z));
  const Vec3 back = t.applyInverse(w);
  EXPECT_EQ(back.x, w.x + p.x);
  EXPECT_EQ(back.y, w.y + p.y);
  EXPECT_EQ(back.z, w.z + static_cast<double>(p.z));

  t.set({-2147483647 - 1, 0, 0}, {0, 0, 0});  // negating the position must not overflow
  EXPECT_EQ(t.apply({0, 0, 0}).x, 2147483648.0);
}

TEST(Transformation, OrdersApplyTheirTurnsInSequence) {
  struct Case {
    int o0, o1, o2;
    IVec3 p;
    Vec3 angles;
    Vec3 in;
    Vec3 out;
  };
  // Worked by hand from R_o2(-a) R_o1(-a) R_o0(-a) w - p.
  const Case cases[] = {
      // (x, y, z): views
      {kAxisX, kAxisY, kAxisZ, {}, {90, 90, 0}, {1, 2, 3}, {2, 3, 1}},
      {kAxisX, kAxisY, kAxisZ, {}, {90, 90, 90}, {1, 2, 3}, {3, -2, 1}},
      {kAxisX, kAxisY, kAxisZ, {10, 20, 30}, {90, 90, 90}, {1, 2, 3}, {-7, -22, -29}},
      // (x, z, y): objects, light bodies, beams
      {kAxisX, kAxisZ, kAxisY, {}, {90, 90, 90}, {1, 2, 3}, {2, -1, 3}},
      {kAxisX, kAxisZ, kAxisY, {}, {0, 90, 90}, {1, 2, 3}, {-3, -1, 2}},
      {kAxisX, kAxisZ, kAxisY, {}, {0, 90, 0}, {1, 0, 0}, {0, 0, 1}},  // +x swings to the audience
      // (z, x, y): the moving mirror
      {kAxisZ, kAxisX, kAxisY, {}, {90, 90, 90}, {1, 2, 3}, {-1, 3, 2}},
      {kAxisZ, kAxisX, kAxisY, {}, {90, 0, 90}, {1, 2, 3}, {2, 3, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "order " << c.o0 << c.o1 << c.o2 << " angles "
                                    << str(c.angles) << " in " << str(c.in));
    Transformation t(c.o0, c.o1, c.o2);
    t.set(c.p, c.angles);
    expectNear(t.apply(c.in), c.out);
    expectNear(t.applyInverse(c.out), c.in);
  }
}

TEST(Transformation, FrontViewSeesTheBackWallCentreStraightAhead) {
  const int w = 1000, h = 200, d = 500;
  Transformation t;
  t.set({w / 2, h / 2, 5 * d}, {0, 0, 0});
  const Vec3 c = t.apply({w / 2, h / 2, 0});
  EXPECT_EQ(c.x, 0.0);
  EXPECT_EQ(c.y, 0.0);
  EXPECT_EQ(c.z, -5.0 * d);
}

TEST(Transformation, ViewPositionIsSubtractedAfterTheTurn) {
  // Plan view of a 1000 x 200 x 500 theatre: the camera sits above it, +x right, -z up.
  Transformation t;
  t.set({500, -250, 2500}, {-90, 0, 0});
  expectNear(t.apply({500, 0, 250}), {0, 0, -2500});
  expectNear(t.apply({600, 0, 0}), {100, 250, -2500});  // back wall at the top
}

TEST(Transformation, InverseUndoesTheMatrix) {
  struct Case {
    int o0, o1, o2;
    IVec3 p;
    Vec3 angles;
  };
  const Case cases[] = {
      {kAxisX, kAxisY, kAxisZ, {500, -250, 2500}, {-90, 0, 0}},
      {kAxisX, kAxisY, kAxisZ, {300, 100, 750}, {12.5, -45, 3}},
      {kAxisX, kAxisZ, kAxisY, {0, 0, 0}, {10, 20, 30}},
      {kAxisX, kAxisZ, kAxisY, {-40, 7, 1234}, {-170.25, 95, 359}},
      {kAxisZ, kAxisX, kAxisY, {1, 2, 3}, {33, 0, -22.5}},
      {kAxisY, kAxisZ, kAxisX, {9, -9, 9}, {-1, 2, -3}},
  };
  const Vec3 points[] = {{0, 0, 0}, {1, 2, 3}, {-500, 250.5, 1e4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "order " << c.o0 << c.o1 << c.o2 << " angles " << str(c.angles));
    Transformation t(c.o0, c.o1, c.o2);
    t.set(c.p, c.angles);
    t.rotate({5, -6, 7});  // both matrices must follow a later turn as well
    for (const Vec3& w : points) {
      expectNear(t.applyInverse(t.apply(w)), w, 1e-8);
      expectNear(t.apply(t.applyInverse(w)), w, 1e-8);
    }
  }
}

TEST(Transformation, SetOrderOnlyAffectsLaterCalls) {
  Transformation t;
  t.set({}, {90, 90, 90});
  const Matrix before = t.matrix();
  t.setOrder(kAxisZ, kAxisX, kAxisY);
  EXPECT_EQ(std::memcmp(t.matrix().m, before.m, sizeof before.m), 0);
  t.set({}, {90, 90, 90});
  expectNear(t.apply({1, 2, 3}), {-1, 3, 2});
}

// A moving head: the local beam axis (1, 0, 0) turned by (0, pan, tilt + 90) and then by the
// light's orientation, both in order (x, z, y).
TEST(Transformation, RotateActsAfterEverythingAlreadySet) {
  struct Case {
    double pan, tilt;
    Vec3 dir;
  };
  const double h = std::sqrt(0.5);
  const Case cases[] = {
      {0, 0, {0, -1, 0}},
      {0, 90, {-1, 0, 0}},
      {0, 45, {-h, -h, 0}},
      {90, 45, {0, -h, -h}},
      {30,
       60,
       {-std::sin(degToRad(60)) * std::cos(degToRad(30)), -0.5,
        -std::sin(degToRad(60)) * std::sin(degToRad(30))}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "pan " << c.pan << " tilt " << c.tilt);
    Transformation t(kAxisX, kAxisZ, kAxisY);
    t.set({}, {0, 0, 0});
    t.rotate({0, c.pan, c.tilt + 90});
    t.rotate({0, 0, 0});
    expectNear(t.apply({1, 0, 0}), c.dir);
  }

  // With an orientation, the head turn comes first: same as turning by each in sequence.
  const Vec3 head{0, 25, 70}, orient{15, -40, 30};
  Transformation t(kAxisX, kAxisZ, kAxisY);
  t.set({}, {0, 0, 0});
  t.rotate(head);
  t.rotate(orient);
  Transformation first(kAxisX, kAxisZ, kAxisY), second(kAxisX, kAxisZ, kAxisY);
  first.set({}, head);
  second.set({}, orient);
  expectNear(t.apply({1, 0, 0}), second.apply(first.apply({1, 0, 0})));
  expectNear(t.applyInverse({1, 0, 0}), first.applyInverse(second.applyInverse({1, 0, 0})));
}

// A moving mirror: the normal (-1/sqrt 2, -1/sqrt 2, 0) turned in order (z, x, y) by
// (pan, 0, tilt / 2) reflects the lamp's axis (1, 0, 0) into the beam.
TEST(Transformation, MirrorOrderTurnsTiltBeforePan) {
  struct Case {
    double pan, tilt;
    Vec3 beam;
  };
  const Case cases[] = {
      {0, 0, {0, -1, 0}},
      {90, 0, {0, 0, 1}},
      {0, 45, {-0.70711, -0.70711, 0}},
      {30, 30, {-0.5, -0.75, 0.43301}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "pan " << c.pan << " tilt " << c.tilt);
    Transformation t(kAxisZ, kAxisX, kAxisY);
    t.set({}, {c.pan, 0, c.tilt / 2});
    const Vec3 n = t.apply({-std::sqrt(0.5), -std::sqrt(0.5), 0});
    const Vec3 q{1, 0, 0};
    const Vec3 v = q + 2 * std::fabs(dot(q, n)) * n;
    expectNear(v, c.beam, 1e-5);
  }
}

// --- Angle recovery -------------------------------------------------------------------------

TEST(ExtractAngles, KnownCasesGiveTheirAnglesAndRebuildTheMatrix) {
  struct Case {
    Vec3 in;
    Vec3 out;
  };
  const Case cases[] = {
      {{0, 0, 0}, {0, 0, 0}},       {{10, 20, 30}, {10, 20, 30}}, {{200, 0, 0}, {-160, 0, 0}},
      {{0, 180, 0}, {180, 0, 180}}, {{0, 90, 90}, {-45, 45, 90}}, {{-30, 0, 0}, {-30, 0, 0}},
      {{0, -120, 0}, {0, -120, 0}}, {{0, 0, -60}, {0, 0, -60}},   {{170, -100, 120}, {-10, 80, 60}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "angles " << str(c.in));
    Transformation t(kAxisX, kAxisZ, kAxisY);
    t.set({}, c.in);
    const Vec3 a = t.extractAngles();
    expectNear(a, c.out);
    Transformation fresh(kAxisX, kAxisZ, kAxisY), rebuilt(kAxisX, kAxisZ, kAxisY);
    fresh.set({}, c.in);
    rebuilt.set({}, a);
    expectRotationPartNear(rebuilt.matrix(), fresh.matrix(), 1e-9);
  }
}

TEST(ExtractAngles, RebuildsAnyRotationAwayFromVerticalZ) {
  const double xs[] = {-179, -135, -90, -44.5, -10, 0, 30, 90, 120.25, 180};
  const double zs[] = {-150, -95, -60, -30, 0, 45, 80, 100.5, 170};
  for (double ax : xs) {
    for (double ay : xs) {
      for (double az : zs) {
        SCOPED_TRACE(testing::Message() << "angles " << ax << ", " << ay << ", " << az);
        Transformation t(kAxisX, kAxisZ, kAxisY);
        t.set({}, {ax, ay, az});
        const Matrix original = t.matrix();
        const Vec3 a = t.extractAngles();
        for (double e : {a.x, a.y, a.z}) {
          EXPECT_GE(e, -180.0);
          EXPECT_LE(e, 180.0);
        }
        Transformation rebuilt(kAxisX, kAxisZ, kAxisY);
        rebuilt.set({}, a);
        expectRotationPartNear(rebuilt.matrix(), original, 1e-9);
      }
    }
  }
}

TEST(ExtractAngles, ReadsTheMatrixAsOrderXZYWhateverOrderIsSet) {
  Transformation t(kAxisX, kAxisZ, kAxisY);
  t.set({}, {10, 20, 30});
  t.setOrder(kAxisZ, kAxisX, kAxisY);
  expectNear(t.extractAngles(), {10, 20, 30});
}

TEST(ExtractAngles, SnapsTinyRotationEntriesToZeroInTheMatrix) {
  Transformation t(kAxisX, kAxisZ, kAxisY);
  t.set({3, 4, 5}, {0, 90, 0});
  const Matrix before = t.matrix();
  ASSERT_NE(before.m[0][0], 0.0);  // cos 90 degrees is not exactly 0 in doubles
  ASSERT_LT(std::fabs(before.m[0][0]), 1e-6);
  t.extractAngles();
  const Matrix& after = t.matrix();
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      SCOPED_TRACE(testing::Message() << i << "," << j);
      if (i < 3 && j < 3 && std::fabs(before.m[i][j]) < 1e-6)
        EXPECT_EQ(after.m[i][j], 0.0);
      else
        EXPECT_EQ(after.m[i][j], before.m[i][j]);
    }
  }
}

TEST(ExtractAngles, StaysFiniteWhenRoundingPushesTheSineBeyondOne) {
  // Two turns about z summing to 90: the composed m10 ends a rounding step below -1.
  Transformation t(kAxisX, kAxisZ, kAxisY);
  t.set({}, {0, 0, -177.5});
  t.rotate({0, 0, 267.5});
  ASSERT_LT(t.matrix().m[1][0], -1.0);
  const Vec3 a = t.extractAngles();
  EXPECT_TRUE(std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z)) << str(a);
  expectNear(a, {0, 0, 90});
}

// --- Orientation inside a parent frame ------------------------------------------------------

TEST(Orientation, ComposeAndLocalAreInverseOperations) {
  struct Case {
    Vec3 own, parent;
  };
  const Case cases[] = {
      {{0, 0, 0}, {0, 0, 0}},    {{0, 45, 0}, {0, 45, 0}},       {{10, 20, 30}, {0, 0, 0}},
      {{0, 0, 0}, {-15, 70, 5}}, {{10, 20, 30}, {-40, 15, -25}}, {{170, -100, 60}, {90, 90, 0}},
      {{0, 0, 20}, {0, 0, 30}},
  };
  const Vec3 probes[] = {{1, 0, 0}, {0, 1, 0}, {0.3, -0.4, 0.5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "own " << str(c.own) << " parent " << str(c.parent));
    Transformation own(kAxisX, kAxisZ, kAxisY), parent(kAxisX, kAxisZ, kAxisY);
    own.set({}, c.own);
    parent.set({}, c.parent);

    const Vec3 world = composeOrientation(c.own, c.parent);
    Transformation composed(kAxisX, kAxisZ, kAxisY);
    composed.set({}, world);
    for (const Vec3& d : probes) expectNear(composed.apply(d), parent.apply(own.apply(d)));

    const Vec3 local = localOrientation(world, c.parent);
    Transformation back(kAxisX, kAxisZ, kAxisY);
    back.set({}, local);
    for (const Vec3& d : probes) expectNear(back.apply(d), own.apply(d));
  }
  // Turns about one axis simply add up.
  expectNear(composeOrientation({0, 0, 20}, {0, 0, 30}), {0, 0, 50});
  expectNear(localOrientation({0, 50, 0}, {0, 30, 0}), {0, 20, 0});
}

}  // namespace
}  // namespace lmv
