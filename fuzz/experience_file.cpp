// Feeds arbitrary bytes to the experience file's reader and builds a table from what it reads,
// as processing does. Whatever the bytes, the records read are whole, the table is built or
// refused without harm, and a table built answers every key with finite chances that sum to 1.
#include <cmath>
#include <cstdint>
#include <vector>

#include "SavedBlock.h"
#include "ai/Brain.h"
#include "ai/BrainProcessing.h"
#include "ai/ExperienceFile.h"

namespace {

std::vector<uint8_t> Seed(int records, int inputs) {
  bytes::Writer out;
  for (int r = 0; r < records; ++r) {
    std::vector<int32_t> situation(static_cast<size_t>(inputs));
    for (int i = 0; i < inputs; ++i) situation[static_cast<size_t>(i)] = (r * 7 + i * 13) % 41 - 20;
    WriteExperienceRecord(out, r % 4, situation, 3, (r / 2) % 3);
  }
  return out.Data();
}

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::SeedEmptyCorpus(*argc, *argv, [](const std::string& folder) {
    fuzz::WriteSeed(folder + "/small", Seed(12, 2));
    fuzz::WriteSeed(folder + "/wide", Seed(40, 9));
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const ExperienceContents contents = ParseExperience(data, size);
  size_t whole = 0;
  for (const ExperienceRecord& record : contents.records) {
    Require(record.inputs.size() <= static_cast<size_t>(kMaxBrainInputs));
    whole += 16 + 4 * record.inputs.size();
  }
  Require(whole <= size && contents.torn == (whole != size));
  BrainTable& table = g_brain.Table();
  if (BuildBrainTable(contents.records, table) == 0) {
    for (const auto& [key, node] : BrainTable(table)) {
      std::vector<int32_t> inputs(static_cast<size_t>(node.inputCount), 1);
      float p[kMaxBrainClasses];
      g_brain.Evaluate(key, inputs, node.classCount, p);
      float sum = 0.0f;
      for (int j = 0; j < node.classCount; ++j) {
        Require(std::isfinite(p[j]) && p[j] >= -1e-6f);
        sum += p[j];
      }
      Require(std::fabs(sum - 1.0f) < 1e-4f);
    }
  }
  table.clear();
  return 0;
}
