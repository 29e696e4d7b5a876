#pragma once
// Millisecond tick source. Model code takes a Clock so that tests drive time by hand.
#include <cstdint>

namespace lmv {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual int64_t nowMs() const = 0;
};

// Monotonic milliseconds since an arbitrary start.
class SteadyClock : public Clock {
 public:
  int64_t nowMs() const override;
};

class ManualClock : public Clock {
 public:
  int64_t nowMs() const override { return ms; }
  void set(int64_t t) { ms = t; }
  void advance(int64_t d) { ms += d; }

 private:
  int64_t ms = 0;
};

// The process-wide clock: SteadyClock unless a test installs another (nullptr restores it).
Clock& currentClock();
void installClock(Clock* clock);

}  // namespace lmv
