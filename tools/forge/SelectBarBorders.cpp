// The border art of the reduced battle view: the bottom control block stands on carved stone
// instead of the map. bitmaps\border<w>x<h>-1.bmp is the popup strip's (596 or 436 x 140),
// -2 the select bar's (204 x 140); each has a socket where a button or the portrait sits.
#include <array>
#include <cstdio>
#include <string>

#include "forge/Forge.h"
#include "forge/IconShapes.h"
#include "forge/Pictures.h"

namespace forge {

using namespace icon;

namespace {

constexpr int kBlockHeight = 140;
constexpr int kPopupButtons = 26;

// Stone: a cool grey with a grain of noise, darker toward the bottom.
Shader Stone(uint32_t seed) {
  return [seed](float x, float y) {
    const float grain = FractalNoise(x / 9, y / 9, seed, 4), fleck = ValueNoise(x / 1.7f, y / 1.7f, seed + 7);
    const float v = 0.75f + 0.35f * grain + 0.08f * fleck - 0.25f * (y / kBlockHeight);
    return Colour{62 * v, 60 * v, 66 * v};
  };
}

// A place carved into the stone: a dark rim, and a floor of the same stone in shadow, so
// that an empty one reads as a recess rather than a hole.
void Socket(Raster& r, const Shape& s) {
  r.Fill(Grow(s, 2), Rgb(24, 22, 26));
  r.Bevel(Grow(s, 2), 2.5f, 0.3f);
  r.Fill(s, Stone(31), 0.55f);
}

void Trim(Raster& r) {
  // A gold line along the top edge and a dark groove under it.
  r.Fill(Box(0, 0, static_cast<float>(r.Width()), 2.5f),
         VerticalGradient(0, 2.5f, Rgb(240, 210, 120), Rgb(150, 110, 40)));
  r.Fill(Box(0, 2.5f, static_cast<float>(r.Width()), 4), Rgb(20, 18, 22));
}

RgbPicture StripBorder(int width) {
  Raster r(width, kBlockHeight);
  r.Fill(Box(0, 0, static_cast<float>(width), kBlockHeight), Stone(11));
  Trim(r);
  // The popup buttons' places, as the select bar lays them out.
  int x = width - 44, row = 0;
  for (int i = 0; i < kPopupButtons; ++i) {
    if (x < 4) {
      ++row;
      x = width - (row % 2 ? 68 : 44);
    }
    const float top = 90.0f - 44 * row;
    Socket(r, Box(static_cast<float>(x) + 1, top + 1, static_cast<float>(x) + 39, top + 43, 6));
    x -= 48;
  }
  return r.ToPicture(Rgb(0, 0, 0));
}

RgbPicture BarBorder() {
  Raster r(204, kBlockHeight);
  r.Fill(Box(0, 0, 204, kBlockHeight), Stone(23));
  Trim(r);
  Socket(r, Box(43, 91, 81, 133, 6));   // the slot button
  Socket(r, Circle(18, 116, 17));       // the toggle
  Socket(r, Ring(142, 70, 46.5f, 10));  // the mana bar
  Socket(r, Circle(142, 70, 40));       // the portrait
  r.Fill(Ring(142, 70, 52.5f, 1.5f), Rgb(180, 140, 60));
  return r.ToPicture(Rgb(0, 0, 0));
}

}  // namespace

FORGE_STEP(SelectBarBorders) {
  for (const auto [width, height, strip] : {std::array{800, 600, 596}, std::array{640, 480, 436}}) {
    char name[64];
    std::snprintf(name, sizeof name, "bitmaps\\border%dx%d-1.bmp", width, height);
    ctx.WriteFile(name, MakeBmp24(StripBorder(strip)));
    std::snprintf(name, sizeof name, "bitmaps\\border%dx%d-2.bmp", width, height);
    ctx.WriteFile(name, MakeBmp24(BarBorder()));
  }
}

}  // namespace forge
