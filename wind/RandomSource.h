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

// Seeds z1..z4 from SeedWord, each up to its minimum, and clears needsSeed.
// NextRandom calls it on the first draw.
void Seed();

// The next 32-bit output; seeds the state first when needsSeed is set. Inline:
// the wind step draws up to 15 times.
inline uint32_t NextRandom() {
  if (needsSeed) [[unlikely]]
    Seed();
  // LFSR113 as published (L'Ecuyer 1999): each component shifts, and the
  // mask drops the bits below its period's degree.
  uint32_t b = ((z1 << 6) ^ z1) >> 13;
  z1 = ((z1 & 0xFFFFFFFEu) << 18) ^ b;
  b = ((z2 << 2) ^ z2) >> 27;
  z2 = ((z2 & 0xFFFFFFF8u) << 2) ^ b;
  b = ((z3 << 13) ^ z3) >> 21;
  z3 = ((z3 & 0xFFFFFFF0u) << 7) ^ b;
  b = ((z4 << 3) ^ z4) >> 12;
  z4 = ((z4 & 0xFFFFFF80u) << 13) ^ b;
  return z1 ^ z2 ^ z3 ^ z4;
}

// The next output read as unsigned and divided by 2^32 - 1: [0, 1], both ends
// reachable.
inline double UniformRandom() {
  // Through an unsigned value: a top bit set must not read as negative.
  return static_cast<double>(NextRandom()) / 4294967295.0;
}

// One seed word mixed from the time-stamp counter, the calendar time and the
// tick count; a fresh mix on every call.
uint32_t SeedWord();

// Test seam: puts the generator in a known state and marks it seeded, so that
// a run of the wind model can be replayed draw for draw. The words must meet
// the minima above for the full period; nothing in the module calls this.
void SetState(uint32_t s1, uint32_t s2, uint32_t s3, uint32_t s4);

}  // namespace RandomSource
