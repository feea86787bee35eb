#pragma once
// The battle's set-up of the army table (creatures/Armies.h) until the table's own set-ups
// from the realm, the player slots and the network are built, and where each army's wizard
// was deployed (the wizard creature stands there once wizards are built).

#include "creatures/Armies.h"

struct WizardSite {
  int placed = 0;
  int x = 0, y = 0, level = 0;
};
extern WizardSite g_wizardSites[kArmyCount];

// The direct battle's two sides: "Edric" (army 0, the local player) and "secondAI" (army 1,
// the computer), both in use.
bool SetUpDefaultArmies();
// Armies 0 .. count - 1 in use and human, the local one named; false for a count outside 1-8.
bool SetUpNumberedArmies(int count, int local);
// The armies in use.
int ActiveArmyCount();
// The local player's name for the frame protocol (its army's, else "Edric").
const char* LocalPlayerName();
// No wizard deployed anywhere.
void ClearWizardSites();
