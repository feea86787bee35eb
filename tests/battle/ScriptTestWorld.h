#pragma once
// The fixture of the script tests: a small empty map with named event areas, creature
// records filled by hand (no art), an army table, a hand-made script read from a temporary
// file, and fakes of the script's actions and of the computer player that record what they
// are asked.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "battle/BattleSystems.h"
#include "battle/Script.h"
#include "battle/ScriptActors.h"
#include "core/Options.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureType.h"
#include "creatures/Mapelem.h"
#include "graphics/BattleFacing.h"
#include "map/Map.h"
#include "platform/Profile.h"
#include "support/TestSupport.h"

namespace script_test {

// Records the actions the engine hands over. DIALOGUE actions leave the event running with no
// post-pause left (the speech box calls back); the others re-arm as an action does.
struct RecordingActions : IScriptActions {
  std::vector<int> runs;  // record numbers, in order
  int speechesFinished = 0;
  // Dialogues that re-arm without a word, as one does when the local army has no wizard.
  std::vector<int> silent;
  void RunAction(CScript& script, int record, int) override {
    runs.push_back(record);
    CScriptEvent& e = script.Event(record);
    if (e.type == kScriptDialogue && std::count(silent.begin(), silent.end(), record) == 0) {
      e.runState = kScriptRunning;
      e.postPauseLeft = 0;
    } else
      script.RearmEvent(record);
  }
  void FinishSpeech() override { ++speechesFinished; }
  int Count(int record) const {
    int n = 0;
    for (int r : runs) n += r == record;
    return n;
  }
};

// The computer player: the type of each creature's top decision, and the decisions dropped.
struct FakeComputerPlayer : IBattleSystems {
  int decisionType = -1;
  std::vector<int> dropped;
  int TopDecisionType(int) override { return decisionType; }
  void DropTopDecision(int creature) override { dropped.push_back(creature); }
};

class ScriptWorld : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(g_map.Create(64, 48, 4, 1, 1), 1);
    g_armyTable.ResetAll();
    g_creatureArray.ReleaseAll();
    g_script.Clear();
    g_scriptActors.Clear();
    BattleState().gameTick = 0;
    g_difficulty = 1;
    for (int t : {0, 3, 5, 24}) {
      CCreatureType& type = g_creatureTypes[t];
      type.TileSizeXY = 1;
      type.TileHeight = 1;
      type.Health = 100;
      type.alignment = t == 5 ? 2 : 0;
      type.Weight = 50;
    }
  }
  void TearDown() override {
    g_script.Clear();
    g_scriptActors.Clear();
    g_creatureArray.ReleaseAll();
    g_armyTable.ResetAll();
    for (CCreatureType& type : g_creatureTypes) type = CCreatureType{};
    g_map.Clear();
    BattleState().gameTick = 0;
    ResetGlobalOptions();
  }

  // Reads the script text and prepares it.
  void Load(const std::string& text) {
    dir_.Write("script.cfg", text);
    platform::FlushProfileCache();
    LoadScriptEventsFrom(g_script, dir_.File("script.cfg"));
    g_script.Prepare();
  }
  static std::string Event(int section, const std::string& keys) {
    return "[EVENT_" + std::to_string(section) + "]\nValid=True\n" + keys + "\n";
  }

  // One battle tick as the battle runs it.
  void Tick() {
    ++BattleState().gameTick;
    g_script.FireEvent(kOccasionTick, -1, -1, 0, -1, -1);
    g_script.ProcessTick();
  }
  void TickTo(int tick) {
    while (BattleState().gameTick < tick) Tick();
  }

  // An event area of the name over the cells x0..x1, y0..y1, z0..z1.
  static void AddArea(const char* name, int x0, int y0, int z0, int x1, int y1, int z1) {
    CEventAreas::Item item{};
    item[0] = x0, item[1] = y0, item[2] = z0, item[3] = x1, item[4] = y1, item[5] = z1;
    std::strncpy(reinterpret_cast<char*>(&item[6]), name, kScriptNameSize - 1);
    g_map.eventAreas.items.push_back(item);
  }

  // A creature record filled by hand: in use, alive, at the cell.
  static int AddCreature(int type, int army, int x, int y, int level = 0) {
    CCreature* c = g_creatureArray.FindFree();
    EXPECT_NE(c, nullptr);
    c->Reset(c->index);
    c->inUse = 1;
    c->typeNumber = type;
    c->type = &g_creatureTypes[type];
    c->army = army;
    c->health = 100;
    c->ownMaxHealth = 100;
    c->cellX = x, c->cellY = y, c->level = level;
    g_creatureArray.NoteInUse(c->index);
    return c->index;
  }
  static CCreature& C(int slot) { return *g_creatureArray.At(slot); }

  // An army in use with a name; its wizard when given.
  static void UseArmy(int army, const char* name, int wizard = -1) {
    CArmy& record = g_armyTable.armies[army];
    record.inUse = 1;
    std::snprintf(record.name, sizeof record.name, "%s", name);
    record.wizardCreature = wizard;
  }

  RecordingActions actions;
  FakeComputerPlayer computer;

 private:
  testing_support::TempDir dir_;
  HookScope<IScriptActions> actionsScope_{g_scriptActions, actions};
  HookScope<IBattleSystems> systemsScope_{g_battleSystems, computer};
};

}  // namespace script_test
