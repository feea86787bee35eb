#pragma once
// The battle's part of a saved game (CBattle::SaveState / CBattle::LoadState): one block in a
// fixed order, most of it written by the owners of each piece of state. Rows, all integers
// 32-bit little-endian:
//    1 the map path (256 bytes)            2 the creature code's four counters
//    3 the named list                      4 the battle tick
//    5 the map                             6 the map view's level count (at most 3)
//    7 the cell queue: count, cell indexes 8 the segment pool
//    9 the creatures                      10 the counter of armies and creatures, two of the battle
//   11 the effects                        12 the world objects
//   13 the spell sightings                14 the eight armies
//   15 the path network flag (0/1)        16 the path network, when the flag is 1
//   17 the tile overlay                   18 the 100 AI marker records (4 or 16 bytes each)
//   19 the script                         20 the tick of the next mana regeneration
// and after them what a loaded battle needs to go on as one never saved would:
//   21 g_battleRandom and 22 g_aiRandom: each index pair and its 250 state words
//   23 the mana-sprite sites: count, then x, y, level each
//   24 the battle clock                   25 the timed-battle flag (0/1)
//   26 the timing of every animation player (CAnimPlayer::GetTiming) that the player states
//      of the blocks leave out: each creature in use (body, overlay, five attachments), each
//      active effect, each world object with an animation of its own, in slot order
//   27 the pause and the script's speech: the battle's paused flag (0/1), then the speech
//      (kScriptSpeechWords words, Script.h), so that a battle saved during a speech shows it
//      again and waits for it as one never saved would
//   28 the route search under way between frames (SavePendingRouteSearch): the pool's flag
//      and, when set, the search's state
// A block that fails a check anywhere loads as -1 and leaves the battle as it was: the load
// first saves the running battle's own block aside and restores it on a failure.

#include <cstdint>
#include <cstdio>

#include "core/Hooks.h"

inline constexpr int kAIMarkerRecords = 100;
inline constexpr int kMaxManaSites = 1024;
// Row 27: the paused flag and the script's speech.
inline constexpr int kPauseAndSpeechBytes = 4 + 4 * 19;

// The parts of the block whose owners are not built yet, or sit above the battle's reach: the
// creatures' counters, the world objects, the script, and the
// computer players' markers. The neutral one holds none of them: its parts
// write nothing and read nothing, its counters and markers are zero.
class IBattleSaveParts {
 public:
  virtual ~IBattleSaveParts() = default;
  // Row 2.
  virtual void GetCreatureCounters(int32_t counters[4]) {
    for (int i = 0; i < 4; ++i) counters[i] = 0;
  }
  virtual bool SetCreatureCounters(const int32_t counters[4]) { return true; }
  // Row 10's first word.
  virtual int32_t SharedCounter() { return 0; }
  virtual bool SetSharedCounter(int32_t value) { return true; }
  // Rows 12 and 19: the bytes written or read, -1 on a failure.
  virtual int SaveWorldObjects(FILE* file) { return 0; }
  virtual int LoadWorldObjects(FILE* file) { return 0; }
  virtual int SaveScript(FILE* file) { return 0; }
  virtual int LoadScript(FILE* file) { return 0; }
  // Row 18: marker record 0-99 as its first word and, when that is not 0, three more.
  virtual void GetAIMarker(int index, int32_t words[4]) {
    for (int i = 0; i < 4; ++i) words[i] = 0;
  }
  virtual bool SetAIMarker(int index, const int32_t words[4]) { return true; }
  // Both AI controllers started afresh (nothing of them is saved).
  virtual void StartAI() {}
};
extern HookSlot<IBattleSaveParts> g_battleSaveParts;

// Installs the parts whose owners are built (the battle installs them with its hooks).
void InstallBattleSaveParts();
// The bytes of row 26 for the battle as it stands.
int BattleTimingBytes();
