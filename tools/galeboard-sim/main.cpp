// galeboard-sim: flies a scenario with Galeboard.dll loaded into the headless
// host, the way the simulator would, and shows what the wind did in numbers
// and pictures. A thin driver: the scenario, the flight, the recording, the
// outputs and the summary each live in their own file; main runs the steps.
#include <fenv.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "tools/galeboard-sim/Flight.h"
#include "tools/galeboard-sim/Options.h"
#include "tools/galeboard-sim/Outputs.h"
#include "tools/galeboard-sim/Printable.h"
#include "tools/galeboard-sim/Progress.h"
#include "tools/galeboard-sim/Recorder.h"
#include "tools/galeboard-sim/Render.h"
#include "tools/galeboard-sim/RootLayout.h"
#include "tools/galeboard-sim/Scenario.h"
#include "tools/galeboard-sim/Summary.h"

namespace fs = std::filesystem;

namespace {

constexpr int kDone = 0;
constexpr int kRunFailed = 1;
constexpr int kBadInput = 2;

// A message on the terminal, whatever the scenario or the command line put in.
void Complain(const std::string& message) {
  std::fprintf(stderr, "galeboard-sim: %s\n", sim::Printable(message).c_str());
}

// Problems that do not stop the run; any of them makes its exit status 1.
struct Problems {
  bool any = false;
  void Add(const std::string& message) {
    Complain(message);
    any = true;
  }
};

fs::path ModuleBesideProgram() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return exe.parent_path() / "Galeboard.dll";
}

// The command line; a status to end with at once, or none to go on.
std::optional<int> ReadCommandLine(int argc, char** argv, sim::Options* options) {
  std::string error;
  if (!sim::ParseOptions(argc, argv, options, &error)) {
    Complain(error);
    std::fputs(sim::Usage(), stderr);
    return kBadInput;
  }
  if (options->help) {
    std::fputs(sim::Usage(), stdout);
    return kDone;
  }
  return std::nullopt;
}

// The scenario with the command line's timing, checked whole before anything
// is written; false when it is bad, with every problem reported.
bool ReadScenario(const sim::Options& options, sim::Scenario* scenario) {
  std::string name = sim::kDefaultScenarioName, text = sim::kDefaultScenarioText, error;
  if (options.scenario) {
    name = *options.scenario;
    if (!sim::ReadRegularFile(name, &text, &error)) return Complain("cannot read " + name + ": " + error), false;
  }
  sim::ScenarioErrors errors;
  if (!sim::ParseScenario(text, name, scenario, &errors)) {
    for (const std::string& m : errors.messages) std::fprintf(stderr, "%s\n", m.c_str());
    return false;
  }
  if ((options.duration || options.step) &&
      !sim::OverrideTiming(scenario, options.duration.value_or(scenario->duration),
                           options.step.value_or(scenario->step), sim::TimingOptions(options), &error))
    return Complain(error), false;
  return true;
}

// Where the run puts things: the simulator's root and the built module.
struct Places {
  sim::RootLayout layout;
  fs::path built;                // the module to install
  sim::TemporaryFolder scratch;  // the root of a run that writes nothing
};

// The root: the one given, or OUT/root, or with --no-output a temporary one
// that goes with the run. false when it cannot be made, reported.
bool ChooseRoot(const sim::Options& options, Places* places) {
  std::string error;
  if (options.root)
    places->layout = sim::LayoutOf(*options.root);
  else if (options.outputs)
    places->layout = sim::LayoutOf(options.out / "root");
  else if (places->scratch.Make(&error))
    places->layout = sim::LayoutOf(places->scratch.path());
  else
    return Complain(error), false;
  return true;
}

// The output folder and the root with the module installed; false when the
// run cannot go on, with the reason reported.
bool PreparePlaces(const sim::Options& options, Places* places) {
  places->built = options.module ? *options.module : ModuleBesideProgram();
  std::error_code ec;
  if (options.loadModule && !fs::is_regular_file(places->built, ec))
    return Complain("no module at " + places->built.string() + " (build the Galeboard target, or give --module)"),
           false;
  if (!ChooseRoot(options, places)) return false;
  if (options.outputs && (fs::create_directories(options.out, ec), ec))
    return Complain("cannot create " + options.out.string() + ": " + ec.message()), false;
  std::string error;
  if (options.loadModule && !sim::InstallModule(places->built, places->layout, &error)) return Complain(error), false;
  // OUT/root starts every run without a settings file; a root given with
  // --root keeps what earlier runs saved.
  if (!options.root) fs::remove(places->layout.settings, ec);
  return true;
}

// The seed of the wind: the one given, or one from the real clocks.
uint64_t ChooseSeed(const sim::Options& options) {
  if (options.seed) return *options.seed;
  // The nanoseconds of the calendar time: another seed for every run, and
  // short enough to type again.
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()) % 1'000'000'000u;
}

// The host's clocks set from the seed, the module loaded from the root and
// the session started. The seed is kept for the summary when the clocks
// could be set.
bool StartFlight(const sim::Options& options, const Places& places, sim::Flight* flight,
                 std::optional<uint64_t>* seed) {
  const uint64_t chosen = ChooseSeed(options);
  if (flight->host().SetClocks(ghost::ClocksFromSeed(chosen))) *seed = chosen;
  std::string error;
  if (options.loadModule && !flight->LoadModule(places.layout.module, &error))
    return Complain("cannot load " + places.layout.module.string() + ": " + error), false;
  flight->Start();
  return true;
}

// Every step of the flight; returns the wall time of the steps alone [s].
double Fly(const sim::Options& options, sim::Flight& flight, sim::Recorder& recorder) {
  sim::Progress progress(stderr, options.progress);
  if (options.trapFloatingPoint) feenableexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
  const double seconds = flight.Run(recorder, options.outputs, &progress);
  if (options.trapFloatingPoint) fedisableexcept(FE_ALL_EXCEPT);
  recorder.OnSnapshot(flight, flight.scenario().Duration(), true);
  flight.End();
  return seconds;
}

// The plot of the trace and the shear events, noted in the summary.
void Plot(const sim::Options& options, const sim::Flight& flight, const sim::Recorder& recorder,
          sim::SummaryInput* summary, Problems* problems) {
  const sim::Scenario& scenario = flight.scenario();
  const fs::path shear = options.out / "shear.csv";
  std::string error;
  if (!sim::WriteShearEvents(shear, recorder.stats.shear.events(), &error)) return problems->Add(error);
  summary->outputs.push_back(
      {"shear events", shear.string(), std::to_string(recorder.stats.shear.events().size()) + " rows"});
  sim::PlotInput plot;
  plot.trace = options.out / "trace.csv";
  plot.shear = shear;
  plot.png = options.out / "wind.png";
  plot.rows = recorder.stats.steps;
  plot.duration = scenario.Duration();
  plot.title = "Galeboard: " + (scenario.title.empty() ? scenario.file : scenario.title);
  std::string note;
  switch (sim::PlotWind(options.gnuplot, plot, &note)) {
    case sim::PlotResult::Written:
      return summary->outputs.push_back({"wind plot", plot.png.string(), ""});
    case sim::PlotResult::NoPlotter:
      Complain(note + "; skipping the wind plot");
      return summary->outputs.push_back({"wind plot", "", "skipped: " + note});
    case sim::PlotResult::Failed:  // a picture short: the run itself stands
      Complain(note);
      return summary->outputs.push_back({"wind plot", "", "failed: " + note});
  }
}

// The files of the output folder besides the summary, each noted in it.
void WriteOutputs(const sim::Options& options, const Places& places, sim::TraceWriter& trace, const sim::Flight& flight,
                  const sim::Recorder& recorder, sim::SummaryInput* summary, Problems* problems) {
  std::string error;
  if (trace.Close(&error))
    summary->outputs.push_back({"trace", (options.out / "trace.csv").string(), std::to_string(trace.rows()) + " rows"});
  else
    problems->Add(error);
  Plot(options, flight, recorder, summary, problems);
  for (const sim::OutputFile& p : recorder.pictures) summary->outputs.push_back(p);
  for (const std::string& p : recorder.problems) problems->Add(p);
  if (!summary->settingsText.empty()) {
    const fs::path copy = options.out / "Galeboard.cfg";
    std::error_code ec;
    fs::copy_file(places.layout.settings, copy, fs::copy_options::overwrite_existing, ec);
    if (ec)
      problems->Add("cannot copy the settings file: " + ec.message());
    else
      summary->outputs.push_back({"settings", copy.string(), "as the module wrote it"});
  }
  summary->outputs.push_back({"summary", (options.out / "summary.txt").string(), ""});
}

// The summary on the terminal, with the page in its own colours there, and
// in plain text into the output folder.
void PrintSummary(const sim::Options& options, const sim::Recorder& recorder, sim::SummaryInput* summary,
                  Problems* problems) {
  const bool colour = isatty(STDOUT_FILENO) && !std::getenv("NO_COLOR");
  summary->pages.assign(colour ? recorder.colourText.begin() : recorder.pageText.begin(),
                        colour ? recorder.colourText.end() : recorder.pageText.end());
  std::fputs(sim::SummaryText(*summary).c_str(), stdout);
  if (!options.outputs) return;
  summary->pages.assign(recorder.pageText.begin(), recorder.pageText.end());
  std::ofstream out(options.out / "summary.txt");
  out << sim::SummaryText(*summary);
  if (!out) problems->Add("cannot write " + (options.out / "summary.txt").string());
}

sim::SummaryInput Summarize(const sim::Options& options, const Places& places, const sim::Flight& flight,
                            const sim::Recorder& recorder, double stepSeconds) {
  sim::SummaryInput summary;
  summary.flight = &flight;
  summary.stats = &recorder.stats;
  summary.wallSeconds = stepSeconds;
  summary.modulePath = options.loadModule ? places.layout.module.string() : "";
  summary.settingsFile = places.layout.settings.string();
  summary.settingsText = sim::ReadText(places.layout.settings);
  return summary;
}

}  // namespace

int main(int argc, char** argv) {
  sim::Options options;
  if (const std::optional<int> status = ReadCommandLine(argc, argv, &options)) return *status;
  sim::Scenario scenario;
  if (!ReadScenario(options, &scenario)) return kBadInput;
  Places places;
  if (!PreparePlaces(options, &places)) return kRunFailed;

  sim::Flight flight(scenario);
  std::optional<uint64_t> seed;
  if (!StartFlight(options, places, &flight, &seed)) return kRunFailed;
  sim::TraceWriter trace;
  std::string error;
  if (options.outputs && !trace.Open(options.out / "trace.csv", &error)) return Complain(error), kRunFailed;
  sim::Recorder recorder(options.outputs ? std::optional(options.out) : std::nullopt,
                         options.outputs ? &trace : nullptr);
  const double stepSeconds = Fly(options, flight, recorder);

  sim::SummaryInput summary = Summarize(options, places, flight, recorder, stepSeconds);
  summary.seed = seed;
  Problems problems;
  if (options.outputs) WriteOutputs(options, places, trace, flight, recorder, &summary, &problems);
  summary.outputs.push_back(
      {"root", places.layout.root.string(), options.loadModule ? "Modules/Plugin/Galeboard.dll" : ""});
  PrintSummary(options, recorder, &summary, &problems);
  sim::ReleaseFontCaches();
  return problems.any ? kRunFailed : kDone;
}
