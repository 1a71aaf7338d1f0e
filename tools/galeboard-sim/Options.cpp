#include "tools/galeboard-sim/Options.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "tools/galeboard-sim/Scenario.h"

namespace sim {

namespace {

std::string Shortest(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", v);
  return buf;
}

// A number of seconds above 0 and at most max.
bool Seconds(const std::string& option, const char* text, double max, std::optional<double>* out, std::string* error) {
  const char* end = text + std::strlen(text);
  double v = 0.0;
  auto [p, ec] = std::from_chars(text, end, v);
  if (ec != std::errc() || p != end || !std::isfinite(v) || v <= 0.0) {
    *error = option + ": '" + text + "' is not a number of seconds above 0";
    return false;
  }
  if (v > max) {
    *error = option + " " + Shortest(v) + " is out of range (above 0, at most " + Shortest(max) + ")";
    return false;
  }
  *out = v;
  return true;
}

// A whole number of 64 bits, in decimal.
bool Seed(const std::string& option, const char* text, std::optional<uint64_t>* out, std::string* error) {
  const char* end = text + std::strlen(text);
  uint64_t v = 0;
  auto [p, ec] = std::from_chars(text, end, v);
  if (ec != std::errc() || p != end || p == text) {
    *error = option + ": '" + text + "' is not a whole number from 0 to 18446744073709551615";
    return false;
  }
  *out = v;
  return true;
}

// The value of an option that names something: an empty one names nothing.
bool Name(const std::string& option, const char* value, const char* what, std::string* error) {
  if (*value) return true;
  *error = option + " needs " + what;
  return false;
}

}  // namespace

const char* Usage() {
  return "usage: galeboard-sim [options] [SCENARIO]\n"
         "Flies SCENARIO (default: the built-in scenarios/glider-earth.scn) with Galeboard.dll in the headless\n"
         "host, and writes what happened into the output folder.\n"
         "  --out DIR        output folder (default galeboard-out)\n"
         "  --root DIR       the simulator's root folder; the module is installed in DIR/Modules/Plugin and\n"
         "                   keeps its settings there, from run to run (default OUT/root, whose\n"
         "                   settings file every run starts without)\n"
         "  --module FILE    the module to install (default Galeboard.dll beside this program)\n"
         "  --no-module      fly the host alone, without the module\n"
         "  --no-output      write nothing; print the summary only (without --root the module runs from a\n"
         "                   temporary root that goes with the run)\n"
         "  --duration S     run for S seconds instead of the scenario's duration (above 0, at most 1e9)\n"
         "  --step S         step length in seconds instead of the scenario's (above 0, at most 10)\n"
         "  --seed N         the wind's seed, 0 to 18446744073709551615: the module's generator seeds itself\n"
         "                   from clocks that the host sets from N, so that a scenario flown again with the\n"
         "                   same N (and the same settings in the root) flies the same wind. Default: a seed\n"
         "                   from the real clocks, which the summary prints\n"
         "  --gnuplot PROG   the plotting program (default gnuplot, looked up in PATH)\n"
         "  --no-progress    no progress bar\n"
         "  --trap-fp        stop at the first invalid floating-point operation, division by zero or overflow\n"
         "  --help           this text\n"
         "Exit status: 0 done, 1 the run failed, 2 bad command line or scenario.\n";
}

namespace {

// Options without a value: each sets one switch.
constexpr struct {
  const char* option;
  bool Options::*field;
  bool value;
} kSwitches[] = {
    {"--help", &Options::help, true},
    {"-h", &Options::help, true},
    {"--no-module", &Options::loadModule, false},
    {"--no-output", &Options::outputs, false},
    {"--no-progress", &Options::progress, false},
    {"--trap-fp", &Options::trapFloatingPoint, true},
};

bool Switch(const std::string& option, Options* o) {
  for (const auto& s : kSwitches) {
    if (option != s.option) continue;
    o->*s.field = s.value;
    return true;
  }
  return false;
}

bool TakesValue(const std::string& option) {
  for (const char* o : {"--out", "--root", "--module", "--gnuplot", "--duration", "--step", "--seed"})
    if (option == o) return true;
  return false;
}

bool SetValue(const std::string& option, const char* v, Options* o, std::string* error) {
  if (option == "--duration") return Seconds(option, v, kMaxDuration, &o->duration, error);
  if (option == "--step") return Seconds(option, v, kMaxStep, &o->step, error);
  if (option == "--seed") return Seed(option, v, &o->seed, error);
  if (option == "--gnuplot") return Name(option, v, "a program", error) && (o->gnuplot = v, true);
  if (option == "--module") return Name(option, v, "a file", error) && (o->module = v, true);
  if (option == "--root") return Name(option, v, "a folder", error) && (o->root = v, true);
  return Name(option, v, "a folder", error) && (o->out = v, true);  // --out
}

bool SetScenario(const std::string& name, Options* o, std::string* error) {
  if (o->scenario) {
    *error = "one scenario at a time (" + *o->scenario + ", " + name + ")";
    return false;
  }
  if (name.empty()) {
    *error = "the scenario's file name is empty";
    return false;
  }
  o->scenario = name;
  return true;
}

}  // namespace

bool ParseOptions(int argc, char** argv, Options* o, std::string* error) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (Switch(a, o)) continue;
    if (TakesValue(a)) {
      if (i + 1 >= argc) {
        *error = a + " needs a value";
        return false;
      }
      if (!SetValue(a, argv[++i], o, error)) return false;
    } else if (a.size() > 1 && a[0] == '-') {
      *error = "unknown option " + a;
      return false;
    } else if (!SetScenario(a, o, error)) {
      return false;
    }
  }
  return true;
}

std::string TimingOptions(const Options& o) {
  std::string given;
  if (o.duration) given += "--duration " + Shortest(*o.duration);
  if (o.step) given += std::string(given.empty() ? "" : " ") + "--step " + Shortest(*o.step);
  return given;
}

}  // namespace sim
