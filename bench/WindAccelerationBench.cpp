// Cost of one wind step, each component alone and all together, against a
// baseline of the three sine-cosine pairs that a step may evaluate.
#include <benchmark/benchmark.h>

#include <cmath>

#include "bench/FlightInputs.h"
#include "module/WindState.h"
#include "wind/RandomSource.h"

namespace {

using bench::kInputs;

const bench::FlightInputs& FlightInputs() {
  static const bench::FlightInputs inputs = bench::MakeFlightInputs(0.3, 27000.0, 26000.0);
  return inputs;
}

// The record as a flight would have it: about 20 layers up to 55 km, from a
// fixed generator state so that every run times the same wind.
void SetUpWind(int wndLvl, int turLvl, int shrLvl) {
  WindState = WindStateRecord{};
  RandomSource::SetState(987654321u, 987654321u, 987654321u, 987654321u);
  WindState.windAltLimit = 55000.0;
  WindState.GenerateLayers();
  WindState.WNDlvl = wndLvl;
  WindState.TURlvl = turLvl;
  WindState.SHRlvl = shrLvl;
  WindState.SHRt = 1;  // an event about every 30 s of flight
}

void RunWind(benchmark::State& state, int wndLvl, int turLvl, int shrLvl) {
  SetUpWind(wndLvl, turLvl, shrLvl);
  const bench::FlightInputs& in = FlightInputs();
  unsigned i = 0;
  for (auto _ : state) {
    unsigned k = i++ & (kInputs - 1);
    WindState.ComputeWindAcceleration(in.pitch[k], 0.02, in.altitude[k], in.heading[k]);
    benchmark::DoNotOptimize(WindAccel);
  }
  state.counters["layers"] = WindState.layerCount;
}

void BM_GlobalWindOnly(benchmark::State& state) { RunWind(state, 10, 0, 0); }
void BM_ShearOnly(benchmark::State& state) { RunWind(state, 0, 0, 10); }
void BM_LocalWindOnly(benchmark::State& state) { RunWind(state, 0, 10, 0); }
void BM_AllThreeOn(benchmark::State& state) { RunWind(state, 10, 10, 10); }
void BM_AllLevelsZero(benchmark::State& state) { RunWind(state, 0, 0, 0); }

// Three sine-cosine pairs on varying arguments: the floor of a step with all
// three components on.
void BM_BaselineThreeSinCos(benchmark::State& state) {
  const bench::FlightInputs& in = FlightInputs();
  unsigned i = 0;
  for (auto _ : state) {
    unsigned k = i++ & (kInputs - 1);
    double a = in.heading[k];
    double b = in.pitch[k];
    double c = a - b;
    double s = std::sin(a) + std::cos(a) + std::sin(b) + std::cos(b) + std::sin(c) + std::cos(c);
    benchmark::DoNotOptimize(s);
  }
}

BENCHMARK(BM_BaselineThreeSinCos);
BENCHMARK(BM_GlobalWindOnly);
BENCHMARK(BM_ShearOnly);
BENCHMARK(BM_LocalWindOnly);
BENCHMARK(BM_AllThreeOn);
BENCHMARK(BM_AllLevelsZero);

}  // namespace
