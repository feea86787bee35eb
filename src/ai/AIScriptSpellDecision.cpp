#include "ai/AIScriptSpellDecision.h"

#include <algorithm>
#include <climits>

#include "ai/AIGroupNode.h"
#include "ai/AIUtilities.h"
#include "creatures/SpellDefinition.h"
#include "map/MapUnits.h"

int g_scriptedAIDisabled = 0;

namespace {
IAIScriptSpells g_neutralScriptSpells;

constexpr int kTargetCell = 2;
constexpr int kTargetSelf = 3;

bool KnowsSpell(const CCreature& creature, int spell) {
  const int count = std::clamp(creature.spellCount, 0, kCreatureSpells);
  return std::find(creature.spells, creature.spells + count, spell) != creature.spells + count;
}
}  // namespace

constinit HookSlot<IAIScriptSpells> g_aiScriptSpells(&g_neutralScriptSpells);

void CAIScriptSpellDecision::Prepare(CAIGroupNode* node, CAIPlayerMemory*, int tick) {
  BeginPrepare();
  nextRecord = 0;
  workingEvent = bestEvent = CAIScriptSpell{};
  if (g_scriptedAIDisabled || !IsOpenSideGroup(node) || !node->creature) return;
  CCreature& caster = *node->creature;
  if (!caster.IsAlive() || !caster.IsWizard() || !caster.scriptCommand) return;
  if (DecisionType(node->decision) == kAIScriptSpellDecisionType) return;
  caster_.Set(&caster);
  FinishPrepare(tick);
}

bool CAIScriptSpellDecision::Qualifies(CCreature& caster, const CAIScriptSpell& offer, int& wait) const {
  if (offer.spell < 0 || offer.spell >= kSpellCount || !KnowsSpell(caster, offer.spell)) return false;
  wait = offer.forced ? 0 : caster.GetManaWaitTime(offer.spell, 1);
  if (wait == INT_MAX) return false;
  return offer.targetKind == kTargetCell || offer.targetKind == kTargetSelf;
}

bool CAIScriptSpellDecision::Evaluate(float* score, CAIBudget&, int tick) {
  if (!ready || tick > evaluationEndTick || g_scriptedAIDisabled) return false;
  CCreature* caster = Caster();
  if (!caster) return false;
  if (restartCandidates) {
    restartCandidates = 0;
    nextRecord = 0;
  }
  const int count = g_aiScriptSpells->EventCount();
  while (nextRecord < count) {
    CAIScriptSpell offer;
    int wait = 0;
    if (!g_aiScriptSpells->OfferedSpell(nextRecord++, *caster, offer) || !Qualifies(*caster, offer, wait)) continue;
    working = CAISpellCandidate{};
    working.castX = CWrapCoord::WrapX(caster->cellX);
    working.castY = CWrapCoord::WrapY(caster->cellY);
    working.castLevel = caster->level;
    if (offer.targetKind == kTargetSelf) {
      working.target.Set(caster);
      offer.targetX = caster->cellX;
      offer.targetY = caster->cellY;
      offer.targetLevel = caster->level;
    }
    working.targetX = offer.targetX;
    working.targetY = offer.targetY;
    working.targetLevel = offer.targetLevel;
    workingEvent = offer;
    workingWait = wait;
    *score = offer.value > -1.0f ? std::min(offer.value, 1.0f) : 0.0f;
    return true;
  }
  ready = 0;
  return false;
}

int CAIScriptSpellDecision::Execute() {
  SetSpell(bestEvent.spell);
  SaveCasterOrder();
  CCreature* caster = Caster();
  if (!caster) return 1;
  if (!OnCastCell(*caster)) caster->WalkTo(best.castX, best.castY, best.castLevel);
  const unsigned speed = static_cast<unsigned>(caster->stepSpeed);
  const int walk = caster->animState == ANIM_WALK && caster->stepSpeed > 0 ? static_cast<int>(4608u / speed) : 0;
  const int64_t delay = int64_t{std::max(bestWait, bestEvent.recordedWait)} + kExtraDelay + walk;
  return static_cast<int>(std::clamp<int64_t>(delay, 1, INT_MAX));
}

bool CAIScriptSpellDecision::Step(CAIPlayerMemory*, int, CAIBudget&) {
  CCreature* caster = Caster();
  if (!caster) return false;
  if (castDone || !OnCastCell(*caster)) return true;
  const int spell = bestEvent.spell;
  // The script wants this cast: a forcing event pays for it.
  if (bestEvent.forced && (caster->mana >> 8) < g_spellDefs[spell].ManaCost)
    caster->AddMana(g_spellDefs[spell].ManaCost * 256);
  if (caster->GetManaWaitTime(spell, 1) != 0) return true;
  int x = 0, y = 0, z = 0;
  if (bestEvent.targetKind == kTargetSelf) {
    if (CastCheckAtCreature(*caster, spell, caster->cellX, caster->cellY, caster->level, caster) != 0) return true;
    CreatureAimPoint(*caster, x, y, z);
  } else {
    if (CastCheckAtCell(*caster, spell, caster->cellX, caster->cellY, caster->level, best.targetX, best.targetY,
                        best.targetLevel) != 0)
      return true;
    CellAimPoint(best.targetX, best.targetY, best.targetLevel, x, y, z);
  }
  Cast(*caster, bestEvent.targetKind == kTargetSelf ? caster->index : -1, x, y, z);
  g_aiScriptSpells->RearmEvent(bestEvent.record);
  FinishCast(*caster);
  return true;
}
