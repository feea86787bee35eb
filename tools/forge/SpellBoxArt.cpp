// The spell box's art, at both resolutions ("Interface\SpellBox\<w>x<h>\"): the box itself,
// Portmanteau.bmp (a leather case opened: three talisman columns of seven sockets on the left,
// Vrask red, Neutral green and Law blue, a velvet tray of 25 sockets for the known items on
// the right, and at the top a frame for the pointed item's picture and three wells for its
// spells); Talisman.spr (a medallion per spell for the column slots: frames 0 and 1 the empty
// Law and Neutral talismans, 2 + s spell s, 106 the empty Vrask talisman, whose usual number 2
// is spell 0's); MItems.spr (a picture per magic item 0-20) and SpellBoxButtons.spr (the
// grimoire and leave buttons). Every socket stands where the
// spell box screen puts its slot.
#include <cmath>
#include <cstdio>
#include <string>

#include "forge/CreatureTable.h"
#include "forge/Forge.h"
#include "forge/IconShapes.h"
#include "forge/Painting.h"
#include "forge/Pictures.h"
#include "forge/RasterScaling.h"
#include "forge/SpellIcons.h"
#include "forge/SpellTable.h"
#include "forge/SpriteWriter.h"
#include "frontend/SpellBoxLayout.h"

namespace forge {

using namespace icon;

namespace {

constexpr int kEmptyVraskFrame = 106;
constexpr int kItems = 21;

using spell_box_layout::ColumnRect;
using spell_box_layout::IconRect;
using spell_box_layout::PoolRect;
using BoxLayout = spell_box_layout::Layout;

Colour AlignmentColour(int alignment) {
  return alignment == kLaw ? Rgb(60, 110, 220) : alignment == kNeutral ? Rgb(60, 170, 80) : Rgb(200, 50, 40);
}

// The case, painted in 800 x 600 units: positions of the 640 x 480 layout are scaled up.
Painting BoxPicture(const BoxLayout& b) {
  const float k = 800.0f / b.width;
  auto R = [&](int v) { return v * k; };
  Painting p;
  p.Shade([](float x, float y, const Colour&) {
    const float grain = FractalNoise(x / 60.0f, y / 60.0f, 71, 4);
    return Mix(Rgb(70, 40, 22), Rgb(112, 68, 36), grain);
  });
  p.Panel(4, 4, 796, 596, 14, Rgb(0, 0, 0), 0.0f, Rgb(200, 160, 90), 2.0f);
  // The columns: a coloured strip behind each, the alignment's sign at its top.
  const char* names[3] = {"Law", "Neutral", "Vrask"};
  for (int c = 0; c < 3; ++c) {
    const float left = R(b.columnLeft[c]) - 4, right = R(ColumnRect(b, c, 0).right) + 4;
    const float top = R(ColumnRect(b, c, 6).top) - 4;
    p.Panel(left, top, right, R(b.columnBottom) + 4, 8, Mix(AlignmentColour(c), Rgb(10, 8, 8), 0.55f), 0.9f,
            Rgb(200, 160, 90), 1.5f);
    for (int i = 0; i < 7; ++i) {
      const float bottom = R(ColumnRect(b, c, i).bottom), size = R(b.columnWidth);
      const float cx = R(b.columnLeft[c]) + size / 2, cy = bottom - size / 2;
      p.Glow(cx, cy, size * 0.40f, size * 0.48f, Mix(AlignmentColour(c), Rgb(10, 8, 8), 0.78f),
             Mix(AlignmentColour(c), Rgb(0, 0, 0), 0.45f), 0.6f);
    }
    (void)names;
  }
  // The tray of known items.
  const float trayLeft = R(b.poolLeft) - 8, trayTop = R(b.poolTop) - 8;
  const float trayRight = R(PoolRect(b, 24).right) + 8, trayBottom = R(PoolRect(b, 24).bottom) + 8;
  p.Panel(trayLeft, trayTop, trayRight, trayBottom, 10, Rgb(60, 14, 30), 1.0f, Rgb(200, 160, 90), 2.0f);
  for (int s = 0; s < 25; ++s) {
    const float left = R(PoolRect(b, s).left), top = R(PoolRect(b, s).top);
    p.Panel(left, top, left + R(b.poolSize), top + R(b.poolSize), 8, Rgb(36, 8, 18), 1.0f, Rgb(120, 60, 70), 1.0f);
  }
  // The top: the pointed item's frame, its spells' wells and the buttons' plate.
  p.Panel(R(b.picture.left) - 2, R(b.picture.top), R(b.picture.right) + 2, R(b.picture.bottom) + 2, 6, Rgb(20, 12, 8),
          1.0f, Rgb(220, 180, 100), 2.0f);
  for (int j = 0; j < 3; ++j) {
    const float left = R(IconRect(b, j).left);
    p.Panel(left - 3, R(b.iconTop) - 3, left + R(b.iconWidth) + 3, R(IconRect(b, j).bottom) + 3, 5, Rgb(20, 12, 8),
            1.0f, Mix(AlignmentColour(2 - j), Rgb(220, 180, 100), 0.4f), 2.0f);
  }
  p.Panel(R(b.grimoire.left) - 6, R(b.grimoire.top) - 6, R(b.leave.right) + 6, R(b.leave.bottom) + 6, 8, Rgb(20, 12, 8),
          0.7f, Rgb(200, 160, 90), 1.5f);
  return p;
}

// A talisman: a gold-rimmed medallion of the colour, with a picture inside.
Raster Medallion(int size, Colour colour, const Raster* picture, bool dim) {
  const float s = static_cast<float>(size), c = s / 2;
  Raster r(size, size);
  r.Fill(Circle(c, c, c - 0.5f), VerticalGradient(0, s, Rgb(250, 220, 130), Rgb(130, 90, 30)));
  r.Fill(Circle(c, c, c * 0.86f), Radial(c * 0.8f, c * 0.75f, c, Lighter(colour, 0.25f), Darker(colour, 0.55f)));
  if (picture) {
    const int inner = static_cast<int>(s * 0.62f);
    r.Draw(Resized(*picture, inner, inner * kIconHeight / kIconWidth), (size - inner) / 2,
           (size - inner * kIconHeight / kIconWidth) / 2);
  }
  if (dim) r.Recolour([](Colour x) { return Mix(x, Rgb(20, 16, 12), 0.45f); });
  return r;
}

// The empty talisman of a column: its colour and its sign, dimmed.
Raster EmptyTalisman(int column, int size) {
  Raster sign(kIconWidth, kIconHeight);
  switch (column) {
    case kLaw:
      Plain(sign, Star(20, 22, 15, 6, 8), Rgb(250, 240, 200));
      break;
    case kNeutral:
      Plain(sign, Union(Ellipse(20, 18, 7, 12), Segment(20, 24, 20, 38, 2.5f)), Rgb(170, 230, 150));
      break;
    default:
      Plain(sign, Flame(20, 38, 22, 32), kFire);
      break;
  }
  return Medallion(size, AlignmentColour(column), &sign, true);
}

// The magic items: seven kinds of object in three metals and gems.
Raster ItemPicture(int item, int size) {
  Raster r(80, 80);
  const Colour gems[7] = {Rgb(220, 40, 60),  Rgb(60, 120, 240), Rgb(60, 200, 110), Rgb(160, 70, 220),
                          Rgb(250, 200, 60), Rgb(60, 210, 220), Rgb(240, 120, 40)};
  const Colour metals[3] = {Rgb(230, 190, 90), Rgb(200, 205, 215), Rgb(180, 110, 60)};
  const Colour gem = gems[item % 7], metal = metals[(item / 7) % 3];
  const Shader metalShade = VerticalGradient(4, 76, Lighter(metal, 0.3f), Darker(metal, 0.4f));
  switch (item % 7) {
    case 0:  // an amulet on its chain
      Plain(r, Ring(40, 26, 20, 2.5f), metalShade);
      Plain(r, Circle(40, 52, 16), metalShade);
      r.Fill(Circle(40, 52, 10), Ball(37, 49, 11, gem));
      break;
    case 1:  // a ring
      Plain(r, Ring(40, 48, 20, 7), metalShade);
      Plain(r, Box(30, 14, 50, 30, 4), metalShade);
      r.Fill(Ellipse(40, 20, 9, 7), Ball(38, 18, 9, gem));
      break;
    case 2:  // a wand
      Plain(r, Segment(18, 66, 56, 22, 6), VerticalGradient(20, 70, Rgb(150, 100, 60), Rgb(70, 40, 20)));
      r.Fill(Circle(58, 20, 9), Ball(56, 18, 10, gem));
      r.Fill(Star(58, 20, 16, 3, 4), Lighter(gem, 0.6f), 0.7f);
      break;
    case 3:  // an orb on a stand
      Plain(r, Polygon({{26, 70}, {54, 70}, {48, 58}, {32, 58}}), metalShade);
      Plain(r, Circle(40, 38, 22), Ball(33, 30, 26, gem));
      break;
    case 4:  // a chalice
      Plain(r,
            Union({Polygon({{20, 16}, {60, 16}, {52, 40}, {28, 40}}), Box(37, 38, 43, 62),
                   Polygon({{26, 70}, {54, 70}, {46, 60}, {34, 60}})}),
            metalShade);
      r.Fill(Circle(40, 27, 5), Ball(39, 26, 6, gem));
      break;
    case 5:  // a scroll with its seal
      Plain(r, Box(18, 22, 62, 58, 3), VerticalGradient(20, 60, Rgb(246, 232, 196), Rgb(210, 186, 140)));
      Plain(r, Union(Ellipse(18, 40, 5, 20), Ellipse(62, 40, 5, 20)), Rgb(230, 210, 170));
      r.Fill(Circle(40, 52, 8), Ball(38, 50, 9, gem));
      break;
    default:  // a crown
      Plain(r, Polygon({{16, 60}, {64, 60}, {68, 24}, {54, 40}, {40, 18}, {26, 40}, {12, 24}}), metalShade);
      r.Fill(Circle(40, 50, 5), Ball(39, 49, 6, gem));
      r.Fill(Union(Circle(26, 52, 3.5f), Circle(54, 52, 3.5f)), Ball(40, 50, 20, Lighter(gem, 0.2f)));
      break;
  }
  return Resized(r, size, size);
}

// The grimoire and leave buttons: a gold plate with a book, or with an arrow onward; state 0
// normal, 1 highlighted, 2 pressed.
Raster SpellBoxButton(bool leave, int width, int height, int state) {
  Raster r(width, height);
  const float w = static_cast<float>(width), h = static_cast<float>(height), d = state == 2 ? 1.0f : 0.0f;
  const Colour plate = state == 1 ? Rgb(250, 214, 120) : state == 2 ? Rgb(170, 120, 50) : Rgb(220, 176, 90);
  r.Fill(Box(0, 0, w, h, 7), Rgb(60, 36, 14));
  r.Fill(Box(2 + d, 2 + d, w - 2 + d, h - 2 + d, 6),
         VerticalGradient(0, h, Lighter(plate, 0.2f), Darker(plate, 0.35f)));
  r.Bevel(Box(2, 2, w - 2, h - 2, 6), 3, state == 2 ? -0.4f : 0.4f);
  const float cx = w / 2 + d, cy = h / 2 + d, u = std::min(w, h) / 48.0f;
  if (leave) {
    Plain(r, Arrow(cx - 14 * u, cy, cx + 15 * u, cy, 9 * u), Rgb(250, 240, 220));
  } else {
    Plain(r, Box(cx - 15 * u, cy - 12 * u, cx + 15 * u, cy + 13 * u, 2 * u), Rgb(120, 30, 30));
    r.Fill(Box(cx - 12 * u, cy - 10 * u, cx + 12 * u, cy + 10 * u, 1), Rgb(246, 232, 196));
    r.Fill(Segment(cx, cy - 10 * u, cx, cy + 10 * u, 1.5f * u), Rgb(120, 30, 30));
  }
  return r;
}

void WriteSprite(Context& ctx, const std::string& path, const std::vector<Raster>& frames) {
  SpriteFileWriter writer;
  for (const Raster& frame : frames) writer.AddFrame(EncodeFrame(frame.ToCanvas(), 0, 0, -1));
  ctx.WriteFile(path, writer.Bytes());
}

FORGE_STEP(SpellBoxArt) {
  for (const BoxLayout& b : spell_box_layout::kLayouts) {
    const std::string folder =
        "Interface\\SpellBox\\" + std::to_string(b.width) + "x" + std::to_string(b.height) + "\\";
    ctx.WriteFile(folder + "Portmanteau.bmp", MakeBmp24(BoxPicture(b).Reduce(b.width, b.height)));

    const int size = b.columnWidth;
    std::vector<Raster> talismans;
    talismans.push_back(EmptyTalisman(kLaw, size));
    talismans.push_back(EmptyTalisman(kNeutral, size));
    for (int s = 0; s < kSpells; ++s) {
      const Raster icon = SpellIcon(s);
      talismans.push_back(
          Medallion(size, AlignmentColour(SpellTable()[static_cast<size_t>(s)].Alignment), &icon, false));
    }
    static_assert(2 + kSpells == kEmptyVraskFrame, "the empty Vrask talisman follows the spells");
    talismans.push_back(EmptyTalisman(kVrask, size));
    WriteSprite(ctx, folder + "Talisman.spr", talismans);

    std::vector<Raster> items;
    for (int item = 0; item < kItems; ++item) items.push_back(ItemPicture(item, b.poolSize));
    WriteSprite(ctx, folder + "MItems.spr", items);

    // Frames 3-5 the grimoire button and 9-11 the leave button (normal, highlighted,
    // pressed), the numbers the screen takes them by; the others are left empty.
    const int width = b.grimoire.right - b.grimoire.left, height = b.grimoire.bottom - b.grimoire.top;
    std::vector<Raster> buttons(12, Raster(1, 1));
    for (int state = 0; state < 3; ++state) {
      buttons[static_cast<size_t>(3 + state)] = SpellBoxButton(false, width, height, state);
      buttons[static_cast<size_t>(9 + state)] = SpellBoxButton(true, width, height, state);
    }
    WriteSprite(ctx, folder + "SpellBoxButtons.spr", buttons);
  }
}

}  // namespace

}  // namespace forge
