#pragma once
// Every bench program reports each benchmark's speed against a baseline run in the same
// process. Name the baseline benchmark with "Baseline" in it (BM_Baseline_Memcpy) and end the
// file with VRASK_BENCH_MAIN(). The ratio is the benchmark's rate over the baseline's (bytes
// or items per second when both set them, else the inverse of time per iteration): above 1
// is faster than the baseline.

int RunBenchmarksWithRatios(int argc, char** argv);

#define VRASK_BENCH_MAIN() \
  int main(int argc, char** argv) { return RunBenchmarksWithRatios(argc, argv); }
