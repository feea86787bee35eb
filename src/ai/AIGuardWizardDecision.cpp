#include "ai/AIGuardWizardDecision.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "ai/AIBudget.h"
#include "ai/AICertainty.h"
#include "ai/AIEngageGroupDecision.h"
#include "ai/AIGroupBuilder.h"
#include "ai/AIGroupNode.h"
#include "ai/AIPlayerMemory.h"
#include "ai/AIQueries.h"
#include "ai/AIUtilities.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureStrength.h"
#include "creatures/Mapelem.h"
#include "map/MapUnits.h"

namespace {

int64_t Distance2(const CCreature& c, int x, int y, int z) {
  return int64_t{WrappedDistanceSq(c.cellX, c.cellY, c.level, x, y, z)};
}

int32_t TruncRoot(int64_t value) {
  return static_cast<int32_t>(std::sqrt(static_cast<double>(std::max<int64_t>(value, 0))));
}

// What a guard does this Step: nothing, hold, or attack its target.
struct GuardOrder {
  enum Kind { kNone, kHold, kAttack } kind = kNone;
  int target = -1;
};

}  // namespace

CCreature* CAIGuardWizardDecision::Wizard(int slot) const {
  CCreature* wizard = g_creatureArray.InUse(slot);
  if (!wizard || !wizard->IsAlive() || wizard != g_armyTable.GetWizard(side)) return nullptr;
  return wizard;
}

void CAIGuardWizardDecision::Prepare(CAIGroupNode* node, CAIPlayerMemory* players, int tick) {
  prepared = 0;
  group = node;
  sides_ = players;
  if (!IsDecisionTypeEnabled(type, side) || !players) return;
  if (!node || node->kind != 0 || node->parent) return;
  if (!AllMembersOnPathNodes(node) || GroupHasWizard(node) || !NoMemberBound(node)) return;
  CCreature* wizard = g_armyTable.GetWizard(side);
  if (!wizard || wizard->nodeRoute.NearestNode() == -1) return;
  // One guard a side: unless this group already guards, none other may.
  const auto any = [](const CAIDecision&) { return true; };
  if (!GroupRunsUnitDecision(node, type, any) && SideRunsUnitDecision(side, type, any)) return;
  prepared = 1;
  workWizard = wizard->index;
  CAIGroupBuilder builder(groups);
  threats = builder.ClusterSightings(players[side], side, tick, true);
  emptyGroup = builder.NewGroupNode();
  restart = 1;
  evaluationEndTick = GetDecisionEndTick(tick, type, node);
}

bool CAIGuardWizardDecision::Evaluate(float* score, CAIBudget& budget, int tick) {
  if (!prepared) return false;
  if (restart) {
    restart = 0;
    stage = 0;
  }
  while (tick <= evaluationEndTick && stage != 2) {
    CCreature* wizard = Wizard(workWizard);
    if (!wizard || wizard->nodeRoute.NearestNode() == -1) return false;
    const int goal = wizard->nodeRoute.NearestNode();
    if (stage == 0) {
      ZeroAccumulators();
      work.resultA = 0;
      StartMembers();
      stage = 1;
    }
    const SearchOutcome outcome = RouteMembers(goal, budget);
    if (outcome == SearchOutcome::kBudgetSpent) return false;
    stage = 2;  // one candidate, the wizard
    if (outcome == SearchOutcome::kUnreached) return false;
    workPlace = {wizard->cellX, wizard->cellY, wizard->level};
    nearestDistance2 = kThreatRange2;
    nearestThreat = NearestCluster(threats, *wizard, nearestDistance2);
    if (!nearestThreat) nearestThreat = emptyGroup;
    work.candidate = nearestThreat;
    *score = FinishCandidate();
    return true;
  }
  return false;
}

CAIGroupNode* CAIGuardWizardDecision::NearestCluster(CAIGroupNode* tree, const CCreature& wizard, int64_t& distance2) {
  CAIGroupNode* nearest = nullptr;
  if (!tree) return nullptr;
  const int cursor = GroupFirstMember(tree);
  while (CAIGroupNode* cluster = NextChild(tree, cursor)) {
    const int64_t d = Distance2(wizard, cluster->centreX, cluster->centreY, cluster->centreZ);
    if (d >= distance2) continue;
    distance2 = d;
    nearest = cluster;
  }
  return nearest;
}

void CAIGuardWizardDecision::AppendInputs(int members) {
  const int wizardNode = g_armyTable.GetWizard(side) ? g_armyTable.GetWizard(side)->nodeRoute.NearestNode() : -1;
  const float ratio = g_armyTable.GetWizard(side) ? SideRatio(side) : 0.0f;
  work.vector.push_back(WizardDistanceInput(wizardDistanceSum, ratio));
  work.vector.push_back(TruncRoot(nearestDistance2));
  work.vector.push_back(nearestThreat == emptyGroup ? 0 : TruncRoot(nearestThreat->spread));
  work.vector.push_back(longestTravel);
  work.vector.push_back(PerMember(routeRatingSum, members));
  work.vector.push_back(PerMember(nodeRatingSum, members));
  work.vector.push_back(NodeOpenAbove(wizardNode) ? 1 : 0);
}

void CAIGuardWizardDecision::KeepBest() {
  CAIGroupDecision::KeepBest();
  keptWizard = workWizard;
}

bool CAIGuardWizardDecision::Step(CAIPlayerMemory* players, int tick, CAIBudget& budget) {
  budget.steps -= kStepCharge;
  const CCreature* wizard = Wizard(keptWizard);
  if (!wizard) return false;
  if (CountMembers(group) == 0) return true;
  if (!players || side < 0 || side >= kArmyCount) return true;
  // The enemies seen now; the fresh tree is freed on every way out.
  CAIGroupBuilder builder(groups);
  CAIGroupNode* fresh = builder.ClusterSightings(players[side], side, tick, false);
  int64_t distance2 = kThreatRange2;
  CAIGroupNode* threat = NearestCluster(fresh, *wizard, distance2);
  if (threat && ReconcileAssignments(threat, players[side].enemies, tick, side) && CountChildren(threat) > 0)
    Fight(threat);
  else
    CloseIn(*wizard);
  builder.DeleteGroup(fresh);
  return true;
}

void CAIGuardWizardDecision::Fight(CAIGroupNode* threat) {
  const int gx = threat->centreX, gy = threat->centreY, gz = threat->centreZ;
  std::vector<int64_t> all, closeFighters, troops;
  const int cursor = GroupFirstMember(group);
  while (const CCreature* member = GroupNextMember(group, cursor)) {
    const int64_t d = Distance2(*member, gx, gy, gz);
    all.push_back(d);
    if (IsCloseFighter(*member)) closeFighters.push_back(d);
    if (!member->IsWizard()) troops.push_back(d);
  }
  const CAIEngageGroupDecision::Spacing spacing = CAIEngageGroupDecision::SpacingFor(all, closeFighters, troops);

  // What each guard does is chosen first, by creature slot, and given afterwards.
  static std::vector<int64_t> assigned;
  static std::vector<GuardOrder> orders;
  const size_t slots = static_cast<size_t>(std::max(g_creatureArray.Capacity(), 0));
  assigned.assign(slots, 0);
  orders.assign(slots, GuardOrder{});
  const auto inPool = [slots](const CCreature& c) { return c.index >= 0 && static_cast<size_t>(c.index) < slots; };
  const int leafCursor = GroupFirstMember(group);
  while (CAIGroupNode* leaf = NextLeaf(group, leafCursor)) {
    const CCreature& member = *leaf->creature;
    if (LeftAlone(member) || !inPool(member)) continue;
    const CCreature* target = nullptr;
    int64_t best = INT64_MIN;
    const int enemyCursor = GroupFirstMember(threat);
    while (CAIGroupNode* enemyLeaf = NextLeaf(threat, enemyCursor)) {
      const CCreature* enemy = enemyLeaf->creature;
      if (!enemy || !enemy->IsAlive() || !inPool(*enemy)) continue;
      const int64_t value =
          CAIEngageGroupDecision::TargetValue(member, *enemy, assigned[static_cast<size_t>(enemy->index)], side);
      if (value > best) {
        best = value;
        target = enemy;
      }
    }
    if (!target) continue;
    const int64_t d = Distance2(member, gx, gy, gz);
    GuardOrder& order = orders[static_cast<size_t>(member.index)];
    if ((IsCloseFighter(member) && d < spacing.r2) || (member.IsWizard() && d < spacing.r3)) {
      order.kind = GuardOrder::kHold;
    } else {
      order = {GuardOrder::kAttack, target->index};
      assigned[static_cast<size_t>(target->index)] += member.strength.total;
    }
  }
  const int orderCursor = GroupFirstMember(group);
  while (CCreature* member = GroupNextMember(group, orderCursor)) {
    if (!inPool(*member)) continue;
    const GuardOrder& order = orders[static_cast<size_t>(member->index)];
    if (order.kind == GuardOrder::kAttack) member->EnsureAttack(order.target);
    if (order.kind == GuardOrder::kHold) HoldMember(*member);
  }
}

void CAIGuardWizardDecision::CloseIn(const CCreature& wizard) {
  std::vector<int64_t> all;
  const int cursor = GroupFirstMember(group);
  while (const CCreature* member = GroupNextMember(group, cursor))
    all.push_back(Distance2(*member, wizard.cellX, wizard.cellY, wizard.level));
  // Guards nearer than halfway between the nearest and the farthest wait for the others.
  const int64_t waitWithin = CAIEngageGroupDecision::SpacingFor(all, {}, {}).r1;
  const int orderCursor = GroupFirstMember(group);
  while (CCreature* member = GroupNextMember(group, orderCursor)) {
    if (LeftAlone(*member)) continue;
    if (Distance2(*member, wizard.cellX, wizard.cellY, wizard.level) < waitWithin) {
      HoldMember(*member);
      continue;
    }
    COrderReport order;
    member->GetCurrentOrder(order);
    if (order.kind == 2 && WithinRange(5, order.x, order.y, order.level, wizard.cellX, wizard.cellY, wizard.level))
      continue;
    member->WalkTo(wizard.cellX, wizard.cellY, wizard.level);
  }
}
