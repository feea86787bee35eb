// The creature record: the cells it fills (at the map's seam too), the pool's slots and
// high-water count, selection, facing, health by rank, and a wizard's death.
#include <gtest/gtest.h>

#include "CreatureWorld.h"
#include "core/Options.h"
#include "creatures/SpellDefinition.h"
#include "graphics/BattleFacing.h"
#include "map/Map.h"
#include "map/MapCell.h"

namespace creature_test {
namespace {

constexpr int kSmall = 1;   // 1 x 1, one level
constexpr int kTall = 5;    // 1 x 1, two levels
constexpr int kLarge = 18;  // 2 x 2, three levels

using Record = CreatureWorld;

CMapCell& Cell(int x, int y, int level) { return g_map.CellAt(x, y, level); }

TEST_F(Record, CellsOfSmallAndLargeCreaturesAreMarkedAndFreedAtTheSeamToo) {
  ASSERT_EQ(g_creatureTypes[kTall].TileHeight, 2);
  ASSERT_EQ(g_creatureTypes[kLarge].TileSizeXY, 2);
  const int tall = Place(kTall, 0, 5, 6);
  EXPECT_EQ(Cell(5, 6, 0).occupant, tall);
  EXPECT_EQ(Cell(5, 6, 0).state & state_bits::kOccupancy, state_bits::kLiquid);  // bit 1: the base cell
  EXPECT_EQ(Cell(5, 6, 1).occupant, tall);
  EXPECT_EQ(Cell(5, 6, 1).state & state_bits::kOccupancy, state_bits::kBody);
  EXPECT_EQ(Cell(5, 6, 2).occupant, kNoLink);
  EXPECT_EQ(Cell(6, 6, 0).occupant, kNoLink);

  // A 2 x 2 creature in the last column and row fills column 0 and row 0 as well.
  const int large = Place(kLarge, 0, 47, 43);
  const int height = g_creatureTypes[kLarge].TileHeight;
  for (auto [x, y] : {std::pair{47, 43}, {0, 43}, {47, 0}, {0, 0}}) {
    for (int level = 0; level < height; ++level) {
      SCOPED_TRACE(testing::Message() << x << "," << y << "," << level);
      EXPECT_EQ(Cell(x, y, level).occupant, large);
      const bool base = x == 47 && y == 43 && level == 0;
      EXPECT_EQ(Cell(x, y, level).state & state_bits::kOccupancy, base ? state_bits::kLiquid : state_bits::kBody);
    }
    EXPECT_EQ(Cell(x, y, height).occupant, kNoLink);
  }
  EXPECT_EQ(Cell(1, 0, 0).occupant, kNoLink);

  C(large).Detach();
  C(tall).Detach();
  for (auto [x, y] : {std::pair{47, 43}, {0, 43}, {47, 0}, {0, 0}, {5, 6}})
    for (int level = 0; level < height; ++level) {
      EXPECT_EQ(Cell(x, y, level).occupant, kNoLink);
      EXPECT_EQ(Cell(x, y, level).state & state_bits::kOccupancy, 0);
    }
}

TEST_F(Record, RelocateMovesTheMarksAndTheUnitPosition) {
  const int slot = Place(kSmall, 0, 3, 3);
  C(slot).Relocate(10, 12, 0);
  EXPECT_EQ(Cell(3, 3, 0).occupant, kNoLink);
  EXPECT_EQ(Cell(10, 12, 0).occupant, slot);
  EXPECT_EQ(C(slot).unitX, 320);
  EXPECT_EQ(C(slot).unitY, 384);
  EXPECT_EQ(C(slot).unitZ, TerrainOf(Cell(10, 12, 0)).groundHeight);
}

TEST_F(Record, HighWaterCountFollowsTheHighestSlotInUse) {
  for (int n = 0; n < 8; ++n) Place(kSmall, 0, n * 2, 1);
  C(5).Detach();
  C(6).Detach();
  EXPECT_EQ(g_creatureArray.highWater, 8);  // slots 0-4 and 7
  C(7).Detach();
  EXPECT_EQ(g_creatureArray.highWater, 5);
  // Slots 0 and 2 in use, 1 free.
  C(3).Detach();
  C(4).Detach();
  C(1).Detach();
  EXPECT_EQ(g_creatureArray.highWater, 3);
  C(0).Detach();
  EXPECT_EQ(g_creatureArray.highWater, 3);
  C(2).Detach();
  EXPECT_EQ(g_creatureArray.highWater, 0);

  Place(kSmall, 0, 1, 1);
  Place(kSmall, 0, 3, 1);
  Place(kSmall, 0, 5, 1);
  C(2).Detach();
  C(1).Detach();
  EXPECT_EQ(g_creatureArray.highWater, 1);
  // A freed slot is the first one taken again.
  EXPECT_EQ(g_creatureArray.FindFree(), &C(1));
}

TEST_F(Record, AFullPoolRefusesAndFreeingMakesRoom) {
  for (int n = 0; n < kCreatureCapacity; ++n) Place(kSmall, n % 2, n % 40, n / 40 * 3);
  EXPECT_EQ(g_creatureArray.highWater, kCreatureCapacity);
  EXPECT_EQ(g_creatureArray.FindFree(), nullptr);
  C(37).Detach();
  EXPECT_EQ(g_creatureArray.FindFree(), &C(37));
  g_creatureArray.ReleaseAll();
  EXPECT_EQ(g_creatureArray.highWater, 0);
  EXPECT_EQ(g_creatureArray.FindFree(), &C(0));
}

TEST_F(Record, SharedIteratorAndFilters) {
  UseArmy(0);
  const int a = Place(kSmall, 0, 1, 1);
  const int b = PlaceWizard(0, 4, 4);
  const int c = Place(kSmall, 0, 7, 7);
  C(c).health = 0;
  g_creatureArray.ResetIterator();
  std::vector<int> seen;
  while (CCreature* creature = g_creatureArray.NextInUse()) seen.push_back(creature->index);
  EXPECT_EQ(seen, (std::vector<int>{a, b, c}));

  g_creatureArray.ResetIterator();
  g_creatureArray.SetFilter(FilterIsAlive, 0);
  seen.clear();
  while (CCreature* creature = g_creatureArray.NextMatching()) seen.push_back(creature->index);
  EXPECT_EQ(seen, (std::vector<int>{a, b}));

  g_creatureArray.ResetIterator();
  g_creatureArray.SetFilter(FilterIsWizard, 0);
  seen.clear();
  while (CCreature* creature = g_creatureArray.NextMatching()) seen.push_back(creature->index);
  EXPECT_EQ(seen, (std::vector<int>{b}));
}

TEST_F(Record, SelectionByArmyTypeAndDeath) {
  UseArmy(0, true);
  UseArmy(1);
  const int own = Place(kSmall, 0, 1, 1);
  const int second = Place(kSmall, 0, 3, 1);
  const int enemy = Place(kSmall, 1, 5, 1);
  const int eye = Place(22, 0, 7, 1);
  const int herald = Place(27, 0, 9, 1);
  const int dead = Place(kSmall, 0, 11, 1);
  C(dead).health = 0;

  C(own).Select();
  EXPECT_EQ(C(own).selected, 1);
  EXPECT_EQ(g_selectionCount, 1);
  EXPECT_EQ(BattleState().mouseMode, kMouseModeCreatures);
  C(own).Select();  // already selected: no second count
  C(second).Select();
  EXPECT_EQ(g_selectionCount, 2);

  C(enemy).Select();  // another army's creature is only inspected
  EXPECT_EQ(C(enemy).selected, 0);
  EXPECT_EQ(C(enemy).inspected, 1);
  C(enemy).Deselect();
  EXPECT_EQ(C(enemy).inspected, 0);

  C(eye).Select();  // type 22 likewise
  EXPECT_EQ(C(eye).selected, 0);
  EXPECT_EQ(C(eye).inspected, 1);

  C(herald).Select();  // type 27 and the dead are refused outright
  C(dead).Select();
  EXPECT_EQ(C(herald).selected + C(herald).inspected + C(dead).selected + C(dead).inspected, 0);
  EXPECT_EQ(g_selectionCount, 2);

  C(own).Deselect();
  EXPECT_EQ(g_selectionCount, 1);
  EXPECT_EQ(BattleState().mouseMode, kMouseModeCreatures);
  C(second).Detach();  // leaving the map leaves the selection
  EXPECT_EQ(g_selectionCount, 0);
  EXPECT_EQ(BattleState().mouseMode, kMouseModeNone);
}

TEST_F(Record, FaceCellTakesTheNearerStraightDirectionAndTheShortWayRound) {
  const int slot = Place(kSmall, 0, 10, 10);
  struct Case {
    int x, y, facing;
  };
  for (const Case& c : {Case{13, 11, 2}, Case{13, 12, 3}, Case{10, 5, 0}, Case{9, 9, 7}, Case{7, 11, 6},
                        Case{11, 13, 4}, Case{8, 13, 5}}) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    C(slot).SetFacing(1);
    C(slot).FaceCell(c.x, c.y);
    EXPECT_EQ(C(slot).facing, c.facing);
  }
  C(slot).SetFacing(5);
  C(slot).FaceCell(10, 10);  // its own cell: no change
  EXPECT_EQ(C(slot).facing, 5);

  // Across the seam: from the last column the short way to column 1 is east; from row 0 to
  // the last row, north.
  C(slot).Relocate(47, 0, 0);
  C(slot).FaceCell(1, 0);
  EXPECT_EQ(C(slot).facing, 2);
  C(slot).FaceCell(47, 43);
  EXPECT_EQ(C(slot).facing, 0);
  C(slot).FaceCell(2, 42);  // 3 east, 2 north round both seams: the diagonal
  EXPECT_EQ(C(slot).facing, 1);
}

TEST_F(Record, FacePointSectorsMatchTheTruncatedAngles) {
  const int slot = Place(kSmall, 0, 10, 10);
  const int cx = C(slot).unitX + g_creatureTypes[kSmall].centreOffset;
  const int cy = C(slot).unitY + g_creatureTypes[kSmall].centreOffset;
  struct Case {
    int o, w, facing;
  };
  // 100 x tan 22.9 = 42.2, tan 23 = 42.4; 100 x tan 67.9 = 246.7, tan 68 = 247.5.
  for (const Case& c : {Case{0, 5, 4}, Case{0, -5, 0}, Case{5, 0, 2}, Case{-5, 0, 6}, Case{100, -42, 2},
                        Case{100, -43, 1}, Case{100, -247, 1}, Case{100, -248, 0}, Case{100, 42, 2}, Case{100, 43, 3},
                        Case{100, 247, 3}, Case{100, 248, 4}, Case{-100, 42, 6}, Case{-100, 43, 5}, Case{-100, -42, 6},
                        Case{-100, -248, 0}, Case{-100, 248, 4}}) {
    SCOPED_TRACE(testing::Message() << c.o << "," << c.w);
    C(slot).SetFacing(0);
    C(slot).FacePoint(cx + c.o, cy + c.w);
    EXPECT_EQ(C(slot).facing, c.facing);
  }
}

TEST_F(Record, FaceAdjacentCreatureByFootprintCentres) {
  const int a = Place(kSmall, 0, 10, 10);
  const int east = Place(kSmall, 0, 12, 10);
  const int far = Place(kSmall, 0, 13, 10);
  const int large = Place(kLarge, 0, 9, 8);  // fills 9-10, 8-9: north of a, its centre half a cell west
  EXPECT_EQ(C(a).FaceAdjacentCreature(C(east)), 1);
  EXPECT_EQ(C(a).facing, 2);
  EXPECT_EQ(C(a).FaceAdjacentCreature(C(far)), 0);
  EXPECT_EQ(C(a).facing, 2);
  EXPECT_EQ(C(a).FaceAdjacentCreature(C(large)), 1);
  EXPECT_EQ(C(a).facing, 0);
  EXPECT_EQ(C(large).FaceAdjacentCreature(C(a)), 1);
  EXPECT_EQ(C(large).facing, 4);
}

TEST_F(Record, LordsAndKingsHaveMoreHealthAndAMissingHealthCountsAsOne) {
  const int slot = Place(kSmall, 0, 1, 1);
  const int base = g_creatureTypes[kSmall].Health;
  EXPECT_EQ(C(slot).GetMaxHealth(), base);
  C(slot).rank = 1;
  EXPECT_EQ(C(slot).GetMaxHealth(), base + base * 5 / 100);
  g_kingBooster = 50;
  C(slot).rank = 2;
  EXPECT_EQ(C(slot).GetMaxHealth(), base + base / 2);
  C(slot).AdjustHealth(1000, -1, nullptr, 0);  // healing stops at the maximum
  EXPECT_EQ(C(slot).health, base + base / 2);
  EXPECT_EQ(C(slot).healthStep, 14);

  g_creatureTypes[kSmall].Health = 0;
  C(slot).rank = 0;
  EXPECT_EQ(C(slot).GetMaxHealth(), 1);
  C(slot).health = 1;
  C(slot).AdjustHealth(0, -1, nullptr, 0);
  EXPECT_EQ(C(slot).healthStep, 14);
}

TEST_F(Record, AWizardsDeathWithOneOtherArmyLeftRaisesTheEndFlags) {
  for (int army = 0; army < 3; ++army) UseArmy(army);
  const int first = PlaceWizard(0, 2, 2);
  const int second = PlaceWizard(1, 10, 2);
  const int third = PlaceWizard(2, 20, 2);
  const int follower = Place(kSmall, 1, 12, 2);
  g_armyTable.armies[0].SetAlliance(1, 0);
  C(second).mana = 0;
  C(second).SetMaxMana(100);

  // A kill by army 1 of army 0's wizard: its army falls with it, the killer's wizard gains
  // the spell cost of the dead type x ManaGeneration per cent, and two wizards stay.
  const int slain = Place(kSmall, 0, 4, 4);
  C(first).AdjustHealth(-100000, 1, nullptr, 1);
  EXPECT_EQ(C(first).health, 0);
  EXPECT_EQ(C(slain).health, 0);
  EXPECT_EQ(C(second).mana, g_spellDefs[0].ManaCost * g_manaGeneration * 256 / 100);
  // A dead wizard leaves the map at once (its death order takes it off).
  EXPECT_EQ(C(first).inUse, 0);
  EXPECT_EQ(g_armyTable.armies[0].wizardCreature, -1);
  EXPECT_EQ(battle.endFlagsRaised, 0);

  // With a script that watches for the last wizard itself, nothing is raised.
  battle.scriptWatches = true;
  C(third).Detach();
  EXPECT_EQ(battle.endFlagsRaised, 0);
  EXPECT_EQ(C(follower).health, g_creatureTypes[kSmall].Health);
  EXPECT_EQ(battle.removed, (std::vector<int>{first, third}));

  // The same with no script: one army left, the end flags go up.
  const int again = PlaceWizard(2, 20, 2);
  battle.scriptWatches = false;
  C(again).Detach();
  EXPECT_EQ(battle.endFlagsRaised, 1);
}

TEST_F(Record, DropTargetForgetsALeavingCreature) {
  const int hunter = Place(kSmall, 0, 1, 1);
  const int prey = Place(kSmall, 1, 3, 1);
  CCreature& h = C(hunter);
  h.target = prey;
  h.order = ORDER_ATTACK_CREATURE;
  h.pendingOrder = ORDER_ATTACK_CREATURE;
  h.animState = ANIM_HTH_ATTACK;
  h.engagedWith = prey;
  h.followed = prey;
  h.tracking = 1;
  EXPECT_EQ(h.GetTargetCreature(), &C(prey));
  C(prey).Detach();
  EXPECT_EQ(h.target, -1);
  EXPECT_EQ(h.engagedWith, -1);
  EXPECT_EQ(h.followed, -1);
  EXPECT_EQ(h.tracking, 0);
  EXPECT_EQ(h.order, ORDER_NONE);
  EXPECT_EQ(h.pendingOrder, ORDER_NONE);
  EXPECT_EQ(h.animState, ANIM_STAND);
  EXPECT_EQ(h.GetTargetCreature(), nullptr);
}

TEST_F(Record, EventsAndSpells) {
  UseArmy(0, true);
  const int slot = Place(kSmall, 0, 1, 1);
  CCreature& c = C(slot);
  for (int n = 0; n < kCreatureEvents; ++n) EXPECT_EQ(c.AddEvent(n, 1, 2, 3, 4, 0), 1);
  EXPECT_EQ(c.AddEvent(99, 0, 0, 0, 0, 0), 0);  // full
  c.RemoveEvent(7);
  EXPECT_EQ(c.eventCount, kCreatureEvents - 1);
  EXPECT_EQ(c.AddEvent(42, 0, 0, 0, 9, 0), 1);
  EXPECT_EQ(c.GetEvent(7)->kind, 42);  // the first free entry

  c.ClearSpellsAndEvents();
  for (int n = 0; n < 31; ++n) c.AddSpell(n);
  EXPECT_EQ(c.spellCount, kCreatureSpells);
  EXPECT_EQ(g_spellDefs[3].Sightings[0][0], 1);
  c.SelectSpell(4);
  EXPECT_EQ(c.selectedSpell, 4);
  EXPECT_EQ(BattleState().mouseMode, kMouseModeSpell);
  c.SelectSpell(-1);
  EXPECT_EQ(c.selectedSpell, -1);
  EXPECT_EQ(BattleState().mouseMode, kMouseModeNone);
}

}  // namespace
}  // namespace creature_test
