// The group builder: nodes, copies, the builders over the creature pool, and clustering.
#include "ai/AIGroupBuilder.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <map>
#include <new>
#include <tuple>

#include "ai/AIGroupNode.h"
#include "ai/AIPlayerMemory.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/Mapelem.h"
#include "map/LineWalker.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "map/PathNetwork.h"

bool CAIGroupBuilder::clusterCache = true;

namespace {

constexpr int kBuilderKind = -1;
constexpr int kUnseenType = 27;
constexpr int kFleeingOrder = 6;
constexpr int kAttackCreatureKind = 3;
constexpr int kFirstAimedOrder = 9, kLastAimedOrder = 11;
constexpr int64_t kClusterReach = 100;  // ten tiles, squared
constexpr int kSightingSpeedScale = 72;

bool ValidArmy(int army) { return army >= 0 && army < kArmyCount; }
bool SeenBy(const CCreature& c, int army) { return ValidArmy(army) && c.sightingCounters[army] != 0; }
bool EnemyOf(int army, const CCreature& c) {
  return ValidArmy(army) && ValidArmy(c.army) && g_armyTable.armies[army].alliance[c.army] == 0;
}
bool FriendOf(int army, const CCreature& c) {
  return ValidArmy(army) && ValidArmy(c.army) && g_armyTable.armies[army].alliance[c.army] != 0;
}
bool SeenEnemy(int army, const CCreature& c) { return SeenBy(c, army) && EnemyOf(army, c); }
bool Own(int army, const CCreature& c) { return ValidArmy(army) && c.army == army; }

bool InRange(const CAICell& centre, int radius, const CCreature& c) {
  const uint64_t r = static_cast<uint64_t>(std::abs(int64_t{radius}));
  return WrappedDistanceSq(centre.x, centre.y, centre.z, c.cellX, c.cellY, c.level) <= r * r;
}

// A line of cells from the start to the creature's cell raised by half its height, reached
// within length map units.
bool ClearLine(CLineWalker& walker, const CAICell& from, const CCreature& c, int64_t length) {
  const int raise = c.type ? c.type->TileHeight / 2 : 0;
  const int limit = static_cast<int>(std::clamp<int64_t>(length, 0, INT_MAX));
  return walker.TraceCells(from.x, from.y, from.z, c.cellX, c.cellY, c.level + raise, limit) == kCellsReached;
}

CAICell Raised(CAICell c) {
  ++c.z;
  return c;
}

bool Reachable(const CAICell& centre, const CCreature& c) {
  return c.aiUnreachable == 0 &&
         g_map.GreedyWalk(centre.x, centre.y, centre.z, c.cellX, c.cellY, c.level, c.MakeMoveQuery()) != 0;
}

// A creature that could watch the centre: no wizard, not airborne, not fleeing, in sight.
bool Watches(CLineWalker& walker, const CAICell& centre, const CCreature& c, const CCreature* self) {
  if (&c == self || IsWizardType(c.typeNumber) || c.airborne || c.aiNotWatching || c.order == kFleeingOrder)
    return false;
  return ClearLine(walker, centre, c, int64_t{c.type ? c.type->ViewRange : 0} * 32);
}

// The cone rule: within radius of the point, not slowed, and within 60 degrees of the
// direction from the caster toward the point, seen from the caster's first step that way.
struct Cone {
  Cone(const CCreature& caster, const CAICell& point, int radius) : point(point), radius(radius) {
    const int dx = WrapDeltaX(caster.cellX, point.x), dy = WrapDeltaY(caster.cellY, point.y);
    dir = DirectionFromVector(static_cast<float>(dx), static_cast<float>(dy));
    start = {caster.cellX, caster.cellY, caster.level};
    if (point.x != caster.cellX || point.y != caster.cellY || point.z != caster.level) {
      start.x = CWrapCoord::WrapX(start.x + kDirectionSteps[dir].dx);
      start.y = CWrapCoord::WrapY(start.y + kDirectionSteps[dir].dy);
    }
  }
  bool Holds(const CCreature& c) const {
    if (!InRange(point, radius, c) || c.slow > 0) return false;
    const int64_t vx = int64_t{WrapDeltaX(start.x, c.cellX)} * 32;
    const int64_t vy = int64_t{WrapDeltaY(start.y, c.cellY)} * 32;
    const int64_t vz = (int64_t{c.level} - start.z) * 16 / 2;
    const int64_t v2 = vx * vx + vy * vy + vz * vz;
    if (int64_t{radius} * radius < v2 / 1024) return false;
    const int64_t ddx = kDirectionSteps[dir].dx, ddy = kDirectionSteps[dir].dy;
    const int64_t dot = ddx * vx + ddy * vy;
    return dot >= 0 && 4 * dot * dot >= (ddx * ddx + ddy * ddy) * v2;
  }
  CAICell point;
  int radius;
  int dir = 0;
  CAICell start;
};

// Whether two cluster nodes are connected: by a route over the path network when both stand
// on a node, else by a greedy walk on the map for the first one's mover.
bool Connected(const CAIGroupNode& a, const CAIGroupNode& b, const CMoveQuery& query) {
  if (a.pathNode >= 0 && b.pathNode >= 0) return g_pathNetwork.SearchNodeRoute(a.pathNode, b.pathNode, query) != 0;
  return g_map.GreedyWalk(a.centreX, a.centreY, a.centreZ, b.centreX, b.centreY, b.centreZ, query) != 0;
}

// The creature a cluster node moves like: the first creature of its tree.
const CCreature* Mover(CAIGroupNode* node) {
  GroupLevelScope all(0);
  return FirstMember(node);
}

}  // namespace

// --- nodes ---------------------------------------------------------------------------------

CAIGroupNode* CAIGroupBuilder::Record(CAIGroupNode* node) {
  nodes_.push_back(node);
  return node;
}

CAIGroupNode* CAIGroupBuilder::NewLeafNode(CCreature* creature) {
  CAIGroupNode* leaf = new (std::nothrow) CAIGroupNode(kBuilderKind);
  if (leaf) {
    leaf->creature = creature;
    leaf->pathNode = -1;
  }
  return Record(leaf);
}

CAIGroupNode* CAIGroupBuilder::NewGroupNode() {
  CAIGroupNode* node = new (std::nothrow) CAIGroupNode(kBuilderKind);
  if (node) node->pathNode = -1;
  return Record(node);
}

bool CAIGroupBuilder::Attach(CAIGroupNode* parent, CAIGroupNode* child) {
  if (!parent || !child || parent->creature || child->parent) return false;
  parent->AddChild(child);
  return child->parent == parent;
}

namespace {
void CopyPosition(const CAIGroupNode& from, CAIGroupNode& to) {
  to.key = from.key;
  to.centreX = from.centreX;
  to.centreY = from.centreY;
  to.centreZ = from.centreZ;
  to.pathNode = from.pathNode;
  to.spread = from.spread;
  to.owner = from.owner;
}
}  // namespace

CAIGroupNode* CAIGroupBuilder::CopyGroup(CAIGroupNode* node) {
  if (!node) return nullptr;
  CAIGroupNode* copy = node->creature ? NewLeafNode(node->creature) : NewGroupNode();
  if (!copy) return nullptr;
  CopyPosition(*node, *copy);
  for (CAIGroupNode* child : node->children) {
    if (child->creature && child->level < g_aiMinGroupLevel) continue;
    Attach(copy, CopyGroup(child));
  }
  return copy;
}

void CAIGroupBuilder::DeleteGroup(CAIGroupNode* node) {
  if (!node) return;
  GroupLevelScope all(0);
  std::vector<CAIGroupNode*> doomed{node};
  for (size_t i = 0; i < doomed.size(); ++i)
    for (CAIGroupNode* child : doomed[i]->children) doomed.push_back(child);
  for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) {
    std::replace(nodes_.begin(), nodes_.end(), *it, static_cast<CAIGroupNode*>(nullptr));
    delete *it;
  }
  nodes_.erase(std::remove(nodes_.begin(), nodes_.end(), nullptr), nodes_.end());
}

// --- builders ------------------------------------------------------------------------------

template <class Test>
CAIGroupNode* CAIGroupBuilder::BuildWhere(Test&& qualifies, bool lineTesting) {
  // The line-testing builders make their node as a plain new node (kind 0).
  CAIGroupNode* group = lineTesting ? Record(new (std::nothrow) CAIGroupNode(0)) : NewGroupNode();
  if (group && lineTesting) group->pathNode = -1;
  g_creatureArray.ForEachInUse([&](CCreature& c) {
    if (c.IsAlive() && qualifies(c)) Attach(group, NewLeafNode(&c));
  });
  return group;
}

CAIGroupNode* CAIGroupBuilder::BuildArmyGroup(int army) {
  return BuildWhere([&](const CCreature& c) { return Own(army, c); });
}

CAIGroupNode* CAIGroupBuilder::BuildSeenFriendsGroup(int army) {
  return BuildWhere(
      [&](const CCreature& c) { return SeenBy(c, army) && FriendOf(army, c) && c.typeNumber != kUnseenType; });
}

CAIGroupNode* CAIGroupBuilder::BuildSeenEnemiesGroup(int army) {
  return BuildWhere([&](const CCreature& c) { return SeenEnemy(army, c); });
}

CAIGroupNode* CAIGroupBuilder::BuildAttackersGroup(CAIGroupNode* group) {
  std::vector<const CCreature*> members;
  if (group) {
    const int cursor = GroupFirstMember(group);
    while (const CCreature* m = GroupNextMember(group, cursor)) members.push_back(m);
  }
  return BuildWhere([&](const CCreature& c) {
    COrderReport order;
    c.GetCurrentOrder(order);
    const bool attacking = order.kind == kAttackCreatureKind;
    if (!attacking && (c.order < kFirstAimedOrder || c.order > kLastAimedOrder)) return false;
    const CCreature* target = attacking ? g_creatureArray.InUse(order.target) : c.GetTargetCreature();
    return target && std::find(members.begin(), members.end(), target) != members.end();
  });
}

CAIGroupNode* CAIGroupBuilder::BuildEnemiesInRange(int army, CAICell centre, int radius) {
  return BuildWhere([&](const CCreature& c) { return SeenEnemy(army, c) && InRange(centre, radius, c); });
}

CAIGroupNode* CAIGroupBuilder::BuildEnemiesInRangeUnderSky(int army, CAICell centre, int radius) {
  return BuildWhere(
      [&](const CCreature& c) { return SeenEnemy(army, c) && InRange(centre, radius, c) && c.IsColumnClearAbove(); });
}

CAIGroupNode* CAIGroupBuilder::BuildEnemiesInRangeGrounded(int army, CAICell centre, int radius) {
  return BuildWhere(
      [&](const CCreature& c) { return SeenEnemy(army, c) && InRange(centre, radius, c) && !c.airborne; });
}

CAIGroupNode* CAIGroupBuilder::BuildEnemiesInRangeLiving(int army, CAICell centre, int radius) {
  return BuildWhere([&](const CCreature& c) { return SeenEnemy(army, c) && InRange(centre, radius, c) && !c.undead; });
}

CAIGroupNode* CAIGroupBuilder::BuildEnemiesInRangeUndead(int army, CAICell centre, int radius) {
  return BuildWhere([&](const CCreature& c) { return SeenEnemy(army, c) && InRange(centre, radius, c) && c.undead; });
}

CAIGroupNode* CAIGroupBuilder::BuildEnemiesInRangeReachable(int army, CAICell centre, int radius) {
  return BuildWhere(
      [&](const CCreature& c) { return SeenEnemy(army, c) && InRange(centre, radius, c) && Reachable(centre, c); });
}

CAIGroupNode* CAIGroupBuilder::BuildEnemiesInSight(int army, CAICell centre, int radius) {
  CLineWalker walker;
  return BuildWhere(
      [&](const CCreature& c) {
        return SeenEnemy(army, c) && InRange(centre, radius, c) && ClearLine(walker, centre, c, int64_t{radius} * 32);
      },
      true);
}

CAIGroupNode* CAIGroupBuilder::BuildEnemiesWatching(int army, CAICell centre, int radius, const CCreature* self) {
  CLineWalker walker;
  return BuildWhere(
      [&](const CCreature& c) {
        return SeenEnemy(army, c) && InRange(centre, radius, c) && Watches(walker, centre, c, self);
      },
      true);
}

CAIGroupNode* CAIGroupBuilder::BuildEnemyTroopsInSight(int army, CAICell centre, int radius) {
  CLineWalker walker;
  return BuildWhere(
      [&](const CCreature& c) {
        return SeenEnemy(army, c) && InRange(centre, radius, c) && !IsWizardType(c.typeNumber) &&
               ClearLine(walker, Raised(centre), c, int64_t{radius} * 32);
      },
      true);
}

CAIGroupNode* CAIGroupBuilder::BuildEnemyTroopsInSightFiltered(int army, CAICell centre, int radius) {
  CLineWalker walker;
  return BuildWhere(
      [&](const CCreature& c) {
        return SeenEnemy(army, c) && InRange(centre, radius, c) && !IsWizardType(c.typeNumber) &&
               c.aiTroopMarker == 0 && ClearLine(walker, Raised(centre), c, int64_t{radius} * 32);
      },
      true);
}

CAIGroupNode* CAIGroupBuilder::BuildEnemyCone(const CCreature& caster, CAICell point, int radius) {
  const Cone cone(caster, point, radius);
  return BuildWhere([&](const CCreature& c) { return SeenEnemy(caster.army, c) && cone.Holds(c); });
}

CAIGroupNode* CAIGroupBuilder::BuildOwnInRange(int army, CAICell centre, int radius) {
  return BuildWhere([&](const CCreature& c) { return Own(army, c) && InRange(centre, radius, c); });
}

CAIGroupNode* CAIGroupBuilder::BuildOwnInRangeUnderSky(int army, CAICell centre, int radius) {
  return BuildWhere(
      [&](const CCreature& c) { return Own(army, c) && InRange(centre, radius, c) && c.IsColumnClearAbove(); });
}

CAIGroupNode* CAIGroupBuilder::BuildOwnInRangeLiving(int army, CAICell centre, int radius) {
  return BuildWhere([&](const CCreature& c) { return Own(army, c) && InRange(centre, radius, c) && !c.undead; });
}

CAIGroupNode* CAIGroupBuilder::BuildOwnInRangeUndead(int army, CAICell centre, int radius) {
  return BuildWhere([&](const CCreature& c) { return Own(army, c) && InRange(centre, radius, c) && c.undead; });
}

CAIGroupNode* CAIGroupBuilder::BuildOwnInRangeReachable(int army, CAICell centre, int radius) {
  return BuildWhere(
      [&](const CCreature& c) { return Own(army, c) && InRange(centre, radius, c) && Reachable(centre, c); });
}

CAIGroupNode* CAIGroupBuilder::BuildOwnInSight(int army, CAICell centre, int radius) {
  CLineWalker walker;
  return BuildWhere(
      [&](const CCreature& c) {
        return Own(army, c) && SeenBy(c, army) && InRange(centre, radius, c) &&
               ClearLine(walker, centre, c, int64_t{radius} * 32);
      },
      true);
}

CAIGroupNode* CAIGroupBuilder::BuildOwnWatching(int army, CAICell centre, int radius, const CCreature* self) {
  CLineWalker walker;
  return BuildWhere(
      [&](const CCreature& c) {
        return Own(army, c) && SeenBy(c, army) && InRange(centre, radius, c) && Watches(walker, centre, c, self);
      },
      true);
}

CAIGroupNode* CAIGroupBuilder::BuildOwnWizardsInSight(int army, CAICell centre, int radius) {
  CLineWalker walker;
  return BuildWhere(
      [&](const CCreature& c) {
        return Own(army, c) && SeenBy(c, army) && InRange(centre, radius, c) && IsWizardType(c.typeNumber) &&
               ClearLine(walker, Raised(centre), c, int64_t{radius} * 32);
      },
      true);
}

CAIGroupNode* CAIGroupBuilder::BuildOwnCone(const CCreature& caster, CAICell point, int radius) {
  const Cone cone(caster, point, radius);
  return BuildWhere([&](const CCreature& c) { return Own(caster.army, c) && cone.Holds(c); });
}

// --- clusters ------------------------------------------------------------------------------

CAIGroupNode* CAIGroupBuilder::ClusterArmy(int army) {
  std::vector<CAIGroupNode*> items;
  if (ValidArmy(army))
    g_creatureArray.ForEachInUse([&](CCreature& c) {
      if (!c.IsAlive() || c.army != army) return;
      CAIGroupNode* leaf = NewLeafNode(&c);
      CAIGroupNode* item = NewGroupNode();
      if (!leaf || !item) return;
      leaf->centreX = c.cellX;
      leaf->centreY = c.cellY;
      leaf->centreZ = c.level;
      leaf->pathNode = c.nodeRoute.NearestNode();
      leaf->spread = 0;
      leaf->owner = c.mayFly;
      CopyPosition(*leaf, *item);
      Attach(item, leaf);
      items.push_back(item);
    });
  return Cluster(std::move(items));
}

CAIGroupNode* CAIGroupBuilder::ClusterSightings(const CAIPlayerMemory& memory, int army, int tick, bool all) {
  std::vector<CAIGroupNode*> items;
  for (const auto& [key, sighting] : memory.enemies) {
    const CCreature& seen = sighting.copy;
    if (!seen.inUse || !EnemyOf(army, seen) || (!all && sighting.currentTick != tick)) continue;
    CAIGroupNode* item = NewGroupNode();
    if (!item) continue;
    const int64_t speed = seen.type ? seen.type->maxSpeed : 0;
    const int64_t drift = (int64_t{tick} - sighting.lastSeenTick) * speed / kSightingSpeedScale;
    item->key = key;
    item->centreX = CWrapCoord::WrapX(seen.cellX);
    item->centreY = CWrapCoord::WrapY(seen.cellY);
    item->centreZ = seen.level;
    item->pathNode = seen.nodeRoute.goal[5];
    item->spread = static_cast<int32_t>(std::min<int64_t>(drift * drift, INT_MAX));
    item->owner = seen.mayFly;
    // The creature of the slot it was seen in stands for it until the group is refreshed.
    if (CCreature* live = g_creatureArray.At(seen.index)) {
      CAIGroupNode* leaf = NewLeafNode(live);
      if (leaf) {
        CopyPosition(*item, *leaf);
        Attach(item, leaf);
      }
    }
    items.push_back(item);
  }
  return Cluster(std::move(items));
}

CAIGroupNode* CAIGroupBuilder::Cluster(std::vector<CAIGroupNode*> top) {
  // Connections asked once per call: the map and the network stand still meanwhile, and a
  // node keeps its path node when it absorbs another.
  std::map<std::tuple<int, int, int, int, int, int, int>, bool> known;
  const auto connected = [&](CAIGroupNode* a, CAIGroupNode* b) {
    const CCreature* mover = Mover(a);
    const CMoveQuery query = mover ? mover->MakeMoveQuery() : CMoveQuery{};
    if (!clusterCache) return Connected(*a, *b, query);
    const bool byNetwork = a->pathNode >= 0 && b->pathNode >= 0;
    const auto key = byNetwork ? std::make_tuple(a->pathNode, b->pathNode, mover ? mover->index : -1, -1, -1, -1, -1)
                               : std::make_tuple(a->centreX, a->centreY, a->centreZ, b->centreX, b->centreY, b->centreZ,
                                                 mover ? mover->index : -1);
    auto found = known.find(key);
    if (found == known.end()) found = known.emplace(key, Connected(*a, *b, query)).first;
    return found->second;
  };
  struct Pair {
    int64_t d;
    size_t first, second;
  };
  for (;;) {
    std::vector<Pair> pairs;
    for (size_t i = 0; i < top.size(); ++i)
      for (size_t j = i + 1; j < top.size(); ++j) {
        const CAIGroupNode& a = *top[i];
        const CAIGroupNode& b = *top[j];
        if (a.owner != b.owner) continue;
        const int64_t d = WrappedDistanceSq(a.centreX, a.centreY, a.centreZ, b.centreX, b.centreY, b.centreZ) +
                          (int64_t{a.spread} + b.spread) / 2;
        if (d <= kClusterReach) pairs.push_back({d, i, j});
      }
    std::stable_sort(pairs.begin(), pairs.end(), [](const Pair& x, const Pair& y) { return x.d < y.d; });
    const auto merge =
        std::find_if(pairs.begin(), pairs.end(), [&](const Pair& p) { return connected(top[p.first], top[p.second]); });
    if (merge == pairs.end()) break;
    CAIGroupNode* keep = top[merge->first];
    CAIGroupNode* absorbed = top[merge->second];
    Attach(keep, absorbed);
    keep->centreX = CWrapCoord::WrapX(keep->centreX + WrapDeltaX(keep->centreX, absorbed->centreX) / 2);
    keep->centreY = CWrapCoord::WrapY(keep->centreY + WrapDeltaY(keep->centreY, absorbed->centreY) / 2);
    keep->centreZ += (absorbed->centreZ - keep->centreZ) / 2;
    top.erase(top.begin() + static_cast<std::ptrdiff_t>(merge->second));
  }
  CAIGroupNode* root = NewGroupNode();
  for (CAIGroupNode* cluster : top) Attach(root, cluster);
  return root;
}

const std::vector<CAIGroupNode*>& GetPlayerRecordGroups(CAIPlayerMemory& record, int army, int tick) {
  if (record.groupsMade) return record.groupsA;
  record.FreeGroups();
  record.groupsMade = 1;
  // The clusters go to the first list and every node beneath them to the second, so the
  // record owns each node once; the root that held them goes.
  std::vector<CAIGroupNode*> made;
  CAIGroupBuilder builder(made);
  CAIGroupNode* root = builder.ClusterSightings(record, army, tick, true);
  if (!root) return record.groupsA;
  std::vector<CAIGroupNode*> clusters = root->children;
  root->RemoveAllChildren();
  builder.DeleteGroup(root);
  for (CAIGroupNode* node : made) {
    if (!node) continue;
    const bool cluster = std::find(clusters.begin(), clusters.end(), node) != clusters.end();
    (cluster ? record.groupsA : record.groupsB).push_back(node);
  }
  return record.groupsA;
}
