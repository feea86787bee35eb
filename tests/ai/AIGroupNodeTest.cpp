// Group trees: walks and their cursors, edits under a walk, the minimum level, the group
// tests, and the refresh of a group from a side's memory.
#include <array>
#include <climits>
#include <cstring>

#include "AIGroupTrees.h"
#include "ai/AIPlayerMemory.h"
#include "ai/AIUtilities.h"
#include "creatures/SpellDefinition.h"

namespace ai_test {
namespace {

using Slots = std::vector<int>;

class AIGroupNodeTest : public GroupTrees {};

TEST_F(AIGroupNodeTest, WalksAreDepthFirstInChildOrder) {
  CAIGroupNode* a = Leaf(Creature(1, 0, 0, 0));
  CAIGroupNode* b = Leaf(Creature(2, 0, 0, 0));
  CAIGroupNode* c = Leaf(Creature(3, 0, 0, 0));
  CAIGroupNode* inner = Inner({b, c});
  CAIGroupNode* empty = Inner();
  CAIGroupNode* root = Inner({a, empty, inner});
  EXPECT_EQ(Walk(root), (Slots{1, 2, 3}));
  EXPECT_EQ(Walk(root), (Slots{1, 2, 3}));  // a finished walk gave its cursor back
  EXPECT_EQ(CountMembers(root), 3);
  EXPECT_EQ(CountChildren(root), 3);
  EXPECT_EQ(CountMembers(nullptr), 0);
  EXPECT_EQ(CountMembers(empty), 0);
  EXPECT_EQ(inner->parent, root);
  root->AddChild(b);  // b already has a parent: nothing changes
  EXPECT_EQ(CountChildren(root), 3);
  a->AddChild(c);  // a leaf takes no children
  EXPECT_TRUE(a->children.empty());
}

TEST_F(AIGroupNodeTest, ALeafYieldsItsCreatureOncePerWalk) {
  CAIGroupNode* leaf = Leaf(Creature(4, 0, 0, 0));
  const int first = GroupFirstMember(leaf);
  EXPECT_EQ(GroupNextMember(leaf, first), g_creatureArray.At(4));
  EXPECT_EQ(GroupNextMember(leaf, first), nullptr);
  EXPECT_TRUE(leaf->cursorFree[first]);
  const int again = GroupFirstMember(leaf);
  EXPECT_EQ(GroupNextMember(leaf, again), g_creatureArray.At(4));
}

TEST_F(AIGroupNodeTest, ANinthWalkTakesTheCursorNextCursorNames) {
  CAIGroupNode* root = Inner({Leaf(Creature(1, 0, 0, 0)), Leaf(Creature(2, 0, 0, 0))});
  int cursors[8];
  for (int i = 0; i < 8; ++i) {
    cursors[i] = GroupFirstMember(root);
    EXPECT_EQ(cursors[i], i);
  }
  EXPECT_EQ(GroupNextMember(root, cursors[0])->index, 1);
  const int ninth = GroupFirstMember(root);
  EXPECT_EQ(ninth, 0);
  EXPECT_EQ(root->nextCursor, 1);
  // The walk that held cursor 0 lost its place: both now advance one walk from the start.
  EXPECT_EQ(GroupNextMember(root, cursors[0])->index, 1);
  EXPECT_EQ(GroupNextMember(root, ninth)->index, 2);
  EXPECT_EQ(GroupFirstMember(root), 1);
}

TEST_F(AIGroupNodeTest, TheMinimumLevelHidesLeavesBelowIt) {
  CAIGroupNode* low = Leaf(Creature(1, 0, 0, 0), 2);
  CAIGroupNode* root = Inner({low, Leaf(Creature(2, 0, 0, 0))});
  EXPECT_EQ(Walk(root), (Slots{2}));
  EXPECT_EQ(CountChildren(root), 1);
  g_aiMinGroupLevel = 2;
  EXPECT_EQ(Walk(root), (Slots{1, 2}));
  g_aiMinGroupLevel = 3;
  EXPECT_TRUE(HasMemberAtLevel(low, 2));
  EXPECT_FALSE(HasMemberAtLevel(low, 3));
  EXPECT_EQ(g_aiMinGroupLevel, 3);  // restored
  ActivateAll(root);
  EXPECT_EQ(low->level, kGroupLevelActive);
}

TEST_F(AIGroupNodeTest, RemovingAChildUnderAWalkNeitherSkipsNorRepeats) {
  struct Case {
    const char* name;
    int walkedBefore;  // members taken before the removal
    int removed;       // index of the child removed
    Slots rest;        // what the walk yields afterwards
  };
  const Case cases[] = {
      {"behind the walk", 3, 0, {4, 5}},
      {"the child being walked", 3, 2, {4, 5}},
      {"ahead of the walk", 1, 3, {2, 3, 5}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    nodes.clear();
    std::vector<CAIGroupNode*> leaves;
    for (int slot = 1; slot <= 5; ++slot) leaves.push_back(Leaf(Creature(slot, 0, 0, 0)));
    CAIGroupNode* root = Inner({leaves[0], leaves[1], leaves[2], leaves[3], leaves[4]});
    const int cursor = GroupFirstMember(root);
    for (int i = 0; i < c.walkedBefore; ++i) GroupNextMember(root, cursor);
    root->RemoveChild(leaves[static_cast<size_t>(c.removed)]);
    EXPECT_EQ(leaves[static_cast<size_t>(c.removed)]->parent, nullptr);
    Slots rest;
    while (CCreature* m = GroupNextMember(root, cursor)) rest.push_back(m->index);
    EXPECT_EQ(rest, c.rest);
  }
}

TEST_F(AIGroupNodeTest, DestroyingANodeDetachesItBothWays) {
  CAIGroupNode* a = Leaf(Creature(1, 0, 0, 0));
  auto middle = std::make_unique<CAIGroupNode>();
  middle->AddChild(a);
  CAIGroupNode* root = Inner({middle.get()});
  middle.reset();
  EXPECT_EQ(a->parent, nullptr);
  EXPECT_TRUE(root->children.empty());
  EXPECT_EQ(g_aiMinGroupLevel, kGroupLevelActive);
}

TEST_F(AIGroupNodeTest, GroupCentreTakesTheShortWayAcrossTheSeam) {
  struct Case {
    const char* name;
    std::vector<std::array<int, 3>> cells;
    int x, y, z;
  };
  const Case cases[] = {
      {"x 63 and 1 on width 64", {{63, 5, 0}, {1, 5, 2}}, 0, 5, 1},
      {"y 47 and 3 on height 48", {{10, 47, 0}, {12, 3, 0}}, 11, 1, 0},
      {"inside the map", {{10, 10, 0}, {20, 30, 4}, {30, 20, 2}}, 20, 20, 2},
      {"one member", {{7, 8, 3}}, 7, 8, 3},
      {"no member", {}, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CAIGroupNode* root = Inner();
    int slot = 1;
    for (const auto& cell : c.cells) root->AddChild(Leaf(Creature(slot++, 0, cell[0], cell[1], cell[2])));
    int x = -1, y = -1, z = -1;
    GroupCentre(root, x, y, z);
    EXPECT_EQ(x, c.x);
    EXPECT_EQ(y, c.y);
    EXPECT_EQ(z, c.z);
  }
}

TEST_F(AIGroupNodeTest, MemberTests) {
  CCreature& wizard = Creature(1, 0, 0, 0, 0, 24);
  CCreature& illusion = Creature(2, 0, 0, 0);
  illusion.illusion = 1;
  CCreature& bound = Creature(3, 0, 0, 0);
  bound.earthBind = 40;
  wizard.nodeRoute.NearestNode() = 5;
  illusion.nodeRoute.NearestNode() = 6;
  bound.nodeRoute.NearestNode() = -1;

  CAIGroupNode* onlyIllusion = Inner({Leaf(illusion)});
  CAIGroupNode* wizardGroup = Inner({Leaf(wizard), Leaf(Creature(4, 0, 0, 0))});
  CAIGroupNode* boundGroup = Inner({Leaf(bound)});
  CAIGroupNode* empty = Inner();

  EXPECT_TRUE(GroupHasWizard(wizardGroup));
  EXPECT_FALSE(GroupHasWizard(onlyIllusion));
  EXPECT_FALSE(GroupHasRealMember(onlyIllusion));
  EXPECT_FALSE(GroupHasRealMember(empty));
  EXPECT_TRUE(GroupHasRealMember(boundGroup));
  EXPECT_TRUE(AllMembersOnPathNodes(onlyIllusion));
  EXPECT_TRUE(AllMembersOnPathNodes(empty));
  EXPECT_FALSE(AllMembersOnPathNodes(boundGroup));
  EXPECT_FALSE(NoMemberBound(boundGroup));
  EXPECT_TRUE(NoMemberBound(onlyIllusion));
}

// Mana waits as the fake says: the caster's believed mana per army stands for the wait.
struct FakeWaits : IAIWorld {
  int ManaWaitSeenBy(const CCreature& caster, int army, int) override { return caster.manaStores[army]; }
};

TEST_F(AIGroupNodeTest, BestCastWaitCountsMembersThePermissionTableAllows) {
  FakeWaits waits;
  HookScope<IAIWorld> scope(g_aiWorld, waits);
  constexpr int kSpell = 12;
  CSpellDefinition saved = g_spellDefs[kSpell];
  CCreature& wizard = Creature(1, 0, 0, 0, 0, 0);
  CCreature& soldier = Creature(2, 0, 0, 0);
  wizard.manaStores[1] = 40;
  wizard.manaStores[2] = 15;
  wizard.manaStores[3] = 5;
  CAIGroupNode* targets = Inner({Leaf(Creature(3, 1, 0, 0)), Leaf(Creature(4, 2, 0, 0)), Leaf(Creature(5, 3, 0, 0))});
  struct Case {
    const char* name;
    CAIGroupNode* caster;
    std::vector<int> permittedArmies;
    bool any;
    int wait;
  };
  const Case cases[] = {
      {"armies 1 and 2 allowed", Leaf(wizard), {1, 2}, true, 15},
      {"only army 1", Leaf(wizard), {1}, true, 40},
      {"none allowed", Leaf(wizard), {}, false, INT_MAX},
      {"caster no wizard", Leaf(soldier), {1, 2, 3}, false, INT_MAX},
      {"no caster", Inner(), {1, 2, 3}, false, INT_MAX},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::memset(g_spellDefs[kSpell].Sightings, 0, sizeof g_spellDefs[kSpell].Sightings);
    for (int army : c.permittedArmies) g_spellDefs[kSpell].Sightings[army][0] = 1;
    g_spellDefs[kSpell].Sightings[3][1] = 1;  // another caster army's column counts for nothing
    int wait = 0;
    EXPECT_EQ(BestCastWait(targets, c.caster, kSpell, wait), c.any);
    EXPECT_EQ(wait, c.wait);
  }
  int wait = 0;
  EXPECT_FALSE(BestCastWait(nullptr, Leaf(wizard), kSpell, wait));  // no target group
  EXPECT_EQ(wait, INT_MAX);
  g_spellDefs[kSpell] = saved;
}

CAIRememberedEnemy Remembered(int slot, int tick) {
  CAIRememberedEnemy entry;
  entry.copy.index = slot;
  entry.currentTick = entry.lastSeenTick = tick;
  return entry;
}

TEST_F(AIGroupNodeTest, ReconcileAssignmentsKeepsOnlyConfirmedLivingEnemies) {
  constexpr int kTick = 50;
  Creature(10, 1, 20, 20);
  Creature(11, 1, 30, 20);
  Creature(12, 1, 0, 0).health = 0;  // dead
  Creature(13, 2, 0, 0);             // friendly to army 0
  g_armyTable.armies[0].SetAlliance(2, 1);
  CAIEnemyMap memory;
  memory[1] = Remembered(10, kTick);
  memory[2] = Remembered(11, kTick);
  memory[3] = Remembered(12, kTick);
  memory[4] = Remembered(13, kTick);
  memory[5] = Remembered(10, kTick - 1);  // confirmed at another tick
  memory[7] = Remembered(99, kTick);      // names no creature in use
  struct Case {
    const char* name;
    int key;
    int army;
    int level;
    bool changed;
  };
  const Case cases[] = {
      {"hostile alive", 1, 0, kGroupLevelActive, true},      {"no entry", 6, 0, kGroupLevelDropped, true},
      {"other tick", 5, 0, kGroupLevelDropped, true},        {"dead", 3, 0, kGroupLevelDropped, false},
      {"friendly", 4, 0, kGroupLevelDropped, false},         {"no creature in use", 7, 0, kGroupLevelDropped, false},
      {"army outside 0-7", 1, 8, kGroupLevelDropped, false},
  };
  CCreature& stale = Creature(40, 1, 0, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CAIGroupNode* leaf = Leaf(stale, kGroupLevelDropped);
    leaf->key = c.key;
    CAIGroupNode* group = Inner({leaf});
    EXPECT_EQ(ReconcileAssignments(group, memory, kTick, c.army), c.changed);
    EXPECT_EQ(leaf->level, c.level);
  }
  // Two kept leaves pull the centre to their short-way mean.
  CAIGroupNode* first = Leaf(stale);
  CAIGroupNode* second = Leaf(stale);
  first->key = 1;
  second->key = 2;
  CAIGroupNode* group = Inner({first, second});
  group->centreX = 60;
  EXPECT_TRUE(ReconcileAssignments(group, memory, kTick, 0));
  EXPECT_EQ(first->creature->index, 10);
  EXPECT_EQ(second->creature->index, 11);
  EXPECT_EQ(group->centreX, 25);
  EXPECT_EQ(group->centreY, 20);
}

}  // namespace
}  // namespace ai_test
