#pragma once
// The creatures as the battle map and its view see them: what the map asks of a creature
// (its place, body, room, move query, whether it lights the map) and what the view draws and
// orders. InstallCreatures puts them in the map's hook slots at start-up.

// Installs the creatures' answers to the map's and the map view's questions.
void InstallCreatures();
