#include "ai/AIRaiseDeadDecision.h"

#include "ai/AIBudget.h"
#include "ai/AIFlaggedCells.h"
#include "ai/AIGroupBuilder.h"
#include "ai/AISummonDecision.h"
#include "ai/AIUtilities.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureType.h"
#include "creatures/SpellDefinition.h"
#include "creatures/Wizard.h"
#include "map/Map.h"

bool CAIRaiseDeadDecision::HasRoomToRise(const CCreature& dead) {
  const CCreatureType& type = dead.type ? *dead.type : g_creatureTypes[dead.typeNumber];
  return g_map.IsColumnBlocked(dead.cellX, dead.cellY, dead.level, type.TileHeight, type.TileSizeXY == 2 ? 2 : 1,
                               dead.index) == 0;
}

void CAIRaiseDeadDecision::Prepare(CAIGroupNode* node, CAIPlayerMemory*, int tick) {
  BeginPrepare();
  dead.clear();
  deadLeft = 0;
  graveCursor = 0;
  if (!PassGate(node)) return;
  const CCreature& caster = *Caster();
  if (caster.behaviour.armyCount >= caster.aiWords[wizard_words::kControlLimit]) return;
  if (g_creatureArray.HasListed()) {
    g_creatureArray.ResetListCursor();
    while (CCreature* body = g_creatureArray.NextListed()) {
      CAICreatureRef ref;
      ref.Set(body);
      dead.push_back(ref);
    }
  } else if (!FindFlaggedCellInReach(g_spellDefs[kSpell].Range / 2, caster.cellX, caster.cellY, caster.level)) {
    return;
  }
  FetchSideGroups(node);
  ComputePrior(AddCreaturePriorTerms());
  FinishPrepare(tick);
}

bool CAIRaiseDeadDecision::Raisable(const CCreature& caster, const CCreature& body) const {
  return body.inUse && body.health == 0 && caster.ArmySees(body) &&
         WithinRange(g_spellDefs[kSpell].Range, caster.cellX, caster.cellY, caster.level, body.cellX, body.cellY,
                     body.level) &&
         HasRoomToRise(body);
}

bool CAIRaiseDeadDecision::TakeCandidate(bool first) {
  working = CAISpellCandidate{};
  if (first) {
    deadLeft = dead.size();
    graveCursor = 0;
  }
  const CCreature* caster = Caster();
  if (!caster) return false;
  // The bodies first, the last listed first.
  while (deadLeft > 0) {
    CCreature* body = dead[--deadLeft].Get();
    if (!body || !Raisable(*caster, *body)) continue;
    working.target.Set(body);
    working.targetX = body->cellX;
    working.targetY = body->cellY;
    working.targetLevel = body->level;
    return true;
  }
  while (graveCursor < kAIFlaggedCellsMax) {
    const CAIFlaggedCell& grave = g_aiFlaggedCells[graveCursor++];
    if (!grave.inUse) continue;
    working.targetX = grave.x;
    working.targetY = grave.y;
    working.targetLevel = grave.level;
    return true;
  }
  return false;
}

bool CAIRaiseDeadDecision::Evaluate(float* score, CAIBudget& budget, int tick) {
  if (!FindCastPosition(budget, tick)) return false;
  CCreature* caster = Caster();
  const CCreature* body = working.target.IsSet() ? working.target.Get() : nullptr;
  float certainty = -1.0f;
  if (caster) {
    CCreature scratch;  // never in the pool
    scratch.index = -1;
    scratch.InitAsType(body ? body->typeNumber : kGraveRiserType, caster->army, 1);
    budget.steps -= 1;
    CAIGroupBuilder builder(groups);
    certainty = builder.ScoreGroup(*caster, scratch, ownGroup, hostileGroup, attackersGroup, prior);
  }
  float weight = kStartWeight;
  ApplySpellTail(weight, certainty);
  *score = certainty;
  return true;
}

bool CAIRaiseDeadDecision::Step(CAIPlayerMemory*, int, CAIBudget&) {
  CCreature* caster = Caster();
  if (!caster) return false;
  if (!OnCastCell(*caster) || !ReadyToCast(*caster)) return true;
  int x = 0, y = 0, z = 0;
  CCreature* body = nullptr;
  if (best.target.IsSet()) {
    body = best.target.Get();
    if (!body || !body->inUse || body->health != 0 || !HasRoomToRise(*body)) return true;
    if (CastCheckAtCreature(*caster, kSpell, caster->cellX, caster->cellY, caster->level, body) != 0) return true;
    CreatureAimPoint(*body, x, y, z);
  } else {
    if (CastCheckAtCell(*caster, kSpell, caster->cellX, caster->cellY, caster->level, best.targetX, best.targetY,
                        best.targetLevel) != 0)
      return true;
    CellAimPoint(best.targetX, best.targetY, best.targetLevel, x, y, z);
  }
  Cast(*caster, body ? body->index : -1, x, y, z);
  FinishCast(*caster);
  return true;
}
