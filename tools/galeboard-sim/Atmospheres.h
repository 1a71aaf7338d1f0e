// The atmospheres a scenario can give a body. Earth and Mars follow published
// standard profiles; the host's own Atmospheres.h, once it is there, can take
// their place here without touching the rest of the tool.
#pragma once

#include <optional>

#include "Scenario.h"
#include "World.h"

namespace sim {

// U.S. Standard Atmosphere 1976 up to 86 km, continued isothermally (186.87 K)
// to the top at 200 km. Surface 288.15 K, 101325 Pa, 1.225 kg/m^3.
ghost::Atmosphere Earth1976Atmosphere();
// NASA Glenn's Mars model (surface about 0.0146 kg/m^3, scale height about
// 11 km), up to 150 km.
ghost::Atmosphere MarsAtmosphere();
// The atmosphere a body statement asks for; none for "atmosphere none".
std::optional<ghost::Atmosphere> MakeAtmosphere(const BodySpec& body);

}  // namespace sim
