#include "tools/galeboard-sim/Outputs.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

extern char** environ;

namespace sim {

namespace fs = std::filesystem;

namespace {

constexpr double kRadToDeg = 180.0 / 3.141592653589793;
constexpr int64_t kPlotPoints = 200000;  // more rows than this are thinned for the plot

// A field for CSV: quoted when it holds a comma, a quote or a line break.
std::string CsvField(const std::string& s) {
  if (s.find_first_of(",\"\n\r") == std::string::npos) return s;
  std::string q = "\"";
  for (char c : s) q += c == '"' ? std::string("\"\"") : std::string(1, c);
  return q + "\"";
}

std::string GnuplotString(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("''") : std::string(1, c);
  return q + "'";
}

}  // namespace

const std::vector<TraceColumn>& TraceColumns() {
  static const std::vector<TraceColumn> columns = {
      {"t", "simulation time at the end of the step [s]"},
      {"vessel", "the focus vessel"},
      {"body", "the body it flies at"},
      {"in_atmosphere", "1 while it is inside the body's atmosphere"},
      {"landed", "1 while it is landed"},
      {"altitude", "above the body's mean radius [m]"},
      {"heading_deg", "0 north, 90 east [deg]"},
      {"pitch_deg", "nose up positive [deg]"},
      {"density", "air density at the vessel [kg/m3]"},
      {"wind", "1 when the module applied a force on this step (the wind acted)"},
      {"force_x", "applied force, side, vessel frame [N]"},
      {"force_y", "applied force, up [N]"},
      {"force_z", "applied force, forward [N]"},
      {"accel_x", "force / mass, side [m/s2]"},
      {"accel_y", "force / mass, up [m/s2]"},
      {"accel_z", "force / mass, forward [m/s2]"},
      {"airspeed_x", "airspeed, side, vessel frame, from the flight model [m/s]"},
      {"airspeed_y", "airspeed, up [m/s]"},
      {"airspeed_z", "airspeed, forward [m/s]"},
      {"east", "drift east from the start [m]"},
      {"north", "drift north from the start [m]"},
  };
  return columns;
}

int TraceColumnNumber(const char* name) {
  const auto& c = TraceColumns();
  for (size_t i = 0; i < c.size(); ++i)
    if (std::strcmp(c[i].name, name) == 0) return static_cast<int>(i) + 1;
  return 0;
}

TraceWriter::~TraceWriter() {
  std::string ignored;
  Close(&ignored);
}

bool TraceWriter::Open(const fs::path& csv, std::string* error) {
  path_ = csv;
  file_ = std::fopen(csv.string().c_str(), "wb");
  if (!file_) {
    *error = "cannot write " + csv.string() + ": " + std::strerror(errno);
    return false;
  }
  buffer_.resize(1 << 20);
  std::setvbuf(file_, buffer_.data(), _IOFBF, buffer_.size());
  std::string header;
  for (const TraceColumn& c : TraceColumns()) header += (header.empty() ? "" : ",") + std::string(c.name);
  std::fprintf(file_, "%s\n", header.c_str());
  return true;
}

namespace {

// Appends a number in the shortest form that keeps the given significant
// digits, and a separator; to_chars is many times faster than printf here.
void Put(std::string& row, double v, int digits, char separator = ',') {
  char buf[32];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, digits);
  row.append(buf, ec == std::errc() ? static_cast<size_t>(end - buf) : 0);
  row += separator;
}

void Put(std::string& row, bool b) {
  row += b ? '1' : '0';
  row += ',';
}

}  // namespace

void TraceWriter::Write(const StepSample& s) {
  if (!file_) return;
  const ghost::Vessel& v = *s.vessel;
  // Names are fixed for the run; quote them once per vessel change at most.
  if (quotedFor_ != &v) {
    quotedFor_ = &v;
    vessel_ = CsvField(v.name);
    body_ = CsvField(v.body ? v.body->name : "");
  }
  row_.clear();
  Put(row_, s.t, 9);
  row_ += vessel_;
  row_ += ',';
  row_ += body_;
  row_ += ',';
  Put(row_, s.inAtmosphere);
  Put(row_, s.landed);
  Put(row_, v.altitude, 9);
  Put(row_, v.heading * kRadToDeg, 6);
  Put(row_, v.pitch * kRadToDeg, 6);
  Put(row_, s.density, 6);
  Put(row_, s.wind);
  for (double x :
       {s.force.x, s.force.y, s.force.z, s.accel.x, s.accel.y, s.accel.z, v.airspeed.x, v.airspeed.y, v.airspeed.z})
    Put(row_, x, 6);
  Put(row_, s.track ? s.track->east : 0.0, 7);
  Put(row_, s.track ? s.track->north : 0.0, 7, '\n');
  std::fwrite(row_.data(), 1, row_.size(), file_);
  ++rows_;
}

bool TraceWriter::Close(std::string* error) {
  if (!file_) return true;
  const bool failed = std::ferror(file_) != 0;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (failed || !closed) {
    *error = "writing " + path_.string() + " failed";
    return false;
  }
  return true;
}

std::string FindProgram(const std::string& name) {
  if (name.empty()) return "";
  if (name.find('/') != std::string::npos) return access(name.c_str(), X_OK) == 0 ? name : "";
  const char* path = std::getenv("PATH");
  std::istringstream dirs(path ? path : "");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    if (dir.empty()) dir = ".";
    const std::string candidate = dir + "/" + name;
    std::error_code ec;
    if (fs::is_regular_file(candidate, ec) && access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return "";
}

PlotResult PlotWind(const fs::path& trace, int64_t rows, double duration, const fs::path& png,
                    const std::string& gnuplot, const std::string& title, const std::vector<ShearEvent>& shear,
                    std::string* message) {
  const std::string program = FindProgram(gnuplot);
  if (program.empty()) {
    *message = "gnuplot not found (" + gnuplot + "); install gnuplot-nox for the wind plot";
    return PlotResult::NoPlotter;
  }
  fs::path script = png;
  script.replace_extension(".gp");
  fs::path log = png;
  log.replace_extension(".gnuplot.log");

  const int64_t every = rows > kPlotPoints ? (rows + kPlotPoints - 1) / kPlotPoints : 1;
  const std::string data = GnuplotString(trace.string());
  const std::string sample = "every " + std::to_string(every) + "::1";
  auto col = [](const char* name) { return std::to_string(TraceColumnNumber(name)); };

  std::ofstream gp(script);
  gp << "# Made by galeboard-sim: the wind acceleration the module applied, per axis, the altitude, and\n"
     << "# when the wind acted. Run again with: gnuplot " << script.filename().string() << "\n"
     << "set terminal pngcairo size 1280,900 font 'DejaVu Sans,10'\n"
     << "set output " << GnuplotString(png.string()) << "\n"
     << "set datafile separator ','\n"
     << "set multiplot title " << GnuplotString(title) << "\n"
     << "set lmargin at screen 0.08\nset rmargin at screen 0.97\n"
     << "set grid\nset key top right opaque\n"
     << "set xrange [0:" << duration << "]\n";
  // The wind acceleration, shear events shaded behind it.
  gp << "set tmargin at screen 0.93\nset bmargin at screen 0.42\nset format x ''\n";
  for (const ShearEvent& e : shear)
    gp << "set object rect from " << e.low << ", graph 0 to " << e.high
       << ", graph 1 behind fillcolor rgb '#f0d0f0' fillstyle solid 1.0 noborder\n";
  gp << "set ylabel 'wind acceleration (force / mass) [m/s^2]'\n"
     << "plot " << data << " " << sample << " using " << col("t") << ":" << col("accel_z")
     << " with lines lw 1.2 lc rgb '#d62728' title 'forward (z)', \\\n"
     << "     '' " << sample << " using " << col("t") << ":" << col("accel_y")
     << " with lines lw 1.2 lc rgb '#2ca02c' title 'up (y)', \\\n"
     << "     '' " << sample << " using " << col("t") << ":" << col("accel_x")
     << " with lines lw 1.2 lc rgb '#1f77b4' title 'side (x)'"
     << (shear.empty() ? "" : ", \\\n     NaN with boxes fillcolor rgb '#f0d0f0' fillstyle solid title 'shear event'")
     << "\nunset object\n";
  // The altitude.
  gp << "set tmargin at screen 0.40\nset bmargin at screen 0.17\n"
     << "set ylabel 'altitude [m]'\n"
     << "plot " << data << " " << sample << " using " << col("t") << ":" << col("altitude")
     << " with lines lw 1.5 lc rgb '#333333' title 'altitude'\n";
  // When a force was applied.
  gp << "set tmargin at screen 0.15\nset bmargin at screen 0.06\n"
     << "set format x '%g'\nset xlabel 'simulation time [s]'\n"
     << "set ylabel 'wind acts'\nset yrange [-0.2:1.2]\nset ytics ('no' 0, 'yes' 1)\nunset key\n"
     << "plot " << data << " " << sample << " using " << col("t") << ":" << col("wind")
     << " with steps lw 1.5 lc rgb '#ff7f0e'\n"
     << "unset multiplot\n";
  gp.close();
  if (!gp) {
    *message = "cannot write " + script.string();
    return PlotResult::Failed;
  }

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.string().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  std::string scriptArg = script.string();
  char* argv[] = {const_cast<char*>(program.c_str()), scriptArg.data(), nullptr};
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    *message = "cannot run " + program + ": " + std::strerror(spawned);
    return PlotResult::Failed;
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  std::error_code ec;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !fs::exists(png, ec)) {
    *message = program + " failed; see " + log.string();
    return PlotResult::Failed;
  }
  if (fs::file_size(log, ec) == 0) fs::remove(log, ec);
  return PlotResult::Written;
}

std::string ReadText(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  if (!in) return "";
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace sim
