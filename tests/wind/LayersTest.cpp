#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "module/WindState.h"
#include "tests/wind/WindTestSupport.h"

namespace {

using wind_test::DrawsSince;
using wind_test::Lfsr113;

constexpr double kTwoPi = 6.283185307179586;

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

TEST_F(GenerateLayersTest, EveryLimitGivesAStackFromZeroToTheLimitInItsStepsWithFourDrawsALayer) {
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

// Worked from the published default state (987654321 in all four words).
// Its outputs r0, r1, ... are 3952563604, 1192989748, 2423800670, 1230242343,
// 788132445, 600377558, 2925417274, 1761952289, 1503089993, 1493859027,
// 1615403713, 777679213, 3291393357, 3197113081, 2990223811, 3182172288,
// 1378835637, 845562544, 666420848, 3307709654, 3694427472, 3631345010,
// 3419967764, 3586044833, and u = r / 4294967295. Worked once in Python,
// whose doubles round as the module's do, so the results are exact:
//   d0 = u0 pi = 0.9202779282164476 pi = 2.8911383785456266
//   layer 0 at 0 m: d = (u1 - 0.5) pi/2 + d0 = (0.27776457096397983 - 0.5) pi/2 + d0
//     = 2.542051782932158; s = 0 u3 0.07 + u2 = 0.5643350702161749, below 500 m so
//     times 0.7 = 0.3950345491513224
//   step from 0 m (short): u4 1000 = 183.50138449657274 m
//   layer 1: d = (u5 - 0.5) pi/2 + 2.542051782932158 = 1.9762294155819506;
//     s = (1 u7 0.07 + u6) 0.7 = (0.41023648563079457 0.07 + 0.6811267870201558) 0.7
//     = 0.496890338710018
//   step: + u8 1000 = + 349.96541062136305 = 533.4667951179358 m
//   layer 2: d = (u9 - 0.5) pi/2 + 1.9762294155819506 = 1.737179596930396;
//     s = 2 u11 0.07 + u10, at 500 m or above plus 0.1 = 0.5014649435927777
//   step: + u12 1000 = + 766.3372340068075 = 1299.8040291247435 m
//   layer 3: d = (u13 - 0.5) pi/2 + 1.737179596930396 = 2.1210600657192993;
//     s = 3 u15 0.07 + u14 + 0.1 = 0.9518062514094184
//   step from above 1000 m (long): + u16 5000 + 500 = + 1605.1759446517508 + 500
//     = 3404.9799737764943 m
//   limit 1500 m: past it, so the last layer stands at 1500 m; limit 8000 m:
//     a layer there, then + u20 5000 + 500 = 8205.86 m passes the limit.
//   layer 4: d = (u17 - 0.5) pi/2 + 2.1210600657192993 = 1.6449090855860364;
//     s = 4 u19 0.07 + u18 + 0.1 = 0.47080132204359426
//   layer 5 (limit 8000 m), at 8000 m: d = (u21 - 0.5) pi/2 + 1.6449090855860364
//     = 2.1876009892942045; s = 5 u23 0.07 + u22 + 0.1 = 1.1885026903447005
TEST_F(GenerateLayersTest, LayersWorkedByHandFromThePublishedDefaultState) {
  struct Case {
    double limit;
    std::vector<WindLayer> layers;  // altitude, strength, direction
  };
  const Case kCases[] = {
      {1500.0,
       {{0.0, 0.3950345491513224, 2.542051782932158},
        {183.50138449657274, 0.496890338710018, 1.9762294155819506},
        {533.4667951179358, 0.5014649435927777, 1.737179596930396},
        {1299.8040291247435, 0.9518062514094184, 2.1210600657192993},
        {1500.0, 0.47080132204359426, 1.6449090855860364}}},
      {8000.0,
       {{0.0, 0.3950345491513224, 2.542051782932158},
        {183.50138449657274, 0.496890338710018, 1.9762294155819506},
        {533.4667951179358, 0.5014649435927777, 1.737179596930396},
        {1299.8040291247435, 0.9518062514094184, 2.1210600657192993},
        {3404.9799737764943, 0.47080132204359426, 1.6449090855860364},
        {8000.0, 1.1885026903447005, 2.1876009892942045}}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "windAltLimit " << c.limit);
    WindState = WindStateRecord{};
    EXPECT_EQ(Generate(wind_test::kPublishedDefault, c.limit), static_cast<int>(4 * c.layers.size()));
    ExpectSameLayers(WindState.layers, c.layers);
  }
}

// The published default state four draws on, whose outputs are the default
// state's from r4 on: u = r / 4294967295 for r4 ... r19 above. Up to 3000 m:
//   d0 = u4 pi = 0.5764866014579889
//   layer 0 at 0 m: d = (u5 - 0.5) pi/2 + d0 = 0.0106642341077815; s = u6 0.7
//     = 0.47678875091410905; step u8 1000 = 349.96541062136305 m
//   layer 1: d = (u9 - 0.5) pi/2 + 0.0106642341077815 = -0.22838558454377314,
//     below 0, plus 2 pi = 6.0547997226358135; s = (u11 0.07 + u10) 0.7
//     = 0.2721531504786464; step + u12 1000 = 1116.3026446281706 m
//   layer 2: d = (u13 - 0.5) pi/2 + 6.0547997226358135 = 6.438680191424717,
//     above 2 pi, less 2 pi = 0.15549488424513047; s = 2 u15 0.07 + u14 + 0.1
//     = 0.8999427458550647; step + u16 5000 + 500 passes 3000 m
//   layer 3 at 3000 m: d = (u17 - 0.5) pi/2 + 0.15549488424513047
//     = -0.3206560958881324, plus 2 pi = 5.962529211291454;
//     s = 3 u19 0.07 + u18 + 0.1 = 0.4168917902877768
TEST_F(GenerateLayersTest, DirectionsWrapIntoZeroToTwoPiOnBothSides) {
  const Lfsr113 kFourDrawsOn = {{0x55e46648u, 0xde68b68du, 0xf7c9872cu, 0x351155ceu}};
  Lfsr113 check = wind_test::kPublishedDefault;
  for (int n = 0; n < 4; ++n) check.Next();
  ASSERT_TRUE(check == kFourDrawsOn);

  EXPECT_EQ(Generate(kFourDrawsOn, 3000.0), 16);
  ExpectSameLayers(WindState.layers, {{0.0, 0.47678875091410905, 0.0106642341077815},
                                      {349.96541062136305, 0.2721531504786464, 6.0547997226358135},
                                      {1116.3026446281706, 0.8999427458550647, 0.15549488424513047},
                                      {3000.0, 0.4168917902877768, 5.962529211291454}});
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
  // Its ninth output, 3624532661, after the start draw and layers 0 (four)
  // and 1 (three): 1000 + 3624532661 / 4294967295 * 1000 m; a long step would
  // be at least 1500 m.
  EXPECT_EQ(WindState.layers[2].altitude, 1843.9022726015892);
}

TEST_F(GenerateLayersTest, StrengthRuleChangesAtExactly500Metres) {
  // From the published default state the third layer is the last at these
  // limits; with u10 and u11 of the worked example above, its strength is
  // 2 u11 0.07 + u10 = 0.40146494359277773, plus 0.1 at 500 m or above,
  // times 0.7 below.
  struct Case {
    double limit;
    double strength;
  };
  const Case kCases[] = {{500.0, 0.5014649435927777}, {499.999, 0.28102546051494437}, {500.001, 0.5014649435927777}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "top layer at " << c.limit << " m");
    WindState = WindStateRecord{};
    EXPECT_EQ(Generate(wind_test::kPublishedDefault, c.limit), 12);
    ASSERT_EQ(WindState.layerCount, 3);
    EXPECT_EQ(WindState.layers.back().altitude, c.limit);
    EXPECT_EQ(WindState.layers.back().strength, c.strength);
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
