#include "ai/AIManaReserveDecision.h"

#include <algorithm>

#include "ai/AIBudget.h"
#include "ai/AIGroupBuilder.h"
#include "ai/AIGroupNode.h"
#include "ai/AIMeasureIds.h"
#include "core/Options.h"
#include "creatures/CreatureArray.h"
#include "creatures/Wizard.h"

namespace {

constexpr int kManaEventKind = 19;

// Strong enemies in sight speak against waiting.
constexpr MeasureTerm kEnemyTerms[] = {
    {1.0, -(ai_measure::kNCreatures + kAIEnemyMeasureOffset)},
    {1.0, -(ai_measure::kAverageHealth + kAIEnemyMeasureOffset)},
    {1.0, -(ai_measure::kSpecificHth + kAIEnemyMeasureOffset)},
    {1.0, -(ai_measure::kSpecificLrc + kAIEnemyMeasureOffset)},
};

int PendingMana(const CCreature& wizard) {
  int64_t pending = 0;
  for (const CCreatureEvent& event : wizard.events)
    if (event.active && event.kind == kManaEventKind) pending += event.remaining;
  return static_cast<int>(std::clamp<int64_t>(pending, 0, INT32_MAX / 200));
}

}  // namespace

int CAIManaReserveDecision::ManaPercent(const CCreature& wizard, bool withPending) {
  if (wizard.maxMana == 0) return 0;
  const int64_t held = static_cast<int64_t>(wizard.mana >> 8) + (withPending ? PendingMana(wizard) : 0);
  const uint64_t percent = static_cast<uint64_t>(std::max<int64_t>(held, 0)) * 100u /
                           static_cast<uint64_t>(static_cast<uint32_t>(wizard.maxMana));
  const uint64_t limited = withPending ? std::min<uint64_t>(percent, 100u) : percent;
  return static_cast<int>(std::min<uint64_t>(limited, INT32_MAX));
}

int CAIManaReserveDecision::ManaIncome(int army) {
  int64_t income = 0;
  const int perSource = 5 * std::clamp(g_manaRecovery, 1, 1000);
  g_creatureArray.ForEachInUse([&](const CCreature& c) {
    if (c.IsAlive() && c.army == army && c.manaSource) income += perSource;
  });
  return static_cast<int>(std::min<int64_t>(income, INT32_MAX / 10));
}

void CAIManaReserveDecision::Prepare(CAIGroupNode* node, CAIPlayerMemory*, int tick) {
  BeginPrepare();
  if (!IsOpenSideGroup(node) || !node->creature) return;
  CCreature& caster = *node->creature;
  if (!caster.IsAlive() || !caster.IsWizard() || caster.maxMana == 0) return;
  caster_.Set(&caster);
  FetchSideGroups(node);
  FinishPrepare(tick);
}

bool CAIManaReserveDecision::Evaluate(float* score, CAIBudget& budget, int) {
  if (!ready) return false;
  ready = 0;
  const CCreature* caster = Caster();
  if (!caster) return false;
  const int percent = ManaPercent(*caster, true);
  float c = static_cast<float>((160 - percent) - 5 * ManaIncome(caster->army) - 50) * 0.02f;
  if (CountMembers(hostileGroup) > 0) {
    float weight = 0.0f, enemies = 0.0f;
    c += EvaluateMeasures(ownGroup, hostileGroup, weight, enemies, std::span<const MeasureTerm>(kEnemyTerms));
  }
  const int limit = caster->aiWords[wizard_words::kControlLimit];
  const bool crowded =
      limit != 0 && static_cast<int64_t>(caster->behaviour.armyCount) * 50 / limit + 20 < ManaPercent(*caster, false);
  if (caster->IsInCombat() || caster->combat.attacker != 0 || crowded) c -= 0.5f;
  const float balance =
      (static_cast<float>(caster->aiThreat) + 1.0f) / (static_cast<float>(caster->aiSideStrength) + 1.0f);
  if (balance < 0.2f)
    c += 0.1f;
  else if (balance > 0.5f)
    c -= 0.1f;
  *score = std::clamp(c, -1.0f, 1.0f);
  budget.steps -= 1;
  return true;
}
