#include "host/FlightModel.h"

#include <cmath>

namespace ghost {

namespace {

VECTOR3 Scaled(const VECTOR3& v, double k) { return _V(v.x * k, v.y * k, v.z * k); }
VECTOR3 Sum(const VECTOR3& a, const VECTOR3& b) { return _V(a.x + b.x, a.y + b.y, a.z + b.z); }
double Dot(const VECTOR3& a, const VECTOR3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// The vessel's axes in the horizon frame (east, north, up). Heading 0 is
// north, a quarter turn east; positive pitch lifts the nose.
void Orient(FlightModel::Track& t, double heading, double pitch) {
  if (t.cacheValid && t.cachedHeading == heading && t.cachedPitch == pitch) return;
  const double sh = std::sin(heading), ch = std::cos(heading);
  const double sp = std::sin(pitch), cp = std::cos(pitch);
  t.forward = _V(sh * cp, ch * cp, sp);
  t.up = _V(-sh * sp, -ch * sp, cp);
  t.right = _V(ch, -sh, 0.0);
  t.cachedHeading = heading;
  t.cachedPitch = pitch;
  t.cacheValid = true;
}

// A vessel-frame vector in the horizon frame.
VECTOR3 ToHorizon(const FlightModel::Track& t, const VECTOR3& v) {
  return Sum(Sum(Scaled(t.right, v.x), Scaled(t.up, v.y)), Scaled(t.forward, v.z));
}

}  // namespace

FlightModel::Track& FlightModel::Follow(Vessel& v, double trimTime) {
  Track* t = TrackOf(v);
  if (!t) t = &tracks_.emplace_back();
  *t = Track{};
  t->vessel = &v;
  t->nominal = v.airspeed;
  t->trimTime = trimTime > 0.0 ? trimTime : 0.0;
  if (v.flightStatus & 1u) v.airspeed = _V(0.0, 0.0, 0.0);
  return *t;
}

FlightModel::Track* FlightModel::TrackOf(const Vessel& v) {
  for (Track& t : tracks_)
    if (t.vessel == &v) return &t;
  return nullptr;
}

void FlightModel::SetNominalAirspeed(Vessel& v, const VECTOR3& airspeed) {
  Track* t = TrackOf(v);
  if (!t) t = &Follow(v);
  t->nominal = airspeed;
  if (!(v.flightStatus & 1u)) {
    Orient(*t, v.heading, v.pitch);
    const VECTOR3 world = Sum(ToHorizon(*t, t->nominal), t->deviation);
    v.airspeed = _V(Dot(world, t->right), Dot(world, t->up), Dot(world, t->forward));
  }
}

void FlightModel::SetLanded(Vessel& v, bool landed) {
  Track* t = TrackOf(v);
  if (!t) t = &Follow(v);
  if (landed) {
    v.flightStatus |= 1u;
    v.airspeed = _V(0.0, 0.0, 0.0);
  } else {
    v.flightStatus &= ~1u;
    v.airspeed = t->nominal;
  }
  t->deviation = _V(0.0, 0.0, 0.0);
}

void FlightModel::Step(World& /*world*/, double dt) {
  time_ += dt;
  for (Track& t : tracks_) {
    Vessel& v = *t.vessel;
    if (v.flightStatus & 1u) continue;  // held by the ground
    Orient(t, v.heading, v.pitch);

    VECTOR3 force = _V(0.0, 0.0, 0.0);
    for (const AppliedForce& f : v.forces) force = Sum(force, f.F);
    if (v.mass > 0.0 && (force.x != 0.0 || force.y != 0.0 || force.z != 0.0)) {
      const VECTOR3 a = ToHorizon(t, Scaled(force, 1.0 / v.mass));
      t.deviation = Sum(t.deviation, Scaled(a, dt));
    }
    if (t.trimTime > 0.0) t.deviation = Scaled(t.deviation, 1.0 / (1.0 + dt / t.trimTime));

    const VECTOR3 world = Sum(ToHorizon(t, t.nominal), t.deviation);
    t.east += world.x * dt;
    t.north += world.y * dt;
    v.altitude += world.z * dt;
    v.airspeed = _V(Dot(world, t.right), Dot(world, t.up), Dot(world, t.forward));

    if (v.altitude <= 0.0 && world.z < 0.0) {
      v.altitude = 0.0;
      v.flightStatus |= 1u;
      v.airspeed = _V(0.0, 0.0, 0.0);
      t.deviation = _V(0.0, 0.0, 0.0);
      t.touchdownTime = time_;
    }
  }
}

}  // namespace ghost
