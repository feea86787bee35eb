// Damage intake, experience and a missile's hit: the protections and held states of
// TakeDamage in order, Lords and Kings (one King a type, a level a gain), the illusion test
// both ways and the missile kinds that hold or poison instead of hurting.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "OrdersWorld.h"
#include "core/Options.h"
#include "creatures/CreatureArray.h"
#include "creatures/Mapelem.h"
#include "creatures/SpellDefinition.h"

namespace creature_test {
namespace {

struct CountingEffects : RecordingEffects {
  std::vector<int> blood, glow;
  std::vector<int> bodyParts;
  void SpawnBlood(int, int, int, int, int size, bool) override { blood.push_back(size); }
  void SpawnGlowBurst(int, int count, bool) override { glow.push_back(count); }
  void SpawnBodyParts(int, int, int, int, int parameter) override { bodyParts.push_back(parameter); }
};

class Damage : public OrdersWorld {
 protected:
  void SetUp() override {
    OrdersWorld::SetUp();
    g_spellDefs[74].SpellStrength = 50;
    g_spellDefs[spell_tuning::kFreezeShatter].Data1 = 40;
    g_spellDefs[spell_tuning::kHoldShatter].Data1 = 60;
    victim = Place(kBrownie, 1, 10, 10);
    C(victim).health = 100;
  }
  CountingEffects counting;
  HookScope<ICreatureEffects> countingScope{g_creatureEffects, counting};
  int victim = -1;
};

// The invulnerability of item kind 21 is the timed counter the item sets with print effect
// 16: it keeps every hit off while it runs, and once the update has counted it out the
// effect is gone and hits land again.
TEST_F(Damage, AnItemsInvulnerabilityEndsWithItsTimer) {
  CCreature& c = C(victim);
  c.orderState.printTimers[1] = 3;  // as the item sets it
  c.printFX.PushEffect(16);
  EXPECT_EQ(c.TakeDamage(30, 0, -1, -1), 3);
  EXPECT_EQ(c.health, 100);
  for (int frame = 0; frame < 3; ++frame) Frame();
  EXPECT_EQ(c.orderState.printTimers[1], 0);
  EXPECT_NE(c.printFX.GetCurrentEffect(), 16);
  c.TakeDamage(30, 0, -1, -1);
  EXPECT_EQ(c.health, 70);
}

TEST_F(Damage, TakeDamageAppliesProtectionsAndHeldStatesInOrder) {
  struct Case {
    const char* name;
    std::function<void(CCreature&)> setup;
    int amount;
    int healthAfter;
    int glows;  // glow bursts shown
    int bloods;
    bool gone;
  };
  const Case cases[] = {
      {"zero", [](CCreature&) {}, 0, 100, 0, 0, false},
      {"below one", [](CCreature&) {}, -5, 100, 0, 0, false},
      {"plain", [](CCreature&) {}, 30, 70, 0, 1, false},
      {"fading", [](CCreature& c) { c.printFX.PushEffect(8); }, 30, 100, 0, 0, false},
      {"invulnerable", [](CCreature& c) { c.orderState.printTimers[1] = 5; }, 30, 100, 0, 0, false},
      {"iron skin 0",
       [](CCreature& c) {
         c.ironSkin = 1;
         g_spellDefs[74].SpellStrength = 0;
       },
       40, 60, 0, 1, false},  // nothing absorbed, no glow
      {"iron skin 50", [](CCreature& c) { c.ironSkin = 1; }, 40, 80, 1, 1, false},
      {"iron skin 100",
       [](CCreature& c) {
         c.ironSkin = 1;
         g_spellDefs[74].SpellStrength = 100;
       },
       40, 100, 1, 0, false},
      {"iron skin above 100",
       [](CCreature& c) {
         c.ironSkin = 1;
         g_spellDefs[74].SpellStrength = 150;
       },
       40, 100, 1, 0, false},
      {"shield", [](CCreature& c) { c.combat.shielded = 1; }, 40, 90, 0, 1, false},
      {"shield and iron skin 50",
       [](CCreature& c) {
         c.combat.shielded = 1;
         c.ironSkin = 1;
       },
       40, 95, 1, 1, false},
      {"shield and iron skin 100",
       [](CCreature& c) {
         c.combat.shielded = 1;
         c.ironSkin = 1;
         g_spellDefs[74].SpellStrength = 100;
       },
       40, 100, 1, 0, false},
      {"stone below the blow", [](CCreature& c) { c.heldKind = 1; }, 39, 100, 1, 0, false},
      {"stone at the blow", [](CCreature& c) { c.heldKind = 1; }, 40, 0, 0, 1, true},
      {"ice below the blow", [](CCreature& c) { c.heldKind = 2; }, 59, 41, 1, 0, false},
      {"ice at the blow", [](CCreature& c) { c.heldKind = 2; }, 60, 0, 0, 1, true},
      {"other held kind", [](CCreature& c) { c.heldKind = 3; }, 30, 70, 0, 1, false},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    CCreature& c = C(victim);
    c.Reset(victim);
    c.SetPosition(10, 10, 0, kBrownie);
    c.InitFromType(kBrownie, 1);
    c.health = 100;
    c.sightingCounters[0] = kSightingFull;  // blood and glows show where the local army sees
    g_spellDefs[74].SpellStrength = 50;
    counting.glow.clear();
    counting.blood.clear();
    test.setup(c);
    c.TakeDamage(test.amount, 0, -1, -1);
    EXPECT_EQ(c.health, test.healthAfter);
    EXPECT_EQ(static_cast<int>(counting.glow.size()), test.glows);
    EXPECT_EQ(static_cast<int>(counting.blood.size()), test.bloods);
    EXPECT_EQ(c.inUse == 0, test.gone);
  }
}

TEST_F(Damage, ATypeThatTakesNoHarmFromBurningIsNeverSetAlight) {
  CCreature& dragon = C(Place(kDragon, 0, 10, 10));
  CCreature& brownie = C(Place(kBrownie, 0, 20, 20));
  ASSERT_EQ(dragon.type->BurnDamage, 0);
  EXPECT_TRUE(dragon.IsFireImmune());
  EXPECT_FALSE(brownie.IsFireImmune());
  dragon.Ignite();
  brownie.Ignite();
  EXPECT_EQ(dragon.orderState.burnTimer, 0);
  EXPECT_EQ(brownie.orderState.burnTimer, brownie.type->BurnTime);
}

TEST_F(Damage, AHeldWizardNeverShatters) {
  const int wizard = PlaceWizard(1, 20, 20);
  C(wizard).health = 100;
  C(wizard).heldKind = 1;
  C(wizard).TakeDamage(500, 0, -1, -1);
  EXPECT_EQ(C(wizard).health, 100);
  EXPECT_TRUE(C(wizard).inUse);
}

TEST_F(Damage, AnIllusionFadesFirstAndIsImmuneWhileItFades) {
  CCreature& c = C(victim);
  c.SetIllusion(1);
  c.TakeDamage(500, 0, -1, -1);
  EXPECT_EQ(c.printFX.GetCurrentEffect(), 8);
  EXPECT_EQ(c.combat.illusionFading, 1);
  EXPECT_EQ(c.health, 100);
  EXPECT_EQ(c.TakeDamage(500, 0, -1, -1), 8);
  EXPECT_EQ(c.health, 100);
}

TEST_F(Damage, AKillingBlowRunsTheDeath) {
  C(victim).TakeDamage(100, 0, -1, -1);
  EXPECT_EQ(C(victim).health, 0);
  EXPECT_EQ(C(victim).order, ORDER_DEAD);
}

TEST_F(Damage, LordThenKingOnlyAtTheNextGainAndOneKingAType) {
  g_lordBooster = 50;
  g_kingBooster = 100;
  g_creatureTypes[kBrownie].LordExperienceLevel = 10;
  g_creatureTypes[kBrownie].KingExperienceLevel = 20;
  CCreature& c = C(victim);
  c.AddExperience(10);
  EXPECT_EQ(c.rank, 0);  // above the level, not at it
  c.AddExperience(25);   // past both at once: Lord only
  EXPECT_EQ(c.rank, 1);
  EXPECT_EQ(c.health, 150);
  EXPECT_EQ(c.magicResistance, c.type->MagicResist + c.type->MagicResist * 50 / 100);
  c.AddExperience(1);
  EXPECT_EQ(c.rank, 2);
  EXPECT_EQ(c.health, 300);
  EXPECT_EQ(g_creatureArray.kingFlags[kBrownie], 1);

  const int second = Place(kBrownie, 1, 12, 12);
  C(second).AddExperience(100);
  C(second).AddExperience(100);
  EXPECT_EQ(C(second).rank, 1);  // one King of a type

  const int wizard = PlaceWizard(0, 30, 30);
  C(wizard).AddExperience(1000);
  EXPECT_EQ(C(wizard).experience, 0);
  EXPECT_EQ(C(wizard).rank, 0);
}

TEST_F(Damage, AMissileTestsIllusionsBothWaysAndNeverWithoutIntelligence) {
  g_spellDefs[spell_tuning::kIllusion].SpellStrength = 0;  // any intelligence sees through
  const int shooter = Place(kCentaur, 0, 14, 10);
  CCreature& p = C(shooter);
  CCreature& r = C(victim);

  // An illusion shooting a real creature is seen through: the shooter fades.
  p.SetIllusion(1);
  r.intelligence = 10;
  p.ResolveMissileHit(victim);
  EXPECT_EQ(p.combat.illusionFading, 1);
  EXPECT_EQ(r.health, 100);

  // A real shooter sees through an illusion it hits.
  const int second = Place(kCentaur, 0, 16, 10);
  C(second).intelligence = 10;
  r.SetIllusion(1);
  C(second).ResolveMissileHit(victim);
  EXPECT_EQ(r.combat.illusionFading, 1);
  EXPECT_EQ(r.health, 100);

  // Intelligence 0 never disbelieves; the roll is made all the same.
  const int third = Place(kCentaur, 0, 18, 10);
  const int target = Place(kBrownie, 1, 18, 14);
  C(target).health = 100;
  C(target).intelligence = 0;
  C(third).SetIllusion(1);
  CRandom expected = Generator();
  Roll(expected, 100);
  C(third).ResolveMissileHit(target);
  EXPECT_GT(C(third).health, 0);
  EXPECT_EQ(C(target).combat.attacker, third + 1);
  Roll(expected, 257);
  EXPECT_EQ(g_battleRandom.Next(), expected.Next());
}

TEST_F(Damage, MissileKindsHoldOrPoisonInsteadOfHurting) {
  struct Case {
    int shooterType;
    int heldKind;
    bool poisoned;
    bool gainsExperience;
  };
  const Case cases[] = {{8, 0, false, false}, {20, 2, false, false}, {23, 0, true, true}};
  for (const Case& test : cases) {
    SCOPED_TRACE(test.shooterType);
    g_creatureArray.ReleaseAll();
    const int shooter = Place(test.shooterType, 0, 14, 10);
    const int target = Place(kBrownie, 1, 10, 10);
    C(target).health = 100;
    C(target).magicResistance = 0;  // counts as 1
    C(shooter).ResolveMissileHit(target);
    EXPECT_EQ(C(target).health, 100);
    if (test.heldKind) EXPECT_EQ(C(target).heldKind, test.heldKind);
    EXPECT_EQ(C(target).orderState.poisonPoints > 0, test.poisoned);
    EXPECT_EQ(C(shooter).experience > 0, test.gainsExperience);
  }
}

}  // namespace
}  // namespace creature_test

namespace creature_test {
namespace {

TEST_F(Damage, BloodAndGlowsShowOnlyWhereTheLocalArmySeesAndFollowTheBloodLevel) {
  CCreature& c = C(victim);
  c.ironSkin = 1;
  c.TakeDamage(40, 0, -1, -1);  // unseen: nothing shows
  EXPECT_TRUE(counting.blood.empty());
  EXPECT_TRUE(counting.glow.empty());

  c.sightingCounters[0] = kSightingFull;
  c.TakeDamage(40, 0, -1, -1);
  ASSERT_EQ(counting.blood.size(), 1u);
  EXPECT_EQ(counting.blood[0], 20 / 2 + 4);
  ASSERT_EQ(counting.glow.size(), 1u);
  EXPECT_EQ(counting.glow[0], 20 * 2);

  g_bloodLevel = 0;
  c.TakeDamage(40, 0, -1, -1);
  ASSERT_EQ(counting.blood.size(), 2u);
  EXPECT_EQ(counting.blood[1], 0);
  EXPECT_EQ(counting.glow.size(), 1u);  // no particles, no burst
}

}  // namespace
}  // namespace creature_test
