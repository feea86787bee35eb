// The situation measures over hand-made groups, and the end ticks of decisions.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

#include "AIField.h"
#include "ai/AICertainty.h"
#include "ai/AIMeasures.h"
#include "creatures/SpellDefinition.h"

namespace {

using ai_test::AIGroups;

class Measures : public AIGroups {};

TEST_F(Measures, TheListIsAnsweredInOrderAndUnknownIdsMeasureZero) {
  CCreature& a = Place(1, 1, 5, 5);
  a.health = 40;
  CAIGroupNode* group = Group({&a});
  std::vector<int32_t> out = {7, 7, 7};
  EXPECT_EQ(ComputeGroupMeasures(group, nullptr, 0, out, {}), 0);
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(ComputeGroupMeasures(group, nullptr, 0, out, {2, 2, 124, 0, -2, 1}), 6);
  EXPECT_EQ(out, (std::vector<int32_t>{40, 40, 0, 0, 0, 1}));
}

TEST_F(Measures, AveragesDivideWholeNumbersAndIllusionsOfTheOwnGroupCountHalf) {
  CCreature& a = Place(1, 1, 5, 5);
  CCreature& b = Place(1, 1, 6, 5);
  a.health = 100;
  b.health = 51;
  EXPECT_EQ(GroupMeasure(Group({&a, &b}), nullptr, 2), 75);

  CCreature& ghost = Place(2, 1, 8, 8);
  ghost.illusion = 1;
  ghost.strength.hthAll = 9;
  CAIGroupNode* alone = Group({&ghost});
  EXPECT_EQ(GroupMeasure(alone, nullptr, 4), 4);   // own: halved
  EXPECT_EQ(GroupMeasure(nullptr, alone, 61), 9);  // the enemy's: as it is
  EXPECT_EQ(GroupMeasure(alone, nullptr, 56), 1);  // NILLUSIONS
  EXPECT_EQ(GroupMeasure(alone, nullptr, 57), 100);
  EXPECT_EQ(GroupMeasure(nullptr, nullptr, 2), 0);  // no creature: nothing divided
}

TEST_F(Measures, CountsFlagsAndTheSpreadOfAGroup) {
  CCreature& w1 = Place(0, 1, 1, 5);
  CCreature& w2 = Place(0, 1, 46, 5);  // three tiles away across the seam
  CCreature& c = Place(1, 1, 1, 9);
  CAIGroupNode* group = Group({&w1, &w2, &c});
  EXPECT_EQ(GroupMeasure(group, nullptr, 20), 2);  // NWIZARDS
  EXPECT_EQ(GroupMeasure(group, nullptr, 36), 1);  // WIZARD_IN_GROUP
  EXPECT_EQ(GroupMeasure(group, nullptr, 1), 3);
  EXPECT_EQ(GroupMeasure(Group({&c}), nullptr, 26), 0);
  EXPECT_EQ(GroupMeasure(Group({&w1, &w2}), nullptr, 26), 9);
  EXPECT_EQ(GroupMeasure(group, nullptr, 26), 9 + 16);  // w2 to c: 3 and 4 tiles
  EXPECT_EQ(GroupMeasure(nullptr, group, 83), 25);
}

TEST_F(Measures, SpecificStrengthsAverageOverPairsAndIronSkinTakesItsShare) {
  CCreature& own = Place(5, 1, 5, 5);
  CCreature& foe = Place(1, 2, 7, 5);
  CCreature& armoured = Place(1, 2, 8, 5);
  armoured.ironSkin = 1;
  const int rating = own.GetHthRating(1, 0);
  ASSERT_GT(rating, 0);
  CAIGroupNode* mine = Group({&own});
  CAIGroupNode* theirs = Group({&foe, &armoured});
  struct Case {
    int strength;
    int expected;
  } const cases[] = {{0, rating}, {40, (rating + rating * 60 / 100) / 2}, {100, rating / 2}, {150, rating / 2}};
  for (const Case& c : cases) {
    g_spellDefs[74].SpellStrength = c.strength;
    EXPECT_EQ(GroupMeasure(mine, theirs, 6), c.expected) << c.strength;
  }
  own.illusion = 1;
  g_spellDefs[74].SpellStrength = 0;
  EXPECT_EQ(GroupMeasure(mine, theirs, 6), rating / 2);  // the pair sum halved, both pairs counted
}

TEST_F(Measures, SumsPastTheWholeNumbersStopAtTheirEnd) {
  CCreature& a = Place(1, 1, 5, 5);
  CCreature& b = Place(1, 1, 6, 5);
  CCreature& c = Place(1, 1, 7, 5);
  for (CCreature* x : {&a, &b, &c}) x->strength.hthAll = x->strength.defence = INT_MAX;
  CAIGroupNode* group = Group({&a, &b, &c});
  EXPECT_EQ(GroupMeasure(group, nullptr, 28), INT_MAX);
  EXPECT_EQ(GroupMeasure(group, nullptr, 31), INT_MAX);
  EXPECT_EQ(GroupMeasure(group, nullptr, 4), INT_MAX);  // the average of three INT_MAX
}

TEST_F(Measures, TheWizardMeasuresCountTheArmysLivingTroops) {
  CCreature& wizard = PlaceWizard(1, 5, 5);
  wizard.health = 150;
  wizard.mana = 33 * 256 + 200;
  wizard.maxMana = 80;
  CCreature& scout = Place(1, 1, 6, 5);
  Place(2, 1, 7, 5);
  CCreature& dead = Place(3, 1, 8, 5);
  dead.health = 0;
  Place(4, 2, 9, 5);   // another army's
  Place(0, 1, 10, 5);  // a second wizard of the army
  CAIGroupNode* group = Group({&scout});
  EXPECT_EQ(GroupMeasure(group, nullptr, 112), 2);
  EXPECT_EQ(GroupMeasure(group, nullptr, 116), scout.type->MagicResist);
  EXPECT_EQ(GroupMeasure(group, nullptr, 117), 33);
  EXPECT_EQ(GroupMeasure(group, nullptr, 118), 80);
  EXPECT_EQ(GroupMeasure(group, nullptr, 122), 150);
  EXPECT_EQ(GroupMeasure(group, nullptr, 123), wizard.GetMaxHealth());
  g_armyTable.armies[1].wizardCreature = -1;
  EXPECT_EQ(GroupMeasure(group, nullptr, 112), 0);  // no wizard: nothing
}

// The invisibility a group can count on: what its members have, and the casts of the
// invisibility spell a wizard's whole mana buys, each lasting its duration. A cast that costs
// nothing is counted as costing one.
TEST_F(Measures, InvisibilityCountsTheCastsTheWizardsManaBuys) {
  constexpr int kInvisibility = 85;
  CCreature& wizard = PlaceWizard(1, 5, 5);
  wizard.mana = 10 * 256 + 255;  // ten whole units
  wizard.invisible = 3;
  g_spellDefs[kInvisibility].Duration = 7;
  CAIGroupNode* group = Group({&wizard});
  struct Case {
    int cost;
    bool permitted;
    int measure;
  };
  const Case cases[] = {{2, true, 3 + 5 * 7},  {3, true, 3 + 3 * 7},   {1, true, 3 + 10 * 7},
                        {0, true, 3 + 10 * 7}, {-4, true, 3 + 10 * 7}, {2, false, 3}};
  for (const Case& c : cases) {
    g_spellDefs[kInvisibility].ManaCost = c.cost;
    g_spellDefs[kInvisibility].Sightings[1][1] = c.permitted ? 1 : 0;  // may it cast it on its own side
    EXPECT_EQ(GroupMeasure(group, nullptr, 24), c.measure) << c.cost << " " << c.permitted;
    EXPECT_EQ(GroupMeasure(group, group, 81), c.measure) << c.cost << " " << c.permitted;
  }
  EXPECT_EQ(GroupMeasure(nullptr, group, 81), 3);  // no group A: nobody to cast at
}

TEST_F(Measures, AnEvaluationFoldsEachTermsMeasure) {
  CCreature& a = Place(1, 1, 5, 5);
  a.health = 14;
  SetPair(2, 10.0f, 4.0f);
  SetPair(1, 1.0f, 1.0f);
  float weight = 0.0f, certainty = 0.0f;
  EXPECT_NEAR(EvaluateMeasures(Group({&a}), nullptr, weight, certainty, {{1.0, 2}}), 0.5f, 1e-6f);
  weight = 0.0f;
  EvaluateMeasures(Group({&a}), nullptr, weight, certainty, {{1.0, -2}, {1.0, 1}});  // -0.5, then 0
  EXPECT_NEAR(certainty, std::tanh(0.5f * std::atanh(-0.5f)), 1e-6f);
  EXPECT_EQ(weight, 2.0f);
}

TEST_F(Measures, ADecisionEndsAfterItsTypesTicksAndHalfItsGroup) {
  std::vector<CCreature*> five;
  for (int i = 0; i < 5; ++i) five.push_back(&Place(1, 1, 5 + i, 5));
  CAIGroupNode* group = Group(five);
  const std::pair<int, int> cases[] = {{7, 110},  {9, 103},  {10, 103}, {13, 103}, {6, 106}, {8, 107},
                                       {11, 106}, {12, 105}, {14, 105}, {30, 106}, {0, 106}};
  for (const auto& [type, end] : cases) EXPECT_EQ(GetDecisionEndTick(100, type, group), end) << type;
}

}  // namespace
