// The targeting and strike effects on the forged field: ricochets at the map's floor and
// top, the jumping strike's chain, the choice of a strike target, random strikes, the shots
// of a guardian, bolts and beams in the segment pool and the trap's frame.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "CastWorld.h"
#include "core/Random.h"
#include "creatures/SpellDefinition.h"
#include "magic/EffectBattle.h"
#include "magic/EffectScript.h"
#include "magic/EffectManager.h"
#include "magic/SegmentFrames.h"
#include "map/MapUnits.h"
#include "map/SegmentPool.h"

namespace {

namespace w = effect_word;
namespace s = effect_state;

class EffectStrikesTest : public magic_test::CastWorld {
 protected:
  void SetUp() override {
    CastWorld::SetUp();
    g_segmentPool.Clear();
  }
  void TearDown() override {
    g_segmentPool.Clear();
    CastWorld::TearDown();
  }
  // A record of a kind with nothing of its own to do, at a point, carrying a spell.
  CEffect& Carrier(int x, int y, int z, int spell = 73) {
    CEffectParams block;
    block.SetPoint(w::kSourceX, x, y, z);
    block.SetPoint(w::kTargetX, x, y, z);
    block[w::kSpell] = spell;
    CEffect* e = g_effectManager.AllocateEffect();
    EXPECT_NE(e, nullptr);
    e->Activate(15, block);
    return *e;
  }
  // The active effects of a kind, in pool order.
  std::vector<CEffect*> OfKind(int kind) {
    std::vector<CEffect*> found;
    for (int i = CEffectManager::kReserved; i < g_effectManager.Count(); ++i)
      if (Effect(i).active && Effect(i).kind == kind) found.push_back(&Effect(i));
    return found;
  }
  void Seen(int slot, int army) { C(slot).sightingCounters[army] = 30; }
};

TEST_F(EffectStrikesTest, ARicochetOffTheMapEndsAtTheFloorOrOneUnitBelowTheTop) {
  // No ground under column 20: a line down leaves the map at the bottom.
  for (int level = 0; level < g_map.levels; ++level) g_map.CellAt(20, 20, level).terrain = 0;
  struct Case {
    int z, dz, wantZ;
  } cases[] = {{40, -100, 0}, {100, 200, 8 * 16 - 1}};
  for (const Case& c : cases) {
    CEffect& e = Carrier(20 * 32 + 16, 20 * 32 + 16, c.z);
    e.state[s::kLastPosition] = e.x;
    e.state[s::kLastPosition + 1] = e.y;
    e.state[s::kLastPosition + 2] = c.z;
    e.state[s::kTrajectoryStart] = e.x;
    e.state[s::kTrajectoryStart + 1] = e.y;
    e.state[s::kTrajectoryStart + 2] = c.z;
    e.params[w::kTargetZ] = c.z + c.dz;
    e.params[w::kSpeed] = 3;
    e.Ricochet(1);
    EXPECT_EQ(e.params[w::kTargetZ], c.wantZ) << "from " << c.z << " by " << c.dz;
    EXPECT_EQ(e.params[w::kSpeed], 2);
    EXPECT_TRUE(e.active);
    e.params[w::kSpeed] = 1;
    e.Ricochet(1);
    EXPECT_FALSE(e.active);  // the last ricochet used up
  }
}

TEST_F(EffectStrikesTest, AJumpingStrikeHitsNobodyTwiceAndStopsAfterTwentyHits) {
  std::vector<int> slots;
  for (int i = 0; i < 24; ++i) slots.push_back(Place(1, i % 2, 10 + (i % 6), 10 + (i / 6)));
  CEffect& first = Carrier(10 * 32 + 16, 10 * 32 + 16, 0, 87);
  first.params[w::kCompanion] = 1000000;  // strength enough for every jump
  first.params[34] = 0;
  std::vector<int> hits{slots[0]};
  CEffect* at = &first;
  for (int guard = 0; guard < 40; ++guard) {
    const std::vector<CEffect*> before = OfKind(48);
    at->SeekNextTarget(hits.back());
    const std::vector<CEffect*> after = OfKind(48);
    if (after.size() == before.size()) break;
    CEffect* next = nullptr;
    for (CEffect* e : after)
      if (std::find(before.begin(), before.end(), e) == before.end()) next = e;
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->params[w::kCreature], hits.back());
    hits.push_back(next->params[w::kTarget]);
    at = next;
  }
  EXPECT_EQ(std::set<int>(hits.begin(), hits.end()).size(), hits.size());
  EXPECT_LE(hits.size(), 20u);
  EXPECT_GE(hits.size(), 10u);  // the field is full of creatures in sight
}

TEST_F(EffectStrikesTest, AJumpingStrikeEndsWhenItsStrengthRunsOut) {
  const int a = Place(1, 0, 10, 10);
  Place(1, 1, 12, 10);
  CEffect& e = Carrier(10 * 32 + 16, 10 * 32 + 16, 0, 87);
  e.params[w::kCompanion] = 2 + g_spellDefs[87].SpellStrength;  // 2 left after the drop
  e.params[34] = 0;
  e.SeekNextTarget(a);
  EXPECT_TRUE(OfKind(48).empty());
}

TEST_F(EffectStrikesTest, AStrikeTargetIsKeptWhileValidThenTheBestScoreWins) {
  const int caster = Place(1, 0, 10, 10);
  const int sturdy = Place(1, 1, 12, 10);
  const int weak = Place(1, 1, 13, 11);
  for (int slot : {sturdy, weak}) Seen(slot, 0);
  C(sturdy).health = 400;
  C(weak).health = 5;
  CEffect& e = Carrier(10 * 32 + 16, 10 * 32 + 16, 8, 78);
  e.params[w::kCreature] = caster;
  e.params[w::kTarget] = sturdy;
  e.state[s::kArmy] = 0;
  e.ChooseStrikeTarget();
  EXPECT_EQ(e.params[w::kTarget], sturdy);  // still valid: kept
  EXPECT_EQ(e.kind, 15);
  C(sturdy).health = 0;
  e.ChooseStrikeTarget();
  EXPECT_EQ(e.params[w::kTarget], weak);
  EXPECT_EQ(e.kind, 51);
  // An effect of no army finds nobody.
  CEffect& lost = Carrier(10 * 32 + 16, 10 * 32 + 16, 8, 78);
  lost.params[w::kCreature] = caster;
  lost.state[s::kArmy] = -1;
  lost.ChooseStrikeTarget();
  EXPECT_EQ(lost.params[w::kTarget], -1);
  EXPECT_EQ(lost.kind, 15);
}

TEST_F(EffectStrikesTest, RandomStrikesNearTheTopAimAtTheTopLevel) {
  struct Case {
    int level, wantLevel;
  } cases[] = {{0, 5}, {5, 7}, {7, 7}};
  for (const Case& c : cases) {
    CEffect& e = Carrier(24 * 32 + 16, 22 * 32 + 16, c.level * 16, 88);
    int drawn = 0;
    for (int tries = 0; tries < 20 && !drawn; ++tries) {
      const size_t before = OfKind(71).size();
      e.RandomStrike();
      if (OfKind(71).size() > before) {
        const CEffect& strike = *OfKind(71).back();
        EXPECT_EQ(strike.params[w::kTargetZ] >> 4, c.wantLevel) << "from level " << c.level;
        EXPECT_EQ(strike.params[w::kSourceZ], c.level * 16);
        EXPECT_LE(std::abs(WrappedDelta(strike.params[w::kTargetX] >> 5, 24, g_map.width)), 6);
        drawn = 1;
      }
    }
    EXPECT_TRUE(drawn) << "from level " << c.level;
    g_effectManager.Reset();
  }
}

TEST_F(EffectStrikesTest, AGuardianShootsEveryHostileInRangeButWizards) {
  const int friendA = Place(1, 0, 11, 10);
  const int foe = Place(1, 1, 12, 10);
  const int farFoe = Place(1, 1, 40, 30);
  const int wizard = PlaceWizard(1, 13, 12, 0);
  (void)friendA;
  (void)farFoe;
  (void)wizard;
  CEffect& guard = Carrier(10 * 32 + 16, 10 * 32 + 16, 0, 81);
  guard.state[s::kArmy] = 0;
  guard.ShootHostiles();
  const std::vector<CEffect*> shots = OfKind(34);
  ASSERT_EQ(shots.size(), 1u);  // the friend, the wizard and the far foe are spared
  EXPECT_EQ(shots[0]->params[w::kTarget], foe);
  EXPECT_EQ(shots[0]->params[w::kSourceZ], 4 * 16);
  EXPECT_EQ(guard.state[s::kCounter], 3);
  // Its frame draws the beam to the foe and ends.
  shots[0]->Update();
  ASSERT_EQ(g_segmentPool.count, 1);
  EXPECT_EQ(g_segmentPool.segments[0].x1 >> 5, 12);
  EXPECT_FALSE(shots[0]->active);
  (void)foe;
}

TEST_F(EffectStrikesTest, BoltsAndBeamsGoIntoTheSegmentPool) {
  CEffect& e = Carrier(10 * 32, 10 * 32, 16, 72);
  e.params.SetPoint(w::kTargetX, 14 * 32, 12 * 32, 0);
  e.params[w::kKindMode] = 7;
  e.StartBolt();
  EXPECT_EQ(g_segmentPool.count, 16);  // 2^4 pieces, no branches
  EXPECT_EQ(g_segmentPool.segments[0].z0, 16 + 200);
  EXPECT_EQ(g_segmentPool.segments[0].lifetime, g_spellDefs[72].Duration + 2);
  g_segmentPool.Clear();
  e.params[w::kTarget] = -1;
  e.StartBeam(2, 3, 0, 0, 0, 0);  // depth 0: one straight segment
  ASSERT_EQ(g_segmentPool.count, 1);
  EXPECT_EQ(g_segmentPool.segments[0].kind, 2);
  EXPECT_EQ(g_segmentPool.segments[0].value1, 3);
  EXPECT_EQ(g_segmentPool.segments[0].x1, 14 * 32);
  // The dots they are drawn with: one per kind, entry 0 past the table.
  EXPECT_TRUE(SegmentFrameOfKind(3));
  EXPECT_EQ(SegmentFrameOfKind(99).data, SegmentFrameOfKind(0).data);
  EXPECT_NE(SegmentFrameOfKind(2).data, SegmentFrameOfKind(0).data);
}

TEST_F(EffectStrikesTest, BoltJitterNeverTouchesTheBattleGenerator) {
  CEffect& e = Carrier(10 * 32, 10 * 32, 16, 88);
  e.params.SetPoint(w::kTargetX, 20 * 32, 15 * 32, 0);
  const CRandom before = g_battleRandom;
  for (int i = 0; i < 5; ++i) e.StartBolt();
  EXPECT_EQ(std::memcmp(&before, &g_battleRandom, sizeof before), 0);
}

struct TrapBattle : IEffectBattle {
  int wizardTrapped = 0;
  void LocalWizardTrapped() override { ++wizardTrapped; }
};

// The script hears of the creature the trap took away.
struct TrapScript : IEffectScript {
  std::vector<int> gone;
  void MarkGone(int c) override { gone.push_back(c); }
};

TEST_F(EffectStrikesTest, ATrapTakesTheCreatureThatWalksOntoItAndRingsItIn) {
  TrapBattle battle;
  TrapScript script;
  HookScope<IEffectBattle> scope(g_effectBattle, battle);
  HookScope<IEffectScript> scriptScope(g_effectScript, script);
  const int victim = Place(1, 1, 15, 15);
  CEffect& trap = Carrier(15 * 32 + 16, 15 * 32 + 16, 0, 33);
  C(victim).orderState.goalX = 15;
  C(victim).orderState.goalY = 15;
  C(victim).orderState.goalLevel = 0;
  trap.state[s::kCounter2] = 0;
  trap.TrapOnCell();
  EXPECT_EQ(trap.creature, victim);
  EXPECT_EQ(C(victim).order, ORDER_TRAPPED);
  trap.TrapOnCell();  // frame 0 is not past the timer 0: no ring yet
  EXPECT_TRUE(OfKind(63).empty());
  trap.state[s::kCounter2] = -1;  // the frame counter (0) is past it, as unsigned numbers
  trap.TrapOnCell();
  EXPECT_TRUE(OfKind(63).empty());  // 0xFFFFFFFF is ahead of every frame
  trap.state[s::kCounter2] = 25;    // 25 frames ahead: it is taken away
  trap.TrapOnCell();
  EXPECT_EQ(script.gone, std::vector<int>{victim});
}

TEST_F(EffectStrikesTest, ATrapRingsItsCellWithFourCornersOfEqualLooks) {
  CEffect& trap = Carrier(15 * 32 + 16, 15 * 32 + 16, 0, 33);
  trap.SpawnRing();
  const std::vector<CEffect*> ring = OfKind(63);
  ASSERT_EQ(ring.size(), 4u);
  std::set<std::pair<int, int>> cells;
  std::set<int> looks;
  for (const CEffect* corner : ring) {
    cells.insert({corner->cellX, corner->cellY});
    looks.insert(corner->params[w::kValue]);
    EXPECT_EQ(corner->params[w::kKindMode], 1);
  }
  EXPECT_EQ(cells, (std::set<std::pair<int, int>>{{14, 14}, {14, 16}, {16, 16}, {16, 14}}));
  EXPECT_EQ(looks, (std::set<int>{0, 1, 2, 3}));
}

TEST_F(EffectStrikesTest, TheAreaInFrontOfTheCasterSlowsTheCreaturesInItsCone) {
  const int caster = Place(1, 0, 10, 10);
  const int ahead = Place(1, 1, 12, 10);
  const int behind = Place(1, 1, 7, 10);
  CEffect& e = Carrier(11 * 32 + 16, 10 * 32 + 16, 0, 68);
  e.params[w::kCreature] = caster;
  e.params[w::kMode] = 1;  // not from a source point: from the caster's cell
  EXPECT_EQ(e.AreaInFront(), 1);
  EXPECT_GT(C(ahead).slow, 0);
  EXPECT_EQ(C(behind).slow, 0);
}

}  // namespace
