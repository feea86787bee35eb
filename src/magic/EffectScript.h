#pragma once
// What the effects ask of the battle's script (the subsystem above): the effects that take a
// creature out of the battle tell its character. (A scripted summon asks through
// EffectSummons.h.) The battle installs its answers; the neutral one does nothing, and tests
// install fakes with HookScope.

#include "core/Hooks.h"

class IEffectScript {
 public:
  virtual ~IEffectScript() = default;
  // The creature left the battle: its character remembers its cell and has exited.
  virtual void MarkGone(int creature) {}
  // The summoning a script event started (word 10 = 4, no caster) made nothing: no room, no
  // army, no creature slot or no wizard to bring. The event must not wait for it forever.
  virtual void SummonFailed(int event) {}
};

extern HookSlot<IEffectScript> g_effectScript;
