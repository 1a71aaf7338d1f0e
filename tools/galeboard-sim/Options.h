// The command line of galeboard-sim.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace sim {

struct Options {
  std::optional<std::string> scenario;  // default: the built-in scenario
  std::filesystem::path out = "galeboard-out";
  std::optional<std::filesystem::path> root;    // default: <out>/root
  std::optional<std::filesystem::path> module;  // default: Galeboard.dll beside the program
  bool outputs = true;
  bool loadModule = true;
  bool progress = true;
  bool trapFloatingPoint = false;
  std::optional<double> duration, step;
  std::optional<uint64_t> seed;  // default: one taken from the real clocks
  std::string gnuplot = "gnuplot";
  bool help = false;
};

// false with the reason in error for a bad command line: an unknown option,
// a missing or empty value, a number out of the range a scenario may give.
bool ParseOptions(int argc, char** argv, Options* options, std::string* error);

// The timing options as given, for messages ("--duration 5 --step 0.1").
std::string TimingOptions(const Options& options);
const char* Usage();

// The built-in default scenario (scenarios/glider-earth.scn at build time).
extern const char* const kDefaultScenarioName;
extern const char* const kDefaultScenarioText;

}  // namespace sim
