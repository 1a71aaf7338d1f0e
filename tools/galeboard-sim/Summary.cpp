#include "tools/galeboard-sim/Summary.h"

#include <cmath>
#include <cstdarg>
#include <sstream>

#include "tools/galeboard-sim/Printable.h"
#include "wind/WindForce.h"

namespace sim {

namespace {

constexpr size_t kMaxEventLines = 30;

// One line of the summary, whatever its length, shown as a terminal can
// show it: the names and paths in it come from the scenario and the command
// line.
[[gnu::format(printf, 2, 3)]] void Add(std::string& out, const char* format, ...) {
  std::va_list args, again;
  va_start(args, format);
  va_copy(again, args);
  const int n = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string line(n > 0 ? static_cast<size_t>(n) : 0, '\0');
  if (n > 0) std::vsnprintf(line.data(), line.size() + 1, format, again);
  va_end(again);
  const bool broken = !line.empty() && line.back() == '\n';
  if (broken) line.pop_back();
  out += Printable(line);
  if (broken) out += '\n';
}

}  // namespace

void ShearDetector::Add(double t, bool wind, double forward) {
  if (!wind) {
    lows_.clear();
    return;
  }
  if (t < restUntil_) {
    // The event still running: follow its high, start no new one.
    ShearEvent& e = events_.back();
    if (!lows_.empty() && forward - lows_.front().value > e.swing) {
      e.swing = forward - lows_.front().value;
      e.high = t;
    }
    return;
  }
  if (!events_.empty() && restUntil_ >= 0.0) {
    // Rest over: only what comes after the event counts as a new low.
    lows_.clear();
    restUntil_ = -1.0;
  }
  while (!lows_.empty() && t - lows_.front().t > kWindow) lows_.pop_front();
  if (!lows_.empty() && forward - lows_.front().value >= kSwing) {
    events_.push_back(ShearEvent{lows_.front().t, t, forward - lows_.front().value});
    restUntil_ = t + kRest;
    // Keep the low for following the high during the rest.
    Point low = lows_.front();
    lows_.clear();
    lows_.push_back(low);
    return;
  }
  while (!lows_.empty() && lows_.back().value >= forward) lows_.pop_back();
  lows_.push_back(Point{t, forward});
}

void Stats::Add(const StepSample& s) {
  ++steps;
  const ghost::Vessel& v = *s.vessel;
  if (s.vessel != lastVessel_) {
    if (lastVessel_) events.push_back({s.t, "focus on " + v.name});
    lastVessel_ = s.vessel;
  } else {
    const std::string body = v.body ? v.body->name : std::string("?");
    if (s.inAtmosphere != lastAtm_)
      events.push_back(
          {s.t, v.name + (s.inAtmosphere ? " enters the atmosphere of " : " leaves the atmosphere of ") + body});
    if (s.landed != lastLanded_) events.push_back({s.t, v.name + (s.landed ? " is landed" : " lifts off")});
    if (s.wind != lastWindState_) events.push_back({s.t, s.wind ? "wind starts acting" : "wind stops acting"});
  }
  lastAtm_ = s.inAtmosphere;
  lastLanded_ = s.landed;
  lastWindState_ = s.wind;

  double forward = 0.0;
  if (s.wind) {
    ++windSteps;
    if (firstWind < 0.0) firstWind = s.t;
    lastWind = s.t;
    const double a[3] = {s.accel.x, s.accel.y, s.accel.z};
    for (int i = 0; i < 3; ++i) {
      if (std::fabs(a[i]) > std::fabs(axes[i].peak)) {
        axes[i].peak = a[i];
        axes[i].peakTime = s.t;
      }
      axes[i].sum += a[i];
    }
    const double weightShare = s.landed ? kLandedWeightShare : 1.0;
    if (s.surfaceDensity > 0.0 && s.density > 0.0)
      forward = s.accel.z / (kStandardGravity * weightShare * s.density / s.surfaceDensity);
  }
  shear.Add(s.t, s.wind, forward);
}

std::vector<std::string> SettingsSections(const std::string& ini) {
  std::vector<std::string> sections;
  std::istringstream in(ini);
  std::string line;
  while (std::getline(in, line)) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      sections.push_back(line);
    } else if (!sections.empty()) {
      sections.back() += " " + line;
    }
  }
  return sections;
}

namespace {

void AddRun(std::string& out, const SummaryInput& in) {
  const Scenario& sc = in.flight->scenario();
  const Stats& st = *in.stats;
  Add(out, "Galeboard flight: %s (%s)\n", sc.title.empty() ? "untitled" : sc.title.c_str(), sc.file.c_str());
  if (in.modulePath.empty())
    Add(out, "  module        not loaded: the host alone\n");
  else
    Add(out, "  module        %s\n", in.modulePath.c_str());
  if (in.seed)
    Add(out, "  seed          %llu (replay with --seed %llu)\n", static_cast<unsigned long long>(*in.seed),
        static_cast<unsigned long long>(*in.seed));
  else
    Add(out, "  seed          none: the clocks are the system's, the flight cannot be replayed\n");
  const double simulated = static_cast<double>(st.steps) * sc.step;
  Add(out, "  run           %lld steps of %g s, %.1f s simulated; the steps took %.3f s of wall time: %.3g steps/s\n",
      static_cast<long long>(st.steps), sc.step, simulated, in.wallSeconds,
      in.wallSeconds > 0.0 ? static_cast<double>(st.steps) / in.wallSeconds : 0.0);
  Add(out, "                (the host's steps with the module's pre- and post-step, the flight model and the\n");
  Add(out, "                recording; not the timeline's actions, loading, pictures or plot)\n");
}

void AddWind(std::string& out, const Stats& st) {
  if (st.windSteps == 0) return Add(out, "  wind          acted on no step (no force applied)\n");
  Add(out, "  wind          acted on %lld of %lld steps (a force was applied), from %.2f s to %.2f s\n",
      static_cast<long long>(st.windSteps), static_cast<long long>(st.steps), st.firstWind, st.lastWind);
  Add(out, "  acceleration  axis        peak                 mean while acting\n");
  static const char* const names[3] = {"side    x", "up      y", "forward z"};
  for (int i = 0; i < 3; ++i)
    Add(out, "                %s  %+9.4f m/s2 at %7.2f s  %+9.4f m/s2\n", names[i], st.axes[i].peak,
        st.axes[i].peakTime, st.axes[i].sum / static_cast<double>(st.windSteps));
}

void AddShear(std::string& out, const std::vector<ShearEvent>& shear) {
  if (shear.empty()) return Add(out, "  shear events  none seen\n");
  Add(out, "  shear events  %zu seen (headwind low -> tailwind high, swing in weights):\n", shear.size());
  for (size_t i = 0; i < shear.size() && i < kMaxEventLines; ++i)
    Add(out, "                %7.2f s -> %7.2f s  swing %.2f\n", shear[i].low, shear[i].high, shear[i].swing);
}

void AddEvents(std::string& out, const std::vector<FlightEvent>& events, const std::vector<ActionRecord>& record) {
  if (!events.empty()) Add(out, "  events\n");
  for (size_t i = 0; i < events.size() && i < kMaxEventLines; ++i)
    Add(out, "                %7.2f s  %s\n", events[i].t, events[i].what.c_str());
  if (events.size() > kMaxEventLines)
    Add(out, "                ... %zu more (see the trace)\n", events.size() - kMaxEventLines);
  if (!record.empty()) Add(out, "  timeline\n");
  for (const ActionRecord& r : record)
    Add(out, "                %7.2f s  %s%s%s\n", r.t, r.what.c_str(), r.result.empty() ? "" : "  ->  ",
        r.result.c_str());
}

// The pages' rows as they are: made printable when they were drawn, and in
// colour they hold escape sequences of their own.
void AddPages(std::string& out, const std::vector<std::pair<std::string, std::vector<std::string>>>& pages) {
  for (const auto& [display, rows] : pages) {
    Add(out, "  final page    display %s, as the pilot reads it:\n", display.c_str());
    for (const std::string& row : rows) out += "                | " + row + "\n";
  }
}

void AddSettings(std::string& out, const SummaryInput& in) {
  if (in.settingsText.empty()) return Add(out, "  settings      none written yet (%s)\n", in.settingsFile.c_str());
  Add(out, "  settings      %s\n", in.settingsFile.c_str());
  for (const std::string& s : SettingsSections(in.settingsText)) Add(out, "                %s\n", s.c_str());
}

void AddOutputs(std::string& out, const std::vector<OutputFile>& outputs) {
  if (!outputs.empty()) Add(out, "  outputs\n");
  for (const OutputFile& o : outputs) {
    if (o.path.empty())
      Add(out, "                %-16s %s\n", o.what.c_str(), o.note.c_str());
    else
      Add(out, "                %-16s %s%s%s\n", o.what.c_str(), o.path.c_str(), o.note.empty() ? "" : "  ",
          o.note.c_str());
  }
}

}  // namespace

std::string SummaryText(const SummaryInput& in) {
  std::string out;
  AddRun(out, in);
  AddWind(out, *in.stats);
  AddShear(out, in.stats->shear.events());
  AddEvents(out, in.stats->events, in.flight->record());
  AddPages(out, in.pages);
  AddSettings(out, in);
  AddOutputs(out, in.outputs);
  return out;
}

}  // namespace sim
