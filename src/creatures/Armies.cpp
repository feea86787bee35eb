// The eight armies: their records, alliances and shared vision, wizards, grievances and the
// local army.
#include "creatures/Armies.h"

#include <algorithm>
#include <cstring>

#include "creatures/CreatureArray.h"

CArmyTable g_armyTable;
int& g_localArmy = g_armyTable.localIndex;

namespace {
bool ValidArmy(int index) { return index >= 0 && index < kArmyCount; }
}  // namespace

void CArmy::Reset() {
  inUse = human = local = 0;
  wizardCreature = wizardRecord = deploymentKey = -1;
  std::fill(std::begin(alliance), std::end(alliance), 1);
  std::fill(std::begin(sharedVision), std::end(sharedVision), 0);
  std::fill(std::begin(grievance), std::end(grievance), 0);
}

void CArmy::SetAlliance(int other, int value) {
  if (!ValidArmy(other) || other == index || !table) return;
  alliance[other] = static_cast<uint8_t>(value);
  table->armies[other].alliance[index] = static_cast<uint8_t>(value);
}

void CArmy::SetSharedVision(int other, int value) {
  if (!ValidArmy(other) || other == index || !table) return;
  sharedVision[other] = static_cast<uint8_t>(value);
  table->armies[other].sharedVision[index] = static_cast<uint8_t>(value);
}

void CArmy::SetRelationToAll(int value) {
  for (int other = 0; other < kArmyCount; ++other) SetAlliance(other, value);
}

void CArmy::Deactivate() {
  human = 0;
  if (table && table->localIndex == index) table->SetActiveArmy(-1);
}

void CArmy::SetWizardCreature(int creature) {
  wizardCreature = creature;
  if (creature == -1 && human && local && table) table->localIndex = -1;
}

void CArmy::AddGrievance(int points, int victimArmy) {
  if (!ValidArmy(victimArmy) || victimArmy == index || !alliance[victimArmy]) return;
  grievance[victimArmy] += points;
  if (grievance[victimArmy] >= kGrievanceLimit) SetAlliance(victimArmy, 0);
}

CArmyTable::CArmyTable() {
  for (int n = 0; n < kArmyCount; ++n) {
    armies[n].index = n;
    armies[n].table = this;
  }
  ResetAll();
}

void CArmyTable::ResetAll() {
  for (CArmy& army : armies) army.Reset();
  localIndex = -1;
  spare = 0;
}

CArmy* CArmyTable::GetArmy(int index) { return ValidArmy(index) ? &armies[index] : nullptr; }

CCreature* CArmyTable::GetWizard(int index) const {
  if (!ValidArmy(index) || !armies[index].inUse) return nullptr;
  const int creature = armies[index].wizardCreature;
  if (creature < 0 || creature >= g_creatureArray.Capacity()) return nullptr;
  return g_creatureArray.At(creature);
}

CArmy* CArmyTable::FindByName(const char* name) {
  if (!name) return nullptr;
  for (CArmy& army : armies)
    if (std::strcmp(army.name, name) == 0) return &army;
  return nullptr;
}

int CArmyTable::SetActiveArmy(int index) {
  localIndex = -1;
  if (!ValidArmy(index)) {
    for (CArmy& army : armies) army.local = 0;
    return 0;
  }
  for (CArmy& army : armies) {
    if (!army.inUse || !army.human) continue;
    army.local = army.index == index ? 1 : 0;
    if (army.local) localIndex = index;
  }
  return localIndex == index ? 1 : 0;
}
