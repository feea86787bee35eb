// The particle sprites hung on creatures: the flies of a pestered creature
// (sprites\FLYS.SPR), the sparkles of a cure (sprites\CURE.SPR) and the motes of a subverted
// creature (sprites\Subvert.SPR). The game prints a random frame of each with the palette's
// own colours, so every frame is a whole small picture with its hot spot at its middle.
#include "forge/ParticleArt.h"

#include <cmath>
#include <numbers>

#include "forge/Canvas.h"
#include "forge/Forge.h"
#include "forge/SpriteWriter.h"

namespace forge {

namespace {

constexpr double kPi = std::numbers::pi;

// A star of `points` rays of length `reach` round the middle of a canvas, bright at the
// middle and fading to the dark end of a ramp of `steps` entries.
Canvas Star(int size, int points, double reach, double turn, int first, int steps) {
  Canvas c(size, size);
  const double mid = (size - 1) / 2.0;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const double dx = x - mid, dy = y - mid, d = std::sqrt(dx * dx + dy * dy);
      const double angle = std::atan2(dy, dx) + turn;
      const double ray = std::pow(std::fabs(std::cos(angle * points / 2)), 6);
      const double strength = std::max(1 - d / 1.6, ray * (1 - d / reach));
      if (strength <= 0.12) continue;
      c.Set(x, y, first + std::min(steps - 1, static_cast<int>(strength * steps)));
    }
  return c;
}

// A curl of motes along a spiral.
Canvas Curl(int size, double turns, double phase, int first, int steps) {
  Canvas c(size, size);
  const double mid = (size - 1) / 2.0;
  for (int i = 0; i <= 40; ++i) {
    const double t = i / 40.0;
    const double angle = phase + t * turns * 2 * kPi, r = t * mid;
    const int x = static_cast<int>(std::lround(mid + r * std::cos(angle)));
    const int y = static_cast<int>(std::lround(mid + r * std::sin(angle) * 0.8));
    c.Set(x, y, first + std::min(steps - 1, static_cast<int>((1 - t * 0.7) * steps)));
  }
  c.Set(static_cast<int>(mid), static_cast<int>(mid), first + steps - 1);
  return c;
}

void Add(SpriteFileWriter& sprite, const Canvas& c) {
  sprite.AddFrame(EncodeFrame(c, c.Width() / 2, c.Height() / 2, 0));
}

}  // namespace

std::vector<uint8_t> FlySprite() {
  PaletteBuilder palette;
  const int body = palette.AddRamp(40, 36, 30, 4, 0.6, 0.1);
  const int wing = palette.AddRamp(200, 210, 220, 4, 0.7, 0.2);
  SpriteFileWriter sprite;
  sprite.AddPalette(palette.Bytes());
  // A dark body two pixels long; its wings up, level, down and blurred.
  for (int frame = 0; frame < 4; ++frame) {
    Canvas c(5, 4);
    c.Set(1, 2, body + 1);
    c.Set(2, 2, body + 2);
    c.Set(3, 2, body);
    switch (frame) {
      case 0:
        c.Set(1, 1, wing + 2);
        c.Set(3, 1, wing + 2);
        break;
      case 1:
        c.Set(0, 2, wing + 1);
        c.Set(4, 2, wing + 1);
        break;
      case 2:
        c.Set(1, 3, wing + 1);
        c.Set(3, 3, wing + 1);
        break;
      default:
        c.Set(1, 1, wing + 3);
        c.Set(3, 1, wing + 3);
        c.Set(0, 2, wing);
        c.Set(4, 2, wing);
        break;
    }
    Add(sprite, c);
  }
  return sprite.Bytes();
}

std::vector<uint8_t> CureSprite() {
  PaletteBuilder palette;
  constexpr int kSteps = 8;
  const int green = palette.AddRamp(90, 230, 120, kSteps, 0.35, 0.7);
  const int gold = palette.AddRamp(240, 230, 140, kSteps, 0.35, 0.8);
  SpriteFileWriter sprite;
  sprite.AddPalette(palette.Bytes());
  // Sparkles of four and eight rays, small and large, green and pale gold.
  Add(sprite, Star(5, 4, 2.6, 0, green, kSteps));
  Add(sprite, Star(7, 4, 3.6, kPi / 4, green, kSteps));
  Add(sprite, Star(9, 8, 4.5, 0, gold, kSteps));
  Add(sprite, Star(3, 4, 1.8, 0, gold, kSteps));
  Add(sprite, Star(7, 8, 3.5, kPi / 8, green, kSteps));
  Add(sprite, Star(5, 4, 2.5, kPi / 4, gold, kSteps));
  return sprite.Bytes();
}

std::vector<uint8_t> SubvertSprite() {
  PaletteBuilder palette;
  constexpr int kSteps = 8;
  const int violet = palette.AddRamp(170, 60, 220, kSteps, 0.3, 0.5);
  const int red = palette.AddRamp(220, 40, 70, kSteps, 0.3, 0.5);
  SpriteFileWriter sprite;
  sprite.AddPalette(palette.Bytes());
  // Curls turning either way, and a few sharp motes.
  Add(sprite, Curl(7, 1.2, 0, violet, kSteps));
  Add(sprite, Curl(9, 1.5, kPi, red, kSteps));
  Add(sprite, Curl(7, -1.2, kPi / 2, red, kSteps));
  Add(sprite, Star(5, 4, 2.4, kPi / 4, violet, kSteps));
  Add(sprite, Curl(5, 1.0, kPi / 3, violet, kSteps));
  Add(sprite, Star(3, 4, 1.6, 0, red, kSteps));
  return sprite.Bytes();
}

namespace {

FORGE_STEP(ParticleSprites) {
  ctx.WriteFile("sprites\\FLYS.SPR", FlySprite());
  ctx.WriteFile("sprites\\CURE.SPR", CureSprite());
  ctx.WriteFile("sprites\\Subvert.SPR", SubvertSprite());
}

}  // namespace

}  // namespace forge
