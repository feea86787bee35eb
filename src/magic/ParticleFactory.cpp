#include "magic/ParticleFactory.h"

namespace {
IParticleFactory g_neutralFactory;
}  // namespace

IParticleFactory* g_particleFactory = &g_neutralFactory;

IParticleFactory* DefaultParticleFactory() { return &g_neutralFactory; }
