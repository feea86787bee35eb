#include "support/RatioMain.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

struct Result {
  std::string name;
  double secondsPerIteration = 0;
  double rate = 0;  // bytes or items per second, 0 when not set
  bool isBytes = false;
  std::map<std::string, double> counters;  // the user's own counters
};

bool IsBaseline(const Result& r) { return r.name.find("Baseline") != std::string::npos; }

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.iterations == 0) continue;
      // With repetitions the median of each benchmark stands for it.
      if (run.repetitions > 1 && !(run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")) continue;
      Result r;
      r.name = run.run_name.str();
      r.secondsPerIteration = run.GetAdjustedRealTime() / 1e9;
      if (run.time_unit == benchmark::kMicrosecond) r.secondsPerIteration = run.GetAdjustedRealTime() / 1e6;
      if (run.time_unit == benchmark::kMillisecond) r.secondsPerIteration = run.GetAdjustedRealTime() / 1e3;
      for (const auto& [name, counter] : run.counters) {
        if (name == "bytes_per_second") {
          r.rate = counter.value;
          r.isBytes = true;
        } else if (name == "items_per_second") {
          if (!r.isBytes) r.rate = counter.value;
        } else {
          r.counters[name] = counter.value;
        }
      }
      results_.push_back(r);
    }
  }

  void PrintRatios() const {
    std::vector<const Result*> baselines;
    for (const Result& r : results_)
      if (IsBaseline(r)) baselines.push_back(&r);
    if (baselines.empty()) {
      std::printf("\n(no Baseline benchmark: no ratios)\n");
      return;
    }
    // A benchmark's baseline is the one of its group (the name up to its first '/'), or
    // the program's first when its group has none.
    auto baselineOf = [&](const Result& r) {
      for (const Result* b : baselines)
        if (Group(b->name) == Group(r.name)) return b;
      return baselines.front();
    };
    for (const Result* baseline : baselines) {
      std::printf("\nSpeed against %s (above 1 is faster):\n", baseline->name.c_str());
      PrintRatio(*baseline, *baseline);
      for (const Result& r : results_)
        if (&r != baseline && !IsBaseline(r) && baselineOf(r) == baseline) PrintRatio(r, *baseline);
    }
  }

 private:
  static std::string Group(const std::string& name) { return name.substr(0, name.find('/')); }

  static void PrintRatio(const Result& r, const Result& baseline) {
    const double ratio = (r.rate > 0 && baseline.rate > 0 && r.isBytes == baseline.isBytes)
                             ? r.rate / baseline.rate
                             : baseline.secondsPerIteration / r.secondsPerIteration;
    std::printf("  %-56s %8.3f", r.name.c_str(), ratio);
    if (&r != &baseline)
      for (const auto& [name, value] : r.counters) {
        auto it = baseline.counters.find(name);
        if (it != baseline.counters.end() && it->second != 0)
          std::printf("   %s %.3f", name.c_str(), value / it->second);
      }
    std::printf("\n");
  }

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
