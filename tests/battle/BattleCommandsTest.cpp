// The player's orders reach the creatures only as frame commands: a walk or an attack sent
// with one frame's inputs takes effect on the frame the loopback network runs it, on every
// machine alike, and a command naming what this machine does not hold is dropped.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BattleFrameWorld.h"
#include "creatures/CreatureOrderQueue.h"

namespace {

constexpr int kOrderFrame = 3;  // the frame whose input sends the order
constexpr int kGoalX = 10, kGoalY = 18;

class BattleCommands : public BattleFrameWorld {
 protected:
  void SetUp() override {
    BattleFrameWorld::SetUp();
    runCreatures_ = true;
  }
  // Runs frames until the wizard's order changes; answers the frame it changed on (-1 none).
  int RunUntilOrdered(int frames) {
    const int was = C(wizard_).GetCurrentOrder();
    for (int n = 0; n < frames; ++n) {
      Frame(n);
      if (C(wizard_).GetCurrentOrder() != was) return n;
    }
    return -1;
  }
};

TEST_F(BattleCommands, AWalkCommandSendsTheCreatureToTheCellFromTheFrameItRuns) {
  BuildWorld(99);
  inputs_ = {{kOrderFrame, MakeCellCommand(MSG_CREATURE_WALK, wizard_, kGoalX, kGoalY, 0)}};
  const int ranOn = RunUntilOrdered(12);
  ASSERT_GT(ranOn, kOrderFrame);  // sent as an input, it runs on a later frame everywhere
  const CCreature& wizard = C(wizard_);
  EXPECT_EQ(wizard.GetCurrentOrder(), ORDER_WALK_TO_POS);
  EXPECT_EQ(wizard.orderState.goalX, kGoalX);
  EXPECT_EQ(wizard.orderState.goalY, kGoalY);
  EXPECT_EQ(wizard.followed, -1);
  for (int n = ranOn + 1; n < ranOn + 200 && !(wizard.cellX == kGoalX && wizard.cellY == kGoalY); ++n) Frame(n);
  EXPECT_EQ(wizard.cellX, kGoalX);
  EXPECT_EQ(wizard.cellY, kGoalY);
}

TEST_F(BattleCommands, AnAttackCommandEngagesTheTarget) {
  BuildWorld(99);
  inputs_ = {{kOrderFrame, MakeCreatureCommand(MSG_CREATURE_ATTACK, wizard_, enemy_)}};
  const int ranOn = RunUntilOrdered(12);
  ASSERT_GT(ranOn, kOrderFrame);
  EXPECT_EQ(C(wizard_).GetCurrentOrder(), ORDER_ATTACK_CREATURE);
  EXPECT_EQ(C(wizard_).target, enemy_);
}

TEST_F(BattleCommands, AShiftOrderJoinsTheWaypointsAndFollowTakesALivingLeader) {
  BuildWorld(99);
  inputs_ = {{kOrderFrame, MakeCellCommand(MSG_Q_CREATURE_WALK, wizard_, kGoalX, kGoalY, 0)},
             {kOrderFrame, MakeCreatureCommand(MSG_FOLLOW_CREATURE, enemy_, wizard_)}};
  ASSERT_GT(RunUntilOrdered(12), kOrderFrame);
  EXPECT_EQ(C(wizard_).GetCurrentOrder(), ORDER_WALK_TO_POS);
  ASSERT_NE(C(wizard_).queuedOrders.GetFirst(), nullptr);
  EXPECT_EQ(C(wizard_).queuedOrders.GetFirst()->y, kGoalY);
  EXPECT_EQ(C(enemy_).followed, wizard_);
}

// Commands a peer may send that name nothing this battle holds: each is dropped, the creature
// keeps its order, and no frame fails.
TEST_F(BattleCommands, CommandsNamingNothingHeldAreDropped) {
  struct Case {
    const char* what;
    int type, creature, a, b, c;
  };
  const Case cases[] = {
      {"a free slot walks", MSG_CREATURE_WALK, 50, kGoalX, kGoalY, 0},
      {"a walk below the map", MSG_CREATURE_WALK, -2, kGoalX, kGoalY, -1},
      {"a walk above the map", MSG_CREATURE_WALK, -2, kGoalX, kGoalY, 8},
      {"a terrain attack above the map", MSG_CREATURE_ATTACK_TERRAIN, -2, 3, 3, 99},
      {"a creature attacks itself", MSG_CREATURE_ATTACK, -2, -2, 0, 0},
      {"a creature attacks a free slot", MSG_CREATURE_ATTACK, -2, 60, 0, 0},
      {"a walk to a chest where none stands", MSG_WALK_TO_CHEST, -2, kGoalX, kGoalY, 0},
      {"a queued walk above the map", MSG_Q_CREATURE_WALK, -2, kGoalX, kGoalY, 8},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    BuildWorld(7);
    const int creature = test.creature == -2 ? wizard_ : test.creature;
    const int a = test.a == -2 ? wizard_ : test.a;
    CommandMessage command = test.type == MSG_CREATURE_ATTACK ? MakeCreatureCommand(test.type, creature, a)
                                                              : MakeCellCommand(test.type, creature, a, test.b, test.c);
    inputs_ = {{kOrderFrame, command}};
    const int order = C(wizard_).GetCurrentOrder();
    for (int n = 0; n < 10; ++n) Frame(n);
    EXPECT_EQ(C(wizard_).GetCurrentOrder(), order);
    EXPECT_EQ(C(wizard_).queuedOrders.count, 0);
    ClearWorld();
  }
}

TEST_F(BattleCommands, TheSameOrdersFromOneSeedGiveTheSameTrace) {
  std::vector<std::string> traces[2];
  for (auto& trace : traces) {
    BuildWorld(4321);
    inputs_ = {{kOrderFrame, MakeCellCommand(MSG_CREATURE_WALK, wizard_, kGoalX, kGoalY, 0)},
               {20, MakeCreatureCommand(MSG_CREATURE_ATTACK, wizard_, enemy_)}};
    trace_.clear();
    for (int n = 0; n < 40; ++n) Frame(n);
    trace = trace_;
    ClearWorld();
  }
  ASSERT_EQ(traces[0].size(), 80u);
  EXPECT_EQ(traces[0], traces[1]);
  // The wizard walked: the trace is not a still world.
  EXPECT_NE(traces[0].front().substr(traces[0].front().find("wizard")),
            traces[0].back().substr(traces[0].back().find("wizard")));
}

}  // namespace
