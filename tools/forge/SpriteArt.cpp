// The sprite files of the interface and a file of test shapes, drawn procedurally.
//
// sprites\Buttons.spr, frames:
//   0..11   text buttons in three sizes (96x24, 128x28, 176x32), four frames each:
//           normal, highlighted, pressed, disabled
//   12..19  square arrow buttons 20x20: up, down, left, right, each normal then pressed
// sprites\border.spr, one nine-frame group (the tooltip's frame style 0):
//   0..3    corners 4x4: top-left, top-right, bottom-left, bottom-right
//   4..7    edge pieces: top 16x3, right 3x16, bottom 16x3, left 3x16
//   8       the inside, 16x16, tiled
// sprites\testshapes.spr (two palettes) and sprites\testshapes16.spr (16-bit frames):
//   shapes with holes, long gaps and runs, an empty frame, a chained trail and an alias.
#include "forge/Canvas.h"
#include "forge/Forge.h"
#include "forge/InterfaceArt.h"
#include "forge/SpriteWriter.h"

namespace forge {

InterfacePalette::InterfacePalette() {
  stone = builder.AddRamp(120, 130, 150, 24);
  gold = builder.AddRamp(230, 180, 60, 24);
  red = builder.AddRamp(190, 40, 30, 16);
  green = builder.AddRamp(60, 170, 70, 16);
  blue = builder.AddRamp(50, 90, 210, 16);
  ink = builder.AddRamp(30, 25, 20, 8, 0.5, 0.1);
}

}  // namespace forge

namespace {

using forge::Canvas;
using forge::InterfacePalette;

// A text button: bevelled stone face, gold rim; state 0 normal, 1 highlighted, 2 pressed,
// 3 disabled.
Canvas ButtonFace(const InterfacePalette& p, int width, int height, int state) {
  Canvas c(width, height);
  const int face = p.stone + (state == 1 ? 16 : state == 2 ? 8 : 12);
  const int light = p.stone + (state == 2 ? 4 : 21);
  const int dark = p.stone + (state == 2 ? 21 : 3);
  c.FillRect(2, 0, width - 4, height, p.gold + 14);  // rounded ends
  c.FillRect(0, 2, width, height - 4, p.gold + 14);
  c.FillRect(1, 1, width - 2, height - 2, p.gold + 14);
  c.Bevel(2, 2, width - 4, height - 4, face, light, dark, 2);
  if (state == 3) c.Remap([&](int v) { return p.stone + (v % 24) / 3 + 6; });
  return c;
}

FORGE_STEP(SpritesButtons) {
  InterfacePalette p;
  forge::SpriteFileWriter file;
  file.AddPalette(p.builder.Bytes());
  const int sizes[3][2] = {{96, 24}, {128, 28}, {176, 32}};
  for (const auto& size : sizes)
    for (int state = 0; state < 4; ++state)
      file.AddFrame(forge::EncodeFrame(ButtonFace(p, size[0], size[1], state), 0, 0, 0));
  for (int direction = 0; direction < 4; ++direction)
    for (bool pressed : {false, true})
      file.AddFrame(forge::EncodeFrame(ArrowButton(p, 20, direction, pressed), 0, 0, 0));
  ctx.WriteFile("sprites\\Buttons.spr", file.Bytes());
}

FORGE_STEP(SpritesBorder) {
  InterfacePalette p;
  forge::SpriteFileWriter file;
  file.AddPalette(p.builder.Bytes());
  // Thin enough for a one-line tooltip, whose box is a line and 4 pixels high.
  constexpr int kEdge = 3, kCorner = 4;
  for (int corner = 0; corner < 4; ++corner) {
    Canvas c(kCorner, kCorner);
    // A gold stud, bright at its top left.
    c.Fill(p.gold + 8);
    c.FillRect(1, 1, 2, 2, p.gold + 22);
    file.AddFrame(forge::EncodeFrame(c, 0, 0, 0));
  }
  // Top, right, bottom, left: a gold band, lit on its outer side along the top and left edges
  // and shaded on the others, with a dark line against the inside.
  for (int edge = 0; edge < 4; ++edge) {
    const bool horizontal = edge % 2 == 0;
    const bool outerFirst = edge == 0 || edge == 3;  // the outer side is at the low coordinate
    Canvas c(horizontal ? 16 : kEdge, horizontal ? kEdge : 16);
    c.Fill(p.gold + 14);
    const int outer = outerFirst ? 0 : kEdge - 1, inner = outerFirst ? kEdge - 1 : 0;
    const int light = outerFirst ? p.gold + 22 : p.gold + 6;
    if (horizontal) {
      c.FillRect(0, outer, 16, 1, light);
      c.FillRect(0, inner, 16, 1, p.stone + 1);
    } else {
      c.FillRect(outer, 0, 1, 16, light);
      c.FillRect(inner, 0, 1, 16, p.stone + 1);
    }
    file.AddFrame(forge::EncodeFrame(c, 0, 0, 0));
  }
  // The inside: dark slate with a faint weave.
  Canvas inside(16, 16);
  inside.Fill(p.stone + 3);
  for (int i = 0; i < 16; i += 4) inside.FillRect(i, (i * 3) % 16, 2, 1, p.stone + 5);
  file.AddFrame(forge::EncodeFrame(inside, 0, 0, 0));
  ctx.WriteFile("sprites\\border.spr", file.Bytes());
}

FORGE_STEP(SpritesTestShapes) {
  InterfacePalette p;
  forge::PaletteBuilder second;
  const int greens = second.AddRamp(40, 200, 90, 32);
  forge::SpriteFileWriter file;
  file.AddPalette(p.builder.Bytes());
  file.AddPalette(second.Bytes());

  Canvas square(16, 16);
  square.Fill(p.red + 10);
  file.AddFrame(forge::EncodeFrame(square, 8, 8, 0));  // 0

  Canvas ball(24, 24);
  ball.ShadeEllipse(0, 0, 24, 24, p.blue, 16);
  file.AddFrame(forge::EncodeFrame(ball, 12, 20, 0));  // 1

  Canvas ring(20, 20);
  ring.FillEllipse(0, 0, 20, 20, p.gold + 12);
  ring.FillEllipse(6, 6, 8, 8, Canvas::kTransparent);
  file.AddFrame(forge::EncodeFrame(ring, 10, 10, 0));  // 2

  Canvas triangle(30, 26);
  triangle.FillTriangle(15, 0, 0, 25, 29, 25, p.green + 9);
  file.AddFrame(forge::EncodeFrame(triangle, 15, 25, 0));  // 3

  // Gaps and runs longer than a control byte holds.
  Canvas wide(600, 4);
  wide.FillRect(0, 0, 40, 4, p.stone + 10);
  wide.FillRect(340, 0, 10, 4, p.red + 8);
  wide.FillRect(0, 2, 600, 1, p.gold + 14);
  wide.FillRect(320, 3, 280, 1, p.blue + 6);
  file.AddFrame(forge::EncodeFrame(wide, 0, 0, 0));  // 4

  file.AddFrame(forge::EncodeFrame(Canvas(0, 0), 0, 0, 0));  // 5: empty

  Canvas dot(1, 1);
  dot.Set(0, 0, p.gold + 20);
  file.AddFrame(forge::EncodeFrame(dot, 0, 0, 0));  // 6

  std::vector<std::vector<uint8_t>> trail;
  for (int part = 0; part < 4; ++part) {
    Canvas c(12, 12);
    c.ShadeEllipse(part, part, 12 - 2 * part, 12 - 2 * part, p.red, 16);
    trail.push_back(forge::EncodeFrame(c, 6 + 4 * part, 6, 0));
  }
  file.AddFrame(forge::ChainFrames(trail));  // 7: a trail of four parts

  Canvas greenBall(24, 24);
  greenBall.ShadeEllipse(0, 0, 24, 24, greens, 32);
  file.AddFrame(forge::EncodeFrame(greenBall, 12, 12, 1));  // 8: second palette
  file.AddAlias(1);                                         // 9: frame 1 again
  ctx.WriteFile("sprites\\testshapes.spr", file.Bytes());

  forge::SpriteFileWriter file16;
  Canvas gradient(32, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x) gradient.Set(x, y, forge::Rgb565(x * 8, y * 16, 255 - x * 8));
  gradient.FillRect(12, 4, 8, 8, Canvas::kTransparent);
  file16.AddFrame(forge::EncodeFrame(gradient, 0, 0, -1));
  Canvas white(8, 8);
  white.FillEllipse(0, 0, 8, 8, 0xFFFF);
  file16.AddFrame(forge::EncodeFrame(white, 4, 4, -1));
  file16.AddFrame(forge::EncodeFrame(Canvas(0, 0), 0, 0, -1));
  ctx.WriteFile("sprites\\testshapes16.spr", file16.Bytes());
}

}  // namespace

namespace forge {

Canvas ArrowButton(const InterfacePalette& p, int size, int direction, bool pressed) {
  Canvas c(size, size);
  c.Bevel(0, 0, size, size, p.stone + 12, p.stone + (pressed ? 4 : 21), p.stone + (pressed ? 21 : 3), 2);
  const int ink = p.gold + (pressed ? 10 : 18);
  const int o = pressed ? 1 : 0;
  // The triangle's tip a quarter in, its base seven tenths in, three tenths wide each side.
  const int mid = size / 2, tip = size / 4, base = (size * 7 + 5) / 10, half = (size * 3 + 5) / 10;
  switch (direction) {
    case 0:
      c.FillTriangle(mid + o, tip + o, mid - half + o, base + o, mid + half + o, base + o, ink);
      break;
    case 1:
      c.FillTriangle(mid + o, size - tip + o, mid - half + o, size - base + o, mid + half + o, size - base + o, ink);
      break;
    case 2:
      c.FillTriangle(tip + o, mid + o, base + o, mid - half + o, base + o, mid + half + o, ink);
      break;
    default:
      c.FillTriangle(size - tip + o, mid + o, size - base + o, mid - half + o, size - base + o, mid + half + o, ink);
      break;
  }
  return c;
}

}  // namespace forge
