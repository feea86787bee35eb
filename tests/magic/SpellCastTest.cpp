// Casting: payment, the alignment balance, sightings, the start table over spell groups and
// line types, refunds of only what was taken, and the target test's codes.
#include <gtest/gtest.h>

#include "CastWorld.h"
#include "creatures/SpellDefinition.h"
#include "forge/TerrainTypes.h"
#include "magic/CreatureEffectAnswers.h"
#include "magic/SpellCast.h"
#include "map/LineWalker.h"
#include "map/Map.h"

namespace magic_test {
namespace {

constexpr int kFizzle = 1011;
constexpr int kFirst = CEffectManager::kReserved;  // the record a cast takes
constexpr int kBrownie = 1;

class SpellCast : public CastWorld {
 protected:
  void SetUp() override {
    CastWorld::SetUp();
    wizard = PlaceWizard(0, 10, 10, 200 * 256);
    enemy = Place(kBrownie, 1, 14, 10);
    SeenByAll(enemy);
    Effect(kFirst).kind = -1;
  }
  CSpellCast Request(int spell, int target, int mode = 1) {
    CSpellCast r;
    r.spell = spell;
    r.caster = wizard;
    r.target = target;
    r.mode = mode;
    r.targetX = 14 * 32 + 16;
    r.targetY = 10 * 32 + 16;
    r.targetZ = 0;
    return r;
  }
  // The kind the cast started, -1 when none.
  int StartedKind() { return Effect(kFirst).kind; }
  int wizard = -1, enemy = -1;
};

TEST_F(SpellCast, PaysWholeManaOrFizzlesWithNothingStarted) {
  g_spellDefs[8].ManaCost = 13;
  C(wizard).mana = 13 * 256 - 26;  // 12.9
  Request(8, enemy).Execute();
  EXPECT_TRUE(sounds.Heard(kFizzle));
  EXPECT_EQ(C(wizard).mana, 13 * 256 - 26);
  EXPECT_EQ(StartedKind(), -1);
  EXPECT_FALSE(Effect(kFirst).active);

  sounds.played.clear();
  C(wizard).mana = 13 * 256;
  Request(8, enemy).Execute();
  EXPECT_FALSE(sounds.Heard(kFizzle));
  EXPECT_EQ(C(wizard).mana, 0);
  EXPECT_NE(StartedKind(), -1);
  EXPECT_EQ(sounds.castSounds, std::vector<int>{8});
}

TEST_F(SpellCast, BalanceMovesOnlyForPaidCastsOfLawAndVrask) {
  struct Case {
    int alignment, mode, balance;
  } cases[] = {
      {kAlignLaw, 1, -10}, {kAlignLaw, 2, 0}, {kAlignVrask, 1, 10}, {kAlignVrask, 0, 0}, {kAlignNeutral, 1, 0}};
  for (const Case& c : cases) {
    g_alignmentBalance = 0;
    g_spellDefs[8].Alignment = c.alignment;
    g_spellDefs[8].BalanceAmount = 10;
    const int before = C(wizard).mana;
    Request(8, enemy, c.mode).Execute();
    EXPECT_EQ(g_alignmentBalance, c.balance) << c.alignment << " mode " << c.mode;
    EXPECT_EQ(before - C(wizard).mana, c.mode == 1 ? g_spellDefs[8].ManaCost * 256 : 0);
    g_effectManager.Reset();
  }
}

TEST_F(SpellCast, ASpellWithoutCostOrARefusedRequestChangesNothing) {
  const int mana = C(wizard).mana;
  g_spellDefs[8].ManaCost = 0;
  Request(8, enemy).Execute();
  CSpellCast outside = Request(104, enemy);
  outside.Execute();
  CSpellCast noCreature = Request(71, 77);
  noCreature.Execute();
  CSpellCast teleportWithoutTarget = Request(55, -1, 4);
  teleportWithoutTarget.Execute();
  EXPECT_EQ(C(wizard).mana, mana);
  EXPECT_EQ(StartedKind(), -1);
  EXPECT_TRUE(sounds.castSounds.empty());
}

TEST_F(SpellCast, SightingsAreNotedAndBelievedManaDropsOnlyWhenPaid) {
  C(wizard).sightingCounters[0] = 30;
  C(wizard).sightingCounters[1] = 30;
  C(wizard).manaStores[1] = 500 * 256;
  C(wizard).mana = 5 * 256;  // too little for spell 8 (30)
  Request(8, enemy).Execute();
  EXPECT_EQ(g_spellDefs[8].Sightings[1][0], 1);
  EXPECT_EQ(g_spellDefs[8].Sightings[0][0], 1);
  EXPECT_EQ(g_spellDefs[8].Sightings[2][0], 0);
  EXPECT_EQ(C(wizard).manaStores[1], 500 * 256);
  ASSERT_EQ(notes.notes.size(), 1u);
  EXPECT_EQ(notes.notes[0], std::make_pair(5, 8));

  C(wizard).mana = 100 * 256;
  Request(8, enemy).Execute();
  EXPECT_EQ(C(wizard).manaStores[1], (500 - 30) * 256);
}

// Which kind each group starts for each line type, with and without a target creature.
TEST_F(SpellCast, StartTableOverGroupsAndLineTypes) {
  struct Case {
    int spell, lineType;
    bool atCreature;
    int kind;  // -1 none
  } cases[] = {
      {8, kLofStraightCast, true, 7},    {8, kLofNone, true, 11},         {8, kLofParticle, false, 11},
      {65, kLofStraightCast, true, 7},   {82, kLofStraightCast, true, 7}, {82, kLofParticle, true, 30},
      {82, kLofNone, true, 11},          {82, kLofNone, false, -1},       {34, kLofNone, false, 31},
      {88, kLofNone, false, 31},         {71, kLofNone, true, 2},         {72, kLofNone, false, 21},
      {100, kLofStraightCast, true, 46}, {73, kLofThrowCast, true, 3},    {87, kLofNone, true, 48},
      {97, kLofNone, true, 34},          {101, kLofNone, true, 34},       {56, kLofNone, true, -1},
  };
  for (const Case& c : cases) {
    g_effectManager.Reset();
    Effect(kFirst).kind = -1;
    C(wizard).mana = 200 * 256;
    g_spellDefs[c.spell].LOFType = c.lineType;
    Request(c.spell, c.atCreature ? enemy : -1).Execute();
    EXPECT_EQ(StartedKind(), c.kind) << "spell " << c.spell << " line " << c.lineType;
  }
  // The extension words of the ricochet and the beam.
  g_effectManager.Reset();
  C(wizard).mana = 200 * 256;
  Request(87, enemy).Execute();
  EXPECT_EQ(Effect(kFirst).params[13], g_spellDefs[87].Damage);
  EXPECT_EQ(Effect(kFirst).params[14], wizard);
  EXPECT_EQ(Effect(kFirst).params[34], 1);
  g_effectManager.Reset();
  Request(97, enemy).Execute();
  EXPECT_EQ(Effect(kFirst).params[effect_word::kValue], 2);
}

TEST_F(SpellCast, AFreeCastAtItsOwnPlaceStartsTheSelfKind) {
  CSpellCast self;
  self.spell = 8;  // straight cast, first group
  self.mode = 0;
  self.sourceX = self.targetX = 300;
  self.sourceY = self.targetY = 300;
  self.sourceZ = self.targetZ = 8;
  self.Execute();
  EXPECT_EQ(StartedKind(), 11);
}

TEST_F(SpellCast, ABlockedThrowRefundsOnlyWhatWasTaken) {
  // A wall of solid blocks between the wizard and the enemy, up to the top of the map.
  for (int y = 0; y < g_map.height; ++y)
    for (int level = 0; level < g_map.levels; ++level) g_map.CellAt(12, y, level).terrain = forge::terrain::kRock;
  struct Case {
    int spell, mode;
    bool refunds;
  } cases[] = {{8, 1, true}, {8, 2, false}, {93, 1, true}, {94, 1, false}, {82, 1, false}};
  for (const Case& c : cases) {
    g_effectManager.Reset();
    Effect(kFirst).kind = -1;
    C(wizard).mana = 200 * 256;
    g_spellDefs[c.spell].LOFType = kLofThrowCast;
    const int before = C(wizard).mana;
    Request(c.spell, enemy, c.mode).Execute();
    const int paid = c.mode == 1 ? g_spellDefs[c.spell].ManaCost * 256 : 0;
    EXPECT_EQ(StartedKind(), -1) << c.spell;
    EXPECT_EQ(before - C(wizard).mana, c.refunds ? 0 : paid) << c.spell << " mode " << c.mode;
  }
}

TEST_F(SpellCast, AThrowThatReachesFliesThePlannedArc) {
  g_spellDefs[93].LOFType = kLofThrowCast;
  Request(93, enemy).Execute();
  ASSERT_EQ(StartedKind(), 4);
  const CEffectParams& p = Effect(kFirst).params;
  EXPECT_EQ(p[effect_word::kStartX], p[effect_word::kSourceX]);
  EXPECT_EQ(p[effect_word::kStartZ], p[effect_word::kSourceZ]);
  EXPECT_GT(p.Float(effect_word::kVelocityX), 0.0f);
  EXPECT_EQ(p[effect_word::kTick], 0);
}

TEST_F(SpellCast, TeleportMovesTheCasterOrTheTarget) {
  Request(55, enemy).Execute();
  EXPECT_NE(C(wizard).teleportX, 0);
  CSpellCast sendAway = Request(55, enemy, 4);
  sendAway.targetX = 30 * 32;
  sendAway.targetY = 20 * 32;
  sendAway.Execute();
  EXPECT_EQ(C(enemy).teleportX, 30);
  EXPECT_EQ(C(enemy).teleportY, 20);
  EXPECT_EQ(C(enemy).teleportInAir, 1);
}

TEST_F(SpellCast, ACreaturesRangedAttackAndTheCursorGoThroughCasting) {
  InstallCreatureEffectAnswers();
  g_creatureEffects->CastSpell(71, 0, 0, 0, wizard, enemy);
  g_creatureEffects.Install(nullptr);
  EXPECT_EQ(StartedKind(), 2);
  EXPECT_EQ(Effect(kFirst).params[effect_word::kTarget], enemy);
  // The cursor asks from the wizard's launch point to the creature's centre.
  g_spellDefs[8].LOFType = kLofStraightCast;
  g_spellDefs[8].AllowedTargets = 13;
  EXPECT_EQ(TestSpellTargetFrom(wizard, 8, enemy, 0, 0, 0), kTargetValid);
  C(enemy).sightingCounters[0] = 0;
  EXPECT_EQ(TestSpellTargetFrom(wizard, 8, enemy, 0, 0, 0), kTargetOutOfSight);
  EXPECT_EQ(TestSpellTargetFrom(77, 8, enemy, 0, 0, 0), kTargetOutOfSight);
}

class TargetTest : public SpellCast {
 protected:
  int Check(int spell, int target) {
    int sx, sy, sz, tx = 13 * 32 + 16, ty = 10 * 32 + 16, tz = 0;
    CastSourcePoint(wizard, sx, sy, sz);
    CastTargetPoint(target, tx, ty, tz);
    CProjectileResult trace;
    return CheckSpellTarget(sx, sy, sz, tx, ty, tz, spell, wizard, target, trace);
  }
};

TEST_F(TargetTest, AnUnseenTargetIsOutOfSightBeforeAnyLine) {
  g_spellDefs[8].LOFType = kLofStraightCast;
  g_spellDefs[8].AllowedTargets = 13;
  C(enemy).sightingCounters[0] = 0;
  EXPECT_EQ(Check(8, enemy), kTargetOutOfSight);
  C(enemy).sightingCounters[0] = 30;
  EXPECT_EQ(Check(8, enemy), kTargetValid);  // mask 13 takes hostiles
}

TEST_F(TargetTest, MaskFortyFourAndOwnIllusions) {
  const int own = Place(kBrownie, 0, 11, 12);
  for (int spell : {8, 41, 60}) {
    g_spellDefs[spell].AllowedTargets = 44;
    g_spellDefs[spell].LOFType = kLofNone;
  }
  EXPECT_EQ(Check(8, wizard), kTargetWantsPlace);
  EXPECT_EQ(Check(8, enemy), kTargetValid);
  EXPECT_EQ(Check(8, own), kTargetValid);
  C(wizard).illusion = 1;
  EXPECT_EQ(Check(8, wizard), kTargetValid);
  EXPECT_EQ(Check(41, wizard), kTargetNotAllowed);
  // A place needs standable ground.
  EXPECT_EQ(Check(8, -1), kTargetValid);
  g_map.CellAt(13, 10, 0).terrain = 0;
  EXPECT_EQ(Check(8, -1), kTargetNotAllowed);
}

TEST_F(TargetTest, MaskTableByTargetClass) {
  const int own = Place(kBrownie, 0, 11, 12);
  struct Case {
    int mask, place, hostile, ownCreature, ownWizard;
  } cases[] = {{1, 0, 1, 1, 1},  {2, 4, 4, 4, 0},  {4, 4, 0, 4, 4},  {8, 4, 4, 0, 4}, {12, 4, 0, 0, 4},
               {14, 4, 0, 0, 0}, {13, 0, 0, 0, 4}, {10, 4, 4, 0, 0}, {5, 0, 0, 4, 4}, {9, 0, 4, 0, 4},
               {11, 0, 4, 0, 0}, {15, 0, 0, 0, 0}, {0, 0, 4, 4, 4}};
  g_spellDefs[8].LOFType = kLofNone;
  for (const Case& c : cases) {
    g_spellDefs[8].AllowedTargets = static_cast<uint8_t>(c.mask);
    EXPECT_EQ(Check(8, -1), c.place) << c.mask;
    EXPECT_EQ(Check(8, enemy), c.hostile) << c.mask;
    EXPECT_EQ(Check(8, own), c.ownCreature) << c.mask;
    EXPECT_EQ(Check(8, wizard), c.ownWizard) << c.mask;
  }
}

TEST_F(TargetTest, RangeLineAndTheCasterOutsideTheArmies) {
  g_spellDefs[60].LOFType = kLofNone;
  g_spellDefs[8].LOFType = kLofNone;
  g_spellDefs[8].AllowedTargets = 1;
  g_spellDefs[8].RangeUnits = g_spellDefs[60].RangeUnits = 32;
  EXPECT_EQ(Check(8, -1), kTargetOutOfSight);
  g_spellDefs[60].AllowedTargets = 1;
  EXPECT_EQ(Check(60, -1), kTargetValid);  // never out of range
  // A solid wall in the straight line.
  g_spellDefs[8].LOFType = kLofStraightCast;
  g_spellDefs[8].RangeUnits = 20 * 32;
  for (int level = 0; level < g_map.levels; ++level) g_map.CellAt(12, 10, level).terrain = forge::terrain::kRock;
  EXPECT_EQ(Check(8, -1), kTargetTerrainInLine);
  C(wizard).army = 9;
  EXPECT_EQ(Check(8, -1), kTargetOutOfSight);
}

}  // namespace
}  // namespace magic_test
