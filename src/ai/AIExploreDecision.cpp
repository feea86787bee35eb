#include "ai/AIExploreDecision.h"

#include <algorithm>

#include "ai/AIBudget.h"
#include "ai/AICertainty.h"
#include "ai/AIGroupBuilder.h"
#include "ai/AIGroupNode.h"
#include "ai/AIUtilities.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureStrength.h"
#include "creatures/CreatureType.h"
#include "creatures/Mapelem.h"
#include "map/LineWalker.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "map/PathNetwork.h"

namespace {

// Whether the line of cells from one place to another, as far as the viewer's type sees,
// reaches its end.
bool SightReaches(CLineWalker& line, const CCreature& viewer, int x0, int y0, int z0, int x1, int y1, int z1) {
  if (!viewer.type) return false;
  const int eye = z0 + viewer.type->TileHeight - 1;
  return line.TraceCells(x0, y0, eye, x1, y1, z1, viewer.type->ViewRange * 32) == kCellsReached;
}

}  // namespace

void CAIExploreDecision::Prepare(CAIGroupNode* node, CAIPlayerMemory* players, int tick) {
  if (!PassesGroupChecks(node, players)) return;
  prepared = 1;
  triesLeft = kTries;
  CAIGroupBuilder builder(groups);
  candidateRoot = builder.BuildAttackersGroup(node);
  wizardInGroup = GroupHasWizard(node) ? 1 : 0;
  restart = 1;
  evaluationEndTick = GetDecisionEndTick(tick, type, node);
}

bool CAIExploreDecision::SideSees(int x, int y, int z) {
  bool seen = false;
  g_creatureArray.ForEachInUse([&](const CCreature& creature) {
    if (seen || creature.army != side || !creature.IsAlive()) return;
    seen = SightReaches(line, creature, creature.cellX, creature.cellY, creature.level, x, y, z);
  });
  return seen;
}

bool CAIExploreDecision::DrawNode() {
  --triesLeft;
  // An empty network gives no node; the draw still spends the try.
  const int used = g_pathNetwork.count;
  if (used <= 0) return false;
  const int index = RandomBits31() % used;
  if (index >= g_pathNetwork.capacity) return false;
  const CPathNode* node = g_pathNetwork.GetNode(index);
  if (!node) return false;
  const int x = CWrapCoord::WrapX(node->x), y = CWrapCoord::WrapY(node->y);
  const int targetLevel = node->level + 1 < g_map.levels ? node->level + 1 : node->level;
  if (SideSees(x, y, targetLevel)) return false;
  const auto sameNode = [index](const CAIDecision& d) {
    return static_cast<const CAIExploreDecision&>(d).keptNode == index;
  };
  if (SideRunsUnitDecision(side, type, sameNode)) return false;
  workNode = index;
  workPlace = {x, y, node->level};
  return true;
}

bool CAIExploreDecision::Evaluate(float* score, CAIBudget& budget, int tick) {
  if (!prepared) return false;
  if (restart) {
    restart = 0;
    stage = 0;
  }
  while (tick <= evaluationEndTick) {
    if (stage == 0) {
      if (triesLeft <= 0) return false;
      if (!DrawNode()) continue;
      ZeroAccumulators();
      work.resultA = 0;
      work.candidate = candidateRoot;
      StartMembers();
      stage = 1;
    }
    const SearchOutcome outcome = RouteMembers(workNode, budget);
    if (outcome == SearchOutcome::kBudgetSpent) return false;
    stage = 0;
    if (outcome == SearchOutcome::kUnreached) {
      while (GroupNextMember(group, memberCursor)) {
      }
      continue;
    }
    *score = FinishCandidate();
    restart = 1;
    return true;
  }
  return false;
}

void CAIExploreDecision::AppendInputs(int members) {
  const float ratio = g_armyTable.GetWizard(side) ? SideRatio(side) : 0.0f;
  work.vector.push_back(WizardDistanceInput(wizardInGroup ? 0.0f : wizardDistanceSum, ratio));
  work.vector.push_back(longestTravel);
  work.vector.push_back(PerMember(routeRatingSum, members));
  work.vector.push_back(PerMember(nodeRatingSum, members));
}

void CAIExploreDecision::KeepBest() {
  CAIGroupDecision::KeepBest();
  keptNode = workNode;
}

bool CAIExploreDecision::WalkSeesKeptNode(const CCreature& member) {
  COrderReport order;
  member.GetCurrentOrder(order);
  if (order.kind != 2) return false;
  return SightReaches(line, member, order.x, order.y, order.level, keptPlace.x, keptPlace.y, keptPlace.z + 1);
}

bool CAIExploreDecision::Step(CAIPlayerMemory*, int, CAIBudget& budget) {
  budget.steps -= kStepCharge;
  if (HaltOnDanger(group, kept.resultA)) return false;
  bool needsOrders = false;
  const int cursor = GroupFirstMember(group);
  while (CCreature* member = GroupNextMember(group, cursor))
    if (!needsOrders && !LeftAlone(*member) && !WalkSeesKeptNode(*member)) needsOrders = true;
  if (!needsOrders) return true;
  const int orderCursor = GroupFirstMember(group);
  while (CCreature* member = GroupNextMember(group, orderCursor)) {
    if (LeftAlone(*member)) continue;
    member->SetRouteWait(1);
    member->WalkTo(keptPlace.x, keptPlace.y, keptPlace.z);
  }
  return true;
}
