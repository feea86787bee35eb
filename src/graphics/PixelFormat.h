#pragma once
// The display's 16-bit pixel format. Every routine that packs or splits a 16-bit colour
// follows it. Our display is always 5-6-5; 5-5-5 stays supported because colour tables and
// frames are built for whichever format the display reports.

#include <cstdint>

#include "platform/Pixels.h"

extern uint16_t g_redMask;
extern uint16_t g_greenMask;
extern uint16_t g_blueMask;
extern int g_is555;  // 1 on a 5-5-5 display, 0 on 5-6-5

// Packs 8-bit channels into a pixel of the current format.
inline uint16_t PackColour(int r, int g, int b) { return platform::PackRgb(r, g, b, g_is555 != 0); }
