// The regions of the multiplayer realm: their names, and the battle maps they build.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/Options.h"
#include "frontend/MultiplayerRegions.h"
#include "map/Doors.h"
#include "map/Map.h"
#include "map/MapPlacement.h"
#include "map/PathNetwork.h"
#include "map/TerrainType.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "support/TestSupport.h"

namespace {

constexpr const char* kRealm = "realms\\multiplayer\\Multiplayer.cfg";

void WriteRealm(const std::string& text) {
  platform::WriteWholeFile("realms/multiplayer/Multiplayer.cfg", text.data(), text.size());
  platform::FlushProfileCache();
}

std::vector<std::string> RegionNames() {
  std::vector<std::string> names;
  char name[kRegionNameSize];
  for (int n = 1; GetMultiplayerRegionName(n, name); ++n) names.push_back(name);
  return names;
}

}  // namespace

TEST(MultiplayerRegions, TheForgedRealmNamesFiveRegionsWithoutTheirComments) {
  testing_support::ForgedDataCopy data;
  EXPECT_EQ(RegionNames(),
            (std::vector<std::string>{"Moor Gate", "Castle Reach", "The Great Moor", "Cliffs of Ash", "Lakeside"}));
  EXPECT_EQ(CountMultiplayerRegions(), 5);
}

TEST(MultiplayerRegions, TheListEndsAtTheFirstRegionWithoutAName) {
  testing_support::ForgedDataCopy data;
  WriteRealm("[REGION1]\nname=North;the cold one\n[REGION2]\nname=South\n[REGION4]\nname=East\n");
  EXPECT_EQ(RegionNames(), (std::vector<std::string>{"North", "South"}));
  WriteRealm("[REGION1]\nname=;nothing before the comment\n[REGION2]\nname=South\n");
  char name[kRegionNameSize] = "left over";
  EXPECT_EQ(GetMultiplayerRegionName(1, name), nullptr);
  EXPECT_STREQ(name, "");
  EXPECT_EQ(CountMultiplayerRegions(), 0);
  std::remove("realms/multiplayer/Multiplayer.cfg");
  platform::FlushProfileCache();
  EXPECT_EQ(CountMultiplayerRegions(), 0);
}

// Four wizards must find room on every battlefield: each map holds at least four wizard sites
// and four places of power, whatever the seed.
TEST(MultiplayerRegions, EveryRegionBuildsAMapWithRoomForFourWizards) {
  testing_support::ForgedDataCopy data;
  testing_support::BoxRecorder boxes;
  std::vector<uint8_t> types;
  ASSERT_TRUE(platform::ReadWholeFile("maps/moorland/terrain.ttd", types));
  ASSERT_TRUE(g_terrainTypes.Assign(types.data() + 16, types.size() - 16));
  std::set<std::pair<int, int>> sizes;
  for (int region = 1; region <= CountMultiplayerRegions(); ++region)
    for (int seed : {1, 4242, 90210}) {
      SCOPED_TRACE("region " + std::to_string(region) + " seed " + std::to_string(seed));
      ASSERT_EQ(g_map.Build(kRealm, region, seed), 1);
      int wizardSites = 0, placesOfPower = 0;
      for (const auto& item : g_map.deploymentZones.items) {
        wizardSites += item[3] == kPlacementFriendlyWizard || item[3] == kPlacementEnemyWizard;
        placesOfPower += item[3] == kPlacementArtifact && item[4] == 61;  // type 61: a place of power
      }
      EXPECT_GE(wizardSites, 4);
      EXPECT_GE(placesOfPower, 4);
      sizes.insert({g_map.width, g_map.height});
    }
  EXPECT_GE(sizes.size(), 4u);  // small and large fields
  EXPECT_EQ(boxes.Count(), 0u) << boxes.Boxes()[0].caption << ": " << boxes.Boxes()[0].text;
  g_map.Clear();
  g_map.deploymentZones.Clear();
  g_map.otherPlacements.Clear();
  g_map.eventAreas.Clear();
  g_pathNetwork.Clear();
  g_terrainTypes.Clear();
  FreeDoorsConfig();
}
