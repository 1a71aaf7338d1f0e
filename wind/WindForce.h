// The wind's force on a vessel from the model's dimensionless acceleration.
#pragma once

#include "Orbitersdk.h"

// Turns accel, in place, into the force [N] on a vessel of weight [N] in air
// of density rho [kg/m^3]: each component times rho * weight / surfaceDensity.
// Returns false, leaving accel as it was, when the inputs give no finite
// force (a surface density that is not positive and finite, a non-finite or
// negative weight or density, or a result that is not finite).
bool ScaleWindToForce(VECTOR3& accel, double rho, double weight, double surfaceDensity);
