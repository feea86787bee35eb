#pragma once
// A small scene for the spell decisions: a computer wizard of army 1 on the creature field with
// every spell it is asked to know and mana to spare, its side-level node, enemies of army 2
// its side sees, and a world in which every cast may go anywhere (a test narrows it).

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

#include "AIField.h"
#include "ai/AIBudget.h"
#include "ai/AICastLog.h"
#include "ai/AIDecision.h"
#include "ai/AIMeasureIds.h"
#include "ai/AISpellDecision.h"
#include "ai/AIUtilities.h"
#include "core/Hooks.h"

namespace ai_test {

// Casts may go anywhere, bursts reach everyone, unless a test says otherwise.
struct SceneWorld : IAIWorld {
  std::function<bool(int spell, int target)> castable;  // null: every cast
  bool bursts = true;
  int CheckSpellTarget(int, int, int, int, int, int, int spell, int, int target, int) override {
    return !castable || castable(spell, target) ? 0 : 5;
  }
  bool ProjectileReaches(int, int, int, int, int, int, int, int, int) override { return bursts; }
};

class SpellScene : public AIGroups {
 protected:
  void SetUp() override {
    AIGroups::SetUp();
    g_aiTimeSystem = kAIBudgetSteps;
    for (int id = 1; id < kAIMeasureCount; ++id) SetPair(id, 0.0f, 1.0e6f);
    wizard = &PlaceWizard(1, 10, 10);
    wizard->SetMaxMana(1000);
    wizard->mana = 1000 << 8;
    UseArmy(2);
    node = builder.NewLeafNode(wizard);
    node->kind = 1;
    TakeAICastNotes();
  }
  void TearDown() override {
    TakeAICastNotes();
    AIGroups::TearDown();
  }
  void Knows(std::initializer_list<int> spells) {
    for (int spell : spells) wizard->AddSpell(spell);
  }
  CCreature& Friend(int x, int y, int type = 1) { return Place(type, 1, x, y); }
  CCreature& Enemy(int x, int y, int type = 1) {
    CCreature& c = Place(type, 2, x, y);
    c.sightingCounters[1] = 1;
    return c;
  }
  static void Attack(CCreature& attacker, const CCreature& victim) {
    attacker.order = ORDER_ATTACK_CREATURE;
    attacker.target = victim.index;
  }
  // Prepares and scores every candidate with a large budget: (target slot, score) in order;
  // the best is kept.
  std::vector<std::pair<int, float>> ScoreAll(CAISpellDecision& d, CAIPlayerMemory* players = nullptr) {
    d.Prepare(node, players, 0);
    CAIBudget budget;
    budget.Start(1000000);
    std::vector<std::pair<int, float>> scored;
    float score = 0.0f, best = -2.0f;
    while (d.Evaluate(&score, budget, 0)) {
      scored.push_back({d.Working().target.slot, score});
      if (score > best) {
        best = score;
        d.KeepBest();
      }
    }
    return scored;
  }

  SceneWorld world;
  HookScope<IAIWorld> worldScope{g_aiWorld, world};
  CCreature* wizard = nullptr;
  CAIGroupNode* node = nullptr;
};

}  // namespace ai_test
