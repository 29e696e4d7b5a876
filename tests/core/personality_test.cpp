#include <gtest/gtest.h>

#include "fixture_test_util.h"
#include "fixtures/attributes.h"

using namespace lmv;
using namespace lmvtest;

namespace {

// A channel line: number, 'S' for 16 bits, channel, flags (second character 'I' inverts),
// attribute letter, name, optional outputs for DMX 0 and the DMX maximum.
std::string chan(const std::string& bits, const std::string& channel, const std::string& flags,
                 const std::string& letter, const std::string& name = "x",
                 const std::string& outputs = "") {
  return "CHAN 1 " + bits + " " + channel + " 0 " + flags + " " + letter + " 0 \"" + name +
         "\" 0 0 0" + (outputs.empty() ? "" : " " + outputs) + "\n";
}

std::string personality(const std::string& device, const std::string& mirror,
                        const std::string& channels) {
  return "DEVICE " + device + "\nNAME \"Maker\" \"Model\"\nTYPE 1 24\n" + mirror + "\nDMX\n" +
         channels + "END\n";
}

TEST(BuiltInPersonalities, TableOfChannelsAndRanges) {
  Library lib("fxbuiltin");
  lib.extension("default.glb", "A\n0 0\nB\n0 0\nC\n0 0\n");  // 3 gobos
  lib.extension("default.clb", "W\nX\nY\nZ\n");              // 4 colours
  FixtureList& list = lib.build();
  struct Case {
    const char* device;
    int slot, channel;
    double at0, at255;
  } cases[] = {
      {"KorStdMHead", kIris, 0, 0, 1},
      {"KorStdMHead", kColorWheel1, 1, 0, 4 * 255 / 256.0},
      {"KorStdMHead", kDimmer, 3, 0, 255},
      {"KorStdMHead", kPan, 4, -180, 178.59375},
      {"KorStdMHead", kTilt, 5, -180, 178.59375},
      {"KorStdMMirr", kTilt, 5, -80, 79.375},
      {"KorStdMHead", kZoom, 6, 0, 25.5},
      {"KorStdMHead", kGobo1, 10, 0, 3 * 255 / 256.0},
      {"KorStdMHead", kGobo1Rotate, 12, 0, 358.59375},
      {"KorStdMMirr", kRed, 13, 0, 255},
      {"KorStdMMirr", kGreen, 14, 0, 255},
      {"KorStdMMirr", kBlue, 15, 0, 255},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.device) + " " + attributeForSlot(c.slot)->name);
    FixtureEntry* e = list.findEntry(c.device);
    ASSERT_NE(e, nullptr);
    ASSERT_EQ(e->attribute(c.slot)->count(), 1);
    DmxSpec* s = valueSpec(e, c.slot);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->channelCount, 1);
    EXPECT_EQ(s->channels[0], c.channel);
    EXPECT_EQ(s->specOffset, c.channel);
    EXPECT_EQ(s->bigEndian, 1);
    EXPECT_EQ(s->isSigned, 0);
    ASSERT_EQ(s->ranges.size(), 1u);
    EXPECT_EQ(s->ranges[0].low, 0);
    EXPECT_EQ(s->ranges[0].high, 255);
    EXPECT_NEAR(Dmx().set(c.channel, 0).eval(s), c.at0, 1e-9);
    EXPECT_NEAR(Dmx().set(c.channel, 255).eval(s), c.at255, 1e-9);
  }
  for (int slot :
       {kGobo2, kGobo2Rotate, kColorWheel2, kFocus, kShutter, kPrism, kEffectRotate, kFrost})
    EXPECT_EQ(list.findEntry("KorStdMHead")->attribute(slot), nullptr) << slot;
  EXPECT_EQ(list.findEntry("KorStdMHead")->loadPersonality(), 0);  // never parsed
}

TEST(PersonalityLoad, HeaderLinesAndTheMirrorRule) {
  Library lib("fxheader");
  lib.personality("wide.r20", personality("Wide", "MIRROR 0 540 270",
                                          chan("B", "1", "--", "E") + chan("B", "2", "--", "F")));
  lib.personality("odd.r20", personality("Odd", "MIRROR 1 -1 3",
                                         chan("B", "1", "--", "E") + chan("B", "2", "--", "F")));
  lib.personality("late.r20",
                  "DEVICE Late\nDMX\n" + chan("B", "1", "--", "E") + "END\nMIRROR 2 100 100\n");
  lib.personality("gap.r20", "DEVICE Gap\nMIRROR 7\nTYPE 1 9\n");
  FixtureList& list = lib.build();
  struct Case {
    const char* device;
    char kind;
    int panMin, panMax, tiltMin, tiltMax;
    double panAt0, panAt255;
  } cases[] = {
      {"Wide", 'h', -270, 270, -135, 135, -270, 270},
      {"Odd", 'm', 0, 0, -1, 1, 0, 0},
      // The ranges in force when the channel line was read: the defaults.
      {"Late", 'h', -50, 50, -50, 50, -90, 90},
      // A MIRROR line without numbers leaves the ranges; 7 is neither head nor mirror.
      {"Gap", '?', -90, 90, -90, 90, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.device);
    FixtureEntry* e = list.findEntry(c.device);
    ASSERT_NE(e, nullptr);
    EXPECT_FALSE(e->isLoaded());
    EXPECT_EQ(e->loadPersonality(), 1);
    EXPECT_TRUE(e->isLoaded());
    EXPECT_EQ(e->loadState(), FixtureEntry::kLoaded);
    EXPECT_EQ(e->kind(), c.kind);
    EXPECT_EQ(e->panMin(), c.panMin);
    EXPECT_EQ(e->panMax(), c.panMax);
    EXPECT_EQ(e->tiltMin(), c.tiltMin);
    EXPECT_EQ(e->tiltMax(), c.tiltMax);
    if (DmxSpec* pan = valueSpec(e, kPan)) {
      EXPECT_NEAR(Dmx().eval(pan), c.panAt0, 1e-9);
      EXPECT_NEAR(Dmx().set(0, 255).eval(pan), c.panAt255, 1e-9);
    }
  }
  FixtureEntry* wide = list.findEntry("Wide");
  EXPECT_EQ(wide->channelCount(), 24);
  EXPECT_EQ(wide->displayName(), "Maker Model");
  EXPECT_EQ(list.findEntry("Gap")->channelCount(), 9);
}

TEST(PersonalityLoad, ChannelLines) {
  Library lib("fxchannels");
  lib.extension("default.glb", "A\n0 0\nB\n0 0\n");  // 2 gobos
  lib.extension("default.clb", "W\nX\nY\n");         // 3 colours
  lib.personality("p.r20",
                  personality("P", "MIRROR 0 360 180",
                              chan("B", "3", "xI", "H") +                    // inverted dimmer
                                  chan("S", "5", "--", "E") +                // 16-bit pan
                                  chan("s", "8", "--", "F") +                // 16-bit tilt...
                                  chan("B", "12", "--", "0", "Tilt Low") +   // ...fine on 12
                                  chan("B", "0", "--", "G") +                // iris, no channel
                                  chan("B", "10", "-I", "Q", "z", "4 20") +  // zoom 20..4
                                  chan("B", "11", "--", "A") + chan("B", "13", "--", "I") +
                                  chan("B", "14", "--", "K") + chan("B", "15", "--", "B") +
                                  chan("B", "16", "--", "L") +            // focus: never read
                                  chan("B", "17", "--", "U") +            // uncategorised
                                  chan("B", "18", "--", "T") +            // not in the table
                                  chan("B", "19", "--", "H", "Dimmer 2")  // a second dimmer line
                              ));
  lib.build();
  FixtureEntry* e = lib.load("P");
  ASSERT_NE(e, nullptr);

  DmxSpec* dimmer = valueSpec(e, kDimmer);
  ASSERT_NE(dimmer, nullptr);
  EXPECT_EQ(dimmer->channels[0], 2);
  EXPECT_EQ(Dmx().set(2, 0).eval(dimmer), 255);
  EXPECT_EQ(Dmx().set(2, 255).eval(dimmer), 0);
  EXPECT_EQ(e->attribute(kDimmer)->count(), 1);  // the second line only counts as fine

  DmxSpec* pan = valueSpec(e, kPan);
  EXPECT_EQ(pan->channelCount, 2);
  EXPECT_EQ(pan->channels[0], 4);
  EXPECT_EQ(pan->channels[1], 5);  // no fine line: the next channel
  EXPECT_EQ(pan->ranges[0].high, 65535);
  EXPECT_NEAR(Dmx().set(4, 0xFF).set(5, 0xFF).eval(pan), 180, 1e-9);
  EXPECT_NEAR(Dmx().set(4, 0x80).eval(pan), -180 + 360.0 * 0x8000 / 65535, 1e-9);

  DmxSpec* tilt = valueSpec(e, kTilt);
  EXPECT_EQ(tilt->channels[0], 7);
  EXPECT_EQ(tilt->channels[1], 11);
  EXPECT_EQ(tilt->specOffset, 7);
  EXPECT_NEAR(Dmx().set(7, 0xFF).set(11, 0xFF).eval(tilt), 90, 1e-9);

  DmxSpec* iris = valueSpec(e, kIris);
  EXPECT_EQ(iris->specOffset, 66047);  // absolute channel 511
  EXPECT_EQ(iris->channels[0], 511);
  EXPECT_NEAR(Dmx().set(511, 255).eval(iris), 1, 1e-12);

  DmxSpec* zoom = valueSpec(e, kZoom);
  EXPECT_EQ(Dmx().set(9, 0).eval(zoom), 20);
  EXPECT_EQ(Dmx().set(9, 255).eval(zoom), 4);

  struct Range {
    int slot, channel;
    double at255;
  } ranges[] = {{kColorWheel1, 10, 3}, {kGobo1, 12, 2}, {kGobo1Rotate, 13, 360}, {kRed, 14, 255}};
  for (const Range& r : ranges) {
    SCOPED_TRACE(attributeForSlot(r.slot)->name);
    DmxSpec* s = valueSpec(e, r.slot);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->channels[0], r.channel);
    EXPECT_EQ(Dmx().eval(s), 0);
    EXPECT_NEAR(Dmx().set(r.channel, 255).eval(s), r.at255, 1e-12);
  }
  for (int slot : {kFocus, kShutter, kGreen, kBlue, kGobo2})
    EXPECT_EQ(e->attribute(slot), nullptr) << attributeForSlot(slot)->name;
}

TEST(PersonalityLoad, FineChannelBelowTheCoarseOneKeepsBothPlaces) {
  Library lib("fxfine");
  lib.personality("p.r20", personality("P", "MIRROR 0 360 180",
                                       chan("B", "1", "--", "0", "Pan Low") +  // before coarse:
                                           chan("S", "3", "--", "E") +         // ignored
                                           chan("B", "2", "--", "0", "Pan Low")));
  lib.build();
  DmxSpec* pan = valueSpec(lib.load("P"), kPan);
  ASSERT_NE(pan, nullptr);
  EXPECT_EQ(pan->channels[0], 2);
  EXPECT_EQ(pan->channels[1], 1);
  // Patching moves the lowest byte to the light's address + offset: both keep their place.
  EXPECT_EQ(pan->specOffset, 1);
  pan->setBase(100);
  EXPECT_EQ(pan->channels[0], 102);
  EXPECT_EQ(pan->channels[1], 101);
}

TEST(PersonalityLoad, PolarityReversesOnceForEachChange) {
  Library lib("fxpolarity");
  lib.personality("p.r20", personality("P", "MIRROR 0 540 270",
                                       chan("B", "1", "--", "E") + chan("B", "2", "--", "F")));
  lib.build();
  FixtureEntry* e = lib.load("P");
  DmxSpec* pan = valueSpec(e, kPan);
  e->setPanPolarity(-1);
  e->setPanPolarity(-1);  // the same value again: nothing
  EXPECT_EQ(e->panPolarity(), -1);
  EXPECT_EQ(e->panMin(), 270);
  EXPECT_EQ(e->panMax(), -270);
  EXPECT_NEAR(Dmx().eval(pan), 270, 1e-9);
  EXPECT_NEAR(Dmx().set(0, 255).eval(pan), -270, 1e-9);
  e->setPanPolarity(1);
  EXPECT_EQ(e->panMin(), -270);
  EXPECT_NEAR(Dmx().eval(pan), -270, 1e-9);
  EXPECT_NEAR(Dmx().set(0, 255).eval(pan), 270, 1e-9);
  // Tilt alone.
  e->setTiltPolarity(0);
  EXPECT_EQ(e->tiltMin(), 135);
  EXPECT_NEAR(Dmx().set(1, 255).eval(valueSpec(e, kTilt)), -135, 1e-9);
  EXPECT_EQ(e->panPolarity(), 1);
  // Without the attribute only the range turns round.
  FixtureEntry bare;
  bare.setPanPolarity(5);
  EXPECT_EQ(bare.panMin(), 90);
  EXPECT_EQ(bare.panPolarity(), 5);
}

TEST(PersonalityLoad, MissingFileLeavesTheEntryAsItWas) {
  Library lib("fxgone");
  lib.personality("gone.r20", personality("Gone", "MIRROR 1", chan("B", "1", "--", "E")));
  FixtureList& list = lib.build();
  fs::remove(lib.personalities + "gone.r20");
  FixtureEntry* e = list.findEntry("Gone");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->loadPersonality(), 0);
  EXPECT_EQ(e->loadState(), 0);
  EXPECT_EQ(e->device(), "Gone");
  EXPECT_EQ(e->kind(), 'm');
  FixtureEntry standalone;
  EXPECT_EQ(standalone.loadPersonality(), 0);
}

TEST(PersonalityLoad, BadInputIsRefusedCleanly) {
  Library lib("fxbad");
  std::string binary;
  for (int i = 0; i < 3000; ++i) binary += char((i * 7919) % 256);
  lib.personality("binary.r20", "DEVICE Binary\n" + binary + "\n");
  lib.personality("cut.r20", "DEVICE Cut\nMIRROR 0 200 100\nDMX\nCHAN 1 B 1 0 -- E 0 \"Pa");
  lib.personality("absurd.r20",
                  personality("Absurd", "MIRROR 0 2147483647 -2147483648",
                              chan("B", "99999999999", "--", "H") + chan("S", "70000", "--", "E") +
                                  chan("B", "-5", "--", "F") +
                                  chan("B", "2", "--", "B", "r", "-2147483648 2147483647")) +
                      "DMX\nCHAN\n" + std::string(300, 'Q') + "\nEND\nTYPE 1 100000\n");
  FixtureList& list = lib.build();
  LogCapture log;
  FixtureEntry* binaryEntry = lib.load("Binary");
  ASSERT_NE(binaryEntry, nullptr);
  EXPECT_TRUE(binaryEntry->isLoaded());

  FixtureEntry* cut = lib.load("Cut");
  ASSERT_NE(cut, nullptr);
  EXPECT_EQ(cut->attribute(kPan), nullptr);  // the unterminated last line is not read
  EXPECT_EQ(cut->panMax(), 100);

  log.clear();
  FixtureEntry* absurd = list.findEntry("Absurd");
  ASSERT_EQ(absurd->loadPersonality(), 1);
  EXPECT_EQ(absurd->attribute(kDimmer), nullptr);
  EXPECT_EQ(absurd->attribute(kPan), nullptr);
  EXPECT_EQ(absurd->panMax(), 1073741823);
  EXPECT_EQ(absurd->panMin(), -1073741823);
  EXPECT_EQ(absurd->tiltMax(), -1073741823);
  EXPECT_EQ(valueSpec(absurd, kTilt)->specOffset, 66047);  // a negative channel: none given
  EXPECT_EQ(absurd->channelCount(), 24);                   // 100000 refused
  DmxSpec* red = valueSpec(absurd, kRed);
  EXPECT_NEAR(Dmx().set(1, 255).eval(red), 2147483647.0, 1e-3);
  EXPECT_NEAR(Dmx().eval(red), -2147483647.0, 1e-3);
  EXPECT_EQ(log.problems().size(), 3u);
}

}  // namespace
