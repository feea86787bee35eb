#include "ai/AIEnemyCreatureSpells.h"

#include <algorithm>
#include <cstdlib>

#include "ai/AIBudget.h"
#include "ai/AICertainty.h"
#include "ai/AIGroupBuilder.h"
#include "ai/AIGroupNode.h"
#include "ai/AIMeasureIds.h"
#include "ai/AIOwnCreatureSpells.h"
#include "ai/AISpellTiming.h"
#include "ai/AIUtilities.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureType.h"
#include "creatures/SpellDefinition.h"
#include "creatures/Wizard.h"
#include "map/MapUnits.h"

namespace {

using namespace ai_measure;

constexpr int EG(int own) { return own + kAIEnemyMeasureOffset; }

constexpr int kEarthBindSpell = 44;  // its Damage is also what a levitated creature's fall costs
constexpr int kGroundedType = 15;    // a kind the earth bind always brings down
constexpr float kInCombatBonus = 0.1f;

// --- the earth bind ---
constexpr MeasureTerm kEarthBindTarget[] = {
    {1, -EG(kAverageMagicResistance)}, {1, EG(kAverageHealth)}, {1, EG(kSpecificHth)}, {2, EG(kSpecificLrc)}};
constexpr MeasureTerm kEnemiesAtLarge[] = {
    {1, -EG(kNCreatures)}, {1, EG(kAverageHealth)}, {1, EG(kSpecificHth)}, {1, EG(kSpecificLrc)}};
constexpr MeasureTerm kWizardTarget[] = {
    {1, EG(kNCreatures)}, {1, EG(kAverageHealth)}, {1, EG(kGeneralHth)}, {1, EG(kGeneralLrc)}};

// --- the levitation ---
constexpr int kLevitateNear = 5;
constexpr MeasureTerm kLevitateTarget[] = {{4, EG(kSpecificHth)},
                                           {6, -EG(kSpecificLrc)},
                                           {1, EG(kAverageHealth)},
                                           {5, -EG(kAverageMagicResistance)},
                                           {2, EG(kManaGain)}};
constexpr MeasureTerm kLevitateFight[] = {{3, -kNCreatures},      {2, -kAverageHealth},     {2, -kSpecificHth},
                                          {2, EG(kNCreatures)},   {1, EG(kAverageHealth)}, {1, EG(kSpecificHth)}};

// --- the provoke ---
constexpr MeasureTerm kProvokeTarget[] = {{3, EG(kSpecificHth)},
                                          {3, EG(kAverageHealth)},
                                          {2, -EG(kAverageIntelligence)},
                                          {2, EG(kManaGain)},
                                          {2, EG(kNWizards)}};
constexpr MeasureTerm kProvokeAmongEnemies[] = {
    {5, EG(kNCreatures)}, {2, EG(kAverageHealth)}, {2, EG(kGeneralHth)}, {1, -EG(kAverageIntelligence)}};
constexpr MeasureTerm kProvokeAmongFriends[] = {
    {6, -kNCreatures},    {2, -kAverageHealth},    {2, -kGeneralHth},                {1, kAverageIntelligence},
    {5, EG(kNCreatures)}, {2, EG(kAverageHealth)}, {1, -EG(kAverageIntelligence)}, {2, EG(kGeneralHth)}};

// --- the subversion ---
constexpr MeasureTerm kSubvertTarget[] = {{0.5, -kSpecificHth},     {0.5, -kSpecificLrc},
                                          {0.5, EG(kSpecificHth)},  {0.5, EG(kSpecificLrc)},
                                          {1, EG(kAverageHealth)},  {2, -EG(kAverageMagicResistance)},
                                          {2, EG(kManaGain)}};
constexpr MeasureTerm kSubvertUnattacked[] = {
    {0.5, -EG(kNCreatures)}, {0.5, EG(kAverageHealth)}, {0.5, EG(kSpecificHth)}, {0.5, EG(kSpecificLrc)}};
constexpr MeasureTerm kSubvertAttacked[] = {{0.5, -kNCreatures},     {0.5, -kAverageHealth},
                                            {0.5, -kSpecificHth},    {0.5, -kSpecificLrc},
                                            {0.5, EG(kNCreatures)},  {0.5, EG(kAverageHealth)},
                                            {0.5, EG(kSpecificHth)}, {0.5, EG(kSpecificLrc)}};
constexpr MeasureTerm kScoutTerms[] = {{0.5, -EG(kNCreatures)},  {0.5, -EG(kAverageHealth)}, {0.5, -EG(kSpecificHth)},
                                       {0.5, -EG(kSpecificLrc)}, {0.5, -kWaNScouts}};
constexpr MeasureTerm kScoutSelf[] = {{1, kAverageMaxSpeed}, {0.5, kAverageHealth}};
constexpr MeasureTerm kAttackerTerms[] = {{0.5, -kNCreatures},     {0.5, -kSpecificHth},    {0.5, -kSpecificLrc},
                                          {0.5, EG(kNCreatures)},  {0.5, EG(kAverageHealth)}, {0.5, EG(kSpecificHth)},
                                          {0.5, EG(kSpecificLrc)}, {0.5, -kWaNAttackers}};
constexpr MeasureTerm kDefenderTerms[] = {{0.5, -kNCreatures},      {0.5, -kAverageHealth},   {0.5, -kSpecificHth},
                                          {0.5, -kSpecificLrc},     {0.5, EG(kNCreatures)},   {0.5, EG(kAverageHealth)},
                                          {0.5, EG(kSpecificHth)},  {0.5, EG(kSpecificLrc)}, {0.5, -kWaNDefenders}};
constexpr float kChanceShare = 2.0f / 3.0f;
constexpr float kLowManaShare = 0.125f;

int CellsApart(const CCreature& a, const CCreature& b) {
  return CellDistanceApprox(WrapDeltaX(a.cellX, b.cellX), WrapDeltaY(a.cellY, b.cellY), b.level - a.level);
}

int TileSize(const CCreature& c) { return c.type ? std::max(c.type->TileSizeXY, 1) : 1; }

// The group without the creature's own leaf (the builders count a creature among those near
// itself).
void LeaveOut(CAIGroupNode* group, const CCreature& creature) {
  if (!group) return;
  for (CAIGroupNode* child : std::vector<CAIGroupNode*>(group->children))
    if (child->creature == &creature) group->RemoveChild(child);
}

}  // namespace

// --- the earth bind -----------------------------------------------------------------------

bool CAIEarthBindDecision::TakeCandidate(bool first) {
  for (bool start = first;; start = false) {
    if (!CAISpellDecision::TakeCandidate(start)) return false;
    const CCreature* target = working.target.Get();
    if (target && (target->orderState.flying || target->mayFly || target->typeNumber == kGroundedType)) return true;
  }
}

void CAIEarthBindDecision::ScoreCandidate(float& weight, float& certainty) {
  CCreature* target = working.target.Get();
  if (!target) return;
  if (target->orderState.flying) FoldMeasure(kScDHealth, g_spellDefs[kEarthBindSpell].Damage, 1.0f, weight, certainty);
  const size_t mark = groups.size();
  CAIGroupBuilder builder(groups);
  EvaluateMeasures(casterNode, builder.NewLeafNode(target), weight, certainty, kEarthBindTarget);
  FreeGroupsFrom(mark);
  EvaluateMeasures(casterNode, hostileGroup, weight, certainty, kEnemiesAtLarge);
  if (target->IsWizard()) EvaluateMeasures(casterNode, hostileGroup, weight, certainty, kWizardTarget);
}

// --- the levitation -----------------------------------------------------------------------

bool CAILevitateDecision::TakeCandidate(bool first) {
  for (bool start = first;; start = false) {
    if (!CAISpellDecision::TakeCandidate(start)) return false;
    const CCreature* target = working.target.Get();
    if (target && !target->airborne && CAIFlightDecision::HasRoomAbove(*target)) return true;
  }
}

void CAILevitateDecision::ScoreCandidate(float& weight, float& certainty) {
  CCreature* target = working.target.Get();
  const CCreature* caster = Caster();
  if (!target || !caster) return;
  const int fall = static_cast<int>(std::min<int64_t>(g_spellDefs[kEarthBindSpell].Damage, 2 * int64_t{target->health}));
  FoldMeasure(kScDHealth, fall, 1.0f, weight, certainty);
  const size_t mark = groups.size();
  CAIGroupBuilder builder(groups);
  EvaluateMeasures(casterNode, builder.NewLeafNode(target), weight, certainty, kLevitateTarget);
  const CAICell at{target->cellX, target->cellY, target->level};
  CAIGroupNode* enemies = builder.BuildEnemiesInRangeGrounded(caster->army, at, kLevitateNear);
  if (CountMembers(enemies) > 0)
    EvaluateMeasures(builder.BuildOwnInRange(caster->army, at, kLevitateNear), enemies, weight, certainty,
                     kLevitateFight);
  FreeGroupsFrom(mark);
  if (caster->IsInCombat()) certainty += kInCombatBonus;
}

int CAILevitateDecision::ExtraDelay() const {
  const CCreature* target = best.target.IsSet() ? best.target.Get() : nullptr;
  return target ? ParticleFallTicks(*target) + 10 : 10;
}

bool CAILevitateDecision::Step(CAIPlayerMemory*, int, CAIBudget&) {
  // A target that died is no reason to end: the decision waits out its time.
  const CCreature* target = best.target.IsSet() ? best.target.Get() : nullptr;
  if (target && !target->IsAlive()) return Caster() != nullptr;
  return StepWalkingCast();
}

// --- the provoke --------------------------------------------------------------------------

bool CAIProvokeDecision::FootprintsTouch(const CCreature& a, const CCreature& b) {
  const int dx = WrapDeltaX(a.cellX, b.cellX), dy = WrapDeltaY(a.cellY, b.cellY);
  // b's cells start dx from a's: the two runs of cells overlap or meet when b starts no
  // further than one past a's end and ends no further than one before a's start.
  const auto meets = [](int d, int sizeA, int sizeB) { return d <= sizeA && d >= -sizeB; };
  return meets(dx, TileSize(a), TileSize(b)) && meets(dy, TileSize(a), TileSize(b)) && std::abs(b.level - a.level) <= 1;
}

bool CAIProvokeDecision::TakeCandidate(bool first) {
  for (bool start = first;; start = false) {
    if (!CAISpellDecision::TakeCandidate(start)) return false;
    const CCreature* target = working.target.Get();
    const CCreature* caster = Caster();
    if (!target || !caster || target->provokeTimer > 0) continue;
    bool crowded = false, enemyAbout = false;
    g_creatureArray.ForEachInUse([&](const CCreature& other) {
      if (&other == target || !other.IsAlive()) return;
      if (other.provokeTimer > 0 && caster->ArmySees(other) && FootprintsTouch(*target, other)) crowded = true;
      if (caster->IsEnemyOf(other) && caster->ArmySees(other) &&
          WithinRange(kCrowdRange, other.cellX, other.cellY, other.level, target->cellX, target->cellY,
                        target->level))
        enemyAbout = true;
    });
    if (!crowded && enemyAbout) return true;
  }
}

void CAIProvokeDecision::ScoreCandidate(float& weight, float& certainty) {
  CCreature* target = working.target.Get();
  const CCreature* caster = Caster();
  if (!target || !caster) return;
  const size_t mark = groups.size();
  CAIGroupBuilder builder(groups);
  EvaluateMeasures(casterNode, builder.NewLeafNode(target), weight, certainty, kProvokeTarget);
  const CAICell at{target->cellX, target->cellY, target->level};
  CAIGroupNode* enemies = builder.BuildEnemiesInRange(caster->army, at, kCrowdRange);
  CAIGroupNode* friends = builder.BuildOwnInRange(caster->army, at, kCrowdRange);
  LeaveOut(enemies, *target);
  LeaveOut(friends, *target);
  if (CountMembers(friends) == 0)
    EvaluateMeasures(casterNode, enemies, weight, certainty, kProvokeAmongEnemies);
  else
    EvaluateMeasures(friends, enemies, weight, certainty, kProvokeAmongFriends);
  FreeGroupsFrom(mark);
  if (caster->IsInCombat()) certainty += kInCombatBonus;
}

bool CAIProvokeDecision::Evaluate(float* score, CAIBudget& budget, int tick) {
  if (!FindCastPosition(budget, tick)) return false;
  float weight = 0.0f, certainty = 0.0f;
  ScoreCandidate(weight, certainty);
  budget.steps -= 1;
  ApplySpellTail(weight, certainty);
  *score = certainty;
  return true;
}

int CAIProvokeDecision::ExtraDelay() const {
  const CCreature* target = best.target.IsSet() ? best.target.Get() : nullptr;
  return target ? ParticleFallTicks(*target) + 15 : 15;
}

// --- the subversion -----------------------------------------------------------------------

void CAISubversionDecision::Prepare(CAIGroupNode* node, CAIPlayerMemory* players, int tick) {
  casterAttackers = nullptr;
  // A wizard that cannot take one more creature has no use for the spell.
  const CCreature* wizard = node ? node->creature : nullptr;
  if (wizard && wizard->behaviour.armyCount >= wizard->aiWords[wizard_words::kControlLimit]) {
    BeginPrepare();
    return;
  }
  CAIStrikeSpell::Prepare(node, players, tick);
  if (!ready) return;
  CAIGroupBuilder builder(groups);
  casterAttackers = builder.BuildAttackersGroup(casterNode);
}

int CAISubversionDecision::Chance(const CCreature& target) {
  const int64_t strength = static_cast<uint32_t>(g_spellDefs[kSpell].SpellStrength);
  const int64_t sum = strength + target.magicResistance;
  return sum < 1 ? 0 : static_cast<int>(strength * 100 / sum);
}

bool CAISubversionDecision::TakeCandidate(bool first) {
  for (bool start = first;; start = false) {
    if (!CAISpellDecision::TakeCandidate(start)) return false;
    const CCreature* target = working.target.Get();
    if (target && !target->IsWizard()) return true;
  }
}

void CAISubversionDecision::ScoreCandidate(float& weight, float& certainty) {
  CCreature* target = working.target.Get();
  const CCreature* caster = Caster();
  if (!target || !caster) return;
  FoldMeasure(kScDHealth, target->health, 3.0f, weight, certainty);
  const size_t mark = groups.size();
  CAIGroupBuilder builder(groups);
  CAIGroupNode* alone = builder.NewLeafNode(target);
  EvaluateMeasures(casterNode, alone, weight, certainty, kSubvertTarget);
  if (CountMembers(attackersGroup) == 0)
    EvaluateMeasures(casterNode, hostileGroup, weight, certainty, kSubvertUnattacked);
  else
    EvaluateMeasures(attackersGroup, hostileGroup, weight, certainty, kSubvertAttacked);
  FoldMeasure(kScRangeUsed, CellsApart(*caster, *target), 1.0f, weight, certainty);
  const int32_t roles = target->type ? target->type->aiCategory : 0;
  const bool enemiesSeen = CountMembers(hostileGroup) > 0;
  if ((roles & ai_category::kScout) && enemiesSeen) {
    EvaluateMeasures(casterNode, hostileGroup, weight, certainty, kScoutTerms);
    EvaluateMeasures(alone, hostileGroup, weight, certainty, kScoutSelf);
  }
  if ((roles & ai_category::kAttacker) && enemiesSeen)
    EvaluateMeasures(ownGroup, hostileGroup, weight, certainty, kAttackerTerms);
  if ((roles & ai_category::kDefender) && CountMembers(casterAttackers) > 0)
    EvaluateMeasures(casterNode, casterAttackers, weight, certainty, kDefenderTerms);
  FreeGroupsFrom(mark);
  FoldMeasure(kScChance, Chance(*target), kChanceShare * weight, weight, certainty);
  if ((caster->mana >> 8) < caster->maxMana / 2)
    FoldMeasure(kScManaRemaining, caster->mana >> 8, kLowManaShare * weight, weight, certainty);
}
