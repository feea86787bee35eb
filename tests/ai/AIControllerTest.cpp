// The controller on small hand-made scenes: registration and groups, the frame's work, the
// evaluation of a group and the end of decisions, with scripted decisions.
#include <algorithm>
#include <climits>

#include "AIControllerWorld.h"
#include "ai/AIUtilities.h"
#include "core/Options.h"
#include "core/Random.h"
#include "creatures/CreatureHooks.h"
#include "creatures/CreatureType.h"

namespace ai_test {
namespace {

class AIControllerTest : public ControllerWorld {};

TEST_F(AIControllerTest, RegistrationRules) {
  CCreature& wizard = ArmyWithWizard(1, 1, 10, 10);
  g_armyTable.armies[2].inUse = 1;  // army 2 has no wizard
  g_armyTable.armies[3].inUse = 1;
  g_armyTable.armies[3].human = 1;
  ArmyWithWizard(3, 30, 40, 40);
  struct Case {
    const char* name;
    int slot, army, type;
    int actor, independent;
    bool handled;
  };
  const Case cases[] = {
      {"no wizard, no actor word", 2, 2, 1, 0, 0, false},
      {"no wizard, a script actor", 3, 2, 1, 1, 0, true},
      {"army left to its person", 4, 3, 1, 0, 0, false},
      {"excluded at placement", 5, 1, 1, 0, 1, false},
      {"type 22", 6, 1, creature_kind::kStatic, 0, 0, false},
      {"ordinary creature of a wizard's army", 7, 1, 1, 0, 0, true},
  };
  for (const Case& c : cases) {
    CCreature& creature = Creature(c.slot, c.army, 12, 12, 0, c.type);
    creature.scriptCommand = c.actor;
    creature.independent = c.independent;
    unit->RegisterCreature(creature);
    EXPECT_EQ(creature.aiGroupNode[0] != nullptr, c.handled) << c.name;
  }
  // A script actor of an army without a wizard stands alone, even beside a friend.
  CCreature& friendOfActor = Creature(8, 2, 12, 12);
  friendOfActor.scriptCommand = 1;
  unit->RegisterCreature(friendOfActor);
  EXPECT_EQ(friendOfActor.aiGroupNode[0]->parent, nullptr);
  EXPECT_EQ(g_creatureArray.At(3)->aiGroupNode[0]->parent, nullptr);
  // The side controller takes wizards only.
  side->RegisterCreature(*g_creatureArray.At(7));
  EXPECT_EQ(g_creatureArray.At(7)->aiGroupNode[1], nullptr);
  side->RegisterCreature(wizard);
  EXPECT_NE(wizard.aiGroupNode[1], nullptr);
}

TEST_F(AIControllerTest, ASecondCreatureJoinsTheFirstAndItsDecision) {
  ArmyWithWizard(1, 1, 10, 10);
  DecisionScript script;
  UseScripts(*unit, {&script});
  CCreature& first = Creature(2, 1, 20, 20);
  unit->RegisterCreature(first);
  CAIGroupNode* firstLeaf = first.aiGroupNode[0];
  ASSERT_NE(firstLeaf, nullptr);
  EXPECT_EQ(firstLeaf->parent, nullptr);
  EXPECT_EQ(firstLeaf->level, kGroupLevelNew);
  firstLeaf->level = kGroupLevelActive;
  auto* running = new ScriptedDecision(100, &script);
  running->group = firstLeaf;
  running->id = 0;
  firstLeaf->decision = running;
  unit->active[0] = running;

  CCreature& second = Creature(3, 1, 21, 20);
  unit->RegisterCreature(second);
  CAIGroupNode* inner = firstLeaf->parent;
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(second.aiGroupNode[0]->parent, inner);
  EXPECT_EQ(inner->decision, running);
  EXPECT_EQ(running->group, inner);
  EXPECT_EQ(firstLeaf->decision, nullptr);
  EXPECT_EQ(std::count(unit->unitQueue.begin(), unit->unitQueue.end(), inner), 1);
  unit->QueueGroup(inner);  // once only
  EXPECT_EQ(std::count(unit->unitQueue.begin(), unit->unitQueue.end(), inner), 1);
}

TEST_F(AIControllerTest, ACreatureNeverJoinsTheGroupUnderEvaluation) {
  ArmyWithWizard(1, 1, 10, 10);
  CCreature& a = Creature(2, 1, 20, 20);
  CCreature& b = Creature(3, 1, 40, 40);
  unit->RegisterCreature(a);
  unit->RegisterCreature(b);
  a.aiGroupNode[0]->level = b.aiGroupNode[0]->level = kGroupLevelActive;
  unit->currentGroup = a.aiGroupNode[0];
  CCreature& c = Creature(4, 1, 20, 21);  // next to a, which is under evaluation
  unit->RegisterCreature(c);
  EXPECT_EQ(a.aiGroupNode[0]->parent, nullptr);
  EXPECT_EQ(c.aiGroupNode[0]->parent, b.aiGroupNode[0]->parent);
  EXPECT_NE(c.aiGroupNode[0]->parent, nullptr);
  unit->currentGroup = nullptr;
}

TEST_F(AIControllerTest, OneLeafPerCreatureWhateverHappens) {
  ArmyWithWizard(1, 1, 10, 10);
  ArmyWithWizard(2, 9, 50, 10);
  CCreature& c = Creature(2, 1, 20, 20);
  unit->RegisterCreature(c);
  unit->RegisterCreature(c);  // twice: nothing changes
  EXPECT_EQ(LeafCount(*unit, c), 1);
  CAIGroupNode* before = c.aiGroupNode[0];
  c.army = 2;  // taken over
  unit->RegisterCreature(c);
  EXPECT_NE(c.aiGroupNode[0], before);
  unit->PruneEmptyGroups();
  EXPECT_EQ(LeafCount(*unit, c), 1);
  EXPECT_EQ(std::count(unit->groups.begin(), unit->groups.end(), before), 0);
  // The slot is released and reused by another creature: the old leaf names nobody.
  c.Reset(2);
  CCreature& reused = Creature(2, 1, 30, 30);
  unit->RegisterCreature(reused);
  unit->PruneEmptyGroups();
  EXPECT_EQ(LeafCount(*unit, reused), 1);
  for (CAIGroupNode* node : unit->groups)
    if (node->creature) EXPECT_EQ(node->creature->aiGroupNode[0], node);
}

TEST_F(AIControllerTest, StartRegistersLivingCreaturesAndTheSideControllerOnlyWizards) {
  CCreature& wizard = ArmyWithWizard(1, 1, 10, 10);
  Creature(2, 1, 11, 10);
  Creature(3, 1, 12, 10).health = 0;
  g_creatureArray.NoteInUse(3);
  unit->Start();
  side->Start();
  EXPECT_NE(wizard.aiGroupNode[0], nullptr);
  EXPECT_NE(g_creatureArray.At(2)->aiGroupNode[0], nullptr);
  EXPECT_EQ(g_creatureArray.At(3)->aiGroupNode[0], nullptr);
  EXPECT_NE(wizard.aiGroupNode[1], nullptr);
  EXPECT_EQ(g_creatureArray.At(2)->aiGroupNode[1], nullptr);
  EXPECT_EQ(unit->decisions.size(), 56u);  // the default decision and the 55 prototypes
}

TEST_F(AIControllerTest, AnEmptyBattleOnlyCountsTicks) {
  for (int i = 0; i < 5; ++i) {
    unit->Update(10);
    side->Update(10);
  }
  EXPECT_EQ(unit->tick, 5);
  EXPECT_EQ(side->tick, 5);
  EXPECT_TRUE(unit->groups.empty());
  EXPECT_TRUE(unit->active.empty());
  EXPECT_EQ(unit->queueStage, 0);
}

TEST_F(AIControllerTest, AnEnemyUnseenFor512TicksIsKeptAnd513Forgotten) {
  ArmyWithWizard(1, 1, 10, 10);
  CCreature& enemy = Creature(5, 2, 30, 30);
  g_armyTable.armies[2].inUse = 1;
  enemy.sightingCounters[1] = 30;
  enemy.type = &g_creatureTypes[1];
  // Seen: remembered at the end of army 1's memory pass.
  for (int i = 0; i < 3 && unit->players[1].enemies.empty(); ++i) unit->Update(0);
  ASSERT_EQ(unit->players[1].enemies.size(), 1u);
  const int seenAt = unit->players[1].enemies.begin()->second.lastSeenTick;
  enemy.sightingCounters[1] = 0;
  while (unit->tick < seenAt + 512) {
    unit->Update(0);
    ASSERT_EQ(unit->players[1].enemies.size(), 1u) << unit->tick;
  }
  for (int i = 0; i < 4; ++i) unit->Update(0);  // the sweep comes round to it
  EXPECT_TRUE(unit->players[1].enemies.empty());
}

TEST_F(AIControllerTest, AnInterruptedUnitGroupResumesBeforeANewSideGroup) {
  ArmyWithWizard(1, 1, 10, 10);
  g_armyTable.armies[2].inUse = 1;
  CCreature& scout = Creature(2, 2, 40, 40);
  scout.scriptCommand = 1;  // a lone actor: a unit group of its own
  DecisionScript slow;
  slow.scores = {0.1f, 0.2f, 0.3f};
  slow.stepCost = 2;
  UseScripts(*unit, {&slow});
  unit->RegisterCreature(scout);
  scout.aiGroupNode[0]->level = kGroupLevelActive;
  unit->pendingGroups = {scout.aiGroupNode[0]};  // nothing else pending
  unit->refillPending = 0;
  unit->Update(4);  // 2 steps: one candidate, then out of budget
  ASSERT_EQ(unit->queueStage, 2);
  ASSERT_EQ(unit->currentGroup, scout.aiGroupNode[0]);
  // A wizard's group arrives in the side queue meanwhile.
  CCreature& wizard = *g_creatureArray.At(1);
  {
    GroupLevelScope all(kGroupLevelNew);
    unit->RegisterCreature(wizard);
  }
  ASSERT_EQ(unit->sideQueue.size(), 1u);
  for (int i = 0; i < 20; ++i) unit->Update(4);
  const auto firstWizard = std::find(slow.preparedFor.begin(), slow.preparedFor.end(), wizard.aiGroupNode[0]);
  ASSERT_NE(firstWizard, slow.preparedFor.end());
  // The unit group was scored to its end and got its decision before the side group was
  // prepared at all.
  EXPECT_TRUE(
      std::all_of(slow.preparedFor.begin(), firstWizard, [&](CAIGroupNode* g) { return g == scout.aiGroupNode[0]; }));
  ASSERT_GE(slow.firstExecuteAt, 0);
  EXPECT_LE(slow.firstExecuteAt, firstWizard - slow.preparedFor.begin());
}

TEST_F(AIControllerTest, WindDownOnlyStepsAndEndsWhatRuns) {
  ArmyWithWizard(1, 1, 10, 10);
  DecisionScript script;
  script.scores = {0.5f};
  script.delay = 100;
  script.experience = 7;
  UseScripts(*unit, {&script});
  unit->RegisterCreature(*g_creatureArray.At(1));
  unit->Update(10);
  ASSERT_EQ(unit->active.size(), 1u);
  const size_t preparedBefore = script.preparedFor.size();
  unit->BeginWindDown();
  unit->Update(10);
  EXPECT_TRUE(unit->active.empty());  // ended at the next review, outside direct-AI runs
  EXPECT_TRUE(unit->Finished());
  EXPECT_EQ(script.preparedFor.size(), preparedBefore);  // nothing new evaluated
  ASSERT_EQ(experience.completed.size(), 1u);
  EXPECT_EQ(experience.completed[0].first, 7);
}

TEST_F(AIControllerTest, InDirectAIRunsTheWindDownLetsDecisionsRunOutAndIsBounded) {
  g_directAI = 1;
  ArmyWithWizard(1, 1, 10, 10);
  DecisionScript script;
  script.scores = {0.5f};
  script.delay = 5000;
  UseScripts(*unit, {&script});
  unit->RegisterCreature(*g_creatureArray.At(1));
  unit->Update(10);
  unit->BeginWindDown();
  int steps = 0;
  while (!unit->Finished() && steps < 3000) {
    unit->Update(10);
    ++steps;
  }
  EXPECT_TRUE(unit->Finished());
  EXPECT_GE(steps, CAIController::kWindDownTicks - 1);
  EXPECT_LE(steps, CAIController::kWindDownTicks + 1);
  EXPECT_GT(script.steps, 1000);  // stepped all along
}

TEST_F(AIControllerTest, AnUpdateWithoutOrdersLeavesTheCreaturesAsTheyWere) {
  ArmyWithWizard(1, 1, 10, 10);
  for (int s = 2; s < 8; ++s) Creature(s, s % 2 ? 1 : 2, 5 * s, 3 * s);
  g_armyTable.armies[2].inUse = 1;
  DecisionScript slow;
  slow.scores = {0.1f, 0.4f, 0.2f};
  slow.stepCost = 3;  // evaluations span frames: the frozen world comes and goes
  UseScripts(*unit, {&slow});
  unit->Start();
  for (int frame = 0; frame < 40; ++frame) {
    std::vector<CAICreatureSnapshot> before(kAISlots);
    for (int s = 0; s < kAISlots; ++s) {
      const CCreature& c = *g_creatureArray.At(s);
      before[s] = {c.inUse,          c.cellX, c.cellY, c.level,     c.typeNumber,        c.type,
                   c.health,         c.army,  c.order, c.animState, c.behaviourSubState, c.route.stepIndex,
                   c.route.stepCount};
    }
    if (frame == 7) g_creatureArray.At(4)->cellX = 33;  // the world moves between frames
    if (frame == 7) before[4].cellX = 33;
    unit->Update(5);
    for (int s = 0; s < kAISlots; ++s) {
      const CCreature& c = *g_creatureArray.At(s);
      EXPECT_EQ(c.cellX, before[s].cellX) << frame << " " << s;
      EXPECT_EQ(c.cellY, before[s].cellY);
      EXPECT_EQ(c.health, before[s].health);
      EXPECT_EQ(c.army, before[s].army);
      EXPECT_EQ(c.order, before[s].order);
      EXPECT_EQ(c.inUse, before[s].inUse);
      EXPECT_EQ(c.route.stepIndex, before[s].stepIndex);
    }
  }
}

// --- evaluation ----------------------------------------------------------------------------

TEST_F(AIControllerTest, ShouldReplaceTable) {
  DecisionScript script;
  ScriptedDecision current(100, &script);
  current.side = 5;  // no wizard: the outcome ratio stays near 1
  struct Case {
    const char* name;
    bool committed;
    float score, candidate;
    bool replace;
  };
  const Case cases[] = {
      {"far better", false, 0.0f, 0.95f, true},
      {"a little better", false, 0.5f, 0.6f, false},
      {"committed, far better", true, 0.0f, 0.99f, false},
      {"committed, perfect", true, 0.9f, 1.0f, true},
      {"perfect over perfect", false, 1.0f, 1.0f, false},
  };
  for (const Case& c : cases) {
    current.committed = c.committed;
    current.score = c.score;
    EXPECT_EQ(ShouldReplace(&current, c.candidate), c.replace) << c.name;
  }
  EXPECT_TRUE(ShouldReplace(nullptr, -1.0f));
  // A decision going badly (outcome ratio below 0.05) yields to any positive candidate.
  current.committed = false;
  current.score = 0.5f;
  current.loss = 100;
  EXPECT_TRUE(ShouldReplace(&current, 0.01f));
  EXPECT_FALSE(ShouldReplace(&current, -0.01f));
}

TEST_F(AIControllerTest, AParentedGroupIsScoredOnlyAsItIs) {
  ArmyWithWizard(1, 1, 10, 10);
  DecisionScript script;
  script.scores = {0.3f};
  UseScripts(*unit, {&script});
  CCreature& a = Creature(2, 1, 11, 10);
  CCreature& b = Creature(3, 1, 12, 10);
  for (CCreature* c : {g_creatureArray.At(1), &a, &b}) {
    unit->RegisterCreature(*c);
    for (CAIGroupNode* node : unit->groups) node->level = kGroupLevelActive;
  }
  CAIGroupNode* leaf = a.aiGroupNode[0];
  ASSERT_NE(leaf->parent, nullptr);
  CAIBudget budget;
  budget.Start(1000);
  unit->EvaluateGroup(leaf, budget);
  EXPECT_EQ(script.preparedFor, std::vector<CAIGroupNode*>{leaf});
  EXPECT_EQ(leaf->decision != nullptr, true);
}

TEST_F(AIControllerTest, MergesSkipPerfectCandidatesAndOneCreatureNeverSplits) {
  ArmyWithWizard(1, 1, 10, 10);
  g_armyTable.armies[2].inUse = 1;
  DecisionScript perfect;
  perfect.scores = {1.0f};
  UseScripts(*unit, {&perfect});
  // Two lone actors of one army: each the other's merge partner.
  CCreature& a = Creature(2, 2, 11, 10);
  CCreature& b = Creature(3, 2, 14, 10);
  a.scriptCommand = b.scriptCommand = 1;
  unit->RegisterCreature(a);
  unit->RegisterCreature(b);
  for (CAIGroupNode* node : unit->groups) node->level = kGroupLevelActive;
  CAIBudget budget;
  budget.Start(1000);
  unit->EvaluateGroup(a.aiGroupNode[0], budget);
  // Prepared for the group itself and for the merged pair; no split of one creature.
  ASSERT_EQ(perfect.preparedFor.size(), 2u);
  EXPECT_EQ(perfect.preparedFor[0], a.aiGroupNode[0]);
  EXPECT_EQ(perfect.preparedFor[1], &unit->scratchA);
  EXPECT_EQ(perfect.keeps, 1);  // the merged pair's perfect candidate was skipped
  EXPECT_EQ(a.aiGroupNode[0]->parent, nullptr);
  EXPECT_EQ(unit->scratchA.children.size(), 0u);
  EXPECT_TRUE(unit->partners.empty());
}

TEST_F(AIControllerTest, EqualScoresEachWinAboutHalfTheTime) {
  ArmyWithWizard(1, 1, 10, 10);
  int firstWins = 0;
  for (uint32_t seed = 1; seed <= 1000; ++seed) {
    g_aiRandom.Seed(seed);
    DecisionScript one, two;
    one.scores = {0.4f};
    two.scores = {0.4f};
    UseScripts(*unit, {&one, &two});
    unit->bestScore = -2.0f;
    unit->bestTies = 0;
    unit->explore = 0;
    unit->restartCursor = 1;
    CAIBudget budget;
    budget.Start(1000);
    CAIGroupNode group;
    unit->StepCandidates(&group, budget, 0.0f, nullptr, true, false);
    if (unit->bestSlot == 0) ++firstWins;
  }
  EXPECT_GT(firstWins, 440);
  EXPECT_LT(firstWins, 560);
}

TEST_F(AIControllerTest, OneEvaluationInFiveExplores) {
  g_trainingSpells = 1;
  ArmyWithWizard(1, 1, 10, 10);
  DecisionScript script;
  script.scores = {0.2f};
  UseScripts(*unit, {&script});
  unit->RegisterCreature(*g_creatureArray.At(1));
  CAIGroupNode* group = g_creatureArray.At(1)->aiGroupNode[0];
  group->level = kGroupLevelActive;
  int explored = 0;
  for (int i = 0; i < 2000; ++i) {
    CAIBudget budget;
    budget.Start(1000);
    unit->EvaluateGroup(group, budget);
    if (group->decision && group->decision->committed) ++explored;
    if (group->decision) unit->RemoveDecision(group->decision);
  }
  EXPECT_GT(explored, 330);
  EXPECT_LT(explored, 470);
}

// --- the end of decisions ------------------------------------------------------------------

TEST_F(AIControllerTest, OutcomesByRatio) {
  struct Case {
    float ratio;
    int outcome;
  };
  const Case cases[] = {{0.0f, 0}, {0.58f, 0}, {0.5801f, 1}, {1.0f, 1}, {1.71f, 1}, {1.7101f, 2}, {50.0f, 2}};
  for (const Case& c : cases) EXPECT_EQ(RateOutcome(c.ratio), c.outcome) << c.ratio;

  // Through the review: gain and loss against an unchanged side balance.
  ArmyWithWizard(1, 1, 10, 10);
  struct Run {
    int gain, loss, outcome;
  };
  const Run runs[] = {{0, 0, 1}, {0, 1, 0}, {1, 0, 2}, {4, 2, 1}};
  DecisionScript script;
  UseScripts(*unit, {&script});
  unit->RegisterCreature(*g_creatureArray.At(1));
  CAIGroupNode* group = g_creatureArray.At(1)->aiGroupNode[0];
  group->level = kGroupLevelActive;
  int index = 0;
  for (const Run& run : runs) {
    auto* decision = new ScriptedDecision(100, &script);
    decision->group = group;
    decision->id = unit->nextDecisionId++;
    decision->side = 1;
    decision->startRatio = SideRatio(1);
    decision->gain = run.gain;
    decision->loss = run.loss;
    decision->experienceIndex = index++;
    decision->endTick = unit->tick;  // expires at this review
    unit->active[decision->id] = decision;
    group->decision = decision;
    unit->ReviewActiveDecisions();
  }
  ASSERT_EQ(experience.completed.size(), 4u);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(experience.completed[i].second, runs[i].outcome) << i;
  EXPECT_EQ(script.expiries, 4);
}

// Keeps the base Step: active until its end tick, then told it expired.
class RunsToItsEnd final : public CAIDecisionOf<RunsToItsEnd> {
 public:
  RunsToItsEnd() : CAIDecisionOf<RunsToItsEnd>(120) {}
  void Prepare(CAIGroupNode* node, CAIPlayerMemory*, int) override {
    group = node;
    offered_ = false;
  }
  bool Evaluate(float* score, CAIBudget&, int) override {
    if (offered_) return false;
    offered_ = true;
    *score = 0.5f;
    return true;
  }
  int Execute() override { return 6; }
  void OnExpire() override { ++expired; }
  static int expired;

 private:
  bool offered_ = true;
};
int RunsToItsEnd::expired = 0;

TEST_F(AIControllerTest, ADecisionWithTheBaseStepRunsToItsEndTickThenExpires) {
  ArmyWithWizard(1, 1, 10, 10);
  for (CAIDecision* d : unit->decisions) delete d;
  unit->decisions = {new RunsToItsEnd()};
  RunsToItsEnd::expired = 0;
  unit->RegisterCreature(*g_creatureArray.At(1));
  unit->Update(10);
  ASSERT_EQ(unit->active.size(), 1u);
  const CAIDecision* running = unit->active.begin()->second;
  const int end = running->endTick, id = running->id;
  EXPECT_EQ(end, unit->tick + 6);
  while (unit->tick < end - 1) {
    unit->Update(10);
    ASSERT_EQ(unit->active.count(id), 1u) << unit->tick;
    EXPECT_EQ(RunsToItsEnd::expired, 0);
  }
  unit->Update(10);  // the end tick: expired and reviewed, and the group decided anew
  EXPECT_EQ(RunsToItsEnd::expired, 1);
  EXPECT_EQ(unit->active.size(), 1u);
  EXPECT_GT(unit->active.begin()->first, id);
}

TEST_F(AIControllerTest, SharingGainsAndRemovingDecisions) {
  DecisionScript script;
  std::vector<ScriptedDecision*> made;
  for (int i = 0; i < 4; ++i) {
    auto* decision = new ScriptedDecision(100, &script);
    decision->id = i;
    decision->side = i < 3 ? 2 : 5;
    decision->experienceIndex = 40 + i;
    unit->active[i] = decision;
    made.push_back(decision);
  }
  unit->ShareGain(2, 1);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(made[i]->gain, 1);  // 1 among 3 gives each 1
  EXPECT_EQ(made[3]->gain, 0);
  unit->ShareLoss(2, 30);
  EXPECT_EQ(made[0]->loss, 10);
  unit->ShareGain(6, 100);  // no decision of that side: nothing
  made[0]->gain = INT_MAX - 1;
  unit->ShareGain(2, 9);
  EXPECT_EQ(made[0]->gain, INT_MAX);  // saturates
  EXPECT_EQ(unit->FindActiveDecision(-1), nullptr);
  EXPECT_EQ(unit->FindActiveDecision(1), made[1]);
  unit->schedule = unit->active;
  unit->RemoveDecision(made[1]);
  EXPECT_EQ(unit->FindActiveDecision(1), nullptr);
  EXPECT_EQ(unit->schedule.count(1), 0u);
  EXPECT_EQ(experience.cleared, std::vector<int>{41});
  EXPECT_TRUE(experience.completed.empty());
}

TEST_F(AIControllerTest, DamageValues) {
  const CCreatureType saved0 = g_creatureTypes[0], saved5 = g_creatureTypes[5];
  g_creatureTypes[0].Health = 99;
  g_creatureTypes[5].Health = 40;
  for (int t = 0; t < kCreatureTypes; ++t) {
    g_creatureTypes[5].HTH_Matrix[t] = 100;
    g_creatureTypes[5].LRC_Matrix[t] = 40;
  }
  struct Case {
    const char* name;
    int type, health, damage;
    float d, e;
    int value;
  };
  const Case cases[] = {
      {"a wizard hit for 50 of 100", 0, 100, 50, 0.0f, 0.0f, 97},  // (1/51 - 1/101) x 100²
      {"a wizard hit past its health", 0, 100, 500, 0.0f, 0.0f, 9900},
      {"a creature", 5, 40, 10, 0.0f, 0.0f, 700},  // 10 x (3920 / 28) x 20 / 40
      {"mana and fraction", 5, 40, 0, 2.0f, 0.5f, 500400},
      {"huge damage saturates", 5, 40, INT_MAX, 0.0f, 0.0f, INT_MAX},
      {"huge fraction saturates", 5, 40, 0, 0.0f, 1.0e9f, INT_MAX},
      {"no type", 40, 1, 1, 0.0f, 0.0f, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ComputeDamageValue(c.type, c.health, c.damage, c.d, c.e), c.value) << c.name;
  g_creatureTypes[5].Health = 0;  // a type health below 1 counts as 1
  EXPECT_EQ(ComputeDamageValue(5, 1, 1, 0.0f, 0.0f), 2800);
  g_creatureTypes[0] = saved0;
  g_creatureTypes[5] = saved5;
}

TEST_F(AIControllerTest, TheGameCreditsRunningDecisions) {
  InstallAIControllers();
  ArmyWithWizard(1, 1, 10, 10);
  DecisionScript script;
  auto* decision = new ScriptedDecision(100, &script);
  decision->id = 3;
  decision->side = 1;
  g_aiUnitController.active[3] = decision;
  // Taking a place of power is a gain to the side.
  g_map.SetRegionOfPowerHolder(0, 1, 1);
  EXPECT_GE(decision->gain, 1);
  const int afterRegion = decision->gain;
  g_map.SetRegionOfPowerHolder(0, 1, -1);
  EXPECT_GE(decision->loss, 1);
  EXPECT_EQ(decision->gain, afterRegion);
  // Harm credited by ids: the attacker's decision gains, the victim's loses.
  g_creatureAI->CreditHarm(3, -1, 3, 77, 40);
  EXPECT_EQ(decision->gain, afterRegion + 40);
  EXPECT_GE(decision->loss, 41);
  // A creature's id is that of the decision atop its group chain.
  CAIGroupNode top, leaf;
  leaf.creature = g_creatureArray.At(1);
  top.AddChild(&leaf);
  top.decision = decision;
  g_creatureArray.At(1)->aiGroupNode[0] = &leaf;
  EXPECT_EQ(g_creatureAI->TopDecisionId(0, 1), 3);
  EXPECT_EQ(g_creatureAI->TopDecisionId(1, 1), -1);
  g_creatureArray.At(1)->aiGroupNode[0] = nullptr;
  top.RemoveAllChildren();
  g_aiUnitController.FreeContents();
  g_aiUnitController.Reset();
  UninstallAIControllers();
}

}  // namespace
}  // namespace ai_test
