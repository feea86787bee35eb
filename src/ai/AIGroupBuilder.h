#pragma once
// CAIGroupBuilder: makes the temporary group trees the decisions reason about (the creatures
// of an army, the enemies an army has seen near a point, the attackers of a group, clusters
// of remembered enemies) out of CAIGroupNode leaves and inner nodes. Every node it makes is
// recorded in the node list it was given (a decision's own list), which owns it: the list's
// owner frees what is left in it.
//
// The builders walk the living creatures of the creature pool in slot order, each starting
// afresh; each returns one new inner node holding a new leaf for every creature that
// qualifies. A creature may so stand in several temporary groups at once.

#include <vector>

class CAIGroupNode;
class CCreature;
struct CAIPlayerMemory;

// A cell position: x and y in tiles, z the level.
struct CAICell {
  int x = 0, y = 0, z = 0;
};

class CAIGroupBuilder {
 public:
  explicit CAIGroupBuilder(std::vector<CAIGroupNode*>& nodes) : nodes_(nodes) {}

  // --- nodes ---
  // A new leaf for the creature (kind -1, key -1, position members 0, level 3), recorded.
  CAIGroupNode* NewLeafNode(CCreature* creature);
  // A new empty inner node, recorded.
  CAIGroupNode* NewGroupNode();
  // A deep copy: leaves become new leaves of the same creatures; leaf children below
  // g_aiMinGroupLevel are left out; key and the position members are copied.
  CAIGroupNode* CopyGroup(CAIGroupNode* node);
  // Frees the node and all its descendants, taking each out of the node list.
  void DeleteGroup(CAIGroupNode* node);
  // Attaches the child when the parent holds no creature and the child has no parent yet.
  static bool Attach(CAIGroupNode* parent, CAIGroupNode* child);

  // --- builders over the creature pool ---
  CAIGroupNode* BuildArmyGroup(int army);
  CAIGroupNode* BuildSeenFriendsGroup(int army);  // seen by the army, friends, not type 27
  CAIGroupNode* BuildSeenEnemiesGroup(int army);
  // Creatures attacking a member of the group (attack orders, or reactions and behaviour
  // aimed at a member).
  CAIGroupNode* BuildAttackersGroup(CAIGroupNode* group);
  // Seen enemies of the army within radius tiles of the centre, and the variants that also
  // ask for an empty column above, not airborne, living, undead, or reachable by a greedy walk.
  CAIGroupNode* BuildEnemiesInRange(int army, CAICell centre, int radius);
  CAIGroupNode* BuildEnemiesInRangeUnderSky(int army, CAICell centre, int radius);
  CAIGroupNode* BuildEnemiesInRangeGrounded(int army, CAICell centre, int radius);
  CAIGroupNode* BuildEnemiesInRangeLiving(int army, CAICell centre, int radius);
  CAIGroupNode* BuildEnemiesInRangeUndead(int army, CAICell centre, int radius);
  CAIGroupNode* BuildEnemiesInRangeReachable(int army, CAICell centre, int radius);
  // In range with a clear line of cells from the centre within radius tiles.
  CAIGroupNode* BuildEnemiesInSight(int army, CAICell centre, int radius);
  // Enemy troops (no wizards, not airborne, not fleeing) other than self that could see the
  // centre within their type's ViewRange.
  CAIGroupNode* BuildEnemiesWatching(int army, CAICell centre, int radius, const CCreature* self);
  CAIGroupNode* BuildEnemyTroopsInSight(int army, CAICell centre, int radius);
  CAIGroupNode* BuildEnemyTroopsInSightFiltered(int army, CAICell centre, int radius);
  // Seen enemies of the caster's army within 60 degrees of the direction from the caster
  // toward the point, within radius tiles of the point, not slowed.
  CAIGroupNode* BuildEnemyCone(const CCreature& caster, CAICell point, int radius);
  // The army's own creatures, with the same variants.
  CAIGroupNode* BuildOwnInRange(int army, CAICell centre, int radius);
  CAIGroupNode* BuildOwnInRangeUnderSky(int army, CAICell centre, int radius);
  CAIGroupNode* BuildOwnInRangeLiving(int army, CAICell centre, int radius);
  CAIGroupNode* BuildOwnInRangeUndead(int army, CAICell centre, int radius);
  CAIGroupNode* BuildOwnInRangeReachable(int army, CAICell centre, int radius);
  CAIGroupNode* BuildOwnInSight(int army, CAICell centre, int radius);
  CAIGroupNode* BuildOwnWatching(int army, CAICell centre, int radius, const CCreature* self);
  CAIGroupNode* BuildOwnWizardsInSight(int army, CAICell centre, int radius);
  CAIGroupNode* BuildOwnCone(const CCreature& caster, CAICell point, int radius);

  // --- clusters ---
  // The army's living creatures, each a leaf in an inner node of its own, merged pairwise
  // while the closest connected pair of the same merge class (may fly or not) lies within
  // ten tiles. Answers the inner node holding the clusters.
  CAIGroupNode* ClusterArmy(int army);
  // The same over the enemies a side remembers: each sighting of an army hostile to the
  // deciding army, confirmed at tick unless all are asked for, grows more uncertain with the
  // time since it was seen.
  CAIGroupNode* ClusterSightings(const CAIPlayerMemory& memory, int army, int tick, bool all);

  // Rates a candidate creature as an addition to the wizard's side: the best of a general,
  // a fighter's and a defender's certainty, corrected for the spells hostile wizards were seen
  // casting. prior is a certainty in [-1, 1].
  float ScoreGroup(CCreature& wizard, CCreature& candidate, CAIGroupNode* groupA, CAIGroupNode* enemyGroup,
                   CAIGroupNode* targetGroup, float prior);

  std::vector<CAIGroupNode*>& Nodes() { return nodes_; }

  // Whether clustering remembers the connections it asked within one call (on by default;
  // off, every pair is asked again each round, which gives the same trees slower).
  static bool clusterCache;

 private:
  template <class Test>
  CAIGroupNode* BuildWhere(Test&& qualifies, bool lineTesting = false);
  CAIGroupNode* Record(CAIGroupNode* node);
  CAIGroupNode* Cluster(std::vector<CAIGroupNode*> items);

  std::vector<CAIGroupNode*>& nodes_;
};

// The groups a side's record lists: the clusters of the enemies the side remembers (every
// sighting, as the controller's tick sees it), made by the first decision that asks in a
// memory pass and kept in the record until the controller's next pass frees them. Empty for
// a record that remembers no enemy.
const std::vector<CAIGroupNode*>& GetPlayerRecordGroups(CAIPlayerMemory& record, int army, int tick);
