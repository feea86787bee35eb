#pragma once
// Draws a FigureModel in the map view's projection (FigureGeometry.h), lit from the upper
// left as the terrain is: tops brightest, faces toward the lower left lighter than those
// toward the lower right. Each pixel's nearest primitive is shaded by its material's
// finish and mapped onto the material's ramp of the palette; a dark line runs round the
// silhouette and behind limbs that pass in front of the body, so the figure reads at a
// glance on any ground.
//
// The same pass gives the plain picture of the cut-down set: without detail primitives,
// without texture and highlights, in a few flat shades.
//
// Rendering depends only on the model: the same model gives the same pixels on every run
// and on any thread.

#include "forge/Canvas.h"
#include "forge/FigureModel.h"
#include "forge/FigurePalette.h"

namespace forge {

// A picture cropped to its opaque pixels; the hot spot is the pixel of the world origin
// (the figure's ground point). An empty picture is 0 x 0.
struct FigurePicture {
  Canvas canvas;
  int hotspotX = 0, hotspotY = 0;
};

struct FigurePictures {
  FigurePicture full;
  FigurePicture plain;
};

struct RenderOptions {
  bool plain = true;         // also make the plain picture
  bool outline = true;       // the dark silhouette line
  double outlineDark = 0.6;  // brightness factor of the silhouette's shadow side
};

FigurePictures RenderFigure(const FigureModel& model, const FigurePalette& palette, const RenderOptions& options = {});

// The light, a unit vector toward it, and the direction toward the viewer.
Vec3 FigureLight();
Vec3 FigureViewer();

}  // namespace forge
