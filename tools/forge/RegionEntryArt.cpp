// The region entry screen: its layout and a picture per region, at both resolutions:
// "Interface\RegionEntry\<w>x<h>\<Realm>_Region_<nn>.JPG" for the five regions of the
// multiplayer realm and the campaign's first region (the picture any region without one of its
// own falls back to). Each is a landscape of its own under its own sky, with a dark band below
// where the buttons stand and a plate at the top for the region's name.
#include <cstdio>
#include <string>

#include "forge/Forge.h"
#include "forge/Painting.h"
#include "forge/Pictures.h"
#include "forge/SetupScreenLayouts.h"

namespace forge {

namespace {

struct RegionLook {
  const char* realm;
  int region;
  Colour skyTop, skyHorizon, far, near;
  float hills;  // the ridges' height
  bool lake, castle;
};

const RegionLook kLooks[] = {
    {"Moorland", 1, Rgb(60, 80, 130), Rgb(220, 190, 150), Rgb(110, 100, 120), Rgb(50, 60, 40), 90, false, true},
    {"Moorland", 2, Rgb(70, 60, 100), Rgb(230, 170, 120), Rgb(100, 90, 100), Rgb(60, 55, 40), 120, false, true},
    {"Moorland", 3, Rgb(80, 100, 140), Rgb(230, 210, 170), Rgb(120, 120, 100), Rgb(80, 80, 45), 50, false, false},
    {"Moorland", 4, Rgb(40, 40, 60), Rgb(160, 140, 150), Rgb(80, 80, 90), Rgb(45, 50, 40), 70, false, false},
    {"Moorland", 5, Rgb(90, 120, 170), Rgb(220, 230, 230), Rgb(130, 140, 150), Rgb(70, 85, 60), 170, false, false},
    {"Moorland", 6, Rgb(60, 80, 80), Rgb(190, 200, 170), Rgb(90, 110, 100), Rgb(50, 70, 50), 30, true, false},
    {"Moorland", 7, Rgb(50, 60, 110), Rgb(240, 200, 170), Rgb(120, 110, 130), Rgb(60, 60, 70), 200, false, false},
    {"Multiplayer", 1, Rgb(50, 70, 120), Rgb(230, 200, 160), Rgb(110, 110, 130), Rgb(60, 70, 40), 110, false, true},
    {"Multiplayer", 2, Rgb(80, 40, 60), Rgb(240, 150, 90), Rgb(120, 70, 80), Rgb(60, 40, 30), 60, false, true},
    {"Multiplayer", 3, Rgb(30, 60, 110), Rgb(170, 200, 220), Rgb(90, 110, 120), Rgb(50, 80, 50), 40, true, false},
    {"Multiplayer", 4, Rgb(40, 30, 50), Rgb(200, 110, 70), Rgb(80, 60, 70), Rgb(40, 30, 30), 150, true, false},
    {"Multiplayer", 5, Rgb(70, 110, 160), Rgb(230, 230, 210), Rgb(120, 140, 150), Rgb(60, 90, 60), 70, true, false},
};

Painting RegionPicture(const RegionLook& look, uint32_t seed) {
  Painting p;
  p.VerticalGradient(0, 360,
                     {{0.0f, look.skyTop}, {0.7f, Mix(look.skyTop, look.skyHorizon, 0.6f)}, {1.0f, look.skyHorizon}});
  p.Glow(600 - 50.0f * (seed % 5), 150, 28, 140, Rgb(255, 244, 220), look.skyHorizon, 0.4f);
  p.Ridge(330, look.hills, 160, seed, look.far, 0.2f, 0.2f);
  p.Mist(300, 380, look.skyHorizon, 0.35f, seed + 1);
  if (look.lake) p.Rect(0, 380, 800, 430, Mix(look.skyHorizon, Rgb(40, 60, 90), 0.5f), 0.85f);
  p.Ridge(420, look.hills * 0.6f, 110, seed + 2, look.near, 0.5f, 0.35f);
  if (look.castle) {
    const Colour stone = Mix(look.near, Rgb(0, 0, 0), 0.5f);
    p.Rect(520, 320, 600, 400, stone);
    p.Rect(505, 280, 530, 400, stone);
    p.Rect(590, 290, 612, 400, stone);
    p.Polygon({{500, 280}, {517, 250}, {535, 280}}, stone);
    p.Polygon({{586, 290}, {601, 262}, {616, 290}}, stone);
  }
  p.Ridge(500, 40, 80, seed + 3, Mix(look.near, Rgb(0, 0, 0), 0.45f), 0.6f, 0.2f);
  p.Vignette(0.5f);
  p.Panel(150, 24, 650, 84, 12, Rgb(12, 10, 24), 0.7f, Rgb(196, 150, 60), 2.0f);
  p.Rect(0, 520, 800, 600, Rgb(10, 8, 16), 0.8f);
  const ScreenLayout layout = RegionEntryLayout();
  for (const Widget& w : layout.Widgets())
    if (w.kind == WidgetKind::kTextButton)
      p.Panel(static_cast<float>(w.rect800.left), static_cast<float>(w.rect800.top),
              static_cast<float>(w.rect800.right), static_cast<float>(w.rect800.bottom), 4, Rgb(236, 222, 184), 1.0f,
              Rgb(120, 84, 36), 1.5f);
  return p;
}

}  // namespace

ScreenLayout RegionEntryLayout() {
  ScreenLayout layout("RegionEntry", "Region Entry");
  Widget& goOn = layout.Add(WidgetKind::kTextButton, 1, {590, 540, 780, 580});
  goOn.font = "LARGE";
  goOn.text = "Go On";
  Widget& back = layout.Add(WidgetKind::kTextButton, 2, {20, 540, 210, 580});
  back.font = "LARGE";
  back.text = "Back";
  for (int b = 0; b < 3; ++b)
    layout.Add(WidgetKind::kStandardButton, b + 1, {230 + 40 * b, 548, 254 + 40 * b, 572}).spriteIndexes = {12, 13, 14};
  const char* levels[4] = {"Easy", "Normal", "Hard", "Very Hard"};
  for (int r = 0; r < 4; ++r) {
    Widget& radio = layout.Add(WidgetKind::kRadioButton, r + 1, {360 + 55 * r, 530, 410 + 55 * r, 590});
    radio.text = levels[r];
    radio.font = "TINY";
  }
  Widget& name = layout.Add(WidgetKind::kText, 1, {160, 34, 640, 74});
  name.font = "LARGE";
  name.text = "Unknown Region";
  name.textFlags = "CENTRE";
  name.colours = {{250, 220, 140}};
  return layout;
}

namespace {

FORGE_STEP(RegionEntryScreen) {
  RegionEntryLayout().Write(ctx);
  uint32_t seed = 300;
  for (const RegionLook& look : kLooks) {
    const Painting picture = RegionPicture(look, seed++ * 7);
    for (const auto& [width, height] : {std::pair{800, 600}, std::pair{640, 480}}) {
      char path[256];
      std::snprintf(path, sizeof path, "Interface\\RegionEntry\\%dx%d\\%s_Region_%02d.JPG", width, height, look.realm,
                    look.region);
      WriteJpeg(ctx.ClaimFile(path), picture.Reduce(width, height), 90);
    }
  }
}

}  // namespace

}  // namespace forge
