// The sprites of the value controls, each shared by every instance of its control class:
//
// sprites\slider.spr, frames:     0 left arrow, 1 pressed, 2 right arrow, 3 pressed (16 x 16),
//                                 4 the track tile (1 x 6), 5 the knob, 6 the focused knob (10 x 20)
// sprites\scrollbar.spr, frames:  0 up arrow, 1 pressed, 2 down arrow, 3 pressed (16 x 16),
//                                 4 the track tile (16 x 1), 5 the knob (12 x 24)
// sprites\radiobuttons.spr:       0 selected, 1 unselected, 2 selected and focused,
//                                 3 unselected and focused (16 x 16)
#include "forge/Canvas.h"
#include "forge/Forge.h"
#include "forge/InterfaceArt.h"
#include "forge/SpriteWriter.h"

namespace {

using forge::Canvas;
using forge::InterfacePalette;

Canvas Knob(const InterfacePalette& p, int width, int height, bool focused) {
  Canvas c(width, height);
  const int face = focused ? p.gold + 14 : p.stone + 14;
  c.Bevel(0, 0, width, height, face, (focused ? p.gold : p.stone) + 22, (focused ? p.gold : p.stone) + 4, 2);
  return c;
}

int Add(forge::SpriteFileWriter& file, const Canvas& c) { return file.AddFrame(forge::EncodeFrame(c, 0, 0, 0)); }

// A sprite file on the interface palette.
forge::SpriteFileWriter PaletteFile(const InterfacePalette& p) {
  forge::SpriteFileWriter file;
  file.AddPalette(p.builder.Bytes());
  return file;
}

// A tile of a control's trough: filled, its first and last pixel in their own shades.
Canvas Track(int width, int height, int fill, int firstShade, int lastShade) {
  Canvas c(width, height);
  c.Fill(fill);
  c.Set(0, 0, firstShade);
  c.Set(width - 1, height - 1, lastShade);
  return c;
}

// The arrows at a control's two ends, each normal then pressed, then the tile of its trough.
void AddArrowsAndTrack(forge::SpriteFileWriter& file, const InterfacePalette& p, int first, int second,
                       const Canvas& track) {
  for (int direction : {first, second})
    for (bool pressed : {false, true}) Add(file, forge::ArrowButton(p, 16, direction, pressed));
  Add(file, track);
}

FORGE_STEP(SpritesSlider) {
  InterfacePalette p;
  forge::SpriteFileWriter file = PaletteFile(p);
  AddArrowsAndTrack(file, p, 2, 3, Track(1, 6, p.ink + 2, p.stone + 2, p.stone + 20));
  Add(file, Knob(p, 10, 20, false));
  Add(file, Knob(p, 10, 20, true));
  ctx.WriteFile("sprites\\slider.spr", file.Bytes());
}

FORGE_STEP(SpritesScrollBar) {
  InterfacePalette p;
  forge::SpriteFileWriter file = PaletteFile(p);
  AddArrowsAndTrack(file, p, 0, 1, Track(16, 1, p.stone + 6, p.stone + 2, p.stone + 16));
  Add(file, Knob(p, 12, 24, false));
  ctx.WriteFile("sprites\\scrollbar.spr", file.Bytes());
}

Canvas Radio(const InterfacePalette& p, bool selected, bool focused) {
  Canvas c(16, 16);
  c.FillEllipse(0, 0, 16, 16, (focused ? p.gold : p.stone) + (focused ? 18 : 4));
  c.FillEllipse(2, 2, 12, 12, p.stone + 20);
  if (selected) c.ShadeEllipse(4, 4, 8, 8, p.red + 4, 12);
  return c;
}

FORGE_STEP(SpritesRadioButtons) {
  InterfacePalette p;
  forge::SpriteFileWriter file = PaletteFile(p);
  Add(file, Radio(p, true, false));
  Add(file, Radio(p, false, false));
  Add(file, Radio(p, true, true));
  Add(file, Radio(p, false, true));
  ctx.WriteFile("sprites\\radiobuttons.spr", file.Bytes());
}

}  // namespace
