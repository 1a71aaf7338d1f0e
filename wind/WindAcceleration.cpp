// One step of the wind model: global wind, shear and local wind add to three
// running sums, which the pitch then mixes into WindAccel. Every component
// draws from the one random source, so the order of the steps below, and of
// the draws within them, is part of the wind.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "module/WindState.h"
#include "wind/RandomSource.h"

namespace {

using RandomSource::UniformRandom;

constexpr double kPi = 3.141592653589793;
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kQuarterPi = 0.7853981633974483;
// A one-in-32 test passes on raw outputs below 2^27.
constexpr uint32_t kOneIn32 = 0x08000000u;

// The sums the components add to, in the vessel's frame before the pitch.
struct WindSums {
  double side = 0.0;
  double vertical = 0.0;
  double horizontal = 0.0;  // along the heading
};

// Wind acts with the square of its speed, keeping the sign of the component:
// sign(v) * v * v, bit for bit, without the branches of the sign. Only -0 would
// square to -0 here, where a sign of 0 gives +0; a square that underflows keeps
// the component's sign either way.
double SignedSquare(double v) { return v == 0.0 ? 0.0 : v * std::fabs(v); }

bool OneIn32() { return RandomSource::NextRandom() < kOneIn32; }

// ---- Global wind ----

bool Encloses(const WindLayer* layers, int32_t i, double altitude) {
  return layers[i].altitude > altitude && altitude > layers[i - 1].altitude;
}

// Whether the layers up to i rise (or stay level): then no pair below i can
// enclose an altitude that pair i or one above it encloses.
bool RiseTo(const WindLayer* layers, int32_t i) {
  for (int32_t k = 1; k < i; ++k) {
    if (layers[k].altitude < layers[k - 1].altitude) return false;
  }
  return true;
}

// The upper layer of the first pair that strictly encloses altitude; 0 when
// none does. A step moves little, so the pair of the last step (last) and its
// neighbours are tried first. last is only kept for a pair that enclosed an
// altitude above rising layers, so whichever of the three encloses is the
// first that does; layers set without resetting last keep that true as long
// as they rise.
int32_t EnclosingPair(const WindLayer* layers, int32_t count, double altitude, int32_t& last) {
  if (last > 0 && last < count) {
    if (Encloses(layers, last, altitude)) return last;
    if (last + 1 < count && Encloses(layers, last + 1, altitude)) return ++last;
    if (last > 1 && Encloses(layers, last - 1, altitude)) return --last;
  }
  for (int32_t i = 1; i < count; ++i) {
    if (Encloses(layers, i, altitude)) {
      last = RiseTo(layers, i) ? i : 0;
      return i;
    }
  }
  return 0;
}

// Strength and direction of the global wind at altitude, from the layers:
// linear between the first pair that strictly encloses the altitude. Where no
// pair does (at or below the lowest layer, exactly at a layer's altitude,
// above the top, or a single layer) the nearest layer's own values apply, the
// first one on a tie; those are the values the interpolation approaches there,
// so the wind stays finite and continuous across layer altitudes. False when
// there are no layers: then there is no global wind.
bool LayerWind(WindStateRecord& w, double altitude, double& strength, double& direction) {
  // layerCount is kept equal to the list's size; the smaller of the two
  // keeps the search inside the list should they ever differ. (Bracketed
  // against the min macro of <windows.h>.)
  const int32_t count = (std::min)(w.layerCount, static_cast<int32_t>(w.layers.size()));
  const WindLayer* layers = w.layers.data();
  if (int32_t i = EnclosingPair(layers, count, altitude, w.layerPair)) {
    const WindLayer& lower = layers[i - 1];
    const WindLayer& upper = layers[i];
    double span = upper.altitude - lower.altitude;
    double dh = altitude - lower.altitude;
    // Plain numbers: a direction is not wrapped round between layers.
    direction = (upper.direction - lower.direction) / span * dh + lower.direction;
    strength = (upper.strength - lower.strength) / span * dh + lower.strength;
    return true;
  }
  if (count <= 0) return false;
  const WindLayer* nearest = &layers[0];
  for (int32_t i = 1; i < count; ++i) {
    if (std::fabs(layers[i].altitude - altitude) < std::fabs(nearest->altitude - altitude)) nearest = &layers[i];
  }
  strength = nearest->strength;
  direction = nearest->direction;
  return true;
}

// The global wind starts the side and horizontal sums.
void GlobalWind(WindStateRecord& w, double altitude, double heading, WindSums& sums) {
  double strength = 0.0;
  double direction = 0.0;
  if (!LayerWind(w, altitude, strength, direction)) return;
  double m = strength * (w.WNDlvl * 0.1);
  double r = direction - heading;
  double along = m * std::cos(r);
  double across = m * std::sin(r);
  sums.side = -SignedSquare(across);
  sums.horizontal = -SignedSquare(along);
}

// ---- Wind shear ----

// A phase's timer as read before it runs down, which is the value the phase
// uses: the step on which the timer reaches 0 still belongs to the phase. The
// timer ends at exactly 0, which is what moves the phase on.
double RunDown(double& timeLeft, double dt) {
  double t = timeLeft;
  timeLeft -= dt;
  if (timeLeft < 0.0) timeLeft = 0.0;
  return t;
}

// The push of a shear of magnitude m blowing from direction, its lateral part
// mirrored by sign; returns that lateral part. Every phase pushes this way.
double ShearPush(double m, double direction, double sign, double heading, WindSums& sums) {
  double r = direction - heading;
  double along = m * std::cos(r);
  double across = m * std::sin(r) * sign;
  sums.side -= SignedSquare(across);
  sums.horizontal -= SignedSquare(along);
  return across;
}

// A new event, acting from the next step on. One draw per line, in this order.
void StartShearEvent(WindStateRecord& w, double heading) {
  w.shearClock = UniformRandom() * 30.0 - 15.0;
  w.shearRise.timeLeft = UniformRandom() * 5.0 + 1.0;
  w.shearRise.endValue = UniformRandom() * w.SHRlvl * 0.1 + w.SHRlvl * 0.1;
  w.shearRise.rate = w.shearRise.endValue / w.shearRise.timeLeft;
  w.shearTurn.startValue = (UniformRandom() - 0.5) * kHalfPi + heading;
  w.shearTurn.timeLeft = UniformRandom() * 7.0 + 2.0;
  w.shearSign = 1;
  w.shearTurn.endValue = (UniformRandom() - 0.5) * kQuarterPi + (w.shearTurn.startValue + kPi);
  w.shearTurn.rate = (w.shearTurn.endValue - w.shearTurn.startValue) / w.shearTurn.timeLeft;
  if (OneIn32()) w.shearSign = -1;
  w.shearFall.timeLeft = UniformRandom() * 7.0 + 2.0;
  w.shearFall.rate = w.shearRise.endValue / w.shearFall.timeLeft;
}

// Rise, turn and fall of an event, each while its timer runs, or the wait for
// the next one; the clock runs in every phase.
void WindShear(WindStateRecord& w, double dt, double heading, WindSums& sums) {
  w.shearClock += dt;
  if (w.shearRise.timeLeft != 0.0) {
    double t = RunDown(w.shearRise.timeLeft, dt);
    double m = w.shearRise.endValue - w.shearRise.rate * t;
    ShearPush(m, w.shearTurn.startValue, w.shearSign, heading, sums);
    sums.vertical = -(UniformRandom() - 0.5) * m * 0.2;
  } else if (w.shearTurn.timeLeft != 0.0) {
    double t = RunDown(w.shearTurn.timeLeft, dt);
    double direction = w.shearTurn.endValue - w.shearTurn.rate * t;
    double across = ShearPush(w.shearRise.endValue, direction, w.shearSign, heading, sums);
    sums.vertical = -((UniformRandom() - 0.5) * w.SHRlvl * 0.2 + across * across);
  } else if (w.shearFall.timeLeft != 0.0) {
    double t = RunDown(w.shearFall.timeLeft, dt);
    // The fall is not mirrored.
    ShearPush(w.shearFall.rate * t, w.shearTurn.endValue, 1.0, heading, sums);
    sums.vertical = -(UniformRandom() - 0.5) * w.SHRlvl * 0.2;
  } else if (w.shearClock > w.SHRt * 0.5 * 60.0 && OneIn32()) {
    StartShearEvent(w, heading);
  }
}

// ---- Local wind ----

// A new cycle of a channel: out to a random target, or back to 0 and then a
// pause. Adds nothing.
void NewLocalCycle(const WindStateRecord& w, WindRamp& ch, bool up, double altitude) {
  double old = ch.endValue;
  ch.timeLeft = (w.TURmax * 1.5 - w.TURlvl) * UniformRandom() + 0.5;
  if (old != 0.0) {
    ch.endValue = 0.0;
    ch.holdLeft = (UniformRandom() + 0.5) * ch.timeLeft;
  } else {
    ch.endValue = (UniformRandom() - 0.5) * w.TURlvl * 0.2;
    ch.holdLeft = 0.0;
  }
  if (up) {
    // Vertical gusts are weaker and shorter; the pause keeps the longer time.
    ch.endValue *= 0.7;
    ch.timeLeft = ch.timeLeft * 0.2 + 0.5;
  }
  if (altitude < 1000.0) {
    // Weaker near the ground: 0.1 at 0 m up to 1 at 1000 m. Below 0 m the
    // line would fall through 0 at about -111 m and then grow without bound
    // with the opposite sign (basins below a body's mean radius); it stays at
    // its ground value there.
    ch.endValue *= altitude < 0.0 ? 0.1 : altitude * 0.9 / 1000.0 + 0.1;
  }
  ch.rate = (ch.endValue - old) / ch.timeLeft;
}

// A channel ramps, pauses or starts a new cycle; returns the ramp's value,
// which the channel's sum loses linearly, and 0 otherwise.
double LocalChannel(const WindStateRecord& w, WindRamp& ch, bool up, double dt, double altitude) {
  if (ch.timeLeft > 0.0) {
    double v = ch.endValue - ch.rate * ch.timeLeft;
    ch.timeLeft -= dt;
    return v;
  }
  if (ch.holdLeft > 0.0) {
    ch.holdLeft -= dt;
  } else {
    NewLocalCycle(w, ch, up, altitude);
  }
  return 0.0;
}

// The channels in their order: side, up, forward.
void LocalWind(WindStateRecord& w, double dt, double altitude, WindSums& sums) {
  sums.side -= LocalChannel(w, w.localWind[0], false, dt, altitude);
  sums.vertical -= LocalChannel(w, w.localWind[1], true, dt, altitude);
  sums.horizontal -= LocalChannel(w, w.localWind[2], false, dt, altitude);
}

// ---- Output ----

// The sums are mixed by the pitch as the model defines it, both products
// added in y as in z; this is not a rotation.
VECTOR3 MixByPitch(const WindSums& sums, double pitch) {
  double sp = std::sin(pitch);
  double cp = std::cos(pitch);
  return _V(sums.side, sums.horizontal * sp + sums.vertical * cp, sums.vertical * sp + sums.horizontal * cp);
}

}  // namespace

void WindStateRecord::ComputeWindAcceleration(double pitch, double dt, double altitude, double heading) {
  // With every component off the sums stay 0 and nothing runs or draws, so
  // the pitch mix is skipped as well. A non-finite input would be carried
  // into the timers and the ramps and from there into every later step;
  // such a step is refused: no wind, no state change, no draw.
  if ((WNDlvl == 0 && SHRlvl == 0 && TURlvl == 0) || !std::isfinite(pitch) || !std::isfinite(dt) ||
      !std::isfinite(altitude) || !std::isfinite(heading)) {
    WindAccel = _V(0.0, 0.0, 0.0);
    return;
  }
  WindSums sums;
  if (WNDlvl != 0) GlobalWind(*this, altitude, heading, sums);
  if (SHRlvl != 0) WindShear(*this, dt, heading, sums);
  if (TURlvl != 0) LocalWind(*this, dt, altitude, sums);
  WindAccel = MixByPitch(sums, pitch);
  // Extreme but finite inputs can still overflow; the result is applied as a
  // force, so it is never other than finite.
  if (!std::isfinite(WindAccel.x) || !std::isfinite(WindAccel.y) || !std::isfinite(WindAccel.z)) {
    WindAccel = _V(0.0, 0.0, 0.0);
  }
}
