// What the player's wizard record notes (creatures first sighted, events), the regions of
// power's holders, and the battle's end clearing the pool.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "CreatureWorld.h"
#include "map/Map.h"

namespace creature_test {
namespace {

struct RecordingWizards : ICreatureWizards {
  std::vector<std::pair<int, int>> notes;  // (kind, number)
  void NoteSeen(int kind, int number) override { notes.push_back({kind, number}); }
};

class Notes : public CreatureWorld {
 protected:
  RecordingWizards wizards;
  HookScope<ICreatureWizards> scope{g_creatureWizards, wizards};
};

TEST_F(Notes, AFirstSightingForThePlayerIsNotedOnceAndAlliesSharingVisionSeeToo) {
  UseArmy(0, true);
  UseArmy(1);
  UseArmy(2);
  UseArmy(3);
  g_armyTable.armies[2].SetAlliance(0, 1);
  g_armyTable.armies[2].SetSharedVision(0, 1);
  const int spotter = Place(1, 2, 3, 3);
  const int seen = Place(7, 1, 5, 3);
  C(seen).SetSeenByArmy(1, 2, spotter);  // the ally's sighting is the player's too
  EXPECT_EQ(wizards.notes, (std::vector<std::pair<int, int>>{{4, 7}}));
  EXPECT_EQ(C(seen).sightingCounters[2], kSightingFull);
  EXPECT_EQ(C(seen).sightingCounters[0], kSightingFull);
  EXPECT_EQ(C(seen).sightingCounters[3], 0);
  EXPECT_EQ(C(seen).spottedBy[2], spotter);
  C(seen).SetSeenByArmy(1, 0, spotter);  // already seen: no second note
  EXPECT_EQ(wizards.notes.size(), 1u);
  C(seen).SetSeenByArmy(0, 0, spotter);
  EXPECT_EQ(C(seen).sightingCounters[0], 0);
  EXPECT_EQ(C(seen).spottedBy[0], -1);
  wizards.notes.clear();
  C(seen).SetSeenByArmy(1, 3, spotter);  // a stranger's sighting is not the player's
  EXPECT_TRUE(wizards.notes.empty());
}

TEST_F(Notes, ThePlayersEventsAreNotedByTheirGroup) {
  UseArmy(0, true);
  UseArmy(1);
  const int own = Place(1, 0, 3, 3);
  const int other = Place(1, 1, 6, 3);
  const std::pair<int, std::pair<int, int>> cases[] = {
      {3, {7, 1}},   {17, {7, 17}}, {30, {7, 28}}, {52, {7, 51}},
      {55, {7, 53}}, {70, {7, 62}}, {90, {7, 90}}, {99, {6, 3}},
  };
  for (auto [kind, note] : cases) {
    SCOPED_TRACE(kind);
    wizards.notes.clear();
    C(own).ClearSpellsAndEvents();
    for (CCreatureEvent& event : C(own).events) event.active = 0;
    ASSERT_EQ(C(own).AddEvent(kind, 0, 0, 0, 1, 0), 1);
    EXPECT_EQ(wizards.notes, (std::vector<std::pair<int, int>>{note}));
  }
  wizards.notes.clear();
  C(other).AddEvent(3, 0, 0, 0, 1, 0);
  EXPECT_TRUE(wizards.notes.empty());
}

TEST_F(Notes, ARegionOfPowerIsHeldByAManaSourceWithinThreeCells) {
  struct Holders {
    ~Holders() {
      g_map.regions[0] = CRegionOfPower{};
      for (int j = 0; j < CMap::kPlayers; ++j) g_map.regionHolders[0][j] = -1;
    }
  } restore;
  g_map.regions[0] = CRegionOfPower{20, 20, 0};
  for (int j = 0; j < CMap::kPlayers; ++j) g_map.regionHolders[0][j] = -1;
  const int source = Place(1, 3, 22, 22);
  const int watcher = Place(1, 5, 28, 20);   // within 10 cells
  const int stranger = Place(1, 6, 40, 40);  // too far
  const int idle = Place(1, 4, 20, 21);      // near but no mana source
  C(source).SetManaSource(1);
  g_map.regionCursor = 7;  // out of range: starts again at the first region
  g_creatureArray.UpdateRegionsOfPower();
  EXPECT_EQ(g_map.regionHolders[0][5], 3);
  EXPECT_EQ(g_map.regionHolders[0][3], 3);
  EXPECT_EQ(g_map.regionHolders[0][4], 3);
  EXPECT_EQ(g_map.regionHolders[0][6], -1);
  EXPECT_EQ(g_map.regionCursor, 1);
  // The source walks away: the region has no holder.
  C(source).Relocate(26, 20, 0);
  g_creatureArray.UpdateRegionsOfPower();
  EXPECT_EQ(g_map.regionHolders[0][5], -1);
  (void)watcher;
  (void)stranger;
  (void)idle;
}

TEST_F(Notes, KillAllAndReleaseAllEmptyThePool) {
  UseArmy(0);
  for (int n = 0; n < 5; ++n) Place(18, 0, n * 4, 8);
  g_creatureArray.AddBody(2);
  g_creatureArray.KillAll();
  g_creatureArray.ForEachInUse([](CCreature& c) { EXPECT_EQ(c.health, 0); });
  EXPECT_TRUE(g_creatureArray.HasListed());
  g_creatureArray.ReleaseAll();
  EXPECT_EQ(g_creatureArray.highWater, 0);
  EXPECT_FALSE(g_creatureArray.HasListed());
  for (int n = 0; n < kCreatureCapacity; ++n) EXPECT_EQ(C(n).inUse, 0);
}

TEST_F(Notes, BodiesAreFoundByCellAndRemoved) {
  for (int n = 0; n < 3; ++n) Place(1, 0, 5, 5 + n);
  C(2).Relocate(5, 5, 0);  // two bodies at one cell
  for (int n = 0; n < 3; ++n) g_creatureArray.AddBody(n);
  std::vector<int> atCell;
  g_creatureArray.ResetCellCursor();
  while (CCreature* body = g_creatureArray.NextAtCell(5, 5, 0)) atCell.push_back(body->index);
  EXPECT_EQ(atCell, (std::vector<int>{2, 0}));  // the newest first
  g_creatureArray.RemoveBody(0);
  g_creatureArray.RemoveBody(7);  // not listed: nothing
  std::vector<int> listed;
  g_creatureArray.ResetListCursor();
  while (CCreature* body = g_creatureArray.NextListed()) listed.push_back(body->index);
  EXPECT_EQ(listed, (std::vector<int>{2, 1}));
}

}  // namespace
}  // namespace creature_test
