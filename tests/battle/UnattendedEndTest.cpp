// A battle no person plays ends by itself: when at most one army keeps its wizard, or at the
// tick limit by the health the sides hold (equal health a draw); it leaves once the computer
// players have wound down, at once when they do not run. A battle a person plays is left to
// the person.
#include <gtest/gtest.h>

#include <functional>

#include "DirectBattleScreen.h"
#include "ai/AIController.h"
#include "battle/BattleUnattendedEnd.h"
#include "core/BattleLimits.h"
#include "core/Options.h"

namespace {

// Two computer sides whose wizards and health the test sets.
struct SidesSystems : IBattleSystems {
  bool wizard[kArmyCount] = {true, true};
  int64_t health[kArmyCount] = {};
  bool aiFinished = false;
  bool ArmyKeepsWizard(int army) override { return wizard[army]; }
  int64_t ArmyHealth(int army) override { return health[army]; }
  bool AIFinished() override { return aiFinished; }
};

class UnattendedEnd : public DirectBattleScreen {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(StartBattle(nullptr, &systems_));
    g_directAI = 1;
    g_armyTable.armies[0].Deactivate();  // nobody plays the player's side
    ResetUnattendedEnd();
    g_aiBattleTickLimit = 50;
  }
  void TearDown() override {
    g_aiBattleTickLimit = kDefaultAIBattleTickLimit;
    g_activeAI = 1;
    g_directAI = 0;
    ResetUnattendedEnd();
    g_aiUnitController.Start();
    g_aiSideController.Start();
    DirectBattleScreen::TearDown();
  }

  SidesSystems systems_;
};

TEST_F(UnattendedEnd, TheBattleIsDecidedByWizardsLeftOrByHealthAtTheLimit) {
  struct Case {
    const char* what;
    std::function<void(SidesSystems&)> scene;
    int framesBefore;  // frames that leave it undecided
    const char* reason;
    int winner;
  };
  const Case cases[] = {
      {"the second side's wizard killed", [](SidesSystems& s) { s.wizard[1] = false; }, 0, "wizards", 0},
      {"both wizards gone", [](SidesSystems& s) { s.wizard[0] = s.wizard[1] = false; }, 0, "wizards", -1},
      {"more health on the first side",
       [](SidesSystems& s) {
         s.health[0] = 300;
         s.health[1] = 200;
       },
       49, "ticks", 0},
      {"more health on the second side",
       [](SidesSystems& s) {
         s.health[0] = 10;
         s.health[1] = 200;
       },
       49, "ticks", 1},
      {"equal health, a draw",
       [](SidesSystems& s) {
         s.health[0] = 100;
         s.health[1] = 100;
       },
       49, "ticks", -1},
  };
  for (const Case& test : cases) {
    systems_ = SidesSystems{};
    test.scene(systems_);
    ResetUnattendedEnd();
    g_aiOnlyEnd = 0;
    BattleState().gameTick = 0;
    Frames(test.framesBefore);
    EXPECT_FALSE(UnattendedEndOutcome().decided) << test.what;
    Frames(1);
    const UnattendedOutcome& outcome = UnattendedEndOutcome();
    ASSERT_TRUE(outcome.decided) << test.what;
    EXPECT_EQ(outcome.tick, test.framesBefore + 1) << test.what;
    EXPECT_STREQ(outcome.reason, test.reason) << test.what;
    EXPECT_EQ(outcome.winner, test.winner) << test.what;
    EXPECT_EQ(g_aiOnlyEnd, 1) << test.what;
    EXPECT_TRUE(g_aiUnitController.windDown && g_aiSideController.windDown) << test.what;
  }
}

TEST_F(UnattendedEnd, ItLeavesOnceTheComputerPlayersHaveFinished) {
  systems_.wizard[1] = false;
  Frames(5);
  EXPECT_TRUE(BattleOnTop());  // still winding down
  systems_.aiFinished = true;
  Frames(1);
  EXPECT_FALSE(BattleOnTop());
}

TEST_F(UnattendedEnd, WithoutRunningComputerPlayersItLeavesAtOnce) {
  g_activeAI = 0;
  systems_.wizard[1] = false;
  Frames(1);
  Frames(1);
  EXPECT_FALSE(BattleOnTop());
}

TEST_F(UnattendedEnd, ABattleAPersonPlaysIsNeverDecidedForThem) {
  g_armyTable.armies[0].human = 1;
  systems_.wizard[1] = false;
  Frames(60);
  EXPECT_FALSE(UnattendedEndOutcome().decided);
  EXPECT_TRUE(BattleOnTop());
}

}  // namespace
