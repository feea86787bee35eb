#include "forge/IconShapes.h"

#include <cmath>
#include <vector>

namespace forge::icon {

const Colour kCream = Rgb(250, 244, 226);
const Colour kInk = Rgb(22, 16, 12);
const Colour kGold = Rgb(232, 196, 92);
const Colour kFire = Rgb(255, 140, 30);
const Colour kIce = Rgb(180, 232, 255);
const Colour kBlood = Rgb(215, 25, 35);
const Colour kSteel = Rgb(190, 198, 210);

// The button's tile: a gold rim round a bevelled face.
void Tile(Raster& r, Colour top, Colour bottom, Colour rim) {
  r.Fill(Box(0, 0, kTileWidth, kTileHeight, 6), Darker(rim, 0.55f));
  r.Fill(Box(0.8f, 0.8f, kTileWidth - 0.8f, kTileHeight - 0.8f, 5.5f),
         VerticalGradient(0, kTileHeight, Lighter(rim, 0.2f), Darker(rim, 0.35f)));
  const Shape face = Box(2.6f, 2.6f, kTileWidth - 2.6f, kTileHeight - 2.6f, 4);
  r.Fill(face, VerticalGradient(2, kTileHeight - 2, top, bottom));
  r.Bevel(face, 3, -0.35f);
}

Shape Star(float cx, float cy, float outer, float inner, int points, float turn) {
  std::vector<std::pair<float, float>> p;
  for (int i = 0; i < 2 * points; ++i) {
    const float a = turn - kPi / 2 + i * kPi / points, rad = i % 2 ? inner : outer;
    p.push_back({cx + rad * std::cos(a), cy + rad * std::sin(a)});
  }
  return Polygon(p);
}

Shape Bolt(float x, float y, float s) {
  return Polygon({{x + 4 * s, y},
                  {x + 10 * s, y},
                  {x + 6.5f * s, y + 8 * s},
                  {x + 11 * s, y + 8 * s},
                  {x + 2 * s, y + 22 * s},
                  {x + 4.5f * s, y + 12 * s},
                  {x, y + 12 * s}});
}

Shape Flame(float cx, float base, float w, float h) {
  return Union({Circle(cx, base - w * 0.45f, w * 0.5f), Polygon({{cx - w * 0.5f, base - w * 0.45f},
                                                                 {cx - w * 0.15f, base - h},
                                                                 {cx + w * 0.1f, base - h * 0.55f},
                                                                 {cx + w * 0.35f, base - h * 0.8f},
                                                                 {cx + w * 0.5f, base - w * 0.45f}})});
}

Shape Drop(float cx, float cy, float r) {
  return Union(Circle(cx, cy, r),
               Polygon({{cx - r * 0.92f, cy - r * 0.4f}, {cx, cy - r * 2.3f}, {cx + r * 0.92f, cy - r * 0.4f}}));
}

Shape Skull(float cx, float cy, float s) {
  return Subtract(Union(Circle(cx, cy, 6 * s), Box(cx - 3.6f * s, cy + 2 * s, cx + 3.6f * s, cy + 8 * s, 1.2f * s)),
                  Union({Circle(cx - 2.4f * s, cy + 0.5f * s, 1.6f * s), Circle(cx + 2.4f * s, cy + 0.5f * s, 1.6f * s),
                         Segment(cx, cy + 3 * s, cx, cy + 4 * s, 1.2f * s),
                         Segment(cx - 1.5f * s, cy + 8 * s, cx - 1.5f * s, cy + 6 * s, 0.8f * s),
                         Segment(cx + 1.5f * s, cy + 8 * s, cx + 1.5f * s, cy + 6 * s, 0.8f * s)}));
}

Shape Arrow(float x0, float y0, float x1, float y1, float w) {
  const float dx = x1 - x0, dy = y1 - y0, len = std::sqrt(dx * dx + dy * dy), ux = dx / len, uy = dy / len;
  const float hx = x1 - ux * 6, hy = y1 - uy * 6;
  return Union(Segment(x0, y0, hx, hy, w),
               Polygon({{x1, y1}, {hx - uy * 4.5f, hy + ux * 4.5f}, {hx + uy * 4.5f, hy - ux * 4.5f}}));
}

Shape Cloud(float cx, float cy, float s) {
  return Union({Circle(cx - 6 * s, cy + 1 * s, 4.5f * s), Circle(cx, cy - 2 * s, 6 * s),
                Circle(cx + 6.5f * s, cy + 1 * s, 4.5f * s),
                Box(cx - 10 * s, cy, cx + 10.5f * s, cy + 5 * s, 2.5f * s)});
}

Shape Snowflake(float cx, float cy, float r) {
  std::vector<Shape> arms;
  for (int i = 0; i < 6; ++i) {
    const float a = i * kPi / 3, c = std::cos(a), s = std::sin(a);
    arms.push_back(Segment(cx, cy, cx + r * c, cy + r * s, 2));
    const float bx = cx + r * 0.6f * c, by = cy + r * 0.6f * s;
    arms.push_back(Segment(bx, by, bx + r * 0.3f * std::cos(a + 0.8f), by + r * 0.3f * std::sin(a + 0.8f), 1.6f));
    arms.push_back(Segment(bx, by, bx + r * 0.3f * std::cos(a - 0.8f), by + r * 0.3f * std::sin(a - 0.8f), 1.6f));
  }
  return Union(arms);
}

Shape Person(float cx, float top, float s) {
  return Union({Circle(cx, top + 3.5f * s, 3.5f * s),
                Polygon({{cx - 5 * s, top + 8 * s},
                         {cx + 5 * s, top + 8 * s},
                         {cx + 3.5f * s, top + 18 * s},
                         {cx - 3.5f * s, top + 18 * s}}),
                Segment(cx - 2 * s, top + 17 * s, cx - 2.5f * s, top + 26 * s, 2.6f * s),
                Segment(cx + 2 * s, top + 17 * s, cx + 2.5f * s, top + 26 * s, 2.6f * s)});
}

Shape Totem(float cx) { return Union({Box(cx - 5, 12, cx + 5, 34, 1.5f), Box(cx - 8, 20, cx + 8, 23, 1)}); }

}  // namespace forge::icon
