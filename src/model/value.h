#pragma once
// DMX-driven numbers. A Value holds what the user set or, with DMX enabled, what its
// DmxSpecs decode each frame from the theatre's DMX buffer. Values live in the theatre's
// ValueList, which owns them for the theatre's lifetime (so undo records and objects may keep
// plain pointers); "removing" a value only unlinks it. Nothing here throws or allocates per
// frame; bad channels read as 0.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "model/alloccounter.h"
#include "model/linkedlist.h"

namespace lmv {

class Load;
class Value;
class Clock;

enum DmxMode : int { ModeValue = 0, ModeSpeed = 1, ModeStrobe = 2, ModeTime = 3, ModePulse = 4 };

// Kept for the extension-file wizard; this program does not fill them.
struct WizNodes : AllocCounter {
  WizNodes() : AllocCounter("WizNodes") {}
  int count = 0;
  std::vector<int> nodes;
};

struct Range : AllocCounter {
  Range() : AllocCounter("Range") {}
  Range(int lo, int hi, double sc, double off)
      : AllocCounter("Range"), low(lo), high(hi), scale(sc), offset(off) {}
  int low = 0;  // low and high compare as unsigned raw numbers
  int high = 255;
  double scale = 1.0;
  double offset = 0.0;
  WizNodes wizardNodes;
  int selectChannel = -1;  // -1: no condition
  int selLow = -32768;
  int selHigh = 32767;
};

// Read-only view of the DMX buffer: bytes outside it read as 0.
struct DmxView {
  const uint8_t* data = nullptr;
  int size = 0;
  uint8_t at(int channel) const {
    return channel >= 0 && channel < size ? data[channel] : uint8_t(0);
  }
};

// The full raw value of n bytes (all 32 bits for 4).
uint32_t fullRawValue(int byteCount);

class DmxSpec : public AllocCounter {
 public:
  explicit DmxSpec(Value* owner = nullptr) : AllocCounter("DmxSpec"), owner(owner) {}
  DmxSpec(const DmxSpec&) = delete;
  DmxSpec& operator=(const DmxSpec&) = delete;

  Value* owner;
  int mode = ModeValue;
  int channelCount = 1;
  int channels[4] = {0, 1, 2, 3};
  WizNodes wizardNodes[4];
  int mask = -1;  // kept and edited, not used in decoding
  int bigEndian = 1;
  int isSigned = 0;
  std::vector<Range> ranges;
  double maxRate = 1000000.0;  // kept and edited, not used in decoding
  int specBase = 0;            // below 0: not patched
  int specOffset = 0;          // 65536 or more: absolute first channel (specOffset - 65536)
  int editDepth = 0;

  void beginEdit();
  void endEdit();

  void rebase();
  void setBase(int base);
  void setOffset(int offset);
  int offset() const { return specOffset; }
  // Lowest used channel, plus 65536 when the offset is absolute.
  int start() const;
  int lowestChannel() const;

  void setLayout(int count, int bigEndian, int isSigned);
  void configure(int count, int bigEndian, int isSigned, double scale, double rawRef,
                 double valueRef);
  void addRange(int low, int high, double scale, double offset);
  void clearRanges();
  void copyFrom(const DmxSpec& other);

  bool evaluate(const DmxView& dmx, double& out) const;
  double interpolate(double p) const;
  int rawForValue(double x) const;

  void load(Load& in);
  void save(FILE* f, const std::string& prefix) const;
};

// A list of specs, owned; used by values and, standalone, as the fixture library's per-
// attribute templates (with the eight integers the library keeps with them).
class DmxSpecs : public AllocCounter {
 public:
  explicit DmxSpecs(Value* owner = nullptr) : AllocCounter("DmxSpecs"), owner(owner) {}
  DmxSpecs(const DmxSpecs&) = delete;
  DmxSpecs& operator=(const DmxSpecs&) = delete;

  Value* owner;
  int editDepth = 0;
  int extra[8] = {};
  std::vector<std::unique_ptr<DmxSpec>> specs;

  int count() const { return int(specs.size()); }
  DmxSpec* at(int i) const { return i >= 0 && i < count() ? specs[size_t(i)].get() : nullptr; }
  DmxSpec* append();
  // The first spec of the mode, created if missing, then given the layout (channels optional).
  DmxSpec* specFor(int mode, int count, const int* channels, int mask, int bigEndian, int isSigned);
  // The first VALUE spec, created like a new value's when missing.
  DmxSpec* positionSpec();
  DmxSpec* firstOfMode(int mode) const;
  void clearSpecs();
  // Own copies of the other's specs (ranges included), and its eight integers.
  void copyFrom(const DmxSpecs& other);
  // For each spec, the ranges of the first spec of the same mode in other (select defaults).
  void takeRangesFrom(const DmxSpecs& other);
};

struct DMXEntry {
  int startChan = 0;
  int endChan = 0;
};

class ValueList;

class Value : public AllocCounter {
 public:
  Value();
  ~Value();
  Value(const Value&) = delete;
  Value& operator=(const Value&) = delete;

  double value = 0;
  int dmxEnabled = 0;
  DmxSpecs specs{this};
  double lastTime = 0;
  int strobeOn = 0;
  int rotating = 0;
  double strobeStart = 0;
  double phase = 0;
  int editDepth = 0;
  double base = 0;
  double direction = 0;

  LinkedListEntry<Value> links;
  ValueList* list = nullptr;  // the list it was created in; none for private copies

  double currentValue() const { return value + base; }
  void beginEdit();
  void endEdit();
  void setValue(double x, bool asBase = false);

  DmxSpec* positionSpec() { return specs.positionSpec(); }
  DmxSpec* specFor(int mode, int count, const int* channels, int mask, int bigEndian,
                   int isSigned) {
    return specs.specFor(mode, count, channels, mask, bigEndian, isSigned);
  }
  void clearSpecs();
  void copyFrom(const Value& other);
  void swapWith(Value& other);
  void setDmxBase(int b);
  void setDmxOffset(int o);
  int dmxStart();
  int dmxOffset();
  void copySpecToPosition(const DmxSpec& spec);
  void configure(int count, int bigEndian, int isSigned, double scale, double rawRef,
                 double valueRef);
  void setLayout(int count, int bigEndian, int isSigned);
  void setBaseAll(int b);
  void enableDmx();
  void disableDmx();
  int rawForValue(double x) const;

  void update(const DmxView& dmx, double now);

  void load(Load& in);
  void save(FILE* f, const std::string& prefix) const;
};

// Reads one old-syntax section into up to three values (one for plain values, three for
// coordinates and colour components).
void loadOldValues(Load& in, Value* const* values, int valueCount);

// Told about every value change so the theatre can record undo steps and redraw.
class ValueObserver {
 public:
  virtual ~ValueObserver() = default;
  virtual void valueAboutToChange(Value& v) = 0;
  virtual void valueAdded(Value& v) = 0;
  virtual void valueRemoved(Value& v) = 0;
};

class ValueList : public AllocCounter {
 public:
  ValueList();
  ~ValueList();
  ValueList(const ValueList&) = delete;
  ValueList& operator=(const ValueList&) = delete;

  // Creates a value at the end of the list and reports it as added.
  Value* newValue();
  // Unlinks the value and reports it as removed; it stays allocated until the list dies.
  void removeValue(Value* v);
  // Without reporting (undo and redo).
  void unlink(Value* v) { values.remove(v); }
  void relink(Value* v) { values.append(v); }

  void update();

  void setDmxBuffer(const uint8_t* data, int size) { dmx = DmxView{data, size}; }
  const DmxView& dmxView() const { return dmx; }
  void setClock(const Clock* c) { clock = c; }
  double now = 0;

  ValueObserver* observer = nullptr;
  int loadingDmxBase = 0;
  // Set by the document reader: values of files below version 5000 use the old syntax.
  int fileVersion = 7020;
  const std::vector<DMXEntry>* dmxList = nullptr;

  LinkedList<Value, &Value::links> values;

 private:
  std::vector<std::unique_ptr<Value>> pool;
  DmxView dmx;
  const Clock* clock = nullptr;
};

}  // namespace lmv
