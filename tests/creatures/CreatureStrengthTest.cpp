// The combat strength estimate, the rating rows, the mana wait and movement timing, and the
// order a creature reports as another one's order.
#include <gtest/gtest.h>

#include <climits>

#include "OrdersWorld.h"
#include "core/Options.h"
#include "creatures/ManaWait.h"
#include "creatures/SpellDefinition.h"
#include "creatures/Wizard.h"

namespace creature_test {
namespace {

class Strength : public OrdersWorld {
 protected:
  // A creature of type 1 with a flat row and nothing that moves the factor from 1.
  CCreature& Plain(int hth, int health) {
    CCreatureType& t = g_creatureTypes[kBrownie];
    for (int i = 0; i < kCreatureTypes; ++i) {
      t.HTH_Matrix[i] = hth;
      t.LRC_Matrix[i] = 0;
    }
    CCreature& c = C(Place(kBrownie, 1, 10, 10));
    t.Bravery = t.BurnTime = t.BurnDamage = t.maxSpeed = 0;  // after placing: the speed is measured then
    c.health = health;
    c.mayFly = c.magicResistance = c.intelligence = c.undead = 0;
    c.strength.dirty = 1;
    c.UpdateStrength();
    return c;
  }
  static void UndeadTypes(std::initializer_list<int> types) {
    for (CCreatureType& t : g_creatureTypes) t.IsUndead = 0;
    for (int t : types) g_creatureTypes[t].IsUndead = 1;
  }
};

TEST_F(Strength, TheTableOfTheEstimate) {
  UndeadTypes({5, 6});
  CCreature& c = Plain(30, 10);
  EXPECT_EQ(c.strength.hthAll, 10 * ((26 * 30 + 2 * 10) / 28));
  EXPECT_EQ(c.strength.hthUndead, 100);  // a living creature rates a third against the undead
  EXPECT_EQ(c.strength.lrcAll, 0);
  EXPECT_EQ(c.strength.defence, 10);
  EXPECT_EQ(c.strength.total, 100 + 0 + 280 + 10);
  EXPECT_EQ(c.strength.dirty, 0);

  // An undead rater keeps its full row against its own kind.
  c.undead = 1;
  c.UpdateStrength();
  EXPECT_EQ(c.strength.hthUndead, 300);
  EXPECT_EQ(c.strength.hthAll, 300);

  // Health moves the estimate without anyone raising the flag; iron skin and invisibility
  // raise the defence.
  c.health = 20;
  c.ironSkin = 1;
  c.invisible = 1;
  c.UpdateStrength();
  EXPECT_EQ(c.strength.hthAll, 600);
  EXPECT_EQ(c.strength.defence, 120);
}

TEST_F(Strength, NoUndeadTypeLeavesBothUndeadStrengthsAtZero) {
  UndeadTypes({});
  CCreature& c = Plain(30, 10);
  EXPECT_EQ(c.strength.hthUndead, 0);
  EXPECT_EQ(c.strength.lrcUndead, 0);
  EXPECT_EQ(c.strength.hthAll, 300);
  EXPECT_EQ(c.strength.total, 0 + 0 + 300 + 10);
}

TEST_F(Strength, ModifiersInTheirOrder) {
  UndeadTypes({});
  g_lordBooster = 50;
  CCreature& c = Plain(40, 1);
  c.strength.attackBonus = 50;  // 60
  c.bloodLust = 1;              // 120
  c.rank = 1;                   // 180
  c.UpdateStrength();
  EXPECT_EQ(c.strength.hthAll, 180);
  // A negative sum counts as nothing.
  c.strength.attackBonus = -300;
  c.UpdateStrength();
  EXPECT_EQ(c.strength.hthAll, 0);
}

TEST_F(Strength, LongBurningGivesAFactorOfZero) {
  UndeadTypes({});
  CCreatureType& t = g_creatureTypes[kBrownie];
  CCreature& c = Plain(30, 10);
  t.BurnTime = 100;
  t.BurnDamage = 300;  // 30000: 1 - 1.5 would be below 0
  c.strength.dirty = 1;
  c.UpdateStrength();
  EXPECT_EQ(c.strength.total, 0);
  t.BurnTime = 0;
  t.Bravery = 50;  // x 1.5
  c.strength.dirty = 1;
  c.UpdateStrength();
  EXPECT_EQ(c.strength.total, 465);
}

TEST_F(Strength, RatingRows) {
  UndeadTypes({7});
  CCreature& holder = C(Place(8, 1, 10, 10));
  CCreature& brownie = C(Place(kBrownie, 1, 14, 10));
  for (int t = 0; t < kCreatureTypes; ++t) {
    EXPECT_EQ(holder.GetLrcRating(t, 0), 10);
    EXPECT_EQ(holder.GetLrcRating(t, 1), 10);
  }
  g_creatureTypes[kBrownie].HTH_Matrix[7] = 31;
  EXPECT_EQ(brownie.GetHthRating(7, 1), 10);
  EXPECT_EQ(brownie.GetHthRating(7, 0), 31);
  brownie.undead = 1;
  EXPECT_EQ(brownie.GetHthRating(7, 1), 31);
}

TEST_F(Strength, ManaWait) {
  g_manaRecovery = 2;
  g_manaRecoveryDelay = 10;
  const int wizard = PlaceWizard(1, 10, 10);
  CCreature& w = C(wizard);
  w.maxMana = 50;
  w.mana = 5 * 256;
  const int spell = 1;
  g_spellDefs[spell].ManaCost = 10;
  EXPECT_EQ(w.GetManaWaitTime(spell, 1), INT_MAX);  // no source: never
  w.mana = 10 * 256;
  EXPECT_EQ(w.GetManaWaitTime(spell, 1), 0);  // affordable
  w.mana = 5 * 256;
  C(Place(kBrownie, 1, 14, 14)).manaSource = 1;
  EXPECT_EQ(w.GetManaWaitTime(spell, 1), 3 * 10);  // 5 short at 2 a step: 3 steps
  C(Place(kBrownie, 1, 16, 14)).manaSource = 1;
  EXPECT_EQ(w.GetManaWaitTime(spell, 1), 2 * 10);
  w.AddEvent(19, 0, 0, 0, 5, 0);  // a pending mana event pays the rest
  EXPECT_EQ(w.GetManaWaitTime(spell, 1), 0);
  w.mana = 50 * 256;
  g_spellDefs[spell].ManaCost = 60;  // the maximum is below the cost: never, even full
  EXPECT_EQ(w.GetManaWaitTime(spell, 1), INT_MAX);
  EXPECT_EQ(EstimateManaWaitTime(0, 50, 10, 1, 0), INT_MAX);
  EXPECT_EQ(EstimateManaWaitTime(0, 5, 10, 1, 3), INT_MAX);
  EXPECT_EQ(EstimateManaWaitTime(0, 50, 10, 1, 5), 10);
}

TEST_F(Strength, HasteAndSlowTogetherLeaveAMoveTimeUnchanged) {
  CCreature& c = C(Place(kBrownie, 1, 10, 10));
  int current = 0, target = 0;
  const int plain = c.GetMoveTime(0, 1, 0, 0, current, target);
  ASSERT_GT(plain, 0);
  c.haste = 5;
  EXPECT_EQ(c.GetMoveTime(0, 1, 0, 0, current, target), plain * 2);
  c.slow = 5;
  EXPECT_EQ(c.GetMoveTime(0, 1, 0, 0, current, target), plain);
  c.haste = 0;
  EXPECT_EQ(c.GetMoveTime(0, 1, 0, 0, current, target), plain / 2);
}

TEST_F(Strength, AnOrderReportedIsTheSameOrderGivenElsewhere) {
  const int a = Place(kBrownie, 0, 10, 10), b = Place(kBrownie, 0, 10, 14);
  const int enemy = Place(kBrownie, 1, 20, 20);
  const auto copy = [&] {
    COrderReport report;
    C(a).GetCurrentOrder(report);
    C(b).IssueOrder(report.kind, report.x, report.y, report.level, report.target);
    return report;
  };
  C(a).WalkTo(30, 12, 0);
  COrderReport walk = copy();
  EXPECT_EQ(walk.kind, 2);
  EXPECT_EQ(C(b).order, ORDER_WALK_TO_POS);
  EXPECT_TRUE(C(b).IsTargetPosition(30, 12, 0));

  C(a).AttackCreature(enemy);
  COrderReport attack = copy();
  EXPECT_EQ(attack.kind, 3);
  EXPECT_EQ(C(b).order, ORDER_ATTACK_CREATURE);
  EXPECT_EQ(C(b).target, enemy);

  C(a).AttackTerrain(12, 30, 0);
  COrderReport terrain = copy();
  EXPECT_EQ(terrain.kind, 4);
  EXPECT_EQ(C(b).order, ORDER_ATTACK_TERRAIN);
  EXPECT_EQ(C(b).orderState.attackedX, 12);
  EXPECT_EQ(C(b).orderState.attackedY, 30);
}

TEST_F(Strength, TheArmyCountLeavesOutTheWizardAndTellsTheLimit) {
  const int wizard = PlaceWizard(0, 10, 10);
  C(wizard).aiWords[wizard_words::kControlLimit] = 2;
  struct Limits : MessageBattle {
    int reached = 0, left = 0, shown = -1;
    void ShowControlCount(int count) override { shown = count; }
    void ControlLimitReached() override { ++reached; }
    void ControlLimitLeft() override { ++left; }
  } limits;
  HookScope<ICreatureBattle> scope(g_creatureBattle, limits);
  const int first = Place(kBrownie, 0, 12, 10);
  Place(kUnseen, 0, 16, 10);
  EXPECT_EQ(C(wizard).behaviour.armyCount, 1);
  Place(kBrownie, 0, 14, 10);
  EXPECT_EQ(C(wizard).behaviour.armyCount, 2);
  EXPECT_EQ(limits.shown, 2);
  EXPECT_EQ(limits.reached, 1);
  C(first).health = 0;
  C(first).CountArmyCreatures();
  EXPECT_EQ(C(wizard).behaviour.armyCount, 1);
  EXPECT_EQ(limits.left, 1);
}

TEST_F(Strength, TheViewKeepsThreeScreenPositionsNewestFirst) {
  CCreature& c = C(Place(kBrownie, 1, 10, 10));
  int x = 0, y = 0;
  CSpriteFrame frame;
  for (int i = 1; i <= 4; ++i) c.RecordScreenPosition(10 * i, 20 * i);
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(c.GetRecordedScreenPosition(i, x, y, frame));
    EXPECT_EQ(x, 10 * (4 - i));
    EXPECT_EQ(y, 20 * (4 - i));
  }
  EXPECT_FALSE(c.GetRecordedScreenPosition(3, x, y, frame));
}

}  // namespace
}  // namespace creature_test
