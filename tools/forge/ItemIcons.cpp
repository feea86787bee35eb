// The item icons (each object drawn as what it is, on slate) and the select bar's overlays:
// the mana fill, the charge mark and the blinking selection mark.
#include <cmath>

#include "forge/CreatureGlyphs.h"
#include "forge/IconShapes.h"
#include "forge/SpellIcons.h"

namespace forge {

using namespace icon;

namespace {

const Colour kSlateTop = Rgb(112, 108, 104);
const Colour kSlateBottom = Rgb(40, 38, 40);
const Colour kBronze = Rgb(176, 128, 72);
const Colour kWood = Rgb(150, 98, 50);
const Colour kParchment = Rgb(236, 218, 170);
const Colour kRed = Rgb(220, 40, 50);
const Colour kMana = Rgb(110, 150, 255);

Shape Flask(float cx, float bottom, float r) {
  return Union({Circle(cx, bottom - r, r), Box(cx - r * 0.35f, bottom - r * 2.6f, cx + r * 0.35f, bottom - r * 1.2f),
                Box(cx - r * 0.55f, bottom - r * 3.0f, cx + r * 0.55f, bottom - r * 2.45f, 0.8f)});
}

void Potion(Raster& r, float cx, float bottom, float rad, Colour liquid) {
  Plain(r, Flask(cx, bottom, rad), Rgb(210, 225, 235));
  r.Fill(Intersect(Circle(cx, bottom - rad, rad - 1.2f), Box(0, bottom - rad * 1.3f, 40, 44)),
         Ball(cx, bottom - rad, rad, liquid));
  r.Fill(Box(cx - rad * 0.55f, bottom - rad * 3.0f, cx + rad * 0.55f, bottom - rad * 2.45f, 0.8f), kWood);
}

void Key(Raster& r, Colour metal) {
  Plain(r, Union({Ring(12, 19, 5, 3), Segment(17, 19, 33, 19, 3), Box(26, 19, 29, 25), Box(31, 19, 34, 24)}), metal);
}

void Gem(Raster& r, float cx, float cy, float s, Colour c) {
  const Shape gem = Polygon({{cx - 8 * s, cy - 3 * s},
                             {cx - 4 * s, cy - 8 * s},
                             {cx + 4 * s, cy - 8 * s},
                             {cx + 8 * s, cy - 3 * s},
                             {cx, cy + 9 * s}});
  r.Outlined(gem, VerticalGradient(cy - 8 * s, cy + 9 * s, Lighter(c, 0.5f), Darker(c, 0.35f)), kInk, 1.3f);
  r.Fill(Segment(cx - 8 * s, cy - 3 * s, cx + 8 * s, cy - 3 * s, 0.8f), Lighter(c, 0.6f));
  r.Fill(Polygon({{cx - 4 * s, cy - 8 * s}, {cx, cy - 3 * s}, {cx - 2 * s, cy - 8 * s}}), Lighter(c, 0.7f));
}

void Scroll(Raster& r, int number) {
  Plain(r, Box(9, 8, 31, 30, 1), kParchment);
  Plain(r, Union(Ellipse(20, 8, 13, 3), Ellipse(20, 30, 13, 3)), Darker(kParchment, 0.15f));
  for (int i = 0; i < 3; ++i) r.Fill(Segment(13, 14 + i * 4, 27, 14 + i * 4, 1), Darker(kParchment, 0.45f));
  const Colour seals[4] = {kRed, Rgb(60, 110, 230), Rgb(60, 170, 70), Rgb(170, 80, 200)};
  Plain(r, Circle(20, 31, 4), seals[(number - 1) & 3]);
  for (int i = 0; i < number; ++i) r.Fill(Circle(20 - (number - 1) * 1.6f + i * 3.2f, 31, 0.9f), kCream);
}

void Figurine(Raster& r, int type) {
  Plain(r, Box(8, 30, 32, 35, 1.5f), Rgb(120, 110, 100));
  r.Outlined(CreatureGlyph(type, 10, 6, 0.72f), VerticalGradient(6, 30, Rgb(240, 220, 150), Rgb(170, 130, 60)), kInk,
             1.2f);
}

void Bane(Raster& r, int type) {
  r.Outlined(CreatureGlyph(type, 6.5f, 5, 0.86f), kCream, kInk, 1.3f);
  r.Outlined(Segment(6, 33, 34, 5, 3.2f), kRed, kInk, 1.2f);
}

void Picture(Raster& r, int kind) {
  if (kind >= 28 && kind <= 49) return Figurine(r, kind - 27);
  if (kind == 58) return Figurine(r, 23);
  if (kind >= 62 && kind <= 84) return Bane(r, kind - 61);
  if (kind >= 53 && kind <= 56) return Scroll(r, kind - 52);
  if (kind >= 85) {
    const Colour gems[6] = {Rgb(230, 40, 60),  Rgb(60, 200, 90),  Rgb(70, 120, 240),
                            Rgb(240, 220, 60), Rgb(190, 80, 230), Rgb(240, 240, 250)};
    return Gem(r, 20, 19, 1.3f, gems[kind % 6]);
  }
  switch (kind) {
    case 0:  // an apple
      Plain(r, Circle(20, 21, 10), Ball(20, 21, 10, kRed));
      Plain(r, Union(Segment(20, 12, 22, 6, 1.6f), Ellipse(26, 8, 4, 2)), Rgb(80, 160, 60));
      break;
    case 1:  // a loaf of bread
      Plain(r, Union(Ellipse(20, 22, 15, 9), Box(5, 22, 35, 29, 3)),
            VerticalGradient(13, 30, Rgb(230, 170, 90), Rgb(150, 90, 40)));
      for (int i = 0; i < 3; ++i) r.Fill(Segment(12 + i * 7, 16, 15 + i * 7, 22, 1.2f), Rgb(250, 220, 160));
      break;
    case 2:  // a leg of meat
      Plain(r, Union(Ellipse(16, 17, 10, 8), Segment(22, 23, 31, 32, 3.5f)), Rgb(180, 80, 60));
      Plain(r, Union(Segment(24, 25, 31, 32, 3), Circle(32, 33, 2.5f)), kCream);
      break;
    case 3:
      Potion(r, 20, 34, 7, kRed);
      break;
    case 4:
      Potion(r, 20, 36, 9, kRed);
      break;
    case 6:  // a wedge of cheese
      Plain(r, Polygon({{5, 28}, {35, 28}, {35, 16}, {8, 20}}), Rgb(250, 210, 80));
      r.Fill(Union({Circle(16, 24, 2), Circle(27, 21, 1.6f), Circle(30, 25, 1.3f)}), Rgb(200, 150, 40));
      break;
    case 7:  // an amulet
      Plain(r, Intersect(Ring(20, 14, 10, 1.6f), Box(0, 0, 40, 16)), kGold);
      Plain(r, Segment(10, 14, 17, 22, 1.6f), kGold);
      Plain(r, Segment(30, 14, 23, 22, 1.6f), kGold);
      Plain(r, Circle(20, 26, 6), Ball(20, 26, 6, Rgb(60, 200, 180)));
      break;
    case 8:  // a cloak
      Plain(r, Polygon({{14, 6}, {26, 6}, {34, 33}, {20, 30}, {6, 33}}),
            VerticalGradient(6, 33, Rgb(90, 90, 140), Rgb(30, 30, 60)));
      Plain(r, Circle(20, 7, 2.2f), kGold);
      break;
    case 9:  // a crystal ball on its stand
      Plain(r, Polygon({{12, 34}, {28, 34}, {24, 27}, {16, 27}}), kWood);
      Plain(r, Circle(20, 17, 10), Ball(20, 17, 10, Rgb(150, 200, 255)));
      break;
    case 10:  // a wand with a star
      Plain(r, Segment(8, 34, 26, 14, 2.6f), kWood);
      Plain(r, Star(28, 11, 7, 3, 5), Rgb(255, 236, 120));
      break;
    case 11:  // a holy symbol
      Plain(r, Union({Ring(20, 11, 5, 3), Box(18.5f, 15, 21.5f, 34), Box(10, 18, 30, 21)}), kGold);
      break;
    case 12:  // a bone
      Plain(r,
            Union({Segment(11, 29, 29, 11, 4.5f), Circle(8, 29, 3), Circle(11, 32, 3), Circle(29, 8, 3),
                   Circle(32, 11, 3)}),
            kCream);
      break;
    case 13:  // a horn
      Plain(r, Union(Path({{8, 12}, {14, 22}, {24, 26}, {31, 22}}, 5), Ellipse(32, 21, 3, 5)), Rgb(230, 210, 170));
      break;
    case 14:
    case 20:  // vials that lower or raise the water
      Potion(r, 14, 34, 7, Rgb(60, 120, 230));
      Plain(r, kind == 14 ? Arrow(30, 8, 30, 32, 2.4f) : Arrow(30, 32, 30, 8, 2.4f), kCream);
      break;
    case 15:  // a gauntlet
      Plain(r,
            Union({Box(10, 14, 28, 30, 3), Box(12, 28, 26, 36, 1), Segment(12, 15, 12, 6, 3.2f),
                   Segment(17, 14, 17, 4, 3.2f), Segment(22, 14, 22, 5, 3.2f), Segment(27, 16, 31, 9, 3.2f)}),
            kSteel);
      break;
    case 16:
      Key(r, Rgb(150, 140, 130));
      break;
    case 17:  // a rune stone
      Plain(r, Ellipse(20, 20, 12, 14), Ball(20, 20, 14, Rgb(130, 130, 140)));
      r.Fill(Path({{16, 12}, {22, 18}, {16, 24}, {22, 29}}, 2), Rgb(120, 230, 255));
      break;
    case 18:  // a bomb
      Plain(r, Circle(18, 23, 11), Ball(18, 23, 11, Rgb(60, 60, 70)));
      Plain(r, Path({{24, 13}, {28, 8}, {31, 9}}, 2), kWood);
      Plain(r, Star(32, 7, 4, 1.5f, 5), Rgb(255, 220, 90));
      break;
    case 19:  // a crystal of mana
      r.Fill(Circle(20, 19, 15), Radial(20, 19, 15, Lighter(kMana, 0.5f), Colour{kMana.r, kMana.g, kMana.b}), 0.35f);
      Gem(r, 20, 20, 1.4f, kMana);
      break;
    case 21:  // a ring with a stone
      Plain(r, Ring(20, 23, 9, 3.5f), kGold);
      Plain(r, Circle(20, 12, 4.5f), Ball(20, 12, 4.5f, Rgb(80, 220, 120)));
      break;
    case 22:  // a rod of lightning
      Plain(r, Segment(10, 34, 22, 12, 3), kWood);
      r.Outlined(Bolt(19, 2, 0.75f), Rgb(255, 240, 90), kInk, 1.1f);
      break;
    case 23:  // a coin
      Plain(r, Circle(20, 19, 11), Ball(20, 19, 11, kGold));
      r.Fill(Ring(20, 19, 7.5f, 1.2f), Darker(kGold, 0.3f));
      break;
    case 24:  // a shield against fire
      Plain(r, Polygon({{8, 6}, {32, 6}, {31, 20}, {20, 33}, {9, 20}}),
            VerticalGradient(6, 33, Rgb(200, 60, 40), Rgb(110, 20, 20)));
      Plain(r, Flame(20, 26, 9, 16), Rgb(255, 200, 80));
      break;
    case 26:  // boots of speed
      Plain(r, Union(Box(12, 8, 22, 28, 2), Box(12, 24, 32, 32, 3)), kWood);
      Plain(r, Polygon({{12, 12}, {3, 8}, {6, 14}, {2, 16}, {12, 18}}), kCream);
      break;
    case 27:  // a sceptre
      Plain(r, Segment(12, 34, 24, 12, 2.8f), kGold);
      Plain(r, Polygon({{21, 12}, {20, 3}, {25, 7}, {28, 2}, {30, 9}, {27, 15}}), kGold);
      r.Fill(Circle(25, 10, 2), kRed);
      break;
    case 50:  // a chest
      Plain(r, Union(Box(6, 16, 34, 34, 2), Intersect(Ellipse(20, 16, 14, 7), Box(0, 0, 40, 16))), kWood);
      r.Fill(Union(Segment(6, 17, 34, 17, 1.6f), Segment(20, 10, 20, 34, 2)), Darker(kWood, 0.5f));
      Plain(r, Box(17.5f, 18, 22.5f, 24, 1), kGold);
      break;
    case 51:
      Key(r, Rgb(220, 225, 235));
      break;
    case 52:
      Key(r, kGold);
      break;
    case 57:  // a stone
      Plain(r, Ellipse(20, 22, 12, 9), Ball(20, 22, 12, Rgb(150, 145, 140)));
      break;
    case 59:  // a feather
      Plain(r, Union(Ellipse(21, 18, 6, 14), Segment(14, 34, 22, 8, 1.4f)), kCream);
      r.Fill(Segment(14, 34, 22, 7, 1), Rgb(150, 140, 120));
      break;
    case 60:  // a stone block and trowel
      Plain(r, Box(6, 20, 26, 34, 1), Rgb(170, 160, 150));
      Plain(r, Union(Polygon({{20, 6}, {34, 10}, {28, 18}}), Segment(24, 12, 16, 4, 2.4f)), kSteel);
      break;
    case 61:  // a fountain of mana: a glowing orb on a pedestal
      Plain(r, Polygon({{12, 34}, {28, 34}, {24, 24}, {16, 24}}), Rgb(140, 140, 150));
      r.Fill(Circle(20, 15, 13), kMana, 0.3f);
      Plain(r, Circle(20, 15, 7.5f), Ball(20, 15, 7.5f, Lighter(kMana, 0.3f)));
      break;
    default:  // a pouch
      Plain(r, Union(Ellipse(20, 24, 11, 10), Polygon({{15, 14}, {25, 14}, {28, 8}, {12, 8}})), Rgb(170, 120, 70));
      r.Fill(Segment(14, 15, 26, 15, 1.6f), Rgb(90, 60, 30));
      break;
  }
}

}  // namespace

Raster ItemIcon(int kind) {
  Raster r(kIconWidth, kIconHeight);
  Tile(r, kSlateTop, kSlateBottom, kBronze);
  Picture(r, kind);
  return r;
}

Raster ItemFigure(int kind) {
  Raster r(kIconWidth, kIconHeight);
  Picture(r, kind);
  return r;
}

Raster ManaFill(int step) {
  // A gauge along the bottom of the button: gold, bright once the spell can be afforded.
  Raster r(kIconWidth, kIconHeight);
  const float left = 5, right = 35, top = 36.5f, bottom = 40.5f;
  r.Outlined(Box(left, top, right, bottom, 2), Rgb(20, 18, 30), kInk, 0.8f);
  const float fill = left + (right - left) * static_cast<float>(step) / 31.0f;
  if (step > 0) {
    const bool full = step >= 31;
    const Colour c = full ? Rgb(255, 226, 90) : Rgb(190, 140, 40);
    r.Fill(Intersect(Box(left, top, right, bottom, 2), Box(0, 0, fill, 44)),
           VerticalGradient(top, bottom, Lighter(c, 0.45f), Darker(c, 0.3f)));
    if (full) r.Fill(Box(left + 1, top + 0.6f, right - 1, top + 1.6f, 0.5f), Rgb(255, 250, 210), 0.8f);
  }
  return r;
}

Raster ChargeMark(int step) {
  // Five pips along the bottom, lit for what is left.
  Raster r(kIconWidth, kIconHeight);
  for (int i = 0; i < 5; ++i) {
    const float x = 8 + i * 6;
    const bool lit = i < step;
    r.Outlined(Circle(x, 38.5f, 2.3f), lit ? Ball(x, 38.5f, 2.3f, Rgb(120, 240, 110)) : Flat(Rgb(30, 34, 30)), kInk,
               0.8f);
  }
  return r;
}

Raster SelectionMark(int blink) {
  // A gold frame round the button with a bright spark running round it.
  Raster r(kIconWidth, kIconHeight);
  const Shape frame =
      Subtract(Box(0, 0, kIconWidth, kIconHeight, 6), Box(2.4f, 2.4f, kIconWidth - 2.4f, kIconHeight - 2.4f, 4));
  const float phase = blink / 12.0f;
  const float pulse = 0.5f + 0.5f * std::cos(phase * 2 * kPi);
  r.Fill(frame, Mix(Rgb(220, 150, 30), Rgb(255, 230, 120), pulse));
  // The spark: a point travelling along the frame's middle line.
  const float perimeter = 2 * (kIconWidth + kIconHeight);
  float d = phase * perimeter, sx, sy;
  if (d < kIconWidth) {
    sx = d, sy = 1.2f;
  } else if ((d -= kIconWidth) < kIconHeight) {
    sx = kIconWidth - 1.2f, sy = d;
  } else if ((d -= kIconHeight) < kIconWidth) {
    sx = kIconWidth - d, sy = kIconHeight - 1.2f;
  } else {
    d -= kIconWidth;
    sx = 1.2f, sy = kIconHeight - d;
  }
  r.Fill(Circle(sx, sy, 4.5f), Radial(sx, sy, 4.5f, Rgb(255, 255, 255), Rgb(255, 150, 40)));
  return r;
}

}  // namespace forge
