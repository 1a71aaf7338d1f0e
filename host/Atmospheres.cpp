#include "host/Atmospheres.h"

#include <cmath>

namespace ghost {

namespace {

// Constants of the US Standard Atmosphere 1976.
constexpr double kG0 = 9.80665;         // m/s^2
constexpr double kRStar = 8.31432;      // J/(mol K)
constexpr double kM0 = 0.0289644;       // kg/mol, mean molar mass of air below 86 km
constexpr double kEarthR0 = 6356766.0;  // m, the radius that defines geopotential altitude

// Base of each layer: geopotential altitude [m], temperature [K], lapse rate
// [K/m], pressure [Pa].
struct Layer {
  double h, T, L, p;
};
constexpr Layer kLayers[] = {
    {0.0, 288.15, -0.0065, 101325.0},    {11000.0, 216.65, 0.0, 22632.06}, {20000.0, 216.65, 0.001, 5474.889},
    {32000.0, 228.65, 0.0028, 868.0187}, {47000.0, 270.65, 0.0, 110.9063}, {51000.0, 270.65, -0.0028, 66.93887},
    {71000.0, 214.65, -0.002, 3.956420},
};
constexpr double kTopGeometric = 86000.0;  // m, the end of the layer table

ATMPARAM Ussa1976Below86km(double z) {
  const double h = kEarthR0 * z / (kEarthR0 + z);
  const Layer* b = &kLayers[0];
  for (const Layer& l : kLayers)
    if (h >= l.h) b = &l;
  const double dh = h - b->h;
  const double T = b->T + b->L * dh;
  const double p = b->L == 0.0 ? b->p * std::exp(-kG0 * kM0 * dh / (kRStar * b->T))
                               : b->p * std::pow(b->T / T, kG0 * kM0 / (kRStar * b->L));
  return ATMPARAM{T, p, p * kM0 / (kRStar * T)};
}

ATMPARAM EarthProfile(double z) {
  // The table holds from 5 km below the surface.
  if (z < kTopGeometric) return Ussa1976Below86km(z < -5000.0 ? -5000.0 : z);
  // Above the table: isothermal at the 86 km temperature, with the scale
  // height of the gravity there.
  static const ATMPARAM top = Ussa1976Below86km(kTopGeometric);
  const double g = kG0 * std::pow(kEarthR0 / (kEarthR0 + kTopGeometric), 2.0);
  const double scaleHeight = kRStar * top.T / (kM0 * g);
  const double f = std::exp(-(z - kTopGeometric) / scaleHeight);
  return ATMPARAM{top.T, top.p * f, top.rho * f};
}

constexpr double kMarsSurfaceDensity = 0.020;   // kg/m^3
constexpr double kMarsScaleHeight = 11100.0;    // m
constexpr double kMarsSurfacePressure = 610.0;  // Pa, mean
constexpr double kMarsR = 188.92;               // J/(kg K), CO2
// Isothermal: the temperature of the surface pressure and density.
constexpr double kMarsT = kMarsSurfacePressure / (kMarsSurfaceDensity * kMarsR);

}  // namespace

Atmosphere EarthAtmosphere() {
  Atmosphere a;
  a.constants.p0 = 101325.0;
  a.constants.rho0 = 1.225;
  a.constants.R = kRStar / kM0;
  a.constants.gamma = 1.4;
  a.constants.C = 0.0;
  a.constants.O2pp = 0.2095 * 101325.0;
  a.constants.altlimit = 200000.0;
  a.constants.radlimit = 6371010.0 + 200000.0;
  a.constants.horizonalt = 64000.0;
  a.constants.color0 = _V(0.5, 0.7, 1.0);
  a.profile = EarthProfile;
  return a;
}

Atmosphere MarsAtmosphere() {
  Atmosphere a;
  a.constants.p0 = kMarsSurfacePressure;
  a.constants.rho0 = kMarsSurfaceDensity;
  a.constants.R = kMarsR;
  a.constants.gamma = 1.29;
  a.constants.C = 0.0;
  a.constants.O2pp = 0.0013 * a.constants.p0;
  a.constants.altlimit = 150000.0;
  a.constants.radlimit = 3389500.0 + 150000.0;
  a.constants.horizonalt = 40000.0;
  a.constants.color0 = _V(0.8, 0.6, 0.4);
  a.profile = [](double z) {
    // Below the deepest basin, as at its floor.
    const double rho = kMarsSurfaceDensity * std::exp(-(z < -10000.0 ? -10000.0 : z) / kMarsScaleHeight);
    return ATMPARAM{kMarsT, rho * kMarsR * kMarsT, rho};
  };
  return a;
}

Body& AddEarth(World& world) {
  Body& b = world.AddBody("Earth", 6371010.0);
  b.atmosphere = EarthAtmosphere();
  return b;
}

Body& AddMars(World& world) {
  Body& b = world.AddBody("Mars", 3389500.0);
  b.atmosphere = MarsAtmosphere();
  return b;
}

Body& AddMoon(World& world) { return world.AddBody("Moon", 1737400.0); }

}  // namespace ghost
