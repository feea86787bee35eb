// What the map and the map view learn of the creatures through their hooks.
#include <gtest/gtest.h>

#include <vector>

#include "CreatureWorld.h"
#include "creatures/CreatureMapHooks.h"
#include "map/MapHooks.h"
#include "map/MapViewHooks.h"

namespace creature_test {
namespace {

class MapSide : public CreatureWorld {
 protected:
  void SetUp() override {
    CreatureWorld::SetUp();
    InstallCreatures();
  }
  MapHooksScope mapHooks{g_mapHooks};
  MapViewHooksScope viewHooks{g_mapViewHooks};
};

TEST_F(MapSide, TheMapWalksPlacesAndJudgesTheCreatures) {
  UseArmy(0, true);
  UseArmy(1);
  UseArmy(2);
  g_armyTable.armies[2].SetAlliance(0, 1);
  g_armyTable.armies[2].SetSharedVision(0, 1);
  const int own = Place(18, 0, 4, 4);  // 2 x 2
  const int gone = Place(1, 1, 9, 4);
  const int enemy = Place(1, 1, 12, 4);
  const int ally = Place(1, 2, 15, 4);
  C(gone).Detach();
  std::vector<int> walked;
  ForEachCreatureInUse([&](int c) { walked.push_back(c); });
  EXPECT_EQ(walked, (std::vector<int>{own, enemy, ally}));

  IMapCreatures& map = *g_mapHooks.creatures;
  CreaturePlace place;
  ASSERT_TRUE(map.GetPlace(own, place));
  EXPECT_EQ(place.size, 2);
  EXPECT_EQ(place.height, g_creatureTypes[18].TileHeight);
  EXPECT_FALSE(map.GetPlace(gone, place));
  EXPECT_TRUE(map.IsEnemyOf(own, enemy));
  EXPECT_FALSE(map.IsEnemyOf(own, ally));
  EXPECT_TRUE(map.IsLitForViewer(own));
  EXPECT_TRUE(map.IsLitForViewer(ally));  // shares the player's vision
  EXPECT_FALSE(map.IsLitForViewer(enemy));
  CreatureBody body;
  ASSERT_TRUE(map.GetBody(enemy, body));
  EXPECT_EQ(body.cornerX, 12 * 32);
  EXPECT_TRUE(body.shape.Contains(16, 16, 4));
  EXPECT_EQ(map.HasRoomAt(enemy, 12, 4, 0), 1);  // its own cells
  EXPECT_EQ(map.HasRoomAt(enemy, 15, 4, 0), 0);  // the ally's
  map.Relocate(enemy, 20, 20, 0);
  EXPECT_EQ(g_map.CellAt(20, 20, 0).occupant, enemy);
}

TEST_F(MapSide, TheViewDrawsAndOrdersThem) {
  UseArmy(0, true);
  const int slot = Place(1, 0, 6, 6);
  C(slot).group = 4;
  IMapViewCreatures& view = *g_mapViewHooks.creatures;
  CreatureDrawInfo draw;
  ASSERT_TRUE(view.GetDrawInfo(slot, 0, draw));
  EXPECT_TRUE(static_cast<bool>(draw.body.frame));
  EXPECT_EQ(draw.x, 6 * 32 + 16);
  EXPECT_EQ(draw.owner, 0);
  // Turning the view turns the body's sequence with it.
  const int facing = C(slot).facing;
  ASSERT_TRUE(view.GetDrawInfo(slot, 1, draw));
  EXPECT_EQ(C(slot).viewFacing, (facing - 2) & 7);
  EXPECT_EQ(C(slot).bodyAnim.sequence, C(slot).animationBase + C(slot).viewFacing);

  CreatureOrderInfo order;
  ASSERT_TRUE(view.GetOrderInfo(slot, order));
  EXPECT_TRUE(order.active);
  EXPECT_EQ(order.group, 5);
  view.Select(slot);
  EXPECT_EQ(C(slot).selected, 1);
  view.Deselect(slot);
  EXPECT_EQ(C(slot).selected, 0);
  EXPECT_EQ(view.LocalWizard(), -1);
  const int wizard = PlaceWizard(0, 10, 10);
  EXPECT_EQ(view.LocalWizard(), wizard);

  // Another army's living creature takes clicks and attack orders too: a click inspects it; a
  // dead one takes none.
  UseArmy(1);
  const int enemy = Place(1, 1, 14, 14);
  ASSERT_TRUE(view.GetOrderInfo(enemy, order));
  EXPECT_TRUE(order.active) << "an enemy the player may attack";
  view.Select(enemy);
  EXPECT_EQ(C(enemy).selected, 0);
  EXPECT_EQ(C(enemy).inspected, 1);
  C(enemy).health = 0;
  ASSERT_TRUE(view.GetOrderInfo(enemy, order));
  EXPECT_FALSE(order.active);
}

}  // namespace
}  // namespace creature_test
