#include "ai/AICollectManaDecision.h"

#include "ai/AIBudget.h"
#include "ai/AIGroupNode.h"
#include "ai/AIQueries.h"
#include "ai/AISpellDecision.h"
#include "ai/AIUtilities.h"
#include "creatures/Mapelem.h"

bool CAICollectManaDecision::GroupApplies(CAIGroupNode* node) const { return GroupHasWizard(node); }

bool CAICollectManaDecision::MayCarry(const CCreature& member) const { return member.IsWizard() && !member.illusion; }

void CAICollectManaDecision::AppendInputs(int) {
  AppendCarrierInputs(*work.candidate->creature);
}

bool CAICollectManaDecision::Step(CAIPlayerMemory*, int, CAIBudget& budget) {
  budget.steps -= kStepCharge;
  CCreature* wizard = KeptCarrier();
  if (wizard && wizard->RateCurrentNode() > kept.resultA) {
    HoldMember(*wizard);
    return false;
  }
  if (!KeptObjectThere()) {
    if (wizard) HoldMember(*wizard);
    return false;
  }
  if (!wizard) return true;
  const int cursor = GroupFirstMember(group);
  while (CCreature* member = GroupNextMember(group, cursor)) {
    if (member == wizard) {
      const CAIDecision* sideDecision = GetGroupDecision(*member, 1);
      if ((sideDecision && sideDecision->type != kAIManaReserveDecisionType) || member->motion.routeWait) continue;
      member->EnsureWalkTo(keptPlace.x, keptPlace.y, keptPlace.z, 0);
      continue;
    }
    if ((!member->IsWizard() && member->IsInCombat()) || member->motion.routeWait) continue;
    if (WalksNear(*member, *wizard)) continue;
    member->WalkTo(wizard->cellX, wizard->cellY, wizard->level);
  }
  return true;
}
