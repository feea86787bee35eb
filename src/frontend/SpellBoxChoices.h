#pragma once
// The spell box's choices: how many slots each talisman column has (Law, Neutral, Vrask, at
// most 7 each), the magic item in each column slot and the 25 slots of the pool of known
// items. They survive between openings of the spell box and travel in saved games as a block
// of 364 bytes: the three counts, the 3 x 21 column entries column by column, the 25 pool
// entries, each a little-endian int32 (an item 0-20, or -1).

#include <cstddef>
#include <cstdint>
#include <cstdio>

inline constexpr int kSpellBoxColumns = 3;
inline constexpr int kColumnEntries = 21;
inline constexpr int kMaxColumnSlots = 7;  // the screen has places for seven a column
inline constexpr int kPoolSlots = 25;
inline constexpr int kSpellBoxBlockBytes = 4 * (kSpellBoxColumns + kSpellBoxColumns * kColumnEntries + kPoolSlots);

struct SpellBoxChoices {
  int32_t counts[kSpellBoxColumns] = {};
  int32_t columns[kSpellBoxColumns][kColumnEntries];
  int32_t pool[kPoolSlots];

  SpellBoxChoices() { Reset(); }
  // Every entry -1, the counts 0.
  void Reset();
  bool operator==(const SpellBoxChoices& other) const;
};

// The block into out (kSpellBoxBlockBytes bytes).
void WriteSpellBoxChoices(const SpellBoxChoices& choices, uint8_t* out);
// Reads a block: false, with the choices reset, unless it is exactly 364 bytes with counts
// 0..7 and every entry -1 or an item 0..20.
bool ReadSpellBoxChoices(const uint8_t* data, size_t size, SpellBoxChoices& choices);

// The saved game's part: 364, or -1 on a short write (or a short or bad read, which leaves
// the choices reset).
int WriteSpellBoxSave(const SpellBoxChoices& choices, FILE* file);
int ReadSpellBoxSave(SpellBoxChoices& choices, FILE* file);

// The choices made ready for a wizard record: the counts from its talisman levels, the spells
// of its spell pool placed in the columns (each by the first item that has it), items it no
// longer knows cleared, and its other known items put in the pool.
void PrepareSpellBoxChoices(SpellBoxChoices& choices, int wizardRecord);
// Leaving the spell box: the wizard's spell pool becomes, column by column and slot by slot,
// each placed item's spell of that column.
void CommitSpellBoxChoices(const SpellBoxChoices& choices, int wizardRecord);
