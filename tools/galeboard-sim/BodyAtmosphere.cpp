#include "tools/galeboard-sim/BodyAtmosphere.h"

#include "host/Atmospheres.h"

namespace sim {

std::optional<ghost::Atmosphere> MakeAtmosphere(const BodySpec& body) {
  switch (body.atmosphere) {
    case AtmosphereKind::Earth1976:
      return ghost::EarthAtmosphere();
    case AtmosphereKind::Mars:
      return ghost::MarsAtmosphere();
    case AtmosphereKind::Exponential:
      return ghost::ExponentialAtmosphere(body.density, body.scaleHeight, body.limit);
    case AtmosphereKind::Uniform:
      return ghost::UniformAtmosphere(body.density, body.limit);
    case AtmosphereKind::None:
      break;
  }
  return std::nullopt;
}

double SurfaceDensity(const ghost::Body& body) {
  // The host's functions take a handle, which is not const.
  const OBJHANDLE handle = ghost::Handle(const_cast<ghost::Body*>(&body));
  ATMPARAM surface{0.0, 0.0, 0.0};
  oapiGetPlanetAtmParams(handle, oapiGetSize(handle), &surface);
  return surface.rho;
}

}  // namespace sim
