// The pool's work each battle frame: the scheduler that spreads route planning over frames
// within a budget and refreshes slower decisions every 20 and 90 frames by slot, the drowning
// check, and the slowing cone of a spell.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "core/Options.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "creatures/SpellDefinition.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "map/PathNetwork.h"

namespace {

constexpr int kFrameBudget = 80;
constexpr int kRefreshPeriod = 20;
constexpr int kReactionPeriod = 90;
constexpr int kSlowSpell = 68;
constexpr int kSlowColourEffect = 1;

// The steps the scheduler runs, through the creature's own rules.
class CreatureSteps : public ICreatureSteps {};
CreatureSteps g_ownSteps;

}  // namespace

int ICreatureSteps::Plan(CCreature& creature, int& budget) { return creature.RunPlanningStep(budget); }

void ICreatureSteps::Refresh(CCreature& creature) {
  creature.UpdatePanic();
  creature.DecideBehaviour();
  creature.UpdateStrength();
  if (g_activeAI && creature.typeNumber != creature_kind::kStatic) {
    CLocationRequest location;
    location.x = creature.cellX;
    location.y = creature.cellY;
    location.level = creature.level;
    location.mover.creature = creature.index;
    location.mover.queryGiven = true;
    location.mover.query = creature.MakeMoveQuery();
    creature.nodeRoute.NearestNode() = g_pathNetwork.FindNearestReachableNode(location);
  }
}

void ICreatureSteps::React(CCreature& creature) { creature.ReactToEnemies(); }

constinit HookSlot<ICreatureSteps> g_creatureSteps(&g_ownSteps);

void CCreatureArray::ThinkAll() {
  frameBudget = g_creatureBattle->PlanningStopped() ? 0 : kFrameBudget;
  ICreatureSteps& steps = *g_creatureSteps;

  // Planning: on from the cursor until every slot had its turn or the budget is spent; an
  // unfinished search keeps its creature first in line for the next frame.
  bool complete = false;
  while (!complete && frameBudget > 0 && highWater > 0) {
    if (schedulerCursor < 0 || schedulerCursor >= highWater) schedulerCursor = 0;
    CCreature& creature = records[schedulerCursor];
    int stopped = 0;
    if (creature.inUse && creature.IsAlive()) {
      stopped = steps.Plan(creature, frameBudget);
      if (stopped == 1 && searchPending) break;
      if (stopped == 0 && searchPending) searchPending = 0;
    }
    if (++schedulerCursor >= highWater) {
      schedulerCursor = 0;
      complete = true;
    }
    if (stopped == 1) break;
  }

  // The slower decisions, each creature on frames set by its slot number.
  for (int slot = 0; slot < highWater && slot < capacity; ++slot) {
    CCreature& creature = records[slot];
    if (!creature.inUse || !creature.IsAlive()) continue;
    if (slot % kRefreshPeriod == phase20) steps.Refresh(creature);
    if (slot % kReactionPeriod == phase90 && creature.inUse && creature.IsAlive()) {
      const CCreature* wizard = g_armyTable.GetWizard(creature.army);
      const bool leaderless = !wizard || !wizard->inUse || creature.independent;
      if (leaderless && creature.army != g_localArmy) steps.React(creature);
    }
  }
  phase20 = (phase20 + 1) % kRefreshPeriod;
  phase90 = (phase90 + 1) % kReactionPeriod;
}

void CCreatureArray::ApplyWater() {
  if (g_rateOfDrowning <= 0) return;
  const int water = g_map.waterLevel;
  ForEachInUse([water](CCreature& creature) {
    if (!creature.IsAlive() || !creature.type) return;
    const int top = creature.level + creature.type->TileHeight - 1;
    bool drowns = false;
    switch (creature.type->SwimmingAbility) {
      case 0:
      case 1:
        drowns = top < water;
        break;
      case 2:
        drowns = top < water - 1 ||
                 (top == water - 1 && !creature.HasRoomAt(creature.cellX, creature.cellY, creature.level + 1));
        break;
      default:
        break;
    }
    if (drowns) creature.AdjustHealth(-g_rateOfDrowning, -1, nullptr, 1);
  });
}

void CCreatureArray::SlowInCone(int ox, int oy, int ol, int dx, int dy, int dz, int range) {
  ForEachInUse([=](CCreature& creature) {
    if (creature.IsAlive()) creature.SlowIfInCone(ox, oy, ol, dx, dy, dz, range);
  });
}

void CCreature::SlowIfInCone(int ox, int oy, int ol, int dx, int dy, int dz, int range) {
  if (cellX == ox && cellY == oy && level == ol) return;
  const int size = type ? type->TileSizeXY : 1;
  const int height = type ? type->TileHeight : 1;
  // From the origin to the creature's middle, the short way round the map.
  const int64_t vx = 32LL * WrapDeltaX(ox, cellX) + 16 * (size - 1);
  const int64_t vy = 32LL * WrapDeltaY(oy, cellY) + 16 * (size - 1);
  const int64_t vz = 16LL * (level - ol) + 8 * height - 8;
  const int64_t vv = vx * vx + vy * vy + vz * vz;
  if (vv / 1024 > static_cast<int64_t>(range) * range) return;
  const int64_t ax = 32LL * dx, ay = 32LL * dy, az = 16LL * dz;
  const int64_t p = vx * ax + vy * ay + vz * az;
  // Within 60 degrees of the direction: cos^2 >= 1/4.
  if (p < 0 || 4 * p * p < (ax * ax + ay * ay + az * az) * vv) return;

  const int duration = g_spellDefs[kSlowSpell].Duration;
  if (duration <= 0) {
    if (slow) printFX.RemoveColourFX(kSlowColourEffect);
    slow = 0;
  } else {
    if (!slow) printFX.PushColourFX(kSlowColourEffect);
    slow = duration;
    haste = 0;
  }
  changed = 1;
}
