// Experience processing: rebuilds the whole table from the experience file. For every key and
// outcome class it learns, per input, a range and a ten-bin table of normal scores (a
// rank-based inverse normal transform of the class's inputs), a prior from recency-weighted
// counts, an out-of-range score, and the inverse of the weighted second-moment matrix of the
// score vectors. Recent records weigh more: a record r records before the file's end weighs
// exp(-r / 1000) in the bins and priors and exp(-2r / 1000) in the matrices.
//
// A record unlike the first sound record of its key (another input or class count) or unsound
// itself (no classes, an outcome outside them) is passed over in every pass; it still counts in
// the file's length, which sets the weights.
#include <algorithm>
#include <cmath>

#include "ai/Brain.h"
#include "ai/BrainProcessing.h"
#include "ai/BrainScores.h"
#include "ai/ExperienceFile.h"

namespace {

constexpr int kSampledRecords = 100;  // a class keeps about this many records for its ranges
constexpr float kEmptyLow = 1e10f;
constexpr float kEmptyWidth = -2e10f;

// What one run keeps per key and class.
struct ClassTally {
  int32_t count = 0;
  int32_t seen = 0;
  float weight = 0.0f;
};

class Processing {
 public:
  Processing(const std::vector<ExperienceRecord>& records, BrainTable& table, const BrainProgress& progress)
      : records_(records), table_(table), progress_(progress), usable_(records.size(), false) {}

  int Run() {
    table_.clear();
    CountRecords();
    Step();
    FindRanges();
    Step();
    WeighBins();
    Step();
    SetPriors();
    SetScores();
    Step();
    SumMatrices();
    Step();
    const int inverted = InvertMatrices();
    Step();
    return inverted;
  }

 private:
  void Step() {
    if (progress_) progress_();
  }

  // Records after this one in the file.
  float After(size_t index) const { return static_cast<float>(records_.size() - 1 - index); }

  CBrainClass& ClassOf(const ExperienceRecord& record) {
    return table_[record.key].classes[static_cast<size_t>(record.outcome)];
  }
  ClassTally& TallyOf(const ExperienceRecord& record) {
    return tallies_[record.key][static_cast<size_t>(record.outcome)];
  }

  // Pass 1: the nodes, from the first sound record of each key, and the counts.
  void CountRecords() {
    for (size_t index = 0; index < records_.size(); ++index) {
      const ExperienceRecord& record = records_[index];
      if (!IsSoundRecord(record)) continue;
      const int inputs = static_cast<int>(record.inputs.size());
      auto node = table_.find(record.key);
      if (node == table_.end()) {
        node = table_.emplace(record.key, CBrainNode(inputs, record.classCount)).first;
        tallies_[record.key].assign(static_cast<size_t>(record.classCount), ClassTally{});
        // The first record's class starts from an empty range; the others keep the default.
        for (CBrainBin& bin : ClassOf(record).bins) {
          bin.low = kEmptyLow;
          bin.width = kEmptyWidth;
        }
      } else if (node->second.inputCount != inputs || node->second.classCount != record.classCount) {
        continue;
      }
      usable_[index] = true;
      ++TallyOf(record).count;
    }
  }

  // Pass 2: each class's input ranges, over about 100 evenly spaced records of it.
  void FindRanges() {
    for (size_t index = 0; index < records_.size(); ++index) {
      if (!usable_[index]) continue;
      const ExperienceRecord& record = records_[index];
      ClassTally& tally = TallyOf(record);
      const int32_t k = tally.count / kSampledRecords;
      const bool used = tally.count < kSampledRecords || (tally.seen < k * kSampledRecords && tally.seen % k == 0);
      if (used) Widen(ClassOf(record), record.inputs);
      ++tally.seen;
    }
    for (auto& [key, node] : table_)
      for (CBrainClass& brainClass : node.classes)
        for (CBrainBin& bin : brainClass.bins) KeepWidthAboveZero(bin);
  }

  static void Widen(CBrainClass& brainClass, const std::vector<int32_t>& inputs) {
    for (size_t i = 0; i < inputs.size(); ++i) {
      CBrainBin& bin = brainClass.bins[i];
      const float v = static_cast<float>(inputs[i]);
      float high = bin.low + bin.width;
      if (high < v + 0.5f) high = v + 0.5f;
      if (v - 0.5f < bin.low) bin.low = v - 0.5f;
      bin.width = high - bin.low;
    }
  }

  // Far from 0 a float cannot tell v - 0.5 from v + 0.5: such a range gets the least width
  // that can be told from its low edge, so that no division by the width fails.
  static void KeepWidthAboveZero(CBrainBin& bin) {
    if (bin.width > 0.0f) return;
    bin.width = std::nextafter(bin.low, INFINITY) - bin.low;
  }

  // Pass 3: the recency weights of the bins (kept in the scores until pass 5) and classes.
  void WeighBins() {
    for (size_t index = 0; index < records_.size(); ++index) {
      if (!usable_[index]) continue;
      const ExperienceRecord& record = records_[index];
      const float w = std::exp(-After(index) / 1000.0f);
      CBrainClass& brainClass = ClassOf(record);
      for (size_t i = 0; i < record.inputs.size(); ++i) {
        CBrainBin& bin = brainClass.bins[i];
        const int t = std::clamp(BinIndex(record.inputs[i], bin), 0, kBrainBins - 1);
        bin.scores[t] += w;
      }
      TallyOf(record).weight += w;
    }
  }

  // Pass 4: each class's share of its key's weight.
  void SetPriors() {
    for (auto& [key, node] : table_) {
      const std::vector<ClassTally>& tallies = tallies_[key];
      float total = 0.0f;
      for (const ClassTally& tally : tallies) total += tally.weight;
      for (size_t j = 0; j < tallies.size(); ++j)
        node.classes[j].prior = total > 0.0f ? tallies[j].weight / total : 0.0f;
    }
  }

  // Pass 5: the bins' weights become normal scores, and each class gets its out-of-range score.
  void SetScores() {
    for (auto& [key, node] : table_) {
      const std::vector<ClassTally>& tallies = tallies_[key];
      for (size_t j = 0; j < tallies.size(); ++j) {
        if (tallies[j].count <= 0) continue;
        CBrainClass& brainClass = node.classes[j];
        for (CBrainBin& bin : brainClass.bins) WeightsToScores(bin);
        const float tail = 1.0f / (2.0f * static_cast<float>(std::min(tallies[j].count, kSampledRecords)));
        brainClass.outOfRangeScore = std::max(-InverseNormal(tail), 1.0f);
      }
    }
  }

  // Pass 6: the weighted second moments of the score vectors.
  void SumMatrices() {
    std::vector<float> z;
    for (size_t index = 0; index < records_.size(); ++index) {
      if (!usable_[index]) continue;
      const ExperienceRecord& record = records_[index];
      CBrainClass& brainClass = ClassOf(record);
      const size_t n = record.inputs.size();
      z.resize(n);
      for (size_t i = 0; i < n; ++i)
        z[i] = InputScore(record.inputs[i], brainClass.bins[i], brainClass.outOfRangeScore);
      const float w2 = std::exp(-2.0f * After(index) / 1000.0f);
      for (size_t i = 0; i < n; ++i)
        for (size_t c = 0; c < n; ++c) brainClass.matrix[i][c] += w2 * z[c] * z[i];
    }
  }

  // Pass 7: each matrix over its class's weight, its diagonal lifted, inverted; a class
  // without records gets the identity's diagonal.
  int InvertMatrices() {
    for (auto& [key, node] : table_) {
      const std::vector<ClassTally>& tallies = tallies_[key];
      for (size_t j = 0; j < tallies.size(); ++j) {
        std::vector<std::vector<float>>& matrix = node.classes[j].matrix;
        if (tallies[j].count <= 0) {
          for (size_t i = 0; i < matrix.size(); ++i) matrix[i][i] = 1.0f;
          continue;
        }
        for (size_t i = 0; i < matrix.size(); ++i) {
          for (float& value : matrix[i]) value = value / tallies[j].weight;
          matrix[i][i] = std::max(matrix[i][i] + 0.01f, 1.0f);
        }
        // A key without inputs has nothing to invert.
        if (!matrix.empty() && InvertMatrix(matrix) != 0) return -5;
      }
    }
    return 0;
  }

  const std::vector<ExperienceRecord>& records_;
  BrainTable& table_;
  const BrainProgress& progress_;
  std::vector<bool> usable_;
  std::map<int32_t, std::vector<ClassTally>> tallies_;
};

}  // namespace

void WeightsToScores(CBrainBin& bin) {
  float total = 0.0f;
  for (float weight : bin.scores) total += weight;
  if (!(total > 0.0f)) {
    for (float& score : bin.scores) score = 0.0f;
    return;
  }
  float acc = 0.0f;
  int first = 0, last = kBrainBins - 1;
  for (int t = 0; t < kBrainBins; ++t) {
    const float x = bin.scores[t];
    if (x != 0.0f) {
      if (acc == 0.0f) first = t;
      last = t;
    }
    bin.scores[t] = InverseNormal((acc + x / 2.0f) / total);
    acc = acc + x;
  }
  // Empty end bins take the score of the nearest used one.
  for (int t = 0; t < first; ++t) bin.scores[t] = bin.scores[first];
  for (int t = last + 1; t < kBrainBins; ++t) bin.scores[t] = bin.scores[last];
}

int BuildBrainTable(const std::vector<ExperienceRecord>& records, BrainTable& table, const BrainProgress& progress) {
  return Processing(records, table, progress).Run();
}

int CBrain::ProcessExperience(const BrainProgress& progress) {
  if (progress) progress();
  ExperienceContents contents;
  const int read = ReadExperienceFile(kExperienceFileName, contents);
  if (read == -1) return -1;
  table_.clear();
  if (read != 0) return -2;
  BrainTable built;
  const int status = BuildBrainTable(contents.records, built, progress);
  if (status == 0) table_.swap(built);
  return status;
}
