#pragma once
// What a creature's own behaviour asks of things lying about it that other rules keep: the
// world objects on the map (items to pick up, places to visit) and the effects that threaten
// it. Each answers "none" until the owner installs its own (g_creatureSurroundings.Install);
// tests put fakes in with HookScope.
#include "core/Hooks.h"

// A world object as the behaviour sees it.
struct SurroundingObject {
  int kind = 0;  // the object kind of cfg\objects.cfg
  int x = 0, y = 0, level = 0;
};

// An active effect of kind 70 that a creature may have to get away from.
struct ThreatEffect {
  int x = 0, y = 0, level = 0;  // its cell
  int ownerArmy = -1;
};

class ICreatureSurroundings {
 public:
  virtual ~ICreatureSurroundings() = default;
  // World objects in index order: i from 0; false past the last.
  virtual bool Object(int i, SurroundingObject& out) { return false; }
  // Active effects of kind 70 in the effect list's order: i from 0; false past the last.
  virtual bool Threat(int i, ThreatEffect& out) { return false; }
};

extern HookSlot<ICreatureSurroundings> g_creatureSurroundings;
