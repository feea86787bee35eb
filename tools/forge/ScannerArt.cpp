// The scanner's art: the prepared backgrounds of the 80 x 80 and 100 x 100 maps
// (bitmaps\scan4by4Middle.bmp, 160 x 80, and bitmaps\scan5by5Middle.bmp, 200 x 100: a dark
// slate diamond that shows where the fog of war hides the map) with their edge frames
// (bitmaps\scanSmallEdge.spr and bitmaps\scanLargeEdge.spr: a bronze rim round the diamond,
// its hotspot at the diamond's middle), and the 80 x 40 tile that other map sizes repeat
// under the diamond (bitmaps\Scanner BackGround.bmp).
#include <algorithm>
#include <cmath>

#include "forge/Forge.h"
#include "forge/IconArt.h"
#include "forge/IconShapes.h"
#include "forge/Painting.h"
#include "forge/Pictures.h"
#include "forge/SpriteWriter.h"

namespace forge {

using namespace icon;

namespace {

constexpr int kEdgePad = 6;

// Mottled slate, a little lighter toward the top.
Shader Slate(float height, uint32_t seed) {
  return [height, seed](float x, float y) {
    const float mottle = FractalNoise(x / 14, y / 10, seed, 3);
    Colour c = Mix(Rgb(26, 30, 40), Rgb(54, 58, 70), mottle);
    return Lighter(c, 0.12f * (1 - y / height));
  };
}

Shape Diamond(float cx, float cy, float halfWidth, float halfHeight) {
  return Polygon({{cx, cy - halfHeight}, {cx + halfWidth, cy}, {cx, cy + halfHeight}, {cx - halfWidth, cy}});
}

// The prepared background: the slate diamond with faint grid lines along the map's rows.
RgbPicture PreparedBackground(int size) {
  const int width = 2 * size, height = size;
  Raster r(width, height);
  r.Fill(Box(0, 0, width, height), Rgb(14, 16, 22));
  const Shape diamond = Diamond(width / 2.0f, height / 2.0f, width / 2.0f, height / 2.0f);
  r.Fill(diamond, Slate(height, 31));
  for (int i = 10; i < size; i += 10) {
    // Lines of constant a and of constant b, every ten cells.
    const float t = static_cast<float>(i);
    r.Fill(Intersect(diamond, Segment(size - t, t / 2, 2 * size - t, (size + t) / 2.0f, 0.6f)), Rgb(80, 86, 104), 0.5f);
    r.Fill(Intersect(diamond, Segment(size + t, t / 2, t, (size + t) / 2.0f, 0.6f)), Rgb(80, 86, 104), 0.5f);
  }
  return r.ToPicture(Rgb(14, 16, 22));
}

// The bronze rim round the diamond of a map of that size; its hotspot is the middle.
Canvas EdgeFrame(int size) {
  const int width = 2 * size + 2 * kEdgePad, height = size + 2 * kEdgePad;
  const float cx = width / 2.0f, cy = height / 2.0f;
  Raster r(width, height);
  const Shape outer = Diamond(cx, cy, size + 5.0f, size / 2.0f + 3.5f);
  const Shape inner = Diamond(cx, cy, size + 1.5f, size / 2.0f + 1.0f);
  r.Fill(Subtract(outer, inner), VerticalGradient(0, static_cast<float>(height), Rgb(236, 196, 110), Rgb(120, 74, 30)));
  r.Fill(Subtract(Diamond(cx, cy, size + 3.4f, size / 2.0f + 2.4f), Diamond(cx, cy, size + 2.6f, size / 2.0f + 1.9f)),
         Rgb(90, 54, 20), 0.7f);
  // Studs at the four vertices.
  for (const auto& [x, y] : std::initializer_list<std::pair<float, float>>{
           {cx, cy - size / 2.0f - 2}, {cx + size + 3.0f, cy}, {cx, cy + size / 2.0f + 2}, {cx - size - 3.0f, cy}})
    r.Fill(Circle(x, y, 3), Ball(x - 1, y - 1, 3, Rgb(250, 220, 140)));
  return r.ToCanvas();
}

// The repeated tile: slate with a faint diamond lattice that meets itself across the edges.
RgbPicture BackgroundTile() {
  Raster r(80, 40);
  r.Fill(Box(0, 0, 80, 40), Slate(40, 47));
  for (float offset : {0.0f, 40.0f, 80.0f}) {
    r.Fill(Segment(offset - 40, 0, offset + 40, 40, 0.5f), Rgb(70, 76, 92), 0.6f);
    r.Fill(Segment(offset + 40, 0, offset - 40, 40, 0.5f), Rgb(70, 76, 92), 0.6f);
  }
  return r.ToPicture(Rgb(26, 30, 40));
}

}  // namespace

FORGE_STEP(ScannerArt) {
  ctx.WriteFile("bitmaps\\scan4by4Middle.bmp", MakeBmp24(PreparedBackground(80)));
  ctx.WriteFile("bitmaps\\scan5by5Middle.bmp", MakeBmp24(PreparedBackground(100)));
  ctx.WriteFile("bitmaps\\Scanner BackGround.bmp", MakeBmp24(BackgroundTile()));
  for (const auto& [size, name] :
       {std::pair{80, "bitmaps\\scanSmallEdge.spr"}, std::pair{100, "bitmaps\\scanLargeEdge.spr"}}) {
    SpriteFileWriter edge;
    edge.AddFrame(EncodeFrame(EdgeFrame(size), size + kEdgePad, size / 2 + kEdgePad, -1));
    ctx.WriteFile(name, edge.Bytes());
  }
}

}  // namespace forge
