// The slide show's pictures, "SlideShow\<w>x<h>\SlideShow_<nn>.BMP": three painted scenes
// of the realm's story, each with its line of text, at both resolutions, in 256 colours (a
// third of the size of true-colour bitmaps, with no visible loss after the dithering).
#include <cstdio>
#include <string>

#include "forge/Forge.h"
#include "forge/Painting.h"

namespace forge {

namespace {

constexpr const char* kCaptionFont = "DejaVuSerif-Bold.ttf";

void Caption(Painting& p, const char* first, const char* second) {
  p.Panel(60, 470, 740, 570, 14, Rgb(10, 8, 16), 0.62f, Rgb(196, 150, 60), 1.5f);
  const Colour top = Rgb(255, 244, 210), bottom = Rgb(230, 190, 120), ink = Rgb(20, 12, 6);
  p.Text(first, kCaptionFont, 26, 400, 510, top, bottom, ink, 1.4f, 2);
  p.Text(second, kCaptionFont, 26, 400, 550, top, bottom, ink, 1.4f, 2);
}

// Dawn over the whole realm.
Painting DawnSlide() {
  Painting p;
  p.VerticalGradient(
      0, 360,
      {{0.0f, Rgb(60, 90, 150)}, {0.6f, Rgb(170, 170, 200)}, {0.9f, Rgb(250, 200, 160)}, {1.0f, Rgb(255, 230, 190)}});
  p.Glow(230, 330, 34, 200, Rgb(255, 250, 225), Rgb(255, 220, 160), 0.6f);
  p.Ridge(360, 150, 160, 101, Rgb(120, 130, 170), 0.2f, 0.0f);
  p.Mist(300, 380, Rgb(255, 235, 220), 0.45f, 102);
  p.Ridge(420, 90, 110, 103, Rgb(70, 100, 90), 0.35f, 0.8f);
  p.Ridge(480, 50, 80, 104, Rgb(40, 70, 50), 0.55f, 0.6f);
  p.Vignette(0.5f);
  Caption(p, "Once the realms of Vrask were one land,", "held in balance by Law, Neutrality and Vrask.");
  return p;
}

// Night: the wizards' fires along the ridges.
Painting WarSlide() {
  Painting p;
  p.VerticalGradient(0, 380, {{0.0f, Rgb(6, 6, 20)}, {0.7f, Rgb(40, 20, 50)}, {1.0f, Rgb(120, 40, 40)}});
  p.Stars(300, 200, 105);
  p.Ridge(390, 140, 150, 106, Rgb(50, 26, 44), 0.3f, 0.0f);
  p.Ridge(440, 80, 100, 107, Rgb(28, 14, 24), 0.5f, 0.3f);
  for (int i = 0; i < 9; ++i) {
    const float x = 60.0f + i * 85.0f + 20 * ValueNoise(i * 1.3f, 0.5f, 108);
    const float y = 380.0f + 60 * ValueNoise(i * 2.1f, 0.2f, 109);
    p.Glow(x, y, 2.5f, 30, Rgb(255, 220, 120), Rgb(255, 110, 40), 0.55f);
  }
  p.Vignette(0.6f);
  Caption(p, "Then the wizards rose against each other,", "and every region became a battlefield.");
  return p;
}

// Sunset over a place of power: a column of light on a hill.
Painting PowerSlide() {
  Painting p;
  p.VerticalGradient(
      0, 400,
      {{0.0f, Rgb(50, 30, 80)}, {0.5f, Rgb(160, 70, 90)}, {0.85f, Rgb(250, 150, 80)}, {1.0f, Rgb(255, 210, 130)}});
  p.Ridge(410, 120, 150, 110, Rgb(100, 50, 80), 0.25f, 0.0f);
  p.Ridge(460, 60, 140, 111, Rgb(40, 24, 40), 0.45f, 0.7f);
  p.Shade([](float x, float y, const Colour& pixel) {
    const float beam = std::max(0.0f, 1.0f - std::abs(x - 520) / 16.0f);
    return y < 430 ? Mix(pixel, Rgb(190, 230, 255), 0.8f * beam * beam) : pixel;
  });
  p.Glow(520, 426, 10, 70, Rgb(230, 250, 255), Rgb(120, 200, 255), 0.6f);
  p.Vignette(0.6f);
  Caption(p, "The places of power wait for a master.", "Take them, and the realm is yours.");
  return p;
}

FORGE_STEP(SlideShow) {
  const Painting slides[] = {DawnSlide(), WarSlide(), PowerSlide()};
  for (int n = 0; n < 3; ++n)
    for (const auto& [width, height] : {std::pair{800, 600}, std::pair{640, 480}}) {
      char path[64];
      std::snprintf(path, sizeof path, "SlideShow\\%ix%i\\SlideShow_%02i.BMP", width, height, n + 1);
      ctx.WriteFile(path, MakeBmp8(Quantise(slides[n].Reduce(width, height))));
    }
}

}  // namespace

}  // namespace forge
