// What a flight's steps report of the focus vessel: the densities the
// summary's shear events are weighed with.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tools/galeboard-sim/Flight.h"

namespace {

struct Samples : sim::StepSink {
  void OnStep(const sim::StepSample& s) override { taken.push_back(s); }
  std::vector<sim::StepSample> taken;
};

// H flies 8 km up, one scale height, over an exponential atmosphere; the focus
// passes at 0.5 s to U over a uniform one of another density.
constexpr char kTwoBodies[] = R"(body Expo radius 6e6 atmosphere exponential 1.2 8000 100000
body Flat radius 3e6 atmosphere uniform 0.5 50000
vessel H class C body Expo altitude 8000 airspeed 10
vessel U class C body Flat altitude 100 airspeed 10
duration 1
step 0.1
at 0.5 focus U
)";

TEST(FlightSample, SurfaceDensityIsTheFocusBodysAtItsMeanRadius) {
  sim::Scenario scenario;
  ASSERT_TRUE(sim::ParseScenario(kTwoBodies, "two.scn", &scenario, nullptr));
  sim::Flight flight(scenario);
  flight.Start();
  Samples samples;
  flight.Run(samples, true, nullptr);
  ASSERT_EQ(samples.taken.size(), 10u);
  const double oneScaleHeightUp = 1.2 / std::exp(1.0);  // rho0 e^(-h/H) at h = H
  for (const sim::StepSample& s : samples.taken) {
    const bool onExpo = s.t < 0.5 + 1e-9;
    EXPECT_DOUBLE_EQ(s.surfaceDensity, onExpo ? 1.2 : 0.5) << "at " << s.t;
    EXPECT_NEAR(s.density, onExpo ? oneScaleHeightUp : 0.5, 1e-9) << "at " << s.t;
  }
}

}  // namespace
