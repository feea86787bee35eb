// The step speed rules of a creature type: step costs, speed up and down a level, slowing,
// swimming, and the maximum speed.
#include <gtest/gtest.h>

#include "creatures/CreatureAnims.h"
#include "creatures/CreatureType.h"
#include "creatures/SpellDefinition.h"

namespace {

// A walker whose cycles cover one step (twelve advances of 16), and a flier whose flights
// cover two.
class StepSpeed : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int j = 0; j < 12; ++j) {
      walker_.walkAdvanceStraight[j] = walker_.walkAdvanceDiagonal[j] = 16;
      flier_.walkAdvanceStraight[j] = flier_.walkAdvanceDiagonal[j] = 16;
      flier_.flyAdvanceStraight[j] = flier_.flyAdvanceDiagonal[j] = 32;
    }
    walker_.Acceleration = 4;
    flier_.Acceleration = 16;
    flier_.CanFly = 1;
    g_spellDefs[spell_tuning::kFlight].Data1 = 576;
  }
  void TearDown() override { g_spellDefs[spell_tuning::kFlight] = CSpellDefinition{}; }

  // The speed after one step from `current`.
  static int After(const CCreatureType& type, int current, int mode, int dx, int dy, int dz, uint32_t base,
                   int divisor = 4, int* target = nullptr) {
    int goal = 0;
    type.UpdateStepSpeed(divisor, mode, dx, dy, dz, base, current, goal);
    if (target) *target = goal;
    return current;
  }
  CCreatureType walker_{};
  CCreatureType flier_{};
};

TEST_F(StepSpeed, StepCostsFollowTheAdvanceTablesAndTheDistance) {
  EXPECT_EQ(walker_.GetStepBase(0, 1, 0, 0), 192u);   // 192 x distance 4 / 4
  EXPECT_EQ(walker_.GetStepBase(0, 1, 1, 0), 288u);   // diagonal: distance 6
  EXPECT_EQ(walker_.GetStepBase(0, -1, 0, 1), 240u);  // up a level: distance 5
  EXPECT_EQ(walker_.GetStepBase(4, 0, -1, 0), 192u);  // swimming walks
  EXPECT_EQ(walker_.GetStepBase(1, 1, 0, 0), 576u);   // a walker's flight: Data1 of spell 84
  EXPECT_EQ(walker_.GetStepBase(5, 1, 0, 0), 0u);
  EXPECT_EQ(walker_.GetStepBase(-1, 1, 0, 0), 0u);
  EXPECT_EQ(flier_.GetStepBase(1, 1, 0, 0), 384u);
  EXPECT_EQ(flier_.GetStepBase(2, 0, 0, 1), 384u);  // straight up: the distance of (dz, 0, 0)
  EXPECT_EQ(flier_.GetStepBase(3, 1, 0, 0), 192u);  // mode 3 takes the walking table
}

TEST_F(StepSpeed, SpeedRisesTowardTheTargetByTheAcceleration) {
  int target = 0;
  EXPECT_EQ(After(walker_, 0, 0, 1, 0, 0, 192, 4, &target), 96);  // (0 + sqrt(4 x 4 x 2304)) / 2
  EXPECT_EQ(target, 192);
  EXPECT_EQ(After(walker_, 96, 0, 1, 0, 0, 192), 155);
  EXPECT_EQ(After(flier_, 0, 0, 1, 0, 0, 192), 192);  // strong enough to reach it at once
  EXPECT_EQ(After(walker_, 0, 0, 1, 0, 0, 192, 2, &target), 96);
  EXPECT_EQ(target, 384);  // divisor 2: a hasted target
}

TEST_F(StepSpeed, LevelsChangeTheTargetAndGravityHelpsDownhill) {
  int target = 0;
  // Down a level: target x 3/2; acceleration 4 + trunc(0.969 x 76.8) = 78 over distance 5.
  EXPECT_EQ(After(walker_, 0, 0, 1, 0, -1, 10000, 4, &target), 473);
  EXPECT_EQ(target, 15000);
  // Up a level: target x 2/3, and gravity makes the acceleration negative: a deceleration
  // that cannot fall below the target.
  EXPECT_EQ(After(walker_, 0, 0, 1, 0, 1, 192, 4, &target), 128);
  EXPECT_EQ(target, 128);
  EXPECT_EQ(After(walker_, 1000, 0, 1, 0, 1, 192), 659);
}

TEST_F(StepSpeed, AboveTheTargetTheTypeSlowsDown) {
  EXPECT_EQ(After(walker_, 300, 0, 1, 0, 0, 192), 265);  // (300 + sqrt(90000 - 36864)) / 2
  EXPECT_EQ(After(flier_, 300, 0, 1, 0, 0, 192), 192);   // x below 0: held at the target
}

TEST_F(StepSpeed, SwimmingIgnoresTheLevels) {
  int target = 0;
  EXPECT_EQ(After(walker_, 0, 4, 1, 0, -1, 192, 4, &target), 107);  // sqrt(4 x 4 x 2880) / 2
  EXPECT_EQ(target, 192);
  After(walker_, 0, 4, 1, 0, 1, 192, 4, &target);
  EXPECT_EQ(target, 192);
}

TEST_F(StepSpeed, TheMaximumIsTheLargestTargetOfTheTypesModes) {
  ComputeMaxStepSpeed(walker_);
  EXPECT_EQ(walker_.maxSpeed, 504);  // diagonal and down: 192 x 7 / 4 x 3/2
  ComputeMaxStepSpeed(flier_);
  EXPECT_EQ(flier_.maxSpeed, 1008);  // flying tables of 384
  CCreatureType swimmer = walker_;
  swimmer.SwimmingAbility = 2;
  ComputeMaxStepSpeed(swimmer);
  EXPECT_EQ(swimmer.maxSpeed, 504);
  CCreatureType still{};
  ComputeMaxStepSpeed(still);
  EXPECT_EQ(still.maxSpeed, 0);
}

TEST_F(StepSpeed, HugeValuesStayInRange) {
  CCreatureType fast = walker_;
  fast.Acceleration = INT32_MAX;
  int target = 0;
  const int speed = After(fast, INT32_MAX, 0, 1, 1, -1, UINT32_MAX, 1, &target);
  EXPECT_EQ(target, INT32_MAX);
  EXPECT_EQ(speed, INT32_MAX);
  EXPECT_EQ(After(fast, 0, 0, 1, 0, 0, 192, 0), 768);  // a divisor below 1 counts as 1
}

}  // namespace
