// The wind's force on the focus vessel, once per step: the set-up for a new
// atmosphere, the altitude limit, the weight and the density ratio.
#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <cmath>
#include <limits>
#include <ostream>
#include <string>

#include "tests/support/ModuleFixture.h"
#include "wind/RandomSource.h"
#include "wind/WindForce.h"

namespace {

constexpr double kStep = 0.1;  // s
constexpr double kG0 = 9.80665;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
// The limits the search gives for the host's atmospheres.
constexpr double kMarsWindAltLimit = 51000.0;   // m: 0.020 exp(-h / 11.1 km) > 2e-4 below 51.1 km
constexpr double kEarthWindAltLimit = 63000.0;  // m: the US Standard Atmosphere passes 2e-4 kg/m^3 near 63.2 km

// A case's description as a test name.
std::string Named(const char* what) {
  std::string n;
  for (const char* p = what; *p; ++p) n += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
  return n;
}
const auto kNamedByWhat = [](const auto& param) { return Named(param.param.what); };

class PreStep : public ModuleFixture {
 protected:
  ghost::Vessel& Fly(ghost::Body* body, double altitude, const std::string& className = "Glider1") {
    ghost::Vessel& v = world.AddVessel("V" + std::to_string(world.vessels.size()), className, body);
    v.altitude = altitude;
    v.mass = 2000.0;
    world.focus = nullptr;  // a focus change from none
    host.SetFocus(&v);
    WindState.WindOn = true;
    return v;
  }
  static bool IsZero(const VECTOR3& v) { return v.x == 0.0 && v.y == 0.0 && v.z == 0.0; }
};

TEST_F(PreStep, FirstStepInAnAtmosphereSetsTheModelUpLoadsAndForcesTheWindOn) {
  SetFileText("[Glider1Mars]\r\nWindOn=0\r\nDisRest=0\r\nWNDlvl=4\r\nFUSsize=7\r\n");
  ghost::Vessel& v = world.AddVessel("G", "Glider1", &mars);
  v.altitude = 0.0;
  v.flightStatus = 1;     // landed
  world.focus = nullptr;  // a focus change from none ...
  host.SetFocus(&v);      // ... loads DisRest 0 ...
  module->DisRest = 1;    // ... which the page then set back to 1
  WindState.WindOn = true;
  WindState.WNDlvl = 0;

  host.Step(kStep);

  EXPECT_EQ(module->atmBody, Handle(&mars));
  EXPECT_EQ(WindState.windAltLimit, kMarsWindAltLimit);
  EXPECT_DOUBLE_EQ(module->surfaceDensity, 0.020);
  // A fresh set of layers up to the new limit.
  ASSERT_GT(WindState.layerCount, 0);
  EXPECT_EQ(WindState.layers.size(), static_cast<size_t>(WindState.layerCount));
  EXPECT_EQ(WindState.layers.back().altitude, kMarsWindAltLimit);
  EXPECT_EQ(WindState.WNDlvl, 4);
  EXPECT_EQ(module->FUSsize, 7);
  EXPECT_TRUE(WindState.WindOn) << "stored off, but the wind stays on across the change of body";
  // The loaded DisRest 0 already lets the wind act on the landed vessel.
  ASSERT_EQ(v.forces.size(), 1u);
  EXPECT_EQ(v.forces[0].F.x, WindAccel.x);
  EXPECT_EQ(v.forces[0].F.y, WindAccel.y);
  EXPECT_EQ(v.forces[0].F.z, WindAccel.z);
}

TEST_F(PreStep, LoadedDisRestStopsTheFirstStepOnALandedVessel) {
  SetFileText("[Glider1Mars]\r\nDisRest=1\r\n");
  ghost::Vessel& v = world.AddVessel("G", "Glider1", &mars);
  v.flightStatus = 1;
  world.focus = nullptr;
  host.SetFocus(&v);
  module->DisRest = 0;
  WindState.WindOn = true;
  host.Step(kStep);
  EXPECT_EQ(module->DisRest, 1);
  EXPECT_TRUE(v.forces.empty());
  EXPECT_TRUE(IsZero(WindAccel));
}

struct LimitCase {
  const char* body;
  double windAltLimit;
};

// Cases print as their description, not as raw bytes.
void PrintTo(const LimitCase& c, std::ostream* os) { *os << c.body; }

class AltitudeLimit : public PreStep, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(AltitudeLimit, IsTheHighestGridAltitudeWithOnePascalAt100MetresPerSecond) {
  ghost::Body& body = std::string(GetParam().body) == "Mars" ? mars : earth;
  Fly(&body, 100.0);
  host.Step(kStep);
  const double limit = WindState.windAltLimit;
  EXPECT_EQ(limit, GetParam().windAltLimit);
  const double R = body.radius;
  ATMPARAM at{}, above{};
  oapiGetPlanetAtmParams(Handle(&body), R + limit, &at);
  oapiGetPlanetAtmParams(Handle(&body), R + limit + 500.0, &above);
  EXPECT_GT(at.rho * 0.5 * 100.0 * 100.0, 1.0);
  EXPECT_LE(above.rho * 0.5 * 100.0 * 100.0, 1.0);
}

INSTANTIATE_TEST_SUITE_P(HostAtmospheres, AltitudeLimit,
                         ::testing::Values(LimitCase{"Mars", kMarsWindAltLimit},
                                           LimitCase{"Earth", kEarthWindAltLimit}),
                         [](const auto& param) { return std::string(param.param.body); });

TEST_F(PreStep, BodyWithoutAtmosphereIsNeverAdopted) {
  ghost::Vessel& v = Fly(&moon, 10.0);
  host.Step(kStep);
  EXPECT_EQ(module->atmBody, NoBody());
  EXPECT_EQ(WindState.windAltLimit, -1.0);
  EXPECT_TRUE(v.forces.empty());
}

TEST_F(PreStep, DenseAtItsLimitKeepsTheLimitAndThinEverywhereEndsAtOrBelowZero) {
  ghost::Body& dense = world.AddBody("Dense", 1.0e6);
  dense.atmosphere = ghost::UniformAtmosphere(1.0, 12345.0);
  Fly(&dense, 10.0);
  host.Step(kStep);
  EXPECT_EQ(WindState.windAltLimit, 12345.0);

  ghost::Body& thin = world.AddBody("Thin", 1.0e6);
  thin.atmosphere = ghost::UniformAtmosphere(1.0e-5, 1250.0);
  ghost::Vessel& v = Fly(&thin, 10.0);
  host.Step(kStep);
  EXPECT_EQ(WindState.windAltLimit, -250.0);
  EXPECT_TRUE(v.forces.empty());
}

TEST_F(PreStep, LimitOfZeroOrLessIsTakenAsItIs) {
  ghost::Body& flat = world.AddBody("Flat", 1.0e6);
  flat.atmosphere = ghost::UniformAtmosphere(1.0, 0.0);
  ghost::Vessel& v = Fly(&flat, 0.0);
  host.Step(kStep);
  EXPECT_EQ(WindState.windAltLimit, 0.0);
  EXPECT_EQ(v.forces.size(), 1u) << "at exactly the limit the wind still acts";
}

struct AbsurdLimitCase {
  const char* what;
  double atmLimit;      // m
  double windAltLimit;  // m, the search's result
};

void PrintTo(const AbsurdLimitCase& c, std::ostream* os) { *os << c.what; }

class AbsurdAtmosphereLimit : public PreStep, public ::testing::WithParamInterface<AbsurdLimitCase> {};

// Air thick enough below 20 km only: the search walks the grid down from the
// 1e6 m ceiling to 20 km, whatever the atmosphere's limit, and then stops.
// Should it not, the host thickens the air after 10,000 queries, so that a
// search that would never end fails instead of hanging.
TEST_P(AbsurdAtmosphereLimit, IsSearchedFromItsGridPointBelowTheCeilingAndEndsQuickly) {
  const AbsurdLimitCase& c = GetParam();
  ghost::Body& body = world.AddBody("Huge", 1.0e6);
  body.atmosphere = ghost::UniformAtmosphere(1.0, c.atmLimit);
  int queries = 0;
  body.atmosphere->profile = [&queries](double alt) {
    ++queries;
    return ATMPARAM{0.0, 0.0, alt <= 20000.0 || queries > 10000 ? 1.0 : 0.0};
  };
  Fly(&body, 10.0);
  host.Step(kStep);
  EXPECT_EQ(WindState.windAltLimit, c.windAltLimit);
  // The surface query, then each grid point from the ceiling down, once.
  EXPECT_LE(queries, 1 + 1.0e6 / 500.0 + 1);
}

// Each limit less a whole number of 500 m steps lands in (1e6 - 500, 1e6] m,
// at 1e6 - 500 + (limit mod 500), or at 1e6 when the remainder is 0, and the
// search goes on down the same grid to the first point at or below 20 km:
// 19500 + (limit mod 500), or 20000. The remainders and the countdowns were
// worked in exact rational arithmetic, outside the code (Python:
//   r = Fraction(limit) % 500
//   k = ceil((Fraction(limit) - 20000) / 500); end = Fraction(limit) - 500 * k
// gives r = 234.5, 0, 252, 80, 184, 432, 368 and end = 19500 + r, or 20000).
INSTANTIATE_TEST_SUITE_P(
    Cases, AbsurdAtmosphereLimit,
    ::testing::Values(AbsurdLimitCase{"just above the ceiling", 1.0e6 + 1234.5, 19500.0 + 234.5},
                      AbsurdLimitCase{"1e12 m", 1.0e12, 20000.0}, AbsurdLimitCase{"7.7e25 m", 7.7e25, 19500.0 + 252.0},
                      AbsurdLimitCase{"6.1e26 m", 6.1e26, 19500.0 + 80.0},
                      AbsurdLimitCase{"7.1e44 m, where 500 m less is the same double", 7.1e44, 19500.0 + 184.0},
                      AbsurdLimitCase{"1e59 m", 1.0e59, 19500.0 + 432.0},
                      AbsurdLimitCase{"the largest double", std::numeric_limits<double>::max(), 19500.0 + 368.0}),
    kNamedByWhat);

TEST_F(PreStep, EndlessAtmosphereGivesNoWind) {
  ghost::Body& endless = world.AddBody("Endless", 1.0e6);
  endless.atmosphere = ghost::UniformAtmosphere(1.0, kInf);
  ghost::Vessel& v = Fly(&endless, 10.0);
  host.Step(kStep);
  EXPECT_EQ(WindState.windAltLimit, 0.0);
  EXPECT_TRUE(v.forces.empty());
}

TEST_F(PreStep, ExactlyAtTheLimitTheWindActsJustAboveItDoesNot) {
  ghost::Vessel& v = Fly(&mars, kMarsWindAltLimit);
  host.Step(kStep);
  ASSERT_EQ(WindState.windAltLimit, kMarsWindAltLimit);
  EXPECT_EQ(v.forces.size(), 1u);
  v.altitude = std::nextafter(kMarsWindAltLimit, kInf);
  host.Step(kStep);
  EXPECT_TRUE(v.forces.empty());
  EXPECT_TRUE(IsZero(WindAccel));
}

TEST_F(PreStep, ForceGoesToTheVesselsOriginAndIsWhatWindAccelHolds) {
  ghost::Vessel& v = Fly(&earth, 1000.0);
  WindState.WNDlvl = 5;
  WindState.TURlvl = 5;
  bool pushed = false;
  for (int i = 0; i < 20; ++i) {
    host.Step(kStep);
    ASSERT_EQ(v.forces.size(), 1u);
    EXPECT_TRUE(IsZero(v.forces[0].r));
    EXPECT_EQ(v.forces[0].F.x, WindAccel.x);
    EXPECT_EQ(v.forces[0].F.y, WindAccel.y);
    EXPECT_EQ(v.forces[0].F.z, WindAccel.z);
    EXPECT_TRUE(std::isfinite(WindAccel.x) && std::isfinite(WindAccel.y) && std::isfinite(WindAccel.z));
    pushed = pushed || !IsZero(WindAccel);
  }
  EXPECT_TRUE(pushed) << "twenty steps of global and local wind without a force";
}

// One step replayed from the same wind state and generator state, with the
// density at the vessel and the flight status as the case says.
class ReplayedStep : public PreStep {
 protected:
  void SetUp() override {
    ghost::Body& body = world.AddBody("Uniform", 1.0e6);
    body.atmosphere = ghost::UniformAtmosphere(1.0, 10000.0);
    body.atmosphere->profile = [this](double alt) { return ATMPARAM{0.0, 0.0, alt <= 0.0 ? 1.0 : densityAtVessel}; };
    vessel = &Fly(&body, 1000.0);
    vessel->pitch = 0.1;
    vessel->heading = 1.0;
    WindState.WNDlvl = 6;
    WindState.TURlvl = 4;
    host.Step(kStep);  // adopts the body
    saved = WindState;
    z = {RandomSource::z1, RandomSource::z2, RandomSource::z3, RandomSource::z4};
  }
  VECTOR3 Replay(double density, DWORD flightStatus) {
    WindState = saved;
    RandomSource::SetState(z[0], z[1], z[2], z[3]);
    densityAtVessel = density;
    vessel->flightStatus = flightStatus;
    host.Step(kStep);
    EXPECT_EQ(vessel->forces.size(), 1u);
    return vessel->forces.empty() ? _V(kNaN, kNaN, kNaN) : vessel->forces[0].F;
  }
  // What the model gives for the same step, dimensionless.
  VECTOR3 Acceleration() {
    WindState = saved;
    RandomSource::SetState(z[0], z[1], z[2], z[3]);
    WindState.ComputeWindAcceleration(vessel->pitch, kStep, vessel->altitude, vessel->heading);
    return WindAccel;
  }
  double densityAtVessel = 1.0;
  ghost::Vessel* vessel = nullptr;
  WindStateRecord saved;
  std::array<uint32_t, 4> z{};
};

TEST_F(ReplayedStep, AtTheSurfaceDensityTheForceIsTheWeightTimesTheAcceleration) {
  const VECTOR3 F = Replay(1.0, 0);
  const VECTOR3 a = Acceleration();
  ASSERT_FALSE(IsZero(a)) << "the model gave no wind to scale";
  const double weight = vessel->mass * kG0;
  EXPECT_EQ(F.x, weight * a.x);
  EXPECT_EQ(F.y, weight * a.y);
  EXPECT_EQ(F.z, weight * a.z);
}

TEST_F(ReplayedStep, ForceIsProportionalToTheDensityRatio) {
  const VECTOR3 full = Replay(1.0, 0);
  ASSERT_FALSE(IsZero(full));
  for (double ratio : {0.5, 0.25, 0.01}) {
    const VECTOR3 F = Replay(ratio, 0);
    EXPECT_DOUBLE_EQ(F.x, full.x * ratio) << ratio;
    EXPECT_DOUBLE_EQ(F.y, full.y * ratio) << ratio;
    EXPECT_DOUBLE_EQ(F.z, full.z * ratio) << ratio;
  }
}

TEST_F(ReplayedStep, LandedWithoutDisRestGetsATwentiethOfTheForce) {
  module->DisRest = 0;
  const VECTOR3 flying = Replay(1.0, 0);
  const VECTOR3 landed = Replay(1.0, 1);
  ASSERT_FALSE(IsZero(flying));
  EXPECT_DOUBLE_EQ(landed.x, flying.x * 0.05);
  EXPECT_DOUBLE_EQ(landed.y, flying.y * 0.05);
  EXPECT_DOUBLE_EQ(landed.z, flying.z * 0.05);
}

TEST_F(PreStep, SameBodyAgainKeepsLimitAndLayersAnotherBodyIsAdopted) {
  SetFileText("[Glider1Earth]\r\nWNDlvl=2\r\n");
  ghost::Vessel& v = Fly(&mars, 1000.0);
  host.Step(kStep);
  WindState.windAltLimit = 1234.0;  // marks the set-up as this body's
  v.altitude = 400000.0;            // out of the atmosphere and back
  host.Step(kStep);
  v.altitude = 1000.0;
  host.Step(kStep);
  EXPECT_EQ(WindState.windAltLimit, 1234.0);

  v.body = &earth;
  host.Step(kStep);
  EXPECT_EQ(module->atmBody, Handle(&earth));
  EXPECT_EQ(WindState.windAltLimit, kEarthWindAltLimit);
  EXPECT_EQ(WindState.WNDlvl, 2);
}

struct NoForceCase {
  const char* what;
  std::function<void(ghost::Vessel&)> arrange;
};

void PrintTo(const NoForceCase& c, std::ostream* os) { *os << c.what; }

class NoForce : public PreStep, public ::testing::WithParamInterface<NoForceCase> {};

TEST_P(NoForce, LeavesWindAccelZeroAndAddsNoForce) {
  ghost::Vessel& v = Fly(&mars, 1000.0);
  module->DisRest = 1;
  GetParam().arrange(v);
  WindAccel = _V(1.0, 2.0, 3.0);
  host.Step(kStep);
  EXPECT_TRUE(IsZero(WindAccel)) << GetParam().what;
  EXPECT_TRUE(v.forces.empty()) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NoForce,
    ::testing::Values(NoForceCase{"wind off", [](ghost::Vessel&) { WindState.WindOn = false; }},
                      NoForceCase{"outside every atmosphere", [](ghost::Vessel& v) { v.altitude = 400000.0; }},
                      NoForceCase{"above the wind limit", [](ghost::Vessel& v) { v.altitude = 60000.0; }},
                      NoForceCase{"landed with DisRest", [](ghost::Vessel& v) { v.flightStatus = 1; }},
                      NoForceCase{"landed and docked with DisRest", [](ghost::Vessel& v) { v.flightStatus = 3; }},
                      NoForceCase{"mass NaN", [](ghost::Vessel& v) { v.mass = kNaN; }},
                      NoForceCase{"mass infinite", [](ghost::Vessel& v) { v.mass = kInf; }},
                      NoForceCase{"mass negative", [](ghost::Vessel& v) { v.mass = -1.0; }},
                      NoForceCase{"weight overflows", [](ghost::Vessel& v) { v.mass = 1.0e308; }},
                      NoForceCase{"altitude NaN", [](ghost::Vessel& v) { v.altitude = kNaN; }},
                      NoForceCase{"pitch NaN", [](ghost::Vessel& v) { v.pitch = kNaN; }},
                      NoForceCase{"pitch infinite", [](ghost::Vessel& v) { v.pitch = -kInf; }},
                      NoForceCase{"heading NaN", [](ghost::Vessel& v) { v.heading = kNaN; }},
                      NoForceCase{"heading infinite", [](ghost::Vessel& v) { v.heading = kInf; }}),
    kNamedByWhat);

TEST_F(PreStep, BadStepLengthGivesNoForce) {
  ghost::Vessel& v = Fly(&mars, 1000.0);
  for (double dt : {kNaN, kInf, -0.1}) {
    host.Step(dt);
    EXPECT_TRUE(IsZero(WindAccel)) << dt;
    EXPECT_TRUE(v.forces.empty()) << dt;
  }
  host.Step(0.0);
  EXPECT_EQ(v.forces.size(), 1u) << "a zero step is a step";
}

TEST_F(PreStep, DensityThatIsNotANumberGivesNoForce) {
  ghost::Body& odd = world.AddBody("Odd", 1.0e6);
  odd.atmosphere = ghost::UniformAtmosphere(1.0, 10000.0);
  odd.atmosphere->profile = [](double alt) { return ATMPARAM{0.0, 0.0, alt > 500.0 ? kNaN : 1.0}; };
  ghost::Vessel& v = Fly(&odd, 1000.0);
  host.Step(kStep);
  EXPECT_EQ(WindState.windAltLimit, 10000.0 - 19 * 500.0);
  v.altitude = 500.0;
  host.Step(kStep);
  EXPECT_EQ(v.forces.size(), 1u);
  odd.atmosphere->profile = [](double alt) { return ATMPARAM{0.0, 0.0, alt > 100.0 ? -1.0 : 1.0}; };
  host.Step(kStep);
  EXPECT_TRUE(v.forces.empty()) << "negative density";
}

class SurfaceDensity : public PreStep, public ::testing::WithParamInterface<double> {};

TEST_P(SurfaceDensity, ThatIsNotPositiveAndFiniteGivesNoWind) {
  ghost::Body& odd = world.AddBody("Odd", 1.0e6);
  const double rho0 = GetParam();
  odd.atmosphere = ghost::UniformAtmosphere(1.0, 10000.0);
  odd.atmosphere->profile = [rho0](double alt) { return ATMPARAM{0.0, 0.0, alt <= 0.0 ? rho0 : 1.0}; };
  ghost::Vessel& v = Fly(&odd, 1000.0);
  for (int i = 0; i < 3; ++i) {
    host.Step(kStep);
    EXPECT_TRUE(v.forces.empty());
    EXPECT_TRUE(IsZero(WindAccel));
  }
  EXPECT_EQ(module->atmBody, Handle(&odd)) << "adopted once, not searched again every step";
}

INSTANTIATE_TEST_SUITE_P(Cases, SurfaceDensity, ::testing::Values(0.0, -0.5, kNaN, kInf));

TEST_F(PreStep, LandedWithoutDisRestIsPushedWithAShareOfItsWeight) {
  // At 0 m the air has the surface density, so the force is the landed
  // weight, a twentieth of 2000 kg x 9.80665 m/s^2 = 980.665 N, times the
  // model's acceleration for the same step, replayed from the same state.
  ghost::Vessel& v = Fly(&mars, 0.0);
  v.flightStatus = 1;
  module->DisRest = 0;
  host.Step(kStep);  // adopts Mars and makes its layers
  WindState.WNDlvl = 6;
  WindState.TURlvl = 4;
  const WindStateRecord saved = WindState;
  const std::array<uint32_t, 4> z = {RandomSource::z1, RandomSource::z2, RandomSource::z3, RandomSource::z4};
  host.Step(kStep);
  ASSERT_EQ(v.forces.size(), 1u);
  const VECTOR3 F = v.forces[0].F;

  WindState = saved;
  RandomSource::SetState(z[0], z[1], z[2], z[3]);
  WindState.ComputeWindAcceleration(v.pitch, kStep, 0.0, v.heading);
  const VECTOR3 a = WindAccel;
  ASSERT_FALSE(IsZero(a)) << "the model gave no wind to scale";
  EXPECT_DOUBLE_EQ(F.x, 980.665 * a.x);
  EXPECT_DOUBLE_EQ(F.y, 980.665 * a.y);
  EXPECT_DOUBLE_EQ(F.z, 980.665 * a.z);
}

// The scaling of the model's acceleration into newtons.
struct ScaleCase {
  const char* what;
  double rho, weight, surfaceDensity;
  double factor;  // expected force / acceleration
};

void PrintTo(const ScaleCase& c, std::ostream* os) { *os << c.what; }

class WindForceScale : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(WindForceScale, GrowsWithWeightAndDensityRatio) {
  const ScaleCase& c = GetParam();
  VECTOR3 a = _V(0.25, -0.5, 2.0);
  ASSERT_TRUE(ScaleWindToForce(a, c.rho, c.weight, c.surfaceDensity)) << c.what;
  EXPECT_DOUBLE_EQ(a.x, 0.25 * c.factor) << c.what;
  EXPECT_DOUBLE_EQ(a.y, -0.5 * c.factor) << c.what;
  EXPECT_DOUBLE_EQ(a.z, 2.0 * c.factor) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindForceScale,
    ::testing::Values(ScaleCase{"at the surface density: weight times acceleration", 0.020, 2000.0 * kG0, 0.020,
                                2000.0 * kG0},
                      ScaleCase{"at half of it: half", 0.010, 2000.0 * kG0, 0.020, 1000.0 * kG0},
                      ScaleCase{"at a tenth: a tenth", 0.1225, 1000.0 * kG0, 1.225, 100.0 * kG0},
                      ScaleCase{"landed share of the weight", 1.225, 0.05 * 1000.0 * kG0, 1.225, 50.0 * kG0},
                      ScaleCase{"no air", 0.0, 1000.0 * kG0, 1.225, 0.0}, ScaleCase{"no mass", 1.225, 0.0, 1.225, 0.0}),
    kNamedByWhat);

struct RefusedScaleCase {
  const char* what;
  double rho, weight, surfaceDensity;
};

void PrintTo(const RefusedScaleCase& c, std::ostream* os) { *os << c.what; }

class WindForceRefused : public ::testing::TestWithParam<RefusedScaleCase> {};

TEST_P(WindForceRefused, LeavesTheAccelerationAndSaysSo) {
  const RefusedScaleCase& c = GetParam();
  VECTOR3 a = _V(0.25, -0.5, 2.0);
  EXPECT_FALSE(ScaleWindToForce(a, c.rho, c.weight, c.surfaceDensity)) << c.what;
  EXPECT_EQ(a.x, 0.25);
  EXPECT_EQ(a.y, -0.5);
  EXPECT_EQ(a.z, 2.0);
}

INSTANTIATE_TEST_SUITE_P(Cases, WindForceRefused,
                         ::testing::Values(RefusedScaleCase{"zero surface density", 1.0, 1.0, 0.0},
                                           RefusedScaleCase{"negative surface density", 1.0, 1.0, -1.0},
                                           RefusedScaleCase{"NaN surface density", 1.0, 1.0, kNaN},
                                           RefusedScaleCase{"infinite surface density", 1.0, 1.0, kInf},
                                           RefusedScaleCase{"NaN density", kNaN, 1.0, 1.0},
                                           RefusedScaleCase{"negative density", -1.0, 1.0, 1.0},
                                           RefusedScaleCase{"infinite weight", 1.0, kInf, 1.0},
                                           RefusedScaleCase{"force overflows", 1.0e300, 1.0e300, 1.0e-300}),
                         kNamedByWhat);

// The host's atmospheres against the published US Standard Atmosphere 1976
// (geometric altitudes; the table's five figures).
struct DensityCase {
  double altitude;  // m
  double rho;       // kg/m^3
};

void PrintTo(const DensityCase& c, std::ostream* os) { *os << c.altitude << " m"; }

class EarthDensity : public ::testing::TestWithParam<DensityCase> {};

TEST_P(EarthDensity, MatchesTheStandardAtmosphereTable) {
  constexpr double kFiveFigures = 5e-4;  // relative
  const ghost::Atmosphere earth = ghost::EarthAtmosphere();
  const double rho = earth.profile(GetParam().altitude).rho;
  EXPECT_NEAR(rho / GetParam().rho, 1.0, kFiveFigures) << GetParam().altitude << " m: " << rho;
}

INSTANTIATE_TEST_SUITE_P(Table, EarthDensity,
                         ::testing::Values(DensityCase{0.0, 1.2250}, DensityCase{10000.0, 0.41351},
                                           DensityCase{20000.0, 0.088910}, DensityCase{30000.0, 0.018410},
                                           DensityCase{40000.0, 0.0039957}, DensityCase{50000.0, 0.0010269},
                                           DensityCase{60000.0, 3.0968e-4}, DensityCase{70000.0, 8.2829e-5},
                                           DensityCase{80000.0, 1.8458e-5}, DensityCase{86000.0, 6.958e-6}));

TEST(HostAtmospheres, EarthContinuesAbove86KilometresWithoutAJumpAndFallsOff) {
  const ghost::Atmosphere earth = ghost::EarthAtmosphere();
  const double below = earth.profile(std::nextafter(86000.0, 0.0)).rho;
  const double at = earth.profile(86000.0).rho;
  EXPECT_NEAR(at / below, 1.0, 1e-9);
  // The standard atmosphere gives 5.604e-7 kg/m^3 at 100 km.
  EXPECT_NEAR(earth.profile(100000.0).rho / 5.604e-7, 1.0, 0.05);
  double last = at;
  for (double z = 90000.0; z <= 200000.0; z += 10000.0) {
    double rho = earth.profile(z).rho;
    EXPECT_LT(rho, last) << z;
    EXPECT_GT(rho, 0.0) << z;
    last = rho;
  }
}

TEST(HostAtmospheres, MarsFallsByEOverEachScaleHeight) {
  const ghost::Atmosphere mars = ghost::MarsAtmosphere();
  EXPECT_DOUBLE_EQ(mars.profile(0.0).rho, 0.020);
  EXPECT_DOUBLE_EQ(mars.profile(11100.0).rho, 0.020 / std::exp(1.0));
  EXPECT_DOUBLE_EQ(mars.constants.rho0, 0.020);
  const ATMPARAM surface = mars.profile(0.0);
  EXPECT_DOUBLE_EQ(surface.p, 610.0) << "mean surface pressure";
  EXPECT_DOUBLE_EQ(surface.p, surface.rho * mars.constants.R * surface.T);
}

}  // namespace
