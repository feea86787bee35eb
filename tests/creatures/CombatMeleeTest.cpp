// A headless melee: two small armies in contact on a forged map are ordered to attack and
// fight until one side is gone, the fallen passing through their body stages. Two runs from
// one seed match frame by frame: the digest of every creature and of the battle's generator.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "OrdersWorld.h"
#include "core/Options.h"
#include "creatures/CreatureArray.h"
#include "creatures/Mapelem.h"

namespace creature_test {
namespace {

class Melee : public OrdersWorld {
 protected:
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
    g_battleRandom.Seed(seed);
    board.frame = 0;
    const int cells[4][2] = {{10, 10}, {10, 11}, {11, 10}, {11, 11}};
    std::vector<int> slots;
    for (int i = 0; i < 4; ++i) slots.push_back(Place(kBrownie, i < 2 ? 0 : 1, cells[i][0], cells[i][1]));
    for (int i = 0; i < 4; ++i) C(slots[i]).AttackCreature(slots[i < 2 ? i + 2 : i - 2]);

    Outcome outcome;
    for (int frame = 0; frame < 20000; ++frame) {
      // Everyone in plain view.
      g_creatureArray.ForEachInUse([](CCreature& c) {
        for (int a = 0; a < kSightingArmyCount; ++a) c.sightingCounters[a] = kSightingFull;
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

}  // namespace
}  // namespace creature_test
