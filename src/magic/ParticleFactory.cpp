#include "magic/ParticleFactory.h"

#include <algorithm>

#include "core/Options.h"
#include "creatures/CreatureArray.h"
#include "magic/ParticleKinds.h"

namespace {

class CParticleKindsFactory : public IParticleFactory {
 public:
  std::unique_ptr<CParticle> MakeSpellSpark(int x, int y, int z, const int colour[3]) override {
    auto spark = std::make_unique<CSpellSparkParticle>(x, y, z);
    spark->SetColour(colour[0], colour[1], colour[2]);
    return spark;
  }

  // Without a creature the emitter keeps its own counts and colour.
  std::unique_ptr<CParticle> MakeSpellSparkEmitter(const SparkEmitterSpec& spec) override {
    auto emitter = std::make_unique<CSpellSparkEmitter>(spec.x, spec.y, spec.z);
    if (spec.creature < 0) return emitter;
    for (int i = 0; i < 3; ++i) {
      emitter->counts[i] = spec.stageCounts[i];
      emitter->colour[i] = spec.colour[i];
    }
    emitter->colourSpread = spec.spread;
    emitter->creature = spec.creature;
    emitter->follow[0] = spec.flags[0];
    emitter->follow[1] = spec.flags[1];
    return emitter;
  }

  std::unique_ptr<CParticle> MakeCureParticle(int x, int y, int z, int creature, int life) override {
    return std::make_unique<CCureParticle>(x, y, z, creature, life);
  }

  std::unique_ptr<CParticle> MakeSubvertParticle(int x, int y, int z, int creature, int life) override {
    return std::make_unique<CSubvertParticle>(x, y, z, creature, life);
  }

  std::unique_ptr<CParticle> MakeGlow(int x, int y, int z, int r, int g, int b) override {
    auto glow = std::make_unique<CGlowParticle>(x, y, z);
    glow->SetColour(r, g, b);
    return glow;
  }

  std::unique_ptr<CParticle> MakeAura(bool levitate, int creature) override {
    const ParticleEffectOptions& options = levitate ? g_levitateEffect : g_earthBindEffect;
    const CCreature* c = g_creatureArray.InUse(creature);
    if (options.densityMod <= 0 || !c || !c->type) return nullptr;
    std::unique_ptr<CAuraEmitter> aura;
    if (levitate)
      aura = std::make_unique<CLevitateEmitter>(c->unitX, c->unitY, c->unitZ);
    else
      aura = std::make_unique<CEarthBindEmitter>(c->unitX, c->unitY, c->unitZ, options.colour[0], options.colour[1],
                                                 options.colour[2], options.colour[3]);
    aura->creature = creature;
    aura->follow[0] = aura->follow[1] = aura->follow[2] = 1;
    aura->perFrame = (16 * c->type->TileSizeXY - 4) * options.densityMod / 200;
    return aura;
  }
};

CParticleKindsFactory g_kindsFactory;

}  // namespace

IParticleFactory& ParticleKindsFactory() { return g_kindsFactory; }

constinit HookSlot<IParticleFactory> g_particleFactory{&g_kindsFactory};
