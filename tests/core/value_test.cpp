#include "model/value.h"

#include <gtest/gtest.h>

#include <cstring>

#include "model/coordinates.h"
#include "platform/clock.h"
#include "testutil.h"

using namespace lmv;
using lmv::test::StringLoad;

namespace {

// A value list over its own DMX buffer and a hand-driven clock.
class ValueFixture : public ::testing::Test {
 protected:
  ValueFixture() {
    list.setDmxBuffer(dmx, sizeof dmx);
    list.setClock(&clock);
  }
  void at(double seconds) {
    clock.set(int64_t(seconds * 1000 + 0.5));
    list.update();
  }
  uint8_t dmx[64] = {};
  ManualClock clock;
  ValueList list;
};

struct DecodeCase {
  const char* name;
  int count;
  int bigEndian;
  int isSigned;
  std::vector<uint8_t> bytes;  // channels 0..count-1
  std::vector<Range> ranges;
  double expected;
  bool applies;
};

TEST(DmxSpec, DecodingTable) {
  auto range = [](int lo, int hi, double scale, double offset) {
    return Range(lo, hi, scale, offset);
  };
  const DecodeCase cases[] = {
      {"big-endian 16 bit", 2, 1, 0, {0x12, 0x34}, {range(0, 65535, 0.5, 10)}, 2340, true},
      {"little-endian 16 bit", 2, 0, 0, {0x34, 0x12}, {range(0, 65535, 0.5, 10)}, 2340, true},
      {"signed uses sign-filled value", 2, 1, 1, {0xFF, 0xFE}, {range(0, 65535, 0.5, 10)}, 9, true},
      {"signed byte tests raw 128", 1, 1, 1, {0x80}, {range(0, 255, 1, 0)}, -128, true},
      {"signed little-endian msb last",
       2,
       0,
       1,
       {0x00, 0x80},
       {range(0, 65535, 1, 0)},
       -32768,
       true},
      {"first applying range wins",
       1,
       1,
       0,
       {200},
       {range(0, 127, 1, 0), range(128, 255, 2, 1), range(0, 255, 9, 9)},
       401,
       true},
      {"no range applies gives 0", 1, 1, 0, {200}, {range(0, 127, 1, 0)}, 0, false},
      {"no ranges at all", 1, 1, 0, {200}, {}, 0, false},
      {"24 bit", 3, 1, 0, {0x01, 0x02, 0x03}, {range(0, 16777215, 1, 0)}, 0x010203, true},
      {"32 bit full range", 4, 1, 0, {0, 0, 1, 0}, {range(0, -1, 1, 0)}, 256, true},
  };
  for (const DecodeCase& c : cases) {
    SCOPED_TRACE(c.name);
    uint8_t buf[8] = {};
    memcpy(buf, c.bytes.data(), c.bytes.size());
    DmxSpec spec;
    spec.channels[0] = 0;
    spec.setLayout(c.count, c.bigEndian, c.isSigned);
    spec.mask = 0x0F;  // masks are kept, never applied
    spec.ranges = c.ranges;
    double out = -1;
    EXPECT_EQ(spec.evaluate(DmxView{buf, 8}, out), c.applies);
    EXPECT_DOUBLE_EQ(out, c.expected);
  }
}

TEST(DmxSpec, SelectChannelsAndChannelsOutsideBuffer) {
  uint8_t buf[8] = {};
  DmxSpec spec;
  spec.channels[0] = 5;
  spec.setLayout(1, 1, 0);
  spec.addRange(0, 127, 1, 1000);  // placed first, applies only while channel 6 >= 128
  spec.ranges[0].selectChannel = 6;
  spec.ranges[0].selLow = 128;
  spec.addRange(0, 255, 1, 0);
  DmxView view{buf, 8};
  double out = 0;
  buf[5] = 100;
  buf[6] = 127;
  spec.evaluate(view, out);
  EXPECT_EQ(out, 100);
  buf[6] = 128;
  spec.evaluate(view, out);
  EXPECT_EQ(out, 1100);
  // Channels and select channels beyond the buffer read as 0.
  spec.channels[0] = 5000;
  spec.ranges[0].selectChannel = -7;
  spec.ranges[0].selLow = 0;
  spec.evaluate(view, out);
  EXPECT_EQ(out, 1000);
  spec.ranges[0].selectChannel = 9000;
  spec.ranges[0].selLow = 1;
  spec.evaluate(view, out);
  EXPECT_EQ(out, 0);
}

TEST(DmxSpec, ConfigureRebaseInterpolateAndInverse) {
  DmxSpec spec;
  spec.configure(1, 1, 0, 2.0, 10, 100);
  uint8_t buf[4] = {10, 11};
  double out = 0;
  spec.evaluate(DmxView{buf, 4}, out);
  EXPECT_EQ(out, 100);
  spec.evaluate(DmxView{buf + 1, 3}, out);
  EXPECT_EQ(out, 102);
  EXPECT_EQ(spec.rawForValue(100), int(10 * 256 + 0.5));  // one-channel specs scale by 256

  DmxSpec pos;
  pos.channels[0] = 7;
  pos.setLayout(2, 1, 0);
  pos.addRange(0, 255, 1, 0);
  pos.ranges[0].selectChannel = 9;
  pos.specOffset = 2;
  pos.setBase(100);
  EXPECT_EQ(pos.channels[0], 102);
  EXPECT_EQ(pos.channels[1], 103);
  EXPECT_EQ(pos.ranges[0].selectChannel, 104);
  pos.setOffset(65536 + 300);
  EXPECT_EQ(pos.channels[0], 300);
  EXPECT_EQ(pos.channels[1], 301);
  EXPECT_EQ(pos.start(), 300 + 65536);
  pos.specBase = -1;  // unpatched: nothing moves
  pos.rebase();
  EXPECT_EQ(pos.channels[0], 300);
  EXPECT_EQ(pos.rawForValue(1000), -1);
  EXPECT_EQ(pos.rawForValue(200), 200);

  DmxSpec two;
  two.addRange(0, 100, 1, 0);
  two.addRange(200, 300, 1, 0);
  EXPECT_DOUBLE_EQ(two.interpolate(0.25), 50);
  EXPECT_DOUBLE_EQ(two.interpolate(0.75), 250);
  two.ranges.back().low = 70000;  // a last range from 65536 up takes the whole fraction
  two.ranges.back().high = 70100;
  EXPECT_DOUBLE_EQ(two.interpolate(0.5), 70050);
  EXPECT_EQ(DmxSpec().interpolate(0.5), 0);
}

TEST_F(ValueFixture, DisabledValueKeepsWhatWasSet) {
  Value* v = list.newValue();
  v->positionSpec()->addRange(0, 255, 1, 0);
  v->setValue(42);
  dmx[3] = 200;  // least significant of the four big-endian channels 0..3
  at(1);
  EXPECT_EQ(v->currentValue(), 42);
  v->enableDmx();
  at(2);
  EXPECT_EQ(v->currentValue(), 200);
}

TEST_F(ValueFixture, SpeedPulseAndStrobeOverTime) {
  const int position[1] = {0};
  const int rateChannel[1] = {1};
  auto build = [&](int mode) {
    Value* v = list.newValue();
    v->clearSpecs();
    DmxSpec* pos = v->specFor(ModeValue, 1, position, -1, 1, 0);
    pos->addRange(0, 255, 1, 0);
    v->specFor(mode, 1, rateChannel, -1, 1, 0)->addRange(0, 255, 1, 0);
    v->enableDmx();
    return v;
  };
  dmx[0] = 0;
  dmx[1] = 60;  // cycles per minute... per second here: the rate is decoded as 60
  Value* speed = build(ModeSpeed);
  Value* pulse = build(ModePulse);
  Value* strobe = build(ModeStrobe);
  // The position channel holds no range match for the strobe, so it opens fully.
  strobe->specs.at(0)->ranges[0].low = 1;

  struct Step {
    double t, speed, pulse;
  } steps[] = {{0, 0, 0},          {0.25, 63.75, 63.75},   {0.5, 127.5, 127.5},
               {1.0, 0, 254.9745}, {1.5, 127.5, 127.4745}, {2.25, 63.75, 0}};
  for (const Step& s : steps) {
    SCOPED_TRACE(s.t);
    at(s.t);
    EXPECT_NEAR(speed->currentValue(), s.speed, 1e-6);
    EXPECT_NEAR(pulse->currentValue(), s.pulse, 1e-6);
  }

  // Strobe (running since t = 0): rate 0 closes, 1 opens fully, 120 alternates every
  // quarter second.
  dmx[1] = 0;
  at(3);
  EXPECT_EQ(strobe->currentValue(), 0);
  dmx[1] = 1;
  at(3.1);
  EXPECT_EQ(strobe->currentValue(), 255);
  dmx[1] = 120;
  struct Flash {
    double t, value;
  } flashes[] = {{3.2, 255}, {3.3, 0}, {3.4, 0}, {3.5, 255}, {3.65, 255}, {3.9, 0}};
  for (const Flash& f : flashes) {
    SCOPED_TRACE(f.t);
    at(f.t);
    EXPECT_EQ(strobe->currentValue(), f.value);
  }
}

TEST_F(ValueFixture, CopySwapAndBaseAll) {
  Value* a = list.newValue();
  Value* b = list.newValue();
  a->setValue(5);
  a->positionSpec()->addRange(0, 255, 2, 0);
  b->setValue(7);
  b->setDmxBase(10);
  a->swapWith(*b);
  EXPECT_EQ(a->currentValue(), 7);
  EXPECT_EQ(b->currentValue(), 5);
  EXPECT_EQ(b->positionSpec()->ranges.size(), 1u);
  EXPECT_EQ(a->positionSpec()->ranges.size(), 0u);
  EXPECT_EQ(a->specs.at(0)->owner, a);  // copied specs belong to their new value
  EXPECT_EQ(list.values.first(), a);    // list order untouched

  const int ch[2] = {3, 4};
  b->specFor(ModeSpeed, 2, ch, -1, 1, 0);
  b->setBaseAll(50);
  EXPECT_EQ(b->dmxEnabled, 1);
  EXPECT_EQ(b->positionSpec()->channels[0], 50);
  EXPECT_EQ(b->specs.firstOfMode(ModeSpeed)->channels[0], 50);
  EXPECT_EQ(b->dmxStart(), 50);
}

// The globals' four values of a saved theatre, exactly as written.
const char* kFourValues = R"(Globals
 smoke
  Value
   valueBuffer
    100.000000
   dmxEnabled
    0
   dmxSpec 0
    DmxSpec
     mode
      0
     channels
      0 1 2 3
     mbimdd
      -1 1 0 1000000.000000 0 0
)";

TEST_F(ValueFixture, ValueSectionRoundTripAndBase) {
  std::string text = std::string(kFourValues).substr(strlen("Globals\n smoke\n"));
  // Re-indent to prefix "" so the section stands alone.
  std::string section;
  std::istringstream lines(text);
  for (std::string l; std::getline(lines, l);) section += l.substr(2) + "\n";
  section += "   range 0\n    0 255 2.500000 -1.000000 6 128 255\n";
  StringLoad s(section);
  Value* v = list.newValue();
  v->load(s.load);
  EXPECT_EQ(s.load.state, ReadEnd);
  char* buf = nullptr;
  size_t size = 0;
  FILE* out = open_memstream(&buf, &size);
  v->save(out, "");
  fclose(out);
  EXPECT_TRUE(test::sameText(section, std::string(buf, size)));
  free(buf);
  ASSERT_EQ(v->specs.count(), 1);
  EXPECT_EQ(v->positionSpec()->ranges[0].selectChannel, 6);

  // The written number is value + base; reading fills value and leaves base alone.
  Value* w = list.newValue();
  w->base = 10;
  w->value = 5;
  out = open_memstream(&buf, &size);
  w->save(out, "");
  fclose(out);
  StringLoad back(std::string(buf, size));
  free(buf);
  Value* fresh = list.newValue();
  fresh->load(back.load);
  EXPECT_EQ(fresh->value, 15);
  EXPECT_EQ(fresh->base, 0);
}

TEST_F(ValueFixture, RangeLineWithoutSelectMembersGetsDefaults) {
  StringLoad s("DmxSpec\n mode\n  1\n channels\n  7 8 9 10 11\n range 0\n  0 255 1 0\n");
  DmxSpec spec;
  spec.load(s.load);
  EXPECT_EQ(spec.mode, ModeSpeed);
  EXPECT_EQ(spec.channelCount, 4);  // further channel tokens ignored
  EXPECT_EQ(spec.channels[3], 10);
  ASSERT_EQ(spec.ranges.size(), 1u);
  EXPECT_EQ(spec.ranges[0].selectChannel, -1);
  EXPECT_EQ(spec.ranges[0].selLow, -32768);
  EXPECT_EQ(spec.ranges[0].selHigh, 32767);
}

TEST_F(ValueFixture, OldSyntaxSingleAndTriple) {
  std::vector<DMXEntry> legacy = {{1, 12}, {13, 24}};
  list.dmxList = &legacy;
  list.fileVersion = 4000;
  list.loadingDmxBase = 10;

  StringLoad one(
      "Value\n dmxEntry\n  1\n value\n  1 44\n structure\n  0 2 1 1 0 0 100 0.5 0\n"
      " dmxBytes\n  9\n");
  Value* v = list.newValue();
  v->load(one.load);
  EXPECT_EQ(one.load.state, ReadEnd);
  EXPECT_DOUBLE_EQ(v->value, (256 + 44) * 0.5 + 100);
  EXPECT_EQ(v->dmxEnabled, 1);
  EXPECT_EQ(v->positionSpec()->specBase, 10);
  EXPECT_EQ(v->positionSpec()->specOffset, 3);
  EXPECT_EQ(v->positionSpec()->channels[0], 13);
  EXPECT_EQ(v->positionSpec()->channelCount, 2);

  Coordinates c(list);
  StringLoad three(
      "Coordinates\n value\n  Value\n   dmxEntry\n    0\n   value\n    0 1 0 2 255 254\n"
      "   structure\n    0 2 3 1 1 0 0 1.0 0\n");
  c.load(three.load);
  double got[3];
  c.get(got);
  EXPECT_EQ(got[0], 1);
  EXPECT_EQ(got[1], 2);
  EXPECT_EQ(got[2], -2);  // signed, sign filled from the most significant byte
  for (int k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(c.v[k]->positionSpec()->specOffset, k * 2 + 1 - 10);
    EXPECT_EQ(c.v[k]->positionSpec()->channels[0], 1 + 2 * k);
    EXPECT_EQ(c.v[k]->dmxEnabled, 1);
  }

  Coordinates entryOnly(list);
  StringLoad noStructure("Coordinates\n value\n  Value\n   dmxEntry\n    1\n");
  entryOnly.load(noStructure.load);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(entryOnly.v[k]->positionSpec()->specOffset, 13 + k - 10);
  list.dmxList = nullptr;
}

TEST_F(ValueFixture, CoordinatesReadValuesInOrderWhateverTheirIndex) {
  Coordinates c(list, 0.0625);
  // Positions decode two signed big-endian channels at 1/16.
  EXPECT_EQ(c.v[0]->positionSpec()->channelCount, 2);
  EXPECT_EQ(c.v[0]->positionSpec()->isSigned, 1);
  EXPECT_EQ(c.v[0]->positionSpec()->ranges[0].scale, 0.0625);
  std::string section = "Coordinates\n";
  for (int i : {7, 7, 0, 9}) {
    section += " value " + std::to_string(i) + "\n  Value\n   valueBuffer\n    " +
               std::to_string(i + 1) + ".0\n";
  }
  StringLoad s(section);
  c.load(s.load);
  EXPECT_EQ(s.load.state, ReadEnd);
  EXPECT_TRUE(c.equals(8, 8, 1));
}

}  // namespace
