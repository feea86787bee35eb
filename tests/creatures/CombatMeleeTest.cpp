// A headless melee: two small armies in contact on a forged map are ordered to attack and
// fight until one side is gone, the fallen passing through their body stages. Two runs from
// one seed match frame by frame: the digest of every creature and of the battle's generator.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "OrdersWorld.h"
#include "core/Options.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "creatures/Mapelem.h"

namespace creature_test {
namespace {

// Counts the looks of wounds: blood sprays and glow bursts.
struct WoundLooks : ICreatureEffects {
  int blood = 0, glows = 0;
  void SpawnBlood(int, int, int, int, int, bool) override { ++blood; }
  void SpawnGlowBurst(int, int, bool) override { ++glows; }
};

class Melee : public OrdersWorld {
 protected:
  WoundLooks looks;
  HookScope<ICreatureEffects> looksScope{g_creatureEffects, looks};

  struct Outcome {
    std::vector<uint64_t> digests;  // one a frame
    int frames = 0;
    int survivorsArmy0 = 0, survivorsArmy1 = 0;
    int deepestBodyStage = 0;
  };

  static void Mix(uint64_t& hash, int64_t value) {
    hash ^= static_cast<uint64_t>(value);
    hash *= 1099511628211ull;
  }

  static uint64_t Digest() {
    uint64_t hash = 1469598103934665603ull;
    g_creatureArray.ForEachInUse([&](CCreature& c) {
      for (int64_t v :
           {int64_t{c.index}, int64_t{c.cellX}, int64_t{c.cellY}, int64_t{c.level}, int64_t{c.health}, int64_t{c.order},
            int64_t{c.pendingOrder}, int64_t{c.animState}, int64_t{c.target}, int64_t{c.engagedWith},
            int64_t{c.experience}, int64_t{c.rank}, int64_t{c.facing}, int64_t{c.bodyAnim.frameStep},
            int64_t{c.orderState.deathStage}, int64_t{c.orderState.attackerCount}, int64_t{c.combat.challenger}})
        Mix(hash, v);
    });
    CRandom copy = g_battleRandom;
    Mix(hash, copy.Next());
    return hash;
  }

  static int Living(int army) {
    int n = 0;
    g_creatureArray.ForEachInUse([&](CCreature& c) { n += c.army == army && c.IsAlive(); });
    return n;
  }

  Outcome Fight(uint32_t seed) {
    g_creatureArray.ReleaseAll();
    looks = WoundLooks{};
    g_battleRandom.Seed(seed);
    board.frame = 0;
    const int cells[4][2] = {{10, 10}, {10, 11}, {11, 10}, {11, 11}};
    std::vector<int> slots;
    for (int i = 0; i < 4; ++i) slots.push_back(Place(kBrownie, i < 2 ? 0 : 1, cells[i][0], cells[i][1]));
    for (int i = 0; i < 4; ++i) C(slots[i]).AttackCreature(slots[i < 2 ? i + 2 : i - 2]);

    Outcome outcome;
    for (int frame = 0; frame < 20000; ++frame) {
      // Both sides see everyone; an army sharing a side's vision sees what that side sees.
      g_creatureArray.ForEachInUse([](CCreature& c) {
        for (int a = 0; a < kSightingArmyCount; ++a) {
          const bool shares = a >= 2 && g_armyTable.armies[a].SharesVisionWith(0);
          c.sightingCounters[a] = a < 2 || shares ? kSightingFull : 0;
        }
      });
      Frame();
      outcome.digests.push_back(Digest());
      g_creatureArray.ForEachInUse([&](CCreature& c) {
        if (!c.IsAlive()) outcome.deepestBodyStage = std::max(outcome.deepestBodyStage, c.orderState.deathStage);
      });
      outcome.frames = frame + 1;
      const bool oneSideGone = Living(0) == 0 || Living(1) == 0;
      bool bodiesGone = true;
      g_creatureArray.ForEachInUse([&](CCreature& c) { bodiesGone = bodiesGone && c.IsAlive(); });
      if (oneSideGone && bodiesGone) break;
    }
    outcome.survivorsArmy0 = Living(0);
    outcome.survivorsArmy1 = Living(1);
    return outcome;
  }
};

TEST_F(Melee, TwoArmiesFightUntilOneIsGoneAndARerunMatchesFrameByFrame) {
  g_creatureDieTime = 30;
  const Outcome first = Fight(777);
  EXPECT_TRUE(first.survivorsArmy0 == 0 || first.survivorsArmy1 == 0);
  EXPECT_GT(first.survivorsArmy0 + first.survivorsArmy1, 0);
  EXPECT_GE(first.deepestBodyStage, 3);  // the bodies passed their stages before they went
  EXPECT_LT(first.frames, 20000);
  std::printf("melee: %d frames, survivors %d and %d\n", first.frames, first.survivorsArmy0, first.survivorsArmy1);

  const Outcome second = Fight(777);
  ASSERT_EQ(second.digests.size(), first.digests.size());
  for (size_t f = 0; f < first.digests.size(); ++f) ASSERT_EQ(second.digests[f], first.digests[f]) << "frame " << f;

  const Outcome other = Fight(778);
  EXPECT_NE(other.digests, first.digests);
}

// What one machine shows never changes the battle: with no local army nothing is shown; with
// a local army of no creatures that shares the first side's vision, the wounds bleed and
// glow on its screen, and every frame is still the same.
TEST_F(Melee, TheLooksOfAWatchingArmyLeaveTheBattleAsItIs) {
  g_creatureDieTime = 30;
  g_bloodLevel = 100;
  g_armyTable.SetActiveArmy(-1);
  const Outcome unwatched = Fight(777);
  EXPECT_EQ(looks.blood + looks.glows, 0);

  UseArmy(2);
  CArmy& watcher = g_armyTable.armies[2];
  watcher.alliance[0] = g_armyTable.armies[0].alliance[2] = 1;
  watcher.SetSharedVision(0, 1);
  g_armyTable.armies[0].SetSharedVision(2, 1);
  watcher.human = 1;
  g_armyTable.SetActiveArmy(2);
  ASSERT_EQ(g_localArmy, 2);
  const Outcome watched = Fight(777);
  EXPECT_GT(looks.blood, 0);
  ASSERT_EQ(watched.digests.size(), unwatched.digests.size());
  for (size_t f = 0; f < watched.digests.size(); ++f)
    ASSERT_EQ(watched.digests[f], unwatched.digests[f]) << "frame " << f;
}

}  // namespace
}  // namespace creature_test
