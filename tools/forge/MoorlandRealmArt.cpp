// The Moorland's paintings and sprites for the realm view: the realm's map at both resolutions
// (an island of moor, heath and fell in the sea, the regions' borders drawn in, their names
// lettered above their flags), a picture per region for the moment a battle there begins, the
// flags and markers (FLAGS.SPR, FLAGS.ANI: for wizard w, sequence w its region flag, w + 40 its
// marker at home, w + 50 its marker walking or visiting) and the view's four buttons.
#include <cmath>
#include <cstdio>
#include <string>

#include "forge/AnimationWriter.h"
#include "forge/Canvas.h"
#include "forge/Forge.h"
#include "forge/MoorlandRealm.h"
#include "forge/Painting.h"
#include "forge/Pictures.h"
#include "forge/SpriteWriter.h"

namespace forge {

namespace {

constexpr const char* kSerif = "DejaVuSerif-Bold.ttf";
constexpr uint32_t kTerrainSeed = 8101, kHeatherSeed = 8202, kWaveSeed = 8303;
constexpr int kHomeMarker = 40, kAwayMarker = 50;

int RegionAt(float x, float y) { return Moorland().RegionAt(static_cast<int>(x), static_cast<int>(y)); }

int EdgeDistance(float x, float y) {
  const int ix = static_cast<int>(x), iy = static_cast<int>(y);
  if (ix < 0 || iy < 0 || ix >= kRealmWidth || iy >= kRealmHeight) return 0;
  return Moorland().edgeDistance[iy * kRealmWidth + ix];
}

// Each region its own cast of moorland: heather, green fell, dry grass, peat.
const Colour kRegionTints[kMoorlandRegions] = {Rgb(128, 112, 92), Rgb(104, 120, 80), Rgb(136, 124, 84),
                                               Rgb(112, 96, 104), Rgb(96, 112, 96),  Rgb(96, 116, 100),
                                               Rgb(124, 118, 112)};

Colour Sea(float x, float y, int shoreDistance) {
  const float wave = FractalNoise(x / 40.0f, y / 14.0f, kWaveSeed, 3);
  Colour deep = Mix(Rgb(22, 48, 82), Rgb(34, 70, 104), wave);
  // Shallows near the coast.
  if (shoreDistance < 14) deep = Mix(deep, Rgb(70, 120, 130), 0.55f * (1.0f - shoreDistance / 14.0f));
  return deep;
}

Colour Land(float x, float y, int region) {
  const float relief = FractalNoise(x / 70.0f, y / 70.0f, kTerrainSeed, 5);
  const float heather = FractalNoise(x / 25.0f, y / 25.0f, kHeatherSeed, 3);
  Colour c = Mix(kRegionTints[region - 1], Rgb(150, 140, 110), relief * 0.5f);
  c = Mix(c, Rgb(112, 72, 104), std::max(0.0f, heather - 0.55f) * 1.4f);
  // Light from the north-west on the relief.
  const float slope = FractalNoise((x - 2) / 70.0f, (y - 2) / 70.0f, kTerrainSeed, 5) - relief;
  return Mix(c, slope > 0 ? Rgb(40, 36, 30) : Rgb(236, 226, 196), std::min(0.35f, std::fabs(slope) * 9.0f));
}

Painting RealmPainting() {
  const MoorlandGeometry& g = Moorland();
  // The distance of each sea pixel to the coast, for the shallows.
  std::vector<uint8_t> shore(g.regionMap.size(), 255);
  for (size_t i = 0; i < shore.size(); ++i)
    if (g.regionMap[i] == 0) shore[i] = g.edgeDistance[i];
  Painting p;
  p.Shade([&](float x, float y, const Colour&) {
    const int region = RegionAt(x, y);
    const int ix = std::min(static_cast<int>(x), kRealmWidth - 1), iy = std::min(static_cast<int>(y), kRealmHeight - 1);
    if (region == 0) return Sea(x, y, shore[iy * kRealmWidth + ix]);
    Colour c = Land(x, y, region);
    const int edge = EdgeDistance(x, y);
    // Every border a dark line; the coast a lighter beach outside it.
    const bool coast = RegionAt(x - 1.5f, y) == 0 || RegionAt(x + 1.5f, y) == 0 || RegionAt(x, y - 1.5f) == 0 ||
                       RegionAt(x, y + 1.5f) == 0;
    if (edge == 0) return coast ? Rgb(200, 186, 140) : Rgb(52, 36, 28);
    if (coast) return Mix(c, Rgb(216, 200, 150), 0.6f);
    if (edge < 3) return Mix(c, Rgb(60, 44, 34), 0.35f);
    return c;
  });
  p.Vignette(0.35f);
  p.Text("The Moorland", kSerif, 30, 150, 44, Rgb(250, 230, 170), Rgb(200, 160, 90), Rgb(20, 14, 10), 2.0f, 2.0f);
  for (int r = 1; r <= kMoorlandRegions; ++r) {
    const PathPoint flag = g.flagPoints[r - 1];
    p.Text(MoorlandRegions()[r - 1].name, kSerif, 13, static_cast<float>(flag.x), static_cast<float>(flag.y - 42),
           Rgb(255, 246, 220), Rgb(230, 210, 170), Rgb(24, 18, 12), 1.6f, 1.0f);
  }
  return p;
}

// The realm with every other region in shadow and the region's name across it: what shows
// while its battle loads.
Painting RegionPicture(const RgbPicture& map, int region) {
  Painting p;
  p.Shade([&](float x, float y, const Colour&) {
    const uint8_t* px =
        map.At(std::min(static_cast<int>(x), map.width - 1), std::min(static_cast<int>(y), map.height - 1));
    const Colour c = Rgb(px[0], px[1], px[2]);
    return RegionAt(x, y) == region ? c : Mix(c, Rgb(8, 8, 16), 0.7f);
  });
  p.Panel(160, 250, 640, 350, 14, Rgb(12, 10, 24), 0.75f, Rgb(196, 150, 60), 2.0f);
  p.Text(MoorlandRegions()[region - 1].name, kSerif, 34, 400, 312, Rgb(255, 236, 170), Rgb(210, 160, 80),
         Rgb(16, 10, 6), 2.0f, 2.0f);
  p.Text("To battle!", kSerif, 16, 400, 338, Rgb(240, 230, 210), Rgb(200, 190, 170), Rgb(16, 10, 6), 1.2f, 1.0f);
  return p;
}

uint16_t Pack(int r, int g, int b) {
  r = std::clamp(r, 0, 255);
  g = std::clamp(g, 0, 255);
  b = std::clamp(b, 0, 255);
  return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}
uint16_t Pack(const std::array<uint8_t, 3>& c, float light = 1.0f) {
  return Pack(static_cast<int>(c[0] * light), static_cast<int>(c[1] * light), static_cast<int>(c[2] * light));
}

// A banner on a pole (the pole's foot the hotspot), waving with the phase.
Canvas RegionFlag(const MoorlandWizard& w, int phase) {
  constexpr int kWidth = 24, kHeight = 34, kBannerW = 18, kBannerH = 12;
  Canvas c(kWidth, kHeight);
  c.FillRect(1, 1, 3, kHeight - 1, Pack(60, 40, 24));
  c.FillRect(2, 1, 1, kHeight - 1, Pack(120, 90, 60));
  c.FillRect(0, 0, 5, 2, Pack(220, 190, 90));
  for (int x = 0; x < kBannerW; ++x) {
    const int wave = static_cast<int>(std::lround(1.6 * std::sin(x * 0.45 - phase * 1.5708)));
    const float light = 0.8f + 0.25f * static_cast<float>(std::cos(x * 0.45 - phase * 1.5708));
    for (int y = 0; y < kBannerH; ++y) {
      const bool rim = y == 0 || y == kBannerH - 1 || x == kBannerW - 1;
      const bool stripe = y >= 5 && y <= 6;
      c.Set(4 + x, 3 + y + wave, rim ? Pack(20, 14, 10) : stripe ? Pack(w.emblem, light) : Pack(w.colour, light));
    }
  }
  return c;
}

// A wizard's marker: a round token in its colour with a pointed hat; the second frame's rim is
// lit.
Canvas Marker(const MoorlandWizard& w, bool lit, bool player) {
  constexpr int kSize = 26;
  Canvas c(kSize, kSize + 8);
  const int rim = lit ? Pack(255, 240, 170) : player ? Pack(240, 200, 80) : Pack(235, 235, 235);
  c.FillEllipse(1, 9, kSize - 2, kSize - 2, Pack(16, 12, 10));
  c.FillEllipse(3, 11, kSize - 6, kSize - 6, rim);
  c.FillEllipse(5, 13, kSize - 10, kSize - 10, Pack(w.colour));
  c.FillEllipse(8, 15, 6, 5, Pack(w.colour, 1.4f));
  // The hat.
  c.FillTriangle(13, 0, 6, 14, 20, 14, Pack(24, 18, 30));
  c.FillTriangle(13, 2, 8, 13, 18, 13, Pack(w.emblem, 0.8f));
  c.FillRect(5, 13, 17, 2, Pack(24, 18, 30));
  return c;
}

void WriteFlags(Context& ctx) {
  const auto& wizards = MoorlandWizards();
  SpriteFileWriter sprite;
  AniSpec animation;
  animation.spriteName = "FLAGS.SPR";
  animation.sequences.assign(kAwayMarker + 10, std::vector<AniStep>{End()});
  for (size_t w = 0; w < wizards.size(); ++w) {
    const int first = sprite.FrameCount();
    for (int phase = 0; phase < 4; ++phase) sprite.AddFrame(EncodeFrame(RegionFlag(wizards[w], phase), 2, 33, -1));
    animation.sequences[w] = {Delay(5), Frame(first), Frame(first + 1), Frame(first + 2), Frame(first + 3),
                              Jump(-4), End()};
    const int marker = sprite.FrameCount();
    // The marker stands left of its point, so that at home it does not hide the region's flag.
    for (bool lit : {false, true}) sprite.AddFrame(EncodeFrame(Marker(wizards[w], lit, w == 0), 27, 30, -1));
    animation.sequences[kHomeMarker + w] = {Delay(12), Frame(marker), Frame(marker + 1), Jump(-2), End()};
    animation.sequences[kAwayMarker + w] = {
        Delay(4), Frame(marker, 0, 0), Frame(marker, 0, -2), Frame(marker, 0, -3), Frame(marker, 0, -2), Jump(-4),
        End()};
  }
  ctx.WriteFile("Interface\\RealmViewer\\Generic\\FLAGS.SPR", sprite.Bytes());
  ctx.WriteFile("Interface\\RealmViewer\\Generic\\FLAGS.ANI", WriteAnimation(animation));
}

// The four buttons, three frames each (normal, highlighted, pressed) at the frames the view
// names: 0 the character screen, 3 the grimoire, 6 the spell box, 12 the mini menu.
Canvas ButtonFace(int icon, int state) {
  constexpr int kSize = 48;
  Canvas c(kSize, kSize);
  const int face = state == 1 ? Pack(92, 84, 110) : state == 2 ? Pack(48, 42, 60) : Pack(70, 62, 86);
  c.FillEllipse(0, 0, kSize, kSize, Pack(150, 110, 40));
  c.FillEllipse(2, 2, kSize - 4, kSize - 4, state == 1 ? Pack(250, 214, 110) : Pack(200, 160, 70));
  c.FillEllipse(5, 5, kSize - 10, kSize - 10, face);
  const int ink = Pack(240, 226, 190), dark = Pack(40, 30, 24);
  const int d = state == 2 ? 1 : 0;
  switch (icon) {
    case 0:  // the character: a head and shoulders
      c.FillEllipse(18 + d, 11 + d, 12, 12, ink);
      c.FillEllipse(12 + d, 24 + d, 24, 16, ink);
      c.FillRect(12 + d, 33 + d, 24, 4, face);
      break;
    case 1:  // the grimoire: an open book
      c.FillTriangle(10 + d, 15 + d, 24 + d, 18 + d, 10 + d, 34 + d, ink);
      c.FillTriangle(24 + d, 18 + d, 10 + d, 34 + d, 24 + d, 36 + d, ink);
      c.FillTriangle(38 + d, 15 + d, 24 + d, 18 + d, 38 + d, 34 + d, ink);
      c.FillTriangle(24 + d, 18 + d, 38 + d, 34 + d, 24 + d, 36 + d, ink);
      c.Line(24 + d, 18 + d, 24 + d, 36 + d, dark, 1);
      break;
    case 2:  // the spell box: a chest
      c.FillRect(11 + d, 20 + d, 26, 16, ink);
      c.FillEllipse(11 + d, 12 + d, 26, 16, ink);
      c.FillRect(11 + d, 21 + d, 26, 2, dark);
      c.FillRect(22 + d, 22 + d, 4, 6, Pack(200, 150, 40));
      break;
    default:  // the menu: three bars
      for (int bar = 0; bar < 3; ++bar) c.FillRect(13 + d, 15 + bar * 8 + d, 22, 4, ink);
      break;
  }
  return c;
}

void WriteButtons(Context& ctx) {
  SpriteFileWriter sprite;
  // Frames 0-14: character, grimoire, spell box, (unused), menu; three states each.
  const int icons[5] = {0, 1, 2, -1, 3};
  for (int icon : icons)
    for (int state = 0; state < 3; ++state)
      sprite.AddFrame(EncodeFrame(ButtonFace(icon < 0 ? 3 : icon, state), 0, 0, -1));
  ctx.WriteFile("Interface\\RealmViewer\\Generic\\Buttons.spr", sprite.Bytes());
}

FORGE_STEP(MoorlandRealmArt) {
  const Painting map = RealmPainting();
  const RgbPicture full = map.Reduce(800, 600);
  for (const auto& [w, h] : {std::pair{800, 600}, std::pair{640, 480}}) {
    const std::string folder = "Interface\\RealmViewer\\" + std::to_string(w) + "x" + std::to_string(h) + "\\";
    ctx.WriteFile(folder + "Moorland_Map.BMP", MakeBmp24(map.Reduce(w, h)));
  }
  for (int r = 1; r <= kMoorlandRegions; ++r) {
    const Painting picture = RegionPicture(full, r);
    for (const auto& [w, h] : {std::pair{800, 600}, std::pair{640, 480}}) {
      char path[128];
      std::snprintf(path, sizeof path, "Interface\\RealmViewer\\%dx%d\\Moorland_Region_%02d.BMP", w, h, r);
      ctx.WriteFile(path, MakeBmp24(picture.Reduce(w, h)));
    }
  }
  WriteFlags(ctx);
  WriteButtons(ctx);
}

}  // namespace

}  // namespace forge
