// The creature silhouettes, each made of a few simple shapes in a 32 x 32 box (y down, the
// ground at 31), facing right.
#include "forge/CreatureGlyphs.h"

#include <cmath>
#include <vector>

namespace forge::icon {

namespace {

using Points = std::vector<std::pair<float, float>>;

// A standing figure: head, body from the shoulders (y) to the hips, legs to the ground.
Shape Humanoid(float cx, float headY, float headR, float shoulderY, float hipY, float shoulderW, float hipW,
               float legW) {
  return Union({Circle(cx, headY, headR),
                Polygon({{cx - shoulderW / 2, shoulderY},
                         {cx + shoulderW / 2, shoulderY},
                         {cx + hipW / 2, hipY},
                         {cx - hipW / 2, hipY}}),
                Segment(cx - hipW / 4, hipY - 1, cx - hipW / 3, 30.5f, legW),
                Segment(cx + hipW / 4, hipY - 1, cx + hipW / 3, 30.5f, legW)});
}

// A four-legged body: an oval body, legs at its ends, a neck and head at its right.
Shape Quadruped(float bodyX, float bodyY, float bodyRx, float bodyRy, float legW, float headX, float headY,
                float headR) {
  const float front = bodyX + bodyRx * 0.65f, back = bodyX - bodyRx * 0.65f;
  return Union({Ellipse(bodyX, bodyY, bodyRx, bodyRy), Segment(front, bodyY, front + 1, 30.5f, legW),
                Segment(front - 3, bodyY, front - 3.5f, 30.5f, legW), Segment(back, bodyY, back - 1, 30.5f, legW),
                Segment(back + 3, bodyY, back + 3.5f, 30.5f, legW),
                Segment(bodyX + bodyRx * 0.6f, bodyY - bodyRy * 0.3f, headX, headY, headR * 1.1f),
                Circle(headX, headY, headR)});
}

Shape Wing(float rootX, float rootY, float tipX, float tipY, float span) {
  return Polygon({{rootX - span * 0.3f, rootY},
                  {tipX, tipY},
                  {tipX + span * 0.25f, tipY + span * 0.35f},
                  {rootX + span * 0.5f, rootY + span * 0.2f}});
}

// A bat's wing: a polygon with a scalloped lower edge.
Shape BatWing(float rootX, float rootY, float dir) {
  const float s = dir;
  Shape wing = Polygon({{rootX, rootY - 2},
                        {rootX + s * 7, rootY - 9},
                        {rootX + s * 14, rootY - 5},
                        {rootX + s * 15, rootY + 5},
                        {rootX, rootY + 4}});
  return Subtract(Subtract(wing, Circle(rootX + s * 5, rootY + 7, 3.2f)), Circle(rootX + s * 11, rootY + 7.5f, 3.2f));
}

Shape Wizard(float hatTilt) {
  return Union({Polygon({{9, 30.5f}, {23, 30.5f}, {19.5f, 14}, {12.5f, 14}}), Circle(16, 11.5f, 4),
                Polygon({{10, 9}, {22, 9}, {17 + hatTilt, -0.5f}}), Segment(8, 9, 24, 9, 2.2f),
                Segment(24.5f, 6, 23.5f, 30.5f, 2), Circle(24.8f, 5.5f, 2.4f), Segment(19, 17, 24, 20, 2.8f)});
}

Shape Knight(bool vrask) {
  Shape body = Humanoid(15, 7, 4.2f, 12, 21, 12, 9, 3.6f);
  Shape helmet = vrask ? Union(Polygon({{10, 6}, {8, -0.5f}, {12.5f, 4}}), Polygon({{20, 6}, {22, -0.5f}, {17.5f, 4}}))
                       : Polygon({{14, 3}, {16, -0.5f}, {21, 1}, {18, 4}});
  Shape weapon = vrask ? Union(Segment(23, 4, 23, 28, 2), Polygon({{23, 5}, {30, 3}, {30, 13}, {23, 11}}))
                       : Union(Segment(23, 2, 23, 22, 2.4f), Segment(20, 19, 26, 19, 2));
  Shape shield = Box(4, 12, 12, 22, 2.5f);
  return Union({body, helmet, weapon, shield, Segment(15, 14, 22, 19, 3)});
}

Shape Make(int type) {
  switch (type) {
    case 0:  // the wizard
      return Wizard(0);
    case 24:
    case 25:
    case 26:  // rival wizards: hats bent another way
      return Wizard(type == 24 ? 4.0f : type == 25 ? -4.0f : 2.0f);
    case 1:  // brownie: a small figure with a big head and pointed ears
      return Union({Humanoid(16, 15, 5.5f, 20, 26, 8, 7, 2.6f), Polygon({{10.5f, 14}, {6, 10}, {11.5f, 11.5f}}),
                    Polygon({{21.5f, 14}, {26, 10}, {20.5f, 11.5f}})});
    case 2:  // centaur: a horse's body with a man's torso and a bow
      return Union({Quadruped(13, 20, 9, 4.5f, 2.4f, 20, 18, 0.1f), Segment(20, 19, 21, 9, 4.5f),
                    Circle(21.5f, 5.5f, 3.2f), Intersect(Ring(24, 10, 7, 1.6f), Box(24, 0, 32, 32)),
                    Segment(24, 3, 24, 17, 0.8f), Segment(21, 12, 26, 11, 2), Segment(4.5f, 18, 1.5f, 25, 2)});
    case 3:  // elf: slim, pointed ears, a bow
      return Union({Humanoid(14, 7, 3.6f, 11.5f, 21, 8, 7, 2.8f), Polygon({{17, 6.5f}, {21, 3.5f}, {17, 8.5f}}),
                    Intersect(Ring(18, 15, 8, 1.6f), Box(20, 0, 32, 32)), Segment(18, 7, 18, 23, 0.9f),
                    Segment(14, 13, 20, 15, 2.4f)});
    case 4:  // griffin: a lion's body, an eagle's head and wings
      return Union({Quadruped(14, 21, 9, 4.5f, 2.4f, 24, 12, 3.6f), Polygon({{26.5f, 11}, {31, 13.5f}, {26, 14}}),
                    Wing(14, 18, 6, 2, 10), Segment(5, 19, 1, 15, 1.6f)});
    case 5:  // hero: sword raised, shield
      return Union({Humanoid(14, 7, 4, 12, 21, 11, 8, 3.2f), Segment(15, 14, 23, 9, 3), Segment(23, 9, 28, 0.5f, 2.2f),
                    Segment(20.5f, 8.5f, 25.5f, 11.5f, 1.8f), Ellipse(7.5f, 17, 4, 5.5f)});
    case 6:  // phoenix: a bird with raised wings and a tail of flame
      return Union({Ellipse(16, 17, 6, 4), Circle(23, 12, 3), Polygon({{25.5f, 11}, {30, 12.5f}, {25.5f, 13.5f}}),
                    Wing(15, 15, 4, 1, 12), Wing(17, 15, 22, 0.5f, 8),
                    Polygon({{11, 18}, {1, 27}, {6, 22}, {2, 31}, {13, 21}}), Segment(16, 21, 15, 25, 1.4f)});
    case 7:  // unicorn: a horse with a horn
      return Union({Quadruped(13, 18, 9, 4.5f, 2.4f, 24, 9, 3.6f), Polygon({{25, 7}, {31, 0.5f}, {26.5f, 9}}),
                    Segment(4.5f, 16, 1.5f, 24, 2.2f), Polygon({{18, 13}, {21, 8}, {22, 12}})});
    case 8:  // black dog: ears up, tail out
      return Union({Quadruped(14, 19, 9, 4.5f, 2.6f, 24, 13, 3.8f), Polygon({{22, 11}, {23.5f, 5.5f}, {25.5f, 10.5f}}),
                    Polygon({{26.5f, 12}, {31, 14.5f}, {26, 15.5f}}), Segment(5, 17, 1, 12, 2)});
    case 9:  // manticore: a lion's body with a scorpion's tail curled over it
      return Union({Quadruped(15, 21, 9, 4.5f, 2.6f, 25, 15, 4.2f),
                    Path({{6, 19}, {2.5f, 12}, {4, 5}, {10, 2.5f}, {14, 5}}, 2.4f),
                    Polygon({{13, 3}, {18, 6}, {13, 8}})});
    case 10:  // redcap: a small figure with a tall cap and an axe
      return Union({Humanoid(15, 13, 4, 18, 25, 9, 8, 2.8f), Polygon({{11, 11}, {19, 11}, {23, 1}}),
                    Segment(20, 16, 25, 9, 2), Polygon({{23, 6}, {29, 5}, {28, 12}, {24.5f, 11}})});
    case 11: {  // skeleton: a skull and bones
      Shape skull = Subtract(Union(Circle(16, 6, 4.5f), Box(13.5f, 8, 18.5f, 12, 1)),
                             Union(Circle(14.2f, 6, 1.3f), Circle(17.8f, 6, 1.3f)));
      return Union({skull, Segment(16, 12, 16, 22, 1.8f), Segment(11.5f, 14, 20.5f, 14, 1.5f),
                    Segment(12, 17, 20, 17, 1.5f), Segment(12.5f, 20, 19.5f, 20, 1.5f), Segment(16, 13, 9, 20, 1.6f),
                    Segment(16, 13, 23, 19, 1.6f), Segment(16, 22, 12, 31, 1.8f), Segment(16, 22, 20, 31, 1.8f)});
    }
    case 12:  // vampire: a caped figure with a high collar
      return Union({Circle(16, 7, 3.8f), Polygon({{16, 10}, {3, 16}, {6, 31}, {26, 31}, {29, 16}}),
                    Polygon({{10, 12}, {8, 4}, {14, 9}}), Polygon({{22, 12}, {24, 4}, {18, 9}})});
    case 13: {  // wraith: a hooded ghost fading into wisps
      Shape body = Union({Circle(16, 9, 7), Polygon({{9, 9}, {23, 9}, {27, 27}, {5, 27}})});
      Shape wisps = Union({Circle(8, 27, 3.2f), Circle(16, 28, 3.2f), Circle(24, 27, 3.2f)});
      return Subtract(Union(body, Intersect(wisps, Box(0, 24, 32, 32))),
                      Union(Circle(13.3f, 9.5f, 1.6f), Circle(18.7f, 9.5f, 1.6f)));
    }
    case 14:  // zombie: hunched, arms out in front
      return Union({Circle(19, 8, 4), Polygon({{10, 11}, {19, 12}, {18, 21}, {11, 21}}), Segment(16, 14, 28, 14, 2.4f),
                    Segment(15, 16.5f, 27, 17.5f, 2.4f), Segment(13, 20, 11, 30.5f, 3), Segment(17, 20, 20, 30.5f, 3)});
    case 15:  // bat: wings spread
      return Union({Ellipse(16, 16, 3, 4.5f), Circle(16, 10.5f, 2.6f), Polygon({{14, 9.5f}, {14.5f, 6}, {15.8f, 9}}),
                    Polygon({{18, 9.5f}, {17.5f, 6}, {16.2f, 9}}), BatWing(18, 15, 1), BatWing(14, 15, -1)});
    case 16:  // basilisk: a crowned serpent
      return Union(
          {Path({{2, 28}, {8, 24}, {14, 28}, {20, 24}, {22, 16}, {21, 10}}, 4), Ellipse(24, 8.5f, 5, 3.3f),
           Polygon({{18.5f, 6.5f}, {19.5f, 1}, {21.5f, 5}, {23, 0.5f}, {24.5f, 5}, {26.5f, 1.5f}, {27, 6.5f}})});
    case 17:  // crocodile: long and low, jaws open
      return Union({Ellipse(14, 24, 10, 3.5f), Polygon({{4, 23}, {-1, 27}, {6, 26}}),
                    Polygon({{22, 21}, {31.5f, 19}, {24, 24}}), Polygon({{22, 25}, {31.5f, 26.5f}, {23, 27}}),
                    Segment(9, 25, 8, 30.5f, 2.2f), Segment(19, 25, 20, 30.5f, 2.2f)});
    case 18:  // dragon: wings, a long neck, a tail
      return Union({Quadruped(13, 21, 8, 4.5f, 2.6f, 24, 8, 3.4f), Polygon({{26, 7}, {31.5f, 9}, {26, 10.5f}}),
                    Polygon({{13, 18}, {5, 1}, {9, 9}, {12, 3}, {14, 10}, {18, 5}, {18, 17}}),
                    Path({{5, 21}, {1.5f, 26}, {4, 30}}, 2), Polygon({{22, 5}, {21, 1}, {24, 5}})});
    case 19:  // faun: a man above, goat's legs and horns
      return Union(
          {Circle(16, 7, 3.8f), Polygon({{11, 11}, {21, 11}, {20, 19}, {12, 19}}),
           Path({{13, 19}, {11, 24}, {14, 27}, {12, 31}}, 2.6f), Path({{19, 19}, {21, 24}, {18, 27}, {20, 31}}, 2.6f),
           Path({{14, 4.5f}, {12, 0.5f}, {9.5f, 2.5f}}, 1.6f), Path({{18, 4.5f}, {20, 0.5f}, {22.5f, 2.5f}}, 1.6f),
           Segment(21, 13, 26, 9, 1.8f), Box(25, 6, 28.5f, 9.5f, 1)});
    case 20:  // champion of law: a plumed knight with sword and shield
      return Knight(false);
    case 23:  // champion of vrask: a horned knight with an axe
      return Knight(true);
    case 21:  // troll: big, hunched, a club
      return Union({Circle(20, 8, 3.6f), Ellipse(15, 16, 8.5f, 7.5f), Segment(11, 20, 9, 30.5f, 4.2f),
                    Segment(18, 20, 20, 30.5f, 4.2f), Segment(21, 14, 25, 24, 3), Path({{25, 24}, {28, 13}}, 4.5f)});
    case 22: {  // eye: a floating eye trailing stalks
      Shape ball = Circle(16, 12, 9);
      return Union({Subtract(ball, Subtract(Circle(18, 12, 4.5f), Circle(18, 12, 2.2f))),
                    Path({{10, 19}, {7, 25}, {9, 30}}, 1.8f), Path({{16, 21}, {16, 31}}, 1.8f),
                    Path({{22, 19}, {25, 25}, {23, 30}}, 1.8f)});
    }
    case 27:  // herald: a trumpet and a banner
      return Union({Humanoid(13, 7, 3.8f, 12, 21, 10, 8, 3), Segment(15, 9, 25, 6, 1.8f),
                    Polygon({{24, 3}, {31, 1}, {31, 10}, {24, 8}}), Segment(6, 2, 6, 30, 1.6f),
                    Polygon({{6, 2}, {1, 4}, {6, 6}, {1, 8}, {6, 10}})});
    default:
      return Circle(16, 16, 10);
  }
}

}  // namespace

Shape CreatureGlyph(int type, float x, float y, float scale) { return Move(Scale(Make(type), 0, 0, scale), x, y); }

}  // namespace forge::icon
