#pragma once
// The evade decision (type 12): a group that is under attack goes to the nearest quiet path
// node, the cheapest node its first member rates 0. The first member's search takes its
// successors in a random order; every other member must then reach the node, all within one
// allowance of 50 budget steps for the whole evaluation, however large the group. While it
// runs, the members take routes around danger to the node, and they stop when the ground
// turns more dangerous than the plan accepted.

#include <cstdint>

#include "ai/AIGroupDecision.h"
#include "ai/AINodeSearch.h"

class CAIEvadeDecision final : public CAIGroupDecision {
 public:
  static constexpr int kGroupAllowance = 50;

  CAIEvadeDecision() : CAIGroupDecision(kAIEvadeDecisionType) {}
  CAIDecision* NewInstance() const override { return new (std::nothrow) CAIEvadeDecision(); }
  void Prepare(CAIGroupNode* group, CAIPlayerMemory* players, int tick) override;
  bool Evaluate(float* score, CAIBudget& budget, int tick) override;
  bool Step(CAIPlayerMemory* players, int tick, CAIBudget& budget) override;

  int32_t quietNode = -1;
  int32_t groupAllowance = 0;
  CAINodeSearch nodeSearch;

 protected:
  void AppendInputs(int members) override;
  CAIGroupNode* MeasuredAgainst() const override { return candidateRoot; }
  int DelayBase() const override { return 150; }

 private:
  // Stage 1: the first member's search for the quiet node; 1 found, 0 failed, -1 budget spent.
  int FindQuietNode(CAIBudget& budget);
};
