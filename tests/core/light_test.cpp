// Lights: their defaults and templates, beam directions and aiming, personalities, patching
// and their sections in the theatre file.
#include <gtest/gtest.h>

#include <cmath>

#include "fixtures/fixtureentry.h"
#include "fixtures/fixturelist.h"
#include "geometry/beamaxis.h"
#include "geometry/transformation.h"
#include "lightutil.h"
#include "model/color.h"
#include "model/content.h"
#include "model/editsession.h"

using namespace lmv;
using test::LightRig;

namespace {

const double kHalf = std::sqrt(0.5);

TEST(Light, DefaultLightsAndNewLightsFromThem) {
  nextDmxAddress = 0;
  LightRig rig;
  ObjectList& list = rig.list();
  struct Case {
    Light* light;
    char letter;
    Vec3 position;
  };
  for (const Case& c : {Case{list.defaultMHLight.get(), 'h', {3, 150, 250}},
                        Case{list.defaultMMLight.get(), 'm', {12, 150, 250}}}) {
    SCOPED_TRACE(c.letter);
    EXPECT_EQ(c.light->typeLetter, c.letter);
    EXPECT_TRUE(test::nearVec(c.position, c.light->worldPosition()));
    EXPECT_TRUE(test::nearVec({0, 90, 20}, c.light->worldOrientation()));
    EXPECT_EQ(c.light->getSize().x, 15);
    EXPECT_EQ(c.light->getSize().z, 5);
    EXPECT_EQ(c.light->dmxBase, -2);
    EXPECT_EQ(c.light->channelCount, 16);
    EXPECT_EQ(c.light->pan->dmxOffset(), 4);
    EXPECT_EQ(c.light->beam->colour->intensity->dmxOffset(), 3);
    EXPECT_EQ(c.light->posn->v[0]->dmxOffset(), -1);
  }
  // New lights look for free channels, since their templates are patched without address.
  MHLight* a = list.newMHLight();
  MMLight* b = list.newMMLight();
  EXPECT_EQ(a->dmxBase, 0);
  EXPECT_EQ(b->dmxBase, 16);
  EXPECT_EQ(a->pan->dmxEnabled, 1);
  EXPECT_EQ(a->pan->positionSpec()->channels[0], 4);
  EXPECT_EQ(b->tilt->positionSpec()->channels[0], 21);
  EXPECT_EQ(b->posn->v[0]->dmxEnabled, 0);
  EXPECT_TRUE(test::nearVec({12, 150, 250}, b->worldPosition()));
  EXPECT_TRUE(test::nearVec({0, 90, 20}, b->worldOrientation()));
  // The default decoding: one channel, raw 128 is 0 degrees.
  rig.theatre->dmxBuffer[4] = 192;
  rig.theatre->dmxBuffer[21] = 255;
  rig.theatre->valueList.update();
  EXPECT_DOUBLE_EQ(a->getPan(), 90);
  EXPECT_DOUBLE_EQ(b->getTilt(), 79.375);
  nextDmxAddress = 0;
}

TEST(Light, BeamDirections) {
  LightRig rig(1, false);
  struct Case {
    bool mirror;
    double pan, tilt;
    Vec3 expected;
  };
  const Case cases[] = {
      {false, 0, 0, {0, -1, 0}},
      {false, 0, 90, {-1, 0, 0}},
      {false, 0, 45, {-kHalf, -kHalf, 0}},
      {false, 90, 45, {0, -kHalf, -kHalf}},
      {false, 30, 60, {-0.75, -0.5, -0.4330127018922193}},
      {true, 0, 0, {0, -1, 0}},
      {true, 90, 0, {0, 0, 1}},
      {true, 0, 45, {-kHalf, -kHalf, 0}},
      {true, 30, 30, {-0.5, -0.75, 0.4330127018922193}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << (c.mirror ? "mirror" : "head") << " pan " << c.pan << " tilt " << c.tilt);
    Light* light = c.mirror
                       ? static_cast<Light*>(rig.place<MMLight>({500, 150, 250}, c.pan, c.tilt))
                       : rig.place<MHLight>({500, 150, 250}, c.pan, c.tilt);
    EXPECT_TRUE(test::nearVec(c.expected, light->beamDirection(), 1e-9));
    // The rays of the built beam are centred on that direction (the star is symmetric).
    light->project();
    const Beam& b = *light->beam;
    ASSERT_TRUE(b.hasRays());
    Vec3 mean;
    for (int i = 0; i < b.rayCount(); ++i) mean = mean + b.rayEnd(i) * (1.0 / b.rayCount());
    Vec3 axis = mean - b.origin;
    normalize(axis);
    EXPECT_TRUE(test::nearVec(c.expected, axis, 1e-9));
  }
}

TEST(Light, AimingAtPoints) {
  LightRig rig(1, false);
  MHLight* head = rig.place<MHLight>({500, 150, 250});
  struct Case {
    Vec3 target;
    double pan, tilt;
  };
  for (const Case& c : {Case{{500, 0, 250}, 0, 0}, Case{{500, 200, 250}, 0, -180}}) {
    SCOPED_TRACE(c.target.y);
    PanTilt a = head->aimAt(c.target);
    EXPECT_NEAR(a.pan, c.pan, 1e-9);
    EXPECT_NEAR(a.tilt, c.tilt, 1e-9);
  }
  MMLight* mirror = rig.place<MMLight>({500, 150, 250}, 40, 20);
  // The mirror centre lies a quarter of the body length along the body: 15 / 4 = 3.
  PanTilt below = mirror->aimAt({503, 0, 250});
  EXPECT_NEAR(below.pan, 0, 1e-9);
  EXPECT_NEAR(below.tilt, 0, 1e-9);

  // Failure values.
  EXPECT_EQ(head->aimAt({500, 150, 250}).pan, 8888);
  EXPECT_EQ(mirror->aimAt({503, 150, 250}).tilt, -999);
  EXPECT_EQ(mirror->aimAt({900, 150, 250}).pan, -999);

  // Whatever the orientation, the angles found point the beam at the target.
  const Vec3 targets[] = {{100, 0, 400}, {900, 20, 10}, {450, 0, 260}, {10, 190, 490}};
  for (const Vec3& orientation : {Vec3{0, 0, 0}, Vec3{0, 90, 20}, Vec3{30, -40, 10}}) {
    head->setWorldOrientation(orientation);
    mirror->setWorldOrientation(orientation);
    for (const Vec3& t : targets) {
      SCOPED_TRACE(testing::Message()
                   << "orientation " << orientation.x << "," << orientation.y << ","
                   << orientation.z << " target " << t.x << "," << t.y << "," << t.z);
      PanTilt a = head->aimAt(t);
      head->setPan(a.pan);
      head->setTilt(a.tilt);
      Vec3 want = t - head->worldPosition();
      normalize(want);
      EXPECT_TRUE(test::nearVec(want, head->beamDirection(), 1e-6));

      PanTilt m = mirror->aimAt(t);
      mirror->setPan(m.pan);
      mirror->setTilt(m.tilt);
      mirror->project();
      // The beam's axis runs from its origin through the mirror centre.
      const Beam& b = *mirror->beam;
      Vec3 centre = mirror->worldPosition();
      Transformation frame;
      setMirrorFrame(frame, mirror->worldOrientation());
      centre = centre + 3.0 * frame.apply({1, 0, 0});
      Vec3 toTarget = t - centre;
      normalize(toTarget);
      EXPECT_TRUE(test::nearVec(toTarget, mirror->beamDirection(), 1e-6));
      Vec3 fromOrigin = centre - b.origin;
      normalize(fromOrigin);
      EXPECT_TRUE(test::nearVec(toTarget, fromOrigin, 1e-6));
    }
  }
}

TEST(Light, QuadraticAndHalfAngles) {
  struct Q {
    double a, b, c;
    bool real;
    double r1, r2;
  };
  for (const Q& q : {Q{0, 0, 5, true, 0, 0}, Q{0, 2, 4, true, -2, -2}, Q{1, 0, 1, false, 0, 0},
                     Q{1, -3, 2, true, 2, 1}, Q{-1, 2, -1, true, 1, 1}}) {
    SCOPED_TRACE(testing::Message() << q.a << " " << q.b << " " << q.c);
    double r1 = 99, r2 = 99;
    ASSERT_EQ(solveQuadratic(q.a, q.b, q.c, r1, r2), q.real);
    if (!q.real) continue;
    EXPECT_DOUBLE_EQ(r1, q.r1);
    EXPECT_DOUBLE_EQ(r2, q.r2);
  }
  struct H {
    double x, degrees;
  };
  for (const H& h : {H{0, 0}, H{1, 90}, H{-1, -90}, H{std::sqrt(3.0), 120},
                     H{-std::sqrt(3.0), -120}, H{1e9, 180}, H{0.5, 2 * radToDeg(std::atan(0.5))}}) {
    SCOPED_TRACE(h.x);
    EXPECT_NEAR(halfAngleToDegrees(h.x), h.degrees, 1e-9);
  }
}

TEST(Light, BindingPersonalities) {
  LightRig rig;
  MMLight* mirror = rig.list().newMMLight();
  // An empty name takes the built-in mirror and stays empty.
  ASSERT_TRUE(mirror->bindPersonality("Glint150", false));
  EXPECT_EQ(mirror->channelCount, 8);
  EXPECT_NEAR(mirror->tilt->positionSpec()->ranges.at(0).scale, 110.0 / 255, 1e-12);
  ASSERT_TRUE(mirror->bindPersonality("", false));
  EXPECT_EQ(mirror->personality, "");
  EXPECT_EQ(mirror->channelCount, 16);
  EXPECT_DOUBLE_EQ(mirror->tilt->positionSpec()->ranges.at(0).scale, 0.625);
  EXPECT_EQ(test::saveTheatre(*rig.theatre).find("personality"), std::string::npos);

  // The filters follow the leading colour wheels of the personality, the gobos its wheels.
  MHLight* head = rig.list().newMHLight();
  struct Case {
    const char* name;
    int filters, gobos, channels;
  };
  for (const Case& c : {Case{"Orbit575", 2, 2, 18}, Case{"Orbit250", 1, 2, 14},
                        Case{"Bare6", 0, 1, 6}, Case{"Zenith1200", 1, 2, 20}}) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(head->bindPersonality(c.name, false));
    EXPECT_EQ(head->personality, c.name);
    EXPECT_EQ(int(head->beam->colour->filters.size()), c.filters);
    EXPECT_EQ(head->beam->goboCount(), c.gobos);
    EXPECT_EQ(head->channelCount, c.channels);
  }
  // Bare6 has no iris: the aperture is a copy of the template's.
  ASSERT_TRUE(head->bindPersonality("Bare6", true));
  EXPECT_EQ(head->beam->aperture->positionSpec()->channels[0],
            rig.list().defaultMHLight->beam->aperture->positionSpec()->channels[0]);

  // An unknown name changes nothing but is recorded; undo gives the name back.
  Undo& undo = *rig.theatre->undo;
  undo.beginStep();
  const int actions = undo.actionCount();
  EXPECT_FALSE(head->bindPersonality("NoSuchFixture", false));
  EXPECT_EQ(head->personality, "Bare6");
  EXPECT_EQ(undo.actionCount(), actions + 1);
  undo.beginStep();
  ASSERT_TRUE(head->bindPersonality("Orbit250", false));
  undo.undoStep();
  EXPECT_EQ(head->personality, "Bare6");
  undo.redoStep();
  EXPECT_EQ(head->personality, "Orbit250");
}

TEST(Light, Patching) {
  LightRig rig;
  MHLight* light = rig.list().newMHLight();
  light->disablePatch();
  ASSERT_EQ(light->personality, "");
  light->setPatch(100);
  Beam& b = *light->beam;
  struct Channel {
    const char* what;
    Value* value;
    int channel;
  };
  const Channel channels[] = {
      {"pan", light->pan, 104},
      {"tilt", light->tilt, 105},
      {"cone", b.coneAngle, 106},
      {"aperture", b.aperture, 100},
      {"red", b.colour->rgbo[0], 113},
      {"blue", b.colour->rgbo[2], 115},
      {"intensity", b.colour->intensity, 103},
      {"filter 1", b.colour->filters[0], 101},
      {"gobo 1", b.gobos[0]->index, 110},
      {"gobo 1 orientation", b.gobos[0]->orientation, 112},
  };
  for (const Channel& c : channels) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.value->dmxEnabled, 1);
    EXPECT_EQ(c.value->positionSpec()->channels[0], c.channel);
  }
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(light->posn->v[i]->dmxEnabled, 0);
    EXPECT_EQ(light->size->v[i]->dmxEnabled, 0);
    EXPECT_EQ(light->orient->v[i]->dmxEnabled, 0);
  }

  // With a personality only what it drives follows DMX, from its own channels.
  ASSERT_TRUE(light->bindPersonality("Orbit250", false));
  light->setPatch(200);
  EXPECT_EQ(light->pan->positionSpec()->channels[0], 200);
  EXPECT_EQ(b.aperture->positionSpec()->channels[0], 206);
  EXPECT_EQ(b.colour->intensity->dmxEnabled, 1);
  EXPECT_EQ(b.colour->rgbo[0]->dmxEnabled, 0);
  EXPECT_DOUBLE_EQ(b.colour->intensity->currentValue(), 255);
  EXPECT_EQ(b.colour->filters[0]->dmxEnabled, 1);
  rig.theatre->dmxBuffer[200] = 128 + 64;
  rig.theatre->dmxBuffer[206] = 0;  // the iris is inverted: fully open
  rig.theatre->valueList.update();
  EXPECT_NEAR(light->getPan(), -270 + 192 * (540.0 / 255), 1e-9);
  EXPECT_DOUBLE_EQ(b.getAperture(), 1);

  light->disablePatch();
  EXPECT_EQ(light->dmxBase, -1);
  EXPECT_EQ(light->pan->dmxEnabled, 0);
  EXPECT_EQ(b.colour->filters[0]->dmxEnabled, 0);
  EXPECT_DOUBLE_EQ(b.getAperture(), 1);
}

// A rig of both kinds with personalities, patches, gobos, filters and a group.
void buildLightShow(Theatre& t) {
  ObjectList& list = *t.content->objectList;
  list.defaultMHLight->bindPersonality("Orbit250", false);
  MHLight* spot = list.newMHLight();
  spot->setWorldPosition(Vec3{300, 180, 100});
  spot->setPan(45);
  spot->setTilt(30);
  spot->beam->setConeAngle(15);
  MHLight* wash = list.newMHLight();
  wash->bindPersonality("Orbit575", false);
  wash->setPatch(300);
  MMLight* scanner = list.newMMLight();
  scanner->bindPersonality("Glint150", false);
  scanner->setWorldPosition(Vec3{700, 190, 250});
  MHLight* plain = list.newMHLight();
  plain->bindPersonality("", true);
  plain->beam->setGoboCount(3);
  plain->beam->colour->setFilterCount(2);
  plain->beam->setGoboIndex(2, 4);
  plain->fixtureHandle = 12;
  Group* g = list.newGroup();
  g->addMember(spot);
  g->addMember(scanner);
}

TEST(Light, TheatreWithLightsSavesLoadsAndSavesTheSameBytes) {
  LightRig first;
  buildLightShow(*first.theatre);
  const std::string saved = test::saveTheatre(*first.theatre);
  EXPECT_NE(saved.find("     mhLight 0\n      ObjectEntry\n"), std::string::npos);
  EXPECT_NE(saved.find("       personality\n        Orbit250\n       beam\n        Beam\n"),
            std::string::npos);

  LightRig second;
  ASSERT_TRUE(test::loadTheatre(*second.theatre, saved));
  EXPECT_TRUE(test::sameText(saved, test::saveTheatre(*second.theatre)));
  ObjectList& a = first.list();
  ObjectList& b = second.list();
  ASSERT_EQ(b.count(), a.count());
  for (int i = 0; i < a.count(); ++i) {
    SCOPED_TRACE(i);
    auto* x = dynamic_cast<Light*>(a.at(i));
    auto* y = dynamic_cast<Light*>(b.at(i));
    ASSERT_EQ(x == nullptr, y == nullptr);
    if (!x) continue;
    EXPECT_EQ(y->typeLetter, x->typeLetter);
    EXPECT_EQ(y->personality, x->personality);
    EXPECT_EQ(y->channelCount, x->channelCount);
    EXPECT_EQ(y->dmxBase, x->dmxBase);
    EXPECT_EQ(y->beam->goboCount(), x->beam->goboCount());
    EXPECT_EQ(y->beam->colour->filters.size(), x->beam->colour->filters.size());
    EXPECT_TRUE(test::nearVec(x->worldPosition(), y->worldPosition(), 1e-5));
    EXPECT_DOUBLE_EQ(y->getPan(), x->getPan());
  }
  EXPECT_EQ(b.defaultMHLight->personality, "Orbit250");
}

TEST(Light, BeamSectionsOfOldAndDamagedFiles) {
  // Files before version 5.0 carried other cone and iris scales.
  const std::string old =
      "Header\nsoftwareVersion\n4.50\nTheatre\ncontent\nContent\nobjectList\nObjectList\n"
      "mhLight 0\nObjectEntry\nbeam\nBeam\nconeAngle\nValue\nstructure\n0 1 1 1 0 0 0 2.5 0\n"
      "aperture\nValue\nstructure\n0 1 1 1 0 0 0 3.0 0\ngoboIx\nValue\nstructure\n"
      "0 1 1 1 0 0 0 1.0 0\n";
  LightRig rig;
  ASSERT_TRUE(test::loadTheatre(*rig.theatre, old));
  auto* light = dynamic_cast<Light*>(rig.list().at(0));
  ASSERT_NE(light, nullptr);
  EXPECT_DOUBLE_EQ(light->beam->coneAngle->specs.at(0)->ranges.at(0).scale, 0.1);
  EXPECT_DOUBLE_EQ(light->beam->aperture->specs.at(0)->ranges.at(0).scale, 1 / 255.0);
  EXPECT_DOUBLE_EQ(light->beam->gobos[0]->index->specs.at(0)->ranges.at(0).scale, 1.0);

  // A gobo number no beam has is reported and read past.
  test::LogCapture log;
  LightRig damaged;
  ASSERT_TRUE(test::loadTheatre(
      *damaged.theatre,
      "Theatre\ncontent\nContent\nobjectList\nObjectList\nmhLight 0\nObjectEntry\nbeam\nBeam\n"
      "goboIx 99999\nValue\nvalueBuffer\n3.0\ngoboOrient 1\nValue\nvalueBuffer\n7.0\n"
      "pan\nValue\nvalueBuffer\n12.0\nmmLight 1\nObjectEntry\n"));
  EXPECT_TRUE(log.contains("Gobo 99999 ignored"));
  ASSERT_EQ(damaged.list().count(), 2);
  auto* first = dynamic_cast<Light*>(damaged.list().at(0));
  EXPECT_EQ(first->beam->goboCount(), 2);
  EXPECT_EQ(first->beam->goboOrientation(1), 7);
  EXPECT_DOUBLE_EQ(first->getPan(), 12);
}

}  // namespace

namespace {

TEST(Light, LocateSendsEveryLightHome) {
  test::LightRig rig;
  MHLight* head = rig.place<MHLight>({300, 150, 200}, 45, -30);
  MMLight* mirror = rig.place<MMLight>({600, 150, 200}, 20, 10);
  for (Light* l : {static_cast<Light*>(head), static_cast<Light*>(mirror)}) {
    l->beam->aperture->setValue(0.25);
    l->beam->colour->intensity->setValue(40);
    l->beam->colour->rgbo[1]->setValue(7);
    for (Value* f : l->beam->colour->filters) f->setValue(3);
  }
  rig.theatre->undo->beginStep();
  rig.theatre->content->edit->homeLights();
  for (Light* l : {static_cast<Light*>(head), static_cast<Light*>(mirror)}) {
    SCOPED_TRACE(l->typeLetter);
    EXPECT_EQ(l->pan->currentValue(), 0);
    EXPECT_EQ(l->tilt->currentValue(), 0);
    EXPECT_EQ(l->beam->aperture->currentValue(), 1);
    EXPECT_EQ(l->beam->colour->intensity->currentValue(), 255);
    for (Value* c : l->beam->colour->rgbo) EXPECT_EQ(c->currentValue(), 255);
    for (Value* f : l->beam->colour->filters) EXPECT_EQ(f->currentValue(), 0);
  }
  // One step: a single undo puts every light back.
  rig.theatre->undo->undoStep();
  EXPECT_EQ(head->pan->currentValue(), 45);
  EXPECT_EQ(mirror->beam->aperture->currentValue(), 0.25);
}

}  // namespace
