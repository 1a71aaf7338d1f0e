// Slowly varying attitude and altitude for timed loops, made before timing
// starts, so that a loop neither repeats one input nor pays for making them.
#pragma once

#include <cmath>

namespace bench {

constexpr int kInputs = 1024;  // a power of two: the index wraps with a mask

struct FlightInputs {
  double pitch[kInputs];
  double altitude[kInputs];
  double heading[kInputs];
};

// Pitch swings within ±pitchAmplitude, altitude within middle ± swing.
inline FlightInputs MakeFlightInputs(double pitchAmplitude, double middle, double swing) {
  FlightInputs in{};
  for (int i = 0; i < kInputs; ++i) {
    in.pitch[i] = pitchAmplitude * std::sin(i * 0.05);
    in.altitude[i] = middle + swing * std::sin(i * 0.013);
    in.heading[i] = 0.006 * i;
  }
  return in;
}

}  // namespace bench
