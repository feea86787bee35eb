// What a creature can hit and with whom it is locked in hand-to-hand combat: lines of fire,
// the choice of a hand-to-hand foe, a ranged target and a creature to taunt, provoking, the
// challenge by which two enemies in contact engage, the ENGAGED state and the releases.
// Every scan walks the pool in slot order and every draw comes from the battle's generator,
// in the order of the scans.
#include <algorithm>

#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "creatures/CreatureOrders.h"
#include "creatures/Mapelem.h"
#include "creatures/SpellDefinition.h"
#include "map/LineWalker.h"
#include "map/Map.h"
#include "map/MapUnits.h"

namespace {

constexpr int kFirstMissile = 93;
constexpr int kLastMissile = 96;
constexpr int kTauntChance = 10;  // a roll of 0-99 at most this taunts
constexpr int kStrikeEffect = 40;

bool IsWizardTypeNumber(int type) { return type == 0 || type == 24 || type == 25 || type == 26; }

int FirstSpellOf(const CCreature& creature) { return creature.spellCount > 0 ? creature.spells[0] : 0; }

// The matrix value of a creature's type against a target, a third against an undead target
// when the creature itself is not undead.
int RatingAgainst(const CCreature& creature, const int32_t (&matrix)[kCreatureTypes], const CCreature& target) {
  if (target.typeNumber < 0 || target.typeNumber >= kCreatureTypes) return 0;
  const int value = matrix[target.typeNumber];
  return target.undead && !creature.undead ? value / 3 : value;
}

// The shared part of a candidate's score: weakness and being a wizard draw attention.
int TargetScore(int rating, const CCreature& candidate, int line) {
  return 5 * rating + std::max(0, 500 - candidate.health) + (IsWizardTypeNumber(candidate.typeNumber) ? 100 : 0) +
         BattleRoll(50, line);
}

// A line of fire from a point to a point within a range, by the creature's missile.
int FireLine(const CCreature& shooter, int x0, int y0, int z0, int x1, int y1, int z1, int range, int targetSlot) {
  const int spell = FirstSpellOf(shooter);
  if (spell < kFirstMissile || spell > kLastMissile) {
    CLineWalker walker;
    const int result = walker.TraceFire(x0, y0, z0, x1, y1, z1, range, shooter.index, -1);
    return result == kFireReached || result == kFireEnemy ? 1 : 0;
  }
  if (!PointsWithinRange(x0, y0, z0, x1, y1, z1, range)) return 0;
  CLineWalker walker;
  CProjectileResult path;
  return walker.TraceProjectile(x0, y0, z0, x1, y1, z1, shooter.index, g_spellDefs[spell].Speed, spell, targetSlot, 1,
                                path)
             ? 1
             : 0;
}

int FireRangeUnits(const CCreature& creature) { return (creature.type ? creature.type->FireRange : 0) * kUnitsPerTile; }

bool MayPickFoes(const CCreature& creature) {
  return !creature.heldKind && !creature.IsAirborneWithoutFlight() && !creature.orderState.panicking;
}

bool WalkingToAttack(const CCreature& creature) {
  return creature.order == ORDER_ATTACK_CREATURE && creature.movement[0] != 0;
}

// Whether a candidate is in the middle of a step toward this very creature to attack it.
bool StepsToAttack(const CCreature& candidate, int slot) {
  if (!candidate.midStep || candidate.target != slot) return false;
  return candidate.order == ORDER_ATTACK_CREATURE ||
         (candidate.order == ORDER_BEHAVIOUR && (candidate.behaviourSubState == 1 || candidate.behaviourSubState == 5));
}

bool CanTaunt(int type) {
  return (type >= 1 && type <= 10) || (type >= 13 && type <= 16) || type == 18 || type == 21 || type == 23;
}

// The sound of event 4 of an engaged blow, 0 none.
int EngagedBlowSound(int type) {
  switch (type) {
    case 3:
      return 419;
    case 5:
      return 279;
    case 14:
      return 125;
    case 19:
      return 252;
    case 21:
      return 198;
    default:
      return 0;
  }
}

bool AlliedByBytes(const CCreature& a, const CCreature& b) {
  if (a.army == b.army) return true;
  const CArmy* own = g_armyTable.GetArmy(a.army);
  return own && own->IsAlliedWith(b.army);
}

}  // namespace

// --- lines of fire ---

int CCreature::HasLineOfFireTo(int x, int y, int z) {
  int ex, ey, ez;
  EyePoint(ex, ey, ez);
  return FireLine(*this, ex, ey, ez, x, y, z, FireRangeUnits(*this), -1);
}

int CCreature::HasLineOfFireToCreature(const CCreature& other) {
  if (!ArmySees(other)) return 0;
  int ex, ey, ez, tx, ty, tz;
  EyePoint(ex, ey, ez);
  other.CentrePoint(tx, ty, tz);
  return FireLine(*this, ex, ey, ez, tx, ty, tz, FireRangeUnits(*this), other.index);
}

int CCreature::TraceShot(const CCreature& other) {
  return g_map.TraceReach(cellX, cellY, level, other.cellX, other.cellY, other.level, MakeMoveQuery());
}

int CCreature::ClearShotFrom(int x, int y, int z, const CCreature& other) {
  int cx, cy, cz, tx, ty, tz;
  CentrePoint(cx, cy, cz);
  cx += WrapDeltaX(cellX, x) * kUnitsPerTile;
  cy += WrapDeltaY(cellY, y) * kUnitsPerTile;
  cz += (z - level) * kUnitsPerLevel;
  other.CentrePoint(tx, ty, tz);
  return FireLine(*this, cx, cy, cz, tx, ty, tz, FireRangeUnits(*this), other.index);
}

// --- target choices ---

int CCreature::FindAdjacentFoe() {
  if (!MayPickFoes(*this) || endFlight || WalkingToAttack(*this) || !type) return -1;
  int best = -1, bestScore = 0;
  g_creatureArray.ForEachInUse([&](CCreature& other) {
    if (&other == this || !other.IsAlive() || !IsEnemyOf(other) || !ArmySees(other)) return;
    if (!InHandToHandContact(other, cellX, cellY, level) || StepsToAttack(other, index)) return;
    const int score = TargetScore(RatingAgainst(*this, type->HTH_Matrix, other), other, __LINE__);
    if (best < 0 || score > bestScore) {
      best = other.index;
      bestScore = score;
    }
  });
  if (best >= 0) target = best;
  return best;
}

int CCreature::FindRangedTarget() {
  if (!MayPickFoes(*this) || !HasUsableMissile()) return -1;
  const bool ready = IsReadyToShoot();
  const int range = FireRangeUnits(*this);
  int best = -1, bestScore = 0;
  g_creatureArray.ForEachInUse([&](CCreature& other) {
    if (&other == this || !other.IsAlive() || AlliedByBytes(*this, other) || !ArmySees(other)) return;
    if (!ready && best >= 0) return;
    int tx, ty, tz, ex, ey, ez;
    other.CentrePoint(tx, ty, tz);
    EyePoint(ex, ey, ez);
    if (!FireLine(*this, ex, ey, ez, tx, ty, tz, range, other.index)) return;
    if (!ready) {
      best = other.index;
      return;
    }
    const int rating = typeNumber == 8 || typeNumber == 20 ? 10 : RatingAgainst(*this, type->LRC_Matrix, other);
    const int score = TargetScore(rating, other, __LINE__);
    if (best < 0 || score > bestScore) {
      best = other.index;
      bestScore = score;
    }
  });
  if (best >= 0) {
    target = best;
    attack[7] = index;
    attack[8] = best;
    attack[0] = FirstSpellOf(*this);
  }
  return best;
}

int CCreature::PickTauntTarget() {
  if (!MayPickFoes(*this) || endFlight || WalkingToAttack(*this) || !type) return -1;
  // The draw is made before the type is asked, so every creature spends one.
  if (BattleRoll(100, __LINE__) > kTauntChance || !CanTaunt(typeNumber)) return -1;
  int best = -1, bestScore = 0;
  g_creatureArray.ForEachInUse([&](CCreature& other) {
    if (&other == this || !other.IsAlive() || !IsEnemyOf(other) || !ArmySees(other)) return;
    const int taunt =
        other.typeNumber >= 0 && other.typeNumber < kCreatureTypes ? type->Taunt_Matrix[other.typeNumber] : 0;
    int tx, ty, tz;
    other.CentrePoint(tx, ty, tz);
    if (!CanSeePoint(tx, ty, tz)) return;
    if (MapWrappedDistance(cellX, cellY, level, other.cellX, other.cellY, other.level) > 2 * taunt) return;
    const int score = 4 * taunt + BattleRoll(50, __LINE__);
    if (best < 0 || score > bestScore) {
      best = other.index;
      bestScore = score;
    }
  });
  if (CCreature* chosen = CreatureInUse(best)) {
    int tx, ty, tz;
    chosen->CentrePoint(tx, ty, tz);
    FacePoint(tx, ty);
    chosen->combat.tauntedBy = index + 1;
  }
  return best;
}

void CCreature::ProvokeOthers() {
  if (provokeTimer <= 0) {
    const int slot = index;
    g_creatureArray.ForEachInUse([slot](CCreature& other) {
      if (other.index != slot) other.DropTarget(slot);
    });
    return;
  }
  const int s = g_spellDefs[spell_tuning::kProvoke].SpellStrength;
  const int r = magicResistance;
  const int chance = s + r > 0 ? s * 100 / (s + r) : 0;
  g_creatureArray.ForEachInUse([&](CCreature& other) {
    if (&other == this || !other.IsAlive() || other.IsWizard() || other.target == index || other.provoked) return;
    if (BattleRoll(100, __LINE__) >= chance) return;
    if (!other.HasLineOfSightTo(*this) || !other.AttackCreature(index)) return;
    other.provoked = 1;
  });
}

// --- the challenge ---

int CCreature::FindChallenger() {
  if (invisible > 0 && !tracking && !orderState.engaged && !rangedAttack) return 0;
  int found = 0;
  g_creatureArray.ForEachInUse([&](CCreature& other) {
    if (found || &other == this || !other.IsAlive() || !IsEnemyOf(other) || !ArmySees(other)) return;
    if (std::abs(other.level - level) > 2 || std::abs(WrapDeltaX(cellX, other.cellX)) > 3 ||
        std::abs(WrapDeltaY(cellY, other.cellY)) > 3)
      return;
    if (!InHandToHandContact(other, cellX, cellY, level)) return;
    combat.challenger = other.index + 1;
    if (other.midStep) other.combat.challenger = index + 1;
    found = 1;
  });
  return found;
}

namespace {

// The challenger's tests; the fields are cleared when they fail.
bool ChallengerHolds(CCreature& creature, bool notMidStep) {
  CCreature* challenger = CreatureInUse(creature.combat.challenger - 1);
  const bool holds = challenger && challenger->IsAlive() && !AlliedByBytes(creature, *challenger) &&
                     creature.InHandToHandContact(*challenger, creature.cellX, creature.cellY, creature.level) &&
                     challenger->animState != ANIM_STUNNED && !(notMidStep && challenger->midStep);
  if (!holds) {
    creature.combat.challenger = 0;
    creature.engagedWith = -1;
  }
  return holds;
}

}  // namespace

int CCreature::HasValidChallenge() {
  if (heldKind || provoked) return 0;
  return ChallengerHolds(*this, false) ? 1 : 0;
}

int CCreature::IsChallengeReady() { return ChallengerHolds(*this, true) ? 1 : 0; }

int CCreature::AnswerChallenge() {
  if (!HasValidChallenge()) return 0;
  CCreature& challenger = *CreatureInUse(combat.challenger - 1);
  if (challenger.midStep || orderState.attackerCount > 0) {
    StandFor(1);
    return 1;
  }
  engagedWith = challenger.index;
  FaceAdjacentCreature(challenger);
  SetAnimState(ANIM_ENGAGED);
  return 1;
}

int CCreature::IsThreatened() {
  if (WalkingToAttack(*this) || airborne > 0) return 0;
  int found = 0;
  g_creatureArray.ForEachInUse([&](CCreature& other) {
    if (found || &other == this || !other.IsAlive() || !IsEnemyOf(other) || !ArmySees(other)) return;
    found = InHandToHandContact(other, cellX, cellY, level) ? 1 : 0;
  });
  return found;
}

void CCreature::AnimEngaged() {
  CCreature* partner = CreatureInUse(engagedWith);
  if (spellState == 1 && overlayAnim.animation && overlayAnim.playing && overlayAnim.Advance() == 2 && partner) {
    partner->TakeDamage(g_spellDefs[spell_tuning::kMightyBlow].Damage, army, carriedItems[0], carriedItems[1]);
    int x, y, z;
    partner->CentrePoint(x, y, z);
    g_creatureEffects->SpawnEffect(kStrikeEffect, x, y, z, partner->index);
    if (!partner->IsAlive()) return;
  }
  switch (bodyAnim.Advance()) {
    case 2:
      tracking = 0;
      if (partner) {
        if (orderState.engaged) {
          orderState.engaged = 0;
          AdjustAttackerCount(*partner, 0);
        }
        partner->combat.challenger = index + 1;
        if (!attachAnims[0].inUse) {
          const int kept = target;
          target = partner->index;
          ResolveHandToHandBlow();
          target = kept;
        }
      }
      break;
    case 3:
      g_creatureSounds->PlayEvent(*this);
      break;
    case 4:
      if (EngagedBlowSound(typeNumber)) g_creatureSounds->PlayAt(EngagedBlowSound(typeNumber), cellX, cellY);
      break;
    case 1:
      ReleaseEngagement();
      StandFor((slow > 0 ? 32 : 2) + BattleRoll(3, __LINE__));
      break;
    default:
      break;
  }
}

// --- releases ---

int CCreature::ReleaseTracking() {
  int partner = -1;
  if (animState == ANIM_HTH_ATTACK) partner = target;
  if (animState == ANIM_ENGAGED) partner = engagedWith;
  if (orderState.engaged || tracking) {
    if (CCreature* other = CreatureInUse(partner)) AdjustAttackerCount(*other, 0);
  }
  orderState.engaged = 0;
  tracking = 0;
  return partner;
}

void CCreature::ReleaseAllEngagements() {
  ReleaseTracking();
  const int slot = index;
  g_creatureArray.ForEachInUse([&](CCreature& other) {
    if (&other == this) return;
    const bool tracksMe = (other.animState == ANIM_HTH_ATTACK && other.target == slot) ||
                          (other.animState == ANIM_ENGAGED && other.engagedWith == slot);
    if (!tracksMe || !(other.orderState.engaged || other.tracking)) return;
    other.tracking = 0;
    other.orderState.engaged = 0;
    AdjustAttackerCount(*this, 0);
    other.RunOrderHandler();
  });
  if (animState == ANIM_HTH_ATTACK || animState == ANIM_ENGAGED) SetAnimState(ANIM_STAND);
}

// --- cells for a group order ---

namespace {

// Offsets from the clicked cell, by place: the cell, then rings of four.
constexpr int kFormationPlaces = 16;
constexpr int kFormation[kFormationPlaces][2] = {{0, 0},  {1, -1}, {1, 1}, {-1, 1}, {-1, -1}, {0, -2}, {2, 0}, {0, 2},
                                                 {-2, 0}, {2, -2}, {2, 2}, {-2, 2}, {-2, -2}, {0, -4}, {4, 0}, {0, 4}};
int g_formationPlace = 0, g_nearbyPlace = 0;

// The next place of a finder's turn that `fits` (which may move the level) and that the
// creature can walk to from the clicked cell.
template <class Fits>
void NextPlace(const CCreature& c, int& place, int x, int y, int level, int restart, int& outX, int& outY,
               int& outLevel, Fits fits) {
  if (restart) place = 0;
  outX = x;
  outY = y;
  outLevel = level;
  while (place < kFormationPlaces) {
    const int p = place++;
    if (p == 0) return;
    const int cx = CWrapCoord::WrapX(x + kFormation[p][0]), cy = CWrapCoord::WrapY(y + kFormation[p][1]);
    int cz = level;
    if (!fits(cx, cy, cz) || !c.CanWalkTo(x, y, level, cx, cy, cz)) continue;
    outX = cx;
    outY = cy;
    outLevel = cz;
    return;
  }
}

}  // namespace

bool CCreature::CanWalkTo(int fromX, int fromY, int fromLevel, int toX, int toY, int toLevel) const {
  return g_map.GreedyWalk(fromX, fromY, fromLevel, toX, toY, toLevel, MakeMoveQuery()) != 0;
}

void CCreature::FindFormationCell(int x, int y, int level, int restart, int& outX, int& outY, int& outLevel) {
  const CMoveQuery query = MakeMoveQuery();
  const auto stands = [&](int cx, int cy, int cz) {
    return HasRoomAt(cx, cy, cz) && g_map.FindGroundSupport(cx, cy, cz, query);
  };
  NextPlace(*this, g_formationPlace, x, y, level, restart, outX, outY, outLevel, [&](int cx, int cy, int& cz) {
    if (stands(cx, cy, cz)) return true;
    if (HasRoomAt(cx, cy, cz)) {
      if (cz <= 1 || !stands(cx, cy, cz - 1)) return false;
      --cz;
      return true;
    }
    if (cz + 1 >= g_map.levels || !stands(cx, cy, cz + 1)) return false;
    ++cz;
    return true;
  });
}

void CCreature::FindNearbyFreeCell(int x, int y, int level, int restart, int& outX, int& outY, int& outLevel) {
  NextPlace(*this, g_nearbyPlace, x, y, level, restart, outX, outY, outLevel,
            [&](int cx, int cy, int& cz) { return HasRoomAt(cx, cy, cz); });
}
