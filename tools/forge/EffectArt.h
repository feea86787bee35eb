#pragma once
// The pictures of the effects: one palette of glowing ramps shared by the EFFECTS<j> sprite
// files, and the drawing of each look (orbs, bolts, missiles, fire, smoke, bursts, rings,
// traps, markers, digits) frame by frame. Glows fade with an ordered dither, so that they
// read as soft light even when printed opaque. Every look is drawn around a hotspot: its
// centre for things in the air, the point on the ground for things standing on it.

#include <functional>

#include "forge/Canvas.h"

namespace forge::effect_art {

// Ramps of the effect palette, dark to bright.
struct Ramp {
  int first = 0;
  int steps = 1;
  int At(double t) const;  // t 0 (darkest) .. 1 (brightest), clamped
};

struct EffectPalette {
  EffectPalette();
  PaletteBuilder builder;
  Ramp white, law, neutral, vrask, fire, smoke, ice, arcane, earth, gold, shadow, wood, steel, poison, blood;
  // The carrier ramp of an alignment: 0 Law, 1 Neutral, 2 Vrask.
  const Ramp& Alignment(int alignment) const;
};

// One drawn frame and the point of it that lands on the effect's position.
struct Picture {
  Canvas canvas;
  int hotX = 0, hotY = 0;
};

// --- primitives -------------------------------------------------------------------------
// A glow around (cx, cy): solid where it is brighter than `solid`, dithered beyond; squash
// below 1 flattens it vertically (lying on the ground).
void Glow(Canvas& c, double cx, double cy, double radius, const Ramp& ramp, double solid = 0.45, double squash = 1.0,
          double brightness = 1.0);
// An elliptical ring of a thickness, brightest in its middle.
void Ring(Canvas& c, double cx, double cy, double rx, double ry, double thickness, const Ramp& ramp,
          double brightness = 1.0);
// A four-pointed sparkle.
void Sparkle(Canvas& c, int x, int y, int size, const Ramp& ramp);
// A jagged bolt from one point to another; seed picks its zigzag.
void Bolt(Canvas& c, double x0, double y0, double x1, double y1, const Ramp& ramp, int seed, int thickness = 1);
// A flame tongue standing on (cx, baseY); phase 0..1 sways it.
void Flame(Canvas& c, double cx, double baseY, double width, double height, double phase, const Ramp& ramp);
// A shaded puff of smoke or dust.
void Puff(Canvas& c, double cx, double cy, double radius, const Ramp& ramp, double light = 1.0);
// A digit 0-9, 3 x 5 cells scaled, outlined in the darkest shade of the outline ramp.
void Digit(Canvas& c, int x, int y, int digit, int scale, int fill, int outline);

// The screen direction of a heading (0-15, clockwise from the view's north-east) tilted by a
// pitch frame (0 climbing steeply .. 4 falling steeply): a unit vector.
void HeadingVector(int heading, int pitch, double& dx, double& dy);

// A deterministic pseudo-random value 0..1 from integers.
double Hash01(int a, int b, int c = 0);

}  // namespace forge::effect_art
