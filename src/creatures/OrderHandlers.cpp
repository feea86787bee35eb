// The handlers of a creature's orders: each looks at the situation when its order is issued
// and whenever an animation state ends a cycle, and chooses the next animation state or
// another order. Here too: the hand-to-hand blow, death and the body's stages, the blob
// attack on breakable objects, and what a creature does at cells with locks and structures.
#include <algorithm>
#include <cstdlib>

#include "core/Options.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "creatures/CreatureOrders.h"
#include "creatures/Mapelem.h"
#include "creatures/SpellDefinition.h"
#include "creatures/Wizard.h"
#include "map/Map.h"
#include "map/MapCell.h"
#include "map/MapUnits.h"

namespace {

constexpr int kBreakableObject = 26;
constexpr int kPoisoner = 16;
constexpr int kBloodDrinker = 12;
constexpr int kBurstType = 6;
constexpr int kExploderType = 8;
constexpr int kCarrionTypes[2] = {11, 14};
constexpr int kNearEnemyRange = 20;

// The 8-way direction of a cell offset by its signs; -1 for none.
int SignDirection(int dx, int dy) {
  static constexpr int kDirections[3][3] = {{7, 0, 1}, {6, -1, 2}, {5, 4, 3}};
  return kDirections[(dy > 0) - (dy < 0) + 1][(dx > 0) - (dx < 0) + 1];
}

// The charge bonus of a creature that walked into the blow at speed s; I the impetus.
int ChargeBonus(int s, int impetus) {
  if (s >= 1001) return 4 * impetus;
  if (s >= 751) return 3 * impetus + (s - 750) * impetus / 250;
  if (s > 500) return 2 * impetus + (s - 500) * impetus / 250;
  if (s > 200) return impetus + (s - 200) * impetus / 300;
  return 0;
}

bool InRange(int v, int low, int high) { return v >= low && v <= high; }

// The combat modifier (per cent) a creature's blows carry: a wizard's comes from its record,
// raised by the difficulty when it was deployed; no other creature has one.
int CombatModifierOf(const CCreature& creature) {
  return creature.IsWizard() ? creature.aiWords[wizard_words::kCombatModifier] : 0;
}

}  // namespace

bool CCreature::HasUsableMissile() const {
  return type && type->FireRange > 0 && !(typeNumber == 18 && orderState.flying);
}

bool CCreature::IsReadyToShoot() const { return BattleNow() >= nextActionFrame && !rangedAttack && !midStep; }

// --- WAIT and the simple holds ---

int CCreature::OrderWait() {
  if (typeNumber != creature_kind::kStatic && typeNumber != creature_kind::kUnseen && FindAdjacentFoe() < 0 &&
      PickTauntTarget() >= 0) {
    SetAnimState(ANIM_TAUNT);
    return 0;
  }
  if (FollowLeader() || NextWaypoint()) return 0;
  SetAnimState(ANIM_WAIT);
  return 0;
}

int CCreature::OrderTrapped() {
  SetAnimState(ANIM_TRAPPED);
  return 0;
}

int CCreature::OrderStunned() {
  SetAnimState(ANIM_STUNNED);
  return 0;
}

int CCreature::OrderTaunt() {
  SetAnimState(ANIM_TAUNT);
  return 0;
}

// --- attacking a creature ---

int CCreature::OrderAttackCreature() {
  CCreature* victim = CreatureInUse(target);
  if (!victim || !victim->IsAlive()) {
    if (!IsAlive()) return 0;
    ReleaseWalkMarkers();
    return SetOrder(ORDER_WAIT);
  }
  if (InHandToHandContact(*victim, cellX, cellY, level)) {
    orderState.inContact = 0;
    // The one being struck waits until the blow against it ends: the two take turns.
    if (orderState.attackerCount > 0) {
      StandFor(1);
      return 0;
    }
    FaceAdjacentCreature(*victim);
    if (!victim->midStep) {
      SetAnimState(ANIM_HTH_ATTACK);
    } else {
      victim->orderState.engagedBy = index + 1;
      StandFor(1);
    }
    return 0;
  }
  if (HasUsableMissile())
    ApproachTarget();
  else
    ChaseTarget();
  return 0;
}

void CCreature::ChaseTarget() {
  CCreature* victim = CreatureInUse(target);
  if (!victim) return;
  if (airborne > 0 && !CanFlyNow()) {
    const CSpellDefinition& levitate = g_spellDefs[spell_tuning::kLevitate];
    StartDrift(0, levitate.SpellStrength, airborne * levitate.SpellStrength / 2304 + 2);
    return;
  }
  const bool sees = ArmySees(*victim);
  if (sees) {
    orderState.lastSeenX = victim->cellX;
    orderState.lastSeenY = victim->cellY;
    orderState.lastSeenLevel = victim->level;
  }
  if (FollowRoute()) return;
  const bool atLastSeen =
      cellX == orderState.lastSeenX && cellY == orderState.lastSeenY && level == orderState.lastSeenLevel;
  if (sees || !atLastSeen) {
    StandFor(1);
    RaiseReplanRequest();
  } else {
    EndHeldState();
  }
}

namespace {

// Turns toward the target's body centre and starts the shot.
void ShootAt(CCreature& shooter, const CCreature& victim) {
  int x, y, z;
  victim.CentrePoint(x, y, z);
  shooter.FacePoint(x, y);
  shooter.attack[4] = x;
  shooter.attack[5] = y;
  shooter.attack[6] = z;
  shooter.attack[8] = victim.index;
  shooter.SetAnimState(ANIM_LRC_ATTACK_CREAT);
}

}  // namespace

void CCreature::ApproachTarget() {
  CCreature* victim = CreatureInUse(target);
  if (!victim) return;
  switch (type ? type->GetThreatClass() : 0) {
    case 0:
      if (!attackApproach && HasUsableMissile() && IsReadyToShoot() && !IsChallengeReady() &&
          HasLineOfFireToCreature(*victim)) {
        ShootAt(*this, *victim);
        attackApproach = 1;
        return;
      }
      ChaseTarget();
      attackApproach = 0;
      return;
    case 1:
      if (IsChallengeReady() || !HasLineOfFireToCreature(*victim)) {
        ChaseTarget();
      } else if (HasUsableMissile() && IsReadyToShoot()) {
        ShootAt(*this, *victim);
      } else {
        StandFor(1);
      }
      return;
    default: {
      if (IsChallengeReady() || !HasLineOfFireToCreature(*victim)) {
        ChaseTarget();
        orderState.shotDistance = 0;
        return;
      }
      // Approximate distances count a tile as 2: 1.5 x the range is 3 x FireRange.
      const int distance = MapWrappedDistance(cellX, cellY, level, victim->cellX, victim->cellY, victim->level);
      if (distance < orderState.shotDistance && distance < 3 * type->FireRange && TraceShot(*victim) &&
          FindAttackPosition()) {
        orderState.shotDistance = 0;
        return;
      }
      orderState.shotDistance = distance;
      if (HasUsableMissile() && IsReadyToShoot())
        ShootAt(*this, *victim);
      else
        StandFor(1);
      return;
    }
  }
}

namespace {

// The 27-cell block: the centre, the 8 neighbours clockwise from north, the level above,
// the level below.
constexpr int kBlock27[27][3] = {
    {0, 0, 0},  {0, -1, 0},  {1, -1, 0},  {1, 0, 0},  {1, 1, 0},  {0, 1, 0},  {-1, 1, 0},  {-1, 0, 0},  {-1, -1, 0},
    {0, 0, 1},  {0, -1, 1},  {1, -1, 1},  {1, 0, 1},  {1, 1, 1},  {0, 1, 1},  {-1, 1, 1},  {-1, 0, 1},  {-1, -1, 1},
    {0, 0, -1}, {0, -1, -1}, {1, -1, -1}, {1, 0, -1}, {1, 1, -1}, {0, 1, -1}, {-1, 1, -1}, {-1, 0, -1}, {-1, -1, -1},
};

}  // namespace

int CCreature::FindAttackPosition() {
  CCreature* victim = CreatureInUse(target);
  if (!victim) return 0;
  // The nearest seen living enemy within range of the creature, measured from a cell.
  auto nearestEnemy = [&](int x, int y, int z) {
    int best = -1;
    g_creatureArray.ForEachInUse([&](CCreature& other) {
      if (!other.IsAlive() || !IsEnemyOf(other) || !ArmySees(other)) return;
      if (MapWrappedDistance(cellX, cellY, z, other.cellX, other.cellY, other.level) > kNearEnemyRange) return;
      const int d = MapWrappedDistance(x, y, z, other.cellX, other.cellY, other.level);
      if (best < 0 || d < best) best = d;
    });
    return best;
  };
  const int base = std::max(nearestEnemy(cellX, cellY, level), 0);
  int bestScore = 0, bestIndex = -1, bestX = 0, bestY = 0, bestZ = 0;
  for (int i = 1; i < 27; ++i) {
    const int z = level + kBlock27[i][2];
    if (z < 0 || z >= g_map.levels) continue;
    const int x = ((cellX + kBlock27[i][0]) % g_map.width + g_map.width) % g_map.width;
    const int y = ((cellY + kBlock27[i][1]) % g_map.height + g_map.height) % g_map.height;
    if (!CanMoveStraightTo(x, y, z)) continue;
    const CMapCell* cell = g_map.CellAtWrapped(x, y, z);
    if (!cell || (cell->state & state_bits::kFieldMask)) continue;
    const int nearest = nearestEnemy(x, y, z);
    if (nearest < 0) continue;
    const int changed = (kBlock27[i][0] != 0) + (kBlock27[i][1] != 0) + (kBlock27[i][2] != 0);
    const int score = (nearest - base) * 10 / (changed + 1);
    if (score <= bestScore || !ClearShotFrom(x, y, z, *victim)) continue;
    bestScore = score;
    bestIndex = i;
    bestX = x;
    bestY = y;
    bestZ = z;
  }
  if (bestIndex < 0 || !PlanCellRoute(bestX, bestY, bestZ)) return 0;
  FollowPath();
  return 1;
}

int CCreature::InHandToHandContact(const CCreature& other, int x, int y, int z) const {
  int ox = other.cellX, oy = other.cellY, oz = other.level;
  bool testLevels = true;
  if (other.midStep) {
    other.StepDestination(ox, oy, oz);
    testLevels = other.StepProgress() >= 96;
  }
  if (testLevels) {
    const int otherHeight = other.type ? other.type->TileHeight : 1;
    const int ownHeight = type ? type->TileHeight : 1;
    if (oz + otherHeight < z || z + ownHeight < oz || std::abs(oz - z) > 1) return 0;
  }
  const int h = WrapDeltaX(x, ox), m = WrapDeltaY(y, oy);
  const bool largeSelf = type && type->TileSizeXY == 2;
  const bool largeOther = other.type && other.type->TileSizeXY == 2;
  // The cells beside the two footprints: a side row of the other's span and a row of the
  // footprint's own span. A decision: for a large creature against a small one the rows in y
  // are taken over the large footprint's whole width (h 0 and 1), the mirror of the small
  // against large case. Taken one-sided (h -1 and 0), a small creature touching the large
  // one's east column from the north or south would strike it and never be struck back.
  const int low = -(largeOther ? 2 : 1), high = largeSelf ? 2 : 1;
  const bool besideX = (h == low || h == high) && InRange(m, low, high);
  const bool besideY = (m == low || m == high) && InRange(h, low + 1, high - 1);
  return besideX || besideY ? 1 : 0;
}

int CCreature::RelativeFacing(const CCreature& other) const {
  // The direction from the struck creature toward its attacker against where it looks: 0
  // when it faces the blow, 4 when struck from behind.
  const int direction = SignDirection(WrapDeltaX(other.cellX, cellX), WrapDeltaY(other.cellY, cellY));
  return ((std::max(direction, 0) - other.facing) % 8 + 8) % 8;
}

void CCreature::ResolveHandToHandBlow() {
  CCreature* victim = CreatureInUse(target);
  if (!victim || !type || !victim->type) return;
  g_creatureBattle->NoteBlow(army);

  // An illusion may be seen through.
  if ((illusion != 0) != (victim->illusion != 0)) {
    CCreature& real = illusion ? *victim : *this;
    CCreature& false_ = illusion ? *this : *victim;
    const int strength = g_spellDefs[spell_tuning::kIllusion].SpellStrength;
    const int distance = MapWrappedDistance(cellX, cellY, level, victim->cellX, victim->cellY, victim->level);
    const int roll = BattleRoll(100, __LINE__);
    if (strength + real.intelligence > 0 &&
        roll + distance / 4 < real.intelligence * 100 / (strength + real.intelligence)) {
      // Seen through, the illusion is gone whatever guards it: its health is taken outright,
      // not dealt as a hit that iron skin, a shield or invulnerability would soften.
      int items[2] = {real.carriedItems[0], real.carriedItems[1]};
      false_.AdjustHealth(-false_.health, real.army, items, 1);
      g_creatureSounds->PlayAt(creature_sound::kDisbelief, cellX, cellY);
      return;
    }
  }

  int base = type->HTH_Matrix[victim->typeNumber];
  if (victim->undead && !undead) base /= 3;
  base += base * CombatModifierOf(*this) / 100;
  if (bloodLust > 0) base *= 2;

  int modifier = 0;
  if (level > victim->level) modifier += g_relativeHeight;
  if (level < victim->level) modifier -= g_relativeHeight;
  modifier += g_relativeFacing[RelativeFacing(*victim)];
  int charge = 0;
  if (orderState.walked) {
    orderState.walked = 0;
    charge = ChargeBonus(orderState.chargeSpeed, g_impetus);
    modifier += charge;
  }
  base += base * (modifier + (victim->orderState.inContact ? 25 : 0)) / 256;

  const int roll = BattleRoll(257, __LINE__);
  int damage = base < 0 ? 0 : roll * base / 128;
  if (damage < 1) return;
  if (rank == 1) damage += damage * g_lordBooster / 100;
  if (rank == 2) damage += damage * g_kingBooster / 100;
  if (orderState.quadDamage > 0) damage *= 4;

  if (typeNumber == kPoisoner)
    victim->orderState.poisonPoints += damage;
  else
    victim->TakeDamage(damage, army, carriedItems[0], carriedItems[1]);
  if (IsEnemyOf(*victim)) AddExperience(damage);
  if (typeNumber == kBloodDrinker && !victim->undead) AdjustHealth(5, -1, nullptr, 0);

  // The knock-back and stun are rolled for a victim the blow killed too (a body cannot be
  // pushed, so the stun is rolled, and only the living are stunned): every blow that lands
  // draws alike, so the battle's draws stay in step with the rule on every machine.
  const int knock = BattleRoll(100, __LINE__);
  const int chance = type->Stun_Matrix[victim->typeNumber];
  if (chance >= knock && victim->order != ORDER_RETREAT) {
    if (victim->TryPushBack(knock - chance, *this)) {
      if (victim->typeNumber == creature_kind::kUnseen) {
        victim->EndHeldState();
      } else if (victim->typeNumber != creature_kind::kStatic && !victim->heldKind) {
        victim->ReleaseEngagement();
        if (victim->IsAlive() && victim->order != ORDER_STUNNED) {
          victim->pendingOrder = victim->order;
          victim->SetOrder(ORDER_RETREAT);
        }
      }
    } else {
      const int stun = 20 + BattleRoll(20, __LINE__);
      if (victim->inUse && victim->IsAlive()) victim->Immobilise(stun, 0);
    }
  }
  g_creatureSounds->PlayHits(*this, *victim);
  if (charge > 200 || bloodLust > 0 || orderState.quadDamage > 0 || victim->orderState.inContact) {
    int x, y, z;
    victim->CentrePoint(x, y, z);
    g_creatureEffects->SpawnEffect(59, x, y, z, index);
  }
}

// --- attacking a place ---

int CCreature::OrderAttackTerrain() {
  const int x = orderState.attackedX, y = orderState.attackedY, z = orderState.attackedLevel;
  if (HasLineOfFireTo(x, y, z)) {
    if (HasUsableMissile() && IsReadyToShoot()) {
      FaceCell(x, y);
      SetAnimState(ANIM_LRC_ATTACK_TERRAIN);
    } else {
      SetAnimState(ANIM_WAIT);
    }
    return 0;
  }
  if (FollowRoute()) return 0;
  StandFor(1);
  RaiseReplanRequest();
  return 0;
}

// --- the reactions ---

int CCreature::OrderReactionHth() {
  if (orderState.attackerCount > 0) {
    StandFor(1);
    return 0;
  }
  CCreature* foe = CreatureInUse(FindAdjacentFoe());
  if (!foe) return SetOrder(ORDER_WAIT);
  target = foe->index;
  FaceAdjacentCreature(*foe);
  if (!foe->midStep) {
    SetAnimState(ANIM_HTH_ATTACK);
  } else {
    foe->orderState.engagedBy = index + 1;
    StandFor(1);
  }
  return 0;
}

int CCreature::OrderReactionLrc() {
  if (orderState.attackerCount > 0 || IsChallengeReady()) return SetOrder(ORDER_WAIT);
  if (!HasUsableMissile() || !IsReadyToShoot()) {
    StandFor(1);
    return 0;
  }
  CCreature* foe = CreatureInUse(FindRangedTarget());
  if (!foe) return SetOrder(ORDER_WAIT);
  target = foe->index;
  ShootAt(*this, *foe);
  return 0;
}

// --- death ---

void CCreature::OnKilled() {
  ReleaseWalkMarkers();
  if (g_creatureBattle->ScriptTakesDeath(index)) return;
  if (typeNumber != 11) g_creatureSounds->PlayDeath(*this);
  attachAnims[0].inUse = attachAnims[1].inUse = 0;
  if (IsWizard() && !illusion) {
    if (g_localArmy < 0) {
      g_creatureBattle->ShowMessage(5);
    } else {
      const char* name = g_creatureBattle->PlayerNameOf(army);
      const CArmy* own = g_armyTable.GetArmy(army);
      g_creatureBattle->ShowNamedMessage(6, name ? name : own ? own->name : "");
    }
    int x, y, z;
    CentrePoint(x, y, z);
    g_creatureEffects->SpawnEffect(22, x, y, z, index);
  }
  DropItemsHere();
  Remove();
  SetOrder(ORDER_DEAD);
  CountArmyCreatures();
}

int CCreature::OrderDead() {
  const bool plainBody = !IsWizard() && typeNumber != creature_kind::kStatic;
  if (plainBody && animState != ANIM_DYING && animState != ANIM_DEAD) {
    SetAnimState(ANIM_DYING);
    return 0;
  }
  if (animState != ANIM_DEAD) {
    if (typeNumber == kBurstType) {
      DeathBlast();
      return 0;
    }
    if (typeNumber == kExploderType) {
      const CSpellDefinition& drain = g_spellDefs[spell_tuning::kDrain];
      const int strength = std::min(std::max(orderState.drainHealth / std::max(drain.Data1, 1), drain.Damage), 150);
      Explode(strength, drain.SpellStrength);
      return 0;
    }
    const bool carrion = typeNumber == kCarrionTypes[0] || typeNumber == kCarrionTypes[1];
    if (!carrion && typeNumber != creature_kind::kStatic &&
        (IsWizard() || undead || illusion || (type && !type->IsPhysical))) {
      Detach();
      return 0;
    }
  }

  orderState.bodyCountdown = g_creatureDieTime;
  orderState.manaRecovery = 0;

  if (orderState.deathStage == 0 && animState != ANIM_DEAD) {
    g_creatureArray.AddBody(index);
    if (CMapCell* cell = g_map.CellAtWrapped(cellX, cellY, level)) {
      cell->state |= state_bits::kCreatureMark;
      cell->shape &= static_cast<uint16_t>(~shape_bits::kOpenSky);
    }
    UnmarkCells(cellX, cellY, level);
    if (midStep) {
      int x, y, z;
      StepDestination(x, y, z);
      UnmarkCells(x, y, z);
    }
  }
  if (orderState.deathStage >= 4) {
    g_creatureArray.RemoveBody(index);
    if (!g_creatureArray.HasBodyAt(cellX, cellY, level))
      if (CMapCell* cell = g_map.CellAtWrapped(cellX, cellY, level))
        cell->state &= static_cast<uint16_t>(~state_bits::kCreatureMark);
    Detach();
    return 0;
  }
  SetAnimState(ANIM_DEAD);
  return 0;
}

// --- breakable objects, locks and structures ---

int CCreature::StartBlobAttack() {
  if (IsWizard() || typeNumber == creature_kind::kStatic) return 0;
  const int x = orderState.attackedX, y = orderState.attackedY, z = orderState.attackedLevel;
  const int effect = g_creatureEffects->FindEffectAt(x, y, z, kBreakableObject);
  if (effect < 0 || std::abs(z - level) > 1) return 0;
  const int reach = type && type->TileSizeXY == 2 ? 2 : 1;
  const int dx = WrapDeltaX(cellX, x), dy = WrapDeltaY(cellY, y);
  if (!InRange(dx, -1, reach) || !InRange(dy, -1, reach)) return 0;
  FaceCell(x, y);
  ReleaseWalkMarkers();
  SetAnimState(ANIM_STAND);
  if (g_creatureEffects->EffectStrength(effect) > 10) {
    SetAnimState(ANIM_BLOB_ATTACK);
  } else {
    RaiseReplanRequest();
    StandFor(10);
  }
  return 1;
}

void CCreature::BlobHitCellObject() {
  const int effect = g_creatureEffects->FindEffectAt(orderState.attackedX, orderState.attackedY,
                                                     orderState.attackedLevel, kBreakableObject);
  const int blow = type ? type->Stamina : 0;
  if (effect < 0 || blow < 1) return;
  const int strength = g_creatureEffects->EffectStrength(effect) - (blow + BattleRoll(blow, __LINE__));
  if (strength > 10) {
    g_creatureEffects->SetEffectStrength(effect, strength);
  } else {
    g_creatureEffects->SetEffectStrength(effect, strength - 10);
    RaiseReplanRequest();
  }
}

namespace {

// The side neighbours of a small and of a large footprint, one a side.
constexpr int kSidesSmall[4][2] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
constexpr int kSidesLarge[4][2] = {{0, -1}, {2, 0}, {1, 2}, {-1, 1}};
constexpr int kKeyKinds[2] = {51, 16};

}  // namespace

void CCreature::TriggerCellObjects() {
  const bool large = type && type->TileSizeXY == 2;
  for (const auto& side : large ? kSidesLarge : kSidesSmall) {
    const int x = cellX + side[0], y = cellY + side[1];
    const CMapCell* cell = g_map.CellAtWrapped(x, y, level);
    if (!cell || !(cell->state & state_bits::kDoorBits)) continue;
    bool key = false;
    if ((cell->state & state_bits::kClosedDoor) && IsWizard()) {
      for (int i = 0; i < kCreatureEvents && !key; ++i) {
        CCreatureEvent& entry = events[i];
        if (!entry.active || (entry.kind != kKeyKinds[0] && entry.kind != kKeyKinds[1])) continue;
        key = true;
        if (entry.remaining > 0) {
          UseKey(i);
          if (IsLocalPlayers()) g_creatureBattle->UpdateItemButton(i);
        }
        if (entry.remaining == 0) RemoveEvent(i);
      }
    }
    if (key || (cell->state & state_bits::kOpenDoorway) || g_creatureBattle->OpenAllLocks()) {
      int sound = -1;
      g_map.DestroyStructure(((x % g_map.width) + g_map.width) % g_map.width,
                             ((y % g_map.height) + g_map.height) % g_map.height, level, army, &sound);
      if (sound >= 0) g_creatureSounds->PlayAt(sound, x, y);
    } else if (IsLocalPlayers()) {
      g_creatureBattle->ShowMessage(1);
    }
  }
}
