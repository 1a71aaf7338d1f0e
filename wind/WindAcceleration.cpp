#include <algorithm>
#include <cmath>
#include <cstdint>

#include "module/WindState.h"
#include "wind/RandomSource.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kQuarterPi = 0.7853981633974483;
// A one-in-32 test passes on raw outputs below 2^27.
constexpr uint32_t kOneIn32 = 0x08000000u;

int Sign(double v) { return v < 0.0 ? -1 : (v > 0.0 ? 1 : 0); }

// Wind acts with the square of its speed, keeping the sign of the component.
double SignedSquare(double v) { return Sign(v) * v * v; }

bool OneIn32() { return RandomSource::NextRandom() < kOneIn32; }

// A shear phase timer ends at exactly 0, which is what moves the phase on.
void RunDown(double& timeLeft, double dt) {
  timeLeft -= dt;
  if (timeLeft < 0.0) timeLeft = 0.0;
}

// Strength and direction of the global wind at altitude, from the layers:
// linear between the first pair that strictly encloses the altitude. Where no
// pair does (at or below the lowest layer, exactly at a layer's altitude,
// above the top, or a single layer) the nearest layer's own values apply, the
// first one on a tie; those are the values the interpolation approaches there,
// so the wind stays finite and continuous across layer altitudes. False when
// there are no layers: then there is no global wind.
bool LayerWind(const WindLayer* layers, int32_t count, double altitude, double& strength, double& direction) {
  for (int32_t i = 1; i < count; ++i) {
    const WindLayer& lower = layers[i - 1];
    const WindLayer& upper = layers[i];
    if (upper.altitude > altitude && altitude > lower.altitude) {
      double span = upper.altitude - lower.altitude;
      double dh = altitude - lower.altitude;
      // Plain numbers: a direction is not wrapped round between layers.
      direction = (upper.direction - lower.direction) / span * dh + lower.direction;
      strength = (upper.strength - lower.strength) / span * dh + lower.strength;
      return true;
    }
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

}  // namespace

void WindStateRecord::ComputeWindAcceleration(double pitch, double dt, double altitude, double heading) {
  using RandomSource::UniformRandom;
  // With every component off the sums stay 0 and nothing runs or draws, so
  // the pitch mix is skipped as well.
  if (WNDlvl == 0 && SHRlvl == 0 && TURlvl == 0) {
    WindAccel = _V(0.0, 0.0, 0.0);
    return;
  }
  // A non-finite input would be carried into the timers and the ramps and
  // from there into every later step; refuse the step instead: no wind, no
  // state change, no draw.
  if (!std::isfinite(pitch) || !std::isfinite(dt) || !std::isfinite(altitude) || !std::isfinite(heading)) {
    WindAccel = _V(0.0, 0.0, 0.0);
    return;
  }

  double side = 0.0;
  double vertical = 0.0;
  double horizontal = 0.0;  // along the heading

  if (WNDlvl != 0) {
    double w = 0.0;
    double d = 0.0;
    // layerCount is kept equal to the list's size; the smaller of the two
    // keeps the search inside the list should they ever differ. (Bracketed
    // against the min macro of <windows.h>.)
    int32_t count = (std::min)(layerCount, static_cast<int32_t>(layers.size()));
    if (LayerWind(layers.data(), count, altitude, w, d)) {
      w = w * (WNDlvl * 0.1);
      double r = d - heading;
      double along = w * std::cos(r);
      double across = w * std::sin(r);
      side = -SignedSquare(across);
      horizontal = -SignedSquare(along);
    }
  }

  if (SHRlvl != 0) {
    shearClock += dt;
    // Each phase uses its timer as read before the decrement, so the step on
    // which a timer reaches 0 still belongs to that phase.
    if (shearRise.timeLeft != 0.0) {
      double t = shearRise.timeLeft;
      RunDown(shearRise.timeLeft, dt);
      double m = shearRise.endValue - shearRise.rate * t;
      double r = shearTurn.startValue - heading;
      double along = m * std::cos(r);
      double across = m * std::sin(r) * shearSign;
      side -= SignedSquare(across);
      vertical = -(UniformRandom() - 0.5) * m * 0.2;
      horizontal -= SignedSquare(along);
    } else if (shearTurn.timeLeft != 0.0) {
      double t = shearTurn.timeLeft;
      RunDown(shearTurn.timeLeft, dt);
      double d = shearTurn.endValue - shearTurn.rate * t;
      double amplitude = shearRise.endValue;
      double r = d - heading;
      double along = amplitude * std::cos(r);
      double across = amplitude * std::sin(r) * shearSign;
      side -= SignedSquare(across);
      vertical = -((UniformRandom() - 0.5) * SHRlvl * 0.2 + across * across);
      horizontal -= SignedSquare(along);
    } else if (shearFall.timeLeft != 0.0) {
      double t = shearFall.timeLeft;
      RunDown(shearFall.timeLeft, dt);
      double m = shearFall.rate * t;
      double r = shearTurn.endValue - heading;
      double along = m * std::cos(r);
      double across = m * std::sin(r);
      side -= SignedSquare(across);
      vertical = -(UniformRandom() - 0.5) * SHRlvl * 0.2;
      horizontal -= SignedSquare(along);
    } else if (shearClock > SHRt * 0.5 * 60.0 && OneIn32()) {
      // A new event; it acts from the next step on. One draw per line, in
      // this order.
      shearClock = UniformRandom() * 30.0 - 15.0;
      shearRise.timeLeft = UniformRandom() * 5.0 + 1.0;
      shearRise.endValue = UniformRandom() * SHRlvl * 0.1 + SHRlvl * 0.1;
      shearRise.rate = shearRise.endValue / shearRise.timeLeft;
      shearTurn.startValue = (UniformRandom() - 0.5) * kHalfPi + heading;
      shearTurn.timeLeft = UniformRandom() * 7.0 + 2.0;
      shearSign = 1;
      shearTurn.endValue = (UniformRandom() - 0.5) * kQuarterPi + (shearTurn.startValue + kPi);
      shearTurn.rate = (shearTurn.endValue - shearTurn.startValue) / shearTurn.timeLeft;
      if (OneIn32()) shearSign = -1;
      shearFall.timeLeft = UniformRandom() * 7.0 + 2.0;
      shearFall.rate = shearRise.endValue / shearFall.timeLeft;
    }
  }

  if (TURlvl != 0) {
    double* sums[3] = {&side, &vertical, &horizontal};
    for (int k = 0; k < 3; ++k) {
      WindRamp& ch = localWind[k];
      if (ch.timeLeft > 0.0) {
        double v = ch.endValue - ch.rate * ch.timeLeft;
        ch.timeLeft -= dt;
        *sums[k] -= v;
      } else if (ch.holdLeft > 0.0) {
        ch.holdLeft -= dt;
      } else {
        // A new cycle: out to a random target, or back to 0 and then a pause.
        double old = ch.endValue;
        ch.timeLeft = (TURmax * 1.5 - TURlvl) * UniformRandom() + 0.5;
        if (old != 0.0) {
          ch.endValue = 0.0;
          ch.holdLeft = (UniformRandom() + 0.5) * ch.timeLeft;
        } else {
          ch.endValue = (UniformRandom() - 0.5) * TURlvl * 0.2;
          ch.holdLeft = 0.0;
        }
        if (k == 1) {
          // Vertical gusts are weaker and shorter; the pause keeps the longer time.
          ch.endValue *= 0.7;
          ch.timeLeft = ch.timeLeft * 0.2 + 0.5;
        }
        if (altitude < 1000.0) {
          // Weaker near the ground: 0.1 at 0 m up to 1 at 1000 m. Below 0 m
          // the line would fall through 0 at about -111 m and then grow
          // without bound with the opposite sign (basins below a body's mean
          // radius); it stays at its ground value there.
          ch.endValue *= altitude < 0.0 ? 0.1 : altitude * 0.9 / 1000.0 + 0.1;
        }
        ch.rate = (ch.endValue - old) / ch.timeLeft;
      }
    }
  }

  // The sums are mixed by the pitch as the model defines it, both products
  // added in y as in z; this is not a rotation.
  double sp = std::sin(pitch);
  double cp = std::cos(pitch);
  WindAccel.x = side;
  WindAccel.y = horizontal * sp + vertical * cp;
  WindAccel.z = vertical * sp + horizontal * cp;
  // Extreme but finite inputs can still overflow; the result is applied as a
  // force, so it is never other than finite.
  if (!std::isfinite(WindAccel.x) || !std::isfinite(WindAccel.y) || !std::isfinite(WindAccel.z)) {
    WindAccel = _V(0.0, 0.0, 0.0);
  }
}
