// A wizard's cast in a battle goes as a frame command: it is paid and its effect starts on the
// frame the loopback network runs it, and the same frames from the same seed play the same.
// The countdown effects reach the battle's scanner, its countdown dial and its end message.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
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
#include "forge/TerrainTypes.h"
#include "magic/EffectBattle.h"
#include "magic/EffectCreatures.h"
#include "magic/EffectManager.h"
#include "magic/EffectSounds.h"
#include "magic/EffectWorld.h"
#include "magic/ParticleManager.h"
#include "magic/SpellCast.h"
#include "map/MapCommands.h"
#include "map/Map.h"
#include "map/MapHooks.h"
#include "map/TerrainType.h"
#include "map/TileOverlay.h"
#include "net/NetBattle.h"
#include "net/NetMachine.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "support/TestSupport.h"

namespace {

constexpr int kMissile = 8;
constexpr int kBrownie = 1;
constexpr int kCastFrame = 3;  // the frame whose input sends the cast

struct QuietSounds : IEffectSounds {
  void PlayAt(int, int, int, CSoundInstance**, int) override {}
  void PlaySpellCastSound(int, int, int) override {}
  void UpdateLoopPosition(CSoundInstance*, int, int) override {}
  void PlayUnpositioned(int, CSoundInstance**, int) override {}
};

// A flat forged map with the forged spells, creature types and effect tables, a wizard of the
// local army and an enemy it sees, the battle's hooks installed and the loopback network up.
class BattleCasting : public ::testing::Test {
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
    soundScope_.reset();
    g_effectWorld.Install(nullptr);
    UninstallBattle();
    g_mapHooks = savedHooks_;
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
  // effects, this frame's inputs, the wait for the next frame.
  void Frame(int n) {
    ASSERT_TRUE(g_netClient.RunFrame(n, true)) << n;
    trace_.push_back(TraceLine(n, "run"));
    g_netClient.SendFrame(n + 1);
    for (int i = 0; i < g_effectManager.Count(); ++i) {
      CEffect* effect = g_effectManager.At(i);
      if (effect->active) effect->Update();
    }
    if (n == kCastFrame)
      g_netClient.AddMessage(MakeCastSpellCommand(kMissile, 14 * 32 + 16, 10 * 32 + 16, 0, wizard_, enemy_));
    trace_.push_back(TraceLine(n, "end"));
    ASSERT_TRUE(g_netHost.WaitForFrame(n + 1, true)) << n + 1;
  }
  // What the battle holds: the wizard's mana, the enemy's health, every active effect and the
  // generator's next word (read from a copy, so the battle's own is not drawn).
  std::string TraceLine(int n, const char* when) {
    char line[96];
    CRandom copy = g_battleRandom;
    std::snprintf(line, sizeof line, "%d %s mana %d health %d random %u", n, when, C(wizard_).mana, C(enemy_).health,
                  copy.Next());
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

  QuietSounds sounds_;
  std::unique_ptr<HookScope<IEffectSounds>> soundScope_;
  MapHooks savedHooks_{};
  std::string here_;
  std::vector<std::string> trace_;
  int wizard_ = -1, enemy_ = -1;
};

TEST_F(BattleCasting, ACastCommandIsPaidAndStartsItsEffectOnTheFrameItRuns) {
  BuildWorld(1234);
  EXPECT_EQ(g_alignmentBalance, 0);
  const int cost = g_spellDefs[kMissile].ManaCost * 256;
  ASSERT_GT(cost, 0);
  const int mana = C(wizard_).mana;
  int ranOn = -1;
  for (int n = 0; n < 12 && ranOn < 0; ++n) {
    const int activeBefore = ActiveEffects();
    Frame(n);
    if (C(wizard_).mana != mana) {
      ranOn = n;
      EXPECT_EQ(C(wizard_).mana, mana - cost);
      EXPECT_GT(ActiveEffects(), activeBefore);
    } else {
      EXPECT_EQ(ActiveEffects(), 0) << n;
    }
  }
  EXPECT_GT(ranOn, kCastFrame);  // sent as an input, it runs on a later frame everywhere
}

TEST_F(BattleCasting, TheSameFramesFromOneSeedGiveTheSameTrace) {
  std::vector<std::string> traces[2];
  for (auto& trace : traces) {
    BuildWorld(4321);
    trace_.clear();
    for (int n = 0; n < 40; ++n) Frame(n);
    trace = trace_;
    ClearWorld();
  }
  ASSERT_EQ(traces[0].size(), 80u);
  EXPECT_EQ(traces[0], traces[1]);
  // The cast was paid and its missile flew: the trace is not a still world.
  EXPECT_NE(traces[0].front().substr(traces[0].front().find("mana")), traces[0].back().substr(traces[0].back().find("mana")));
}

TEST_F(BattleCasting, CountdownEffectsReachTheScannerTheDialAndTheEndMessage) {
  struct EndMessages : IScriptBattleEnd {
    std::string DefeatMessage(int n) override { return "defeat " + std::to_string(n); }
  } ends;
  HookScope<IScriptBattleEnd> endScope(g_scriptBattleEnd, ends);
  const size_t markers = g_scanner.Markers().size();
  g_effectBattle->AddScannerMarker(7, 9, 0);
  EXPECT_EQ(g_scanner.Markers().size(), markers + 1);
  g_effectBattle->RemoveScannerMarker(7, 9, 0);
  EXPECT_EQ(g_scanner.Markers().size(), markers);

  g_timerPanel.flag = 0;
  g_effectBattle->StartCountdown(90);
  EXPECT_EQ(g_timerPanel.flag, 1);
  EXPECT_EQ(g_timerPanel.Total(), 90);
  g_effectBattle->SetCountdown(40);
  EXPECT_EQ(g_timerPanel.Current(), 40);
  g_timerPanel.flag = 0;

  g_effectBattle->EndWithDefeatMessage(2);
  EXPECT_EQ(ends.endMessage, "defeat 2");
}

}  // namespace
