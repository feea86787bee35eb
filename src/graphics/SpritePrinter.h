#pragma once
// The sprite printers behind the four printer pointers, the portable printer that every
// other printer mirrors, and PrintSpriteFrame, through which most callers print.

#include "graphics/SpriteFrame.h"

using SpritePrinter = PrintResult (*)(CSpriteFrame frame, int x, int y, int light, int listIndex);
using MaskPrinter = PrintResult (*)(CSpriteFrame frame, int x, int y);

// Filled at start-up for the processor (see SelectSpritePrinters); until then the portable
// printers.
extern SpritePrinter g_printSprite;     // main printer
extern SpritePrinter g_printSpriteAlt;  // wide (32-bit) colour tables
extern MaskPrinter g_printSpriteWater;
extern MaskPrinter g_printFrame16;

// Prints a frame through the colour table of its light level (-128..127, 0 the palette's
// own colours) and list index, with its hotspot at x, y. Answers 3 when a row that needed
// horizontal clipping did not add up; refuses a list index past the end of the list.
PrintResult PrintSpriteFrameC(CSpriteFrame frame, int x, int y, int light, int listIndex);

// The same through a wide node's 32-bit tables.
PrintResult PrintSpriteWideC(CSpriteFrame frame, int x, int y, int light, int listIndex);

// Water: every pixel under the frame's opaque runs takes the pixel a wave's displacement
// to its right. Answers 1 (nothing drawn) when the frame needs horizontal clipping.
PrintResult PrintSpriteWaterC(CSpriteFrame frame, int x, int y);

// A black silhouette. Answers 1 (nothing drawn) when the frame needs horizontal clipping.
PrintResult PrintSpriteBlack(CSpriteFrame frame, int x, int y);

// The entry most callers use: 16-bit frames through g_printFrame16, light -127 as a black
// silhouette, everything else through g_printSprite, falling back to the portable printer
// when a printer answers 1. Counts the print in g_spritesPrinted.
PrintResult PrintSpriteFrame(CSpriteFrame frame, int x, int y, int light, int listIndex);
