#pragma once
// Which wizard record leads an army into battle, and the player's wizard at the end of a won
// battle. In the campaign and the direct start the player's army ("Edric") takes the player's
// wizard record, made from "_start.wzd" (or at random with the directAI switch) when there is
// none; the direct start's second army a generated enemy; quick and network battles the
// player slot of the army. The record then makes its creature at the deployment cell.

#include <cstdint>

// Deploys the army's wizard at the cell: the wizard creature, -1 when none was made.
int DeployArmyWizard(int army, int x, int y, int level);

// The player's wizard record of that name: true when there is one (its start objects are
// cleared for the battle's winnings).
bool FindPlayerWizardForWinnings(const char* name);
// The wizard record of that name won a campaign battle: its rank counter advances and the
// experience joins its count.
void RewardWinner(const char* name, int experience);
// A won item for the player's wizard: another start object, or a magic item (0-24).
void AddWinningsEntry(int kind, const int32_t values[4]);
void AddWinningsMagicItem(int item);
