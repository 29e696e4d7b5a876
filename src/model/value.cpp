#include "model/value.h"

#include <cmath>
#include <cstring>

#include "model/load.h"
#include "platform/clock.h"

namespace lmv {

uint32_t fullRawValue(int byteCount) {
  switch (byteCount) {
    case 1:
      return 0xFFu;
    case 2:
      return 0xFFFFu;
    case 3:
      return 0xFFFFFFu;
    default:
      return 0xFFFFFFFFu;
  }
}

namespace {

int clampCount(int n) {
  return n < 1 ? 1 : (n > 4 ? 4 : n);
}

// The sign-filled integer of n bytes (n = 1..4) taken in the given byte order.
template <class ByteAt>
uint32_t assemble(int n, int bigEndian, int isSigned, ByteAt byteAt) {
  uint8_t msb = bigEndian ? byteAt(0) : byteAt(n - 1);
  uint32_t v = (isSigned && (msb & 0x80)) ? 0xFFFFFFFFu : 0u;
  for (int i = 0; i < n; ++i) {
    uint8_t b = bigEndian ? byteAt(n - 1 - i) : byteAt(i);
    v = (v & ~(0xFFu << (8 * i))) | (uint32_t(b) << (8 * i));
  }
  return v;
}

}  // namespace

// ---------------------------------------------------------------- DmxSpec

void DmxSpec::beginEdit() {
  if (editDepth++ == 0 && owner) owner->beginEdit();
}

void DmxSpec::endEdit() {
  if (--editDepth <= 0) {
    bool closing = editDepth == 0;
    editDepth = 0;
    if (closing && owner) owner->endEdit();
  }
}

int DmxSpec::lowestChannel() const {
  int n = channelCount < 0 ? 0 : (channelCount > 4 ? 4 : channelCount);
  int low = 1000000;
  for (int i = 0; i < n; ++i)
    if (channels[i] < low) low = channels[i];
  return low;
}

int DmxSpec::start() const {
  return lowestChannel() + (specOffset >= 65536 ? 65536 : 0);
}

void DmxSpec::rebase() {
  if (specBase < 0) return;
  int target = specOffset < 65536 ? specBase + specOffset : specOffset - 65536;
  int delta = target - lowestChannel();
  int n = channelCount < 0 ? 0 : (channelCount > 4 ? 4 : channelCount);
  for (int i = 0; i < n; ++i) channels[i] += delta;
  for (Range& r : ranges)
    if (r.selectChannel >= 0) r.selectChannel += delta;
}

void DmxSpec::setBase(int base) {
  beginEdit();
  specBase = base;
  rebase();
  endEdit();
}

void DmxSpec::setOffset(int offset) {
  beginEdit();
  specOffset = offset;
  rebase();
  endEdit();
}

void DmxSpec::setLayout(int count, int be, int sign) {
  beginEdit();
  channelCount = clampCount(count);
  bigEndian = be;
  isSigned = sign;
  for (int i = 1; i < 4; ++i) channels[i] = channels[0] + i;
  endEdit();
}

void DmxSpec::configure(int count, int be, int sign, double scale, double rawRef, double valueRef) {
  beginEdit();
  setLayout(count, be, sign);
  if (ranges.empty()) ranges.emplace_back();
  Range& r = ranges.front();
  r.low = 0;
  r.high = int(fullRawValue(channelCount));
  r.scale = scale;
  r.offset = valueRef - rawRef * scale;
  endEdit();
}

void DmxSpec::addRange(int low, int high, double scale, double offset) {
  beginEdit();
  ranges.emplace_back(low, high, scale, offset);
  endEdit();
}

void DmxSpec::clearRanges() {
  beginEdit();
  ranges.clear();
  endEdit();
}

void DmxSpec::copyFrom(const DmxSpec& o) {
  beginEdit();
  mode = o.mode;
  channelCount = o.channelCount;
  memcpy(channels, o.channels, sizeof channels);
  mask = o.mask;
  bigEndian = o.bigEndian;
  isSigned = o.isSigned;
  ranges.clear();
  for (const Range& r : o.ranges) {
    Range& c = ranges.emplace_back(r.low, r.high, r.scale, r.offset);
    c.selectChannel = r.selectChannel;
    c.selLow = r.selLow;
    c.selHigh = r.selHigh;
  }
  maxRate = o.maxRate;
  specBase = o.specBase;
  specOffset = o.specOffset;
  endEdit();
}

bool DmxSpec::evaluate(const DmxView& dmx, double& out) const {
  int n = channelCount > 4 ? 4 : channelCount;
  uint32_t v = 0;
  uint32_t raw = 0;
  if (n > 0) {
    v = assemble(n, bigEndian, isSigned, [&](int i) { return dmx.at(channels[i]); });
    raw = n == 4 ? v : v & ((1u << (8 * n)) - 1u);
  }
  for (const Range& r : ranges) {
    if (r.selectChannel >= 0) {
      int b = dmx.at(r.selectChannel);
      if (b < r.selLow || b > r.selHigh) continue;
    }
    if (uint32_t(r.low) <= raw && raw <= uint32_t(r.high)) {
      out = double(int32_t(v)) * r.scale + r.offset;
      return true;
    }
  }
  out = 0;
  return false;
}

double DmxSpec::interpolate(double p) const {
  int k = int(ranges.size());
  if (k == 0) return 0;
  const Range* r = &ranges.back();
  double f = p;
  if (uint32_t(r->low) < 65536u) {
    double kp = k * p;
    int index = int(std::trunc(kp));
    f = kp - std::trunc(kp);
    if (index < 0) index = 0;
    if (index >= k) index = k - 1;
    r = &ranges[size_t(index)];
  }
  double low = uint32_t(r->low);
  double high = uint32_t(r->high);
  return ((high - low) * f + low) * r->scale + r->offset;
}

int DmxSpec::rawForValue(double x) const {
  for (const Range& r : ranges) {
    double a = (x - r.offset) / r.scale;
    if (std::fabs(a) < 0.000001) a = 0;
    if (double(uint32_t(r.low)) <= a && a <= double(uint32_t(r.high))) {
      double raw = channelCount == 1 ? std::trunc(a * 256 + 0.5) : std::trunc(a + 0.5);
      return raw > 2147483647.0 ? 2147483647 : int(raw);
    }
  }
  return -1;
}

void DmxSpec::load(Load& in) {
  ranges.clear();
  readSection(in, "DmxSpec", {"mode", "channels", "mbimdd", "select", "range"}, [&](int key) {
    switch (key) {
      case 0:
        readInt(in, mode);
        break;
      case 1:
        if (in.nextLine()) {
          int n = in.tokenCount() > 4 ? 4 : in.tokenCount();
          channelCount = n;
          for (int i = 0; i < n; ++i) in.intAt(i, channels[i]);
        }
        break;
      case 2:
        if (in.nextLine()) {
          in.intAt(0, mask);
          in.intAt(1, bigEndian);
          in.intAt(2, isSigned);
          in.doubleAt(3, maxRate);
          in.intAt(4, specBase);
          in.intAt(5, specOffset);
        }
        break;
      case 3:
        skipValueLine(in);
        break;
      case 4: {
        Range& r = ranges.emplace_back();
        if (in.nextLine()) {
          in.intAt(0, r.low);
          in.intAt(1, r.high);
          in.doubleAt(2, r.scale);
          in.doubleAt(3, r.offset);
          if (in.tokenCount() >= 5) {
            in.intAt(4, r.selectChannel);
            in.intAt(5, r.selLow);
            in.intAt(6, r.selHigh);
          }
        }
        break;
      }
    }
  });
}

void DmxSpec::save(FILE* f, const std::string& prefix) const {
  const char* p = prefix.c_str();
  fprintf(f, "%sDmxSpec\n", p);
  fprintf(f, "%s mode\n", p);
  fprintf(f, "%s  %d\n", p, mode);
  fprintf(f, "%s channels\n", p);
  // An empty channel line still marks the member, so a spec without channels reads back.
  fprintf(f, "%s ", p);
  int n = channelCount > 4 ? 4 : channelCount;
  for (int i = 0; i < n; ++i) fprintf(f, " %d", channels[i]);
  fprintf(f, "\n");
  fprintf(f, "%s mbimdd\n", p);
  fprintf(f, "%s  %d %d %d %lf %d %d\n", p, mask, bigEndian, isSigned, maxRate, specBase,
          specOffset);
  std::string child = prefix + "  ";
  for (size_t j = 0; j < ranges.size(); ++j) {
    const Range& r = ranges[j];
    fprintf(f, "%s range %d\n", p, int(j));
    fprintf(f, "%s%d %d %lf %lf %d %d %d\n", child.c_str(), r.low, r.high, r.scale, r.offset,
            r.selectChannel, r.selLow, r.selHigh);
  }
}

// ---------------------------------------------------------------- DmxSpecs

DmxSpec* DmxSpecs::append() {
  specs.push_back(std::make_unique<DmxSpec>(owner));
  return specs.back().get();
}

DmxSpec* DmxSpecs::firstOfMode(int mode) const {
  for (const auto& s : specs)
    if (s->mode == mode) return s.get();
  return nullptr;
}

DmxSpec* DmxSpecs::specFor(int mode, int count, const int* channels, int mask, int bigEndian,
                           int isSigned) {
  DmxSpec* s = firstOfMode(mode);
  if (!s) s = append();
  s->beginEdit();
  s->mode = mode;
  s->channelCount = clampCount(count);
  if (channels) memcpy(s->channels, channels, sizeof(int) * size_t(s->channelCount));
  s->mask = mask;
  s->bigEndian = bigEndian;
  s->isSigned = isSigned;
  s->endEdit();
  return s;
}

DmxSpec* DmxSpecs::positionSpec() {
  if (DmxSpec* s = firstOfMode(ModeValue)) return s;
  DmxSpec* s = append();
  s->channelCount = 4;
  return s;
}

void DmxSpecs::clearSpecs() {
  specs.clear();
}

void DmxSpecs::copyFrom(const DmxSpecs& other) {
  specs.clear();
  for (const auto& s : other.specs) append()->copyFrom(*s);
  memcpy(extra, other.extra, sizeof extra);
}

void DmxSpecs::takeRangesFrom(const DmxSpecs& other) {
  for (auto& s : specs) {
    const DmxSpec* o = other.firstOfMode(s->mode);
    if (!o) continue;
    s->beginEdit();
    s->ranges.clear();
    for (const Range& r : o->ranges) s->ranges.emplace_back(r.low, r.high, r.scale, r.offset);
    s->endEdit();
  }
}

// ---------------------------------------------------------------- Value

Value::Value() : AllocCounter("Value") {
  specs.append()->channelCount = 4;
}

Value::~Value() = default;

void Value::beginEdit() {
  if (editDepth++ == 0 && list && list->observer) list->observer->valueAboutToChange(*this);
}

void Value::endEdit() {
  if (--editDepth < 0) editDepth = 0;
}

void Value::setValue(double x, bool asBase) {
  beginEdit();
  if (asBase) {
    base = x;
    value = 0;
  } else {
    value = x;
  }
  endEdit();
}

void Value::clearSpecs() {
  beginEdit();
  specs.clearSpecs();
  endEdit();
}

void Value::copyFrom(const Value& o) {
  beginEdit();
  value = o.value;
  dmxEnabled = o.dmxEnabled;
  specs.copyFrom(o.specs);
  lastTime = o.lastTime;
  strobeOn = o.strobeOn;
  rotating = o.rotating;
  strobeStart = o.strobeStart;
  phase = o.phase;
  base = o.base;
  direction = o.direction;
  endEdit();
}

void Value::swapWith(Value& other) {
  Value temp;
  temp.copyFrom(*this);
  copyFrom(other);
  other.copyFrom(temp);
}

void Value::setDmxBase(int b) {
  positionSpec()->setBase(b);
}
void Value::setDmxOffset(int o) {
  positionSpec()->setOffset(o);
}
int Value::dmxStart() {
  return positionSpec()->start();
}
int Value::dmxOffset() {
  return positionSpec()->offset();
}
void Value::copySpecToPosition(const DmxSpec& spec) {
  positionSpec()->copyFrom(spec);
}

void Value::configure(int count, int be, int sign, double scale, double rawRef, double valueRef) {
  positionSpec()->configure(count, be, sign, scale, rawRef, valueRef);
}

void Value::setLayout(int count, int be, int sign) {
  positionSpec()->setLayout(count, be, sign);
}

void Value::setBaseAll(int b) {
  beginEdit();
  for (auto& s : specs.specs) {
    s->specBase = b;
    s->rebase();
  }
  dmxEnabled = 1;
  endEdit();
}

void Value::enableDmx() {
  beginEdit();
  dmxEnabled = 1;
  endEdit();
}

void Value::disableDmx() {
  beginEdit();
  dmxEnabled = 0;
  endEdit();
}

int Value::rawForValue(double x) const {
  const DmxSpec* s = specs.firstOfMode(ModeValue);
  return s ? s->rawForValue(x) : -1;
}

void Value::update(const DmxView& dmx, double now) {
  if (!dmxEnabled) return;
  auto firstApplying = [&](int mode, double& result) {
    for (const auto& s : specs.specs)
      if (s->mode == mode && s->evaluate(dmx, result)) return true;
    result = 0;
    return false;
  };
  double strobeRate = 0, rate = 0;
  bool strobeActive = firstApplying(ModeStrobe, strobeRate);
  bool speedActive = firstApplying(ModeSpeed, rate);
  bool pulseActive = !speedActive && firstApplying(ModePulse, rate);

  value = 0;
  const DmxSpec* posSpec = nullptr;
  bool posActive = false;
  for (const auto& s : specs.specs) {
    if (s->mode != ModeValue) continue;
    posSpec = s.get();
    if (s->evaluate(dmx, value)) {
      posActive = true;
      break;
    }
  }

  if (strobeActive && !strobeOn) {
    strobeOn = 1;
    strobeStart = now;
  } else if (!strobeActive) {
    strobeOn = 0;
  }

  if (speedActive || pulseActive) {
    if (!rotating) {
      rotating = 1;
      phase = 0;
      lastTime = now;
      direction = 1;
    }
  } else {
    rotating = 0;
  }

  if (rotating) {
    double dt = now - lastTime;
    lastTime = now;
    double p = rate * (1.0 / 60) * dt * direction + phase;
    if (pulseActive) {
      if (p >= 1) {
        direction = -1;
        p = 0.9999;
      } else if (!(p > 0)) {
        direction = 1;
        p = 0;
      }
    }
    phase = p;
    double f = p - std::trunc(p);
    if (std::fabs(f) < 0.000001) f = 0;
    if (f < 0) f = pulseActive ? 0 : f + 1;
    if (f >= 1) f = pulseActive ? 0.9999 : f - 1;
    value = posSpec ? posSpec->interpolate(f) : 0;
  }

  if (strobeOn) {
    double open = posSpec ? double(fullRawValue(posSpec->channelCount)) : 255.0;
    if (std::fabs(strobeRate) < 0.000001) {
      value = 0;
    } else if (std::fabs(strobeRate - 1) < 0.000001) {
      if (!rotating && !posActive) value = open;
    } else {
      double t = (now - strobeStart) * strobeRate / 60;
      double f = t - std::trunc(t);
      if (f > 0.5)
        value = 0;
      else if (!rotating && !posActive)
        value = open;
    }
  }
}

void Value::load(Load& in) {
  if (list && list->fileVersion < 5000) {
    Value* self = this;
    loadOldValues(in, &self, 1);
    return;
  }
  specs.clearSpecs();
  readSection(in, "Value", {"valueBuffer", "dmxEnabled", "dmxSpec"}, [&](int key) {
    switch (key) {
      case 0:
        readDouble(in, value);
        break;
      case 1:
        readInt(in, dmxEnabled);
        break;
      case 2:
        specs.specFor(-1, 1, nullptr, -1, 1, 0)->load(in);
        break;
    }
  });
}

void Value::save(FILE* f, const std::string& prefix) const {
  const char* p = prefix.c_str();
  fprintf(f, "%sValue\n", p);
  fprintf(f, "%s valueBuffer\n", p);
  fprintf(f, "%s  %lf\n", p, value + base);
  fprintf(f, "%s dmxEnabled\n", p);
  fprintf(f, "%s  %d\n", p, dmxEnabled);
  std::string child = prefix + "  ";
  for (int i = 0; i < specs.count(); ++i) {
    fprintf(f, "%s dmxSpec %d\n", p, i);
    specs.at(i)->save(f, child);
  }
}

void loadOldValues(Load& in, Value* const* values, int valueCount) {
  if (valueCount < 1) return;
  if (valueCount > 3) valueCount = 3;
  ValueList* list = values[0]->list;
  int loadingBase = list ? list->loadingDmxBase : 0;
  bool haveEntry = false;
  int start = 0;
  std::vector<int> bytes;
  bool haveStructure = false;
  int n = 1, m = 1, be = 1, sign = 0, rawRef = 0, valueRef = 0;
  double scale = 1.0;

  readSection(in, "Value", {"dmxEntry", "value", "structure", "dmxBytes", "valueMask"},
              [&](int key) {
                switch (key) {
                  case 0: {
                    int index = -1;
                    if (readInt(in, index) && list && list->dmxList && index >= 0 &&
                        index < int(list->dmxList->size())) {
                      haveEntry = true;
                      start = (*list->dmxList)[size_t(index)].startChan;
                    }
                    break;
                  }
                  case 1:
                    if (in.nextLine()) {
                      bytes.assign(size_t(in.tokenCount()), 0);
                      for (int i = 0; i < in.tokenCount(); ++i) in.intAt(i, bytes[size_t(i)]);
                    }
                    break;
                  case 2:
                    if (in.nextLine() && in.intAt(1, n) && in.intAt(2, m) && in.intAt(3, be) &&
                        in.intAt(4, sign) && in.intAt(5, rawRef) && in.intAt(6, valueRef) &&
                        in.doubleAt(7, scale))
                      haveStructure = true;
                    break;
                  default:
                    skipValueLine(in);
                    break;
                }
              });

  n = clampCount(n);
  int described = valueCount == 1 ? 1 : (m < 0 ? 0 : (m > valueCount ? valueCount : m));
  if (haveStructure) {
    DmxSpec spec;
    spec.mode = ModeValue;
    spec.setLayout(n, be, sign);
    spec.ranges.emplace_back(0, int(fullRawValue(n)), scale, valueRef - rawRef * scale);
    for (int k = 0; k < described; ++k) {
      Value* v = values[k];
      v->copySpecToPosition(spec);
      size_t first = size_t(k) * size_t(n);
      if (bytes.size() >= first + size_t(n)) {
        uint32_t raw = assemble(n, be, sign, [&](int i) { return uint8_t(bytes[first + i]); });
        v->value = double(int32_t(raw)) * scale + (valueRef - rawRef * scale);
      }
    }
  }
  if (haveEntry) {
    int count = haveStructure ? described : valueCount;
    int stride = haveStructure ? n : 1;
    for (int k = 0; k < count; ++k) {
      DmxSpec* s = values[k]->positionSpec();
      s->specBase = loadingBase;
      s->specOffset = k * stride + start - loadingBase;
      s->rebase();
      values[k]->dmxEnabled = 1;
    }
  }
}

// ---------------------------------------------------------------- ValueList

ValueList::ValueList() : AllocCounter("ValueList") {}
ValueList::~ValueList() = default;

Value* ValueList::newValue() {
  if (values.empty()) now = 0;
  pool.push_back(std::make_unique<Value>());
  Value* v = pool.back().get();
  v->list = this;
  values.append(v);
  if (observer) observer->valueAdded(*v);
  return v;
}

void ValueList::removeValue(Value* v) {
  if (!v || !LinkedList<Value, &Value::links>::contains(v)) return;
  values.remove(v);
  if (observer) observer->valueRemoved(*v);
}

void ValueList::update() {
  if (values.empty()) return;
  now = double((clock ? *clock : currentClock()).nowMs()) * 0.001;
  for (Value* v : values) v->update(dmx, now);
}

}  // namespace lmv
