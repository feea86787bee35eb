#include "ai/AIEvadeDecision.h"

#include <algorithm>

#include "ai/AIBudget.h"
#include "ai/AICertainty.h"
#include "ai/AIGroupBuilder.h"
#include "ai/AIGroupNode.h"
#include "ai/AIQueries.h"
#include "ai/AISpellDecision.h"
#include "ai/AIUtilities.h"
#include "creatures/Armies.h"
#include "creatures/Mapelem.h"
#include "map/MapUnits.h"
#include "map/PathNetwork.h"

namespace {

constexpr int kStageStart = 0, kStageQuietNode = 1, kStageMembers = 2, kStageDone = 3;

}  // namespace

void CAIEvadeDecision::Prepare(CAIGroupNode* node, CAIPlayerMemory* players, int tick) {
  if (!PassesGroupChecks(node, players)) return;
  CAIGroupBuilder builder(groups);
  candidateRoot = builder.BuildAttackersGroup(node);
  // Nobody attacks the group: nothing to evade.
  if (CountChildren(candidateRoot) < 1) return;
  prepared = 1;
  wizardInGroup = GroupHasWizard(node) ? 1 : 0;
  restart = 1;
  evaluationEndTick = GetDecisionEndTick(tick, type, node);
}

bool CAIEvadeDecision::Evaluate(float* score, CAIBudget& budget, int tick) {
  if (!prepared) return false;
  if (restart) {
    restart = 0;
    stage = kStageStart;
  }
  while (tick <= evaluationEndTick && stage != kStageDone) {
    if (stage == kStageStart) {
      StartMembers();
      nodeSearch.newSearch = true;
      groupAllowance = kGroupAllowance;
      stage = kStageQuietNode;
    }
    if (stage == kStageQuietNode) {
      const int found = FindQuietNode(budget);
      if (found < 0) return false;
      if (found == 0) {
        stage = kStageDone;  // no quiet place within reach: no candidate
        return false;
      }
      stage = kStageMembers;
    }
    const SearchOutcome outcome = RouteMembers(quietNode, budget, &groupAllowance);
    if (outcome == SearchOutcome::kBudgetSpent) return false;
    stage = kStageDone;
    if (outcome == SearchOutcome::kUnreached) return false;
    *score = FinishCandidate();
    return true;
  }
  return false;
}

int CAIEvadeDecision::FindQuietNode(CAIBudget& budget) {
  if (!currentMember || currentMember->nodeRoute.NearestNode() == -1) return -1;
  CCreature& first = *currentMember;
  nodeSearch.qualifies = [&first](int node) { return NodeUnrated(first, node); };
  int32_t expansions = TakeRouteExpansions(budget, groupAllowance);
  const bool ended = nodeSearch.Run(first.index, first.nodeRoute.NearestNode(), expansions);
  RefundRouteExpansions(budget, groupAllowance, expansions);
  if (!ended) return budget.Remaining() < 1 ? -1 : 0;  // the frame's budget, or the allowance, ran out
  if (nodeSearch.bestNode < 0) return 0;

  const CPathNode* node = g_pathNetwork.GetNode(nodeSearch.bestNode);
  if (!node || nodeSearch.route.empty()) return 0;
  quietNode = nodeSearch.bestNode;
  workPlace = {CWrapCoord::WrapX(node->x), CWrapCoord::WrapY(node->y), node->level};
  ZeroAccumulators();
  const CSearchStep& reached = nodeSearch.route.front().second;
  longestTravel = RouteTravelTime(first, reached.length);
  if (!wizardInGroup) wizardDistanceSum += DistanceRatioToWizard(first, quietNode);
  routeRatingSum = reached.rating;
  nodeRatingSum = first.RateNode(quietNode);
  work.resultA = 0;
  for (auto it = nodeSearch.route.rbegin(); it != nodeSearch.route.rend(); ++it)
    work.resultA = std::max(work.resultA, first.RateNode(it->first));
  work.candidate = candidateRoot;
  currentMember = GroupNextMember(group, memberCursor);
  memberStage = 0;
  return 1;
}

void CAIEvadeDecision::AppendInputs(int members) {
  const float ratio = g_armyTable.GetWizard(side) ? SideRatio(side) : 0.0f;
  work.vector.push_back(WizardDistanceInput(wizardInGroup ? 0.0f : wizardDistanceSum, ratio));
  work.vector.push_back(longestTravel);
  work.vector.push_back(PerMember(routeRatingSum, members));
  work.vector.push_back(PerMember(nodeRatingSum, members));
  work.vector.push_back(NodeOpenAbove(quietNode) ? 1 : 0);
}

bool CAIEvadeDecision::Step(CAIPlayerMemory*, int, CAIBudget& budget) {
  budget.steps -= kStepCharge;
  if (HaltOnDanger(group, kept.resultA)) return false;
  const int cursor = GroupFirstMember(group);
  while (CCreature* member = GroupNextMember(group, cursor)) {
    // A troop in combat flees too: only another side-level plan or a wait for a way holds it.
    const CAIDecision* sideDecision = GetGroupDecision(*member, 1);
    if (sideDecision && sideDecision->type != kAIManaReserveDecisionType) continue;
    if (member->motion.routeWait) continue;
    member->aiDangerRoute = 1;
    member->EnsureWalkTo(keptPlace.x, keptPlace.y, keptPlace.z, 0);
  }
  return true;
}
