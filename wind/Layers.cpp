#include <cmath>

#include "module/WindState.h"
#include "wind/RandomSource.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kTwoPi = 6.283185307179586;

}  // namespace

void WindStateRecord::GenerateLayers() {
  using RandomSource::UniformRandom;
  // The stack climbs until it passes windAltLimit; a NaN or infinite limit
  // would never be passed and the list would grow until memory ran out, so
  // such a limit, or one above any atmosphere's wind (a broken host value that
  // would take millions of layers), makes no layers (and no global wind)
  // instead.
  if (layerCount == 0 && std::isfinite(windAltLimit) && windAltLimit <= kWindCeiling) {
    double h = 0.0;
    bool last = false;
    double d0 = UniformRandom() * kPi;
    for (;;) {
      // Directions take a random walk upwards, at most a quarter of pi a layer.
      double d = (UniformRandom() - 0.5) * kHalfPi + d0;
      if (d > kTwoPi) d -= kTwoPi;
      if (d < 0.0) d += kTwoPi;
      // Strength grows on average with the number of layers below.
      double a = UniformRandom();
      double b = UniformRandom();
      double s = layerCount * b * 0.07 + a;
      if (500.0 > h) {
        s = s * 0.7;
      } else {
        s = s + 0.1;
      }
      layers.push_back(WindLayer{h, s, d});
      ++layerCount;
      d0 = d;
      if (last) break;
      // Layers lie closer together up to 1000 m than above.
      if (h > 1000.0) {
        h = h + (UniformRandom() * 5000.0 + 500.0);
      } else {
        h = h + UniformRandom() * 1000.0;
      }
      if (h > windAltLimit) {
        h = windAltLimit;
        last = true;
      }
    }
  }
  layerPair = 0;
  // Switching the wind on starts the local wind afresh, with or without new
  // layers. rate is left: a new cycle sets it before it is read.
  for (WindRamp& ch : localWind) {
    ch.timeLeft = 0.0;
    ch.startValue = 0.0;
    ch.endValue = 0.0;
    ch.holdLeft = 0.0;
  }
}
