#pragma once
// CGameSettings: the rules of the next quick or multiplayer battle, one global record that the
// set-up screens fill and the battle, the wizards, the map generator and the spell box read.
// Its 312-byte form (fourteen 32-bit ints, then 256 reserved bytes) is the body of the
// network's game set-up messages, so its layout is fixed: it is read and written field by
// field here, and nowhere else.
//
// Beside it, the kind of the next battle (g_gameMode) and whether it is played over the
// network from the online lobby (g_networkGame), which the front end sets and the battle,
// the network code and the saved games read.

#include <cstddef>
#include <cstdint>

struct CGameSettings {
  int32_t regionIndex = 0;    // region of the multiplayer realm, 1 up; 0 none chosen
  int32_t mana = 0;           // each wizard's starting mana, before its handicap
  int32_t health = 0;         // each wizard's starting health, before its handicap
  int32_t magicItems = 0;     // magic items drawn for each wizard
  int32_t selectionTime = 0;  // the spell box's countdown, seconds
  int32_t lawTalisman = 0;
  int32_t neutralTalisman = 0;
  int32_t vraskTalisman = 0;
  int32_t gameTime = 0;       // minutes; 0 no limit
  int32_t lives = 0;          // of each player
  int32_t placesOfPower = 0;  // at most what the map offers
  int32_t manaSprites = 0;
  int32_t Artefacts = 0;     // random artifacts deployed
  int32_t ControlLimit = 0;  // each wizard's control limit, before its handicap
};

inline constexpr int kGameSettingsFields = 14;
inline constexpr int kGameSettingsTuningFields = 13;  // every field but regionIndex
inline constexpr size_t kGameSettingsReservedBytes = 256;
inline constexpr size_t kGameSettingsBytes = 4 * kGameSettingsFields + kGameSettingsReservedBytes;  // 312

// The fields in record order (regionIndex first), for code that walks them.
int32_t* GameSettingsField(CGameSettings& settings, int index);
const int32_t* GameSettingsField(const CGameSettings& settings, int index);
// The record's INI keys in record order ("regionIndex", "mana", ... "ControlLimit").
extern const char* const kGameSettingsKeys[kGameSettingsFields];

// The 312-byte form into out (exactly kGameSettingsBytes bytes); the reserved bytes are zeros.
void WriteGameSettings(const CGameSettings& settings, uint8_t* out);
// Reads a 312-byte block into the record. False, with the record untouched, unless size is
// exactly kGameSettingsBytes. The reserved bytes are not looked at. The values are taken as
// they are: a record from another machine goes through LimitPeerGameSettings before use.
bool ReadGameSettings(const uint8_t* data, size_t size, CGameSettings& settings);

// The limits no battle may exceed, whatever a peer sent: no count below 0, at most 21 magic
// items (the spell box's item table) and at most 7 talismans of each alignment.
inline constexpr int32_t kMaxMagicItems = 21;
inline constexpr int32_t kMaxTalismans = 7;
void LimitPeerGameSettings(CGameSettings& settings);

extern CGameSettings g_gameSettings;

// Kinds of the next battle (g_gameMode).
enum GameMode : int32_t {
  kGameModeNone = 0,
  kGameModeQuickBattle = 1,
  kGameModeLobby = 2,
  kGameModeDirect = 4,  // straight from the command line
  kGameModeCampaign = 5,
};
extern int32_t g_gameMode;
extern int32_t g_networkGame;  // 1 while the next battle is an online lobby battle
