#pragma once
// Fixtures of the effect tests: a map of forged terrain, creatures that both the map and the
// effects see, the effect pool reset around each test, and the forged effect tables.

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "magic/EffectManager.h"
#include "magic/EffectWorld.h"
#include "magic/MagicHooks.h"
#include "map/Map.h"
#include "map/MapHooks.h"

namespace magic_test {

// Creatures as the map (bodies in cells) and the effects (everything else) see them.
struct FakeWorld : IEffectWorld, IMapCreatures {
  std::map<int, EffectCreature> creatures;
  std::vector<std::vector<int>> damage;       // creature, amount, army, item0, item1
  std::vector<std::vector<int>> immobilised;  // creature, time, kind
  std::vector<std::vector<int>> mana;         // creature, amount
  int artifactValue = 0;

  bool GetCreature(int c, EffectCreature& out) override;
  void TakeDamage(int c, int amount, int army, int item0, int item1) override {
    damage.push_back({c, amount, army, item0, item1});
  }
  void Immobilise(int c, int time, int kind) override { immobilised.push_back({c, time, kind}); }
  void AddMana(int c, int amount) override { mana.push_back({c, amount}); }
  int ArtifactValue(int, int) override { return artifactValue; }
  bool GetBody(int c, CreatureBody& out) override;

  // Stands a creature of a footprint (1 or 2) and height in levels on a cell: its cells
  // take it as occupant.
  EffectCreature& Place(int c, int cellX, int cellY, int level, int footprint = 1, int height = 1);
};

// A 64 x 64 map of 8 levels with a grass floor on level 0, the forged terrain types, the
// effect pool reset, and the fakes and the effects' map hooks installed.
class EffectTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  void Set(int x, int y, int level, int type);
  CMapCell& Cell(int x, int y, int level) { return g_map.CellAt(x, y, level); }
  // Activates a record of 100 up with the block; null when the pool is full.
  CEffect* Start(int kind, const CEffectParams& block);
  // A block with source and target at one point.
  static CEffectParams At(int x, int y, int z);

  FakeWorld world;
  CEffectMapHooks effectHooks;
  std::unique_ptr<MapHooksScope> mapScope;
  std::unique_ptr<HookScope<IEffectWorld>> worldScope;
  CEffectManager& manager = g_effectManager;
};

// The forged effect tables, loaded once (cfg\effects.cfg, cfg\effectani.cfg and the effect
// sprites) from the forged data folder.
bool LoadForgedEffectTables();

}  // namespace magic_test
