#include "fixtures/colortable.h"

#include <gtest/gtest.h>

#include "fixture_test_util.h"

using namespace lmv;
using namespace lmvtest;

namespace {

TEST(ColorTable, WhiteUntilAFileReplacesIt) {
  TempDir dir("colours");
  ColorTable table;
  EXPECT_EQ(table.loadColours(dir.folder()), 0);
  ASSERT_EQ(table.count(), 1);
  EXPECT_EQ(table.colourAt(0).name, "");
  EXPECT_EQ(table.colourAt(0).red, 255);

  writeFile(dir.file("default.clb"),
            "10 20 30\n"  // before the first name: ignored
            "Red\n255 0 0\n"
            "Twice\n1 2 3\n4 5 6\n7 8\n"
            "// comment\n\n"
            "Unset\n"
            "Loud\n300 -4 12\n");
  LogCapture log;
  EXPECT_EQ(table.loadColours(dir.folder()), 1);
  ASSERT_EQ(table.count(), 4);
  struct Case {
    const char* name;
    int r, g, b;
  } cases[] = {
      {"Red", 255, 0, 0}, {"Twice", 4, 5, 6}, {"Unset", 255, 255, 255}, {"Loud", 255, 0, 12}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int i = table.findColour(c.name);
    const ColourEntry& e = table.colourAt(i);
    EXPECT_EQ(e.name, c.name);
    EXPECT_EQ(e.red, c.r);
    EXPECT_EQ(e.green, c.g);
    EXPECT_EQ(e.blue, c.b);
  }
  ASSERT_EQ(log.problems().size(), 1u);
  EXPECT_NE(log.problems()[0].find("Loud"), std::string::npos);

  EXPECT_EQ(table.findColour("red"), 0);
  EXPECT_EQ(table.findColour("Twice"), 1);
  EXPECT_EQ(&table.colourAt(-3), &table.colourAt(0));
  EXPECT_EQ(&table.colourAt(99), &table.colourAt(3));

  const ColorLookup& lookup = table;
  EXPECT_EQ(lookup.colorCount(), 4);
  int rgb[3];
  lookup.colorRgb(1, rgb);
  EXPECT_EQ(rgb[0] * 10000 + rgb[1] * 100 + rgb[2], 40506);
  lookup.colorRgb(-1, rgb);
  EXPECT_EQ(rgb[0], 255);
  EXPECT_EQ(rgb[1], 0);
}

TEST(ColorTable, FileWithoutNamesLeavesItEmpty) {
  TempDir dir("colours2");
  writeFile(dir.file("default.clb"), "1 2 3\n// x\n");
  ColorTable table;
  ASSERT_EQ(table.loadColours(dir.folder()), 1);
  EXPECT_EQ(table.count(), 0);
  int rgb[3];
  table.colorRgb(5, rgb);  // white, the colour of no filter
  EXPECT_EQ(rgb[0] + rgb[1] + rgb[2], 765);
  EXPECT_EQ(table.findColour(""), 0);
}

}  // namespace
