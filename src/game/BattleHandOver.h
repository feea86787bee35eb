#pragma once
// The front end's hand-over to the battle: a set-up screen's record becomes the battle's
// set-up record, the battle loads (seeding its generators from the record's battle seed) and
// the battle screen is what the front end pushes next.

// Installs the hand-over where the front end looks for it (frontend/FrontEndBattle.h).
void InstallBattleHandOver();
