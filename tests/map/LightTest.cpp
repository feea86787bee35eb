// The light map: patterns, sight spread over eight frames, effect light over two, memory.
#include "MapTestSupport.h"
#include "core/Options.h"
#include "platform/Profile.h"
#include "support/TestSupport.h"

using namespace map_test;

class LightMap : public MapTest {
 protected:
  void SetUp() override {
    g_lightRamp = 16;  // the forged options file lights the map in play
    MapTest::SetUp();
  }
  void TearDown() override {
    g_lightRamp = -16;
    MapTest::TearDown();
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) g_map.UpdateVisibility();
  }
  int Memory(int x, int y, int level) { return g_map.light[CMap::kLightMemory][g_map.LightIndex(x, y, level)]; }
};

TEST_F(LightMap, PatternsFollowTheRamp) {
  // A positive ramp: full light near the source, black at the cube's edge.
  const int8_t* cube17 = g_map.lightPatterns + g_map.patternOffset[32];
  EXPECT_EQ(g_map.patternEdge[32], 17);
  EXPECT_EQ(g_map.patternEdge[0], 1);
  EXPECT_EQ(g_map.patternEdge[2], 2);
  EXPECT_EQ(cube17[0], 0);
  EXPECT_EQ(cube17[16], -(256 - 272 + 127));  // 16 columns away
  EXPECT_EQ(g_map.lightPatterns[g_map.patternOffset[0]], 0);

  // The forged options file sets that positive ramp.
  std::string options = testing_support::ForgedDataDir() + "/cfg/vrask.cfg";
  EXPECT_EQ(platform::ReadProfileInt("GLOBAL_OPTIONS", "LightRamp", 0, options), 16);

  // The default ramp of -16 makes every entry black.
  g_lightRamp = -16;
  g_map.BuildLightPatterns();
  for (int i = 0; i < CMap::kLightPatternBytes - 1; i += 97) EXPECT_EQ(g_map.lightPatterns[i], -127) << i;
}

TEST_F(LightMap, NothingLitShowsTheMemory) {
  FakeHooks hooks;
  Frames(20);
  for (int level = 0; level < 8; level += 3) EXPECT_EQ(g_map.LightAt(5, 5, level), -127);
  EXPECT_EQ(g_map.LightAt(48, 0, 0), -127);  // outside
}

TEST_F(LightMap, CreatureSightIsShownAndRememberedAtTheAmbientLevel) {
  FakeHooks hooks;
  hooks.creatures.Add(1, 10, 10, 2);
  hooks.creatures.creatures[1].lit = true;
  Frames(2);  // the full refresh stamps at once; the next frame shows it
  EXPECT_EQ(g_map.LightAt(10, 10, 2), 0);
  EXPECT_EQ(g_map.LightAt(10, 10, 3), 0);                         // the same pair of levels
  EXPECT_LT(g_map.LightAt(26, 10, 2), g_map.LightAt(14, 10, 2));  // darker with distance
  EXPECT_EQ(g_map.LightAt(40, 30, 2), -127);
  EXPECT_EQ(Memory(10, 10, 2), g_ambientLight);  // never brighter than the ambient light

  // It walks away: within two rounds of eight frames it shows in its new place, and the old
  // one as memory.
  hooks.creatures.creatures[1].place.x = 30;
  hooks.creatures.creatures[1].place.y = 30;
  Frames(16);
  EXPECT_EQ(g_map.LightAt(30, 30, 2), 0);
  EXPECT_EQ(g_map.LightAt(10, 10, 2), g_ambientLight);
  for (int x = 0; x < 48; x += 5)
    for (int y = 0; y < 44; y += 5) EXPECT_LE(Memory(x, y, 2), g_ambientLight);
}

TEST_F(LightMap, SightIsSpreadOverEightFrames) {
  FakeHooks hooks;
  for (int i = 0; i < 16; ++i) {
    hooks.creatures.Add(i, 3 * i, 20, 1);
    hooks.creatures.creatures[i].lit = true;
  }
  Frames(2);  // settles the full refresh
  hooks.creatures.creatures[5].place.y = 40;
  g_map.UpdateVisibility();
  EXPECT_NE(g_map.LightAt(15, 40, 1), 0);  // not shown before the pass is complete
  Frames(7);
  EXPECT_EQ(g_map.LightAt(15, 40, 1), 0);
  // A full refresh request stamps everyone in one frame.
  hooks.creatures.creatures[6].place.y = 2;
  g_map.RequestFullVisibilityRefresh();
  Frames(2);
  EXPECT_EQ(g_map.LightAt(18, 2, 1), 0);
}

TEST_F(LightMap, EffectLightCrossesTheSeamAndShowsWithAFullRefresh) {
  FakeHooks hooks;
  hooks.effects.lights.push_back(LightSource{0, 5, 2, 33});
  g_map.UpdateVisibility();  // a full refresh: creatures and effects in the same frame
  EXPECT_EQ(g_map.LightAt(0, 5, 2), 0);
  EXPECT_GT(g_map.LightAt(47, 5, 2), -127);  // across the seam
  EXPECT_GT(g_map.LightAt(0, 43, 2), -127);
  EXPECT_EQ(g_map.LightAt(20, 20, 2), -127);
  EXPECT_EQ(Memory(0, 5, 2), -127);  // light is not remembered
  // The light goes out: two frames later the map is dark again.
  hooks.effects.lights.clear();
  Frames(4);
  EXPECT_EQ(g_map.LightAt(0, 5, 2), -127);
  // Revealing uncovers at once.
  g_map.RevealAround(20, 20, 4, 33);
  EXPECT_EQ(g_map.LightAt(20, 20, 4), 0);
  EXPECT_EQ(Memory(20, 20, 4), g_ambientLight);
}
