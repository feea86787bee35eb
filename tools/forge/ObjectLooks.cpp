// The world objects' looks: item figures shrunk by area averaging and painted with the
// nearest colours of the effect palette, on a shadow, with a glint; mana sprites hover in a
// pulsing glow.
#include "forge/ObjectLooks.h"

#include <algorithm>
#include <cmath>

#include "forge/SpellIcons.h"

namespace forge::effect_art {

namespace {

constexpr int kWidth = 40, kHeight = 46;
constexpr double kScale = 0.85;  // of the 40 x 44 figure
constexpr int kManaSprite = 19;

// The palette entry nearest to a colour.
int NearestEntry(const EffectPalette& p, float r, float g, float b) {
  const auto& bytes = p.builder.Bytes();
  int best = 0;
  double bestDistance = 1e30;
  for (int i = 0; i < p.builder.Used(); ++i) {
    const double dr = bytes[static_cast<size_t>(3 * i)] - r, dg = bytes[static_cast<size_t>(3 * i + 1)] - g,
                 db = bytes[static_cast<size_t>(3 * i + 2)] - b;
    // Green weighs most and blue least, as the eye sees them.
    const double distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
    }
  }
  return best;
}

// The figure shrunk into the canvas with its foot at (footX, footY): each cell averages the
// figure's pixels under it, weighted by their cover, and is drawn where it is half covered.
void PaintFigure(const EffectPalette& p, Canvas& c, const icon::Raster& figure, int footX, int footY, int lift) {
  const int w = static_cast<int>(figure.Width() * kScale), h = static_cast<int>(figure.Height() * kScale);
  const int left = footX - w / 2, top = footY - static_cast<int>(36 * kScale) - lift;
  for (int ty = 0; ty < h; ++ty) {
    for (int tx = 0; tx < w; ++tx) {
      const int x0 = static_cast<int>(tx / kScale), x1 = std::max(x0 + 1, static_cast<int>((tx + 1) / kScale));
      const int y0 = static_cast<int>(ty / kScale), y1 = std::max(y0 + 1, static_cast<int>((ty + 1) / kScale));
      float r = 0, g = 0, b = 0, cover = 0;
      int count = 0;
      for (int y = y0; y < y1 && y < figure.Height(); ++y)
        for (int x = x0; x < x1 && x < figure.Width(); ++x) {
          const float a = figure.AlphaAt(x, y);
          const forge::Colour colour = figure.ColourAt(x, y);
          r += colour.r * a;
          g += colour.g * a;
          b += colour.b * a;
          cover += a;
          ++count;
        }
      if (count == 0 || cover / static_cast<float>(count) < 0.5f) continue;
      c.Set(left + tx, top + ty, NearestEntry(p, r / cover, g / cover, b / cover));
    }
  }
}

}  // namespace

Picture ObjectLook(const EffectPalette& p, int kind, int frame) {
  Picture pic;
  pic.canvas = Canvas(kWidth, kHeight);
  pic.hotX = kWidth / 2;
  pic.hotY = kHeight - 6;
  const double phase = 2 * M_PI * frame / kObjectLookFrames;
  const bool hovers = kind == kManaSprite;
  const int lift = hovers ? 6 + static_cast<int>(std::lround(2 * std::sin(phase))) : 0;
  // The shadow it casts on the ground, smaller while it hovers.
  Glow(pic.canvas, pic.hotX, pic.hotY, hovers ? 7 : 10, p.shadow, 0.2, 0.4, 0.45);
  if (hovers) Glow(pic.canvas, pic.hotX, pic.hotY - 14 - lift, 13 + 2 * std::sin(phase), p.ice, 0.35, 1.0, 0.9);
  PaintFigure(p, pic.canvas, forge::ItemFigure(kind), pic.hotX, pic.hotY, lift);
  // A glint runs over it, then rests a while.
  if (frame < 3) {
    const int gx = pic.hotX - 6 + 5 * frame, gy = pic.hotY - 20 + 3 * frame - lift;
    Sparkle(pic.canvas, gx, gy, 2 + (frame == 1 ? 1 : 0), p.white);
  }
  return pic;
}

}  // namespace forge::effect_art
