#pragma once
// CAIDefaultDecision (type 0): what a top-level group does when nothing better is found. It
// offers one candidate per preparation with certainty -1, below any real candidate but above
// the evaluation's starting best of -2, and asks for the group again 8 ticks later.

#include "ai/AIDecision.h"

class CAIDefaultDecision final : public CAIDecisionOf<CAIDefaultDecision> {
 public:
  static constexpr int kDelay = 8;

  CAIDefaultDecision() : CAIDecisionOf<CAIDefaultDecision>(kAIDefaultDecisionType) {}
  void Prepare(CAIGroupNode* group, CAIPlayerMemory* players, int tick) override;
  bool Evaluate(float* score, CAIBudget& budget, int tick) override;
  int Execute() override { return kDelay; }

 private:
  bool offered_ = true;  // nothing to offer until prepared for a top-level group
};
