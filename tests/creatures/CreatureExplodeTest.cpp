// A creature's burst: damage falling off with distance and stopped by walls, a strength-0
// burst that still removes the bursting creature, the types that never burst, and a
// creature with a stored blast value bursting in turn when a burst kills it.
#include <gtest/gtest.h>

#include <cstring>

#include "CreatureWorld.h"
#include "OrdersWorld.h"
#include "creatures/CreatureArray.h"
#include "creatures/Mapelem.h"
#include "creatures/SpellDefinition.h"
#include "forge/TerrainTypes.h"
#include "map/Map.h"
#include "map/MapUnits.h"

namespace creature_test {
namespace {

using Explode = OrdersWorld;

int Quarter(int dx) { return CellDistanceApprox(dx, 0, 0) / 4; }

TEST_F(Explode, DamageFallsOffWithDistanceAndWallsStopIt) {
  const int bomber = Place(kBrownie, 0, 10, 10);
  // One victim at each quarter-distance 0..5: straight above, then along the row.
  std::vector<std::pair<int, int>> victims;  // slot, quarter distance
  victims.emplace_back(Place(kBrownie, 1, 10, 10, 1), CellDistanceApprox(0, 0, 1) / 4);
  for (int dx = 1; dx <= 5; ++dx) victims.emplace_back(Place(kBrownie, 1, 10 + dx, 10), Quarter(dx));
  for (int q = 0; q < 6; ++q) ASSERT_EQ(victims[q].second, q);
  // A victim close by, but behind a wall.
  for (int z = 0; z < 4; ++z) g_map.CellAt(10, 12, z).terrain = forge::terrain::kStone;
  const int hidden = Place(kBrownie, 1, 10, 13);
  g_creatureArray.ForEachInUse([](CCreature& c) { c.health = 500; });

  C(bomber).Explode(100, 20);
  for (const auto& [slot, q] : victims) {
    SCOPED_TRACE(q);
    EXPECT_EQ(C(slot).health, q < 5 ? 500 - (100 - 20 * q) : 500);
  }
  EXPECT_EQ(C(hidden).health, 500);
  EXPECT_FALSE(C(bomber).inUse);
}

TEST_F(Explode, StrengthZeroHurtsNobodyButStillRemovesTheCreature) {
  const int bomber = Place(kBrownie, 0, 10, 10);
  const int near = Place(kBrownie, 1, 11, 10);
  C(near).health = 50;
  C(bomber).Explode(0, 20);
  EXPECT_EQ(C(near).health, 50);
  EXPECT_FALSE(C(bomber).inUse);
  EXPECT_EQ(C(bomber).order, ORDER_NONE);
}

// The body flies apart along the lines traced from each victim in reach to the burst: one
// trace block a victim, its velocity pointing from the victim toward the burst; a burst of
// strength 0 traces none.
TEST_F(Explode, TheBodyFliesAlongTheTracesToItsVictims) {
  g_spellDefs[28].Speed = 8;
  const int bomber = Place(kBrownie, 0, 10, 10);
  Place(kBrownie, 1, 11, 10);
  Place(kBrownie, 1, 12, 10);
  Place(kBrownie, 1, 30, 10);  // out of reach
  g_creatureArray.ForEachInUse([](CCreature& c) { c.health = 500; });
  C(bomber).Explode(100, 20);
  EXPECT_EQ(effects.bursts, 1);
  ASSERT_EQ(effects.burstTraces.size(), 2u);
  for (const std::vector<uint8_t>& trace : effects.burstTraces) {
    float velocity[3];
    std::memcpy(velocity, trace.data() + 12, sizeof velocity);
    EXPECT_LT(velocity[0], 0.0f);  // the victims stand east of the burst
    EXPECT_FLOAT_EQ(velocity[1], 0.0f);
  }

  const int quiet = Place(kBrownie, 0, 40, 40);
  Place(kBrownie, 1, 41, 40);
  C(quiet).Explode(0, 20);
  EXPECT_EQ(effects.bursts, 2);
  EXPECT_TRUE(effects.burstTraces.empty());
}

TEST_F(Explode, SomeTypesNeverBurst) {
  for (int type : {20, 22, 23}) {
    SCOPED_TRACE(type);
    const int slot = Place(type, 0, 20, 20);
    const int near = Place(kBrownie, 1, 21, 20);
    C(near).health = 50;
    C(slot).Explode(100, 20);
    EXPECT_TRUE(C(slot).inUse);
    EXPECT_EQ(C(near).health, 50);
    g_creatureArray.ReleaseAll();
  }
}

TEST_F(Explode, AStoredBlastBurstsInTurn) {
  CSpellDefinition& burst = g_spellDefs[spell_tuning::kDrain];
  burst.Data1 = 0;  // counts as 1
  burst.Damage = 0;
  burst.SpellStrength = 20;
  const int first = Place(kBrownie, 0, 10, 30);
  const int second = Place(kBrownie, 1, 11, 30);
  const int third = Place(kBrownie, 1, 15, 30);
  C(second).health = 10;
  C(second).combat.blastValue = 100;
  C(third).health = 200;
  ASSERT_LT(Quarter(1), 2);
  ASSERT_GE(Quarter(5), 2);  // out of the first burst's reach

  C(first).Explode(40, 20);
  EXPECT_FALSE(C(first).inUse);
  EXPECT_FALSE(C(second).inUse);  // burst, not merely dead
  EXPECT_EQ(C(third).health, 200 - (100 - 20 * Quarter(4)));
}

}  // namespace
}  // namespace creature_test
