#pragma once
// The print-type printers: how a frame is put on the target for each print type (shadow,
// translucent, outline, additive, shimmer, trail, tint) and the glyph printer of the fonts.
// All share the print target, the clip rectangle and the table choice of the portable
// printer, and answer 3 when a printed row's runs do not add up.

#include "core/Main.h"  // g_overdrawCount
#include "graphics/SpritePrinter.h"

extern const int g_shimmerAmplitude;  // 3
extern int g_shimmerTable[32];        // entry 0 holds 32000 until built
// Rows 0..16 of 32 displacements each, so that every level 1..16 and phase fits.
extern int g_shimmerLevelTable[17][32];
extern int g_trailSwitch;  // non-zero: trails fade their later parts
extern SpritePrinter g_savedPrinter;
extern uint16_t g_tintValue;
extern float g_glyphWeights[64];

// The halving mask of the display format: (p >> 1) & M halves every channel.
uint16_t HalvingMask();

PrintResult PrintSpriteShadow(CSpriteFrame frame, int x, int y);
PrintResult PrintSpriteTrail(CSpriteFrame frame, int x, int y, int light, int listIndex);
PrintResult PrintSpriteTrans25(CSpriteFrame frame, int x, int y, int light, int listIndex);
PrintResult PrintSpriteTrans50(CSpriteFrame frame, int x, int y, int light, int listIndex);
PrintResult PrintSpriteTrans75(CSpriteFrame frame, int x, int y, int light, int listIndex);
PrintResult PrintSpriteOutline(CSpriteFrame frame, int x, int y, int light, int listIndex);
PrintResult PrintSpriteAdditive(CSpriteFrame frame, int x, int y, int light, int listIndex);
PrintResult PrintSpriteShimmer(CSpriteFrame frame, int x, int y, int light, int listIndex);
PrintResult PrintSpriteColourOutline(CSpriteFrame frame, int x, int y, int light, int red, int green, int blue);
PrintResult PrintSpriteShimmerLevel(CSpriteFrame frame, int x, int y, int level);
// Swaps the main printer with the overdraw view and back.
void ToggleTintPrinter();
PrintResult PrintSpriteTinted(CSpriteFrame frame, int x, int y, int light, int listIndex);
// A glyph of coverage levels 0..63 blended over the target in the colour (8-bit channels).
PrintResult PrintFontGlyph(CSpriteFrame glyph, int x, int y, int red, int green, int blue);

// Prints with the printer of a print type (PRT_NORMAL and unknown types print plainly,
// PRT_NONE prints nothing).
PrintResult PrintSpriteOfType(int printType, CSpriteFrame frame, int x, int y, int light, int listIndex);

// The print types with printers tuned for the processor (TunedPrinters.h), which print the
// portable printers' pixels.
struct TypePrinterSet {
  SpritePrinter trans25, trans50, trans75, additive, shimmer;
  bool operator==(const TypePrinterSet&) const = default;
};
extern const TypePrinterSet kPortableTypePrinters;
// The ones PrintSpriteOfType, the trail's fades and the effects print with: chosen with the
// main printer at start-up (SelectSpritePrinters), the portable ones until then.
extern TypePrinterSet g_typePrinters;
