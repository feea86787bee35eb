// Targets and engagement: equal scores keep the first candidate, a shooter not ready takes
// the first creature in its line of fire, a creature already engaged waits instead of
// answering another challenge, an invisible creature that is not fighting is never
// challenged, and releasing a creature frees everyone tracking it.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "OrdersWorld.h"
#include "creatures/CreatureArray.h"
#include "creatures/Mapelem.h"
#include "forge/TerrainTypes.h"
#include "map/Map.h"

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

// A group ordered to one cell: the first creature takes the cell, the next fifteen the places
// around it in turn, the seventeenth and later the cell again; a place in a wall is passed
// over, and a restart begins the turn again.
TEST_F(Sight, AGroupTakesTheClickedCellThenThePlacesAroundItInTurn) {
  g_map.CellAt(21, 19, 0).terrain = forge::terrain::kStone;  // place 1, (1, -1)
  g_map.CellAt(21, 19, 1).terrain = forge::terrain::kStone;
  CCreature& c = C(Place(kBrownie, 0, 5, 5));
  std::vector<std::array<int, 2>> cells;
  for (int n = 0; n < 17; ++n) {
    int x, y, z;
    c.FindFormationCell(20, 20, 0, n == 0, x, y, z);
    cells.push_back({x, y});
    EXPECT_EQ(z, 0);
  }
  EXPECT_EQ(cells[0], (std::array<int, 2>{20, 20}));
  EXPECT_EQ(cells[1], (std::array<int, 2>{21, 21}));  // (1, -1) is in the wall
  EXPECT_EQ(cells[2], (std::array<int, 2>{19, 21}));
  EXPECT_EQ(cells[14], (std::array<int, 2>{20, 24}));  // the last place
  EXPECT_EQ(cells[15], (std::array<int, 2>{20, 20}));  // the turn is through
  EXPECT_EQ(cells[16], (std::array<int, 2>{20, 20}));
  int x, y, z;
  c.FindFormationCell(20, 20, 0, 1, x, y, z);
  EXPECT_EQ(x, 20);
  c.FindNearbyFreeCell(20, 20, 0, 1, x, y, z);
  c.FindNearbyFreeCell(20, 20, 0, 0, x, y, z);
  EXPECT_EQ(x, 21);  // room at the clicked level alone
  EXPECT_EQ(y, 21);
}

}  // namespace
}  // namespace creature_test
