// The map view's looping sounds and its view-area test.
#include <memory>

#include "MapViewFixtures.h"
#include "core/Preferences.h"
#include "platform/AudioOutput.h"
#include "sound/SoundManager.h"
#include "support/TestSupport.h"

namespace map_test {
namespace {

class MapViewSounds : public MapTest {
 protected:
  void SetUp() override {
    MakeMap(48, 44, 8);
    g_mapView.Attach(&g_map, nullptr, nullptr, platform::Rect{0, 0, 800, 600}, 0);
    g_mapView.StopSounds();
  }
  void TearDown() override {
    g_mapView.StopSounds();
    ResetMouseInput();
    g_mapView.SetMap(nullptr);
    manager.reset();
    platform::SetManualAudioOutput(false);
    MapTest::TearDown();
  }
  void StartSound() {
    platform::SetManualAudioOutput(true);
    manager = std::make_unique<CSoundManager>();
    ASSERT_EQ(manager->Init(nullptr, nullptr, (testing_support::ForgedDataDir() + "/Sounds").c_str()), 0);
    ASSERT_EQ(manager->LoadLevelSounds(1), 0);
  }
  void Counts(int water, int group1, int group2, int group3) {
    g_mapView.waterCellCount = water;
    g_mapView.effectGroup1Count = group1;
    g_mapView.effectGroup2Count = group2;
    g_mapView.effectGroup3Count = group3;
    g_mapView.soundCreatureCount = 0;
  }
  std::unique_ptr<CSoundManager> manager;
};

TEST_F(MapViewSounds, LoopsFollowWhatTheViewShows) {
  StartSound();
  struct Case {
    int count;
    int waterVolume, effectVolume;
  };
  const Case cases[] = {{1, 20000 / 600 - 4500, 10000 / 500 - 1500},
                        {74, 74 * 20000 / 600 - 4500, -20},
                        {75, 75 * 20000 / 600 - 4500, 0},
                        {99, -1200, 0},
                        {100, -1666, 0},
                        {500, -1666, 0}};
  for (const Case& c : cases) {
    Counts(c.count, c.count, c.count, 0);
    g_mapView.UpdateSounds();
    ASSERT_NE(g_mapView.waterSound, nullptr);
    EXPECT_EQ(g_mapView.waterSound->id, 1021);
    EXPECT_EQ(g_mapView.waterSound->volume, c.waterVolume) << c.count;
    EXPECT_TRUE(g_mapView.waterSound->IsPlaying(0));
    EXPECT_EQ(g_mapView.effectSound1->volume, c.effectVolume) << c.count;
    EXPECT_EQ(g_mapView.effectSound2->volume, c.effectVolume) << c.count;
  }
  CSoundInstance* water = g_mapView.waterSound;
  Counts(0, 0, 5, 0);
  g_mapView.UpdateSounds();
  EXPECT_EQ(g_mapView.waterSound, nullptr);
  EXPECT_FALSE(water->IsPlaying(0));
  EXPECT_EQ(g_mapView.effectSound1, nullptr);
  EXPECT_NE(g_mapView.effectSound2, nullptr);
  g_mapView.StopSounds();
  EXPECT_EQ(g_mapView.effectSound2, nullptr);
}

TEST_F(MapViewSounds, TheCreatureLoopPlaysAtItsCell) {
  StartSound();
  Counts(0, 0, 0, 0);
  g_prefs.isHighRes = 1;  // the listener looks at the middle of 800 x 600
  g_mapView.SetCameraCell(20, 20, 0);
  int cx = 0, cy = 0;
  g_mapView.ScreenToCell(400, 300, cx, cy);
  g_mapView.soundCreatureCount = 1;
  g_mapView.soundCreatureX = cx - 6;
  g_mapView.soundCreatureY = cy - 6;
  g_mapView.UpdateSounds();
  ASSERT_NE(g_mapView.creatureSound, nullptr);
  EXPECT_EQ(g_mapView.creatureSound->volume, 0);
  g_mapView.soundCreatureX += 20;  // moved away: re-levelled
  g_mapView.UpdateSounds();
  EXPECT_LT(g_mapView.creatureSound->volume, 0);
  g_mapView.soundCreatureCount = 0;
  g_mapView.UpdateSounds();
  EXPECT_EQ(g_mapView.creatureSound, nullptr);
  g_prefs.isHighRes = 0;
}

TEST_F(MapViewSounds, SplitWrappedRectCutsAtTheSeams) {
  struct Case {
    platform::Rect in;
    std::vector<platform::Rect> pieces;
  };
  const int w = 48, h = 44;
  const Case cases[] = {
      {{5, 5, 10, 10}, {{5, 5, 10, 10}}},
      {{-3, 5, 4, 10}, {{0, 5, 4, 10}, {w - 3, 5, w, 10}}},
      {{5, -2, 10, 3}, {{5, 0, 10, 3}, {5, h - 2, 10, h}}},
      {{45, 40, 52, 47}, {{0, 0, 4, 3}, {0, h - 4, 4, h}, {w - 3, 0, w, 3}, {w - 3, h - 4, w, h}}},
  };
  for (const Case& c : cases) {
    platform::Rect pieces[4];
    const int n = g_mapView.SplitWrappedRect(c.in, pieces);
    ASSERT_EQ(n, static_cast<int>(c.pieces.size()));
    for (int i = 0; i < n; ++i) {
      EXPECT_EQ(pieces[i].left, c.pieces[static_cast<size_t>(i)].left) << i;
      EXPECT_EQ(pieces[i].top, c.pieces[static_cast<size_t>(i)].top) << i;
      EXPECT_EQ(pieces[i].right, c.pieces[static_cast<size_t>(i)].right) << i;
      EXPECT_EQ(pieces[i].bottom, c.pieces[static_cast<size_t>(i)].bottom) << i;
    }
  }
}

TEST_F(MapViewSounds, SquaresInViewOverlapTheViewSquare) {
  g_mapView.SetViewRect(platform::Rect{0, 0, 320, 200});  // a view square smaller than the map
  const int c = g_mapView.cellsAcross;
  ASSERT_LT(c, 40);
  g_mapView.SetCameraCell(2, 3, 0);  // the view square crosses both seams
  struct Case {
    const char* name;
    int x, y, size, expected;
  };
  const Case cases[] = {
      {"size 0", 2, 3, 0, 0},
      {"at the camera", 2, 3, 3, 1},
      {"across the seam", 47, 43, 5, 1},
      {"far away", 25, 24, 5, 0},
      {"just touching", 2 + c / 2 + 2, 3, 5, 1},
      {"just beyond", 2 + c / 2 + 4, 3, 5, 0},
      {"enclosing the whole view", 2, 3, c + 6, 1},
  };
  for (const Case& k : cases) EXPECT_EQ(g_mapView.IsSquareInView(k.x, k.y, k.size), k.expected) << k.name;
}

}  // namespace
}  // namespace map_test
