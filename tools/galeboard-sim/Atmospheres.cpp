#include "Atmospheres.h"

#include <cmath>

namespace sim {

namespace {

constexpr double kAirGasConstant = 287.053;  // J/(kg K)
constexpr double kEarthRadius = 6356766.0;   // m, for geopotential altitude
constexpr double kHydrostatic = 34.1632;     // g0 M / R*, K/km

struct Layer {
  double base;   // km geopotential
  double temp;   // K at the base
  double lapse;  // K/km
  double press;  // Pa at the base
};

constexpr Layer kLayers[] = {
    {0.0, 288.15, -6.5, 101325.0},  {11.0, 216.65, 0.0, 22632.06}, {20.0, 216.65, 1.0, 5474.889},
    {32.0, 228.65, 2.8, 868.0187},  {47.0, 270.65, 0.0, 110.9063}, {51.0, 270.65, -2.8, 66.93887},
    {71.0, 214.65, -2.0, 3.956420},
};
constexpr double kTopKm = 84.8520;  // geopotential km of 86 km geometric

ATMPARAM Us1976(double altitude) {
  const double km = kEarthRadius * altitude / (kEarthRadius + altitude) / 1000.0;
  const double h = km < kTopKm ? km : kTopKm;
  const Layer* l = &kLayers[0];
  for (const Layer& c : kLayers)
    if (h >= c.base) l = &c;
  const double t = l->temp + l->lapse * (h - l->base);
  const double p = l->lapse == 0.0 ? l->press * std::exp(-kHydrostatic * (h - l->base) / l->temp)
                                   : l->press * std::pow(l->temp / t, kHydrostatic / l->lapse);
  ATMPARAM prm{t, p, p / (kAirGasConstant * t)};
  if (km > kTopKm) {
    // Isothermal above the table: pressure and density fall with one scale height.
    const double scale = kAirGasConstant * t / 9.80665;
    const double k = std::exp(-(km - kTopKm) * 1000.0 / scale);
    prm.p *= k;
    prm.rho *= k;
  }
  return prm;
}

ATMPARAM MarsGlenn(double altitude) {
  const double celsius = altitude < 7000.0 ? -23.4 - 0.00222 * altitude : -31.0 - 0.000998 * altitude;
  const double kelvin = celsius + 273.1;
  const double kpa = 0.699 * std::exp(-0.00009 * altitude);
  return ATMPARAM{kelvin, kpa * 1000.0, kpa / (0.1921 * kelvin)};
}

}  // namespace

ghost::Atmosphere Earth1976Atmosphere() {
  ghost::Atmosphere a;
  a.constants.p0 = 101325.0;
  a.constants.rho0 = 1.225;
  a.constants.R = kAirGasConstant;
  a.constants.gamma = 1.4;
  a.constants.altlimit = 200000.0;
  a.profile = Us1976;
  return a;
}

ghost::Atmosphere MarsAtmosphere() {
  ghost::Atmosphere a;
  const ATMPARAM surface = MarsGlenn(0.0);
  a.constants.p0 = surface.p;
  a.constants.rho0 = surface.rho;
  a.constants.R = 192.1;
  a.constants.gamma = 1.29;
  a.constants.altlimit = 150000.0;
  a.profile = MarsGlenn;
  return a;
}

std::optional<ghost::Atmosphere> MakeAtmosphere(const BodySpec& body) {
  switch (body.atmosphere) {
    case AtmosphereKind::Earth1976:
      return Earth1976Atmosphere();
    case AtmosphereKind::Mars:
      return MarsAtmosphere();
    case AtmosphereKind::Exponential:
      return ghost::ExponentialAtmosphere(body.density, body.scaleHeight, body.limit);
    case AtmosphereKind::Uniform:
      return ghost::UniformAtmosphere(body.density, body.limit);
    case AtmosphereKind::None:
      break;
  }
  return std::nullopt;
}

}  // namespace sim
