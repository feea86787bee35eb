#include "ai/AIGroupDecision.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "ai/AIBudget.h"
#include "ai/AICertainty.h"
#include "ai/AIGroupBuilder.h"
#include "ai/AIGroupNode.h"
#include "ai/AIMeasures.h"
#include "ai/AIPlayerMemory.h"
#include "ai/AIQueries.h"
#include "ai/AISpellDecision.h"
#include "ai/AIUtilities.h"
#include "ai/Brain.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureType.h"
#include "creatures/Mapelem.h"
#include "map/MapUnits.h"
#include "map/PathNetwork.h"

namespace {

// The measures every group decision of types 6-10 describes its situation with.
constexpr int kGroupMeasureIds[] = {28, 29, 30, 31,  8,   13,  27,  3,   32,  33,  26,  34,  35,  36,  37,  38, 39,
                                    40, 41, 42, 43,  44,  45,  46,  47,  48,  49,  50,  51,  52,  53,  54,  55, 57,
                                    85, 86, 87, 88,  65,  70,  84,  60,  89,  90,  83,  91,  92,  93,  94,  95, 96,
                                    97, 98, 99, 100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 122};
static_assert(std::size(kGroupMeasureIds) == 67);

int32_t ClampToInt(double value) {
  if (!(value == value)) return 0;
  return static_cast<int32_t>(std::clamp(value, static_cast<double>(INT32_MIN), static_cast<double>(INT32_MAX)));
}

}  // namespace

std::span<const int> GroupDecisionMeasureIds() { return kGroupMeasureIds; }

bool CAIGroupDecision::PassesGroupChecks(CAIGroupNode* node, CAIPlayerMemory* players) {
  prepared = 0;
  group = node;
  sides_ = players;
  if (!IsDecisionTypeEnabled(type, side)) return false;
  if (!node || node->kind != 0 || node->parent) return false;
  if (!AllMembersOnPathNodes(node)) return false;
  if (!NoMemberBound(node) && !GroupHasWizard(node)) return false;
  return g_armyTable.GetWizard(side) && players;
}

void CAIGroupDecision::Prepare(CAIGroupNode* node, CAIPlayerMemory* players, int tick) {
  if (!PassesGroupChecks(node, players)) return;
  CAIGroupBuilder builder(groups);
  candidateRoot = builder.ClusterSightings(players[side], side, tick, true);
  if (CountChildren(candidateRoot) == 0) return;
  prepared = 1;
  candidateCursor = GroupFirstMember(candidateRoot);
  wizardInGroup = GroupHasWizard(node) ? 1 : 0;
  restart = 1;
  evaluationEndTick = GetDecisionEndTick(tick, type, node);
}

bool CAIGroupDecision::NextCandidate() {
  while (GroupNextMember(group, memberCursor)) {
  }
  currentCandidate = NextChild(candidateRoot, candidateCursor);
  stage = 0;
  return currentCandidate != nullptr;
}

bool CAIGroupDecision::Evaluate(float* score, CAIBudget& budget, int tick) {
  if (!prepared) return false;
  if (restart) {
    restart = 0;
    currentCandidate = NextChild(candidateRoot, candidateCursor);
    stage = 0;
  }
  while (currentCandidate && tick <= evaluationEndTick) {
    if (stage == 0) {
      memberCursor = GroupFirstMember(group);
      if (currentCandidate->pathNode == -1) {
        NextCandidate();
        continue;
      }
      work.candidate = currentCandidate;
      work.resultA = 0;
      ZeroAccumulators();
      currentMember = GroupNextMember(group, memberCursor);
      memberStage = 0;
      stage = 1;
    }
    const SearchOutcome outcome = RouteMembers(currentCandidate->pathNode, budget);
    if (outcome == SearchOutcome::kBudgetSpent) return false;
    if (outcome == SearchOutcome::kUnreached) {
      NextCandidate();
      continue;
    }
    *score = FinishCandidate();
    restart = 1;
    return true;
  }
  return false;
}

void CAIGroupDecision::StartMembers() {
  memberCursor = GroupFirstMember(group);
  currentMember = GroupNextMember(group, memberCursor);
  memberStage = 0;
}

CAIGroupDecision::SearchOutcome CAIGroupDecision::RouteMembers(int goalNode, CAIBudget& budget, int* sharedAllowance) {
  while (currentMember) {
    if (memberStage == 0) {
      route.NewSearch();
      if (!sharedAllowance) memberAllowance = kMemberAllowance;
      memberStage = 1;
    }
    if (currentMember->nodeRoute.NearestNode() == -1) return SearchOutcome::kBudgetSpent;
    int& allowance = sharedAllowance ? *sharedAllowance : memberAllowance;
    const SearchOutcome outcome = SearchMemberRoute(*currentMember, goalNode, allowance, budget);
    if (outcome != SearchOutcome::kReached) return outcome;
    FoldMember(*currentMember, goalNode);
    currentMember = GroupNextMember(group, memberCursor);
    memberStage = 0;
  }
  return SearchOutcome::kReached;
}

CAIGroupDecision::SearchOutcome CAIGroupDecision::SearchMemberRoute(CCreature& member, int goalNode, int& allowance,
                                                                    CAIBudget& budget) {
  int32_t expansions = TakeRouteExpansions(budget, allowance);
  const bool reached = route.Search(member.index, member.nodeRoute.NearestNode(), goalNode, DangerRoutes(), expansions);
  RefundRouteExpansions(budget, allowance, expansions);
  if (budget.Remaining() < 1) return SearchOutcome::kBudgetSpent;
  return reached ? SearchOutcome::kReached : SearchOutcome::kUnreached;
}

int CAIGroupDecision::RouteDanger(const CCreature& member) const {
  int danger = 0;
  for (auto it = route.Found().rbegin(); it != route.Found().rend(); ++it)
    danger = std::max(danger, member.RateNode(it->first));
  return danger;
}

void CAIGroupDecision::FoldMember(const CCreature& member, int goalNode) {
  const int travel = RouteTravelTime(member, route.RouteLength());
  if (!wizardInGroup) wizardDistanceSum += DistanceRatioToWizard(member, goalNode);
  longestTravel = std::max(longestTravel, travel);
  routeRatingSum += route.RouteRating();
  nodeRatingSum += member.RateNode(goalNode);
  work.resultA = std::max(work.resultA, RouteDanger(member));
}

void CAIGroupDecision::ZeroAccumulators() {
  wizardDistanceSum = 0.0f;
  longestTravel = 0;
  routeRatingSum = nodeRatingSum = 0;
}

float CAIGroupDecision::FinishCandidate() {
  work.delay = ClampToInt(std::trunc(ExponentialRandom(DelayMean()) + longestTravel + DelayBase()));
  ComputeGroupMeasures(group, MeasuredAgainst(), work.delay, work.vector, GroupDecisionMeasureIds());
  AppendInputs(CountMembers(group));
  return Certainty();
}

float CAIGroupDecision::Certainty() {
  float probabilities[3] = {};
  g_brain.Evaluate(type, work.vector, 3, probabilities);
  float certainty = ClampCertaintyGap(probabilities[0], probabilities[2]);
  ApplyWizardDecisionBias(type, certainty, side);
  return certainty;
}

void CAIGroupDecision::KeepBest() {
  kept.candidate = work.candidate;
  kept.resultA = work.resultA;
  kept.delay = work.delay;
  kept.vector.assign(work.vector.begin(), work.vector.end());
  keptPlace = workPlace;
}

int CAIGroupDecision::Execute() {
  experienceIndex = g_brain.AddExperience(type, kept.vector);
  return kept.delay;
}

// --- shared by Step ---

bool HaltOnDanger(CAIGroupNode* group, int ceiling) {
  bool danger = false;
  const int cursor = GroupFirstMember(group);
  while (CCreature* member = GroupNextMember(group, cursor))
    if (member->RateCurrentNode() > ceiling) danger = true;
  if (!danger) return false;
  const int holdCursor = GroupFirstMember(group);
  while (CCreature* member = GroupNextMember(group, holdCursor)) HoldMember(*member);
  return true;
}

bool LeftAlone(const CCreature& member) {
  const CAIDecision* sideDecision = GetGroupDecision(member, 1);
  if (sideDecision && sideDecision->type != kAIManaReserveDecisionType) return true;
  if (!member.IsWizard() && member.IsInCombat()) return true;
  return member.motion.routeWait != 0;
}

void HoldMember(CCreature& member) {
  // On to where its step ends, or where it stands: no other place is taken.
  member.HaltInPlace(0);
}

int RouteTravelTime(const CCreature& member, int length) {
  if (!member.type) return 0;
  return TravelTime(std::max(length, 0), std::max(member.ApplyHasteSlow(member.type->maxSpeed), 1));
}

float DistanceRatioToWizard(const CCreature& member, int node) {
  const CCreature* wizard = g_armyTable.GetWizard(member.army);
  const CPathNode* record = g_pathNetwork.GetNode(node);
  if (!wizard || wizard == &member || !record || !wizard->type) return 0.0f;
  const int fromNode = CellDistanceApprox(WrapDeltaX(record->x, wizard->cellX), WrapDeltaY(record->y, wizard->cellY),
                                          wizard->level - record->level);
  return static_cast<float>(fromNode) / static_cast<float>(wizard->type->ViewRange + 1);
}

int32_t WizardDistanceInput(float sum, float ratio) {
  const double s = sum, u = ratio;
  return ClampToInt(std::trunc(-100.0 * s * u * u / (s * u + 1.0)));
}

bool GroupRunsUnitDecision(CAIGroupNode* group, int type, const std::function<bool(const CAIDecision&)>& test) {
  bool found = false;
  const int cursor = GroupFirstMember(group);
  while (CCreature* member = GroupNextMember(group, cursor)) {
    const CAIDecision* decision = GetGroupDecision(*member, 0);
    if (!found && decision && decision->type == type && test(*decision)) found = true;
  }
  return found;
}

bool SideRunsUnitDecision(int side, int type, const std::function<bool(const CAIDecision&)>& test) {
  bool found = false;
  g_creatureArray.ForEachInUse([&](const CCreature& creature) {
    if (found || creature.army != side || !creature.IsAlive()) return;
    const CAIDecision* decision = GetGroupDecision(creature, 0);
    found = decision && decision->type == type && test(*decision);
  });
  return found;
}

int32_t PerMember(int64_t sum, int members) { return members > 0 ? static_cast<int32_t>(sum / members) : 0; }
