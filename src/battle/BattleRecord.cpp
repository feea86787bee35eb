#include "battle/BattleRecord.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "ai/Brain.h"
#include "battle/Battle.h"
#include "core/Bytes.h"
#include "core/ErrorBox.h"
#include "core/GameSettings.h"
#include "core/Main.h"
#include "core/Options.h"
#include "core/RealmPath.h"
#include "core/RecordLog.h"
#include "core/SavedGame.h"
#include "creatures/WizardTable.h"
#include "platform/Files.h"

namespace {

std::unique_ptr<CRecordLog> g_recordLog;
BattleGameTypeRecord g_playbackGameType;
bool g_playbackFailed = false;

constexpr int kNameBytes = 256;
constexpr int kMaxRegion = 999;
constexpr int kMaxArmies = 8;

bool Terminated(const uint8_t* text, int size) { return std::memchr(text, 0, static_cast<size_t>(size)) != nullptr; }

bool ValidGameType(int32_t type) {
  return type == kGameModeQuickBattle || type == kGameModeLobby || type == kGameModeDirect || type == kGameModeCampaign;
}

// Reads the next record, which must hold exactly size bytes.
bool ReadExactRecord(CRecordLog& log, uint8_t* destination, int size) {
  return log.ReadRecord(destination, static_cast<uint32_t>(size)) && log.recordLength == static_cast<uint32_t>(size);
}

bool WriteRecords(CRecordLog& log) {
  uint8_t realm[kRealmRecordBytes], setup[kSetupRecordBytes], type[kGameTypeRecordBytes];
  EncodeRealmRecord(g_realmFile, g_realmName, realm);
  EncodeSetupRecord(g_battleSetup, setup);
  int32_t settings[4] = {};
  g_savedGameParts->GetSettings(settings);
  EncodeGameTypeRecord(BattleGameTypeRecord{settings[0], settings[1], settings[2], settings[3]}, type);
  return log.WriteRecord(realm, sizeof realm) && log.WriteRecord(setup, sizeof setup) &&
         log.WriteRecord(type, sizeof type);
}

// The log's write buffer only reaches the file later: whether it can be written at all is
// told now, while the failure can still be reported.
bool CanWrite(const char* path) {
  FILE* file = platform::OpenFile(path, "ab");
  if (!file) return false;
  return std::fclose(file) == 0;
}

void StartRecording(CRecordLog& log) {
  // The knowledge the computer players start with is written once the battle has settled it
  // (PrepareBattleKnowledge); until then no older copy may stand for it.
  platform::RemoveFile(kBrainLogFile);
  const bool saved = CanWrite(g_logFileName) && log.OpenForWrite(g_logFileName, g_logBufferSize) && WriteRecords(log) &&
                     g_wizardTable.SaveToFile(kWizardsLogFile);
  if (saved) return;
  log.Close();
  ShowGeneralError("Failed to save battle initialisation data for playback");
}

// Everything is read into temporaries and takes effect together, so that a refused log
// leaves the battle of the command line.
bool RestoreRecords(CRecordLog& log) {
  uint8_t realm[kRealmRecordBytes], setup[kSetupRecordBytes], type[kGameTypeRecordBytes];
  char realmFile[kNameBytes], realmName[kNameBytes];
  CBattleSetup battleSetup;
  BattleGameTypeRecord gameType;
  if (!ReadExactRecord(log, realm, sizeof realm) || !ReadExactRecord(log, setup, sizeof setup) ||
      !ReadExactRecord(log, type, sizeof type))
    return false;
  if (!DecodeRealmRecord(realm, realmFile, realmName) || !DecodeSetupRecord(setup, battleSetup) ||
      !DecodeGameTypeRecord(type, gameType))
    return false;
  // The wizard table is the last part read: it changes only when its whole file is good.
  if (!g_wizardTable.LoadFromFile(kWizardsLogFile)) return false;
  std::memcpy(g_realmFile, realmFile, sizeof realmFile);
  std::memcpy(g_realmName, realmName, sizeof realmName);
  g_battleSetup = battleSetup;
  g_playbackGameType = gameType;
  g_gameMode = gameType.gameType;
  g_difficulty = gameType.trail;
  // The battle replays on this machine alone, whatever network it was fought over.
  g_networkGame = 0;
  return true;
}

void StartPlayback(CRecordLog& log) {
  if (!log.OpenForRead(g_logFileName, g_logBufferSize)) {
    log.Close();  // no recording: an ordinary battle
    return;
  }
  if (RestoreRecords(log)) {
    g_brain.Load(kBrainLogFile);  // none kept: the battle ran on an empty table
    return;
  }
  log.Close();
  g_playbackFailed = true;
  g_startFailed = 1;  // the battle asked for cannot be shown: the program ends with a failure
  ShowGeneralError("Failed to restore battle initialisation data for playback");
}

}  // namespace

CRecordLog* GetRecordLog() {
  if (!g_recordLog) g_recordLog.reset(new (std::nothrow) CRecordLog);
  return g_recordLog.get();
}

void FreeRecordLog() { g_recordLog.reset(); }

bool CopyFile(const char* source, const char* destination) {
  FILE* in = platform::OpenFile(source, "rb");
  if (!in) return false;
  FILE* out = platform::OpenFile(destination, "wb");
  if (!out) {
    std::fclose(in);
    return false;
  }
  bool copied = true;
  char block[4096];
  for (size_t got; (got = std::fread(block, 1, sizeof block, in)) > 0;)
    if (std::fwrite(block, 1, got, out) != got) {
      copied = false;
      break;
    }
  if (std::ferror(in)) copied = false;
  std::fclose(in);
  if (std::fclose(out) != 0) copied = false;
  return copied;
}

void SetUpBattleRecord() {
  g_playbackFailed = false;
  g_playbackGameType = {};
  if (!g_recordBattle && !g_playBattle) return;
  g_aiTimeSystem = kNotionalTime;  // the computer players' work must not depend on this machine's speed
  CRecordLog* log = GetRecordLog();
  if (!log) return;
  log->Close();
  platform::MakeDirectory("save");
  if (g_recordBattle)
    StartRecording(*log);
  else
    StartPlayback(*log);
}

void CloseBattleRecord() {
  if (g_recordLog) g_recordLog->Close();
}

bool BattlePlayingBack() { return g_recordLog && g_recordLog->isOpen && !g_recordLog->isWriting; }
bool BattleRecording() { return g_recordLog && g_recordLog->isOpen && g_recordLog->isWriting; }
bool BattlePlaybackFailed() { return g_playbackFailed; }
const BattleGameTypeRecord& PlaybackGameType() { return g_playbackGameType; }

// --- the records as bytes ------------------------------------------------------------------------

void EncodeRealmRecord(const char* realmFile, const char* realmName, uint8_t out[kRealmRecordBytes]) {
  std::memset(out, 0, kRealmRecordBytes);
  std::snprintf(reinterpret_cast<char*>(out), kNameBytes, "%s", realmFile);
  std::snprintf(reinterpret_cast<char*>(out + kNameBytes), kNameBytes, "%s", realmName);
}

bool DecodeRealmRecord(const uint8_t* in, char realmFile[256], char realmName[256]) {
  if (!Terminated(in, kNameBytes) || !Terminated(in + kNameBytes, kNameBytes) || in[0] == 0) return false;
  // The realm is opened by these names: one that leaves the data folder is refused.
  char folder[kNameBytes];
  const char* file = reinterpret_cast<const char*>(in);
  const char* name = reinterpret_cast<const char*>(in + kNameBytes);
  if (!IsValidRealmPath(file, folder, sizeof folder) || !IsValidRealmName(name)) return false;
  std::memcpy(realmFile, in, kNameBytes);
  std::memcpy(realmName, in + kNameBytes, kNameBytes);
  return true;
}

void EncodeSetupRecord(const CBattleSetup& setup, uint8_t out[kSetupRecordBytes]) {
  const int32_t words[6] = {setup.region, setup.mapSeed, setup.battleSeed,
                            setup.armies, setup.players, setup.localArmy};
  for (int i = 0; i < 6; ++i) bytes::StoreI32(out + 4 * i, words[i]);
}

bool DecodeSetupRecord(const uint8_t* in, CBattleSetup& setup) {
  CBattleSetup read;
  read.region = bytes::LoadI32(in);
  read.mapSeed = bytes::LoadI32(in + 4);
  read.battleSeed = bytes::LoadI32(in + 8);
  read.armies = bytes::LoadI32(in + 12);
  read.players = bytes::LoadI32(in + 16);
  read.localArmy = bytes::LoadI32(in + 20);
  if (read.region < 0 || read.region > kMaxRegion) return false;
  if (read.armies < 0 || read.armies > kMaxArmies || read.players < 0 || read.players > kMaxArmies) return false;
  if (read.localArmy < -1 || read.localArmy >= kMaxArmies) return false;
  setup = read;
  return true;
}

void EncodeGameTypeRecord(const BattleGameTypeRecord& record, uint8_t out[kGameTypeRecordBytes]) {
  bytes::StoreI32(out, record.lead);
  bytes::StoreI32(out + 4, record.multiplayer);
  bytes::StoreI32(out + 8, record.gameType);
  bytes::StoreI32(out + 12, record.trail);
}

bool DecodeGameTypeRecord(const uint8_t* in, BattleGameTypeRecord& record) {
  BattleGameTypeRecord read{bytes::LoadI32(in), bytes::LoadI32(in + 4), bytes::LoadI32(in + 8),
                            bytes::LoadI32(in + 12)};
  if (read.multiplayer != 0 && read.multiplayer != 1) return false;
  if (!ValidGameType(read.gameType)) return false;
  // The trailing word is the difficulty, which indexes four-entry tables.
  if (read.trail < 0 || read.trail > 3) return false;
  record = read;
  return true;
}
