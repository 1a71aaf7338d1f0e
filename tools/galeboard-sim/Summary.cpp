#include "tools/galeboard-sim/Summary.h"

#include <cmath>
#include <cstdarg>
#include <sstream>

#include "wind/WindForce.h"

namespace sim {

namespace {

constexpr size_t kMaxEventLines = 30;

[[gnu::format(printf, 2, 3)]] void Add(std::string& out, const char* format, ...) {
  char buf[512];
  std::va_list args;
  va_start(args, format);
  std::vsnprintf(buf, sizeof buf, format, args);
  va_end(args);
  out += buf;
}

[[gnu::format(printf, 1, 2)]] std::string Line(const char* format, ...) {
  char buf[512];
  std::va_list args;
  va_start(args, format);
  std::vsnprintf(buf, sizeof buf, format, args);
  va_end(args);
  return buf;
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

std::string SummaryText(const SummaryInput& in) {
  const Flight& f = *in.flight;
  const Scenario& sc = f.scenario();
  const Stats& st = *in.stats;
  std::string out;
  Add(out, "Galeboard flight: %s (%s)\n", sc.title.empty() ? "untitled" : sc.title.c_str(), sc.file.c_str());
  if (in.modulePath.empty())
    Add(out, "  module        not loaded: the host alone\n");
  else
    Add(out, "  module        %s\n", in.modulePath.c_str());
  const double simulated = static_cast<double>(st.steps) * sc.step;
  Add(out, "  run           %lld steps of %g s, %.1f s simulated; the steps took %.3f s of wall time: %.3g steps/s\n",
      static_cast<long long>(st.steps), sc.step, simulated, in.wallSeconds,
      in.wallSeconds > 0.0 ? static_cast<double>(st.steps) / in.wallSeconds : 0.0);
  Add(out,
      "                (the host's steps with the module's pre- and post-step, the flight model and the\n"
      "                recording; not the timeline's actions, loading, pictures or plot)\n");
  if (st.windSteps == 0) {
    Add(out, "  wind          acted on no step (no force applied)\n");
  } else {
    Add(out, "  wind          acted on %lld of %lld steps (a force was applied), from %.2f s to %.2f s\n",
        static_cast<long long>(st.windSteps), static_cast<long long>(st.steps), st.firstWind, st.lastWind);
    Add(out, "  acceleration  axis        peak                 mean while acting\n");
    static const char* const names[3] = {"side    x", "up      y", "forward z"};
    for (int i = 0; i < 3; ++i)
      Add(out, "                %s  %+9.4f m/s2 at %7.2f s  %+9.4f m/s2\n", names[i], st.axes[i].peak,
          st.axes[i].peakTime, st.axes[i].sum / static_cast<double>(st.windSteps));
  }
  const std::vector<ShearEvent>& shear = st.shear.events();
  if (shear.empty()) {
    Add(out, "  shear events  none seen\n");
  } else {
    Add(out, "  shear events  %zu seen (headwind low -> tailwind high, swing in weights):\n", shear.size());
    for (size_t i = 0; i < shear.size() && i < kMaxEventLines; ++i)
      Add(out, "                %7.2f s -> %7.2f s  swing %.2f\n", shear[i].low, shear[i].high, shear[i].swing);
  }
  if (!st.events.empty()) {
    Add(out, "  events\n");
    for (size_t i = 0; i < st.events.size() && i < kMaxEventLines; ++i)
      Add(out, "                %7.2f s  %s\n", st.events[i].t, st.events[i].what.c_str());
    if (st.events.size() > kMaxEventLines)
      Add(out, "                ... %zu more (see the trace)\n", st.events.size() - kMaxEventLines);
  }
  if (!f.record().empty()) {
    Add(out, "  timeline\n");
    for (const ActionRecord& r : f.record())
      out += Line("                %7.2f s  ", r.t) + r.what + (r.result.empty() ? "" : "  ->  " + r.result) + "\n";
  }
  for (const auto& [display, rows] : in.pages) {
    Add(out, "  final page    display %s, as the pilot reads it:\n", display.c_str());
    for (const std::string& row : rows) out += "                | " + row + "\n";
  }
  if (in.settingsText.empty()) {
    Add(out, "  settings      none written yet (%s)\n", in.settingsFile.c_str());
  } else {
    Add(out, "  settings      %s\n", in.settingsFile.c_str());
    for (const std::string& s : SettingsSections(in.settingsText)) Add(out, "                %s\n", s.c_str());
  }
  if (!in.outputs.empty()) {
    Add(out, "  outputs\n");
    for (const OutputFile& o : in.outputs) {
      if (o.path.empty())
        Add(out, "                %-16s %s\n", o.what.c_str(), o.note.c_str());
      else
        Add(out, "                %-16s %s%s%s\n", o.what.c_str(), o.path.c_str(), o.note.empty() ? "" : "  ",
            o.note.c_str());
    }
  }
  return out;
}

}  // namespace sim
