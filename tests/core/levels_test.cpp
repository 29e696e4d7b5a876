#include "dmx/levels.h"

#include <gtest/gtest.h>

using namespace lmv;

namespace {

TEST(Levels, ParsesChannelsAcrossUniversesAndNamesBadLines) {
  LevelsResult ok = parseLevels("# comment\n\n1 255\r\n513 7\n  12   0  \n");
  ASSERT_TRUE(ok.ok) << ok.error;
  ASSERT_EQ(ok.levels.size(), 3u);
  EXPECT_EQ(ok.levels[0].channel, 0);
  EXPECT_EQ(ok.levels[0].value, 255);
  EXPECT_EQ(ok.levels[1].channel, 512);  // the second universe's first channel
  EXPECT_EQ(ok.levels[2].channel, 11);

  struct Case {
    const char* text;
    int line;
  } bad[] = {{"1 2\n0 5\n", 2}, {"1 256\n", 1}, {"x 1\n", 1},         {"1\n", 1},
             {"1 2 3\n", 1},    {"1 -1\n", 1},  {"1 2\n\n3 4x\n", 3}, {"99999999999 1\n", 1}};
  for (const Case& c : bad) {
    SCOPED_TRACE(c.text);
    LevelsResult r = parseLevels(c.text);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.badLine, c.line);
    EXPECT_NE(r.error.find("line " + std::to_string(c.line)), std::string::npos);
  }
}

}  // namespace
