// The benchmarks' main. glibc's allocator raises its mmap and trim thresholds
// the first time a large block is freed, and keeps them raised: every
// benchmark after the first large settings file would then parse on a warm
// heap, several times faster than one run alone. Pinning the thresholds at
// their start-up values makes each figure independent of what ran before it.
#include <benchmark/benchmark.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

int main(int argc, char** argv) {
#ifdef __GLIBC__
  constexpr int kStartUpThreshold = 128 * 1024;  // glibc's default for both
  mallopt(M_MMAP_THRESHOLD, kStartUpThreshold);
  mallopt(M_TRIM_THRESHOLD, kStartUpThreshold);
#endif
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
