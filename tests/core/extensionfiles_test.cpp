#include "fixtures/extensionfiles.h"

#include <gtest/gtest.h>

#include "fixture_test_util.h"
#include "fixtures/attributes.h"

using namespace lmv;
using namespace lmvtest;

namespace {

// A personality with the given channel lines ("letter channel" pairs, 8 bits each).
std::string personality(const std::string& device,
                        std::initializer_list<std::pair<char, int>> channels,
                        const std::string& mirror = "MIRROR 0 540 270") {
  std::string text = "DEVICE " + device + "\nTYPE 1 24\n" + mirror + "\nDMX\n";
  for (auto [letter, channel] : channels)
    text += "CHAN 1 B " + std::to_string(channel) + " 0 -- " + letter + " 0 \"x\" 0 0 0\n";
  return text + "END\n";
}

const char kGobos[] = "Open\n1 0\nStar\n1 0\nBars\n1 0\nDot\n1 0\n";
const char kColours[] = "White\n255 255 255\nRed\n255 0 0\nBlue\n0 0 255\nGreen\n0 255 0\n";

struct ExtensionFilesTest : ::testing::Test {
  ExtensionFilesTest() : lib("fxext") {
    lib.extension("default.glb", kGobos);
    lib.extension("default.clb", kColours);
  }
  Library lib;
};

TEST_F(ExtensionFilesTest, FiveLineDimmerBlock) {
  lib.personality("x.r20", personality("X", {{'E', 1}}));
  lib.extension("x.lmv", "DEVICE X\nCHANREF Dimmer\nDMXOFFSET 3\nMAPPING 0 255 0 100\nEND\n");
  lib.build();
  LogCapture log;
  FixtureEntry* x = lib.load("X");
  ASSERT_NE(x, nullptr);
  EXPECT_TRUE(log.problems().empty());
  ASSERT_EQ(x->attribute(kDimmer)->count(), 1);
  DmxSpec* s = valueSpec(x, kDimmer);
  EXPECT_EQ(s->mode, ModeValue);
  EXPECT_EQ(s->channelCount, 1);
  EXPECT_EQ(s->channels[0], 2);
  EXPECT_EQ(s->specOffset, 2);
  EXPECT_EQ(s->mask, 255);
  ASSERT_EQ(s->ranges.size(), 1u);
  EXPECT_EQ(s->ranges[0].low, 0);
  EXPECT_EQ(s->ranges[0].high, 255);
  EXPECT_DOUBLE_EQ(s->ranges[0].scale, 100.0 / 255);
  EXPECT_NEAR(Dmx().set(2, 255).eval(s), 100, 1e-12);
  EXPECT_EQ(s->ranges[0].selectChannel, -1);
}

TEST_F(ExtensionFilesTest, MappingRowsSelectorsNamesAndLevels) {
  lib.personality("x.r20", personality("X", {{'E', 1}, {'F', 2}, {'I', 3}, {'A', 4}, {'B', 7}},
                                       "MIRROR 0 540 270"));
  lib.extension("x.lmv",
                "// hand-written\n"
                "Device X\n"
                "ChanRef Gobo 1 Rotate   // comment cut here\n"
                "  DmxOffset 6\n"
                "  Mapping if 5 0 127 0 255 0 360\n"
                "  CHANTYPE whatever\n"
                "  POLARITY -1\n"
                "End\n"
                "chanref I\n"  // the letter names Gobo 1
                "  mapping 10 19 Bars\n"
                "  mapping 20 29 3 3\n"
                "  mapping 30 39 No Such Gobo\n"
                "END\n"
                "ChanRef Color Wheel 1\n"
                "  DmxOffset 4\n"
                "  Mapping 0 9 Blue\n"
                "  Mapping 10 19 Off 255\n"   // a digit: two outputs, not a name
                "  Mapping 20 29 Off Full\n"  // a colour name, as on any wheel
                "End\n"
                "ChanRef Pan\n"
                "  DmxOffset 1\n"
                "  Mapping 0 255 Off Full\n"
                "End\n"
                "ChanRef Red\n"
                "  DmxOffset 7\n"
                "  Mapping 0 255 Off Full\n"
                "End\n"
                "ChanRef Iris\n"
                "  DmxOffset 9\n"
                "  Mapping 0 99 Full\n"
                "  Mapping 100 199 0.5 xyz\n"
                "  Mapping 200 255 abc 1\n"  // not an output: refused
                "  Mapping 1 2\n"            // no output: refused
                "  Mapping\n"                // nothing: refused
                "End\n");
  lib.build();
  LogCapture log;
  FixtureEntry* x = lib.load("X");
  ASSERT_NE(x, nullptr);

  DmxSpec* rotate = valueSpec(x, kGobo1Rotate);
  ASSERT_NE(rotate, nullptr);
  EXPECT_EQ(rotate->channels[0], 5);
  ASSERT_EQ(rotate->ranges.size(), 1u);
  EXPECT_EQ(rotate->ranges[0].selectChannel, 4);
  EXPECT_EQ(rotate->ranges[0].selLow, 0);
  EXPECT_EQ(rotate->ranges[0].selHigh, 127);
  EXPECT_NEAR(Dmx().set(5, 255).set(4, 127).eval(rotate), 360, 1e-9);
  EXPECT_EQ(Dmx().set(5, 255).set(4, 128).eval(rotate), 0);  // selector out of range

  DmxSpec* gobo = valueSpec(x, kGobo1);
  ASSERT_EQ(gobo->ranges.size(), 3u);
  EXPECT_EQ(Dmx().set(2, 15).eval(gobo), 2);  // Bars
  EXPECT_EQ(Dmx().set(2, 25).eval(gobo), 3);
  EXPECT_EQ(Dmx().set(2, 35).eval(gobo), 0);  // unknown name: 0, with a warning
  EXPECT_EQ(gobo->ranges[0].scale, 0);
  EXPECT_TRUE(x->goboTableSet());

  DmxSpec* wheel = valueSpec(x, kColorWheel1);
  EXPECT_EQ(Dmx().set(3, 5).eval(wheel), 2);  // Blue
  EXPECT_NEAR(Dmx().set(3, 19).eval(wheel), 255, 1e-9);
  EXPECT_TRUE(x->colourTableSet(0));
  EXPECT_FALSE(x->colourTableSet(1));

  DmxSpec* pan = valueSpec(x, kPan);
  EXPECT_NEAR(Dmx().eval(pan), -270, 1e-9);
  EXPECT_NEAR(Dmx().set(0, 255).eval(pan), 270, 1e-9);
  DmxSpec* red = valueSpec(x, kRed);
  ASSERT_EQ(red->ranges.size(), 1u);
  EXPECT_EQ(Dmx().set(6, 255).eval(red), 0);  // "Off" and "Full" mean nothing for Red

  DmxSpec* iris = valueSpec(x, kIris);
  ASSERT_EQ(iris->ranges.size(), 2u);
  EXPECT_EQ(Dmx().set(8, 50).eval(iris), 1);     // one output: both ends
  EXPECT_EQ(Dmx().set(8, 150).eval(iris), 0.5);  // second word not an output: the first

  EXPECT_EQ(Dmx().set(3, 25).eval(wheel), 0);
  std::vector<std::string> expected = {
      "Unknown gobo \"No Such Gobo\" in file \"" + lib.extensions + "x.lmv\"",
      "Unknown colour \"Off Full\" in file \"" + lib.extensions + "x.lmv\"",
      "MAPPING line not understood in file \"" + lib.extensions + "x.lmv\"",
      "MAPPING line not understood in file \"" + lib.extensions + "x.lmv\"",
      "MAPPING line not understood in file \"" + lib.extensions + "x.lmv\""};
  EXPECT_EQ(log.problems(), expected);
}

TEST_F(ExtensionFilesTest, BitsModesAndChannels) {
  lib.personality("x.r20", personality("X", {{'E', 1}, {'H', 5}, {'K', 8}}));
  lib.extension("x.lmv",
                "DEVICE X\n"
                "CHANREF Dimmer\nUSEBITS 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16\n"
                "DMXOFFSET 6 5\nMAPPING 0 65535 0 255\nEND\n"
                "CHANREF Dimmer\nLMVMODE strobe\nMAPPING 0 9 0 0\nMAPPING 10 255 30 600\nEND\n"
                "CHANREF Gobo 1 Rotate\nLMVMODE Speed\nDMXOFFSET 9\nEND\n"
                "CHANREF Gobo 1 Rotate\nLMVMODE Pulse\nEND\n"
                "CHANREF Pan\nUSEBITS 0 33 32 1\nEND\n"
                "CHANREF\nLMVMODE Time\nEND\n"                   // no name: Dimmer
                "CHANREF Uncategorised\nMAPPING 0 1 0 1\nEND\n"  // no slot: no effect
                "CHANREF Nonsense\nMAPPING 0 1 0 1\nEND\n");
  lib.build();
  LogCapture log;
  FixtureEntry* x = lib.load("X");
  EXPECT_TRUE(log.problems().empty());

  DmxSpecs* dimmer = x->attribute(kDimmer);
  ASSERT_EQ(dimmer->count(), 3);
  DmxSpec* value = dimmer->at(0);
  EXPECT_EQ(value->mode, ModeValue);
  EXPECT_EQ(value->channelCount, 2);
  EXPECT_EQ(value->mask, 0xFFFF);
  EXPECT_EQ(value->channels[0], 5);  // DMXOFFSET 6 5: coarse on channel 6, fine on 5
  EXPECT_EQ(value->channels[1], 4);
  EXPECT_EQ(value->specOffset, 4);
  EXPECT_NEAR(Dmx().set(5, 0xFF).set(4, 0xFF).eval(value), 255, 1e-9);
  DmxSpec* strobe = dimmer->at(1);
  EXPECT_EQ(strobe->mode, ModeStrobe);
  EXPECT_EQ(strobe->channelCount, 1);
  EXPECT_EQ(strobe->channels[0], 5);  // no DMXOFFSET: the value spec's channel
  EXPECT_NEAR(Dmx().set(5, 255).eval(strobe), 600, 1e-9);
  EXPECT_EQ(dimmer->at(2)->mode, ModeTime);

  DmxSpecs* rotate = x->attribute(kGobo1Rotate);
  ASSERT_EQ(rotate->count(), 3);
  EXPECT_EQ(rotate->at(1)->mode, ModeSpeed);
  EXPECT_EQ(rotate->at(1)->channels[0], 8);
  EXPECT_TRUE(rotate->at(1)->ranges.empty());
  EXPECT_EQ(rotate->at(2)->mode, ModePulse);
  EXPECT_EQ(rotate->at(2)->channels[0], 7);
  // Without MAPPING rows the personality's ranges stay.
  EXPECT_NEAR(Dmx().set(7, 255).eval(rotate->at(0)), 360, 1e-9);

  DmxSpec* pan = valueSpec(x, kPan);
  EXPECT_EQ(pan->mask, int(0x80000001u));
  EXPECT_EQ(pan->channelCount, 4);
  EXPECT_EQ(pan->channels[0], 0);
  EXPECT_EQ(pan->channels[3], 3);
}

TEST_F(ExtensionFilesTest, DefaultTablesAndPolarity) {
  lib.personality("a.r20", personality("A", {{'E', 1}, {'F', 2}, {'A', 3}, {'N', 4}, {'I', 5}}));
  lib.personality("b.r20", personality("B", {{'E', 1}, {'A', 3}, {'N', 4}, {'I', 5}, {'J', 6}}));
  lib.personality("c.r20", personality("C", {{'E', 1}}));
  lib.extension("default.lmv",
                "DEVICE default\n"
                "COLOURS\n  Red\n  0 127\n  Blue\n  128 255\n  junk line\nEND\n"
                "GOBOS\n  Star\n  0 99\n  Dot\n  100 255\nEND\n"
                "CHANREF Pan\nEND\n"
                "PANSPEC\n  POLARITY -1\nEND\n");
  // A's own colour table and its own pan direction.
  lib.extension("a.lmv", "DEVICE A\nCOLOURS\nGreen\n0 255\nEND\nPANSPEC\nPOLARITY 1\nEND\n");
  lib.build();
  LogCapture log;
  FixtureEntry* a = lib.load("A");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(log.problems(), (std::vector<std::string>{"Unknown colour \"junk line\" in file \"" +
                                                      lib.extensions + "default.lmv\""}));
  for (int slot : {kColorWheel1, kColorWheel2}) {
    SCOPED_TRACE(attributeForSlot(slot)->name);
    DmxSpec* s = valueSpec(a, slot);
    ASSERT_EQ(s->ranges.size(), 1u);
    EXPECT_EQ(Dmx().set(s->channels[0], 200).eval(s), 3);  // Green, its own
  }
  EXPECT_EQ(Dmx().set(4, 50).eval(valueSpec(a, kGobo1)), 1);   // default gobos: Star
  EXPECT_EQ(Dmx().set(4, 150).eval(valueSpec(a, kGobo1)), 3);  // Dot
  // Default polarity -1 first, then A's own 1 turns it back.
  EXPECT_EQ(a->panPolarity(), 1);
  EXPECT_NEAR(Dmx().eval(valueSpec(a, kPan)), -270, 1e-9);
  // The default entry has no Tilt slot, so there is no default tilt polarity.
  EXPECT_EQ(a->tiltPolarity(), 1);

  FixtureEntry* b = lib.load("B");
  EXPECT_EQ(Dmx().set(2, 0).eval(valueSpec(b, kColorWheel1)), 1);    // Red
  EXPECT_EQ(Dmx().set(3, 200).eval(valueSpec(b, kColorWheel2)), 2);  // Blue
  EXPECT_EQ(Dmx().set(5, 0).eval(valueSpec(b, kGobo2)), 1);          // gobo 2 too
  EXPECT_EQ(b->panPolarity(), -1);
  EXPECT_NEAR(Dmx().eval(valueSpec(b, kPan)), 270, 1e-9);
  // Loading B kept A's own direction and A's own colours.
  EXPECT_EQ(a->panPolarity(), 1);
  EXPECT_EQ(Dmx().set(2, 200).eval(valueSpec(a, kColorWheel1)), 3);
  // Wheels 3 and 4 only come from extension files, which count as the fixture's own table;
  // one given some other way takes the defaults like wheels 1 and 2 at the next full load.
  b->ensureAttribute(kColorWheel4)->specFor(ModeValue, 1, nullptr, -1, 1, 0);
  lib.load("C");
  EXPECT_EQ(Dmx().set(0, 200).eval(valueSpec(b, kColorWheel4)), 2);
  // The built-ins are in the index too and take the defaults.
  FixtureEntry* head = lib.list->findEntry("KorStdMHead");
  EXPECT_EQ(head->panPolarity(), -1);
  EXPECT_EQ(Dmx().set(1, 0).eval(valueSpec(head, kColorWheel1)), 1);
}

TEST_F(ExtensionFilesTest, RedGivesGreenAndBlueOnTheNextChannels) {
  lib.personality("x.r20", personality("X", {{'E', 1}}));
  lib.personality("y.r20", personality("Y", {{'E', 1}, {'D', 2}}));
  lib.extension("x.lmv", "DEVICE X\nCHANREF Red\nDMXOFFSET 7\nMAPPING 0 255 0 200\nEND\n");
  lib.extension("y.lmv", "DEVICE Y\nCHANREF Red\nDMXOFFSET 7\nEND\n");
  lib.build();
  FixtureEntry* x = lib.load("X");
  struct Case {
    int slot, channel;
  } cases[] = {{kRed, 6}, {kGreen, 7}, {kBlue, 8}};
  for (const Case& c : cases) {
    SCOPED_TRACE(attributeForSlot(c.slot)->name);
    DmxSpec* s = valueSpec(x, c.slot);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->channels[0], c.channel);
    EXPECT_EQ(s->specOffset, c.channel);
    EXPECT_NEAR(Dmx().set(c.channel, 255).eval(s), 200, 1e-9);
  }
  FixtureEntry* y = lib.load("Y");
  EXPECT_EQ(valueSpec(y, kGreen)->channels[0], 1);  // its own Green stays
  EXPECT_EQ(valueSpec(y, kBlue)->channels[0], 8);
}

TEST_F(ExtensionFilesTest, BlocksNeverClosedAndUnknownDevices) {
  lib.personality("x.r20", personality("X", {{'E', 1}, {'H', 2}}));
  lib.extension("x.lmv",
                "DEVICE Nobody\nCHANREF Dimmer\nMAPPING 0 255 0 1\nEND\n"  // skipped
                "DEVICE X\n"
                "CHANREF Dimmer\nDMXOFFSET 9\nMAPPING 0 255 0 50\n"    // never closed:
                "CHANREF Pan\nDMXOFFSET 4\nMAPPING 0 255 0 10\nEND\n"  // the next opens
                "CHANREF Iris\nMAPPING 0 255 0 1\n");                  // open at the end
  lib.build();
  LogCapture log;
  FixtureEntry* x = lib.load("X");
  EXPECT_EQ(log.problems(), (std::vector<std::string>{"Error while processing file: \"x.lmv\""}));
  DmxSpec* dimmer = valueSpec(x, kDimmer);
  EXPECT_EQ(dimmer->channels[0], 1);  // the personality's, untouched
  EXPECT_EQ(Dmx().set(1, 255).eval(dimmer), 255);
  EXPECT_NEAR(Dmx().set(3, 255).eval(valueSpec(x, kPan)), 10, 1e-9);
  // The open block already made the slot: an empty list.
  ASSERT_NE(x->attribute(kIris), nullptr);
  EXPECT_EQ(x->attribute(kIris)->count(), 0);
  log.clear();
  EXPECT_EQ(lib.list->findEntry("Nobody"), nullptr);
  lib.list->clearEntries();
  EXPECT_EQ(log.problems(), (std::vector<std::string>{"Fixture entry \"Nobody\" is already NULL"}));
}

TEST_F(ExtensionFilesTest, AbsurdNumbersAndBinaryFiles) {
  lib.personality("x.r20", personality("X", {{'E', 1}, {'H', 2}}));
  std::string binary;
  for (int i = 0; i < 4000; ++i) binary += char((i * 31 + 7) % 256);
  lib.extension("x.lmv",
                "DEVICE X\n"
                "CHANREF Pan\nDMXOFFSET 99999999 -3 70000\nUSEBITS -1 99 4000000000\n"
                "MAPPING if 99999999 0 1 0 255 0 1\n"
                "MAPPING 0 4294967295 0 1\n"
                "MAPPING 0 99999999999 0 1\nEND\n" +
                    binary + "\nDEVICE X\nCOLOURS\n" + binary + "\nEND\n");
  lib.build();
  LogCapture log;
  FixtureEntry* x = lib.load("X");
  ASSERT_TRUE(x->isLoaded());
  DmxSpec* pan = valueSpec(x, kPan);
  EXPECT_EQ(pan->channels[0], 0);  // refused offsets: the channel stays
  EXPECT_EQ(pan->mask, 0);
  ASSERT_EQ(pan->ranges.size(), 1u);
  EXPECT_EQ(uint32_t(pan->ranges[0].high), 0xFFFFFFFFu);
  EXPECT_GE(log.problems().size(), 5u);
}

TEST(ExtensionFilesAlone, ProcessFileWithoutADefaultFile) {
  TempDir dir("fxextalone");
  writeFile(dir.file("one.lmv"), "DEVICE default\nCOLOURS\nRed\n0 255\nEND\n");
  FixtureList list;
  ExtensionFiles reader(list);
  reader.processExtensions(dir.folder(), "one.lmv");  // no default.lmv: "default" has no target
  EXPECT_EQ(reader.defaultEntry(), nullptr);
  EXPECT_EQ(reader.targetEntry(), nullptr);
  EXPECT_FALSE(reader.hasPendingRows());
  reader.processExtensions(dir.folder(), "[o]ne.lmv");  // names are never patterns
  reader.processExtensions("/no/such/folder/", "x.lmv");
}

}  // namespace
