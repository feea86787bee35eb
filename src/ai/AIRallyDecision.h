#pragma once
// The rally decision (type 10): a group with its wizard gathers at one path node, the
// cheapest node open to the sky as the group's first member sees it. The first member's
// search draws its successors in a random order, so that of equally cheap places the one met
// first wins; every other member must then reach the node, all within one allowance of 50
// steps. The single plan is scored against the enemies the side sees, and while it runs every
// member walks to the node, unless the ground turns more dangerous than the plan accepted.

#include <cstdint>

#include "ai/AIGroupDecision.h"
#include "ai/AINodeSearch.h"

class CAIRallyDecision final : public CAIGroupDecision {
 public:
  static constexpr int kGroupAllowance = 50;

  CAIRallyDecision() : CAIGroupDecision(kAIRallyDecisionType) {}
  CAIDecision* NewInstance() const override { return new (std::nothrow) CAIRallyDecision(); }
  void Prepare(CAIGroupNode* group, CAIPlayerMemory* players, int tick) override;
  bool Evaluate(float* score, CAIBudget& budget, int tick) override;
  bool Step(CAIPlayerMemory* players, int tick, CAIBudget& budget) override;

  CAIGroupNode* seenEnemies = nullptr;
  int32_t rallyNode = -1;
  int32_t groupAllowance = 0;
  CAINodeSearch nodeSearch;

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
