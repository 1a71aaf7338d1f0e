#include "host/World.h"

#include <cmath>

namespace ghost {

ATMPARAM Body::AtmParamsAt(double altitude) const {
  if (!atmosphere || !atmosphere->profile || !(altitude <= atmosphere->constants.altlimit))
    return ATMPARAM{0.0, 0.0, 0.0};
  return atmosphere->profile(altitude);
}

Vessel::Vessel() : Object(Kind::Vessel) {}
Vessel::~Vessel() = default;

Body* Vessel::AtmRef() const {
  if (!body || !body->atmosphere || !(altitude <= body->atmosphere->constants.altlimit)) return nullptr;
  return body;
}

double Vessel::AtmDensity() const {
  const Body* b = AtmRef();
  return b ? b->AtmParamsAt(altitude).rho : 0.0;
}

Body& World::AddBody(const std::string& name, double radius) {
  Body& b = bodies.emplace_back();
  b.name = name;
  b.radius = radius;
  return b;
}

Vessel& World::AddVessel(const std::string& name, const std::string& className, Body* body) {
  Vessel& v = vessels.emplace_back();
  v.name = name;
  v.className = className;
  v.body = body;
  v.iface = std::make_unique<VESSEL>(Handle(&v));
  if (!focus) focus = &v;
  return v;
}

Atmosphere UniformAtmosphere(double density, double altLimit) {
  Atmosphere a;
  a.constants.rho0 = density;
  a.constants.altlimit = altLimit;
  a.profile = [density](double) { return ATMPARAM{288.15, 101325.0, density}; };
  return a;
}

Atmosphere ExponentialAtmosphere(double surfaceDensity, double scaleHeight, double altLimit) {
  Atmosphere a;
  a.constants.rho0 = surfaceDensity;
  a.constants.altlimit = altLimit;
  a.profile = [surfaceDensity, scaleHeight](double alt) {
    return ATMPARAM{0.0, 0.0, surfaceDensity * std::exp(-alt / scaleHeight)};
  };
  return a;
}

}  // namespace ghost
