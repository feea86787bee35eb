#pragma once
// Hand-made group trees for the AI tests: creatures in slots of the real pool (so lookups by
// slot find them), a bare map size for the wrap, and leaves and inner nodes the test owns.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ai/AIGroupNode.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/Mapelem.h"
#include "map/Map.h"

namespace ai_test {

class GroupTrees : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A living creature in a pool slot at a cell, of an army (type 1 unless given).
  CCreature& Creature(int slot, int army, int x, int y, int level = 0, int type = 1);
  // A leaf for a creature, owned by the test.
  CAIGroupNode* Leaf(CCreature& creature, int level = kGroupLevelActive);
  // An inner node with the given children, owned by the test.
  CAIGroupNode* Inner(std::initializer_list<CAIGroupNode*> children = {});
  // The slots a full walk yields, in order.
  std::vector<int> Walk(CAIGroupNode* node);

  std::vector<std::unique_ptr<CAIGroupNode>> nodes;

 private:
  int savedWidth_ = 0, savedHeight_ = 0, savedMinLevel_ = 0;
};

}  // namespace ai_test
