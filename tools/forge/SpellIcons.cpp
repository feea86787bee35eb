// The spell icons: a tile in the alignment's colour, the family's sign behind, the spell's
// own picture in front.
#include "forge/SpellIcons.h"

#include <cmath>

#include "forge/CreatureGlyphs.h"
#include "forge/CreatureTable.h"
#include "forge/IconShapes.h"
#include "forge/SpellTable.h"

namespace forge {

using namespace icon;

namespace {

enum class Family { kSummon, kEnchant, kStrike, kTotem, kMissile, kUnused };

Family FamilyOf(int spell) {
  if (spell < 28) return Family::kSummon;
  if (spell >= 93) return spell == 103 ? Family::kUnused : Family::kMissile;
  switch (spell) {
    case 33:
    case 34:
    case 35:
    case 38:
    case 58:
    case 62:
    case 68:
    case 71:
    case 72:
    case 73:
    case 75:
    case 87:
    case 88:
    case 89:
    case 90:
    case 81:
      return Family::kStrike;
    case 65:
    case 69:
    case 70:
    case 91:
    case 92:
      return Family::kTotem;
    case 41:
    case 42:
    case 43:
    case 44:
    case 46:
    case 50:
    case 52:
    case 54:
    case 55:
    case 60:
    case 74:
    case 76:
    case 77:
    case 78:
    case 79:
    case 80:
    case 82:
    case 83:
    case 84:
    case 85:
    case 86:
      return Family::kEnchant;
    default:
      return Family::kUnused;
  }
}

TileColours AlignmentTile(int alignment) {
  switch (alignment) {
    case kLaw:
      return {Rgb(78, 130, 228), Rgb(22, 44, 118)};
    case kVrask:
      return {Rgb(214, 70, 56), Rgb(86, 14, 20)};
    default:
      return {Rgb(86, 176, 88), Rgb(20, 72, 32)};
  }
}

void FamilySign(Raster& r, Family family, const TileColours& c) {
  const Colour sign = Lighter(c.top, 0.35f);
  switch (family) {
    case Family::kSummon: {
      r.Fill(Ring(20, 19, 14, 1.4f), sign, 0.7f);
      for (int i = 0; i < 5; ++i) {
        const float a = -kPi / 2 + i * 2 * kPi / 5;
        r.Fill(Circle(20 + 14 * std::cos(a), 19 + 14 * std::sin(a), 1.8f), sign, 0.9f);
      }
      break;
    }
    case Family::kEnchant:
      r.Fill(Circle(20, 19, 16), Radial(20, 19, 16, Lighter(c.top, 0.45f), c.top), 0.55f);
      break;
    case Family::kStrike:
      for (int i = 0; i < 3; ++i) r.Fill(Segment(4 + i * 5, 4, 9 + i * 5, 9, 1.6f), sign, 0.7f);
      break;
    case Family::kTotem:
      r.Fill(Ellipse(20, 34, 14, 2.6f), Darker(c.bottom, 0.3f), 0.8f);
      break;
    case Family::kMissile:
      for (int i = 0; i < 3; ++i) r.Fill(Segment(4, 12 + i * 7, 12 - i * 2, 12 + i * 7, 1.4f), sign, 0.7f);
      break;
    case Family::kUnused:
      r.Fill(Ring(20, 19, 12, 1.2f), sign, 0.4f);
      break;
  }
}

// A feathered wing spreading to one side (dir -1 left, 1 right) from (cx, cy).
Shape Wingtip(float cx, float cy, float dir) {
  return Polygon({{cx, cy - 2},
                  {cx + dir * 6, cy - 10},
                  {cx + dir * 16, cy - 13},
                  {cx + dir * 15, cy - 6},
                  {cx + dir * 17, cy - 3},
                  {cx + dir * 13, cy + 2},
                  {cx + dir * 15, cy + 5},
                  {cx + dir * 9, cy + 7},
                  {cx + dir * 10, cy + 10},
                  {cx + dir * 2, cy + 6}});
}

void TotemGlyph(Raster& r, int spell) {
  Plain(r, Totem(20), Rgb(176, 124, 74));
  r.Fill(Union(Circle(18, 16, 1.1f), Circle(22, 16, 1.1f)), kInk);
  r.Fill(Segment(17.5f, 29, 22.5f, 29, 1.3f), kInk);
  switch (spell) {
    case 65:  // flies
      for (int i = 0; i < 4; ++i) Plain(r, Circle(10 + i * 6.5f, 6 + (i % 2) * 3, 1.6f), kInk);
      break;
    case 69:  // life: a heart
      Plain(r, Union({Circle(17.5f, 7, 3.2f), Circle(22.5f, 7, 3.2f), Polygon({{14.5f, 8}, {25.5f, 8}, {20, 13.5f}})}),
            Rgb(240, 70, 90));
      break;
    case 70:  // war: a sword
      Plain(r, Union(Segment(20, 1.5f, 20, 11, 2.2f), Segment(16.5f, 9, 23.5f, 9, 1.8f)), kSteel);
      break;
    case 91:  // warding: a shield
      Plain(r, Polygon({{14.5f, 2}, {25.5f, 2}, {25, 7}, {20, 11.5f}, {15, 7}}), kSteel);
      break;
    default:  // luring: an eye
      Plain(r, Ellipse(20, 6.5f, 6, 3.3f), kCream);
      r.Fill(Circle(20, 6.5f, 1.9f), Rgb(160, 40, 160));
      break;
  }
}

void Glyph(Raster& r, int spell) {
  if (spell < 28) {
    r.Outlined(CreatureGlyph(spell, 6.5f, 5, 0.86f), kCream, kInk, 1.3f);
    return;
  }
  switch (spell) {
    case 33:  // pit trap: a hole with spikes
      r.Outlined(Ellipse(20, 26, 14, 6), Rgb(60, 40, 30), kInk, 1.3f);
      r.Fill(Ellipse(20, 27, 11, 4), Rgb(10, 6, 4));
      for (int i = 0; i < 4; ++i)
        Plain(r, Polygon({{12.5f + i * 5, 28}, {15 + i * 5, 19}, {17.5f + i * 5, 28}}), kSteel);
      break;
    case 34:  // meteor shower: rocks falling with fiery tails
      for (int i = 0; i < 3; ++i) {
        const float x = 11 + i * 9, y = 12 + (i % 2) * 10;
        r.Fill(Segment(x - 8, y - 9, x, y, 4), kFire, 0.8f);
        Plain(r, Circle(x, y, 4), Rgb(120, 90, 70));
      }
      break;
    case 35: {  // wall of stone: bricks
      Plain(r, Box(6, 10, 34, 31, 1), Rgb(170, 160, 150));
      for (int row = 0; row < 3; ++row) {
        r.Fill(Segment(6, 17 + row * 7, 34, 17 + row * 7, 1), kInk);
        for (int k = 0; k < 3; ++k) {
          const float x = 11 + k * 9 + (row % 2) * 4.5f;
          r.Fill(Segment(x, 10 + row * 7, x, 17 + row * 7, 1), kInk);
        }
      }
      break;
    }
    case 38: {  // holy light: a sun
      std::vector<Shape> rays;
      for (int i = 0; i < 12; ++i) {
        const float a = i * kPi / 6;
        rays.push_back(
            Segment(20 + 9 * std::cos(a), 19 + 9 * std::sin(a), 20 + 15 * std::cos(a), 19 + 15 * std::sin(a), 2.2f));
      }
      Plain(r, Union(rays), Rgb(255, 236, 140));
      Plain(r, Circle(20, 19, 7), Ball(20, 19, 7, Rgb(255, 240, 170)));
      break;
    }
    case 41:  // heal: a cross
      Plain(r, Union(Box(16, 7, 24, 31, 1.5f), Box(8, 15, 32, 23, 1.5f)), kCream);
      r.Fill(Union(Box(17.8f, 8.8f, 22.2f, 29.2f, 1), Box(9.8f, 16.8f, 30.2f, 21.2f, 1)), Rgb(230, 60, 60));
      break;
    case 42:  // blood lust: a drop of blood
      r.Outlined(Drop(20, 23, 8), Ball(18, 21, 9, kBlood), kInk, 1.3f);
      break;
    case 43:  // dispel magic: a star broken in two
      Plain(r, Subtract(Star(20, 19, 14, 6, 5), Segment(6, 30, 34, 8, 3)), Rgb(255, 240, 160));
      break;
    case 44:  // earth bind: a chain to the ground
      for (int i = 0; i < 3; ++i) r.Outlined(Ring(20, 7 + i * 7.5f, i % 2 ? 3.2f : 4, 2), kSteel, kInk, 1.0f);
      Plain(r, Box(7, 30, 33, 34, 1.5f), Rgb(150, 110, 70));
      break;
    case 46:  // freeze: a snowflake
      Plain(r, Snowflake(20, 19, 13), kIce);
      break;
    case 50:  // provoke: a shout
      Plain(r, Polygon({{6, 8}, {34, 6}, {32, 26}, {18, 26}, {10, 33}, {12, 26}, {7, 25}}), kCream);
      r.Fill(Union(Box(18.5f, 9, 21.5f, 19, 1.5f), Circle(20, 22.5f, 1.8f)), kBlood);
      break;
    case 52:  // raise dead: a skull rising from its grave
      Plain(r, Ellipse(20, 32, 14, 4), Rgb(110, 80, 55));
      Plain(r, Skull(20, 15, 1.25f), kCream);
      Plain(r, Arrow(33, 30, 33, 10, 2), kCream);
      break;
    case 54: {  // subversion: arrows turning round
      Shape arc1 = Intersect(Ring(20, 19, 10, 3), Box(0, 0, 40, 19));
      Shape arc2 = Intersect(Ring(20, 19, 10, 3), Box(0, 19, 40, 44));
      Plain(r, Union({arc1, Polygon({{30, 14}, {34, 22}, {26, 22}})}), kCream);
      Plain(r, Union({arc2, Polygon({{10, 24}, {6, 16}, {14, 16}})}), Rgb(240, 120, 120));
      break;
    }
    case 55: {  // teleport: a spiral
      std::vector<std::pair<float, float>> spiral;
      for (int i = 0; i <= 40; ++i) {
        const float t = i / 40.0f, a = t * 3.2f * kPi, rad = 2 + 12 * t;
        spiral.push_back({20 + rad * std::cos(a), 19 + rad * std::sin(a)});
      }
      Plain(r, Path(spiral, 2.4f), Rgb(210, 190, 255));
      Plain(r, Star(32, 7, 3.5f, 1.2f, 4), kCream);
      break;
    }
    case 60:  // mana drain: a drop of mana leaving
      r.Outlined(Drop(17, 24, 7.5f), Ball(15, 22, 8, Rgb(120, 140, 255)), kInk, 1.3f);
      Plain(r, Arrow(24, 22, 34, 12, 2), kCream);
      break;
    case 74:  // iron skin: a shield
      r.Outlined(Polygon({{8, 6}, {32, 6}, {31, 20}, {20, 33}, {9, 20}}),
                 VerticalGradient(6, 33, Rgb(225, 230, 240), Rgb(120, 128, 140)), kInk, 1.3f);
      r.Fill(Union({Circle(12, 10, 1.2f), Circle(28, 10, 1.2f), Circle(20, 27, 1.2f)}), kInk);
      break;
    case 76:  // repel: arrows going out
      for (int i = 0; i < 4; ++i) {
        const float a = kPi / 4 + i * kPi / 2, c = std::cos(a), s = std::sin(a);
        Plain(r, Arrow(20 + 4 * c, 19 + 4 * s, 20 + 15 * c, 19 + 15 * s, 2.4f), kCream);
      }
      Plain(r, Circle(20, 19, 3), kCream);
      break;
    case 77:  // terror: a screaming face
      Plain(r, Ellipse(20, 19, 10, 13), Rgb(220, 220, 200));
      r.Fill(Union({Ellipse(16, 15, 2.3f, 3.2f), Ellipse(24, 15, 2.3f, 3.2f), Ellipse(20, 25.5f, 3, 5)}), kInk);
      break;
    case 78:  // arcane bolts: three bright stars in flight
      for (int i = 0; i < 3; ++i) {
        const float x = 10 + i * 9, y = 27 - i * 7;
        r.Fill(Segment(x - 6, y + 5, x, y, 2), Rgb(200, 170, 255), 0.8f);
        Plain(r, Star(x, y, 5, 2, 4), Rgb(230, 210, 255));
      }
      break;
    case 79:  // death song: a note of a dirge
      Plain(r,
            Union({Ellipse(13, 29, 4.5f, 3.3f), Segment(17, 29, 17, 7, 2.2f), Ellipse(27, 25, 4.5f, 3.3f),
                   Segment(31, 25, 31, 4, 2.2f), Polygon({{16, 6}, {32, 3}, {32, 8}, {16, 11}})}),
            Rgb(210, 200, 230));
      break;
    case 80:  // levitate: a feather rising
      Plain(r, Union(Ellipse(18, 20, 5, 12), Segment(14, 33, 20, 10, 1.4f)), kCream);
      r.Fill(Segment(14, 33, 21, 9, 1), Rgb(150, 140, 120));
      Plain(r, Arrow(31, 30, 31, 7, 2), kCream);
      break;
    case 81:  // disintegrate: a block bursting into shards
      Plain(r, Polygon({{9, 14}, {17, 10}, {19, 20}, {11, 24}}), Rgb(200, 190, 170));
      for (int i = 0; i < 5; ++i) {
        const float x = 22 + (i % 3) * 5, y = 8 + i * 5;
        Plain(r, Polygon({{x, y}, {x + 4, y + 1}, {x + 1, y + 4}}), Rgb(200, 190, 170));
      }
      break;
    case 82:  // haste: a double chevron
      Plain(r, Union(Path({{7, 8}, {17, 19}, {7, 30}}, 4), Path({{19, 8}, {29, 19}, {19, 30}}, 4)), Rgb(255, 236, 120));
      break;
    case 83:  // mighty blow: a hammer
      Plain(r, Turn(Union(Segment(20, 14, 20, 35, 3), Box(11, 6, 29, 15, 2)), 20, 19, 0.5f), kSteel);
      break;
    case 84:  // flight: a pair of wings
      Plain(r, Union(Wingtip(20, 20, -1), Wingtip(20, 20, 1)), kCream);
      break;
    case 85: {  // invisibility: a figure that is only a dashed outline
      const Shape body = Person(20, 5, 1.1f);
      Shape outline = Subtract(Grow(body, 1.3f), body);
      for (int i = 0; i < 8; ++i) outline = Subtract(outline, Box(0, 6.5f + i * 4, 40, 8 + i * 4));
      r.Fill(outline, kCream);
      break;
    }
    case 86:  // illusion: a figure and its double
      r.Fill(Person(25, 5, 1.05f), kCream, 0.45f);
      Plain(r, Person(16, 6, 1.05f), kCream);
      break;
    case 90:  // burst: a many-pointed star
      Plain(r, Star(20, 19, 16, 6, 10), Radial(20, 19, 16, Rgb(255, 250, 200), kFire));
      break;
    case 58:  // fireball: a ball of fire with its trail
      r.Fill(Polygon({{4, 34}, {16, 16}, {26, 26}}), kFire, 0.7f);
      r.Outlined(Circle(22, 16, 9), Radial(20, 14, 10, Rgb(255, 250, 190), kFire), kInk, 1.3f);
      break;
    case 62:  // thunderbolt
      r.Outlined(Bolt(10, 6, 1.25f), Rgb(255, 240, 90), kInk, 1.3f);
      break;
    case 68:  // frost breath: a cold cloud
      Plain(r, Cloud(16, 15, 1.05f), kIce);
      Plain(r, Snowflake(28, 28, 5.5f), kIce);
      Plain(r, Snowflake(14, 30, 4), kIce);
      break;
    case 71:  // lightning: a bolt from a cloud
      Plain(r, Cloud(20, 10, 1), Rgb(200, 205, 220));
      r.Outlined(Bolt(14, 14, 0.85f), Rgb(255, 240, 90), kInk, 1.2f);
      break;
    case 72:  // flame strike: a column of fire
      r.Outlined(Flame(20, 34, 16, 31), Radial(20, 26, 14, Rgb(255, 240, 160), kFire), kInk, 1.3f);
      break;
    case 73:  // bouncing orb: an orb and its bounces
      for (int i = 0; i < 3; ++i) r.Fill(Intersect(Ring(9 + i * 8, 31, 4, 1.2f), Box(0, 0, 40, 31)), kCream, 0.7f);
      r.Outlined(Circle(29, 14, 7), Ball(29, 14, 7, Rgb(150, 230, 255)), kInk, 1.3f);
      break;
    case 75:  // earthquake: the ground cracked
      Plain(r, Box(4, 18, 36, 33, 2), Rgb(150, 110, 70));
      r.Fill(Path({{20, 18}, {17, 23}, {22, 26}, {18, 33}}, 2.2f), kInk);
      for (int i = 0; i < 3; ++i)
        r.Fill(Segment(8 + i * 10, 8 + (i % 2) * 3, 12 + i * 10, 13 + (i % 2) * 3, 1.6f), kCream);
      break;
    case 87:  // chain lightning: a bolt leaping between three
      r.Outlined(Path({{6, 10}, {14, 16}, {11, 20}, {21, 26}, {19, 18}, {28, 22}, {34, 12}}, 2.2f), Rgb(255, 240, 90),
                 kInk, 1.2f);
      for (float x : {6.0f, 21.0f, 34.0f}) Plain(r, Circle(x, x == 21 ? 26 : x == 6 ? 10 : 12, 3), kCream);
      break;
    case 88:  // rain of fire
      Plain(r, Cloud(20, 9, 1), Rgb(110, 90, 90));
      for (int i = 0; i < 4; ++i) r.Outlined(Drop(9 + i * 7.5f, 24 + (i % 2) * 6, 2.6f), kFire, kInk, 1.0f);
      break;
    case 89:  // thunderclap: rings of sound round a bolt
      for (int i = 0; i < 3; ++i) r.Fill(Ring(20, 19, 6 + i * 4.5f, 1.5f), kCream, 0.85f - i * 0.2f);
      r.Outlined(Bolt(15, 9, 0.85f), Rgb(255, 240, 90), kInk, 1.1f);
      break;
    case 65:
    case 69:
    case 70:
    case 91:
    case 92:
      TotemGlyph(r, spell);
      break;
    case 93:
    case 95:  // arrows
      Plain(r, Arrow(5, 32, 35, 8, spell == 95 ? 2.6f : 2), kCream);
      Plain(r, Union(Polygon({{5, 32}, {4, 25}, {9, 29}}), Polygon({{5, 32}, {12, 33}, {9, 29}})),
            spell == 93 ? Rgb(120, 200, 90) : Rgb(200, 80, 60));
      break;
    case 94:  // sling stone
      for (int i = 0; i < 3; ++i) r.Fill(Segment(4, 14 + i * 5, 18, 16 + i * 3, 1.4f), kCream, 0.8f);
      Plain(r, Circle(26, 19, 7), Ball(26, 19, 7, Rgb(150, 140, 130)));
      break;
    case 96:  // manticore spikes
      for (int i = 0; i < 3; ++i) Plain(r, Polygon({{6, 12 + i * 8}, {33, 8 + i * 8}, {6, 16 + i * 8}}), kSteel);
      break;
    case 97:  // howl: waves of sound
      for (int i = 0; i < 3; ++i) Plain(r, Intersect(Ring(8, 19, 7 + i * 7, 2.2f), Box(8, 0, 40, 44)), kCream);
      break;
    case 98:  // arcane bolt
      r.Fill(Segment(6, 30, 20, 18, 4), Rgb(200, 170, 255), 0.6f);
      Plain(r, Star(24, 15, 9, 3.5f, 4), Rgb(230, 210, 255));
      break;
    case 99:  // dragon fire: a cone of flame
      r.Outlined(Polygon({{4, 19}, {34, 6}, {36, 19}, {34, 32}}), Radial(4, 19, 32, Rgb(255, 245, 170), kFire), kInk,
                 1.3f);
      break;
    case 100:  // totem beam
      r.Fill(Segment(4, 19, 36, 19, 9), Rgb(255, 250, 200), 0.35f);
      Plain(r, Segment(4, 19, 36, 19, 3.5f), Rgb(255, 250, 220));
      break;
    case 101:  // binding light: a ring of light holding fast
      Plain(r, Ring(20, 19, 11, 4), Rgb(255, 246, 180));
      for (int i = 0; i < 4; ++i)
        Plain(r, Star(20 + 11 * std::cos(i * kPi / 2), 19 + 11 * std::sin(i * kPi / 2), 4, 1.4f, 4), kCream);
      break;
    case 102:  // plague of flies
      for (int i = 0; i < 9; ++i) {
        const float x = 8 + (i * 37 % 25), y = 8 + (i * 53 % 23);
        r.Outlined(Union(Ellipse(x, y, 2, 1.4f), Ellipse(x - 0.5f, y - 1.8f, 1.2f, 1)), Rgb(40, 40, 30), kCream, 0.6f);
      }
      break;
    default:  // a spell no rule uses: a quiet rune
      r.Fill(Union({Segment(20, 9, 20, 29, 2), Path({{13, 13}, {20, 19}, {27, 13}}, 2)}), Lighter(kCream, 0), 0.5f);
      break;
  }
}

}  // namespace

Raster SpellIcon(int spell) {
  Raster r(kIconWidth, kIconHeight);
  const int alignment = spell >= 0 && spell < kSpells ? SpellTable()[static_cast<size_t>(spell)].Alignment : kNeutral;
  const TileColours colours = AlignmentTile(alignment);
  Tile(r, colours.top, colours.bottom, kGold);
  FamilySign(r, FamilyOf(spell), colours);
  Glyph(r, spell);
  return r;
}

}  // namespace forge
