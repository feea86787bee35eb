#pragma once
// The battle's answers to the map cursor's questions (CMapCursorFacts): the local army, its
// wizard and chosen spell, the selection, the creature and the terrain under the pointer.

class CMapCursorFacts;

// The battle's one set of answers; the map view asks it each frame it draws.
CMapCursorFacts& BattleCursorFacts();
