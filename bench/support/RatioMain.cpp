#include "support/RatioMain.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Result {
  std::string name;
  double secondsPerIteration = 0;
  double rate = 0;  // bytes or items per second, 0 when not set
  bool isBytes = false;
};

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.iterations == 0) continue;
      Result r;
      r.name = run.benchmark_name();
      r.secondsPerIteration = run.GetAdjustedRealTime() / 1e9;
      if (run.time_unit == benchmark::kMicrosecond) r.secondsPerIteration = run.GetAdjustedRealTime() / 1e6;
      if (run.time_unit == benchmark::kMillisecond) r.secondsPerIteration = run.GetAdjustedRealTime() / 1e3;
      if (auto it = run.counters.find("bytes_per_second"); it != run.counters.end()) {
        r.rate = it->second.value;
        r.isBytes = true;
      } else if (auto items = run.counters.find("items_per_second"); items != run.counters.end()) {
        r.rate = items->second.value;
      }
      results_.push_back(r);
    }
  }

  void PrintRatios() const {
    const Result* baseline = nullptr;
    for (const Result& r : results_)
      if (r.name.find("Baseline") != std::string::npos) {
        baseline = &r;
        break;
      }
    if (!baseline) {
      std::printf("\n(no Baseline benchmark: no ratios)\n");
      return;
    }
    std::printf("\nSpeed against %s (above 1 is faster):\n", baseline->name.c_str());
    for (const Result& r : results_) {
      double ratio = (r.rate > 0 && baseline->rate > 0 && r.isBytes == baseline->isBytes)
                         ? r.rate / baseline->rate
                         : baseline->secondsPerIteration / r.secondsPerIteration;
      std::printf("  %-50s %8.3f\n", r.name.c_str(), ratio);
    }
  }

 private:
  std::vector<Result> results_;
};

}  // namespace

int RunBenchmarksWithRatios(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
