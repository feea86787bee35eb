// Feeds arbitrary bytes to the brain file's reader. A file it takes is a table that writes
// back to bytes it takes again, unchanged; one it refuses leaves an empty table. Either way
// the table answers every question with finite chances.
#include <cmath>
#include <cstdint>
#include <vector>

#include "SavedBlock.h"
#include "ai/Brain.h"
#include "ai/BrainTableBytes.h"

namespace {

std::vector<uint8_t> Seed(int inputs, int classes) {
  BrainTable table;
  CBrainNode node(inputs, classes);
  for (CBrainClass& c : node.classes) {
    c.prior = 1.0f / static_cast<float>(classes);
    for (size_t i = 0; i < c.matrix.size(); ++i) c.matrix[i][i] = 1.0f;
  }
  table.emplace(3, node);
  table.emplace(-7, CBrainNode(0, 3));
  return BrainTableBytes(table);
}

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::SeedEmptyCorpus(*argc, *argv, [](const std::string& folder) {
    fuzz::WriteSeed(folder + "/two_inputs", Seed(2, 3));
    fuzz::WriteSeed(folder + "/five_inputs", Seed(5, 2));
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  BrainTable& table = g_brain.Table();
  if (ParseBrainTable(data, size, table)) {
    const std::vector<uint8_t> written = BrainTableBytes(table);
    BrainTable again;
    Require(ParseBrainTable(written.data(), written.size(), again));
    Require(BrainTableBytes(again) == written);
  } else {
    table.clear();
  }
  for (const auto& [key, node] : BrainTable(table)) {
    std::vector<int32_t> inputs(static_cast<size_t>(node.inputCount));
    for (size_t i = 0; i < inputs.size(); ++i) inputs[i] = static_cast<int32_t>(i * 37) - 50;
    float p[kMaxBrainClasses];
    g_brain.Evaluate(key, inputs, node.classCount, p);
    // A file's own priors may be any finite numbers: only finite chances are owed.
    for (int j = 0; j < node.classCount; ++j) Require(std::isfinite(p[j]));
  }
  table.clear();
  return 0;
}
