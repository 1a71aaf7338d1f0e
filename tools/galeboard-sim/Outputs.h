// The files a run leaves in its output folder: the per-step trace, the wind
// plot (made by gnuplot from the trace), and a copy of the settings file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/galeboard-sim/Flight.h"
#include "tools/galeboard-sim/Summary.h"

namespace sim {

// The trace's columns, in order; the plot (by name) and the documentation use
// these.
struct TraceColumn {
  const char* name;
  const char* meaning;
};
const std::vector<TraceColumn>& TraceColumns();

// Writes one CSV row per step for the focus vessel.
class TraceWriter {
 public:
  TraceWriter() = default;
  ~TraceWriter();
  TraceWriter(const TraceWriter&) = delete;
  TraceWriter& operator=(const TraceWriter&) = delete;

  bool Open(const std::filesystem::path& csv, std::string* error);
  void Write(const StepSample& s);
  // Flushes and closes; false when any write failed.
  bool Close(std::string* error);
  int64_t rows() const { return rows_; }

 private:
  std::FILE* file_ = nullptr;
  std::filesystem::path path_;
  std::vector<char> buffer_;
  int64_t rows_ = 0;
  const ghost::Vessel* quotedFor_ = nullptr;
  std::string vessel_, body_;  // CSV fields of quotedFor_
  std::string row_;            // one row, reused
};

// The program's full path: as given when it holds a '/', else looked up in
// PATH. Empty when there is no such executable.
std::string FindProgram(const std::string& name);

// The shear events as CSV, one row each: low, high, swing. False with the
// reason in error when the file cannot be written.
bool WriteShearEvents(const std::filesystem::path& csv, const std::vector<ShearEvent>& events, std::string* error);

// The wind plot's script (tools/galeboard-sim/wind.gp, built in).
extern const char* const kWindPlotScript;

struct PlotInput {
  std::filesystem::path trace;  // the run's trace.csv
  std::filesystem::path shear;  // its shear events, WriteShearEvents
  std::filesystem::path png;    // the picture to write
  int64_t rows = 0;             // of the trace; more than a plot needs are thinned
  double duration = 0.0;        // s, the time axis
  std::string title;
};

enum class PlotResult { Written, NoPlotter, Failed };

// Plots the wind acceleration per axis over time, the altitude below it and
// the shear events shaded, with gnuplot and the fixed script, which is kept
// beside the picture. The run's paths and title reach gnuplot as arguments
// of the script, never as text of it. gnuplot's messages go to a log beside
// the picture, which stays only when the plot failed.
PlotResult PlotWind(const std::string& gnuplot, const PlotInput& in, std::string* message);

// Reads a whole file; empty when it is missing.
std::string ReadText(const std::filesystem::path& p);

// Reads a whole regular file. Anything else (a FIFO, a device, a folder) is
// refused without being read or waited for: false, with the reason in error.
bool ReadRegularFile(const std::filesystem::path& p, std::string* text, std::string* error);

}  // namespace sim
