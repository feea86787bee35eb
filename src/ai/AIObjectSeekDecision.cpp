#include "ai/AIObjectSeekDecision.h"

#include <algorithm>
#include <climits>

#include "ai/AIBudget.h"
#include "ai/AICertainty.h"
#include "ai/AIGroupBuilder.h"
#include "ai/AIGroupNode.h"
#include "ai/AIQueries.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureStrength.h"
#include "creatures/MapObject.h"
#include "creatures/Mapelem.h"
#include "map/MapUnits.h"

namespace {

constexpr int kStageObject = 0, kStageTaken = 1, kStageRoute = 2, kStageScored = 3;

}  // namespace

void CAIObjectSeekDecision::Prepare(CAIGroupNode* node, CAIPlayerMemory* players, int tick) {
  prepared = 0;
  group = node;
  sides_ = players;
  if (!IsDecisionTypeEnabled(type, side)) return;
  if (!node || node->kind != 0 || node->parent) return;
  if (!GroupApplies(node) || !GroupHasRealMember(node)) return;
  if (!g_armyTable.GetWizard(side) || !players) return;
  prepared = 1;
  memberCursor = GroupFirstMember(node);
  CAIGroupBuilder builder(groups);
  candidateRoot = builder.BuildAttackersGroup(node);
  wizardInGroup = GroupHasWizard(node) ? 1 : 0;
  restart = 1;
  evaluationEndTick = GetDecisionEndTick(tick, type, node);
}

bool CAIObjectSeekDecision::FindNearestObject(const CCreature& member) {
  uint32_t nearest = UINT32_MAX;
  const CMapObject* found = nullptr;
  for (int slot = 0; slot < static_cast<int>(g_mapObjects.records.size()); ++slot) {
    const CMapObject* object = g_mapObjects.InUse(slot);
    if (!object || !Seeks(object->kind)) continue;
    const uint32_t d =
        WrappedDistanceSq(member.cellX, member.cellY, member.level, object->cellX, object->cellY, object->level);
    if (found && d >= nearest) continue;
    nearest = d;
    found = object;
  }
  if (!found) return false;
  workObject = found->index;
  workObjectKind = found->kind;
  workPlace = {found->cellX, found->cellY, found->level};
  objectNode = found->node;
  return true;
}

bool CAIObjectSeekDecision::TakenBySide() {
  const int object = workObject;
  const auto same = [object](const CAIDecision& d) {
    return static_cast<const CAIObjectSeekDecision&>(d).keptObject == object;
  };
  // The group's own running decision keeps its object; another group's takes it away.
  if (GroupRunsUnitDecision(group, type, same)) return false;
  return SideRunsUnitDecision(side, type, same);
}

void CAIObjectSeekDecision::PassOver() {
  currentCandidate = NextLeaf(group, memberCursor);
  stage = kStageObject;
}

bool CAIObjectSeekDecision::Evaluate(float* score, CAIBudget& budget, int tick) {
  if (!prepared) return false;
  if (restart) {
    restart = 0;
    PassOver();
  }
  while (currentCandidate && tick <= evaluationEndTick) {
    // Between frames the candidate's creature may have died or left the group, and the
    // controller may have freed its leaf: a leaf no longer in the group is passed over unread.
    if (!HoldsNode(group, currentCandidate)) {
      PassOver();
      continue;
    }
    CCreature& member = *currentCandidate->creature;
    if (stage == kStageScored) {
      PassOver();
      continue;
    }
    if (stage == kStageObject) {
      if (!MayCarry(member) || !FindNearestObject(member)) {
        PassOver();
        continue;
      }
      stage = kStageTaken;
    }
    if (stage == kStageTaken) {
      if (TakenBySide()) {
        PassOver();
        continue;
      }
      if (member.nodeRoute.NearestNode() == -1) return false;
      if (objectNode == -1) {
        PassOver();
        continue;
      }
      route.NewSearch();
      memberAllowance = kMemberAllowance;
      stage = kStageRoute;
    }
    const SearchOutcome outcome = SearchMemberRoute(member, objectNode, memberAllowance, budget);
    if (outcome == SearchOutcome::kBudgetSpent) return false;
    if (outcome == SearchOutcome::kUnreached) {
      PassOver();
      continue;
    }
    FoldCarrier(member);
    *score = FinishCandidate();
    stage = kStageScored;
    restart = 1;
    return true;
  }
  return false;
}

void CAIObjectSeekDecision::FoldCarrier(const CCreature& carrier) {
  work.candidate = currentCandidate;
  workCarrier = carrier.index;
  ZeroAccumulators();
  longestTravel = RouteTravelTime(carrier, route.RouteLength());
  carrierRouteRating = route.RouteRating();
  if (!wizardInGroup) {
    const int cursor = GroupFirstMember(group);
    while (const CCreature* member = GroupNextMember(group, cursor))
      wizardDistanceSum += DistanceRatioToWizard(*member, objectNode);
  }
  work.resultA = RouteDanger(carrier);
}

void CAIObjectSeekDecision::KeepBest() {
  // The whole work block: the carrier, its object and what the plan accepted.
  CAIGroupDecision::KeepBest();
  keptObject = workObject;
  keptObjectKind = workObjectKind;
  keptCarrier = workCarrier;
}

CCreature* CAIObjectSeekDecision::KeptCarrier() const {
  CCreature* carrier = g_creatureArray.InUse(keptCarrier);
  return carrier && carrier->IsAlive() && carrier->army == side ? carrier : nullptr;
}

bool CAIObjectSeekDecision::KeptObjectThere() const {
  const CMapObject* object = g_mapObjects.InUse(keptObject);
  return object && object->kind == keptObjectKind;
}

void CAIObjectSeekDecision::AppendCarrierInputs(const CCreature& carrier) {
  work.vector.push_back(carrier.health);
  work.vector.push_back(carrier.GetMaxHealth());
  work.vector.push_back(longestTravel);
  work.vector.push_back(carrierRouteRating);
  work.vector.push_back(carrier.RateNode(objectNode));
  work.vector.push_back(NodeOpenAbove(objectNode) ? 1 : 0);
}

bool CAIObjectSeekDecision::WalksNear(const CCreature& member, const CCreature& carrier) {
  COrderReport order;
  member.GetCurrentOrder(order);
  return order.kind == 2 &&
         WrappedDistanceSq(order.x, order.y, order.level, carrier.cellX, carrier.cellY, carrier.level) <= 25;
}
