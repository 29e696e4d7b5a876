#include <gtest/gtest.h>

#include <filesystem>

#include "fixture_test_util.h"
#include "fixtures/fixtureentry.h"
#include "fixtures/fixturelist.h"
#include "fixtures/personalityline.h"
#include "platform/files.h"

using namespace lmv;
using namespace lmvtest;

namespace {

// A header as consoles write it; the DMX section is left out where only the index matters.
std::string header(const std::string& device, const std::string& mirror = "MIRROR 0 540 270",
                   const std::string& name = "NAME \"Maker\" \"Model\"") {
  return "DEVICE " + device + "\n" + name + "\nTYPE x 12\n" + mirror + "\nDMX\nEND\n";
}

// Sets the folder's and the cache's last-write times; seconds since an arbitrary base.
void setTimes(const TempDir& dir, int folderSeconds, int cacheSeconds) {
  auto base = fs::file_time_type(std::chrono::seconds(1'700'000'000));
  fs::last_write_time(dir.file("r20.lst"), base + std::chrono::seconds(cacheSeconds));
  fs::last_write_time(dir.path(), base + std::chrono::seconds(folderSeconds));
}

std::vector<std::string> devices(const FixtureList& list) {
  std::vector<std::string> out;
  for (FixtureEntry* e = list.firstEntry(); e; e = list.nextEntry(e)) out.push_back(e->device());
  return out;
}

TEST(FixtureIndex, BuiltInsOnlyWithoutPersonalities) {
  TempDir dir("fxempty");
  FixtureList list;
  LogCapture log;
  EXPECT_EQ(list.scan(dir.folder(), "/nowhere/"), 0);
  EXPECT_EQ(devices(list), (std::vector<std::string>{"KorStdMHead", "KorStdMMirr"}));
  FixtureEntry* head = list.findEntry("KorStdMHead");
  ASSERT_NE(head, nullptr);
  EXPECT_EQ(head->kind(), 'h');
  EXPECT_EQ(head->channelCount(), 16);
  EXPECT_EQ(head->personalityPath(), "");
  EXPECT_EQ(head->extensionFile(), "");
  EXPECT_EQ(head->loadState(), 0);
  EXPECT_EQ(list.findEntry("KorStdMMirr")->kind(), 'm');
  EXPECT_EQ(list.extensionFolder(), "/nowhere/");
  EXPECT_TRUE(fs::exists(dir.file("r20.lst")));
  EXPECT_EQ(readFile(dir.file("r20.lst")), "");
  EXPECT_TRUE(log.problems().empty());
}

TEST(FixtureIndex, HeaderScanWritesTheCacheInListingOrder) {
  TempDir dir("fxscan");
  writeFile(dir.file("b_spot.r20"), header("BetaSpot", "MIRROR 1 -1 3"));
  writeFile(dir.file("a_wash.r20"),
            "// comment line\nDEVICE AlphaWash extra\nNAME \"Acme\" \"Wash 5\"\nMIRROR 2\n"
            "DEVICE Ignored\n");
  writeFile(dir.file("c_nodev.r20"), "NAME \"A\" \"B\"\nMIRROR 1\n");  // no DEVICE: left out
  writeFile(dir.file("d_nomirror.r20"), "DEVICE Delta\n");
  writeFile(dir.file("e_odd.r20"), "DEVICE Echo\nMIRROR 7\n");
  writeFile(dir.file("notes.txt"), "DEVICE Nope\n");
  FixtureList list;
  list.scan(dir.folder(), dir.folder());
  EXPECT_EQ(readFile(dir.file("r20.lst")),
            "a_wash.r20,AlphaWash,h,Acme Wash 5\n"
            "b_spot.r20,BetaSpot,m,Maker Model\n"
            "d_nomirror.r20,Delta,?,\n"
            "e_odd.r20,Echo,?,\n");
  EXPECT_EQ(devices(list), (std::vector<std::string>{"AlphaWash", "BetaSpot", "Delta", "Echo",
                                                     "KorStdMHead", "KorStdMMirr"}));
  FixtureEntry* a = list.findEntry("AlphaWash");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->personalityPath(), dir.folder() + "a_wash.r20");
  EXPECT_EQ(a->extensionFile(), "a_wash.lmv");
  EXPECT_EQ(a->displayName(), "Acme Wash 5");
  EXPECT_EQ(a->label(), "Acme Wash 5");
  EXPECT_EQ(a->loadState(), 0);
  EXPECT_EQ(a->channelCount(), 0);  // only the full load reads TYPE
  EXPECT_EQ(list.findEntry("Delta")->label(), "Delta");
}

TEST(FixtureIndex, FreshCacheIsTrustedStaleCacheIsRebuilt) {
  TempDir dir("fxcache");
  writeFile(dir.file("real.r20"), header("RealName"));
  writeFile(dir.file("r20.lst"), "real.r20,FromCache,m,\nother.r20,Second,h,Shown Name\n");

  struct Case {
    const char* what;
    int folderTime, cacheTime;
    bool fromCache;
  } cases[] = {
      {"cache newer", 100, 200, true},
      {"equal times count as fresh", 100, 100, true},
      {"folder newer", 300, 200, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    writeFile(dir.file("r20.lst"), "real.r20,FromCache,m,\nother.r20,Second,h,Shown Name\n");
    setTimes(dir, c.folderTime, c.cacheTime);
    LogCapture log;
    FixtureList list;
    list.scan(dir.folder(), dir.folder());
    EXPECT_TRUE(log.problems().empty());
    if (c.fromCache) {
      FixtureEntry* e = list.findEntry("FromCache");
      ASSERT_NE(e, nullptr);
      EXPECT_EQ(e->kind(), 'm');
      EXPECT_EQ(e->displayName(), "");  // empty last field: accepted, no display name
      EXPECT_EQ(e->personalityPath(), dir.folder() + "real.r20");
      EXPECT_EQ(e->extensionFile(), "real.lmv");
      EXPECT_EQ(list.findEntry("Second")->displayName(), "Shown Name");
      EXPECT_EQ(list.findEntry("RealName"), nullptr);
    } else {
      EXPECT_NE(list.findEntry("RealName"), nullptr);
      EXPECT_EQ(list.findEntry("FromCache"), nullptr);
      EXPECT_EQ(readFile(dir.file("r20.lst")), "real.r20,RealName,h,Maker Model\n");
      // The rewritten cache is fresh again although it was renamed into the folder.
      int64_t folderNs = 0, cacheNs = 0;
      ASSERT_TRUE(lastWriteTime(dir.folder(), folderNs));
      ASSERT_TRUE(lastWriteTime(dir.file("r20.lst"), cacheNs));
      EXPECT_GE(cacheNs, folderNs);
    }
  }
}

TEST(FixtureIndex, UnusableCacheIsRebuiltWithoutTrustingAnyOfIt) {
  TempDir dir("fxbadcache");
  writeFile(dir.file("one.r20"), header("One"));
  writeFile(dir.file("two.r20"), header("Two", "MIRROR 1 10 10"));
  const char* goodLine = "one.r20,One,h,Maker Model\n";
  struct Case {
    const char* what;
    std::string cache;
  } cases[] = {
      {"two fields", std::string(goodLine) + "two.r20,Two\n"},
      {"empty device", std::string(goodLine) + "two.r20,,m,\n"},
      {"empty line", std::string(goodLine) + "\n"},
      {"kind missing", std::string(goodLine) + "two.r20,Two,\n"},
      {"kind not h, m or ?", std::string(goodLine) + "two.r20,Two,x,\n"},
      {"file name with a folder", std::string(goodLine) + "../two.r20,Two,m,\n"},
      {"file name too short", std::string(goodLine) + "r20,Two,m,\n"},
      {"cut short", std::string(goodLine) + "two.r20,Two,m,Mak"},
      {"binary", std::string("\x01\x02\0\xff,\n", 6)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    writeFile(dir.file("r20.lst"), c.cache);
    setTimes(dir, 100, 200);
    LogCapture log;
    FixtureList list;
    list.scan(dir.folder(), dir.folder());
    EXPECT_EQ(devices(list),
              (std::vector<std::string>{"KorStdMHead", "KorStdMMirr", "One", "Two"}));
    EXPECT_EQ(list.findEntry("Two")->kind(), 'm');
    // Nothing from the damaged cache collides with the rescan.
    EXPECT_TRUE(log.problems().empty()) << log.problems()[0];
    EXPECT_EQ(readFile(dir.file("r20.lst")),
              "one.r20,One,h,Maker Model\ntwo.r20,Two,m,Maker Model\n");
  }
}

TEST(FixtureIndex, DuplicateDevicesKeepTheLaterFileWithOneWarning) {
  TempDir dir("fxdup");
  writeFile(dir.file("first.r20"), header("Same", "MIRROR 0"));
  writeFile(dir.file("second.r20"), header("Same", "MIRROR 1"));
  writeFile(dir.file("zhead.r20"), header("KorStdMHead", "MIRROR 1"));
  LogCapture log;
  FixtureList list;
  list.scan(dir.folder(), dir.folder());
  EXPECT_EQ(log.problems(),
            (std::vector<std::string>{
                "Duplicate fixture name \"Same\" in files \"first.lmv\" and \"second.lmv\"",
                "Duplicate fixture name \"KorStdMHead\" in files \"\" and \"zhead.lmv\""}));
  EXPECT_EQ(list.findEntry("Same")->extensionFile(), "second.lmv");
  EXPECT_EQ(list.findEntry("Same")->kind(), 'm');
  EXPECT_EQ(list.findEntry("KorStdMHead")->personalityPath(), dir.folder() + "zhead.r20");
  EXPECT_EQ(list.entryCount(), 3);
  // Both files stay in the cache; the next start keeps the same winner.
  EXPECT_EQ(readFile(dir.file("r20.lst")),
            "first.r20,Same,h,Maker Model\nsecond.r20,Same,m,Maker Model\n"
            "zhead.r20,KorStdMHead,m,Maker Model\n");
}

TEST(FixtureIndex, PlaceholdersAreRememberedSkippedAndReported) {
  FixtureList list;
  for (const char* name : {"Alpha", "Gamma"}) {
    auto e = std::make_unique<FixtureEntry>(&list);
    ASSERT_TRUE(e->readCacheLine("/p/", std::string(name) + ".r20," + name + ",h,"));
    list.addEntry(std::move(e));
  }
  list.addEntry(std::make_unique<FixtureEntry>(&list));  // no device: not inserted
  EXPECT_EQ(list.findEntry("Beta"), nullptr);
  EXPECT_EQ(list.findEntry("Beta"), nullptr);
  EXPECT_EQ(list.findEntry("alpha"), nullptr);  // case-sensitive
  EXPECT_EQ(devices(list), (std::vector<std::string>{"Alpha", "Gamma"}));
  EXPECT_EQ(list.entryCount(), 2);
  LogCapture log;
  list.clearEntries();
  EXPECT_EQ(log.problems(), (std::vector<std::string>{"Fixture entry \"Beta\" is already NULL",
                                                      "Fixture entry \"alpha\" is already NULL"}));
  EXPECT_EQ(list.firstEntry(), nullptr);
}

TEST(PersonalityLine, NameRule) {
  struct Case {
    const char* line;
    const char* result;  // nullptr: the line does not apply
  } cases[] = {
      {"NAME \"Acme\" \"Spot 1\"", "Acme Spot 1"},
      {"NAME  \"Acme\" - \"Spot\" trailing", "Acme Spot"},
      {"NAME \"Acme\" \"Unclosed", "Acme Unclosed"},
      {"NAME\"Acme\" \"Spot\"", nullptr},  // no gap before the first text
      {"NAME \"Acme\"\"Spot\"", nullptr},  // no gap between the texts
      {"NAME \"\" \"Spot\"", nullptr},     // empty maker
      {"NAME \"Acme\" \"\"", nullptr},     // empty model
      {"NAME \"Acme\"", nullptr},
      {"name \"Acme\" \"Spot\"", nullptr},  // capitals only
      {"NAMES \"Acme\" \"Spot\"", "Acme Spot"},
      {"", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    std::string name = "unchanged";
    EXPECT_EQ(readNameLine(c.line, name), c.result != nullptr);
    EXPECT_EQ(name, c.result ? c.result : "unchanged");
  }
}

TEST(PersonalityLine, Tokens) {
  PersonalityTokens t = splitPersonalityLine("Chan1 a S 3 b xI E c \"Pan Low\" d e f 7 9 extra");
  const char* expected[] = {"Chan1", "a",       "S", "3", "b", "xI", "E",
                            "c",     "Pan Low", "d", "e", "f", "7",  "9"};
  for (int i = 0; i < PersonalityTokens::kCount; ++i) EXPECT_EQ(t[i], expected[i]) << i;

  t = splitPersonalityLine(" DEVICE x");  // no keyword: no tokens at all
  EXPECT_EQ(t[0], "");
  EXPECT_EQ(t[1], "");
  t = splitPersonalityLine("K 1 2 3 4 5 6 no quote");  // token 8 needs the quote
  EXPECT_EQ(t[7], "no");
  EXPECT_EQ(t[8], "");
  EXPECT_EQ(t[9], "");
  t = splitPersonalityLine("K 1 2 3 \"quoted\" 5 6");  // fewer than seven words before it
  EXPECT_EQ(t[4], "\"quoted\"");
  EXPECT_EQ(t[8], "");
  t = splitPersonalityLine("K 1 2 3 4 5 6 7 \"open");
  EXPECT_EQ(t[8], "open");
}

}  // namespace
