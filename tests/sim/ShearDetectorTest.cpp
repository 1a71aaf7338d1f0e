// Shear events told from the forward wind in the trace.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "host/World.h"
#include "tools/galeboard-sim/Summary.h"

namespace {

constexpr double kDt = 0.02;

// Feeds a forward-wind history of the given length.
sim::ShearDetector Fed(
    double seconds, const std::function<double(double)>& forward,
    const std::function<bool(double)>& wind = [](double) { return true; }) {
  sim::ShearDetector d;
  for (double t = kDt; t <= seconds; t += kDt) d.Add(t, wind(t), forward(t));
  return d;
}

// A shear as the module makes one: headwind building over 3 s, turning into a
// tailwind over 6 s, dying away over 5 s, on top of a steady global wind.
double Shear(double t, double start, double amplitude) {
  const double s = t - start, a2 = amplitude * amplitude;
  if (s < 0) return 0.0;
  if (s < 3) return -a2 * (s / 3) * (s / 3);
  if (s < 9) return -a2 * std::cos((s - 3) / 6 * 3.141592653589793);
  if (s < 14) return a2 * (1 - (s - 9) / 5) * (1 - (s - 9) / 5);
  return 0.0;
}

TEST(ShearDetector, CountsEachShearOnceWithItsLowAndHigh) {
  auto d = Fed(200, [](double t) { return -0.3 + Shear(t, 20, 1.0) + Shear(t, 120, 1.2); });
  ASSERT_EQ(d.events().size(), 2u);
  EXPECT_NEAR(d.events()[0].low, 23.0, 0.05);
  EXPECT_NEAR(d.events()[0].high, 29.0, 0.05);
  EXPECT_NEAR(d.events()[0].swing, 2.0, 0.01);
  EXPECT_NEAR(d.events()[1].swing, 2.88, 0.01);
}

TEST(ShearDetector, LocalWindRampsBelowTheSwingAreNotShear) {
  // Ramps between -0.2 and +0.2 every few seconds, as local wind level 2 does.
  auto d = Fed(600, [](double t) { return 0.2 * std::sin(t * 0.7) * std::cos(t * 0.13); });
  EXPECT_TRUE(d.events().empty());
}

TEST(ShearDetector, SlowRiseOverMoreThanTheWindowIsNotShear) {
  auto d = Fed(200, [](double t) { return -1.0 + t * 0.02; });  // 0.3 per 15 s
  EXPECT_TRUE(d.events().empty());
}

TEST(ShearDetector, WindThatStopsActingForgetsTheLow) {
  // The low before the gap and the high after it do not make an event.
  auto d = Fed(
      60, [](double t) { return t < 20 ? -1.0 : 0.5; }, [](double t) { return t < 20 || t > 21; });
  EXPECT_TRUE(d.events().empty());
}

// The statistics weigh the forward wind as the module does before they look
// for shear: in units of the standard weight (g0 = 9.80665 m/s2) times the
// density ratio, of a twentieth of the weight when landed. A shear of swing 2
// in those units, flown at half the surface density, keeps its swing of 2.
TEST(ShearStats, ForwardWindIsWeighedInDensityScaledWeights) {
  ghost::World world;
  const ghost::Vessel& v = world.AddVessel("V", "C", nullptr);
  for (const bool landed : {false, true}) {
    const double weight = 9.80665 * (landed ? 0.05 : 1.0) * 0.6 / 1.2;  // m/s2 of one unit
    sim::Stats stats;
    for (double t = kDt; t <= 60; t += kDt) {
      sim::StepSample s;
      s.t = t;
      s.vessel = &v;
      s.inAtmosphere = s.wind = true;
      s.landed = landed;
      s.density = 0.6;
      s.surfaceDensity = 1.2;
      s.accel.z = Shear(t, 20, 1.0) * weight;
      stats.Add(s);
    }
    ASSERT_EQ(stats.shear.events().size(), 1u) << (landed ? "landed" : "flying");
    EXPECT_NEAR(stats.shear.events()[0].swing, 2.0, 0.01) << (landed ? "landed" : "flying");
  }
}

}  // namespace
