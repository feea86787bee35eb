// Processing: ranges from about 100 evenly spaced records of a class, recency weights, priors,
// normal scores with their empty end bins, out-of-range scores, inverted matrices, records
// unlike their key's first passed over; and the two numerical tools under it.
#include <gtest/gtest.h>

#include <cmath>

#include "BrainFixtures.h"
#include "ai/BrainProcessing.h"
#include "ai/BrainTableBytes.h"

namespace {

using namespace brain_test;

using ExperienceProcessing = StoreTest;

// Records of key 2 that only fill the file (they set how old the others are).
void Fill(std::vector<ExperienceRecord>& records, int count) {
  for (int i = 0; i < count; ++i) records.push_back(Record(2, {i}, i % 3));
}

BrainTable Built(const std::vector<ExperienceRecord>& records) {
  BrainTable table;
  EXPECT_EQ(BuildBrainTable(records, table), 0);
  return table;
}

TEST_F(ExperienceProcessing, AClassTakesItsRangesFromAboutAHundredEvenlySpacedRecords) {
  struct Sampling {
    int records;
    float high;  // the last used record's value + 0.5
  } samplings[] = {{1, 0.5f}, {99, 98.5f}, {100, 99.5f}, {250, 198.5f}, {299, 198.5f}, {300, 297.5f}};
  for (const Sampling& s : samplings) {
    SCOPED_TRACE(s.records);
    std::vector<ExperienceRecord> records;
    for (int i = 0; i < s.records; ++i) {
      records.push_back(Record(1, {i}, 0));
      if (i % 7 == 0) Fill(records, 1);  // other keys between them change nothing
    }
    const CBrainBin bin = Built(records).at(1).classes[0].bins[0];
    EXPECT_EQ(bin.low, -0.5f);
    EXPECT_EQ(bin.low + bin.width, s.high);
  }
}

TEST_F(ExperienceProcessing, TheOutOfRangeScoreGrowsWithTheClassUpToAHundredRecords) {
  struct Tail {
    int records;
    float score;
  } tails[] = {{1, 1.0f}, {2, 1.0f}, {10, 1.645f}, {100, 2.576f}, {250, 2.576f}};
  for (const Tail& tail : tails) {
    SCOPED_TRACE(tail.records);
    std::vector<ExperienceRecord> records;
    for (int i = 0; i < tail.records; ++i) records.push_back(Record(1, {i % 4}, 2));
    EXPECT_NEAR(Built(records).at(1).classes[2].outOfRangeScore, tail.score, 2e-3);
  }
}

TEST_F(ExperienceProcessing, ARecordAThousandOlderWeighsEToTheMinusOneAndInTheMatricesMinusTwo) {
  // Priors: class 0's record is 1000 records older than class 1's.
  std::vector<ExperienceRecord> records = {Record(1, {0}, 0)};
  Fill(records, 999);
  records.push_back(Record(1, {0}, 1));
  const CBrainNode priors = Built(records).at(1);
  const double old = std::exp(-1.0);
  EXPECT_NEAR(priors.classes[0].prior, old / (1.0 + old), 1e-6);
  EXPECT_NEAR(priors.classes[1].prior, 1.0 / (1.0 + old), 1e-6);
  EXPECT_EQ(priors.classes[2].prior, 0.0f);

  // Matrices: two records of one class, 1000 apart, whose two inputs are equal; the
  // off-diagonal element b of the moment matrix is not lifted, and its inverse holds
  // -b / (1 - b^2).
  records = {Record(3, {0, 0}, 0)};
  Fill(records, 999);
  records.push_back(Record(3, {10, 10}, 0));
  const CBrainClass moments = Built(records).at(3).classes[0];
  const float total = static_cast<float>(old) + 1.0f;
  const double zOld = InverseNormal(static_cast<float>(old) / 2.0f / total);
  const double zNew = InverseNormal((static_cast<float>(old) + 0.5f) / total);
  EXPECT_EQ(moments.bins[0].scores[0], static_cast<float>(zOld));
  EXPECT_EQ(moments.bins[0].scores[9], static_cast<float>(zNew));
  const double b = (std::exp(-2.0) * zOld * zOld + zNew * zNew) / total;
  EXPECT_NEAR(moments.matrix[0][1], -b / (1.0 - b * b), 1e-5);
  EXPECT_NEAR(moments.matrix[0][0], 1.0 / (1.0 - b * b), 1e-5);
  EXPECT_EQ(moments.matrix[0][1], moments.matrix[1][0]);
}

TEST_F(ExperienceProcessing, AKeyWhoseRecordsAllFallInOneClass) {
  std::vector<ExperienceRecord> records;
  for (int i = 0; i < 20; ++i) records.push_back(Record(5, {i, 20 - i}, 1));
  const CBrainNode node = Built(records).at(5);
  EXPECT_EQ(node.classes[1].prior, 1.0f);
  for (int j : {0, 2}) {
    EXPECT_EQ(node.classes[j].prior, 0.0f);
    EXPECT_EQ(node.classes[j].matrix, (std::vector<std::vector<float>>{{1.0f, 0.0f}, {0.0f, 1.0f}}));
    EXPECT_EQ(node.classes[j].bins[0].low, -0.5f);  // the default range
    EXPECT_EQ(node.classes[j].bins[0].width, 0.1f);
  }
  // The class seen is inverted: not the identity, and positive on its diagonal.
  EXPECT_NE(node.classes[1].matrix, node.classes[0].matrix);
  EXPECT_GT(node.classes[1].matrix[0][0], 0.0f);
  EXPECT_GT(node.classes[1].matrix[1][1], 0.0f);
}

TEST_F(ExperienceProcessing, EmptyEndBinsTakeTheNearestUsedScore) {
  CBrainBin bin;
  const float weights[kBrainBins] = {0, 0, 0, 1, 2, 3, 4, 0, 0, 0};
  std::copy(weights, weights + kBrainBins, bin.scores);
  WeightsToScores(bin);
  EXPECT_NEAR(bin.scores[3], -1.645f, 2e-3);  // half of 1 over 10
  EXPECT_NEAR(bin.scores[6], 0.8416f, 2e-3);  // 6 + 2 over 10
  for (int t : {0, 1, 2}) EXPECT_EQ(bin.scores[t], bin.scores[3]);
  for (int t : {7, 8, 9}) EXPECT_EQ(bin.scores[t], bin.scores[6]);
  EXPECT_LT(bin.scores[4], bin.scores[5]);
}

TEST_F(ExperienceProcessing, RecordsUnlikeTheirKeysFirstArePassedOver) {
  const std::vector<ExperienceRecord> records = {
      Record(6, {99, 99}, 5),            // unsound: outcome outside its classes
      Record(6, {99, 99}, 0, 0),         // unsound: no classes
      Record(6, {0, 0}, 0),              // the key's first sound record
      Record(6, {1000, 1000, 1000}, 0),  // three inputs
      Record(6, {1000, 1000}, 0, 4),     // four classes
      Record(6, {1000, 1000}, 3),        // outcome outside the classes
      Record(6, {5, 5}, 0),
  };
  const CBrainNode node = Built(records).at(6);
  EXPECT_EQ(node.inputCount, 2);
  EXPECT_EQ(node.classCount, 3);
  EXPECT_EQ(node.classes[0].prior, 1.0f);
  EXPECT_EQ(node.classes[0].bins[1].low, -0.5f);
  EXPECT_EQ(node.classes[0].bins[1].low + node.classes[0].bins[1].width, 5.5f);
  EXPECT_NEAR(node.classes[0].outOfRangeScore, 1.0f, 1e-6f);  // two records
}

TEST_F(ExperienceProcessing, TheFileIsReadUpToItsLastRecordThatMakesSense) {
  std::vector<uint8_t> data = RecordBytes({Record(1, {3}, 0), Record(1, {4}, 1)});
  const std::vector<uint8_t> impossible = {9, 0, 0, 0, 0xfb, 0xff, 0xff, 0xff, 1, 2, 3, 4};
  data.insert(data.end(), impossible.begin(), impossible.end());
  WriteFile(kExperienceFileName, data);
  int steps = 0;
  EXPECT_EQ(g_brain.ProcessExperience([&] { ++steps; }), 0);
  EXPECT_EQ(steps, 7);
  ASSERT_EQ(g_brain.Table().size(), 1u);
  EXPECT_FLOAT_EQ(g_brain.Table().at(1).classes[0].prior + g_brain.Table().at(1).classes[1].prior, 1.0f);
  // No records: an empty table.
  g_brain.Evaluate(4, {1}, 3, std::vector<float>(3).data());
  WriteFile(kExperienceFileName, {});
  EXPECT_EQ(g_brain.ProcessExperience(), 0);
  EXPECT_TRUE(g_brain.Table().empty());
  // No file: -1, and the table in use stays.
  g_brain.Evaluate(4, {1}, 3, std::vector<float>(3).data());
  platform::RemoveFile(kExperienceFileName);
  EXPECT_EQ(g_brain.ProcessExperience(), -1);
  EXPECT_EQ(g_brain.Table().size(), 1u);
}

TEST_F(ExperienceProcessing, KeysWithoutInputsAndInputsFarFromZeroMakeASoundTable) {
  std::vector<ExperienceRecord> records;
  for (int i = 0; i < 30; ++i) {
    records.push_back(Record(1, {}, i % 3));
    records.push_back(Record(2, {2000000000 + (i % 2) * 64, -2000000000, 7}, i % 2));
  }
  WriteFile(kExperienceFileName, RecordBytes(records));
  ASSERT_EQ(g_brain.ProcessExperience(), 0);
  EXPECT_EQ(g_brain.Table().at(1).inputCount, 0);
  for (const CBrainClass& c : g_brain.Table().at(2).classes)
    for (const CBrainBin& bin : c.bins) EXPECT_GT(bin.width, 0.0f);
  // It saves, loads and answers.
  ASSERT_EQ(g_brain.Save(), 0);
  ASSERT_EQ(g_brain.Load(kBrainFileName), 0);
  float p[3];
  g_brain.Evaluate(2, {2000000000, -2000000000, 7}, 3, p);
  EXPECT_NEAR(p[0] + p[1] + p[2], 1.0f, 1e-6f);
  // Without inputs every class is as near as any other: the chances are the priors' (about
  // even here), each with its share of what is left.
  g_brain.Evaluate(1, {}, 3, p);
  const std::vector<CBrainClass>& classes = g_brain.Table().at(1).classes;
  for (int j = 0; j < 3; ++j) EXPECT_NEAR(p[j], classes[j].prior / 3.0f + 2.0f / 9.0f, 1e-6f);
}

TEST(InverseNormal, GivesTheStandardNormalQuantile) {
  struct Quantile {
    float p, x;
  } quantiles[] = {{0.5f, 0.0f},        {0.975f, 1.95996f}, {0.025f, -1.95996f},
                   {0.005f, -2.57583f}, {0.8413447f, 1.0f}, {0.0000009f, -5.0f},
                   {0.9999991f, 5.0f},  {0.0f, -5.0f},      {1.0f, 5.0f}};
  for (const Quantile& q : quantiles) {
    SCOPED_TRACE(q.p);
    EXPECT_NEAR(InverseNormal(q.p), q.x, 1e-3);
  }
  EXPECT_EQ(InverseNormal(std::nanf("")), 0.0f);
}

TEST(InvertMatrix, InvertsWithoutRowExchanges) {
  std::vector<std::vector<float>> a = {{4, 2, 0}, {2, 5, 1}, {0, 1, 3}};
  const auto original = a;
  ASSERT_EQ(InvertMatrix(a), 0);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      float product = 0;
      for (int k = 0; k < 3; ++k) product += original[i][k] * a[k][j];
      EXPECT_NEAR(product, i == j ? 1.0f : 0.0f, 1e-6f);
      EXPECT_EQ(a[i][j], a[j][i]);  // exactly symmetric
    }
  std::vector<std::vector<float>> upper = {{2, 1}, {0, 4}};
  ASSERT_EQ(InvertMatrix(upper), 0);
  EXPECT_EQ(upper, (std::vector<std::vector<float>>{{0.5f, -0.125f}, {0.0f, 0.25f}}));

  struct Refused {
    const char* name;
    std::vector<std::vector<float>> matrix;
    int status;
  } refused[] = {{"no rows", {}, -2},
                 {"a row too short", {{1, 0}, {0}}, -2},
                 {"a zero pivot", {{0}}, -1},
                 {"not positive definite", {{1, 2}, {2, 1}}, -1},
                 {"a pivot that is no number", {{std::nanf("")}}, -1}};
  for (Refused& r : refused) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(InvertMatrix(r.matrix), r.status);
  }
}

}  // namespace
