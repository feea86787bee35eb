#pragma once
// What the summoning effects ask of the battle script above them: the event a scripted
// summon comes from (the army its creature joins, the wizard it brings, the settings it gives
// what it made) and the battle map whose wizard files the script's wizards are read from.
// The battle installs its answer at start-up; the neutral one knows no event and no map, so
// that a scripted summon without a script is refused. Tests install fakes with HookScope.

#include "core/Hooks.h"

class IEffectSummons {
 public:
  virtual ~IEffectSummons() = default;
  // Whether the battle script has an event of that index.
  virtual bool HasEvent(int event) { return false; }
  // The name of the army a creature summoned by the event joins; null when none.
  virtual const char* EventArmyName(int event) { return nullptr; }
  // The name of the wizard the event summons; null when none.
  virtual const char* EventWizardName(int event) { return nullptr; }
  // The event's creature settings given to a creature it made.
  virtual void ApplyCreatureAction(int creature, int event) {}
  // The battle map's name and number: its wizard files are wizards\<name><number><i>.wzd.
  virtual const char* MapName() { return ""; }
  virtual int MapNumber() { return 0; }
};

extern HookSlot<IEffectSummons> g_effectSummons;
