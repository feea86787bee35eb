#include "core/SavedGame.h"

#include <cstring>
#include <memory>
#include <string>

#include "core/Bytes.h"
#include "core/GameSettings.h"
#include "core/Options.h"
#include "core/RealmPath.h"
#include "platform/Files.h"

namespace {

ISavedGameParts g_neutralParts;

constexpr int kHeaderBytes = 12;
constexpr int kRealmBytes = 512;
constexpr int kFixedBytes = kHeaderBytes + kRealmBytes + 4;  // with the battle flag
constexpr int kSettingsBytes = 16;
constexpr int kBattleStartBytes = 24;
constexpr int kDifficultyLevels = 4;
constexpr uint8_t kTag[4] = {'S', 'A', 'V', 0};

std::string SavePath(const char* name) { return std::string("Save\\") + name + ".sav"; }

// The longest name: its file, with the extension and the suffix of the file written in its
// place, stays well inside the 255 bytes a file system holds for a name.
constexpr size_t kMaxGameNameLength = 200;

bool WriteHeader(FILE* file, uint32_t total) {
  uint8_t header[kHeaderBytes];
  std::memcpy(header, kTag, 4);
  bytes::StoreU32(header + 4, kSavedGameVersion);
  bytes::StoreU32(header + 8, total);
  return bytes::WriteBlock(file, header, sizeof header);
}

bool WriteInts(FILE* file, const int32_t* values, int count) {
  for (int i = 0; i < count; ++i)
    if (!bytes::WriteU32(file, static_cast<uint32_t>(values[i]))) return false;
  return true;
}

bool ReadInts(FILE* file, int32_t* values, int count) {
  for (int i = 0; i < count; ++i) {
    uint32_t value;
    if (!bytes::ReadU32(file, value)) return false;
    values[i] = static_cast<int32_t>(value);
  }
  return true;
}

// Writes every part after the header; the total length, or -1.
int64_t WriteParts(FILE* file, ISavedGameParts& parts) {
  int64_t total = kFixedBytes;
  uint8_t realm[kRealmBytes] = {};
  std::memcpy(realm, g_realmFile, sizeof g_realmFile);
  std::memcpy(realm + 256, g_realmName, sizeof g_realmName);
  realm[255] = realm[511] = 0;
  if (!bytes::WriteBlock(file, realm, sizeof realm)) return -1;
  for (int (ISavedGameParts::*writer)(FILE*) :
       {&ISavedGameParts::WriteWizards, &ISavedGameParts::WriteRealmState, &ISavedGameParts::WriteSpellBox}) {
    int count = (parts.*writer)(file);
    if (count < 0) return -1;
    total += count;
  }
  int32_t settings[4];
  parts.GetSettings(settings);
  if (!WriteInts(file, settings, 4)) return -1;
  total += kSettingsBytes;
  int script = parts.WriteScript(file);
  if (script < 0) return -1;
  total += script;
  const bool battle = parts.BattleLoaded();
  if (!bytes::WriteU32(file, battle ? kBattleFlag : 0)) return -1;
  if (battle) {
    int32_t start[6];
    parts.GetBattleStart(start);
    if (!WriteInts(file, start, 6)) return -1;
    int state = parts.WriteBattle(file);
    if (state < 0) return -1;
    total += kBattleStartBytes + state;
  }
  return total;
}

// The running game's parts that a load replaces, kept to go back to when the load fails part
// way. Written and read by the parts' own writers and readers, so each part comes back as its
// owner keeps it.
class RunningGameCopy {
 public:
  explicit RunningGameCopy(ISavedGameParts& parts) : parts_(parts), stream_(std::tmpfile(), std::fclose) {
    std::memcpy(realmFile_, g_realmFile, sizeof realmFile_);
    std::memcpy(realmName_, g_realmName, sizeof realmName_);
    parts_.GetSettings(settings_);
    parts_.GetBattleStart(battleStart_);
    battleLoaded_ = parts_.BattleLoaded();
    FILE* file = stream_.get();
    ok_ = file && parts_.WriteWizards(file) >= 0 && parts_.WriteRealmState(file) >= 0 &&
          parts_.WriteSpellBox(file) >= 0 && parts_.WriteScript(file) >= 0;
  }
  // Whether the copy is whole; a load never starts without one.
  bool Ok() const { return ok_; }

  // Puts everything back; the battle part restores itself when a battle was loaded, and a
  // battle that was not is discarded again.
  void Restore(bool battleRead) {
    std::memcpy(g_realmFile, realmFile_, sizeof realmFile_);
    std::memcpy(g_realmName, realmName_, sizeof realmName_);
    FILE* file = stream_.get();
    std::rewind(file);
    parts_.ReadWizards(file);
    parts_.ReadRealmState(file);
    parts_.ReadSpellBox(file);
    parts_.ReadScript(file);
    parts_.SetSettings(settings_);
    parts_.SetBattleStart(battleStart_);
    if (battleRead && !battleLoaded_) parts_.DiscardBattle();
  }

 private:
  ISavedGameParts& parts_;
  std::unique_ptr<FILE, int (*)(FILE*)> stream_;
  char realmFile_[sizeof g_realmFile];
  char realmName_[sizeof g_realmName];
  int32_t settings_[4] = {};
  int32_t battleStart_[6] = {};
  bool battleLoaded_ = false;
  bool ok_ = false;
};

// Reads the parts after the realm block; 1 read, 2 read with a battle, 0 on a failure (with
// battleRead telling whether the battle part was begun).
int ReadParts(FILE* file, ISavedGameParts& parts, bool& battleRead) {
  for (int (ISavedGameParts::*reader)(FILE*) :
       {&ISavedGameParts::ReadWizards, &ISavedGameParts::ReadRealmState, &ISavedGameParts::ReadSpellBox})
    if ((parts.*reader)(file) < 0) return 0;
  int32_t settings[4];
  if (!ReadInts(file, settings, 4)) return 0;
  if (settings[3] < 0 || settings[3] >= kDifficultyLevels) return 0;  // it indexes the difficulty tables
  parts.SetSettings(settings);
  if (parts.ReadScript(file) < 0) return 0;
  int32_t flag;
  if (!ReadInts(file, &flag, 1)) return 0;
  if (flag != kBattleFlag) return 1;
  int32_t start[6];
  if (!ReadInts(file, start, 6)) return 0;
  parts.SetBattleStart(start);
  battleRead = true;
  return parts.ReadBattle(file) < 0 ? 0 : 2;
}

}  // namespace

ISavedGameParts* g_savedGameParts = &g_neutralParts;

void ISavedGameParts::GetSettings(int32_t settings[4]) {
  settings[0] = 0;
  settings[1] = g_networkGame;
  settings[2] = g_gameMode;
  settings[3] = g_difficulty;
}

void ISavedGameParts::SetSettings(const int32_t settings[4]) {
  g_networkGame = settings[1];
  g_gameMode = settings[2];
  g_difficulty = settings[3];
}

void ISavedGameParts::GetBattleStart(int32_t record[6]) {
  record[0] = g_startRegion;
  record[1] = g_mapSeed;
  record[2] = record[3] = record[4] = record[5] = 0;
}

void ISavedGameParts::SetBattleStart(const int32_t record[6]) {
  g_startRegion = record[0];
  g_mapSeed = record[1];
}

bool IsValidGameName(const char* name) {
  if (!name || !*name) return false;
  const std::string text(name);
  if (text.size() > kMaxGameNameLength || text.find("..") != std::string::npos) return false;
  for (unsigned char c : text)
    if (c < 0x20 || c == 0x7F || std::strchr("\\/:*?\"<>|", c)) return false;
  return true;
}

void RemoveUnfinishedSaves() {
  for (const std::string& name : platform::ListDirectory("Save", "*.sav.writing"))
    platform::RemoveFile("Save\\" + name);
}

int WriteSavedGame(const char* name, int overwrite) {
  if (!IsValidGameName(name)) return 0;
  const std::string path = SavePath(name);
  if (platform::FileExists(path) && !overwrite) return 2;
  if (!platform::MakeDirectory("Save")) return 0;
  // A failed write never touches the previous game, and a finished one is on the disk before
  // it takes the old one's place.
  platform::ReplacementFile replacement;
  if (!replacement.Open(path)) return 0;
  FILE* file = replacement.Stream();
  bool ok = WriteHeader(file, 0);
  int64_t total = ok ? WriteParts(file, *g_savedGameParts) : -1;
  ok = total >= 0 && total <= UINT32_MAX && std::fseek(file, 0, SEEK_SET) == 0 &&
       WriteHeader(file, static_cast<uint32_t>(total));
  return ok && replacement.Commit() ? 1 : 0;
}

int ReadSavedGame(FILE* file) {
  ISavedGameParts& parts = *g_savedGameParts;
  uint8_t header[kHeaderBytes];
  if (!bytes::ReadBlock(file, header, sizeof header)) return 0;
  // Nothing changes before the tag and the version are known good.
  if (std::memcmp(header, kTag, 4) != 0 || bytes::LoadU32(header + 4) != kSavedGameVersion) return 0;
  uint8_t realm[kRealmBytes];
  if (!bytes::ReadBlock(file, realm, sizeof realm)) return 0;
  char realmFile[sizeof g_realmFile], realmName[sizeof g_realmName], folder[sizeof g_realmName];
  std::memcpy(realmFile, realm, sizeof realmFile);
  std::memcpy(realmName, realm + 256, sizeof realmName);
  realmFile[sizeof realmFile - 1] = realmName[sizeof realmName - 1] = '\0';
  // The realm is opened by these names: a game whose realm lies outside the data folder is
  // refused before anything changes.
  if (!IsValidRealmPath(realmFile, folder, sizeof folder) || !IsValidRealmName(realmName)) return 0;
  RunningGameCopy running(parts);
  if (!running.Ok()) return 0;
  std::memcpy(g_realmFile, realmFile, sizeof g_realmFile);
  std::memcpy(g_realmName, realmName, sizeof g_realmName);
  bool battleRead = false;
  const int read = ReadParts(file, parts, battleRead);
  if (read == 0) {
    running.Restore(battleRead);
    return 0;
  }
  parts.SetLoadedState(read == 2 ? 1 : 2);
  return 1;
}

int LoadSavedGame(const char* name) {
  if (!IsValidGameName(name)) return 0;
  FILE* file = platform::OpenFile(SavePath(name), "rb");
  if (!file) return 0;
  int result = ReadSavedGame(file);
  std::fclose(file);
  return result;
}
