#pragma once
// The realm the front end works in: "Moorland", the campaign's, or "Multiplayer", the realm
// of quick and multiplayer battles. Setting it names the realm (g_realmName) and its file
// (g_realmFile, "realms\<realm>\<realm>.cfg").

inline constexpr const char* kCampaignRealm = "Moorland";
inline constexpr const char* kMultiplayerRealm = "Multiplayer";

void SetCurrentRealm(const char* realmName);
