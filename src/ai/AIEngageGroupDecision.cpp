#include "ai/AIEngageGroupDecision.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "ai/AIBudget.h"
#include "ai/AIGroupNode.h"
#include "ai/AIPlayerMemory.h"
#include "ai/AIQueries.h"
#include "ai/AIUtilities.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureType.h"
#include "creatures/Mapelem.h"
#include "map/MapUnits.h"

namespace {

int64_t IntSqrt(int64_t value) {
  if (value <= 0) return 0;
  int64_t root = static_cast<int64_t>(std::sqrt(static_cast<double>(value)));
  while (root * root > value) --root;
  while ((root + 1) * (root + 1) <= value) ++root;
  return root;
}

// (√a + √b)² / 4 when the two lie more than 4 tiles apart, else 0.
int64_t MidRadius(const std::vector<int64_t>& distances) {
  if (distances.empty()) return 0;
  const auto [low, high] = std::minmax_element(distances.begin(), distances.end());
  const int64_t a = IntSqrt(*low), b = IntSqrt(*high);
  return b - a > 4 ? (a + b) * (a + b) / 4 : 0;
}

std::vector<int64_t>& PoolSized(std::vector<int64_t>& table) {
  table.assign(static_cast<size_t>(std::max(g_creatureArray.Capacity(), 0)), 0);
  return table;
}

bool HasThreat(const CCreature& creature) { return creature.type && creature.type->GetThreatClass() >= 1; }

}  // namespace

bool IsCloseFighter(const CCreature& member) { return !member.HasRangedAttack(); }

CAIEngageGroupDecision::Spacing CAIEngageGroupDecision::SpacingFor(const std::vector<int64_t>& all,
                                                                   const std::vector<int64_t>& closeFighters,
                                                                   const std::vector<int64_t>& troops) {
  Spacing spacing;
  spacing.r1 = MidRadius(all);
  spacing.r2 = MidRadius(closeFighters);
  const int64_t farthestTroop = troops.empty() ? 0 : *std::max_element(troops.begin(), troops.end());
  if (farthestTroop > 0) spacing.r3 = (IntSqrt(farthestTroop) + 3) * (IntSqrt(farthestTroop) + 3);
  return spacing;
}

int64_t CAIEngageGroupDecision::TargetValue(const CCreature& member, const CCreature& enemy, int64_t assigned,
                                            int side) {
  const int64_t unmatched = int64_t{enemy.strength.total} - assigned;
  const int64_t health = std::max<int64_t>(enemy.health, 1);
  // Strength already matched leaves nothing to win: such an enemy ranks below every other.
  int64_t value = unmatched > 0 ? unmatched * 1000 / (health * health) : 0;
  if (!member.undead && enemy.undead) value /= 2;
  if (enemy.IsWizard()) {
    value *= 4;
    if (!member.IsInCombat() && HasThreat(member)) value *= 2;
  }
  if (const CCreature* victim = enemy.GetTargetCreature(); victim && victim->army == side) {
    if (victim->IsWizard()) value *= 4;
    if (victim->IsInCombat() && HasThreat(*victim)) value *= 2;
  }
  return value;
}

void CAIEngageGroupDecision::AppendInputs(int members) {
  const CAIGroupNode* candidate = work.candidate;
  const float ratio = g_armyTable.GetWizard(side) ? SideRatio(side) : 0.0f;
  work.vector.push_back(WizardDistanceInput(wizardInGroup ? 0.0f : wizardDistanceSum, ratio));
  work.vector.push_back(static_cast<int32_t>(std::sqrt(static_cast<double>(std::max(candidate->spread, 0)))));
  work.vector.push_back(longestTravel);
  work.vector.push_back(members > 0 ? static_cast<int32_t>(routeRatingSum / members) : 0);
  work.vector.push_back(members > 0 ? static_cast<int32_t>(nodeRatingSum / members) : 0);
  work.vector.push_back(NodeOpenAbove(candidate->pathNode) ? 1 : 0);
}

void CAIEngageGroupDecision::WalkToward(CCreature& member, int x, int y, int z) { member.EnsureWalkTo(x, y, z, 1); }

void CAIEngageGroupSafelyDecision::WalkToward(CCreature& member, int x, int y, int z) {
  member.aiDangerRoute = 1;
  member.EnsureWalkTo(x, y, z, 0);
}

std::vector<int64_t>& CAIEngageGroupDecision::Assignments() {
  static std::vector<int64_t> table;
  return PoolSized(table);
}

std::vector<int64_t>& CAIEngageGroupSafelyDecision::Assignments() {
  static std::vector<int64_t> table;
  return PoolSized(table);
}

bool CAIEngageGroupDecision::Step(CAIPlayerMemory* players, int tick, CAIBudget& budget) {
  budget.steps -= kStepCharge;
  if (HaltOnDanger(group, kept.resultA)) return false;
  CAIGroupNode* enemies = kept.candidate;
  if (!enemies || !players || side < 0 || side >= kArmyCount) return false;
  if (!ReconcileAssignments(enemies, players[side].enemies, tick, side)) return false;
  const int gx = enemies->centreX, gy = enemies->centreY, gz = enemies->centreZ;
  auto distanceOf = [&](const CCreature& c) {
    return int64_t{WrappedDistanceSq(c.cellX, c.cellY, c.level, gx, gy, gz)};
  };

  std::vector<int64_t> all, closeFighters, troops;
  const int cursor = GroupFirstMember(group);
  while (const CCreature* member = GroupNextMember(group, cursor)) {
    const int64_t d = distanceOf(*member);
    all.push_back(d);
    if (IsCloseFighter(*member)) closeFighters.push_back(d);
    if (!member->IsWizard()) troops.push_back(d);
  }
  const Spacing spacing = SpacingFor(all, closeFighters, troops);
  const int64_t nearest = all.empty() ? INT64_MAX : *std::min_element(all.begin(), all.end());
  if (nearest <= 9 && CountChildren(enemies) == 0) return false;

  std::vector<int64_t>& assigned = Assignments();
  auto assignedTo = [&](const CCreature& c) -> int64_t& {
    static int64_t outside = 0;
    outside = 0;
    return c.index >= 0 && static_cast<size_t>(c.index) < assigned.size() ? assigned[static_cast<size_t>(c.index)]
                                                                          : outside;
  };
  const int leafCursor = GroupFirstMember(group);
  while (CAIGroupNode* leaf = NextLeaf(group, leafCursor)) {
    CCreature& member = *leaf->creature;
    if (LeftAlone(member)) continue;
    CCreature* target = nullptr;
    int64_t best = INT64_MIN;
    const int enemyCursor = GroupFirstMember(enemies);
    while (CAIGroupNode* enemyLeaf = NextLeaf(enemies, enemyCursor)) {
      CCreature* enemy = enemyLeaf->creature;
      if (!enemy || !enemy->IsAlive()) continue;
      const int64_t value = TargetValue(member, *enemy, assignedTo(*enemy), side);
      if (value > best) {
        best = value;
        target = enemy;
      }
    }
    const int64_t d = distanceOf(member);
    if (!target) {
      if (d < spacing.r1)
        HoldMember(member);
      else
        WalkToward(member, gx, gy, gz);
    } else if ((IsCloseFighter(member) && d < spacing.r2) || (member.IsWizard() && d < spacing.r3)) {
      HoldMember(member);
    } else {
      assignedTo(*target) += member.strength.total;
      member.EnsureAttack(target->index);
    }
  }
  return true;
}
