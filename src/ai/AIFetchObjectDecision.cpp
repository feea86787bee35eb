#include "ai/AIFetchObjectDecision.h"

#include "ai/AIBudget.h"
#include "ai/AIGroupNode.h"
#include "ai/AIQueries.h"
#include "ai/AIUtilities.h"
#include "creatures/Armies.h"
#include "creatures/Mapelem.h"

bool CAIFetchObjectDecision::Fetches(int kind) { return (kind >= 0 && kind <= 4) || kind == 6; }

bool CAIFetchObjectDecision::GroupApplies(CAIGroupNode* node) const {
  return NoMemberBound(node) || GroupHasWizard(node);
}

bool CAIFetchObjectDecision::MayCarry(const CCreature& member) const { return !member.illusion; }

void CAIFetchObjectDecision::AppendInputs(int) {
  const CCreature& carrier = *work.candidate->creature;
  const float ratio = g_armyTable.GetWizard(side) ? SideRatio(side) : 0.0f;
  work.vector.push_back(WizardDistanceInput(wizardInGroup ? 0.0f : wizardDistanceSum, ratio));
  AppendCarrierInputs(carrier);
}

bool CAIFetchObjectDecision::Step(CAIPlayerMemory*, int, CAIBudget& budget) {
  budget.steps -= kStepCharge;
  CCreature* carrier = KeptCarrier();
  if (!carrier) return false;
  if (carrier->RateCurrentNode() > kept.resultA || !KeptObjectThere()) {
    HoldMember(*carrier);
    return false;
  }
  const int cursor = GroupFirstMember(group);
  while (CCreature* member = GroupNextMember(group, cursor)) {
    if (LeftAlone(*member)) continue;
    if (member == carrier)
      member->EnsureWalkTo(keptPlace.x, keptPlace.y, keptPlace.z, 0);
    else if (!WalksNear(*member, *carrier))
      member->WalkTo(carrier->cellX, carrier->cellY, carrier->level);
  }
  return true;
}
