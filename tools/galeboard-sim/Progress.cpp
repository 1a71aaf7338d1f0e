#include "tools/galeboard-sim/Progress.h"

#include <unistd.h>

namespace sim {

namespace {
constexpr auto kQuiet = std::chrono::seconds(1);
constexpr auto kRedraw = std::chrono::milliseconds(100);
constexpr int kWidth = 40;
}  // namespace

Progress::Progress(std::FILE* out, bool enabled)
    : out_(out), enabled_(enabled && isatty(fileno(out))), start_(std::chrono::steady_clock::now()) {}

void Progress::Update(int64_t done, int64_t total, double simt) {
  if (!enabled_ || total <= 0) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - start_ < kQuiet || (drawn_ && now - lastDraw_ < kRedraw)) return;
  lastDraw_ = now;
  drawn_ = true;
  const double fraction = static_cast<double>(done) / static_cast<double>(total);
  const int filled = static_cast<int>(fraction * kWidth);
  char bar[kWidth + 1];
  for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '.';
  bar[kWidth] = '\0';
  const double wall = std::chrono::duration<double>(now - start_).count();
  std::fprintf(out_, "\r[%s] %3.0f%%  t %.1f s  %.3g steps/s ", bar, fraction * 100.0, simt,
               static_cast<double>(done) / wall);
  std::fflush(out_);
}

void Progress::Finish() {
  if (!drawn_) return;
  std::fprintf(out_, "\r%*s\r", kWidth + 48, "");
  std::fflush(out_);
  drawn_ = false;
}

}  // namespace sim
