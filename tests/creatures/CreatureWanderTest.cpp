// Creatures left to themselves: one with a post wanders to path nodes near it at its delay, a
// draw made even when there is nowhere to go; one standing in the tile overlay's cloud panics
// by its intelligence against the overlay's strength and runs to a random node, runs on while
// it stays in the cloud and calms down out of it.
#include <gtest/gtest.h>

#include <algorithm>

#include "WalkWorld.h"
#include "creatures/SpellDefinition.h"
#include "map/TileOverlay.h"

namespace creature_test {
namespace {

class Wander : public WalkWorld {
 protected:
  void SetUp() override {
    WalkWorld::SetUp();
    g_tileSpans.Reset();
    saved_ = g_spellDefs[spell_tuning::kPanic];
  }
  void TearDown() override {
    g_spellDefs[spell_tuning::kPanic] = saved_;
    g_tileSpans.Free();
    WalkWorld::TearDown();
  }
  // A brownie posted at (20, 20) that wanders up to `distance` from it every `delay` frames,
  // each time at least 2 cells from where it stands.
  CCreature& Posted(int distance, int delay) {
    CCreature& c = C(Place(kBrownie, 0, 20, 20, kFloor));
    const int32_t block[9] = {20, 20, kFloor, 2, 0, distance, delay, 0, 0};  // keeps 2 away
    std::copy(block, block + 9, c.placementWords);
    c.nodeRoute.NearestNode() = 0;
    return c;
  }
  CSpellDefinition saved_{};
};

TEST_F(Wander, APostedCreatureWandersNearItsPostAtItsDelay) {
  BuildPathNetwork();
  CCreature& c = Posted(4, 200);
  c.ReactToEnemies();
  ASSERT_EQ(c.order, ORDER_WALK_TO_POS);
  EXPECT_LE(MapWrappedDistance(20, 20, kFloor, c.orderState.goalX, c.orderState.goalY, c.orderState.goalLevel), 8);
  EXPECT_EQ(c.placementWords[wander_block::kCountdown], 200);
  for (int frame = 0; frame < 400 && c.order != ORDER_WAIT; ++frame) Tick();
  ASSERT_EQ(c.order, ORDER_WAIT);
  // 200, 110, 20, then 0: the third visit after the walk wanders again.
  const int before = c.orderState.goalX * 1000 + c.orderState.goalY;
  c.ReactToEnemies();
  c.ReactToEnemies();
  EXPECT_EQ(c.order, ORDER_WAIT);
  c.ReactToEnemies();
  EXPECT_EQ(c.order, ORDER_WALK_TO_POS);
  EXPECT_NE(c.orderState.goalX * 1000 + c.orderState.goalY, before);
}

TEST_F(Wander, WithFewerThanTwoNodesTheDrawIsMadeButNobodyWanders) {
  CCreature& c = Posted(4, 200);
  CRandom copy = Generator();
  copy.Next();
  c.ReactToEnemies();
  EXPECT_EQ(c.order, ORDER_WAIT);
  EXPECT_EQ(c.placementWords[wander_block::kCountdown], 200);
  EXPECT_EQ(g_battleRandom.Next(), copy.Next());  // one draw, no more

  // Without a post (distance 0) or a known node nothing happens and nothing is drawn.
  CCreature& still = Posted(0, 200);
  copy = Generator();
  still.ReactToEnemies();
  still.placementWords[wander_block::kDistance] = 4;
  still.nodeRoute.NearestNode() = -1;
  still.ReactToEnemies();
  EXPECT_EQ(g_battleRandom.Next(), copy.Next());
}

TEST_F(Wander, ACreatureInTheCloudPanicsByItsIntelligenceAgainstTheCloud) {
  BuildPathNetwork();
  struct Case {
    const char* name;
    int intelligence, strength;
    bool always, never;
  };
  const Case cases[] = {
      {"no intelligence, no strength: never, one draw", 0, 0, false, true},
      {"no intelligence: always", 0, 50, true, false},
      {"as strong as clever: half", 40, 40, false, false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    g_creatureArray.ReleaseAll();
    g_creatureTypes[kBrownie].Intelligence = k.intelligence;
    g_spellDefs[spell_tuning::kPanic].SpellStrength = k.strength;
    CCreature& c = C(Place(kBrownie, 0, 20, 20, kFloor));
    g_tileSpans.MarkColumn(20, 20, kFloor, 50);
    g_tileSpans.active = 1;
    CRandom copy = Generator();
    const int roll = Roll(copy, 100);
    const int chance = k.intelligence + k.strength ? k.strength * 100 / (k.intelligence + k.strength) : 0;
    c.UpdatePanic();
    const bool panicked = roll < chance;
    if (k.always) EXPECT_TRUE(panicked);
    if (k.never) EXPECT_FALSE(panicked);
    EXPECT_EQ(c.orderState.panicking != 0, panicked);
    EXPECT_EQ(c.order == ORDER_WALK_TO_POS, panicked);
    if (!panicked) EXPECT_EQ(g_battleRandom.Next(), copy.Next());  // only the one draw
  }
}

TEST_F(Wander, APanickingCreatureRunsOnInTheCloudAndCalmsDownOutOfIt) {
  BuildPathNetwork();
  g_spellDefs[spell_tuning::kPanic].SpellStrength = 100;
  g_creatureTypes[kBrownie].Intelligence = 0;
  CCreature& c = C(Place(kBrownie, 0, 20, 20, kFloor));
  for (int y = 0; y < g_map.height; ++y)
    for (int x = 0; x < g_map.width; ++x) g_tileSpans.MarkColumn(x, y, kFloor, 50);
  g_tileSpans.active = 1;
  c.UpdatePanic();
  ASSERT_EQ(c.orderState.panicking, 1);
  // On the run it turns to a new node one time in four.
  int turns = 0;
  for (int visit = 0; visit < 40; ++visit) {
    const int goal = c.orderState.goalX * 1000 + c.orderState.goalY;
    c.UpdatePanic();
    if (c.orderState.goalX * 1000 + c.orderState.goalY != goal) ++turns;
    ASSERT_EQ(c.orderState.panicking, 1);
  }
  EXPECT_GT(turns, 2);
  EXPECT_LT(turns, 25);
  // Out of the cloud the panic ends and it waits.
  g_tileSpans.Reset();
  c.UpdatePanic();
  EXPECT_EQ(c.orderState.panicking, 0);
  EXPECT_EQ(c.order, ORDER_WAIT);
  // Wizards never panic.
  CCreature& wizard = C(Place(0, 0, 30, 30, kFloor));
  g_tileSpans.MarkColumn(30, 30, kFloor, 50);
  g_tileSpans.active = 1;
  const CRandom copy = Generator();
  wizard.UpdatePanic();
  EXPECT_EQ(wizard.orderState.panicking, 0);
  EXPECT_EQ(g_battleRandom.Next(), CRandom(copy).Next());
}

}  // namespace
}  // namespace creature_test
