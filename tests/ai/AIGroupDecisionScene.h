#pragma once
// The scene of the group decision tests: the field with the creatures' own answers installed
// for the map (their move queries and node ratings), a path network laid by hand over the
// grass, the sides' memories, and an empty learning store.

#include <vector>

#include "AIField.h"
#include "ai/AIBudget.h"
#include "ai/AIGroupNode.h"
#include "ai/AIPlayerMemory.h"
#include "ai/Brain.h"
#include "core/Options.h"
#include "creatures/Armies.h"
#include "creatures/CreatureMapHooks.h"
#include "map/MapHooks.h"
#include "map/MapViewHooks.h"
#include "map/PathNetwork.h"

namespace ai_test {

class GroupDecisionScene : public AIGroups {
 protected:
  static constexpr int kGridSide = 10;  // nodes a row and a column, 4 tiles apart from (2, 2)

  void SetUp() override {
    AIGroups::SetUp();
    g_aiTimeSystem = kAIBudgetSteps;
    savedMapHooks_ = g_mapHooks;
    savedViewHooks_ = g_mapViewHooks;
    InstallCreatures();
    g_pathNetwork.Clear();
    g_brain.Reset();
  }
  void TearDown() override {
    g_brain.Reset();
    g_pathNetwork.Clear();
    g_mapHooks = savedMapHooks_;
    g_mapViewHooks = savedViewHooks_;
    for (CAIPlayerMemory& side : sides) side.Clear();
    AIGroups::TearDown();
  }

  int AddNode(int x, int y) {
    const int index = g_pathNetwork.count++;
    CPathNode& node = g_pathNetwork.nodes[static_cast<size_t>(index)];
    node = CPathNode{};
    node.inUse = 1;
    node.x = x;
    node.y = y;
    return index;
  }
  // A link both ways that every walker may take, as long as the estimate between the nodes.
  void Join(int a, int b) {
    const int cost = std::max(Node(a).HeuristicCost(Node(b)), 1);
    for (const auto& [from, to] : {std::pair{a, b}, std::pair{b, a}})
      for (CPathLink& link : Node(from).links) {
        if (link.Exists()) continue;
        link = CPathLink{};
        link.cost = cost;
        link.target = to;
        link.groups[kGroupAny].flag = 1;
        link.groups[kGroupAny].tallest[0] = link.groups[kGroupAny].tallest[1] = 10;
        break;
      }
  }
  static CPathNode& Node(int index) { return g_pathNetwork.nodes[static_cast<size_t>(index)]; }
  // A grid of nodes 4 tiles apart, each joined to its four neighbours.
  void LayGrid() {
    for (int j = 0; j < kGridSide; ++j)
      for (int i = 0; i < kGridSide; ++i) AddNode(2 + 4 * i, 2 + 4 * j);
    for (int j = 0; j < kGridSide; ++j)
      for (int i = 0; i < kGridSide; ++i) {
        if (i + 1 < kGridSide) Join(GridNode(i, j), GridNode(i + 1, j));
        if (j + 1 < kGridSide) Join(GridNode(i, j), GridNode(i, j + 1));
      }
  }
  static int GridNode(int i, int j) { return j * kGridSide + i; }
  // A creature standing on a grid node, with that node as its own.
  CCreature& OnGrid(int type, int army, int i, int j) {
    CCreature& c = Place(type, army, 2 + 4 * i, 2 + 4 * j);
    c.nodeRoute.NearestNode() = GridNode(i, j);
    return c;
  }
  CCreature& WizardOnGrid(int army, int i, int j) {
    CCreature& wizard = PlaceWizard(army, 2 + 4 * i, 2 + 4 * j);
    wizard.nodeRoute.NearestNode() = GridNode(i, j);
    return wizard;
  }
  // The side's memory of an enemy, seen and confirmed at the tick.
  void Remember(int side, int key, const CCreature& enemy, int tick) {
    CAIRememberedEnemy& entry = sides[side].enemies[key];
    entry.copy = enemy;
    entry.lastSeenTick = entry.currentTick = tick;
  }
  // The rating the army gives the node (for creatures that are not undead).
  static void Rate(int node, int army, int rating) { Node(node).savedMarks[army][0] = static_cast<uint8_t>(rating); }
  static CAIBudget Budget(int steps) {
    CAIBudget budget;
    budget.Start(steps);
    return budget;
  }

  CAIPlayerMemory sides[kArmyCount];

 private:
  MapHooks savedMapHooks_;
  MapViewHooks savedViewHooks_;
};

}  // namespace ai_test
