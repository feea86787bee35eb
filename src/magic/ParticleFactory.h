#pragma once
// Where the effect core gets the particles of the particle kinds (sparks, spark emitters,
// cure sparks, auras, glows): one factory behind a slot. The slot starts with the particle
// kinds' own factory; the base class makes none, and tests that want effects without their
// particles install it (or their own) with HookScope.

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
  // A subverted creature's mote, hung on it like the cure sparks.
  virtual std::unique_ptr<CParticle> MakeSubvertParticle(int x, int y, int z, int creature, int life) {
    return nullptr;
  }
  // A glow flying off from a point in a colour (0-255 components).
  virtual std::unique_ptr<CParticle> MakeGlow(int x, int y, int z, int r, int g, int b) { return nullptr; }
  // The aura of a levitating (or, with levitate false, earth-bound) creature, attached to it
  // and emitting (16 x its footprint - 4) x DensityMod / 200 glows a frame; null when the
  // section's DensityMod is 0 or the creature is not in use.
  virtual std::unique_ptr<CParticle> MakeAura(bool levitate, int creature) { return nullptr; }
};

// The particle kinds' factory, the slot's own.
IParticleFactory& ParticleKindsFactory();

extern HookSlot<IParticleFactory> g_particleFactory;
