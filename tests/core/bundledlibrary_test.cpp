// The fixture library shipped in data/ must load without a single warning or error.
#include <gtest/gtest.h>

#include <cmath>

#include "fixture_test_util.h"
#include "fixtures/attributes.h"
#include "platform/files.h"

using namespace lmv;
using namespace lmvtest;

namespace {

TEST(BundledLibrary, LoadsCleanly) {
  // A copy, because building the index writes its cache into the personality folder.
  TempDir dir("fxbundled");
  fs::copy(fs::path(LMV_SOURCE_DIR) / "data", dir.path(), fs::copy_options::recursive);
  std::string personalities = dir.folder() + "Personalities/";
  std::string extensions = dir.folder() + "Extensions/";

  std::string logPath = dir.file("log.txt");
  {
    RunLog log(logPath);
    log.setLevel(3);  // fatal errors, recoverable errors and warnings

    GoboList gobos;
    ASSERT_EQ(gobos.loadGobos(extensions), 1);
    EXPECT_GE(gobos.count(), 5);
    for (int i = 0; i < gobos.count(); ++i) {
      const GoboEntry& g = gobos.goboAt(i);
      SCOPED_TRACE(g.name());
      EXPECT_FALSE(g.name().empty());
      EXPECT_GE(g.pointCount(), 3);
      for (const GoboPoint& p : g.points()) EXPECT_LE(std::hypot(p.x, p.y), 1.0001);
    }
    ColorTable colours;
    ASSERT_EQ(colours.loadColours(extensions), 1);
    EXPECT_GE(colours.count(), 10);

    FixtureList list(&gobos, &colours);
    list.scan(personalities, extensions);
    std::vector<std::string> files = listFiles(personalities, "*.r20");
    EXPECT_EQ(list.entryCount(), int(files.size()) + 2);
    int heads = 0, mirrors = 0;
    for (FixtureEntry* e = list.firstEntry(); e; e = list.nextEntry(e)) {
      if (e->personalityPath().empty()) continue;  // a built-in
      SCOPED_TRACE(e->device());
      EXPECT_FALSE(e->displayName().empty());
      EXPECT_TRUE(fileExists(extensions + e->extensionFile()));
      ASSERT_EQ(e->loadPersonality(), 1);
      EXPECT_GT(e->channelCount(), 0);
      for (int slot : {kPan, kTilt, kDimmer, kColorWheel1, kGobo1})
        EXPECT_NE(e->attribute(slot), nullptr) << attributeForSlot(slot)->name;
      (e->kind() == 'm' ? mirrors : heads) += 1;
    }
    EXPECT_GE(heads, 3);
    EXPECT_GE(mirrors, 1);
    // Every extension file belongs to a personality of the folder.
    for (const std::string& name : listFiles(extensions, "*.lmv")) {
      if (name == "default.lmv") continue;
      EXPECT_TRUE(fileExists(personalities + name.substr(0, name.size() - 4) + ".r20")) << name;
    }
  }
  EXPECT_EQ(readFile(logPath), "");
}

}  // namespace
