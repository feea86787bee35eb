#pragma once
// The sounds the in-battle panels play (the story scroll's, the chat console's refusal),
// through one hook so that tests hear them: the neutral one plays them through the sound
// manager. Tests put a recorder in with HookScope<IPanelSounds>(g_panelSounds, recorder).

#include "core/Hooks.h"

class CSoundInstance;

class IPanelSounds {
 public:
  virtual ~IPanelSounds() = default;
  // Plays the sound at volume 0 with the pan (-3333 left to 3333 right), once; out, when
  // given, receives the sound's instance (null when none played).
  virtual void Play(int soundId, int pan, CSoundInstance** out);
};

extern HookSlot<IPanelSounds> g_panelSounds;

// The pan of a panel of that width whose left edge is at x, on a screen of the width: -3333
// at the left edge to +3333 at the right, by where the panel's middle lies.
int PanelPan(int x, int panelWidth, int screenWidth);
