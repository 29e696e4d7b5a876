#include "model/load.h"

#include <gtest/gtest.h>

#include "testutil.h"

using namespace lmv;
using lmv::test::StringLoad;

namespace {

TEST(Load, QuoteAndTokenRules) {
  struct Case {
    const char* line;
    std::vector<std::string> tokens;
  } cases[] = {
      {"  \"Demo\"\n", {"Demo"}},
      {"\"\"\n", {""}},
      {"\"two words\"\n", {"two", "words\""}},
      {"abc\" \"x\n", {"abc\"", "x"}},
      {"\t1 2.5\r\n", {"1", "2.5"}},
      {"\"\n", {""}},
      {"\n", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    StringLoad s(c.line);
    ASSERT_TRUE(s.load.nextLine());
    ASSERT_EQ(s.load.tokenCount(), int(c.tokens.size()));
    for (size_t i = 0; i < c.tokens.size(); ++i) EXPECT_EQ(s.load.token(int(i)), c.tokens[i]);
  }
}

TEST(Load, ValueGettersAndErrors) {
  StringLoad s("  12 -3.5 \"Demo\"\n\n");
  Load& in = s.load;
  ASSERT_TRUE(in.nextLine());
  int i = 0;
  double d = 0;
  std::string str;
  EXPECT_TRUE(in.intAt(0, i));
  EXPECT_EQ(i, 12);
  EXPECT_TRUE(in.doubleAt(1, d));
  EXPECT_EQ(d, -3.5);
  EXPECT_TRUE(in.stringAt(2, str));
  EXPECT_EQ(str, "Demo");
  ASSERT_TRUE(in.nextLine());  // a line without tokens
  str = "kept";
  EXPECT_FALSE(in.stringAt(0, str));
  EXPECT_EQ(in.state, ReadError);
  EXPECT_EQ(str, "kept");
  // ReadError is never left: lines are consumed, nothing is split.
  EXPECT_FALSE(in.nextLine());
  EXPECT_FALSE(in.pushBack());
  EXPECT_FALSE(in.isKey(""));
  EXPECT_EQ(in.state, ReadError);
}

TEST(Load, LongLinesSplitAt98) {
  // A 120-character line reads as 98 characters, then the remaining 22 with the line end.
  StringLoad s(std::string(120, 'x') + "\n" + "next\n");
  Load& in = s.load;
  ASSERT_TRUE(in.nextLine());
  EXPECT_EQ(std::string(in.currentLine()), std::string(98, 'x'));
  ASSERT_TRUE(in.nextLine());
  EXPECT_EQ(std::string(in.currentLine()), std::string(22, 'x') + "\n");
  ASSERT_TRUE(in.nextLine());
  EXPECT_TRUE(in.isKey("next"));
}

TEST(Load, PushBackReturnsSameLineAndEndOfFile) {
  StringLoad s("first\nsecond\nlast-without-newline");
  Load& in = s.load;
  ASSERT_TRUE(in.nextLine());
  ASSERT_TRUE(in.nextLine());
  EXPECT_TRUE(in.isKey("second"));
  EXPECT_FALSE(in.isKey("first"));
  EXPECT_EQ(in.state, ReadMismatch);
  EXPECT_TRUE(in.pushBack());
  EXPECT_EQ(in.state, ReadOk);
  ASSERT_TRUE(in.nextLine());
  EXPECT_TRUE(in.isKey("second"));
  ASSERT_TRUE(in.nextLine());
  EXPECT_TRUE(in.isKey("last-without-newline"));
  EXPECT_FALSE(in.nextLine());
  EXPECT_EQ(in.state, ReadEnd);
}

TEST(Load, OpenTriesTtrExtension) {
  test::TempDir dir;
  test::writeFile(dir.file("show.ttr"), "Header\n");
  std::string path = dir.file("show");
  Load in;
  EXPECT_TRUE(in.open(path));
  EXPECT_EQ(path, dir.file("show.ttr"));
  EXPECT_TRUE(in.nextLine());
  EXPECT_TRUE(in.isKey("Header"));

  std::string missing = dir.file("none");
  Load none;
  test::LogCapture log;
  EXPECT_FALSE(none.open(missing));
  EXPECT_EQ(none.state, ReadError);
  EXPECT_TRUE(log.contains("Reading file: " + dir.file("none.ttr")));
}

TEST(Load, SectionsHandBackUnknownLines) {
  // Indentation means nothing; an unknown key closes the section and is met again outside.
  StringLoad s("Thing\nalpha\n7\n      beta\n   8\ngamma\n");
  Load& in = s.load;
  int alpha = 0, beta = 0;
  readSection(in, "Thing", {"alpha", "beta"},
              [&](int key) { readInt(in, key == 0 ? alpha : beta); });
  EXPECT_EQ(alpha, 7);
  EXPECT_EQ(beta, 8);
  EXPECT_EQ(in.state, ReadOk);
  ASSERT_TRUE(in.nextLine());
  EXPECT_TRUE(in.isKey("gamma"));
}

}  // namespace
