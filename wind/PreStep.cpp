// The wind acting on the focus vessel: once per step, a force from the wind
// model, grown with the vessel's weight and the air density.
#include <cmath>

#include "module/Module.h"
#include "module/WindState.h"
#include "wind/WindForce.h"

namespace {

constexpr double kSearchStep = 500.0;           // m, the grid of the altitude limit
constexpr double kSearchAirspeed = 100.0;       // m/s
constexpr double kSearchDynamicPressure = 1.0;  // Pa
static_assert(static_cast<long>(kWindCeiling) % static_cast<long>(kSearchStep) == 0,
              "the ceiling is a whole number of search steps");

bool Finite(double v) { return std::isfinite(v); }

bool FiniteVector(const VECTOR3& v) { return Finite(v.x) && Finite(v.y) && Finite(v.z); }

// The highest altitude on the grid counted down from the atmosphere's limit
// where a 100 m/s airflow still gives more than 1 Pa; the first value at or
// below 0 when none does; a limit of 0 or less as it is.
double SearchAltitudeLimit(OBJHANDLE body, double radius, double atmLimit) {
  if (!Finite(atmLimit)) return 0.0;
  double limit = atmLimit;
  // A limit above the ceiling goes straight to its highest grid point at or
  // below it, so that the search stays a few thousand queries. Counted in
  // doubles, the steps down to it go wrong once there are more than 2^53 of
  // them (limits above about 5e18 m; above about 1e19 m taking 500 m off
  // changes nothing at all). The point is the ceiling less what the limit
  // lacks of a whole number of steps: fmod is exact for every double, and so
  // is the sum, which lies below the limit.
  if (limit > kWindCeiling) {
    const double over = std::fmod(limit, kSearchStep);
    limit = over == 0.0 ? kWindCeiling : kWindCeiling - kSearchStep + over;
  }
  while (limit > 0.0) {
    ATMPARAM prm{0.0, 0.0, 0.0};
    oapiGetPlanetAtmParams(body, radius + limit, &prm);
    if (prm.rho * 0.5 * kSearchAirspeed * kSearchAirspeed > kSearchDynamicPressure) break;
    limit -= kSearchStep;
  }
  return limit;
}

}  // namespace

bool ScaleWindToForce(VECTOR3& accel, double rho, double weight, double surfaceDensity) {
  if (!(Finite(surfaceDensity) && surfaceDensity > 0.0)) return false;
  if (!(Finite(rho) && rho >= 0.0 && Finite(weight) && weight >= 0.0)) return false;
  const double k = rho * weight;
  VECTOR3 force = _V(k / surfaceDensity * accel.x, k / surfaceDensity * accel.y, k / surfaceDensity * accel.z);
  if (!FiniteVector(force)) return false;
  accel = force;
  return true;
}

void MODU::clbkPreStep(double /*simt*/, double simdt, double /*mjd*/) {
  WindAccel = _V(0.0, 0.0, 0.0);
  if (!WindState.WindOn || !vessel) return;
  OBJHANDLE body = vessel->GetAtmRef();
  if (!body) return;

  if (body != atmBody) {
    // Set the wind model up for the new body.
    const ATMCONST* atm = oapiGetPlanetAtmConstants(body);
    if (!atm) return;
    const double radius = oapiGetSize(body);
    ATMPARAM surface{0.0, 0.0, 0.0};
    oapiGetPlanetAtmParams(body, radius, &surface);
    surfaceDensity = surface.rho;
    WindState.windAltLimit = SearchAltitudeLimit(body, radius, atm->altlimit);
    WindState.ClearWind();
    WindState.GenerateLayers();
    atmBody = body;
    LoadSettings();
    // The wind was on when this step began and stays on across the change.
    WindState.WindOn = true;
  }
  // Air without density at the surface carries no wind: the force would be
  // infinite.
  if (!(Finite(surfaceDensity) && surfaceDensity > 0.0)) return;

  const double altitude = vessel->GetAltitude();
  if (!Finite(altitude) || altitude > WindState.windAltLimit) return;
  const double mass = vessel->GetMass();
  if (!(Finite(mass) && mass >= 0.0)) return;
  double weight = mass * kStandardGravity;
  if (vessel->GetFlightStatus() & 1u) {
    if (DisRest != 0) return;
    weight *= kLandedWeightShare;
  }
  if (!Finite(weight)) return;
  const double rho = vessel->GetAtmDensity();
  if (!(Finite(rho) && rho >= 0.0)) return;
  double heading = 0.0;
  oapiGetFocusHeading(&heading);
  const double pitch = vessel->GetPitch();
  if (!Finite(heading) || !Finite(pitch) || !(Finite(simdt) && simdt >= 0.0)) return;

  WindState.ComputeWindAcceleration(pitch, simdt, altitude, heading);
  if (!ScaleWindToForce(WindAccel, rho, weight, surfaceDensity)) {
    WindAccel = _V(0.0, 0.0, 0.0);
    return;
  }
  vessel->AddForce(WindAccel, _V(0.0, 0.0, 0.0));
}
