#pragma once
// Where each army's wizard was deployed (the wizard creature stands there once wizards are
// built), and the battle's questions about the army table (creatures/Armies.h), whose own
// set-ups (realm, default, numbered, skirmish) the battle's loading chooses from.

#include "creatures/Armies.h"

struct WizardSite {
  int placed = 0;
  int x = 0, y = 0, level = 0;
};
extern WizardSite g_wizardSites[kArmyCount];

// Two sides for scenes and tests: "Edric" (army 0, the local player) and "secondAI" (army 1,
// the computer), both in use.
bool SetUpDefaultArmies();
// The armies in use.
int ActiveArmyCount();
// The local player's name for the frame protocol (its army's, else "Edric").
const char* LocalPlayerName();
// The player slot (0-3) of an army in a quick or network battle: the slot bearing the army's
// name, else the slot of the army's number (armies 0-3 are slots 0-3); -1 for an army no
// player sits in.
int PlayerSlotOfArmy(int army);
// The slots' kills, deaths and score start again at 0 for a new battle.
void ClearPlayerSlotFigures();
// No wizard deployed anywhere.
void ClearWizardSites();
