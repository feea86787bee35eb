// Evaluation: a Gaussian classifier over normal scores. Each input goes through its class's
// ten-bin score table, the squared distance of the score vector is taken with each class's
// inverse second-moment matrix, and the distances become chances weighted by the class priors;
// what the priors leave unused is spread evenly, so the chances always sum to 1.
//
// The table is never repaired from the files here: that would stall a frame and change one
// machine's table alone. Every table in use has passed the reader's checks or was built by
// processing, so its matrices match its input counts.
#include <cmath>

#include "ai/Brain.h"
#include "ai/BrainScores.h"

namespace {

constexpr float kNoDistance = 10000000000.0f;
constexpr float kNegligibleGap = 20.0f;  // half a distance gap beyond which a class counts 0

void Uniform(int n, float* probabilities) {
  for (int j = 0; j < n; ++j) probabilities[j] = 1.0f / static_cast<float>(n);
}

// The squared distance of the class's score vector for these inputs.
float Distance(const CBrainClass& brainClass, const std::vector<int32_t>& inputs, std::vector<float>& score) {
  const size_t n = inputs.size();
  for (size_t i = 0; i < n; ++i) score[i] = InputScore(inputs[i], brainClass.bins[i], brainClass.outOfRangeScore);
  float d = 0.0f;
  for (size_t r = 0; r < n; ++r) {
    const std::vector<float>& row = brainClass.matrix[r];
    for (size_t c = 0; c < n; ++c) d += row[c] * score[c] * score[r];
  }
  return d;
}

}  // namespace

void CBrain::Evaluate(int32_t key, const std::vector<int32_t>& inputs, int n, float* probabilities) {
  if (n <= 0) return;
  Uniform(n, probabilities);
  if (n > kMaxBrainClasses || inputs.size() > static_cast<size_t>(kMaxBrainInputs)) return;
  const int inputCount = static_cast<int>(inputs.size());
  auto found = table_.find(key);
  if (found == table_.end()) found = table_.emplace(key, CBrainNode(inputCount, n)).first;
  const CBrainNode& node = found->second;
  if (node.inputCount != inputCount || node.classCount != n) return;

  std::vector<float> score(inputs.size());
  float distances[kMaxBrainClasses];
  float least = kNoDistance;
  for (int j = 0; j < n; ++j) {
    distances[j] = Distance(node.classes[j], inputs, score);
    if (distances[j] < least) least = distances[j];
  }
  float e[kMaxBrainClasses];
  float sum = 0.0f;
  for (int j = 0; j < n; ++j) {
    const float g = (distances[j] - least) * 0.5f;
    e[j] = g < kNegligibleGap ? std::exp(-g) : 0.0f;
    sum += e[j];
  }
  // Only a damaged table gets here without a nearest class: it answers nothing but 1/n.
  if (!(sum > 0.0f) || !std::isfinite(sum)) return;
  float p[kMaxBrainClasses];
  float weighted = 0.0f;
  for (int j = 0; j < n; ++j) {
    p[j] = e[j] / sum * node.classes[j].prior;
    weighted += p[j];
  }
  const float rest = 1.0f - weighted;
  for (int j = 0; j < n; ++j) {
    p[j] = p[j] + rest / static_cast<float>(n);
    if (!std::isfinite(p[j])) return;
  }
  for (int j = 0; j < n; ++j) probabilities[j] = p[j];
}
