#include "forge/RasterScaling.h"

#include <algorithm>
#include <cmath>

namespace forge {

namespace {

struct Sample {
  float r = 0, g = 0, b = 0, a = 0;  // colour premultiplied by coverage
  void Add(const icon::Raster& s, int x, int y, float weight) {
    x = std::clamp(x, 0, s.Width() - 1);
    y = std::clamp(y, 0, s.Height() - 1);
    const float alpha = s.AlphaAt(x, y) * weight;
    const Colour c = s.ColourAt(x, y);
    r += c.r * alpha;
    g += c.g * alpha;
    b += c.b * alpha;
    a += alpha;
  }
};

Sample At(const icon::Raster& source, int px, int py, float sx, float sy) {
  Sample sample;
  if (sx >= 1 && sy >= 1) {
    const int x0 = static_cast<int>(px * sx), x1 = std::max(x0 + 1, static_cast<int>((px + 1) * sx));
    const int y0 = static_cast<int>(py * sy), y1 = std::max(y0 + 1, static_cast<int>((py + 1) * sy));
    const float weight = 1.0f / static_cast<float>((x1 - x0) * (y1 - y0));
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) sample.Add(source, x, y, weight);
    return sample;
  }
  const float fx = (px + 0.5f) * sx - 0.5f, fy = (py + 0.5f) * sy - 0.5f;
  const int x0 = static_cast<int>(std::floor(fx)), y0 = static_cast<int>(std::floor(fy));
  const float tx = fx - x0, ty = fy - y0;
  sample.Add(source, x0, y0, (1 - tx) * (1 - ty));
  sample.Add(source, x0 + 1, y0, tx * (1 - ty));
  sample.Add(source, x0, y0 + 1, (1 - tx) * ty);
  sample.Add(source, x0 + 1, y0 + 1, tx * ty);
  return sample;
}

}  // namespace

icon::Raster Resized(const icon::Raster& source, int width, int height) {
  icon::Raster out(width, height);
  const float sx = static_cast<float>(source.Width()) / width, sy = static_cast<float>(source.Height()) / height;
  auto pixel = [&](float x, float y) {
    return At(source, std::clamp(static_cast<int>(x), 0, width - 1), std::clamp(static_cast<int>(y), 0, height - 1), sx,
              sy);
  };
  out.Fill([&](float x, float y) { return 0.5f - pixel(x, y).a; },
           [&](float x, float y) {
             const Sample s = pixel(x, y);
             if (s.a <= 0) return Rgb(0, 0, 0);
             return Rgb(static_cast<int>(s.r / s.a + 0.5f), static_cast<int>(s.g / s.a + 0.5f),
                        static_cast<int>(s.b / s.a + 0.5f));
           });
  return out;
}

}  // namespace forge
