// Beams: rays, their hits on the box, spot outlines with wall edges and room corners, and what
// is drawn of them in which colour.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "lightutil.h"
#include "model/color.h"
#include "model/globals.h"

using namespace lmv;
using test::LightRig;

namespace {

constexpr int kWhite = 0xFFFFFF;
constexpr int kGreen = 0x00FF00;
const double kTan5 = std::tan(5 * kPi / 180);

// A head at (500, 150, 250) of the 1000 x 200 x 500 box, orientation 0, the open circle of the
// bundled gobo list, cone 10 degrees; its body drawn in green to tell it from the beam.
struct HeadRig : LightRig {
  explicit HeadRig(double pan = 0, double tilt = 0) {
    theatre->globals->mhLightColor[1] = 255;
    theatre->globals->mhLightColor[0] = theatre->globals->mhLightColor[2] = 0;
    head = place<MHLight>({500, 150, 250}, pan, tilt);
    // Gobo 0 of the bundled library is the open circle.
    head->beam->setGoboIndex(0, 0);
  }
  const Beam& beam() const { return *head->beam; }
  // What pane 0 shows after the walls' twelve white edges, or only the lines in one colour.
  std::vector<Segment> lines() const {
    std::vector<Segment> all = canvas[0]->segments();
    return std::vector<Segment>(all.begin() + std::min<size_t>(12, all.size()), all.end());
  }
  std::vector<Segment> lines(int colour) const {
    std::vector<Segment> out;
    for (const Segment& s : lines())
      if (s.color == colour) out.push_back(s);
    return out;
  }
  std::vector<Segment> white() const { return lines(kWhite); }
  MHLight* head;
};

// Largest difference of a spot vertex's distance from a centre and the expected radius.
double radiusError(const SpotPoly& p, const Vec3& centre, double radius) {
  double worst = 0;
  for (int i = 0; i < p.vertexCount(); ++i)
    worst = std::max(worst, std::fabs(length(p.vertex(i).point - centre) - radius));
  return worst;
}

TEST(Beam, HeadThrowsAClosedFloorSpot) {
  HeadRig rig;
  rig.frame();
  const Beam& b = rig.beam();
  ASSERT_EQ(b.spots.count(), 1);
  const SpotPoly& floor = b.spots.poly(0);
  EXPECT_EQ(floor.face, 2);
  EXPECT_EQ(floor.vertexCount(), 24);
  EXPECT_LT(radiusError(floor, {500, 0, 250}, 150 * kTan5), 2e-3);
  for (int i = 0; i < floor.vertexCount(); ++i) EXPECT_EQ(floor.vertex(i).point.y, 0);
  // Rays hitting the same face in a row get no corners between them.
  EXPECT_EQ(b.recordCount(), 24);
  for (int i = 0; i < b.recordCount(); ++i) EXPECT_EQ(b.record(i).kind, SpotKind::Inside);

  // Drawn: 24 outline lines back to the start, then 24 cone lines from the origin; the body
  // in its own colour (two rings of 12 and 12 edges).
  std::vector<Segment> lines = rig.white();
  ASSERT_EQ(lines.size(), 48u);
  EXPECT_EQ(lines[23].x2, lines[0].x1);
  EXPECT_EQ(lines[23].y2, lines[0].y1);
  for (int i = 24; i < 48; ++i) {
    EXPECT_EQ(lines[size_t(i)].x1, b.originPixels[0].x);
    EXPECT_EQ(lines[size_t(i)].y1, b.originPixels[0].y);
  }
  EXPECT_EQ(rig.lines(kGreen).size(), 36u);
}

TEST(Beam, TiltedHeadMeetsFloorAndBackWallAtTheirEdge) {
  HeadRig rig(90, 57);  // axis towards the back wall: the far edge of the cone reaches it
  rig.frame();
  const Beam& b = rig.beam();
  ASSERT_EQ(b.spots.count(), 2);
  EXPECT_EQ(b.spots.poly(0).face, 2);
  EXPECT_EQ(b.spots.poly(1).face, 4);
  std::vector<Vec3> edge[2];
  for (int p = 0; p < 2; ++p) {
    const SpotPoly& poly = b.spots.poly(p);
    const int n = poly.vertexCount();
    std::vector<int> at;
    for (int i = 0; i < n; ++i) {
      const Vec3& v = poly.vertex(i).point;
      EXPECT_EQ(p == 0 ? v.y : v.z, 0);
      if (v.y == 0 && v.z == 0) {
        at.push_back(i);
        edge[p].push_back(v);
      }
    }
    // Two corner points, next to each other round the outline.
    ASSERT_EQ(at.size(), 2u);
    EXPECT_TRUE(at[1] - at[0] == 1 || (at[0] == 0 && at[1] == n - 1));
  }
  // Both outlines pass through the same two points, which lie on the cone's edge.
  for (int k = 0; k < 2; ++k) {
    bool found = false;
    for (const Vec3& v : edge[1]) found = found || samePoint(v, edge[0][size_t(k)]);
    EXPECT_TRUE(found);
    Vec3 ray = edge[0][size_t(k)] - b.origin;
    normalize(ray);
    EXPECT_NEAR(std::acos(dot(ray, rig.head->beamDirection())) * 180 / kPi, 5, 0.1);
  }
}

TEST(Beam, ConeIntoARoomCornerGivesThreeOutlinesFromTheCorner) {
  // The axis points straight at the corner (0, 0, 0): floor, left wall and back wall.
  HeadRig rig;
  rig.head->setWorldPosition(Vec3{60, 60, 60});
  PanTilt aim = rig.head->aimAt({0, 0, 0});
  rig.head->setPan(aim.pan);
  rig.head->setTilt(aim.tilt);
  rig.head->beam->setConeAngle(25);
  rig.frame();
  const Beam& b = rig.beam();
  ASSERT_EQ(b.spots.count(), 3);
  const int faces[3] = {0, 2, 4};
  for (int p = 0; p < 3; ++p) {
    SCOPED_TRACE(p);
    const SpotPoly& poly = b.spots.poly(p);
    EXPECT_EQ(poly.face, faces[p]);
    EXPECT_EQ(poly.filled(), poly.vertexCount());
    EXPECT_TRUE(test::nearVec({0, 0, 0}, poly.vertex(0).point, 0));
  }
}

TEST(Beam, MirrorThrowsItsSpotFromTheMirrorCentre) {
  LightRig rig;
  MMLight* m = rig.place<MMLight>({500, 150, 250});
  m->beam->setGoboIndex(0, 0);
  rig.frame();
  const Beam& b = *m->beam;
  EXPECT_TRUE(test::nearVec({503, 153, 250}, b.origin));
  ASSERT_EQ(b.spots.count(), 1);
  // Radius 15 / 4 * tan 5 at the mirror, 3 units from the apex, grown to the floor 153 away.
  EXPECT_LT(radiusError(b.spots.poly(0), {503, 0, 250}, 3.75 * kTan5 * 153 / 3), 2e-3);
}

TEST(Beam, ApertureClipsTheOutline) {
  struct Case {
    double aperture;
    double radius;  // of the floor spot, 0 for none
  };
  for (const Case& c :
       {Case{0, 0}, Case{0.5, 75 * kTan5}, Case{1, 150 * kTan5}, Case{2, 150 * kTan5}}) {
    SCOPED_TRACE(c.aperture);
    HeadRig rig;
    rig.head->beam->setAperture(c.aperture);
    rig.frame();
    if (c.radius == 0) {
      EXPECT_FALSE(rig.beam().hasRays());
      EXPECT_TRUE(rig.white().empty());
      continue;
    }
    ASSERT_EQ(rig.beam().spots.count(), 1);
    EXPECT_LT(radiusError(rig.beam().spots.poly(0), {500, 0, 250}, c.radius), 2e-3);
  }
}

TEST(Beam, ColourIntensityAndFilters) {
  HeadRig rig;
  Beam& b = *rig.head->beam;
  Color& c = *b.colour;
  auto colour = [&] {
    int rgb[3];
    b.evaluateColour(rgb);
    return std::vector<int>{rgb[0], rgb[1], rgb[2]};
  };
  EXPECT_EQ(colour(), std::vector<int>({255, 255, 255}));
  c.intensity->setValue(128);
  EXPECT_EQ(colour(), std::vector<int>({128, 128, 128}));
  c.intensity->setValue(255);
  // A filter counts only while DMX drives it; entry 0 is white, entry 1 red.
  Value* filter = c.filters.at(0);
  filter->setValue(0);
  EXPECT_EQ(colour(), std::vector<int>({255, 255, 255}));
  filter->dmxEnabled = 1;
  EXPECT_EQ(colour(), std::vector<int>({254, 254, 254}));
  filter->setValue(1);
  EXPECT_EQ(colour(), std::vector<int>({254, 0, 0}));
  c.setFilterCount(2);
  c.filters[1]->dmxEnabled = 1;
  c.filters[1]->setValue(-3);  // below the table: its first entry
  EXPECT_EQ(colour(), std::vector<int>({253, 0, 0}));
  c.setFilterCount(0);
  b.setColour(255, 128, 0);
  EXPECT_EQ(colour(), std::vector<int>({255, 128, 0}));
}

TEST(Beam, WhatIsDrawnBySmokeColourAndPlace) {
  struct Case {
    const char* name;
    int smoke;
    int rgb;  // all three components
    Vec3 position;
    int spotLines, coneLines, coneColour;
  };
  const Case cases[] = {
      {"smoke 100", 100, 255, {500, 150, 250}, 24, 24, kWhite},
      {"smoke 50", 50, 255, {500, 150, 250}, 24, 24, 0x7F7F7F},
      {"smoke 0", 0, 255, {500, 150, 250}, 24, 0, 0},
      {"smoke 200 saturates", 200, 200, {500, 150, 250}, 24, 24, kWhite},
      {"too dark", 100, 5, {500, 150, 250}, 0, 0, 0},
      {"dark cone", 3, 255, {500, 150, 250}, 24, 0, 0},
      {"outside the box", 100, 255, {-10, 150, 250}, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HeadRig rig;
    rig.head->setWorldPosition(c.position);
    rig.theatre->globals->setSmoke(c.smoke);
    rig.head->beam->setColour(c.rgb, c.rgb, c.rgb);
    rig.frame();
    const int spotColour = c.rgb * 0x010101;
    std::vector<Segment> spot = rig.lines(spotColour);
    size_t cone = c.coneLines ? rig.lines(c.coneColour).size() : 0;
    if (c.coneColour == spotColour) {
      EXPECT_EQ(spot.size(), size_t(c.spotLines + c.coneLines));
    } else {
      EXPECT_EQ(spot.size(), size_t(c.spotLines));
      EXPECT_EQ(cone, size_t(c.coneLines));
    }
    // Nothing else but the body is drawn.
    EXPECT_EQ(rig.lines().size(), 36u + c.spotLines + c.coneLines);
  }
  // The spot and cone switches.
  HeadRig rig;
  rig.theatre->globals->spotsOff();
  rig.frame();
  EXPECT_EQ(rig.white().size(), 24u);
  rig.theatre->globals->spotsOn();
  rig.theatre->globals->conesOff();
  rig.frame();
  EXPECT_EQ(rig.white().size(), 24u);
}

TEST(Beam, EraseDrawsBodyAndBeamInBlack) {
  HeadRig rig;
  rig.frame();
  rig.canvas[0]->reset();
  rig.head->eraseOutline();
  EXPECT_EQ(rig.canvas[0]->segments(0).size(), 36u + 48u);
}

TEST(Beam, DegenerateConesAndOddPlacesStayFinite) {
  struct Case {
    const char* name;
    double cone;
    double tilt;
    Vec3 position;
    int sizeX;
  };
  const Case cases[] = {
      {"cone 0", 0, 0, {500, 150, 250}, 15},
      {"cone 180", 180, 0, {500, 150, 250}, 15},
      {"cone 359", 359, 30, {500, 150, 250}, 15},
      {"axis along the floor", 10, 90, {500, 150, 250}, 15},
      {"on the floor", 10, 30, {500, 0, 250}, 15},
      {"in the corner", 10, 30, {0, 0, 0}, 15},
      {"outside", 10, 30, {5000, -40, 250}, 15},
      {"no body length", 10, 0, {500, 150, 250}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (bool mirror : {false, true}) {
      LightRig rig;
      Light* light = mirror ? static_cast<Light*>(rig.place<MMLight>(c.position, 20, c.tilt))
                            : rig.place<MHLight>(c.position, 20, c.tilt);
      light->beam->setConeAngle(c.cone);
      light->setSize(c.sizeX, 5, 5);
      rig.frame();
      const Beam& b = *light->beam;
      for (int p = 0; p < b.spots.count(); ++p)
        for (int i = 0; i < b.spots.poly(p).vertexCount(); ++i) {
          const Vec3& v = b.spots.poly(p).vertex(i).point;
          EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z));
        }
      if (c.sizeX == 1 && !mirror) {
        EXPECT_EQ(b.spots.count(), 0);  // rays of no length
      }
    }
  }
}

TEST(Beam, HitsOnFaces) {
  const IVec3 room{1000, 200, 500};
  const Vec3 o{500, 150, 250};
  struct Case {
    const char* name;
    Vec3 p;
    int face;
    bool hit;
    SpotKind kind;
    Vec3 q;
  };
  const Case cases[] = {
      {"down to the floor", {500, 140, 250}, 2, true, SpotKind::Inside, {500, 0, 250}},
      {"floor behind the ray", {500, 160, 250}, 2, false, SpotKind::Inside, {}},
      {"parallel to the floor", {510, 150, 250}, 2, false, SpotKind::Inside, {}},
      {"beyond the floor's edge", {400, 140, 250}, 2, false, SpotKind::Inside, {}},
      {"onto the floor's edge", {495, 148.5, 250}, 2, true, SpotKind::Border, {0, 0, 250}},
      {"ceiling", {500, 160, 250}, 3, true, SpotKind::Inside, {500, 200, 250}},
      {"right wall", {600, 150, 250}, 1, true, SpotKind::Inside, {1000, 150, 250}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Vec3 q;
    SpotKind kind = SpotKind::Corner;
    ASSERT_EQ(Beam::hitFace(o, c.p, c.face, room, q, kind), c.hit);
    if (!c.hit) continue;
    EXPECT_EQ(kind, c.kind);
    EXPECT_TRUE(test::nearVec(c.q, q, 1e-9));
  }
  // A ray starting on the face itself does not hit it there.
  Vec3 q;
  SpotKind kind;
  EXPECT_FALSE(Beam::hitFace({500, 0, 250}, {500, -1, 250}, 2, room, q, kind));

  // Edge corners: on the edge both faces share, in the plane through the origin and hits.
  Vec3 k;
  ASSERT_TRUE(Beam::edgeCorner(o, 2, {450, 0, 10}, 4, {550, 10, 0}, room, k));
  EXPECT_EQ(k.y, 0);
  EXPECT_EQ(k.z, 0);
  EXPECT_GT(k.x, 450);
  EXPECT_LT(k.x, 550);
  EXPECT_TRUE(Beam::edgeCorner(o, 2, {500, 0, 10}, 4, {500, 10, 0}, room, k));
  EXPECT_TRUE(test::nearVec({500, 0, 0}, k, 1e-9));
  EXPECT_FALSE(Beam::edgeCorner(o, 0, {0, 5, 5}, 1, {1000, 5, 5}, room, k));   // same axis
  EXPECT_FALSE(Beam::edgeCorner(o, 2, {500, 0, 0}, 4, {500, 0, 0}, room, k));  // same point
  // A plane through the world origin has no form n . x = 1.
  EXPECT_FALSE(Beam::edgeCorner({10, 10, 10}, 2, {5, 0, 5}, 4, {0, 20, 0}, room, k));
}

TEST(Beam, FrameAllocatesNothingOnceWarm) {
  // Rays, records and outlines keep their storage: a second frame reuses it.
  HeadRig rig(90, 57);
  rig.frame();
  const Vec3* rays = &rig.beam().rayEnd(0);
  const SpotVertex* v = &rig.beam().spots.poly(0).vertex(0);
  rig.frame();
  EXPECT_EQ(&rig.beam().rayEnd(0), rays);
  EXPECT_EQ(&rig.beam().spots.poly(0).vertex(0), v);
}

}  // namespace
