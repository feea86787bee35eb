#pragma once
// Every time a creature slot is filled the slot takes a new serial number, so that one who
// kept a slot number (the computer player's casters and targets) can tell the creature it
// meant from a later one in the same slot. Serials are not saved: a loaded battle starts its
// keepers afresh.

#include <cstdint>

// The serial of the creature now in the slot (0 for a slot never filled or outside the pool).
uint32_t CreatureSpawnSerial(int slot);
// The slot was just filled by a new creature.
void NoteCreatureSpawned(int slot);
