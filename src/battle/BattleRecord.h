#pragma once
// Recording and playback of a battle. The command line's "log" records the next battle into
// the record log (save\event.log), "playback" replays the last recorded one from it. Before
// the map is built (at the start of LoadBattle) SetUpBattleRecord writes, or in playback
// reads back, everything the battle is built from:
//   record 1, 512 bytes: the realm file path and the realm name, 256 characters each;
//   record 2, 24 bytes: the battle set-up record (g_battleSetup);
//   record 3, 16 bytes: the game-type record: a leading word, the multiplayer flag, the game
//            type and a trailing word (the difficulty);
// beside it the wizard table (save\wizards.log) and the AI's knowledge (save\brain.log).
// Then the network client writes every frame it runs into the same log, each with its
// validation record, and in playback takes the frames from it and checks those records
// against the battle it computes again.

#include <cstdint>

class CRecordLog;

inline constexpr int kRealmRecordBytes = 512;
inline constexpr int kSetupRecordBytes = 24;
inline constexpr int kGameTypeRecordBytes = 16;

inline constexpr const char* kWizardsLogFile = "save\\wizards.log";
inline constexpr const char* kBrainLogFile = "save\\brain.log";

// The single record log, made on first use (null when memory runs out). Open for writing
// while a battle is recorded, for reading while one is played back.
CRecordLog* GetRecordLog();
// Closes and frees it (the window's end).
void FreeRecordLog();
// Copies a file byte for byte; false when either cannot be opened or a write comes short.
bool CopyFile(const char* source, const char* destination);

// The game-type record.
struct BattleGameTypeRecord {
  int32_t lead = 0;
  int32_t multiplayer = 0;
  int32_t gameType = 0;
  int32_t trail = 0;
};

// Before the battle is built: in recording, the records, the wizard table and the copy of the
// AI's knowledge are written (a failure shows "Failed to save battle initialisation data for
// playback" and the battle goes on unrecorded); in playback they are read back over the
// realm, the set-up record, the game type and the wizard table whatever the command line said
// (a missing log plays an ordinary battle; a bad one shows "Failed to restore battle
// initialisation data for playback" and the battle ends on its first frame). Both force the
// AI's notional time.
void SetUpBattleRecord();
// The battle is over: the log closes (flushing what it holds).
void CloseBattleRecord();

// The log is open for reading: frames come from it (the message panel shows the playback line).
bool BattlePlayingBack();
bool BattleRecording();
// The playback set-up failed: the battle ends on its first frame.
bool BattlePlaybackFailed();
// The game-type record of the battle played back (zeros when none).
const BattleGameTypeRecord& PlaybackGameType();

// The records as bytes, and their checked readers (false: the record is refused, nothing set).
void EncodeRealmRecord(const char* realmFile, const char* realmName, uint8_t out[kRealmRecordBytes]);
bool DecodeRealmRecord(const uint8_t* in, char realmFile[256], char realmName[256]);
struct CBattleSetup;
void EncodeSetupRecord(const CBattleSetup& setup, uint8_t out[kSetupRecordBytes]);
bool DecodeSetupRecord(const uint8_t* in, CBattleSetup& setup);
void EncodeGameTypeRecord(const BattleGameTypeRecord& record, uint8_t out[kGameTypeRecordBytes]);
bool DecodeGameTypeRecord(const uint8_t* in, BattleGameTypeRecord& record);
