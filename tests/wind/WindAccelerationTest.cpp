#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "module/WindState.h"
#include "tests/wind/WindTestSupport.h"

namespace {

using wind_test::DrawsSince;
using wind_test::FirstStateWhere;
using wind_test::Lfsr113;
using wind_test::Passes;
using wind_test::Vec;
using wind_test::Vector3Near;

constexpr double kPi = 3.141592653589793;
constexpr double kHalfPi = 1.5707963267948966;
// The worked examples are printed to six decimals.
constexpr double kSixFigures = 5e-7;
// Same formula evaluated by the test: only last-bit differences allowed.
constexpr double kRounding = 1e-12;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

double SignedSquare(double v) { return v * std::fabs(v); }

// The output mix of the model, written out for the expectations.
VECTOR3 Mix(double side, double vertical, double horizontal, double pitch) {
  return Vec(side, horizontal * std::sin(pitch) + vertical * std::cos(pitch),
             vertical * std::sin(pitch) + horizontal * std::cos(pitch));
}

// The global wind of a layer with strength s and direction d, heading h,
// scaled strength w = s * level / 10.
VECTOR3 LayerWind(double w, double d, double heading, double pitch) {
  return Mix(-SignedSquare(w * std::sin(d - heading)), 0.0, -SignedSquare(w * std::cos(d - heading)), pitch);
}

void ExpectSameRamp(const WindRamp& a, const WindRamp& b, const char* name) {
  SCOPED_TRACE(name);
  EXPECT_EQ(a.timeLeft, b.timeLeft);
  EXPECT_EQ(a.startValue, b.startValue);
  EXPECT_EQ(a.endValue, b.endValue);
  EXPECT_EQ(a.rate, b.rate);
  EXPECT_EQ(a.holdLeft, b.holdLeft);
}

void ExpectSameShearState(const WindStateRecord& a, const WindStateRecord& b) {
  ExpectSameRamp(a.shearRise, b.shearRise, "shearRise");
  ExpectSameRamp(a.shearTurn, b.shearTurn, "shearTurn");
  ExpectSameRamp(a.shearFall, b.shearFall, "shearFall");
  EXPECT_EQ(a.shearSign, b.shearSign);
  EXPECT_EQ(a.shearClock, b.shearClock);
}

void ExpectSameLocalState(const WindStateRecord& a, const WindStateRecord& b) {
  ExpectSameRamp(a.localWind[0], b.localWind[0], "localWind[0]");
  ExpectSameRamp(a.localWind[1], b.localWind[1], "localWind[1]");
  ExpectSameRamp(a.localWind[2], b.localWind[2], "localWind[2]");
}

class WindAccelerationTest : public wind_test::WindTest {
 protected:
  static VECTOR3 Step(double pitch, double dt, double altitude, double heading) {
    WindState.ComputeWindAcceleration(pitch, dt, altitude, heading);
    return WindAccel;
  }
  static void SetLayers(const std::vector<WindLayer>& layers) {
    WindState.layers = layers;
    WindState.layerCount = static_cast<int32_t>(WindState.layers.size());
  }
  // Every component on and about to act and draw: layers, a shear event due,
  // local channels ramping, pausing and drawing.
  static void ArmEverything() {
    SetLayers({{0.0, 1.0, 0.0}, {1000.0, 3.0, 1.0}});
    WindState.WNDlvl = 10;
    WindState.SHRlvl = 5;
    WindState.TURlvl = 5;
    WindState.SHRt = 0;
    WindState.shearClock = 100.0;
    WindState.localWind[0] = WindRamp{0.5, 0.0, 0.3, 0.2, 0.0};
    WindState.localWind[1] = WindRamp{-0.1, 0.0, 0.0, 0.1, 0.4};
    WindState.localWind[2] = WindRamp{0.0, 0.0, 0.2, 0.1, 0.0};
  }
  // The shear state of an event in progress, for the phase tests.
  static void SetShearEvent(double riseLeft, double turnLeft, double fallLeft, int32_t sign) {
    WindState.shearRise = WindRamp{riseLeft, 0.0, 1.2, 0.4, 0.0};
    WindState.shearTurn = WindRamp{turnLeft, 0.3, 3.5, 0.64, 0.0};
    WindState.shearFall = WindRamp{fallLeft, 0.0, 0.0, 0.3, 0.0};
    WindState.shearSign = sign;
  }
};

// ---- Global wind ----

TEST_F(WindAccelerationTest, GlobalWindWorkedExamplesAt500Metres) {
  struct Case {
    double pitch;
    VECTOR3 expected;
  };
  const Case kCases[] = {
      {0.0, Vec(-0.919395, 0.0, -3.080605)},
      {0.3, Vec(-0.919395, -0.910381, -2.943014)},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "pitch " << c.pitch);
    WindState = WindStateRecord{};
    SetLayers({{0.0, 1.0, 0.0}, {1000.0, 3.0, 1.0}});
    WindState.WNDlvl = 10;
    Lfsr113 before = wind_test::ModuleGenerator();
    EXPECT_TRUE(Vector3Near(Step(c.pitch, 0.1, 500.0, 0.0), c.expected, kSixFigures));
    EXPECT_EQ(DrawsSince(before), 0) << "the global wind draws nothing";
  }
  EXPECT_EQ(Step(0.0, 0.1, 500.0, 0.0).y, 0.0) << "no vertical part at zero pitch";
}

TEST_F(WindAccelerationTest, GlobalWindDirectionIsInterpolatedWithoutWrapping) {
  SetLayers({{0.0, 1.0, 6.0}, {1000.0, 1.0, 0.2}});
  WindState.WNDlvl = 10;
  VECTOR3 v = Step(0.0, 0.1, 500.0, 0.0);
  EXPECT_TRUE(Vector3Near(v, LayerWind(1.0, 3.1, 0.0, 0.0), kRounding));
  EXPECT_GT(v.z, 0.0) << "3.1 rad pushes forward; a wrapped 0.1 rad would push back";
}

TEST_F(WindAccelerationTest, GlobalWindDirectionIsTheBearingItBlowsFrom) {
  // Both layers alike, so the interpolated wind is the layer's own.
  struct Case {
    const char* what;
    double offset;  // layer direction minus heading
    int level;
    VECTOR3 expected;  // strength 2
  };
  const Case kCases[] = {
      {"from ahead pushes back", 0.0, 10, Vec(0.0, 0.0, -4.0)},
      {"from a quarter turn right pushes to -x", kHalfPi, 10, Vec(-4.0, 0.0, 0.0)},
      {"from behind pushes forward (negative along adds)", kPi, 10, Vec(0.0, 0.0, 4.0)},
      {"level 5 halves the strength", 0.0, 5, Vec(0.0, 0.0, -1.0)},
  };
  const double kHeading = 0.7;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    WindState = WindStateRecord{};
    SetLayers({{0.0, 2.0, kHeading + c.offset}, {1000.0, 2.0, kHeading + c.offset}});
    WindState.WNDlvl = c.level;
    EXPECT_TRUE(Vector3Near(Step(0.0, 0.1, 400.0, kHeading), c.expected, kRounding));
  }
}

TEST_F(WindAccelerationTest, GlobalWindTakesTheNearestLayerWhereNoPairEncloses) {
  const WindLayer kLayers[] = {{0.0, 1.0, 0.0}, {1000.0, 3.0, 1.0}, {3000.0, 5.0, 2.0}};
  struct Case {
    const char* what;
    double altitude;
    int layer;
  };
  const Case kCases[] = {
      {"below the lowest layer", -20.0, 0},     {"exactly at the lowest layer", 0.0, 0},
      {"exactly at a middle layer", 1000.0, 1}, {"exactly at the top layer", 3000.0, 2},
      {"above the top layer", 3500.0, 2},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    WindState = WindStateRecord{};
    SetLayers({kLayers[0], kLayers[1], kLayers[2]});
    WindState.WNDlvl = 10;
    const WindLayer& l = kLayers[c.layer];
    VECTOR3 v = Step(0.0, 0.1, c.altitude, 0.3);
    EXPECT_TRUE(Vector3Near(v, LayerWind(l.strength, l.direction, 0.3, 0.0), kRounding));
  }
}

TEST_F(WindAccelerationTest, GlobalWindIsContinuousAcrossALayerAltitude) {
  SetLayers({{0.0, 1.0, 0.0}, {1000.0, 3.0, 1.0}, {3000.0, 5.0, 2.0}});
  WindState.WNDlvl = 10;
  VECTOR3 at = Step(0.0, 0.1, 1000.0, 0.3);
  for (double offset : {-1e-6, 1e-6}) {
    SCOPED_TRACE(testing::Message() << "1000 m " << offset);
    EXPECT_TRUE(Vector3Near(Step(0.0, 0.1, 1000.0 + offset, 0.3), at, 1e-5));
  }
}

TEST_F(WindAccelerationTest, GlobalWindWithOneLayerOrNone) {
  WindState.WNDlvl = 10;
  SetLayers({{0.0, 2.0, 0.5}});
  EXPECT_TRUE(Vector3Near(Step(0.0, 0.1, 700.0, 0.0), LayerWind(2.0, 0.5, 0.0, 0.0), kRounding));
  SetLayers({});
  WindAccel = Vec(9.0, 9.0, 9.0);
  EXPECT_TRUE(Vector3Near(Step(0.0, 0.1, 700.0, 0.0), Vec(0.0, 0.0, 0.0), 0.0)) << "no layers, no global wind";
}

TEST_F(WindAccelerationTest, GlobalWindSearchStaysInsideTheListWhenTheCountIsTooHigh) {
  SetLayers({{0.0, 1.0, 0.0}, {1000.0, 3.0, 1.0}});
  WindState.layerCount = 50;  // a broken invariant must not read past the list
  WindState.WNDlvl = 10;
  EXPECT_TRUE(Vector3Near(Step(0.0, 0.1, 5000.0, 0.0), LayerWind(3.0, 1.0, 0.0, 0.0), kRounding));
}

// The push is sign(v) * v * v of each component, to the last bit: a zero
// component pushes with +0 (side -0 after the negation), also when it is -0,
// and a square too small for a double keeps the component's sign. The page
// shows a side of -0 as -0.000. One layer, strength 2, heading 0: the
// lateral component is 2 sin(direction).
TEST_F(WindAccelerationTest, GlobalWindSidePushOfAZeroOrVanishingComponentKeepsTheSignOfItsSquare) {
  struct Case {
    const char* what;
    double direction;
    bool negativeZero;  // the side comes out as -0 rather than +0
  };
  const Case kCases[] = {
      {"+0: sign 0, square +0, side -0", 0.0, true},
      {"-0: sign 0, square +0, side -0", -0.0, true},
      {"-4e-200 squared: -0, side +0", -1e-200, false},
      {"+4e-200 squared: +0, side -0", 1e-200, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    WindState = WindStateRecord{};
    SetLayers({{0.0, 2.0, c.direction}});
    WindState.WNDlvl = 10;
    VECTOR3 v = Step(0.0, 0.1, 500.0, 0.0);
    EXPECT_EQ(v.x, 0.0);
    EXPECT_EQ(std::signbit(v.x), c.negativeZero);
  }
}

// The search starts from the pair the last step used. Layers whose pairs
// give different strengths (direction 0 = heading, so the wind is -w^2
// forward): 1, 3, 2, 6 at 0, 1000, 2000, 3000 m, that is w = 1 + 2f, 3 - f
// and 2 + 4f at the fraction f of the first, second and third pair.
const std::vector<WindLayer> kRisingLayers = {
    {0.0, 1.0, 0.0}, {1000.0, 3.0, 0.0}, {2000.0, 2.0, 0.0}, {3000.0, 6.0, 0.0}};

TEST_F(WindAccelerationTest, GlobalWindPairFollowsTheAltitudeUpAndDownTheLayers) {
  SetLayers(kRisingLayers);
  WindState.WNDlvl = 10;
  struct Case {
    const char* what;
    double altitude;
    double w;
  };
  const Case kCases[] = {
      {"first pair", 250.0, 1.5},
      {"up to the next pair", 1250.0, 2.75},
      {"a jump of two pairs", 2750.0, 5.0},
      {"down within the pair", 2250.0, 3.0},
      {"down to the next pair", 1750.0, 2.25},
      {"the same altitude again", 1750.0, 2.25},
      {"exactly at a layer: its own strength", 1000.0, 3.0},
      {"the same layer altitude again", 1000.0, 3.0},
      {"below it, from there", 500.0, 2.0},
      {"above the top layer", 3500.0, 6.0},
      {"back into the top pair", 2500.0, 4.0},
      {"at or below the lowest layer", -10.0, 1.0},
      {"back into the first pair", 750.0, 2.5},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.what << ", " << c.altitude << " m");
    EXPECT_TRUE(Vector3Near(Step(0.0, 0.0, c.altitude, 0.0), Vec(0.0, 0.0, -c.w * c.w), kRounding));
  }
}

// Layers set by hand need not rise: 1, 3, 5, 7 at 0, 2000, 1000, 3000 m.
// 2500 m lies only in the third pair (w = 5 + 2 * 0.75 = 6.5); 1500 m lies in
// the first (w = 1 + 2 * 0.75 = 2.5) and the third (5.5): the first counts.
const std::vector<WindLayer> kUnorderedLayers = {
    {0.0, 1.0, 0.0}, {2000.0, 3.0, 0.0}, {1000.0, 5.0, 0.0}, {3000.0, 7.0, 0.0}};

TEST_F(WindAccelerationTest, GlobalWindTakesTheFirstEnclosingPairOfLayersThatDoNotRise) {
  SetLayers(kUnorderedLayers);
  WindState.WNDlvl = 10;
  EXPECT_TRUE(Vector3Near(Step(0.0, 0.1, 2500.0, 0.0), Vec(0.0, 0.0, -6.5 * 6.5), kRounding));
  EXPECT_TRUE(Vector3Near(Step(0.0, 0.1, 1500.0, 0.0), Vec(0.0, 0.0, -2.5 * 2.5), kRounding));
}

TEST_F(WindAccelerationTest, GlobalWindForgetsItsPairWhenTheLayersAreClearedOrMade) {
  struct Case {
    const char* what;
    void (*renew)();
  };
  const Case kCases[] = {
      {"ClearWind, then layers set by hand",
       [] {
         WindState.ClearWind();
         SetLayers(kUnorderedLayers);
       }},
      {"layers set by hand, then GenerateLayers, which keeps them",
       [] {
         SetLayers(kUnorderedLayers);
         WindState.GenerateLayers();
       }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    WindState = WindStateRecord{};
    SetLayers(kRisingLayers);
    WindState.WNDlvl = 10;
    Step(0.0, 0.1, 2500.0, 0.0);  // the third pair
    c.renew();
    // The third pair of the new layers encloses 1500 m too; the first counts.
    EXPECT_TRUE(Vector3Near(Step(0.0, 0.1, 1500.0, 0.0), Vec(0.0, 0.0, -2.5 * 2.5), kRounding));
  }
}

TEST_F(WindAccelerationTest, GlobalWindPairOfTheLastStepIsNotReadPastAShorterList) {
  SetLayers(kRisingLayers);
  WindState.WNDlvl = 10;
  Step(0.0, 0.1, 2500.0, 0.0);  // the third pair
  // Two layers, set without a reset; the list keeps its storage, so the old
  // third pair (2000 m to 3000 m) still lies past its end. 2500 m is in the
  // one pair: w = 1 + 2 * 2500 / 4000 = 2.25.
  SetLayers({{0.0, 1.0, 0.0}, {4000.0, 3.0, 0.0}});
  EXPECT_TRUE(Vector3Near(Step(0.0, 0.1, 2500.0, 0.0), Vec(0.0, 0.0, -2.25 * 2.25), kRounding));
}

// ---- All off, bad input, overflow ----

TEST_F(WindAccelerationTest, AllLevelsZeroGiveZeroDrawNothingAndFreezeTheState) {
  ArmEverything();
  WindState.WNDlvl = WindState.SHRlvl = WindState.TURlvl = 0;
  WindStateRecord before = WindState;
  Lfsr113 generator = wind_test::ModuleGenerator();
  WindAccel = Vec(1.0, 2.0, 3.0);
  EXPECT_TRUE(Vector3Near(Step(0.2, 0.1, 500.0, 0.3), Vec(0.0, 0.0, 0.0), 0.0));
  EXPECT_EQ(DrawsSince(generator), 0);
  ExpectSameShearState(WindState, before);
  ExpectSameLocalState(WindState, before);
}

TEST_F(WindAccelerationTest, NonFiniteArgumentGivesZeroWithoutDrawOrStateChange) {
  const double kBad[] = {kNaN, kInf, -kInf};
  const char* const kArgument[] = {"pitch", "dt", "altitude", "heading"};
  for (int arg = 0; arg < 4; ++arg) {
    for (double bad : kBad) {
      SCOPED_TRACE(testing::Message() << kArgument[arg] << " " << bad);
      WindState = WindStateRecord{};
      ArmEverything();
      WindStateRecord before = WindState;
      Lfsr113 generator = wind_test::ModuleGenerator();
      double args[4] = {0.1, 0.1, 500.0, 0.3};
      args[arg] = bad;
      WindAccel = Vec(1.0, 2.0, 3.0);
      EXPECT_TRUE(Vector3Near(Step(args[0], args[1], args[2], args[3]), Vec(0.0, 0.0, 0.0), 0.0));
      EXPECT_EQ(DrawsSince(generator), 0);
      ExpectSameShearState(WindState, before);
      ExpectSameLocalState(WindState, before);
    }
  }
}

TEST_F(WindAccelerationTest, OverflowingResultIsWrittenAsZero) {
  struct Case {
    const char* what;
    void (*arrange)();
  };
  const Case kCases[] = {
      {"global wind squared past the largest double",
       [] {
         WindState.layers = {{0.0, 1e200, 0.2}, {1000.0, 1e200, 0.2}};
         WindState.layerCount = 2;
         WindState.WNDlvl = 10;
       }},
      {"local ramp value past the largest double",
       [] {
         WindState.TURlvl = 10;
         WindState.localWind[2] = WindRamp{10.0, 0.0, 1e308, -1e308, 0.0};
       }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    WindState = WindStateRecord{};
    c.arrange();
    EXPECT_TRUE(Vector3Near(Step(0.1, 0.1, 500.0, 0.0), Vec(0.0, 0.0, 0.0), 0.0));
  }
}

TEST_F(WindAccelerationTest, ExtremeFiniteInputsStayFinite) {
  ArmEverything();
  WindState.TURlvl = 10;
  const double kExtremes[][4] = {
      {1e300, 0.1, 500.0, 0.0}, {0.0, 1e308, 500.0, 0.0}, {0.0, 0.1, -1e308, 0.0},
      {0.0, 0.1, 1e308, 0.0},   {0.0, 0.1, 500.0, 1e308}, {0.0, 0.1, 500.0, -1e308},
  };
  for (int round = 0; round < 3; ++round) {
    for (const auto& a : kExtremes) {
      VECTOR3 v = Step(a[0], a[1], a[2], a[3]);
      EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z))
          << "pitch " << a[0] << " dt " << a[1] << " altitude " << a[2] << " heading " << a[3];
    }
  }
}

// ---- Wind shear ----

TEST_F(WindAccelerationTest, ShearEventStartsPastTheThresholdWithNineDrawsAndAddsNothing) {
  Lfsr113 start = FirstStateWhere(wind_test::kPublishedDefault, [](Lfsr113& g) { return Passes(g.Next()); });
  for (int mirrored = 0; mirrored < 2; ++mirrored) {
    SCOPED_TRACE(mirrored ? "second test passes: mirrored" : "second test fails");
    Lfsr113 state = FirstStateWhere(start, [&](Lfsr113& g) {
      if (!Passes(g.Next())) return false;
      for (int n = 0; n < 6; ++n) g.Next();
      return Passes(g.Next()) == (mirrored == 1);
    });
    WindState = WindStateRecord{};
    WindState.SHRlvl = 7;
    WindState.SHRt = 0;
    wind_test::SetModuleGenerator(state);
    const double kHeading = 0.4;

    EXPECT_TRUE(Vector3Near(Step(0.2, 0.1, 500.0, kHeading), Vec(0.0, 0.0, 0.0), 0.0));
    EXPECT_EQ(DrawsSince(state), 9);

    Lfsr113 g = state;
    g.Next();  // the test that started it
    double u[6];
    for (double& x : u) x = g.Uniform();
    bool secondTest = Passes(g.Next());
    double u8 = g.Uniform();
    const WindStateRecord& w = WindState;
    EXPECT_EQ(w.shearClock, u[0] * 30.0 - 15.0);
    EXPECT_EQ(w.shearRise.timeLeft, u[1] * 5.0 + 1.0);
    EXPECT_EQ(w.shearRise.endValue, u[2] * 7 * 0.1 + 7 * 0.1);
    EXPECT_EQ(w.shearRise.rate, w.shearRise.endValue / w.shearRise.timeLeft);
    EXPECT_EQ(w.shearTurn.startValue, (u[3] - 0.5) * kHalfPi + kHeading);
    EXPECT_EQ(w.shearTurn.timeLeft, u[4] * 7.0 + 2.0);
    EXPECT_EQ(w.shearTurn.endValue, (u[5] - 0.5) * 0.7853981633974483 + (w.shearTurn.startValue + kPi));
    EXPECT_EQ(w.shearTurn.rate, (w.shearTurn.endValue - w.shearTurn.startValue) / w.shearTurn.timeLeft);
    EXPECT_EQ(w.shearSign, secondTest ? -1 : 1);
    EXPECT_EQ(w.shearFall.timeLeft, u8 * 7.0 + 2.0);
    EXPECT_EQ(w.shearFall.rate, w.shearRise.endValue / w.shearFall.timeLeft);
  }
}

TEST_F(WindAccelerationTest, IdleShearTestsOnlyPastTheThresholdStrictly) {
  // A state whose next test fails, so a test shows as exactly one draw.
  Lfsr113 failing = FirstStateWhere(wind_test::kPublishedDefault, [](Lfsr113& g) { return !Passes(g.Next()); });
  struct Case {
    const char* what;
    int shrT;
    double clock;
    double dt;
    int draws;
  };
  const Case kCases[] = {
      {"SHRt 10, clock reaches 300 s exactly: not past", 10, 299.0, 1.0, 0},
      {"SHRt 10, clock 300.5 s: past", 10, 300.0, 0.5, 1},
      {"SHRt 0, clock stays 0: not past", 0, 0.0, 0.0, 0},
      {"SHRt 0, clock just above 0: past", 0, 0.0, 0.001, 1},
      {"negative clock after an event waits", 0, -10.0, 0.1, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    WindState = WindStateRecord{};
    WindState.SHRlvl = 4;
    WindState.SHRt = c.shrT;
    WindState.shearClock = c.clock;
    wind_test::SetModuleGenerator(failing);
    EXPECT_TRUE(Vector3Near(Step(0.0, c.dt, 500.0, 0.0), Vec(0.0, 0.0, 0.0), 0.0));
    EXPECT_EQ(DrawsSince(failing), c.draws);
    EXPECT_EQ(WindState.shearClock, c.clock + c.dt);
    EXPECT_EQ(WindState.shearRise.timeLeft, 0.0) << "no event";
  }
}

TEST_F(WindAccelerationTest, OneIn32TestPassesStrictlyBelowTwoToThe27) {
  // States whose next output is the named value, found by solving the
  // generator's linear recurrence.
  struct Case {
    const char* what;
    Lfsr113 state;
    uint32_t raw;
    int draws;
  };
  const Case kCases[] = {
      {"2^27 - 1 passes: an event", {{0xb0296f85u, 0xdd21494cu, 0x8f4d3e27u, 0xdb5b5fabu}}, 0x07FFFFFFu, 9},
      {"2^27 fails: the test alone", {{0x40166c7bu, 0xdd21494cu, 0x8f4d3e27u, 0xdb5b5fabu}}, 0x08000000u, 1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    Lfsr113 probe = c.state;
    ASSERT_EQ(probe.Next(), c.raw);
    WindState = WindStateRecord{};
    WindState.SHRlvl = 2;
    WindState.SHRt = 0;
    wind_test::SetModuleGenerator(c.state);
    Step(0.0, 0.1, 500.0, 0.0);
    EXPECT_EQ(DrawsSince(c.state), c.draws);
  }
}

// One step in each phase of the event SetShearEvent describes, SHRlvl 6,
// heading 0.1, pitch 0.25, from the published default state, whose first
// output gives the vertical draw. The winds were computed once with this
// Python 3 script:
//
//   from math import sin, cos
//   u = 3952563604 / 4294967295  # the published default state's first output
//   def ss(v): return v * abs(v)
//   def mix(S, U, H, p=0.25): return (S, H * sin(p) + U * cos(p), U * sin(p) + H * cos(p))
//   for sign in (1, -1):
//       m, r = 1.2 - 0.4 * 2.0, 0.3 - 0.1  # rise, 2 s left
//       print("rise", sign, mix(-ss(m * sin(r) * sign), -(u - 0.5) * m * 0.2, -ss(m * cos(r))))
//       d, a = 3.5 - 0.64 * 3.0, 1.2  # turn, 3 s left
//       across = a * sin(d - 0.1) * sign
//       print("turn", sign, mix(-ss(across), -((u - 0.5) * 6 * 0.2 + across * across), -ss(a * cos(d - 0.1))))
//       m, r = 0.3 * 4.0, 3.5 - 0.1  # fall, 4 s left
//       print("fall", sign, mix(-ss(m * sin(r)), -(u - 0.5) * 6 * 0.2, -ss(m * cos(r))))
TEST_F(WindAccelerationTest, ShearPhasesGiveTheWorkedWindAndTheSignMirrorsTheSideOfRiseAndTurn) {
  enum Phase { kRise, kTurn, kFall };
  struct Case {
    const char* what;
    Phase phase;
    int32_t sign;
    VECTOR3 wind;
  };
  const Case kCases[] = {
      {"rise", kRise, 1, Vec(-0.006315120479769188, -0.07059924808843787, -0.15722546267049842)},
      {"rise mirrored", kRise, -1, Vec(0.006315120479769188, -0.07059924808843787, -0.15722546267049842)},
      {"turn", kTurn, 1, Vec(-1.4281612653844842, -1.8753471463171383, -0.4895775566500243)},
      {"turn mirrored", kTurn, -1, Vec(1.4281612653844842, -1.8753471463171383, -0.4895775566500243)},
      {"fall", kFall, 1, Vec(0.0940338069481258, -0.15565764107990565, 1.1793492555369038)},
      {"fall, its side never mirrored", kFall, -1, Vec(0.0940338069481258, -0.15565764107990565, 1.1793492555369038)},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    WindState = WindStateRecord{};
    WindState.SHRlvl = 6;
    SetShearEvent(c.phase == kRise ? 2.0 : 0.0, c.phase <= kTurn ? 3.0 : 0.0, 4.0, c.sign);
    wind_test::SetModuleGenerator(wind_test::kPublishedDefault);

    EXPECT_TRUE(Vector3Near(Step(0.25, 0.1, 500.0, 0.1), c.wind, kRounding));
    EXPECT_EQ(DrawsSince(wind_test::kPublishedDefault), 1);
    EXPECT_EQ(WindState.shearClock, 0.1) << "the clock runs in every phase";
    // Only the running phase counts down.
    EXPECT_EQ(WindState.shearRise.timeLeft, c.phase == kRise ? 2.0 - 0.1 : 0.0);
    EXPECT_EQ(WindState.shearTurn.timeLeft, c.phase == kRise ? 3.0 : c.phase == kTurn ? 3.0 - 0.1 : 0.0);
    EXPECT_EQ(WindState.shearFall.timeLeft, c.phase == kFall ? 4.0 - 0.1 : 4.0);
  }
}

TEST_F(WindAccelerationTest, ShearTimerEndsAtExactlyZeroAndTheNextPhaseStartsNextStep) {
  struct Case {
    const char* what;
    double rise, turn, fall;  // timers left before the step
  };
  const Case kCases[] = {
      {"rise ends, turn follows", 0.05, 3.0, 4.0},
      {"turn ends, fall follows", 0.0, 0.05, 4.0},
      {"fall ends, idle follows", 0.0, 0.0, 0.05},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    WindState = WindStateRecord{};
    WindState.SHRlvl = 5;
    WindState.SHRt = 1999;  // no new event while idle
    SetShearEvent(c.rise, c.turn, c.fall, 1);

    Lfsr113 g = wind_test::ModuleGenerator();
    VECTOR3 last = Step(0.0, 0.1, 500.0, 0.2);
    EXPECT_EQ(DrawsSince(g), 1) << "the ending step still belongs to its phase";
    EXPECT_NE(last.z, 0.0);
    const WindRamp* ended = c.rise != 0.0   ? &WindState.shearRise
                            : c.turn != 0.0 ? &WindState.shearTurn
                                            : &WindState.shearFall;
    EXPECT_EQ(ended->timeLeft, 0.0) << "exactly 0, never below";
    EXPECT_EQ(WindState.shearTurn.timeLeft, c.rise != 0.0 ? c.turn : 0.0) << "next phase not started yet";
    EXPECT_EQ(WindState.shearFall.timeLeft, c.fall != 0.05 ? c.fall : 0.0);

    g = wind_test::ModuleGenerator();
    VECTOR3 next = Step(0.0, 0.1, 500.0, 0.2);
    if (c.rise != 0.0) {
      EXPECT_EQ(WindState.shearTurn.timeLeft, c.turn - 0.1);
      EXPECT_EQ(DrawsSince(g), 1);
    } else if (c.turn != 0.0) {
      EXPECT_EQ(WindState.shearFall.timeLeft, c.fall - 0.1);
      EXPECT_EQ(DrawsSince(g), 1);
    } else {
      EXPECT_TRUE(Vector3Near(next, Vec(0.0, 0.0, 0.0), 0.0)) << "after the event the shear adds exactly nothing";
      EXPECT_EQ(DrawsSince(g), 0);
    }
  }
}

TEST_F(WindAccelerationTest, ShearEventRunsRiseTurnFallThenReturnsToExactlyNothing) {
  Lfsr113 state = FirstStateWhere(wind_test::kPublishedDefault, [](Lfsr113& g) { return Passes(g.Next()); });
  wind_test::SetModuleGenerator(state);
  WindState.SHRlvl = 10;
  WindState.SHRt = 0;
  Step(0.0, 0.1, 500.0, 0.0);  // the event
  ASSERT_NE(WindState.shearRise.timeLeft, 0.0);
  WindState.SHRt = 1999;  // only this one event

  int phaseSeen = 0;  // 1 rise, 2 turn, 3 fall, 4 idle
  int steps = 0;
  for (; steps < 400 && phaseSeen < 4; ++steps) {
    int phase = WindState.shearRise.timeLeft != 0.0   ? 1
                : WindState.shearTurn.timeLeft != 0.0 ? 2
                : WindState.shearFall.timeLeft != 0.0 ? 3
                                                      : 4;
    ASSERT_GE(phase, phaseSeen) << "phases run in order, step " << steps;
    phaseSeen = phase;
    Lfsr113 g = wind_test::ModuleGenerator();
    VECTOR3 v = Step(0.0, 0.1, 500.0, 0.0);
    EXPECT_EQ(DrawsSince(g), phase < 4 ? 1 : 0) << "step " << steps;
    if (phase == 4) {
      EXPECT_TRUE(Vector3Near(v, Vec(0.0, 0.0, 0.0), 0.0)) << "step " << steps;
    }
    EXPECT_GE(WindState.shearRise.timeLeft, 0.0);
    EXPECT_GE(WindState.shearTurn.timeLeft, 0.0);
    EXPECT_GE(WindState.shearFall.timeLeft, 0.0);
  }
  EXPECT_EQ(phaseSeen, 4);
  EXPECT_GE(steps, 50) << "phases last 5 s at least";
  EXPECT_LE(steps, 245) << "phases last 24 s at most";
}

TEST_F(WindAccelerationTest, ShearDrawsComeBeforeLocalDraws) {
  Lfsr113 state = FirstStateWhere(wind_test::kPublishedDefault, [](Lfsr113& g) { return Passes(g.Next()); });
  wind_test::SetModuleGenerator(state);
  WindState.SHRlvl = 3;
  WindState.SHRt = 0;
  WindState.TURlvl = 10;
  Step(0.0, 0.1, 2000.0, 0.0);
  EXPECT_EQ(DrawsSince(state), 15) << "9 for the event, 2 for each new local cycle";
  Lfsr113 g = state;
  for (int n = 0; n < 9; ++n) g.Next();
  double u = g.Uniform();
  EXPECT_EQ(WindState.localWind[0].timeLeft, (10 * 1.5 - 10) * u + 0.5) << "channel 0 takes the 10th draw";
}

TEST_F(WindAccelerationTest, DrawsPerCallForEachSituation) {
  const Lfsr113 passing = FirstStateWhere(wind_test::kPublishedDefault, [](Lfsr113& g) { return Passes(g.Next()); });
  const Lfsr113 failing = FirstStateWhere(wind_test::kPublishedDefault, [](Lfsr113& g) { return !Passes(g.Next()); });
  struct Case {
    const char* what;
    void (*arrange)();
    bool testPasses;  // the generator's next one-in-32 test
    int draws;
  };
  const Case kCases[] = {
      {"global wind draws none",
       [] {
         WindState.layers = {{0.0, 1.0, 0.0}, {1000.0, 3.0, 1.0}};
         WindState.layerCount = 2;
         WindState.WNDlvl = 10;
       },
       true, 0},
      {"shear rise draws one",
       [] {
         WindState.SHRlvl = 5;
         WindState.shearRise.timeLeft = 1.0;
       },
       true, 1},
      {"shear turn draws one",
       [] {
         WindState.SHRlvl = 5;
         WindState.shearTurn.timeLeft = 1.0;
       },
       true, 1},
      {"shear fall draws one",
       [] {
         WindState.SHRlvl = 5;
         WindState.shearFall.timeLeft = 1.0;
       },
       true, 1},
      {"idle shear before the threshold draws none", [] { WindState.SHRlvl = 5; }, true, 0},
      {"idle shear past the threshold, test fails: the test",
       [] {
         WindState.SHRlvl = 5;
         WindState.shearClock = 400.0;
       },
       false, 1},
      {"idle shear past the threshold, event: test and eight",
       [] {
         WindState.SHRlvl = 5;
         WindState.shearClock = 400.0;
       },
       true, 9},
      {"local channels ramping or pausing draw none",
       [] {
         WindState.TURlvl = 5;
         WindState.localWind[0].timeLeft = 1.0;
         WindState.localWind[1].holdLeft = 1.0;
         WindState.localWind[2].timeLeft = 1.0;
       },
       true, 0},
      {"one local channel starting a cycle draws two",
       [] {
         WindState.TURlvl = 5;
         WindState.localWind[0].timeLeft = 1.0;
         WindState.localWind[2].holdLeft = 1.0;
       },
       true, 2},
      {"everything at once draws fifteen",
       [] {
         WindState.WNDlvl = WindState.TURlvl = WindState.SHRlvl = 10;
         WindState.shearClock = 400.0;
       },
       true, 15},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    WindState = WindStateRecord{};
    c.arrange();
    const Lfsr113& state = c.testPasses ? passing : failing;
    wind_test::SetModuleGenerator(state);
    Step(0.1, 0.1, 500.0, 0.2);
    EXPECT_EQ(DrawsSince(state), c.draws);
  }
}

// ---- Local wind ----

TEST_F(WindAccelerationTest, LocalNewCycleFromZeroDrawsTwoPerChannelAndAddsNothing) {
  WindState.TURlvl = 10;
  Lfsr113 g = wind_test::ModuleGenerator();
  EXPECT_TRUE(Vector3Near(Step(0.0, 0.1, 2000.0, 0.0), Vec(0.0, 0.0, 0.0), 0.0));
  EXPECT_EQ(DrawsSince(wind_test::kPublishedDefault), 6);
  for (int k = 0; k < 3; ++k) {
    SCOPED_TRACE(testing::Message() << "channel " << k);
    double time = (10 * 1.5 - 10) * g.Uniform() + 0.5;
    double target = (g.Uniform() - 0.5) * 10 * 0.2;
    if (k == 1) {
      target *= 0.7;
      time = time * 0.2 + 0.5;
    }
    const WindRamp& ch = WindState.localWind[k];
    EXPECT_EQ(ch.timeLeft, time);
    EXPECT_EQ(ch.endValue, target);
    EXPECT_EQ(ch.holdLeft, 0.0);
    EXPECT_EQ(ch.rate, target / time);
  }
}

TEST_F(WindAccelerationTest, LocalReturnCycleAimsAtZeroAndSetsAPauseFromTheLongTime) {
  for (int k = 0; k < 3; ++k) {
    SCOPED_TRACE(testing::Message() << "channel " << k);
    WindState = WindStateRecord{};
    WindState.TURlvl = 4;
    WindState.localWind[k] = WindRamp{-0.02, 0.0, 0.6, 1.0, 0.0};
    wind_test::SetModuleGenerator(wind_test::kPublishedDefault);
    Lfsr113 g = wind_test::kPublishedDefault;
    // Channels before k draw their first cycles first.
    for (int n = 0; n < 2 * k; ++n) g.Next();
    EXPECT_TRUE(Vector3Near(Step(0.0, 0.1, 300.0, 0.0), Vec(0.0, 0.0, 0.0), 0.0))
        << "the drawing step adds nothing although the channel stood at 0.6";
    double time = (10 * 1.5 - 4) * g.Uniform() + 0.5;
    double hold = (g.Uniform() + 0.5) * time;
    if (k == 1) time = time * 0.2 + 0.5;
    const WindRamp& ch = WindState.localWind[k];
    EXPECT_EQ(ch.endValue, 0.0);
    EXPECT_EQ(ch.timeLeft, time);
    EXPECT_EQ(ch.holdLeft, hold);
    EXPECT_EQ(ch.rate, -0.6 / time);
    EXPECT_EQ(DrawsSince(wind_test::kPublishedDefault), 6);
  }
}

TEST_F(WindAccelerationTest, LocalRampAddsItsNegatedValueThenPausesOrDraws) {
  struct Case {
    int channel;
    double holdLeft;
    int drawsAfter;  // on the step after the ramp ended
  };
  const Case kCases[] = {{0, 0.0, 2}, {1, 0.0, 2}, {2, 0.0, 2}, {0, 0.3, 0}, {1, 0.3, 0}, {2, 0.3, 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "channel " << c.channel << ", pause " << c.holdLeft);
    WindState = WindStateRecord{};
    WindState.TURlvl = 5;
    // Other channels pause long, so only this one acts.
    for (WindRamp& ch : WindState.localWind) ch = WindRamp{0.0, 0.0, 0.0, 0.0, 100.0};
    WindState.localWind[c.channel] = WindRamp{0.05, 0.0, 0.8, 2.0, c.holdLeft};

    double value = 0.8 - 2.0 * 0.05;  // 0.05 s before the end
    double expected[3] = {0.0, 0.0, 0.0};
    expected[c.channel] = -value;
    Lfsr113 g = wind_test::ModuleGenerator();
    EXPECT_TRUE(Vector3Near(Step(0.0, 0.1, 2000.0, 0.0), Vec(expected[0], expected[1], expected[2]), kRounding));
    EXPECT_EQ(WindState.localWind[c.channel].timeLeft, -0.05) << "ramp timers run below 0";
    EXPECT_EQ(DrawsSince(g), 0);

    g = wind_test::ModuleGenerator();
    EXPECT_TRUE(Vector3Near(Step(0.0, 0.1, 2000.0, 0.0), Vec(0.0, 0.0, 0.0), 0.0));
    EXPECT_EQ(DrawsSince(g), c.drawsAfter);
    if (c.holdLeft > 0.0) {
      EXPECT_EQ(WindState.localWind[c.channel].holdLeft, 0.3 - 0.1);
    }
  }
}

TEST_F(WindAccelerationTest, LocalPauseRunsBelowZeroThenDraws) {
  WindState.TURlvl = 5;
  for (WindRamp& ch : WindState.localWind) ch = WindRamp{0.0, 0.0, 0.0, 0.0, 100.0};
  WindState.localWind[1] = WindRamp{-0.05, 0.0, 0.0, 0.0, 0.05};
  Lfsr113 g = wind_test::ModuleGenerator();
  Step(0.0, 0.1, 2000.0, 0.0);
  EXPECT_EQ(WindState.localWind[1].holdLeft, -0.05);
  EXPECT_EQ(DrawsSince(g), 0);
  Step(0.0, 0.1, 2000.0, 0.0);
  EXPECT_EQ(DrawsSince(g), 2);
  EXPECT_GT(WindState.localWind[1].timeLeft, 0.0);
}

TEST_F(WindAccelerationTest, LocalTargetsScaleWithAltitudeBelow1000Metres) {
  struct Case {
    double altitude;
    double factor;
  };
  const Case kCases[] = {
      {0.0, 0.1},     {500.0, 0.55}, {999.9, 999.9 * 0.9 / 1000.0 + 0.1},
      {1000.0, 1.0},  {8000.0, 1.0}, {-50.0, 0.1},  // below the surface: held at the ground value
      {-5000.0, 0.1},                               // (the plain line would give -4.4 here)
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "altitude " << c.altitude);
    WindState = WindStateRecord{};
    WindState.TURlvl = 8;
    wind_test::SetModuleGenerator(wind_test::kPublishedDefault);
    Lfsr113 g = wind_test::kPublishedDefault;
    g.Next();
    double drawn = (g.Uniform() - 0.5) * 8 * 0.2;
    Step(0.0, 0.1, c.altitude, 0.0);
    EXPECT_NEAR(WindState.localWind[0].endValue, drawn * c.factor, 1e-15);
    if (c.altitude >= 0.0 && c.altitude < 1000.0) {
      EXPECT_EQ(WindState.localWind[0].endValue, drawn * (c.altitude * 0.9 / 1000.0 + 0.1));
    }
  }
}

TEST_F(WindAccelerationTest, LocalRampTimesAndTargetsStayInTheirRanges) {
  struct Case {
    int level;
    double longest;    // channels 0 and 2
    double longestUp;  // channel 1
    double widest;     // |target| on channels 0 and 2 at 1000 m and above
    double widestUp;
  };
  const Case kCases[] = {{10, 5.5, 1.6, 1.0, 0.7}, {1, 14.5, 3.4, 0.1, 0.07}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "TURlvl " << c.level);
    WindState = WindStateRecord{};
    WindState.TURlvl = c.level;
    for (int n = 0; n < 300; ++n) {
      for (WindRamp& ch : WindState.localWind) ch = WindRamp{};
      Step(0.0, 0.1, 1500.0, 0.0);
      for (int k = 0; k < 3; ++k) {
        const WindRamp& ch = WindState.localWind[k];
        EXPECT_GE(ch.timeLeft, k == 1 ? 0.6 : 0.5) << "channel " << k;
        EXPECT_LE(ch.timeLeft, (k == 1 ? c.longestUp : c.longest) + kRounding) << "channel " << k;
        EXPECT_LE(std::fabs(ch.endValue), (k == 1 ? c.widestUp : c.widest) + kRounding) << "channel " << k;
      }
    }
  }
}

TEST_F(WindAccelerationTest, LocalChannelsCycleRampDrawRampPauseDraw) {
  // Walks many steps and checks every step against the channel's state:
  // a ramp adds its negated value, a pause or a draw adds nothing, a draw
  // takes two numbers, and a ramp back ends on an exact 0 target.
  WindState.TURlvl = 6;
  const double kDt = 0.05;
  int returns = 0;
  for (int step = 0; step < 1500; ++step) {
    WindRamp before[3] = {WindState.localWind[0], WindState.localWind[1], WindState.localWind[2]};
    double expected[3];
    int draws = 0;
    for (int k = 0; k < 3; ++k) {
      const WindRamp& ch = before[k];
      expected[k] = ch.timeLeft > 0.0 ? -(ch.endValue - ch.rate * ch.timeLeft) : 0.0;
      if (ch.timeLeft <= 0.0 && ch.holdLeft <= 0.0) draws += 2;
    }
    Lfsr113 g = wind_test::ModuleGenerator();
    VECTOR3 v = Step(0.0, kDt, 1200.0, 0.0);
    ASSERT_TRUE(Vector3Near(v, Vec(expected[0], expected[1], expected[2]), kRounding)) << "step " << step;
    ASSERT_EQ(DrawsSince(g), draws) << "step " << step;
    for (int k = 0; k < 3; ++k) {
      if (before[k].timeLeft <= 0.0 && before[k].holdLeft <= 0.0 && before[k].endValue != 0.0) {
        ++returns;
        EXPECT_EQ(WindState.localWind[k].endValue, 0.0);
        EXPECT_GT(WindState.localWind[k].holdLeft, 0.0) << "a pause follows the ramp back";
      }
    }
  }
  EXPECT_GT(returns, 10) << "the walk must include ramps back to zero";
}

// ---- Levels, pitch ----

TEST_F(WindAccelerationTest, ShearLevelZeroFreezesTheShearAndAddsNothing) {
  WindState.SHRlvl = 0;
  WindState.SHRt = 0;
  WindState.shearClock = 500.0;
  SetShearEvent(2.0, 3.0, 4.0, 1);
  WindState.TURlvl = 3;
  WindState.localWind[0] = WindRamp{1.0, 0.0, 0.5, 0.1, 0.0};
  WindState.localWind[1] = WindState.localWind[2] = WindRamp{0.0, 0.0, 0.0, 0.0, 9.0};
  WindStateRecord before = WindState;
  Lfsr113 g = wind_test::ModuleGenerator();
  VECTOR3 v = Step(0.0, 0.1, 2000.0, 0.0);
  EXPECT_TRUE(Vector3Near(v, Vec(-(0.5 - 0.1 * 1.0), 0.0, 0.0), kRounding)) << "the local wind alone";
  EXPECT_EQ(DrawsSince(g), 0);
  ExpectSameShearState(WindState, before);
}

TEST_F(WindAccelerationTest, LocalLevelZeroFreezesTheLocalWindAndAddsNothing) {
  WindState.TURlvl = 0;
  WindState.localWind[0] = WindRamp{1.0, 0.0, 0.5, 0.1, 0.0};  // ramping
  WindState.localWind[1] = WindRamp{0.0, 0.0, 0.0, 0.0, 0.0};  // due to draw
  WindState.localWind[2] = WindRamp{0.0, 0.0, 0.0, 0.0, 2.0};  // pausing
  WindStateRecord before = WindState;
  Lfsr113 g = wind_test::ModuleGenerator();
  EXPECT_TRUE(Vector3Near(Step(0.0, 0.1, 2000.0, 0.0), Vec(0.0, 0.0, 0.0), 0.0));
  EXPECT_EQ(DrawsSince(g), 0);
  ExpectSameLocalState(WindState, before);
}

TEST_F(WindAccelerationTest, PitchMixAddsBothProductsInUpAndForward) {
  // Vertical sum from channel 1, horizontal from channel 2.
  struct Case {
    double pitch;
    double tolerance;
  };
  const Case kCases[] = {{0.0, 0.0}, {0.3, kRounding}, {-0.8, kRounding}, {kHalfPi, kRounding}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "pitch " << c.pitch);
    WindState = WindStateRecord{};
    WindState.TURlvl = 5;
    WindState.localWind[0] = WindRamp{1.0, 0.0, 0.0, 0.0, 0.0};  // adds 0
    WindState.localWind[1] = WindRamp{1.0, 0.0, 0.5, 0.1, 0.0};  // vertical -0.4
    WindState.localWind[2] = WindRamp{1.0, 0.0, 0.8, 0.1, 0.0};  // horizontal -0.7
    double u = -(0.5 - 0.1), h = -(0.8 - 0.1);
    VECTOR3 v = Step(c.pitch, 0.1, 2000.0, 0.0);
    EXPECT_TRUE(Vector3Near(
        v, Vec(0.0, h * std::sin(c.pitch) + u * std::cos(c.pitch), u * std::sin(c.pitch) + h * std::cos(c.pitch)),
        c.tolerance));
    if (c.pitch == kHalfPi) {
      EXPECT_TRUE(Vector3Near(v, Vec(0.0, h, u), 1e-15)) << "up takes H, forward takes U";
    }
  }
}

// ---- Determinism ----

// FNV-1a over the bits of doubles.
class Checksum {
 public:
  void Add(double d) {
    uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    for (int i = 0; i < 8; ++i) {
      value_ ^= (bits >> (8 * i)) & 0xFFu;
      value_ *= 1099511628211u;
    }
  }
  void Add(const WindRamp& r) {
    Add(r.timeLeft);
    Add(r.startValue);
    Add(r.endValue);
    Add(r.rate);
    Add(r.holdLeft);
  }
  uint64_t value() const { return value_; }

 private:
  uint64_t value_ = 1469598103934665603u;
};

TEST_F(WindAccelerationTest, GoldenChecksumOfManyStepsFromAHandSetState) {
  WindState.windAltLimit = 6000.0;
  WindState.GenerateLayers();
  WindState.WNDlvl = 7;
  WindState.TURlvl = 6;
  WindState.SHRlvl = 8;
  WindState.SHRt = 0;  // frequent shear events
  Checksum wind;       // WindAccel after every step
  Checksum state;      // the model state after every step
  for (int i = 0; i < 4000; ++i) {
    // Inputs without trigonometry, so that the state is the same wherever
    // the test runs: altitude a sawtooth from 10 m (local wind scaled down)
    // to 6000 m (past the top layer), pitch a sawtooth of +-0.4 rad.
    double altitude = 10.0 + (i * 37) % 5990;
    double pitch = ((i % 200) - 100) * 0.004;
    double heading = 0.001 * i;
    VECTOR3 v = Step(pitch, 0.05, altitude, heading);
    wind.Add(v.x);
    wind.Add(v.y);
    wind.Add(v.z);
    for (const WindRamp& r : WindState.localWind) state.Add(r);
    state.Add(WindState.shearRise);
    state.Add(WindState.shearTurn);
    state.Add(WindState.shearFall);
    state.Add(WindState.shearSign);
    state.Add(WindState.shearClock);
  }
  // The state involves no sine or cosine: one value on every platform.
  EXPECT_EQ(state.value(), 0x9f31ce9194eebdaau) << "actual state checksum 0x" << std::hex << state.value();
  // The wind vector does, and maths libraries may round their last bits
  // differently: MinGW's come from the x87 unit, glibc's are its own.
#ifdef _WIN32
  constexpr uint64_t kWindChecksum = 0xc2d291c1bb48f50bu;
#else
  constexpr uint64_t kWindChecksum = 0x65f80b3525159647u;
#endif
  EXPECT_EQ(wind.value(), kWindChecksum) << "actual wind checksum 0x" << std::hex << wind.value();
}

}  // namespace
