#pragma once
// What the battle's panels need of the window tests that draw them over the map: their sounds
// kept silent, transparent blits, and the shared fonts and buttons, all given back when done.

#include "battle/PanelSounds.h"
#include "core/Hooks.h"
#include "core/Preferences.h"
#include "ui/SharedArt.h"

namespace e2e {

struct SilentPanelSounds : IPanelSounds {
  void Play(int, int, CSoundInstance** out) override {
    if (out) *out = nullptr;
  }
};

class PanelsOverMap {
 public:
  PanelsOverMap() : transparent_(g_prefs.transparentBlits) {
    g_prefs.transparentBlits = 1;
    LoadSharedFontsAndButtons();
  }
  ~PanelsOverMap() { Free(); }
  PanelsOverMap(const PanelsOverMap&) = delete;
  PanelsOverMap& operator=(const PanelsOverMap&) = delete;
  // Frees the shared buttons and puts the blits back as they were (once).
  void Free() {
    if (freed_) return;
    freed_ = true;
    FreeSharedButtons();
    g_prefs.transparentBlits = transparent_;
  }

 private:
  SilentPanelSounds silent_;
  HookScope<IPanelSounds> sounds_{g_panelSounds, silent_};
  const int transparent_;
  bool freed_ = false;
};

}  // namespace e2e
