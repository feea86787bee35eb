#include "magic/EffectWorld.h"

namespace {
IEffectWorld g_neutralWorld;
}  // namespace

IEffectWorld* g_effectWorld = &g_neutralWorld;

IEffectWorld* DefaultEffectWorld() { return &g_neutralWorld; }
