// The AI's work budget in both modes, its sub-budgets, and the mode's choice.
#include <gtest/gtest.h>

#include "ai/AIBudget.h"
#include "core/GameSettings.h"
#include "core/Options.h"

namespace {

uint64_t g_counter = 0;
uint64_t ReadFakeCounter() { return g_counter; }

class AIBudgetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedClock_ = g_aiBudgetClock;
    savedMode_ = g_aiTimeSystem;
    savedRecord_ = g_recordBattle;
    savedPlay_ = g_playBattle;
    savedNetwork_ = g_networkGame;
    g_recordBattle = g_playBattle = 0;
    g_networkGame = 0;
  }
  void TearDown() override {
    g_aiBudgetClock = savedClock_;
    g_aiTimeSystem = savedMode_;
    g_recordBattle = savedRecord_;
    g_playBattle = savedPlay_;
    g_networkGame = savedNetwork_;
  }
  void UseCounter(bool present, int ticksPerMicrosecond) {
    g_aiBudgetClock.overridden = true;
    g_aiBudgetClock.hasCounter = present;
    g_aiBudgetClock.ticksPerMicrosecond = ticksPerMicrosecond;
    g_aiBudgetClock.read = ReadFakeCounter;
  }

 private:
  CAIBudgetClock savedClock_;
  int savedMode_ = 0, savedRecord_ = 0, savedPlay_ = 0;
  int32_t savedNetwork_ = 0;
};

TEST_F(AIBudgetTest, RemainingInEachModeAndCounterState) {
  struct Case {
    const char* name;
    int mode;
    bool counter;
    uint64_t startCounter, nowCounter;
    int amount;
    int expected;
  };
  const Case cases[] = {
      {"steps", kAIBudgetSteps, true, 0, 1000000, 7, 7},
      {"real time without a counter counts amount / 250", kAIBudgetRealTime, false, 0, 0, 999, 3},
      {"real time with time left", kAIBudgetRealTime, true, 1000, 1000 + 2 * 300, 1000, 700},
      {"real time past its total", kAIBudgetRealTime, true, 0, 2 * 5000, 1000, 0},
      // The low half wraps between start and now: the unsigned difference still gives 100 us.
      {"counter wraps", kAIBudgetRealTime, true, 0x1FFFFFF9Cull, 0x200000000ull + 2 * 100 - 100, 1000, 900},
      {"unknown mode", 7, true, 0, 0, 50, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g_aiTimeSystem = c.mode;
    UseCounter(c.counter, 2);
    g_counter = c.startCounter;
    CAIBudget budget;
    budget.Start(c.amount);
    g_counter = c.nowCounter;
    EXPECT_EQ(budget.Remaining(), c.expected);
  }
}

TEST_F(AIBudgetTest, StepsGoBelowZeroOnlyInStepModes) {
  g_aiTimeSystem = kAIBudgetSteps;
  CAIBudget budget;
  budget.Start(2);
  budget.steps -= 5;
  EXPECT_EQ(budget.Remaining(), -3);
}

TEST_F(AIBudgetTest, RecordedPlayedBackAndNetworkBattlesCountSteps) {
  UseCounter(true, 2);
  g_aiTimeSystem = kAIBudgetRealTime;
  int32_t* const switches[] = {&g_recordBattle, &g_playBattle, &g_networkGame};
  for (int32_t* flag : switches) {
    *flag = 1;
    CAIBudget budget;
    g_counter = 0;
    budget.Start(9);
    g_counter = 1000000;
    EXPECT_EQ(AIBudgetMode(), kAIBudgetSteps);
    EXPECT_EQ(budget.Remaining(), 9);
    *flag = 0;
  }
  EXPECT_EQ(AIBudgetMode(), kAIBudgetRealTime);
}

TEST_F(AIBudgetTest, SubTaskCostsItsCallerExactlyWhatItUsed) {
  g_aiTimeSystem = kAIBudgetSteps;
  CAIBudget caller;
  caller.Start(20);
  int allowance = 50;  // above Remaining: the sub-task gets the caller's steps
  {
    CAISubBudget sub(caller, allowance, &allowance);
    EXPECT_EQ(sub.budget.steps, 20);
    EXPECT_EQ(caller.steps, 0);
    sub.budget.steps -= 13;
  }
  EXPECT_EQ(caller.steps, 7);
  EXPECT_EQ(allowance, 37);
  {
    CAISubBudget sub(caller, 4, nullptr);  // below Remaining: the allowance
    EXPECT_EQ(sub.budget.steps, 4);
    sub.budget.steps -= 1;
  }
  EXPECT_EQ(caller.steps, 6);
}

}  // namespace
