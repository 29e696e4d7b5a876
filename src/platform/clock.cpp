#include "platform/clock.h"

#include <chrono>

namespace lmv {
namespace {
SteadyClock steady;
Clock* installed = nullptr;
}  // namespace

int64_t SteadyClock::nowMs() const {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

Clock& currentClock() {
  return installed ? *installed : steady;
}
void installClock(Clock* clock) {
  installed = clock;
}

}  // namespace lmv
