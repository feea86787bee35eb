// The order switch and the entry points: a dead creature takes DEAD once, an order given in
// the middle of a route step waits and the last one wins, STUNNED and RETREAT keep the
// pending order; each entry point against type 22, type 27, a held, provoked, panicking and
// airborne creature; Immobilise keeping the longer stun and the held kind.
#include <gtest/gtest.h>

#include <functional>

#include "OrdersWorld.h"
#include "creatures/CreatureArray.h"
#include "creatures/Mapelem.h"

namespace creature_test {
namespace {

using Orders = OrdersWorld;

TEST_F(Orders, EveryKindButNoneAndDyingHasAHandlerAndTheNamesAreTheSystemsOwn) {
  for (int kind = -1; kind <= 17; ++kind) {
    const bool expected = kind >= 1 && kind <= 16 && kind != ORDER_DYING;
    EXPECT_EQ(CCreature::GetOrderHandler(kind) != nullptr, expected) << kind;
  }
  EXPECT_STREQ(OrderName(ORDER_REACTION_LRC), "REACTION_LRC");
  EXPECT_STREQ(OrderName(ORDER_RETREAT), "RETREAT");
  EXPECT_STREQ(OrderName(ORDER_LIFTED), "");
  EXPECT_STREQ(AnimStateName(ANIM_LRC_ATTACK_CREAT), "LRC_ATTACK_CREAT");
  EXPECT_STREQ(AnimStateName(ANIM_RETREAT), "RETREAT");
  EXPECT_STREQ(AnimStateName(ANIM_RISING), "");
}

TEST_F(Orders, PlacementIssuesWaitAndAnIdleBlock) {
  CCreature& brownie = C(Place(kBrownie, 0, 5, 5));
  EXPECT_EQ(brownie.order, ORDER_WAIT);
  EXPECT_EQ(brownie.animState, ANIM_WAIT);
  EXPECT_GE(brownie.animationBase, 64);
  EXPECT_LE(brownie.animationBase, 104);
  EXPECT_EQ(brownie.animationBase % 8, 0);
}

TEST_F(Orders, ADeadCreatureTakesOnlyDeadAndOnlyOnce) {
  CCreature& brownie = C(Place(kBrownie, 0, 5, 5));
  brownie.health = 0;
  EXPECT_EQ(brownie.SetOrder(ORDER_WAIT), 0);
  EXPECT_EQ(brownie.SetOrder(ORDER_ATTACK_TERRAIN), 0);
  EXPECT_EQ(brownie.order, ORDER_WAIT);
  brownie.SetOrder(ORDER_DEAD);
  EXPECT_EQ(brownie.order, ORDER_DEAD);
  EXPECT_EQ(brownie.animState, ANIM_DYING);
  // The handler does not run a second time.
  brownie.animState = ANIM_STAND;
  brownie.SetOrder(ORDER_DEAD);
  EXPECT_EQ(brownie.animState, ANIM_STAND);
}

TEST_F(Orders, OrdersInTheMiddleOfAStepWaitAndTheLastWins) {
  CCreature& brownie = C(Place(kBrownie, 0, 5, 5));
  brownie.midStep = 1;
  brownie.SetOrder(ORDER_TRAPPED);
  brownie.SetOrder(ORDER_ATTACK_TERRAIN);
  EXPECT_EQ(brownie.order, ORDER_WAIT);
  EXPECT_EQ(brownie.animState, ANIM_WAIT);
  EXPECT_EQ(brownie.pendingOrder, ORDER_ATTACK_TERRAIN);
}

TEST_F(Orders, StunnedAndRetreatKeepThePendingOrderOthersClearIt) {
  const int foe = Place(kBrownie, 1, 20, 20);
  CCreature& brownie = C(Place(kBrownie, 0, 5, 5));
  brownie.pendingOrder = ORDER_WALK_TO_POS;
  brownie.SetOrder(ORDER_STUNNED);
  EXPECT_EQ(brownie.order, ORDER_STUNNED);
  EXPECT_EQ(brownie.pendingOrder, ORDER_WALK_TO_POS);
  brownie.SetOrder(ORDER_TRAPPED);
  EXPECT_EQ(brownie.pendingOrder, ORDER_NONE);

  // A retreat (over at once until the retreat rules come) resumes the order kept pending.
  brownie.target = foe;
  brownie.pendingOrder = ORDER_ATTACK_CREATURE;
  brownie.SetOrder(ORDER_RETREAT);
  EXPECT_EQ(brownie.order, ORDER_ATTACK_CREATURE);
}

// The conditions an entry point may refuse.
struct Condition {
  const char* name;
  int type;
  std::function<void(CCreature&)> set;
};

// The entry points, each given while the creature is between two cells, so that the order
// it accepts shows as its pending order (ORDER_NONE: refused).
struct Entry {
  const char* name;
  std::function<void(CCreature&, int foe)> call;
  int expected[7];  // plain, type 22, type 27, held, provoked, panicking, airborne
};

TEST_F(Orders, EachEntryPointAgainstTheTypesAndConditionsThatRefuseIt) {
  const std::vector<Condition> conditions = {
      {"plain", kBrownie, [](CCreature&) {}},
      {"type 22", kStatic, [](CCreature&) {}},
      {"type 27", kUnseen, [](CCreature&) {}},
      {"held", kBrownie, [](CCreature& c) { c.heldKind = 1; }},
      {"provoked", kBrownie, [](CCreature& c) { c.provoked = 1; }},
      {"panicking", kBrownie, [](CCreature& c) { c.orderState.panicking = 1; }},
      {"airborne", kBrownie, [](CCreature& c) { c.airborne = 40; }},
  };
  constexpr int N = ORDER_NONE, A = ORDER_ATTACK_CREATURE, T = ORDER_ATTACK_TERRAIN, W = ORDER_WALK_TO_POS,
                P = ORDER_TRAPPED, S = ORDER_STUNNED, R = ORDER_REACTION_HTH, E = ORDER_WAIT;
  const std::vector<Entry> entries = {
      {"AttackCreature", [](CCreature& c, int foe) { c.AttackCreature(foe); }, {A, N, E, N, N, N, A}},
      {"AttackTerrain", [](CCreature& c, int) { c.AttackTerrain(9, 9, 0); }, {T, N, E, T, N, N, T}},
      {"WalkTo", [](CCreature& c, int) { c.WalkTo(9, 9, 0); }, {W, N, W, W, N, N, N}},
      {"Trap", [](CCreature& c, int) { c.Trap(); }, {P, N, E, N, P, P, N}},
      {"Immobilise", [](CCreature& c, int) { c.Immobilise(30, 0); }, {S, N, E, S, S, S, S}},
      {"ReactHandToHand", [](CCreature& c, int) { c.ReactHandToHand(); }, {R, R, E, N, R, N, N}},
  };
  for (const Entry& entry : entries) {
    for (size_t i = 0; i < conditions.size(); ++i) {
      SCOPED_TRACE(std::string(entry.name) + " / " + conditions[i].name);
      g_creatureArray.ReleaseAll();
      const int foe = Place(kBrownie, 1, 30, 30);
      CCreature& creature = C(Place(conditions[i].type, 0, 5, 5));
      conditions[i].set(creature);
      creature.midStep = 1;
      entry.call(creature, foe);
      EXPECT_EQ(creature.pendingOrder, entry.expected[i]);
      EXPECT_EQ(creature.order, ORDER_WAIT);
    }
  }
}

TEST_F(Orders, AttackingItselfOnlyReleasesTheEngagement) {
  const int foe = Place(kBrownie, 1, 6, 5);
  CCreature& brownie = C(Place(kBrownie, 0, 5, 5));
  brownie.target = foe;
  brownie.SetAnimState(ANIM_HTH_ATTACK);
  ASSERT_EQ(C(foe).orderState.attackerCount, 1);
  EXPECT_EQ(brownie.AttackCreature(brownie.index), 0);
  EXPECT_EQ(C(foe).orderState.attackerCount, 0);
  EXPECT_EQ(brownie.orderState.engaged, 0);
  EXPECT_EQ(brownie.order, ORDER_WAIT);
  EXPECT_EQ(brownie.target, foe);
}

TEST_F(Orders, AnAttackOnACreatureInContactFacesItAndStands) {
  const int foe = Place(kBrownie, 1, 7, 5);
  CCreature& brownie = C(Place(kBrownie, 0, 6, 5));
  brownie.SetFacing(4);
  EXPECT_EQ(brownie.AttackCreature(foe), 1);
  EXPECT_EQ(brownie.orderState.inContact, 0);  // cleared again by the handler in contact
  EXPECT_EQ(brownie.facing, 2);
  EXPECT_EQ(brownie.order, ORDER_ATTACK_CREATURE);
  EXPECT_EQ(brownie.animState, ANIM_HTH_ATTACK);
  EXPECT_EQ(brownie.attack[7], brownie.index);
  EXPECT_EQ(brownie.attack[8], foe);
  EXPECT_EQ(C(foe).orderState.attackerCount, 1);
}

TEST_F(Orders, ImmobiliseKeepsTheLongerStunAndTheHeldKind) {
  CCreature& brownie = C(Place(kBrownie, 0, 5, 5));
  brownie.Immobilise(50, 0);
  EXPECT_EQ(brownie.order, ORDER_STUNNED);
  EXPECT_EQ(brownie.pendingOrder, ORDER_WAIT);
  brownie.Immobilise(10, 0);
  EXPECT_EQ(brownie.heldTime, 50);
  brownie.Immobilise(80, 0);
  EXPECT_EQ(brownie.heldTime, 80);

  // Kind 0 on a creature holding kind 1 (and not yet stunned) keeps kind 1, takes the new
  // duration and stuns it.
  CCreature& stared = C(Place(kBrownie, 0, 8, 5));
  stared.heldKind = 1;
  stared.heldTime = 5;
  stared.Immobilise(20, 0);
  EXPECT_EQ(stared.heldKind, 1);
  EXPECT_EQ(stared.heldTime, 20);
  EXPECT_EQ(stared.order, ORDER_STUNNED);

  // A held creature given another held kind only takes the duration; the hold ends iron skin.
  CCreature& frozen = C(Place(kBrownie, 0, 11, 5));
  frozen.Immobilise(30, 2);
  ASSERT_EQ(frozen.heldKind, 2);
  frozen.ironSkin = 100;
  frozen.printFX.PushColourFX(5);
  frozen.Immobilise(40, 1);
  EXPECT_EQ(frozen.heldKind, 2);
  EXPECT_EQ(frozen.heldTime, 40);
  EXPECT_EQ(frozen.ironSkin, 0);
  EXPECT_EQ(frozen.orderState.looksChanged, 1);

  // In the air a hold brings the creature down next frame; type 22 is immune.
  CCreature& floating = C(Place(kBrownie, 0, 14, 5));
  floating.airborne = 60;
  floating.Immobilise(30, 1);
  EXPECT_EQ(floating.airborne, 1);
  EXPECT_EQ(floating.heldKind, 1);
  EXPECT_EQ(floating.printFX.colours[floating.printFX.colourCount - 1], 4);
  CCreature& eye = C(Place(kStatic, 0, 17, 5));
  eye.Immobilise(30, 1);
  EXPECT_EQ(eye.heldKind, 0);
  EXPECT_EQ(eye.order, ORDER_WAIT);
}

TEST_F(Orders, EndingAHeldStateReturnsToWaitAndClearsTheConditions) {
  CCreature& brownie = C(Place(kBrownie, 0, 5, 5));
  brownie.Immobilise(30, 2);
  brownie.printFX.PushColourFX(1);
  brownie.provoked = 1;
  brownie.orderState.panicking = brownie.orderState.earthBound = brownie.orderState.lineMove = 1;
  brownie.mirrored = 1;
  brownie.EndHeldState();
  EXPECT_EQ(brownie.heldKind, 0);
  EXPECT_EQ(brownie.heldTime, 0);
  EXPECT_EQ(brownie.provoked + brownie.orderState.panicking + brownie.orderState.earthBound +
                brownie.orderState.lineMove + brownie.mirrored,
            0);
  EXPECT_EQ(brownie.order, ORDER_WAIT);
  EXPECT_EQ(brownie.animState, ANIM_WAIT);
}

TEST_F(Orders, AttackerCountsNeverFallBelowZeroAndRestartPastTheLargest) {
  CCreature& brownie = C(Place(kBrownie, 0, 5, 5));
  CCreature::AdjustAttackerCount(brownie, 0);
  EXPECT_EQ(brownie.orderState.attackerCount, 0);
  brownie.orderState.attackerCount = INT32_MAX;
  CCreature::AdjustAttackerCount(brownie, 1);
  EXPECT_EQ(brownie.orderState.attackerCount, 1);
}

}  // namespace
}  // namespace creature_test
