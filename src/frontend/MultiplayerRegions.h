#pragma once
// The regions of the multiplayer realm, realms\multiplayer\Multiplayer.cfg: sections REGION1,
// REGION2 and so on, each naming its region in the key "name" beside the keys of its battle
// map. The map selection screen lists them; the set-up screens show the chosen one's name.

#include <cstddef>

inline constexpr const char* kMultiplayerRealmFile = "realms\\multiplayer\\Multiplayer.cfg";
inline constexpr size_t kRegionNameSize = 256;

// The name of region n (from 1) into name (kRegionNameSize bytes), cut at its first ';'.
// Null, with name empty, when the section has no name or an empty one; else name.
const char* GetMultiplayerRegionName(int n, char* name);
// The number of named regions before the first number without a name.
int CountMultiplayerRegions();
