// What a run did, gathered step by step, and the summary printed at its end.
#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tools/galeboard-sim/Flight.h"

namespace sim {

// A wind shear event seen in the forward wind acceleration.
//
// The module's state is out of sight, so events are told from what it did:
// the forward force, in units of the vessel's weight scaled by the density
// ratio (F_z / (m g0 rho/rho0), a twentieth of the weight when landed) -- the
// module's own dimensionless forward wind. A shear builds up a headwind, turns
// it round into a tailwind and lets it die away; so an event is a rise of that
// value by at least kSwing from a low to a high that follows within kWindow
// seconds, while the wind acts throughout. After an event the detector rests
// for kRest seconds. In level flight, wind shear at level 10 always swings by
// more. The local wind's forward channel moves between -0.1 and +0.1 x its
// level (less below 1000 m), so it stays under kSwing up to level 2 anywhere
// and up to level 4 below 500 m. A fast climb through strong global-wind layers
// can look like an event.
struct ShearEvent {
  double low;    // s, time of the headwind low
  double high;   // s, time of the tailwind high
  double swing;  // rise from low to high, dimensionless
};

class ShearDetector {
 public:
  static constexpr double kSwing = 0.5;
  static constexpr double kWindow = 15.0;  // s
  static constexpr double kRest = 10.0;    // s

  // One step: the time, whether the wind acted, and the dimensionless forward
  // wind (ignored when it did not act).
  void Add(double t, bool wind, double forward);
  const std::vector<ShearEvent>& events() const { return events_; }

 private:
  struct Point {
    double t, value;
  };
  std::deque<Point> lows_;  // candidates for the window's low, values rising
  double restUntil_ = -1.0;
  std::vector<ShearEvent> events_;
};

struct AxisStats {
  double peak = 0.0;      // m/s^2, the largest magnitude, with its sign
  double peakTime = 0.0;  // s
  double sum = 0.0;       // m/s^2 over the steps on which the wind acted
};

// A moment worth a line in the summary.
struct FlightEvent {
  double t;
  std::string what;
};

class Stats {
 public:
  void Add(const StepSample& s);

  int64_t steps = 0;
  int64_t windSteps = 0;
  AxisStats axes[3];  // side, up, forward
  ShearDetector shear;
  std::vector<FlightEvent> events;
  double firstWind = -1.0, lastWind = -1.0;

 private:
  const ghost::Vessel* lastVessel_ = nullptr;
  bool lastAtm_ = false, lastLanded_ = false, lastWindState_ = false;
};

struct OutputFile {
  std::string what;
  std::string path;  // empty: not written, note says why
  std::string note;
};

struct SummaryInput {
  const Flight* flight = nullptr;
  const Stats* stats = nullptr;
  double wallSeconds = 0.0;  // of the steps alone, Flight::Run
  std::string modulePath;    // empty: no module
  // The seed the host set the clocks from; none when it could not set them.
  std::optional<uint64_t> seed;
  // The final page of each display as text rows.
  std::vector<std::pair<std::string, std::vector<std::string>>> pages;
  std::string settingsFile;  // where the module keeps its settings
  std::string settingsText;  // its content, empty when there is none
  std::vector<OutputFile> outputs;
};

// The summary, plain text.
std::string SummaryText(const SummaryInput& in);

// Sections of an INI text, each as "[name] key=value key=value ...".
std::vector<std::string> SettingsSections(const std::string& ini);

}  // namespace sim
