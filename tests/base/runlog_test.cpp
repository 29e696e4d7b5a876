#include "base/runlog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace lmv;

namespace {

class RunLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("lmvlog_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    setStatusSink([this](const char* t) { shown.emplace_back(t); });
  }
  void TearDown() override {
    setStatusSink(nullptr);
    fs::remove_all(dir);
  }
  std::vector<std::string> lines(const fs::path& p) {
    std::vector<std::string> out;
    std::ifstream in(p);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
  }
  fs::path dir;
  std::vector<std::string> shown;
};

TEST_F(RunLogTest, CreatesMissingFoldersAndAppliesLevels) {
  fs::path path = dir / "Korvalis" / "Lumivor" / "log.txt";
  struct Case {
    int level;
    std::vector<std::string> labels;  // written, in order fatal, error, warning, status, system
  } cases[] = {
      {0, {"System information"}},
      {2, {"Fatal Error       ", "Recoverable Error ", "System information"}},
      {4,
       {"Fatal Error       ", "Recoverable Error ", "Warning           ", "Status information",
        "System information"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.level);
    fs::remove_all(dir);
    shown.clear();
    {
      RunLog log(path.string());
      ASSERT_EQ(RunLog::global(), &log);
      EXPECT_EQ(log.level(), 2);
      log.setLevel(c.level);
      logFatal("f%d", 1);
      logError("e");
      logWarning("w");
      logStatus("s");
      logSystem("y");
    }
    EXPECT_EQ(RunLog::global(), nullptr);
    EXPECT_EQ(shown, (std::vector<std::string>{"f1", "e", "w", "s", "y"}));
    auto got = lines(path);
    ASSERT_EQ(got.size(), c.labels.size());
    for (size_t i = 0; i < got.size(); ++i) {
      // "Www Mmm dd hh:mm:ss yyyy" + two blanks + label + two blanks + text
      ASSERT_GT(got[i].size(), 26u);
      EXPECT_EQ(got[i].substr(24, 2), "  ");
      EXPECT_EQ(got[i].substr(26, 18), c.labels[i]);
      EXPECT_EQ(got[i].substr(44, 2), "  ");
    }
  }
}

TEST_F(RunLogTest, CutsLongTextsAt199) {
  fs::create_directories(dir);
  RunLog log((dir / "log.txt").string());
  std::string longText(300, 'x');
  logError("%s", longText.c_str());
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], std::string(199, 'x'));
  auto got = lines(dir / "log.txt");
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].substr(46), std::string(199, 'x'));
}

TEST_F(RunLogTest, RotatesPast100000BytesReplacingOldFile) {
  fs::create_directories(dir);
  fs::path path = dir / "log.txt";
  std::ofstream(path.string() + ".old") << "stale\n";
  RunLog log(path.string());
  std::string text(150, 'a');
  int written = 0;
  do {
    logSystem("%s", text.c_str());
    ++written;
    ASSERT_LT(written, 2000);
  } while (fs::file_size(path) > 0);
  // The line that crossed the limit is in the old file, which replaced the stale one.
  EXPECT_GT(fs::file_size(path.string() + ".old"), 100000u);
  EXPECT_EQ(lines(path.string() + ".old").size(), size_t(written));
  logSystem("next");
  auto fresh = lines(path);
  ASSERT_EQ(fresh.size(), 1u);
  EXPECT_EQ(fresh[0].substr(46), "next");
}

TEST_F(RunLogTest, UnopenableLogStillFeedsStatus) {
  RunLog log("/proc/no/such/log.txt");
  EXPECT_EQ(RunLog::global(), nullptr);
  logError("still shown");
  EXPECT_EQ(shown, (std::vector<std::string>{"still shown"}));
}

TEST(LogFilePath, AppDataRule) {
  std::string saved = getenv("APPDATA") ? getenv("APPDATA") : "";
  bool had = getenv("APPDATA") != nullptr;
  setenv("APPDATA", "/home/u/appdata", 1);
  EXPECT_EQ(logFilePath("/opt/lmv/"), "/home/u/appdata/Korvalis/Lumivor/log.txt");
  setenv("APPDATA", std::string(100, 'x').c_str(), 1);
  EXPECT_EQ(logFilePath("/opt/lmv/"), "/opt/lmv/log.txt");
  setenv("APPDATA", "", 1);
  EXPECT_EQ(logFilePath("/opt/lmv/"), "/opt/lmv/log.txt");
  if (had)
    setenv("APPDATA", saved.c_str(), 1);
  else
    unsetenv("APPDATA");
}

}  // namespace
