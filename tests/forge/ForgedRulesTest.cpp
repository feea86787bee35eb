// What the forged data must hold for the game's rules to work on it: every chest placed on a
// forged section stands beside its world object with a lid above it, both flagged as a
// chest's.
#include <gtest/gtest.h>

#include "forge/MapSections.h"
#include "forge/TerrainTypes.h"

namespace {

constexpr int kObjectPlacement = 5, kChestObject = 50;
constexpr uint8_t kChestFlag = 0x10;

TEST(ForgedRules, EveryPlacedChestHasABodyAndALidToOpen) {
  const std::vector<forge::TerrainDef> types = forge::ForgedTerrainTypes();
  auto isChest = [&](int type) { return type != 0 && (types[static_cast<size_t>(type)].typeFlags & kChestFlag) != 0; };
  // The neighbours the chest rule looks at, in its order: north, west, south, east.
  constexpr int kSides[4][2] = {{0, -1}, {-1, 0}, {0, 1}, {1, 0}};
  int chests = 0;
  for (const forge::SectionFile& section : forge::ForgedSections()) {
    const forge::SectionCanvas& c = section.canvas;
    for (const forge::PlacementItem& item : c.placements) {
      if (item[3] != kObjectPlacement || item[4] != kChestObject) continue;
      SCOPED_TRACE(section.name);
      ++chests;
      const int x = item[0], y = item[1], level = item[2];
      bool found = false;
      for (const auto& side : kSides) {
        const int bx = x + side[0], by = y + side[1];
        if (!c.Inside(bx, by) || !isChest(c.At(bx, by, level).terrain)) continue;
        EXPECT_TRUE(isChest(c.At(bx, by, level + 1).terrain)) << "no lid over the chest's body";
        found = true;
        break;
      }
      EXPECT_TRUE(found) << "no chest body beside the chest at " << x << ", " << y;
      EXPECT_EQ(item[8], -1) << "the forged chests are open to any opener";
    }
  }
  EXPECT_GT(chests, 0);
}

}  // namespace
