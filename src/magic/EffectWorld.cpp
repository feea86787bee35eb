#include "magic/EffectWorld.h"

namespace {
IEffectWorld g_neutralWorld;
}  // namespace

constinit HookSlot<IEffectWorld> g_effectWorld{&g_neutralWorld};

#include "magic/EffectBattle.h"

namespace {
IEffectBattle g_neutralBattle;
}  // namespace

constinit HookSlot<IEffectBattle> g_effectBattle{&g_neutralBattle};
