#include "AIGroupTrees.h"

namespace ai_test {

void GroupTrees::SetUp() {
  savedWidth_ = g_map.width;
  savedHeight_ = g_map.height;
  savedMinLevel_ = g_aiMinGroupLevel;
  g_map.width = 64;
  g_map.height = 48;
  g_aiMinGroupLevel = kGroupLevelActive;
  for (int slot = 0; slot < g_creatureArray.Capacity(); ++slot) g_creatureArray.At(slot)->Reset(slot);
  g_armyTable.ResetAll();
  for (int a = 0; a < kArmyCount; ++a) g_armyTable.armies[a].SetRelationToAll(0);
}

void GroupTrees::TearDown() {
  nodes.clear();
  for (int slot = 0; slot < g_creatureArray.Capacity(); ++slot) g_creatureArray.At(slot)->Reset(slot);
  g_armyTable.ResetAll();
  g_map.width = savedWidth_;
  g_map.height = savedHeight_;
  g_aiMinGroupLevel = savedMinLevel_;
}

CCreature& GroupTrees::Creature(int slot, int army, int x, int y, int level, int type) {
  CCreature& c = *g_creatureArray.At(slot);
  c.Reset(slot);
  c.inUse = 1;
  c.health = 10;
  c.army = army;
  c.cellX = x;
  c.cellY = y;
  c.level = level;
  c.typeNumber = type;
  g_creatureArray.NoteInUse(slot);
  return c;
}

CAIGroupNode* GroupTrees::Leaf(CCreature& creature, int level) {
  nodes.push_back(std::make_unique<CAIGroupNode>());
  CAIGroupNode* leaf = nodes.back().get();
  leaf->creature = &creature;
  leaf->level = level;
  return leaf;
}

CAIGroupNode* GroupTrees::Inner(std::initializer_list<CAIGroupNode*> children) {
  nodes.push_back(std::make_unique<CAIGroupNode>());
  CAIGroupNode* node = nodes.back().get();
  for (CAIGroupNode* child : children) node->AddChild(child);
  return node;
}

std::vector<int> GroupTrees::Walk(CAIGroupNode* node) {
  std::vector<int> slots;
  const int cursor = GroupFirstMember(node);
  while (CCreature* c = GroupNextMember(node, cursor)) slots.push_back(c->index);
  return slots;
}

}  // namespace ai_test
