#include "ai/AIRallyDecision.h"

#include <algorithm>

#include "ai/AIBudget.h"
#include "ai/AICertainty.h"
#include "ai/AIGroupBuilder.h"
#include "ai/AIGroupNode.h"
#include "ai/AIQueries.h"
#include "ai/AIUtilities.h"
#include "creatures/Mapelem.h"
#include "map/MapUnits.h"
#include "map/PathNetwork.h"

void CAIRallyDecision::Prepare(CAIGroupNode* node, CAIPlayerMemory* players, int tick) {
  prepared = 0;
  group = node;
  sides_ = players;
  if (!IsDecisionTypeEnabled(type, side)) return;
  if (!node || node->kind != 0 || node->parent) return;
  if (!AllMembersOnPathNodes(node) || !GroupHasWizard(node)) return;
  memberCursor = GroupFirstMember(node);
  CAIGroupBuilder builder(groups);
  seenEnemies = builder.BuildSeenEnemiesGroup(side);
  wizardInGroup = 1;
  if (CountChildren(seenEnemies) <= 0) return;
  prepared = 1;
  restart = 1;
  evaluationEndTick = GetDecisionEndTick(tick, type, node);
}

void CAIRallyDecision::Restart() {
  // A retry starts from the first member again: its view of the map defines the rally node.
  while (GroupNextMember(group, memberCursor)) {
  }
  memberCursor = GroupFirstMember(group);
  currentMember = GroupNextMember(group, memberCursor);
  stage = 0;
}

bool CAIRallyDecision::Evaluate(float* score, CAIBudget& budget, int tick) {
  if (!prepared) return false;
  if (restart) {
    restart = 0;
    currentMember = GroupNextMember(group, memberCursor);
    stage = 0;
  }
  while (tick <= evaluationEndTick && stage != 3) {
    if (stage == 0) {
      nodeSearch.newSearch = true;
      groupAllowance = kGroupAllowance;
      stage = 1;
    }
    if (stage == 1) {
      const int found = FindRallyNode(budget);
      if (found < 0) return false;
      if (found == 0) {
        Restart();
        return false;
      }
      stage = 2;
    }
    while (currentMember) {
      const int routed = RouteMember(budget);
      if (routed < 0) return false;
      if (routed == 0) {
        Restart();
        return false;
      }
      currentMember = GroupNextMember(group, memberCursor);
      route.NewSearch();
    }
    *score = FinishCandidate();
    stage = 3;
    return true;
  }
  return false;
}

int CAIRallyDecision::FindRallyNode(CAIBudget& budget) {
  if (!currentMember || currentMember->nodeRoute.NearestNode() == -1) return -1;
  int32_t expansions = TakeRouteExpansions(budget, groupAllowance);
  const bool ended = nodeSearch.Run(currentMember->index, currentMember->nodeRoute.NearestNode(), expansions);
  RefundRouteExpansions(budget, groupAllowance, expansions);
  if (budget.Remaining() < 1) return -1;
  if (!ended || nodeSearch.bestNode < 0 || expansions < 1) return 0;

  const CPathNode* node = g_pathNetwork.GetNode(nodeSearch.bestNode);
  if (!node) return 0;
  rallyNode = nodeSearch.bestNode;
  workPlace = {CWrapCoord::WrapX(node->x), CWrapCoord::WrapY(node->y), node->level};
  ZeroAccumulators();
  const CCreature& first = *currentMember;
  const CSearchStep& reached = nodeSearch.route.front().second;
  longestTravel = RouteTravelTime(first, reached.length);
  routeRatingSum = reached.rating;
  nodeRatingSum = first.RateNode(rallyNode);
  work.resultA = 0;
  for (auto it = nodeSearch.route.rbegin(); it != nodeSearch.route.rend(); ++it)
    work.resultA = std::max(work.resultA, first.RateNode(it->first));
  work.candidate = seenEnemies;
  currentMember = GroupNextMember(group, memberCursor);
  route.NewSearch();
  return 1;
}

int CAIRallyDecision::RouteMember(CAIBudget& budget) {
  if (currentMember->nodeRoute.NearestNode() == -1) return -1;
  switch (SearchMemberRoute(*currentMember, rallyNode, groupAllowance, budget)) {
    case SearchOutcome::kBudgetSpent:
      return -1;
    case SearchOutcome::kUnreached:
      return 0;
    case SearchOutcome::kReached:
      break;
  }
  longestTravel = std::max(longestTravel, RouteTravelTime(*currentMember, route.RouteLength()));
  routeRatingSum += route.RouteRating();
  nodeRatingSum += currentMember->RateNode(rallyNode);
  work.resultA = std::max(work.resultA, RouteDanger(*currentMember));
  return 1;
}

void CAIRallyDecision::AppendInputs(int members) {
  // The group holds its wizard, so the wizard-distance sum, and with it the input, is 0.
  work.vector.push_back(WizardDistanceInput(0.0f, SideRatio(side)));
  work.vector.push_back(longestTravel);
  work.vector.push_back(members > 0 ? static_cast<int32_t>(routeRatingSum / members) : 0);
  work.vector.push_back(members > 0 ? static_cast<int32_t>(nodeRatingSum / members) : 0);
}

bool CAIRallyDecision::Step(CAIPlayerMemory*, int, CAIBudget& budget) {
  budget.steps -= kStepCharge;
  if (HaltOnDanger(group, kept.resultA)) return false;
  const int cursor = GroupFirstMember(group);
  while (CCreature* member = GroupNextMember(group, cursor))
    if (!LeftAlone(*member)) member->EnsureWalkTo(keptPlace.x, keptPlace.y, keptPlace.z, 0);
  return true;
}
