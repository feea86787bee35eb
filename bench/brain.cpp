// The learning store: one evaluation at 20, 60 and 120 inputs against the bare products of its
// three distance sums; processing a full experience file of 2500 records against reading it.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "ai/Brain.h"
#include "ai/BrainProcessing.h"
#include "ai/ExperienceFile.h"
#include "core/Random.h"
#include "platform/Files.h"
#include "support/RatioMain.h"

namespace {

std::vector<ExperienceRecord> Records(int count, int inputs, uint32_t seed) {
  CRandom random(seed);
  std::vector<ExperienceRecord> records(static_cast<size_t>(count));
  for (ExperienceRecord& record : records) {
    record.key = static_cast<int32_t>(random.Next() % 4);
    record.inputs.resize(static_cast<size_t>(inputs));
    for (int32_t& value : record.inputs) value = static_cast<int32_t>(random.Next() % 200) - 100;
    record.classCount = 3;
    record.outcome = static_cast<int32_t>(random.Next() % 3);
  }
  return records;
}

std::vector<int32_t> Situation(int inputs) {
  std::vector<int32_t> situation(static_cast<size_t>(inputs));
  for (int i = 0; i < inputs; ++i) situation[static_cast<size_t>(i)] = (i * 37) % 200 - 100;
  return situation;
}

// The three distance sums alone, over the same matrices and a fixed score vector.
void BareProducts(benchmark::State& state, int inputs) {
  CBrain brain;
  BuildBrainTable(Records(600, inputs, 5), brain.Table());
  const CBrainNode& node = brain.Table().begin()->second;
  const std::vector<float> score(static_cast<size_t>(inputs), 0.25f);
  for (auto _ : state) {
    float total = 0.0f;
    for (const CBrainClass& c : node.classes)
      for (int r = 0; r < inputs; ++r)
        for (int k = 0; k < inputs; ++k) total += c.matrix[r][k] * score[k] * score[r];
    benchmark::DoNotOptimize(total);
  }
}

void Evaluate(benchmark::State& state, int inputs) {
  CBrain brain;
  BuildBrainTable(Records(600, inputs, 5), brain.Table());
  const int32_t key = brain.Table().begin()->first;
  const std::vector<int32_t> situation = Situation(inputs);
  for (auto _ : state) {
    float p[3];
    brain.Evaluate(key, situation, 3, p);
    benchmark::DoNotOptimize(p);
  }
}

// A folder holding a full experience file of 60-input records, entered for the run.
class ExperienceFolder {
 public:
  ExperienceFolder() {
    previous_ = platform::CurrentDirectory();
    folder_ = "/tmp/vrask-bench-brain";
    platform::MakeDirectory(folder_);
    platform::ChangeDirectory(folder_);
    platform::MakeDirectory(kBrainFolder);
    bytes::Writer out;
    for (const ExperienceRecord& r : Records(kExperienceFileRecords, 60, 9))
      WriteExperienceRecord(out, r.key, r.inputs, r.classCount, r.outcome);
    platform::WriteWholeFile(kExperienceFileName, out.Data().data(), out.Size());
  }
  ~ExperienceFolder() {
    platform::RemoveFile(kExperienceFileName);
    platform::ChangeDirectory(previous_);
  }

 private:
  std::string previous_, folder_;
};

void ReadRecords(benchmark::State& state) {
  ExperienceFolder folder;
  for (auto _ : state) {
    ExperienceContents contents;
    ReadExperienceFile(kExperienceFileName, contents);
    benchmark::DoNotOptimize(contents.records.data());
  }
}

void ProcessRecords(benchmark::State& state) {
  ExperienceFolder folder;
  CBrain brain;
  for (auto _ : state) {
    if (brain.ProcessExperience() != 0) state.SkipWithError("processing failed");
    benchmark::DoNotOptimize(brain.Table().size());
  }
}

const bool registered = [] {
  for (int inputs : {20, 60, 120}) {
    const std::string group = "evaluate" + std::to_string(inputs);
    benchmark::RegisterBenchmark((group + "/Baseline_BareProducts").c_str(), BareProducts, inputs);
    benchmark::RegisterBenchmark((group + "/Evaluate").c_str(), Evaluate, inputs);
  }
  benchmark::RegisterBenchmark("processing/Baseline_ReadRecords", ReadRecords);
  benchmark::RegisterBenchmark("processing/Process2500", ProcessRecords);
  return true;
}();

}  // namespace

VRASK_BENCH_MAIN()
