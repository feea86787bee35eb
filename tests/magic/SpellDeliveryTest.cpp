// What spells do when their effect arrives: shots and bolts hurt what they reach, showers
// drop where their roll allows, targeted spells fizzle on a dead target, resistance rolls
// follow the spell's switches, and fire catches by the spell's Duration.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "CastWorld.h"
#include "core/Random.h"
#include "creatures/SpellDefinition.h"
#include "creatures/Wizard.h"
#include "forge/TerrainTypes.h"
#include "magic/SpellCast.h"
#include "map/MapUnits.h"

namespace magic_test {
namespace {

namespace w = effect_word;

constexpr int kBrownie = 1;
constexpr int kSturdy = 4;  // 150 health: outlives a bolt

class SpellDelivery : public CastWorld {
 protected:
  void SetUp() override {
    CastWorld::SetUp();
    std::copy(std::begin(g_spellDefs), std::end(g_spellDefs), saved_.begin());
  }
  void TearDown() override {
    std::copy(saved_.begin(), saved_.end(), std::begin(g_spellDefs));
    CastWorld::TearDown();
  }
  // An effect of a spell standing at a cell as a kind, without that kind's set-up: what
  // the update hands to delivery.
  CEffect& Arrived(int kind, int spell, int caster, int target, int x, int y, int level = 0, int mode = 1) {
    CEffectParams block;
    block.SetPoint(w::kSourceX, x * 32 + 16, y * 32 + 16, level * 16 + 2);
    block.SetPoint(w::kTargetX, x * 32 + 16, y * 32 + 16, level * 16 + 2);
    block[w::kCreature] = caster;
    block[w::kTarget] = target;
    block[w::kSpell] = spell;
    block[w::kMode] = mode;
    CEffect* e = g_effectManager.AllocateEffect();
    EXPECT_NE(e, nullptr);
    e->Activate(13, block);  // a kind whose set-up touches nothing of the spell
    e->kind = kind;
    // The last good cell of its line is where it stands.
    e->state[effect_state::kTrailCell] = x;
    e->state[effect_state::kTrailCell + 1] = y;
    e->state[effect_state::kTrailCell + 2] = level;
    return *e;
  }
  void Frames(int n) {
    for (int f = 0; f < n; ++f)
      for (int i = 0; i < g_effectManager.Count(); ++i)
        if (Effect(i).active) Effect(i).Update();
  }
  bool AnyActive() {
    for (int i = CEffectManager::kReserved; i < g_effectManager.Count(); ++i)
      if (Effect(i).active) return true;
    return false;
  }
  int ActiveOfKind(int kind) {
    int n = 0;
    for (int i = 0; i < g_effectManager.Count(); ++i) n += Effect(i).active && Effect(i).kind == kind;
    return n;
  }
  // A creature's cast at another, run until every effect has ended.
  void CastAndSettle(int spell, int caster, int target) {
    CSpellCast request;
    request.spell = spell;
    request.caster = caster;
    request.target = target;
    request.mode = 0;
    request.Execute();
    for (int f = 0; f < 300 && AnyActive(); ++f) Frames(1);
  }

  std::array<CSpellDefinition, kSpellCount> saved_;
};

TEST_F(SpellDelivery, CreatureShotsHurtWhatTheyReach) {
  // The shooters of the forged types and their shots: thrown (94) and straight ones.
  struct Case {
    int shooterType, spell;
  } cases[] = {{kBrownie, 94}, {3, 93}, {2, 95}, {9, 96}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.spell);
    g_creatureArray.ReleaseAll();
    g_effectManager.Reset();
    const int shooter = Place(c.shooterType, 0, 10, 10);
    const int victim = Place(kSturdy, 1, 14, 10);
    SeenByAll(shooter);
    SeenByAll(victim);
    ASSERT_EQ(g_creatureTypes[c.shooterType].rangedAttackSpell, c.spell);
    const int before = C(victim).health;
    int shots = 0;
    while (C(victim).health == before && shots++ < 8) CastAndSettle(c.spell, shooter, victim);
    EXPECT_LT(C(victim).health, before);
    EXPECT_EQ(C(victim).combat.attacker, shooter + 1);
  }
}

TEST_F(SpellDelivery, BoltsAndArcaneShotsTakeTheirDamageThroughTheCreaturesIntake) {
  const int wizard = PlaceWizard(0, 10, 10, 500 * 256);
  const int victim = Place(kSturdy, 1, 12, 10);
  // Spell 71: the spell's Damage, the attacker remembered, an impact of kind 13.
  int before = C(victim).health;
  CEffect& bolt = Arrived(2, 71, wizard, victim, 12, 10);
  bolt.DeliverSpell();
  EXPECT_EQ(before - C(victim).health, g_spellDefs[71].Damage);
  EXPECT_EQ(bolt.kind, 13);
  EXPECT_EQ(C(victim).combat.attacker, wizard + 1);
  EXPECT_TRUE(sounds.Heard(1013));
  // Iron skin takes its share first: the effect goes through the creature's own intake.
  C(victim).ironSkin = 100;
  before = C(victim).health;
  Arrived(4, 98, wizard, victim, 12, 10).DeliverSpell();
  const int absorbs = g_spellDefs[74].SpellStrength;
  EXPECT_EQ(before - C(victim).health, g_spellDefs[98].Damage * (100 - absorbs) / 100);
  // Spell 87 strikes with the strength it carries in word 13, not the spell's Damage.
  C(victim).ironSkin = 0;
  before = C(victim).health;
  CEffect& strike = Arrived(48, 87, wizard, victim, 12, 10);
  strike.params[13] = 3;
  strike.DeliverSpell();
  EXPECT_EQ(before - C(victim).health, 3);
  EXPECT_FALSE(strike.active);
}

TEST_F(SpellDelivery, ShotsThatMissDamageTheGroundAndShowTheirImpact) {
  const int shooter = Place(3, 0, 10, 10);
  CEffect& shot = Arrived(4, 93, shooter, -1, 13, 10);
  shot.DeliverSpell();
  EXPECT_TRUE(shot.active);
  EXPECT_EQ(shot.kind, 12);
}

TEST_F(SpellDelivery, TargetedSpellsFizzleOnADeadTargetAndRefundOnlyAWizard) {
  const int wizard = PlaceWizard(0, 10, 10, 100 * 256);
  const int brownie = Place(kBrownie, 0, 11, 10);
  const int victim = Place(kBrownie, 1, 12, 10);
  C(victim).health = 0;
  for (int caster : {wizard, brownie}) {
    SCOPED_TRACE(caster);
    sounds.played.clear();
    const int mana = C(caster).mana;
    CEffect& e = Arrived(11, 85, caster, victim, 12, 10);
    e.DeliverSpell();
    EXPECT_FALSE(e.active);
    EXPECT_TRUE(sounds.Heard(1011));
    EXPECT_EQ(C(caster).mana - mana, caster == wizard ? g_spellDefs[85].ManaCost * 256 : 0);
  }
  // A summoning spell that arrives as kind 11 just ends: no creature, no refund.
  const int mana = C(wizard).mana;
  sounds.played.clear();
  CEffect& summon = Arrived(11, 8, wizard, -1, 14, 14);
  summon.DeliverSpell();
  EXPECT_FALSE(summon.active);
  EXPECT_FALSE(sounds.Heard(1011));
  EXPECT_EQ(C(wizard).mana, mana);
}

// A growing totem that meets a creature in its way fails as a totem without a site does: the
// fizzle's sound once (not every frame), mana back for a paid cast, and the tiles it grew so
// far fall; one blocked before its first tile just ends.
TEST_F(SpellDelivery, ATotemBlockedWhileGrowingFailsOnceAndItsTilesFall) {
  const CRandom cosmetic = g_viewRandom;  // the falling column's glows leave the later pictures as they were
  const int wizard = PlaceWizard(0, 10, 10, 100 * 256);
  auto fizzles = [this] {
    return std::count_if(sounds.played.begin(), sounds.played.end(),
                         [](const auto& p) { return std::get<0>(p) == 1011; });
  };
  for (int grown : {1, 0}) {
    SCOPED_TRACE(grown);
    sounds.played.clear();
    CEffect& totem = Arrived(7, 70, wizard, -1, 20, 20);
    totem.DeliverSpell();
    ASSERT_EQ(totem.kind, 32);
    const int x = totem.cellX, y = totem.cellY, floor = totem.cellLevel;
    for (int step = 0; step < grown; ++step) totem.DeliverSpell();
    if (grown) EXPECT_EQ(g_map.CellAt(x, y, floor).terrain, 345);
    const int blocker = Place(kBrownie, 1, x, y, totem.cellLevel);
    const int mana = C(wizard).mana;
    for (int frame = 0; frame < 5 && totem.active; ++frame) totem.DeliverSpell();
    EXPECT_FALSE(totem.active);
    EXPECT_EQ(fizzles(), 1);
    EXPECT_EQ(C(wizard).mana - mana, g_spellDefs[70].ManaCost * 256);
    for (int level = floor; level < floor + 7 && level < g_map.levels; ++level) {
      const int terrain = g_map.CellAt(x, y, level).terrain;
      EXPECT_FALSE(terrain >= 345 && terrain < 352) << level;
    }
    EXPECT_EQ(sounds.Heard(1026), grown > 0);  // the column's fall
    C(blocker).Remove();
    C(blocker).Detach();
    g_effectManager.Reset();
  }
  g_viewRandom = cosmetic;
}

TEST_F(SpellDelivery, ResistanceRollsFollowTheSpellsSwitches) {
  const int wizard = PlaceWizard(0, 10, 10, 100 * 256);
  C(wizard).aiWords[wizard_words::kControlLimit] = 25;
  struct Case {
    int check, strength, resistance;
    bool alwaysTaken, neverTaken;
  } cases[] = {
      {0, 0, 50, true, false},   // no switch: always through, whatever the numbers
      {1, 0, 50, false, true},   // s = 0 against any resistance: never
      {1, 0, 0, false, true},    // s + r = 0: never, and no division by zero
      {1, 500, 0, true, false},  // no resistance: always
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.check << " " << c.strength << " " << c.resistance);
    g_spellDefs[54].DoMRCheck = c.check;
    g_spellDefs[54].DoITCheck = g_spellDefs[54].DoBRCheck = 0;
    g_spellDefs[54].SpellStrength = c.strength;
    int taken = 0;
    for (int n = 0; n < 10; ++n) {
      const int victim = Place(kBrownie, 1, 12 + n, 14);
      C(victim).magicResistance = c.resistance;
      Arrived(80, 54, wizard, victim, 12 + n, 14).DeliverSpell();
      taken += C(victim).army == 0;
      C(victim).Detach();
    }
    if (c.alwaysTaken) EXPECT_EQ(taken, 10);
    if (c.neverTaken) EXPECT_EQ(taken, 0);
  }
}

TEST_F(SpellDelivery, FireCatchesByTheSpellsDuration) {
  const int wizard = PlaceWizard(0, 10, 10, 100 * 256);
  for (int duration : {100, 1}) {
    SCOPED_TRACE(duration);
    g_spellDefs[72].Duration = duration;
    int fires = 0;
    g_map.CellAt(20, 20, 0).terrain = forge::terrain::kBridge;  // wood: it carries a fire
    for (int n = 0; n < 20; ++n) {
      g_map.CellAt(20, 20, 0).state &= static_cast<uint16_t>(~state_bits::kField10);
      CEffect& e = Arrived(21, 72, wizard, -1, 20, 20);
      e.DeliverSpell();
      fires += e.active && e.kind == effect_kind::kFire;
      g_effectManager.Reset();
    }
    EXPECT_EQ(fires, duration == 100 ? 0 : 20);
  }
}

TEST_F(SpellDelivery, ShowersDropByTheirStrengthAndHurtWhatTheyHit) {
  const int wizard = PlaceWizard(0, 10, 10, 100 * 256);
  for (int strength : {0, 100}) {
    SCOPED_TRACE(strength);
    g_effectManager.Reset();
    g_spellDefs[34].SpellStrength = strength;
    CEffect& shower = Arrived(31, 34, wizard, -1, 24, 24);
    for (int n = 0; n < 12; ++n) shower.DeliverSpell();
    EXPECT_EQ(ActiveOfKind(35), strength == 0 ? 0 : 12);
    // Every drop falls within the spell's radius of the shower's cell, from the top level.
    for (int i = 0; i < g_effectManager.Count(); ++i) {
      const CEffect& drop = Effect(i);
      if (!drop.active || drop.kind != 35) continue;
      EXPECT_LE(std::abs(WrapDeltaX(24, drop.cellX)), 6);
      EXPECT_LE(std::abs(WrapDeltaY(24, drop.cellY)), 6);
      EXPECT_EQ(drop.params[w::kSpell], 34);
      EXPECT_EQ(drop.params[w::kCreature], wizard);
    }
  }
  // A creature under a dense shower is hit before it ends.
  g_effectManager.Reset();
  g_spellDefs[34].Radius = 0;
  const int victim = Place(kBrownie, 1, 30, 30);
  const int before = C(victim).health;
  Arrived(31, 34, wizard, -1, 30, 30).state[12] = 60;
  Frames(120);
  EXPECT_LT(C(victim).health, before);
}

TEST_F(SpellDelivery, TerrainSpellsHandTheirCarrierToTheirOwnKinds) {
  const int wizard = PlaceWizard(0, 10, 10, 100 * 256);
  struct Case {
    int spell, carrier, becomes;
  } cases[] = {
      {35, 7, 56},  // the wall grows from its first step
      {70, 7, 32},  // a totem finds its site and grows
      {75, 7, 9},   // the earthquake shakes where it came down
      {68, 6, 75},  // the frost breath leaves its cloud
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.spell);
    g_effectManager.Reset();
    CEffect& e = Arrived(c.carrier, c.spell, wizard, -1, 20, 20);
    e.DeliverSpell();
    ASSERT_TRUE(e.active);
    EXPECT_EQ(e.kind, c.becomes);
  }
  // The frost breath's cloud goes with a kind-84 companion that names it.
  EXPECT_EQ(ActiveOfKind(84), 1);
  // The wall stands above the grass once it has grown.
  g_effectManager.Reset();
  Arrived(7, 35, wizard, -1, 24, 24).DeliverSpell();
  Frames(60);
  EXPECT_NE(g_map.CellAt(24, 24, 1).terrain, 0);
}

}  // namespace
}  // namespace magic_test
