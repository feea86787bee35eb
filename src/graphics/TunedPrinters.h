#pragma once
// Printers tuned for the processor, their selection at start-up, and the copy of the
// second target buffer. Each tuned printer writes exactly the pixels of its portable
// counterpart; the schedules are one for every x86-64 processor (scalar, a pixel a step),
// one for processors with AVX2 (gathers of eight and sixteen pixels a run) and one for
// AVX-512 with byte permutes (VBMI), which prints a row 64 columns at a time through masks,
// chosen at run time.

#include "graphics/SpritePrinter.h"
#include "graphics/TypePrinters.h"

// What the processor probe tells the printer selection.
struct PrinterProcessor {
  bool hasAvx2 = false;
  bool hasAvx512Vbmi = false;  // AVX-512 F, BW and VBMI
  // Set when the vector printers of these units were timed slower than the scalar ones on
  // this machine: the selection then keeps the scalar ones (the same pixels).
  bool vectorPrintersSlower = false;
  // Set when the scalar tuned printer was timed slower than the portable one (the same
  // pixels; on some machines the compiler's schedule of the portable loop wins).
  bool scalarPrinterSlower = false;
};

// The processor this program runs on, as far as the printers care (its vector units).
PrinterProcessor DetectPrinterProcessor();

// Times the main vector printer of the units against the scalar one, printing a small
// figure into a scratch target (the print target is given back as it was): true when the
// vector one took longer. False when the units give no vector printer.
bool VectorPrintersAreSlower(const PrinterProcessor& processor);
// Times the scalar tuned printer against the portable one the same way: true when it took
// longer.
bool ScalarPrinterIsSlower();

// Fills the four printer pointers and the print types' printers (g_typePrinters) for the
// processor; then, while the option UseCSpritePrinter is on, the main pointer and the print
// types get the portable printers.
void SelectSpritePrinters(const PrinterProcessor& processor);

PrintResult PrintSpriteSse2(CSpriteFrame frame, int x, int y, int light, int listIndex);
PrintResult PrintSpriteAvx2(CSpriteFrame frame, int x, int y, int light, int listIndex);
PrintResult PrintSpriteAvx512(CSpriteFrame frame, int x, int y, int light, int listIndex);
PrintResult PrintSpriteWideSse2(CSpriteFrame frame, int x, int y, int light, int listIndex);
PrintResult PrintSpriteWideAvx2(CSpriteFrame frame, int x, int y, int light, int listIndex);
PrintResult PrintSpriteWideAvx512(CSpriteFrame frame, int x, int y, int light, int listIndex);
// The translucent, additive and shimmer printers of each schedule. They look each run up
// as the main printer of the schedule does and blend it over the target in a loop built for
// the same units. They answer 0 without checking the run sums, as the main tuned printers do.
extern const TypePrinterSet kTypePrintersSse2, kTypePrintersAvx2, kTypePrintersAvx512;
PrintResult PrintSpriteWaterSse2(CSpriteFrame frame, int x, int y);
// 16-bit frames as they are, whatever the option g_hide_HC_sprites says. The C library's
// copy already moves their runs with the processor's widest stores.
PrintResult PrintFrame16Tuned(CSpriteFrame frame, int x, int y);

// Copies the visible part of the battle's second target buffer (BattleState()) into the print
// target: g_spriteRows rows of g_spritePitch pixels from its origin, rows g_spritePitch + 2 x
// its margin apart. Rows that would read past the buffer's size (set with it by SetSecondTarget) are not copied.
void CopyToSpriteTarget();
