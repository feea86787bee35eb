#pragma once
// The creatures as the battle map and its view see them: what the map asks of a creature
// (its place, body, room, move query, whether it lights the map) and what the view draws and
// orders. InstallCreatures puts them in the map's hook slots at start-up.

// Installs the creatures' answers to the map's and the map view's questions.
void InstallCreatures();

class CCreature;
struct CreatureDrawInfo;

// What a creature wears over its body on the map, placed by its type's markers for the view's
// rotation and moved like the body by (shiftX, shiftY): the owner's marker, the rank badge,
// and, while it is selected, inspected or attacked by the player's selection, its status
// marks with its health gauge and group label. Empty layers where the battle has not loaded
// the sprites.
void FillCreatureMarks(const CCreature& creature, int rotation, int shiftX, int shiftY, CreatureDrawInfo& out);
// Counts, for this view frame, how many of the player's selected creatures attack each one.
void CountTargetMarks();
