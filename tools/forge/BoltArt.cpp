// The dots that bolts and beams are drawn with (sprites\bolts.spr): the map view prints one
// additively at every pixel along a segment, so each frame is a small soft dot, bright in
// its middle. Frame n is the look of segment kind n: 0 lightning (white-blue), 1 amber fire,
// 2 a guardian's red shot, 3 a healing green.
#include "forge/Canvas.h"
#include "forge/Forge.h"
#include "forge/SpriteWriter.h"

namespace forge {

namespace {

std::vector<uint8_t> BoltDots() {
  PaletteBuilder palette;
  struct Look {
    int r, g, b;
  } looks[] = {{150, 180, 255}, {255, 170, 40}, {255, 60, 40}, {90, 255, 110}};
  SpriteFileWriter sprite;
  int ramps[4];
  for (int i = 0; i < 4; ++i) ramps[i] = palette.AddRamp(looks[i].r, looks[i].g, looks[i].b, 3, 0.25, 0.5);
  sprite.AddPalette(palette.Bytes());
  for (int ramp : ramps) {
    // A bright core with a dim cross round it: additive dots overlap into a glowing line.
    Canvas c(3, 3);
    c.Set(1, 1, ramp + 2);
    for (const auto& [x, y] : {std::pair{1, 0}, std::pair{0, 1}, std::pair{2, 1}, std::pair{1, 2}}) c.Set(x, y, ramp);
    sprite.AddFrame(EncodeFrame(c, 1, 1, 0));
  }
  return sprite.Bytes();
}

FORGE_STEP(BoltDots) { ctx.WriteFile("sprites\\bolts.spr", BoltDots()); }

}  // namespace

}  // namespace forge
