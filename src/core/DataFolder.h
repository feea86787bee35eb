#pragma once
// Where the game's data is. The game reads every file relative to its working directory; a
// player who starts the program from elsewhere still gets the data the build forged or the
// one installed beside the program.

#include <string>
#include <vector>

// The folders that may hold the data when the working directory does not: the build's forged
// data (<program's folder>/../data) and an installed one (<program's folder>/../share/vrask).
std::vector<std::string> GameDataCandidates();

// Keeps the working directory when it holds the game's cfg folder, else makes the first
// candidate that holds one the working directory. False when none does; `looked` then lists,
// for a message, every folder looked in.
bool EnterGameDataFolder(const std::vector<std::string>& candidates, std::string& looked);
