#pragma once
// The explore decision (type 11): a group goes to a path node its side does not see. Up to
// five nodes are drawn at random from the network; one any creature of the side has a clear
// view of, or one another explorer of the side already goes to, spends its try unscored. A
// drawn node every member can reach is scored against the creatures attacking the group. While
// it runs, the members walk to the node unless each already walks to a place that sees it,
// and they stop when the ground turns more dangerous than the plan accepted.

#include <cstdint>

#include "ai/AIGroupDecision.h"

class CAIExploreDecision final : public CAIGroupDecision {
 public:
  static constexpr int kTries = 5;

  CAIExploreDecision() : CAIGroupDecision(kAIExploreDecisionType) {}
  CAIDecision* NewInstance() const override { return new (std::nothrow) CAIExploreDecision(); }
  void Prepare(CAIGroupNode* group, CAIPlayerMemory* players, int tick) override;
  bool Evaluate(float* score, CAIBudget& budget, int tick) override;
  void KeepBest() override;
  bool Step(CAIPlayerMemory* players, int tick, CAIBudget& budget) override;

  int32_t triesLeft = 0;
  int32_t workNode = -1, keptNode = -1;  // the node the work and kept blocks go to

 protected:
  void AppendInputs(int members) override;
  CAIGroupNode* MeasuredAgainst() const override { return candidateRoot; }
  int DelayBase() const override { return 50; }

 private:
  // Draws a node; true when it is one to score (it then stands in the work block).
  bool DrawNode();
  // Whether a living creature of the side has a clear view of the cell.
  bool SideSees(int x, int y, int z);
  // Whether a member's walk already ends at a place that sees the kept node.
  bool WalkSeesKeptNode(const CCreature& member);
};
