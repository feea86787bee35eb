// The group builder: nodes and copies, the builders' range and cone rules, and clustering.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "AIField.h"
#include "ai/AIGroupBuilder.h"
#include "ai/AIGroupNode.h"
#include "ai/AIPlayerMemory.h"

namespace {

using ai_test::AIGroups;

// The creatures of a tree, depth first, as slot numbers; clusters in brackets.
std::string Shape(CAIGroupNode* node) {
  if (!node) return "-";
  if (node->creature) return std::to_string(node->creature->index);
  std::string text = "[";
  for (CAIGroupNode* child : node->children) text += (text.size() > 1 ? " " : "") + Shape(child);
  return text + "]";
}

class GroupBuilder : public AIGroups {
 protected:
  void SetUp() override {
    AIGroups::SetUp();
    UseArmy(1);
    UseArmy(2);
  }
  // A creature of army 2 that army 1 sees.
  CCreature& Enemy(int x, int y, int type = 1) {
    CCreature& c = Place(type, 2, x, y);
    c.sightingCounters[1] = kSightingFull;
    return c;
  }
};

TEST_F(GroupBuilder, NewNodesCopiesAndDeletionKeepTheNodeList) {
  CCreature& a = Place(1, 1, 5, 5);
  CCreature& b = Place(1, 1, 6, 5);
  CAIGroupNode* leaf = builder.NewLeafNode(&a);
  EXPECT_EQ(leaf->kind, -1);
  EXPECT_EQ(leaf->key, -1);
  EXPECT_EQ(leaf->level, kGroupLevelActive);
  CAIGroupNode* group = builder.NewGroupNode();
  EXPECT_TRUE(CAIGroupBuilder::Attach(group, leaf));
  EXPECT_FALSE(CAIGroupBuilder::Attach(leaf, builder.NewLeafNode(&b)));  // a leaf takes no child
  CAIGroupNode* dropped = builder.NewLeafNode(&b);
  CAIGroupBuilder::Attach(group, dropped);
  dropped->level = kGroupLevelDropped;
  group->centreX = 7;
  group->key = 12;
  CAIGroupNode* copy = builder.CopyGroup(group);
  EXPECT_EQ(Shape(copy), "[" + std::to_string(a.index) + "]");  // the dropped leaf left out
  EXPECT_EQ(copy->centreX, 7);
  EXPECT_EQ(copy->key, 12);
  const size_t before = nodes.size();
  builder.DeleteGroup(group);  // the dropped leaf is reached as well
  EXPECT_EQ(nodes.size(), before - 3);
  EXPECT_EQ(Shape(copy), "[" + std::to_string(a.index) + "]");
}

TEST_F(GroupBuilder, AnArmyWithoutLivingCreaturesGivesAnEmptyGroup) {
  CCreature& dead = Place(1, 1, 5, 5);
  dead.health = 0;
  CAIGroupNode* group = builder.BuildArmyGroup(1);
  ASSERT_NE(group, nullptr);
  EXPECT_TRUE(group->children.empty());
  EXPECT_TRUE(builder.BuildArmyGroup(9)->children.empty());
}

TEST_F(GroupBuilder, RangesCountTheRadiusInAndABitBeyondOut) {
  CCreature& atRadius = Enemy(15, 10);
  Enemy(16, 10);                        // six tiles
  CCreature& diagonal = Enemy(13, 14);  // 3² + 4² = 25
  Place(1, 2, 11, 10);                  // not seen by army 1
  CCreature& own = Place(1, 1, 12, 10);
  const CAICell centre{10, 10, 0};
  EXPECT_EQ(Shape(builder.BuildEnemiesInRange(1, centre, 5)),
            "[" + std::to_string(atRadius.index) + " " + std::to_string(diagonal.index) + "]");
  EXPECT_EQ(Shape(builder.BuildOwnInRange(1, centre, 5)), "[" + std::to_string(own.index) + "]");
  atRadius.undead = 1;
  EXPECT_EQ(Shape(builder.BuildEnemiesInRangeUndead(1, centre, 5)), "[" + std::to_string(atRadius.index) + "]");
  EXPECT_EQ(Shape(builder.BuildEnemiesInRangeLiving(1, centre, 5)), "[" + std::to_string(diagonal.index) + "]");
  diagonal.airborne = 1;
  EXPECT_EQ(Shape(builder.BuildEnemiesInRangeGrounded(1, centre, 5)), "[" + std::to_string(atRadius.index) + "]");
}

TEST_F(GroupBuilder, TheConeTakesSixtyDegreesEitherSideOfTheWay) {
  CCreature& caster = Place(0, 1, 10, 10);
  // Toward the east; the cone starts one cell that way, at (11, 10).
  CCreature& inside = Enemy(21, 27);  // 59.5 degrees off the way
  Enemy(21, 28);                      // 60.9 degrees
  CCreature& ahead = Enemy(30, 10);
  Enemy(5, 10);  // behind the caster
  const std::string got = Shape(builder.BuildEnemyCone(caster, {20, 10, 0}, 25));
  EXPECT_EQ(got, "[" + std::to_string(inside.index) + " " + std::to_string(ahead.index) + "]");
  ahead.slow = 5;
  EXPECT_EQ(Shape(builder.BuildEnemyCone(caster, {20, 10, 0}, 25)), "[" + std::to_string(inside.index) + "]");
}

TEST_F(GroupBuilder, AttackersOfAGroupAreThoseAimingAtItsMembers) {
  CCreature& victim = Place(1, 1, 5, 5);
  CCreature& bystander = Place(1, 1, 20, 20);
  CCreature& attacker = Enemy(7, 5);
  attacker.order = ORDER_ATTACK_CREATURE;
  attacker.target = victim.index;
  CCreature& other = Enemy(22, 20);
  other.order = ORDER_ATTACK_CREATURE;
  other.target = bystander.index;
  CAIGroupNode* group = Group({&victim});
  EXPECT_EQ(Shape(builder.BuildAttackersGroup(group)), "[" + std::to_string(attacker.index) + "]");
}

class Clustering : public GroupBuilder {
 protected:
  // A sighting of an army 2 creature by army 1, seen at `seen` and confirmed at `now`.
  void Remember(int key, CCreature& c, int seen, int now) {
    CAIRememberedEnemy& entry = memory.enemies[key];
    entry.copy = c;
    entry.lastSeenTick = seen;
    entry.currentTick = now;
  }
  CAIPlayerMemory memory;
};

TEST_F(Clustering, FreshSightingsFiveTilesApartMergeOldOnesDoNot) {
  CCreature& a = Enemy(10, 10);
  CCreature& b = Enemy(15, 10);
  g_creatureTypes[1].maxSpeed = 72;
  Remember(0, a, 100, 100);
  Remember(1, b, 100, 100);
  CAIGroupNode* fresh = builder.ClusterSightings(memory, 1, 100, false);
  ASSERT_EQ(fresh->children.size(), 1u);  // D = 25
  EXPECT_EQ(fresh->children[0]->centreX, 12);
  EXPECT_EQ(CountMembers(fresh), 2);

  Remember(0, a, 90, 100);
  Remember(1, b, 90, 100);
  CAIGroupNode* old = builder.ClusterSightings(memory, 1, 100, false);
  EXPECT_EQ(old->children.size(), 2u);  // u = 100 each: D = 125
  EXPECT_EQ(old->children[0]->spread, 100);

  Remember(1, b, 90, 99);  // not confirmed now
  EXPECT_EQ(builder.ClusterSightings(memory, 1, 100, false)->children.size(), 1u);
  EXPECT_EQ(builder.ClusterSightings(memory, 1, 100, true)->children.size(), 2u);
}

TEST_F(Clustering, FliersNeverJoinWalkers) {
  CCreature& walker = Place(1, 1, 10, 10);
  CCreature& flier = Place(1, 1, 10, 11);
  CCreature& second = Place(1, 1, 11, 10);
  flier.mayFly = 1;
  CAIGroupNode* clusters = builder.ClusterArmy(1);
  EXPECT_EQ(Shape(clusters), "[[" + std::to_string(walker.index) + " [" + std::to_string(second.index) + "]] [" +
                                 std::to_string(flier.index) + "]]");
}

TEST_F(Clustering, RememberingConnectionsBuildsTheSameTreesOnRandomScenes) {
  std::mt19937 random(7);
  for (int scene = 0; scene < 6; ++scene) {
    g_creatureArray.ReleaseAll();
    memory.enemies.clear();
    for (int n = 0; n < 24; ++n) {
      CCreature& c = Enemy(static_cast<int>(random() % 48), static_cast<int>(random() % 44));
      c.mayFly = random() % 4 == 0;
      Remember(n, c, 100 - static_cast<int>(random() % 3), 100);
    }
    // A wall of rock across part of the map, so that some walks fail.
    for (int y = 0; y < 30; ++y) g_map.CellAt(24, y, 0).terrain = 3;
    CAIGroupBuilder::clusterCache = true;
    const std::string cached = Shape(builder.ClusterSightings(memory, 1, 100, true));
    CAIGroupBuilder::clusterCache = false;
    const std::string plain = Shape(builder.ClusterSightings(memory, 1, 100, true));
    CAIGroupBuilder::clusterCache = true;
    EXPECT_EQ(cached, plain) << scene;
  }
}

}  // namespace
