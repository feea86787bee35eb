#include "magic/ParticleGlow.h"

#include <algorithm>
#include <cmath>

#include "core/Options.h"
#include "graphics/PixelFormat.h"
#include "graphics/PrintTarget.h"

namespace {

int GreenShift() { return 5; }
int RedShift() { return g_is555 ? 10 : 11; }

struct Channels {
  int r, g, b;
};

Channels Split(uint16_t pixel) {
  return {pixel >> RedShift() & 31, pixel >> GreenShift() & GreenMaximum(), pixel & 31};
}

uint16_t Join(const Channels& c) { return static_cast<uint16_t>(c.r << RedShift() | c.g << GreenShift() | c.b); }

// Calls visit(pixel) for every pixel of the rectangle that lies in the clip rectangle.
template <class Visit>
void ForClipped(int sx, int sy, int width, int height, Visit visit) {
  if (!g_spriteTarget) return;
  const int left = std::max(sx, g_clipLeft), right = std::min(sx + width, g_clipRight);
  const int top = std::max(sy, g_clipTop), bottom = std::min(sy + height, g_clipBottom);
  for (int y = top; y < bottom; ++y) {
    uint16_t* row = g_spriteTarget + static_cast<ptrdiff_t>(y) * g_spritePitch;
    for (int x = left; x < right; ++x) visit(row[x], y - sy, x - sx);
  }
}

}  // namespace

int ScaleRedBlue(int component) { return std::clamp(component, 0, 255) / 8; }
int ScaleGreen(int component) { return std::clamp(component, 0, 255) / (g_is555 ? 8 : 4); }
int GreenMaximum() { return g_is555 ? 31 : 63; }

void CGlowSquare::Set(int w, int h, int red, int green, int blue) {
  width = w;
  height = h;
  SetColour(red, green, blue);
}

void CGlowSquare::SetColour(int red, int green, int blue) {
  r = ScaleRedBlue(red);
  g = ScaleGreen(green);
  b = ScaleRedBlue(blue);
}

void CGlowSquare::Draw(int sx, int sy) const {
  const int greenMax = GreenMaximum();
  ForClipped(sx, sy, width, height, [&](uint16_t& pixel, int, int) {
    Channels c = Split(pixel);
    c.r = std::min(c.r + r, 31);
    c.g = std::min(c.g + g, greenMax);
    c.b = std::min(c.b + b, 31);
    pixel = Join(c);
  });
}

void CLightTexture::SetColour(int red, int green, int blue) {
  const int nr = ScaleRedBlue(red), ng = ScaleGreen(green), nb = ScaleRedBlue(blue);
  if (nr == r && ng == g && nb == b) return;
  r = static_cast<uint16_t>(nr);
  g = static_cast<uint16_t>(ng);
  b = static_cast<uint16_t>(nb);
  if (texture) Build();
}

void CLightTexture::Build() {
  width = std::clamp(width, 1, 16);
  height = std::clamp(height, 1, 16);
  const double diagonal = std::sqrt(double((width - 1) * (width - 1) + (height - 1) * (height - 1)));
  if (diagonal <= 1.0) return;
  if (!texture) texture = std::make_unique<uint16_t[]>(static_cast<size_t>(width * height * 3));
  const double upper = g_texturedGoreUpper, lower = g_texturedGoreLower;
  const int greenMax = GreenMaximum();
  for (int i = 0; i < height; ++i)
    for (int j = 0; j < width; ++j) {
      const double f = upper - (upper - lower) * std::sqrt(double(i * i + j * j)) / diagonal;
      uint16_t* texel = &texture[static_cast<size_t>((i * width + j) * 3)];
      texel[0] = static_cast<uint16_t>(std::clamp(static_cast<int>(r * f), 0, 31));
      texel[1] = static_cast<uint16_t>(std::clamp(static_cast<int>(g * f), 0, greenMax));
      texel[2] = static_cast<uint16_t>(std::clamp(static_cast<int>(b * f), 0, 31));
    }
}

void CLightTexture::Draw(int sx, int sy) const {
  const int w = std::clamp(width, 1, 16), h = std::clamp(height, 1, 16);
  ForClipped(sx, sy, w, h, [&](uint16_t& pixel, int row, int column) {
    Channels t{r, g, b};
    if (texture) {
      const uint16_t* texel = &texture[static_cast<size_t>((row * w + column) * 3)];
      t = {texel[0], texel[1], texel[2]};
    }
    const Channels s = Split(pixel);
    const auto blend = [&](int tv, int sv) {
      switch (mode) {
        case 1:
          return tv / 2 + tv / 4 + sv / 4;
        case 2:
          return tv / 2 + sv / 2;
        case 3:
          return tv / 4 + sv / 2 + sv / 4;
        default:
          return tv;
      }
    };
    pixel = Join({blend(t.r, s.r), blend(t.g, s.g), blend(t.b, s.b)});
  });
}
