#pragma once
// A battle on the loopback network for the tests of the frame's commands: a flat forged map
// with the forged spells, creature types and effect tables, a wizard of the local army and an
// enemy it sees, the battle's hooks installed. Frame(n) runs one battle frame as the battle
// does; the inputs_ go out with the inputs of their frame.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "battle/Battle.h"
#include "battle/Scanner.h"
#include "battle/ScriptActors.h"
#include "battle/TimerPanel.h"
#include "core/GameSettings.h"
#include "core/Options.h"
#include "core/Random.h"
#include "creatures/Armies.h"
#include "creatures/CreatureAnims.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureMapHooks.h"
#include "creatures/CreatureType.h"
#include "creatures/SpellDefinition.h"
#include "creatures/Wizard.h"
#include "forge/TerrainTypes.h"
#include "magic/EffectBattle.h"
#include "magic/EffectCreatures.h"
#include "magic/EffectManager.h"
#include "magic/EffectSounds.h"
#include "magic/EffectWorld.h"
#include "magic/ParticleManager.h"
#include "magic/SpellCast.h"
#include "map/Map.h"
#include "map/MapCommands.h"
#include "map/MapHooks.h"
#include "map/TerrainType.h"
#include "map/TileOverlay.h"
#include "net/NetBattle.h"
#include "net/NetMachine.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "support/TestSupport.h"

inline constexpr int kMissile = 8;
inline constexpr int kBrownie = 1;

struct QuietEffectSounds : IEffectSounds {
  void PlayAt(int, int, int, CSoundInstance**, int) override {}
  void PlaySpellCastSound(int, int, int) override {}
  void UpdateLoopPosition(CSoundInstance*, int, int) override {}
  void PlayUnpositioned(int, CSoundInstance**, int) override {}
};

// A flat forged map with the forged spells, creature types and effect tables, a wizard of the
// local army and an enemy it sees, the battle's hooks installed and the loopback network up.
class BattleFrameWorld : public ::testing::Test {
 protected:
  void SetUp() override {
    here_ = platform::CurrentDirectory();
    ASSERT_TRUE(platform::ChangeDirectory(testing_support::ForgedDataDir()));  // read only
    platform::FlushProfileCache();
    ASSERT_TRUE(g_effectManager.ReadEffectsCfg() && g_effectManager.ReadEffectAniCfg());
    ASSERT_EQ(LoadSpells("cfg/spells.cfg", g_spellDefs), 1);
    ASSERT_EQ(ReadCreatureConfig("cfg/creature.cfg", "cfg/hth.cfg", g_creatureTypes), 1);
    std::snprintf(g_wizardAnimFileName, sizeof g_wizardAnimFileName, "%s", g_wizardAnimFiles[0][1]);
    std::vector<uint8_t> file = forge::TerrainFileBytes(forge::ForgedTerrainTypes());
    ASSERT_TRUE(g_terrainTypes.Assign(file.data() + 16, file.size() - 16));
    savedHooks_ = g_mapHooks;
    InstallBattle();
    InstallCreatures();
    InstallEffectCreatures();
    soundScope_ = std::make_unique<HookScope<IEffectSounds>>(g_effectSounds, sounds_);
    g_gameMode = kGameModeDirect;
  }
  void TearDown() override {
    ClearWorld();
    // The scheduler's turn and phases start again with the next battle.
    g_creatureArray.schedulerCursor = g_creatureArray.phase20 = g_creatureArray.phase90 = 0;
    soundScope_.reset();
    g_effectWorld.Install(nullptr);
    UninstallBattle();
    g_mapHooks = savedHooks_;
    // A battle that ran down to its last wizard leaves its end flag up; the next battle
    // would otherwise end on its first frame.
    g_aiOnlyEnd = 0;
    g_gameMode = 0;
    for (auto& set : g_creatureTypeAnims) set.reset();
    g_map.Clear();
    g_tileSpans.Free();
    g_terrainTypes.Clear();
    ResetGlobalOptions();
    platform::ChangeDirectory(here_);
  }

  // The battle as it loads: the map, the armies, the creatures, the generator, casting reset.
  void BuildWorld(uint32_t seed) {
    ASSERT_EQ(g_map.Create(48, 44, 8, 1, 1), 1);
    for (int y = 0; y < g_map.height; ++y)
      for (int x = 0; x < g_map.width; ++x) g_map.CellAt(x, y, 0).terrain = forge::terrain::kGrass;
    g_map.waterLevel = 0;
    g_tileSpans.Reset();
    CParticle::SetWorldSize(48 * 32, 44 * 32, 8 * 16);
    g_armyTable.ResetAll();
    g_creatureArray.ReleaseAll();
    ResetGlobalOptions();
    g_alignmentBalance = 5;  // left over from an earlier battle
    ResetSpellCasting();
    g_creatureArray.schedulerCursor = g_creatureArray.phase20 = g_creatureArray.phase90 = 0;
    g_battleRandom.Seed(seed);
    g_effectManager.Reset();
    for (int army : {0, 1}) {
      CArmy& record = g_armyTable.armies[army];
      record.inUse = 1;
      record.human = army == 0 ? 1 : 0;
      std::snprintf(record.name, sizeof record.name, "army%d", army);
      record.SetRelationToAll(0);
    }
    g_armyTable.SetActiveArmy(0);
    wizard_ = Place(0, 0, 10, 10);
    g_armyTable.armies[0].wizardCreature = wizard_;
    C(wizard_).maxMana = 1000;
    C(wizard_).mana = 200 * 256;
    C(wizard_).aiWords[wizard_words::kControlLimit] = 25;  // as deployment gives it
    enemy_ = Place(kBrownie, 1, 14, 10);
    for (int army = 0; army < 8; ++army) C(enemy_).sightingCounters[army] = 30;
    ASSERT_TRUE(StartSinglePlayerNet("Edric"));
  }
  void ClearWorld() {
    EndNetBattle();
    g_effectManager.Reset();
    g_particleManager.Clear();
    g_creatureArray.ReleaseAll();
    g_armyTable.ResetAll();
    ResetSpellCasting();
  }
  int Place(int type, int army, int x, int y) {
    CCreature* creature = g_creatureArray.FindFree();
    EXPECT_NE(creature, nullptr);
    if (!creature) return -1;
    creature->Reset(creature->index);
    creature->SetPosition(x, y, 0, type);
    creature->InitFromType(type, army);
    return creature->index;
  }
  CCreature& C(int slot) { return *g_creatureArray.At(slot); }

  // One battle frame as the battle runs it: the frame's commands, the next frame sent, the
  // effects (and, when asked, the creatures), this frame's inputs, the wait for the next frame.
  void Frame(int n) {
    ASSERT_TRUE(g_netClient.RunFrame(n, true)) << n;
    trace_.push_back(TraceLine(n, "run"));
    g_netClient.SendFrame(n + 1);
    for (int i = 0; i < g_effectManager.Count(); ++i) {
      CEffect* effect = g_effectManager.At(i);
      if (effect->active) effect->Update();
    }
    if (runCreatures_) {
      g_creatureArray.ForEachInUse([](CCreature& creature) { creature.Update(); });
      g_creatureArray.ThinkAll();
    }
    for (const auto& [frame, command] : inputs_)
      if (frame == n) g_netClient.AddMessage(command);
    trace_.push_back(TraceLine(n, "end"));
    ASSERT_TRUE(g_netHost.WaitForFrame(n + 1, true)) << n + 1;
  }
  // What the battle holds: the wizard's mana, the enemy's health, every active effect and the
  // generator's next word (read from a copy, so the battle's own is not drawn).
  std::string TraceLine(int n, const char* when) {
    char line[160];
    CRandom copy = g_battleRandom;
    const CCreature& w = C(wizard_);
    std::snprintf(line, sizeof line, "%d %s mana %d health %d random %u wizard %d,%d,%d order %d", n, when, w.mana,
                  C(enemy_).health, copy.Next(), w.cellX, w.cellY, w.level, w.GetCurrentOrder());
    std::string text = line;
    for (int i = 0; i < g_effectManager.Count(); ++i) {
      const CEffect* e = g_effectManager.At(i);
      if (!e->active) continue;
      std::snprintf(line, sizeof line, " [%d k%d %d,%d,%d]", i, e->kind, e->x, e->y, e->z);
      text += line;
    }
    return text;
  }
  int ActiveEffects() {
    int n = 0;
    for (int i = 0; i < g_effectManager.Count(); ++i) n += g_effectManager.At(i)->active ? 1 : 0;
    return n;
  }

  QuietEffectSounds sounds_;
  std::unique_ptr<HookScope<IEffectSounds>> soundScope_;
  MapHooks savedHooks_{};
  std::string here_;
  std::vector<std::string> trace_;
  // The local player's inputs: each command goes out with the inputs of its frame.
  std::vector<std::pair<int, CommandMessage>> inputs_;
  bool runCreatures_ = false;
  int wizard_ = -1, enemy_ = -1;
};
