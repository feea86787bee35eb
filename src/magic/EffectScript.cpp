#include "magic/EffectScript.h"

namespace {
IEffectScript g_neutralEffectScript;
}  // namespace

constinit HookSlot<IEffectScript> g_effectScript{&g_neutralEffectScript};
