#include "ai/AIDecision.h"

#include "ai/AIGroupNode.h"

CAIDecision::~CAIDecision() { FreeGroups(); }

void CAIDecision::FreeGroups() {
  for (CAIGroupNode* node : groups) delete node;  // null entries are skipped by delete
  groups.clear();
}
