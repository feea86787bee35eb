#pragma once
// Where the effect core gets the particles of the particle kinds (sparks, spark emitters,
// cure sparks): one factory that the particle kinds install (g_particleFactory.Install(&...)).
// The neutral one makes none, so that effects run, and skip their particles, before the
// kinds exist. Tests install their own with HookScope.

#include <memory>

#include "core/Hooks.h"
#include "magic/Particle.h"

// What a spell's indirect-cast spark emitter (effect kind 30) is made with.
struct SparkEmitterSpec {
  int x = 0, y = 0, z = 0;  // map units
  int stageCounts[3] = {};  // sparks for its stages 0, 1 and 2
  int colour[3] = {};       // red, green, blue
  int spread = 0;           // colour spread
  int creature = -1;        // the creature the sparks fall on, -1 none
  int flags[2] = {};
};

class IParticleFactory {
 public:
  virtual ~IParticleFactory() = default;
  // One spark of a travelling spell's trail.
  virtual std::unique_ptr<CParticle> MakeSpellSpark(int x, int y, int z, const int colour[3]) { return nullptr; }
  virtual std::unique_ptr<CParticle> MakeSpellSparkEmitter(const SparkEmitterSpec& spec) { return nullptr; }
  // A rising spark that follows a healed creature for a base life in frames.
  virtual std::unique_ptr<CParticle> MakeCureParticle(int x, int y, int z, int creature, int life) { return nullptr; }
};

extern HookSlot<IParticleFactory> g_particleFactory;
