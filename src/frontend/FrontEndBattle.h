#pragma once
// What the front end asks of the battle: load the battle a set-up screen has described and
// answer the battle screen to push. The battle's owner installs the real call at start-up;
// until then the neutral one loads nothing and the front end stays where it is. Tests install
// fakes with FrontEndBattleScope.
//
// What a quick battle hands over, in one place each:
//   - the players: g_playerSlots (core/PlayerSlot.h), slot 0 the player, "No Player" empty;
//   - the rules and the chosen region of the multiplayer realm: g_gameSettings
//     (core/GameSettings.h), regionIndex from 1;
//   - the battle set-up record below, filled by the region entry screen, with g_gameMode 1 and
//     g_networkGame 0;
//   - each player's magic: wizard records 0-3, through IFrontEndWizards.

#include <cstdint>

class CScreen;

// The battle set-up record, six words as the battle keeps, saves and sends it.
struct BattleSetupRecord {
  int32_t region = 0;      // the region of the realm the battle is fought on
  int32_t mapSeed = 0;     // the map generator's seed
  int32_t battleSeed = 0;  // seeds the battle's and the computer players' generators
  int32_t armies = 0;
  int32_t players = 0;  // 1 in the campaign and in quick battles
  int32_t localArmy = 0;
};

class IFrontEndBattle {
 public:
  virtual ~IFrontEndBattle() = default;
  // Loads the battle the record describes (with g_realmFile, g_gameSettings and the player
  // slots); answers the battle screen to push, or null when no battle could be loaded.
  virtual CScreen* LoadBattle(const BattleSetupRecord& setup) { return nullptr; }
};

IFrontEndBattle& FrontEndBattle();
// Installs the battle's call; null puts the neutral one back.
void InstallFrontEndBattle(IFrontEndBattle* battle);

class FrontEndBattleScope {
 public:
  explicit FrontEndBattleScope(IFrontEndBattle& fake) { InstallFrontEndBattle(&fake); }
  ~FrontEndBattleScope() { InstallFrontEndBattle(nullptr); }
  FrontEndBattleScope(const FrontEndBattleScope&) = delete;
  FrontEndBattleScope& operator=(const FrontEndBattleScope&) = delete;
};

// The record of the last hand-over (what the last LoadBattle was given).
extern BattleSetupRecord g_lastBattleSetup;
