// A deliberately simple flight model for the headless host, so that the forces
// a module applies change a vessel's motion and can be seen.
//
// Every vessel flies a nominal flight that holds its attitude (heading and
// pitch never change here) and its nominal airspeed, given in the vessel frame
// (x side to the right, y up, z forward). On top of it the model integrates the
// forces added during the step (World's Vessel::forces, vessel frame, N):
//
//   a      = sum(F) / mass, turned through heading and pitch into the local
//            horizon frame (east, north, up);
//   dv     = dv + a dt                       (trim time 0: pure integration)
//   dv     = (dv + a dt) / (1 + dt / trim)   (trim time > 0: the airframe and
//            pilot pull the flight back to the nominal one with that time
//            constant; the steady drift speed under a constant force is a trim)
//   v      = R nominal + dv                  (world frame)
//   east  += v.e dt, north += v.n dt, altitude += v.u dt
//   airspeed = R^T v                          (vessel frame; the air is still:
//            wind reaches the vessel only as a force)
//
// The point of application is ignored: no force turns the vessel. A vessel
// that is landed (flight status bit 0) stays where it is with zero airspeed;
// one that reaches altitude 0 while descending touches down there and becomes
// landed. Flat ground and no gravity beyond what the nominal flight balances.
#pragma once

#include <vector>

#include "Orbitersdk.h"
#include "host/World.h"

namespace ghost {

class OAPIFUNC FlightModel {
 public:
  struct Track {
    Vessel* vessel = nullptr;
    VECTOR3 nominal{{0.0, 0.0, 0.0}};    // m/s, vessel frame: the airspeed the flight holds
    double trimTime = 0.0;               // s; 0: forces integrate without restoring
    VECTOR3 deviation{{0.0, 0.0, 0.0}};  // m/s, east, north, up: what the forces added
    double east = 0.0, north = 0.0;      // m from the start, horizon frame
    double touchdownTime = -1.0;         // s of simulation time; -1: none
    // Cached turn of the vessel frame into the horizon frame.
    double cachedHeading = 0.0, cachedPitch = 0.0;
    VECTOR3 right{{1.0, 0.0, 0.0}}, up{{0.0, 0.0, 1.0}}, forward{{0.0, 1.0, 0.0}};
    bool cacheValid = false;
  };

  // Follows a vessel from now on, its present airspeed as the nominal one.
  Track& Follow(Vessel& v, double trimTime = 0.0);
  // The track of a vessel, or null when it is not followed.
  Track* TrackOf(const Vessel& v);
  const std::vector<Track>& tracks() const { return tracks_; }

  // A new nominal airspeed (vessel frame); the deviation is kept.
  void SetNominalAirspeed(Vessel& v, const VECTOR3& airspeed);
  // Lands a vessel where it is, or lets it fly again with its nominal airspeed.
  void SetLanded(Vessel& v, bool landed);

  // One step of every followed vessel; fits Host::motion.
  void Step(World& world, double dt);

 private:
  std::vector<Track> tracks_;
  double time_ = 0.0;
};

}  // namespace ghost
