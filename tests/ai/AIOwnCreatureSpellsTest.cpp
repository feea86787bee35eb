// The spell decisions on the wizard's own creatures: the four protections, the blast, the mana
// source and the healing, on hand-made scenes: whom each must and must not cast on, when each
// ends, and the delays of casts made from where the wizard stands.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "AISpellScene.h"
#include "ai/AIOwnCreatureSpells.h"
#include "ai/AISpellTiming.h"
#include "core/Options.h"
#include "creatures/SpellDefinition.h"
#include "forge/AnimationWriter.h"
#include "graphics/Animation.h"
#include "magic/EffectManager.h"
#include "map/Map.h"

namespace {

using ai_test::SpellScene;

std::unique_ptr<CAISpellDecision> Make(int type) {
  switch (type) {
    case kAIIronSkinDecisionType:
      return std::make_unique<CAIIronSkinDecision>();
    case kAIMightyBlowDecisionType:
      return std::make_unique<CAIMightyBlowDecision>();
    case kAISpell78DecisionType:
      return std::make_unique<CAISpell78Decision>();
    case kAIFlightDecisionType:
      return std::make_unique<CAIFlightDecision>();
    case kAIBlastDecisionType:
      return std::make_unique<CAIBlastDecision>();
    case kAIManaSourceDecisionType:
      return std::make_unique<CAIManaSourceDecision>();
    default:
      return std::make_unique<CAIHealingDecision>();
  }
}

constexpr int kProtections[] = {kAIIronSkinDecisionType, kAIMightyBlowDecisionType, kAISpell78DecisionType,
                                kAIFlightDecisionType};

class OwnSpells : public SpellScene {
 protected:
  void SetUp() override {
    SpellScene::SetUp();
    Knows({74, 83, 78, 84, 79, 60, 41});
    for (int spell : {93, 94, 95}) g_spellDefs[spell].Range = 3;
    // A burst of the health, reaching 2 cells.
    g_spellDefs[79].Data1 = 1;
    g_spellDefs[79].Damage = 10;
    g_spellDefs[79].SpellStrength = 20;
  }
  bool Scores(int type, const CCreature& target) {
    auto d = Make(type);
    for (const auto& [slot, score] : ScoreAll(*d))
      if (slot == target.index) return true;
    return false;
  }
};

TEST_F(OwnSpells, AProtectionIsCastOnlyOnACreatureWithEnemiesNear) {
  CCreature& lonely = Friend(30, 30);
  CCreature& pressed = Friend(20, 20);
  CCreature& enemy = Enemy(21, 20);
  Attack(enemy, pressed);
  for (int type : kProtections) {
    SCOPED_TRACE(type);
    EXPECT_FALSE(Scores(type, lonely));
    EXPECT_TRUE(Scores(type, pressed));
  }
  // With no enemy near any candidate, nothing is scored at all.
  enemy.Relocate(40, 40, 0);
  for (int type : kProtections) EXPECT_TRUE(ScoreAll(*Make(type)).empty()) << type;
}

// An allied army's creature is a candidate of the protections and the healing only while the
// script lets the wizard cast on allies, and only when the wizard's side sees it; the blast
// never spends it.
TEST_F(OwnSpells, AnAlliesCreatureIsHelpedOnlyWhenTheScriptAllowsIt) {
  UseArmy(3);
  g_armyTable.armies[1].alliance[3] = g_armyTable.armies[3].alliance[1] = 1;
  CCreature& ally = Place(1, 3, 20, 20);
  ally.sightingCounters[1] = 1;
  ally.health = ally.GetMaxHealth() / 4;
  CCreature& unseen = Place(1, 3, 30, 30);
  unseen.health = unseen.GetMaxHealth() / 4;
  Attack(Enemy(21, 20), ally);
  Enemy(31, 30);
  struct Case {
    int type;
    bool withLeave;
  } cases[] = {{kAIIronSkinDecisionType, true},   {kAIMightyBlowDecisionType, true},
               {kAISpell78DecisionType, true},    {kAIFlightDecisionType, true},
               {kAIHealingDecisionType, true},    {kAIBlastDecisionType, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    wizard->mayCastOnAllies = 0;
    EXPECT_FALSE(Scores(c.type, ally));
    wizard->mayCastOnAllies = 1;
    EXPECT_EQ(Scores(c.type, ally), c.withLeave);
    EXPECT_FALSE(Scores(c.type, unseen));
  }
}

TEST_F(OwnSpells, EachProtectionPassesOverWhatItCannotHelpAndEndsWhenItsTargetShowsTheEffect) {
  struct Case {
    int type;
    const char* what;
    void (*mark)(CCreature&);
    bool passedOver;
    bool ends;
  } cases[] = {
      {kAIIronSkinDecisionType, "iron skin", [](CCreature& c) { c.ironSkin = 100; }, true, true},
      {kAIIronSkinDecisionType, "a spell-held state", [](CCreature& c) { c.spellState = 1; }, false, false},
      {kAIMightyBlowDecisionType, "a spell-held state", [](CCreature& c) { c.spellState = 1; }, true, true},
      {kAISpell78DecisionType, "a spell-held state", [](CCreature& c) { c.spellState = 2; }, true, true},
      {kAIFlightDecisionType, "a spell-held state", [](CCreature& c) { c.spellState = 3; }, true, true},
      {kAIFlightDecisionType, "may fly", [](CCreature& c) { c.mayFly = 1; }, true, false},
      {kAIIronSkinDecisionType, "an illusion", [](CCreature& c) { c.illusion = 1; }, true, false},
      {kAIFlightDecisionType, "an illusion", [](CCreature& c) { c.illusion = 1; }, true, false},
  };
  Enemy(21, 20);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.type) + " " + c.what);
    CCreature& target = Friend(20, 20);
    c.mark(target);
    EXPECT_EQ(Scores(c.type, target), !c.passedOver);
    // Chosen before it showed the effect, the decision ends once it does.
    target.ironSkin = target.spellState = target.mayFly = target.illusion = 0;
    auto d = Make(c.type);
    ASSERT_FALSE(ScoreAll(*d).empty());
    ASSERT_EQ(d->Best().target.slot, target.index);
    d->Execute();
    CAIBudget none;
    EXPECT_TRUE(d->Step(nullptr, 1, none));
    EXPECT_EQ(TakeAICastNotes().size(), 1u);
    c.mark(target);
    EXPECT_EQ(d->Step(nullptr, 2, none), !c.ends);
    target.Detach();
  }
}

TEST_F(OwnSpells, FlightNeedsFreeRoomAboveItsTarget) {
  CCreature& target = Friend(20, 20);
  CCreature& other = Friend(30, 30);
  EXPECT_TRUE(CAIFlightDecision::HasRoomAbove(target));
  g_map.CellAt(20, 20, 1).terrain = 1;  // a ceiling
  EXPECT_FALSE(CAIFlightDecision::HasRoomAbove(target));
  g_map.CellAt(20, 20, 1).terrain = 0;
  g_map.CellAt(20, 20, 1).occupant = static_cast<uint16_t>(other.index);  // another creature
  EXPECT_FALSE(CAIFlightDecision::HasRoomAbove(target));
  g_map.CellAt(20, 20, 1).occupant = static_cast<uint16_t>(target.index);  // its own body
  EXPECT_TRUE(CAIFlightDecision::HasRoomAbove(target));
  g_map.CellAt(20, 20, 1).occupant = kNoLink;
  target.level = g_map.levels - 1;  // the top level
  EXPECT_FALSE(CAIFlightDecision::HasRoomAbove(target));
}

TEST_F(OwnSpells, TheBurstIsCappedAt150AndNeedsItsSpellValues) {
  struct Case {
    int health, data1, damage, strength;
    bool has;
    int burst, reach;
  } cases[] = {
      {50, 1, 10, 20, true, 50, 2},                                       // the health
      {5, 1, 10, 20, true, 10, 0},                                        // at least the Damage
      {149, 1, 10, 20, true, 149, 7},                                     // below the cap
      {150, 1, 10, 20, true, 150, 7}, {100000, 1, 10, 20, true, 150, 7},  // never above 150
      {100, 0, 10, 20, false, 0, 0},                                      // Data1 0: no burst
      {100, 1, 10, 0, false, 0, 0},                                       // SpellStrength 0: no reach
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.health);
    g_spellDefs[79].Data1 = c.data1;
    g_spellDefs[79].Damage = c.damage;
    g_spellDefs[79].SpellStrength = c.strength;
    int burst = 0, reach = 0;
    ASSERT_EQ(CAIBlastDecision::BurstStrength(c.health, burst, reach), c.has);
    if (!c.has) continue;
    EXPECT_EQ(burst, c.burst);
    EXPECT_EQ(reach, c.reach);
  }
}

TEST_F(OwnSpells, ABlastIsNeverChosenWhereItHurtsTheWizardsSideMore) {
  CCreature& candidate = Friend(20, 20);
  candidate.health = 50;
  CCreature& friendA = Friend(21, 20);
  CCreature& friendB = Friend(20, 21);
  Enemy(19, 20);
  EXPECT_LT(CAIBlastDecision::NetHarm(candidate, 1), 0);
  EXPECT_FALSE(Scores(kAIBlastDecisionType, candidate));
  // The friends moved away, the enemy alone is hurt.
  friendA.Relocate(35, 35, 0);
  friendB.Relocate(36, 30, 0);
  EXPECT_GT(CAIBlastDecision::NetHarm(candidate, 1), 0);
  EXPECT_TRUE(Scores(kAIBlastDecisionType, candidate));
  // Out of the burst's line, nobody is hurt.
  world.bursts = false;
  EXPECT_EQ(CAIBlastDecision::NetHarm(candidate, 1), 0);
}

TEST_F(OwnSpells, ABlastIsNeverCentredOnAWizardAType8OrAPrimedCreature) {
  Enemy(19, 20);
  struct Case {
    const char* what;
    int type;
    bool primed;
    bool scored;
  } cases[] = {{"a creature", 1, false, true}, {"type 8", 8, false, false}, {"primed", 1, true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CCreature& candidate = Friend(20, 20, c.type);
    candidate.health = 50;
    candidate.combat.blastValue = c.primed ? 40 : 0;
    EXPECT_EQ(Scores(kAIBlastDecisionType, candidate), c.scored);
    candidate.Detach();
  }
  // The wizard stands among enemies: never itself.
  Enemy(11, 10);
  EXPECT_FALSE(Scores(kAIBlastDecisionType, *wizard));
  // Zero spell values give no candidate (and no division by zero).
  CCreature& candidate = Friend(20, 20);
  candidate.health = 50;
  ASSERT_TRUE(Scores(kAIBlastDecisionType, candidate));
  g_spellDefs[79].Data1 = 0;
  EXPECT_FALSE(Scores(kAIBlastDecisionType, candidate));
  g_spellDefs[79].Data1 = 1;
  g_spellDefs[79].SpellStrength = 0;
  EXPECT_FALSE(Scores(kAIBlastDecisionType, candidate));
}

TEST_F(OwnSpells, AManaSourceIsMadeOfAnotherCreatureOnlyWhileTheWizardsManaIsNotFull) {
  CCreature& source = Friend(12, 10);
  CCreature& already = Friend(13, 10);
  already.manaSource = 1;
  wizard->mana = 500 << 8;
  EXPECT_TRUE(Scores(kAIManaSourceDecisionType, source));
  EXPECT_FALSE(Scores(kAIManaSourceDecisionType, already));
  EXPECT_FALSE(Scores(kAIManaSourceDecisionType, *wizard));
  wizard->mana = 1000 << 8;  // full
  EXPECT_TRUE(ScoreAll(*Make(kAIManaSourceDecisionType)).empty());
  wizard->maxMana = 0;  // no store at all: refused, no division
  wizard->mana = 0;
  EXPECT_TRUE(ScoreAll(*Make(kAIManaSourceDecisionType)).empty());
}

TEST_F(OwnSpells, HealingIsForTheWoundedAndEndsOnceTheTargetIsHealedOrDead) {
  CCreature& whole = Friend(12, 10);
  CCreature& wounded = Friend(13, 10);
  CCreature& phantom = Friend(14, 10);
  wounded.health = wounded.GetMaxHealth() / 4;
  phantom.health = phantom.GetMaxHealth() / 4;
  phantom.illusion = 1;
  EXPECT_FALSE(Scores(kAIHealingDecisionType, whole));
  EXPECT_FALSE(Scores(kAIHealingDecisionType, phantom));
  EXPECT_TRUE(Scores(kAIHealingDecisionType, wounded));
  // A spell of strength 0 still never heals a creature at full health.
  g_spellDefs[41].SpellStrength = 0;
  EXPECT_FALSE(Scores(kAIHealingDecisionType, whole));
  g_spellDefs[41].SpellStrength = 50;

  phantom.Detach();
  auto d = Make(kAIHealingDecisionType);
  ASSERT_FALSE(ScoreAll(*d).empty());
  ASSERT_EQ(d->Best().target.slot, wounded.index);
  d->Execute();
  CAIBudget none;
  EXPECT_TRUE(d->Step(nullptr, 1, none));
  ASSERT_EQ(TakeAICastNotes().size(), 1u);
  EXPECT_TRUE(d->Step(nullptr, 2, none));  // cast once
  EXPECT_TRUE(TakeAICastNotes().empty());
  wounded.health = wounded.GetMaxHealth();
  EXPECT_FALSE(d->Step(nullptr, 3, none));
  wounded.health = 0;
  EXPECT_FALSE(d->Step(nullptr, 4, none));
}

TEST_F(OwnSpells, AParticleCastAtACreatureAboveTheTopLevelTakesOnlyHalfThePeriod) {
  CCreature& pressed = Friend(20, 20);
  Enemy(21, 20);
  g_indirectSpellParticlePeriod = 20;
  CAISpell78Decision d;
  ASSERT_FALSE(ScoreAll(d).empty());
  ASSERT_EQ(d.Best().target.slot, pressed.index);
  pressed.unitZ = (g_map.levels + 4) * 16;
  EXPECT_EQ(ParticleFallTicks(pressed), 10);
  EXPECT_EQ(d.Execute(), 10 + 5);  // the group wait is 0
  // On the ground it falls from the top of the map.
  pressed.unitZ = 0;
  const int expected = (g_map.levels * 16 + pressed.type->centreHeight) / 12 + 10;
  EXPECT_EQ(ParticleFallTicks(pressed), expected);
}

TEST_F(OwnSpells, AnEffectAnimationIsCountedOnceABattleAndALoopingOneStopsAtTheLimit) {
  ResetEffectAnimTicks();
  EXPECT_EQ(EffectAnimTicks(100000), 0);  // no such entry
  EXPECT_EQ(EffectAnimTicks(-1), 0);
  // Entry 0 plays three frames and ends; entry 1 jumps back to its frame for ever.
  forge::AniSpec spec;
  spec.spriteName = "none.spr";
  spec.sequences = {{forge::Frame(0), forge::Frame(1), forge::Frame(2), forge::End()},
                    {forge::Frame(0), forge::Jump(-1), forge::End()}};
  const std::vector<uint8_t> bytes = forge::WriteAnimation(spec);
  FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
  auto animations = std::make_unique<CAnimation[]>(1);
  ASSERT_TRUE(animations[0].LoadFromStream(file, "."));
  std::fclose(file);
  std::swap(g_effectManager.animations, animations);
  std::vector<EffectAniEntry> table = {{0, 0, 0, 0}, {1, 0, 0, 0}};
  std::swap(g_effectManager.aniTable, table);
  const int savedFiles = g_effectManager.fileCount;
  g_effectManager.fileCount = 1;

  const int finite = EffectAnimTicks(0);
  EXPECT_GT(finite, 0);
  EXPECT_LT(finite, kAIEffectAnimTickLimit);
  EXPECT_EQ(EffectAnimTicks(1), kAIEffectAnimTickLimit);
  // Kept for the battle: the table may change, the count does not until the next battle.
  std::swap(g_effectManager.aniTable[0], g_effectManager.aniTable[1]);
  EXPECT_EQ(EffectAnimTicks(0), finite);
  ResetEffectAnimTicks();
  EXPECT_EQ(EffectAnimTicks(0), kAIEffectAnimTickLimit);

  std::swap(g_effectManager.animations, animations);
  std::swap(g_effectManager.aniTable, table);
  g_effectManager.fileCount = savedFiles;
  ResetEffectAnimTicks();
}

}  // namespace
