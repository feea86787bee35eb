// The AI's shared utilities: the random delay, the range test, a decision's balance, the
// launch and aim points of the cast checks, and the strength of a leaf.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "AIField.h"
#include "AIGroupTrees.h"
#include "ai/AIDecision.h"
#include "ai/AIUtilities.h"
#include "core/Options.h"
#include "core/Random.h"
#include "creatures/CreatureType.h"
#include "creatures/SpellDefinition.h"
#include "forge/TerrainTypes.h"
#include "map/MapUnits.h"
#include "map/TerrainType.h"

namespace ai_test {
namespace {

class AIUtilitiesTest : public GroupTrees {};

TEST_F(AIUtilitiesTest, ExponentialRandomStaysFiniteOnAZeroDraw) {
  const CRandom saved = g_aiRandom;
  for (uint32_t& word : g_aiRandom.state) word = 0;  // every draw is 0
  const double delay = ExponentialRandom(10.0f);
  EXPECT_TRUE(std::isfinite(delay));
  EXPECT_NEAR(delay, 10.0 * 31.0 * std::log(2.0), 1e-9);  // u counted as 2^-31
  g_aiRandom.Seed(7);
  double sum = 0.0;
  for (int i = 0; i < 4000; ++i) sum += ExponentialRandom(5.0f);
  EXPECT_NEAR(sum / 4000.0, 5.0, 0.4);  // the mean it was asked for
  g_aiRandom = saved;
}

TEST_F(AIUtilitiesTest, WithinRangeIncludesItsRadius) {
  struct Case {
    int r, dx, dy, dz;
    bool within;
  };
  const Case cases[] = {
      {6, 6, 0, 0, true}, {6, 6, 1, 0, false}, {6, 0, -6, 0, true},
      {6, 3, 3, 0, true}, {6, 60, 0, 0, true},  // 60 tiles east on a map 64 wide is 4 tiles west
      {6, 4, 4, 2, true},                       // 16 + 16 + a level's quarter... (2 levels count 1)
      {0, 0, 0, 0, true}, {0, 1, 0, 0, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(WithinRange(c.r, 10, 10, 0, 10 + c.dx, 10 + c.dy, c.dz), c.within)
        << c.r << " " << c.dx << "," << c.dy << "," << c.dz;
}

class Plain final : public CAIDecisionOf<Plain> {
 public:
  Plain() : CAIDecisionOf<Plain>(6) {}
  void Prepare(CAIGroupNode*, CAIPlayerMemory*, int) override {}
  bool Evaluate(float*, CAIBudget&, int) override { return false; }
  int Execute() override { return 0; }
};

TEST_F(AIUtilitiesTest, OutcomeRatioWeighsGainLossAndTheSidesBalance) {
  CCreature& wizard = Creature(1, 0, 0, 0, 0, 0);
  Plain decision;
  decision.side = 3;  // an army without a wizard
  EXPECT_DOUBLE_EQ(OutcomeRatio(decision), 1.0);
  g_armyTable.armies[0].inUse = 1;
  g_armyTable.armies[0].wizardCreature = 1;
  wizard.aiThreat = 3;
  wizard.aiSideStrength = 1;  // the side's balance is (3 + 1) / (1 + 1) = 2
  decision.side = 0;
  decision.gain = 9;
  decision.loss = 1;
  decision.startRatio = 2.0f;
  EXPECT_NEAR(OutcomeRatio(decision), 5.0, 1e-9);
  EXPECT_FLOAT_EQ(SideRatio(0), 2.0f);
  EXPECT_FLOAT_EQ(SideRatio(5), 0.0f);
}

// Records what the checks ask; answers 0.
struct RecordingChecks : IAIWorld {
  struct Call {
    int lx, ly, lz, ax, ay, az, spell, caster, target, inRange;
  };
  std::vector<Call> calls;
  int CheckSpellTarget(int lx, int ly, int lz, int ax, int ay, int az, int spell, int caster, int target,
                       int inRange) override {
    calls.push_back({lx, ly, lz, ax, ay, az, spell, caster, target, inRange});
    return 0;
  }
};

TEST_F(AIUtilitiesTest, CastChecksLaunchByDirectionAndAimAtTheTarget) {
  RecordingChecks checks;
  HookScope<IAIWorld> scope(g_aiWorld, checks);
  constexpr int kCasterType = 3, kTargetType = 4, kSpell = 20;
  const CCreatureType savedCaster = g_creatureTypes[kCasterType], savedTarget = g_creatureTypes[kTargetType];
  const CSpellDefinition savedSpell = g_spellDefs[kSpell];
  for (int dir = 0; dir < 8; ++dir)
    for (int axis = 0; axis < 3; ++axis) g_creatureTypes[kCasterType].LRCOffsets[dir][axis] = dir * 10 + axis;
  g_creatureTypes[kCasterType].centreOffset = 16;
  g_creatureTypes[kCasterType].centreHeight = 8;
  g_creatureTypes[kTargetType].centreOffset = 32;
  g_creatureTypes[kTargetType].centreHeight = 24;
  g_spellDefs[kSpell].LOFType = kLofStraightCast;
  CCreature& caster = Creature(1, 0, 0, 0, 0, kCasterType);
  caster.type = &g_creatureTypes[kCasterType];
  CCreature& target = Creature(2, 1, 0, 0, 0, kTargetType);
  target.type = &g_creatureTypes[kTargetType];

  // The caster stands at (10, 10, 1); the target three tiles off in each direction, north first.
  for (int dir = 0; dir < 8; ++dir) {
    SCOPED_TRACE(dir);
    const GridStep step = kDirectionSteps[dir];
    target.cellX = 10 + 3 * step.dx;
    target.cellY = 10 + 3 * step.dy;
    target.unitX = target.cellX * 32;
    target.unitY = target.cellY * 32;
    target.unitZ = 40;
    checks.calls.clear();
    EXPECT_EQ(CastCheckAtCreature(caster, kSpell, 10, 10, 1, &target), 0);
    ASSERT_EQ(checks.calls.size(), 1u);
    const auto& call = checks.calls[0];
    EXPECT_EQ(call.lx, 320 + dir * 10 + 16);
    EXPECT_EQ(call.ly, 320 + dir * 10 + 1 + 16);
    EXPECT_EQ(call.lz, 16 + dir * 10 + 2 + 8);
    EXPECT_EQ(call.ax, target.unitX + 32);
    EXPECT_EQ(call.ay, target.unitY + 32);
    EXPECT_EQ(call.az, 64);
    EXPECT_EQ(call.target, 2);
    EXPECT_EQ(call.caster, 1);
    EXPECT_EQ(call.inRange, 1);
  }
  // At the seam: the launch point wraps into the map, the aim point likewise.
  target.unitX = 63 * 32 + 10;
  checks.calls.clear();
  CastCheckAtCreature(caster, kSpell, 0, 10, 1, &target);
  EXPECT_EQ(checks.calls[0].ax, 10);
  EXPECT_GE(checks.calls[0].lx, 0);

  // A thrown spell is in range up to 6 tiles, cell targets included.
  g_spellDefs[kSpell].LOFType = kLofThrowCast;
  struct Throw {
    int dx;
    int inRange;
  };
  for (const Throw t : {Throw{6, 1}, Throw{7, 0}, Throw{-6, 1}}) {
    checks.calls.clear();
    CastCheckAtCell(caster, kSpell, 10, 10, 0, 10 + t.dx, 10, 0);
    ASSERT_EQ(checks.calls.size(), 1u);
    EXPECT_EQ(checks.calls[0].inRange, t.inRange) << t.dx;
    EXPECT_EQ(checks.calls[0].target, -1);
    EXPECT_EQ(checks.calls[0].ax, (10 + t.dx) * 32 + 16);
  }
  g_creatureTypes[kCasterType] = savedCaster;
  g_creatureTypes[kTargetType] = savedTarget;
  g_spellDefs[kSpell] = savedSpell;
}

TEST_F(AIUtilitiesTest, LeafRatingsCountBonusesRanksAndHeldSpells) {
  constexpr int kType = 5, kAgainst = 7;
  const CCreatureType saved = g_creatureTypes[kType];
  const int savedLord = g_lordBooster, savedKing = g_kingBooster;
  const int savedBlow = g_spellDefs[spell_tuning::kMightyBlow].Damage;
  const int savedBolt = g_spellDefs[spell_tuning::kArcaneBolt].Damage;
  g_creatureTypes[kType].HTH_Matrix[kAgainst] = 200;
  g_creatureTypes[kType].LRC_Matrix[kAgainst] = 100;
  g_lordBooster = 10;
  g_kingBooster = 50;
  g_spellDefs[spell_tuning::kMightyBlow].Damage = 7;
  g_spellDefs[spell_tuning::kArcaneBolt].Damage = 9;
  struct Case {
    const char* name;
    int bonus, bloodLust, rank, spellState;
    int hth, lrc;
  };
  const Case cases[] = {
      {"plain", 0, 0, 0, 0, 200, 100},
      {"hand-to-hand bonus", 25, 0, 0, 0, 250, 100},
      {"blood lust", 0, 30, 0, 0, 400, 100},
      {"lord", 0, 0, 1, 0, 220, 110},
      {"king with lust and bonus", 10, 5, 2, 0, 660, 150},
      {"mighty blow held", 0, 0, 0, 1, 207, 100},
      {"arcane bolt held", 0, 0, 0, 2, 200, 109},
  };
  CCreature& c = Creature(1, 0, 0, 0, 0, kType);
  c.type = &g_creatureTypes[kType];
  CAIGroupNode* leaf = Leaf(c);
  for (const Case& k : cases) {
    c.strength.attackBonus = k.bonus;
    c.bloodLust = k.bloodLust;
    c.rank = k.rank;
    c.spellState = k.spellState;
    EXPECT_EQ(LeafHthRating(leaf, kAgainst, 0), k.hth) << k.name;
    EXPECT_EQ(LeafLrcRating(leaf, kAgainst, 0), k.lrc) << k.name;
  }
  EXPECT_EQ(LeafHthRating(Inner(), kAgainst, 0), 0);
  EXPECT_EQ(LeafManaIncome(Inner(), leaf), 0);
  g_creatureTypes[kType] = saved;
  g_lordBooster = savedLord;
  g_kingBooster = savedKing;
  g_spellDefs[spell_tuning::kMightyBlow].Damage = savedBlow;
  g_spellDefs[spell_tuning::kArcaneBolt].Damage = savedBolt;
}

// The places of power as each side last saw them: the holder recorded is an army, and the last
// member of the group with a record of a place decides whether it counts for the leaf's army.
TEST_F(AIUtilitiesTest, ManaIncomeCountsPlacesTheMembersSawTheLeafsArmyHold) {
  const int savedRecovery = g_manaRecovery, savedDelay = g_manaRecoveryDelay;
  CRegionOfPower savedRegions[CMap::kMaxRegions];
  int32_t savedHolders[CMap::kMaxRegions][CMap::kPlayers];
  std::copy(std::begin(g_map.regions), std::end(g_map.regions), savedRegions);
  std::memcpy(savedHolders, g_map.regionHolders, sizeof savedHolders);
  for (CRegionOfPower& region : g_map.regions) region = {};
  for (auto& row : g_map.regionHolders) std::fill(std::begin(row), std::end(row), -1);
  g_map.regions[0] = {5, 5, 0, 0, -1};
  g_map.regions[1] = {9, 9, 0, 0, -1};
  g_manaRecovery = 10;
  g_manaRecoveryDelay = 4;  // 2500 a place

  // Slot numbers and army numbers differ, and the creature in slot 2 (the leaf's army number)
  // belongs to another army: a holder read as a slot would name it.
  CCreature& leafCreature = Creature(7, 2, 0, 0);
  Creature(2, 5, 0, 0);
  CCreature& seenByOne = Creature(10, 1, 0, 0);
  CCreature& seenByThree = Creature(11, 3, 0, 0);
  CCreature& noRecords = Creature(12, 6, 0, 0);
  CAIGroupNode* leaf = Leaf(leafCreature);
  g_map.regionHolders[0][1] = 2;  // army 1 saw the leaf's army hold place 0
  g_map.regionHolders[1][1] = 2;
  g_map.regionHolders[1][3] = 4;  // army 3 saw army 4 hold place 1
  struct Case {
    const char* name;
    std::vector<CCreature*> members;
    int income;
  };
  const Case cases[] = {
      {"army 1 alone: both places", {&seenByOne}, 5000},
      {"army 3 last: place 1 not", {&seenByOne, &seenByThree}, 2500},
      {"army 1 last: both", {&seenByThree, &seenByOne}, 5000},
      {"a member without records changes nothing", {&seenByOne, &noRecords}, 5000},
      {"army 3 alone: none", {&seenByThree}, 0},
      {"no member", {}, 0},
  };
  for (const Case& c : cases) {
    CAIGroupNode* group = Inner();
    for (CCreature* member : c.members) group->AddChild(Leaf(*member));
    EXPECT_EQ(LeafManaIncome(group, leaf), c.income) << c.name;
  }
  std::copy(std::begin(savedRegions), std::end(savedRegions), g_map.regions);
  std::memcpy(g_map.regionHolders, savedHolders, sizeof savedHolders);
  g_manaRecovery = savedRecovery;
  g_manaRecoveryDelay = savedDelay;
}

// A cast at a place aims where the place's terrain offers a target, as a player's cast at that
// cell does: a cell of rubble is aimed at on its top, an empty cell at the empty type's point.
class CellAim : public AIField {};

TEST_F(CellAim, ACastAtAPlaceAimsAtItsTerrainsTargetPoint) {
  constexpr int kRubble = forge::terrain::kStone;
  std::vector<CTerrainType> types;
  for (int i = 0; i < g_terrainTypes.Count(); ++i) types.push_back(g_terrainTypes.Get(i));
  types[kRubble].targetOffset[0] = 5;
  types[kRubble].targetOffset[1] = 27;
  types[kRubble].targetOffset[2] = 9;
  const CTerrainType empty = types[0];
  g_terrainTypes.Assign(std::move(types));
  g_map.CellAt(47, 3, 1).terrain = kRubble;
  RecordingChecks checks;
  HookScope<IAIWorld> scope(g_aiWorld, checks);
  CCreature& caster = Place(1, 1, 10, 10);
  struct Case {
    const char* name;
    int x, y, level;
    int ax, ay, az;
  };
  const Case cases[] = {
      {"rubble", 47, 3, 1, 47 * 32 + 5, 3 * 32 + 27, 16 + 9},
      {"rubble named across the seam", -1, 3 + 44, 1, 47 * 32 + 5, 3 * 32 + 27, 16 + 9},
      {"grass", 20, 20, 0, 20 * 32 + TerrainOf(forge::terrain::kGrass).targetOffset[0],
       20 * 32 + TerrainOf(forge::terrain::kGrass).targetOffset[1], TerrainOf(forge::terrain::kGrass).targetOffset[2]},
      {"air", 20, 20, 2, 20 * 32 + empty.targetOffset[0], 20 * 32 + empty.targetOffset[1], 32 + empty.targetOffset[2]},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int ax, ay, az;
    CellAimPoint(c.x, c.y, c.level, ax, ay, az);
    EXPECT_EQ(ax, c.ax);
    EXPECT_EQ(ay, c.ay);
    EXPECT_EQ(az, c.az);
    checks.calls.clear();
    CastCheckAtCell(caster, 20, 10, 10, 0, c.x, c.y, c.level);
    ASSERT_EQ(checks.calls.size(), 1u);
    EXPECT_EQ(checks.calls[0].ax, c.ax);
    EXPECT_EQ(checks.calls[0].ay, c.ay);
    EXPECT_EQ(checks.calls[0].az, c.az);
  }
}

}  // namespace
}  // namespace ai_test
