#include "ai/AIPlayerMemory.h"

namespace {
void DeleteAll(std::vector<CAIGroupNode*>& nodes) {
  for (CAIGroupNode* node : nodes) delete node;
  nodes.clear();
}
}  // namespace

void CAIPlayerMemory::FreeGroups() {
  DeleteAll(groupsA);
  DeleteAll(groupsB);
  groupsMade = 0;
}

void CAIPlayerMemory::Clear() {
  enemies.clear();
  FreeGroups();
}
