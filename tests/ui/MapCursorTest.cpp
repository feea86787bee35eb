// The battle map cursor: the first rule that applies to the cell under the pointer.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "graphics/BattleFacing.h"
#include "ui/Flatwin.h"
#include "ui/MapCursor.h"

namespace {

// A battle as the cursor sees it, set by each case.
struct FakeBattle : CMapCursorFacts {
  bool inside = true;
  int forced = 22;
  bool army = true;
  int targeting = 0;
  int order = 0;
  int orderTargetKind = 0;
  std::vector<MapCursorCreature> selected;
  std::optional<MapCursorCreature> under;
  int relation = 1;  // toward the creature's army
  int terrainFlags = 0;
  int terrainKind = 0;
  bool wizard = true;
  int mana = 50, cost = 10;
  int spellTest = 0;

  bool CellInsideMap(int, int, int level) override { return inside && level < 8; }
  int ForcedCursorKind() override { return forced; }
  bool HasLocalArmy() override { return army; }
  int TargetingState() override { return targeting; }
  void SetTargetingState(int state) override { targeting = state; }
  int SelectedCount() override { return static_cast<int>(selected.size()); }
  int CurrentOrder() override { return order; }
  int OrderTargetKind(int) override { return orderTargetKind; }
  int SelectedLocalCreatures(MapCursorCreature* out, int capacity) override {
    int n = 0;
    for (const MapCursorCreature& c : selected)
      if (n < capacity) out[n++] = c;
    return n;
  }
  bool CreatureUnderPointer(MapCursorCreature& out) override {
    if (under) out = *under;
    return under.has_value();
  }
  int LocalRelationToward(int) override { return relation; }
  int CellTerrainFlags(int, int, int) override { return terrainFlags; }
  int CellTerrainKind(int, int, int) override { return terrainKind; }
  bool HasLocalWizard() override { return wizard; }
  int LocalWizardMana() override { return mana; }
  int ChosenSpellCost() override { return cost; }
  int SpellTargetTest() override { return spellTest; }
};

MapCursorCreature Living(int army) {
  MapCursorCreature c;
  c.living = 1;
  c.army = army;
  return c;
}

MapCursorCreature WalkingTo(int x, int y, int level) {
  MapCursorCreature c = Living(0);
  c.moving = 1;
  c.destinationX = x;
  c.destinationY = y;
  c.destinationLevel = level;
  return c;
}

class MapCursor : public ::testing::Test {
 protected:
  void SetUp() override { ResetMouseInput(); }
  void TearDown() override { ResetMouseInput(); }
  // The latest mouse event carries Ctrl (and Alt is read with it).
  static void Modifiers(bool ctrl) { QueueMouseEvent(ctrl ? 0x8 : 0, 10, 10); }
  int Choose(int mode, int level = 2) {
    BattleState().mouseMode = mode;
    return ChooseMapCursor(battle, 5, 6, level);
  }
  FakeBattle battle;
};

TEST_F(MapCursor, TheCellTheForcedKindAndTheArmyComeFirst) {
  battle.inside = false;
  EXPECT_EQ(Choose(1), 3);
  battle.inside = true;
  battle.forced = 9;
  EXPECT_EQ(Choose(1), 9);
  battle.forced = 22;
  battle.army = false;
  EXPECT_EQ(Choose(1), 16);
}

TEST_F(MapCursor, AnOrderWhoseTargetASelectedCreatureTakesShowsItsTarget) {
  battle.targeting = 3;
  battle.orderTargetKind = 2;
  MapCursorCreature flier = Living(0);
  flier.typeFlags = 0x04;
  battle.selected = {flier};
  EXPECT_EQ(Choose(1), 17);
  battle.orderTargetKind = 1;  // only a wizard takes a kind-1 target
  EXPECT_EQ(Choose(1), 1);
  battle.selected[0].isWizardType = 1;
  EXPECT_EQ(Choose(1), 17);
  battle.orderTargetKind = 0;
  EXPECT_EQ(Choose(1), 1);
  battle.orderTargetKind = 2;
  battle.selected[0] = Living(0);
  battle.selected[0].typeFlags = 0x02;
  battle.order = 6;
  EXPECT_EQ(Choose(1), 17);
  battle.order = 7;
  EXPECT_EQ(Choose(1), 1);
}

TEST_F(MapCursor, WithCreaturesSelectedTheCellAndTheCreatureChoose) {
  battle.selected = {WalkingTo(5, 6, 3)};
  battle.under = Living(4);
  battle.relation = 0;  // an enemy
  EXPECT_EQ(Choose(1), 0);
  battle.relation = 1;
  Modifiers(true);
  EXPECT_EQ(Choose(1), 0);  // Ctrl attacks anyone
  Modifiers(false);
  battle.under.reset();
  battle.terrainFlags = 0x10;
  EXPECT_EQ(Choose(1), 18);
  battle.terrainFlags = 0;
  Modifiers(true);
  EXPECT_EQ(Choose(1), 0);
  Modifiers(false);
  EXPECT_EQ(Choose(1, 3), 2);  // where a selected creature is walking
  EXPECT_EQ(Choose(1, 2), 1);
  battle.terrainKind = 16;  // a liquid: the walk ends on the cell above
  EXPECT_EQ(Choose(1, 2), 2);
  EXPECT_EQ(Choose(1, 7), 1);  // no cell above the top level
}

TEST_F(MapCursor, AChosenSpellAsksItsTargetTest) {
  struct Case {
    int test;
    int kind;
  };
  for (Case c : {Case{0, 5}, Case{4, 3}, Case{5, 20}, Case{2, 3}, Case{6, 3}, Case{9, 16}}) {
    battle.spellTest = c.test;
    EXPECT_EQ(Choose(2), c.kind) << c.test;
  }
  battle.spellTest = 1;
  EXPECT_EQ(Choose(2), 5);
  EXPECT_EQ(battle.targeting, 1);
  battle.cost = 60;
  EXPECT_EQ(Choose(2), 19);
  battle.wizard = false;
  EXPECT_EQ(Choose(2), 3);
  EXPECT_EQ(Choose(3), 14);
  EXPECT_EQ(Choose(0), 16);
}

}  // namespace
