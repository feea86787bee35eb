#include "ai/AISummonDecision.h"

#include <algorithm>
#include <bitset>
#include <cstdio>

#include "ai/AIBudget.h"
#include "ai/AIGroupBuilder.h"
#include "ai/AIGroupNode.h"
#include "ai/AIMeasureIds.h"
#include "ai/AIPlayerMemory.h"
#include "ai/AIQueries.h"
#include "ai/AIUtilities.h"
#include "creatures/Armies.h"
#include "creatures/CreatureAnims.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureType.h"
#include "creatures/Wizard.h"
#include "map/Map.h"

namespace {

// The types whose animations failed to load in this battle: each is told once.
std::bitset<kCreatureTypes> g_animFailureNoted;

// The weak own side against a strong enemy raises the wish to summon.
constexpr MeasureTerm kPriorTerms[] = {
    {4, -ai_measure::kNCreatures},
    {2, -ai_measure::kGeneralHth},
    {2, -ai_measure::kGeneralLrc},
    {4, ai_measure::kNCreatures + kAIEnemyMeasureOffset},
    {2, ai_measure::kGeneralHth + kAIEnemyMeasureOffset},
    {2, ai_measure::kGeneralLrc + kAIEnemyMeasureOffset},
};

// Makes sure the type can be shown once summoned; a type that cannot is told once a battle
// and rated all the same.
void EnsureAnims(int type, int army) {
  if (type < 0 || type >= kCreatureTypes || g_creatureTypeAnims[type]) return;
  const char* file = ChooseCreatureAnimFile(type, army);
  if (LoadCreatureTypeAnims(g_creatureTypes[type], type, file) || g_animFailureNoted[type]) return;
  g_animFailureNoted[type] = true;
  std::fprintf(stderr, "Unable to load creature file %s (creature type %d)\n", file ? file : "(none)", type);
}

int CountOfType(CAIGroupNode* group, int type) {
  int count = 0;
  const int cursor = GroupFirstMember(group);
  while (const CCreature* member = GroupNextMember(group, cursor)) count += member->typeNumber == type;
  return count;
}

}  // namespace

std::span<const MeasureTerm> AddCreaturePriorTerms() { return kPriorTerms; }

void ResetSummonAnimNotes() { g_animFailureNoted.reset(); }

bool CAISummonDecision::IsSummonSpell(int spell) { return (spell >= 1 && spell <= 21) || spell == 23; }

bool CAISummonDecision::HasRoom(const CCreature& wizard) {
  const int a = wizard.behaviour.armyCount;
  const int b = wizard.aiWords[wizard_words::kControlLimit];
  if (a >= b) return false;
  if (a + 2 < b) return true;
  const float balance =
      (static_cast<float>(wizard.aiThreat) + 1.0f) / (static_cast<float>(wizard.aiSideStrength) + 1.0f);
  return balance >= 0.2f;
}

float CAISummonDecision::BalanceTerm(int n, int k, int c) {
  if (n <= 0 || c <= 0) return 0.0f;
  const int m = n / c;
  if (k > m) return -static_cast<float>(100 - 100 * m / k) * 0.001f;
  if (m > 0) return static_cast<float>(100 - 100 * k / m) * 0.001f;
  return 0.1f;
}

void CAISummonDecision::Prepare(CAIGroupNode* node, CAIPlayerMemory*, int tick) {
  BeginPrepare();
  candidateCount = 0;
  candidateIndex = 0;
  if (!IsOpenSideGroup(node) || !node->creature || !node->creature->IsAlive()) return;
  CCreature& caster = *node->creature;
  caster_.Set(&caster);
  if (!HasRoom(caster)) return;
  const int known = std::clamp(caster.spellCount, 0, kMaxCandidates);
  for (int i = 0; i < known; ++i) {
    const int spell = caster.spells[i];
    if (!IsSummonSpell(spell)) continue;
    const int wait = caster.GetManaWaitTime(spell, 1);
    if (wait == INT_MAX) continue;
    candidates[candidateCount++] = {spell, wait};
  }
  if (candidateCount == 0) return;
  FetchSideGroups(node);
  ComputePrior(kPriorTerms);
  FinishPrepare(tick);
}

bool CAISummonDecision::Evaluate(float* score, CAIBudget& budget, int tick) {
  if (!ready || candidateIndex >= candidateCount || tick > evaluationEndTick) return false;
  CCreature* caster = Caster();
  if (!caster) return false;
  workingCandidate = candidates[candidateIndex++];
  const int type = workingCandidate.spell;

  CCreature scratch;  // never in the pool
  scratch.index = -1;
  scratch.InitAsType(type, caster->army, 0);
  EnsureAnims(type, caster->army);
  budget.steps -= 2;

  CAIGroupBuilder builder(groups);
  float c = builder.ScoreGroup(*caster, scratch, ownGroup, hostileGroup, attackersGroup, prior);
  c += BalanceTerm(CountMembers(ownGroup), CountOfType(ownGroup, type), candidateCount);
  c = std::clamp(c, -1.0f, 1.0f);
  float weight = kStartWeight;
  SetSpell(type);
  ApplySpellTail(weight, c);
  *score = c;
  return true;
}

int CAISummonDecision::Execute() {
  SetSpell(bestCandidate.spell);
  SaveCasterOrder();
  const int64_t delay = static_cast<int64_t>(ExponentialRandom(kMeanDelay)) + bestCandidate.wait;
  return static_cast<int>(std::clamp<int64_t>(delay, 0, INT_MAX));
}

bool CAISummonDecision::TryBeside(CCreature& caster, const CCreature& other, int& x, int& y, int& z) {
  int cx = other.cellX, cy = other.cellY, cz = other.level;
  if (!StepTowardCreature(cx, cy, cz, caster)) return false;
  if (CastCheckAtCell(caster, Spell(), caster.cellX, caster.cellY, caster.level, cx, cy, cz) != 0) return false;
  CellAimPoint(cx, cy, cz, x, y, z);
  return true;
}

void CAISummonDecision::ChooseAppearance(CCreature& caster, CAIPlayerMemory* players, int tick, int& x, int& y,
                                         int& z) {
  x = caster.unitX;
  y = caster.unitY;
  z = caster.unitZ;
  if (caster.IsInCombat()) return;
  // The last attacker, when it is a hostile the side can see.
  if (const CCreature* attacker = g_creatureArray.InUse(caster.combat.attacker - 1))
    if (attacker->IsAlive() && caster.IsEnemyOf(*attacker) && caster.ArmySees(*attacker) &&
        TryBeside(caster, *attacker, x, y, z))
      return;
  // A hostile wizard in sight.
  for (int army = 0; army < kArmyCount; ++army) {
    const CCreature* wizard = g_armyTable.GetWizard(army);
    if (wizard && wizard->IsAlive() && caster.IsEnemyOf(*wizard) && caster.ArmySees(*wizard) &&
        TryBeside(caster, *wizard, x, y, z))
      return;
  }
  // One of the enemy groups the side's record lists.
  if (!players || caster.army < 0 || caster.army >= kArmyCount) return;
  for (const CAIGroupNode* group : GetPlayerRecordGroups(players[caster.army], caster.army, tick)) {
    if (!group) continue;
    int cx = group->centreX, cy = group->centreY, cz = group->centreZ;
    for (int attempt = 0; attempt < 4; ++attempt) {
      if (g_map.IsInside(cx, cy, cz) &&
          CastCheckAtCell(caster, Spell(), caster.cellX, caster.cellY, caster.level, cx, cy, cz) == 0) {
        CellAimPoint(cx, cy, cz, x, y, z);
        return;
      }
      if (!StepTowardCreature(cx, cy, cz, caster)) break;
    }
  }
}

bool CAISummonDecision::Step(CAIPlayerMemory* players, int tick, CAIBudget&) {
  CCreature* caster = Caster();
  if (!caster) return false;
  if (!ReadyToCast(*caster)) return true;
  int x = 0, y = 0, z = 0;
  ChooseAppearance(*caster, players, tick, x, y, z);
  Cast(*caster, -1, x, y, z);
  FinishCast(*caster);
  return true;
}
