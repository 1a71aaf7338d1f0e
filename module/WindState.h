// The one record of wind settings, generated layers and acceleration-model
// state, and the wind vector of the current step.
#pragma once

#include <cstdint>
#include <vector>

#include "Orbitersdk.h"

// The highest altitude at which the wind can act: no atmosphere has wind this
// high. Layers are made only up to it, and an atmosphere's altitude limit
// above it is lowered below it before the limit search.
constexpr double kWindCeiling = 1.0e6;  // m

// One global-wind layer.
struct WindLayer {
  double altitude;   // m above the body's surface
  double strength;   // dimensionless, before the global wind level is applied
  double direction;  // rad, 0..2*pi; bearing from which the wind blows
};

// A quantity that moves linearly while a timer runs down.
struct WindRamp {
  double timeLeft = 0.0;    // s left of the running ramp
  double startValue = 0.0;  // value at the start of the ramp
  double endValue = 0.0;    // value at the end of the ramp
  double rate = 0.0;        // change per second
  double holdLeft = 0.0;    // s left of the pause after the ramp
};

// Default member values are the values at library load.
struct WindStateRecord {
  bool WindOn = false;                  // wind simulation on
  int32_t WNDmax = 10;                  // highest global wind level
  int32_t TURmax = 10;                  // highest local wind level; also a local ramp-time scale
  int32_t SHRmax = 10;                  // highest wind shear level
  int32_t WNDlvl = 0;                   // global wind level, 0..WNDmax
  int32_t TURlvl = 0;                   // local wind level, 0..TURmax
  int32_t SHRlvl = 0;                   // wind shear level, 0..SHRmax
  int32_t SHRt = 10;                    // wind shear period in half-minutes, 0..1999
  int32_t SHRt_step[3] = {1, 10, 100};  // page steps of SHRt; constant
  int32_t SHRt_stpI = 0;                // index 0..2 into SHRt_step
  int32_t layerCount = 0;               // entries in layers; 0: none generated
  double windAltLimit = -1.0;           // m; no wind above it; -1 until first computed

  // Acceleration-model state.
  WindRamp localWind[3];    // local-wind channels: 0 side, 1 up, 2 forward
  WindRamp shearRise;       // shear phase 1, the build-up
  WindRamp shearFall;       // shear phase 3, the dying away
  int32_t shearSign = 0;    // +1 or -1: mirrors the lateral shear of phases 1, 2
  WindRamp shearTurn;       // shear phase 2, the turn
  double shearClock = 0.0;  // s since the last shear event, while SHRlvl != 0

  std::vector<WindLayer> layers;  // ascending altitude
  // Upper layer of the pair the global wind used last, where the next step's
  // search starts; 0: none. Whatever edits layers sets it to 0.
  int32_t layerPair = 0;

  // Switches the wind off and forgets the layers; keeps the list's storage,
  // every setting and windAltLimit.
  void ClearWind();
  // Makes a set of layers up to windAltLimit unless one exists (none for a
  // non-finite limit, which the stack could never reach), and resets the
  // local-wind ramps and layerPair either way.
  void GenerateLayers();
  // Advances the wind model by dt and writes the dimensionless wind
  // acceleration, in the vessel frame, to WindAccel. The result is always
  // finite: a non-finite argument gives (0, 0, 0) with no state change and no
  // draw, and a result that overflows is written as (0, 0, 0). Where no pair
  // of layers strictly encloses the altitude the nearest layer's values apply.
  void ComputeWindAcceleration(double pitch, double dt, double altitude, double heading);
};

extern WindStateRecord WindState;

// Vessel frame: x side, y up, z forward. Within a pre-step first the
// dimensionless wind acceleration, then the applied force [N]; between steps
// the force of the last step, or zeros when no wind acted.
extern VECTOR3 WindAccel;
