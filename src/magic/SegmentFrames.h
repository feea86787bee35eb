#pragma once
// The segment frame table: the dot picture the map view prints along a bolt or beam segment
// of a kind. Frames come from sprites\bolts.spr (loaded on first use); a kind past the
// table takes entry 0, and without the sprite there is no picture.

#include "graphics/SpriteFrame.h"

CSpriteFrame SegmentFrameOfKind(int kind);
// Lets the sprite go (the next request loads it again).
void FreeSegmentFrames();
