#include "tools/galeboard-sim/Options.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace sim {

namespace {

bool Number(const char* text, double* out) {
  const char* end = text + std::strlen(text);
  auto [p, ec] = std::from_chars(text, end, *out);
  return ec == std::errc() && p == end && std::isfinite(*out) && *out > 0.0;
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
         "  --no-output      write nothing into the output folder; print the summary only\n"
         "  --duration S     run for S seconds instead of the scenario's duration\n"
         "  --step S         step length in seconds instead of the scenario's\n"
         "  --gnuplot PROG   the plotting program (default gnuplot, looked up in PATH)\n"
         "  --no-progress    no progress bar\n"
         "  --trap-fp        stop at the first invalid floating-point operation, division by zero or overflow\n"
         "  --help           this text\n"
         "Exit status: 0 done, 1 the run failed, 2 bad command line or scenario.\n";
}

bool ParseOptions(int argc, char** argv, Options* o, std::string* error) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](const char** v) {
      if (i + 1 >= argc) {
        *error = a + " needs a value";
        return false;
      }
      *v = argv[++i];
      return true;
    };
    const char* v = nullptr;
    if (a == "--help" || a == "-h") {
      o->help = true;
    } else if (a == "--out") {
      if (!value(&v)) return false;
      o->out = v;
    } else if (a == "--root") {
      if (!value(&v)) return false;
      o->root = v;
    } else if (a == "--module") {
      if (!value(&v)) return false;
      o->module = v;
    } else if (a == "--no-module") {
      o->loadModule = false;
    } else if (a == "--no-output") {
      o->outputs = false;
    } else if (a == "--no-progress") {
      o->progress = false;
    } else if (a == "--trap-fp") {
      o->trapFloatingPoint = true;
    } else if (a == "--gnuplot") {
      if (!value(&v)) return false;
      o->gnuplot = v;
    } else if (a == "--duration" || a == "--step") {
      if (!value(&v)) return false;
      double d = 0.0;
      if (!Number(v, &d)) {
        *error = a + ": '" + v + "' is not a number of seconds above 0";
        return false;
      }
      (a == "--duration" ? o->duration : o->step) = d;
    } else if (a.size() > 1 && a[0] == '-') {
      *error = "unknown option " + a;
      return false;
    } else if (!o->scenario.empty()) {
      *error = "one scenario at a time (" + o->scenario + ", " + a + ")";
      return false;
    } else {
      o->scenario = a;
    }
  }
  if (o->out.empty()) {
    *error = "--out needs a folder";
    return false;
  }
  return true;
}

}  // namespace sim
