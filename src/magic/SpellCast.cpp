// Carrying out a cast request: sightings, the places, payment and the alignment balance, the
// line of fire, and which effect kind each spell starts.
#include "magic/SpellCast.h"

#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "creatures/CreatureType.h"
#include "creatures/SpellDefinition.h"
#include "magic/EffectManager.h"
#include "magic/EffectSounds.h"
#include "map/LineWalker.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "map/MoveQuery.h"

int32_t g_alignmentBalance = 0;

namespace {

namespace w = effect_word;

constexpr int kFizzleSound = 1011;
constexpr int kSpellNoteKind = 5;  // the wizard record's note of a spell seen
constexpr int kNotedSpells = 100;  // spells 0-99 can be noted
constexpr int kTeleport = 55;
constexpr int kBurst = 90;

CCreature* InUseCreature(int slot) { return slot < 0 ? nullptr : g_creatureArray.InUse(slot); }

bool InList(int spell, std::initializer_list<int> list) {
  for (int s : list)
    if (s == spell) return true;
  return false;
}

// The groups of the start table.
bool IsLineGroup(int spell) {
  return (spell >= 0 && spell <= 23) || InList(spell, {33, 35, 38, 43, 58, 68, 75, 76, 77, 81, 65, 69, 70, 91, 92});
}
bool IsCreatureGroup(int spell) {
  return (spell >= 82 && spell <= 86) || InList(spell, {41, 42, 44, 46, 50, 52, 54, 60, 74, 78, 79, 80});
}

// The variant word (12) of each group.
int VariantOf(int spell) {
  if (IsLineGroup(spell)) return InList(spell, {65, 69, 70, 91, 92}) ? 3 : 1;
  if (IsCreatureGroup(spell) || InList(spell, {34, 71, 89, 99, 72, 100})) return 1;
  if (spell == 73 || spell == 87) return 0;
  return 7;
}

// Spells 41, 42, 74, 78, 79, 82-85 refuse an own illusion outright.
bool RefusesIllusion(int spell) { return InList(spell, {41, 42, 74, 78, 79, 82, 83, 84, 85}); }

// What a cast does once paid: the block, the effect record and who pays back.
class CastRun {
 public:
  CastRun(const CSpellCast& request, CEffect& effect, CEffectParams& block, CCreature* caster, int taken)
      : request_(request), effect_(effect), block_(block), caster_(caster), taken_(taken) {}

  void Start(int lineType);

 private:
  void Kind(int kind) { effect_.Activate(kind, block_); }
  // Plans a thrown path to the target; the block carries the arc when it reaches.
  bool Trace();
  void Refund() {
    if (caster_ && taken_ > 0) caster_->AddMana(taken_);
  }
  void Teleport();

  const CSpellCast& request_;
  CEffect& effect_;
  CEffectParams& block_;
  CCreature* caster_;
  int taken_;
};

bool CastRun::Trace() {
  CLineWalker walker;
  CProjectileResult arc;
  const int spell = request_.spell;
  if (!walker.TraceProjectile(block_[w::kSourceX], block_[w::kSourceY], block_[w::kSourceZ], block_[w::kTargetX],
                              block_[w::kTargetY], block_[w::kTargetZ], request_.caster, g_spellDefs[spell].Speed,
                              spell, request_.target, CLineWalker::kFineShot, arc))
    return false;
  // The thrown kinds fly the arc the trace planned, from the source.
  block_.SetPoint(w::kStartX, block_[w::kSourceX], block_[w::kSourceY], block_[w::kSourceZ]);
  for (int i = 0; i < 3; ++i) block_.SetFloat(w::kVelocityX + i, arc.velocity[i]);
  block_[w::kTick] = 0;
  return true;
}

void CastRun::Teleport() {
  if (request_.mode == 4) {
    CCreature* target = InUseCreature(request_.target);
    if (target)
      target->StartTeleport(WrapInto(request_.targetX >> 5, g_map.width), WrapInto(request_.targetY >> 5, g_map.height),
                            request_.targetZ >> 4, 1);
    return;
  }
  if (!caster_) return;
  int x = WrapInto(block_[w::kTargetX] >> 5, g_map.width), y = WrapInto(block_[w::kTargetY] >> 5, g_map.height);
  int level = block_[w::kTargetZ] >> 4;
  if (g_map.FindFreePositionNear(caster_->index, caster_->MakeMoveQuery(), x, y, level))
    caster_->StartTeleport(x, y, level, 0);
}

void CastRun::Start(int lineType) {
  const int spell = request_.spell;
  const bool hasTarget = request_.target >= 0;
  if (IsLineGroup(spell)) {
    if (lineType == kLofStraightCast) {
      Kind(7);
    } else if (lineType == kLofThrowCast) {
      if (Trace())
        Kind(6);
      else
        Refund();
    } else {
      Kind(11);
    }
    return;
  }
  if (IsCreatureGroup(spell)) {
    const bool atOther = request_.target != request_.caster;
    if (atOther && lineType == kLofStraightCast) {
      Kind(7);
    } else if (atOther && lineType == kLofThrowCast) {
      if (Trace()) Kind(6);
    } else if (hasTarget) {
      Kind(lineType == kLofParticle ? 30 : 11);
    }
    return;
  }
  switch (spell) {
    case 93:
    case 95:
      if (Trace())
        Kind(4);
      else
        Refund();
      return;
    case 62:
    case 94:
    case 96:
    case 102:
      if (Trace()) Kind(5);
      return;
    case 34:
    case 88:
      Kind(31);
      return;
    case 71:
    case 89:
    case 99:
      Kind(2);
      return;
    case 72:
      Kind(21);
      return;
    case 100:
      Kind(46);
      return;
    case 73:
      // The ricochet remembers its caster (word 14) and counts it as already struck.
      block_[w::kStartY] = request_.caster;
      block_[34] = 1;
      Kind(3);
      return;
    case 87:
      block_[w::kStartX] = g_spellDefs[spell].Damage;
      block_[w::kStartY] = request_.caster;
      block_[34] = 1;
      Kind(48);
      return;
    case 97:
      block_[w::kValue] = 2;
      Kind(34);
      return;
    case 101:
      block_[w::kValue] = 0;
      Kind(34);
      return;
    case kTeleport:
      Teleport();
      return;
    case kBurst: {
      CCreature* target = InUseCreature(request_.target);
      if (target && !target->IsWizard()) target->Explode(0, 20);
      return;
    }
    default:
      return;
  }
}

// Step 2: the armies that see the caster note the spell.
void NoteSightings(const CCreature& caster, int spell) {
  for (int s = 0; s < kSightingArmyCount; ++s) {
    if (caster.sightingCounters[s] == 0) continue;
    if (caster.army >= 0 && caster.army < kSightingArmies) g_spellDefs[spell].Sightings[s][caster.army] = 1;
    if (s == g_localArmy && spell < kNotedSpells) g_creatureWizards->NoteSeen(kSpellNoteKind, spell);
  }
}

// The believed mana of every army that saw the cast drops by its cost.
void LowerBelievedMana(CCreature& caster, int cost) {
  for (int s = 0; s < kSightingArmyCount; ++s)
    if (caster.sightingCounters[s] != 0) caster.AddSpellMana(s, -cost * 256);
}

// A request that cannot be carried out is refused before anything changes.
bool IsCarriedOut(const CSpellCast& request) {
  if (request.spell < 0 || request.spell >= kSpellCount) return false;
  if (request.caster != -1 && !InUseCreature(request.caster)) return false;
  if (request.target != -1 && !InUseCreature(request.target)) return false;
  // The teleport moves its target (mode 4) or its caster: without it, nothing happens.
  if (request.spell == kTeleport && (request.mode == 4 ? request.target < 0 : request.caster < 0)) return false;
  return true;
}

}  // namespace

void ResetSpellCasting() {
  ResetSpellSightings();
  g_alignmentBalance = 0;
}

CSpellCast CSpellCast::FromWords(const int32_t words[kWords]) {
  CSpellCast r;
  r.spell = words[0];
  r.sourceX = words[1];
  r.sourceY = words[2];
  r.sourceZ = words[3];
  r.targetX = words[4];
  r.targetY = words[5];
  r.targetZ = words[6];
  r.caster = words[7];
  r.target = words[8];
  r.mode = words[9];
  r.extra = words[10];
  return r;
}

void CSpellCast::ToWords(int32_t words[kWords]) const {
  const int32_t values[kWords] = {spell,   sourceX, sourceY, sourceZ, targetX, targetY,
                                  targetZ, caster,  target,  mode,    extra};
  for (int i = 0; i < kWords; ++i) words[i] = values[i];
}

bool CastSourcePoint(int caster, int& x, int& y, int& z) {
  const CCreature* c = InUseCreature(caster);
  if (!c || !c->type) return false;
  const int32_t* eye = c->type->LRCOffsets[c->facing & 7];
  x = c->unitX + eye[0] + c->type->centreOffset;
  y = c->unitY + eye[1] + c->type->centreOffset;
  z = c->unitZ + eye[2] + c->type->centreHeight;
  return true;
}

void CastTargetPoint(int target, int& x, int& y, int& z) {
  const CCreature* c = InUseCreature(target);
  if (!c || !c->type) return;
  if (c->health != 0) {
    x = c->unitX + c->type->centreOffset;
    y = c->unitY + c->type->centreOffset;
    z = c->unitZ + c->type->centreHeight;
  } else {
    x = c->cellX * kUnitsPerTile + 16;
    y = c->cellY * kUnitsPerTile + 16;
    z = c->level * kUnitsPerLevel + 8;
  }
}

void CSpellCast::Execute() const {
  if (!IsCarriedOut(*this)) return;
  const CSpellDefinition& def = g_spellDefs[spell];
  CEffect* effect = g_effectManager.AllocateEffect();
  if (def.ManaCost == 0 || !effect) return;
  CCreature* casterCreature = InUseCreature(caster);
  if (casterCreature) NoteSightings(*casterCreature, spell);

  CEffectParams block;
  int sx = sourceX, sy = sourceY, sz = sourceZ;
  CastSourcePoint(caster, sx, sy, sz);
  int tx = targetX, ty = targetY, tz = targetZ;
  CastTargetPoint(target, tx, ty, tz);
  block.SetPoint(w::kSourceX, sx, sy, sz);
  block.SetPoint(w::kTargetX, tx, ty, tz);
  block[w::kCreature] = caster;
  block[w::kTarget] = target;
  block[w::kSpell] = spell;
  block[w::kSpeed] = def.Speed;
  block[w::kMode] = mode;
  block[w::kValue] = extra;
  block[w::kKindMode] = VariantOf(spell);

  int taken = 0;
  if (casterCreature && casterCreature->IsWizard() && mode == 1) {
    if ((casterCreature->mana >> 8) < def.ManaCost) {
      g_effectSounds->PlayAt(kFizzleSound, WrapInto(tx >> 5, g_map.width), WrapInto(ty >> 5, g_map.height), nullptr, 0);
      return;
    }
    taken = def.ManaCost * 256;
    casterCreature->AddMana(-taken);
    if (def.Alignment == kAlignLaw) g_alignmentBalance -= def.BalanceAmount;
    if (def.Alignment == kAlignVrask) g_alignmentBalance += def.BalanceAmount;
  }
  if (casterCreature) LowerBelievedMana(*casterCreature, def.ManaCost);

  int lineType = def.LOFType;
  if (target < 0 && (mode == 0 || mode == 4) && sx == tx && sy == ty && sz == tz) lineType = kLofNone;
  g_effectSounds->PlaySpellCastSound(spell, sx / kUnitsPerTile, sy / kUnitsPerTile);
  CastRun(*this, *effect, block, casterCreature, taken).Start(lineType);
}

namespace {

enum TargetClass { kClassHostile, kClassOwnCreature, kClassOwnWizard };

// The result for a creature target by the spell's mask and the creature's class.
int ResultForCreature(int mask, TargetClass cls) {
  if (mask == 0) return kTargetNotAllowed;
  const int bit = cls == kClassHostile       ? spell_targets::kHostileCreature
                  : cls == kClassOwnCreature ? spell_targets::kOwnCreature
                                             : spell_targets::kOwnWizard;
  if (mask & spell_targets::kStandablePlace) return (mask & bit) ? kTargetValid : kTargetWantsPlace;
  if (mask == spell_targets::kPlace) return kTargetWantsPlace;
  return (mask & bit) ? kTargetValid : kTargetNotAllowed;
}

bool TargetCellStandable(int tx, int ty, int tz) {
  const CMapCell* cell = g_map.CellAtWrapped(tx >> 5, ty >> 5, tz >> 4);
  return cell && (TerrainOf(cell->terrain).typeFlags & type_flags::kStandable);
}

int ResultForPlace(int mask, int tx, int ty, int tz) {
  if (mask & spell_targets::kStandablePlace) return TargetCellStandable(tx, ty, tz) ? kTargetValid : kTargetNotAllowed;
  if (mask == 0 || (mask & spell_targets::kPlace)) return kTargetValid;
  return kTargetNotAllowed;
}

int ArmyOf(int slot) {
  const CCreature* c = InUseCreature(slot);
  return c ? c->army : -1;
}

// Step 1: the line of fire by the spell's line type; kTargetValid goes on.
int TestLineOfFire(int sx, int sy, int sz, int tx, int ty, int tz, int spell, int caster, int target,
                   CProjectileResult& trace) {
  const CSpellDefinition& def = g_spellDefs[spell];
  const int range = def.RangeUnits;
  switch (def.LOFType) {
    case kLofNone:
      if (spell != 60 && !PointsWithinRange(sx, sy, sz, tx, ty, tz, range)) return kTargetOutOfSight;
      return kTargetValid;
    case kLofStraightCast: {
      const int army = ArmyOf(caster);
      if (army < 0 || army >= kArmyCount) return kTargetOutOfSight;
      const CCreature* aimed = InUseCreature(target);
      if (target >= 0 && (!aimed || aimed->sightingCounters[army] == 0)) return kTargetOutOfSight;
      const CCreature* wizard = g_armyTable.GetWizard(army);
      const int shooter = wizard && wizard->inUse ? wizard->index : caster;
      CLineWalker walker;
      switch (walker.TraceFire(sx, sy, sz, tx, ty, tz, range, shooter, target >= 0 ? target : shooter)) {
        case kFireObscured:
          return kTargetOutOfSight;
        case kFireTerrain:
          return kTargetTerrainInLine;
        case kFireCreature:
          return kTargetFriendInLine;
        case kFireEnemy:
          return kTargetEnemyInLine;
        default:
          return kTargetValid;
      }
    }
    case kLofThrowCast: {
      if (target >= 0 && target == caster) return kTargetValid;
      if (!PointsWithinRange(sx, sy, sz, tx, ty, tz, range)) return kTargetOutOfSight;
      CLineWalker walker;
      if (!walker.TraceProjectile(sx, sy, sz, tx, ty, tz, caster, def.Speed, spell, target, CLineWalker::kFineShot,
                                  trace))
        return kTargetUnreachable;
      return kTargetValid;
    }
    default:
      return kTargetValid;
  }
}

}  // namespace

int CheckSpellTarget(int sx, int sy, int sz, int tx, int ty, int tz, int spell, int caster, int target,
                     CProjectileResult& trace) {
  if (spell < 0 || spell >= kSpellCount) return kTargetNotAllowed;
  const int casterArmy = ArmyOf(caster);
  if (casterArmy < 0 || casterArmy >= kArmyCount) return kTargetOutOfSight;
  const int line = TestLineOfFire(sx, sy, sz, tx, ty, tz, spell, caster, target, trace);
  if (line != kTargetValid) return line;

  const CCreature* aimed = InUseCreature(target);
  if (spell == 52) {
    if (aimed && aimed->health == 0) return kTargetValid;
    const CMapCell* cell = g_map.CellAtWrapped(tx >> 5, ty >> 5, tz >> 4);
    return cell && (TerrainOf(cell->terrain).typeFlags & type_flags::kSettles) ? kTargetValid : kTargetNotAllowed;
  }
  const int mask = g_spellDefs[spell].AllowedTargets;
  if (!aimed) return ResultForPlace(mask, tx, ty, tz);

  const bool own = (spell == 60 || spell == 79)
                       ? aimed->army == casterArmy
                       : aimed->army == casterArmy || g_armyTable.armies[casterArmy].IsAlliedWith(aimed->army);
  TargetClass cls = kClassHostile;
  if (own && aimed->illusion) {
    if (RefusesIllusion(spell)) return kTargetNotAllowed;
    cls = kClassOwnCreature;
  } else if (own) {
    cls = aimed->IsWizard() ? kClassOwnWizard : kClassOwnCreature;
  }
  return ResultForCreature(mask, cls);
}

int TestSpellTargetFrom(int caster, int spell, int target, int x, int y, int z) {
  int sx = 0, sy = 0, sz = 0;
  if (!CastSourcePoint(caster, sx, sy, sz)) return kTargetOutOfSight;
  CastTargetPoint(target, x, y, z);
  CProjectileResult trace;
  return CheckSpellTarget(sx, sy, sz, x, y, z, spell, caster, target, trace);
}
