// The atmospheres a scenario can give a body: the host's Earth (US Standard
// Atmosphere 1976) and Mars, or an exponential or uniform one of its own.
#pragma once

#include <optional>

#include "host/World.h"
#include "tools/galeboard-sim/Scenario.h"

namespace sim {

// The atmosphere a body statement asks for; none for "atmosphere none".
std::optional<ghost::Atmosphere> MakeAtmosphere(const BodySpec& body);

}  // namespace sim
