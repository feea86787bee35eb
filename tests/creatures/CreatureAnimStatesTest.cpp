// The animation states: the idle block drawn from the battle generator, the air-wait block
// of fliers and non-fliers, the charge kept through STAND and lost through WAIT, the
// hand-to-hand blocks of a large attacker, STAND's second run at 0, and the states never
// entered.
#include <gtest/gtest.h>

#include "OrdersWorld.h"

namespace creature_test {
namespace {

using AnimStates = OrdersWorld;

TEST_F(AnimStates, WaitDrawsItsIdleBlockFromTheBattleGenerator) {
  CCreature& brownie = C(Place(kBrownie, 0, 5, 5));
  for (int i = 0; i < 12; ++i) {
    CRandom expected = Generator();
    brownie.SetAnimState(ANIM_WAIT);
    EXPECT_EQ(brownie.animationBase, 64 + 8 * Roll(expected, 6));
    EXPECT_EQ(brownie.bodyAnim.sequence, brownie.animationBase + brownie.viewFacing);
    EXPECT_EQ(g_battleRandom.indexA, expected.indexA);
  }
}

TEST_F(AnimStates, InTheAirAFlierWaitsInItsAirBlockOthersStand) {
  CCreature& griffin = C(Place(kGriffin, 0, 5, 5));
  CCreature& brownie = C(Place(kBrownie, 0, 8, 5));
  griffin.airborne = brownie.airborne = 30;
  const CRandom before = Generator();
  griffin.SetAnimState(ANIM_WAIT);
  brownie.SetAnimState(ANIM_WAIT);
  EXPECT_EQ(griffin.animationBase, 248);
  EXPECT_EQ(brownie.animationBase, 288);
  EXPECT_EQ(g_battleRandom.indexA, before.indexA);  // no idle draw in the air
}

TEST_F(AnimStates, AChargeLivesThroughStandAndDiesThroughWait) {
  const int foe = Place(kBrownie, 1, 6, 5);
  CCreature& brownie = C(Place(kBrownie, 0, 5, 5));
  brownie.target = foe;
  struct Row {
    std::vector<int> states;
    int walked;
  };
  const std::vector<Row> rows = {
      {{ANIM_WALK, ANIM_STAND, ANIM_HTH_ATTACK}, 1},
      {{ANIM_WALK, ANIM_STAND, ANIM_STAND, ANIM_HTH_ATTACK}, 1},
      {{ANIM_WALK, ANIM_WAIT, ANIM_HTH_ATTACK}, 0},
      {{ANIM_WALK, ANIM_TAUNT, ANIM_STAND, ANIM_HTH_ATTACK}, 0},
  };
  for (const Row& row : rows) {
    brownie.stepSpeed = 640;
    for (int state : row.states) brownie.SetAnimState(state);
    EXPECT_EQ(brownie.orderState.walked, row.walked);
    EXPECT_EQ(brownie.orderState.chargeSpeed, 640);
    brownie.SetAnimState(ANIM_STAND);
    brownie.ReleaseEngagement();
  }
}

TEST_F(AnimStates, ALargeAttackerChoosesItsBlockByTheOpponentsPlace) {
  struct Row {
    int opponentType, dx, dy, base;  // dx, dy: attacker minus opponent
  };
  const std::vector<Row> rows = {
      {kBrownie, 2, 0, 24},  {kBrownie, 2, -1, 24}, {kBrownie, 1, -1, 32}, {kBrownie, 1, 0, 40},
      {kBrownie, 0, -2, 40}, {kBrownie, -1, 1, 40}, {kBrownie, -2, 0, 32}, {kTroll, -2, 0, 24},
      {kTroll, 2, -1, 32},   {kTroll, 1, 2, 32},    {kTroll, 0, -2, 24},   {kTroll, -1, -2, 32},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.opponentType << " at " << row.dx << ", " << row.dy);
    g_creatureArray.ReleaseAll();
    CCreature& troll = C(Place(kTroll, 0, 20, 20));
    const int other = Place(row.opponentType, 1, 20 - row.dx, 20 - row.dy);
    EXPECT_EQ(troll.StartHandToHandAnim(&C(other)), row.base);
    EXPECT_EQ(troll.animationBase, row.base);
  }
  // A small attacker always uses the first block.
  g_creatureArray.ReleaseAll();
  CCreature& brownie = C(Place(kBrownie, 0, 20, 20));
  EXPECT_EQ(brownie.StartHandToHandAnim(&C(Place(kTroll, 1, 18, 19))), 24);
}

TEST_F(AnimStates, StatesNeverEnteredKeepTheSequenceAndInstallNoHandler) {
  CCreature& brownie = C(Place(kBrownie, 0, 5, 5));
  brownie.SetAnimState(ANIM_STAND);
  for (int state : {ANIM_PICKUP, ANIM_FLINCH, ANIM_VICTORY, ANIM_TRACKING, ANIM_EXPLORING}) {
    EXPECT_EQ(brownie.SetAnimState(state), nullptr);
    EXPECT_EQ(brownie.animationBase, 288);
  }
  EXPECT_EQ(CCreature::GetAnimStateHandler(26), nullptr);
  EXPECT_EQ(CCreature::GetAnimStateHandler(ANIM_NONE), nullptr);
}

TEST_F(AnimStates, MirroredCreaturesAreDrawnTurnedAbout) {
  CCreature& brownie = C(Place(kBrownie, 0, 5, 5));
  brownie.SetFacing(2);
  const int plain = brownie.viewFacing;
  brownie.mirrored = 1;
  brownie.RefreshViewFacing();
  EXPECT_EQ(brownie.viewFacing, (plain - 4) & 7);
}

// Runs the body to the frame before its sequence ends.
void RunToLastFrame(CCreature& creature) {
  CAnimPlayer probe = creature.bodyAnim;
  int ticks = 1;
  while (probe.Advance() != 1 && ticks < 1000) ++ticks;
  for (int t = 1; t < ticks; ++t) creature.bodyAnim.Advance();
}

TEST_F(AnimStates, StandRunsTheOrderHandlerASecondTimeAtZero) {
  CCreature& brownie = C(Place(kBrownie, 0, 5, 5));
  // Mid-sequence with the countdown at 0: the WAIT handler runs once (one idle draw).
  brownie.SetAnimState(ANIM_STAND);
  brownie.orderState.standCountdown = 0;
  CRandom once = Generator();
  Roll(once, 100);  // the taunt draw, made with nobody to taunt
  Roll(once, 6);
  brownie.AnimStand();
  EXPECT_EQ(brownie.animState, ANIM_WAIT);
  EXPECT_EQ(g_battleRandom.indexA, once.indexA);

  // At the end of the sequence with the countdown at 0: twice.
  brownie.SetAnimState(ANIM_STAND);
  brownie.orderState.standCountdown = 0;
  RunToLastFrame(brownie);
  CRandom twice = Generator();
  for (int run = 0; run < 2; ++run) {
    Roll(twice, 100);
    Roll(twice, 6);
  }
  brownie.AnimStand();
  EXPECT_EQ(g_battleRandom.indexA, twice.indexA);

  // A countdown above 0 at the end restarts the block and counts on.
  brownie.SetAnimState(ANIM_STAND);
  brownie.orderState.standCountdown = 5;
  RunToLastFrame(brownie);
  brownie.AnimStand();
  EXPECT_EQ(brownie.animState, ANIM_STAND);
  EXPECT_EQ(brownie.orderState.standCountdown, 4);
}

}  // namespace
}  // namespace creature_test
