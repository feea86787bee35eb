#include "CreatureWorld.h"

#include <cstring>

#include "core/Options.h"
#include "creatures/CreatureAnims.h"
#include "creatures/CreatureType.h"
#include "creatures/SpellDefinition.h"
#include "creatures/WizardTable.h"
#include "forge/TerrainTypes.h"
#include "map/Map.h"
#include "map/TerrainType.h"
#include "map/TileOverlay.h"
#include "platform/Files.h"
#include "support/CreatureField.h"
#include "support/TestSupport.h"

namespace creature_test {

void CreatureWorld::SetUp() {
  here_ = platform::CurrentDirectory();
  ASSERT_TRUE(platform::ChangeDirectory(testing_support::ForgedDataDir()));  // read only
  ASSERT_NO_FATAL_FAILURE(testing_support::MakeCreatureField());
  g_armyTable.ResetAll();
  g_creatureArray.ReleaseAll();
  ResetCreatureSelection();
  ResetGlobalOptions();
}

void CreatureWorld::TearDown() {
  g_creatureArray.ReleaseAll();
  g_armyTable.ResetAll();
  ResetCreatureSelection();
  for (CCreatureType& type : g_creatureTypes) type = CCreatureType{};
  testing_support::ClearCreatureField();
  ResetGlobalOptions();
  platform::ChangeDirectory(here_);
}

int CreatureWorld::Place(int type, int army, int x, int y, int level) {
  return testing_support::PlaceCreature(type, army, x, y, level);
}

void CreatureWorld::UseArmy(int army, bool local) {
  CArmy& record = g_armyTable.armies[army];
  record.inUse = 1;
  record.human = local ? 1 : 0;
  std::snprintf(record.name, sizeof record.name, "army%d", army);
  record.SetRelationToAll(0);
  if (local) g_armyTable.SetActiveArmy(army);
}

int CreatureWorld::PlaceWizard(int army, int x, int y) {
  const int slot = Place(0, army, x, y);
  g_armyTable.armies[army].wizardCreature = slot;
  return slot;
}

void WizardWorld::SetUp() {
  CreatureWorld::SetUp();
  InstallWizards();
  // Every record as a fresh process has it: a reset keeps what a record's owner set (its
  // computer flag, its text block), which an earlier test may have.
  for (int i = 0; i < kWizardRecords; ++i) {
    g_wizardTable.records[i] = CWizard();
    g_wizardTable.records[i].index = i;
  }
  g_wizardTable.Clear();
  UseArmy(1, true);
  UseArmy(2);
}

void WizardWorld::TearDown() {
  g_creatureArray.ReleaseAll();
  g_wizardTable.Clear();
  g_creatureWizards.Install(nullptr);
  CreatureWorld::TearDown();
}

}  // namespace creature_test
