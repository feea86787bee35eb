// The mana-sprite decision: the wizard goes for the sprite nearest to it (the first in the
// pool of equally near ones); an illusion of a wizard gives nothing; escorts already walking
// near the wizard keep their orders; a sprite taken by anyone ends it.
#include <gtest/gtest.h>

#include "AIObjectSeekScene.h"
#include "ai/AICollectManaDecision.h"
#include "creatures/CreatureStrength.h"

namespace {

using ai_test::ObjectSeekScene;

constexpr int kTick = 40;
constexpr int kTroop = 2;
constexpr int kSprite = CAICollectManaDecision::kManaSpriteKind;

class CollectMana : public ObjectSeekScene {};

TEST_F(CollectMana, OfEquallyNearSpritesTheFirstInThePoolIsTaken) {
  CCreature& wizard = WizardOnGrid(1, 4, 4);
  Lay(7, kSprite, 6, 4);
  Lay(3, kSprite, 2, 4);
  Lay(1, 3, 4, 5);  // an item nearer still is no sprite
  CAICollectManaDecision d;
  EXPECT_EQ(Carriers(d, Acting({&wizard}), kTick), std::vector<int>{wizard.index});
  d.KeepBest();
  EXPECT_EQ(d.keptObject, 3);
  ASSERT_EQ(d.kept.vector.size(), 67u + 6u);
  EXPECT_EQ(d.kept.vector[67], wizard.health);
}

TEST_F(CollectMana, AnIllusionOfAWizardGivesNothing) {
  CCreature& wizard = WizardOnGrid(1, 4, 4);
  CCreature& image = Place(0, 1, 18, 14);
  image.illusion = 1;
  image.nodeRoute.NearestNode() = GridNode(4, 3);
  CCreature& troop = OnGrid(kTroop, 1, 5, 5);
  Lay(0, kSprite, 6, 4);
  CAICollectManaDecision d;
  EXPECT_TRUE(Carriers(d, Acting({&image, &troop}), kTick).empty());
  CAICollectManaDecision withWizard;
  EXPECT_EQ(Carriers(withWizard, Acting({&image, &wizard}), kTick), std::vector<int>{wizard.index});
}

TEST_F(CollectMana, EscortsNearTheWizardKeepTheirOrdersAndATakenSpriteEndsIt) {
  CCreature& wizard = WizardOnGrid(1, 4, 4);
  CCreature& near = OnGrid(kTroop, 1, 5, 4);
  CCreature& far = OnGrid(kTroop, 1, 9, 9);
  Lay(5, kSprite, 7, 4);
  near.WalkTo(wizard.cellX + 3, wizard.cellY, 0);
  CAICollectManaDecision d;
  ASSERT_EQ(Carriers(d, Acting({&wizard, &near, &far}), kTick).size(), 1u);
  d.KeepBest();
  CAIBudget budget = Budget(100);
  EXPECT_TRUE(d.Step(sides, kTick + 1, budget));
  COrderReport order;
  wizard.GetCurrentOrder(order);
  EXPECT_EQ(order.x, 2 + 4 * 7);
  near.GetCurrentOrder(order);
  EXPECT_EQ(order.x, wizard.cellX + 3) << "already near the wizard";
  far.GetCurrentOrder(order);
  EXPECT_EQ(order.x, wizard.cellX);
  g_mapObjects.records[5].Clear();  // taken
  EXPECT_FALSE(d.Step(sides, kTick + 2, budget));
}

}  // namespace
