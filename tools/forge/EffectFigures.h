#pragma once
// Effect shapes drawn as lit solid figures with the creature art's renderer (FigureRenderer.h):
// missiles seen along a heading (0-15, clockwise from the view's north-east, as the effect
// code counts them) and a pitch frame (0 climbing steeply .. 2 level .. 4 falling steeply),
// lit from the upper left like the creatures and the terrain, in the effect palette.
//
// To draw an effect shape: build a FigureModel pointing along +x and centred on its middle
// (FigureModel.h: balls, ellipsoids, limbs, flat triangles), name its materials by ramps of the
// effect palette (EffectFigurePalette), then DrawMissile turns and draws it. Glows, flames,
// smoke, rings, bolts and digits stay flat pictures (EffectArt.h); Stamp lays a drawn shape
// over such a picture.

#include <utility>
#include <vector>

#include "forge/EffectArt.h"
#include "forge/FigureModel.h"
#include "forge/FigurePalette.h"

namespace forge::effect_art {

// A figure palette whose material i shades along the i-th ramp given.
FigurePalette EffectFigurePalette(const EffectPalette& p, const std::vector<std::pair<const Ramp*, Finish>>& ramps);

// The model turned to a heading and pitch, rolled about its own length by `spin` (radians),
// and drawn; the hot spot is the model's origin.
Picture DrawMissile(const FigureModel& model, const FigurePalette& palette, int heading, int pitch, double spin = 0);

// Lays a drawn shape over a picture, its hot spot at (x, y) of the picture's canvas.
void Stamp(Picture& onto, int x, int y, const Picture& shape);

// Shapes, each pointing along +x round its middle, materials by index.
FigureModel ArrowShape(int shaft, int head, int feathers);
FigureModel SpineShape(int spine, int tip);
// A lumpy stone or clod; seed picks its lumps.
FigureModel StoneShape(int material, double radius, int seed);

}  // namespace forge::effect_art
