// The atmospheres a scenario can give a body: the host's Earth (US Standard
// Atmosphere 1976) and Mars, or an exponential or uniform one of its own.
#pragma once

#include <optional>

#include "host/World.h"
#include "tools/galeboard-sim/Scenario.h"

namespace sim {

// The atmosphere a body statement asks for; none for "atmosphere none".
std::optional<ghost::Atmosphere> MakeAtmosphere(const BodySpec& body);

// The density at the body's surface [kg/m^3] as the module takes it: asked of
// the host for the body's mean radius, not read from the atmosphere's
// constants. 0 without an atmosphere.
double SurfaceDensity(const ghost::Body& body);

}  // namespace sim
