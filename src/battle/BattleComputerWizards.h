#pragma once
// The computer wizards of a quick battle, until the computer player is built: each army that
// no person commands takes a turn every few battle ticks, in which its wizard summons
// creatures from its spells while it has the mana and room under its control limit, casts
// its missile spells at the enemies its army sees within their range, and sends its
// creatures (and, with none left and no summoning to be had, itself) against the nearest
// enemy. It runs inside the battle frame on every machine and reads only the battle's own
// state, so a battle stays the same everywhere and in a replay.

// One turn of the computer wizards (the side controller's share of the battle frame).
void RunComputerWizards(int tick);
