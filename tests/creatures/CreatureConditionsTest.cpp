// The pest flies and a wizard's mana from the regions of power.
#include <gtest/gtest.h>

#include <vector>

#include "CreatureWorld.h"
#include "core/Options.h"
#include "core/Random.h"
#include "core/TraceLog.h"
#include "creatures/SpellDefinition.h"
#include "map/Map.h"

namespace creature_test {
namespace {

using Conditions = CreatureWorld;

TEST_F(Conditions, PestFliesBiteStayAndSpreadToANeighbourWithTracedRolls) {
  CSpellDefinition& pest = g_spellDefs[spell_tuning::kPestilence];
  pest.SpellStrength = 1000000;  // the flies stay (99 < roll never) and nearly always spread
  pest.Damage = 3;
  const int host = Place(1, 0, 10, 10);
  const int neighbour = Place(1, 1, 11, 11);
  const int farAway = Place(1, 1, 13, 10);
  C(host).StartPestFlies();
  battle.frame = 200;
  g_battleRandom.Seed(5);
  g_netRandomLog = 1;
  const int traced = g_traceLog.counter;
  const int before = C(host).health;
  C(host).PestStep();
  EXPECT_EQ(C(host).pestered, 1);
  EXPECT_EQ(C(host).health, before - 3);
  EXPECT_EQ(C(neighbour).pestered, 1);
  EXPECT_EQ(C(farAway).pestered, 0);
  EXPECT_EQ(C(host).pestTimer, 250);
  EXPECT_EQ(g_traceLog.counter - traced, 2);  // the stay roll and one catch roll

  // No strength: the flies leave at once (unless the roll is 0), and catch nobody; the
  // undead take no bite.
  pest.SpellStrength = 0;
  C(neighbour).undead = 1;
  const int neighbourHealth = C(neighbour).health;
  C(farAway).pestered = 0;
  C(neighbour).PestStep();
  EXPECT_EQ(C(neighbour).health, neighbourHealth);
  EXPECT_EQ(C(host).pestered, 1);  // already plagued: not caught again
  g_netRandomLog = 0;
}

struct RecordingAI : ICreatureAI {
  std::vector<std::vector<int>> gains;  // controller, army, amount
  void NoteManaGain(int controller, int army, int amount) override { gains.push_back({controller, army, amount}); }
};

TEST_F(Conditions, AWizardsManaStoresGrowForEveryRegionItsArmyHolds) {
  RecordingAI ai;
  HookScope<ICreatureAI> scope(g_creatureAI, ai);
  UseArmy(0);
  UseArmy(3);
  const int wizard = PlaceWizard(0, 5, 5);
  C(wizard).SetMaxMana(10);
  for (int32_t& store : C(wizard).manaStores) store = 0;
  g_map.regions[0].x = 20;  // one region of power on the map
  g_map.regions[0].y = 20;
  for (int j = 0; j < CMap::kPlayers; ++j) g_map.regionHolders[0][j] = -1;
  g_map.regionHolders[0][3] = 0;  // army 3's view of the region: held by army 0
  C(wizard).RecoverWizardMana();
  EXPECT_EQ(C(wizard).manaStores[3], g_manaRecovery * 256 / g_manaRecoveryDelay);
  EXPECT_EQ(C(wizard).manaStores[0], 0);
  EXPECT_EQ(ai.gains, (std::vector<std::vector<int>>{{0, 3, 1}, {1, 3, 1}}));
  // The stores stop at the maximum.
  for (int n = 0; n < 100; ++n) C(wizard).RecoverWizardMana();
  EXPECT_EQ(C(wizard).manaStores[3], 10 * 256);
  g_map.regions[0] = CRegionOfPower{};
  g_map.regionHolders[0][3] = -1;
}

}  // namespace
}  // namespace creature_test
