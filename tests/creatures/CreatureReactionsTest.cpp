// The rest of the handlers' edges: a shooter that is struck or challenged does not shoot
// back, a blob attack wears a breakable object down (and a blob of no strength does
// nothing), and a creature that feeds its wizard passes it mana at its period.
#include <gtest/gtest.h>

#include "OrdersWorld.h"
#include "core/Options.h"

namespace creature_test {
namespace {

using Reactions = OrdersWorld;

TEST_F(Reactions, AShooterBeingStruckReturnsToWaitInsteadOfShooting) {
  CCreature& centaur = C(Place(kCentaur, 0, 5, 5));
  ASSERT_GT(g_creatureTypes[kCentaur].FireRange, 0);
  centaur.orderState.attackerCount = 1;
  centaur.SetOrder(ORDER_REACTION_LRC);
  EXPECT_EQ(centaur.order, ORDER_WAIT);
  EXPECT_TRUE(effects.casts.empty());

  // Not struck but not ready to shoot: it stands a frame and asks again.
  centaur.orderState.attackerCount = 0;
  centaur.nextActionFrame = 50;
  centaur.SetOrder(ORDER_REACTION_LRC);
  EXPECT_EQ(centaur.order, ORDER_REACTION_LRC);
  EXPECT_EQ(centaur.animState, ANIM_STAND);
}

TEST_F(Reactions, ABlobAttackWearsABreakableObjectDown) {
  CCreature& brownie = C(Place(kBrownie, 0, 5, 5));
  effects.cellEffects[{6, 5, 0, 26}] = 9;
  effects.strength[9] = 60;
  brownie.orderState.attackedX = 6;
  brownie.orderState.attackedY = 5;
  brownie.orderState.attackedLevel = 0;
  ASSERT_EQ(brownie.StartBlobAttack(), 1);
  EXPECT_EQ(brownie.animState, ANIM_BLOB_ATTACK);
  EXPECT_EQ(brownie.facing, 2);

  const int blow = g_creatureTypes[kBrownie].Stamina;
  ASSERT_GT(blow, 0);
  CRandom random = Generator();
  const int expected = 60 - (blow + Roll(random, blow));
  brownie.BlobHitCellObject();
  EXPECT_EQ(effects.strength[9], expected > 10 ? expected : expected - 10);

  // A blob of no strength neither hits nor draws.
  g_creatureTypes[kBrownie].Stamina = 0;
  const CRandom before = Generator();
  const int strength = effects.strength[9];
  brownie.BlobHitCellObject();
  EXPECT_EQ(effects.strength[9], strength);
  EXPECT_EQ(g_battleRandom.indexA, before.indexA);

  // Too far away, or for a wizard, there is no blob attack.
  effects.cellEffects[{9, 5, 0, 26}] = 10;
  brownie.orderState.attackedX = 9;
  EXPECT_EQ(brownie.StartBlobAttack(), 0);
}

TEST_F(Reactions, ACreatureThatFeedsItsWizardPassesItManaAtItsPeriod) {
  g_manaRecoveryDelay = 4;
  g_manaRecovery = 3;
  CCreature& wizard = C(PlaceWizard(0, 3, 3));
  wizard.SetMaxMana(100);
  wizard.mana = 0;
  CCreature& brownie = C(Place(kBrownie, 0, 8, 8));
  brownie.orderState.manaRecovery = 1;
  std::vector<int> mana;
  for (int f = 0; f < 11; ++f) {
    Frame();
    mana.push_back(wizard.mana / 256);
  }
  EXPECT_EQ(mana, (std::vector<int>{3, 3, 3, 3, 3, 6, 6, 6, 6, 6, 9}));
}

}  // namespace
}  // namespace creature_test
