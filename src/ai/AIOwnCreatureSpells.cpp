#include "ai/AIOwnCreatureSpells.h"

#include <algorithm>
#include <climits>

#include "ai/AIBudget.h"
#include "ai/AICertainty.h"
#include "ai/AIGroupBuilder.h"
#include "ai/AIGroupNode.h"
#include "ai/AIMeasureIds.h"
#include "ai/AISpellTiming.h"
#include "ai/AIUtilities.h"
#include "creatures/CreatureArray.h"
#include "creatures/SpellDefinition.h"
#include "map/Map.h"
#include "map/MapUnits.h"

namespace {

using namespace ai_measure;

constexpr int EG(int own) { return own + kAIEnemyMeasureOffset; }

constexpr int kNearSpells[] = {93, 94, 95};
constexpr int kIronSkinSpell = 74;
constexpr int kHoldSpell = 46;
constexpr int kIronSkinAnim = 34;
constexpr int kBlastAnim = 70;
constexpr int kNoFlightType = 22;
constexpr int kNoBlastType = 8;
constexpr int kDelayPad = 5;

// Iron skin: a pressed creature that fights well is worth hardening.
constexpr MeasureTerm kIronSkinPressed[] = {
    {2, kManaGain},        {2, kAverageHealth},      {2, kSpecificHth},     {2, kSpecificLrc},
    {2, -EG(kNCreatures)}, {2, -EG(kAverageHealth)}, {2, EG(kSpecificHth)}, {2, EG(kSpecificLrc)},
};
// Every protection: outnumbered friends are worth protecting.
constexpr MeasureTerm kOutnumbered[] = {
    {1, -kNCreatures},    {1, -kAverageHealth},    {1, -kSpecificHth},    {1, -kSpecificLrc},
    {1, EG(kNCreatures)}, {1, EG(kAverageHealth)}, {1, EG(kSpecificHth)}, {1, EG(kSpecificLrc)},
};
constexpr MeasureTerm kMightyBlowPressed[] = {
    {2, kManaGain},     {2, kAverageHealth},   {1, kSpecificLrc},       {1, -kSpecificHth},
    {2, EG(kManaGain)}, {1, -EG(kNCreatures)}, {2, EG(kAverageHealth)}, {2, EG(kSpecificHth)},
};
constexpr MeasureTerm kMightyBlowSurrounded[] = {
    {1, -kNCreatures},  {1, kAverageHealth},   {1, -kSpecificHth},      {1, kSpecificLrc},
    {1, EG(kManaGain)}, {1, -EG(kNCreatures)}, {1, EG(kAverageHealth)}, {1, EG(kSpecificHth)},
};
constexpr MeasureTerm kSpell78Pressed[] = {
    {1, kManaGain},     {1, kAverageHealth},   {1, kSpecificHth},       {1, -kSpecificLrc},
    {1, EG(kManaGain)}, {1, -EG(kNCreatures)}, {1, EG(kAverageHealth)}, {1, -EG(kSpecificHth)},
};
constexpr MeasureTerm kSpell78Surrounded[] = {
    {1, -kNCreatures},  {2, kAverageHealth},   {1, kSpecificHth},       {1, -kSpecificLrc},
    {2, EG(kManaGain)}, {1, -EG(kNCreatures)}, {2, EG(kAverageHealth)},
};
constexpr MeasureTerm kFlightPressed[] = {
    {1, -kManaGain},         {1, kAverageHealth},    {1, -kSpecificHth},    {1, kSpecificLrc},
    {1, EG(kAverageHealth)}, {1, -EG(kSpecificLrc)}, {1, EG(kSpecificHth)},
};
constexpr MeasureTerm kFlightSurrounded[] = {
    {1, kManaGain},       {1, -kNCreatures},       {2, kAverageHealth},   {1, kSpecificLrc},      {1, EG(kManaGain)},
    {2, EG(kNCreatures)}, {2, EG(kAverageHealth)}, {1, EG(kSpecificHth)}, {2, -EG(kSpecificLrc)},
};
// The blast: a creature under attack by strong enemies is worth spending.
constexpr MeasureTerm kBlastPressed[] = {
    {1, -kNCreatures},  {1, EG(kNCreatures)},  {1, kAverageHealth},   {1, EG(kAverageHealth)}, {1, -kSpecificHth},
    {1, -kSpecificLrc}, {1, EG(kSpecificHth)}, {1, EG(kSpecificLrc)}, {1, EG(kManaGain)},      {1, -kManaGain},
};
// The mana source: a wizard with little income and many creatures about.
constexpr MeasureTerm kManaSourcePrior[] = {{1, -kWaManaGain}, {1, kWaNCreatures}};

int SaturatingSum(int a, int b) { return static_cast<int>(std::clamp<int64_t>(int64_t{a} + b, INT_MIN, INT_MAX)); }

bool IsValidSpell(int spell) { return spell >= 0 && spell < kSpellCount; }

int CellsApart(const CCreature& a, const CCreature& b) {
  return CellDistanceApprox(WrapDeltaX(a.cellX, b.cellX), WrapDeltaY(a.cellY, b.cellY), b.level - a.level);
}

}  // namespace

int AINearRange() {
  int range = 0;
  for (int spell : kNearSpells) range = std::max(range, g_spellDefs[spell].Range);
  return range;
}

// --- the common part ----------------------------------------------------------------------

void CAIOwnCreatureSpell::Prepare(CAIGroupNode* node, CAIPlayerMemory*, int tick) {
  BeginPrepare();
  if (!PassGate(node)) return;
  CAIGroupBuilder builder(groups);
  const CCreature& caster = *Caster();
  ownGroup = builder.BuildArmyGroup(caster.army);
  // A wizard the script let help its allies chooses among every friendly creature its army
  // sees, its own among them.
  CAIGroupNode* targets =
      caster.mayCastOnAllies && TakesAllies() ? builder.BuildSeenFriendsGroup(caster.army) : ownGroup;
  if (CountMembers(targets) == 0) return;
  SetTargetGroup(targets);
  FinishPrepare(tick);
}

bool CAIOwnCreatureSpell::Evaluate(float* score, CAIBudget& budget, int tick) {
  while (ready) {
    if (tick > evaluationEndTick || budget.Remaining() < 1 || !Caster()) return false;
    const bool first = restartCandidates != 0;
    restartCandidates = 0;
    if (!TakeCandidate(first)) {
      ready = 0;
      return false;
    }
    budget.steps -= 1;
    CCreature* target = working.target.Get();
    if (!target || !target->IsAlive() || Skips(*target)) continue;
    float weight = 0.0f, certainty = 0.0f;
    const size_t mark = groups.size();
    const bool weighed = Weigh(*target, weight, certainty);
    FreeGroupsFrom(mark);
    if (!weighed) continue;
    ApplySpellTail(weight, certainty);
    *score = certainty;
    return true;
  }
  return false;
}

int CAIOwnCreatureSpell::Execute() {
  castDone = 0;
  const CCreature* target = best.target.IsSet() ? best.target.Get() : nullptr;
  return target ? SaturatingSum(groupWait, CastDelay(*target)) : groupWait;
}

bool CAIOwnCreatureSpell::CanCastAt(CCreature& target) {
  CCreature* caster = Caster();
  return caster && CastCheckAtCreature(*caster, Spell(), caster->cellX, caster->cellY, caster->level, &target) == 0;
}

int CAIOwnCreatureSpell::DelayByLineOfFire(const CCreature& target, int animEntry, bool withAnimation) const {
  const int lineOfFire = IsValidSpell(Spell()) ? g_spellDefs[Spell()].LOFType : -1;
  if (lineOfFire == kLofNone && withAnimation) return EffectAnimTicks(animEntry) + kDelayPad;
  if (lineOfFire == kLofParticle) return ParticleFallTicks(target) + kDelayPad;
  return kDelayPad;
}

bool CAIOwnCreatureSpell::Step(CAIPlayerMemory*, int, CAIBudget&) {
  CCreature* caster = Caster();
  if (!caster) return false;
  CCreature* target = best.target.IsSet() ? best.target.Get() : nullptr;
  if (!target || !target->IsAlive() || ShowsEffect(*target)) return false;
  if (!ReadyToCast(*caster) || !CanCastAt(*target)) return true;
  int x = 0, y = 0, z = 0;
  CreatureAimPoint(*target, x, y, z);
  Cast(*caster, target->index, x, y, z);
  castDone = 1;
  return true;
}

// --- the protections ----------------------------------------------------------------------

bool CAIProtectionSpell::Weigh(CCreature& target, float& weight, float& certainty) {
  const CCreature* caster = Caster();
  CAIGroupBuilder builder(groups);
  CAIGroupNode* alone = builder.NewLeafNode(&target);
  CAIGroupNode* attackers = builder.BuildAttackersGroup(alone);
  if (CountMembers(attackers) > 0) {
    if (target.IsWizard()) {
      weight = 2.0f;
      certainty = 1.0f;
    }
    EvaluateMeasures(alone, attackers, weight, certainty, terms_.pressed);
  }
  const CAICell at{target.cellX, target.cellY, target.level};
  CAIGroupNode* enemies = builder.BuildEnemiesInRange(caster->army, at, AINearRange());
  if (CountMembers(enemies) == 0) return false;
  CAIGroupNode* friends = builder.BuildOwnInRange(caster->army, at, AINearRange());
  EvaluateMeasures(friends, enemies, weight, certainty, terms_.surrounded);
  return true;
}

CAIIronSkinDecision::CAIIronSkinDecision()
    : CAIProtectionSpell(kAIIronSkinDecisionType, kIronSkinSpell, {kIronSkinPressed, kOutnumbered}) {}

bool CAIIronSkinDecision::Skips(CCreature& target) {
  return target.ironSkin != 0 || target.illusion != 0 || !CanCastAt(target);
}

int CAIIronSkinDecision::CastDelay(const CCreature& target) const {
  return DelayByLineOfFire(target, kIronSkinAnim, true);
}

CAIMightyBlowDecision::CAIMightyBlowDecision()
    : CAIProtectionSpell(kAIMightyBlowDecisionType, 83, {kMightyBlowPressed, kMightyBlowSurrounded}) {}

bool CAIMightyBlowDecision::Skips(CCreature& target) {
  return target.spellState != 0 || target.illusion != 0 || !CanCastAt(target);
}

int CAIMightyBlowDecision::CastDelay(const CCreature& target) const { return DelayByLineOfFire(target, 0, false); }

CAISpell78Decision::CAISpell78Decision()
    : CAIProtectionSpell(kAISpell78DecisionType, 78, {kSpell78Pressed, kSpell78Surrounded}) {}

bool CAISpell78Decision::Skips(CCreature& target) {
  return target.spellState != 0 || target.illusion != 0 || !CanCastAt(target);
}

int CAISpell78Decision::CastDelay(const CCreature& target) const { return ParticleFallTicks(target) + kDelayPad; }

CAIFlightDecision::CAIFlightDecision()
    : CAIProtectionSpell(kAIFlightDecisionType, 84, {kFlightPressed, kFlightSurrounded}) {}

bool CAIFlightDecision::HasRoomAbove(const CCreature& creature) {
  const CMapCell* above = g_map.CellIfInside(creature.cellX, creature.cellY, creature.level + 1);
  if (!above || above->terrain != 0 || above->object != kNoLink) return false;
  return above->occupant == kNoLink || above->occupant == creature.index;
}

bool CAIFlightDecision::Skips(CCreature& target) {
  return target.spellState != 0 || target.mayFly != 0 || target.illusion != 0 || target.typeNumber == kNoFlightType ||
         !HasRoomAbove(target) || !CanCastAt(target);
}

int CAIFlightDecision::CastDelay(const CCreature& target) const { return ParticleFallTicks(target) + kDelayPad; }

// --- the blast ----------------------------------------------------------------------------

bool CAIBlastDecision::BurstStrength(int health, int& strength, int& reach) {
  const CSpellDefinition& burst = g_spellDefs[kAIBlastSpell];
  if (burst.Data1 < 1 || burst.SpellStrength < 1) return false;
  strength = std::max(health / burst.Data1, burst.Damage);
  if (strength > kMaxStrength - 1) strength = kMaxStrength;
  reach = strength / burst.SpellStrength;
  return true;
}

int CAIBlastDecision::NetHarm(const CCreature& candidate, int casterArmy) {
  int strength = 0, reach = 0;
  if (!BurstStrength(candidate.health, strength, reach)) return 0;
  const int perCell = g_spellDefs[kAIBlastSpell].SpellStrength;
  int x0, y0, z0;
  CreatureAimPoint(candidate, x0, y0, z0);
  int64_t total = 0;
  g_creatureArray.ForEachInUse([&](const CCreature& other) {
    if (&other == &candidate || !other.IsAlive()) return;
    const int quarter = CellsApart(candidate, other) / 4;
    if (quarter >= reach) return;
    int x1, y1, z1;
    CreatureAimPoint(other, x1, y1, z1);
    if (!g_aiWorld->ProjectileReaches(x0, y0, z0, x1, y1, z1, candidate.index, kAIBlastSpell, other.index)) return;
    int64_t harm = strength - int64_t{quarter} * perCell;
    if (other.ironSkin != 0) harm = (100 - g_spellDefs[kIronSkinSpell].SpellStrength) * harm / 100;
    if (other.heldKind == 1) harm = harm < g_spellDefs[kHoldSpell].Data1 ? 0 : other.health;
    if (other.health < harm) harm = 2 * int64_t{other.health};
    if (other.IsWizard()) harm *= 2;
    total += other.army == casterArmy ? -harm : harm;
  });
  return static_cast<int>(std::clamp<int64_t>(total, INT_MIN, INT_MAX));
}

bool CAIBlastDecision::Skips(CCreature& target) {
  return target.IsWizard() || target.combat.blastValue != 0 || target.typeNumber == kNoBlastType ||
         target.illusion != 0 || !CanCastAt(target);
}

bool CAIBlastDecision::Weigh(CCreature& target, float& weight, float& certainty) {
  const int total = NetHarm(target, Caster()->army);
  if (total <= 0) return false;
  CAIGroupBuilder builder(groups);
  CAIGroupNode* alone = builder.NewLeafNode(&target);
  CAIGroupNode* attackers = builder.BuildAttackersGroup(alone);
  if (CountMembers(attackers) > 0) EvaluateMeasures(alone, attackers, weight, certainty, kBlastPressed);
  FoldMeasure(kScDHealth, total, 1.0f, weight, certainty);
  return true;
}

int CAIBlastDecision::CastDelay(const CCreature& target) const { return DelayByLineOfFire(target, kBlastAnim, true); }

// --- the mana source ----------------------------------------------------------------------

void CAIManaSourceDecision::Prepare(CAIGroupNode* node, CAIPlayerMemory*, int tick) {
  BeginPrepare();
  priorWeight = 0.0f;
  enemiesNearCaster = nullptr;
  if (!PassGate(node)) return;
  const CCreature& caster = *Caster();
  // A wizard without a mana store has nothing to fill.
  if (caster.maxMana <= 0) return;
  const float full = static_cast<float>(caster.mana >> 8) / static_cast<float>(caster.maxMana);
  prior = (1.0f - full) * 2.0f - 1.0f;
  if (!(prior > -1.0f)) return;
  CAIGroupBuilder builder(groups);
  ownGroup = builder.BuildArmyGroup(caster.army);
  if (CountMembers(ownGroup) == 0) return;
  enemiesNearCaster =
      builder.BuildEnemiesInRange(caster.army, {caster.cellX, caster.cellY, caster.level}, AINearRange());
  SetTargetGroup(ownGroup);
  FinishPrepare(tick);
}

bool CAIManaSourceDecision::Skips(CCreature& target) { return &target == Caster() || target.manaSource != 0; }

bool CAIManaSourceDecision::Weigh(CCreature& target, float& weight, float& certainty) {
  if (priorWeight == 0.0f) {
    priorWeight = 8.0f;
    EvaluateMeasures(ownGroup, enemiesNearCaster, priorWeight, prior, kManaSourcePrior);
    priorWeight *= 2.0f;
  }
  weight = priorWeight;
  certainty = prior;
  FoldMeasure(kScRangeUsed, CellsApart(*Caster(), target) / 4, 1.0f, weight, certainty);
  return true;
}

int CAIManaSourceDecision::CastDelay(const CCreature& target) const { return ParticleFallTicks(target) + kDelayPad; }

bool CAIManaSourceDecision::Step(CAIPlayerMemory*, int, CAIBudget&) {
  CCreature* caster = Caster();
  if (!caster) return false;
  CCreature* target = best.target.IsSet() ? best.target.Get() : nullptr;
  if (!target || !target->IsAlive()) return false;
  if (castDone || caster->GetManaWaitTime(Spell(), 1) != 0) return true;
  int x = 0, y = 0, z = 0;
  CreatureAimPoint(*target, x, y, z);
  Cast(*caster, target->index, x, y, z);
  castDone = 1;
  return true;
}

// --- the healing --------------------------------------------------------------------------

namespace {

// An attacked creature that fights well is worth healing; strong attackers speak against.
constexpr MeasureTerm kHealingPressed[] = {
    {1, kManaGain}, {1, kSpecificHth}, {1, kSpecificLrc}, {1, -EG(kSpecificHth)}, {1, -EG(kSpecificLrc)}};
constexpr int kHealingAnim = 74;

}  // namespace

bool CAIHealingDecision::Skips(CCreature& target) {
  const int most = target.GetMaxHealth();
  const int lacking = most - target.health;
  // A creature at full health is never healed, whatever the spell's strength.
  if (target.illusion != 0 || lacking <= 0) return true;
  if (target.health >= most / 2 && lacking < g_spellDefs[kSpell].SpellStrength) return true;
  return !CanCastAt(target);
}

bool CAIHealingDecision::Weigh(CCreature& target, float& weight, float& certainty) {
  const int most = target.GetMaxHealth();
  if (target.IsWizard() && target.health < most / 2) {
    weight = 1.0f;
    certainty = 1.0f;
  } else {
    CAIGroupBuilder builder(groups);
    CAIGroupNode* alone = builder.NewLeafNode(&target);
    CAIGroupNode* attackers = builder.BuildAttackersGroup(alone);
    if (CountMembers(attackers) > 0) EvaluateMeasures(alone, attackers, weight, certainty, kHealingPressed);
  }
  const int healed = std::min(most - target.health, g_spellDefs[kSpell].SpellStrength);
  FoldMeasure(kScDHealth, healed, 1.0f, weight, certainty);
  return true;
}

int CAIHealingDecision::CastDelay(const CCreature& target) const {
  switch (g_spellDefs[kSpell].LOFType) {
    case kLofNone:
      return kDelayPad + EffectAnimTicks(kHealingAnim);
    case kLofParticle:
      return kDelayPad + ParticleFallTicks(target);
    default:
      return kDelayPad;
  }
}
