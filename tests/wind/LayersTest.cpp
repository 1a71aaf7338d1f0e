#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "module/WindState.h"
#include "tests/wind/WindTestSupport.h"

namespace {

using wind_test::DrawsSince;
using wind_test::Lfsr113;

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;

// The layers the generation must make from generator state g, drawn in the
// documented order: start direction; per layer direction, a, b and, but for
// the last layer, the altitude step.
std::vector<WindLayer> ReferenceLayers(Lfsr113 g, double limit) {
  std::vector<WindLayer> out;
  double h = 0.0;
  bool last = false;
  double d0 = g.Uniform() * kPi;
  for (;;) {
    double d = (g.Uniform() - 0.5) * 1.5707963267948966 + d0;
    if (d > kTwoPi) d -= kTwoPi;
    if (d < 0.0) d += kTwoPi;
    double a = g.Uniform();
    double b = g.Uniform();
    double s = static_cast<double>(out.size()) * b * 0.07 + a;
    s = h < 500.0 ? s * 0.7 : s + 0.1;
    out.push_back(WindLayer{h, s, d});
    d0 = d;
    if (last) break;
    double u = g.Uniform();
    h += h > 1000.0 ? u * 5000.0 + 500.0 : u * 1000.0;
    if (h > limit) {
      h = limit;
      last = true;
    }
  }
  return out;
}

void ExpectSameLayers(const std::vector<WindLayer>& actual, const std::vector<WindLayer>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < actual.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "layer " << i);
    EXPECT_EQ(actual[i].altitude, expected[i].altitude);
    EXPECT_EQ(actual[i].strength, expected[i].strength);
    EXPECT_EQ(actual[i].direction, expected[i].direction);
  }
}

class GenerateLayersTest : public wind_test::WindTest {
 protected:
  // Generates from state with the given limit; returns the number of draws.
  int Generate(const Lfsr113& state, double limit) {
    WindState.windAltLimit = limit;
    wind_test::SetModuleGenerator(state);
    WindState.GenerateLayers();
    return DrawsSince(state);
  }
};

TEST_F(GenerateLayersTest, LayersFollowTheDrawsInOrderForEveryLimit) {
  Lfsr113 other = wind_test::kPublishedDefault;
  for (int n = 0; n < 777; ++n) other.Next();
  const Lfsr113 kStates[] = {wind_test::kPublishedDefault, other};
  const double kLimits[] = {-1.0, 0.0, 499.999, 500.0, 1000.0, 1000.5, 5000.0, 20000.0, 100000.0};
  for (const Lfsr113& state : kStates) {
    for (double limit : kLimits) {
      SCOPED_TRACE(testing::Message() << "windAltLimit " << limit << ", state word " << state.z[0]);
      WindState = WindStateRecord{};
      int draws = Generate(state, limit);
      const std::vector<WindLayer>& layers = WindState.layers;
      ExpectSameLayers(layers, ReferenceLayers(state, limit));
      ASSERT_GE(layers.size(), 2u);
      EXPECT_EQ(WindState.layerCount, static_cast<int>(layers.size()));
      // One start draw, four per layer, none for the step after the last.
      EXPECT_EQ(draws, 4 * WindState.layerCount);
      EXPECT_EQ(layers.front().altitude, 0.0);
      EXPECT_EQ(layers.back().altitude, limit);
      for (size_t i = 0; i < layers.size(); ++i) {
        EXPECT_GE(layers[i].direction, 0.0) << "layer " << i;
        EXPECT_LE(layers[i].direction, kTwoPi) << "layer " << i;
        if (i == 0 || limit <= 0.0) continue;
        double step = layers[i].altitude - layers[i - 1].altitude;
        EXPECT_GE(step, 0.0) << "layer " << i;
        if (layers[i - 1].altitude <= 1000.0) {
          EXPECT_LE(step, 1000.0) << "short step expected from layer " << i - 1;
        } else if (i + 1 < layers.size()) {  // the last step is cut at the limit
          EXPECT_GE(step, 500.0) << "long step expected from layer " << i - 1;
          EXPECT_LE(step, 5500.0) << "long step expected from layer " << i - 1;
        }
      }
    }
  }
}

// Whether the direction walk from state g leaves [0, 2 pi] on the side given
// (below 0 or above 2 pi) in a stack up to limit.
bool WalkLeaves(Lfsr113 g, double limit, bool below) {
  double d0 = g.Uniform() * kPi;
  double h = 0.0;
  for (;;) {
    double d = (g.Uniform() - 0.5) * 1.5707963267948966 + d0;
    if (below ? d < 0.0 : d > kTwoPi) return true;
    if (d > kTwoPi) d -= kTwoPi;
    if (d < 0.0) d += kTwoPi;
    d0 = d;
    g.Next();
    g.Next();
    if (h >= limit) return false;
    double u = g.Uniform();
    h += h > 1000.0 ? u * 5000.0 + 500.0 : u * 1000.0;
    if (h > limit) h = limit;
  }
}

TEST_F(GenerateLayersTest, DirectionsWrapIntoZeroToTwoPiOnBothSides) {
  const double kLimit = 30000.0;
  for (bool below : {true, false}) {
    SCOPED_TRACE(below ? "walk below 0" : "walk above 2 pi");
    Lfsr113 state = wind_test::FirstStateWhere(wind_test::kPublishedDefault,
                                               [&](Lfsr113& g) { return WalkLeaves(g, kLimit, below); });
    WindState = WindStateRecord{};
    Generate(state, kLimit);
    ExpectSameLayers(WindState.layers, ReferenceLayers(state, kLimit));
    for (const WindLayer& layer : WindState.layers) {
      EXPECT_GE(layer.direction, 0.0);
      EXPECT_LE(layer.direction, kTwoPi);
    }
  }
}

TEST_F(GenerateLayersTest, LimitMinusOneMakesTwoLayersAtZeroAndMinusOne) {
  EXPECT_EQ(Generate(wind_test::kPublishedDefault, -1.0), 8);
  ASSERT_EQ(WindState.layerCount, 2);
  EXPECT_EQ(WindState.layers[0].altitude, 0.0);
  EXPECT_EQ(WindState.layers[1].altitude, -1.0);
}

TEST_F(GenerateLayersTest, LimitZeroMakesLayersAtZeroOnlyOneMorePerZeroStep) {
  EXPECT_EQ(Generate(wind_test::kPublishedDefault, 0.0), 8);
  ASSERT_EQ(WindState.layerCount, 2);
  EXPECT_EQ(WindState.layers[0].altitude, 0.0);
  EXPECT_EQ(WindState.layers[1].altitude, 0.0);

  // A state whose fifth output (the first altitude step) is 0, found by
  // solving the recurrence: the zero step repeats 0 m and does not end the
  // stack, because 0 is not above the limit.
  const Lfsr113 kZeroStep = {{0x7685cff8u, 0xf2a74de4u, 0x269e0d37u, 0x6513270eu}};
  WindState = WindStateRecord{};
  EXPECT_EQ(Generate(kZeroStep, 0.0), 12);
  ASSERT_EQ(WindState.layerCount, 3);
  for (const WindLayer& layer : WindState.layers) EXPECT_EQ(layer.altitude, 0.0);
}

TEST_F(GenerateLayersTest, LayerAtExactly1000MetresTakesTheShortStep) {
  // Fifth output all ones: the first step is exactly 1000 m.
  const Lfsr113 kFullStep = {{0x6ea5b1f0u, 0xf2a7cde4u, 0x269e0d37u, 0x6513270eu}};
  Generate(kFullStep, 20000.0);
  ASSERT_GE(WindState.layerCount, 3);
  EXPECT_EQ(WindState.layers[1].altitude, 1000.0);
  Lfsr113 g = kFullStep;
  for (int n = 0; n < 8; ++n) g.Next();  // start, layer 0 (4), layer 1 (3)
  EXPECT_EQ(WindState.layers[2].altitude, 1000.0 + g.Uniform() * 1000.0);
}

TEST_F(GenerateLayersTest, StrengthRuleChangesAtExactly500Metres) {
  // The last layer sits at the limit; its a and b are the last two draws.
  struct Case {
    double limit;
    bool boosted;  // s + 0.1 rather than s * 0.7
  };
  const Case kCases[] = {{500.0, true}, {499.999, false}, {500.001, true}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "top layer at " << c.limit << " m");
    WindState = WindStateRecord{};
    int draws = Generate(wind_test::kPublishedDefault, c.limit);
    Lfsr113 g = wind_test::kPublishedDefault;
    for (int n = 0; n < draws - 2; ++n) g.Next();
    double a = g.Uniform();
    double b = g.Uniform();
    double s = (WindState.layerCount - 1) * b * 0.07 + a;
    EXPECT_EQ(WindState.layers.back().strength, c.boosted ? s + 0.1 : s * 0.7);
  }
}

TEST_F(GenerateLayersTest, ExistingLayersAreKeptWithoutDrawsButLocalWindIsReset) {
  WindState.layers = {{0.0, 1.0, 0.5}, {800.0, 2.0, 0.7}};
  WindState.layerCount = 2;
  WindState.windAltLimit = 800.0;
  for (WindRamp& ch : WindState.localWind) ch = WindRamp{1.5, 2.5, 3.5, 4.5, 5.5};
  WindState.shearRise = WindRamp{1.0, 2.0, 3.0, 4.0, 5.0};
  WindState.shearClock = 42.0;

  Lfsr113 before = wind_test::ModuleGenerator();
  WindState.GenerateLayers();

  EXPECT_EQ(DrawsSince(before), 0);
  ASSERT_EQ(WindState.layerCount, 2);
  EXPECT_EQ(WindState.layers[1].altitude, 800.0);
  EXPECT_EQ(WindState.layers[1].strength, 2.0);
  for (int k = 0; k < 3; ++k) {
    SCOPED_TRACE(testing::Message() << "localWind[" << k << "]");
    const WindRamp& ch = WindState.localWind[k];
    EXPECT_EQ(ch.timeLeft, 0.0);
    EXPECT_EQ(ch.startValue, 0.0);
    EXPECT_EQ(ch.endValue, 0.0);
    EXPECT_EQ(ch.holdLeft, 0.0);
    EXPECT_EQ(ch.rate, 4.5) << "rate is overwritten by the next cycle, not here";
  }
  EXPECT_EQ(WindState.shearRise.timeLeft, 1.0) << "the shear is not touched";
  EXPECT_EQ(WindState.shearClock, 42.0);
}

TEST_F(GenerateLayersTest, NewLayersAlsoResetTheLocalWind) {
  for (WindRamp& ch : WindState.localWind) ch = WindRamp{1.5, 2.5, 3.5, 4.5, 5.5};
  Generate(wind_test::kPublishedDefault, 3000.0);
  for (const WindRamp& ch : WindState.localWind) {
    EXPECT_EQ(ch.timeLeft, 0.0);
    EXPECT_EQ(ch.endValue, 0.0);
    EXPECT_EQ(ch.holdLeft, 0.0);
  }
}

TEST_F(GenerateLayersTest, NonFiniteOrAbsurdLimitMakesNoLayersInsteadOfGrowingForever) {
  const double kLimits[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), 1.6e47,
                            1.0e6 + 1.0};
  for (double limit : kLimits) {
    SCOPED_TRACE(testing::Message() << "windAltLimit " << limit);
    WindState = WindStateRecord{};
    WindState.localWind[0].endValue = 1.0;
    EXPECT_EQ(Generate(wind_test::kPublishedDefault, limit), 0);
    EXPECT_EQ(WindState.layerCount, 0);
    EXPECT_TRUE(WindState.layers.empty());
    EXPECT_EQ(WindState.localWind[0].endValue, 0.0) << "the local wind is reset all the same";
  }
}

}  // namespace
