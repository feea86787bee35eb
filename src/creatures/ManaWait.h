#pragma once
// How long until a creature, or the computer player's picture of one, can pay for a number of
// casts of a spell: 0 at once, INT32_MAX never. The one rule behind
// CCreature::GetManaWaitTime and the computer player's estimate.

// mana in 8.8; maxMana and cost in whole mana; pendingMana: whole mana still to come from mana
// events; gains: a wizard (only wizards gain mana); sources: living mana sources of its army.
int ManaWaitTime(int mana, int maxMana, int cost, int casts, int pendingMana, bool gains, int sources);
// The living mana sources of an army.
int CountManaSources(int army);
// The computer player's estimate: its belief of the mana, the maximum and its count of sources.
inline int EstimateManaWaitTime(int believedMana, int maxMana, int cost, int casts, int sources) {
  return ManaWaitTime(believedMana, maxMana, cost, casts, 0, true, sources);
}
