// The wind's force on a vessel from the model's dimensionless acceleration.
#pragma once

#include "Orbitersdk.h"

// The weight the force grows with: the mass times standard gravity, and a
// share of that for a landed vessel. Whoever reads the force back (the
// simulator tool) divides by these same numbers.
constexpr double kStandardGravity = 9.80665;  // m/s^2
constexpr double kLandedWeightShare = 0.05;

// Turns accel, in place, into the force [N] on a vessel of weight [N] in air
// of density rho [kg/m^3]: each component times rho * weight / surfaceDensity.
// Returns false, leaving accel as it was, when the inputs give no finite
// force (a surface density that is not positive and finite, a non-finite or
// negative weight or density, or a result that is not finite).
bool ScaleWindToForce(VECTOR3& accel, double rho, double weight, double surfaceDensity);
