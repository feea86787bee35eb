// A creature's reactions: stepping back from a blow in front, fleeing from or going for the
// nearest enemy it can reach, the speed conditions, a change of owner and the removal from
// play with the King's succession. Draws come from the battle's generator.
#include "creatures/CreatureReactions.h"

#include <algorithm>

#include "creatures/Armies.h"
#include "creatures/CreatureAnims.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "creatures/CreatureOrders.h"
#include "creatures/Mapelem.h"
#include "creatures/SpellDefinition.h"
#include "creatures/Wizard.h"
#include "map/Map.h"
#include "map/MapCell.h"
#include "map/MapUnits.h"
#include "map/PathNetwork.h"

int AttackSector(int dx, int dy) {
  const int g = dy + 2 * dx, m = dx + 2 * dy, l = 2 * dy - dx, k = dy - 2 * dx;
  if (k < 0 && g <= 0) return 0;
  if (g > 0 && m <= 0) return 1;
  if (m > 0 && l <= 0) return 2;
  if (l <= 0 && k <= 0) {
    if (g >= 0 && m >= 0) return 7;
    if (m >= 0) return 5;
    return l >= 0 ? 6 : 7;
  }
  if (k <= 0) return 3;
  if (g >= 0) return 4;
  if (m >= 0) return 5;
  return l >= 0 ? 6 : 7;
}

int RelativeAttackDirection(int dx, int dy, int facing) { return ((AttackSector(dx, dy) - facing) % 8 + 8) % 8; }

namespace {

constexpr int kKilledByLanding = 15;  // a landing takes its whole health
constexpr int kPushNoChance = 50;     // r mod 100 at most this: no push
constexpr int kOwnerEffect = 11;
constexpr int kSlowColour = 1;

bool InFront(int relative) { return relative == 0 || relative == 1 || relative == 7; }

bool CannotBePushed(const CCreature& c) {
  return c.typeNumber == creature_kind::kStatic || c.heldKind || !c.IsAlive() || c.order == ORDER_TRAPPED ||
         c.order == ORDER_RETREAT || (c.order == ORDER_STUNNED && c.pendingOrder == ORDER_TRAPPED) || c.midStep ||
         (c.airborne > 0 && c.spellState == 3 && !(c.type && c.type->CanFly));
}

bool IsAttackingOrder(int order) {
  return order == ORDER_ATTACK_CREATURE || order == ORDER_REACTION_HTH || order == ORDER_REACTION_LRC ||
         order == ORDER_BEHAVIOUR;
}

// Sighting counters after a change of army: seen by its own and by allies sharing vision.
void ResetSightings(CCreature& c) {
  const CArmy* own = g_armyTable.GetArmy(c.army);
  for (int a = 0; a < kSightingArmyCount; ++a)
    c.sightingCounters[a] = a == c.army || (own && own->SharesVisionWith(a)) ? kSightingFull : 0;
}

}  // namespace

int CCreature::TryPushBack(int, CCreature& attacker) {
  if (BattleRoll(100, __LINE__) <= kPushNoChance) return 0;
  if (CannotBePushed(*this)) return 0;
  const int dx = WrapDeltaX(cellX, attacker.cellX), dy = WrapDeltaY(cellY, attacker.cellY);
  if (!InFront(RelativeAttackDirection(dx, dy, facing))) return 0;
  const int tries[3] = {(facing + 4) % 8, (facing + 3) % 8, (facing + 5) % 8};
  const int count = facing % 2 ? 1 : 3;
  for (int t = 0; t < count; ++t) {
    const GridStep& step = kDirectionSteps[tries[t]];
    const int x = CWrapCoord::WrapX(cellX + step.dx), y = CWrapCoord::WrapY(cellY + step.dy);
    for (int z : {level, level - 1, level + 1}) {
      if (z < 0 || z >= g_map.levels || !CanMoveStraightTo(x, y, z)) continue;
      return PlanCellRoute(x, y, z) ? 1 : 0;
    }
  }
  return 0;
}

void CCreature::ReactToEnemies() {
  if (g_creatureBattle->IsHeldByScript(index) || !type) return;
  ReactToNearestEnemy();
  if (inUse) WanderStep();
}

void CCreature::ReactToNearestEnemy() {
  // The nearest enemy it can reach, the first found among equals: the reach test (a walk)
  // runs nearest first and stops at the first that passes.
  struct Candidate {
    CCreature* creature;
    int distance;
  };
  Candidate candidates[kCreatureCapacity];
  int count = 0;
  g_creatureArray.ForEachInUse([&](CCreature& other) {
    if (&other == this || !other.IsAlive() || !IsEnemyOf(other) || !ArmySees(other) || count >= kCreatureCapacity)
      return;
    candidates[count++] = {&other, MapWrappedDistance(cellX, cellY, level, other.cellX, other.cellY, other.level)};
  });
  std::stable_sort(candidates, candidates + count,
                   [](const Candidate& a, const Candidate& b) { return a.distance < b.distance; });
  CCreature* enemy = nullptr;
  int nearest = 0;
  for (int i = 0; i < count && !enemy; ++i) {
    if (!CanReach(*candidates[i].creature)) continue;
    enemy = candidates[i].creature;
    nearest = candidates[i].distance;
  }
  if (!enemy || enemy->typeNumber < 0 || enemy->typeNumber >= kCreatureTypes) return;
  const int b = type->FearHate_Matrix[enemy->typeNumber] + combat.reactionModifier;
  if (b < 1 && nearest <= -2 * b) {
    combat.fleeDistance = -2 * b + 10;
    ReleaseTracking();
    engagedWith = -1;
    target = enemy->index;
    if (typeNumber == creature_kind::kUnseen) {
      EndHeldState();
      return;
    }
    if (heldKind || IsAirborneWithoutFlight()) return;
    behaviourSubState = 2;
    SetOrder(ORDER_BEHAVIOUR);
  } else if (b >= 1 && nearest <= 2 * b) {
    AttackCreature(enemy->index);
  }
}

void CCreature::SetSlow(int n) {
  if (n > 0) {
    if (slow <= 0) printFX.PushColourFX(kSlowColour);
    slow = n;
    haste = 0;
  } else {
    slow = 0;
    printFX.RemoveColourFX(kSlowColour);
  }
}

void CCreature::ChangeOwner(int newArmy) {
  if (newArmy == army) return;
  CountArmyCreatures();
  army = newArmy;
  ResetSightings(*this);
  if (heldKind) EndHeldState();
  CountArmyCreatures();
  if (selected) Deselect();
  printFX.PushEffect(kOwnerEffect);
  ReleaseEngagements();
  if (IsAttackingOrder(order) && heldKind) EndHeldState();
  g_creatureAI->RegisterCreature(0, index);
  if (IsWizard()) g_creatureAI->RegisterCreature(1, index);
  if (spellState == 2 && attachedEffect >= 0) g_creatureEffects->SetEffectArmy(attachedEffect, army);
}

void CCreature::ReleaseEngagements() {
  const int slot = index;
  g_creatureArray.ForEachInUse([&](CCreature& other) {
    if (&other == this) return;
    if (other.army == army && other.engagedWith == slot) {
      other.ReleaseTracking();
      other.engagedWith = -1;
      other.RunOrderHandler();
    }
    if (other.target == slot && IsAttackingOrder(other.order) && other.heldKind) other.EndHeldState();
  });
}

namespace {
constexpr int kOwnMarkerKind = 50;  // effects that live and end with their creature
}  // namespace

void CCreature::Remove() {
  ReleaseTracking();
  if (rank == 2 && typeNumber >= 0 && typeNumber < kCreatureTypes) {
    g_creatureArray.kingFlags[typeNumber] = 0;
    // The most experienced of the type may take the crown at once.
    CCreature* heir = this;
    int most = 0;
    g_creatureArray.ForEachInUse([&](CCreature& other) {
      if (&other == this || !other.IsAlive() || other.typeNumber != typeNumber || other.experience <= most) return;
      heir = &other;
      most = other.experience;
    });
    if (heir != this) heir->AddExperience(0);
  }
  health = 0;
  heldKind = heldTime = 0;
  haste = slow = 0;
  target = -1;
  airborne = 0;
  rank = 0;
  if (selected) HideRouteMarkers();
  g_creatureEffects->DeactivateEffectsOf(kOwnMarkerKind, index);
  // An effect held with the creature (spell-held state 2) goes with it.
  if (spellState == 2) SetSpellState(0, -1);
  const int slot = index;
  g_creatureArray.ForEachInUse([slot](CCreature& other) {
    if (other.index != slot) other.DropTarget(slot);
  });
  g_creatureBattle->RemoveSpotIcon(index);
  if (IsWizard() && !illusion && IsLocalPlayers()) {
    SelectSpell(-1);
    spellCount = 0;
    g_creatureBattle->RebuildSpellPopup();
    g_creatureBattle->ShowWizardHealth(0);
    g_creatureBattle->ShowDefeatMessage(0);
  }
}

namespace {

constexpr int kTeleportEffect = 9;
constexpr int kArrivalEffect = 10;
constexpr int kFadingEffect = 8;
constexpr int kArrivingEffect = 5, kArrivingEffectType13 = 14;  // the sheens a creature arrives with
constexpr int kOwnIllusion = 7, kOwnIllusionWatery = 12, kShimmeringType = 13;
constexpr int kLandingDamage = 20;

}  // namespace

void CCreature::StartTeleport(int x, int y, int z, int flag) {
  teleportX = x;
  teleportY = y;
  teleportLevel = z;
  teleportInAir = flag;
  printFX.PushEffect(kTeleportEffect);
}

void CCreature::StartPrintEffect8() { printFX.PushEffect(kFadingEffect); }

void CCreature::OnPrintEffectEnd(int effect) {
  if (effect == kFadingEffect) {
    Remove();
    Detach();
    return;
  }
  if ((effect == kArrivingEffect || effect == kArrivingEffectType13) && illusion && IsLocalPlayers()) {
    // The owner keeps seeing through its own illusion.
    printFX.PushEffect(typeNumber == kShimmeringType ? kOwnIllusionWatery : kOwnIllusion);
    return;
  }
  if (effect != kTeleportEffect) return;
  CMoveQuery query = MakeMoveQuery();
  if (teleportInAir) query.airborne = query.flying = 1;
  int x = teleportX, y = teleportY, z = teleportLevel;
  if (g_map.FindFreePositionNear(index, query, x, y, z)) {
    Relocate(x, y, z);
    midStep = 0;
    ReleaseAllEngagements();
    if (heldKind) EndHeldState();
    attackApproach = 0;
    ResetSightings(*this);
    if (teleportInAir && !g_map.CanOccupy(x, y, z, MakeMoveQuery())) {
      if (typeNumber == creature_kind::kUnseen) {
        EndHeldState();
      } else {
        ReleaseTracking();
        EnterOrder16();
      }
    }
  }
  printFX.PushEffect(kArrivalEffect);
}

// DROPPED: one level down each loop of the sequence while there is room; landing hurts a
// creature that cannot fly.
void CCreature::AnimDropped() {
  if (bodyAnim.Advance() != 1) return;
  if (level > 0 && HasRoomAt(cellX, cellY, level - 1)) {
    Relocate(cellX, cellY, level - 1);
    StartAnimAt(creature_anim::kStand, 0);
    return;
  }
  overlayAnim.playing = 0;
  if (mayFly) {
    ForceLanding();
    // A creature that may fly but was not flying has nothing to land from: it stands here
    // (else it would stay DROPPED for good).
    if (inUse && order == ORDER_DROPPED) EndHeldState();
    return;
  }
  int x = cellX, y = cellY, z = level;
  if (g_map.FindFreePositionNear(index, MakeMoveQuery(), x, y, z)) Relocate(x, y, z);
  EndHeldState();
  TakeDamage(kLandingDamage, -1, -1, -1);
}

// A creature brought down from the air: a flyer walks to a free place on the ground and lands
// at the end of that walk, or at once when it cannot walk; an earth-bound one, or one held up
// by a spell's flight, loses the power to fly.
void CCreature::ForceLanding() {
  CCreatureOrderState& s = orderState;
  if (s.flying) {
    mayFly = 0;
    int x = cellX, y = cellY, z = level;
    if (!g_map.FindFreePositionNear(index, MakeMoveQuery(), x, y, z)) z = 0;
    mayFly = 1;
    WalkTo(x, y, z);
    if (order != ORDER_WAIT || pendingOrder == ORDER_WALK_TO_POS) {
      falling = 1;
      return;
    }
    TakeDamage(typeNumber == kKilledByLanding ? health : g_spellDefs[spell_tuning::kFallDamage].Damage, -1, -1, -1);
    if (!inUse) return;
    s.flying = g_map.FindGroundSupport(cellX, cellY, level, MakeMoveQuery()) ? 0 : 1;
    return;
  }
  const bool spellFlight = spellState == 3 && s.fallFlag;
  if (!s.earthBound && !spellFlight) return;
  mayFly = 0;
  if (spellFlight) EndSpellFlight();
}

// --- the King's recruiting ---

namespace {

constexpr int kKingRingSmall[8][2] = {{0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}};
constexpr int kKingRingLarge[12][2] = {{0, -1}, {1, -1}, {2, -1}, {2, 0},  {2, 1},  {2, 2},
                                       {1, 2},  {0, 2},  {-1, 2}, {-1, 1}, {-1, 0}, {-1, -1}};

}  // namespace

// Each frame a King draws the creatures of its own type standing around it into its army,
// while its wizard's control limit allows. The cells wrap round the map as every other
// neighbourhood does.
void CCreature::KingStep() {
  if (!type) return;
  const bool large = type->TileSizeXY == 2;
  const int count = large ? 12 : 8;
  for (int n = 0; n < count; ++n) {
    const int* offset = large ? kKingRingLarge[n] : kKingRingSmall[n];
    const CMapCell* cell = g_map.CellAtWrapped(cellX + offset[0], cellY + offset[1], level);
    if (!cell || !(cell->state & state_bits::kOccupancy) || cell->occupant == kNoOccupant) continue;
    CCreature* other = CreatureInUse(cell->occupant);
    if (!other || other == this || other->typeNumber != typeNumber || other->army == army || !other->IsAlive())
      continue;
    // Only while the army's wizard, if it has one, still commands fewer than its limit.
    const CCreature* wizard = g_armyTable.GetWizard(army);
    if (wizard && wizard->inUse && wizard->behaviour.armyCount >= wizard->aiWords[wizard_words::kControlLimit]) return;
    other->ChangeOwner(army);
  }
}

// --- levitation and earth binding ---

void CCreature::Levitate(int frames) {
  if (order == ORDER_TRAPPED) return;
  if (airborne <= 0 && !heldKind && type) {
    earthBind = 0;
    orderState.earthBound = 0;
    int x = cellX, y = cellY, z = level;
    if (CanFlyNow()) {
      const int top = std::min(level + type->FlyingHeight, g_map.levels - 1);
      while (z < top && HasRoomAt(x, y, z + 1)) ++z;
    } else {
      mayFly = 1;
      z = std::min(level + g_spellDefs[spell_tuning::kLevitate].Data1, g_map.levels - 1);
    }
    if (g_map.FindFreePositionNear(index, MakeMoveQuery(), x, y, z)) {
      FindNearbyFreeCell(x, y, z, 1, x, y, z);
      WalkTo(x, y, z);
    }
  }
  airborne = frames;
}

void CCreature::EndLevitation() {
  airborne = 0;
  attackApproach = 0;
  mirrored = 0;
  if (!CanFlyNow()) mayFly = 0;
  if (!IsAlive()) return;
  const bool supported = g_map.FindGroundSupport(cellX, cellY, level, MakeMoveQuery()) != 0;
  if (orderState.flying == 0 && (supported || CanFlyNow())) {
    EndHeldState();
    return;
  }
  if (typeNumber == creature_kind::kUnseen) return;
  ReleaseEngagement();
  if (midStep)
    pendingOrder = ORDER_DROPPED;
  else
    SetOrder(ORDER_DROPPED);
}

void CCreature::SetEarthBind(int n) {
  if (n > 0) {
    earthBind = n;
    orderState.earthBound = 1;
    if (airborne > 0) {
      airborne = 0;
      overlayAnim.playing = 0;
      attackApproach = 0;
      mirrored = 0;
    }
    return;
  }
  earthBind = 0;
  orderState.earthBound = 0;
  if (CanFlyNow()) mayFly = 1;
}

// --- LIFTED ---

namespace {

constexpr int kLiftTries = 5;

// Drops a place level by level to the ground under it while there is room: false when no
// ground carries it there.
bool DropToGround(const CCreature& c, int x, int y, int& z) {
  const CMoveQuery query = c.MakeMoveQuery();
  while (z > 0 && !g_map.FindGroundSupport(x, y, z, query) && c.HasRoomAt(x, y, z - 1)) --z;
  return g_map.FindGroundSupport(x, y, z, query) != 0;
}

// The path node through which the creature at a place enters the network, -1 none.
int NetworkEntry(const CCreature& c, int x, int y, int z) {
  CLocationRequest location;
  location.x = x;
  location.y = y;
  location.level = z;
  location.mover.creature = c.index;
  location.mover.queryGiven = true;
  location.mover.query = c.MakeMoveQuery();
  return g_pathNetwork.FindNearestReachableNode(location);
}

// A place at a level where a creature lifted by the ground may be set down: free and with
// room. A wizard must also be able to walk on from there: it needs ground under both its
// old and its new place (it drops to it), a path node reachable from each, and a route over
// the network between the two.
bool LiftedPlace(const CCreature& c, int x, int y, int& z) {
  const CMapCell* cell = g_map.CellAtWrapped(x, y, z);
  if (!cell || cell->occupant != kNoOccupant || !c.HasRoomAt(x, y, z)) return false;
  if (!c.IsWizard()) return true;
  int fromZ = c.level;
  if (!DropToGround(c, c.cellX, c.cellY, fromZ) || !DropToGround(c, x, y, z)) return false;
  const int from = NetworkEntry(c, c.cellX, c.cellY, fromZ), to = NetworkEntry(c, x, y, z);
  return from >= 0 && to >= 0 && g_pathNetwork.SearchNodeRoute(from, to, c.MakeMoveQuery()) != 0;
}

}  // namespace

// Each loop of its sequence a lifted creature turns a step and rises a level while it has
// room; at the top it is set down somewhere at random, and then falls.
void CCreature::AnimLifted() {
  if (bodyAnim.Advance() != 1) return;
  SetFacing((facing + 1) & 7);
  RefreshViewFacing();
  StartAnimAt(creature_anim::kStand, 0);
  // (A creature already coming down rises no further: it is set down at once, else it would
  // stay lifted for good.)
  if (!falling && level + 1 < g_map.levels && HasRoomAt(cellX, cellY, level + 1)) {
    Relocate(cellX, cellY, level + 1);
    return;
  }
  for (int attempt = 0; attempt < kLiftTries; ++attempt) {
    const int x = BattleRoll(g_map.width, __LINE__), y = BattleRoll(g_map.height, __LINE__);
    int z = level;
    if (!LiftedPlace(*this, x, y, z)) continue;
    Relocate(x, y, z);
    break;
  }
  if (mayFly && !g_map.FindGroundSupport(cellX, cellY, level, MakeMoveQuery())) orderState.flying = 1;
  ReleaseTracking();
  if (midStep)
    pendingOrder = ORDER_DROPPED;
  else
    EnterOrder16();
}
