#pragma once
// The print target every sprite printer writes into, its clip rectangle, and the few
// globals of the battle that the printers read.

#include <cstddef>
#include <cstdint>

// The target: the first pixel, the row length in pixels and the number of rows.
extern uint16_t* g_spriteTarget;
extern int g_spritePitch;
extern int g_spriteRows;

// The clip rectangle in target pixels; right and bottom are exclusive. Always inside the
// target: SetSpriteClipRect and SetSpriteTarget keep it so.
extern int g_clipTop;
extern int g_clipLeft;
extern int g_clipRight;
extern int g_clipBottom;

void SetSpriteTarget(uint16_t* pixels, int pitch, int rows);
// Sets the clip rectangle, cut to the target (now and whenever the target changes).
void SetSpriteClipRect(int top, int left, int right, int bottom);

// The battle's second target buffer (null when unused): while it is set the portable
// printer leaves frames that need horizontal clipping alone, and CopyToSpriteTarget copies
// its visible part (from the origin, rows of pitch + 2 x margin pixels) to the target.
extern uint16_t* g_secondTarget;
extern uint16_t* g_secondTargetOrigin;
extern int g_secondTargetMargin;
// The second target's size in pixels; the copy never reads past it.
extern size_t g_secondTargetSize;

// Sets up the second target: a buffer of (width + 2 margin) x (height + 2 margin) pixels
// whose visible part, width x height, starts margin rows down and margin pixels in. A null
// buffer clears it.
void SetSecondTarget(uint16_t* buffer, int width, int height, int margin);

// The battle's tick counter; the shimmer and water printers move their patterns with it.
extern int g_gameTick;

// Row displacements of the water printers, filled by InitSpriteWaveTable.
extern int g_spriteWaveTable[16];
void InitSpriteWaveTable();
