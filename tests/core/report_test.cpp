#include "report/report.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "model/undo.h"
#include "model/walls.h"
#include "objectutil.h"
#include "report/compass.h"
#include "report/reportrow.h"

using namespace lmv;
using test::objects;

namespace {

const char* kColumns =
    "Handle,Fixture type,DMX line,start chan,end chan,Location x,y,z,Orientation,Angle to stage,"
    "pan1,tilt1,pan2,tilt2,pan3,tilt3,pan4,tilt4,sizX,sizY,sizZ,oriX,extensions\n";

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) out.push_back(l);
  return out;
}

// The rows: every line after the column header.
std::vector<std::string> rowsOf(const std::string& text) {
  std::vector<std::string> lines = linesOf(text), out;
  bool seen = false;
  for (const auto& l : lines) {
    if (seen) out.push_back(l);
    if (l.rfind("Handle,", 0) == 0) seen = true;
  }
  return out;
}

class ReportTest : public ::testing::Test {
 protected:
  std::string exportText(Theatre& t) {
    EXPECT_TRUE(exportReport(t, csv));
    return test::readFile(csv);
  }
  // A report of the given rows after a head like the one export writes.
  void importRows(Theatre& t, const std::string& rows) {
    test::writeFile(csv, "Theatre,x\n\n" + std::string(kColumns) + rows);
    EXPECT_TRUE(importReport(t, csv));
  }

  test::TempDir dir{"report"};
  std::string csv = dir.file("rig.csv");
};

void expectIVec(const IVec3& expected, const IVec3& actual) {
  EXPECT_EQ(expected.x, actual.x);
  EXPECT_EQ(expected.y, actual.y);
  EXPECT_EQ(expected.z, actual.z);
}

Riser* addRiser(Theatre& t, IVec3 pos, IVec3 size, IVec3 orient, int handle = -1) {
  Riser* r = objects(t).newRiser();
  r->setWorldPosition(pos.x, pos.y, pos.z);
  r->setSize(size.x, size.y, size.z);
  r->setWorldOrientation(orient.x, orient.y, orient.z);
  r->fixtureHandle = handle;
  return r;
}

TEST_F(ReportTest, NewTheatreHeadGivesTheDefaultRiserCornersAndTheBox) {
  Theatre t;
  EXPECT_EQ(exportText(t), "Theatre," + csv +
                               "\n\n"
                               "Reference points,x1,y1,z1,x2,y2,z2,x3,y3,z3,x4,y4,z4\n"
                               ",0,10,0,50,10,0,50,10,30,0,10,30\n\n"
                               "Theatre dimensions, Length, Height, Depth\n"
                               ",1000,200,500\n\n" +
                               kColumns);
}

TEST_F(ReportTest, StageObjectGivesTheReferencePoints) {
  Theatre t;
  t.walls->setSize(900, 300, 700);
  addRiser(t, {0, 0, 0}, {10, 10, 10}, {0, 0, 0});
  // Odd sizes: the half sizes are truncated.
  Riser* stage = addRiser(t, {101, 21, 200}, {41, 11, 31}, {0, 0, 0});
  objects(t).setStageObject(stage);
  std::vector<std::string> lines = linesOf(exportText(t));
  ASSERT_GE(lines.size(), 7u);
  EXPECT_EQ(lines[3], ",81,26,185,121,26,185,121,26,215,81,26,215");
  EXPECT_EQ(lines[6], ",900,300,700");
}

TEST_F(ReportTest, RiserAndTrussRowsWithTheirPatchColumns) {
  Theatre t;
  ObjectList& list = objects(t);
  Riser* patched = addRiser(t, {100, 5, 200}, {50, 10, 30}, {0, 0, 0}, 7);
  patched->setPatch(24);
  addRiser(t, {-3, 4, 6}, {8, 9, 10}, {11, 12, 13});
  Riser* wide = addRiser(t, {1, 2, 3}, {4, 5, 6}, {0, 0, 0}, 3);
  wide->setPatch(1000);
  wide->channelCount = 16;
  Riser* edge = addRiser(t, {1, 2, 3}, {4, 5, 6}, {0, 0, 0});
  edge->setPatch(511);
  list.newGroup();
  Truss* truss = list.newTruss();
  truss->setWorldPosition(300, 150, 250);
  truss->setWorldOrientation(10, 45, 20);
  truss->origin = 30;
  truss->fixtureHandle = 12;
  EXPECT_EQ(rowsOf(exportText(t)), (std::vector<std::string>{
                                       "7,Riser,A,25,36,100,5,200,0,0,,,,,,,,,50,10,30,0",
                                       "-1,Riser, ,,,-3,4,6,13,12,,,,,,,,,8,9,10,11",
                                       "3,Riser,B,489,504,1,2,3,0,0,,,,,,,,,4,5,6,0",
                                       "-1,Riser,A,512,523,1,2,3,0,0,,,,,,,,,4,5,6,0",
                                       "12,Truss, ,,,300,150,250,20,45,,,,,,,,,72,3,3,10,30",
                                   }));
}

TEST(ReportCompass, EightDirectionsAndBack) {
  struct Case {
    int angle;
    const char* text;
  };
  const Case cases[] = {{0, "E"},      {45, "S45E"}, {90, "S"},     {135, "S45W"}, {180, "W"},
                        {225, "N45W"}, {270, "N"},   {315, "N45E"}, {1, "S89E"},   {359, "N89E"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.angle);
    char text[kCompassTextSize];
    compassText(c.angle, text);
    EXPECT_STREQ(text, c.text);
    EXPECT_EQ(compassAngle(text), c.angle);
  }
}

TEST(ReportCompass, AnglesAreTurnedOnceIntoOneCircle) {
  struct Case {
    int angle;
    const char* text;
  };
  const Case cases[] = {{-90, "N"}, {360, "E"}, {719, "N89E"},         {-1, "N89E"},
                        {720, ""},  {-361, ""}, {-2147483647 - 1, ""}, {2147483647, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.angle);
    char text[kCompassTextSize];
    compassText(c.angle, text);
    EXPECT_STREQ(text, c.text);
  }
}

TEST(ReportCompass, ReadingTexts) {
  struct Case {
    const char* text;
    int angle;
    bool understood;
  };
  const Case cases[] = {
      {"S30E", 60, true},        {"N70W", 200, true}, {"N30E", 300, true},
      {"SE", 45, true},          {"s30e", 60, true},  {"NE", 315, true},
      {"45", 45, true},          {"-90", -90, true},  {"", 0, true},
      {"S", 90, true},           {"SxE", 90, true},   {"x", 0, false},
      {"Sx", 0, false},          {"x9", 0, false},    {"S1000000000E", -999999910, true},
      {"99999999999", 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    bool understood = !c.understood;
    EXPECT_EQ(compassAngle(c.text, &understood), c.angle);
    EXPECT_EQ(understood, c.understood);
  }
}

TEST(ReportRowSplit, FieldsAndLimits) {
  ReportRow row;
  ASSERT_TRUE(row.split("1,,three"));
  EXPECT_EQ(row.count(), 3);
  EXPECT_STREQ(row.field(1), "1");
  EXPECT_TRUE(row.empty(2));
  EXPECT_STREQ(row.field(3), "three");
  EXPECT_STREQ(row.field(4), "");
  EXPECT_STREQ(row.field(0), "");
  EXPECT_STREQ(row.field(30), "");

  std::string many;
  for (int i = 1; i <= 35; ++i) many += std::to_string(i) + ",";
  ASSERT_TRUE(row.split(many.c_str()));
  EXPECT_EQ(row.count(), 29);
  EXPECT_STREQ(row.field(29), "29");

  const std::string longest(99, 'x');
  ASSERT_TRUE(row.split(("a," + longest + ",b").c_str()));
  EXPECT_EQ(row.field(2), longest);
  EXPECT_FALSE(row.split(("a," + longest + "y,b").c_str()));
  EXPECT_EQ(row.tooLongField, 2);
  EXPECT_STREQ(row.field(1), "");

  struct Case {
    const char* text;
    bool ok;
    int value;
  };
  const Case ints[] = {{"12", true, 12},
                       {" -7", true, -7},
                       {"+3x", true, 3},
                       {"", false, 0},
                       {"x1", false, 0},
                       {"-", false, 0},
                       {"2147483647", true, 2147483647},
                       {"2147483648", false, 0}};
  for (const Case& c : ints) {
    SCOPED_TRACE(c.text);
    int v = 0;
    EXPECT_EQ(parseInt(c.text, v), c.ok);
    if (c.ok) {
      EXPECT_EQ(v, c.value);
    }
  }
  double d = 0;
  EXPECT_TRUE(parseDouble("2.5e1x", d));
  EXPECT_EQ(d, 25.0);
  EXPECT_FALSE(parseDouble("nan", d));
  EXPECT_FALSE(parseDouble("1e999", d));
  EXPECT_FALSE(parseDouble("", d));
}

TEST_F(ReportTest, UnpatchedRiserReadsBackUnpatchedWithItsPlacement) {
  Theatre first;
  addRiser(first, {120, 7, 300}, {60, 14, 40}, {5, 30, 10}, 4);
  const std::string text = exportText(first);
  EXPECT_EQ(rowsOf(text),
            std::vector<std::string>{"4,Riser, ,,,120,7,300,10,30,,,,,,,,,60,14,40,5"});

  Theatre second;
  ASSERT_TRUE(importReport(second, csv));
  ASSERT_EQ(objects(second).count(), 1);
  Riser* r = objects(second).at(0)->asRiser();
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->typeLetter, 'r');
  EXPECT_EQ(r->fixtureHandle, 4);
  EXPECT_EQ(r->dmxBase, -1);
  for (Value* v : r->posn->v) EXPECT_EQ(v->dmxEnabled, 0);
  expectIVec({120, 7, 300}, r->worldPositionInt());
  expectIVec({60, 14, 40}, r->getSize());
  expectIVec({5, 30, 10}, r->worldOrientationInt());
}

TEST_F(ReportTest, PlusRiserAlwaysAddsAndPlainRiserUpdates) {
  Theatre t;
  Riser* existing = addRiser(t, {0, 0, 0}, {1, 1, 1}, {0, 0, 0}, 5);
  importRows(t, "5,+Riser, ,,,10,5,10,0,0,,,,,,,,,20,10,20,0\n");
  ASSERT_EQ(objects(t).count(), 2);
  expectIVec({0, 0, 0}, existing->worldPositionInt());
  EXPECT_EQ(objects(t).at(1)->fixtureHandle, 5);
  expectIVec({10, 5, 10}, objects(t).at(1)->worldPositionInt());

  importRows(t, "5,riser,A,13,24,40,5,60,0,0,,,,,,,,,20,10,20,0\n");
  ASSERT_EQ(objects(t).count(), 2);
  expectIVec({40, 5, 60}, existing->worldPositionInt());
  EXPECT_EQ(existing->dmxBase, 12);
}

TEST_F(ReportTest, RowsFindTheirObjectByHandlePatchOrPlace) {
  // Objects 0 (patched at 100, no handle), 1 (handle 8) and 2 (a truss, handle 6).
  struct Case {
    const char* name;
    const char* row;
    int updated;  // the object the row was applied to; 3 a new one; -1 none
  };
  const Case cases[] = {
      {"handle", "8,Riser, ,,,1,2,3,0,0,,,,,,,,,30,10,30,0", 1},
      {"unknown handle adds", "9,Riser, ,,,1,2,3,0,0,,,,,,,,,30,10,30,0", 3},
      {"a handle is not looked up by place", "9,Riser, ,,,20,5,20,0,0,,,,,,,,,30,10,30,0", 3},
      {"patch", "-1,Riser,A,101,112,1,2,3,0,0,,,,,,,,,4,5,6,0", 0},
      {"place and size", "-1,Riser, ,,,20,5,20,0,0,,,,,,,,,30,10,30,0", 0},
      {"place without size adds", "-1,Riser, ,,,20,5,20,0,0,,,,,,,,,,,,0", 3},
      {"truss by handle", "6,Truss, ,,,1,2,3,0,0,,,,,,,,,72,3,3,0,25", 2},
      {"truss row naming a riser", "8,Truss, ,,,1,2,3,0,0,,,,,,,,,4,5,6,0", -1},
      {"riser row naming a truss", "6,Riser, ,,,1,2,3,0,0,,,,,,,,,4,5,6,0", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Theatre t;
    Riser* a = addRiser(t, {20, 5, 20}, {30, 10, 30}, {0, 0, 0});
    a->setPatch(100);
    addRiser(t, {50, 5, 50}, {30, 10, 30}, {0, 0, 0}, 8);
    Truss* tr = objects(t).newTruss();
    tr->fixtureHandle = 6;
    test::writeFile(csv, std::string(kColumns) + c.row + "\n");
    ReportRow row;
    row.split(c.row);
    const IVec3 rowPosition = {atoi(row.field(6)), atoi(row.field(7)), atoi(row.field(8))};
    const IVec3 before[3] = {a->worldPositionInt(), objects(t).at(1)->worldPositionInt(),
                             tr->worldPositionInt()};
    ASSERT_TRUE(importReport(t, csv));
    ASSERT_EQ(objects(t).count(), c.updated == 3 ? 4 : 3);
    for (int i = 0; i < objects(t).count(); ++i) {
      SCOPED_TRACE(i);
      expectIVec(i == c.updated ? rowPosition : before[i], objects(t).at(i)->worldPositionInt());
    }
    EXPECT_EQ(tr->origin, c.updated == 2 ? 25 : 50);
    if (c.updated == 0) {
      EXPECT_EQ(a->dmxBase, row.empty(4) ? -1 : 100);
    }
  }
}

TEST_F(ReportTest, ImportLeavesTheTheatreUnmodifiedWithAnEmptyHistory) {
  Theatre t;
  t.undo->beginStep();
  addRiser(t, {1, 2, 3}, {4, 5, 6}, {0, 0, 0}, 1);
  ASSERT_GT(t.modificationCount, 0);
  ASSERT_GT(t.undo->actionCount(), 0);
  test::writeFile(csv, "Theatre dimensions, Length, Height, Depth\n,800,300,600\n\n" +
                           std::string(kColumns) +
                           "1,Riser,A,1,12,10,5,10,0,0,,,,,,,,,20,10,20,0\n"
                           "2,Truss, ,,,10,5,10,0,0,,,,,,,,,20,10,20,0,40\n");
  ASSERT_TRUE(importReport(t, csv));
  EXPECT_EQ(objects(t).count(), 2);
  EXPECT_EQ(t.modificationCount, 0);
  EXPECT_EQ(t.undo->actionCount(), 0);
  EXPECT_EQ(t.undo->undoStep(), 0);
  int box[3];
  t.walls->getSize(box);
  EXPECT_EQ(box[0], 800);
  // The new history records again.
  t.undo->beginStep();
  objects(t).at(0)->asRiser()->setSize(1, 1, 1);
  EXPECT_GT(t.undo->actionCount(), 0);
  EXPECT_GT(t.modificationCount, 0);
}

TEST_F(ReportTest, DimensionLinesSetTheBoxOnlyAfterTheirTitle) {
  struct Case {
    const char* name;
    const char* head;
    int width;
  };
  const Case cases[] = {
      {"after the title", "Theatre dimensions, Length\n,800,300,600\n", 800},
      {"title in capitals", "THEATRE DIMENSIONS\n\n,700,300,600\n", 700},
      {"before the title", ",800,300,600\nTheatre dimensions\n", 1000},
      {"last one wins", "Theatre dimensions\n,800,300,600\n,600,300,600\n", 600},
      {"not three numbers", "Theatre dimensions\n,800,300\n,800,x,600\n", 1000},
      {"not positive", "Theatre dimensions\n,0,300,600\n,-5,300,600\n", 1000},
      {"after the rows began", "Handle\nTheatre dimensions\n,800,300,600\n", 1000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Theatre t;
    test::writeFile(csv, c.head);
    ASSERT_TRUE(importReport(t, csv));
    int box[3];
    t.walls->getSize(box);
    EXPECT_EQ(box[0], c.width);
    EXPECT_EQ(objects(t).count(), 0);
  }
}

TEST_F(ReportTest, BadRowsAreSkippedOrTakenWithAMessage) {
  const std::string longType(100, 'R');
  const std::string longLine = "1,Riser, ,,,1,2,3,0,0,,,,,,,,,4,5,6,0" + std::string(170, ',');
  struct Case {
    const char* name;
    std::string rows;
    int count;            // risers afterwards
    IVec3 position;       // of the last one
    IVec3 size;           // of the last one
    int handle;           // of the last one
    int base;             // of the last one
    const char* message;  // part of a logged message, or empty for none
  };
  const Case cases[] = {
      {"missing fields", "3,Riser\n", 1, {-1, -1, -1}, {-1, -1, -1}, 3, -1, ""},
      {"empty lines",
       "\n\n3,Riser, ,,,1,2,3,0,0,,,,,,,,,4,5,6,0\n\n",
       1,
       {1, 2, 3},
       {4, 5, 6},
       3,
       -1,
       ""},
      {"handle not a number",
       "abc,Riser, ,,,1,2,3,0,0,,,,,,,,,4,5,6,0\n",
       1,
       {1, 2, 3},
       {4, 5, 6},
       -1,
       -1,
       "field 1 <abc> is not a number"},
      {"position not a number",
       "3,Riser, ,,,1,y,3,0,0,,,,,,,,,4,5,6,0\n",
       1,
       {1, -1, 3},
       {4, 5, 6},
       3,
       -1,
       "field 7 <y> is not a number"},
      {"handle out of range",
       "99999999999,Riser, ,,,1,2,3,0,0,,,,,,,,,4,5,6,0\n",
       1,
       {1, 2, 3},
       {4, 5, 6},
       -1,
       -1,
       "field 1 <99999999999>"},
      {"field over 99 characters",
       "3," + longType + ",A,1,12,1,2,3\n",
       0,
       {},
       {},
       0,
       0,
       "field 2 is longer than 99 characters"},
      {"line over 198 characters",
       longLine + "\n4,Riser, ,,,1,2,3,0,0,,,,,,,,,4,5,6,0\n",
       1,
       {1, 2, 3},
       {4, 5, 6},
       4,
       -1,
       "Report line 4 is longer than 198 characters"},
      {"line of 198 characters",
       "4,Riser, ,,,1,2,3,0,0,,,,,,,,,4,5,6,0" + std::string(198 - 37, ',') + "\r\n",
       1,
       {1, 2, 3},
       {4, 5, 6},
       4,
       -1,
       ""},
      {"channel not a number",
       "3,Riser,A,x,12,1,2,3,0,0,,,,,,,,,4,5,6,0\n",
       1,
       {1, 2, 3},
       {4, 5, 6},
       3,
       -1,
       "DMX patch <A,x,12> is not a channel"},
      {"line before A",
       "3,Riser,#,1,12,1,2,3,0,0,,,,,,,,,4,5,6,0\n",
       1,
       {1, 2, 3},
       {4, 5, 6},
       3,
       -1,
       "DMX patch <#,1,12>"},
      {"line as a number",
       "3,Riser,1,1,12,1,2,3,0,0,,,,,,,,,4,5,6,0\n",
       1,
       {1, 2, 3},
       {4, 5, 6},
       3,
       512,
       ""},
      {"line ends with CR LF",
       "3,Riser,B,3,14,1,2,3,0,0,,,,,,,,,4,5,6,0\r\n",
       1,
       {1, 2, 3},
       {4, 5, 6},
       3,
       514,
       ""},
      {"more than 29 fields",
       "3,Riser, ,,,1,2,3,0,0,,,,,,,,,4,5,6,0,,,,,,,,,,,,,,,,,,,\n",
       1,
       {1, 2, 3},
       {4, 5, 6},
       3,
       -1,
       ""},
      {"no personality of that name",
       "3,NoSuchLamp, ,,,1,2,3,0,0,,,,,,,,,4,5,6,0\n",
       0,
       {},
       {},
       0,
       0,
       ""},
      {"no type", "3,, ,,,1,2,3,0,0,,,,,,,,,4,5,6,0\n", 0, {}, {}, 0, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Theatre t;
    test::LogCapture log;
    importRows(t, c.rows);
    ASSERT_EQ(objects(t).count(), c.count);
    if (c.count > 0) {
      Riser* r = objects(t).at(c.count - 1)->asRiser();
      ASSERT_NE(r, nullptr);
      expectIVec(c.position, r->worldPositionInt());
      expectIVec(c.size, r->getSize());
      EXPECT_EQ(r->fixtureHandle, c.handle);
      EXPECT_EQ(r->dmxBase, c.base);
    }
    if (*c.message) {
      EXPECT_TRUE(log.contains(c.message)) << testing::PrintToString(log.problems());
    } else {
      EXPECT_TRUE(log.problems().empty()) << testing::PrintToString(log.problems());
    }
  }
}

TEST_F(ReportTest, FilesThatCannotBeOpened) {
  Theatre t;
  test::LogCapture log;
  const std::string missing = dir.file("none.csv");
  EXPECT_FALSE(importReport(t, missing));
  EXPECT_TRUE(log.contains("Could not open report file <" + missing + ">"));
  EXPECT_EQ(t.modificationCount, 0);

  const std::string unwritable = dir.file("no/such/folder/rig.csv");
  EXPECT_FALSE(exportReport(t, unwritable));
  EXPECT_TRUE(log.contains("Could not open report file <" + unwritable + ">"));
}

TEST_F(ReportTest, ExportImportExportKeepsTheRows) {
  Theatre first;
  first.walls->setSize(1200, 400, 800);
  ObjectList& list = objects(first);
  addRiser(first, {100, 20, 200}, {200, 40, 100}, {0, 0, 0});
  addRiser(first, {400, 10, 150}, {60, 20, 60}, {0, 45, 0}, 3)->setPatch(600);
  addRiser(first, {700, 30, 650}, {80, 60, 40}, {5, 200, 10}, 4);
  Truss* t1 = list.newTruss();
  t1->setWorldPosition(500, 300, 400);
  t1->setSize(600, 5, 5);
  t1->origin = 20;
  t1->fixtureHandle = 9;
  t1->setPatch(12);
  Truss* t2 = list.newTruss();
  t2->setWorldPosition(300, 250, 100);
  t2->setWorldOrientation(0, 90, 30);
  const std::string exported = exportText(first);
  ASSERT_EQ(rowsOf(exported).size(), 5u);

  Theatre second;
  ASSERT_TRUE(importReport(second, csv));
  EXPECT_TRUE(test::sameText(exported, exportText(second)));
}

}  // namespace
