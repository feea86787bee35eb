#include "ai/AIChainSpellDecision.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>

#include "ai/AIBudget.h"
#include "ai/AICertainty.h"
#include "ai/AIGroupBuilder.h"
#include "ai/AIGroupNode.h"
#include "ai/AIMeasureIds.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/SpellDefinition.h"
#include "map/MapUnits.h"

namespace {

using namespace ai_measure;

constexpr int EG(int own) { return own + kAIEnemyMeasureOffset; }

constexpr int kIronSkinSpell = 74;
constexpr int kHoldSpell = 46;
constexpr float kWizardHitShare = 0.2f;
constexpr int kTicksPerJump = 5;

constexpr MeasureTerm kChainTarget[] = {{1, -kWaWizardHealth}, {1, -kSpecificHth},     {1, -kSpecificLrc},
                                        {1, EG(kSpecificHth)}, {1, EG(kSpecificLrc)}, {1, EG(kManaGain)}};
constexpr MeasureTerm kUnattacked[] = {
    {1, EG(kNCreatures)}, {1, EG(kAverageHealth)}, {1, EG(kSpecificHth)}, {1, EG(kSpecificLrc)}};
constexpr MeasureTerm kAttacked[] = {{1, -kNCreatures},     {1, -kAverageHealth}, {1, -kSpecificHth},
                                     {1, -kSpecificLrc},    {1, EG(kNCreatures)}, {1, EG(kAverageHealth)},
                                     {1, EG(kSpecificHth)}, {1, EG(kSpecificLrc)}};
constexpr MeasureTerm kWizardTarget[] = {
    {1, EG(kNCreatures)}, {1, EG(kAverageHealth)}, {1, EG(kGeneralHth)}, {1, EG(kGeneralLrc)}};

// The harm of a bolt of strength e on the creature: iron skin softens it, a held creature
// shatters under a strong enough bolt and is unharmed by a weaker one.
int64_t HarmOn(const CCreature& c, int64_t e) {
  if (c.ironSkin != 0) e = (100 - g_spellDefs[kIronSkinSpell].SpellStrength) * e / 100;
  if (c.heldKind == 1) e = e < g_spellDefs[kHoldSpell].Data1 ? 0 : c.health;
  return e;
}

int CellsApart(const CCreature& a, const CCreature& b) {
  return CellDistanceApprox(WrapDeltaX(a.cellX, b.cellX), WrapDeltaY(a.cellY, b.cellY), b.level - a.level);
}

}  // namespace

CAIChainDecision::Chain CAIChainDecision::Follow(const CCreature& caster, const CCreature& first) {
  Chain chain;
  const CSpellDefinition& spell = g_spellDefs[kSpell];
  const uint32_t step = static_cast<uint32_t>(spell.SpellStrength);
  if (step == 0) return chain;
  int64_t strength = spell.Damage;
  int64_t jumps = static_cast<uint32_t>(spell.Damage) / step;
  if (jumps == 0) return chain;
  std::array<int, kVisitedMax> visited;
  visited.fill(-1);
  visited[0] = caster.index;
  int visitedCount = 1;
  const CArmy* side = g_armyTable.GetArmy(caster.army);
  const CCreature* link = &first;
  int64_t sum = 0;
  for (;;) {
    const int64_t harm = HarmOn(*link, strength);
    if (side && side->IsAlliedWith(link->army)) {
      sum -= harm < link->health ? harm : 4 * int64_t{link->health};
    } else {
      if (link->IsWizard()) {
        ++chain.wizardsHit;
        if (strength > 0 &&
            int64_t{caster.mana >> 8} >= (int64_t{first.health} / strength) * g_spellDefs[kSpell].ManaCost)
          ++chain.wizardsFinished;
      }
      sum += link->IsWizard() ? harm : std::min(harm, 2 * int64_t{link->health});
    }
    visited[static_cast<size_t>(visitedCount++)] = link->index;
    chain.links.push_back(link->index);
    if (--jumps <= 0 || visitedCount >= kVisitedMax) break;
    // The next link: the nearest creature the struck one sees that the chain has not struck.
    const CCreature* next = nullptr;
    int nearest = INT_MAX, weighed = 0;
    g_creatureArray.ForEachInUse([&](const CCreature& other) {
      if (weighed >= kLinkCandidatesMax || &other == link || !other.IsAlive() || !caster.ArmySees(other)) return;
      if (std::find(visited.begin(), visited.begin() + visitedCount, other.index) != visited.begin() + visitedCount)
        return;
      if (!link->HasLineOfSightTo(other)) return;
      ++weighed;
      const int apart = CellsApart(*link, other);
      if (apart < nearest) {
        nearest = apart;
        next = &other;
      }
    });
    if (!next) break;
    strength -= step;
    link = next;
  }
  chain.sum = static_cast<int>(std::clamp<int64_t>(sum, INT_MIN, INT_MAX));
  return chain;
}

bool CAIChainDecision::Evaluate(float* score, CAIBudget& budget, int tick) {
  for (;;) {
    if (!FindCastPosition(budget, tick)) return false;
    CCreature* target = working.target.Get();
    const CCreature* caster = Caster();
    if (!target || !caster) continue;
    const Chain chain = Follow(*caster, *target);
    budget.steps -= 1;
    // A chain that does no good is no candidate: the next one is searched afresh.
    if (chain.sum <= 0) continue;
    float weight = static_cast<float>(chain.wizardsFinished + chain.wizardsHit);
    float certainty =
        std::min(static_cast<float>(chain.wizardsFinished) + kWizardHitShare * static_cast<float>(chain.wizardsHit), 1.0f);
    FoldMeasure(kScDHealth, chain.sum, 5.0f, weight, certainty);
    const size_t mark = groups.size();
    CAIGroupBuilder builder(groups);
    EvaluateMeasures(casterNode, builder.NewLeafNode(target), weight, certainty, kChainTarget);
    FreeGroupsFrom(mark);
    if (CountMembers(attackersGroup) == 0)
      EvaluateMeasures(casterNode, hostileGroup, weight, certainty, kUnattacked);
    else
      EvaluateMeasures(attackersGroup, hostileGroup, weight, certainty, kAttacked);
    if (target->IsWizard()) EvaluateMeasures(casterNode, hostileGroup, weight, certainty, kWizardTarget);
    ApplySpellTail(weight, certainty);
    *score = certainty;
    return true;
  }
}

int CAIChainDecision::ExtraDelay() const {
  const CSpellDefinition& spell = g_spellDefs[kSpell];
  const uint32_t step = static_cast<uint32_t>(spell.SpellStrength);
  return step == 0 ? 0 : static_cast<int>(static_cast<uint32_t>(spell.Damage) / step) * kTicksPerJump;
}
