#pragma once
// Every bench program reports each benchmark's speed against a baseline run in the same
// process. Name a baseline benchmark with "Baseline" in it (BM_Baseline_Memcpy) and end the
// file with VRASK_BENCH_MAIN(). A program may hold several groups, each with its own
// baseline: a group is the benchmarks whose names agree up to their first '/'
// ("creature/Baseline_RunCopy", "creature/Avx2"); a benchmark whose group has no baseline is
// compared with the program's first. The ratio is the benchmark's rate over the baseline's
// (bytes or items per second when both set them, else the inverse of time per iteration):
// above 1 is faster than the baseline. A counter that a benchmark and its baseline both set
// (expansions per trip, say) is printed beside the ratio as the benchmark's value over the
// baseline's. With --benchmark_repetitions the medians are compared; with
// --benchmark_enable_random_interleaving the repetitions of all benchmarks are mixed, which
// keeps a change in the machine's load from falling on one benchmark alone.

int RunBenchmarksWithRatios(int argc, char** argv);

#define VRASK_BENCH_MAIN() \
  int main(int argc, char** argv) { return RunBenchmarksWithRatios(argc, argv); }
