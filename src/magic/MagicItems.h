#pragma once
// Magic items: numbered objects that each carry three spells, one per alignment (Law,
// Neutral, Vrask). Before a battle a wizard is dealt items chosen at random by weight among
// those whose spells it can afford. The table of 25 rows comes from cfg\MItems.cfg; only
// items 0-20 have weights, so rows 21-24 are read but never dealt.

#include <cstdint>

inline constexpr int kMagicItemRows = 25;
inline constexpr int kDealtMagicItems = 21;  // items 0-20 can be dealt
inline constexpr int kMagicItemSpellLimit = 91;
inline constexpr int kMagicItemNoSpell = 92;  // what a spell number outside 0-91 reads as

class CMagicItems {
 public:
  // Reads the spell lists of the 25 items from the file (relative to the current directory)
  // into the table: keys LawSpell, NeutralSpell and VraskSpell of sections ITEM_0 to
  // ITEM_24. A missing key leaves its field; always 1.
  static int ReadSpellLists(const char* fileName, CMagicItems& table);

  // Spell numbers by item: Law, Neutral, Vrask.
  int32_t spells[kMagicItemRows][3] = {};
};

extern CMagicItems g_magicItems;
// Set at start-up: the spell lists are read at the first deal.
extern bool g_magicItemsFirstLoad;

// Deals items: count comes in as the number wanted (held within 0-21) and goes out as the
// number dealt; items receives that many different item numbers, each of an item with a
// weight whose three spells all cost at most manaLimit. Draws from g_random (the deal is
// the player's own, not the battle's).
void LoadMagicItems(int32_t& count, uint8_t items[kDealtMagicItems], int32_t manaLimit);
