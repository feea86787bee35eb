#include "magic/ParticleSpawns.h"

#include <memory>

#include "creatures/CreatureArray.h"
#include "creatures/CreatureType.h"
#include "magic/ParticleKinds.h"
#include "magic/ParticleManager.h"

void SpawnCreatureBlood(int creature, int vx, int vy, int vz, int size, bool alive) {
  const CCreature* c = g_creatureArray.InUse(creature);
  if (!c || !c->type) return;
  int x, y, z;
  c->CentrePoint(x, y, z);
  auto spray = std::make_unique<CBloodSprayEmitter>(x, y, z, vx, vy, vz);
  for (int i = 0; i < 3; ++i) spray->colour[i] = c->type->BloodColour[i];
  spray->colourSpread = c->type->BloodColour[3];
  spray->creature = creature;
  spray->framesLeft = alive ? 10 : 5;
  spray->drops = size;
  spray->change = alive ? -1 : -2;
  g_particleManager.Add(spray);
}

void SpawnCreatureGlowBurst(int creature, int count, bool blue) {
  const CCreature* c = g_creatureArray.InUse(creature);
  if (!c) return;
  int x, y, z;
  c->CentrePoint(x, y, z);
  for (int i = 0; i < count; ++i) {
    const int dx = ParticleDraw(5) - 2, dy = ParticleDraw(5) - 2, dz = ParticleDraw(5) - 2;
    auto glow = std::make_unique<CGlowParticle>(x + dx, y + dy, z + dz);
    if (blue) glow->SetColour(0, 0, 255);
    g_particleManager.Add(glow);
  }
}

void SpawnCreatureFly(int creature, int x, int y, int z) {
  auto fly = std::make_unique<CFlyParticle>(x, y, z);
  fly->creature = creature;
  g_particleManager.Add(fly);
}

void SpawnCreatureBodyParts(int type, int x, int y, int z, int parameter) {
  if (type < 0 || type >= kCreatureTypes) return;
  if (parameter == 0) {
    SpawnCreatureBurstParts(type, x, y, z, nullptr, 0);
    return;
  }
  SpawnBodyParts(type, x, y, z, 128, 128, 128, 32, parameter);
}

void SpawnCreatureBurstParts(int type, int x, int y, int z, const uint8_t* traces, int traceCount) {
  if (type < 0 || type >= kCreatureTypes) return;
  const int32_t* blood = g_creatureTypes[type].BloodColour;
  SpawnBodyParts(type, x, y, z, blood[0], blood[1], blood[2], blood[3], 0, traces, traces ? traceCount : 0);
}
