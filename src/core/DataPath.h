#pragma once
// File names that come from data, recordings and saved games are joined to the data folder.
// Such a name must stay inside it: whatever a file says, the game opens nothing elsewhere.

#include <string_view>

// True for a name relative to the data folder that cannot leave it: not empty, no drive
// ("C:"), no leading '\' or '/', and no ".." among its parts (either separator counts).
bool IsInsideDataFolder(std::string_view path);
