#include "forge/Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace forge {

void Canvas::Fill(int value) { std::fill(cells_.begin(), cells_.end(), value); }

void Canvas::FillRect(int x, int y, int width, int height, int value) {
  for (int row = y; row < y + height; ++row)
    for (int column = x; column < x + width; ++column) Set(column, row, value);
}

void Canvas::OutlineRect(int x, int y, int width, int height, int value) {
  FillRect(x, y, width, 1, value);
  FillRect(x, y + height - 1, width, 1, value);
  FillRect(x, y, 1, height, value);
  FillRect(x + width - 1, y, 1, height, value);
}

void Canvas::FillEllipse(int x, int y, int width, int height, int value) {
  const double rx = width / 2.0, ry = height / 2.0;
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      const double dx = (column + 0.5 - rx) / rx, dy = (row + 0.5 - ry) / ry;
      if (dx * dx + dy * dy <= 1.0) Set(x + column, y + row, value);
    }
  }
}

void Canvas::ShadeEllipse(int x, int y, int width, int height, int first, int steps) {
  const double rx = width / 2.0, ry = height / 2.0;
  // Light from the upper left, a little toward the viewer.
  const double lx = -0.5, ly = -0.6, lz = 0.62;
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      const double dx = (column + 0.5 - rx) / rx, dy = (row + 0.5 - ry) / ry;
      const double d2 = dx * dx + dy * dy;
      if (d2 > 1.0) continue;
      const double dz = std::sqrt(1.0 - d2);
      const double light = std::clamp(0.2 + 0.8 * (dx * lx + dy * ly + dz * lz), 0.0, 1.0);
      const int shade = std::min(steps - 1, static_cast<int>(light * steps));
      Set(x + column, y + row, first + shade);
    }
  }
}

void Canvas::Bevel(int x, int y, int width, int height, int face, int light, int dark, int thickness) {
  FillRect(x, y, width, height, face);
  for (int t = 0; t < thickness; ++t) {
    FillRect(x + t, y + t, width - 2 * t, 1, light);
    FillRect(x + t, y + t, 1, height - 2 * t, light);
    FillRect(x + t, y + height - 1 - t, width - 2 * t, 1, dark);
    FillRect(x + width - 1 - t, y + t, 1, height - 2 * t, dark);
  }
}

void Canvas::Line(int x0, int y0, int x1, int y1, int value, int thickness) {
  const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
  for (int i = 0; i <= steps; ++i) {
    const double t = steps ? static_cast<double>(i) / steps : 0.0;
    const int cx = static_cast<int>(std::lround(x0 + (x1 - x0) * t));
    const int cy = static_cast<int>(std::lround(y0 + (y1 - y0) * t));
    FillRect(cx - thickness / 2, cy - thickness / 2, thickness, thickness, value);
  }
}

void Canvas::FillTriangle(int x0, int y0, int x1, int y1, int x2, int y2, int value) {
  const int minX = std::min({x0, x1, x2}), maxX = std::max({x0, x1, x2});
  const int minY = std::min({y0, y1, y2}), maxY = std::max({y0, y1, y2});
  auto edge = [](double ax, double ay, double bx, double by, double px, double py) {
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
  };
  for (int row = minY; row <= maxY; ++row) {
    for (int column = minX; column <= maxX; ++column) {
      const double px = column + 0.5, py = row + 0.5;
      const double a = edge(x0, y0, x1, y1, px, py), b = edge(x1, y1, x2, y2, px, py), c = edge(x2, y2, x0, y0, px, py);
      if ((a >= 0 && b >= 0 && c >= 0) || (a <= 0 && b <= 0 && c <= 0)) Set(column, row, value);
    }
  }
}

PaletteBuilder::PaletteBuilder() = default;

void PaletteBuilder::Set(int index, int r, int g, int b) {
  if (index < 0 || index > 255) return;
  bytes_[3 * index] = static_cast<uint8_t>(std::clamp(r, 0, 255));
  bytes_[3 * index + 1] = static_cast<uint8_t>(std::clamp(g, 0, 255));
  bytes_[3 * index + 2] = static_cast<uint8_t>(std::clamp(b, 0, 255));
}

int PaletteBuilder::AddRamp(int r, int g, int b, int steps, double darkness, double highlight) {
  const int first = next_;
  for (int i = 0; i < steps && next_ < 256; ++i, ++next_) {
    const double t = steps > 1 ? static_cast<double>(i) / (steps - 1) : 1.0;
    // Dark half: from darkness x colour up to the colour; light half: toward white.
    double scale, lift;
    if (t < 0.7) {
      scale = darkness + (1.0 - darkness) * (t / 0.7);
      lift = 0;
    } else {
      scale = 1.0;
      lift = highlight * (t - 0.7) / 0.3;
    }
    auto channel = [&](int c) { return static_cast<int>(std::lround(c * scale + (255 - c * scale) * lift)); };
    Set(next_, channel(r), channel(g), channel(b));
  }
  return first;
}

}  // namespace forge
