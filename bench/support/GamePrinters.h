#pragma once
// The sprite printers the game picks at start-up, for the benches that print.

#include <utility>

#include "graphics/SpritePrinter.h"
#include "graphics/TunedPrinters.h"
#include "support/BenchData.h"

// The main printer the game picks for a processor with these units: with the forged
// options, and timed against the scalar one as start-up times it. Installs it when `keep`.
inline SpritePrinter SelectGamePrinters(PrinterProcessor processor, bool keep) {
  LoadForgedOptions();
  const SpritePrinter saved = g_printSprite;
  processor.vectorPrintersSlower = VectorPrintersAreSlower(processor);
  processor.scalarPrinterSlower = ScalarPrinterIsSlower();
  SelectSpritePrinters(processor);
  const SpritePrinter chosen = g_printSprite;
  if (!keep) g_printSprite = saved;
  return chosen;
}

inline const char* PrinterName(SpritePrinter printer) {
  static const std::pair<SpritePrinter, const char*> kNames[] = {{PrintSpriteFrameC, "portable"},
                                                                 {PrintSpriteSse2, "scalar"},
                                                                 {PrintSpriteAvx2, "AVX2"},
                                                                 {PrintSpriteAvx512, "AVX-512"}};
  for (const auto& [known, name] : kNames)
    if (known == printer) return name;
  return "other";
}
