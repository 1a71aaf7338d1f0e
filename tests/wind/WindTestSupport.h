// Helpers for the wind-model tests: an independent LFSR113, draw counting
// and vector comparison by named axis.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <sstream>

#include "module/WindState.h"
#include "wind/RandomSource.h"

namespace wind_test {

// LFSR113 written out from L'Ecuyer's published parameters (1999), apart
// from the module's code so that the two check each other.
struct Lfsr113 {
  uint32_t z[4];

  uint32_t Next() {
    static constexpr int kP1[4] = {6, 2, 13, 3};
    static constexpr int kP2[4] = {13, 27, 21, 12};
    static constexpr int kP3[4] = {18, 2, 7, 13};
    static constexpr uint32_t kMask[4] = {0xFFFFFFFEu, 0xFFFFFFF8u, 0xFFFFFFF0u, 0xFFFFFF80u};
    uint32_t out = 0;
    for (int i = 0; i < 4; ++i) {
      uint32_t b = ((z[i] << kP1[i]) ^ z[i]) >> kP2[i];
      z[i] = ((z[i] & kMask[i]) << kP3[i]) ^ b;
      out ^= z[i];
    }
    return out;
  }
  double Uniform() { return static_cast<double>(Next()) / 4294967295.0; }
  bool operator==(const Lfsr113&) const = default;
};

// The default state of the published generator.
inline constexpr Lfsr113 kPublishedDefault = {{987654321u, 987654321u, 987654321u, 987654321u}};

inline Lfsr113 ModuleGenerator() {
  return Lfsr113{{RandomSource::z1, RandomSource::z2, RandomSource::z3, RandomSource::z4}};
}

inline void SetModuleGenerator(const Lfsr113& g) { RandomSource::SetState(g.z[0], g.z[1], g.z[2], g.z[3]); }

// How many numbers the module drew since its generator was in state before:
// the reference is stepped until it meets the module's state; -1 when it
// does not within limit draws.
inline int DrawsSince(Lfsr113 before, int limit = 1000) {
  Lfsr113 now = ModuleGenerator();
  for (int n = 0; n <= limit; ++n) {
    if (before == now) return n;
    before.Next();
  }
  return -1;
}

// The first state, walking on from start, whose next outputs satisfy pred
// (called with a copy of the state that it may draw from).
template <typename Pred>
Lfsr113 FirstStateWhere(Lfsr113 start, Pred pred, int limit = 1000000) {
  for (int n = 0; n < limit; ++n) {
    Lfsr113 probe = start;
    if (pred(probe)) return start;
    start.Next();
  }
  ADD_FAILURE() << "no state found within " << limit << " draws";
  return start;
}

// One one-in-32 test of the model: passes below 2^27.
inline bool Passes(uint32_t raw) { return raw < 0x08000000u; }

// Compares a wind vector axis by axis and names the axis that differs.
inline ::testing::AssertionResult Vector3Near(const VECTOR3& actual, const VECTOR3& expected, double tolerance) {
  static const char* const kAxis[3] = {"side (x)", "up (y)", "forward (z)"};
  const double a[3] = {actual.x, actual.y, actual.z};
  const double e[3] = {expected.x, expected.y, expected.z};
  std::ostringstream failures;
  for (int i = 0; i < 3; ++i) {
    if (!(std::fabs(a[i] - e[i]) <= tolerance)) {
      failures.precision(17);
      failures << "\n  " << kAxis[i] << " is " << a[i] << ", expected " << e[i] << " within " << tolerance;
    }
  }
  if (failures.str().empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "wind vector differs:" << failures.str();
}

inline VECTOR3 Vec(double x, double y, double z) { return _V(x, y, z); }

// The wind globals start from their load values and the generator from the
// published default state, so every test replays its own draws.
class WindTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WindState = WindStateRecord{};
    WindAccel = _V(0.0, 0.0, 0.0);
    SetModuleGenerator(kPublishedDefault);
  }
  void TearDown() override { WindState = WindStateRecord{}; }
};

}  // namespace wind_test
