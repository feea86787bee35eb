#include "forge/EffectLooks.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "forge/EffectFigures.h"

namespace forge::effect_art {

namespace {

constexpr double kPi = std::numbers::pi;

Picture Blank(int width, int height, int hotX, int hotY) { return Picture{Canvas(width, height), hotX, hotY}; }

// 0 at the first frame, 1 at the last.
double Progress(int frame, int frames) { return frames > 1 ? static_cast<double>(frame) / (frames - 1) : 1.0; }

// The screen offset of a point on a ground circle of radius r at an angle (the map view
// squashes the ground to half height).
void OnGround(double r, double angle, double& x, double& y) {
  x = r * std::cos(angle);
  y = r * std::sin(angle) * 0.5;
}

}  // namespace

Picture CarrierOrb(const EffectPalette& p, const Ramp& ramp, bool large, int frame) {
  const int size = large ? 36 : 30;
  Picture pic = Blank(size, size, size / 2, size / 2);
  Canvas& c = pic.canvas;
  const double cx = size / 2.0, cy = size / 2.0;
  const double pulse = 0.85 + 0.15 * std::sin(frame * kPi / 4);
  if (frame >= 6)
    Ring(c, cx, cy, (large ? 10 : 8) + 3 * (frame - 6), (large ? 6 : 5) + 2 * (frame - 6), 2.5, ramp, 0.9);
  // A solid body of light with a dithered fringe: it must read at a glance as it flies.
  Glow(c, cx, cy, (large ? 10.5 : 8.5) * pulse, ramp, 0.55);
  Glow(c, cx, cy, large ? 4.5 : 3.5, p.white, 0.7);
  for (int k = 0; k < (large ? 4 : 3); ++k) {
    const double angle = frame * kPi / 4 + k * 2 * kPi / (large ? 4 : 3);
    double ox, oy;
    OnGround(large ? 11 : 9, angle, ox, oy);
    Sparkle(c, static_cast<int>(cx + ox), static_cast<int>(cy + oy), oy > 0 ? 2 : 1, p.white);
  }
  return pic;
}

Picture EnergyBall(const EffectPalette& p, const Ramp& ramp, int radius, int frame) {
  const int size = 6 * radius + 4;
  Picture pic = Blank(size, size, size / 2, size / 2);
  Canvas& c = pic.canvas;
  const double cx = size / 2.0, cy = size / 2.0;
  for (int k = 0; k < 3; ++k) {
    const double angle = Hash01(frame, k, 5) * 2 * kPi;
    const double length = radius * (1.8 + Hash01(frame, k, 6));
    Bolt(c, cx, cy, cx + std::cos(angle) * length, cy + std::sin(angle) * length, ramp, frame * 7 + k);
  }
  Glow(c, cx, cy, radius + 2.5, ramp, 0.55);
  Glow(c, cx, cy, radius * 0.6 + 0.8, p.white, 0.7);
  return pic;
}

Picture Arrow(const EffectPalette& p, int heading, int pitch, bool dark) {
  // A solid arrow, turned along its flight: a wooden shaft, a steel head and crossed vanes
  // in the archer's colours.
  const FigurePalette palette = EffectFigurePalette(
      p, {{&p.wood, Finish::kMatte}, {&p.steel, Finish::kMetal}, {dark ? &p.vrask : &p.neutral, Finish::kFeather}});
  return DrawMissile(ArrowShape(0, 1, 2), palette, heading, pitch);
}

Picture SlingStone(const EffectPalette& p, int frame) {
  // A stone tumbling end over end as it flies.
  const FigurePalette palette = EffectFigurePalette(p, {{&p.steel, Finish::kBone}});
  return DrawMissile(StoneShape(0, 3.2, 7), palette, 0, 2, frame * kPi / 2);
}

Picture Spikes(const EffectPalette& p, int heading, int frame) {
  // Three spines side by side, the outer two a little behind, their tips dark with venom.
  const FigurePalette palette = EffectFigurePalette(p, {{&p.steel, Finish::kBone}, {&p.vrask, Finish::kGloss}});
  FigureModel volley;
  for (int k = -1; k <= 1; ++k) {
    FigureModel spine = SpineShape(0, 1);
    spine.Translate({-std::abs(k) * 3.0 - (frame & 1), k * 4.0, 0});
    for (const Primitive& part : spine.Primitives()) volley.AddPrimitive(part);
  }
  return DrawMissile(volley, palette, heading, 2);
}

Picture FlySwarm(const EffectPalette& p, int frame, bool scatter) {
  Picture pic = Blank(30, 26, 15, 13);
  const int flies = 12;
  for (int k = 0; k < flies; ++k) {
    const double spread = scatter ? 4 + frame * 2.5 : 7;
    const double angle = Hash01(k, 1) * 2 * kPi + frame * (scatter ? 0 : 0.9);
    const double r = spread * (0.4 + 0.6 * Hash01(k, 2));
    const int x = static_cast<int>(std::lround(15 + std::cos(angle) * r * 1.3));
    const int y = static_cast<int>(std::lround(13 + std::sin(angle) * r));
    pic.canvas.Set(x, y, p.shadow.At(0.0));
    pic.canvas.Set(x, y + 1, p.shadow.At(0.0));
    pic.canvas.Set((k + frame) % 2 ? x - 1 : x + 1, y, p.smoke.At(0.95));  // a wing catching the light
  }
  return pic;
}

Picture SpinningClod(const EffectPalette& p, int frame) {
  // A clod of earth turning over as it flies, crumbs shaken off it.
  const FigurePalette palette = EffectFigurePalette(p, {{&p.earth, Finish::kFur}});
  FigureModel clod = StoneShape(0, 4.5, 3);
  for (int k = 0; k < 3; ++k) {
    const double angle = frame * kPi / 3 + k * 2 * kPi / 3;
    clod.Ball({0, std::cos(angle) * 7, std::sin(angle) * 7}, 0.8, 0);
  }
  return DrawMissile(clod, palette, 0, 2, frame * kPi / 3);
}

Picture GoldStar(const EffectPalette& p, int frame) {
  Picture pic = Blank(20, 20, 10, 10);
  Glow(pic.canvas, 10, 10, 6, p.gold, 0.3, 1.0, 0.8);
  for (int k = 0; k < 4; ++k) {
    const double angle = frame * kPi / 8 + k * kPi / 2;
    pic.canvas.Line(10, 10, 10 + static_cast<int>(std::lround(std::cos(angle) * 8)),
                    10 + static_cast<int>(std::lround(std::sin(angle) * 8)), p.gold.At(1.0));
  }
  Sparkle(pic.canvas, 10, 10, 2, p.white);
  return pic;
}

Picture Meteor(const EffectPalette& p, int frame) {
  Picture pic = Blank(30, 34, 15, 20);
  Canvas& c = pic.canvas;
  for (int k = 0; k < 3; ++k)
    Flame(c, 15 + (k - 1) * 4, 22 - k % 2, 9, 16 + 3 * ((frame + k) % 3), (frame + k) / 4.0, p.fire);
  Glow(c, 15, 20, 8, p.fire, 0.4, 1.0, 0.9);
  // A solid rock at the heart of the flames, turning as it falls.
  const FigurePalette palette = EffectFigurePalette(p, {{&p.earth, Finish::kBone}});
  Stamp(pic, 15, 20, DrawMissile(StoneShape(0, 4.2, 11), palette, 0, 2, frame * kPi / 2));
  return pic;
}

Picture Fireball(const EffectPalette& p, int radius, int frame, int frames) {
  const int size = radius * 4 + 8;
  Picture pic = Blank(size, size, size / 2, size / 2);
  Canvas& c = pic.canvas;
  const double cx = size / 2.0, cy = size / 2.0;
  // A halo of heat, a ball of fire lit from the upper left, and flames licking off its top.
  Glow(c, cx, cy, radius * 1.6, p.fire, 0.0, 1.0, 0.6);
  for (int k = 0; k < 3; ++k)
    Flame(c, cx + (k - 1) * radius * 0.55, cy - radius * 0.2, radius * 0.8, radius * (1.3 + 0.3 * Hash01(frame, k)),
          (frame + 2 * k) / 6.0, p.fire);
  Puff(c, cx, cy, radius, p.fire, 1.15);
  Glow(c, cx - radius * 0.25, cy - radius * 0.25, radius * 0.45, p.white, 0.5, 1.0,
       0.9 - 0.3 * Progress(frame, frames));
  return pic;
}

Picture Fire(const EffectPalette& p, int size, int frame, int frames) {
  static constexpr int kWidth[4] = {30, 22, 15, 10}, kHeight[4] = {44, 30, 19, 12};
  const int w = kWidth[size], h = kHeight[size];
  Picture pic = Blank(w + 14, h + 10, (w + 14) / 2, h + 4);
  Canvas& c = pic.canvas;
  const double dying = frame >= frames ? (frame - frames + 1) / 4.0 : 0;
  const double scale = 1 - 0.6 * dying;
  const double cx = pic.hotX, base = pic.hotY + 2;
  // Embers glow on the ground, then three tongues sway out of step.
  Glow(c, cx, base - 1, w * 0.55, p.fire, 0.25, 0.45, 0.55);
  Flame(c, cx - w * 0.28, base, w * 0.55 * scale, h * 0.6 * scale, (frame + 2) / 6.0, p.fire);
  Flame(c, cx + w * 0.28, base, w * 0.55 * scale, h * 0.7 * scale, (frame + 4) / 6.0, p.fire);
  Flame(c, cx, base, w * 0.75 * scale, h * (0.88 + 0.12 * std::sin(frame * kPi / 3)) * scale, frame / 6.0, p.fire);
  for (int k = 0; k < 2 + (3 - size); ++k) {
    const int ex = static_cast<int>(cx + (Hash01(frame, k, 3) - 0.5) * w);
    const int ey = static_cast<int>(base - h * (0.5 + 0.6 * Hash01(frame, k, 4)) * scale);
    c.Set(ex, ey, p.fire.At(0.95));
  }
  if (dying > 0) Puff(c, cx, base - h * 0.7, w * 0.25 * dying + 1, p.smoke, 0.7);
  return pic;
}

Picture StormCloud(const EffectPalette& p, int frame) {
  Picture pic = Blank(56, 40, 28, 20);
  Canvas& c = pic.canvas;
  if (frame % 4 == 2) Bolt(c, 28, 22, 24 + (frame % 3) * 4, 39, p.white, frame, 1);
  for (int k = 0; k < 6; ++k) {
    double ox, oy;
    OnGround(14, k * kPi / 3 + frame * 0.1, ox, oy);
    Puff(c, 28 + ox, 14 + oy, 8 + 2 * Hash01(k, 3), p.smoke, 0.55);
  }
  Puff(c, 28, 11, 10, p.smoke, 0.7);
  if (frame % 4 == 2) Glow(c, 28, 16, 6, p.white, 0.3, 1.0, 0.7);
  return pic;
}

Picture Burst(const BurstStyle& s, int frame, int frames) {
  const int size = s.radius * 2 + 12;
  const int height = static_cast<int>(size * std::max(s.squash, 0.5)) + 12;
  Picture pic = Blank(size, height, size / 2, height / 2 + (s.squash < 1 ? height / 6 : 0));
  Canvas& c = pic.canvas;
  const double t = Progress(frame, frames);
  const double cx = pic.hotX, cy = pic.hotY;
  if (s.smoke && t > 0.3)
    for (int k = 0; k < 4; ++k) {
      // Loose billows that rise and thin out, never one solid ball.
      const double angle = Hash01(s.seed, k, 11) * 2 * kPi;
      const double r = s.radius * (0.2 + 0.25 * t) * (0.7 + 0.3 * Hash01(s.seed, k, 12));
      const double ox = std::cos(angle) * s.radius * 0.35 * t, oy = -s.radius * (0.15 + 0.45 * t) * s.squash;
      Glow(c, cx + ox, cy + oy + std::sin(angle) * r * 0.5, r, *s.smoke, 0.15, 1.0, 0.7 - 0.3 * t);
    }
  if (s.ring)
    Ring(c, cx, cy, s.radius * (0.3 + 0.7 * t), s.radius * (0.3 + 0.7 * t) * s.squash * 0.6, 2 + 2 * (1 - t), *s.ring,
         1 - 0.5 * t);
  if (s.bolts && t < 0.8)
    for (int k = 0; k < 4; ++k) {
      const double angle = Hash01(s.seed, frame, k) * 2 * kPi;
      const double r = s.radius * (0.5 + 0.5 * t);
      Bolt(c, cx, cy, cx + std::cos(angle) * r, cy + std::sin(angle) * r * s.squash, *s.bolts, s.seed + frame * 5 + k);
    }
  if (s.glow) {
    // Grows fast, then thins out: the solid core shrinks and the dither takes over.
    const double grow = t < 0.3 ? 0.45 + t * 1.8 : 1.0;
    const double r = s.radius * 0.7 * grow * (1 - 0.3 * std::max(0.0, t - 0.6));
    Glow(c, cx, cy, r, *s.glow, std::max(0.0, 0.5 - 0.6 * t), s.squash, 1 - 0.3 * t);
    if (t < 0.5) Glow(c, cx, cy, r * 0.4, *s.glow, 0.6, s.squash, 1.0);
  }
  if (s.debris && t < 0.95)
    for (int k = 0; k < 7; ++k) {
      // Clods fly out and up on arcs and drop back: dark lumps with a lit upper left.
      const double angle = Hash01(s.seed, k, 21) * 2 * kPi, reach = 0.6 + 0.4 * Hash01(s.seed, k, 22);
      const double d = s.radius * (0.15 + 0.85 * t) * reach;
      const double up = s.radius * 4 * t * (1 - t) * (0.5 + 0.5 * Hash01(s.seed, k, 23));
      const int x = static_cast<int>(cx + std::cos(angle) * d),
                y = static_cast<int>(cy + std::sin(angle) * d * s.squash - up);
      const int lump = k % 3 == 0 ? 3 : 2;
      for (int dy = 0; dy < lump; ++dy)
        for (int dx = 0; dx < lump; ++dx) c.Set(x + dx, y + dy, s.debris->At(dx + dy == 0 ? 0.75 : 0.25));
    }
  if (s.sparks)
    for (int k = 0; k < 8; ++k) {
      const double angle = Hash01(s.seed, k) * 2 * kPi;
      const double r = s.radius * (0.25 + 0.85 * t) * (0.7 + 0.3 * Hash01(s.seed, k, 1));
      Sparkle(c, static_cast<int>(cx + std::cos(angle) * r), static_cast<int>(cy + std::sin(angle) * r * s.squash),
              t < 0.7 ? 1 : 0, *s.sparks);
    }
  return pic;
}

Picture Rising(const EffectPalette& p, const Ramp& ramp, int height, int frame, int frames, int seed) {
  Picture pic = Blank(32, height + 16, 16, height + 10);
  Canvas& c = pic.canvas;
  const double t = Progress(frame, frames);
  Glow(c, 16, pic.hotY, 11 * (1 - 0.5 * t), ramp, 0.3, 0.45, 0.7 - 0.4 * t);
  for (int k = 0; k < 7; ++k) {
    const double start = Hash01(seed, k);
    const double rise = std::fmod(start + t * 1.2, 1.0);
    const double angle = Hash01(seed, k, 2) * 2 * kPi;
    double ox, oy;
    OnGround(9 * Hash01(seed, k, 3) + 2, angle, ox, oy);
    Sparkle(c, static_cast<int>(16 + ox), static_cast<int>(pic.hotY + oy - rise * height), rise < 0.7 ? 1 : 0,
            k % 2 ? ramp : p.white);
  }
  return pic;
}

Picture ItemGlow(const EffectPalette& p, const Ramp& ramp, int frame, int frames) {
  constexpr int kHalfLevel = 8;  // the glow's point over the ground
  Picture pic = Blank(44, 48, 22, 36);
  Canvas& c = pic.canvas;
  const double fade = frame >= frames ? std::max(0.0, 1 - (frame - frames + 1) / 4.0) : 1;
  const double phase = static_cast<double>(frame % frames) / frames;  // the loop joins up
  const double pulse = 0.85 + 0.15 * std::sin(phase * 2 * kPi);
  const double groundY = pic.hotY + kHalfLevel;
  Glow(c, pic.hotX, groundY, 20 * pulse * fade, ramp, 0.45, 0.5, 0.8 * fade);
  Glow(c, pic.hotX, groundY, 9 * pulse * fade, p.white, 0.5, 0.5, 0.7 * fade);
  for (int k = 0; k < 6; ++k) {
    const double rise = std::fmod(Hash01(52, k) + phase, 1.0);
    if (rise > fade) continue;
    double ox, oy;
    OnGround(4 + 8 * Hash01(52, k, 3), Hash01(52, k, 2) * 2 * kPi + rise, ox, oy);
    const int x = static_cast<int>(std::lround(pic.hotX + 1.4 * ox));
    const int y = static_cast<int>(std::lround(groundY + oy - rise * 32));
    Sparkle(c, x, y, rise < 0.5 ? 2 : 1, k % 3 ? ramp : p.white);
  }
  return pic;
}

Picture Rings(const EffectPalette& p, const Ramp& ramp, int radius, int quarter, int frame, int frames) {
  const int w = radius * 2 + 10, h = radius + 10;
  Picture pic = Blank(w, h, w / 2, h / 2);
  Canvas ring(w, h);
  const double t = Progress(frame, frames);
  for (int k = 0; k < 2; ++k) {
    const double r = radius * std::fmod(t + k * 0.5, 1.0);
    if (r < 2) continue;
    Ring(ring, w / 2.0, h / 2.0, r, r * 0.5, 3, ramp, 1 - 0.6 * r / radius);
  }
  // A quarter keeps the part of the ring on one side of the centre.
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (!ring.Opaque(x, y)) continue;
      const bool right = x >= w / 2, below = y >= h / 2;
      const int side = right ? (below ? 1 : 0) : (below ? 2 : 3);
      if (quarter < 0 || side == quarter) pic.canvas.Set(x, y, ring.At(x, y));
    }
  return pic;
}

Picture GroundRing(const EffectPalette& p, const Ramp& ramp, int radius, bool rune, int frame, int frames) {
  const int w = radius * 2 + 8, h = radius + 8;
  Picture pic = Blank(w, h, w / 2, h / 2);
  Canvas& c = pic.canvas;
  const double pulse = 0.75 + 0.25 * std::sin(Progress(frame, frames) * 2 * kPi);
  Ring(c, w / 2.0, h / 2.0, radius, radius * 0.5, 2.2, ramp, pulse);
  if (rune)
    for (int k = 0; k < 6; ++k) {
      double ox, oy;
      OnGround(radius * 0.62, k * kPi / 3 + frame * kPi / 12, ox, oy);
      Sparkle(c, static_cast<int>(w / 2.0 + ox), static_cast<int>(h / 2.0 + oy), 1, ramp);
    }
  return pic;
}

Picture FloatingChevron(const EffectPalette& p, const Ramp& ramp, int frame, int frames) {
  Picture pic = Blank(14, 18, 7, 16);
  const int bob = static_cast<int>(std::lround(2 * std::sin(Progress(frame, frames) * 2 * kPi)));
  for (int row = 0; row < 4; ++row) {
    pic.canvas.Line(1 + row, 4 + row + bob, 7, 8 + row + bob, ramp.At(0.4 + 0.15 * row), 1);
    pic.canvas.Line(13 - row, 4 + row + bob, 7, 8 + row + bob, ramp.At(0.4 + 0.15 * row), 1);
  }
  return pic;
}

Picture Pit(const EffectPalette& p, int stage, int variant, int frame, int frames) {
  Picture pic = Blank(44, 26, 22, 13);
  Canvas& c = pic.canvas;
  const double t = Progress(frame, frames);
  const double open = stage == 0 ? t : stage == 2 ? 1 - t : 1;
  if (open <= 0.02) return pic;
  const double rx = 17 * open, ry = 8.5 * open;
  c.FillEllipse(static_cast<int>(22 - rx - 2), static_cast<int>(13 - ry - 1), static_cast<int>(2 * rx + 4),
                static_cast<int>(2 * ry + 2), p.earth.At(0.45));
  c.FillEllipse(static_cast<int>(22 - rx), static_cast<int>(13 - ry), static_cast<int>(2 * rx),
                static_cast<int>(2 * ry), p.shadow.At(0.05));
  // The far rim catches the light.
  for (int x = static_cast<int>(22 - rx); x < 22 + rx; ++x) {
    const double u = (x + 0.5 - 22) / rx;
    if (std::fabs(u) >= 1) continue;
    c.Set(x, static_cast<int>(13 - ry * std::sqrt(1 - u * u)), p.earth.At(0.8));
  }
  if (stage == 1 || stage == 3) {
    const int grains = 6;
    for (int k = 0; k < grains; ++k) {
      double ox, oy;
      OnGround(rx * (0.3 + 0.5 * Hash01(variant, k)), k * 2 * kPi / grains + frame * 0.6 * (variant + 1), ox, oy);
      c.Set(static_cast<int>(22 + ox), static_cast<int>(13 + oy), p.earth.At(0.6 + 0.1 * variant));
    }
    if (stage == 3) {
      const int shake = frame % 2 ? 1 : -1;
      c.Line(22 + shake, 3, 18 + shake, 9, p.earth.At(0.2));
      c.Line(30, 10 + shake, 38, 13 + shake, p.earth.At(0.2));
    }
  }
  return pic;
}

Picture Aim(const EffectPalette& p, int direction, int frame, int frames) {
  Picture pic = Blank(40, 30, 20, 15);
  Canvas& c = pic.canvas;
  double dx, dy;
  HeadingVector(direction * 2, 2, dx, dy);
  const double t = Progress(frame, frames);
  Glow(c, 20, 15, 4 + 3 * t, p.arcane, 0.4);
  const int tipX = static_cast<int>(std::lround(20 + dx * (8 + 8 * t))),
            tipY = static_cast<int>(std::lround(15 + dy * (8 + 8 * t)));
  c.Line(20, 15, tipX, tipY, p.arcane.At(0.9), 2);
  Sparkle(c, tipX, tipY, 2, p.white);
  return pic;
}

Picture Wave(const EffectPalette& p, int direction, int frame, int frames) {
  Picture pic = Blank(56, 36, 28, 18);
  Canvas& c = pic.canvas;
  double dx, dy;
  HeadingVector(direction * 2, 2, dx, dy);
  const double t = Progress(frame, frames);
  const double reach = 6 + 16 * t;
  for (int k = -4; k <= 4; ++k) {
    const double side = k * 2.2;
    const double x = 28 + dx * (reach - std::abs(k) * 0.9) - dy * side,
                 y = 18 + dy * (reach - std::abs(k) * 0.9) + dx * side * 0.5;
    Puff(c, x, y, 3.2 - std::abs(k) * 0.25, p.earth, 1 - 0.4 * t);
  }
  return pic;
}

Picture Ice(const EffectPalette& p, int stage, int frame, int frames) {
  Picture pic = Blank(36, 40, 18, 32);
  Canvas& c = pic.canvas;
  const double t = Progress(frame, frames);
  const double grow = stage == 0 ? t : 1;
  const int crystals = stage == 4 ? 7 : stage == 1 || stage == 3 ? 0 : 5;
  for (int k = 0; k < crystals; ++k) {
    const double angle = Hash01(stage, k) * kPi - kPi;  // upward fan
    const double length = (stage == 2 || stage == 4 ? 6 + 16 * t : 8 + 8 * Hash01(k, 2)) * grow;
    const double spread = stage == 4 ? 1.0 : 0.55;
    const double ex = 18 + std::cos(angle) * length * spread, ey = 32 + std::sin(angle) * length;
    c.Line(18, 32, static_cast<int>(ex), static_cast<int>(ey), p.ice.At(0.55 + 0.4 * Hash01(k, 3)), 2);
    c.Set(static_cast<int>(ex), static_cast<int>(ey), p.white.At(1.0));
  }
  if (stage == 1) {
    // A block of ice around a held creature: a six-sided prism lit from the upper left.
    c.FillTriangle(6, 14, 18, 8, 30, 14, p.ice.At(0.95));
    c.FillRect(6, 14, 12, 18, p.ice.At(0.7));
    c.FillRect(18, 14, 12, 18, p.ice.At(0.45));
    c.FillTriangle(6, 32, 18, 38, 30, 32, p.ice.At(0.45));
    c.FillTriangle(6, 32, 18, 38, 18, 32, p.ice.At(0.6));
    c.Line(18, 8, 18, 38, p.white.At(0.7));
    Sparkle(c, 10 + frame % 4 * 4, 16 + frame % 3 * 4, 2, p.white);
  }
  if (stage == 3) {
    Glow(c, 18, 26, 13, p.ice, 0.1, 0.7, 0.6);
    for (int k = 0; k < 4; ++k)
      Sparkle(c, static_cast<int>(8 + 20 * Hash01(frame, k, 1)), static_cast<int>(18 + 12 * Hash01(frame, k, 2)), 1,
              p.white);
  }
  return pic;
}

Picture Aura(const EffectPalette& p, const Ramp& ramp, int facing, int frame, int frames, bool wings) {
  Picture pic = Blank(44, 48, 22, 40);
  Canvas& c = pic.canvas;
  const double t = Progress(frame, frames);
  if (wings) {
    // Gusts circling under a creature held up by a spell, streaming away behind it.
    double dx, dy;
    HeadingVector(facing * 2, 2, dx, dy);
    for (int k = 0; k < 3; ++k)
      for (int step = 0; step < 10; ++step) {
        const double angle = t * 2 * kPi + k * 2 * kPi / 3 + step * 0.12;
        double ox, oy;
        OnGround(10 + k * 2, angle, ox, oy);
        const double trail = step * 0.6;
        c.Set(static_cast<int>(22 + ox - dx * trail), static_cast<int>(38 + oy - k * 3 - dy * trail),
              ramp.At(1.0 - step * 0.07));
      }
  }
  Ring(c, 22, 40, 13, 6, 1.8, ramp, 0.8 + 0.2 * std::sin(t * 2 * kPi));
  for (int k = 0; k < 5; ++k) {
    double ox, oy;
    OnGround(11, k * 2 * kPi / 5 + facing * kPi / 4, ox, oy);
    const double rise = std::fmod(t + k * 0.2, 1.0);
    c.Set(static_cast<int>(22 + ox), static_cast<int>(40 + oy - rise * 28), ramp.At(1.0 - 0.4 * rise));
  }
  return pic;
}

Picture Bubbles(const EffectPalette& p, int frame, int frames) {
  Picture pic = Blank(28, 40, 14, 34);
  Canvas& c = pic.canvas;
  const double t = Progress(frame, frames);
  for (int k = 0; k < 5; ++k) {
    const double rise = std::fmod(t + Hash01(k, 7), 1.0);
    const int x = static_cast<int>(6 + 16 * Hash01(k, 8) + std::sin(rise * 6 + k) * 2);
    const int y = static_cast<int>(34 - rise * 30);
    const int r = 1 + (k % 2);
    c.FillEllipse(x - r, y - r, 2 * r + 1, 2 * r + 1, p.poison.At(0.5));
    c.Set(x - r / 2, y - r / 2, p.poison.At(1.0));
  }
  return pic;
}

Picture FlingDust(const EffectPalette& p, int facing, int frame, int frames) {
  Picture pic = Blank(48, 32, 24, 20);
  double dx, dy;
  HeadingVector(facing * 2, 2, dx, dy);
  const double t = Progress(frame, frames);
  for (int k = 0; k < 4; ++k) {
    const double back = 4 + k * 5 + t * 6;
    Puff(pic.canvas, 24 - dx * back, 20 - dy * back, 4.5 - k * 0.8 - t * 1.5, p.earth, 0.85 - 0.15 * k);
  }
  return pic;
}

Picture Spiral(const EffectPalette& p, const Ramp& ramp, int frame, int frames) {
  Picture pic = Blank(40, 44, 20, 36);
  Canvas& c = pic.canvas;
  const double t = Progress(frame, frames);
  for (int k = 0; k < 24; ++k) {
    const double u = k / 24.0;
    const double angle = u * 4 * kPi + t * 3 * kPi;
    double ox, oy;
    OnGround(13 * (1 - u * 0.7), angle, ox, oy);
    c.Set(static_cast<int>(20 + ox), static_cast<int>(36 + oy - u * 30), ramp.At(0.4 + 0.6 * u));
  }
  Glow(c, 20, 36 - 30 * t, 4, ramp, 0.4);
  return pic;
}

Picture FloatingDigit(const EffectPalette& p, int digit) {
  Picture pic = Blank(10, 14, 4, 12);
  Digit(pic.canvas, 1, 1, digit, 2, p.gold.At(0.62), p.shadow.At(0.0));
  return pic;
}

}  // namespace forge::effect_art
