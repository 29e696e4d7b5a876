#include "platform/files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/clock.h"

namespace fs = std::filesystem;
using namespace lmv;

namespace {

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(AtomicFile, ReplacesOnlyOnCommit) {
  fs::path dir = fs::temp_directory_path() / ("lmvatomic_" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  fs::path target = dir / "show.ttr";
  std::ofstream(target) << "old\n";
  {
    AtomicFile f(target.string());
    ASSERT_NE(f.stream(), nullptr);
    fputs("half", f.stream());
  }  // abandoned: target untouched, no temporary left behind
  EXPECT_EQ(slurp(target), "old\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  {
    AtomicFile f(target.string());
    fputs("new\n", f.stream());
    EXPECT_TRUE(f.commit());
  }
  EXPECT_EQ(slurp(target), "new\n");
  AtomicFile bad((dir / "missing" / "x.ttr").string());
  EXPECT_EQ(bad.stream(), nullptr);
  EXPECT_FALSE(bad.commit());
  fs::remove_all(dir);
}

TEST(ListFiles, SortedCaseInsensitivePattern) {
  fs::path dir = fs::temp_directory_path() / ("lmvlist_" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "sub.r20");
  for (const char* n : {"b.r20", "A.R20", "c.txt", "a.r20"}) std::ofstream(dir / n) << "x";
  auto names = listFiles(dir.string() + "/", "*.r20");
  EXPECT_EQ(names, (std::vector<std::string>{"A.R20", "a.r20", "b.r20"}));
  int64_t t = 0;
  EXPECT_TRUE(lastWriteTime((dir / "b.r20").string(), t));
  EXPECT_GT(t, 0);
  EXPECT_FALSE(lastWriteTime((dir / "none").string(), t));
  fs::remove_all(dir);
}

TEST(Clock, ManualClockInstalls) {
  ManualClock manual;
  manual.set(1500);
  installClock(&manual);
  EXPECT_EQ(currentClock().nowMs(), 1500);
  manual.advance(250);
  EXPECT_EQ(currentClock().nowMs(), 1750);
  installClock(nullptr);
  EXPECT_NE(&currentClock(), &manual);
}

}  // namespace
