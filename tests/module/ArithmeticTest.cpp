// The wind must come out bit for bit the same on every build: the 32-bit
// Windows build computes doubles in SSE2 like the x86-64 one, never in the
// x87 unit, whose 80-bit intermediates round differently.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

TEST(DoubleArithmetic, IsEvaluatedInDoublePrecisionNotExtended) {
  // 0: every operation rounds to its own type; 2 would mean x87 long double.
  EXPECT_EQ(FLT_EVAL_METHOD, 0);
}

// A chain of the operations the wind model uses whose results are exactly
// rounded (+, -, *, /, sqrt), hashed bit by bit. Excess precision or fused
// multiply-adds change it in the first few steps.
uint64_t ArithmeticChecksum() {
  double x = 0.5, y = 1.25;
  uint64_t h = 1469598103934665603u;
  for (int i = 0; i < 10000; ++i) {
    x = x * 1.0000001 + 0.3 / (x + 1.7);
    y = std::sqrt(x * x + y) - y * 0.25 + x / 3.0;
    double v = x * y - y / 7.0;
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    h = (h ^ bits) * 1099511628211u;
  }
  return h;
}

TEST(DoubleArithmetic, GivesTheNativeBuildsBitsOnEveryBuild) {
  constexpr uint64_t kNativeChecksum = 0xf8f6061e1e663a7cu;  // x86-64, SSE2, no FMA
  EXPECT_EQ(ArithmeticChecksum(), kNativeChecksum) << std::hex << ArithmeticChecksum();
}

}  // namespace
