#include "wind/RandomSource.h"

#include <bit>

#include "platform/Platform.h"

namespace RandomSource {

uint32_t needsSeed = 1;
uint32_t z1 = 0;
uint32_t z2 = 0;
uint32_t z3 = 0;
uint32_t z4 = 0;

namespace {

constexpr uint32_t kMixMultiplier = 2147001325u;
constexpr uint32_t kMixIncrement = 715136305u;

// Rotation by the low five bits of the count, as the seed mix defines it.
uint32_t RotateLeft(uint32_t v, uint32_t count) { return std::rotl(v, static_cast<int>(count & 31u)); }

// Below its minimum a component has none of the bits its recurrence keeps and
// would stay 0 for good, so a word is drawn again until it is large enough.
uint32_t SeedAtLeast(uint32_t minimum) {
  uint32_t w = SeedWord();
  while (w < minimum) w = SeedWord();
  return w;
}

}  // namespace

void Seed() {
  needsSeed = 0;
  z1 = SeedAtLeast(2);
  z2 = SeedAtLeast(8);
  z3 = SeedAtLeast(16);
  z4 = SeedAtLeast(128);
}

uint32_t SeedWord() {
  uint64_t t1 = ReadTimeStampCounter();
  uint64_t t2 = ReadTimeStampCounter();
  uint32_t x = static_cast<uint32_t>(t1 >> 32) ^ static_cast<uint32_t>(t2);
  uint32_t seconds = static_cast<uint32_t>(_time64(nullptr));
  uint32_t a = seconds + static_cast<uint32_t>(GetTickCount());
  uint32_t t3 = static_cast<uint32_t>(ReadTimeStampCounter());
  uint32_t s = (a + t3) * kMixMultiplier + kMixIncrement;
  uint32_t y = a;
  for (int i = 0; i < 6; ++i) {
    if (i != 0) s = s * kMixMultiplier + kMixIncrement;
    x = RotateLeft(y ^ x, y) + s;
    y = RotateLeft(y ^ x, x) + s;
  }
  return x ^ y;
}

void SetState(uint32_t s1, uint32_t s2, uint32_t s3, uint32_t s4) {
  needsSeed = 0;
  z1 = s1;
  z2 = s2;
  z3 = s3;
  z4 = s4;
}

}  // namespace RandomSource
