#pragma once
// Small anti-aliased pictures for the interface (icons, buttons, gauges, portraits), drawn
// with signed distance fields: a shape is a function giving, for a point in pixels, its
// distance to the shape's edge (negative inside). Filling a shape covers each pixel by how far
// its centre lies inside, so edges come out smooth without supersampling, and outlines are
// the same shape grown by the outline's width. The picture is then taken as 16-bit sprite
// frame cells (transparent where nothing covers half a pixel) or as an RGB picture.

#include <functional>
#include <utility>
#include <vector>

#include "forge/Canvas.h"
#include "forge/Painting.h"
#include "forge/Pictures.h"

namespace forge::icon {

using Shape = std::function<float(float x, float y)>;
using Shader = std::function<Colour(float x, float y)>;

// --- shapes -----------------------------------------------------------------------------
Shape Circle(float cx, float cy, float r);
Shape Ellipse(float cx, float cy, float rx, float ry);
// A box from (x0, y0) to (x1, y1) with corners rounded by the radius.
Shape Box(float x0, float y0, float x1, float y1, float radius = 0);
// A line of the given width with round ends.
Shape Segment(float x0, float y0, float x1, float y1, float width);
// A ring of the radius and width.
Shape Ring(float cx, float cy, float r, float width);
// A filled polygon (any winding).
Shape Polygon(std::vector<std::pair<float, float>> points);
// A path of segments through the points.
Shape Path(const std::vector<std::pair<float, float>>& points, float width);

Shape Union(Shape a, Shape b);
Shape Union(std::vector<Shape> shapes);
Shape Subtract(Shape a, Shape b);
Shape Intersect(Shape a, Shape b);
// The shape grown by d pixels (shrunk when d is negative).
Shape Grow(Shape a, float d);
Shape Move(Shape a, float dx, float dy);
// The shape turned by the angle (radians, clockwise on the screen) around (cx, cy).
Shape Turn(Shape a, float cx, float cy, float angle);
// The shape mirrored left to right about the vertical line x = axis.
Shape Mirror(Shape a, float axis);
// The shape scaled by s about (cx, cy).
Shape Scale(Shape a, float cx, float cy, float s);

// --- shaders ------------------------------------------------------------------------------
Shader Flat(Colour c);
// From the top colour at y0 to the bottom one at y1.
Shader VerticalGradient(float y0, float y1, Colour top, Colour bottom);
// A ball lit from the upper left: dark at its rim, a highlight toward the light.
Shader Ball(float cx, float cy, float r, Colour colour);
// From the centre colour to the rim colour over the radius.
Shader Radial(float cx, float cy, float r, Colour centre, Colour rim);

// --- the picture --------------------------------------------------------------------------
class Raster {
 public:
  Raster(int width, int height);
  int Width() const { return width_; }
  int Height() const { return height_; }

  // Covers the shape with the shader's colours at the opacity.
  void Fill(const Shape& shape, const Shader& shader, float opacity = 1.0f);
  void Fill(const Shape& shape, Colour colour, float opacity = 1.0f) { Fill(shape, Flat(colour), opacity); }
  // The shape in the colour with an outline of the width in the outline colour round it.
  void Outlined(const Shape& shape, const Shader& shader, Colour outline, float width = 1.2f);
  void Outlined(const Shape& shape, Colour colour, Colour outline, float width = 1.2f) {
    Outlined(shape, Flat(colour), outline, width);
  }
  // Every covered pixel inside the shape darkened (amount < 0) or lightened (> 0), by how far
  // it lies from the light (upper left): a soft bevel for tiles and sockets.
  void Bevel(const Shape& shape, float depth, float amount);
  // Every pixel's colour changed by the function (greying, fading).
  void Recolour(const std::function<Colour(Colour)>& change);
  // Draws another raster over this one at (x, y).
  void Draw(const Raster& other, int x, int y);

  Colour ColourAt(int x, int y) const { return colour_[Index(x, y)]; }
  float AlphaAt(int x, int y) const { return alpha_[Index(x, y)]; }

  // 16-bit (5-6-5) sprite frame cells: transparent below half coverage. The interface's key
  // colour (pure blue) is never written, so no pixel of a frame turns transparent on a keyed
  // panel.
  Canvas ToCanvas() const;
  // An RGB picture: every pixel over the background colour.
  RgbPicture ToPicture(Colour background) const;
  // An RGB picture for a keyed panel: pixels less than half covered are pure blue (the key),
  // the others blended over the colour behind, so that no blue fringe shows round the edges.
  RgbPicture ToKeyedPicture(Colour behind) const;

 private:
  size_t Index(int x, int y) const { return static_cast<size_t>(y) * width_ + x; }
  int width_, height_;
  std::vector<Colour> colour_;
  std::vector<float> alpha_;
};

// A 16-bit frame cell of a colour (never the key colour).
int Cell565(Colour c);
Colour Lighter(Colour c, float t);  // toward white by t
Colour Darker(Colour c, float t);   // toward black by t
Colour Grey(Colour c);              // the same brightness without colour

}  // namespace forge::icon
