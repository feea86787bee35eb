#include "forge/EffectArt.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace forge::effect_art {

namespace {

// The ordered dither threshold of a pixel, 0..1.
double Bayer(int x, int y) {
  static constexpr int kMatrix[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  return (kMatrix[y & 3][x & 3] + 0.5) / 16.0;
}

bool InRamp(const Ramp& ramp, int value) { return value >= ramp.first && value < ramp.first + ramp.steps; }

// Sets a pixel unless it already holds a brighter shade of the same ramp.
void Plot(Canvas& c, int x, int y, const Ramp& ramp, int value) {
  const int old = c.At(x, y);
  if (old != Canvas::kTransparent && InRamp(ramp, old) && old > value) return;
  c.Set(x, y, value);
}

constexpr unsigned char kDigitRows[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 3, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 2, 2, 2}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};

}  // namespace

int Ramp::At(double t) const {
  t = std::clamp(t, 0.0, 1.0);
  return first + std::min(steps - 1, static_cast<int>(t * steps));
}

EffectPalette::EffectPalette() {
  auto ramp = [&](int r, int g, int b, int steps, double dark, double high) {
    return Ramp{builder.AddRamp(r, g, b, steps, dark, high), steps};
  };
  white = ramp(235, 240, 255, 12, 0.35, 0.9);
  law = ramp(70, 120, 255, 20, 0.2, 0.75);
  neutral = ramp(60, 220, 90, 20, 0.2, 0.7);
  vrask = ramp(230, 40, 40, 20, 0.2, 0.7);
  fire = ramp(255, 120, 20, 24, 0.25, 0.85);
  smoke = ramp(120, 118, 115, 16, 0.3, 0.35);
  ice = ramp(140, 220, 255, 16, 0.35, 0.8);
  arcane = ramp(170, 80, 240, 16, 0.2, 0.7);
  earth = ramp(140, 100, 60, 16, 0.3, 0.3);
  gold = ramp(245, 200, 60, 16, 0.3, 0.8);
  shadow = ramp(70, 30, 90, 12, 0.25, 0.3);
  wood = ramp(150, 105, 60, 8, 0.4, 0.3);
  steel = ramp(170, 175, 185, 10, 0.3, 0.6);
  poison = ramp(120, 200, 40, 12, 0.3, 0.5);
  blood = ramp(200, 20, 30, 12, 0.3, 0.4);
}

const Ramp& EffectPalette::Alignment(int alignment) const {
  return alignment == 0 ? law : alignment == 2 ? vrask : neutral;
}

void Glow(Canvas& c, double cx, double cy, double radius, const Ramp& ramp, double solid, double squash,
          double brightness) {
  if (radius <= 0) return;
  const int x0 = static_cast<int>(std::floor(cx - radius)), x1 = static_cast<int>(std::ceil(cx + radius));
  const int y0 = static_cast<int>(std::floor(cy - radius * squash)),
            y1 = static_cast<int>(std::ceil(cy + radius * squash));
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      const double dx = x + 0.5 - cx, dy = (y + 0.5 - cy) / squash;
      const double d = std::sqrt(dx * dx + dy * dy) / radius;
      if (d >= 1) continue;
      if (d > solid && Bayer(x, y) > (1 - d) / (1 - solid)) continue;
      // The dither does the fading: the shades stay in the bright half of the ramp.
      Plot(c, x, y, ramp, ramp.At(0.4 + 0.6 * brightness * std::pow(1 - d, 0.7)));
    }
}

void Ring(Canvas& c, double cx, double cy, double rx, double ry, double thickness, const Ramp& ramp,
          double brightness) {
  if (rx <= 0 || ry <= 0) return;
  const double half = thickness / 2, mean = (rx + ry) / 2;
  const int x0 = static_cast<int>(std::floor(cx - rx - half)), x1 = static_cast<int>(std::ceil(cx + rx + half));
  const int y0 = static_cast<int>(std::floor(cy - ry - half)), y1 = static_cast<int>(std::ceil(cy + ry + half));
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
      const double away = std::fabs(std::sqrt(dx * dx + dy * dy) - 1) * mean;
      if (away >= half) continue;
      const double t = 1 - away / half;
      if (t < 0.5 && Bayer(x, y) > t * 2) continue;
      Plot(c, x, y, ramp, ramp.At(brightness * (0.35 + 0.65 * t)));
    }
}

void Sparkle(Canvas& c, int x, int y, int size, const Ramp& ramp) {
  for (int i = -size; i <= size; ++i) {
    const double t = 1 - std::abs(i) / (size + 1.0);
    Plot(c, x + i, y, ramp, ramp.At(t));
    Plot(c, x, y + i, ramp, ramp.At(t));
  }
  if (size >= 3) {
    Plot(c, x - 1, y - 1, ramp, ramp.At(0.6));
    Plot(c, x + 1, y - 1, ramp, ramp.At(0.6));
    Plot(c, x - 1, y + 1, ramp, ramp.At(0.6));
    Plot(c, x + 1, y + 1, ramp, ramp.At(0.6));
  }
}

void Bolt(Canvas& c, double x0, double y0, double x1, double y1, const Ramp& ramp, int seed, int thickness) {
  const double length = std::hypot(x1 - x0, y1 - y0);
  const int pieces = std::max(2, static_cast<int>(length / 5));
  const double nx = -(y1 - y0) / std::max(length, 1.0), ny = (x1 - x0) / std::max(length, 1.0);
  double px = x0, py = y0;
  for (int i = 1; i <= pieces; ++i) {
    const double f = static_cast<double>(i) / pieces;
    const double swing = i == pieces ? 0 : (Hash01(seed, i) - 0.5) * std::min(8.0, length / 3);
    const double qx = x0 + (x1 - x0) * f + nx * swing, qy = y0 + (y1 - y0) * f + ny * swing;
    if (thickness > 1)
      c.Line(static_cast<int>(px), static_cast<int>(py), static_cast<int>(qx), static_cast<int>(qy), ramp.At(0.55),
             thickness + 1);
    c.Line(static_cast<int>(px), static_cast<int>(py), static_cast<int>(qx), static_cast<int>(qy), ramp.At(1.0),
           thickness);
    px = qx;
    py = qy;
  }
}

void Flame(Canvas& c, double cx, double baseY, double width, double height, double phase, const Ramp& ramp) {
  const int top = static_cast<int>(std::floor(baseY - height));
  for (int y = top; y <= static_cast<int>(baseY); ++y) {
    const double v = std::clamp((baseY - (y + 0.5)) / height, 0.0, 1.0);
    // Round at the foot, pointed at the tip, swaying more the higher it reaches.
    const double half = width / 2 * std::sin(std::numbers::pi * std::min(1.0, 0.25 + v * 0.9)) * std::sqrt(1 - v);
    const double sway = std::sin(phase * 2 * std::numbers::pi + v * 3.2) * width * 0.22 * v;
    if (half <= 0.2) continue;
    for (int x = static_cast<int>(std::floor(cx + sway - half)); x <= static_cast<int>(std::ceil(cx + sway + half));
         ++x) {
      const double across = std::fabs(x + 0.5 - cx - sway) / half;
      if (across >= 1) continue;
      if (across > 0.75 && Bayer(x, y) > (1 - across) * 4) continue;
      const double t = (1 - across) * (1 - 0.55 * v) + 0.15;
      Plot(c, x, y, ramp, ramp.At(t));
    }
  }
}

void Puff(Canvas& c, double cx, double cy, double radius, const Ramp& ramp, double light) {
  if (radius <= 0) return;
  const int x0 = static_cast<int>(std::floor(cx - radius)), x1 = static_cast<int>(std::ceil(cx + radius));
  const int y0 = static_cast<int>(std::floor(cy - radius)), y1 = static_cast<int>(std::ceil(cy + radius));
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      const double nx = (x + 0.5 - cx) / radius, ny = (y + 0.5 - cy) / radius;
      const double d2 = nx * nx + ny * ny;
      if (d2 >= 1) continue;
      if (d2 > 0.72 && Bayer(x, y) > (1 - d2) * 3.5) continue;
      const double nz = std::sqrt(1 - d2);
      const double lum = std::clamp(-0.45 * nx - 0.55 * ny + 0.7 * nz, 0.0, 1.0);
      c.Set(x, y, ramp.At((0.2 + 0.8 * lum) * light));
    }
}

void Digit(Canvas& c, int x, int y, int digit, int scale, int fill, int outline) {
  if (digit < 0 || digit > 9) return;
  for (int row = 0; row < 5; ++row)
    for (int col = 0; col < 3; ++col)
      if (kDigitRows[digit][row] & (4 >> col)) c.FillRect(x + col * scale, y + row * scale, scale, scale, fill);
  // A one-pixel outline around the filled cells keeps the digit readable on any ground.
  for (int sy = y - 1; sy <= y + 5 * scale; ++sy)
    for (int sx = x - 1; sx <= x + 3 * scale; ++sx) {
      if (c.At(sx, sy) != Canvas::kTransparent) continue;
      bool touches = false;
      for (int dy = -1; dy <= 1 && !touches; ++dy)
        for (int dx = -1; dx <= 1 && !touches; ++dx) touches = c.At(sx + dx, sy + dy) == fill;
      if (touches) c.Set(sx, sy, outline);
    }
}

void HeadingVector(int heading, int pitch, double& dx, double& dy) {
  const double theta = heading * std::numbers::pi / 8;
  const double mx = std::sin(theta), my = -std::cos(theta);
  const double alpha = (2 - pitch) * std::numbers::pi / 8;
  dx = std::cos(alpha) * (mx - my);
  dy = std::cos(alpha) * (mx + my) / 2 - std::sin(alpha);
  const double length = std::hypot(dx, dy);
  if (length > 1e-9) {
    dx /= length;
    dy /= length;
  }
}

double Hash01(int a, int b, int c) {
  uint32_t h = 2166136261u;
  for (int v : {a, b, c}) {
    h ^= static_cast<uint32_t>(v);
    h *= 16777619u;
    h ^= h >> 13;
  }
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return (h & 0xFFFFFF) / static_cast<double>(0x1000000);
}

}  // namespace forge::effect_art
