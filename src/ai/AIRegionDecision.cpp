#include "ai/AIRegionDecision.h"

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
#include "ai/AISpellDecision.h"
#include "ai/AIUtilities.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureStrength.h"
#include "creatures/Mapelem.h"
#include "map/Map.h"
#include "map/MapUnits.h"

namespace {

int64_t Distance2(const CCreature& c, int x, int y, int z) {
  return int64_t{WrappedDistanceSq(c.cellX, c.cellY, c.level, x, y, z)};
}

int32_t TruncRoot(int64_t value) {
  return static_cast<int32_t>(std::sqrt(static_cast<double>(std::max<int64_t>(value, 0))));
}

// What a member does this Step: nothing, hold, attack its target, or take the region.
struct RegionOrder {
  enum Kind { kNone, kHold, kAttack, kTakeRegion } kind = kNone;
  int target = -1;
};

int KeptRegionOf(const CAIDecision& d) { return static_cast<const CAIRegionDecision&>(d).keptRegion; }

}  // namespace

void CAIRegionDecision::Prepare(CAIGroupNode* node, CAIPlayerMemory* players, int tick) {
  prepared = 0;
  group = node;
  sides_ = players;
  if (!IsDecisionTypeEnabled(type, side) || !players) return;
  if (!node || node->kind != 0 || node->parent) return;
  if (!AllMembersOnPathNodes(node) || !GroupHasRealMember(node)) return;
  if (!g_armyTable.GetWizard(side)) return;
  prepared = 1;
  candidateIndex = -1;
  CAIGroupBuilder builder(groups);
  targetTree = builder.ClusterSightings(players[side], side, tick, true);
  emptyGroup = builder.NewGroupNode();
  wizardInGroup = GroupHasWizard(node) ? 1 : 0;
  restart = 1;
  evaluationEndTick = GetDecisionEndTick(tick, type, node);
}

bool CAIRegionDecision::IsCandidate(int region) {
  const int node = g_map.GetRegionOfPowerValue(region);
  if (node == -1) return false;
  int x = 0, y = 0, z = 0;
  g_map.GetRegionOfPowerPosition(region, x, y, z);
  // A member bound on the region, or running a region decision, ties a group without its
  // wizard to that region.
  bool held = false, tiedElsewhere = false;
  const int cursor = GroupFirstMember(group);
  while (CCreature* member = GroupNextMember(group, cursor)) {
    if (member->earthBind) {
      if (member->cellX == x && member->cellY == y && member->level == z + 1)
        held = true;
      else
        tiedElsewhere = true;
    }
    const CAIDecision* running = GetGroupDecision(*member, 0);
    if (running && running->type == type) {
      if (KeptRegionOf(*running) == region)
        held = true;
      else
        tiedElsewhere = true;
    }
  }
  if (tiedElsewhere && !wizardInGroup) return false;
  const auto sameRegion = [region](const CAIDecision& d) { return KeptRegionOf(d) == region; };
  if (!held && SideRunsUnitDecision(side, type, sameRegion)) return false;
  if (IsRegionWatched(side, region)) return false;
  workRegion = region;
  regionNode = node;
  workPlace = {x, y, z};
  return true;
}

bool CAIRegionDecision::Evaluate(float* score, CAIBudget& budget, int tick) {
  if (!prepared) return false;
  if (restart) {
    restart = 0;
    ++candidateIndex;
    stage = 0;
  }
  const int regions = g_map.CountRegionsOfPower();
  while (candidateIndex < regions && tick <= evaluationEndTick) {
    if (stage == 0) {
      if (!IsCandidate(candidateIndex)) {
        ++candidateIndex;
        continue;
      }
      ZeroAccumulators();
      work.resultA = 0;
      StartMembers();
      stage = 1;
    }
    const SearchOutcome outcome = RouteMembers(regionNode, budget);
    if (outcome == SearchOutcome::kBudgetSpent) return false;
    stage = 0;
    if (outcome == SearchOutcome::kUnreached) {
      while (GroupNextMember(group, memberCursor)) {
      }
      ++candidateIndex;
      continue;
    }
    nearestDistance2 = kNearRange2;
    nearestEnemies = NearestCluster(targetTree, workPlace.x, workPlace.y, workPlace.z, nearestDistance2);
    if (!nearestEnemies) nearestEnemies = emptyGroup;
    work.candidate = nearestEnemies;
    *score = FinishCandidate();
    restart = 1;
    return true;
  }
  return false;
}

CAIGroupNode* CAIRegionDecision::NearestCluster(CAIGroupNode* tree, int x, int y, int z, int64_t& distance2) {
  if (!tree) return nullptr;
  CAIGroupNode* nearest = nullptr;
  const int cursor = GroupFirstMember(tree);
  while (CAIGroupNode* cluster = NextChild(tree, cursor)) {
    const int64_t d = int64_t{WrappedDistanceSq(cluster->centreX, cluster->centreY, cluster->centreZ, x, y, z)};
    if (d >= distance2) continue;
    distance2 = d;
    nearest = cluster;
  }
  return nearest;
}

void CAIRegionDecision::AppendInputs(int members) {
  const float ratio = g_armyTable.GetWizard(side) ? SideRatio(side) : 0.0f;
  work.vector.push_back(WizardDistanceInput(wizardInGroup ? 0.0f : wizardDistanceSum, ratio));
  work.vector.push_back(std::min(TruncRoot(nearestDistance2), 10));
  work.vector.push_back(nearestEnemies == emptyGroup ? 0 : TruncRoot(nearestEnemies->spread));
  work.vector.push_back(longestTravel);
  work.vector.push_back(PerMember(routeRatingSum, members));
  work.vector.push_back(PerMember(nodeRatingSum, members));
  work.vector.push_back(NodeOpenAbove(regionNode) ? 1 : 0);
}

void CAIRegionDecision::KeepBest() {
  CAIGroupDecision::KeepBest();
  keptRegion = workRegion;
}

bool CAIRegionDecision::Step(CAIPlayerMemory* players, int tick, CAIBudget& budget) {
  budget.steps -= kStepCharge;
  if (CountMembers(group) == 0) return true;
  if (IsRegionWatched(side, keptRegion)) {
    const int cursor = GroupFirstMember(group);
    while (CCreature* member = GroupNextMember(group, cursor)) HoldMember(*member);
    return false;
  }
  if (HaltOnDanger(group, kept.resultA)) return false;
  if (!players || side < 0 || side >= kArmyCount) return true;
  // The enemies seen now; the fresh tree is freed on every way out.
  CAIGroupBuilder builder(groups);
  CAIGroupNode* fresh = builder.ClusterSightings(players[side], side, tick, false);
  int64_t distance2 = kNearRange2;
  CAIGroupNode* enemies = NearestCluster(fresh, keptPlace.x, keptPlace.y, keptPlace.z, distance2);
  if (enemies && ReconcileAssignments(enemies, players[side].enemies, tick, side) && CountChildren(enemies) > 0)
    FightNearRegion(enemies);
  else
    Approach();
  builder.DeleteGroup(fresh);
  return true;
}

void CAIRegionDecision::FightNearRegion(CAIGroupNode* enemies) {
  const int gx = enemies->centreX, gy = enemies->centreY, gz = enemies->centreZ;
  std::vector<int64_t> closeFighters, troops;
  const int cursor = GroupFirstMember(group);
  while (const CCreature* member = GroupNextMember(group, cursor)) {
    const int64_t d = Distance2(*member, gx, gy, gz);
    if (IsCloseFighter(*member)) closeFighters.push_back(d);
    if (!member->IsWizard()) troops.push_back(d);
  }
  const CAIEngageGroupDecision::Spacing spacing = CAIEngageGroupDecision::SpacingFor({}, closeFighters, troops);

  static std::vector<int64_t> assigned;
  static std::vector<RegionOrder> orders;
  const size_t slots = static_cast<size_t>(std::max(g_creatureArray.Capacity(), 0));
  assigned.assign(slots, 0);
  orders.assign(slots, RegionOrder{});
  const auto inPool = [slots](const CCreature& c) { return c.index >= 0 && static_cast<size_t>(c.index) < slots; };
  CCreature* weakest = nullptr;
  const int leafCursor = GroupFirstMember(group);
  while (CAIGroupNode* leaf = NextLeaf(group, leafCursor)) {
    CCreature& member = *leaf->creature;
    if (LeftAlone(member) || !inPool(member)) continue;
    const CCreature* target = nullptr;
    int64_t best = INT64_MIN;
    const int enemyCursor = GroupFirstMember(enemies);
    while (CAIGroupNode* enemyLeaf = NextLeaf(enemies, enemyCursor)) {
      const CCreature* enemy = enemyLeaf->creature;
      if (!enemy || !enemy->IsAlive() || !inPool(*enemy)) continue;
      int64_t value =
          CAIEngageGroupDecision::TargetValue(member, *enemy, assigned[static_cast<size_t>(enemy->index)], side);
      // An enemy holding down a bound creature of the side keeps it off the region.
      if (const CCreature* victim = enemy->GetTargetCreature(); victim && victim->army == side && victim->earthBind)
        value *= 2;
      if (value > best) {
        best = value;
        target = enemy;
      }
    }
    if (!target) continue;
    const int64_t d = Distance2(member, gx, gy, gz);
    RegionOrder& order = orders[static_cast<size_t>(member.index)];
    if ((IsCloseFighter(member) && d < spacing.r2) || (member.IsWizard() && d < spacing.r3)) {
      order.kind = RegionOrder::kHold;
    } else {
      order = {RegionOrder::kAttack, target->index};
      assigned[static_cast<size_t>(target->index)] += member.strength.total;
    }
    if (!member.illusion && (!weakest || member.strength.total < weakest->strength.total)) weakest = &member;
  }
  if (weakest) orders[static_cast<size_t>(weakest->index)].kind = RegionOrder::kTakeRegion;

  const int orderCursor = GroupFirstMember(group);
  while (CCreature* member = GroupNextMember(group, orderCursor)) {
    if (!inPool(*member)) continue;
    const RegionOrder& order = orders[static_cast<size_t>(member->index)];
    if (order.kind == RegionOrder::kAttack) member->EnsureAttack(order.target);
    if (order.kind == RegionOrder::kHold) HoldMember(*member);
    if (order.kind == RegionOrder::kTakeRegion) member->EnsureWalkTo(keptPlace.x, keptPlace.y, keptPlace.z + 1, 0);
  }
}

void CAIRegionDecision::Approach() {
  const int x = keptPlace.x, y = keptPlace.y, z = keptPlace.z;
  std::vector<int64_t> all;
  const int cursor = GroupFirstMember(group);
  while (const CCreature* member = GroupNextMember(group, cursor)) all.push_back(Distance2(*member, x, y, z));
  const int64_t waitWithin = CAIEngageGroupDecision::SpacingFor(all, {}, {}).r1;
  // While the side has just taken the region, a walker already close to it keeps its way.
  const bool justTaken = keptRegion >= 0 && keptRegion < CMap::kMaxRegions && side >= 0 && side < CMap::kPlayers &&
                         g_map.regionHolders[keptRegion][side] == side && g_map.regionCounters[keptRegion][side] == 0;
  const int orderCursor = GroupFirstMember(group);
  while (CCreature* member = GroupNextMember(group, orderCursor)) {
    const CAIDecision* sideDecision = GetGroupDecision(*member, 1);
    if (sideDecision && sideDecision->type != kAIManaReserveDecisionType) continue;
    if (!member->IsWizard() && member->IsInCombat()) continue;
    if (Distance2(*member, x, y, z) < waitWithin) {
      HoldMember(*member);
      continue;
    }
    const int tolerance = justTaken || member->illusion ? 5 : 0;
    COrderReport order;
    member->GetCurrentOrder(order);
    if (order.kind == 2 && WithinRange(tolerance, order.x, order.y, order.level, x, y, z + 1)) continue;
    member->WalkTo(x, y, z + 1);
  }
}
