#include "forge/Painting.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

#include "forge/Forge.h"

namespace forge {

namespace {

constexpr const char* kFontFolder = "/usr/share/fonts/truetype/dejavu/";

uint32_t Hash(int32_t x, int32_t y, uint32_t seed) {
  uint32_t h = seed * 0x9E3779B1u ^ static_cast<uint32_t>(x) * 0x85EBCA77u ^ static_cast<uint32_t>(y) * 0xC2B2AE3Du;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return h;
}

float Unit(uint32_t h) { return static_cast<float>(h & 0xFFFFFF) / static_cast<float>(0xFFFFFF); }

float SmoothStep(float t) { return t * t * (3 - 2 * t); }

float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

uint8_t Byte(float v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 255.0f))); }

// A glyph coverage map of the whole text, at canvas pixels.
struct TextMask {
  int width = 0, height = 0, baseline = 0;
  std::vector<float> coverage;
  float At(int x, int y) const {
    return x < 0 || y < 0 || x >= width || y >= height ? 0.0f : coverage[static_cast<size_t>(y) * width + x];
  }
};

TextMask RenderText(const std::string& text, const char* fontFile, int pixels) {
  FT_Library library;
  if (FT_Init_FreeType(&library) != 0) throw std::runtime_error("cannot start FreeType");
  FT_Face face;
  const std::string path = std::string(kFontFolder) + fontFile;
  if (FT_New_Face(library, path.c_str(), 0, &face) != 0) throw std::runtime_error("cannot open font " + path);
  FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixels));
  TextMask mask;
  const int ascender = static_cast<int>(face->size->metrics.ascender >> 6);
  const int descender = static_cast<int>(-(face->size->metrics.descender >> 6));
  int advance = 0;
  for (char c : text) {
    if (FT_Load_Char(face, static_cast<unsigned char>(c), FT_LOAD_DEFAULT) != 0) continue;
    advance += static_cast<int>(face->glyph->advance.x >> 6);
  }
  const int pad = pixels / 4;
  mask.width = advance + 2 * pad;
  mask.height = ascender + descender + 2 * pad;
  mask.baseline = pad + ascender;
  mask.coverage.assign(static_cast<size_t>(mask.width) * mask.height, 0.0f);
  int pen = pad;
  for (char c : text) {
    if (FT_Load_Char(face, static_cast<unsigned char>(c), FT_LOAD_RENDER) != 0) continue;
    const FT_GlyphSlot glyph = face->glyph;
    const FT_Bitmap& bitmap = glyph->bitmap;
    for (unsigned row = 0; row < bitmap.rows; ++row)
      for (unsigned column = 0; column < bitmap.width; ++column) {
        const int x = pen + glyph->bitmap_left + static_cast<int>(column);
        const int y = mask.baseline - glyph->bitmap_top + static_cast<int>(row);
        if (x < 0 || y < 0 || x >= mask.width || y >= mask.height) continue;
        float& cell = mask.coverage[static_cast<size_t>(y) * mask.width + x];
        cell = std::max(cell, bitmap.buffer[static_cast<int>(row) * bitmap.pitch + static_cast<int>(column)] / 255.0f);
      }
    pen += static_cast<int>(glyph->advance.x >> 6);
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  return mask;
}

// The mask grown by a radius: each cell the largest coverage within it.
TextMask Dilate(const TextMask& mask, int radius) {
  TextMask grown = mask;
  for (int y = 0; y < mask.height; ++y)
    for (int x = 0; x < mask.width; ++x) {
      float best = 0;
      for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx)
          if (dx * dx + dy * dy <= radius * radius) best = std::max(best, mask.At(x + dx, y + dy));
      grown.coverage[static_cast<size_t>(y) * mask.width + x] = best;
    }
  return grown;
}

}  // namespace

Colour Rgb(int r, int g, int b) { return Colour{static_cast<float>(r), static_cast<float>(g), static_cast<float>(b)}; }

Colour Mix(const Colour& a, const Colour& b, float t) {
  return Colour{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Colour Gradient(const std::vector<ColourStop>& stops, float t) {
  if (stops.empty()) return Colour{};
  if (t <= stops.front().at) return stops.front().colour;
  for (size_t i = 1; i < stops.size(); ++i)
    if (t <= stops[i].at) {
      const float span = stops[i].at - stops[i - 1].at;
      return Mix(stops[i - 1].colour, stops[i].colour, span > 0 ? (t - stops[i - 1].at) / span : 1.0f);
    }
  return stops.back().colour;
}

float ValueNoise(float x, float y, uint32_t seed) {
  const float fx = std::floor(x), fy = std::floor(y);
  const int32_t ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy);
  const float tx = SmoothStep(x - fx), ty = SmoothStep(y - fy);
  const float a = Unit(Hash(ix, iy, seed)), b = Unit(Hash(ix + 1, iy, seed));
  const float c = Unit(Hash(ix, iy + 1, seed)), d = Unit(Hash(ix + 1, iy + 1, seed));
  return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

float FractalNoise(float x, float y, uint32_t seed, int octaves) {
  float sum = 0, weight = 1, total = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += ValueNoise(x, y, seed + static_cast<uint32_t>(i) * 101u) * weight;
    total += weight;
    weight *= 0.5f;
    x *= 2.0f;
    y *= 2.0f;
  }
  return sum / total;
}

Painting::Painting(int scale)
    : scale_(scale), width_(800 * scale), height_(600 * scale), pixels_(static_cast<size_t>(width_) * height_) {}

void Painting::Blend(int x, int y, const Colour& colour, float alpha) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || alpha <= 0) return;
  Colour& pixel = At(x, y);
  pixel = Mix(pixel, colour, Clamp01(alpha));
}

void Painting::VerticalGradient(float top, float bottom, const std::vector<ColourStop>& stops) {
  Shade([&](float, float y, const Colour&) { return Gradient(stops, (y - top) / (bottom - top)); });
}

void Painting::Glow(float cx, float cy, float radius, float glowRadius, const Colour& core, const Colour& glow,
                    float glowAlpha) {
  const float reach = radius + glowRadius;
  ShadeArea(cx - reach, cy - reach, cx + reach, cy + reach, [&](float x, float y, const Colour& pixel) {
    const float d = std::hypot(x - cx, y - cy);
    if (d <= radius) return core;
    const float edge = Clamp01(1.0f - (d - radius) * scale_);  // one canvas pixel of smoothing
    Colour out = Mix(pixel, core, edge);
    const float t = Clamp01(1.0f - (d - radius) / glowRadius);
    return Mix(out, glow, glowAlpha * t * t);
  });
}

void Painting::Stars(float horizon, int count, uint32_t seed) {
  for (int i = 0; i < count; ++i) {
    const float x = Unit(Hash(i, 1, seed)) * 800.0f;
    const float y = Unit(Hash(i, 2, seed)) * Unit(Hash(i, 3, seed)) * horizon;  // more stars high up
    const float brightness = 0.35f + 0.65f * Unit(Hash(i, 4, seed));
    const float size = brightness > 0.9f ? 1.2f : 0.6f;
    const Colour tint = Mix(Rgb(255, 255, 255), Rgb(200, 215, 255), Unit(Hash(i, 5, seed)));
    const int r = static_cast<int>(std::ceil(size * scale_)) + 1;
    const int px = static_cast<int>(x * scale_), py = static_cast<int>(y * scale_);
    for (int dy = -r; dy <= r; ++dy)
      for (int dx = -r; dx <= r; ++dx) {
        const float d = std::hypot(static_cast<float>(dx), static_cast<float>(dy)) / scale_;
        Blend(px + dx, py + dy, tint, brightness * Clamp01(1.0f - d / size) * (1.0f - y / horizon * 0.6f));
      }
  }
}

void Painting::Ridge(float base, float amplitude, float featureWidth, uint32_t seed, const Colour& colour, float shade,
                     float light) {
  const float step = featureWidth * 0.2f;
  for (int x = 0; x < width_; ++x) {
    const float ux = (x + 0.5f) / scale_;
    const float height = FractalNoise(ux / featureWidth, 0.5f, seed, 5);
    const float before = FractalNoise((ux - step) / featureWidth, 0.5f, seed, 5);
    const float after = FractalNoise((ux + step) / featureWidth, 0.5f, seed, 5);
    // Slopes that fall to the right face the light from the left: a rim of light below the crest.
    const float facing = Clamp01((before - after) * amplitude / (2 * step));
    const float crest = base - height * amplitude;
    for (int y = std::max(0, static_cast<int>(crest * scale_) - 1); y < height_; ++y) {
      const float uy = (y + 0.5f) / scale_;
      const float cover = Clamp01((uy - crest) * scale_);
      const float depth = Clamp01((uy - crest) / (600.0f - crest));
      const float rim = facing * light * Clamp01(1.0f - (uy - crest) / 40.0f);
      const Colour lit = Mix(colour, Rgb(255, 220, 190), 0.35f * rim);
      Blend(x, y, Mix(lit, Rgb(0, 0, 0), depth * shade), cover);
    }
  }
}

void Painting::Mist(float top, float bottom, const Colour& colour, float alpha, uint32_t seed) {
  ShadeArea(0, top, 800, bottom, [&](float x, float y, const Colour& pixel) {
    if (y < top || y > bottom) return pixel;
    const float t = (y - top) / (bottom - top);
    const float band = std::sin(t * 3.14159265f);
    const float wisps = 0.55f + 0.45f * FractalNoise(x / 90.0f, y / 18.0f, seed, 4);
    return Mix(pixel, colour, alpha * band * wisps);
  });
}

void Painting::Polygon(const std::vector<std::pair<float, float>>& points, const Colour& colour, float alpha) {
  if (points.size() < 3) return;
  float minY = 600, maxY = 0;
  for (const auto& p : points) {
    minY = std::min(minY, p.second);
    maxY = std::max(maxY, p.second);
  }
  // Four samples a pixel across, one per row: enough to smooth the edges after the reduction.
  for (int y = std::max(0, static_cast<int>(minY * scale_));
       y <= std::min(height_ - 1, static_cast<int>(maxY * scale_)); ++y) {
    const float uy = (y + 0.5f) / scale_;
    std::vector<float> crossings;
    for (size_t i = 0; i < points.size(); ++i) {
      const auto& a = points[i];
      const auto& b = points[(i + 1) % points.size()];
      if ((a.second <= uy) != (b.second <= uy))
        crossings.push_back(a.first + (uy - a.second) / (b.second - a.second) * (b.first - a.first));
    }
    std::sort(crossings.begin(), crossings.end());
    for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
      const float left = crossings[i] * scale_, right = crossings[i + 1] * scale_;
      for (int x = std::max(0, static_cast<int>(left)); x <= std::min(width_ - 1, static_cast<int>(right)); ++x) {
        const float cover = Clamp01(std::min(x + 1 - left, right - x));
        Blend(x, y, colour, alpha * cover);
      }
    }
  }
}

void Painting::Rect(float left, float top, float right, float bottom, const Colour& colour, float alpha) {
  Polygon({{left, top}, {right, top}, {right, bottom}, {left, bottom}}, colour, alpha);
}

void Painting::Panel(float left, float top, float right, float bottom, float radius, const Colour& face,
                     float faceAlpha, const Colour& rim, float rimWidth) {
  // Distance outside a rounded rectangle (negative inside).
  auto outside = [&](float x, float y, float grow) {
    const float cx = std::clamp(x, left + radius, right - radius), cy = std::clamp(y, top + radius, bottom - radius);
    return std::hypot(x - cx, y - cy) - radius - grow;
  };
  const float shadowOffset = 4, shadowBlur = 6;
  const float reach = shadowOffset + shadowBlur;
  ShadeArea(left - 1, top - 1, right + reach, bottom + reach, [&](float x, float y, const Colour& pixel) {
    Colour out = pixel;
    const float shadow = outside(x - shadowOffset, y - shadowOffset, 0);
    if (shadow < shadowBlur) out = Mix(out, Rgb(0, 0, 0), 0.45f * Clamp01(1.0f - shadow / shadowBlur));
    const float d = outside(x, y, 0);
    const float inside = Clamp01(-d * scale_ + 0.5f);
    if (inside <= 0) return out;
    const float grain = 0.92f + 0.08f * FractalNoise(x / 7.0f, y / 7.0f, 77, 3);
    const Colour faceColour{face.r * grain, face.g * grain, face.b * grain};
    out = Mix(out, faceColour, faceAlpha * inside);
    const float rimCover = Clamp01((d + rimWidth) * scale_ + 0.5f) * inside;
    return Mix(out, rim, rimCover);
  });
}

void Painting::Vignette(float strength) {
  Shade([&](float x, float y, const Colour& pixel) {
    const float dx = (x - 400) / 400, dy = (y - 300) / 300;
    const float d = Clamp01((dx * dx + dy * dy) * 0.5f);
    return Mix(pixel, Rgb(0, 0, 0), strength * d * d);
  });
}

float Painting::Text(const std::string& text, const char* fontFile, float size, float centreX, float baseline,
                     const Colour& top, const Colour& bottom, const Colour& outline, float outlineWidth, float shadow) {
  const TextMask mask = RenderText(text, fontFile, static_cast<int>(size * scale_));
  const TextMask rim = Dilate(mask, std::max(1, static_cast<int>(outlineWidth * scale_)));
  const int originX = static_cast<int>(centreX * scale_) - mask.width / 2;
  const int originY = static_cast<int>(baseline * scale_) - mask.baseline;
  const int drop = static_cast<int>(shadow * scale_);
  const float capTop = static_cast<float>(mask.baseline) - size * scale_ * 0.75f;
  for (int y = 0; y < mask.height + drop; ++y)
    for (int x = 0; x < mask.width + drop; ++x) {
      const int px = originX + x, py = originY + y;
      Blend(px, py, Rgb(0, 0, 0), 0.6f * rim.At(x - drop, y - drop));
      Blend(px, py, outline, rim.At(x, y));
      const float t = Clamp01((y - capTop) / (mask.baseline - capTop));
      Blend(px, py, Mix(top, bottom, t), mask.At(x, y));
    }
  return static_cast<float>(mask.width) / scale_;
}

RgbPicture Painting::Reduce(int width, int height) const {
  RgbPicture picture(width, height);
  const double sx = static_cast<double>(width_) / width, sy = static_cast<double>(height_) / height;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      // The canvas area under the target pixel, partial pixels at its edges weighted.
      const double x0 = x * sx, x1 = (x + 1) * sx, y0 = y * sy, y1 = (y + 1) * sy;
      double r = 0, g = 0, b = 0, total = 0;
      for (int cy = static_cast<int>(y0); cy < static_cast<int>(std::ceil(y1)) && cy < height_; ++cy) {
        const double wy = std::min<double>(cy + 1, y1) - std::max<double>(cy, y0);
        for (int cx = static_cast<int>(x0); cx < static_cast<int>(std::ceil(x1)) && cx < width_; ++cx) {
          const double w = wy * (std::min<double>(cx + 1, x1) - std::max<double>(cx, x0));
          const Colour& c = At(cx, cy);
          r += c.r * w;
          g += c.g * w;
          b += c.b * w;
          total += w;
        }
      }
      picture.Set(x, y, Byte(static_cast<float>(r / total)), Byte(static_cast<float>(g / total)),
                  Byte(static_cast<float>(b / total)));
    }
  return picture;
}

namespace {

struct Box {
  std::vector<std::array<int, 3>> colours;
  int range[3] = {};  // of each channel, measured once
  void Measure() {
    for (int channel = 0; channel < 3; ++channel) {
      int low = 255, high = 0;
      for (const auto& c : colours) {
        low = std::min(low, c[static_cast<size_t>(channel)]);
        high = std::max(high, c[static_cast<size_t>(channel)]);
      }
      range[channel] = colours.size() > 1 ? high - low : 0;
    }
  }
};

// Splits the widest box at the median of its widest channel until there are 256.
std::vector<std::array<int, 3>> MedianCutPalette(const RgbPicture& picture) {
  Box all;
  for (int y = 0; y < picture.height; y += 2)
    for (int x = 0; x < picture.width; x += 2) {
      const uint8_t* p = picture.At(x, y);
      all.colours.push_back({p[0], p[1], p[2]});
    }
  all.Measure();
  std::vector<Box> boxes{all};
  while (boxes.size() < 256) {
    // The box to split weighs its spread by its share of the picture, so that large smooth
    // areas and small bright ones both get their colours.
    size_t widest = 0;
    int channel = 0;
    double widestScore = 0;
    for (size_t i = 0; i < boxes.size(); ++i)
      for (int c = 0; c < 3; ++c) {
        const double score = boxes[i].range[c] * std::sqrt(static_cast<double>(boxes[i].colours.size()));
        if (score > widestScore) {
          widestScore = score;
          widest = i;
          channel = c;
        }
      }
    if (widestScore <= 0) break;
    Box& box = boxes[widest];
    const auto middle = box.colours.begin() + static_cast<long>(box.colours.size() / 2);
    std::nth_element(box.colours.begin(), middle, box.colours.end(), [channel](const auto& a, const auto& b) {
      return a[static_cast<size_t>(channel)] < b[static_cast<size_t>(channel)];
    });
    Box upper;
    upper.colours.assign(middle, box.colours.end());
    box.colours.erase(middle, box.colours.end());
    box.Measure();
    upper.Measure();
    boxes.push_back(std::move(upper));
  }
  std::vector<std::array<int, 3>> palette;
  for (const Box& box : boxes) {
    std::array<long, 3> sum{};
    for (const auto& c : box.colours)
      for (int k = 0; k < 3; ++k) sum[k] += c[k];
    const long n = static_cast<long>(std::max<size_t>(box.colours.size(), 1));
    palette.push_back({static_cast<int>(sum[0] / n), static_cast<int>(sum[1] / n), static_cast<int>(sum[2] / n)});
  }
  return palette;
}

}  // namespace

IndexedPicture Quantise(const RgbPicture& picture) {
  const std::vector<std::array<int, 3>> palette = MedianCutPalette(picture);
  IndexedPicture out(picture.width, picture.height);
  for (size_t i = 0; i < palette.size(); ++i)
    for (int c = 0; c < 3; ++c) out.palette[i][c] = static_cast<uint8_t>(palette[i][static_cast<size_t>(c)]);
  // The nearest palette entry, remembered per colour of 6 bits a channel.
  std::vector<int16_t> nearestCache(64 * 64 * 64, -1);
  auto nearest = [&](const float want[3]) -> size_t {
    const int key =
        (static_cast<int>(want[0]) >> 2) << 12 | (static_cast<int>(want[1]) >> 2) << 6 | static_cast<int>(want[2]) >> 2;
    int16_t& cached = nearestCache[static_cast<size_t>(key)];
    if (cached >= 0) return static_cast<size_t>(cached);
    size_t best = 0;
    int bestDistance = 1 << 30;
    for (size_t i = 0; i < palette.size(); ++i) {
      int d = 0;
      for (int c = 0; c < 3; ++c) {
        const int diff = ((static_cast<int>(want[c]) >> 2) << 2) + 2 - palette[i][static_cast<size_t>(c)];
        d += diff * diff;
      }
      if (d < bestDistance) {
        bestDistance = d;
        best = i;
      }
    }
    cached = static_cast<int16_t>(best);
    return best;
  };
  // Floyd-Steinberg: each pixel's error goes on to its right and lower neighbours.
  std::vector<std::array<float, 3>> error(static_cast<size_t>(picture.width + 2) * 2);
  auto errorAt = [&](int row, int x) -> std::array<float, 3>& {
    return error[static_cast<size_t>(row & 1) * (picture.width + 2) + static_cast<size_t>(x + 1)];
  };
  for (int y = 0; y < picture.height; ++y) {
    for (int x = -1; x <= picture.width; ++x) errorAt(y + 1, x) = {0, 0, 0};
    for (int x = 0; x < picture.width; ++x) {
      const uint8_t* p = picture.At(x, y);
      float want[3];
      for (int c = 0; c < 3; ++c) want[c] = std::clamp(p[c] + errorAt(y, x)[static_cast<size_t>(c)], 0.0f, 255.0f);
      const size_t best = nearest(want);
      out.indices[static_cast<size_t>(y) * picture.width + x] = static_cast<uint8_t>(best);
      for (int c = 0; c < 3; ++c) {
        // Bounded, so that a colour the palette lacks gives a fine grain rather than speckles.
        const float e = std::clamp(want[c] - static_cast<float>(palette[best][static_cast<size_t>(c)]), -10.0f, 10.0f);
        const size_t k = static_cast<size_t>(c);
        errorAt(y, x + 1)[k] += e * 7 / 16;
        errorAt(y + 1, x - 1)[k] += e * 3 / 16;
        errorAt(y + 1, x)[k] += e * 5 / 16;
        errorAt(y + 1, x + 1)[k] += e * 1 / 16;
      }
    }
  }
  return out;
}

void WriteMenuBackground(Context& ctx, const std::string& folder, const std::string& stem, const Painting& painting) {
  for (const auto& [width, height] : {std::pair{800, 600}, std::pair{640, 480}}) {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const std::string name = stem + " " + std::to_string(width) + "-" + std::to_string(height) + ".JPG";
    WriteJpeg(ctx.ClaimFile(folder + size + "\\" + name), painting.Reduce(width, height), 92);
  }
}

}  // namespace forge
