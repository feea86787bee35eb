// The spell decisions that walk to strike a hostile creature (the missile, the hold), strike
// fields and remembered groups from where the wizard stands (spells 72, 88, 34), or raise the
// dead, on hand-made scenes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AISpellScene.h"
#include "ai/AIFieldSpells.h"
#include "ai/AIFlaggedCells.h"
#include "ai/AIMissileSpells.h"
#include "ai/AIPlayerMemory.h"
#include "ai/AIRaiseDeadDecision.h"
#include "creatures/SpellDefinition.h"
#include "creatures/Wizard.h"
#include "forge/TerrainTypes.h"
#include "magic/EffectManager.h"
#include "map/TerrainType.h"

namespace {

using ai_test::SpellScene;

class StrikeSpells : public SpellScene {
 protected:
  void SetUp() override {
    SpellScene::SetUp();
    Knows({71, 46, 72, 88, 34, 52});
    for (int spell : {71, 46, 72, 88, 34, 52}) g_spellDefs[spell].Range = 12;
    g_effectManager.Reset();
  }
  void TearDown() override {
    g_effectManager.Reset();
    std::fill(std::begin(g_aiFlaggedCells), std::end(g_aiFlaggedCells), CAIFlaggedCell{});
    SpellScene::TearDown();
  }
  // An active field of the kind owned by the creature, at a cell.
  CEffect& Field(int kind, const CCreature& owner, int x, int y) {
    CEffect& effect = *g_effectManager.At(150 + fields_++);
    effect.active = 1;
    effect.kind = kind;
    effect.cellX = x;
    effect.cellY = y;
    effect.cellLevel = 0;
    effect.params[effect_word::kCreature] = owner.index;
    return effect;
  }

 private:
  int fields_ = 0;
};

TEST_F(StrikeSpells, AMissileAtAWizardScoresOneOnlyWithTheManaToFinishIt) {
  // Health 100, Damage 30, cost 10: three casts, 30 mana.
  g_spellDefs[71].Damage = 30;
  g_spellDefs[71].ManaCost = 10;
  CCreature& rival = PlaceWizard(2, 14, 10);
  rival.sightingCounters[1] = 1;
  rival.health = 100;
  struct Case {
    int mana;
    bool certain;
  } cases[] = {{1000, true}, {30, true}, {29, false}, {10, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mana);
    wizard->mana = c.mana << 8;
    EXPECT_EQ(CAIMissileDecision::CanFinishWizard(*wizard, rival), c.certain);
    CAIMissileDecision d;
    const auto scored = ScoreAll(d);
    ASSERT_EQ(scored.size(), 1u);
    if (c.certain) EXPECT_EQ(scored[0].second, 1.0f);
  }
  // A missile without damage never finishes a wizard, and divides nothing by zero.
  g_spellDefs[71].Damage = 0;
  wizard->mana = 1000 << 8;
  EXPECT_FALSE(CAIMissileDecision::CanFinishWizard(*wizard, rival));
  CAIMissileDecision d;
  EXPECT_EQ(ScoreAll(d).size(), 1u);
}

TEST_F(StrikeSpells, AMissileIsAimedOnlyAtSeenEnemiesInRangeAndEndsWithItsTarget) {
  CCreature& near = Enemy(14, 10);
  Enemy(40, 30);        // out of range
  Place(1, 2, 12, 12);  // unseen
  Friend(11, 11);       // not hostile
  CAIMissileDecision d;
  const auto scored = ScoreAll(d);
  ASSERT_EQ(scored.size(), 1u);
  EXPECT_EQ(scored[0].first, near.index);
  d.Execute();
  CAIBudget none;
  EXPECT_TRUE(d.Step(nullptr, 1, none));
  near.health = 0;
  EXPECT_FALSE(d.Step(nullptr, 2, none));
}

TEST_F(StrikeSpells, TheHoldValuesAFlyerAtItsHealthAndPassesOverTheHeld) {
  g_spellDefs[46].Data1 = 1000;  // nobody shatters
  g_spellDefs[72].Damage = 0;
  CCreature& walker = Enemy(14, 10);
  CCreature& flyer = Enemy(15, 10);
  flyer.orderState.flying = 1;
  CAIHoldDecision d;
  d.Prepare(node, nullptr, 0);
  EXPECT_EQ(d.ExpectedGain(walker), 0);
  EXPECT_EQ(d.ExpectedGain(flyer), flyer.health);
  // Held already: no candidate.
  flyer.heldKind = 1;
  walker.heldKind = 1;
  EXPECT_TRUE(ScoreAll(d).empty());
}

TEST_F(StrikeSpells, Spell72StrikesAHostileFieldOrAnEnemyInRangeAndEndsWhenItIsGone) {
  CCreature& rival = PlaceWizard(2, 30, 30);
  CCreature& ally = Friend(12, 12);
  CEffect& hostile = Field(kAIFieldKindA, rival, 13, 10);
  Field(kAIFieldKindB, ally, 12, 13);  // the side's own field
  CAISpell72Decision d;
  auto scored = ScoreAll(d);
  ASSERT_EQ(d.CandidateCount(), 1u);  // the hostile field alone
  ASSERT_EQ(scored.size(), 1u);
  EXPECT_EQ(d.ChosenTarget().effect, 150);
  d.Execute();
  CAIBudget none;
  EXPECT_TRUE(d.Step(nullptr, 1, none));
  hostile.active = 0;
  EXPECT_FALSE(d.Step(nullptr, 2, none));
  // Nothing hostile in range: no candidate.
  CAISpell72Decision none72;
  EXPECT_TRUE(ScoreAll(none72).empty());
  // An enemy in range is one.
  CCreature& enemy = Enemy(14, 10);
  CAISpell72Decision at;
  ASSERT_EQ(ScoreAll(at).size(), 1u);
  EXPECT_EQ(at.ChosenTarget().creature.slot, enemy.index);
}

TEST_F(StrikeSpells, TheAreaSpellsWaitTenTicksPastTheGroupWaitWhereverTheTargetStands) {
  CCreature& rival = PlaceWizard(2, 30, 30);
  for (int type : {kAISpell88DecisionType, kAISpell34DecisionType}) {
    for (int x : {11, 21}) {
      SCOPED_TRACE(std::to_string(type) + " at " + std::to_string(x));
      g_effectManager.Reset();
      Field(kAIFieldKindA, rival, x, 10);
      CAIAreaFieldSpell d(type, type == kAISpell88DecisionType ? 88 : 34);
      ASSERT_EQ(ScoreAll(d).size(), 1u);
      EXPECT_EQ(d.Execute(), 10);  // mana to spare: the group wait is 0
    }
  }
  // With neither a field nor a remembered group, nothing applies.
  g_effectManager.Reset();
  CAIAreaFieldSpell d(kAISpell88DecisionType, 88);
  EXPECT_TRUE(ScoreAll(d).empty());
  // A remembered group is a candidate.
  CAIPlayerMemory players[kArmyCount];
  CAIGroupNode* group = new CAIGroupNode();
  group->centreX = 16;
  group->centreY = 10;
  players[1].groupsA.push_back(group);
  players[1].groupsMade = 1;  // the record's list as this pass made it
  EXPECT_EQ(ScoreAll(d, players).size(), 1u);
  EXPECT_TRUE(d.ChosenTarget().group);
}

TEST_F(StrikeSpells, TheRaiseTakesASeenBodyInRangeElseAGraveInReach) {
  wizard->aiWords[wizard_words::kControlLimit] = 10;
  CCreature& body = Enemy(13, 10);
  body.health = 0;
  CCreature& farBody = Enemy(40, 40);
  farBody.health = 0;
  CCreature& unseen = Place(1, 2, 12, 11);
  unseen.health = 0;
  for (CCreature* c : {&body, &farBody, &unseen}) g_creatureArray.AddBody(c->index);
  CAIRaiseDeadDecision d;
  auto scored = ScoreAll(d);
  ASSERT_FALSE(scored.empty());
  EXPECT_EQ(scored[0].first, body.index);
  for (const auto& [slot, score] : scored) EXPECT_NE(slot, farBody.index);
  for (const auto& [slot, score] : scored) EXPECT_NE(slot, unseen.index);
  // No bodies: a grave in reach.
  for (CCreature* c : {&body, &farBody, &unseen}) g_creatureArray.RemoveBody(c->index);
  std::vector<CTerrainType> types;
  for (int i = 0; i < g_terrainTypes.Count(); ++i) types.push_back(g_terrainTypes.Get(i));
  types[forge::terrain::kStone].typeFlags |= kAIFlaggedTerrainBit;
  g_terrainTypes.Assign(std::move(types));
  g_map.CellAt(12, 10, 0).terrain = forge::terrain::kStone;
  g_aiFlaggedCells[0] = {1, 12, 10, 0, 0};
  CAIRaiseDeadDecision graves;
  scored = ScoreAll(graves);
  ASSERT_FALSE(scored.empty());
  EXPECT_EQ(graves.Best().targetX, 12);
  // At the control limit, nothing.
  wizard->behaviour.armyCount = 10;
  EXPECT_TRUE(ScoreAll(graves).empty());
}

}  // namespace
