// galeboard-sim: flies a scenario with Galeboard.dll loaded into the headless
// host, the way the simulator would, and shows what the wind did in numbers
// and pictures. A thin driver: the scenario, the flight, the outputs, the
// pictures and the summary each live in their own file.
#include <fenv.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "tools/galeboard-sim/Flight.h"
#include "tools/galeboard-sim/Options.h"
#include "tools/galeboard-sim/Outputs.h"
#include "tools/galeboard-sim/Progress.h"
#include "tools/galeboard-sim/Render.h"
#include "tools/galeboard-sim/RootLayout.h"
#include "tools/galeboard-sim/Scenario.h"
#include "tools/galeboard-sim/Summary.h"

namespace fs = std::filesystem;

namespace {

constexpr int kDone = 0;
constexpr int kRunFailed = 1;
constexpr int kBadInput = 2;

fs::path ModuleBesideProgram() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return exe.parent_path() / "Galeboard.dll";
}

std::string TimeTag(double t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "t%g", t);
  return buf;
}

// Everything a step and a snapshot leave behind.
class RunSink : public sim::StepSink {
 public:
  RunSink(const sim::Options& o, sim::TraceWriter* trace) : options_(o), trace_(trace) {}

  void OnStep(const sim::StepSample& s) override {
    stats.Add(s);
    if (trace_) trace_->Write(s);
  }

  void OnSnapshot(sim::Flight& flight, double t, bool final) override {
    const std::string tag = final ? "" : "-" + TimeTag(t);
    for (const sim::Flight::OpenDisplay& d : flight.displays()) {
      if (d.index < 0) continue;
      if (final) {
        pageText[d.decl->name] = sim::PageText(flight.host(), d.index, *d.decl, false);
        colourText[d.decl->name] = sim::PageText(flight.host(), d.index, *d.decl, true);
      }
      if (!options_.outputs) continue;
      const fs::path png = options_.out / ("mfd-" + d.decl->name + tag + ".png");
      const ghost::Vessel* v = flight.host().display(d.index).vessel;
      std::string error;
      if (sim::RenderPage(flight.host(), d.index, *d.decl,
                          "Galeboard  -  " + (v ? v->name : std::string("?")) + "  -  display " + d.decl->name, png,
                          &error))
        pictures.push_back({"page " + d.decl->name + (final ? "" : " at " + TimeTag(t)), png.string(), ""});
      else
        problems.push_back(error);
    }
    if (!options_.outputs) return;
    const fs::path view = options_.out / ("view" + tag + ".png");
    std::string error;
    if (sim::RenderView(flight.world(), t, view, &error))
      pictures.push_back({final ? "view" : "view at " + TimeTag(t), view.string(), ""});
    else
      problems.push_back(error);
  }

  sim::Stats stats;
  std::map<std::string, std::vector<std::string>> pageText, colourText;
  std::vector<sim::OutputFile> pictures;
  std::vector<std::string> problems;

 private:
  const sim::Options& options_;
  sim::TraceWriter* trace_;
};

int Fail(const std::string& message, int status) {
  std::fprintf(stderr, "galeboard-sim: %s\n", message.c_str());
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  sim::Options options;
  std::string error;
  if (!sim::ParseOptions(argc, argv, &options, &error)) {
    std::fprintf(stderr, "galeboard-sim: %s\n%s", error.c_str(), sim::Usage());
    return kBadInput;
  }
  if (options.help) {
    std::fputs(sim::Usage(), stdout);
    return kDone;
  }

  // The scenario, checked whole before anything is written.
  std::string name = sim::kDefaultScenarioName, text = sim::kDefaultScenarioText;
  if (!options.scenario.empty()) {
    name = options.scenario;
    std::ifstream in(options.scenario, std::ios::binary);
    std::error_code ec;
    if (!in || fs::is_directory(options.scenario, ec)) return Fail("cannot read " + options.scenario, kBadInput);
    text = sim::ReadText(options.scenario);
  }
  sim::Scenario scenario;
  sim::ScenarioErrors errors;
  if (!sim::ParseScenario(text, name, &scenario, &errors)) {
    for (const std::string& m : errors.messages) std::fprintf(stderr, "%s\n", m.c_str());
    return kBadInput;
  }
  if ((options.duration || options.step) &&
      !sim::OverrideTiming(&scenario, options.duration.value_or(scenario.duration),
                           options.step.value_or(scenario.step), &error))
    return Fail(error, kBadInput);

  const fs::path built = options.module ? *options.module : ModuleBesideProgram();
  std::error_code ec;
  if (options.loadModule && !fs::is_regular_file(built, ec))
    return Fail("no module at " + built.string() + " (build the Galeboard target, or give --module)", kRunFailed);

  // The simulator's root with the module in its plug-in folder.
  const sim::RootLayout layout = sim::LayoutOf(options.root ? *options.root : options.out / "root");
  if (options.outputs) {
    fs::create_directories(options.out, ec);
    if (ec) return Fail("cannot create " + options.out.string() + ": " + ec.message(), kRunFailed);
  }
  if (options.loadModule && !sim::InstallModule(built, layout, &error)) return Fail(error, kRunFailed);
  // The default root is a fresh installation on every run, so that the same
  // scenario flies the same way twice; a root given with --root keeps what
  // earlier runs saved.
  if (!options.root) fs::remove(layout.settings, ec);

  sim::Flight flight(scenario);
  if (options.loadModule && !flight.LoadModule(layout.module, &error))
    return Fail("cannot load " + layout.module.string() + ": " + error, kRunFailed);
  flight.Start();

  sim::TraceWriter trace;
  const fs::path tracePath = options.out / "trace.csv";
  if (options.outputs && !trace.Open(tracePath, &error)) return Fail(error, kRunFailed);
  RunSink sink(options, options.outputs ? &trace : nullptr);
  sim::Progress progress(stderr, options.progress);

  if (options.trapFloatingPoint) feenableexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
  const auto start = std::chrono::steady_clock::now();
  flight.Run(sink, options.outputs, &progress);
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (options.trapFloatingPoint) fedisableexcept(FE_ALL_EXCEPT);

  sink.OnSnapshot(flight, static_cast<double>(scenario.Steps()) * scenario.step, true);
  flight.End();

  sim::SummaryInput summary;
  summary.flight = &flight;
  summary.stats = &sink.stats;
  summary.wallSeconds = wall;
  summary.modulePath = options.loadModule ? layout.module.string() : "";
  summary.settingsFile = layout.settings.string();
  summary.settingsText = sim::ReadText(layout.settings);

  bool failed = false;
  if (options.outputs) {
    if (trace.Close(&error))
      summary.outputs.push_back({"trace", tracePath.string(), std::to_string(trace.rows()) + " rows"});
    else
      failed = !Fail(error, 0);
    const fs::path shearPath = options.out / "shear.csv";
    if (sim::WriteShearEvents(shearPath, sink.stats.shear.events(), &error))
      summary.outputs.push_back(
          {"shear events", shearPath.string(), std::to_string(sink.stats.shear.events().size()) + " rows"});
    else
      failed = !Fail(error, 0);
    std::string note;
    sim::PlotInput plot;
    plot.trace = tracePath;
    plot.shear = shearPath;
    plot.png = options.out / "wind.png";
    plot.rows = trace.rows();
    plot.duration = static_cast<double>(scenario.Steps()) * scenario.step;
    plot.title = "Galeboard: " + (scenario.title.empty() ? name : scenario.title);
    switch (sim::PlotWind(options.gnuplot, plot, &note)) {
      case sim::PlotResult::Written:
        summary.outputs.push_back({"wind plot", plot.png.string(), ""});
        break;
      case sim::PlotResult::NoPlotter:
        std::fprintf(stderr, "galeboard-sim: %s; skipping the wind plot\n", note.c_str());
        summary.outputs.push_back({"wind plot", "", "skipped: " + note});
        break;
      case sim::PlotResult::Failed:
        std::fprintf(stderr, "galeboard-sim: %s\n", note.c_str());
        summary.outputs.push_back({"wind plot", "", "failed: " + note});
        break;
    }
    for (const sim::OutputFile& p : sink.pictures) summary.outputs.push_back(p);
    for (const std::string& p : sink.problems) failed = !Fail(p, 0);
    if (!summary.settingsText.empty()) {
      const fs::path copy = options.out / "Galeboard.cfg";
      fs::copy_file(layout.settings, copy, fs::copy_options::overwrite_existing, ec);
      if (ec)
        failed = !Fail("cannot copy the settings file: " + ec.message(), 0);
      else
        summary.outputs.push_back({"settings", copy.string(), "as the module wrote it"});
    }
    summary.outputs.push_back({"summary", (options.out / "summary.txt").string(), ""});
  }
  summary.outputs.push_back({"root", layout.root.string(), options.loadModule ? "Modules/Plugin/Galeboard.dll" : ""});

  // The summary, with the page in its own colours on a terminal.
  const bool colour = isatty(STDOUT_FILENO) && !std::getenv("NO_COLOR");
  for (const auto& page : colour ? sink.colourText : sink.pageText) summary.pages.push_back(page);
  std::fputs(sim::SummaryText(summary).c_str(), stdout);
  if (options.outputs) {
    summary.pages.assign(sink.pageText.begin(), sink.pageText.end());
    std::ofstream out(options.out / "summary.txt");
    out << sim::SummaryText(summary);
    if (!out) failed = !Fail("cannot write " + (options.out / "summary.txt").string(), 0);
  }
  sim::ReleaseFontCaches();
  return failed ? kRunFailed : kDone;
}
