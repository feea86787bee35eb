#pragma once
// Fixtures of the effect tests: a map of forged terrain, creatures that both the map and the
// effects see, the effect pool reset around each test, and the forged effect tables.

#include <gtest/gtest.h>

#include <map>
#include <tuple>
#include <vector>

#include "magic/EffectBattle.h"
#include "magic/EffectManager.h"
#include "magic/EffectSounds.h"
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
  std::vector<int> ignited, trapped, reacted, stoppedFlies;
  std::vector<std::vector<int>> health;    // creature, amount, army
  std::vector<std::vector<int>> attacker;  // creature, attacker + 1, value
  void Ignite(int c) override { ignited.push_back(c); }
  void Trap(int c) override { trapped.push_back(c); }
  void PlayEffectReaction(int c) override { reacted.push_back(c); }
  void AdjustHealth(int c, int amount, int army, int, int) override { health.push_back({c, amount, army}); }
  void SetLastAttacker(int c, int who, int value) override { attacker.push_back({c, who, value}); }
  void StopPestFlies(int c) override { stoppedFlies.push_back(c); }
  bool GetBody(int c, CreatureBody& out) override;

  // Stands a creature of a footprint (1 or 2) and height in levels on a cell: its cells
  // take it as occupant.
  EffectCreature& Place(int c, int cellX, int cellY, int level, int footprint = 1, int height = 1);
};

// The sounds casting and effects play.
struct RecordingSounds : IEffectSounds {
  std::vector<std::tuple<int, int, int>> played;  // id, cell x, cell y (-1 for no place)
  std::vector<int> castSounds;                    // spell
  void PlayAt(int id, int x, int y, CSoundInstance**, int) override { played.emplace_back(id, x, y); }
  void PlaySpellCastSound(int spell, int, int) override { castSounds.push_back(spell); }
  void UpdateLoopPosition(CSoundInstance*, int, int) override {}
  void PlayUnpositioned(int id, CSoundInstance**, int) override { played.emplace_back(id, -1, -1); }
  bool Heard(int id) const {
    for (const auto& p : played)
      if (std::get<0>(p) == id) return true;
    return false;
  }
};

// What the countdown kinds tell the battle.
struct RecordingBattle : IEffectBattle {
  std::vector<std::tuple<int, int, int>> markers, removedMarkers;
  std::vector<int> started, shown, defeats;
  void AddScannerMarker(int x, int y, int level) override { markers.emplace_back(x, y, level); }
  void RemoveScannerMarker(int x, int y, int level) override { removedMarkers.emplace_back(x, y, level); }
  void StartCountdown(int value) override { started.push_back(value); }
  void SetCountdown(int value) override { shown.push_back(value); }
  void EndWithDefeatMessage(int index) override { defeats.push_back(index); }
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
  // A record that carries a kind without that kind's set-up (it ran as a kind with none).
  CEffect* StartAs(int kind, const CEffectParams& block);
  // A block with source and target at one point.
  static CEffectParams At(int x, int y, int z);

  FakeWorld world;
  RecordingSounds sounds;
  RecordingBattle battle;
  CEffectMapHooks effectHooks;
  std::unique_ptr<MapHooksScope> mapScope;
  std::unique_ptr<HookScope<IEffectWorld>> worldScope;
  std::unique_ptr<HookScope<IEffectSounds>> soundScope;
  std::unique_ptr<HookScope<IEffectBattle>> battleScope;
  CEffectManager& manager = g_effectManager;
};

// The forged effect tables, loaded once (cfg\effects.cfg, cfg\effectani.cfg and the effect
// sprites) from the forged data folder.
bool LoadForgedEffectTables();

}  // namespace magic_test
