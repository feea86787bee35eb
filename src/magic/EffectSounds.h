#pragma once
// The sounds that casting and effects play, behind one slot so that tests can hear them:
// the installed answer plays them through the sound cues and the sound manager; a test puts
// a recorder in with HookScope. Sounds only ever play: nothing a battle computes depends on
// them.

#include "core/Hooks.h"

class CSoundInstance;

class IEffectSounds {
 public:
  virtual ~IEffectSounds() = default;
  // A sound at a map cell; with out and loop 1 the looping instance is kept by the caller.
  virtual void PlayAt(int id, int cellX, int cellY, CSoundInstance** out, int loop);
  virtual void PlaySpellCastSound(int spell, int cellX, int cellY);
  // A looping sound follows its effect.
  virtual void UpdateLoopPosition(CSoundInstance* instance, int cellX, int cellY);
  // A sound with no place (the countdown's loop).
  virtual void PlayUnpositioned(int id, CSoundInstance** out, int loop);
};

extern HookSlot<IEffectSounds> g_effectSounds;
