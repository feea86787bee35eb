#pragma once
// A silhouette of each creature type (0-27) for the interface's icons: the summoning spells,
// the figurines that summon a creature and the banes that slay one. Each is drawn in a box of
// 32 x 32 pixels, standing on its bottom edge, facing right.

#include "forge/IconArt.h"

namespace forge::icon {

inline constexpr int kCreatureGlyphTypes = 28;

// The silhouette of the type, placed with its box's top-left corner at (x, y) and scaled by
// `scale` (1: 32 pixels high).
Shape CreatureGlyph(int type, float x, float y, float scale);

}  // namespace forge::icon
