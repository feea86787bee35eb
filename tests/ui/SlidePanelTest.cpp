// Slide panels: their way in from a corner, their stay, their way out, the panel set that
// keeps them apart, and the sound that follows them.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/Preferences.h"
#include "core/Random.h"
#include "forge/Wave.h"
#include "platform/AudioOutput.h"
#include "sound/SoundManager.h"
#include "support/TestSupport.h"
#include "ui/SlidePanel.h"

namespace {

int g_panelsAlive = 0;

struct TestPanel : CSlidePanel {
  TestPanel(int x, int y, int w, int h) : CSlidePanel(x, y, w, h) { ++g_panelsAlive; }
  ~TestPanel() override { --g_panelsAlive; }
  void Draw() override { ++draws; }
  int draws = 0;
};

class SlidePanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_prefs.isHighRes = 1;
    g_viewRandom.Seed(4);
  }
  void TearDown() override { g_prefs.isHighRes = 0; }
};

TEST_F(SlidePanelTest, StartsHalfOffARandomCorner) {
  std::vector<std::pair<int, int>> seen;
  for (int i = 0; i < 40; ++i) {
    int32_t x = 0, y = 0;
    RandomOffscreenCorner(100, 60, x, y);
    seen.emplace_back(x, y);
    EXPECT_TRUE(x == -50 || x == 800 - 50) << x;
    EXPECT_TRUE(y == -30 || y == 600 - 30) << y;
  }
  std::sort(seen.begin(), seen.end());
  seen.erase(std::unique(seen.begin(), seen.end()), seen.end());
  EXPECT_EQ(seen.size(), 4u);  // every corner comes up
}

// In by halving the distance, 80 frames at its place, then out sideways, accelerating.
TEST_F(SlidePanelTest, FliesInStaysAndFliesOut) {
  TestPanel panel(100, 100, 120, 80);
  const int startX = panel.x, startY = panel.y;
  const int frames = panel.CountFramesToTarget();
  int expectedX = startX, expectedY = startY, steps = 0;
  while (std::abs(panel.x - 100) > 1 || std::abs(panel.y - 100) > 1) {
    ASSERT_EQ(panel.Step(), 1);
    expectedX += (100 - expectedX) / 2;
    expectedY += (100 - expectedY) / 2;
    EXPECT_EQ(panel.x, expectedX);
    EXPECT_EQ(panel.y, expectedY);
    ASSERT_LT(++steps, 50);
  }
  EXPECT_LE(frames, steps);
  EXPECT_GE(frames, steps - 1);
  // The frame that arrived counts as the first of the 80 at the target.
  int stay = 1;
  while (panel.mode == kSlideHalve) {
    ASSERT_EQ(panel.Step(), 1);
    ++stay;
    ASSERT_LT(stay, 200);
  }
  EXPECT_EQ(stay, 80);
  EXPECT_EQ(panel.mode, kSlideAccelerate);
  EXPECT_TRUE(panel.targetX == -120 || panel.targetX == 800);
  EXPECT_EQ(panel.targetY, 100);  // halving stops within a pixel; the way out keeps the line
  const int direction = panel.targetX < 0 ? -1 : 1;
  std::vector<int> moves;
  int previous = panel.x, alive = 1;
  while (alive) {
    alive = panel.Step();
    moves.push_back((panel.x - previous) * direction);
    previous = panel.x;
    ASSERT_LT(moves.size(), 30u);
  }
  EXPECT_EQ(std::vector<int>(moves.begin(), moves.begin() + 5), (std::vector<int>{1, 2, 4, 8, 16}));
  EXPECT_EQ(panel.x, panel.targetX);
}

TEST_F(SlidePanelTest, OtherModesAndADwellForGood) {
  TestPanel jump(300, 200, 50, 50);
  jump.mode = kSlideJump;
  EXPECT_EQ(jump.CountFramesToTarget(), 1);
  jump.Step();
  EXPECT_EQ(jump.x, 300);
  EXPECT_EQ(jump.y, 200);

  TestPanel forever(300, 200, 50, 50);
  forever.dwell = CSlidePanel::kDwellForever;
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(forever.Step(), 1);
  EXPECT_NEAR(forever.x, 300, 1);
  EXPECT_EQ(forever.mode, kSlideHalve);

  TestPanel accelerating(300, 200, 50, 50);
  accelerating.mode = kSlideAccelerate;
  const int frames = accelerating.CountFramesToTarget();
  int steps = 0;
  while (std::abs(accelerating.x - 300) > 2 || std::abs(accelerating.y - 200) > 2) {
    accelerating.Step();
    ++steps;
  }
  EXPECT_EQ(frames, steps);
}

TEST_F(SlidePanelTest, ThePanelSetKeepsPanelsApartAndDeletesFinishedOnes) {
  {
    CSlidePanelSet set;
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(set.Add(std::make_unique<TestPanel>(200, 200, 100, 40)));
    EXPECT_EQ(set.Slot(0)->targetY, 200);
    EXPECT_EQ(set.Slot(1)->targetY, 160);  // moved up by its height
    EXPECT_EQ(set.Slot(2)->targetY, 240);  // moved down
    for (int i = 3; i < CSlidePanelSet::kSlots; ++i) ASSERT_TRUE(set.Add(std::make_unique<TestPanel>(50, 50, 10, 10)));
    EXPECT_EQ(g_panelsAlive, 8);
    // A ninth panel is refused and released at once.
    EXPECT_FALSE(set.Add(std::make_unique<TestPanel>(50, 50, 10, 10)));
    EXPECT_EQ(g_panelsAlive, 8);
    set.Draw();
    EXPECT_EQ(static_cast<TestPanel*>(set.Slot(0))->draws, 1);
    set.Slot(0)->dwell = 0;
    set.Slot(0)->mode = kSlideJump;
    set.Step();  // slot 0 arrives with no dwell left: it is done
    EXPECT_EQ(set.Slot(0), nullptr);
    EXPECT_EQ(set.Count(), 7);
  }
  EXPECT_EQ(g_panelsAlive, 0);
}

TEST_F(SlidePanelTest, ALoopingSoundPansWithThePanel) {
  testing_support::TempDir dir(true);
  platform::SetManualAudioOutput(true);
  dir.Write("Sounds/hum.wav", forge::WaveFileBytes({}, std::vector<int16_t>(256, 500)));
  dir.Write("Sounds/Sounds.ini", "[Sounds]\n5=hum\n410=hum\n");
  {
    CSoundManager manager;
    ASSERT_EQ(manager.Init(nullptr, nullptr, "Sounds"), 0);
    ASSERT_EQ(manager.LoadLevelSounds(1), 0);
    CSoundInstance* hum = nullptr;
    ASSERT_EQ(manager.Play(5, 0, 0, &hum, 1), 0);
    TestPanel panel(0, 100, 200, 50);
    panel.mode = kSlideJump;
    panel.sound = &hum;
    for (int x : {0, 300, 600}) {
      panel.targetX = x;
      panel.Step();
      EXPECT_EQ(hum->buffer->Pan(), (6666 / (200 + 800)) * (x + 100) - 3333) << x;
    }
  }
  platform::SetManualAudioOutput(false);
}

}  // namespace
