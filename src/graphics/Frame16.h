#pragma once
// Frames whose pixels are 16-bit values in the display's format (palette field -1): the
// interface pictures of sprites without palettes and the pre-shaded copies of the frame
// cache. Printed without a colour table.

#include <cstddef>

#include "graphics/SpriteFrame.h"

// Bytes the shaded 16-bit copy of an 8-bit frame occupies.
size_t ShadedFrameSize(CSpriteFrame frame);

// Writes the 16-bit copy of an 8-bit frame, shaded by the table of the light level and
// list index, into destination (capacity bytes). Answers 0, or -1 with nothing written
// when the copy does not fit, the frame is not an 8-bit frame or the list index is past
// the end of its list.
int ShadeFrameToCache(CSpriteFrame frame, uint8_t* destination, size_t capacity, int light, int listIndex);

// Copies the frame's pixels as they are. Nothing while g_hide_HC_sprites is set, nor for a
// frame of 8-bit pixels.
PrintResult PrintFrame16(CSpriteFrame frame, int x, int y);

// The same in grey (disabled buttons); a frame crossing a side of the clip rectangle is
// printed in its own colours.
PrintResult PrintFrame16Grey(CSpriteFrame frame, int x, int y);

// The grey of a pixel in the display's format.
uint16_t GreyPixel(uint16_t pixel);
