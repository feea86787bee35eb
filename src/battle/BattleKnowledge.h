#pragma once
// How a battle drives the computer player's learning store (g_brain): what it learns with when
// it loads, what it keeps while it runs and when it is saved, and what it digests once it is
// over.
//   - A battle loads: a brain file with no newer experience beside it is loaded as it is;
//     otherwise the experience file is cut and processed and the new table saved, or, when
//     that fails, both files go and the battle learns from nothing. A read error of the
//     experience file keeps both files and falls back to the brain file.
//   - A battle played back runs on the table its recording kept (save\brain.log, loaded at
//     the record's set-up); a network battle runs every machine on an empty table. Neither
//     writes experience nor touches the knowledge files.
//   - A recorded battle keeps the table it starts with in save\brain.log.
//   - Every 512 ticks, when a game is saved and when one is loaded, complete experience goes
//     to the experience file; a saved or loaded game then reloads the brain file.

#include "ai/Brain.h"

// The knowledge of the battle being loaded.
void PrepareBattleKnowledge();
// Cuts and processes the experience file, then saves the new table or, when processing fails,
// deletes both files (a read error keeps them and reloads the brain file).
void DigestExperience(const BrainProgress& progress);
// A game was saved or loaded: the table goes back to the brain file (a battle that does not
// learn keeps its table).
void ReloadBattleKnowledge();
