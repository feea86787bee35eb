// The in-battle chat console's art: bitmaps\ChatConsole.PCX (400 x 100: a slate panel in a
// gold rim, a row for the three recipients' ticks at the top and a sunken field for the typed
// line) and sprites\CheckBox.spr (for each of the three recipient slots, in its own colour,
// an empty box then a ticked one: frames 2 x slot and 2 x slot + 1, 14 x 14).
#include "forge/Forge.h"
#include "forge/IconArt.h"
#include "forge/Painting.h"
#include "forge/Pictures.h"
#include "forge/SpriteWriter.h"

namespace forge {

using namespace icon;

namespace {

constexpr int kWidth = 400, kHeight = 100;

RgbPicture ConsolePicture() {
  Raster r(kWidth, kHeight);
  r.Fill(Box(0, 0, kWidth, kHeight, 0), VerticalGradient(0, kHeight, Rgb(232, 190, 96), Rgb(124, 84, 32)));
  r.Fill(Box(3, 3, kWidth - 3, kHeight - 3, 2), VerticalGradient(3, kHeight - 3, Rgb(58, 64, 82), Rgb(28, 30, 42)));
  r.Bevel(Box(3, 3, kWidth - 3, kHeight - 3, 2), 3, 0.25f);
  // The tick row's band and the sunken field of the typed line.
  r.Fill(Box(10, 10, kWidth - 10, 38, 3), Rgb(44, 48, 64));
  r.Fill(Box(14, 44, kWidth - 10, 78, 3), Rgb(14, 16, 24));
  r.Bevel(Box(14, 44, kWidth - 10, 78, 3), 2, -0.35f);
  // A quill's mark at the right of the tick row.
  r.Fill(Segment(kWidth - 34, 32, kWidth - 18, 14, 2.2f), Rgb(236, 226, 200));
  r.Fill(Segment(kWidth - 34, 32, kWidth - 31, 29, 1.2f), Rgb(30, 30, 30));
  return r.ToPicture(Rgb(0, 0, 0));
}

Canvas CheckBoxFrame(Colour colour, bool ticked) {
  Raster r(14, 14);
  r.Fill(Box(0.5f, 0.5f, 13.5f, 13.5f, 2.5f), VerticalGradient(0, 14, Lighter(colour, 0.3f), Darker(colour, 0.3f)));
  r.Fill(Box(2.5f, 2.5f, 11.5f, 11.5f, 1.5f), Rgb(20, 22, 30));
  if (ticked) r.Fill(Path({{3.8f, 7.2f}, {6, 9.8f}, {10.6f, 3.6f}}, 2.2f), Rgb(250, 244, 220));
  return r.ToCanvas();
}

}  // namespace

FORGE_STEP(ChatConsoleArt) {
  ctx.WriteFile("bitmaps\\ChatConsole.PCX", MakePcx(Quantise(ConsolePicture())));
  const Colour slots[3] = {Rgb(220, 70, 60), Rgb(80, 140, 230), Rgb(90, 190, 90)};
  SpriteFileWriter boxes;
  for (const Colour& colour : slots)
    for (bool ticked : {false, true}) boxes.AddFrame(EncodeFrame(CheckBoxFrame(colour, ticked), 0, 0, -1));
  ctx.WriteFile("sprites\\CheckBox.spr", boxes.Bytes());
}

}  // namespace forge
