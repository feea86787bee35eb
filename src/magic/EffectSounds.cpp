#include "magic/EffectSounds.h"

#include "sound/SoundCues.h"
#include "sound/SoundManager.h"

namespace {
IEffectSounds g_cues;
}  // namespace

constinit HookSlot<IEffectSounds> g_effectSounds{&g_cues};

void IEffectSounds::PlayAt(int id, int cellX, int cellY, CSoundInstance** out, int loop) {
  g_soundCues.PlayAt(id, cellX, cellY, out, loop);
}

void IEffectSounds::PlaySpellCastSound(int spell, int cellX, int cellY) {
  g_soundCues.PlaySpellCastSound(spell, cellX, cellY);
}

void IEffectSounds::UpdateLoopPosition(CSoundInstance* instance, int cellX, int cellY) {
  if (instance) g_soundCues.UpdateLoopPosition(instance, cellX, cellY);
}

void IEffectSounds::PlayUnpositioned(int id, CSoundInstance** out, int loop) {
  if (g_soundManager) g_soundManager->Play(id, 0, 0, out, loop);
}
