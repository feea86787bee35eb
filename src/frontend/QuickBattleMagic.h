#pragma once
// The magic of a quick battle, dealt when the set-up screen starts it: the magic items drawn
// for the battle go to every seated player's wizard (fewer by the player's handicap), with the
// talismans of the rules; the computer opponents then choose their spells at random, since
// they have no spell box.

#include "core/GameSettings.h"
#include "core/PlayerSlot.h"

class CRandom;

// How many of the drawn items a player with this handicap gets: items - items x handicap /
// 100, the handicap taken within 0..100.
int ItemsForHandicap(int items, int handicap);

// Draws settings.magicItems items for settings.mana (limiting magicItems in the record to
// 0..21), gives each seated slot's wizard record (record i for slot i) its share and the
// three talisman counts, then gives the opponents (slots 1-3) their spells, shuffling with the
// generator.
void DealQuickBattleMagic(CGameSettings& settings, const CPlayerSlot slots[kPlayerSlotCount], CRandom& random);

// An opponent's spells: its known items and a list of its talismans (Law 0, Neutral 1,
// Vrask 2) are each shuffled, and the item j's spell of talisman j goes into its spell pool,
// for as many as the shorter list holds. Nothing when either list is empty.
void ChooseOpponentSpells(int record, const CGameSettings& settings, CRandom& random);
