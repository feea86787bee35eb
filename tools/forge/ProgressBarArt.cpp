// The loading bar's pictures, one pair per realm: "interface\ProgressIndicator\<realm>
// Progress Bar.JPG", a 598 x 36 panorama of the realm's land with its name, and the same
// picture drained of colour and dimmed (" Progress Bar Desaturated.JPG"), which the bar
// colours in from the left as the battle loads.
#include <algorithm>
#include <string>

#include "forge/Forge.h"
#include "forge/Painting.h"

namespace forge {

namespace {

constexpr int kBarWidth = 598, kBarHeight = 36;
constexpr const char* kNameFont = "DejaVuSerif-Bold.ttf";

struct RealmLook {
  const char* fileName;  // the realm's name as the battle gives it
  const char* title;
  std::vector<ColourStop> sky;
  Colour farHills, nearHills, ground, glow;
  uint32_t seed;
};

// The panorama, painted in the top-left corner of a layout-sized canvas.
RgbPicture Panorama(const RealmLook& look) {
  Painting p;
  p.VerticalGradient(0, 24, look.sky);
  p.Glow(460, 20, 3, 40, Rgb(255, 246, 220), look.glow, 0.5f);
  p.Ridge(21, 9, 40, look.seed, look.farHills, 0.2f, 0.3f);
  p.Mist(16, 26, Rgb(230, 220, 235), 0.35f, look.seed + 1);
  p.Ridge(27, 6, 26, look.seed + 2, look.nearHills, 0.35f, 0.7f);
  // Heather and grass tussocks in the foreground.
  p.ShadeArea(0, 26, kBarWidth, kBarHeight, [&](float x, float y, const Colour& pixel) {
    const float n = FractalNoise(x / 6.0f, y / 3.0f, look.seed + 3, 3);
    const float t = std::clamp((y - 26) / 10.0f, 0.0f, 1.0f);
    return Mix(Mix(pixel, look.ground, 0.5f + 0.5f * t), Rgb(20, 14, 18), 0.35f * n);
  });
  p.Text(look.title, kNameFont, 17, kBarWidth / 2.0f, 24, Rgb(255, 244, 210), Rgb(226, 184, 110), Rgb(24, 14, 8), 1.2f,
         1.5f);
  // A thin gold rim around the strip.
  p.Rect(0, 0, kBarWidth, 1, Rgb(200, 160, 80));
  p.Rect(0, kBarHeight - 1, kBarWidth, kBarHeight, Rgb(120, 90, 40));
  p.Rect(0, 0, 1, kBarHeight, Rgb(200, 160, 80));
  p.Rect(kBarWidth - 1, 0, kBarWidth, kBarHeight, Rgb(120, 90, 40));
  const RgbPicture screen = p.Reduce(800, 600);
  RgbPicture strip(kBarWidth, kBarHeight);
  for (int y = 0; y < kBarHeight; ++y)
    for (int x = 0; x < kBarWidth; ++x) {
      const uint8_t* c = screen.At(x, y);
      strip.Set(x, y, c[0], c[1], c[2]);
    }
  return strip;
}

// Grey, and a little darker, so that the coloured part stands out.
RgbPicture Desaturated(const RgbPicture& picture) {
  RgbPicture out(picture.width, picture.height);
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x) {
      const uint8_t* c = picture.At(x, y);
      const int luma = (c[0] * 299 + c[1] * 587 + c[2] * 114) / 1000;
      const uint8_t grey = static_cast<uint8_t>(luma * 3 / 4 + 8);
      out.Set(x, y, grey, grey, static_cast<uint8_t>(std::min(255, grey + 4)));
    }
  return out;
}

FORGE_STEP(ProgressBarPictures) {
  const RealmLook looks[] = {
      {"Moorland",
       "Moorland",
       {{0.0f, Rgb(70, 60, 120)}, {0.6f, Rgb(190, 120, 120)}, {1.0f, Rgb(250, 190, 130)}},
       Rgb(110, 90, 120),
       Rgb(70, 60, 70),
       Rgb(96, 58, 88),
       Rgb(255, 170, 110),
       301},
      {"Multiplayer",
       "Battlegrounds",
       {{0.0f, Rgb(20, 40, 90)}, {0.6f, Rgb(70, 120, 170)}, {1.0f, Rgb(170, 210, 220)}},
       Rgb(80, 110, 130),
       Rgb(50, 80, 70),
       Rgb(60, 90, 50),
       Rgb(200, 230, 255),
       311},
  };
  for (const RealmLook& look : looks) {
    const RgbPicture colour = Panorama(look);
    const std::string stem = std::string("Interface\\ProgressIndicator\\") + look.fileName;
    WriteJpeg(ctx.ClaimFile(stem + " Progress Bar.JPG"), colour, 92);
    WriteJpeg(ctx.ClaimFile(stem + " Progress Bar Desaturated.JPG"), Desaturated(colour), 92);
  }
}

}  // namespace

}  // namespace forge
