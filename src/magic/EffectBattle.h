#pragma once
// What the countdown kinds (62 and 65: a trap on a place, counted down to the battle's end)
// ask of the battle: its scanner, its countdown panel, its end, and what a trap does to the
// interface and the script's actors. The battle installs its
// own answer at start-up; the neutral one does nothing, and tests install fakes.

#include "core/Hooks.h"

class IEffectBattle {
 public:
  virtual ~IEffectBattle() = default;
  // The scanner marks the place of a cell, and takes the mark away.
  virtual void AddScannerMarker(int x, int y, int level) {}
  virtual void RemoveScannerMarker(int x, int y, int level) {}
  // The countdown panel starts showing a value (placed for the game's screen size) and the
  // battle's countdown flag goes up; SetCountdown shows a new value.
  virtual void StartCountdown(int value) {}
  virtual void SetCountdown(int value) {}
  // The battle ends with a defeat message of the table.
  virtual void EndWithDefeatMessage(int index) {}
  // A trap is about to take the local player's wizard: the battle interface's flag goes up.
  virtual void LocalWizardTrapped() {}
};

extern HookSlot<IEffectBattle> g_effectBattle;
