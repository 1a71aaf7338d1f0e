// The host's flight model: forces in the vessel frame move the vessel in the
// horizon frame, over a nominal flight that holds its attitude.
#include <gtest/gtest.h>

#include <cmath>

#include "host/FlightModel.h"
#include "host/World.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTight = 1e-9;

struct ForceCase {
  const char* name;
  double heading, pitch;   // rad
  VECTOR3 force;           // N, vessel frame
  double east, north, up;  // expected m/s after one second at 1 m/s^2
};

class FlightModelForce : public ::testing::TestWithParam<ForceCase> {};

// One second of a 1 m/s^2 force on a vessel at rest: the deviation shows
// where the force was turned to.
TEST_P(FlightModelForce, TurnsTheVesselFrameForceThroughHeadingAndPitch) {
  const ForceCase& c = GetParam();
  ghost::World world;
  ghost::Body& earth = world.AddBody("Earth", 6.371e6);
  ghost::Vessel& v = world.AddVessel("V", "C", &earth);
  v.mass = 100.0;
  v.altitude = 1000.0;
  v.heading = c.heading;
  v.pitch = c.pitch;
  ghost::FlightModel model;
  model.Follow(v);
  for (int i = 0; i < 100; ++i) {
    v.forces.assign(1, ghost::AppliedForce{_V(c.force.x * 100.0, c.force.y * 100.0, c.force.z * 100.0), _V(0, 0, 0)});
    model.Step(world, 0.01);
  }
  const ghost::FlightModel::Track& t = *model.TrackOf(v);
  EXPECT_NEAR(t.deviation.x, c.east, kTight) << "east";
  EXPECT_NEAR(t.deviation.y, c.north, kTight) << "north";
  EXPECT_NEAR(t.deviation.z, c.up, kTight) << "up";
  // The altitude follows the upward speed (trapezoid of a constant force, explicit steps).
  EXPECT_NEAR(v.altitude - 1000.0, c.up * 0.505, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Axes, FlightModelForce,
    ::testing::Values(ForceCase{"ForwardHeadingNorthGoesNorth", 0.0, 0.0, _V(0, 0, 1), 0.0, 1.0, 0.0},
                      ForceCase{"ForwardHeadingEastGoesEast", kPi / 2, 0.0, _V(0, 0, 1), 1.0, 0.0, 0.0},
                      ForceCase{"SideHeadingNorthGoesEast", 0.0, 0.0, _V(1, 0, 0), 1.0, 0.0, 0.0},
                      ForceCase{"SideHeadingEastGoesSouth", kPi / 2, 0.0, _V(1, 0, 0), 0.0, -1.0, 0.0},
                      ForceCase{"UpLevelGoesUp", 1.0, 0.0, _V(0, 1, 0), 0.0, 0.0, 1.0},
                      ForceCase{"ForwardNoseUpGoesUp", 0.0, kPi / 2, _V(0, 0, 1), 0.0, 0.0, 1.0},
                      ForceCase{"UpNoseUpGoesBack", 0.0, kPi / 2, _V(0, 1, 0), 0.0, -1.0, 0.0}),
    [](const ::testing::TestParamInfo<ForceCase>& i) { return std::string(i.param.name); });

class FlightModelTest : public ::testing::Test {
 protected:
  FlightModelTest() {
    v_.mass = 450.0;
    v_.altitude = 800.0;
    v_.heading = kPi / 2;
    v_.airspeed = _V(0.0, 0.0, 28.0);
  }
  ghost::World world_;
  ghost::Body& earth_ = world_.AddBody("Earth", 6.371e6);
  ghost::Vessel& v_ = world_.AddVessel("GL-01", "Glider1", &earth_);
  ghost::FlightModel model_;
};

TEST_F(FlightModelTest, NominalFlightHoldsAirspeedAndAltitudeWithoutForce) {
  model_.Follow(v_);
  for (int i = 0; i < 500; ++i) model_.Step(world_, 0.02);
  EXPECT_DOUBLE_EQ(v_.altitude, 800.0);
  EXPECT_NEAR(v_.airspeed.z, 28.0, kTight);
  EXPECT_NEAR(model_.TrackOf(v_)->east, 280.0, 1e-6) << "10 s east at 28 m/s";
}

TEST_F(FlightModelTest, HeadwindForceSlowsTheAirspeedItReports) {
  model_.Follow(v_);
  v_.forces.assign(1, ghost::AppliedForce{_V(0.0, 0.0, -450.0), _V(0, 0, 0)});  // -1 m/s^2
  model_.Step(world_, 0.5);
  EXPECT_NEAR(v_.airspeed.z, 27.5, kTight);
  EXPECT_NEAR(v_.airspeed.x, 0.0, kTight);
}

TEST_F(FlightModelTest, TrimPullsTheDeviationBackWithItsTimeConstant) {
  model_.Follow(v_, 10.0);
  v_.forces.assign(1, ghost::AppliedForce{_V(450.0, 0.0, 0.0), _V(0, 0, 0)});
  model_.Step(world_, 0.01);
  const double kick = model_.TrackOf(v_)->deviation.y;  // side at heading east is south
  v_.forces.clear();
  for (int i = 0; i < 1000; ++i) model_.Step(world_, 0.01);  // one time constant
  EXPECT_NEAR(model_.TrackOf(v_)->deviation.y / kick, std::exp(-1.0), 1e-3);
}

TEST_F(FlightModelTest, SinkingVesselTouchesDownAndStaysLanded) {
  v_.airspeed = _V(0.0, -5.0, 0.0);
  v_.altitude = 10.0;
  model_.Follow(v_);
  for (int i = 0; i < 300; ++i) model_.Step(world_, 0.01);
  EXPECT_EQ(v_.altitude, 0.0);
  EXPECT_TRUE(v_.flightStatus & 1u);
  EXPECT_NEAR(model_.TrackOf(v_)->touchdownTime, 2.0, 0.011);
  v_.forces.assign(1, ghost::AppliedForce{_V(1e6, 1e6, 1e6), _V(0, 0, 0)});
  model_.Step(world_, 0.01);
  EXPECT_EQ(v_.altitude, 0.0) << "the ground holds a landed vessel";
  EXPECT_EQ(v_.airspeed.x, 0.0);
}

TEST_F(FlightModelTest, LiftoffRestoresTheNominalAirspeed) {
  v_.flightStatus = 1u;
  model_.Follow(v_);
  EXPECT_EQ(v_.airspeed.z, 0.0) << "landed: no airspeed";
  model_.SetLanded(v_, false);
  EXPECT_EQ(v_.airspeed.z, 28.0);
  model_.Step(world_, 1.0);
  EXPECT_NEAR(model_.TrackOf(v_)->east, 28.0, kTight);
}

}  // namespace
