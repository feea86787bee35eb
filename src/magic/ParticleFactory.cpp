#include "magic/ParticleFactory.h"

namespace {
IParticleFactory g_neutralFactory;
}  // namespace

constinit HookSlot<IParticleFactory> g_particleFactory{&g_neutralFactory};
