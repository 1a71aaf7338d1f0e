// Cost of one host step with the module's pre-step in it: a glider low in
// Earth's atmosphere with the wind on at middle levels, the same step with the
// wind off, and the host's step without the module as the floor of both.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "bench/FlightInputs.h"
#include "host/Atmospheres.h"
#include "host/Host.h"
#include "module/Module.h"
#include "module/WindState.h"
#include "wind/RandomSource.h"

namespace {

constexpr double kStep = 0.02;  // s, a 50 Hz frame
using bench::kInputs;

// Low enough that the post-step shows the overlay on every refresh.
const bench::FlightInputs& FlightInputs() {
  static const bench::FlightInputs inputs = bench::MakeFlightInputs(0.1, 600.0, 300.0);
  return inputs;
}

enum class Wind { NoModule, Off, On };

// A world with Earth and one flying glider in focus, and the module registered
// with the host unless the case has none. The settings path stays empty, so no
// step or focus change touches a file.
struct Flight {
  explicit Flight(Wind wind) {
    settingsPath[0] = '\0';
    WindState = WindStateRecord{};
    WindAccel = _V(0.0, 0.0, 0.0);
    RandomSource::SetState(987654321u, 987654321u, 987654321u, 987654321u);
    vessel.altitude = FlightInputs().altitude[0];
    vessel.mass = 2000.0;
    if (wind != Wind::NoModule) {
      module = new MODU(nullptr);  // the host owns and deletes it
      moduleInstance = module;
      host.RegisterModule(module);
    }
    host.SetFocus(&vessel);
    host.StartSimulation();  // creates the overlay, switches the wind off
    WindState.WindOn = wind == Wind::On;
    WindState.WNDlvl = 5;
    WindState.TURlvl = 5;
    WindState.SHRlvl = 5;
    // Outside the timing: the first step in the atmosphere searches the limit
    // and makes the layers; the wind stays on afterwards.
    host.Step(kStep);
  }
  ~Flight() { moduleInstance = nullptr; }
  Flight(const Flight&) = delete;
  Flight& operator=(const Flight&) = delete;

  ghost::World world;
  ghost::Body& earth = ghost::AddEarth(world);
  ghost::Vessel& vessel = world.AddVessel("G", "Glider1", &earth);
  ghost::Host host{world};
  MODU* module = nullptr;
};

void RunSteps(benchmark::State& state, Wind wind) {
  Flight flight(wind);
  ghost::Vessel& v = flight.vessel;
  const bench::FlightInputs& in = FlightInputs();
  unsigned i = 0;
  int64_t forced = 0;
  for (auto _ : state) {
    unsigned k = i++ & (kInputs - 1);
    v.pitch = in.pitch[k];
    v.altitude = in.altitude[k];
    v.heading = in.heading[k];
    flight.host.Step(kStep);
    forced += static_cast<int64_t>(v.forces.size());
  }
  // Every step with the wind on must have pushed the vessel, or the loop timed
  // an early way out of the pre-step.
  const auto steps = static_cast<int64_t>(state.iterations());
  if (wind == Wind::On && forced != steps) state.SkipWithError("a step with the wind on applied no force");
  if (wind != Wind::On && forced != 0) state.SkipWithError("a step without wind applied a force");
  state.counters["layers"] = WindState.layerCount;
}

void BM_PreStepBaselineHostOnly(benchmark::State& state) { RunSteps(state, Wind::NoModule); }
void BM_PreStepWindOff(benchmark::State& state) { RunSteps(state, Wind::Off); }
void BM_PreStepWindOn(benchmark::State& state) { RunSteps(state, Wind::On); }

BENCHMARK(BM_PreStepBaselineHostOnly);
BENCHMARK(BM_PreStepWindOff);
BENCHMARK(BM_PreStepWindOn);

}  // namespace
