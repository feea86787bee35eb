// The order BEHAVIOUR: each time the creature is updated its sub-behaviour runs one step —
// attack or assist (1, 5), flee (2), feed on a corpse (3, 4), escape burning ground (6),
// return to its post (7), fetch an item (8) or visit a place (9).
#include <algorithm>
#include <cstdlib>

#include "creatures/CreatureArray.h"
#include "creatures/CreatureBehaviourRules.h"
#include "map/Map.h"
#include "map/MapCell.h"
#include "map/MapUnits.h"

using namespace behaviour;

namespace {

enum Sub { kAttack = 1, kFlee, kFeed, kEat, kAssist, kEscape, kReturn, kItem, kVisit };

bool AtCell(const CCreature& c, int x, int y, int z) {
  return c.cellX == CWrapCoord::WrapX(x) && c.cellY == CWrapCoord::WrapY(y) && c.level == z;
}

// A straight move from the creature's cell to a cell of the block around it.
bool ReachableStep(CCreature& c, int n, int& x, int& y, int& z) {
  x = CWrapCoord::WrapX(c.cellX + kBlock[n].dx);
  y = CWrapCoord::WrapY(c.cellY + kBlock[n].dy);
  z = c.level + kBlock[n].dz;
  if (!InsideMap(z)) return false;
  return n == 0 || c.CanMoveStraightTo(x, y, z);
}

int ChangedCoordinates(int n) { return (kBlock[n].dx != 0) + (kBlock[n].dy != 0) + (kBlock[n].dz != 0); }

}  // namespace

int CCreature::OrderBehaviour() { return RunBehaviour(); }

int CCreature::RunBehaviour() {
  switch (behaviourSubState) {
    case kAttack:
    case kAssist:
      RunAttack();
      return 0;
    case kFlee:
      RunFlee();
      return 0;
    case kFeed:
    case kEat:
      RunFeed();
      return 0;
    case kEscape:
      RunEscape();
      return 0;
    case kReturn:
      if (AtCell(*this, orderState.previousX, orderState.previousY, orderState.previousLevel)) return EndHeldState();
      FollowOrReplan();
      return 0;
    case kItem:
      if (AtCell(*this, behaviour.goalX, behaviour.goalY, behaviour.goalLevel) ||
          SomeoneStandsOn(behaviour.goalX, behaviour.goalY, behaviour.goalLevel, index)) {
        behaviour.itemDetour = 0;
        ReturnToPost();
        return 0;
      }
      FollowOrReplan();
      return 0;
    case kVisit:
      if (AtCell(*this, behaviour.goalX, behaviour.goalY, behaviour.goalLevel)) return EndHeldState();
      if (SomeoneStandsOn(behaviour.goalX, behaviour.goalY, behaviour.goalLevel, index))
        ReturnToPost();
      else
        FollowOrReplan();
      return 0;
    default:
      return EndHeldState();
  }
}

void CCreature::FollowOrReplan() {
  if (Walking()) {
    FollowPath();
    return;
  }
  StandFor(1);
  RaiseReplanRequest();
}

void CCreature::ReturnToPost() {
  Walking() = 0;
  StandFor(1);
  RaiseReplanRequest();
  behaviourSubState = kReturn;
}

void CCreature::RunAttack() {
  CCreature* victim = CreatureInUse(target);
  if (victim && (victim->army == army || !Sees(*this, *victim) || !victim->IsAlive())) victim = nullptr;
  if (!victim) {
    target = -1;
    const int found = behaviourSubState == kAttack ? FindEnemyToAttack() : FindAllyToAssist();
    if (found) {
      Walking() = 0;
      victim = CreatureInUse(target);
    }
  }
  if (!victim || DistanceFromPost(*this, *victim) > behaviour.reach) {
    ReturnToPost();
    return;
  }
  if (InHandToHandContact(*victim, cellX, cellY, level)) {
    if (!orderState.engaged) FaceAdjacentCreature(*victim);
    if (!victim->midStep) {
      SetAnimState(ANIM_HTH_ATTACK);
      return;
    }
    victim->orderState.engagedBy = index + 1;
    StandFor(1);
    return;
  }
  if (HasRangedAttack()) {
    attack[8] = target;
    attack[7] = index;
    attack[0] = spellCount > 0 ? spells[0] : 0;
    ApproachTarget();
    return;
  }
  FollowOrReplan();
}

void CCreature::RunFlee() {
  const CCreature* foe = CreatureInUse(target);
  if (!foe || !foe->IsAlive()) {
    target = -1;
    if (FindEnemyToFlee()) Walking() = 0;
    foe = CreatureInUse(target);
  }
  // A flight keeps its reach in the flee distance, whoever started it (the reactions too).
  if (!foe || Distance(*this, *foe) > combat.fleeDistance || !FindFleeStep()) EndHeldState();
}

void CCreature::RunFeed() {
  const bool feeds = behaviourSubState == kFeed;
  CCreature* body = CreatureInUse(target);
  if (feeds ? (!body || body->IsAlive()) : !body) {
    target = -1;
    body = (feeds ? FindCorpseToFeed() : FindCorpseToEat()) ? CreatureInUse(target) : nullptr;
  }
  if (!body) {
    ReturnToPost();
    return;
  }
  if (InHandToHandContact(*body, cellX, cellY, level)) {
    const int eating = feeds ? ANIM_TROLL_EAT : ANIM_DIP_CAP;
    if (animState == eating) {
      const int full = type ? type->Health : 0;
      AdjustHealth(full * (feeds ? 5 : 10) / 100, -1, nullptr, 0);
      if (feeds)
        body->orderState.bodyCountdown = body->orderState.bodyCountdown > 60 ? body->orderState.bodyCountdown - 60 : 1;
      else
        body->behaviour.consumed = 1;
      EndHeldState();
      return;
    }
    int x, y, z;
    body->CentrePoint(x, y, z);
    FacePoint(x, y);
    SetAnimState(eating);
    return;
  }
  FollowOrReplan();
}

void CCreature::RunEscape() {
  int best = -1, bestHazard = 50, bx = 0, by = 0, bz = 0;
  for (int n = 0; n < 27; ++n) {
    int x, y, z;
    if (!ReachableStep(*this, n, x, y, z)) continue;
    const int hazard = RateHazard(x, y, z);
    if (best < 0 || hazard < bestHazard) {
      best = n;
      bestHazard = hazard;
      bx = x;
      by = y;
      bz = z;
    }
  }
  if (best <= 0 || !PlanCellRoute(bx, by, bz)) {
    EndHeldState();
    return;
  }
  FollowPath();
}

int CCreature::FindFleeStep() {
  const CCreature* foe = CreatureInUse(target);
  if (!foe) return 0;
  const int d = Distance(*this, *foe);
  const int limit = std::max(20, d + 4);
  // The enemies that count: near this creature, and not much farther than the one it flees.
  int counted[kCreatureCapacity];
  int count = 0;
  g_creatureArray.ForEachInUse([&](CCreature& other) {
    if (&other == this || !other.IsAlive() || !IsEnemyOf(other) || !Sees(*this, other)) return;
    const int e = Distance(*this, other);
    if (e <= limit && e <= 2 * d && count < kCreatureCapacity) counted[count++] = other.index;
  });
  const auto nearestFrom = [&](int x, int y, int z) {
    int nearest = limit;
    for (int i = 0; i < count; ++i) {
      const CCreature& e = *g_creatureArray.At(counted[i]);
      nearest = std::min(nearest, MapWrappedDistance(x, y, z, e.cellX, e.cellY, e.level));
    }
    return nearest;
  };
  const int here = nearestFrom(cellX, cellY, level);
  int bestGain = 0, best = 0, bx = cellX, by = cellY, bz = level;
  for (int n = 1; n < 27; ++n) {
    int x, y, z;
    if (!ReachableStep(*this, n, x, y, z)) continue;
    // Neither fire nor a trap's mark (with or without fire); the map data's deep water holds no effect.
    const CMapCell* cell = g_map.CellAtWrapped(x, y, z);
    if (IsBurningCell(x, y, z) || (cell && (cell->state & kTrapBit) && cell->effect != kNoLink)) continue;
    const int gain = (nearestFrom(x, y, z) - here) * 10 / (ChangedCoordinates(n) + 1);
    if (gain > bestGain) {
      bestGain = gain;
      best = n;
      bx = x;
      by = y;
      bz = z;
    }
  }
  if (best == 0) return 0;
  if (!PlanCellRoute(bx, by, bz)) return 0;
  FollowPath();
  return 1;
}

bool CCreature::BehaviourGoal(int& x, int& y, int& z) const {
  switch (behaviourSubState) {
    case kFeed:
    case kEat: {
      const CCreature* body = CreatureInUse(target);
      if (!body || InHandToHandContact(*body, cellX, cellY, level)) return false;
      x = body->cellX;
      y = body->cellY;
      z = body->level;
      return true;
    }
    case kReturn:
      x = orderState.previousX;
      y = orderState.previousY;
      z = orderState.previousLevel;
      return true;
    case kItem:
    case kVisit:
      x = behaviour.goalX;
      y = behaviour.goalY;
      z = behaviour.goalLevel;
      return true;
    default:
      return false;
  }
}
