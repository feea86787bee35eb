#include "ai/AISpellTiming.h"

#include <algorithm>
#include <map>

#include "core/Options.h"
#include "creatures/CreatureType.h"
#include "creatures/Mapelem.h"
#include "graphics/Animation.h"
#include "magic/EffectManager.h"
#include "map/Map.h"

namespace {

std::map<int, int> g_animTicks;  // entry -> ticks, this battle's counts

int CountAnimTicks(int entry) {
  CAnimation* animation = nullptr;
  int sequence = 0, data = 0;
  if (!g_effectManager.GetGlobalAnimation(entry, animation, sequence, data) || !animation) return 0;
  CAnimPlayer player;
  player.SetAnimation(animation);
  if (!player.Start(sequence, 0)) return 0;
  int ticks = 0;
  while (ticks < kAIEffectAnimTickLimit) {
    ++ticks;
    if (player.Advance() == 1) break;
  }
  return ticks;
}

}  // namespace

int EffectAnimTicks(int entry) {
  const auto known = g_animTicks.find(entry);
  if (known != g_animTicks.end()) return known->second;
  const int ticks = CountAnimTicks(entry);
  g_animTicks.emplace(entry, ticks);
  return ticks;
}

void ResetEffectAnimTicks() { g_animTicks.clear(); }

int ParticleFallTicks(const CCreature& target) {
  const CCreatureType& type = target.type ? *target.type : g_creatureTypes[target.typeNumber];
  const int64_t top = int64_t{g_map.levels} * 16 + type.centreHeight;
  const int64_t drop = std::max<int64_t>(top - target.unitZ, 0);
  const int period = std::clamp(g_indirectSpellParticlePeriod, 1, 100);
  return static_cast<int>(std::min<int64_t>(drop / 12, 1 << 24)) + period / 2;
}
