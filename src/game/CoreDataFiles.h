#pragma once
// The game's core data files (spells, creature types and their ratings, objects, magic items,
// effects, the player's starting wizard) are looked at whole before the game reads any of
// them. Their readers take what a file gives and leave the rest at zero; a file that lacks a
// section the game reads from it (an empty, garbled or truncated file) would start battles
// with spells, creatures or objects silently at zero. Such a file is refused as a missing
// one is.

// The first core data file, by its name under the data folder, that is missing or lacks a
// section the game reads from it; null when every one is whole.
const char* FirstDamagedCoreDataFile();
