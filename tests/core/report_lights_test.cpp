// Light rows of the rig report: their columns, aiming at the reference points, reading them
// back, automatic placement, and a whole rig through export and import.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "lightutil.h"
#include "model/color.h"
#include "model/undo.h"
#include "model/walls.h"
#include "report/report.h"

using namespace lmv;
using test::LightRig;
using test::objects;

namespace {

std::vector<std::string> rowsOf(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  bool seen = false;
  for (std::string l; std::getline(in, l);) {
    if (seen) out.push_back(l);
    if (l.rfind("Handle,", 0) == 0) seen = true;
  }
  return out;
}

// Fields of a row, numbered from 1 as in the column header (index 0 unused).
std::vector<std::string> fieldsOf(const std::string& row) {
  std::vector<std::string> out{""};
  size_t start = 0;
  while (true) {
    size_t comma = row.find(',', start);
    out.push_back(row.substr(start, comma == std::string::npos ? comma : comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return out;
}

void expectIVec(const IVec3& expected, const IVec3& actual) {
  EXPECT_EQ(expected.x, actual.x);
  EXPECT_EQ(expected.y, actual.y);
  EXPECT_EQ(expected.z, actual.z);
}

const char* kHead =
    "Handle,Fixture type,DMX line,start chan,end chan,Location x,y,z,Orientation,Angle to stage,"
    "pan1,tilt1,pan2,tilt2,pan3,tilt3,pan4,tilt4,sizX,sizY,sizZ,oriX,extensions\n";

class ReportLights : public ::testing::Test {
 protected:
  std::string exportText(Theatre& t) {
    EXPECT_TRUE(exportReport(t, csv));
    return test::readFile(csv);
  }
  void importRows(Theatre& t, const std::string& rows) {
    test::writeFile(csv, std::string(kHead) + rows);
    EXPECT_TRUE(importReport(t, csv));
  }

  test::TempDir dir{"reportlights"};
  std::string csv = dir.file("rig.csv");
};

TEST_F(ReportLights, LightRowColumns) {
  LightRig rig(1, false);
  // Straight above the first reference point (0, 10, 0) of the default riser.
  MHLight* head = rig.place<MHLight>({0, 100, 0}, 30, -45);
  head->fixtureHandle = 21;
  head->setPatch(1000);
  head->beam->colour->intensity->setDmxOffset(65536 + 2 * 512 + 9);
  const double rgb[3] = {255.9, 128.2, 0};
  for (int i = 0; i < 3; ++i) head->beam->colour->rgbo[i]->setValue(rgb[i]);
  head->beam->setConeAngle(12.5);
  head->beam->setGoboIndex(0, 3.7);
  head->beam->setGoboOrientation(0, 45);
  MHLight* turned = rig.place<MHLight>({500, 100, 250});
  turned->setWorldOrientation(Vec3{0, 225, 0});
  turned->beam->colour->rgbo[1]->setValue(-20);
  turned->beam->colour->rgbo[2]->setValue(999);

  const std::vector<std::string> rows = rowsOf(exportText(*rig.theatre));
  ASSERT_EQ(rows.size(), 2u);
  std::vector<std::string> f = fieldsOf(rows[0]);
  ASSERT_EQ(f.size(), 30u) << rows[0];
  EXPECT_EQ(f[1], "21");
  EXPECT_EQ(f[2], "");  // no personality
  EXPECT_EQ(f[3] + "," + f[4] + "," + f[5], "B,489,504");
  EXPECT_EQ(f[6] + "," + f[7] + "," + f[8] + "," + f[9] + "," + f[10], "0,100,0,0,E");
  // Straight down is pan 0 and tilt 0, raw 128 of one channel: 128 * 256.
  EXPECT_EQ(f[11] + "," + f[12], "32768,32768");
  EXPECT_EQ(f[19] + "," + f[20] + "," + f[21] + "," + f[22], "15,5,5,0");
  EXPECT_EQ(f[23] + "," + f[24], "C,10");
  EXPECT_EQ(f[25], "ff8000");
  EXPECT_EQ(f[26] + "," + f[27] + "," + f[28], "12.500000,30.000000,-45.000000");
  EXPECT_EQ(f[29], "3:45;");

  f = fieldsOf(rows[1]);
  ASSERT_EQ(f.size(), 30u) << rows[1];
  EXPECT_EQ(f[3] + "," + f[4] + "," + f[5], " ,,");
  EXPECT_EQ(f[10], "N45W");
  // The dimmer is on a channel of the light's own patch, not an absolute one.
  EXPECT_EQ(f[23] + "," + f[24], ",");
  // Components beyond 0..255 keep the column at six digits.
  EXPECT_EQ(f[25], "ff00ff");
}

// The aim columns, decoded through the light's own pan and tilt ranges, point the beam's
// axis at the reference points.
TEST_F(ReportLights, AimColumnsPointAtTheReferencePoints) {
  LightRig rig(1, false);
  Riser* stage = rig.list().newRiser();
  stage->setWorldPosition(500, 20, 200);
  stage->setSize(400, 40, 200);
  rig.list().setStageObject(stage);
  const Vec3 points[4] = {{300, 40, 100}, {700, 40, 100}, {700, 40, 300}, {300, 40, 300}};
  MHLight* head = rig.place<MHLight>({200, 180, 400});
  head->setWorldOrientation(Vec3{0, 30, 10});
  MMLight* mirror = rig.place<MMLight>({450, 150, 450});
  mirror->setWorldOrientation(Vec3{0, 0, 180});
  const std::vector<std::string> rows = rowsOf(exportText(*rig.theatre));
  ASSERT_EQ(rows.size(), 3u);
  Light* lights[2] = {head, mirror};
  for (int l = 0; l < 2; ++l) {
    SCOPED_TRACE(l);
    Light* light = lights[l];
    const std::vector<std::string> f = fieldsOf(rows[size_t(l + 1)]);
    ASSERT_EQ(f.size(), 30u);
    for (int k = 0; k < 4; ++k) {
      SCOPED_TRACE(k);
      const int rawPan = std::stoi(f[size_t(11 + 2 * k)]);
      const int rawTilt = std::stoi(f[size_t(12 + 2 * k)]);
      ASSERT_GE(rawPan, 0);
      ASSERT_GE(rawTilt, 0);
      // One-channel specs give the raw number in 256ths.
      const Range& p = light->pan->specs.at(0)->ranges[0];
      const Range& t = light->tilt->specs.at(0)->ranges[0];
      light->setPan(rawPan / 256.0 * p.scale + p.offset);
      light->setTilt(rawTilt / 256.0 * t.scale + t.offset);
      Vec3 from = light->worldPosition();
      if (light == mirror) from = from + Vec3{-3, 0, 0};  // the mirror centre, turned by z 180
      Vec3 expected;
      ASSERT_TRUE(normalize(points[k] - from, expected));
      EXPECT_TRUE(test::nearVec(expected, light->beamDirection(), 2e-3));
    }
  }
}

TEST_F(ReportLights, FailedMirrorAimWritesMinusOneTwice) {
  LightRig rig(1, false);
  // The mirror centre at the height of the reference points: no mirror turn reaches them.
  rig.place<MMLight>({100, 10, 200});
  const std::vector<std::string> rows = rowsOf(exportText(*rig.theatre));
  ASSERT_EQ(rows.size(), 1u);
  const std::vector<std::string> f = fieldsOf(rows[0]);
  ASSERT_EQ(f.size(), 30u);
  for (int k = 11; k <= 18; ++k) EXPECT_EQ(f[size_t(k)], "-1") << k;
}

TEST_F(ReportLights, NewLightsWithoutPositionLineUpInANewTheatre) {
  LightRig rig;
  importRows(*rig.theatre,
             "-1,Orbit250, ,,,,,,0,S,,,,,,,,,15,5,5,0\n"
             "-1,Orbit250, ,,,,,,0,S,,,,,,,,,15,5,5,0\n"
             "-1,Glint150, ,,,,,,0,S,,,,,,,,,15,5,5,0\n"
             "-1,NoSuchLamp, ,,,,,,0,S,,,,,,,,,15,5,5,0\n");
  ObjectList& list = rig.list();
  ASSERT_EQ(list.count(), 3);
  const IVec3 expected[3] = {{15, 150, 15}, {45, 150, 15}, {75, 150, 15}};
  const char letters[3] = {'h', 'h', 'm'};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    Light* light = dynamic_cast<Light*>(list.at(i));
    ASSERT_NE(light, nullptr);
    EXPECT_EQ(light->typeLetter, letters[i]);
    EXPECT_EQ(light->personality, i < 2 ? "Orbit250" : "Glint150");
    expectIVec(expected[i], light->worldPositionInt());
    expectIVec({0, 90, 0}, light->worldOrientationInt());
    // Not patched automatically, although the templates would look for free channels.
    EXPECT_EQ(light->dmxBase, -1);
  }
  expectIVec({105, 150, 15}, list.defaultMHLight->worldPositionInt());
  expectIVec({105, 150, 15}, list.defaultMMLight->worldPositionInt());
  EXPECT_EQ(rig.theatre->modificationCount, 0);
  EXPECT_EQ(rig.theatre->undo->actionCount(), 0);
}

TEST_F(ReportLights, PlacementWrapsAtTheWallsOfTheBox) {
  LightRig rig;
  rig.theatre->walls->setSize(100, 200, 100);
  importRows(*rig.theatre,
             "-1,Orbit250, ,,,,,,0,0,,,,,,,,,30,10,20,0\n"
             "-1,Orbit250, ,,,,,,0,0,,,,,,,,,30,10,20,0\n"
             "-1,Orbit250, ,,,,,,0,0,,,,,,,,,30,10,20,0\n");
  ASSERT_EQ(rig.list().count(), 3);
  // From (30, 150, 60) on by 60 in x; x 150 reaches the width: back to 30, and z 140 reaches
  // the depth: back to 60, one layer of 2 * 10 lower.
  expectIVec({30, 150, 60}, rig.list().at(0)->worldPositionInt());
  expectIVec({90, 150, 60}, rig.list().at(1)->worldPositionInt());
  expectIVec({30, 130, 60}, rig.list().at(2)->worldPositionInt());
}

TEST_F(ReportLights, LightRowsUpdateTheLightTheyName) {
  struct Case {
    const char* name;
    const char* extensions;  // fields 23 to 29
    int dimmerStart;         // -1: as before
    int rgb[3];
    double cone, pan, tilt;
    int gobos[4];  // index and orientation of gobos 1 and 2
  };
  const Case cases[] = {
      {"everything",
       "C,10,ff8001,12.5,30,-45,3:45;1:90;",
       65536 + 1033,
       {255, 128, 1},
       12.5,
       30,
       -45,
       {3, 45, 1, 90}},
      {"nothing", "", -1, {255, 255, 255}, 10, 0, 0, {0, 0, 0, 0}},
      {"absolute first channel", "A,1", 65536, {255, 255, 255}, 10, 0, 0, {0, 0, 0, 0}},
      {"no channel", "A,", -1, {255, 255, 255}, 10, 0, 0, {0, 0, 0, 0}},
      {"line beyond L", "M,10", -1, {255, 255, 255}, 10, 0, 0, {0, 0, 0, 0}},
      {"line in small letters", "c,10", -1, {255, 255, 255}, 10, 0, 0, {0, 0, 0, 0}},
      {"short colour", ",,fff", -1, {255, 255, 255}, 10, 0, 0, {0, 0, 0, 0}},
      {"cone beyond 255", ",,,256,1,2", -1, {255, 255, 255}, 10, 1, 2, {0, 0, 0, 0}},
      {"negative cone", ",,,-1", -1, {255, 255, 255}, 10, 0, 0, {0, 0, 0, 0}},
      {"not numbers", ",,,x,y,z", -1, {255, 255, 255}, 10, 0, 0, {0, 0, 0, 0}},
      {"one gobo without end", ",,,,,,7:20", -1, {255, 255, 255}, 10, 0, 0, {7, 20, 0, 0}},
      {"more gobos than the beam",
       ",,,,,,1:2;3:4;5:6;",
       -1,
       {255, 255, 255},
       10,
       0,
       0,
       {1, 2, 3, 4}},
      {"broken gobo", ",,,,,,1:x;3:4;", -1, {255, 255, 255}, 10, 0, 0, {0, 0, 0, 0}},
      {"gobo without colon", ",,,,,,5;3:4;", -1, {255, 255, 255}, 10, 0, 0, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LightRig rig;
    MHLight* light = rig.place<MHLight>({100, 150, 100});
    ASSERT_TRUE(light->bindPersonality("Orbit250", false));
    ASSERT_EQ(light->beam->goboCount(), 2);
    light->fixtureHandle = 40;
    light->beam->setConeAngle(10);
    Value* intensity = light->beam->colour->intensity;
    const int before = intensity->dmxStart();
    importRows(*rig.theatre,
               std::string("40,Orbit250,A,11,24,,,,5,S30E,,,,,,,,,,,,0,") + c.extensions + "\n");
    ASSERT_EQ(rig.list().count(), 1);
    expectIVec({100, 150, 100}, light->worldPositionInt());
    expectIVec({0, 60, 5}, light->worldOrientationInt());
    EXPECT_EQ(light->dmxBase, 10);
    EXPECT_EQ(intensity->dmxStart(), c.dimmerStart < 0 ? before + 10 : c.dimmerStart);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(light->beam->colour->rgbo[i]->currentValue(), c.rgb[i]);
    EXPECT_DOUBLE_EQ(light->beam->getConeAngle(), c.cone);
    EXPECT_DOUBLE_EQ(light->getPan(), c.pan);
    EXPECT_DOUBLE_EQ(light->getTilt(), c.tilt);
    for (int g = 0; g < 2; ++g) {
      EXPECT_EQ(light->beam->goboIndex(g), c.gobos[2 * g]);
      EXPECT_EQ(light->beam->goboOrientation(g), c.gobos[2 * g + 1]);
    }
  }
}

TEST_F(ReportLights, RowTypeAndObjectKindMustAgree) {
  LightRig rig;
  MHLight* light = rig.place<MHLight>({100, 150, 100});
  light->fixtureHandle = 1;
  Riser* riser = rig.list().newRiser();
  riser->fixtureHandle = 2;
  importRows(*rig.theatre,
             "1,Riser, ,,,1,2,3,0,0,,,,,,,,,4,5,6,0\n"
             "1,Truss, ,,,1,2,3,0,0,,,,,,,,,4,5,6,0\n"
             "2,Orbit250, ,,,1,2,3,0,0,,,,,,,,,4,5,6,0\n");
  EXPECT_EQ(rig.list().count(), 2);
  expectIVec({100, 150, 100}, light->worldPositionInt());
  expectIVec({25, 5, 15}, riser->worldPositionInt());
  EXPECT_EQ(light->personality, "");

  // A light row of another personality binds the light found to it.
  importRows(*rig.theatre, "1,Glint150, ,,,1,2,3,0,0,,,,,,,,,4,5,6,0\n");
  EXPECT_EQ(rig.list().count(), 2);
  EXPECT_EQ(light->personality, "Glint150");
  expectIVec({1, 2, 3}, light->worldPositionInt());
  EXPECT_EQ(light->channelCount, 8);
  // A light found keeps its place when the row gives none.
  importRows(*rig.theatre, "1,Glint150, ,,,,,,0,0,,,,,,,,,,,,0\n");
  expectIVec({1, 2, 3}, light->worldPositionInt());
}

TEST_F(ReportLights, ExportImportExportKeepsTheRows) {
  std::string exported;
  {
    LightRig rig;
    ObjectList& list = rig.list();
    rig.theatre->walls->setSize(1200, 400, 800);
    Riser* r = list.newRiser();
    r->setWorldPosition(600, 20, 300);
    r->setSize(800, 40, 400);
    Riser* patched = list.newRiser();
    patched->setWorldPosition(100, 10, 700);
    patched->fixtureHandle = 7;
    patched->setPatch(600);
    Truss* truss = list.newTruss();
    truss->setWorldPosition(600, 350, 650);
    truss->setSize(1000, 30, 30);
    truss->setWorldOrientation(0, 90, 0);
    truss->origin = 40;
    truss->fixtureHandle = 8;
    struct LightCase {
      bool mirror;
      const char* personality;
      Vec3 position, orientation;
      int base;
      double pan, tilt;
    };
    const LightCase lights[] = {
        {false, "Orbit250", {300, 330, 650}, {0, 90, 20}, 0, 30.5, -45.25},
        {false, "Orbit575", {500, 330, 650}, {10, 200, 0}, 14, -100, 80},
        {true, "Glint150", {700, 330, 650}, {0, 0, 180}, -1, 12, -20},
        {false, "Zenith1200", {900, 330, 650}, {0, 315, 0}, 1100, 0, 0},
    };
    int handle = 100;
    for (const LightCase& c : lights) {
      Light* l = c.mirror ? static_cast<Light*>(rig.place<MMLight>(c.position))
                          : static_cast<Light*>(rig.place<MHLight>(c.position));
      ASSERT_TRUE(l->bindPersonality(c.personality, false));
      l->setWorldOrientation(c.orientation);
      l->fixtureHandle = handle++;
      if (c.base >= 0) l->setPatch(c.base);
      l->setPan(c.pan);
      l->setTilt(c.tilt);
      l->beam->setConeAngle(14.25);
      l->beam->colour->rgbo[1]->setValue(100.5);
      l->beam->setGoboIndex(0, 4);
      l->beam->setGoboOrientation(0, -30);
    }
    // An absolute dimmer.
    dynamic_cast<Light*>(list.at(3))->beam->colour->intensity->setDmxOffset(65536 + 700);
    exported = exportText(*rig.theatre);
    ASSERT_EQ(rowsOf(exported).size(), 7u);
  }
  LightRig second;
  ASSERT_TRUE(importReport(*second.theatre, csv));
  EXPECT_TRUE(test::sameText(exported, exportText(*second.theatre)));
}

}  // namespace
