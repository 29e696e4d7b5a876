#include "model/theatre.h"

#include <gtest/gtest.h>

#include "model/color.h"
#include "model/coordinates.h"
#include "model/globals.h"
#include "model/walls.h"
#include "testutil.h"

using namespace lmv;

namespace {

const char* kExample = R"(Header
 softwareVersion
  7.20
 fileFormat
  0.0
Theatre
 name
  "Demo"
 globals
  Globals
)";

std::string valueSection(const char* key, const char* number) {
  return std::string("   ") + key + "\n    Value\n     valueBuffer\n      " + number +
         "\n     dmxEnabled\n      0\n     dmxSpec 0\n      DmxSpec\n       mode\n        0\n"
         "       channels\n        0 1 2 3\n       mbimdd\n"
         "        -1 1 0 1000000.000000 0 0\n";
}

std::string exampleFile() {
  return std::string(kExample) + valueSection("smoke", "100.000000") +
         valueSection("wire", "0.000000") + valueSection("spot", "1.000000") +
         valueSection("cone", "1.000000");
}

bool loadText(Theatre& t, const std::string& text) {
  test::StringLoad s(text);
  t.load(s.load);
  return s.load.state == ReadEnd;
}

TEST(Theatre, NewTheatreDefaults) {
  Theatre t;
  EXPECT_EQ(theTheatre(), &t);
  EXPECT_EQ(t.dmxBufferSize, 4096);
  EXPECT_EQ(t.dmxBuffer.size(), 4096u);
  EXPECT_EQ(t.globals->smokeLevel(), 100);
  EXPECT_EQ(t.globals->spots(), 1);
  EXPECT_EQ(t.globals->cones(), 1);
  int size[3];
  t.walls->getSize(size);
  EXPECT_EQ(size[0], 1000);
  EXPECT_EQ(size[1], 200);
  EXPECT_EQ(size[2], 500);
  EXPECT_EQ(t.walls->getGridFrequency(), 25);
  EXPECT_EQ(t.modificationCount, 0);
  EXPECT_NEAR(t.sines[3], 1.0, 1e-12);
  EXPECT_NEAR(t.cosines2[4], -0.5, 1e-12);
}

TEST(Theatre, DmxBufferGrowsKeepingBytes) {
  Theatre t;
  t.dmxBuffer[4095] = 7;
  t.resizeDmxBuffer(8192);
  EXPECT_EQ(t.dmxBuffer[4095], 7);
  EXPECT_EQ(t.dmxBuffer[4096], 0);
  EXPECT_EQ(t.dmxBuffer[8191], 0);
  EXPECT_EQ(t.valueList.dmxView().size, 8192);
  EXPECT_EQ(t.valueList.dmxView().data, t.dmxBuffer.data());
}

TEST(Theatre, ExampleFileLoadsAndWritesBackByteForByte) {
  test::TempDir dir;
  Theatre t;
  ASSERT_TRUE(loadText(t, exampleFile()));
  EXPECT_EQ(t.name, "Demo");
  EXPECT_EQ(t.fileVersion, 7020);
  ASSERT_TRUE(t.save(dir.file("out.ttr")));
  std::string saved = test::readFile(dir.file("out.ttr"));
  EXPECT_TRUE(test::sameText(exampleFile(), saved.substr(0, exampleFile().size())));
  EXPECT_EQ(saved.substr(exampleFile().size(), 8), " walls\n ");
  EXPECT_EQ(t.modificationCount, 0);
}

TEST(Theatre, HeaderVersionCheck) {
  struct Case {
    const char* version;
    int number;
    bool warns;
  } cases[] = {{"7.21", 7021, true},
               {"7.20", 7020, false},
               {"7.3", 7003, false},
               {"7.2", 7002, false},
               {"8.0", 8000, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    test::LogCapture log;
    Theatre t;
    std::string file = std::string("Header\n softwareVersion\n  ") + c.version +
                       "\n fileFormat\n  0.0\nTheatre\n name\n  \"X\"\n";
    EXPECT_TRUE(loadText(t, file));
    EXPECT_EQ(t.fileVersion, c.number);
    EXPECT_EQ(t.fileVersionText, c.version);
    std::string message =
        std::string("Theatre may be incompatable with Lumivor - theatre version = ") + c.version +
        "; lumivor version = 7.20";
    EXPECT_EQ(log.contains(message), c.warns);
  }
}

TEST(Theatre, SectionOrderAndRepeats) {
  Theatre t;
  // Header after Theatre is read; a second Theatre section wins; a name of two words comes
  // back as its first word; an unknown key ends the theatre section.
  ASSERT_TRUE(loadText(t,
                       "Theatre\n name\n  \"First\"\nHeader\n softwareVersion\n  7.1\n"
                       "Theatre\n name\n  \"Two words\"\n bogus\n name\n  \"Lost\"\n"));
  EXPECT_EQ(t.name, "Two");
  EXPECT_EQ(t.fileVersion, 7001);
  EXPECT_EQ(t.modificationCount, 0);
}

TEST(Theatre, WallColoursDependOnVersionAndLegacyDmxList) {
  auto file = [](const char* version, int face) {
    bool old = version[0] < '5';
    // Files before 5.0 write values in the old syntax.
    auto value = [old](int number, const char* indent) {
      std::string i = indent;
      if (old)
        return i + "Value\n" + i + " value\n" + i + "  " + std::to_string(number) + "\n" + i +
               " structure\n" + i + "  0 1 1 1 0 0 0 1.0 0\n";
      return i + "Value\n" + i + " valueBuffer\n" + i + "  " + std::to_string(number) + ".0\n";
    };
    return std::string("Header\n softwareVersion\n  ") + version +
           "\nTheatre\n name\n  \"W\"\n dmxList\n  DMXList\n   dmxEntry\n    DMXEntry\n"
           "     desc\n      \"a\"\n     startChan\n      1\n     endChan\n      12\n"
           "   dmxEntry\n    DMXEntry\n     startChan\n      13\n     endChan\n      24\n"
           " walls\n  Walls\n   backColor " +
           std::to_string(face) + "\n    Color\n     intensity\n" + value(7, "      ") +
           "   gridFrequency\n" + value(30, "    ");
  };
  struct Case {
    const char* version;
    int face;
    double rightIntensity;
  } cases[] = {{"3.5", 1, 255}, {"5.0", 1, 7}, {"5.0", 9, 255}, {"5.0", -1, 255}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.version) + " face " + std::to_string(c.face));
    Theatre t;
    EXPECT_TRUE(loadText(t, file(c.version, c.face)));
    EXPECT_EQ(t.walls->backColor[1]->intensity->currentValue(), c.rightIntensity);
    EXPECT_EQ(t.walls->getGridFrequency(), 30);  // the colour section was consumed
    ASSERT_EQ(t.dmxList.size(), 2u);
    EXPECT_EQ(t.dmxList[1].startChan, 13);
    EXPECT_EQ(t.dmxList[1].endChan, 24);
  }
}

TEST(Theatre, TruncatedAndMalformedFiles) {
  struct Case {
    const char* name;
    std::string text;
    int state;
  } cases[] = {
      {"value line missing its token", "Theatre\n name\n\n", ReadError},
      {"cut inside a value section",
       "Theatre\n globals\n  Globals\n   smoke\n    Value\n"
       "     valueBuffer\n",
       ReadEnd},
      {"stray quote", "Theatre\n name\n  \"\n", ReadEnd},
      {"range line short of tokens",
       "Theatre\n globals\n  Globals\n   smoke\n    Value\n     dmxSpec 0\n      DmxSpec\n"
       "       range 0\n        0 255\n",
       ReadError},
      {"binary junk", std::string("\x01\x02\xff\n\0\0\0\n", 8) + std::string(300, '\x7f'), ReadEnd},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Theatre t;
    test::StringLoad s(c.text);
    t.load(s.load);
    EXPECT_EQ(s.load.state, c.state);
  }
}

TEST(Theatre, SaveToUnwritablePathFailsCleanly) {
  Theatre t;
  test::LogCapture log;
  EXPECT_FALSE(t.save("/proc/none/show.ttr"));
}

TEST(Theatre, UndoCoalescesValueRunsAndReportsCodes) {
  Theatre t;
  Value* v = t.globals->smoke;
  t.undo->beginStep();
  for (int i = 1; i <= 5; ++i) v->setValue(100 - i);  // one drag: one change action
  EXPECT_EQ(t.undo->actionCount(), 1);
  t.undo->beginStep();
  Value* added = t.valueList.newValue();
  added->setValue(3);  // changes right after creation join the step
  EXPECT_EQ(t.undo->undoStep(), 'A' * 256);
  EXPECT_FALSE(added->links.linked);
  EXPECT_EQ(t.undo->undoStep(), 'v' * 256 + 'v');
  EXPECT_EQ(v->currentValue(), 100);
  EXPECT_EQ(t.undo->undoStep(), 0);
  EXPECT_EQ(t.undo->redoStep(), 'v' * 256 + 'v');
  EXPECT_EQ(v->currentValue(), 95);
  // A new action after an undo drops the undone ones.
  t.undo->beginStep();
  t.globals->setSmoke(50);
  EXPECT_EQ(t.undo->redoStep(), 0);
  EXPECT_GT(t.modificationCount, 0);
}

}  // namespace
