// A creature's reactions: the sector an attacker stands in for every offset and facing, the
// push-back draw, fleeing from a feared enemy by the exact distance, slow against haste, and
// the King's crown passing to the most experienced of the type when the King leaves play.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <utility>
#include <vector>

#include "OrdersWorld.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "creatures/CreatureReactions.h"
#include "creatures/CreatureType.h"
#include "creatures/Mapelem.h"
#include "creatures/SpellDefinition.h"
#include "creatures/Wizard.h"
#include "graphics/PrintFX.h"
#include "map/Map.h"
#include "support/TestSupport.h"

namespace creature_test {
namespace {

using CombatReactions = OrdersWorld;

TEST(AttackSectors, EveryNeighbourAndFacing) {
  struct Case {
    int dx, dy, sector;
  };
  const Case cases[] = {{0, -1, 0}, {1, -1, 1},  {1, 0, 2},   {1, 1, 3},  {0, 1, 4},  {-1, 1, 5},
                        {-1, 0, 6}, {-1, -1, 7}, {0, 0, 7},   {2, 0, 2},  {0, -3, 0}, {3, 3, 3},
                        {-2, 1, 5}, {1, 2, 3},   {-3, -1, 6}, {2, -1, 1}, {-1, -2, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy);
    EXPECT_EQ(AttackSector(c.dx, c.dy), c.sector);
    for (int facing = 0; facing < 8; ++facing)
      EXPECT_EQ(RelativeAttackDirection(c.dx, c.dy, facing), (c.sector - facing + 8) % 8);
  }
}

// A seed whose first push-back draw gives r mod 100 = wanted.
uint32_t SeedFor(int wanted) {
  for (uint32_t seed = 1;; ++seed) {
    CRandom random;
    random.Seed(seed);
    if (static_cast<int>((random.Next() & 0x7FFFFFFF) % 100) == wanted) return seed;
  }
}

TEST_F(CombatReactions, ADrawOfFiftyNeverPushesAndTheDrawIsAlwaysMade) {
  const int me = Place(kBrownie, 0, 10, 10);
  const int foe = Place(kBrownie, 1, 10, 9);  // straight in front of facing 0
  C(me).facing = 0;
  g_battleRandom.Seed(SeedFor(50));
  EXPECT_EQ(C(me).TryPushBack(0, C(foe)), 0);
  // Held: still one draw.
  C(me).heldKind = 1;
  CRandom expected = Generator();
  Roll(expected, 100);
  C(me).TryPushBack(0, C(foe));
  EXPECT_EQ(g_battleRandom.Next(), expected.Next());
}

TEST_F(CombatReactions, AFearedEnemyIsFledAtSixCellsNotSeven) {
  g_creatureTypes[kCentaur].FearHate_Matrix[kBrownie] = -3;
  const int me = Place(kCentaur, 0, 10, 10);
  const int far = Place(kBrownie, 1, 13, 11);  // distance 7
  for (int a = 0; a < kSightingArmyCount; ++a) C(far).sightingCounters[a] = kSightingFull;
  C(me).ReactToEnemies();
  EXPECT_EQ(C(me).combat.fleeDistance, 0);

  C(far).Relocate(13, 10, 0);  // distance 6
  C(me).midStep = 1;           // the flight waits as the pending order, where it can be seen
  C(me).ReactToEnemies();
  EXPECT_EQ(C(me).combat.fleeDistance, 16);
  EXPECT_EQ(C(me).target, far);
  EXPECT_EQ(C(me).pendingOrder, ORDER_BEHAVIOUR);
  EXPECT_EQ(C(me).behaviourSubState, 2);
}

TEST_F(CombatReactions, SlowCancelsHasteNotTheReverse) {
  const int me = Place(kBrownie, 0, 10, 10);
  C(me).SetHaste(50);
  C(me).SetSlow(40);
  EXPECT_EQ(C(me).haste, 0);
  EXPECT_EQ(C(me).slow, 40);
  C(me).SetHaste(50);
  EXPECT_EQ(C(me).slow, 40);
  C(me).SetSlow(0);
  EXPECT_EQ(C(me).slow, 0);
}

TEST_F(CombatReactions, TheCrownPassesToTheMostExperiencedOfTheTypeOnRemoval) {
  g_creatureTypes[kBrownie].LordExperienceLevel = 10;
  g_creatureTypes[kBrownie].KingExperienceLevel = 20;
  const int king = Place(kBrownie, 0, 10, 10);
  const int lesser = Place(kBrownie, 0, 12, 10);
  const int heir = Place(kBrownie, 1, 14, 10);
  C(king).AddExperience(15);
  C(king).AddExperience(15);
  ASSERT_EQ(C(king).rank, 2);
  C(lesser).AddExperience(25);
  C(heir).AddExperience(40);
  ASSERT_EQ(C(heir).rank, 1);  // a King of the type already rules

  C(king).Remove();
  EXPECT_EQ(C(heir).rank, 2);
  EXPECT_EQ(C(lesser).rank, 1);
  EXPECT_EQ(g_creatureArray.kingFlags[kBrownie], 1);
}

// Leaving play takes the creature's own markers (effects of kind 50) along; only the local
// player's real wizard leaving shows the defeat message.
TEST_F(CombatReactions, LeavingPlayEndsItsOwnMarkersAndTheLocalWizardsEndShowsDefeat) {
  struct Ends : RecordingEffects {
    std::vector<std::pair<int, int>> ended;  // kind, creature
    void DeactivateEffectsOf(int kind, int creature) override { ended.emplace_back(kind, creature); }
  } ends;
  struct Defeats : MessageBattle {
    std::vector<int> defeats;
    void ShowDefeatMessage(int n) override { defeats.push_back(n); }
  } defeats;
  HookScope<ICreatureEffects> endsScope{g_creatureEffects, ends};
  HookScope<ICreatureBattle> defeatsScope{g_creatureBattle, defeats};
  struct Case {
    const char* who;
    int type, army;
    bool illusion;
    size_t defeatMessages;
  };
  const Case cases[] = {
      {"an ordinary creature", kBrownie, 0, false, 0},
      {"a rival's wizard", 0, 1, false, 0},
      {"an illusion of the local wizard", 0, 0, true, 0},
      {"the local wizard", 0, 0, false, 1},
  };
  int x = 10;
  for (const Case& test : cases) {
    SCOPED_TRACE(test.who);
    const int slot = Place(test.type, test.army, x += 3, 10);
    C(slot).illusion = test.illusion;
    ends.ended.clear();
    defeats.defeats.clear();
    C(slot).Remove();
    EXPECT_EQ(ends.ended, (std::vector<std::pair<int, int>>{{50, slot}}));
    EXPECT_EQ(defeats.defeats, std::vector<int>(test.defeatMessages, 0));
  }
}

// A King draws the creatures of its own type that stand around it into its army, across the
// seam too; others stay as they are.
TEST_F(CombatReactions, AKingDrawsItsOwnTypeAroundItIntoItsArmy) {
  const int king = Place(kBrownie, 0, 0, 10);
  C(king).rank = 2;
  const int west = Place(kBrownie, 1, g_map.width - 1, 10);  // across the seam
  const int north = Place(kBrownie, 1, 0, 9);
  const int far = Place(kBrownie, 1, 3, 10);
  const int other = Place(kCentaur, 1, 1, 10);
  C(king).KingStep();
  EXPECT_EQ(C(west).army, 0);
  EXPECT_EQ(C(north).army, 0);
  EXPECT_EQ(C(far).army, 1);
  EXPECT_EQ(C(other).army, 1);
  // With a wizard at its control limit the King recruits no more.
  const int wizard = PlaceWizard(0, 30, 30);
  C(wizard).aiWords[wizard_words::kControlLimit] = 3;
  C(wizard).behaviour.armyCount = 3;
  const int south = Place(kBrownie, 1, 0, 11);
  C(king).KingStep();
  EXPECT_EQ(C(south).army, 1);
  C(wizard).aiWords[wizard_words::kControlLimit] = 4;
  C(king).KingStep();
  EXPECT_EQ(C(south).army, 0);
}

// Levitation lifts a walker by spell 80's Data1 and lets it float there; its end drops it,
// hurt on landing. Earth binding ends a levitation at once and keeps a flyer down until it
// runs out.
TEST_F(CombatReactions, LevitationLiftsAndDropsAWalkerAndEarthBindingEndsIt) {
  const int me = Place(kBrownie, 0, 10, 10);
  CCreature& c = C(me);
  const int health = c.health;
  c.Levitate(500);
  EXPECT_EQ(c.airborne, 500);
  EXPECT_EQ(c.mayFly, 1);
  EXPECT_EQ(c.order, ORDER_WALK_TO_POS);
  EXPECT_GT(c.orderState.goalLevel, 0);
  for (int frame = 0; frame < 300 && c.order == ORDER_WALK_TO_POS; ++frame) {
    Frame();
    g_creatureArray.ThinkAll();
  }
  EXPECT_GT(c.level, 0);
  c.EndLevitation();
  EXPECT_EQ(c.airborne, 0);
  EXPECT_EQ(c.mayFly, 0);
  EXPECT_EQ(c.order, ORDER_DROPPED);
  for (int frame = 0; frame < 2000 && c.order == ORDER_DROPPED; ++frame) Frame();
  EXPECT_EQ(c.level, 0);
  EXPECT_LT(c.health, health);

  c.SetOrder(ORDER_TRAPPED);
  c.Levitate(100);
  EXPECT_EQ(c.airborne, 0);  // refused while trapped
  c.EndHeldState();
  c.airborne = 50;
  c.SetEarthBind(30);
  EXPECT_EQ(c.airborne, 0);
  EXPECT_EQ(c.orderState.earthBound, 1);
  const int griffin = Place(kGriffin, 0, 20, 20);
  C(griffin).SetEarthBind(10);
  C(griffin).mayFly = 0;
  C(griffin).SetEarthBind(0);
  EXPECT_EQ(C(griffin).mayFly, 1);
  EXPECT_EQ(C(griffin).orderState.earthBound, 0);
}

struct BlastCounter : ICreatureEffects {
  std::vector<std::array<int, 7>> blasts;
  void StartBlast(int type, int x, int y, int level, int strength, int falloff, int spell) override {
    blasts.push_back({type, x, y, level, strength, falloff, spell});
  }
};

// A creature that dies in a burst leaves play and sets off spell 58's spawner blast above it.
TEST_F(CombatReactions, ADeathBlastLeavesPlayAndSetsOffItsBlastAboveTheBody) {
  BlastCounter counter;
  HookScope<ICreatureEffects> scope(g_creatureEffects, counter);
  const int me = Place(kBrownie, 0, 10, 10);
  const int near = Place(kBrownie, 1, 11, 10);
  const int health = C(near).health;
  C(me).DeathBlast();
  EXPECT_FALSE(C(me).inUse);
  EXPECT_EQ(C(near).health, health);  // the burst itself harms no one
  ASSERT_EQ(counter.blasts.size(), 1u);
  const std::array<int, 7> expected = {1, 10, 10, 1, 60 + 20 * g_spellDefs[58].Radius, 20, 58};
  EXPECT_EQ(counter.blasts[0], expected);
}

// An illusion of the local army that has arrived shows its owner the shimmer of an illusion;
// the fading started by a spell takes a creature out of play when it ends.
TEST_F(CombatReactions, TheOwnerSeesItsIllusionAndAFadedCreatureLeavesPlay) {
  const int me = Place(kBrownie, 0, 10, 10);
  C(me).illusion = 1;
  C(me).OnPrintEffectEnd(5);
  EXPECT_EQ(C(me).printFX.GetCurrentEffect(), 7);
  const int foreign = Place(kBrownie, 1, 12, 10);
  C(foreign).illusion = 1;
  const int shown = C(foreign).printFX.GetCurrentEffect();
  C(foreign).OnPrintEffectEnd(5);
  EXPECT_EQ(C(foreign).printFX.GetCurrentEffect(), shown);
  C(foreign).StartPrintEffect8();
  EXPECT_EQ(C(foreign).printFX.GetCurrentEffect(), 8);
  C(foreign).OnPrintEffectEnd(8);
  EXPECT_FALSE(C(foreign).inUse);
}

// A creature owns its print-effect player: with the game's print effects, a teleport's
// fading brings the creature to its destination, and the fading of effect 8 takes another out
// of play, when they end, with nothing calling back by hand.
TEST_F(CombatReactions, PrintEffectsThatEndWithACallbackComeBackToTheirCreature) {
  testing_support::ForgedDataCopy data;
  LoadPrintFX();
  const int me = Place(kBrownie, 0, 10, 10);
  C(me).StartTeleport(20, 20, 0, 0);
  int frames = 0;
  for (; frames < 60 && C(me).cellX == 10; ++frames) Frame();
  EXPECT_LT(frames, 60) << "the teleport landed";
  EXPECT_LE(std::abs(C(me).cellX - 20), 1);
  EXPECT_LE(std::abs(C(me).cellY - 20), 1);
  const int fading = Place(kBrownie, 1, 12, 10);
  C(fading).StartPrintEffect8();
  for (frames = 0; frames < 60 && C(fading).inUse; ++frames) Frame();
  EXPECT_FALSE(C(fading).inUse);
  FreePrintFX();
}

// Lifted by the ground, a creature turns and rises a level each loop of its sequence while it
// has room, is set down at random when it has none, and falls, hurt on landing.
TEST_F(CombatReactions, ALiftedCreatureRisesToTheTopAndFalls) {
  const int me = Place(kBrownie, 0, 10, 10);
  CCreature& c = C(me);
  const int health = c.health;
  c.EnterOrder15();
  EXPECT_EQ(c.animState, ANIM_LIFTED);
  int highest = 0;
  for (int frame = 0; frame < 3000 && (c.order == ORDER_LIFTED || c.order == ORDER_DROPPED); ++frame) {
    Frame();
    highest = std::max(highest, c.level);
  }
  EXPECT_EQ(highest, g_map.levels - 1);
  EXPECT_EQ(c.level, 0);
  EXPECT_EQ(c.health, health - 20);
  EXPECT_EQ(c.order, ORDER_WAIT);
}

// Ends a creature's teleport fading as its print-effect player does once the last step has
// run: off the stack, then the callback. Left on the stack, the fading would end a second
// time (and teleport again) in frames run with the game's print effects loaded.
void EndTeleportFading(CCreature& c) {
  constexpr int kTeleportFading = 9;
  ASSERT_EQ(c.printFX.GetCurrentEffect(), kTeleportFading);
  c.printFX.RemoveEffect(kTeleportFading);
  c.OnPrintEffectEnd(kTeleportFading);
}

TEST_F(CombatReactions, AWalkerTeleportedIntoTheAirDropsAndIsHurtOnLanding) {
  const int me = Place(kBrownie, 0, 10, 10);
  C(me).health = 100;
  C(me).StartTeleport(20, 20, 4, 1);
  EndTeleportFading(C(me));
  ASSERT_GT(C(me).level, 0);
  EXPECT_EQ(C(me).order, ORDER_DROPPED);
  EXPECT_EQ(C(me).animState, ANIM_DROPPED);
  for (int frame = 0; frame < 2000 && C(me).order == ORDER_DROPPED; ++frame) Frame();
  EXPECT_EQ(C(me).level, 0);
  EXPECT_EQ(C(me).health, 80);
  EXPECT_NE(C(me).order, ORDER_DROPPED);

  // Without the flag the search keeps to where it can stand: no fall.
  const int other = Place(kBrownie, 0, 30, 30);
  C(other).health = 100;
  C(other).StartTeleport(25, 25, 4, 0);
  EndTeleportFading(C(other));
  EXPECT_NE(C(other).order, ORDER_DROPPED);
  EXPECT_EQ(C(other).health, 100);
}

// A flyer brought down walks to a free place on the ground and lands at the end of that
// walk, hurt by the fall; one that cannot walk takes the fall at once. A flyer dropped that
// was not flying just stands where it came down.
TEST_F(CombatReactions, AFlyerForcedToLandWalksDownAndLandsHurt) {
  const int fall = g_spellDefs[44].Damage;
  const int griffin = Place(kGriffin, 0, 10, 10, 3);
  CCreature& g = C(griffin);
  g.orderState.flying = 1;
  const int health = g.health;
  g.ForceLanding();
  EXPECT_EQ(g.order, ORDER_WALK_TO_POS);
  EXPECT_EQ(g.falling, 1);
  EXPECT_EQ(g.mayFly, 1);
  for (int frame = 0; frame < 600 && g.order == ORDER_WALK_TO_POS; ++frame) {
    Frame();
    g_creatureArray.ThinkAll();
  }
  EXPECT_EQ(g.level, 0);
  EXPECT_EQ(g.falling, 0);
  EXPECT_EQ(g.health, health - fall);

  // Provoked, it cannot take a walk: the fall comes at once.
  const int other = Place(kGriffin, 0, 20, 20, 0);
  C(other).orderState.flying = 1;
  C(other).provoked = 1;
  C(other).ForceLanding();
  EXPECT_EQ(C(other).health, g_creatureTypes[kGriffin].Health - fall);
  EXPECT_EQ(C(other).orderState.flying, 0);  // ground under it

  // Dropped while not flying: it stands where it came down.
  const int dropped = Place(kGriffin, 0, 30, 30, 0);
  C(dropped).SetOrder(ORDER_DROPPED);
  for (int frame = 0; frame < 200 && C(dropped).order == ORDER_DROPPED; ++frame) Frame();
  EXPECT_EQ(C(dropped).order, ORDER_WAIT);
  EXPECT_EQ(C(dropped).health, g_creatureTypes[kGriffin].Health);
}

struct FlyCounter : ICreatureEffects {
  int flies = 0;
  void SpawnFly(int, int, int, int) override { ++flies; }
};

// Pest flies swarm once: a pestered creature is not pestered again. A creature of one tile and
// height h draws (h + 1) + 1 flies, a large one 2 x (h + 1) + 1.
TEST_F(CombatReactions, PestFliesSwarmOncePerCreature) {
  FlyCounter counter;
  HookScope<ICreatureEffects> scope(g_creatureEffects, counter);
  const int brownie = Place(kBrownie, 0, 10, 10);
  const int troll = Place(kTroll, 0, 20, 20);
  const CRandom before = g_battleRandom;
  EXPECT_EQ(C(brownie).StartPestFlies(), 1);
  const int size = g_creatureTypes[kBrownie].TileSizeXY, height = g_creatureTypes[kBrownie].TileHeight;
  EXPECT_EQ(counter.flies, size * (height + 1) + 1);
  EXPECT_EQ(C(brownie).StartPestFlies(), 1);
  EXPECT_EQ(counter.flies, size * (height + 1) + 1);
  C(troll).StartPestFlies();
  const CCreatureType& t = g_creatureTypes[kTroll];
  EXPECT_EQ(counter.flies, size * (height + 1) + 1 + t.TileSizeXY * (t.TileHeight + 1) + 1);
  CRandom after = g_battleRandom, copy = before;
  EXPECT_EQ(after.Next(), copy.Next());  // the flies are seen only: the battle draws nothing
  C(brownie).StopPestFlies();
  EXPECT_EQ(C(brownie).pestered, 0);
}

}  // namespace
}  // namespace creature_test
