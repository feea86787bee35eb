#pragma once
// What the effects ask of the battle's script (the subsystem above): the summoning effect of
// a script's deployment hands its new creature over, and the effects that take a creature
// out of the battle tell its character. The battle installs its answers; the neutral one
// does nothing, and tests install fakes with HookScope.

#include "core/Hooks.h"

class IEffectScript {
 public:
  virtual ~IEffectScript() = default;
  // The DEPLOYMENT event (0-based) that summoned the creature is applied to it; the event
  // re-arms.
  virtual void ApplyCreatureAction(int creature, int eventNumber) {}
  // The creature left the battle: its character remembers its cell and has exited.
  virtual void MarkGone(int creature) {}
};

extern HookSlot<IEffectScript> g_effectScript;
