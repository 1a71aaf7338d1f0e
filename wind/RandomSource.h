// The one random generator of the wind model: L'Ecuyer's LFSR113 combined
// Tausworthe generator on 32-bit words, seeded from the clocks on first use.
// Layers, shear and local wind all draw from it, so the order of draws is
// part of the wind's behaviour.
#pragma once

#include <cstdint>

namespace RandomSource {

// Generator state, one instance for the library's life.
extern uint32_t needsSeed;  // nonzero until the first draw seeds z1..z4
extern uint32_t z1;         // component 1; at least 2 once seeded
extern uint32_t z2;         // component 2; at least 8 once seeded
extern uint32_t z3;         // component 3; at least 16 once seeded
extern uint32_t z4;         // component 4; at least 128 once seeded

// The next 32-bit output; seeds the state first when needsSeed is set.
uint32_t NextRandom();
// The next output read as unsigned and divided by 2^32 - 1: [0, 1], both ends
// reachable.
double UniformRandom();
// One seed word mixed from the time-stamp counter, the calendar time and the
// tick count; a fresh mix on every call.
uint32_t SeedWord();

// Test seam: puts the generator in a known state and marks it seeded, so that
// a run of the wind model can be replayed draw for draw. The words must meet
// the minima above for the full period; nothing in the module calls this.
void SetState(uint32_t s1, uint32_t s2, uint32_t s3, uint32_t s4);

}  // namespace RandomSource
