#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "core/Main.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "game/MainLoop.h"
#include "graphics/BattleFacing.h"
#include "platform/Clock.h"

namespace {

// A tick count that moves by `step` every time it is read, so the pacer's busy wait ends.
class SteppingClock {
 public:
  SteppingClock(uint32_t start, uint32_t step) : now_(start), step_(step) {
    platform::SetTickSource([this] { return now_.fetch_add(step_); });
  }
  ~SteppingClock() { platform::SetTickSource({}); }
  uint32_t Now() const { return now_; }
  void SetStep(uint32_t step) { step_ = step; }

 private:
  std::atomic<uint32_t> now_;
  std::atomic<uint32_t> step_;
};

// The message panel's lines, as the battle would show them.
struct MessagePanel : IBattleFacing {
  void PrintMessageLine(const char* text, int line, int frames) override {
    lines.push_back(text + std::string(" @") + std::to_string(line) + "/" + std::to_string(frames));
  }
  std::vector<std::string> lines;
};

class FramePacer : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGlobalOptions();
    ResetFramePacer();
    g_prefs.Reset();
  }
  void TearDown() override {
    ResetGlobalOptions();
    ResetFramePacer();
  }
  void SkipEvery(int every, int count) {
    g_frameSkipEvery = every;
    g_frameSkipCount = count;
    g_skipCountdown = every;
  }
  MessagePanel panel_;
  HookScope<IBattleFacing> scope_{g_battleFacing, panel_};
  std::vector<std::string>& lines_ = panel_.lines;
};

TEST_F(FramePacer, WaitsForTheFramePeriodSinceTheLastDrawnFrame) {
  SteppingClock clock(1000, 1);
  g_lastFrameTick = 1000;
  g_spritesPrinted = 12;
  g_overdrawCount = 34;
  PaceFrame();
  EXPECT_GE(g_lastFrameTick, 1050u);
  EXPECT_LE(g_lastFrameTick, 1053u);
  EXPECT_GE(g_idleTime, 48u);
  EXPECT_EQ(g_framesDrawn, 1);
  EXPECT_EQ(g_spritesPrinted, 0);
  EXPECT_EQ(g_overdrawCount, 0);
}

TEST_F(FramePacer, TheWaitSurvivesTheTickCountWrapping) {
  SteppingClock clock(0xFFFFFFF0u, 1);
  g_lastFrameTick = 0xFFFFFFF0u;
  PaceFrame();
  EXPECT_GE(g_lastFrameTick, 0x22u);  // 50 ticks later, past the wrap
  EXPECT_LT(g_lastFrameTick, 0x100u);
}

TEST_F(FramePacer, OneFrameInFourIsSkippedWithoutWaiting) {
  SteppingClock clock(0, 1);
  SkipEvery(3, 1);
  std::vector<int> skipped;
  for (int frame = 1; frame <= 8; ++frame) {
    uint32_t before = g_lastFrameTick;
    PaceFrame();
    if (g_skipThisFrame) {
      skipped.push_back(frame);
      EXPECT_EQ(g_lastFrameTick, before);
    } else {
      EXPECT_GE(g_lastFrameTick - before, 66u);  // (3 + 1) x 50 / 3
    }
  }
  EXPECT_EQ(skipped, (std::vector<int>{4, 8}));
}

TEST_F(FramePacer, ARedrawRequestIsDrawnButTheCountdownStillMoves) {
  SteppingClock clock(0, 1);
  SkipEvery(3, 1);
  for (int frame = 1; frame <= 3; ++frame) PaceFrame();
  g_noSkipThisFrame = 1;
  PaceFrame();
  EXPECT_EQ(g_skipThisFrame, 0);
  EXPECT_EQ(g_noSkipThisFrame, 0);
  EXPECT_EQ(g_skipCountdown, 3);
}

TEST_F(FramePacer, WithoutTheFrameRateShownTheSkipSettingsNeverChange) {
  SteppingClock clock(0, 40);  // every frame far too slow
  for (int frame = 0; frame < 100; ++frame) PaceFrame();
  EXPECT_EQ(g_frameSkipEvery, 0);
  EXPECT_EQ(g_frameSkipCount, 1);
  EXPECT_TRUE(lines_.empty());
}

TEST_F(FramePacer, TheReviewSkipsMoreWhenSlowAndLessWhenIdle) {
  g_showFrameRate = 1;
  SteppingClock clock(0, 40);
  int frames = 0;
  while (g_frameSkipEvery == 0 && frames < 200) {
    PaceFrame();
    ++frames;
  }
  EXPECT_EQ(g_frameSkipEvery, 3);
  EXPECT_EQ(g_frameSkipCount, 1);
  EXPECT_EQ(g_idleTime, 0u);

  // Now plenty of time to spare: skipping comes off again.
  clock.SetStep(1);
  frames = 0;
  while (g_frameSkipEvery != 0 && frames < 500) {
    PaceFrame();
    ++frames;
  }
  EXPECT_EQ(g_frameSkipEvery, 0);
}

TEST_F(FramePacer, TenFramesWithinOneTickShowARateWithoutDividingByZero) {
  g_showFrameRate = 1;
  g_prefs.framePeriod = 0;
  SteppingClock clock(500, 0);
  g_lastFpsTick = 500;
  g_fpsFrame = 10;
  PaceFrame();
  ASSERT_EQ(lines_.size(), 1u);
  EXPECT_EQ(lines_[0], "fps: 10000.00 @3/100");
  EXPECT_EQ(g_fpsFrame, 1);
}

}  // namespace
