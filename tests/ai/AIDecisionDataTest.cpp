// The decision data of cfg\ai.cfg: how a key's value reads, what a missing file gives, and
// what the forge writes.
#include <gtest/gtest.h>

#include <string>

#include "ai/AIDecisionData.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

namespace {

class AIDecisionData : public ::testing::Test {
 protected:
  void SetUp() override { ClearAIDecisionData(); }
  void TearDown() override { ClearAIDecisionData(); }
};

struct ValueCase {
  const char* text;
  int set;  // entries set
  float reference, range;
};

TEST_F(AIDecisionData, AValueReadsAsReferenceCommaRange) {
  const ValueCase cases[] = {
      {"5 ,3", 2, 5.0f, 3.0f},
      {"5,3", 2, 5.0f, 3.0f},
      {"5 , 3", 2, 5.0f, 3.0f},
      {"  -2.5 ,0.75", 2, -2.5f, 0.75f},
      {"7", 1, 7.0f, 0.0f},
      {"7 ;3", 1, 7.0f, 0.0f},
      {"7 ,words", 1, 7.0f, 0.0f},
      {"words", 0, 0.0f, 0.0f},
      {"", 0, 0.0f, 0.0f},
      {", 3", 0, 0.0f, 0.0f},
      // Numbers the folds could not truncate to a whole number set nothing of their own.
      {"nan ,3", 0, 0.0f, 0.0f},
      {"inf ,3", 0, 0.0f, 0.0f},
      {"-inf", 0, 0.0f, 0.0f},
      {"1e30 ,3", 0, 0.0f, 0.0f},
      {"1e99 ,3", 0, 0.0f, 0.0f},
      {"4 ,nan", 1, 4.0f, 0.0f},
      {"4 ,1e30", 1, 4.0f, 0.0f},
      {"4 ,-inf", 1, 4.0f, 0.0f},
  };
  for (const ValueCase& c : cases) {
    ClearAIDecisionData();
    EXPECT_EQ(ApplyAIDecisionValue(1, c.text), c.set) << c.text;
    EXPECT_EQ(g_aiMeasureReference[1], c.reference) << c.text;
    EXPECT_EQ(g_aiMeasureRange[1], c.range) << c.text;
  }
}

TEST_F(AIDecisionData, OnlyIdsOneToOneHundredTwentyNineTakeValues) {
  EXPECT_EQ(ApplyAIDecisionValue(0, "5 ,3"), 0);
  EXPECT_EQ(ApplyAIDecisionValue(130, "5 ,3"), 0);
  EXPECT_EQ(ApplyAIDecisionValue(-1, "5 ,3"), 0);
  EXPECT_EQ(ApplyAIDecisionValue(129, nullptr), 0);
  EXPECT_EQ(g_aiMeasureReference[0], 0.0f);
}

TEST_F(AIDecisionData, KeysAreNamedByTheirMeasureIds) {
  const std::pair<int, const char*> keys[] = {
      {1, "OG_NCREATURES"},
      {54, "OG_SP_EVADER"},
      {55, "OG_AVERAGE_DANGER"},
      {57, "OG_PERCENT_ILLUSIONS"},
      {58, "EG_NCREATURES"},
      {83, "EG_SPREAD"},
      {111, "EG_SP_EVADER"},
      {112, "WA_NCREATURES"},
      {123, "WA_WIZARD_MAXHEALTH"},
      {124, "SC_MANA_REMAINING"},
      {129, "SC_CHANCE"},
      {0, ""},
      {130, ""},
  };
  for (const auto& [id, name] : keys) EXPECT_EQ(AIMeasureKeyName(id), name) << id;
}

TEST_F(AIDecisionData, AFileSetsTheKeysItHoldsAndLeavesTheRestAtZero) {
  testing_support::TempDir dir(true);
  platform::MakeDirectory("cfg");
  const std::string text =
      "[EMPIRICAL_DECISION_DATA]\nOG_NCREATURES=5 ,3\nEG_SPREAD=100,50\nSC_CHANCE=50 , 25\nWA_MANA=12\n"
      "OG_MANA=nan ,4\n[OTHER]\nOG_MAXMANA=9 ,9\n";
  platform::WriteWholeFile("cfg/ai.cfg", text.data(), text.size());
  EXPECT_EQ(LoadAIDecisionData("cfg\\ai.cfg"), 1);
  EXPECT_EQ(g_aiMeasureReference[1], 5.0f);
  EXPECT_EQ(g_aiMeasureRange[1], 3.0f);
  EXPECT_EQ(g_aiMeasureReference[83], 100.0f);
  EXPECT_EQ(g_aiMeasureRange[83], 50.0f);
  EXPECT_EQ(g_aiMeasureReference[129], 50.0f);  // read although no measure computes it
  EXPECT_EQ(g_aiMeasureRange[129], 25.0f);
  EXPECT_EQ(g_aiMeasureReference[117], 12.0f);
  EXPECT_EQ(g_aiMeasureRange[117], 0.0f);
  EXPECT_EQ(g_aiMeasureReference[9], 0.0f);   // nan sets nothing
  EXPECT_EQ(g_aiMeasureReference[10], 0.0f);  // another section's key
  EXPECT_EQ(g_aiMeasureReference[0], 0.0f);
}

TEST_F(AIDecisionData, AMissingFileLoadsAsZerosWithoutABox) {
  testing_support::TempDir dir(true);
  testing_support::BoxRecorder boxes;
  EXPECT_EQ(LoadAIDecisionData("cfg\\ai.cfg"), 1);
  EXPECT_EQ(boxes.Count(), 0u);
  for (int id = 0; id < kAIMeasureCount; ++id) {
    EXPECT_EQ(g_aiMeasureReference[id], 0.0f);
    EXPECT_EQ(g_aiMeasureRange[id], 0.0f);
  }
}

TEST_F(AIDecisionData, TheForgedFileGivesEveryKeyARangeOfAtLeastOne) {
  testing_support::TempDir dir(true);
  platform::ChangeDirectory(testing_support::ForgedDataDir());
  LoadAIDecisionData("cfg\\ai.cfg");
  platform::ChangeDirectory(dir.Path());
  for (int id = 1; id < kAIMeasureCount; ++id)
    EXPECT_GE(static_cast<int>(g_aiMeasureRange[id]), 1) << AIMeasureKeyName(id);
  EXPECT_EQ(g_aiMeasureReference[0], 0.0f);
  EXPECT_EQ(g_aiMeasureRange[0], 0.0f);
  // An enemy measure takes its own-group twin's pair.
  EXPECT_EQ(g_aiMeasureReference[2], g_aiMeasureReference[59]);
  EXPECT_EQ(g_aiMeasureRange[2], g_aiMeasureRange[59]);
  EXPECT_GT(g_aiMeasureReference[2], 0.0f);
}

}  // namespace
