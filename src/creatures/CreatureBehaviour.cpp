// A creature's autonomous behaviour: the decision a waiting creature makes every 20 frames
// (attack, flee, help, feed, escape burning ground, fetch an item, visit a place), the start
// of a sub-behaviour through its guard, and the small steps that round a decision off.
#include <algorithm>
#include <cstdlib>

#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureBehaviourRules.h"
#include "creatures/CreatureHooks.h"
#include "creatures/CreatureOrders.h"
#include "map/Map.h"
#include "map/MapCell.h"
#include "map/MapUnits.h"

namespace behaviour {

const BlockOffset kBlock[27] = {
    {0, 0, 0},  {0, -1, 0},  {1, -1, 0},  {1, 0, 0},  {1, 1, 0},  {0, 1, 0},  {-1, 1, 0},  {-1, 0, 0},  {-1, -1, 0},
    {0, 0, 1},  {0, -1, 1},  {1, -1, 1},  {1, 0, 1},  {1, 1, 1},  {0, 1, 1},  {-1, 1, 1},  {-1, 0, 1},  {-1, -1, 1},
    {0, 0, -1}, {0, -1, -1}, {1, -1, -1}, {1, 0, -1}, {1, 1, -1}, {0, 1, -1}, {-1, 1, -1}, {-1, 0, -1}, {-1, -1, -1},
};

bool IsTrapCell(int x, int y, int z) { return g_map.TrapHoldsIn(x, y, z); }
bool IsBurningCell(int x, int y, int z) { return g_map.FireBurnsIn(x, y, z); }
bool InsideMap(int z) { return z >= 0 && z < g_map.levels; }

bool HumanArmy(const CCreature& c) {
  const CArmy* record = g_armyTable.GetArmy(c.army);
  return record && record->human;
}

bool ArmyHasWizard(const CCreature& c) {
  const CArmy* record = g_armyTable.GetArmy(c.army);
  return record && record->wizardCreature != -1;
}

bool Sees(const CCreature& c, const CCreature& other) {
  if (other.army == c.army) return true;
  const CArmy* own = g_armyTable.GetArmy(c.army);
  if (own && own->IsAlliedWith(other.army)) return true;
  return c.ArmySees(other);
}

int Distance(const CCreature& a, const CCreature& b) {
  return MapWrappedDistance(a.cellX, a.cellY, a.level, b.cellX, b.cellY, b.level);
}

int DistanceFromPost(const CCreature& c, int x, int y, int z) {
  return MapWrappedDistance(c.orderState.previousX, c.orderState.previousY, c.orderState.previousLevel, x, y, z);
}

int DistanceFromPost(const CCreature& c, const CCreature& other) {
  return DistanceFromPost(c, other.cellX, other.cellY, other.level);
}

int ScaledByHealth(const CCreature& c, int value) {
  const int full = c.type && c.type->Health > 0 ? c.type->Health : 1;
  return static_cast<int>(int64_t{value} * c.health / full);
}

int FearHateOf(const CCreature& c, int otherType) {
  if (c.bloodLust) return 10;
  if (!c.type || otherType < 0 || otherType >= kCreatureTypes) return 0;
  return c.type->FearHate_Matrix[otherType];
}

bool SomeoneStandsOn(int x, int y, int z, int except) {
  const CMapCell* cell = g_map.CellAtWrapped(x, y, z);
  return cell && cell->occupant != kNoLink && cell->occupant != except;
}

}  // namespace behaviour

using namespace behaviour;

// --- the decision ---

int CCreature::DecideBehaviour() {
  const bool eye = typeNumber == kEye;
  if ((order == ORDER_WAIT || order == ORDER_REACTION_LRC) && pendingOrder == ORDER_NONE && !eye) {
    if (FindAdjacentFoe() >= 0) {
      ReactHandToHand();
    } else {
      FaceNearestEnemy();
      const bool holdsPlace = IsTrapCell(cellX, cellY, level) || manaSource > 0;
      if (!holdsPlace && !ReactToThreat()) {
        if (FindCorpseToFeed())
          EnterBehaviour(3);
        else if (FindCorpseToEat())
          EnterBehaviour(4);
        else if (FindAllyToAssist())
          EnterBehaviour(5);
        else if (FindEnemyToFlee())
          EnterBehaviour(2);
        else if (FindEnemyToAttack())
          EnterBehaviour(1);
        else if (const int hazard = RateHazard(cellX, cellY, level);
                 hazard > 0 && intelligence + 2 * hazard + BattleRoll(35, __LINE__) > 45)
          EnterBehaviour(6);
        else if (FindItemToPickUp())
          EnterBehaviour(8);
        else if (FindObjectToVisit())
          EnterBehaviour(9);
      }
      if (order == ORDER_WAIT) combat.tauntedBy = 0;
    }
  } else if (order == ORDER_WALK_TO_POS && !eye) {
    // A computer army's walker turns aside for an item on its way.
    if (ArmyHasWizard(*this) && !HumanArmy(*this) && !behaviour.stay && FindItemToPickUp() && EnterBehaviour(8))
      behaviour.itemDetour = 1;
  }
  AgeAttackerMemory();
  behaviour.threatSeen = 0;
  AutoUseHealingItem();

  if (order == ORDER_ATTACK_CREATURE ||
      (order == ORDER_BEHAVIOUR && (behaviourSubState == 1 || behaviourSubState == 5)))
    return CheckTargetDrift();
  return order == ORDER_BEHAVIOUR ? behaviourSubState : order;
}

int CCreature::EnterBehaviour(int sub) {
  if (typeNumber == creature_kind::kUnseen) {
    EndHeldState();
    return 0;
  }
  if (heldKind || provoked) return 0;
  if (airborne > 0 && !(type && type->CanFly) && spellState != 3) return 0;
  ReleaseEngagement();
  Walking() = 0;
  behaviourSubState = sub;
  if (!IsAlive()) return 0;
  if (midStep) {
    pendingOrder = ORDER_BEHAVIOUR;
    return 1;
  }
  if (order == ORDER_WALK_TO_POS) HideRouteMarkers();
  order = ORDER_BEHAVIOUR;
  pendingOrder = ORDER_NONE;
  orderHandler = GetOrderHandler(order);
  RunOrderHandler();
  return 1;
}

int CCreature::CheckTargetDrift() {
  const CCreature* victim = CreatureInUse(target);
  if (!victim) return 0;
  const int d1 =
      MapWrappedDistance(route.goalX, route.goalY, route.goalLevel, victim->cellX, victim->cellY, victim->level);
  if (d1 <= 3) return d1;
  const int d2 = Distance(*this, *victim);
  if (d1 * 3 >= d2) Walking() = 0;  // the target has moved off: plan again
  return d2;
}

void CCreature::AgeAttackerMemory() {
  const int before = combat.attackerMemory;
  combat.attackerMemory = std::max(before - 20, 0);
  if (before <= 20) combat.attacker = 0;
}

// --- small steps of a decision ---

void CCreature::FaceNearestEnemy() {
  if (order != ORDER_WAIT || typeNumber == kEye) return;
  const CCreature* nearest = nullptr;
  int best = 0;
  g_creatureArray.ForEachInUse([&](CCreature& other) {
    if (&other == this || !other.IsAlive() || !IsEnemyOf(other) || !Sees(*this, other)) return;
    const int d = Distance(*this, other);
    if (d > 16 || (nearest && d >= best)) return;
    int x, y, z;
    other.CentrePoint(x, y, z);
    if (!CanSeePoint(x, y, z)) return;
    nearest = &other;
    best = d;
  });
  if (!nearest) return;
  int x, y, z;
  nearest->CentrePoint(x, y, z);
  FacePoint(x, y);
}

void CCreature::AutoUseHealingItem() {
  if (!IsWizard() || illusion || HumanArmy(*this) || eventCount <= 0) return;
  const int maximum = GetMaxHealth();
  if (health >= maximum) return;
  for (int i = 0; i < kCreatureEvents; ++i) {
    const CCreatureEvent& item = events[i];
    if (!item.active || !(item.kind < 5 || item.kind == 6)) continue;
    if (maximum >= health + 4 * item.remaining || health < maximum / 2) {
      ProcessEventAt(i);
      if (IsLocalPlayers()) g_creatureBattle->UpdateItemButton(i);
    }
    return;
  }
}

bool CCreature::IsAdjacentTo(const CCreature& a, const CCreature& b) {
  if (std::abs(a.level - b.level) > 1) return false;
  const bool bigA = a.type && a.type->TileSizeXY == 2, bigB = b.type && b.type->TileSizeXY == 2;
  const int low = bigA ? -2 : -1, high = bigB ? 2 : 1;
  const int dx = WrapDeltaX(b.cellX, a.cellX), dy = WrapDeltaY(b.cellY, a.cellY);
  return dx >= low && dx <= high && dy >= low && dy <= high;
}

bool CCreature::HasRangedAttack() const {
  return type && type->FireRange != 0 && !(typeNumber == kDragon && stepAirborne);
}

bool CCreature::IsShootingAt(const CCreature& other) const {
  if (target != other.index || !HasRangedAttack()) return false;
  return order == ORDER_REACTION_LRC || (order == ORDER_ATTACK_CREATURE && !midStep);
}

bool CCreature::CanWalkTo(int x, int y, int z) const {
  return g_map.GreedyWalk(cellX, cellY, level, x, y, z, MakeMoveQuery()) != 0;
}
