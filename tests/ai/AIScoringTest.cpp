// Rating a candidate creature, finding a spell's spot, and the small queries.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>

#include "AIField.h"
#include "ai/AICertainty.h"
#include "ai/AIGroupBuilder.h"
#include "ai/AIMeasures.h"
#include "ai/AIQueries.h"
#include "ai/AIScoring.h"
#include "creatures/SpellDefinition.h"
#include "forge/TerrainTypes.h"
#include "magic/EffectManager.h"
#include "map/Map.h"

namespace {

using ai_test::AIGroups;

class Scoring : public AIGroups {
 protected:
  void SetUp() override {
    AIGroups::SetUp();
    // Every measure one unit from neutral; danger well above its reference, so that a
    // defender is wanted and a fighter is not.
    for (int id = 1; id < kAIMeasureCount; ++id) SetPair(id, 0.0f, 1.0f);
    SetPair(55, -10.0f, 1.0f);
    wizard_ = &PlaceWizard(1, 5, 5);
    PlaceWizard(2, 30, 30);
    candidate_ = &Place(9, 1, 6, 5);
    // The candidate's speed, strengths and flight at their references: the general need
    // then rests on danger and health alone.
    CAIGroupNode* alone = Group({candidate_});
    for (int id : {3, 4, 5, 18}) SetPair(id, static_cast<float>(GroupMeasure(alone, nullptr, id)), 1.0f);
    enemies_ = Group({});
    targets_ = Group({});
  }
  float Score(CCreature& candidate) {
    return builder.ScoreGroup(*wizard_, candidate, nullptr, enemies_, targets_, 0.0f);
  }
  CAIGroupNode* enemies_ = nullptr;
  CAIGroupNode* targets_ = nullptr;
  CCreature* wizard_ = nullptr;
  CCreature* candidate_ = nullptr;
};

TEST_F(Scoring, AHolderNeverTakesTheDefendersScore) {
  const float asDefender = Score(*candidate_);
  candidate_->typeNumber = 8;  // the same creature, counted as a holder
  const float asHolder = Score(*candidate_);
  EXPECT_GT(asDefender, 0.0f);
  EXPECT_LT(asHolder, asDefender);
  const size_t before = nodes.size();
  Score(*candidate_);
  EXPECT_EQ(nodes.size(), before);  // the candidate's leaf does not stay behind
}

TEST_F(Scoring, OnlySpellsSeenFromHostileWizardsCorrectTheScore) {
  const float plain = Score(*candidate_);
  g_spellDefs[54].Sightings[2][1] = 1;  // army 2 saw army 1 cast it: not what counts
  g_spellDefs[33].Sightings[1][3] = 1;  // army 3 has no wizard
  EXPECT_EQ(Score(*candidate_), plain);
  g_spellDefs[54].Sightings[1][2] = 1;  // the wizard's side saw the rival cast it
  EXPECT_NE(Score(*candidate_), plain);
  g_armyTable.armies[1].SetAlliance(2, 1);  // allies' spells do not count
  EXPECT_EQ(Score(*candidate_), plain);
}

// Without a hostile wizard seen casting any of the spells that correct it, the score is the best
// of the three certainties: the general need, the fighter and the defender, each as its terms
// build it over the candidate alone. Each case makes another of the three the best.
TEST_F(Scoring, WithoutSeenSpellsTheBestOfTheThreeStands) {
  struct Three {
    float need, fighter, defender;
  };
  const auto three = [&](CCreature& candidate, float prior) {
    CAIGroupNode* leaf = builder.NewLeafNode(&candidate);
    const int danger = wizard_->RateCurrentNode();
    const std::initializer_list<MeasureTerm> match = {{3, 6}, {3, 7}, {3, -63}, {3, -64}};
    Three t{0.0f, prior, -1.0f};
    float w = 0.0f;
    EvaluateMeasures(nullptr, enemies_, w, t.need, {{3, -77}, {2, -58}, {1, -112}});
    FoldMeasure(-55, danger, 2.0f, w, t.need);
    EvaluateMeasures(leaf, enemies_, w, t.need, {{3, 3}, {1, 18}, {1, 5}, {0.5, 4}, {0.5, 2}});
    w = 8.0f;
    FoldMeasure(-55, danger, 2.0f, w, t.fighter);
    EvaluateMeasures(leaf, targets_, w, t.fighter, match);
    EvaluateMeasures(leaf, enemies_, w, t.fighter, {{3, 3}});
    if (candidate.typeNumber != 8) {
      w = 8.0f;
      t.defender = prior;
      FoldMeasure(55, danger, 2.0f, w, t.defender);
      EvaluateMeasures(leaf, targets_, w, t.defender, match);
      EvaluateMeasures(leaf, enemies_, w, t.defender, {{2, 2}});
    }
    builder.DeleteGroup(leaf);
    return t;
  };
  enum Best { kNeed, kFighter, kDefender };
  struct Case {
    const char* name;
    float dangerReference, needReference;
    int type;
    float prior;
    Best best;
  };
  const Case cases[] = {
      {"danger above its reference: a defender", -10.0f, -50.0f, 9, 0.0f, kDefender},
      {"danger below its reference: a fighter", 10.0f, -50.0f, 9, 0.0f, kFighter},
      {"a holder where a defender is wanted", -10.0f, 0.0f, 8, -0.5f, kNeed},
      {"an army short of creatures", 10.0f, 50.0f, 9, 0.0f, kNeed},
  };
  // Sightings of spells that correct nothing, and of a corrected one by an ally, change nothing.
  g_spellDefs[34].Sightings[1][2] = 1;
  UseArmy(3);
  PlaceWizard(3, 40, 10);
  g_armyTable.armies[1].SetAlliance(3, 1);
  g_spellDefs[54].Sightings[1][3] = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetPair(55, c.dangerReference, 1.0f);
    for (int id : {77, 58, 112}) SetPair(id, c.needReference, 1.0f);
    candidate_->typeNumber = c.type;
    const Three t = three(*candidate_, c.prior);
    const float expected = std::max(t.fighter, t.defender) >= t.need ? std::max(t.fighter, t.defender) : t.need;
    const float score = builder.ScoreGroup(*wizard_, *candidate_, nullptr, enemies_, targets_, c.prior);
    EXPECT_EQ(score, expected);
    const float best[] = {t.need, t.fighter, t.defender};
    for (int other = 0; other < 3; ++other)
      if (other != c.best) EXPECT_GT(best[c.best], best[other]) << other;
  }
}

class SpellSpots : public AIGroups {};

TEST_F(SpellSpots, TheSpotItselfComesFirstThenItsNeighboursThenAboveAndBelow) {
  int x = 10, y = 10, z = 0, found = -1;
  EXPECT_TRUE(FindSpellSpot(2, x, y, z, found, 0, 10, 10));  // the target on the spot: no step
  EXPECT_EQ(x, 10);
  EXPECT_EQ(y, 10);
  EXPECT_EQ(z, 0);
  EXPECT_EQ(found, 1);

  Place(1, 1, 10, 10);  // the spot taken: the first neighbour, (0, -1)
  x = 10, y = 10, z = 0;
  EXPECT_TRUE(FindSpellSpot(2, x, y, z, found, 0, 10, 10));
  EXPECT_EQ(x, 10);
  EXPECT_EQ(y, 9);

  x = 20, y = 20, z = 1;  // air above the grass: not standable; the level below is
  EXPECT_TRUE(FindSpellSpot(2, x, y, z, found, 0, 20, 20));
  EXPECT_EQ(z, 0);

  x = 47, y = 20, z = 0;  // a step toward the target across the seam, a tall column
  EXPECT_TRUE(FindSpellSpot(1, x, y, z, found, 65, 1, 20));
  EXPECT_EQ(x, 0);
  EXPECT_EQ(found, 6);  // spell 65 asks seven cells

  x = 30, y = 30, z = 0;  // nothing fits; the level below 0 is not looked at
  EXPECT_FALSE(FindSpellSpot(g_map.levels, x, y, z, found, 0, 31, 30));
  EXPECT_EQ(x, 31);
}

class Queries : public AIGroups {};

TEST_F(Queries, CertaintyGapsAreClampedBelowOne) {
  EXPECT_FLOAT_EQ(ClampCertaintyGap(0.0f, 1.0f), 0.999f);
  EXPECT_FLOAT_EQ(ClampCertaintyGap(0.2f, 0.5f), 0.3f);
  EXPECT_FLOAT_EQ(ClampCertaintyGap(0.5f, -0.5f), -1.0f);
}

TEST_F(Queries, ARegionIsWatchedByAFriendNearIt) {
  EXPECT_FALSE(IsRegionWatched(1, g_map.CountRegionsOfPower()));
  EXPECT_FALSE(IsRegionWatched(1, -1));
  EXPECT_FALSE(IsRegionWatched(-1, 0));
}

TEST_F(Queries, OnlyFieldsOfKindsSixtyNineAndSeventyAreCounted) {
  UseArmy(1);
  UseArmy(2);
  CCreature& own = Place(1, 1, 5, 5);
  CCreature& foe = Place(1, 2, 30, 30);
  const struct {
    int kind;
    const CCreature* owner;
    int x;
  } effects[] = {{69, &own, 10}, {70, &own, 11}, {68, &own, 10}, {69, &foe, 12}, {70, &own, 40}};
  int index = CEffectManager::kReserved;
  for (const auto& e : effects) {
    CEffect& record = *g_effectManager.At(index++);
    record.active = 1;
    record.kind = e.kind;
    record.cellX = e.x;
    record.cellY = 10;
    record.cellLevel = 0;
    record.params[effect_word::kCreature] = e.owner->index;
  }
  EXPECT_EQ(CountEffectsNear(10, 10, 0, 5, 1, true), 2);   // own army: allied with itself
  EXPECT_EQ(CountEffectsNear(10, 10, 0, 5, 1, false), 1);  // the rival's
  EXPECT_EQ(CountEffectsNear(10, 10, 0, 50, 1, true), 3);
  g_effectManager.Reset();
}

TEST_F(Queries, AStepTowardACreatureTakesTheShortWayAndAFreeLevel) {
  CCreature& target = Place(1, 1, 1, 20);
  int x = 47, y = 20, z = 0;
  EXPECT_TRUE(StepTowardCreature(x, y, z, target));
  EXPECT_EQ(x, 0);  // across the seam
  EXPECT_EQ(y, 20);
  EXPECT_EQ(z, 1);  // the grass level holds terrain; the air above it is free
  g_map.CellAt(0, 20, 1).terrain = forge::terrain::kRock;
  x = 47, z = 0;
  EXPECT_FALSE(StepTowardCreature(x, y, z, target));
}

TEST_F(Queries, ACreatureWithoutARouteIsTestedAtItsCellAndDestination) {
  CCreature& c = Place(1, 1, 5, 5);
  c.route.goalX = c.cellX;
  c.route.goalY = c.cellY;
  EXPECT_TRUE(IsWithinReach(c, 8, 5, 0, 3));
  EXPECT_FALSE(IsWithinReach(c, 12, 5, 0, 3));
  c.order = ORDER_WALK_TO_POS;
  c.route.goalX = 11;
  EXPECT_TRUE(IsWithinReach(c, 12, 5, 0, 3));
  c.order = ORDER_WAIT;
  EXPECT_FALSE(IsWithinReach(c, 12, 5, 0, 3));
}

}  // namespace
