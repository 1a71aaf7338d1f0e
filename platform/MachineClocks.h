// The machine's own clocks, inside the platform layer.
#pragma once

#include <cstdint>

// The processor's time-stamp counter as the processor gives it.
uint64_t MachineTimeStampCounter();
