// Evaluation: a fresh key answers evenly, inputs fall in their tenths or outside the range as
// the truncation says, far classes count nothing, and a node worked out by hand gives its
// chances.
#include <gtest/gtest.h>

#include <cmath>

#include "BrainFixtures.h"
#include "ai/BrainProcessing.h"

namespace {

using namespace brain_test;

using BrainEvaluate = StoreTest;

TEST_F(BrainEvaluate, AnUnknownKeyGetsEvenChancesAndAFreshNode) {
  float p[3] = {};
  g_brain.Evaluate(12, {4, 5, 6, 7}, 3, p);
  for (float chance : p) EXPECT_FLOAT_EQ(chance, 1.0f / 3.0f);
  ASSERT_EQ(g_brain.Table().count(12), 1u);
  const CBrainNode& node = g_brain.Table().at(12);
  EXPECT_EQ(node.inputCount, 4);
  EXPECT_EQ(node.classCount, 3);
  EXPECT_EQ(node.classes[2].bins[3].low, -0.5f);
  EXPECT_EQ(node.classes[2].bins[3].width, 0.1f);
  EXPECT_EQ(node.classes[2].matrix, std::vector<std::vector<float>>(4, std::vector<float>(4, 0.0f)));
}

TEST_F(BrainEvaluate, QuestionsUnlikeTheKeysNodeGetEvenChancesAndChangeNothing) {
  float p[3];
  g_brain.Evaluate(12, {4, 5}, 3, p);
  const uint64_t digest = g_brain.Digest();
  struct Question {
    const char* name;
    int32_t key;
    std::vector<int32_t> inputs;
    int n;
  } questions[] = {
      {"shorter inputs", 12, {4}, 3},
      {"longer inputs", 12, {4, 5, 6}, 3},
      {"two classes", 12, {4, 5}, 2},
      {"seventeen classes", 13, {1}, 17},
      {"257 inputs", 14, std::vector<int32_t>(257, 1), 3},
  };
  for (const Question& q : questions) {
    SCOPED_TRACE(q.name);
    float chances[17];
    g_brain.Evaluate(q.key, q.inputs, q.n, chances);
    for (int j = 0; j < q.n; ++j) EXPECT_FLOAT_EQ(chances[j], 1.0f / static_cast<float>(q.n));
    EXPECT_EQ(g_brain.Digest(), digest);
  }
}

// A node of one input whose class 0 sits at distance z^2 and class 1 at 0 (prior 1 and 0):
// class 0's chance tells z^2.
void OneInputNode(float low) {
  CBrainNode node(1, 2);
  for (CBrainClass& c : node.classes) {
    c.bins[0].low = low;
    c.bins[0].width = 10.0f;
    for (int t = 0; t < kBrainBins; ++t) c.bins[0].scores[t] = 0.5f + static_cast<float>(t) / 9.0f;
    c.outOfRangeScore = 3.0f;
  }
  node.classes[0].prior = 1.0f;
  node.classes[0].matrix = {{1.0f}};
  g_brain.Table()[1] = node;
}

double ChanceForScore(double z) {
  const double e = std::exp(-z * z / 2.0);
  return (1.0 + e / (1.0 + e)) / 2.0;
}

TEST_F(BrainEvaluate, AnInputFallsInItsTenthOrOutsideTheRange) {
  struct Place {
    const char* name;
    float low;
    int32_t value;
    double score;
  } places[] = {
      {"a tenth of the width below the low edge", 0.0f, -1, -3.0},
      {"less than a tenth below", 0.5f, 0, 0.5},
      {"on the low edge", 0.0f, 0, 0.5},
      {"in the fourth tenth", 0.0f, 3, 0.5 + 3.0 / 9.0},
      {"in the last tenth", 0.0f, 9, 1.5},
      {"on the high edge", 0.0f, 10, 3.0},
      {"far above", 0.0f, 2000000000, 3.0},
      {"far below", 0.0f, -2000000000, -3.0},
  };
  for (const Place& place : places) {
    SCOPED_TRACE(place.name);
    OneInputNode(place.low);
    float p[2];
    g_brain.Evaluate(1, {place.value}, 2, p);
    EXPECT_NEAR(p[0], ChanceForScore(place.score), 1e-6);
    EXPECT_NEAR(p[0] + p[1], 1.0, 1e-6);
  }
}

TEST_F(BrainEvaluate, AClassFortyFartherThanTheNearestCountsNothing) {
  CBrainNode node(1, 3);
  const float matrices[3] = {0.0f, 40.0f, 100.0f};
  for (int j = 0; j < 3; ++j) {
    CBrainClass& c = node.classes[j];
    c.bins[0].low = 0.0f;
    c.bins[0].width = 10.0f;
    for (float& score : c.bins[0].scores) score = 1.0f;
    c.matrix = {{matrices[j]}};
    c.prior = j < 2 ? 0.5f : 0.0f;
  }
  g_brain.Table()[2] = node;
  float p[3];
  g_brain.Evaluate(2, {5}, 3, p);
  // Class 0 takes its prior whole; class 1 only its share of what the priors leave.
  EXPECT_FLOAT_EQ(p[0], 0.5f + 0.5f / 3.0f);
  EXPECT_FLOAT_EQ(p[1], 0.5f / 3.0f);
  EXPECT_FLOAT_EQ(p[2], 0.5f / 3.0f);
}

TEST_F(BrainEvaluate, ATwoInputNodeWorkedByHand) {
  CBrainNode node(2, 3);
  for (CBrainClass& c : node.classes) {
    for (CBrainBin& bin : c.bins) {
      bin.low = 0.0f;
      bin.width = 10.0f;
      for (int t = 0; t < kBrainBins; ++t) bin.scores[t] = static_cast<float>(t) * 0.1f - 0.45f;
    }
    c.outOfRangeScore = 2.0f;
  }
  node.classes[0].matrix = {{1.0f, 0.0f}, {0.0f, 1.0f}};
  node.classes[1].matrix = {{2.0f, 0.5f}, {0.5f, 2.0f}};
  node.classes[0].prior = 0.5f;
  node.classes[1].prior = 0.3f;
  node.classes[2].prior = 0.2f;
  g_brain.Table()[30] = node;
  float p[3];
  // Scores (-0.15, 2): distances 4.0225, 7.745 and 0.
  g_brain.Evaluate(30, {3, 12}, 3, p);
  EXPECT_NEAR(p[0], 0.312426, 2e-6);
  EXPECT_NEAR(p[1], 0.259882, 2e-6);
  EXPECT_NEAR(p[2], 0.427692, 2e-6);
}

TEST_F(BrainEvaluate, ALearntTableAnswersChancesThatSumToOne) {
  std::vector<ExperienceRecord> records;
  for (int i = 0; i < 600; ++i) records.push_back(Record(7, {i % 13, (i * 7) % 31, i % 5 - 2}, (i / 3) % 3));
  ASSERT_EQ(BuildBrainTable(records, g_brain.Table()), 0);
  for (int i = -40; i < 40; i += 3) {
    float p[3];
    g_brain.Evaluate(7, {i, 2 * i, i % 4}, 3, p);
    EXPECT_NEAR(p[0] + p[1] + p[2], 1.0f, 1e-6f);
    for (float chance : p) {
      EXPECT_GE(chance, 0.0f);
      EXPECT_LE(chance, 1.0f);
    }
  }
}

}  // namespace
