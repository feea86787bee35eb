// The effects as the creatures see them: effects started by or on a creature and found in
// their cells, markers that end, the global animation table, a breakable object's strength,
// the echo a creature turns with, and the route markers of a walk.
#include <gtest/gtest.h>

#include "MagicTestSupport.h"
#include "core/Options.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "magic/CreatureEffectAnswers.h"

namespace magic_test {
namespace {

namespace w = effect_word;

class CreatureEffectAnswersTest : public EffectTest {
 protected:
  void SetUp() override {
    EffectTest::SetUp();
    ASSERT_TRUE(LoadForgedEffectTables());
    saved = g_creatureEffects.Get();
    InstallCreatureEffectAnswers();
  }
  void TearDown() override {
    g_creatureEffects.Install(saved);
    EffectTest::TearDown();
  }
  ICreatureEffects& effects() { return *g_creatureEffects; }

  ICreatureEffects* saved = nullptr;
};

TEST_F(CreatureEffectAnswersTest, ASpawnedEffectIsFoundInItsCellUntilItEnds) {
  struct Case {
    const char* name;
    int kind, x, y, z;  // where it starts (map units)
    int cx, cy, level;  // where it is looked for (cells, wrapped)
  };
  const Case cases[] = {
      {"inside the map", 59, 5 * 32 + 8, 6 * 32 + 30, 16 + 4, 5, 6, 1},
      {"left of the edge, looked for left of it", 59, -10, 3 * 32, 0, -1, 3, 0},
      {"left of the edge, looked for at its wrapped cell", 12, -10, 3 * 32, 0, 63, 3, 0},
      {"a second kind behind another in one cell", 60, 20 * 32, 20 * 32, 32, 20, 20, 2},
  };
  // An effect of another kind first in the last case's cell: the search walks past it.
  const int first = effects().SpawnEffect(59, 20 * 32 + 4, 20 * 32 + 4, 32, -1);
  ASSERT_GE(first, 100);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int e = effects().SpawnEffect(c.kind, c.x, c.y, c.z, 7);
    ASSERT_GE(e, 100);
    EXPECT_EQ(manager.At(e)->params[w::kCreature], 7);
    EXPECT_EQ(effects().FindEffectAt(c.cx, c.cy, c.level, c.kind), e);
    EXPECT_EQ(effects().FindEffectAt(c.cx, c.cy, c.level, c.kind + 1), -1);
    EXPECT_EQ(effects().FindEffectAt(c.cx, c.cy, c.level + 1, c.kind), -1);
    effects().Deactivate(e);
    EXPECT_EQ(manager.At(e)->active, 0);
    EXPECT_EQ(effects().FindEffectAt(c.cx, c.cy, c.level, c.kind), -1);
  }
  EXPECT_EQ(effects().FindEffectAt(20, 20, 2, 59), first);
  EXPECT_EQ(effects().FindEffectAt(20, 20, 99, 59), -1);  // above the map
  effects().Deactivate(5000);                             // outside the pool: nothing
}

// A creature's own effects of a kind end with it; another kind, or another's, stay.
TEST_F(CreatureEffectAnswersTest, TheEffectsOfAKindThatBelongToACreatureEndTogether) {
  const int own[2] = {effects().SpawnEffect(50, 32, 32, 0, 7), effects().SpawnEffect(50, 96, 32, 0, 7)};
  const int otherKind = effects().SpawnEffect(59, 32, 96, 0, 7);
  const int others = effects().SpawnEffect(50, 96, 96, 0, 8);
  for (int e : {own[0], own[1], otherKind, others}) ASSERT_GE(e, 100);
  effects().DeactivateEffectsOf(50, 7);
  EXPECT_EQ(manager.At(own[0])->active, 0);
  EXPECT_EQ(manager.At(own[1])->active, 0);
  EXPECT_NE(manager.At(otherKind)->active, 0);
  EXPECT_NE(manager.At(others)->active, 0);
}

TEST_F(CreatureEffectAnswersTest, AGlowOnACreatureTakesTheCreaturesPlaceAndAFullPoolStartsNothing) {
  world.Place(4, 10, 12, 1).heightOffset = 12;
  // Kind 40 is the manager's glow on a creature: at its footprint's centre, value 53.
  const int glow = effects().SpawnEffect(40, 0, 0, 0, 4);
  ASSERT_GE(glow, 100);
  const CEffect& record = *manager.At(glow);
  EXPECT_EQ(record.x, 10 * 32 + 16);
  EXPECT_EQ(record.y, 12 * 32 + 16);
  EXPECT_EQ(record.z, 16 + 12);
  EXPECT_EQ(record.params[w::kValue], 53);
  EXPECT_EQ(effects().FindEffectAt(10, 12, 1, 40), glow);
  EXPECT_EQ(effects().SpawnEffect(40, 0, 0, 0, 9), -1);  // no such creature
  for (int i = 100; i < manager.Count(); ++i)
    if (!manager.At(i)->active) manager.At(i)->Activate(3, At(32, 32, 0));
  EXPECT_EQ(effects().SpawnEffect(59, 64, 64, 0, 4), -1);
  EXPECT_EQ(effects().SpawnEffect(40, 0, 0, 0, 4), -1);
}

TEST_F(CreatureEffectAnswersTest, TheGlobalAnimationTableIsTheEffectAnimationTable) {
  const int count = manager.AniEntryCount();
  ASSERT_GT(count, 288);
  for (int n : {6, 22, 36, 288}) {
    SCOPED_TRACE(n);
    CAnimation* animation = effects().GlobalAnim(n);
    ASSERT_NE(animation, nullptr);
    EXPECT_EQ(animation, manager.AniEntryAnimation(n));
    int first = -7;
    EXPECT_EQ(effects().EffectAnimEntry(n, first), animation);
    EXPECT_EQ(first, manager.AniEntry(n)->animation);
  }
  for (int n : {count, count + 50, -1}) {
    SCOPED_TRACE(n);
    EXPECT_EQ(effects().GlobalAnim(n), nullptr);
    int first = -7;
    EXPECT_EQ(effects().EffectAnimEntry(n, first), nullptr);
    EXPECT_EQ(first, -7);
  }
}

TEST_F(CreatureEffectAnswersTest, ABreakableObjectKeepsItsStrengthAndLooksFreshWhileStanding) {
  CEffect* object = Start(26, At(8 * 32, 8 * 32, 16));
  const int restart = manager.AniEntry(46)->animation;
  struct Case {
    int strength;
    bool restarted;
  };
  for (const Case& c : {Case{40, true}, Case{11, true}, Case{10, false}, Case{-5, false}}) {
    SCOPED_TRACE(c.strength);
    object->animPlayer.Clear();
    object->animPlayer.SetAnimation(manager.AniEntryAnimation(46));
    object->animPlayer.sequence = -1;
    effects().SetEffectStrength(object->index, c.strength);
    EXPECT_EQ(effects().EffectStrength(object->index), c.strength);
    EXPECT_EQ(object->animPlayer.sequence == restart && object->animPlayer.playing, c.restarted);
  }
  object->Deactivate();
  effects().SetEffectStrength(object->index, 70);  // an ended object takes nothing
  EXPECT_EQ(effects().EffectStrength(object->index), 0);
  EXPECT_EQ(effects().EffectStrength(-1), 0);
}

TEST_F(CreatureEffectAnswersTest, TheEchoTurnsWithItsCreatureKeepingItsStep) {
  const EffectAniEntry& entry = *manager.AniEntry(45);
  CEffect* echo = StartAs(effect_kind::kCreatureEcho, At(4 * 32, 4 * 32, 0));
  echo->animPlayer.SetAnimation(manager.AniEntryAnimation(45));
  ASSERT_EQ(echo->animPlayer.Start(entry.animation + 16 + 2, 0), 1);
  for (int i = 0; i < 3; ++i) echo->animPlayer.Advance();
  CAnimation& animation = *echo->animPlayer.animation;
  const int into = echo->animPlayer.step - animation.GetSequence(echo->animPlayer.sequence);
  struct Case {
    int facing, sequence;
  };
  for (const Case& c : {Case{5, 16 + 5}, Case{0, 16}, Case{7 + 8, 16 + 7}}) {
    SCOPED_TRACE(c.facing);
    effects().TurnEffect(echo->index, c.facing);
    EXPECT_EQ(echo->animPlayer.sequence, entry.animation + c.sequence);
    EXPECT_EQ(echo->animPlayer.step - animation.GetSequence(echo->animPlayer.sequence), into);
  }
  // Another kind is not turned.
  CEffect* other = Start(59, At(4 * 32, 4 * 32, 0));
  other->animPlayer.SetAnimation(&animation);
  other->animPlayer.Start(entry.animation + 16 + 2, 0);
  effects().TurnEffect(other->index, 5);
  EXPECT_EQ(other->animPlayer.sequence, entry.animation + 16 + 2);
}

TEST_F(CreatureEffectAnswersTest, AWalkingCreatureShowsItsGoalAndWaypointMarkersOnce) {
  CCreature& c = *g_creatureArray.At(3);
  const int army = c.army;
  c.inUse = 1;
  g_directAI = 1;
  c.order = ORDER_WALK_TO_POS;
  c.route.goalX = 7;
  c.route.goalY = 8;
  c.route.goalLevel = 1;
  c.queuedOrders.entries.push_back({9, 9, 0, 2, -1});
  c.queuedOrders.entries.push_back({11, 9, 0, 3, -1});  // an attack: no marker
  effects().ShowGoalMarker(3);
  const int goal = c.goalMarker;
  const int waypoint = c.queuedOrders.entries.front().markerEffect;
  ASSERT_GE(goal, 0);
  ASSERT_GE(waypoint, 0);
  EXPECT_LT(goal, 100);
  EXPECT_LT(waypoint, 100);
  EXPECT_EQ(effects().FindEffectAt(7, 8, 1, 43), goal);
  EXPECT_EQ(effects().FindEffectAt(9, 9, 0, 70), waypoint);
  EXPECT_EQ(manager.At(goal)->params[w::kCreature], 3);
  EXPECT_EQ(manager.At(waypoint)->params[w::kValue], 0);
  EXPECT_EQ(c.queuedOrders.entries.back().markerEffect, -1);
  effects().ShowGoalMarker(3);  // shown already: nothing new
  EXPECT_EQ(c.goalMarker, goal);
  EXPECT_EQ(c.queuedOrders.entries.front().markerEffect, waypoint);
  effects().Deactivate(goal);
  c.goalMarker = -1;
  c.order = ORDER_WAIT;  // no walk: no goal marker
  effects().ShowGoalMarker(3);
  EXPECT_EQ(c.goalMarker, -1);
  g_directAI = 0;
  c.order = ORDER_WALK_TO_POS;
  c.army = g_localArmy + 1;  // another army's creature shows none
  effects().ShowGoalMarker(3);
  EXPECT_EQ(c.goalMarker, -1);
  c.inUse = 0;
  c.order = ORDER_NONE;
  c.army = army;
  c.queuedOrders.Clear();
}

}  // namespace
}  // namespace magic_test
