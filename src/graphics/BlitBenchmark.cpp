#include "graphics/BlitBenchmark.h"

#include <memory>
#include <new>

#include "graphics/BattleFacing.h"
#include "graphics/Frame16.h"
#include "graphics/PrintTarget.h"
#include "graphics/SpritePrinter.h"
#include "platform/Cpu.h"

namespace {
constexpr size_t kWorkBufferSize = 1024000;
constexpr int kPasses = 20;
constexpr int kAttempts = 3;

// One timed print; answers the cycles, or nothing when every attempt saw the counter run
// backwards or only the last attempt succeeded.
bool TimePrint(MaskPrinter printer, CSpriteFrame frame, int x, int y, uint32_t& cycles) {
  for (int attempt = 1; attempt <= kAttempts; ++attempt) {
    const uint64_t before = g_readCycleCounter();
    printer(frame, x, y);
    const uint64_t after = g_readCycleCounter();
    if (after < before) continue;
    cycles = static_cast<uint32_t>(after - before);
    return attempt < kAttempts;
  }
  return false;
}
}  // namespace

uint64_t (*g_readCycleCounter)() = platform::ReadTimeStampCounter;
uint32_t g_blitBenchmarkMinimum[2] = {0xFFFFFFFFu, 0xFFFFFFFFu};

int BenchmarkBlit(uint16_t* pixels, int width, int rows, CSpriteFrame frame) {
  SetSpriteTarget(pixels, width, rows);
  SetSpriteClipRect(0, 0, width, rows);
  std::unique_ptr<uint8_t[]> work(new (std::nothrow) uint8_t[kWorkBufferSize]);
  if (!work || ShadeFrameToCache(frame, work.get(), kWorkBufferSize, 0, 0) != 0) return 0;
  const CSpriteFrame cached{work.get(), nullptr};
  const MaskPrinter printers[2] = {PrintFrame16, g_printFrame16};
  const int columns[2] = {200, 400};
  for (int which = 0; which < 2; ++which) {
    for (int pass = 0; pass < kPasses; ++pass) {
      uint32_t cycles;
      if (TimePrint(printers[which], cached, columns[which], 200, cycles) && cycles < g_blitBenchmarkMinimum[which])
        g_blitBenchmarkMinimum[which] = cycles;
    }
  }
  const int64_t difference = static_cast<int64_t>(g_blitBenchmarkMinimum[0]) - g_blitBenchmarkMinimum[1];
  const int64_t tuned = g_blitBenchmarkMinimum[1];
  const int percent = tuned == 0 ? 0 : static_cast<int>(difference * 100 / tuned);
  Battle().ShowBlitBenchmark(static_cast<int>(difference), percent);
  return static_cast<int>(difference);
}
