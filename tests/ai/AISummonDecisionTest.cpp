// The summon decision: who has room to summon, which spells are candidates, the balance of
// types, where the creature appears, and a creature type whose animations cannot be loaded.
#include <gtest/gtest.h>

#include <string>

#include "AIField.h"
#include "ai/AIBudget.h"
#include "ai/AICastLog.h"
#include "ai/AIMeasureIds.h"
#include "ai/AIPlayerMemory.h"
#include "ai/AISummonDecision.h"
#include "ai/AIUtilities.h"
#include "core/Hooks.h"
#include "creatures/CreatureAnims.h"
#include "creatures/SpellDefinition.h"
#include "creatures/Wizard.h"
#include "map/MapUnits.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

namespace {

using ai_test::AIGroups;

// Every cast may go anywhere.
struct OpenWorld : IAIWorld {
  int CheckSpellTarget(int, int, int, int, int, int, int, int, int, int) override { return 0; }
};

class Summon : public AIGroups {
 protected:
  void SetUp() override {
    AIGroups::SetUp();
    g_aiTimeSystem = kAIBudgetSteps;
    for (int id = 1; id < kAIMeasureCount; ++id) SetPair(id, 0.0f, 1.0e6f);
    wizard = &PlaceWizard(1, 10, 10);
    wizard->SetMaxMana(300);
    wizard->mana = 300 << 8;
    wizard->aiWords[wizard_words::kControlLimit] = 10;
    node = builder.NewLeafNode(wizard);
    node->kind = 1;
    TakeAICastNotes();
  }
  void TearDown() override {
    TakeAICastNotes();
    ResetSummonAnimNotes();
    AIGroups::TearDown();
  }
  void Knows(std::initializer_list<int> spells) {
    wizard->spellCount = 0;
    for (int spell : spells) wizard->AddSpell(spell);
  }
  // Scores every candidate; the number scored.
  int ScoreAll(CAISummonDecision& d) {
    CAIBudget budget;
    budget.Start(100000);
    float score = 0.0f, best = -2.0f;
    int scored = 0;
    while (d.Evaluate(&score, budget, 0)) {
      ++scored;
      if (score > best) {
        best = score;
        d.KeepBest();
      }
    }
    return scored;
  }

  OpenWorld world;
  HookScope<IAIWorld> worldScope{g_aiWorld, world};
  CCreature* wizard = nullptr;
  CAIGroupNode* node = nullptr;
};

TEST_F(Summon, TheBalanceFavoursTypesBelowTheirFairShare) {
  struct Case {
    int n, k, c;
    float term;
  } cases[] = {
      {10, 4, 1, 0.06f},    // one type, 4 of 10: fair share 10
      {10, 10, 2, -0.05f},  // two types, all 10 of this one: fair share 5
      {10, 5, 2, 0.0f},     // exactly its share
      {3, 0, 5, 0.1f},      // a share below one creature
      {0, 0, 3, 0.0f},      // an empty side
  };
  for (const Case& c : cases)
    EXPECT_FLOAT_EQ(CAISummonDecision::BalanceTerm(c.n, c.k, c.c), c.term) << c.n << " " << c.k << " " << c.c;
}

TEST_F(Summon, AWizardHasRoomBelowItsLimitUnlessNearlyFullAndBehind) {
  struct Case {
    int a, b, threat, strength;
    bool room;
  } cases[] = {
      {10, 10, 0, 0, false},   // at the limit
      {8, 10, 18, 99, false},  // two below, balance 0.19
      {8, 10, 0, 4, true},     // two below, balance 0.2
      {7, 10, 18, 99, true},   // three below: the balance is not asked
  };
  for (const Case& c : cases) {
    wizard->behaviour.armyCount = c.a;
    wizard->aiWords[wizard_words::kControlLimit] = c.b;
    wizard->aiThreat = c.threat;
    wizard->aiSideStrength = c.strength;
    EXPECT_EQ(CAISummonDecision::HasRoom(*wizard), c.room) << c.a << " " << c.threat << "/" << c.strength;
  }
}

TEST_F(Summon, OnlyTheSummonSpellsAWizardCanAffordAreCandidates) {
  Knows({1, 21, 22, 23, 24, 30});
  CAISummonDecision d;
  d.Prepare(node, nullptr, 0);
  EXPECT_EQ(d.CandidateCount(), 3);
  EXPECT_EQ(ScoreAll(d), 3);
  EXPECT_TRUE(d.BestCandidate().spell == 1 || d.BestCandidate().spell == 21 || d.BestCandidate().spell == 23);

  Knows({22, 24, 30});  // no summons
  d.Prepare(node, nullptr, 0);
  EXPECT_EQ(ScoreAll(d), 0);

  Knows({1});
  wizard->maxMana = g_spellDefs[1].ManaCost - 1;  // never affordable
  d.Prepare(node, nullptr, 0);
  EXPECT_EQ(ScoreAll(d), 0);
}

TEST_F(Summon, TheCreatureAppearsByTheAttackerThenAWizardThenAGroupThenTheCaster) {
  Knows({1});
  CAISummonDecision d;
  d.Prepare(node, nullptr, 0);
  ASSERT_EQ(ScoreAll(d), 1);
  d.Execute();
  CAIPlayerMemory players[kArmyCount];
  CAIGroupNode* group = builder.NewGroupNode();
  group->centreX = 30;
  group->centreY = 12;
  group->centreZ = 0;
  players[1].groupsA.push_back(group);
  players[1].groupsMade = 1;  // the record's list as this pass made it

  CCreature& rival = PlaceWizard(2, 20, 10);
  CCreature& attacker = Place(1, 2, 10, 20);
  for (CCreature* seen : {&rival, &attacker}) seen->sightingCounters[1] = 1;
  wizard->combat.attacker = attacker.index + 1;
  auto near = [](int x, int y, const CCreature& c) {
    return std::abs(WrapDeltaX(x / 32, c.cellX)) <= 1 && std::abs(WrapDeltaY(y / 32, c.cellY)) <= 1;
  };
  int x = 0, y = 0, z = 0;
  d.ChooseAppearance(*wizard, players, 0, x, y, z);
  EXPECT_TRUE(near(x, y, attacker)) << x / 32 << "," << y / 32;
  wizard->combat.attacker = 0;
  d.ChooseAppearance(*wizard, players, 0, x, y, z);
  EXPECT_TRUE(near(x, y, rival)) << x / 32 << "," << y / 32;
  rival.sightingCounters[1] = 0;  // out of sight
  d.ChooseAppearance(*wizard, players, 0, x, y, z);
  EXPECT_EQ(x / 32, 30);
  EXPECT_EQ(y / 32, 12);
  players[1].groupsA.clear();
  d.ChooseAppearance(*wizard, players, 0, x, y, z);
  EXPECT_EQ(std::tie(x, y, z), std::tie(wizard->unitX, wizard->unitY, wizard->unitZ));

  // An engaged caster summons where it stands, whoever attacked it.
  wizard->combat.attacker = attacker.index + 1;
  wizard->tracking = 1;
  d.ChooseAppearance(*wizard, players, 0, x, y, z);
  EXPECT_EQ(std::tie(x, y, z), std::tie(wizard->unitX, wizard->unitY, wizard->unitZ));
  wizard->tracking = 0;

  // The cast itself: once, the summon's type and the chosen spell, at no creature.
  CAIBudget none;
  EXPECT_TRUE(d.Step(players, 1, none));
  EXPECT_TRUE(d.Step(players, 2, none));
  const std::vector<CAICastNote> casts = TakeAICastNotes();
  ASSERT_EQ(casts.size(), 1u);
  EXPECT_EQ(casts[0].type, kAISummonDecisionType);
  EXPECT_EQ(casts[0].spell, 1);
  EXPECT_EQ(casts[0].target, -1);
}

TEST_F(Summon, ATypeWhoseAnimationsCannotLoadIsToldOnceAndStillScored) {
  Knows({5});
  g_creatureTypeAnims[5].reset();
  const std::string data = platform::CurrentDirectory();
  testing_support::TempDir empty;  // no creature files here
  ASSERT_TRUE(platform::ChangeDirectory(empty.Path()));
  testing_support::BoxRecorder boxes;
  testing::internal::CaptureStderr();
  CAISummonDecision d;
  int scored = 0;
  for (int round = 0; round < 3; ++round) {
    d.Prepare(node, nullptr, 0);
    scored += ScoreAll(d);
  }
  const std::string told = testing::internal::GetCapturedStderr();
  platform::ChangeDirectory(data);
  EXPECT_EQ(scored, 3);
  size_t lines = 0;
  for (size_t at = told.find("Unable to load creature file"); at != std::string::npos;
       at = told.find("Unable to load creature file", at + 1))
    ++lines;
  EXPECT_EQ(lines, 1u) << told;
  EXPECT_FALSE(boxes.Saw("DEPLOYMENT ERROR"));
}

}  // namespace
