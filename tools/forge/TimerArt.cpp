// The battle timer's and the control-limit counter's art: bitmaps\timer background.jpg (a
// 40 x 40 bronze bezel on pure blue), sprites\timer.spr (92 dial faces, 40 x 40 with the
// hotspot at the top left: frame 0 the whole face lit, each later one a little less of it,
// the lit part running out clockwise from twelve o'clock) and bitmaps\Control Limit.bmp
// (a 48 x 22 slate plate with a gold rim on pure blue).
#include <algorithm>
#include <cmath>

#include "forge/Forge.h"
#include "forge/IconArt.h"
#include "forge/IconShapes.h"
#include "forge/Pictures.h"
#include "forge/SpriteWriter.h"

namespace forge {

using namespace icon;

namespace {

constexpr int kSize = 40;
constexpr int kFrames = 92;
constexpr float kCentre = 20.0f;
constexpr float kFaceRadius = 14.5f;

RgbPicture TimerBackground() {
  Raster r(kSize, kSize);
  r.Fill(Circle(kCentre, kCentre, 19.0f), Radial(kCentre - 5, kCentre - 6, 24, Rgb(226, 178, 96), Rgb(92, 56, 22)));
  r.Fill(Ring(kCentre, kCentre, 16.8f, 1.4f), Rgb(60, 36, 14));
  // Twelve studs round the bezel.
  for (int i = 0; i < 12; ++i) {
    const float a = i * kPi / 6;
    r.Fill(Circle(kCentre + 17.6f * std::sin(a), kCentre - 17.6f * std::cos(a), 0.9f), Rgb(255, 236, 170));
  }
  // The key by whole 2 x 2 blocks: a JPEG keeps colour at half resolution, so a block that is
  // all key or all bezel comes back without a purple fringe round the rim.
  RgbPicture picture = r.ToPicture(Rgb(92, 56, 22));
  for (int y = 0; y < kSize; y += 2)
    for (int x = 0; x < kSize; x += 2) {
      const float cover = (r.AlphaAt(x, y) + r.AlphaAt(x + 1, y) + r.AlphaAt(x, y + 1) + r.AlphaAt(x + 1, y + 1)) / 4;
      if (cover >= 0.5f) continue;
      for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) picture.Set(x + dx, y + dy, 0, 0, 255);
    }
  return picture;
}

// The fraction of the face still lit, and the angle its edge has reached (radians clockwise
// from twelve o'clock).
Raster DialFace(int frame) {
  const float left = static_cast<float>(kFrames - frame) / kFrames;
  const float edge = (1.0f - left) * 2 * kPi;
  Raster r(kSize, kSize);
  const Shape face = Circle(kCentre, kCentre, kFaceRadius);
  r.Fill(face, Radial(kCentre, kCentre, kFaceRadius, Rgb(54, 46, 70), Rgb(22, 18, 30)));
  // The lit part: the points whose clockwise angle from twelve o'clock lies past the edge,
  // as a distance from the nearer of its two bounding rays, so its borders come out smooth.
  const Shape lit = Intersect(face, [edge](float x, float y) {
    const float d = std::hypot(x - kCentre, y - kCentre);
    if (edge <= 0) return -d;
    float a = std::atan2(x - kCentre, -(y - kCentre));
    if (a < 0) a += 2 * kPi;
    auto fromRay = [d](float angle) { return angle >= kPi / 2 ? d : d * std::sin(angle); };
    return a >= edge ? -std::min(fromRay(a - edge), fromRay(2 * kPi - a)) : std::min(fromRay(edge - a), fromRay(a));
  });
  r.Fill(lit, Radial(kCentre - 4, kCentre - 4, kFaceRadius + 4, Rgb(255, 232, 140), Rgb(214, 120, 30)));
  // Hour marks, the hand at the edge, and the pin.
  for (int i = 0; i < 12; ++i) {
    const float a = i * kPi / 6, s = std::sin(a), c = std::cos(a);
    r.Fill(Segment(kCentre + 11.5f * s, kCentre - 11.5f * c, kCentre + 13.5f * s, kCentre - 13.5f * c, 1.1f),
           Rgb(30, 22, 16), 0.8f);
  }
  r.Fill(Segment(kCentre, kCentre, kCentre + 12.5f * std::sin(edge), kCentre - 12.5f * std::cos(edge), 1.6f),
         Rgb(28, 20, 14));
  r.Fill(Circle(kCentre, kCentre, 2.0f), Ball(kCentre, kCentre, 2.0f, Rgb(200, 200, 210)));
  return r;
}

RgbPicture ControlLimitPlate() {
  Raster r(48, 22);
  r.Fill(Box(0.5f, 0.5f, 47.5f, 21.5f, 5), VerticalGradient(0, 22, Rgb(226, 184, 90), Rgb(118, 80, 30)));
  r.Fill(Box(2.5f, 2.5f, 45.5f, 19.5f, 3.5f), VerticalGradient(2, 20, Rgb(66, 74, 92), Rgb(26, 30, 42)));
  return r.ToKeyedPicture(Rgb(118, 80, 30));
}

}  // namespace

FORGE_STEP(BattleTimerArt) {
  WriteJpeg(ctx.ClaimFile("bitmaps\\timer background.jpg"), TimerBackground(), 100);
  SpriteFileWriter dial;
  for (int frame = 0; frame < kFrames; ++frame) dial.AddFrame(EncodeFrame(DialFace(frame).ToCanvas(), 0, 0, -1));
  ctx.WriteFile("sprites\\timer.spr", dial.Bytes());
  ctx.WriteFile("bitmaps\\Control Limit.bmp", MakeBmp24(ControlLimitPlate()));
}

}  // namespace forge
