// The forge steps of the select bar's sprites: sprites\SplIcons.spr and sprites\Selbut.spr.
#include "forge/Forge.h"
#include "forge/IconShapes.h"
#include "forge/SpellIcons.h"
#include "forge/SpriteWriter.h"

namespace forge {

using namespace icon;

namespace {

constexpr int kSpellCount = 104;
constexpr int kItemKinds = 97;

// The toggle: a round gem of a button with an arrow pointing where the strip goes (left to
// open it, right to close it); pressed, it sinks.
Raster ToggleButton(bool open, bool pressed) {
  Raster r(36, 40);
  const float cx = 18 + (pressed ? 0.8f : 0), cy = 20 + (pressed ? 0.8f : 0);
  r.Fill(Circle(18, 20, 17.5f), Darker(kGold, 0.55f));
  r.Fill(Circle(18, 20, 16.5f), VerticalGradient(3, 37, Lighter(kGold, 0.25f), Darker(kGold, 0.4f)));
  const Colour gem = pressed ? Rgb(40, 70, 150) : Rgb(70, 110, 210);
  r.Fill(Circle(cx, cy, 13), Ball(cx - 2, cy - 2, 14, gem));
  const float dir = open ? 1.0f : -1.0f;
  const Shape head = Polygon({{cx + dir * 7, cy}, {cx - dir * 1, cy - 8}, {cx - dir * 1, cy + 8}});
  const Shape shaft = Segment(cx - dir * 0.5f, cy, cx - dir * 7.5f, cy, 5);
  r.Outlined(Union(head, shaft), pressed ? Darker(kCream, 0.15f) : kCream, kInk, 1.2f);
  return r;
}

}  // namespace

FORGE_STEP(SelectBarSprites) {
  SpriteFileWriter icons;
  std::vector<Raster> frames(kIconFrames, Raster(kIconWidth, kIconHeight));
  // Frames 0 and 1: an empty socket.
  for (int f = 0; f < 2; ++f) {
    frames[static_cast<size_t>(f)].Fill(Box(0, 0, kIconWidth, kIconHeight, 6), Rgb(24, 22, 26));
    frames[static_cast<size_t>(f)].Bevel(Box(0, 0, kIconWidth, kIconHeight, 6), 3, -0.5f);
  }
  for (int s = 0; s < kSpellCount; ++s) frames[static_cast<size_t>(SpellIconFrame(s))] = SpellIcon(s);
  for (int k = 0; k < kItemKinds; ++k) frames[static_cast<size_t>(ItemIconFrame(k))] = ItemIcon(k);
  for (int step = 0; step < 32; ++step) frames[static_cast<size_t>(96 + step)] = ManaFill(step);
  for (int step = 0; step < 6; ++step) frames[static_cast<size_t>(128 + step)] = ChargeMark(step);
  for (int blink = 0; blink < 12; ++blink) frames[static_cast<size_t>(222 + blink)] = SelectionMark(blink);
  for (const Raster& frame : frames) icons.AddFrame(EncodeFrame(frame.ToCanvas(), 0, 0, -1));
  ctx.WriteFile("sprites\\SplIcons.spr", icons.Bytes());

  SpriteFileWriter toggle;
  for (bool open : {false, true})
    for (bool pressed : {false, true}) toggle.AddFrame(EncodeFrame(ToggleButton(open, pressed).ToCanvas(), 0, 0, -1));
  ctx.WriteFile("sprites\\Selbut.spr", toggle.Bytes());
}

}  // namespace forge
