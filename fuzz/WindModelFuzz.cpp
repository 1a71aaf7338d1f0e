// The wind model under arbitrary host inputs: levels in range, any step
// length, pitch, heading and altitude, NaN and infinities included. The wind
// vector must always come out finite, so the force never is anything else.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "module/WindState.h"
#include "wind/RandomSource.h"

namespace {

class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool empty() const { return pos_ >= size_; }
  template <typename T>
  T Take() {
    T v{};
    size_t n = sizeof v < size_ - pos_ ? sizeof v : size_ - pos_;
    if (n) std::memcpy(&v, data_ + pos_, n);
    pos_ += n;
    return v;
  }
  int Level(int max) { return static_cast<int>(Take<uint8_t>() % static_cast<unsigned>(max + 1)); }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  WindState = WindStateRecord{};
  RandomSource::SetState(in.Take<uint32_t>() | 2u, in.Take<uint32_t>() | 8u, in.Take<uint32_t>() | 16u,
                         in.Take<uint32_t>() | 128u);
  WindState.windAltLimit = in.Take<double>();
  WindState.GenerateLayers();
  Check(WindState.layerCount == static_cast<int32_t>(WindState.layers.size()));

  while (!in.empty()) {
    WindState.WNDlvl = in.Level(WindState.WNDmax);
    WindState.TURlvl = in.Level(WindState.TURmax);
    WindState.SHRlvl = in.Level(WindState.SHRmax);
    WindState.SHRt = static_cast<int32_t>(in.Take<uint16_t>() % 2000u);
    // A handful of steps with each setting, as a pilot flies between edits.
    for (int steps = in.Take<uint8_t>() % 16 + 1; steps > 0; --steps) {
      double pitch = in.Take<double>();
      double dt = in.Take<double>();
      double altitude = in.Take<double>();
      double heading = in.Take<double>();
      WindState.ComputeWindAcceleration(pitch, dt, altitude, heading);
      Check(std::isfinite(WindAccel.x) && std::isfinite(WindAccel.y) && std::isfinite(WindAccel.z));
    }
  }
  return 0;
}
