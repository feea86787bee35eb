#pragma once
// How the battle set-ups open the spell box in its timed mode: its choices cleared, the
// wizard record to work on and the seconds the player has. Answers the screen to push, or
// null while there is no spell box (the set-up then goes on without it).

class CScreen;

CScreen* OpenTimedSpellBox(int wizardRecord, int seconds);
