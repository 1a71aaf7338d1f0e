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

// The trace's columns, in order; the plot and the documentation use these.
struct TraceColumn {
  const char* name;
  const char* meaning;
};
const std::vector<TraceColumn>& TraceColumns();
// 1-based column number of a trace column, for gnuplot.
int TraceColumnNumber(const char* name);

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

enum class PlotResult { Written, NoPlotter, Failed };

// Plots the wind acceleration per axis over time, the altitude below it and
// the shear events as marks, from the trace, with gnuplot. The gnuplot
// script is kept beside the picture; gnuplot's messages go to a log there.
PlotResult PlotWind(const std::filesystem::path& trace, int64_t rows, double duration, const std::filesystem::path& png,
                    const std::string& gnuplot, const std::string& title, const std::vector<ShearEvent>& shear,
                    std::string* message);

// Reads a whole file; empty when it is missing.
std::string ReadText(const std::filesystem::path& p);

}  // namespace sim
