#include "magic/EffectWorld.h"

namespace {
IEffectWorld g_neutralWorld;
}  // namespace

constinit HookSlot<IEffectWorld> g_effectWorld{&g_neutralWorld};
