#pragma once
// The rally decision (type 10): a group with its wizard gathers at one path node, the
// cheapest node open to the sky as the group's first member sees it. The first member's
// search draws its successors in a random order, so that of equally cheap places the one met
// first wins; every other member must then reach the node, all within one allowance of 50
// steps. The single plan is scored against the enemies the side sees, and while it runs every
// member walks to the node, unless the ground turns more dangerous than the plan accepted.

#include <climits>
#include <cstdint>
#include <map>
#include <vector>

#include "ai/AIGroupDecision.h"

// The search for the cheapest node open to the sky, resumable like the route search.
struct CAIRallySearch {
  bool newSearch = true;
  std::multimap<int32_t, int32_t> open;  // cost -> node, walked in order, never emptied
  std::map<int32_t, CBestFirstSearch::Closed> closed;
  std::multimap<int32_t, int32_t>::iterator position;
  int32_t bestNode = -1;
  int32_t bestCost = INT_MAX;
  std::vector<CSuccessor> successors;
  CAIGroupRoute::Route route;  // the best node first, back to the start

  // One slice from the start node for the creature: true when the search ended (the open
  // list walked or nothing cheaper left to find), false when the expansions ran out first.
  bool Run(int member, int startNode, int32_t& expansions);
  int32_t ClosedCost(int node) const;
  void BuildRoute();
};

class CAIRallyDecision final : public CAIGroupDecision {
 public:
  static constexpr int kGroupAllowance = 50;

  CAIRallyDecision() : CAIGroupDecision(kAIRallyDecisionType) {}
  CAIDecision* NewInstance() const override { return new (std::nothrow) CAIRallyDecision(); }
  void Prepare(CAIGroupNode* group, CAIPlayerMemory* players, int tick) override;
  bool Evaluate(float* score, CAIBudget& budget, int tick) override;
  void KeepBest() override;
  bool Step(CAIPlayerMemory* players, int tick, CAIBudget& budget) override;

  struct Place {
    int32_t x = 0, y = 0, z = 0;
  };
  CAIGroupNode* seenEnemies = nullptr;
  int32_t rallyNode = -1;
  Place workPlace, keptPlace;
  int32_t groupAllowance = 0;
  CAIRallySearch nodeSearch;

 protected:
  void AppendInputs(int members) override;
  CAIGroupNode* MeasuredAgainst() const override { return seenEnemies; }
  int DelayBase() const override { return 100; }

 private:
  // Starts over from the first member with a fresh allowance.
  void Restart();
  // Stage 1: the first member's search for the rally node; 1 found, 0 failed, -1 budget spent.
  int FindRallyNode(CAIBudget& budget);
  // Stage 2: the current member's route to the rally node; as FindRallyNode.
  int RouteMember(CAIBudget& budget);
};
