#include "tools/galeboard-sim/Flight.h"

#include <chrono>
#include <cmath>
#include <cstdio>

#include "tools/galeboard-sim/BodyAtmosphere.h"
#include "tools/galeboard-sim/Progress.h"

namespace sim {

namespace {

constexpr double kDegree = 3.141592653589793 / 180.0;

double HeadingRadians(double degrees) {
  double h = std::fmod(degrees, 360.0);
  if (h < 0.0) h += 360.0;
  return h * kDegree;
}

std::string Bool(bool b) { return b ? "true" : "false"; }

}  // namespace

Flight::Flight(const Scenario& scenario) : scenario_(scenario) {
  for (const BodySpec& b : scenario.bodies) {
    ghost::Body& body = world_.AddBody(b.name, b.radius);
    body.atmosphere = MakeAtmosphere(b);
  }
  for (const VesselSpec& v : scenario.vessels) {
    ghost::Body* body = nullptr;
    for (ghost::Body& b : world_.bodies)
      if (b.name == v.body) body = &b;
    ghost::Vessel& vessel = world_.AddVessel(v.name, v.className, body);
    vessel.mass = v.mass;
    vessel.altitude = v.altitude;
    vessel.heading = HeadingRadians(v.heading);
    vessel.pitch = v.pitch * kDegree;
    vessel.airspeed = _V(v.airspeed.x, v.airspeed.y, v.airspeed.z);
    vessel.flightStatus = v.landed ? 1u : 0u;
    model_.Follow(vessel, v.trim);
  }
  if (!scenario.focus.empty()) world_.focus = VesselNamed(scenario.focus);
  world_.viewW = scenario.viewW;
  world_.viewH = scenario.viewH;
  world_.cameraInternal = scenario.cameraInternal;
  world_.cockpitMode = scenario.cockpit;
  world_.hudMode = scenario.hud;

  host_ = std::make_unique<ghost::Host>(world_);
  host_->motion = [this](ghost::World& w, double dt) { model_.Step(w, dt); };
}

Flight::~Flight() { End(); }

bool Flight::LoadModule(const std::filesystem::path& module, std::string* error) {
  library_ = host_->LoadModule(module.string(), error);
  return library_ != nullptr;
}

void Flight::Start() {
  host_->SetSimTime(0.0);
  host_->StartSimulation();
  started_ = true;
  for (const DisplayDecl& d : scenario_.displays) displays_.push_back(OpenDisplay{&d, -1});
  OpenDisplays(false);
}

void Flight::OpenDisplays(bool onlyFollowing) {
  for (OpenDisplay& d : displays_) {
    const bool follows = d.decl->vessel.empty();
    if (onlyFollowing && !follows) continue;
    if (d.index >= 0) host_->CloseDisplay(d.index);
    ghost::Vessel* v = follows ? world_.focus : VesselNamed(d.decl->vessel);
    ghost::DisplaySpec spec;
    spec.width = d.decl->width;
    spec.height = d.decl->height;
    spec.charWidth = d.decl->charWidth;
    spec.charHeight = d.decl->charHeight;
    d.index = host_->OpenDisplay(spec, v, "Galeboard");
  }
}

ghost::Vessel* Flight::VesselNamed(const std::string& name) {
  for (ghost::Vessel& v : world_.vessels)
    if (v.name == name) return &v;
  return nullptr;
}

Flight::OpenDisplay* Flight::DisplayNamed(const std::string& name) {
  for (OpenDisplay& d : displays_)
    if (d.decl->name == name) return &d;
  return nullptr;
}

double Flight::Run(StepSink& sink, bool allDensities, Progress* progress) {
  using Clock = std::chrono::steady_clock;
  const int64_t n = scenario_.Steps();
  const double dt = scenario_.step;
  const std::vector<Action>& timeline = scenario_.timeline;
  size_t next = 0;
  StepSample s;
  surfaceOf_ = nullptr;
  // The clock is read only around the actions, which are few.
  Clock::duration stepping{};
  Clock::time_point since = Clock::now();
  for (int64_t k = 0; k < n; ++k) {
    if (next < timeline.size() && timeline[next].step <= k) {
      stepping += Clock::now() - since;
      while (next < timeline.size() && timeline[next].step <= k) Execute(timeline[next++], sink);
      since = Clock::now();
    }
    // Times as multiples of the step, free of summed rounding.
    host_->SetSimTime(static_cast<double>(k) * dt);
    host_->Step(dt);
    Sample(k, allDensities, &s);
    sink.OnStep(s);
    if (progress && (k & 0x3FF) == 0) progress->Update(k, n, s.t);
  }
  stepping += Clock::now() - since;
  while (next < timeline.size()) Execute(timeline[next++], sink);
  if (progress) progress->Finish();
  return std::chrono::duration<double>(stepping).count();
}

void Flight::Sample(int64_t k, bool allDensities, StepSample* s) {
  const ghost::Vessel& v = *world_.focus;
  s->step = k;
  s->t = static_cast<double>(k + 1) * scenario_.step;
  s->vessel = &v;
  const ghost::Body* atm = v.AtmRef();
  s->inAtmosphere = atm != nullptr;
  s->landed = (v.flightStatus & 1u) != 0;
  s->wind = !v.forces.empty();
  VECTOR3 f = _V(0.0, 0.0, 0.0);
  for (const ghost::AppliedForce& a : v.forces) f = _V(f.x + a.F.x, f.y + a.F.y, f.z + a.F.z);
  s->force = f;
  s->accel = _V(f.x / v.mass, f.y / v.mass, f.z / v.mass);
  s->density = (allDensities || s->wind) && atm ? v.AtmDensity() : 0.0;
  if (atm != surfaceOf_) {
    surfaceOf_ = atm;
    s->surfaceDensity = atm ? SurfaceDensity(*atm) : 0.0;
  }
  s->track = nullptr;
  for (const ghost::FlightModel::Track& t : model_.tracks())
    if (t.vessel == &v) s->track = &t;
}

void Flight::Execute(const Action& a, StepSink& sink) {
  ActionRecord rec{a.time, a.text, ""};
  switch (a.kind) {
    case ActionKind::Key:
    case ActionKind::Click:
    case ActionKind::Store:
      rec.result = PageAction(a);
      break;
    case ActionKind::Focus:
    case ActionKind::Altitude:
    case ActionKind::Attitude:
    case ActionKind::Airspeed:
    case ActionKind::Land:
    case ActionKind::Liftoff:
      rec.result = VesselAction(a, *VesselNamed(a.target));
      break;
    case ActionKind::Camera:
      world_.cameraInternal = a.mode != 0;
      break;
    case ActionKind::Cockpit:
      world_.cockpitMode = a.mode;
      break;
    case ActionKind::Hud:
      world_.hudMode = a.mode;
      break;
    case ActionKind::Snapshot:
      sink.OnSnapshot(*this, a.time, false);
      break;
  }
  record_.push_back(rec);
}

std::string Flight::PageAction(const Action& a) {
  const OpenDisplay* d = DisplayNamed(a.target);
  if (!d || d->index < 0) return "no page on the display (module not loaded)";
  if (a.kind == ActionKind::Click) return "consumed: " + Bool(host_->Click(d->index, a.button, a.event));
  if (a.kind == ActionKind::Store) {
    host_->StoreStatus(d->index);
    return "";
  }
  std::string consumed;
  for (uint32_t code : a.keys) {
    const bool r = host_->Key(d->index, code);
    consumed += std::string(consumed.empty() ? "" : " ") + KeyName(code) + (r ? "+" : "-");
  }
  return "consumed (+) / not (-): " + consumed;
}

std::string Flight::VesselAction(const Action& a, ghost::Vessel& v) {
  switch (a.kind) {
    case ActionKind::Focus:
      if (&v == world_.focus) return "already the focus";
      host_->SetFocus(&v);
      OpenDisplays(true);
      return "displays that follow the focus now show " + v.name;
    case ActionKind::Altitude: {
      const bool was = v.AtmRef() != nullptr;
      v.altitude = a.a;
      const bool is = v.AtmRef() != nullptr;
      return was == is ? (is ? "still in the atmosphere" : "still outside any atmosphere")
                       : (is ? "enters the atmosphere" : "leaves the atmosphere");
    }
    case ActionKind::Attitude:
      v.heading = HeadingRadians(a.a);
      v.pitch = a.b * kDegree;
      model_.SetNominalAirspeed(v, model_.TrackOf(v)->nominal);
      return "";
    case ActionKind::Airspeed:
      model_.SetNominalAirspeed(v, _V(a.vector.x, a.vector.y, a.vector.z));
      return "";
    default:  // Land, Liftoff
      model_.SetLanded(v, a.kind == ActionKind::Land);
      return "";
  }
}

void Flight::End() {
  if (ended_ || !host_) return;
  ended_ = true;
  if (started_) host_->EndSimulation();
  host_->UnloadModules();
  library_ = nullptr;
}

}  // namespace sim
