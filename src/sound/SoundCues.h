#pragma once
// CSoundCues: sounds that belong to a place on the battle map. A position becomes a volume
// and a pan relative to the cell the player looks at (the cell under the screen centre),
// sounds too far away are dropped, and the rest go to the sound manager. It also holds the
// game's fixed choice of sound ids for creature and spell events.
//
// Positions are tiles on the wrapping map; volumes hundredths of a decibel, -5000 (never
// played) to 0; pans -3333 (left) to 3333 (right).

#include <cstdint>

class CSoundInstance;

// Where the listener is: the battle map view fills this at start-up (the sound subsystem
// sits below the map).
class ISoundListener {
 public:
  virtual ~ISoundListener() = default;
  // The map cell under a screen point.
  virtual void ListenerCell(int screenX, int screenY, int& cellX, int& cellY) = 0;
  // The view's rotation, 0-3.
  virtual int ListenerOrientation() = 0;
  virtual int ListenerMapWidth() = 0;
  virtual int ListenerMapHeight() = 0;
};

// The creature a cue is about.
struct SoundCreature {
  int type = 0;
  int wizard = 0;  // 0-4 for the wizard kinds (types 0, 24, 25, 26)
  int owner = 0;
  int x = 0, y = 0;  // tiles
  int stepWeight = 0;
};

inline constexpr int32_t kInaudible = -5000;
inline constexpr int kCreatureTypeCount = 28;

class CSoundCues {
 public:
  static constexpr int kAttackerClasses = 28;
  static constexpr int kTargetClasses = 30;

  CSoundCues();

  // Reads the "Tuning" section of the sound manager's Sounds.ini (when sound is enabled).
  void LoadTuning();
  // The smallest and largest step weight over the creature types.
  void ScanCreatureTypes(const int32_t (&stepWeights)[kCreatureTypeCount]);

  // Sets the listener offset from the view's rotation on every call.
  void PositionSound(int x, int y, int32_t& volume, int32_t& pan);
  // Plays the sound at the position unless it is inaudible: the manager's result, 0 when
  // inaudible or while sound is off.
  int32_t PlayAt(int32_t id, int x, int y, CSoundInstance** out, int loop);
  // A moving loop: volume (stored in the instance) and pan from the new position; 0.
  int32_t UpdateLoopPosition(CSoundInstance* instance, int x, int y);

  void PlayCreatureEventSound(const SoundCreature& creature);
  void PlayActionSound(const SoundCreature& creature);
  void PlayIdleSound(const SoundCreature& creature, int animation);
  void PlayTauntSound(const SoundCreature& creature);
  void PlayDeathSound(const SoundCreature& creature);
  void PlaySelectSound(const SoundCreature& creature);
  void PlayOrderSound(const SoundCreature& creature);
  void PlayHitSounds(const SoundCreature& attacker, const SoundCreature& target);
  void PlayFootstepSound(const SoundCreature& creature, int terrainSoundKind, int belowWater);
  void PlaySpellCastSound(int spell, int x, int y);

  // The ids of the cues (0 none), for a type and wizard number; out-of-range numbers give 0.
  static int EventSoundId(int type, int wizard);
  static int ActionSoundId(int type, int wizard);
  static int TauntSoundId(int type, int wizard);
  static int DeathSoundId(int type, int wizard);
  static int IdleSoundId(int type, int wizard, int animation);
  static int FootstepSoundId(int type, int terrainSoundKind, int belowWater);
  static int SpellCastSoundId(int spell);
  // The hit class of a creature: a wizard kind's number for wizards 0-2, 26 and 27 for
  // wizards 3 and 4, else the type + 2; -1 for numbers out of range.
  static int HitClass(int type, int wizard);
  // The three ids of a hit (0 none); out-of-range classes give none.
  static void HitSoundIds(int attackerClass, int targetClass, int ids[3]);

  int32_t listenerOffsetX = 3, listenerOffsetY = 4;
  int32_t maxSoundDistance = 60;
  int32_t maxPanDistance = 20;
  int32_t largestStepWeight = 0, smallestStepWeight = 0;
  // The player whose creatures acknowledge selection and orders (the battle sets it).
  int32_t localPlayer = 0;
};

extern CSoundCues g_soundCues;
// The map view, once it exists; without it sounds are placed relative to cell (0, 0).
extern ISoundListener* g_soundListener;
