#include "battle/BattleWizards.h"

#include <cstdio>
#include <cstring>

#include "battle/Battle.h"
#include "core/GameSettings.h"
#include "core/Options.h"
#include "core/PlayerSlot.h"
#include "creatures/Armies.h"
#include "creatures/WizardTable.h"

namespace {

// The enemy of a direct start with the directAI switch, as it is named once generated.
constexpr const char* kSecondAIArmy = "secondAI";
constexpr const char* kSecondAIWizard = "MoorlandWizard";
constexpr int kRandomWizardMana = 100;

CWizard* FreeRecord() { return g_wizardTable.At(g_wizardTable.FindFree()); }

// The player's wizard: the record of its name, else a free record from "_start.wzd" (or
// generated with the directAI switch). A start file that cannot be read gives a generated one.
CWizard* PlayerWizard(int army) {
  CWizard* wizard = g_wizardTable.FindByName(kDefaultPlayerWizardName);
  if (wizard && wizard->inUse) return wizard;
  wizard = FreeRecord();
  if (!wizard) return nullptr;
  // Drawn from the battle's own map seed, which a playback restores from its recording (the
  // command line's may name another).
  const uint32_t seed = static_cast<uint32_t>(g_battleSetup.mapSeed) + static_cast<uint32_t>(army);
  if (g_directAI || !wizard->LoadDefinition(g_startWizardFile, 0, -1))
    wizard->InitRandom(kDefaultPlayerWizardName, 0, kRandomWizardMana, g_numRandomSpells, seed);
  if (g_gameMode == kGameModeDirect) std::snprintf(wizard->name, sizeof wizard->name, "Wizard1");
  return wizard;
}

CWizard* SecondAIWizard(int army) {
  CWizard* wizard = FreeRecord();
  if (!wizard) return nullptr;
  wizard->InitRandom("", 1, kRandomWizardMana, g_numRandomSpells,
                     static_cast<uint32_t>(g_battleSetup.mapSeed) * 31u + army);
  std::snprintf(wizard->name, sizeof wizard->name, "%s", kSecondAIWizard);
  return wizard;
}

// A quick or network battle: the record of the army's player slot (armies 0-3 are slots 0-3).
CWizard* SlotWizard(const CArmy& record) {
  const int slot = record.index < kPlayerSlotCount ? record.index : 0;
  CWizard* wizard = FreeRecord();
  if (!wizard) return nullptr;
  wizard->InitForPlayer(g_playerSlots[slot].name, slot, record.human ? 0 : 1);
  return wizard;
}

CWizard* WizardFor(int army) {
  const CArmy* record = g_armyTable.GetArmy(army);
  if (!record) return nullptr;
  if (CWizard* chosen = g_wizardTable.At(record->wizardRecord); chosen && chosen->inUse) return chosen;
  if (g_gameMode == kGameModeQuickBattle || g_gameMode == kGameModeLobby) return SlotWizard(*record);
  if (std::strcmp(record->name, kDefaultPlayerWizardName) == 0) return PlayerWizard(army);
  if (std::strcmp(record->name, kSecondAIArmy) == 0) return SecondAIWizard(army);
  return nullptr;
}

CWizard* Winner() {
  CWizard* wizard = g_wizardTable.FindByName(kDefaultPlayerWizardName);
  return wizard;
}

}  // namespace

int DeployArmyWizard(int army, int x, int y, int level) {
  CWizard* wizard = WizardFor(army);
  if (!wizard || wizard->SpawnCreature(army, x, y, level) != 1) return -1;
  return g_armyTable.armies[army].wizardCreature;
}

bool FindPlayerWizardForWinnings(const char* name) {
  CWizard* wizard = g_wizardTable.FindByName(name);
  if (!wizard) return false;
  wizard->ClearQueuedEntries();
  return true;
}

void RewardWinner(const char* name, int experience) {
  CWizard* wizard = g_wizardTable.FindByName(name);
  if (!wizard) return;
  wizard->AdvanceRankCounter();
  wizard->experience += experience;
}

void AddWinningsEntry(int kind, const int32_t values[4]) {
  if (CWizard* wizard = Winner()) wizard->AddQueuedEntry(kind, values);
}

void AddWinningsMagicItem(int item) {
  if (CWizard* wizard = Winner()) wizard->AddMagicItem(item);
}
