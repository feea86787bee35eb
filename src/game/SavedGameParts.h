#pragma once
// The saved game's parts that the spine joins: the wizard table, the campaign's script state
// and the running battle, each written and read by its owner at its place in the file.

// Installs them where the saved-game reader and writer look (core/SavedGame.h).
void InstallSavedGameParts();
