// A progress bar on the terminal for runs that take longer than a second.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>

namespace sim {

class Progress {
 public:
  // Shown only when out is a terminal and enabled.
  Progress(std::FILE* out, bool enabled);
  // Cheap enough to call often: it looks at the clock and draws at most ten
  // times a second, and not at all during the first second.
  void Update(int64_t done, int64_t total, double simt);
  // Clears the bar, if one was drawn.
  void Finish();

 private:
  std::FILE* out_;
  bool enabled_;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point start_, lastDraw_;
};

}  // namespace sim
