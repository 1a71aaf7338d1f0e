#include "platform/MachineClocks.h"
#include "platform/Platform.h"

#if defined(__i386__) || defined(__x86_64__)
#include <x86intrin.h>
uint64_t MachineTimeStampCounter() { return __rdtsc(); }
#else
#include <chrono>
uint64_t MachineTimeStampCounter() {
  return static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}
#endif

#ifdef _WIN32
// The system's own: the processor's counter, which nobody sets.
uint64_t ReadTimeStampCounter() { return MachineTimeStampCounter(); }
#endif
