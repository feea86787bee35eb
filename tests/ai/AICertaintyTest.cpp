// Folding measures into a certainty, the spell-cast adjustment, and the wizard's bias.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "AIField.h"
#include "ai/AICertainty.h"
#include "creatures/SpellDefinition.h"

namespace {

using ai_test::AIField;

class Certainty : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearAIDecisionData();
    g_aiMeasureReference[1] = 10.0f;
    g_aiMeasureRange[1] = 4.0f;
  }
  void TearDown() override { ClearAIDecisionData(); }
};

struct FoldCase {
  const char* what;
  int id, value;
  float h;
};

TEST_F(Certainty, AFirstFoldGivesTheMeasuresDeviationWhateverCameBefore) {
  const FoldCase cases[] = {
      {"one range above", 1, 14, 0.5f}, {"one range below", 1, 6, -0.5f},  {"negated above", -1, 14, -0.5f},
      {"negated below", -1, 6, 0.5f},   {"at the reference", 1, 10, 0.0f}, {"three ranges above", 1, 22, 0.75f},
  };
  for (const FoldCase& c : cases) {
    float weight = 0.0f, certainty = 0.9f;
    FoldMeasure(c.id, c.value, 2.0f, weight, certainty);
    EXPECT_NEAR(certainty, c.h, 1e-6f) << c.what;
    EXPECT_EQ(weight, 2.0f) << c.what;
  }
}

TEST_F(Certainty, ReferencesAndRangesCountAsWholeNumbers) {
  g_aiMeasureReference[2] = 5.9f;  // 5
  g_aiMeasureRange[2] = 3.7f;      // 3
  float weight = 0.0f, certainty = 0.0f;
  FoldMeasure(2, 8, 1.0f, weight, certainty);
  EXPECT_NEAR(certainty, 0.5f, 1e-6f);
}

TEST_F(Certainty, LaterFoldsAverageInTheSpaceOfArtanhByWeight) {
  float weight = 0.0f, certainty = 0.0f;
  FoldMeasure(1, 14, 1.0f, weight, certainty);
  FoldMeasure(1, 6, 1.0f, weight, certainty);
  EXPECT_NEAR(certainty, 0.0f, 1e-6f);  // equal and opposite

  weight = 0.0f;
  FoldMeasure(1, 14, 1.0f, weight, certainty);
  FoldMeasure(1, 10, 1.0f, weight, certainty);  // at the reference: pulled toward 0 by half
  EXPECT_NEAR(certainty, std::tanh(0.5f * std::atanh(0.5f)), 1e-6f);

  weight = 0.0f;
  FoldMeasure(1, 14, 3.0f, weight, certainty);
  FoldMeasure(-1, 22, 1.0f, weight, certainty);
  EXPECT_NEAR(certainty, std::tanh(0.75f * std::atanh(0.5f) + 0.25f * std::atanh(-0.75f)), 1e-6f);
  EXPECT_EQ(weight, 4.0f);
}

TEST_F(Certainty, ZeroOverZeroEndsAtZeroAndStillAddsTheWeight) {
  // Range 0 at the reference: the deviation is 0 / 0.
  float weight = 2.0f, certainty = 0.8f;
  FoldMeasure(5, 0, 1.0f, weight, certainty);
  EXPECT_EQ(certainty, 0.0f);
  EXPECT_EQ(weight, 3.0f);
  // No weight before and none now: the shares are 0 / 0.
  weight = 0.0f;
  certainty = 0.8f;
  FoldMeasure(1, 14, 0.0f, weight, certainty);
  EXPECT_EQ(certainty, 0.0f);
  EXPECT_EQ(weight, 0.0f);
}

TEST_F(Certainty, ExtremeValuesAndTablesStayFiniteAndInRange) {
  const float tables[][2] = {{1e9f, 1.0f}, {-3e9f, 2e9f}, {0.0f, -5.0f}, {2e9f, 3e9f}};
  const int values[] = {INT_MIN, INT_MAX, 0, -1};
  for (const auto& pair : tables) {
    g_aiMeasureReference[3] = pair[0];
    g_aiMeasureRange[3] = pair[1];
    for (int value : values) {
      float weight = 1.0f, certainty = 0.3f;
      FoldMeasure(-3, value, 1.0f, weight, certainty);
      EXPECT_TRUE(certainty >= -1.0f && certainty <= 1.0f) << pair[0] << " " << pair[1] << " " << value;
    }
  }
  float weight = 1.0f, certainty = 0.3f;
  FoldMeasure(INT_MIN, 5, 1.0f, weight, certainty);  // no such measure: reference and range 0
  EXPECT_TRUE(certainty >= -1.0f && certainty <= 1.0f);
}

TEST_F(Certainty, TheOddsFactorMultipliesTheOdds) {
  EXPECT_NEAR(ApplyOddsFactor(3.0f, 0.0f), 0.5f, 1e-6f);
  EXPECT_NEAR(ApplyOddsFactor(1.0f, 0.37f), 0.37f, 1e-6f);
  EXPECT_NEAR(ApplyOddsFactor(0.0f, 0.5f), -1.0f, 1e-6f);
  EXPECT_TRUE(std::isnan(ApplyOddsFactor(0.0f, 1.0f)));  // 0 / 0
}

class SpellCertainty : public AIField {
 protected:
  void SetUp() override {
    AIField::SetUp();
    caster_ = &PlaceWizard(1, 5, 5);
    caster_->maxMana = 100;
    caster_->mana = 40 * 256 + 100;  // 40 whole mana and a fraction
    // Every term of the cost at its reference: the folds leave 0 at 0.
    SetPair(124, 40.0f, 10.0f);
    SetPair(125, 0.0f, 10.0f);
    SetPair(126, static_cast<float>(g_spellDefs[kSpell].ManaCost), 10.0f);
  }
  static constexpr int kSpell = 85;
  CCreature* caster_ = nullptr;
};

TEST_F(SpellCertainty, AFactorOfThreeTurnsZeroIntoAHalfBeforeAJitterOfAtMostFiveHundredths) {
  g_spellDefs[kSpell].AI_Adjustment = 3.0f;
  bool moved = false;
  for (int draw = 0; draw < 100; ++draw) {
    float weight = 6.0f, certainty = 0.0f;
    AdjustSpellCertainty(*caster_, kSpell, weight, certainty, 1);
    EXPECT_NEAR(certainty, 0.5f, 0.0501f);
    EXPECT_GE(certainty, 0.5f - 0.0501f);
    EXPECT_LE(certainty, 0.5f + 0.0491f);
    moved = moved || std::fabs(certainty - 0.5f) > 1e-4f;
    // Each fold adds its own share of the weight as the last one left it.
    const float expected = 6.0f * 1.1f * 1.05f * (1.0f + 1.0f / 6.0f);
    EXPECT_NEAR(weight, expected, 1e-4f);
  }
  EXPECT_TRUE(moved);
}

TEST_F(SpellCertainty, TheResultNeverLeavesMinusOneToOne) {
  const float starts[] = {1.0f, -1.0f, 0.999f, -0.999f};
  const float factors[] = {1.0f, 50.0f, 0.02f};
  for (float factor : factors) {
    g_spellDefs[kSpell].AI_Adjustment = factor;
    for (float start : starts)
      for (int draw = 0; draw < 20; ++draw) {
        float weight = 4.0f, certainty = start;
        AdjustSpellCertainty(*caster_, kSpell, weight, certainty, 2);
        EXPECT_TRUE(certainty >= -1.0f && certainty <= 1.0f) << factor << " " << start;
      }
  }
}

TEST_F(SpellCertainty, AFactorOfZeroAtCertaintyOneGivesMinusOne) {
  g_spellDefs[kSpell].AI_Adjustment = 0.0f;
  float weight = 4.0f, certainty = 1.0f;  // folds keep a certainty of 1
  AdjustSpellCertainty(*caster_, kSpell, weight, certainty, 1);
  EXPECT_EQ(certainty, -1.0f);
}

class WizardBias : public AIField {};

TEST_F(WizardBias, ThePercentageScalesTheCertainty) {
  PlaceWizard(2, 8, 8);
  struct Case {
    int percent;
    float before, after;
  } const cases[] = {
      {50, 1.0f, 0.0f},    {50, 0.0f, -0.5f}, {200, 0.0f, 0.999f}, {150, 0.9f, 0.999f},
      {100, 0.42f, 0.42f}, {0, 0.7f, -1.0f},  {300, -1.0f, -1.0f},
  };
  for (const Case& c : cases) {
    WizardRecord(2).weights[8 - 6] = c.percent;
    float certainty = c.before;
    ApplyWizardDecisionBias(8, certainty, 2);
    EXPECT_NEAR(certainty, c.after, 1e-6f) << c.percent << " " << c.before;
  }
  float certainty = 0.3f;
  ApplyWizardDecisionBias(8, certainty, 3);  // no wizard
  EXPECT_EQ(certainty, 0.3f);
}

TEST_F(WizardBias, ATypeIsAllowedWhileTheWizardsPercentageIsNotZero) {
  PlaceWizard(2, 8, 8);
  WizardRecord(2).weights[9 - 6] = 0;
  EXPECT_EQ(IsDecisionTypeEnabled(9, 2), 0);
  for (int type : {6, 7, 8, 10, 11, 12, 13, 14}) EXPECT_EQ(IsDecisionTypeEnabled(type, 2), 1) << type;
  for (int type : {0, 5, 15, 59}) EXPECT_EQ(IsDecisionTypeEnabled(type, 2), 0) << type;
  EXPECT_EQ(IsDecisionTypeEnabled(6, 3), 0);   // no wizard
  EXPECT_EQ(IsDecisionTypeEnabled(6, -1), 0);  // no army
}

}  // namespace
