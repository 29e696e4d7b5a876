// Runs the lmvbatch executable as scripts do and checks its exit codes and output.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "../core/testutil.h"

namespace {

struct Outcome {
  int code;
  std::string out;  // standard output and error together
};

Outcome run(const std::string& args) {
  std::string cmd = std::string(LMVBATCH_PATH) + " " + args + " 2>&1";
  FILE* p = popen(cmd.c_str(), "r");
  Outcome r{-1, {}};
  if (!p) return r;
  char buf[512];
  while (size_t n = fread(buf, 1, sizeof buf, p)) r.out.append(buf, n);
  int status = pclose(p);
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

TEST(Lmvbatch, ExitCodesAndMessages) {
  lmv::test::TempDir dir;
  std::string good = dir.file("good.ttr");
  lmv::test::writeFile(good, "Header\n softwareVersion\n  7.20\nTheatre\n name\n  \"X\"\n");
  lmv::test::writeFile(dir.file("bad.ttr"), "Theatre\n name\n\n");
  lmv::test::writeFile(dir.file("levels.txt"), "# fine\n1 255\nnot a level\n");

  Outcome missing = run("dump " + dir.file("none.ttr"));
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.out.find("Could not load <" + dir.file("none.ttr") + ">"), std::string::npos);
  Outcome malformed = run("dump " + dir.file("bad.ttr"));
  EXPECT_EQ(malformed.code, 1);
  EXPECT_NE(malformed.out.find("Could not load"), std::string::npos);

  Outcome levels = run("dump " + good + " --dmx " + dir.file("levels.txt"));
  EXPECT_EQ(levels.code, 2);
  EXPECT_NE(levels.out.find("line 3"), std::string::npos);

  EXPECT_EQ(run("").code, 2);
  EXPECT_EQ(run("frobnicate " + good).code, 2);
  EXPECT_EQ(run("render " + good + " x.png --panes 3").code, 2);

  Outcome dump = run("dump " + good);
  EXPECT_EQ(dump.code, 0);
  EXPECT_NE(dump.out.find("theatre 1000.000 200.000 500.000 smoke 100.000 spot 1 cone 1\n"),
            std::string::npos);

  // Resave goes through the same writer: the result reads back to the same bytes.
  ASSERT_EQ(run("resave " + good + " " + dir.file("a.ttr")).code, 0);
  ASSERT_EQ(run("resave " + dir.file("a.ttr") + " " + dir.file("b.ttr")).code, 0);
  EXPECT_TRUE(lmv::test::sameText(lmv::test::readFile(dir.file("a.ttr")),
                                  lmv::test::readFile(dir.file("b.ttr"))));
  // An unwritable output is an error and leaves nothing behind.
  Outcome unwritable = run("resave " + good + " " + dir.file("no/such/dir/out.ttr"));
  EXPECT_EQ(unwritable.code, 1);
}

}  // namespace

namespace {

const std::string kDemo = std::string(LMV_SOURCE_DIR) + "/data/Theatres/default.ttr";

TEST(Lmvbatch, DemoTheatreResavesToSameBytesAndDumps) {
  lmv::test::TempDir dir;
  ASSERT_EQ(run("resave " + kDemo + " " + dir.file("demo.ttr")).code, 0);
  EXPECT_TRUE(
      lmv::test::sameText(lmv::test::readFile(kDemo), lmv::test::readFile(dir.file("demo.ttr"))));
  Outcome dump = run("dump " + kDemo);
  ASSERT_EQ(dump.code, 0) << dump.out;
  EXPECT_NE(dump.out.find("object 0 r handle -1 dmx -1 12 pos 600.000 40.000 300.000 orient "
                          "0.000 0.000 0.000 size 800.000 80.000 400.000 group -1\n"),
            std::string::npos)
      << dump.out;
  EXPECT_NE(dump.out.find(" g handle "), std::string::npos);
  EXPECT_NE(dump.out.find("view current "), std::string::npos);
}

TEST(Lmvbatch, RenderWritesPngForBothModes) {
  lmv::test::TempDir dir;
  for (const char* panes : {"1", "4"}) {
    SCOPED_TRACE(panes);
    std::string out = dir.file(std::string("demo") + panes + ".png");
    Outcome r = run("render " + kDemo + " " + out + " --panes " + panes + " --size 200x150");
    ASSERT_EQ(r.code, 0) << r.out;
    std::string png = lmv::test::readFile(out);
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
  }
  Outcome bad = run("render " + kDemo + " " + dir.file("none/x.png"));
  EXPECT_EQ(bad.code, 1);
  EXPECT_FALSE(std::filesystem::exists(dir.file("none/x.png")));
}

}  // namespace
