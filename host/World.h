// The headless host's in-memory world: bodies, vessels and the screen state
// that the module can ask about. Plain data; driving it is Host's business.
#pragma once

#include <deque>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Orbitersdk.h"

namespace ghost {

struct Object {
  enum class Kind { Body, Vessel };
  explicit Object(Kind k) : kind(k) {}
  Kind kind;
  std::string name;
};

struct Atmosphere {
  ATMCONST constants{};
  // Temperature, pressure and density at an altitude [m] inside the atmosphere.
  std::function<ATMPARAM(double altitude)> profile;
};

struct Body : Object {
  Body() : Object(Kind::Body) {}
  double radius = 0.0;  // mean radius [m]
  std::optional<Atmosphere> atmosphere;

  // The atmosphere's state at an altitude; all zero outside it.
  ATMPARAM AtmParamsAt(double altitude) const;
};

struct AppliedForce {
  VECTOR3 F;  // N, vessel frame
  VECTOR3 r;  // m, vessel frame
};

struct Vessel : Object {
  Vessel();
  ~Vessel();
  std::string className;
  double mass = 1000.0;               // kg
  double altitude = 0.0;              // m above the mean radius of body
  double pitch = 0.0;                 // rad
  double heading = 0.0;               // rad
  VECTOR3 airspeed{{0.0, 0.0, 0.0}};  // m/s, vessel frame
  DWORD flightStatus = 0;             // bit 0: landed
  Body* body = nullptr;               // the body the vessel flies at
  std::vector<AppliedForce> forces;   // added since the last step began
  std::unique_ptr<VESSEL> iface;      // what oapiGetVesselInterface hands out

  // The body whose atmosphere holds the vessel, or null.
  Body* AtmRef() const;
  double AtmDensity() const;
};

struct Annotation {
  bool exclusive = false;
  double size = 0.0;
  VECTOR3 colour{{0.0, 0.0, 0.0}};
  double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;  // box, viewport fractions
  std::optional<std::string> text;                // none: shows nothing
};

class World {
 public:
  Body& AddBody(const std::string& name, double radius);
  Vessel& AddVessel(const std::string& name, const std::string& className, Body* body);

  std::deque<Body> bodies;
  std::deque<Vessel> vessels;
  Vessel* focus = nullptr;

  bool cameraInternal = true;
  int cockpitMode = COCKPIT_GENERIC;
  int hudMode = HUD_SURFACE;
  DWORD viewW = 1280, viewH = 800;

  std::list<Annotation> annotations;
};

// Atmosphere helpers for worlds built by hand.
Atmosphere UniformAtmosphere(double density, double altLimit);
Atmosphere ExponentialAtmosphere(double surfaceDensity, double scaleHeight, double altLimit);

inline OBJHANDLE Handle(Object* o) { return static_cast<OBJHANDLE>(o); }

}  // namespace ghost
