#include "ai/AIFieldSpells.h"

#include <algorithm>
#include <climits>

#include "ai/AIBudget.h"
#include "ai/AICertainty.h"
#include "ai/AIGroupBuilder.h"
#include "ai/AIGroupNode.h"
#include "ai/AIMeasureIds.h"
#include "ai/AIPlayerMemory.h"
#include "ai/AIQueries.h"
#include "ai/AIUtilities.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/SpellDefinition.h"
#include "magic/CircleSpanTable.h"
#include "magic/EffectManager.h"

namespace {

using namespace ai_measure;

constexpr int EG(int own) { return own + kAIEnemyMeasureOffset; }

constexpr int kSpell72 = 72;
constexpr int kFieldReach = 7;  // the creatures about a field that its end concerns
constexpr int kGroupBonus = 20;
constexpr float kTrappedTerm = 0.05f;

// A hostile field of kind 69 among the caster's creatures is worth ending.
constexpr MeasureTerm kField69[] = {
    {1, -kNCreatures},    {1, -kAverageHealth},    {1, -kSpecificHth},    {1, -kSpecificLrc},    {2, kManaGain},
    {2, EG(kNCreatures)}, {2, EG(kAverageHealth)}, {2, EG(kSpecificHth)}, {2, EG(kSpecificLrc)}, {2, EG(kManaGain)}};
constexpr MeasureTerm kField70[] = {{2, kNCreatures},         {2, kAverageHealth},    {2, kSpecificHth},
                                    {2, kSpecificLrc},        {2, kManaGain},         {1, -EG(kNCreatures)},
                                    {1, -EG(kAverageHealth)}, {1, -EG(kSpecificHth)}, {1, -EG(kSpecificLrc)},
                                    {2, EG(kManaGain)}};
constexpr MeasureTerm kSpell72Creature[] = {{1, -kWaWizardHealth},   {1, -kSpecificHth},    {1, -kSpecificLrc},
                                            {1, EG(kAverageHealth)}, {1, EG(kSpecificHth)}, {1, EG(kSpecificLrc)},
                                            {1, EG(kManaGain)}};
constexpr MeasureTerm kUnattacked[] = {
    {1, EG(kNCreatures)}, {1, EG(kAverageHealth)}, {1, EG(kSpecificHth)}, {1, EG(kSpecificLrc)}};
constexpr MeasureTerm kAttacked[] = {{1, -kNCreatures},     {1, -kAverageHealth}, {1, -kSpecificHth},
                                     {1, -kSpecificLrc},    {1, EG(kNCreatures)}, {1, EG(kAverageHealth)},
                                     {1, EG(kSpecificHth)}, {1, EG(kSpecificLrc)}};
// The area spells: with friends about, the fewer and weaker they are the better.
constexpr MeasureTerm kAreaAmongFriends[] = {{3, -kNWizards},       {3, -kNCreatures},     {1, -kAverageHealth},
                                             {1, -kSpecificHth},    {1, -kSpecificLrc},    {3, -kManaGain},
                                             {3, EG(kNWizards)},    {3, EG(kNCreatures)},  {1, EG(kAverageHealth)},
                                             {1, EG(kSpecificHth)}, {1, EG(kSpecificLrc)}, {3, EG(kManaGain)}};
constexpr MeasureTerm kAreaAmongEnemies[] = {{3, EG(kNWizards)},   {3, EG(kNCreatures)}, {1, EG(kAverageHealth)},
                                             {1, EG(kGeneralHth)}, {1, EG(kGeneralLrc)}, {3, EG(kManaGain)}};

int SaturatingSum(int a, int b) { return static_cast<int>(std::clamp<int64_t>(int64_t{a} + b, INT_MIN, INT_MAX)); }

// Whether the active effect is a field owned by an army hostile to the army.
bool IsHostileField(const CEffect& effect, int army) {
  if (!effect.active || (effect.kind != kAIFieldKindA && effect.kind != kAIFieldKindB)) return false;
  const CCreature* owner = g_creatureArray.At(effect.params[effect_word::kCreature]);
  if (!owner || owner->army < 0 || owner->army >= kArmyCount || army < 0 || army >= kArmyCount) return false;
  return g_armyTable.armies[owner->army].alliance[army] == 0;
}

int CountTrapped(CAIGroupNode* group) {
  int count = 0;
  const int cursor = GroupFirstMember(group);
  while (const CCreature* c = GroupNextMember(group, cursor)) count += c->order == ORDER_TRAPPED;
  return count;
}

}  // namespace

// --- the common part ----------------------------------------------------------------------

bool CAIFieldSpell::StartPrepare(CAIGroupNode* node) {
  BeginPrepare();
  targets.clear();
  nextTarget = 0;
  casterNode = nullptr;
  workingTarget = bestTarget = CAIFieldTarget{};
  if (!PassGate(node)) return false;
  casterNode = node;
  FetchSideGroups(nullptr);
  return true;
}

void CAIFieldSpell::AddHostileFields() {
  CCreature& caster = *Caster();
  for (int i = 0; i < g_effectManager.Count(); ++i) {
    const CEffect* effect = g_effectManager.At(i);
    if (!effect || !IsHostileField(*effect, caster.army)) continue;
    if (CastCheckAtCell(caster, Spell(), caster.cellX, caster.cellY, caster.level, effect->cellX, effect->cellY,
                        effect->cellLevel) != 0)
      continue;
    CAIFieldTarget target;
    target.effect = i;
    target.kind = effect->kind;
    target.x = effect->cellX;
    target.y = effect->cellY;
    target.level = effect->cellLevel;
    targets.push_back(target);
  }
}

bool CAIFieldSpell::HostileFieldInRange() const {
  const CCreature& caster = *Caster();
  return CountEffectsNear(caster.cellX, caster.cellY, caster.level, g_spellDefs[Spell()].Range, caster.army, false) > 0;
}

bool CAIFieldSpell::Evaluate(float* score, CAIBudget& budget, int tick) {
  if (!ready || tick > evaluationEndTick || budget.Remaining() < 1 || !Caster()) return false;
  if (nextTarget >= targets.size()) {
    ready = 0;
    return false;
  }
  workingTarget = targets[nextTarget++];
  budget.steps -= 1;
  float weight = 0.0f, certainty = 0.0f;
  const size_t mark = groups.size();
  Weigh(workingTarget, weight, certainty);
  FreeGroupsFrom(mark);
  ApplySpellTail(weight, certainty);
  *score = certainty;
  return true;
}

int CAIFieldSpell::Execute() {
  castDone = 0;
  return SaturatingSum(groupWait, CastDelay());
}

bool CAIFieldSpell::Step(CAIPlayerMemory*, int, CAIBudget&) {
  CCreature* caster = Caster();
  if (!caster || TargetLost(bestTarget)) return false;
  if (!ReadyToCast(*caster)) return true;
  int x = 0, y = 0, z = 0;
  CCreature* creature = bestTarget.creature.IsSet() ? bestTarget.creature.Get() : nullptr;
  if (creature) {
    if (CastCheckAtCreature(*caster, Spell(), caster->cellX, caster->cellY, caster->level, creature) != 0) return true;
    CreatureAimPoint(*creature, x, y, z);
  } else {
    if (CastCheckAtCell(*caster, Spell(), caster->cellX, caster->cellY, caster->level, bestTarget.x, bestTarget.y,
                        bestTarget.level) != 0)
      return true;
    CellAimPoint(bestTarget.x, bestTarget.y, bestTarget.level, x, y, z);
  }
  Cast(*caster, creature ? creature->index : -1, x, y, z);
  castDone = 1;
  return true;
}

// --- spell 72 -----------------------------------------------------------------------------

void CAISpell72Decision::Prepare(CAIGroupNode* node, CAIPlayerMemory*, int tick) {
  if (!StartPrepare(node)) return;
  AddHostileFields();
  const CCreature& caster = *Caster();
  CAIGroupBuilder builder(groups);
  CAIGroupNode* enemies =
      builder.BuildEnemiesInRange(caster.army, {caster.cellX, caster.cellY, caster.level}, g_spellDefs[kSpell72].Range);
  const int cursor = GroupFirstMember(enemies);
  while (CCreature* enemy = GroupNextMember(enemies, cursor)) {
    CAIFieldTarget target;
    target.creature.Set(enemy);
    target.x = enemy->cellX;
    target.y = enemy->cellY;
    target.level = enemy->level;
    targets.push_back(target);
  }
  if (CountMembers(enemies) == 0 && !HostileFieldInRange()) return;
  if (targets.empty()) return;
  FinishPrepare(tick);
}

void CAISpell72Decision::Weigh(const CAIFieldTarget& target, float& weight, float& certainty) {
  const CCreature& caster = *Caster();
  CAIGroupBuilder builder(groups);
  if (target.effect >= 0) {
    FoldMeasure(kScDHealth, g_spellDefs[kSpell72].Damage, 5.0f, weight, certainty);
    const CAICell at{target.x, target.y, target.level};
    CAIGroupNode* own = builder.BuildOwnInRange(caster.army, at, kFieldReach);
    CAIGroupNode* enemies = builder.BuildEnemiesInRange(caster.army, at, kFieldReach);
    if (target.kind == kAIFieldKindA)
      EvaluateMeasures(own, enemies, weight, certainty, kField69);
    else
      EvaluateMeasures(own, enemies, weight, certainty, kField70);
    return;
  }
  CCreature* creature = target.creature.Get();
  if (!creature) return;
  EvaluateMeasures(casterNode, builder.NewLeafNode(creature), weight, certainty, kSpell72Creature);
  if (CountMembers(attackersGroup) == 0)
    EvaluateMeasures(casterNode, hostileGroup, weight, certainty, kUnattacked);
  else
    EvaluateMeasures(attackersGroup, hostileGroup, weight, certainty, kAttacked);
}

bool CAISpell72Decision::TargetLost(const CAIFieldTarget& target) const {
  if (target.creature.IsSet()) {
    const CCreature* creature = target.creature.Get();
    return !creature || !creature->IsAlive();
  }
  const CEffect* effect = g_effectManager.At(target.effect);
  return !effect || !effect->active || effect->kind != target.kind;
}

int CAISpell72Decision::CastDelay() const {
  const CSpellDefinition& spell = g_spellDefs[kSpell72];
  const int64_t lasting = int64_t{spell.SpellStrength} * spell.Duration;
  return SaturatingSum(static_cast<int>(std::clamp<int64_t>(lasting, 0, INT_MAX)), 10);
}

// --- spells 88 and 34 ---------------------------------------------------------------------

void CAIAreaFieldSpell::Prepare(CAIGroupNode* node, CAIPlayerMemory* players, int tick) {
  if (!StartPrepare(node)) return;
  AddHostileFields();
  const CCreature& caster = *Caster();
  size_t groupCount = 0;
  if (players && caster.army >= 0 && caster.army < kArmyCount) {
    for (const CAIGroupNode* group : GetPlayerRecordGroups(players[caster.army], caster.army, tick)) {
      if (!group) continue;
      CAIFieldTarget target;
      target.group = true;
      target.x = group->centreX;
      target.y = group->centreY;
      target.level = group->centreZ;
      targets.push_back(target);
      ++groupCount;
    }
  }
  if (groupCount == 0 && !HostileFieldInRange()) return;
  if (targets.empty()) return;
  FinishPrepare(tick);
}

int CAIAreaFieldSpell::Reach() const {
  const int radiusClass = g_spellDefs[Spell()].Radius;
  if (radiusClass < 0 || radiusClass >= static_cast<int>(g_spellRadiusTable.size())) return 0;
  return g_spellRadiusTable[static_cast<size_t>(radiusClass)].radius;
}

int CAIAreaFieldSpell::FieldFactor() const {
  // Spell 88 is valued by half the damage of spell 72, spell 34 by its own.
  if (type == kAISpell88DecisionType) return static_cast<int>(static_cast<uint32_t>(g_spellDefs[kSpell72].Damage) / 2u);
  return g_spellDefs[Spell()].Damage;
}

void CAIAreaFieldSpell::Weigh(const CAIFieldTarget& target, float& weight, float& certainty) {
  const CCreature& caster = *Caster();
  const int reach = Reach();
  const int hostile = CountEffectsNear(target.x, target.y, target.level, reach, caster.army, false);
  const int allied = CountEffectsNear(target.x, target.y, target.level, reach, caster.army, true);
  const int64_t value = int64_t{FieldFactor()} * (hostile - allied);
  const int clamped = static_cast<int>(std::clamp<int64_t>(value, INT_MIN / 2, INT_MAX / 2));
  if (target.group)
    FoldMeasure(kScDHealth, clamped + kGroupBonus, 3.0f, weight, certainty);
  else
    FoldMeasure(kScDHealth, clamped, 5.0f, weight, certainty);
  CAIGroupBuilder builder(groups);
  const CAICell at{target.x, target.y, target.level};
  CAIGroupNode* enemies = builder.BuildEnemiesInRange(caster.army, at, reach);
  CAIGroupNode* own = builder.BuildOwnInRange(caster.army, at, reach);
  if (CountMembers(own) > 0)
    EvaluateMeasures(own, enemies, weight, certainty, kAreaAmongFriends);
  else
    EvaluateMeasures(own, enemies, weight, certainty, kAreaAmongEnemies);
  if (!target.group) return;
  certainty += kTrappedTerm * static_cast<float>(CountTrapped(enemies) - CountTrapped(own));
  if (type == kAISpell34DecisionType) certainty = std::clamp(certainty, -1.0f, 1.0f);
}
