// The wizard returns of a multiplayer battle.
#include "battle/WizardReturn.h"

#include "battle/Battle.h"
#include "battle/BattleArmies.h"
#include "battle/BattleSystems.h"
#include "core/GameSettings.h"
#include "core/PlayerSlot.h"
#include "creatures/Armies.h"

namespace {
IWizardRedeploy g_realRedeploy;
}  // namespace
HookSlot<IWizardRedeploy> g_wizardRedeploy(&g_realRedeploy);

bool IWizardRedeploy::Redeploy(const char*, int army, int) {
  CArmy* record = g_armyTable.GetArmy(army);
  if (!record || army < 0 || army >= kArmyCount || !g_wizardSites[army].placed) return false;
  const WizardSite& site = g_wizardSites[army];
  const int creature = BattleSystems().CreateWizard(army, site.x, site.y, site.level);
  if (creature < 0) return false;
  record->SetWizardCreature(creature);
  return true;
}

void CBattle::ScheduleWizardReturn(int slot, int frame) {
  if (slot >= 0 && slot < kWizardReturnSlots) wizardReturnFrames[slot] = frame;
}

void CBattle::ClearWizardReturns() {
  for (int& frame : wizardReturnFrames) frame = kNoWizardReturn;
}

void CBattle::CheckWizardReturns() {
  if (!g_networkGame && g_gameMode != kGameModeLobby) return;
  for (int slot = 0; slot < kWizardReturnSlots; ++slot) {
    if (wizardReturnFrames[slot] == kNoWizardReturn || wizardReturnFrames[slot] != frameNumber) continue;
    wizardReturnFrames[slot] = kNoWizardReturn;
    const CArmy* army = g_armyTable.FindByName(g_playerSlots[slot].name);
    if (!army) continue;
    if (!g_wizardRedeploy->Redeploy(g_playerSlots[slot].name, army->index, g_battleSetup.mapSeed)) continue;
    if (army->index == g_localArmy) {
      g_armyTable.SetActiveArmy(army->index);
      SetUpPanels();
    }
  }
}
