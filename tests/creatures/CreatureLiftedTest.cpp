// The ground raised under a creature lifts it to the top and sets it down somewhere at random:
// any creature wherever there is room, a wizard only where it can walk on, from ground that
// the path network joins to the ground it was lifted from.
#include <gtest/gtest.h>

#include "WalkWorld.h"

namespace creature_test {
namespace {

using Lifted = WalkWorld;

// Lifts the creature `times` times; answers how often it came down away from its column.
int LiftsAway(CCreature& c, int times) {
  int away = 0;
  for (int n = 0; n < times; ++n) {
    const int x = c.cellX, y = c.cellY;
    c.EnterOrder15();
    for (int frame = 0; frame < 4000 && (c.order == ORDER_LIFTED || c.order == ORDER_DROPPED); ++frame) c.Update();
    EXPECT_EQ(c.order, ORDER_WAIT);
    if (c.cellX != x || c.cellY != y) ++away;
  }
  return away;
}

TEST_F(Lifted, AWizardIsSetDownOnlyWhereThePathNetworkLetsItWalkOn) {
  const int wizard = Place(0, 0, 10, 10, kFloor);
  g_armyTable.armies[0].wizardCreature = wizard;
  const int brownie = Place(kBrownie, 0, 30, 30, kFloor);
  C(wizard).health = C(brownie).health = 10000;  // the falls hurt
  // No network: the wizard comes down where it went up; any other creature anywhere.
  EXPECT_EQ(LiftsAway(C(wizard), 3), 0);
  EXPECT_GT(LiftsAway(C(brownie), 3), 0);
  // With the network over the whole map it is set down elsewhere, on the ground.
  BuildPathNetwork();
  EXPECT_GT(LiftsAway(C(wizard), 3), 0);
  EXPECT_EQ(C(wizard).level, kFloor);
}

}  // namespace
}  // namespace creature_test
