#pragma once
// The print target every sprite printer writes into and its clip rectangle. What the
// printers read of the battle (its tick, its scroll buffer) is in graphics/BattleFacing.h.

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

// Sets up the battle's second target (BattleState(), graphics/BattleFacing.h): a buffer of
// (width + 2 margin) x (height + 2 margin) pixels whose visible part, width x height, starts
// margin rows down and margin pixels in. A null buffer clears it.
void SetSecondTarget(uint16_t* buffer, int width, int height, int margin);

// Row displacements of the water printers, filled by InitSpriteWaveTable.
extern int g_spriteWaveTable[16];
void InitSpriteWaveTable();
