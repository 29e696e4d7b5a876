#include "fixtures/gobolist.h"

#include <gtest/gtest.h>

#include <cmath>

#include "fixture_test_util.h"

using namespace lmv;
using namespace lmvtest;

namespace {

TEST(GoboList, BuiltInStarUntilAFileReplacesIt) {
  TempDir dir("gobos");
  GoboList list;
  EXPECT_EQ(list.loadGobos(dir.folder()), 0);  // no file: no error, the star stays
  ASSERT_EQ(list.count(), 1);
  const GoboEntry& star = list.goboAt(0);
  EXPECT_EQ(star.name(), "");
  ASSERT_EQ(star.pointCount(), 12);
  for (int i = 0; i < 12; ++i) {
    double x, y, r = i % 2 ? 0.5 : 1.0;
    star.goboPoint(i, x, y);
    EXPECT_NEAR(x, r * std::cos(i * M_PI / 6), 1e-12) << i;
    EXPECT_NEAR(y, r * std::sin(i * M_PI / 6), 1e-12) << i;
  }
  double x = 7, y = 7;
  star.goboPoint(12, x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  star.goboPoint(-1, x, y);
  EXPECT_EQ(y, 0);

  writeFile(dir.file("default.glb"),
            "0.5 0.5\n"  // a number line with no gobo started names a gobo
            "1 0\n"
            "\n"
            "// comment\n"
            "Diamond\n1 0\n0 1\n-1 0\n0 -1\n"
            "Junk\n#5 5\n0.25 x\n1e999 2\n"
            "Last\n0 0\n"
            "Unterminated");
  EXPECT_EQ(list.loadGobos(dir.folder()), 1);
  ASSERT_EQ(list.count(), 4);
  EXPECT_EQ(list.goboAt(0).name(), "0.5 0.5");
  EXPECT_EQ(list.goboAt(0).pointCount(), 1);
  const GoboEntry& diamond = list.goboAt(1);
  ASSERT_EQ(diamond.pointCount(), 4);
  diamond.goboPoint(3, x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, -1);
  // Unreadable numbers count as 0, and so does anything after one.
  const GoboEntry& junk = list.goboAt(2);
  ASSERT_EQ(junk.pointCount(), 3);
  EXPECT_EQ(junk.points()[0].x, 0);
  EXPECT_EQ(junk.points()[0].y, 0);
  EXPECT_EQ(junk.points()[1].x, 0.25);
  EXPECT_EQ(junk.points()[1].y, 0);
  EXPECT_EQ(junk.points()[2].x, 0);
  EXPECT_EQ(junk.points()[2].y, 0);

  EXPECT_EQ(list.findGobo("Diamond"), 1);
  EXPECT_EQ(list.findGobo("diamond"), 0);
  EXPECT_EQ(list.findGobo("Unterminated"), 0);  // a last line without line feed is not read
  EXPECT_EQ(&list.goboAt(-5), &list.goboAt(0));
  EXPECT_EQ(&list.goboAt(1000), &list.goboAt(3));
}

TEST(GoboList, LongLinesAndEmptyFiles) {
  TempDir dir("gobos2");
  GoboList list;
  std::string longName(150, 'a');
  writeFile(dir.file("default.glb"), longName + "\n1 1\n");
  ASSERT_EQ(list.loadGobos(dir.folder()), 1);
  // 99 characters a read: the rest of the line begins a second gobo (it starts with a letter).
  ASSERT_EQ(list.count(), 2);
  EXPECT_EQ(list.goboAt(0).name(), std::string(99, 'a'));
  EXPECT_EQ(list.goboAt(1).name(), std::string(51, 'a'));

  writeFile(dir.file("default.glb"), "// nothing\n\n");
  ASSERT_EQ(list.loadGobos(dir.folder()), 1);
  EXPECT_EQ(list.count(), 0);
  EXPECT_EQ(list.goboAt(3).pointCount(), 0);
  EXPECT_EQ(list.findGobo(""), 0);

  writeFile(dir.file("default.glb"), std::string("\0\x01\xff\n\x80\x90 7\n", 9));
  ASSERT_EQ(list.loadGobos(dir.folder()), 1);
  EXPECT_EQ(list.count(), 1);
}

}  // namespace
