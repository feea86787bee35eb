#pragma once
// The books a controller must keep balanced after every frame, whatever its creatures and
// decisions did: one leaf per handled creature, named by it and known to the controller; no
// group queued twice; decisions in force on known groups that point back at them; parents and
// children that agree. Header only; wrap a call in ASSERT_NO_FATAL_FAILURE or check
// HasFatalFailure after it.

#include <gtest/gtest.h>

#include <set>

#include "ai/AIController.h"
#include "ai/AIDecision.h"
#include "creatures/CreatureArray.h"

namespace ai_test {

// `innerGroupsSeen` counts the inner groups met (merges and joins happened).
inline void CheckControllerBooks(CAIController& ai, int frame, long& innerGroupsSeen) {
  std::set<CAIGroupNode*> known(ai.groups.begin(), ai.groups.end());
  ASSERT_EQ(known.size(), ai.groups.size()) << frame;
  // One leaf per handled creature, named by it and known to the controller.
  for (int s = 0; s < kAISlots; ++s) {
    const CCreature& c = *g_creatureArray.At(s);
    CAIGroupNode* leaf = c.aiGroupNode[ai.mode];
    if (!leaf) continue;
    ASSERT_TRUE(known.count(leaf)) << frame << " slot " << s;
    ASSERT_EQ(leaf->creature, &c) << frame;
    int named = 0;
    for (CAIGroupNode* node : ai.groups)
      if (node->creature == &c && node->level != kGroupLevelDropped) ++named;
    ASSERT_LE(named, 1) << frame << " slot " << s;
  }
  // No group waits twice, and every waiting group is known.
  for (const auto* queue : {&ai.sideQueue, &ai.unitQueue}) {
    std::set<CAIGroupNode*> seen;
    for (CAIGroupNode* group : *queue) {
      ASSERT_TRUE(seen.insert(group).second) << frame;
      ASSERT_TRUE(known.count(group)) << frame;
    }
  }
  // Decisions in force act on groups the controller knows, which point back at them.
  for (const auto& [id, decision] : ai.active) {
    ASSERT_TRUE(known.count(decision->group)) << frame << " decision " << id;
    ASSERT_EQ(decision->group->decision, decision) << frame;
    ASSERT_EQ(decision->id, id);
  }
  // Parents and children agree.
  for (CAIGroupNode* node : ai.groups) {
    if (!node->creature && !node->children.empty()) ++innerGroupsSeen;
    if (node->parent && node->parent != &ai.scratchA && node->parent != &ai.scratchB)
      ASSERT_TRUE(known.count(node->parent)) << frame;
    for (CAIGroupNode* child : node->children) ASSERT_EQ(child->parent, node) << frame;
  }
}

}  // namespace ai_test
