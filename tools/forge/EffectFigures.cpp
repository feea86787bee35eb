#include "forge/EffectFigures.h"

#include <cmath>
#include <numbers>

#include "forge/FigureRenderer.h"

namespace forge::effect_art {

FigurePalette EffectFigurePalette(const EffectPalette& p, const std::vector<std::pair<const Ramp*, Finish>>& ramps) {
  std::vector<FigurePalette::BorrowedRamp> borrowed;
  for (const auto& [ramp, finish] : ramps) borrowed.push_back({ramp->first, ramp->steps, finish});
  return FigurePalette(p.builder.Bytes(), borrowed);
}

Picture DrawMissile(const FigureModel& model, const FigurePalette& palette, int heading, int pitch, double spin) {
  const double theta = heading * std::numbers::pi / 8, climb = (2 - pitch) * std::numbers::pi / 8;
  const Vec3 level{std::sin(theta), -std::cos(theta), 0};
  Basis to;
  to.forward = level * std::cos(climb) + Vec3{0, 0, std::sin(climb)};
  to.left = {level.y, -level.x, 0};
  to.up = Vec3{0, 0, std::cos(climb)} - level * std::sin(climb);
  to = to.Rolled(spin);
  FigureModel turned = model;
  turned.Transform(to);
  RenderOptions options;
  options.plain = false;
  options.outlineDark = 0.7;
  const FigurePicture drawn = RenderFigure(turned, palette, options).full;
  return Picture{drawn.canvas, drawn.hotspotX, drawn.hotspotY};
}

void Stamp(Picture& onto, int x, int y, const Picture& shape) {
  for (int sy = 0; sy < shape.canvas.Height(); ++sy)
    for (int sx = 0; sx < shape.canvas.Width(); ++sx)
      if (shape.canvas.Opaque(sx, sy))
        onto.canvas.Set(x - shape.hotX + sx, y - shape.hotY + sy, shape.canvas.At(sx, sy));
}

FigureModel ArrowShape(int shaft, int head, int feathers) {
  FigureModel m;
  m.Limb({-7, 0, 0}, 0.45, {6, 0, 0}, 0.45, shaft);
  m.Limb({5.5, 0, 0}, 1.1, {9, 0, 0}, 0.1, head);
  // Two vanes crossed at the tail.
  m.Triangle({-7.5, 0, 0}, {-3.5, 0, 0}, {-7.5, 0, 1.9}, feathers);
  m.Triangle({-7.5, 0, 0}, {-3.5, 0, 0}, {-7.5, 0, -1.9}, feathers);
  m.Triangle({-7.5, 0, 0}, {-3.5, 0, 0}, {-7.5, 1.9, 0}, feathers);
  m.Triangle({-7.5, 0, 0}, {-3.5, 0, 0}, {-7.5, -1.9, 0}, feathers);
  return m;
}

FigureModel SpineShape(int spine, int tip) {
  FigureModel m;
  m.Limb({-5, 0, 0}, 0.8, {3, 0, 0}, 0.45, spine);
  m.Limb({3, 0, 0}, 0.5, {6, 0, 0}, 0.08, tip);
  return m;
}

FigureModel StoneShape(int material, double radius, int seed) {
  FigureModel m;
  Basis core;
  m.Ellipsoid(core, radius, radius * 0.85, radius * 0.75, material);
  for (int k = 0; k < 3; ++k) {
    const double a = Hash01(seed, k, 1) * 2 * std::numbers::pi, b = (Hash01(seed, k, 2) - 0.5) * 2;
    m.Ball({std::cos(a) * radius * 0.55, std::sin(a) * radius * 0.5, b * radius * 0.4}, radius * 0.55, material);
  }
  return m;
}

}  // namespace forge::effect_art
