#pragma once
// The blit benchmark of the battle's debug key: the cycles the portable printer of 16-bit
// frames takes against the one in g_printFrame16, once per frame while switched on.

#include <cstdint>

#include "graphics/SpriteFrame.h"

// The cycle counter (the processor's time-stamp counter; tests replace it).
extern uint64_t (*g_readCycleCounter)();
// The smallest cycle counts seen so far (portable, tuned); 0xFFFFFFFF until measured.
extern uint32_t g_blitBenchmarkMinimum[2];

// Prints the shaded copy of the frame twenty times with each printer into the buffer
// (width x rows pixels, the back buffer with its margins) and answers the portable
// printer's best minus the tuned printer's best; 0 when the work buffer cannot be had or
// the frame cannot be shaded. The result is shown on the battle's message panel
// (IBattleFacing::ShowBlitBenchmark).
int BenchmarkBlit(uint16_t* pixels, int width, int rows, CSpriteFrame frame);
