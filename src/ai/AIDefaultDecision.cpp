#include "ai/AIDefaultDecision.h"

#include "ai/AIGroupNode.h"

void CAIDefaultDecision::Prepare(CAIGroupNode* node, CAIPlayerMemory*, int) {
  group = node;
  offered_ = !node || node->parent != nullptr;
}

bool CAIDefaultDecision::Evaluate(float* score, CAIBudget&, int) {
  if (offered_) return false;
  offered_ = true;
  *score = -1.0f;
  return true;
}
