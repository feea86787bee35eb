// A computer wizard in a battle of the forged moorland, run frame by frame as the battle runs
// it: knowing one spell at a time of those cast for the script, to heal, as a missile, over an
// area and on its own creatures, with enemies, an enemy group, wounded friends and a body about
// it, it casts the spell within a bound of frames (the battle trace's cast lines, by decision
// type); the same seed played again gives the same trace.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "PanelTestSupport.h"
#include "ai/AIController.h"
#include "ai/AIDecision.h"
#include "ai/AISpellDecision.h"
#include "battle/Battle.h"
#include "battle/BattleArmies.h"
#include "battle/BattleTrace.h"
#include "battle/Script.h"
#include "battle/ScriptActors.h"
#include "core/GameSettings.h"
#include "core/Main.h"
#include "core/Options.h"
#include "core/Random.h"
#include "creatures/Armies.h"
#include "creatures/CreatureAnims.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureMapHooks.h"
#include "creatures/CreatureType.h"
#include "creatures/SpellDefinition.h"
#include "creatures/WizardTable.h"
#include "forge/TerrainTypes.h"
#include "graphics/BattleFacing.h"
#include "magic/EffectCreatures.h"
#include "magic/EffectManager.h"
#include "magic/EffectSounds.h"
#include "magic/EffectWorld.h"
#include "magic/ParticleManager.h"
#include "map/Map.h"
#include "map/MapCell.h"
#include "map/MapPlacement.h"
#include "map/MapUnits.h"
#include "map/MapView.h"
#include "net/NetBattle.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "support/TestSupport.h"
#include "ui/Screen.h"

using namespace panel_test;

namespace {

constexpr int kFrameBound = 300;
constexpr int kSeed = 4242;
constexpr int kCasterArmy = 1, kEnemyArmy = 2;
constexpr int kFlat = 20;  // the half side of the levelled square the scenes stand on
constexpr int kWalker = 3, kSturdy = 4, kHeldKind = 15;
constexpr int kScriptSpell = 34;  // the script's spell, cast at the centre of a named area

struct QuietSounds : IEffectSounds {
  void PlayAt(int, int, int, CSoundInstance**, int) override {}
  void PlaySpellCastSound(int, int, int) override {}
  void UpdateLoopPosition(CSoundInstance*, int, int) override {}
  void PlayUnpositioned(int, CSoundInstance**, int) override {}
};

struct CallerScreen : CScreen {
  void Update() override {}
  int OnMessage(platform::WindowHandle, unsigned, uintptr_t, intptr_t) override { return 0; }
};

class ComputerWizardSpells;

struct Case {
  int type, spell;
  std::function<void(ComputerWizardSpells&)> scene;
};

class ComputerWizardSpells : public PanelDisplay {
 public:
  // A creature of the type for the army on the flat ground at (dx, dy) from the centre, seen
  // by every army.
  int Place(int type, int army, int dx, int dy) {
    CCreature* creature = g_creatureArray.FindFree();
    EXPECT_NE(creature, nullptr);
    if (!creature) return -1;
    creature->Reset(creature->index);
    creature->SetPosition(CWrapCoord::WrapX(cx_ + dx), CWrapCoord::WrapY(cy_ + dy), 0, type);
    creature->InitFromType(type, army);
    for (int army2 = 0; army2 < kArmyCount; ++army2) creature->sightingCounters[army2] = 30;
    return creature->index;
  }
  CCreature& C(int slot) { return *g_creatureArray.At(slot); }
  int Wizard() const { return wizard_; }
  void Pressed(int dx, int dy) {
    const int pressed = Place(kSturdy, kCasterArmy, dx, dy);
    const int enemy = Place(kWalker, kEnemyArmy, dx + 1, dy);
    C(enemy).AttackCreature(pressed);
  }
  // A command event of the script for the wizard: cast the spell at the centre of a named
  // area beside it, paid for.
  void ScriptCommand() {
    CEventAreas::Item area{};
    const int x = CWrapCoord::WrapX(cx_ + 3), y = cy_;
    area[0] = area[3] = x, area[1] = area[4] = y, area[2] = area[5] = 0;
    std::strncpy(reinterpret_cast<char*>(&area[6]), "Pyre", kScriptNameSize - 1);
    g_map.eventAreas.items.push_back(area);
    std::ofstream(data_->File("script.cfg"))
        << ("[EVENT_1]\nValid=True\nEventType=COMMAND\nNumberOfActions=-1\nCommandCharacter=Morvane\n"
            "SpellToCast=" +
            std::to_string(kScriptSpell) + "\nSpellTarget=LOCATION\nTargetLocation=Pyre\nManaBoost=True\nRating=90\n");
    platform::FlushProfileCache();
    LoadScriptEventsFrom(g_script, data_->File("script.cfg"));
    g_script.Prepare();
  }

 protected:
  void SetUp() override {
    PanelDisplay::SetUp();
    data_ = std::make_unique<testing_support::ForgedDataCopy>();
    std::memcpy(savedFile_, g_realmFile, sizeof savedFile_);
    std::memcpy(savedName_, g_realmName, sizeof savedName_);
    std::snprintf(g_realmFile, sizeof g_realmFile, "%s", "realms\\moorland\\moorland.cfg");
    std::snprintf(g_realmName, sizeof g_realmName, "%s", "moorland");
    ResetScreenStack();
    g_screenStack[1] = &caller_;
    g_screenCount = 1;
    g_currentScreen = &caller_;
    g_gameMode = kGameModeDirect;
    g_battleSetup = CBattleSetup{1, kSeed, kSeed, 1, 1, 0};
    before_ = g_battle;
    soundScope_ = std::make_unique<HookScope<IEffectSounds>>(g_effectSounds, sounds_);
    // The battle's systems in place while it loads, once for both runs.
    InstallBattle();
    InstallCreatures();
    InstallEffectCreatures();
  }
  void TearDown() override {
    CloseBattleTrace();
    EndNetBattle();
    g_effectWorld.Install(nullptr);
    UninstallBattle();
    battle_.Exit();
    g_script.Clear();
    g_scriptActors.Clear();
    g_effectManager.Reset();
    g_particleManager.Clear();
    g_creatureArray.ReleaseAll();
    for (auto& set : g_creatureTypeAnims) set.reset();
    g_mapView.SetMap(nullptr);
    g_map.Clear();
    g_armyTable.ResetAll();
    ClearWizardSites();
    ResetScreenStack();
    g_battle = before_;
    g_skipThisFrame = 0;
    std::memcpy(g_realmFile, savedFile_, sizeof savedFile_);
    std::memcpy(g_realmName, savedName_, sizeof savedName_);
    g_gameMode = 0;
    g_battleSetup = CBattleSetup{};
    ResetGlobalOptions();
    soundScope_.reset();
    data_.reset();
    PanelDisplay::TearDown();
  }

  // The battle loaded from the forged data as the game loads it, running as the current
  // screen on the loopback network, the square about the map's centre levelled to grass.
  void LoadTheBattle() {
    EndNetBattle();
    ASSERT_TRUE(g_effectManager.ReadEffectsCfg() && g_effectManager.ReadEffectAniCfg());
    ASSERT_EQ(LoadSpells("cfg/spells.cfg", g_spellDefs), 1);
    ASSERT_EQ(ReadCreatureConfig("cfg/creature.cfg", "cfg/hth.cfg", g_creatureTypes), 1);
    std::snprintf(g_wizardAnimFileName, sizeof g_wizardAnimFileName, "%s", g_wizardAnimFiles[0][1]);
    battle_.ClearCellQueue();
    ASSERT_TRUE(LoadBattle(battle_));
    MakeBattleCurrent();
    g_skipThisFrame = 1;
    battle_.loaded = 1;
    battle_.graphicsFreed = 1;
    ASSERT_TRUE(StartSinglePlayerNet("Edric"));
    battle_.frameNumber = 0;  // the network starts again at its first frame
    battle_.paused = 0;
    // Steps, not time: the computer players decide alike on every machine.
    g_aiTimeSystem = kNotionalTime;
    g_aiTimeLimit = 4000;
    cx_ = g_map.width / 2;
    cy_ = g_map.height / 2;
  }

  void MakeBattleCurrent() {
    g_battle = &battle_;
    g_screenStack[2] = &battle_;
    g_screenCount = 2;
    g_currentScreen = &battle_;
  }

  // The scene of a case: everything of the last one gone, the ground levelled again, the
  // computer wizard knowing the one spell, its army and the enemy's hostile to every other.
  void Arrange(const Case& c) {
    g_script.Clear();
    g_scriptActors.Clear();
    g_effectManager.Reset();
    g_particleManager.Clear();
    g_creatureArray.ForEachInUse([](CCreature& creature) { creature.Detach(); });
    g_creatureArray.ReleaseAll();
    // Taking the last case's wizards away (or a wizard's fall in it) raised the end of a
    // battle of computers alone: this battle goes on with the new scene.
    g_aiOnlyEnd = 0;
    MakeBattleCurrent();
    for (int y = -kFlat; y <= kFlat; ++y)
      for (int x = -kFlat; x <= kFlat; ++x)
        for (int level = 0; level < g_map.levels; ++level) {
          CMapCell& cell = g_map.CellAt(CWrapCoord::WrapX(cx_ + x), CWrapCoord::WrapY(cy_ + y), level);
          cell.state &= static_cast<uint16_t>(~(state_bits::kField10 | state_bits::kField20));
          cell.terrain = level > 0 ? 0 : forge::terrain::kGrass;
        }
    for (int army = 0; army < kArmyCount; ++army) g_armyTable.armies[army].wizardCreature = -1;
    for (int army : {kCasterArmy, kEnemyArmy}) {
      CArmy& record = g_armyTable.armies[army];
      record.inUse = 1;
      record.human = 0;
      std::snprintf(record.name, sizeof record.name, "%s", army == kCasterArmy ? "Morvane" : "Raiders");
      record.SetRelationToAll(0);
    }
    // The player's wizard stands in a far corner of the levelled ground, out of the scene's
    // reach: a battle a person plays is never ended for the computers.
    const int local = Place(0, 0, 1 - kFlat, 1 - kFlat);
    g_armyTable.armies[0].wizardCreature = local;
    for (int army = 1; army < kArmyCount; ++army) C(local).sightingCounters[army] = 0;
    wizard_ = Place(0, kCasterArmy, 0, 0);
    CCreature& wizard = C(wizard_);
    g_armyTable.armies[kCasterArmy].wizardCreature = wizard_;
    wizard.spellCount = 0;
    wizard.AddSpell(c.spell);
    wizard.SetMaxMana(1000);
    wizard.AddMana(1000 * 256);
    wizard.aiWords[wizard_words::kControlLimit] = 25;
    c.scene(*this);
    // The case's own seed: a battle loaded a second time in the process leaves the battle's
    // generator elsewhere than the first (the loading draws differently), so each case starts
    // both generators afresh.
    g_battleRandom.Seed(static_cast<uint32_t>(kSeed + c.type));
    g_aiRandom.Seed(static_cast<uint32_t>(kSeed + c.type));
    g_aiUnitController.Start();
    g_aiSideController.Start();
    // Only the spell decisions compete: the wizard neither summons, nor keeps its mana, nor
    // leads its creatures.
    auto& decisions = g_aiSideController.decisions;
    for (auto it = decisions.begin(); it != decisions.end();) {
      const int type = (*it)->type;
      if (type > kAISummonDecisionType && type < kAIManaReserveDecisionType) {
        ++it;
      } else {
        delete *it;
        it = decisions.erase(it);
      }
    }
  }

  // Runs the battle until the wizard casts with the case's decision type or the bound passes;
  // the frames run, the trace of them in `trace`.
  int RunUntilCast(const Case& c, std::string& trace) {
    const std::string path = data_->File("trace.txt");
    OpenBattleTrace(path.c_str());
    const std::string cast = " type " + std::to_string(c.type) + " spell ";
    int frame = 0;
    for (; frame < kFrameBound && g_currentScreen == &battle_; ++frame) {
      const int tick = BattleState().gameTick;
      for (int tries = 0; tries < 4 && BattleState().gameTick == tick; ++tries) battle_.Update();
      if (testing_support::ReadText(path).find(cast) != std::string::npos) break;
      if (g_currentScreen != &battle_) {
        ADD_FAILURE() << "the battle ended at frame " << frame;
        break;
      }
    }
    CloseBattleTrace();
    trace = testing_support::ReadText(path);
    return frame;
  }

  QuietSounds sounds_;
  std::unique_ptr<HookScope<IEffectSounds>> soundScope_;
  CallerScreen caller_;
  CBattle battle_;
  CBattle* before_ = nullptr;
  std::unique_ptr<testing_support::ForgedDataCopy> data_;
  char savedFile_[256] = {}, savedName_[256] = {};
  int cx_ = 0, cy_ = 0;
  int wizard_ = -1;
};

TEST_F(ComputerWizardSpells, EachSpellIsCastWithinTheBoundAndOneSeedGivesOneTrace) {
  using T = ComputerWizardSpells;
  const auto enemyNear = [](T& t) { t.Place(kWalker, kEnemyArmy, 4, 0); };
  const auto enemyGroup = [](T& t) {
    for (int dy : {-1, 0, 1}) t.Place(kWalker, kEnemyArmy, 6, dy);
  };
  const auto pressedFriend = [](T& t) { t.Pressed(3, 0); };
  const std::vector<Case> cases = {
      {36, 71, enemyNear},
      {24, 46, [](T& t) { t.Place(kHeldKind, kEnemyArmy, 4, 0); }},
      {37, 72, enemyNear},
      {18, 34, enemyGroup},
      {50, 88, enemyGroup},
      {21, 41, [](T& t) { t.C(t.Place(kSturdy, kCasterArmy, 2, 0)).health = 20; }},
      {26, 52,
       [](T& t) {
         CCreature& body = t.C(t.Place(kWalker, kEnemyArmy, 3, 0));
         body.AdjustHealth(-body.health, 0, nullptr, 1);
       }},
      {39, 74, pressedFriend},
      {47, 83, pressedFriend},
      {43, 78, pressedFriend},
      {48, 84, pressedFriend},
      {30, 60,
       [](T& t) {
         t.Place(kWalker, kCasterArmy, 2, 0);
         t.C(t.Wizard()).AddMana(-500 * 256);
       }},
      {58, kScriptSpell, [](T& t) { t.ScriptCommand(); }},
  };
  std::vector<std::string> traces[2];
  for (int run = 0; run < 2; ++run) {
    ASSERT_NO_FATAL_FAILURE(LoadTheBattle());
    for (const Case& c : cases) {
      SCOPED_TRACE("run " + std::to_string(run) + " type " + std::to_string(c.type));
      Arrange(c);
      std::string trace;
      const int frames = RunUntilCast(c, trace);
      EXPECT_LT(frames, kFrameBound) << "never cast";
      traces[run].push_back(trace);
    }
  }
  ASSERT_EQ(traces[0].size(), traces[1].size());
  for (size_t i = 0; i < traces[0].size(); ++i)
    EXPECT_EQ(traces[0][i], traces[1][i]) << "type " << cases[i].type << " played differently";
}

}  // namespace
