#include "battle/BattleArmies.h"

#include <cstdio>
#include <cstring>

#include "core/PlayerSlot.h"

WizardSite g_wizardSites[kArmyCount];

namespace {

void Name(CArmy& army, const char* name) { std::snprintf(army.name, sizeof army.name, "%s", name); }

}  // namespace

void ClearWizardSites() {
  for (WizardSite& site : g_wizardSites) site = WizardSite{};
}

bool SetUpDefaultArmies() {
  g_armyTable.ResetAll();
  ClearWizardSites();
  CArmy& player = g_armyTable.armies[0];
  Name(player, kDefaultPlayerWizardName);
  player.inUse = 1;
  player.human = 1;
  player.colour = 0;
  CArmy& enemy = g_armyTable.armies[1];
  Name(enemy, "secondAI");
  enemy.inUse = 1;
  enemy.colour = 1;
  player.SetAlliance(1, 0);
  g_armyTable.SetActiveArmy(0);
  return true;
}

int ActiveArmyCount() {
  int count = 0;
  for (const CArmy& army : g_armyTable.armies) count += army.inUse != 0;
  return count;
}

const char* LocalPlayerName() {
  const CArmy* local = g_armyTable.GetArmy(g_localArmy);
  return local && local->name[0] ? local->name : kDefaultPlayerWizardName;
}

int PlayerSlotOfArmy(int army) {
  const CArmy* record = g_armyTable.GetArmy(army);
  if (!record) return -1;
  for (int slot = 0; slot < kPlayerSlotCount; ++slot) {
    const CPlayerSlot& player = g_playerSlots[slot];
    if (!player.IsEmpty() && record->name[0] && std::strcmp(player.name, record->name) == 0) return slot;
  }
  return army < kPlayerSlotCount && !g_playerSlots[army].IsEmpty() ? army : -1;
}

void ClearPlayerSlotFigures() {
  for (CPlayerSlot& player : g_playerSlots) player.kills = player.deaths = player.score = 0;
}
