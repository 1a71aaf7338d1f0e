#include "tools/galeboard-sim/Outputs.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
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

bool WriteShearEvents(const fs::path& csv, const std::vector<ShearEvent>& events, std::string* error) {
  std::ofstream out(csv, std::ios::binary);
  out << "low,high,swing\n";
  std::string row;
  for (const ShearEvent& e : events) {
    row.clear();
    Put(row, e.low, 9);
    Put(row, e.high, 9);
    Put(row, e.swing, 6, '\n');
    out << row;
  }
  out.close();
  if (!out) {
    *error = "cannot write " + csv.string();
    return false;
  }
  return true;
}

namespace {

// Runs a program with its output and errors going to log, and waits for it.
// Returns its exit status, or -1 with the reason in error.
int RunProgram(const std::vector<std::string>& args, const fs::path& log, std::string* error) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, args[0].c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    *error = "cannot run " + args[0] + ": " + std::strerror(spawned);
    return -1;
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string ShortestNumber(double v) {
  char buf[32];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  return ec == std::errc() ? std::string(buf, end) : "0";
}

// An absolute path, so that gnuplot never takes a name for one of its own
// (a leading '<' or '|' is a command to it, '-' the terminal).
std::string Absolute(const fs::path& p) {
  std::error_code ec;
  const fs::path a = fs::absolute(p, ec);
  return ec ? p.string() : a.string();
}

}  // namespace

PlotResult PlotWind(const std::string& gnuplot, const PlotInput& in, std::string* message) {
  const std::string program = FindProgram(gnuplot);
  if (program.empty()) {
    *message = "gnuplot not found (" + gnuplot + "); install gnuplot-nox for the wind plot";
    return PlotResult::NoPlotter;
  }
  const fs::path script = fs::path(in.png).replace_extension(".gp");
  const fs::path log = fs::path(in.png).replace_extension(".gnuplot.log");
  std::ofstream gp(script, std::ios::binary);
  gp << kWindPlotScript;
  gp.close();
  if (!gp) {
    *message = "cannot write " + script.string();
    return PlotResult::Failed;
  }

  const int64_t every = in.rows > kPlotPoints ? (in.rows + kPlotPoints - 1) / kPlotPoints : 1;
  const int status = RunProgram({program, "-c", Absolute(script), Absolute(in.trace), Absolute(in.shear),
                                 Absolute(in.png), in.title, std::to_string(every), ShortestNumber(in.duration)},
                                log, message);
  if (status < 0) return PlotResult::Failed;
  std::error_code ec;
  if (status != 0 || !fs::exists(in.png, ec)) {
    *message = program + " failed; see " + log.string();
    return PlotResult::Failed;
  }
  fs::remove(log, ec);
  return PlotResult::Written;
}

std::string ReadText(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  if (!in) return "";
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool ReadRegularFile(const fs::path& p, std::string* text, std::string* error) {
  // Opened without waiting, so that a FIFO with no writer does not block.
  const int fd = open(p.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    *error = std::strerror(errno);
    return false;
  }
  struct stat st;
  const bool regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  text->clear();
  char buf[1 << 16];
  int readError = 0;
  while (regular) {
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n > 0) {
      text->append(buf, static_cast<size_t>(n));
    } else if (n == 0 || errno != EINTR) {
      if (n < 0) readError = errno;
      break;
    }
  }
  close(fd);
  if (!regular || readError) {
    *error = regular ? std::strerror(readError) : "not a regular file";
    return false;
  }
  return true;
}

}  // namespace sim
