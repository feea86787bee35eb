#pragma once
// The fixture of the creature tests: a flat forged map, the forged spells and creature types,
// an empty creature pool and army table, and creatures placed the way deployment places
// them. Fakes of what the creatures ask of the battle and the computer player record it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "creatures/Mapelem.h"

namespace creature_test {

// Records what the creatures tell the battle.
struct RecordingBattle : ICreatureBattle {
  int frame = 0;
  int gameType = 0;
  int endFlagsRaised = 0;
  bool scriptWatches = false;
  std::vector<int> removed;
  std::vector<int> spotAdded, spotRemoved;
  int FrameCounter() override { return frame; }
  int GameType() override { return gameType; }
  void RaiseBattleEndFlags() override { ++endFlagsRaised; }
  bool ScriptWatchesLastWizard() override { return scriptWatches; }
  void OnCreatureRemoved(int creature) override { removed.push_back(creature); }
  void AddSpotIcon(int creature) override { spotAdded.push_back(creature); }
  void RemoveSpotIcon(int creature) override { spotRemoved.push_back(creature); }
};

class CreatureWorld : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Places a creature of a type for an army at a cell, as deployment does: a free slot, its
  // position, then InitFromType. Answers the slot.
  int Place(int type, int army, int x, int y, int level = 0);
  // Makes an army in use (human and local when asked), hostile to the others.
  void UseArmy(int army, bool local = false);
  // Places the army's wizard and records it as the army's wizard creature.
  int PlaceWizard(int army, int x, int y);
  CCreature& C(int slot) { return *g_creatureArray.At(slot); }

  RecordingBattle battle;

 private:
  std::string here_;
  HookScope<ICreatureBattle> battleScope_{g_creatureBattle, battle};
};

// The creature world with the wizard table's answers installed, an empty table, and two
// hostile armies in use: army 1 the local player's, army 2 a rival's.
class WizardWorld : public CreatureWorld {
 protected:
  void SetUp() override;
  void TearDown() override;
};

}  // namespace creature_test
