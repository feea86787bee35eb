// Targets and engagement: equal scores keep the first candidate, a shooter not ready takes
// the first creature in its line of fire, a creature already engaged waits instead of
// answering another challenge, an invisible creature that is not fighting is never
// challenged, and releasing a creature frees everyone tracking it.
#include <gtest/gtest.h>

#include "OrdersWorld.h"
#include "creatures/CreatureArray.h"
#include "creatures/Mapelem.h"

namespace creature_test {
namespace {

class Sight : public OrdersWorld {
 protected:
  // Everyone sees everyone.
  void SeeAll() {
    g_creatureArray.ForEachInUse([](CCreature& c) {
      for (int a = 0; a < kSightingArmyCount; ++a) c.sightingCounters[a] = kSightingFull;
    });
  }
};

TEST_F(Sight, EqualHandToHandScoresKeepTheFirstCandidate) {
  const int me = Place(kBrownie, 0, 10, 10);
  const int first = Place(kBrownie, 1, 11, 10);
  const int second = Place(kBrownie, 1, 9, 10);
  SeeAll();
  const CRandom start = Generator();
  CRandom expected = start;
  const int roll1 = Roll(expected, 50), roll2 = Roll(expected, 50);
  C(first).health = 100;
  C(second).health = 100 + roll2 - roll1;  // the same total score
  ASSERT_GT(C(second).health, 0);
  EXPECT_EQ(C(me).FindAdjacentFoe(), first);
  EXPECT_EQ(C(me).target, first);

  C(second).health -= 1;  // one point better now
  C(first).health = 100;
  g_battleRandom = start;
  EXPECT_EQ(C(me).FindAdjacentFoe(), second);
}

TEST_F(Sight, AShooterNotReadyTakesTheFirstCreatureInItsLineOfFire) {
  const int shooter = Place(kCentaur, 0, 10, 10);
  const int strong = Place(kBrownie, 1, 13, 10);
  const int weak = Place(kBrownie, 1, 10, 13);
  SeeAll();
  C(strong).health = 500;
  C(weak).health = 1;
  EXPECT_EQ(C(shooter).FindRangedTarget(), weak);  // ready: the best
  EXPECT_EQ(C(shooter).attack[8], weak);
  EXPECT_EQ(C(shooter).attack[7], shooter);

  C(shooter).nextActionFrame = 1000;  // not ready: the first, with no draws
  const CRandom before = Generator();
  EXPECT_EQ(C(shooter).FindRangedTarget(), strong);
  CRandom after = Generator(), copy = before;
  EXPECT_EQ(after.Next(), copy.Next());
}

TEST_F(Sight, AnEngagedCreatureWaitsInsteadOfAnsweringAThird) {
  const int me = Place(kBrownie, 0, 10, 10);
  const int foe = Place(kBrownie, 1, 11, 10);
  SeeAll();
  ASSERT_EQ(C(me).FindChallenger(), 1);
  EXPECT_EQ(C(me).combat.challenger, foe + 1);

  C(me).orderState.attackerCount = 2;  // two already engaged with it
  EXPECT_EQ(C(me).AnswerChallenge(), 1);
  EXPECT_EQ(C(me).animState, ANIM_STAND);
  EXPECT_EQ(C(me).engagedWith, -1);

  C(me).orderState.attackerCount = 0;
  EXPECT_EQ(C(me).AnswerChallenge(), 1);
  EXPECT_EQ(C(me).animState, ANIM_ENGAGED);
  EXPECT_EQ(C(me).engagedWith, foe);
  EXPECT_EQ(C(foe).orderState.attackerCount, 1);

  // Releasing the foe frees the creature engaged with it.
  C(foe).ReleaseAllEngagements();
  EXPECT_EQ(C(me).orderState.engaged, 0);
  EXPECT_EQ(C(foe).orderState.attackerCount, 0);
}

TEST_F(Sight, AnInvisibleCreatureNotFightingIsNeverChallenged) {
  const int me = Place(kBrownie, 0, 10, 10);
  Place(kBrownie, 1, 11, 10);
  SeeAll();
  C(me).invisible = 50;
  EXPECT_EQ(C(me).FindChallenger(), 0);
  C(me).tracking = 1;
  EXPECT_EQ(C(me).FindChallenger(), 1);
}

TEST_F(Sight, AChallengerGoneOrStunnedClearsTheChallenge) {
  const int me = Place(kBrownie, 0, 10, 10);
  const int foe = Place(kBrownie, 1, 11, 10);
  SeeAll();
  ASSERT_EQ(C(me).FindChallenger(), 1);
  C(foe).midStep = 1;
  EXPECT_EQ(C(me).HasValidChallenge(), 1);
  EXPECT_EQ(C(me).IsChallengeReady(), 0);  // mid-step: not ready, and cleared
  EXPECT_EQ(C(me).combat.challenger, 0);
  C(foe).midStep = 0;
  ASSERT_EQ(C(me).FindChallenger(), 1);
  C(foe).animState = ANIM_STUNNED;
  EXPECT_EQ(C(me).HasValidChallenge(), 0);
}

}  // namespace
}  // namespace creature_test
