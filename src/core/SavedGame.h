#pragma once
// Saved-game files, "Save\<name>.sav": a 12-byte header (the tag "SAV", the version 16 and
// the total length), the realm block, then each subsystem's part in a fixed order. The parts
// belong to their subsystems, which install their readers and writers here at start-up;
// until then a part is empty.

#include <cstdint>
#include <cstdio>

// The parts of a saved game, in file order. Each writer and reader works on the open file at
// its position and answers its byte count, or -1 on a failed write or read.
class ISavedGameParts {
 public:
  virtual ~ISavedGameParts() = default;
  virtual int WriteWizards(FILE* file) { return 0; }
  virtual int ReadWizards(FILE* file) { return 0; }
  virtual int WriteRealmState(FILE* file) { return 0; }
  virtual int ReadRealmState(FILE* file) { return 0; }
  virtual int WriteSpellBox(FILE* file) { return 0; }
  virtual int ReadSpellBox(FILE* file) { return 0; }
  // The front end's four settings ints: the realm view's tutorial step, g_networkGame,
  // g_gameMode and the difficulty.
  virtual void GetSettings(int32_t settings[4]);
  virtual void SetSettings(const int32_t settings[4]);
  virtual int WriteScript(FILE* file) { return 0; }
  virtual int ReadScript(FILE* file) { return 0; }
  // Whether a battle map is loaded (its cells exist).
  virtual bool BattleLoaded() { return false; }
  // The battle start record: the start region, the map seed, the battle seed and three
  // further set-up values.
  virtual void GetBattleStart(int32_t record[6]);
  virtual void SetBattleStart(const int32_t record[6]);
  virtual int WriteBattle(FILE* file) { return 0; }
  virtual int ReadBattle(FILE* file) { return 0; }
  // Where play resumes after a load: 1 the battle, 2 the realm view.
  virtual void SetLoadedState(int state) {}
  // A battle part that failed to load while no battle was loaded before: whatever it put in
  // place goes again, so that no half-read battle stays behind.
  virtual void DiscardBattle() {}
};

extern ISavedGameParts* g_savedGameParts;  // never null

inline constexpr int kSavedGameVersion = 16;
inline constexpr int kBattleFlag = 9;

// Whether a game name makes a file inside the Save folder: not empty, no path separators, no
// "..", no characters a file system cannot hold (control characters, and : * ? " < > | for
// the sake of every system), and short enough for a file name.
bool IsValidGameName(const char* name);

// Removes what a save killed while writing left in the Save folder (Save\<name>.sav.writing):
// the game it was replacing stands whole beside it. Called once at start-up.
void RemoveUnfinishedSaves();

// 1 written, 2 when the file exists and overwrite is 0 (nothing written), 0 on a failure,
// an invalid name among them (no file is touched). The game is written to a temporary file
// that replaces the old one only when complete.
int WriteSavedGame(const char* name, int overwrite);
// 1 loaded, 0 on a failure; an invalid name, or a file whose tag or version is wrong,
// changes nothing, and a file that fails in any later part leaves the running game as it was:
// the parts read before the failure are put back from a copy taken before the load.
int LoadSavedGame(const char* name);
// The same on an open stream, from its start (the fuzzer reads memory this way).
int ReadSavedGame(FILE* file);
