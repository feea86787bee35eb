// The common frame of the spell decisions on small hand-made scenes: who may prepare, the
// spell-cost tail, the resumable candidate loop under small budgets, the approach delay and
// the tests of Step before and after the one cast.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>
#include <vector>

#include "AIField.h"
#include "ai/AIBudget.h"
#include "ai/AICastLog.h"
#include "ai/AICertainty.h"
#include "ai/AIManaReserveDecision.h"
#include "ai/AIMeasureIds.h"
#include "ai/AISpellDecision.h"
#include "ai/AIUtilities.h"
#include "core/Hooks.h"
#include "core/Random.h"
#include "creatures/SpellDefinition.h"

namespace {

using ai_test::AIGroups;

constexpr int kType = 27;  // a walking member: its spell at an enemy from a searched cell

// A walking member as the frame alone makes it: every enemy the side sees is a candidate,
// rated by its health (the weaker the better).
class WalkingSpell final : public CAISpellDecisionOf<WalkingSpell> {
 public:
  WalkingSpell() : CAISpellDecisionOf<WalkingSpell>(kType, SpellOfDecisionType(kType)) {}
  void Prepare(CAIGroupNode* node, CAIPlayerMemory*, int tick) override {
    BeginPrepare();
    if (!PassGate(node)) return;
    FetchSideGroups(nullptr);
    if (CountMembers(hostileGroup) == 0) return;
    SetTargetGroup(hostileGroup);
    FinishPrepare(tick);
  }
  void ScoreCandidate(float& weight, float& certainty) override {
    const CCreature* target = working.target.Get();
    weight = 1.0f;
    certainty = target ? 0.5f - 0.01f * static_cast<float>(target->health) : -1.0f;
  }
  using CAISpellDecision::best;
  using CAISpellDecision::castDone;
  using CAISpellDecision::groupWait;
  using CAISpellDecision::savedOrder;
  using CAISpellDecision::working;
};

// Casting is allowed from within four tiles in x of the aim and on nearly its row.
struct NearRowWorld : IAIWorld {
  int CheckSpellTarget(int lx, int ly, int, int ax, int ay, int, int, int, int, int) override {
    return std::abs(lx - ax) <= 4 * 32 + 16 && std::abs(ly - ay) <= 24 ? 0 : 5;
  }
};

class SpellFrame : public AIGroups {
 protected:
  void SetUp() override {
    AIGroups::SetUp();
    g_aiTimeSystem = kAIBudgetSteps;  // budgets count steps
    for (int id = 1; id < kAIMeasureCount; ++id) SetPair(id, 0.0f, 1.0e6f);
    spell = SpellOfDecisionType(kType);
    wizard = &PlaceWizard(1, 5, 5);
    wizard->AddSpell(spell);
    wizard->SetMaxMana(std::max(g_spellDefs[spell].ManaCost * 4, 100));
    wizard->mana = wizard->maxMana << 8;
    PlaceWizard(2, 40, 30);
    node = builder.NewLeafNode(wizard);
    node->kind = 1;
    TakeAICastNotes();
  }
  void TearDown() override {
    TakeAICastNotes();
    AIGroups::TearDown();
  }
  // A creature of army 2 that the wizard's side sees.
  CCreature& Enemy(int x, int y) {
    CCreature& c = Place(1, 2, x, y);
    c.sightingCounters[1] = 1;
    return c;
  }
  // Prepares the decision and keeps its first candidate; false when it has none.
  bool Choose(WalkingSpell& d) {
    d.Prepare(node, nullptr, 0);
    CAIBudget budget;
    budget.Start(100000);
    float score = 0.0f;
    if (!d.Evaluate(&score, budget, 0)) return false;
    d.KeepBest();
    return true;
  }
  // Evaluates every candidate with fresh budgets of `steps` a call; the best candidate.
  std::tuple<int, CAISpellCandidate> RunToEnd(WalkingSpell& d, int steps) {
    float best = -2.0f;
    int calls = 0;
    CAISpellCandidate chosen;
    for (int budgetCalls = 0; budgetCalls < 5000; ++budgetCalls) {
      CAIBudget budget;
      budget.Start(steps);
      float score = 0.0f;
      bool any = false;
      while (d.Evaluate(&score, budget, 0)) {
        any = true;
        ++calls;
        if (score > best) {
          best = score;
          d.KeepBest();
          chosen = d.best;
        }
      }
      if (!any && budget.Remaining() >= 1) break;  // nothing left to score
    }
    return {calls, chosen};
  }

  NearRowWorld world;
  HookScope<IAIWorld> worldScope{g_aiWorld, world};
  int spell = 0;
  CCreature* wizard = nullptr;
  CAIGroupNode* node = nullptr;
};

TEST_F(SpellFrame, OnlyAnOpenSideGroupWhoseWizardCanAffordTheSpellPrepares) {
  Enemy(12, 5);
  CAIManaReserveDecision holding;
  struct Case {
    const char* what;
    int kind;
    CAIDecision* running;
    int maxMana;
    bool knows;
    bool applies;
  } cases[] = {
      {"side group", 1, nullptr, wizard->maxMana, true, true},
      {"unit-level node", 0, nullptr, wizard->maxMana, true, false},
      {"group keeping its mana", 1, &holding, wizard->maxMana, true, false},
      {"spell above the maximum mana", 1, nullptr, g_spellDefs[spell].ManaCost - 1, true, false},
      {"spell not known", 1, nullptr, wizard->maxMana, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    node->kind = c.kind;
    node->decision = c.running;
    wizard->maxMana = c.maxMana;
    wizard->spellCount = 0;
    if (c.knows) wizard->AddSpell(spell);
    WalkingSpell d;
    d.Prepare(node, nullptr, 0);
    CAIBudget budget;
    budget.Start(10000);
    float score = 0.0f;
    EXPECT_EQ(d.Evaluate(&score, budget, 0), c.applies);
    if (c.maxMana < g_spellDefs[spell].ManaCost && c.knows) EXPECT_EQ(d.groupWait, INT_MAX);
  }
  node->decision = nullptr;
}

TEST_F(SpellFrame, TheSpellCostTailBiasesJittersAndClamps) {
  // The three cost folds exactly at their references: they move a certainty of 0 or 1 not
  // at all, so what is left is the bias by AI_Adjustment and the jitter.
  SetPair(ai_measure::kScManaRemaining, static_cast<float>(wizard->mana >> 8), 1.0f);
  SetPair(ai_measure::kScManaDelay, static_cast<float>(wizard->GetManaWaitTime(spell, 1)), 1.0f);
  SetPair(ai_measure::kScSpellCost, static_cast<float>(g_spellDefs[spell].ManaCost), 1.0f);
  struct Case {
    float adjustment;
    float before;
    float lowest, highest;
  } cases[] = {
      {1.0f, 0.0f, -0.05f, 0.049f},   // unchanged before the jitter
      {3.0f, 0.0f, 0.45f, 0.549f},    // the odds tripled: 0 turns into 0.5
      {1000.0f, 0.0f, 0.94f, 1.0f},   // never above 1
      {0.001f, 0.0f, -1.0f, -0.94f},  // never below -1
      {0.0f, 1.0f, -1.0f, -1.0f},     // 0/0 is no number: -1
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.adjustment);
    g_spellDefs[spell].AI_Adjustment = c.adjustment;
    float lowest = 2.0f, highest = -2.0f;
    for (int draw = 0; draw < 300; ++draw) {
      float weight = 1.0f, certainty = c.before;
      AdjustSpellCertainty(*wizard, spell, weight, certainty, 1);
      lowest = std::min(lowest, certainty);
      highest = std::max(highest, certainty);
    }
    EXPECT_GE(lowest, c.lowest - 1e-5f);
    EXPECT_LE(highest, c.highest + 1e-5f);
    EXPECT_GE(lowest, -1.0f);
    EXPECT_LE(highest, 1.0f);
  }
  // The jitter covers its whole span.
  g_spellDefs[spell].AI_Adjustment = 1.0f;
  float lowest = 1.0f, highest = -1.0f;
  for (int draw = 0; draw < 2000; ++draw) {
    float weight = 1.0f, certainty = 0.0f;
    AdjustSpellCertainty(*wizard, spell, weight, certainty, 1);
    lowest = std::min(lowest, certainty);
    highest = std::max(highest, certainty);
  }
  EXPECT_NEAR(lowest, -0.05f, 1e-5f);
  EXPECT_NEAR(highest, 0.049f, 1e-5f);
}

TEST_F(SpellFrame, SmallBudgetsReachTheSameBestCandidateAndCastCellAsAnUncutRun) {
  Enemy(12, 5).health = 30;
  CCreature& weak = Enemy(11, 9);
  weak.health = 5;
  WalkingSpell uncut;
  g_aiRandom.Seed(77);
  uncut.Prepare(node, nullptr, 0);
  const auto [uncutCalls, uncutBest] = RunToEnd(uncut, 1000000);
  ASSERT_EQ(uncutCalls, 2);
  EXPECT_EQ(uncutBest.target.slot, weak.index);
  for (int steps : {1, 2, 10}) {
    SCOPED_TRACE(steps);
    WalkingSpell cut;
    g_aiRandom.Seed(77);
    cut.Prepare(node, nullptr, 0);
    const auto [calls, best] = RunToEnd(cut, steps);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(best.target.slot, uncutBest.target.slot);
    EXPECT_EQ(std::tie(best.castX, best.castY, best.castLevel),
              std::tie(uncutBest.castX, uncutBest.castY, uncutBest.castLevel));
    EXPECT_EQ(best.routeCost, uncutBest.routeCost);
  }
}

TEST_F(SpellFrame, TheEvaluationEndsSixTicksAfterPrepare) {
  Enemy(12, 5);
  WalkingSpell d;
  d.Prepare(node, nullptr, 100);
  CAIBudget budget;
  budget.Start(100000);
  float score = 0.0f;
  EXPECT_FALSE(d.Evaluate(&score, budget, 107));
  EXPECT_TRUE(d.Evaluate(&score, budget, 106));
}

TEST_F(SpellFrame, TheBaseDelayIsTheGroupWaitOrTheWalkWhenThatIsLonger) {
  Enemy(12, 5);
  WalkingSpell d;
  ASSERT_TRUE(Choose(d));
  const int k = d.best.routeCost;
  ASSERT_GT(k, 0);
  // S = 4608 / the walking speed, and only while the caster walks.
  struct Case {
    int wait;
    bool walking;
    int speed;
    int expected;
  } cases[] = {
      {k + 1000, false, 0, k + 1000},  // W >= K: W
      {0, false, 64, k},               // standing: K alone
      {0, true, 0, k},                 // walking without a speed: no S
      {k + 100, true, 64, k + 100},    // W >= K + S (S = 72)
      {k + 50, true, 64, k + 72},      // K + S
      {INT_MAX, true, 64, INT_MAX},    // no overflow
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.wait);
    d.groupWait = c.wait;
    // A caster in the middle of a step goes on walking under the new order.
    wizard->midStep = c.walking ? 1 : 0;
    wizard->animState = c.walking ? ANIM_WALK : ANIM_WAIT;
    wizard->stepSpeed = c.speed;
    EXPECT_EQ(d.Execute(), c.expected);
    wizard->midStep = 0;
  }
}

TEST_F(SpellFrame, StepCastsOnceFromTheCastCellWhenStillAndRestoresTheOrderWrapped) {
  CCreature& target = Enemy(12, 5);
  WalkingSpell d;
  ASSERT_TRUE(Choose(d));
  d.Execute();
  d.savedOrder = {2, g_map.width + 3, -2, 0, -1};  // an order whose target lies past the seam
  CAIBudget none;

  // Not on the cast cell yet: no cast.
  EXPECT_TRUE(d.Step(nullptr, 1, none));
  EXPECT_TRUE(TakeAICastNotes().empty());
  // On the cast cell but still walking: no cast.
  wizard->Relocate(d.best.castX, d.best.castY, d.best.castLevel);
  wizard->animState = ANIM_WALK;
  EXPECT_TRUE(d.Step(nullptr, 2, none));
  EXPECT_TRUE(TakeAICastNotes().empty());
  // Still: the cast, at the target, and the order back with its cell wrapped.
  wizard->animState = ANIM_WAIT;
  EXPECT_TRUE(d.Step(nullptr, 3, none));
  const std::vector<CAICastNote> casts = TakeAICastNotes();
  ASSERT_EQ(casts.size(), 1u);
  EXPECT_EQ(casts[0].caster, wizard->index);
  EXPECT_EQ(casts[0].type, kType);
  EXPECT_EQ(casts[0].spell, spell);
  EXPECT_EQ(casts[0].target, target.index);
  EXPECT_TRUE(d.castDone);
  EXPECT_EQ(wizard->orderState.goalX, 3);
  EXPECT_EQ(wizard->orderState.goalY, g_map.height - 2);
  // One cast an execution.
  wizard->mana = wizard->maxMana << 8;
  wizard->Relocate(d.best.castX, d.best.castY, d.best.castLevel);
  wizard->animState = ANIM_WAIT;
  EXPECT_TRUE(d.Step(nullptr, 4, none));
  EXPECT_TRUE(TakeAICastNotes().empty());
}

TEST_F(SpellFrame, ACasterShortOfManaUsesAPendingManaItemWhereItWouldCast) {
  Enemy(12, 5);
  WalkingSpell d;
  ASSERT_TRUE(Choose(d));
  d.Execute();
  wizard->Relocate(d.best.castX, d.best.castY, d.best.castLevel);
  wizard->animState = ANIM_WAIT;
  // Mana for no cast, but a mana item that covers it pending: the wait is 0, the item used.
  wizard->mana = 0;
  const int slot = wizard->AddEvent(19, 0, 0, 0, g_spellDefs[spell].ManaCost * 2, 0);
  ASSERT_GE(slot, 0);
  ASSERT_EQ(wizard->GetManaWaitTime(spell, 1), 0);
  CAIBudget none;
  EXPECT_TRUE(d.Step(nullptr, 1, none));
  EXPECT_TRUE(TakeAICastNotes().empty());
  EXPECT_FALSE(wizard->events[slot].active && wizard->events[slot].remaining == g_spellDefs[spell].ManaCost * 2)
      << "the pending mana item was not used";
}

TEST_F(SpellFrame, ADeadCasterOrAReusedSlotEndsTheDecision) {
  Enemy(12, 5);
  for (bool reuse : {false, true}) {
    SCOPED_TRACE(reuse);
    WalkingSpell d;
    ASSERT_TRUE(Choose(d));
    d.Execute();
    CAIBudget none;
    ASSERT_TRUE(d.Step(nullptr, 1, none));
    const int slot = wizard->index;
    if (reuse) {
      wizard->Detach();
      ASSERT_EQ(g_creatureArray.FindFree()->index, slot);
      Place(0, 1, 5, 5);  // another wizard in the same slot
    } else {
      wizard->health = 0;
    }
    EXPECT_FALSE(d.Step(nullptr, 2, none));
    if (reuse) {
      wizard = g_creatureArray.At(slot);
      node->creature = wizard;
    } else {
      wizard->health = 10;
    }
  }
}

}  // namespace
