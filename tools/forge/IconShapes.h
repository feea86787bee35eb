#pragma once
// The shapes and colours the interface's icons share: the button tile, stars, drops, bolts,
// flames, arrows, clouds, skulls, figures and snowflakes, each placed and sized by its
// arguments, and the outline every picture gets.

#include "forge/IconArt.h"

namespace forge::icon {

inline constexpr float kPi = 3.14159265f;
inline constexpr int kTileWidth = 40;
inline constexpr int kTileHeight = 44;
extern const Colour kCream;
extern const Colour kInk;
extern const Colour kGold;
extern const Colour kFire;
extern const Colour kIce;
extern const Colour kBlood;
extern const Colour kSteel;

struct TileColours {
  Colour top, bottom;
};

// The button's tile, 40 x 44: a rim of the colour round a bevelled face from top to bottom.
void Tile(Raster& r, Colour top, Colour bottom, Colour rim);
// A picture in the colour (or shader) with the dark outline every icon picture has.
inline void Plain(Raster& r, const Shape& s, Colour c = kCream) { r.Outlined(s, c, kInk, 1.3f); }
inline void Plain(Raster& r, const Shape& s, const Shader& shader) { r.Outlined(s, shader, kInk, 1.3f); }

Shape Star(float cx, float cy, float outer, float inner, int points, float turn = 0);
Shape Bolt(float x, float y, float s);
Shape Flame(float cx, float base, float w, float h);
Shape Drop(float cx, float cy, float r);
Shape Skull(float cx, float cy, float s);
Shape Arrow(float x0, float y0, float x1, float y1, float w);
Shape Cloud(float cx, float cy, float s);
Shape Snowflake(float cx, float cy, float r);
Shape Person(float cx, float top, float s);
Shape Totem(float cx);

}  // namespace forge::icon
