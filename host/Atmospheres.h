// Atmospheres of real bodies for the headless host, and the bodies that carry
// them. Altitudes are geometric, in metres above the mean radius.
#pragma once

#include "host/World.h"

namespace ghost {

// The US Standard Atmosphere 1976 up to 86 km; above it, isothermal at its
// 86 km temperature with the density falling off exponentially. Limit 200 km.
Atmosphere EarthAtmosphere();
// Isothermal CO2 air with Mars' mean surface density (0.020 kg/m^3) and
// pressure (610 Pa), falling off with a scale height of 11.1 km. Limit 150 km.
Atmosphere MarsAtmosphere();

// Bodies with their mean radius: Earth and Mars with the atmospheres above,
// the Moon with none.
Body& AddEarth(World& world);
Body& AddMars(World& world);
Body& AddMoon(World& world);

}  // namespace ghost
