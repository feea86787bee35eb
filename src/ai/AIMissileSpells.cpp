#include "ai/AIMissileSpells.h"

#include <algorithm>
#include <climits>

#include "ai/AICertainty.h"
#include "ai/AIGroupBuilder.h"
#include "ai/AIGroupNode.h"
#include "ai/AIMeasureIds.h"
#include "creatures/CreatureType.h"
#include "creatures/SpellDefinition.h"
#include "map/MapUnits.h"

namespace {

using namespace ai_measure;

constexpr int EG(int own) { return own + kAIEnemyMeasureOffset; }

constexpr int kMissileSpell = 71;
constexpr int kHoldSpell = 46;
constexpr int kShatterType = 15;  // a type the hold always leaves to be shattered
constexpr float kWizardBonus = 0.25f;

// The target itself: a strong enemy fighter against the caster's weak ones.
constexpr MeasureTerm kMissileTarget[] = {
    {1, -kSpecificHth}, {1, -kSpecificLrc}, {1, EG(kSpecificHth)}, {2, EG(kSpecificLrc)}, {1, EG(kManaGain)}};
constexpr MeasureTerm kUnattacked[] = {
    {1, -EG(kNCreatures)}, {1, EG(kAverageHealth)}, {1, EG(kSpecificHth)}, {1, EG(kSpecificLrc)}};
constexpr MeasureTerm kAttacked[] = {{1, -kNCreatures},     {1, -kAverageHealth}, {1, -kSpecificHth},
                                     {1, -kSpecificLrc},    {1, EG(kNCreatures)}, {1, EG(kAverageHealth)},
                                     {1, EG(kSpecificHth)}, {1, EG(kSpecificLrc)}};
constexpr MeasureTerm kHoldTarget[] = {
    {1, -EG(kAverageMagicResistance)}, {2, EG(kAverageHealth)}, {3, EG(kSpecificHth)}, {3, EG(kSpecificLrc)}};
constexpr MeasureTerm kHoldEnemies[] = {
    {1, -EG(kNCreatures)}, {1, EG(kAverageHealth)}, {1, EG(kSpecificHth)}, {1, EG(kSpecificLrc)}};
constexpr MeasureTerm kHoldWizard[] = {
    {1, EG(kNCreatures)}, {1, EG(kAverageHealth)}, {1, EG(kGeneralHth)}, {1, EG(kGeneralLrc)}};

bool KnowsSpell(const CCreature& creature, int spell) {
  const int count = std::clamp(creature.spellCount, 0, kCreatureSpells);
  return std::find(creature.spells, creature.spells + count, spell) != creature.spells + count;
}

}  // namespace

void CAIStrikeSpell::Prepare(CAIGroupNode* node, CAIPlayerMemory*, int tick) {
  BeginPrepare();
  casterNode = nullptr;
  if (!PassGate(node)) return;
  casterNode = node;
  FetchSideGroups(nullptr);
  const CCreature& caster = *Caster();
  CAIGroupBuilder builder(groups);
  CAIGroupNode* targets =
      builder.BuildEnemiesInRange(caster.army, {caster.cellX, caster.cellY, caster.level}, g_spellDefs[Spell()].Range);
  if (CountMembers(targets) == 0) return;
  SetTargetGroup(targets);
  FinishPrepare(tick);
}

// --- the missile --------------------------------------------------------------------------

bool CAIMissileDecision::CanFinishWizard(const CCreature& caster, const CCreature& wizard) {
  const CSpellDefinition& missile = g_spellDefs[kMissileSpell];
  // A missile that does no harm never finishes anyone.
  if (missile.Damage < 1) return false;
  const int64_t casts = wizard.health / missile.Damage;
  return int64_t{caster.mana >> 8} >= casts * missile.ManaCost;
}

void CAIMissileDecision::ScoreTarget(CCreature& target, float& weight, float& certainty) {
  const int damage = std::min<int64_t>(g_spellDefs[kMissileSpell].Damage, 2 * int64_t{target.health});
  FoldMeasure(kScDHealth, damage, 2.0f, weight, certainty);
  const size_t mark = groups.size();
  CAIGroupBuilder builder(groups);
  EvaluateMeasures(casterNode, builder.NewLeafNode(&target), weight, certainty, kMissileTarget);
  FreeGroupsFrom(mark);
  if (CountMembers(attackersGroup) == 0)
    EvaluateMeasures(casterNode, hostileGroup, weight, certainty, kUnattacked);
  else
    EvaluateMeasures(attackersGroup, hostileGroup, weight, certainty, kAttacked);
}

bool CAIMissileDecision::Evaluate(float* score, CAIBudget& budget, int tick) {
  if (!FindCastPosition(budget, tick)) return false;
  CCreature* target = working.target.Get();
  const CCreature* caster = Caster();
  float weight = 0.0f, certainty = 0.0f;
  if (target && caster) {
    ScoreTarget(*target, weight, certainty);
    if (target->IsWizard()) {
      // A wizard the caster can kill outright is the best target there is.
      if (CanFinishWizard(*caster, *target)) {
        *score = 1.0f;
        return true;
      }
      certainty += kWizardBonus;
    }
  }
  ApplySpellTail(weight, certainty);
  *score = certainty;
  return true;
}

// --- the hold -----------------------------------------------------------------------------

bool CAIHoldDecision::TakeCandidate(bool first) {
  // A creature already held by this spell is no candidate.
  for (bool start = first;; start = false) {
    if (!CAISpellDecision::TakeCandidate(start)) return false;
    const CCreature* target = working.target.Get();
    if (target && target->heldKind != 1) return true;
  }
}

int CAIHoldDecision::ExpectedGain(const CCreature& target) const {
  const CSpellDefinition& hold = g_spellDefs[kHoldSpell];
  const int missileDamage = g_spellDefs[kMissileSpell].Damage;
  int gain = 0;
  if (target.orderState.flying || target.typeNumber == kShatterType) {
    gain = target.health;
  } else if (attackersGroup) {
    const int cursor = GroupFirstMember(attackersGroup);
    while (const CCreature* attacker = GroupNextMember(attackersGroup, cursor)) {
      const CCreatureType& type = attacker->type ? *attacker->type : g_creatureTypes[attacker->typeNumber];
      if (type.GetHthRating(target.typeNumber) > hold.Data1 / 2) gain = target.health;
    }
  }
  const CCreature* caster = Caster();
  if (caster && hold.Data1 < missileDamage && missileDamage < target.health && KnowsSpell(*caster, kMissileSpell) &&
      caster->GetManaWaitTime(kMissileSpell, 1) != INT_MAX)
    gain = std::max(gain, target.health - missileDamage);
  return gain;
}

void CAIHoldDecision::ScoreCandidate(float& weight, float& certainty) {
  CCreature* target = working.target.Get();
  const CCreature* caster = Caster();
  if (!target || !caster) return;
  const int gain = ExpectedGain(*target);
  FoldMeasure(kScDHealth, gain, 1.0f, weight, certainty);
  const size_t mark = groups.size();
  CAIGroupBuilder builder(groups);
  EvaluateMeasures(casterNode, builder.NewLeafNode(target), weight, certainty, kHoldTarget);
  FreeGroupsFrom(mark);
  EvaluateMeasures(casterNode, hostileGroup, weight, certainty, kHoldEnemies);
  if (target->IsWizard() && gain != 0) EvaluateMeasures(casterNode, hostileGroup, weight, certainty, kHoldWizard);
  const int apart = CellDistanceApprox(WrapDeltaX(caster->cellX, target->cellX),
                                       WrapDeltaY(caster->cellY, target->cellY), target->level - caster->level);
  FoldMeasure(-kScRangeUsed, apart, 1.0f, weight, certainty);
}
