// The frame pacer: frame-rate display, frame skipping and the wait for the frame period.
#include <cstdio>

#include "core/Main.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "game/MainLoop.h"
#include "graphics/BattleFacing.h"
#include "platform/Clock.h"

namespace {

void ShowFrameRate() {
  if (g_fpsFrame != 10) {
    ++g_fpsFrame;
    return;
  }
  const uint32_t now = platform::TickCount();
  // Ten frames within one tick would divide by zero: count them as one millisecond.
  uint32_t elapsed = now - g_lastFpsTick;
  if (elapsed == 0) elapsed = 1;
  char text[64];
  std::snprintf(text, sizeof text, "fps: %02.2f", 10000.0 / elapsed);
  Battle().PrintMessageLine(text, 3, 100);
  g_fpsFrame = 1;
  g_lastFpsTick = platform::TickCount();
}

void DecideSkip() {
  g_skipThisFrame = 0;
  if (!g_frameSkipEvery || !g_frameSkipCount) return;
  if (g_skipCountdown >= g_frameSkipCount) {
    --g_skipCountdown;
    return;
  }
  if (g_skipCountdown == 0)
    g_skipCountdown = g_frameSkipEvery;
  else
    --g_skipCountdown;
  if (!g_noSkipThisFrame) g_skipThisFrame = 1;
}

uint32_t Period() {
  const uint32_t framePeriod = static_cast<uint32_t>(g_prefs.framePeriod);
  if (g_frameSkipEvery && g_frameSkipCount)
    return (static_cast<uint32_t>(g_frameSkipEvery) + 1) * framePeriod / static_cast<uint32_t>(g_frameSkipEvery);
  return framePeriod;
}

// Tick differences are taken modulo 2^32, so the wait survives the tick count's wrap.
void WaitForPeriod(uint32_t period) {
  const uint32_t now = platform::TickCount();
  if (now - g_lastFrameTick < period) {
    g_idleTime += period - (now - g_lastFrameTick);
    platform::WaitTicks(g_lastFrameTick, period);
  }
  g_lastFrameTick = platform::TickCount();
  ++g_framesDrawn;
}

void ReviewSkipSettings(uint32_t period) {
  const uint32_t now = platform::TickCount();
  if (!g_showFrameRate || g_framesCounted <= 0 || now - g_lastRateTick < 1000) return;
  const uint32_t average = (now - g_lastRateTick) / static_cast<uint32_t>(g_framesCounted);
  g_lastRateTick = now;
  if (g_frameSkipCount != 0) {
    const uint32_t slack = period / 20;
    const bool atLimit = g_frameSkipCount >= g_frameSkipMax && g_frameSkipCount == g_frameSkipEvery;
    if (average > period + slack && !atLimit) {
      // Too slow: skip more.
      if (g_frameSkipEvery == 0)
        g_frameSkipEvery = 3;
      else if (g_frameSkipEvery > 1 && g_frameSkipCount == 1)
        --g_frameSkipEvery;
      else {
        ++g_frameSkipCount;
        ++g_frameSkipEvery;
      }
      g_idleTime = 0;
    } else {
      const bool idle = g_idleTime > slack || g_framesCounted > g_frameSkipCount + g_prefs.maxFramesPerSec - 1;
      if (idle && g_frameSkipEvery != 0) {
        // Fast enough: skip less.
        if (g_frameSkipCount > 1) {
          --g_frameSkipEvery;
          --g_frameSkipCount;
        } else if (g_frameSkipEvery == 3) {
          g_frameSkipEvery = 0;
        } else {
          ++g_frameSkipEvery;
        }
      }
      g_idleTime = 0;
    }
  }
  g_framesCounted = 0;
  g_framesDrawn = 0;
}

}  // namespace

int PaceFrame() {
  g_spritesPrinted = 0;
  g_overdrawCount = 0;
  if (g_showFrameRate) ShowFrameRate();
  DecideSkip();
  const uint32_t period = Period();
  if (!g_skipThisFrame) WaitForPeriod(period);
  if (g_blitBenchmark) Battle().RunBlitBenchmark();
  ReviewSkipSettings(period);
  g_noSkipThisFrame = 0;
  return ++g_framesCounted;
}

void ResetFramePacer() {
  g_skipThisFrame = g_noSkipThisFrame = 0;
  g_lastFrameTick = g_idleTime = 0;
  g_framesDrawn = g_framesCounted = 0;
  g_lastRateTick = 0;
  g_fpsFrame = 1;
  g_lastFpsTick = 0;
  g_blitBenchmark = 0;
  g_spritesPrinted = 0;
  g_overdrawCount = 0;
}
