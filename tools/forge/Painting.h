#pragma once
// The forge's painter for full-screen pictures (menu backgrounds, slides): a canvas of
// floating-point colour painted at twice the largest size the game shows, then reduced by
// area averaging to each resolution, so that every edge is smooth. Coordinates are given in
// the 800 x 600 frame of the screen layouts and scaled to the canvas; the shapes are the few a
// painted landscape needs (skies, soft lights, hills and mountain ridges, silhouettes, mist,
// panels) and text set with FreeType.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "forge/Pictures.h"

namespace forge {

struct Colour {
  float r = 0, g = 0, b = 0;
};
Colour Rgb(int r, int g, int b);
Colour Mix(const Colour& a, const Colour& b, float t);

// One stop of a gradient: the colour at a position from 0 to 1.
struct ColourStop {
  float at;
  Colour colour;
};
Colour Gradient(const std::vector<ColourStop>& stops, float t);

// Smooth value noise in [0, 1] and its sum over octaves, from integer hashing: the same
// arguments give the same value on every machine.
float ValueNoise(float x, float y, uint32_t seed);
float FractalNoise(float x, float y, uint32_t seed, int octaves);

class Painting {
 public:
  // A canvas for a picture of the layouts' 800 x 600 frame, at `scale` canvas pixels per unit.
  explicit Painting(int scale = 2);
  int Width() const { return width_; }
  int Height() const { return height_; }
  int Scale() const { return scale_; }

  // Every pixel takes the colour a function of its 800 x 600 position gives.
  template <class Shader>
  void Shade(Shader&& shader) {
    ShadeArea(0, 0, 800, 600, shader);
  }
  // The same over the pixels of an 800 x 600 rectangle only.
  template <class Shader>
  void ShadeArea(float left, float top, float right, float bottom, Shader&& shader) {
    const int x0 = std::max(0, static_cast<int>(left * scale_)),
              x1 = std::min(width_, static_cast<int>(right * scale_) + 1);
    const int y0 = std::max(0, static_cast<int>(top * scale_)),
              y1 = std::min(height_, static_cast<int>(bottom * scale_) + 1);
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) At(x, y) = shader((x + 0.5f) / scale_, (y + 0.5f) / scale_, At(x, y));
  }
  // The sky: the stops from the top (0) to the horizon line y (1) and below it.
  void VerticalGradient(float top, float bottom, const std::vector<ColourStop>& stops);
  // A soft disc: a solid core of the radius and a glow fading over glowRadius beyond it.
  void Glow(float cx, float cy, float radius, float glowRadius, const Colour& core, const Colour& glow,
            float glowAlpha);
  // Points of light with a little twinkle, thinning towards the horizon y.
  void Stars(float horizon, int count, uint32_t seed);
  // A ridge whose height above `base` follows fractal noise (amplitude, roughness by the
  // feature width); everything below it takes the colour, shaded darker towards the bottom
  // edge of the canvas by `shade`, and lit on the slopes facing left by `light`.
  void Ridge(float base, float amplitude, float featureWidth, uint32_t seed, const Colour& colour, float shade,
             float light);
  // A band of mist between two heights, strongest at its middle.
  void Mist(float top, float bottom, const Colour& colour, float alpha, uint32_t seed);
  // A filled polygon of 800 x 600 points, blended with alpha.
  void Polygon(const std::vector<std::pair<float, float>>& points, const Colour& colour, float alpha = 1.0f);
  void Rect(float left, float top, float right, float bottom, const Colour& colour, float alpha = 1.0f);
  // A rounded panel: a face blended with alpha, a rim of the given width, and a soft shadow.
  void Panel(float left, float top, float right, float bottom, float radius, const Colour& face, float faceAlpha,
             const Colour& rim, float rimWidth);
  // The edges of the picture darkened towards its corners.
  void Vignette(float strength);

  // Text set with a DejaVu font file ("DejaVuSerif-Bold.ttf") at a size in 800 x 600 pixels,
  // centred on x with its baseline at y: filled from the top colour to the bottom colour, with
  // a dark outline and a drop shadow. Answers the text's width.
  float Text(const std::string& text, const char* fontFile, float size, float centreX, float baseline,
             const Colour& top, const Colour& bottom, const Colour& outline, float outlineWidth, float shadow);

  // The picture reduced to width x height by area averaging.
  RgbPicture Reduce(int width, int height) const;

  Colour& At(int x, int y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  const Colour& At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  void Blend(int x, int y, const Colour& colour, float alpha);

 private:
  int scale_, width_, height_;
  std::vector<Colour> pixels_;
};

// A picture reduced to 256 colours: a median-cut palette, mapped with error diffusion so that
// gradients stay smooth.
IndexedPicture Quantise(const RgbPicture& picture);

// Writes the picture as JPEG files at both resolutions:
// "<folder>\800x600\<stem> 800-600.JPG" and "<folder>\640x480\<stem> 640-480.JPG".
class Context;
void WriteMenuBackground(Context& ctx, const std::string& folder, const std::string& stem, const Painting& painting);

}  // namespace forge
