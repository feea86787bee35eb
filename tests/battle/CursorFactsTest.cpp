// The battle's answers to the map cursor: over an enemy with creatures selected the cursor
// attacks, over the grass it walks; with a spell chosen the spell-target test from the local
// wizard decides, and too little mana shows the refusal.
#include "BattleFrameWorld.h"
#include "battle/BattleKeys.h"
#include "battle/CursorFacts.h"
#include "graphics/BattleFacing.h"
#include "map/MapView.h"
#include "ui/Cursor.h"
#include "ui/MapCursor.h"

namespace {

class CursorFacts : public BattleFrameWorld {
 protected:
  void SetUp() override {
    BattleFrameWorld::SetUp();
    BuildWorld(77);
    g_edgeCursorKind = kEdgeNone;
    CCreature& wizard = C(wizard_);
    wizard.spells[0] = kMissile;
    wizard.spellCount = 1;
  }
  void TearDown() override {
    BattleState().mouseMode = kMouseModeNone;
    g_mapView.hoverKind = kHoverNothing;
    g_mapView.hoverCreature = -1;
    g_edgeCursorKind = kEdgeNone;
    BattleFrameWorld::TearDown();
  }
  // The pointer over a creature (its cell) or over a cell alone.
  void PointAt(int creature) {
    const CCreature& c = C(creature);
    g_mapView.hoverKind = kHoverCreature;
    g_mapView.hoverCreature = creature;
    g_mapView.hoverCellX = c.cellX, g_mapView.hoverCellY = c.cellY, g_mapView.hoverLevel = c.level;
  }
  void PointAtCell(int x, int y) {
    g_mapView.hoverKind = kHoverCell;
    g_mapView.hoverCreature = -1;
    g_mapView.hoverCellX = x, g_mapView.hoverCellY = y, g_mapView.hoverLevel = 0;
  }
  int Cursor() {
    return ChooseMapCursor(BattleCursorFacts(), g_mapView.hoverCellX, g_mapView.hoverCellY, g_mapView.hoverLevel);
  }
};

TEST_F(CursorFacts, WithCreaturesSelectedTheCursorAttacksEnemiesAndWalksElsewhere) {
  C(wizard_).selected = 1;
  BattleState().mouseMode = kMouseModeCreatures;
  PointAt(enemy_);
  EXPECT_EQ(Cursor(), 0);
  PointAtCell(20, 20);
  EXPECT_EQ(Cursor(), 1);
  // An ally is no target.
  g_armyTable.armies[0].SetAlliance(1, 1);
  PointAt(enemy_);
  EXPECT_EQ(Cursor(), 1);
  // Outside the map.
  PointAtCell(-1, 3);
  EXPECT_EQ(Cursor(), 3);
}

// While edge scrolling points the pointer along the scroll, the map keeps that arrow; off the
// edges (kind 22) the map's own rules choose again.
TEST_F(CursorFacts, TheEdgeScrollingArrowStaysOverTheMap) {
  C(wizard_).selected = 1;
  BattleState().mouseMode = kMouseModeCreatures;
  PointAtCell(20, 20);
  g_edgeCursorKind = kEdgeUpLeft;
  EXPECT_EQ(Cursor(), kEdgeUpLeft);
  g_edgeCursorKind = kEdgeNone;
  EXPECT_EQ(Cursor(), 1);
}

TEST_F(CursorFacts, WithASpellChosenTheWizardsTestDecides) {
  CCreature& wizard = C(wizard_);
  wizard.selectedSpell = 0;
  BattleState().mouseMode = kMouseModeSpell;
  PointAt(enemy_);
  // The forged missile takes a standing place (mask 32): the test goes to the middle of the
  // cell under the pointer, not to the creature on it.
  ASSERT_EQ(g_spellDefs[kMissile].AllowedTargets, spell_targets::kStandablePlace);
  const int expected =
      TestSpellTargetFrom(wizard_, kMissile, -1, C(enemy_).cellX * 32 + 16, C(enemy_).cellY * 32 + 16, 0);
  EXPECT_EQ(BattleCursorFacts().SpellTargetTest(), expected);
  ASSERT_TRUE(expected == kTargetValid || expected == kTargetWantsPlace) << expected;
  EXPECT_EQ(Cursor(), 5);
  // A spell of creatures aims at the one under the pointer.
  g_spellDefs[kMissile].AllowedTargets = spell_targets::kHostileCreature;
  EXPECT_EQ(BattleCursorFacts().SpellTargetTest(), TestSpellTargetFrom(wizard_, kMissile, enemy_, 0, 0, 0));
  g_spellDefs[kMissile].AllowedTargets = spell_targets::kStandablePlace;
  // Too little mana for the spell.
  wizard.mana = (g_spellDefs[kMissile].ManaCost - 1) * 256;
  EXPECT_EQ(Cursor(), 19);
  // No wizard of the local army.
  g_armyTable.armies[0].wizardCreature = -1;
  EXPECT_EQ(Cursor(), 3);
}

}  // namespace
