#pragma once
// The display's 16-bit pixel format. Every routine that packs or splits a 16-bit colour
// follows it. Our display is always 5-6-5; 5-5-5 stays supported because colour tables and
// frames are built for whichever format the display reports.

#include <cstdint>

extern uint16_t g_redMask;
extern uint16_t g_greenMask;
extern uint16_t g_blueMask;
extern int g_is555;  // 1 on a 5-5-5 display, 0 on 5-6-5

// Packs 8-bit channels into a pixel of the current format.
inline uint16_t PackColour(int r, int g, int b) {
  if (g_is555) return static_cast<uint16_t>(((r & 0xF8) << 7) | ((g & 0xF8) << 2) | ((b & 0xFF) >> 3));
  return static_cast<uint16_t>(((r & 0xF8) << 8) | ((g & 0xFC) << 3) | ((b & 0xFF) >> 3));
}
