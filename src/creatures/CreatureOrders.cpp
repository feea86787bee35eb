// A creature's orders: the common order switch, the handlers of the order kinds, releasing
// an engagement, ending a held state and the entry points through which the map view, the
// computer player, spells, scripts and the network order a creature.
#include "creatures/CreatureOrders.h"

#include <algorithm>
#include <climits>

#include "core/Options.h"
#include "core/Random.h"
#include "core/TraceLog.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "creatures/Mapelem.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "map/TerrainType.h"
#include "sound/SoundCues.h"

const char* const g_orderNames[kOrderNameCount] = {
    "NONE",    "WAIT",         "WALK_TO_POS",  "ATTACK_CREATURE", "ATTACK_TERRAIN", "DEAD",   "TRAPPED", "TAUNT",
    "STUNNED", "REACTION_HTH", "REACTION_LRC", "BEHAVIOUR",       "DYING",          "BARGED", "RETREAT",
};

const char* const g_animStateNames[kAnimStateNameCount] = {
    "NONE",
    "WAIT",
    "WALK",
    "DEAD",
    "PICKUP",
    "FLINCH",
    "TAUNT",
    "VICTORY",
    "LRC_ATTACK_CREAT",
    "LRC_ATTACK_TERRAIN",
    "HTH_ATTACK",
    "TRACKING",
    "EXPLORING",
    "TRAPPED",
    "STUNNED",
    "STAND",
    "DIP_CAP",
    "TROLL_EAT",
    "BLOB_ATTACK",
    "DYING",
    "ENGAGED",
    "RETREAT",
};

const char* OrderName(int kind) { return kind >= 0 && kind < kOrderNameCount ? g_orderNames[kind] : ""; }
const char* AnimStateName(int state) {
  return state >= 0 && state < kAnimStateNameCount ? g_animStateNames[state] : "";
}

int BattleNow() { return g_creatureBattle->FrameCounter(); }

int BattleRoll(int n, int line) {
  const int roll = static_cast<int>((g_battleRandom.Next() & 0x7FFFFFFF) % static_cast<uint32_t>(std::max(n, 1)));
  if (g_netRandomLog) g_traceLog.Record("Mapelem", line);
  return roll;
}

namespace {

SoundCreature AsSoundCreature(const CCreature& creature) {
  SoundCreature out;
  out.type = creature.typeNumber;
  out.wizard = IsWizardType(creature.typeNumber) ? TypeToWizardNumber(creature.typeNumber) : 0;
  out.owner = creature.army;
  out.x = creature.cellX;
  out.y = creature.cellY;
  out.stepWeight = creature.type ? creature.type->Weight : 0;
  return out;
}

ICreatureSounds g_neutralCreatureSounds;

}  // namespace

HookSlot<ICreatureSounds> g_creatureSounds(&g_neutralCreatureSounds);

void ICreatureSounds::PlayAt(int id, int x, int y) { g_soundCues.PlayAt(id, x, y, nullptr, 0); }
void ICreatureSounds::PlayIdle(const CCreature& c, int sequence) {
  g_soundCues.PlayIdleSound(AsSoundCreature(c), sequence);
}
void ICreatureSounds::PlayTaunt(const CCreature& c) { g_soundCues.PlayTauntSound(AsSoundCreature(c)); }
void ICreatureSounds::PlayDeath(const CCreature& c) { g_soundCues.PlayDeathSound(AsSoundCreature(c)); }
void ICreatureSounds::PlayEvent(const CCreature& c) { g_soundCues.PlayCreatureEventSound(AsSoundCreature(c)); }
void ICreatureSounds::PlayAction(const CCreature& c) { g_soundCues.PlayActionSound(AsSoundCreature(c)); }
void ICreatureSounds::PlayHits(const CCreature& a, const CCreature& t) {
  g_soundCues.PlayHitSounds(AsSoundCreature(a), AsSoundCreature(t));
}
void ICreatureSounds::PlayFootstep(const CCreature& c, int terrainKind, int belowWater) {
  g_soundCues.PlayFootstepSound(AsSoundCreature(c), terrainKind, belowWater);
}
void ICreatureSounds::FlightLoop(const CCreature& c, bool on) {
  // The sound cues keep no loops of their own; a limited flight's loop is a plain cue here.
  if (on) g_soundCues.PlayAt(creature_sound::kFlightLoop, c.cellX, c.cellY, nullptr, 0);
}

// --- the order switch ---

CCreature::OrderHandler CCreature::GetOrderHandler(int kind) {
  switch (kind) {
    case ORDER_WAIT:
      return &CCreature::OrderWait;
    case ORDER_WALK_TO_POS:
      return &CCreature::OrderWalk;
    case ORDER_ATTACK_CREATURE:
      return &CCreature::OrderAttackCreature;
    case ORDER_ATTACK_TERRAIN:
      return &CCreature::OrderAttackTerrain;
    case ORDER_DEAD:
      return &CCreature::OrderDead;
    case ORDER_TRAPPED:
      return &CCreature::OrderTrapped;
    case ORDER_TAUNT:
      return &CCreature::OrderTaunt;
    case ORDER_STUNNED:
      return &CCreature::OrderStunned;
    case ORDER_REACTION_HTH:
      return &CCreature::OrderReactionHth;
    case ORDER_REACTION_LRC:
      return &CCreature::OrderReactionLrc;
    case ORDER_BEHAVIOUR:
      return &CCreature::OrderBehaviour;
    case ORDER_BARGED:
      return &CCreature::OrderBarged;
    case ORDER_RETREAT:
      return &CCreature::OrderRetreat;
    case ORDER_LIFTED:
      return &CCreature::OrderLifted;
    case ORDER_DROPPED:
      return &CCreature::OrderDropped;
    default:
      return nullptr;
  }
}

int CCreature::SetOrder(int kind) {
  if (health <= 0 && (kind != ORDER_DEAD || order == ORDER_DEAD)) return 0;
  if (midStep) {
    pendingOrder = kind;
    return 0;
  }
  if (order == ORDER_WALK_TO_POS) ReleaseWalkMarkers();
  order = kind;
  if (kind != ORDER_STUNNED && kind != ORDER_RETREAT) pendingOrder = ORDER_NONE;
  orderHandler = GetOrderHandler(kind);
  return orderHandler ? (this->*orderHandler)() : 0;
}

int CCreature::RunOrderHandler() {
  // An order dropped without a successor (its target left the map) ends in WAIT.
  if (order == ORDER_NONE && IsAlive()) return SetOrder(ORDER_WAIT);
  if (!orderHandler) orderHandler = GetOrderHandler(order);
  return orderHandler ? (this->*orderHandler)() : 0;
}

void CCreature::RefreshHandlers() {
  orderHandler = GetOrderHandler(order);
  animStateHandler = GetAnimStateHandler(animState);
}

// --- engagement ---

void CCreature::AdjustAttackerCount(CCreature& creature, int up) {
  int32_t& count = creature.orderState.attackerCount;
  if (up)
    count = count == INT32_MAX ? 1 : count + 1;
  else
    count = std::max(count - 1, 0);
}

void CCreature::ReleaseEngagement() {
  if (!orderState.engaged) return;
  if (animState == ANIM_HTH_ATTACK) {
    if (CCreature* opponent = CreatureInUse(target)) AdjustAttackerCount(*opponent, 0);
  } else if (animState == ANIM_ENGAGED) {
    if (CCreature* opponent = CreatureInUse(engagedWith)) AdjustAttackerCount(*opponent, 0);
  }
  orderState.engaged = 0;
}

int CCreature::EndHeldState() {
  if (heldKind == 2) printFX.RemoveColourFX(1);
  if (heldKind == 1) printFX.RemoveColourFX(4);
  heldKind = heldTime = 0;
  provoked = 0;
  if (spellState == 3) orderState.flying = 0;
  ReleaseEngagement();
  orderState.earthBound = orderState.panicking = orderState.lineMove = 0;
  mirrored = 0;
  orderState.inContact = 0;
  behaviourSubState = 0;
  orderState.walkRetries[0] = 0;
  ReleaseWalkMarkers();
  orderState.previousX = cellX;
  orderState.previousY = cellY;
  orderState.previousLevel = level;
  if (health <= 0) return 0;
  return SetOrder(ORDER_WAIT);
}

// --- conditions the entry points ask about ---

bool CCreature::CanFlyNow() const { return (type && type->CanFly) || spellState == 3; }

bool CCreature::IsAirborneWithoutFlight() const { return airborne > 0 && !CanFlyNow(); }

bool CCreature::IsEnemyOf(const CCreature& other) const {
  if (other.army == army) return false;
  const CArmy* own = g_armyTable.GetArmy(army);
  return !(own && own->IsAlliedWith(other.army));
}

bool CCreature::ArmySees(const CCreature& other) const {
  return army >= 0 && army < kSightingArmyCount && other.sightingCounters[army] > 0;
}

bool CCreature::HasVisibleEnemyInContact() const {
  bool found = false;
  g_creatureArray.ForEachInUse([&](CCreature& other) {
    if (found || &other == this || !other.IsAlive() || !IsEnemyOf(other) || !ArmySees(other)) return;
    found = InHandToHandContact(other, cellX, cellY, level) != 0;
  });
  return found;
}

// --- entry points ---

namespace {

int FirstSpell(const CCreature& creature) { return creature.spellCount > 0 ? creature.spells[0] : 0; }

bool HoldsStill(int order) { return order == ORDER_TRAPPED || order == ORDER_STUNNED || order == ORDER_LIFTED; }

}  // namespace

int CCreature::AttackCreature(int targetSlot) {
  if (typeNumber == creature_kind::kUnseen) {
    EndHeldState();
    return 0;
  }
  if (heldKind || HoldsStill(order) || typeNumber == creature_kind::kStatic) return 0;
  if (provoked || orderState.panicking || orderState.earthBound) return 0;
  if (orderState.lineMove && airborne <= 0) return 0;
  ReleaseEngagement();
  rangedAttack = 0;
  ReleaseWalkMarkers();
  if (targetSlot == index) return 0;
  const CCreature* victim = CreatureInUse(targetSlot);
  if (!victim) return 0;

  target = targetSlot;
  orderState.targetDistance = MapWrappedDistance(cellX, cellY, level, victim->cellX, victim->cellY, victim->level);
  int x, y, z;
  victim->CentrePoint(x, y, z);
  attack[0] = FirstSpell(*this);
  attack[4] = x;
  attack[5] = y;
  attack[6] = z;
  attack[7] = index;
  attack[8] = targetSlot;
  orderState.inContact = HasVisibleEnemyInContact() ? 1 : 0;
  if (!midStep && orderState.inContact) {
    FacePoint(victim->cellX * kUnitsPerTile + 16, victim->cellY * kUnitsPerTile + 16);
    orderState.standCountdown = 10;
  }
  SetOrder(ORDER_ATTACK_CREATURE);
  return 1;
}

void CCreature::EnsureAttack(int targetSlot) {
  if (GetCurrentOrder() == ORDER_ATTACK_CREATURE && target == targetSlot) return;
  AttackCreature(targetSlot);
}

void CCreature::AttackTerrain(int x, int y, int z) {
  if (typeNumber == creature_kind::kUnseen) {
    EndHeldState();
    return;
  }
  if (HoldsStill(order) || typeNumber == creature_kind::kStatic || provoked || orderState.panicking) return;
  ReleaseEngagement();
  orderState.attackedX = x;
  orderState.attackedY = y;
  orderState.attackedLevel = z;
  const CMapCell* cell = g_map.CellAtWrapped(x, y, z);
  const int floor = cell && cell->terrain != 0 ? TerrainOf(cell->terrain).groundHeight : 0;
  attack[0] = FirstSpell(*this);
  attack[4] = x * kUnitsPerTile + 16;
  attack[5] = y * kUnitsPerTile + 16;
  attack[6] = z * kUnitsPerLevel + floor;
  attack[7] = index;
  attack[8] = -1;
  if (health <= 0) return;
  SetOrder(ORDER_ATTACK_TERRAIN);
}

void CCreature::WalkTo(int x, int y, int z) {
  if (HoldsStill(order) || typeNumber == creature_kind::kStatic || provoked || orderState.panicking) return;
  if (airborne > 0 && !CanFlyNow()) return;
  if (orderState.earthBound || orderState.lineMove) return;
  ReleaseEngagement();
  const int wasWalkingInContact = orderState.walkingInContact;
  orderState.inContact = HasVisibleEnemyInContact() ? 1 : 0;
  orderState.goalX = x;
  orderState.goalY = y;
  orderState.goalLevel = z;
  if (midStep) {
    orderState.goalChanged = 1;
    pendingOrder = ORDER_WALK_TO_POS;
  } else if (IsAlive()) {
    SetAnimState(ANIM_STAND);
    orderState.replanRequest = 1;
    if (orderState.inContact && !wasWalkingInContact) {
      FacePoint(x * kUnitsPerTile + 16, y * kUnitsPerTile + 16);
      orderState.standCountdown = 10;
    }
    orderState.walkingInContact = orderState.inContact;
    SetOrder(ORDER_WALK_TO_POS);
  }
  ReleaseWalkMarkers();
  if (selected) HideWaypointMarkers();
}

void CCreature::EnsureWalkTo(int x, int y, int z, int follow) {
  if (follow) FindFormationCell(x, y, z, 0, x, y, z);
  if (GetCurrentOrder() == ORDER_WALK_TO_POS && orderState.goalX == x && orderState.goalY == y &&
      orderState.goalLevel == z) {
    orderState.walkRetries[0] = orderState.walkRetries[1] = 0;
    return;
  }
  WalkTo(x, y, z);
}

void CCreature::HaltInPlace(int follow) {
  int x = cellX, y = cellY, z = level;
  if (midStep) {
    StepDestination(x, y, z);
    x = ((x % g_map.width) + g_map.width) % std::max(g_map.width, 1);
    y = ((y % g_map.height) + g_map.height) % std::max(g_map.height, 1);
  }
  EnsureWalkTo(x, y, z, follow);
}

void CCreature::Trap() {
  if (typeNumber == creature_kind::kUnseen) {
    EndHeldState();
    return;
  }
  if (heldKind || typeNumber == creature_kind::kStatic || IsAirborneWithoutFlight()) return;
  ReleaseEngagement();
  ReleaseWalkMarkers();
  orderState.panicking = 0;
  if (health <= 0 || order == ORDER_TRAPPED) return;
  SetOrder(ORDER_TRAPPED);
}

void CCreature::Immobilise(int duration, int kind) {
  if (typeNumber == creature_kind::kUnseen) {
    EndHeldState();
    return;
  }
  if (typeNumber == creature_kind::kStatic) return;
  const int colour = kind == 1 ? 4 : 1;
  if (heldKind && kind) {
    heldTime = duration;
  } else if (airborne > 0 && kind) {
    printFX.PushColourFX(colour);
    airborne = 1;  // comes down next frame
    heldKind = kind;
  } else if (orderState.flying && kind) {
    printFX.PushColourFX(colour);
    heldKind = kind;
    ForceLanding();
  } else {
    ReleaseEngagement();
    if (!heldKind) heldKind = kind;
    if (!(order == ORDER_STUNNED && heldTime > duration)) heldTime = duration;
    if (IsAlive() && order != ORDER_STUNNED) {
      pendingOrder = order;
      SetOrder(ORDER_STUNNED);
    }
  }
  if (!heldKind) return;
  if (ironSkin) {
    ironSkin = 0;
    printFX.RemoveColourFX(5);
    orderState.looksChanged = 1;
  }
  if (bloodLust) {
    bloodLust = 0;
    printFX.RemoveColourFX(6);
    orderState.looksChanged = 1;
  }
  if (invisible) {
    invisible = 0;
    printFX.RemoveEffect(3);
    orderState.looksChanged = 1;
  }
}

void CCreature::ReactHandToHand() {
  if (typeNumber == creature_kind::kUnseen) {
    EndHeldState();
    return;
  }
  if (heldKind || IsAirborneWithoutFlight()) return;
  if (orderState.panicking || orderState.earthBound || orderState.lineMove) return;
  ReleaseEngagement();
  ReleaseWalkMarkers();
  SetOrder(ORDER_REACTION_HTH);
}

void CCreature::EnterOrder15() { SetOrder(ORDER_LIFTED); }
void CCreature::EnterOrder16() { SetOrder(ORDER_DROPPED); }

int CCreature::OrderLifted() {
  SetAnimState(ANIM_LIFTED);
  return 0;
}

int CCreature::OrderDropped() {
  SetAnimState(ANIM_DROPPED);
  return 0;
}

void CCreature::RaiseReplanRequest() {
  if (!orderState.replanRequest) orderState.replanRequest = 1;
}
