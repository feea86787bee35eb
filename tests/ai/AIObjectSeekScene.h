#pragma once
// The scene of the fetch and mana-sprite tests: the group decision scene with world objects
// laid straight into the object pool's slots on path nodes of the grid.

#include "AIGroupDecisionScene.h"
#include "ai/AIGroupDecision.h"
#include "creatures/MapObject.h"

namespace ai_test {

class ObjectSeekScene : public GroupDecisionScene {
 protected:
  void SetUp() override {
    GroupDecisionScene::SetUp();
    g_mapObjects.Reset();
    LayGrid();
  }
  void TearDown() override {
    g_mapObjects.Reset();
    GroupDecisionScene::TearDown();
  }
  // An object of the kind in the slot, lying on a grid node.
  static CMapObject& Lay(int slot, int kind, int i, int j) {
    CMapObject& object = g_mapObjects.records[static_cast<size_t>(slot)];
    object.Clear();
    object.index = slot;
    object.inUse = 1;
    object.kind = kind;
    object.cellX = 2 + 4 * i;
    object.cellY = 2 + 4 * j;
    object.node = GridNode(i, j);
    return object;
  }
  CAIGroupNode* Acting(const std::vector<CCreature*>& members) {
    CAIGroupNode* group = Group(members);
    group->kind = 0;
    return group;
  }
  // The group runs the decision at unit level, as the controller leaves it after Execute.
  static void Runs(CAIGroupNode* group, CAIDecision& d) {
    group->decision = &d;
    for (CAIGroupNode* leaf : group->children) leaf->creature->aiGroupNode[0] = leaf;
  }
  // Every candidate the decision scores in one evaluation: the carriers' slots.
  std::vector<int> Carriers(CAIGroupDecision& d, CAIGroupNode* group, int tick) {
    d.side = 1;
    d.Prepare(group, sides, tick);
    std::vector<int> carriers;
    CAIBudget budget = Budget(10000);
    float score = 0.0f;
    while (d.Evaluate(&score, budget, tick)) carriers.push_back(d.work.candidate->creature->index);
    return carriers;
  }
};

}  // namespace ai_test
