#include "forge/IconArt.h"

#include <algorithm>
#include <cmath>

namespace forge::icon {

namespace {

float Length(float x, float y) { return std::sqrt(x * x + y * y); }

// The distance from a point to a segment.
float SegmentDistance(float px, float py, float ax, float ay, float bx, float by) {
  const float dx = bx - ax, dy = by - ay;
  const float len2 = dx * dx + dy * dy;
  const float t = len2 > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / len2, 0.0f, 1.0f) : 0.0f;
  return Length(px - (ax + t * dx), py - (ay + t * dy));
}

float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

}  // namespace

Shape Circle(float cx, float cy, float r) {
  return [=](float x, float y) { return Length(x - cx, y - cy) - r; };
}

Shape Ellipse(float cx, float cy, float rx, float ry) {
  return [=](float x, float y) {
    const float nx = (x - cx) / rx, ny = (y - cy) / ry;
    const float k = Length(nx, ny);
    // Scaled by the gradient's length, a close estimate of the true distance near the edge.
    const float gx = nx / rx, gy = ny / ry;
    const float g = Length(gx, gy);
    return g > 1e-6f ? (k - 1.0f) * k / g : -std::min(rx, ry);
  };
}

Shape Box(float x0, float y0, float x1, float y1, float radius) {
  const float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2, hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
  return [=](float x, float y) {
    const float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
    return Length(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) - radius;
  };
}

Shape Segment(float x0, float y0, float x1, float y1, float width) {
  return [=](float x, float y) { return SegmentDistance(x, y, x0, y0, x1, y1) - width / 2; };
}

Shape Ring(float cx, float cy, float r, float width) {
  return [=](float x, float y) { return std::fabs(Length(x - cx, y - cy) - r) - width / 2; };
}

Shape Polygon(std::vector<std::pair<float, float>> points) {
  return [points = std::move(points)](float x, float y) {
    const size_t n = points.size();
    if (n < 3) return 1e6f;
    float best = 1e9f;
    bool inside = false;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
      const auto [xi, yi] = points[i];
      const auto [xj, yj] = points[j];
      best = std::min(best, SegmentDistance(x, y, xi, yi, xj, yj));
      if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside ? -best : best;
  };
}

Shape Path(const std::vector<std::pair<float, float>>& points, float width) {
  std::vector<Shape> parts;
  for (size_t i = 1; i < points.size(); ++i)
    parts.push_back(Segment(points[i - 1].first, points[i - 1].second, points[i].first, points[i].second, width));
  return Union(std::move(parts));
}

Shape Union(Shape a, Shape b) {
  return [a = std::move(a), b = std::move(b)](float x, float y) { return std::min(a(x, y), b(x, y)); };
}

Shape Union(std::vector<Shape> shapes) {
  return [shapes = std::move(shapes)](float x, float y) {
    float d = 1e9f;
    for (const Shape& s : shapes) d = std::min(d, s(x, y));
    return d;
  };
}

Shape Subtract(Shape a, Shape b) {
  return [a = std::move(a), b = std::move(b)](float x, float y) { return std::max(a(x, y), -b(x, y)); };
}

Shape Intersect(Shape a, Shape b) {
  return [a = std::move(a), b = std::move(b)](float x, float y) { return std::max(a(x, y), b(x, y)); };
}

Shape Grow(Shape a, float d) {
  return [a = std::move(a), d](float x, float y) { return a(x, y) - d; };
}

Shape Move(Shape a, float dx, float dy) {
  return [a = std::move(a), dx, dy](float x, float y) { return a(x - dx, y - dy); };
}

Shape Turn(Shape a, float cx, float cy, float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  return [a = std::move(a), cx, cy, c, s](float x, float y) {
    const float dx = x - cx, dy = y - cy;
    return a(cx + dx * c + dy * s, cy - dx * s + dy * c);
  };
}

Shape Mirror(Shape a, float axis) {
  return [a = std::move(a), axis](float x, float y) { return a(2 * axis - x, y); };
}

Shape Scale(Shape a, float cx, float cy, float s) {
  return [a = std::move(a), cx, cy, s](float x, float y) { return a(cx + (x - cx) / s, cy + (y - cy) / s) * s; };
}

Shader Flat(Colour c) {
  return [c](float, float) { return c; };
}

Shader VerticalGradient(float y0, float y1, Colour top, Colour bottom) {
  return [=](float, float y) { return Mix(top, bottom, Clamp01((y - y0) / std::max(y1 - y0, 1e-3f))); };
}

Shader Ball(float cx, float cy, float r, Colour colour) {
  return [=](float x, float y) {
    const float nx = (x - cx) / r, ny = (y - cy) / r;
    const float nz = std::sqrt(std::max(0.0f, 1 - nx * nx - ny * ny));
    // Light from the upper left and a little in front.
    const float light = Clamp01(-0.5f * nx - 0.6f * ny + 0.62f * nz);
    const float spec = std::pow(Clamp01(-0.45f * nx - 0.55f * ny + 0.7f * nz), 24.0f);
    Colour c = Mix(Darker(colour, 0.55f), colour, Clamp01(light * 1.3f));
    return Mix(c, Rgb(255, 255, 255), spec * 0.8f);
  };
}

Shader Radial(float cx, float cy, float r, Colour centre, Colour rim) {
  return [=](float x, float y) { return Mix(centre, rim, Clamp01(Length(x - cx, y - cy) / r)); };
}

Raster::Raster(int width, int height)
    : width_(width),
      height_(height),
      colour_(static_cast<size_t>(width) * height),
      alpha_(static_cast<size_t>(width) * height, 0.0f) {}

void Raster::Fill(const Shape& shape, const Shader& shader, float opacity) {
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      const float px = x + 0.5f, py = y + 0.5f;
      const float cover = Clamp01(0.5f - shape(px, py)) * opacity;
      if (cover <= 0) continue;
      const size_t i = Index(x, y);
      const Colour src = shader(px, py);
      const float a = alpha_[i];
      const float out = cover + a * (1 - cover);
      colour_[i] = Mix(colour_[i], src, out > 0 ? cover / out : 1.0f);
      alpha_[i] = out;
    }
  }
}

void Raster::Outlined(const Shape& shape, const Shader& shader, Colour outline, float width) {
  Fill(Grow(shape, width), outline);
  Fill(shape, shader);
}

void Raster::Bevel(const Shape& shape, float depth, float amount) {
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      const float px = x + 0.5f, py = y + 0.5f;
      const float d = shape(px, py);
      if (d > 0 || -d > depth) continue;
      // Which side of the edge the pixel is on: toward the light or away from it.
      const float gx = shape(px + 0.5f, py) - shape(px - 0.5f, py), gy = shape(px, py + 0.5f) - shape(px, py - 0.5f);
      const float facing = std::clamp(-(gx * -0.7f + gy * -0.7f), -1.0f, 1.0f);
      const float strength = (1 - (-d / depth)) * amount * facing;
      const size_t i = Index(x, y);
      colour_[i] = strength > 0 ? Lighter(colour_[i], strength) : Darker(colour_[i], -strength);
    }
  }
}

void Raster::Recolour(const std::function<Colour(Colour)>& change) {
  for (size_t i = 0; i < colour_.size(); ++i)
    if (alpha_[i] > 0) colour_[i] = change(colour_[i]);
}

void Raster::Draw(const Raster& other, int atX, int atY) {
  for (int y = 0; y < other.height_; ++y) {
    for (int x = 0; x < other.width_; ++x) {
      const int tx = atX + x, ty = atY + y;
      if (tx < 0 || ty < 0 || tx >= width_ || ty >= height_) continue;
      const float cover = other.alpha_[other.Index(x, y)];
      if (cover <= 0) continue;
      const size_t i = Index(tx, ty);
      const float out = cover + alpha_[i] * (1 - cover);
      colour_[i] = Mix(colour_[i], other.colour_[other.Index(x, y)], out > 0 ? cover / out : 1.0f);
      alpha_[i] = out;
    }
  }
}

Canvas Raster::ToCanvas() const {
  Canvas canvas(width_, height_);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      if (alpha_[Index(x, y)] >= 0.5f) canvas.Set(x, y, Cell565(colour_[Index(x, y)]));
  return canvas;
}

RgbPicture Raster::ToPicture(Colour background) const {
  RgbPicture picture(width_, height_);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      const Colour c = Mix(background, colour_[Index(x, y)], alpha_[Index(x, y)]);
      auto byte = [](float v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 255.0f))); };
      picture.Set(x, y, byte(c.r), byte(c.g), byte(c.b));
    }
  }
  return picture;
}

RgbPicture Raster::ToKeyedPicture(Colour behind) const {
  RgbPicture picture = ToPicture(behind);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      if (alpha_[Index(x, y)] < 0.5f) picture.Set(x, y, 0, 0, 255);
  return picture;
}

int Cell565(Colour c) {
  auto byte = [](float v) { return static_cast<int>(std::lround(std::clamp(v, 0.0f, 255.0f))); };
  const int cell = Rgb565(byte(c.r), byte(c.g), byte(c.b));
  return cell == 31 ? 31 | (1 << 5) : cell;
}

Colour Lighter(Colour c, float t) { return Mix(c, Rgb(255, 255, 255), Clamp01(t)); }
Colour Darker(Colour c, float t) { return Mix(c, Rgb(0, 0, 0), Clamp01(t)); }
Colour Grey(Colour c) {
  const float v = 0.3f * c.r + 0.59f * c.g + 0.11f * c.b;
  return Colour{v, v, v};
}

}  // namespace forge::icon
