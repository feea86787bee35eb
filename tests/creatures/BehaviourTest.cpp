// A creature's own decisions: when it decides nothing, when it escapes burning ground, when
// it may start a behaviour at all, how a troll and a redcap feed, when a walker turns aside
// for an item, and a flee that gains nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "WalkWorld.h"
#include "creatures/CreatureSurroundings.h"
#include "creatures/SpellDefinition.h"
#include "map/Map.h"
#include "map/MapCell.h"

namespace creature_test {
namespace {

constexpr int kRedcap = 10;

struct FakeSurroundings : ICreatureSurroundings {
  std::vector<SurroundingObject> objects;
  bool Object(int i, SurroundingObject& out) override {
    if (i < 0 || i >= static_cast<int>(objects.size())) return false;
    out = objects[static_cast<size_t>(i)];
    return true;
  }
};

class Behaviour : public WalkWorld {
 protected:
  void SetUp() override {
    WalkWorld::SetUp();
    // Brownies hate each other; nothing else moves them.
    for (CCreatureType& t : g_creatureTypes) {
      for (int& v : t.FearHate_Matrix) v = 0;
      for (int& v : t.Assist_Matrix) v = 0;
    }
    g_creatureTypes[kBrownie].FearHate_Matrix[kBrownie] = 10;
  }
  static void AllSeen() {
    g_creatureArray.ForEachInUse([](CCreature& c) {
      for (int a = 0; a < kSightingArmyCount; ++a) c.sightingCounters[a] = kSightingFull;
    });
  }
  static void SetState(int x, int y, int z, uint16_t bits) { g_map.CellAt(x, y, z).state |= bits; }
  // A trap: its mark, and its effect linked in the cell.
  static void SetTrap(int x, int y, int z) {
    SetState(x, y, z, 0x20);
    g_map.CellAt(x, y, z).effect = 0;
  }

  FakeSurroundings around;
  HookScope<ICreatureSurroundings> aroundScope{g_creatureSurroundings, around};
};

TEST_F(Behaviour, AHatedEnemyNearThePostIsAttackedUnlessTheCreatureStandsInATrap) {
  const int brownie = Place(kBrownie, 1, 10, 10, kFloor);
  const int foe = Place(kBrownie, 0, 15, 10, kFloor);
  AllSeen();
  EXPECT_EQ(C(brownie).DecideBehaviour(), 10);  // the distance to its target (about twice the cells)
  EXPECT_EQ(C(brownie).order, ORDER_BEHAVIOUR);
  EXPECT_EQ(C(brownie).behaviourSubState, 1);
  EXPECT_EQ(C(brownie).target, foe);
  EXPECT_EQ(C(brownie).behaviour.reach, 20);  // 10 x 2 at full health

  const int trapped = Place(kBrownie, 1, 10, 20, kFloor);
  AllSeen();
  SetTrap(10, 20, kFloor);
  C(trapped).DecideBehaviour();
  EXPECT_EQ(C(trapped).order, ORDER_WAIT);

  // The map data marks deep water with the same bit, but no trap lies in it: a creature there
  // still decides, and deep water around it is no hazard.
  const int swimmer = Place(kBrownie, 1, 10, 30, kFloor);
  Place(kBrownie, 0, 15, 30, kFloor);
  AllSeen();
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) SetState(10 + dx, 30 + dy, kFloor, 0x20);
  EXPECT_EQ(C(swimmer).RateHazard(10, 30, kFloor), 0);
  C(swimmer).DecideBehaviour();
  EXPECT_EQ(C(swimmer).order, ORDER_BEHAVIOUR);
}

// The nearest enemy, walled in, cannot be reached: the next nearest is attacked, and of two
// at the same distance the one in the lower slot.
TEST_F(Behaviour, TheNearestEnemyThatCanBeReachedIsAttackedTheLowerSlotOnATie) {
  const int brownie = Place(kBrownie, 1, 10, 10, kFloor);
  const int south = Place(kBrownie, 0, 10, 16, kFloor);
  const int north = Place(kBrownie, 0, 10, 4, kFloor);
  const int boxed = Place(kBrownie, 0, 13, 10, kFloor);
  // Stone up to the top of the map around it.
  for (int y = 9; y <= 11; ++y)
    for (int x = 12; x <= 14; ++x)
      for (int z = kFloor; z < g_map.levels && !(x == 13 && y == 10); ++z)
        g_map.CellAt(x, y, z).terrain = forge::terrain::kStone;
  AllSeen();
  ASSERT_FALSE(C(brownie).CanReach(C(boxed)));
  ASSERT_TRUE(C(brownie).CanReach(C(north)));
  EXPECT_EQ(C(brownie).FindEnemyToAttack(), 1);
  EXPECT_EQ(C(brownie).target, south);
}

TEST_F(Behaviour, EscapingHazardsTakesWitsAndALuckyDraw) {
  // Traps in the cells above: five over the first place, all nine over the second.
  int marked = 0;
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) {
      if (marked++ < 5) SetTrap(10 + dx, 10 + dy, kFloor + 1);
      SetTrap(30 + dx, 30 + dy, kFloor + 1);
    }
  for (int round = 0; round < 30; ++round) {
    const int slow = Place(kBrownie, 1, 10, 10, kFloor);
    const int bright = Place(kBrownie, 1, 30, 30, kFloor);
    ASSERT_EQ(C(slow).RateHazard(10, 10, kFloor), 5);
    ASSERT_EQ(C(bright).RateHazard(30, 30, kFloor), 9);
    C(slow).intelligence = 0;
    C(bright).intelligence = 30;
    C(slow).DecideBehaviour();
    EXPECT_EQ(C(slow).order, ORDER_WAIT);
    C(bright).DecideBehaviour();
    EXPECT_EQ(C(bright).order, ORDER_BEHAVIOUR);
    EXPECT_EQ(C(bright).behaviourSubState, 6);
    g_creatureArray.ReleaseAll();
  }
}

TEST_F(Behaviour, TheStartGuard) {
  const int a = Place(kBrownie, 1, 10, 10, kFloor);
  C(a).heldKind = 1;
  EXPECT_EQ(C(a).EnterBehaviour(7), 0);
  EXPECT_EQ(C(a).order, ORDER_WAIT);
  C(a).heldKind = 0;
  C(a).airborne = 5;  // lifted without wings
  EXPECT_EQ(C(a).EnterBehaviour(7), 0);
  EXPECT_EQ(C(a).order, ORDER_WAIT);
  C(a).spellState = 3;  // flying by a spell
  EXPECT_EQ(C(a).EnterBehaviour(7), 1);
  EXPECT_EQ(C(a).order, ORDER_WAIT);  // sub 7 at its post ends at once

  const int herald = Place(kUnseen, 1, 20, 20, kFloor);
  C(herald).heldKind = 2;
  EXPECT_EQ(C(herald).EnterBehaviour(1), 0);
  EXPECT_EQ(C(herald).heldKind, 0);  // only its hold ends
  EXPECT_EQ(C(herald).order, ORDER_WAIT);
}

TEST_F(Behaviour, ATrollHealsOnACorpseAndShortensItsTime) {
  struct Case {
    int before, after;
  };
  for (const Case& c : {Case{100, 40}, Case{61, 1}, Case{50, 1}}) {
    g_creatureArray.ReleaseAll();
    const int troll = Place(kTroll, 1, 10, 10, kFloor);
    const int body = Place(kBrownie, 0, 12, 10, kFloor);
    C(body).health = 0;
    C(body).orderState.bodyCountdown = c.before;
    CCreature& t = C(troll);
    t.health = 10;
    t.order = ORDER_BEHAVIOUR;
    t.behaviourSubState = 3;
    t.target = body;
    t.RunBehaviour();
    EXPECT_EQ(t.animState, ANIM_TROLL_EAT);  // first it takes to feeding
    EXPECT_EQ(t.health, 10);
    t.RunBehaviour();
    EXPECT_EQ(t.health, 10 + g_creatureTypes[kTroll].Health * 5 / 100);
    EXPECT_EQ(C(body).orderState.bodyCountdown, c.after);
    EXPECT_EQ(t.order, ORDER_WAIT);
  }
}

TEST_F(Behaviour, ARedcapMarksTheCorpseConsumed) {
  const int redcap = Place(kRedcap, 1, 10, 10, kFloor);
  const int body = Place(kBrownie, 0, 11, 10, kFloor);
  C(body).health = 0;
  AllSeen();
  ASSERT_EQ(C(redcap).FindCorpseToEat(), 1);
  CCreature& r = C(redcap);
  r.order = ORDER_BEHAVIOUR;
  r.behaviourSubState = 4;
  r.animState = ANIM_DIP_CAP;
  r.RunBehaviour();
  EXPECT_EQ(C(body).behaviour.consumed, 1);
  EXPECT_EQ(r.FindCorpseToEat(), 0);
}

TEST_F(Behaviour, AComputerWalkerTurnsAsideForAnItem) {
  g_creatureTypes[kBrownie].artifactUse |= artifact_use::kPickUp;
  g_armyTable.armies[0].wizardCreature = Place(0, 0, 2, 2, kFloor);
  g_armyTable.armies[1].wizardCreature = Place(0, 1, 40, 40, kFloor);
  around.objects.push_back({0, 14, 10, kFloor});
  struct Walker {
    int army;
    bool stay;
    bool turns;
  };
  for (const Walker& w : {Walker{1, false, true}, Walker{1, true, false}, Walker{0, false, false}}) {
    const int slot = Place(kBrownie, w.army, 10, 12, kFloor);
    C(slot).behaviour.stay = w.stay;
    C(slot).WalkTo(30, 12, kFloor);
    ASSERT_EQ(C(slot).order, ORDER_WALK_TO_POS);
    C(slot).DecideBehaviour();
    EXPECT_EQ(C(slot).order == ORDER_BEHAVIOUR && C(slot).behaviourSubState == 8, w.turns) << w.army << w.stay;
    EXPECT_EQ(C(slot).behaviour.itemDetour, w.turns ? 1 : 0);
    C(slot).Detach();
  }
  // Beyond 10 cells the item is not seen as on the way.
  around.objects[0] = {0, 28, 30, kFloor};
  const int far = Place(kBrownie, 1, 10, 12, kFloor);
  C(far).WalkTo(30, 12, kFloor);
  C(far).DecideBehaviour();
  EXPECT_EQ(C(far).order, ORDER_WALK_TO_POS);
}

TEST_F(Behaviour, AFleeStepThatGainsNothingEndsTheHoldInPlace) {
  const int coward = Place(kBrownie, 1, 10, 10, kFloor);
  const int foe = Place(kBrownie, 0, 14, 10, kFloor);
  // Friends on every side: no step away.
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (dx || dy) Place(kBrownie, 1, 10 + dx, 10 + dy, kFloor);
  AllSeen();
  CCreature& c = C(coward);
  c.order = ORDER_BEHAVIOUR;
  c.behaviourSubState = 2;
  c.target = foe;
  c.combat.fleeDistance = 20;
  EXPECT_EQ(c.FindFleeStep(), 0);
  c.RunBehaviour();
  EXPECT_EQ(c.order, ORDER_WAIT);
  EXPECT_EQ(c.cellX, 10);
  EXPECT_EQ(c.cellY, 10);

  // With room to go, the step leads away.
  const int free = Place(kBrownie, 1, 30, 30, kFloor);
  const int chaser = Place(kBrownie, 0, 33, 30, kFloor);
  AllSeen();
  C(free).target = chaser;
  EXPECT_EQ(C(free).FindFleeStep(), 1);
  EXPECT_LT(C(free).route.goalX, 30);
}

TEST_F(Behaviour, AHitIsAnsweredByTheResponseToShots) {
  struct Case {
    int response, sub, extra;
  };
  for (const Case& c : {Case{15, 1, 4}, Case{-15, 2, 6}, Case{5, 0, 0}}) {
    g_creatureArray.ReleaseAll();
    const int me = Place(kBrownie, 1, 10, 10, kFloor);
    const int shooter = Place(kBrownie, 0, 14, 10, kFloor);
    AllSeen();
    g_creatureTypes[kBrownie].FearHate_Matrix[kBrownie] = 0;
    g_creatureTypes[kBrownie].ResponsetoLRC_Matrix[kBrownie] = c.response;
    C(me).combat.attacker = shooter + 1;
    C(me).combat.attackerMemory = 100;
    C(me).DecideBehaviour();
    EXPECT_EQ(C(me).behaviourSubState, c.sub) << c.response;
    if (c.sub) {
      EXPECT_EQ(C(me).target, shooter);
      EXPECT_EQ(C(me).behaviour.reach, 8 + c.extra);  // the distance and 2 x (1 or 2) + 2
    }
    // The memory is active for one decision only and gone after five.
    EXPECT_EQ(C(me).combat.attackerMemory, 80);
    for (int i = 0; i < 4; ++i) C(me).AgeAttackerMemory();
    EXPECT_EQ(C(me).combat.attacker, 0);
  }
}

TEST_F(Behaviour, AFriendInAFightIsHelped) {
  g_creatureTypes[kBrownie].FearHate_Matrix[kBrownie] = 0;
  g_creatureTypes[kBrownie].Assist_Matrix[kBrownie] = 5;
  const int helper = Place(kBrownie, 1, 10, 10, kFloor);
  const int friendly = Place(kBrownie, 1, 13, 10, kFloor);
  const int foe = Place(kBrownie, 0, 14, 10, kFloor);
  AllSeen();
  C(friendly).tracking = 1;
  C(friendly).order = ORDER_ATTACK_CREATURE;
  C(friendly).target = foe;
  ASSERT_EQ(C(helper).FindAllyToAssist(), 1);
  EXPECT_EQ(C(helper).target, foe);
  EXPECT_EQ(C(helper).behaviour.reach, 10);  // 2 x 5 + 0 / 2 at full health
  // A friend farther from the post than that is left to itself.
  C(friendly).Relocate(16, 10, kFloor);
  C(foe).Relocate(17, 10, kFloor);
  EXPECT_EQ(C(helper).FindAllyToAssist(), 0);
}

TEST_F(Behaviour, APathNodeIsValuedFromItsArmyBytes) {
  BuildPathNetwork();
  CPathNode* node = g_pathNetwork.GetNode(0);
  ASSERT_NE(node, nullptr);
  const uint8_t marks[4] = {5, 7, 3, 2};  // ground, airborne, extra, for the living
  std::copy(marks, marks + 4, node->savedMarks[1]);
  node->values[0] = node->values[1] = 0;
  node->values[2] = 4;
  node->topOfColumn = 1;
  CCreature& walker = C(Place(kBrownie, 1, 10, 10, kFloor));
  walker.mayFly = 0;
  EXPECT_EQ(walker.RateNode(0), 5 + 3 + 4 + 2);
  walker.undead = 1;
  EXPECT_EQ(walker.RateNode(0), 5 + 3 + 4);
  walker.mayFly = 1;
  EXPECT_EQ(walker.RateNode(0), 7 + 3 + 4);
  // A factor weighs the spell's strength against the creature's wits; no wits and no
  // strength add nothing.
  node->values[0] = 100;
  g_spellDefs[91].SpellStrength = 50;
  walker.intelligence = 50;
  EXPECT_EQ(walker.RateNode(0), 7 + 3 + 4 + 50);
  g_spellDefs[91].SpellStrength = 0;
  walker.intelligence = 0;
  EXPECT_EQ(walker.RateNode(0), 7 + 3 + 4);
}

TEST_F(Behaviour, FeetTouchingCountAsAdjacent) {
  const int small = Place(kBrownie, 1, 10, 10, kFloor);
  const int big = Place(kTroll, 1, 20, 20, kFloor);
  struct Case {
    int slot, x, y, otherSlot, ox, oy;
    bool adjacent;
  };
  const Case cases[] = {
      {small, 10, 10, small, 11, 11, true}, {small, 10, 10, small, 12, 10, false}, {big, 20, 20, small, 22, 20, true},
      {big, 20, 20, small, 23, 20, false},  {big, 20, 20, small, 19, 19, true},    {small, 0, 0, small, 47, 43, true},
  };
  for (const Case& c : cases) {
    CCreature a = C(c.slot), b = C(c.otherSlot);
    a.cellX = c.x;
    a.cellY = c.y;
    b.cellX = c.ox;
    b.cellY = c.oy;
    EXPECT_EQ(CCreature::IsAdjacentTo(a, b), c.adjacent) << c.x << "," << c.ox;
  }
}

}  // namespace
}  // namespace creature_test
