#pragma once
// The select bar's art: "sprites\SplIcons.spr" (a 40 x 44 icon per spell and per carried
// item kind, the 32 mana fills, the 6 charge marks and the 12 frames of the blinking
// selection mark) and "sprites\Selbut.spr" (the toggle that opens and closes the popup
// strip: closed, closed pressed, open, open pressed).
//
// Spell icons take the colour of the spell's alignment (Law blue, Neutral green, Vrask red)
// and a sign of its family behind the picture (a summoning ring, an aura, strike streaks, a
// totem's ground, a missile's flight lines); item icons stand on slate and show the object.

#include "forge/IconArt.h"

namespace forge {

inline constexpr int kIconWidth = 40;
inline constexpr int kIconHeight = 44;

// The frame numbers of the file (the same rules as the game's reader).
inline constexpr int kIconFrames = 253;
inline constexpr int SpellIconFrame(int spell) { return spell >= 94 ? 234 + spell - 94 : spell + 2; }
inline constexpr int ItemIconFrame(int kind) { return kind >= 88 ? 244 + kind - 88 : kind + 134; }

// One icon, drawn at (0, 0) of a 40 x 44 raster.
icon::Raster SpellIcon(int spell);
icon::Raster ItemIcon(int kind);
// The object of an item kind alone, on a clear 40 x 44 raster (its look lying on the map).
icon::Raster ItemFigure(int kind);
icon::Raster ManaFill(int step);        // 0-31
icon::Raster ChargeMark(int step);      // 0-5
icon::Raster SelectionMark(int blink);  // 0-11

}  // namespace forge
