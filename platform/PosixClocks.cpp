// The system's clocks off Windows: the machine's until a host sets them.
#include <time.h>

#include <ctime>

#include "platform/MachineClocks.h"
#include "platform/Platform.h"
#include "platform/SystemClocks.h"

namespace {

// Read and set on the host's one simulation thread, like everything the
// module does.
struct Clocks {
  bool set = false;  // false: the machine's clocks
  uint64_t counter = 0;
  uint64_t counterStep = 1;
  __time64_t calendarTime = 0;
  DWORD tickCount = 0;
};

Clocks clocks;

}  // namespace

void SetSystemClocks(uint64_t counter, uint64_t counterStep, int64_t calendarTime, uint32_t tickCount) {
  clocks = Clocks{true, counter, counterStep == 0 ? 1 : counterStep, calendarTime, tickCount};
}

void RunSystemClocksFree() { clocks = Clocks{}; }

uint64_t ReadTimeStampCounter() {
  if (!clocks.set) return MachineTimeStampCounter();
  const uint64_t reading = clocks.counter;
  clocks.counter += clocks.counterStep;
  return reading;
}

DWORD GetTickCount() {
  if (clocks.set) return clocks.tickCount;
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
  return static_cast<DWORD>(ms);
}

__time64_t _time64(__time64_t* destTime) {
  __time64_t t = clocks.set ? clocks.calendarTime : static_cast<__time64_t>(std::time(nullptr));
  if (destTime) *destTime = t;
  return t;
}
