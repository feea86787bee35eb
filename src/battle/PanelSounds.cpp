#include "battle/PanelSounds.h"

#include "sound/SoundManager.h"

namespace {
IPanelSounds g_neutralPanelSounds;
}  // namespace

constinit HookSlot<IPanelSounds> g_panelSounds{&g_neutralPanelSounds};

void IPanelSounds::Play(int soundId, int pan, CSoundInstance** out) {
  if (out) *out = nullptr;
  if (g_soundManager) g_soundManager->Play(soundId, 0, pan, out, 0);
}

int PanelPan(int x, int panelWidth, int screenWidth) {
  const int span = screenWidth + panelWidth;
  if (span <= 0) return 0;
  return 6666 * (x + panelWidth / 2) / span - 3333;
}
