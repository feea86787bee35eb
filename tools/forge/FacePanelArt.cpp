// The wizard face panel's art: the twelve portraits (bitmaps\<name>.bmp, 164 x 80: the round
// portrait in full colour in columns 0-79 and faded in columns 81-160, pure blue round it),
// the three 128-frame sprites of its mana bar (a horseshoe of steps round the portrait, each
// frame one step placed by its hotspot from the bar's corner) and cfg\wizardface.cfg.
#include <cmath>
#include <string>

#include "forge/Forge.h"
#include "forge/IconShapes.h"
#include "forge/IniText.h"
#include "forge/Pictures.h"
#include "forge/SpriteWriter.h"
#include "forge/WizardPortraits.h"

namespace forge {

using namespace icon;

namespace {

constexpr int kPortraitSize = 80;
// Where the portrait stands on the select bar's surface, and the corner the mana frames are
// printed at.
constexpr float kFaceCentreX = 142, kFaceCentreY = 70;
constexpr int kBarCornerX = 82, kBarCornerY = 0;
constexpr float kRingInner = 42.5f, kRingOuter = 50.5f;
constexpr float kArcStart = 135;  // degrees, screen angles (y down): bottom left
constexpr float kArcSweep = 270;  // up the left side, over the top, down the right side
constexpr int kManaSteps = 128;

enum class Headwear { kNone, kWizardHat, kHood, kHelm, kHornedHelm, kCrown, kCirclet, kLeaves, kCap };
enum class Beard { kNone, kShort, kLong, kMoustache, kStubble };

struct FaceLook {
  const char* file;
  Colour backTop, backBottom;
  Colour skin, hair, robe, trim;
  Beard beard;
  Colour beardColour;
  Headwear headwear;
  Colour hat;
  bool longHair;
  bool wrinkles;
  Colour eyes;
};

const FaceLook kFaces[12] = {
    {"Edric Young", Rgb(70, 100, 170), Rgb(20, 30, 70), Rgb(236, 196, 160), Rgb(120, 76, 40), Rgb(50, 80, 170),
     Rgb(230, 190, 90), Beard::kNone, Rgb(0, 0, 0), Headwear::kNone, Rgb(0, 0, 0), false, false, Rgb(60, 90, 150)},
    {"Edric Middle", Rgb(70, 100, 170), Rgb(20, 30, 70), Rgb(228, 186, 150), Rgb(130, 110, 90), Rgb(50, 80, 170),
     Rgb(230, 190, 90), Beard::kShort, Rgb(130, 110, 95), Headwear::kWizardHat, Rgb(40, 70, 160), false, false,
     Rgb(60, 90, 150)},
    {"Edric Old", Rgb(70, 100, 170), Rgb(20, 30, 70), Rgb(222, 182, 150), Rgb(235, 235, 235), Rgb(50, 80, 170),
     Rgb(230, 190, 90), Beard::kLong, Rgb(240, 240, 240), Headwear::kWizardHat, Rgb(40, 70, 160), false, true,
     Rgb(60, 90, 150)},
    {"druid", Rgb(90, 140, 70), Rgb(20, 50, 20), Rgb(214, 170, 130), Rgb(110, 80, 50), Rgb(70, 110, 50),
     Rgb(160, 130, 70), Beard::kLong, Rgb(120, 90, 60), Headwear::kLeaves, Rgb(80, 150, 60), false, true,
     Rgb(70, 110, 60)},
    {"Enchantress", Rgb(150, 80, 160), Rgb(40, 15, 60), Rgb(240, 205, 180), Rgb(150, 40, 40), Rgb(120, 50, 150),
     Rgb(230, 190, 90), Beard::kNone, Rgb(0, 0, 0), Headwear::kCirclet, Rgb(230, 190, 90), true, false,
     Rgb(60, 140, 90)},
    {"Apprentice", Rgb(160, 140, 100), Rgb(60, 45, 30), Rgb(240, 205, 170), Rgb(230, 200, 110), Rgb(130, 100, 70),
     Rgb(200, 170, 120), Beard::kNone, Rgb(0, 0, 0), Headwear::kCap, Rgb(150, 60, 40), false, false, Rgb(70, 100, 160)},
    {"Weaver", Rgb(110, 100, 130), Rgb(25, 20, 35), Rgb(226, 210, 200), Rgb(60, 50, 70), Rgb(70, 60, 90),
     Rgb(200, 200, 210), Beard::kNone, Rgb(0, 0, 0), Headwear::kHood, Rgb(80, 70, 100), true, false, Rgb(150, 80, 180)},
    {"champion", Rgb(170, 90, 60), Rgb(60, 20, 15), Rgb(220, 170, 130), Rgb(80, 50, 30), Rgb(160, 40, 40),
     Rgb(220, 200, 150), Beard::kStubble, Rgb(80, 50, 30), Headwear::kHelm, Rgb(180, 185, 195), false, false,
     Rgb(80, 60, 40)},
    {"Paladin", Rgb(220, 200, 130), Rgb(100, 80, 30), Rgb(232, 190, 155), Rgb(200, 160, 80), Rgb(230, 230, 240),
     Rgb(230, 190, 90), Beard::kShort, Rgb(200, 160, 80), Headwear::kHelm, Rgb(230, 200, 110), false, false,
     Rgb(60, 100, 170)},
    {"Overlord", Rgb(120, 30, 30), Rgb(20, 5, 10), Rgb(170, 150, 140), Rgb(30, 25, 25), Rgb(40, 35, 45),
     Rgb(170, 40, 40), Beard::kShort, Rgb(30, 25, 25), Headwear::kHornedHelm, Rgb(60, 55, 65), false, true,
     Rgb(255, 60, 40)},
    {"Usurper", Rgb(100, 60, 120), Rgb(30, 15, 40), Rgb(226, 190, 160), Rgb(30, 25, 30), Rgb(90, 30, 100),
     Rgb(230, 190, 90), Beard::kMoustache, Rgb(30, 25, 30), Headwear::kCrown, Rgb(230, 190, 80), false, false,
     Rgb(90, 60, 40)},
    {"warden", Rgb(110, 120, 80), Rgb(30, 35, 20), Rgb(210, 168, 130), Rgb(90, 70, 50), Rgb(80, 100, 60),
     Rgb(150, 120, 80), Beard::kStubble, Rgb(90, 70, 50), Headwear::kHood, Rgb(110, 85, 55), false, false,
     Rgb(80, 110, 70)},
};

// The round portrait of one face, 80 x 80: a bust before a lit background.
Raster Portrait(const FaceLook& f) {
  Raster r(kPortraitSize, kPortraitSize);
  const Shape frame = Circle(40, 40, 39.5f);
  r.Fill(frame, Radial(34, 30, 55, f.backTop, f.backBottom));
  const Shape inside = Circle(40, 40, 37);
  auto fillIn = [&](const Shape& s, const Shader& c) { r.Fill(Intersect(s, inside), c); };
  auto fillInFlat = [&](const Shape& s, Colour c) { fillIn(s, Flat(c)); };
  // Long hair falls behind the shoulders.
  if (f.longHair)
    fillIn(Union(Ellipse(40, 44, 19, 26), Box(22, 40, 58, 76, 6)),
           VerticalGradient(20, 76, f.hair, Darker(f.hair, 0.4f)));
  // Shoulders and robe.
  fillIn(Ellipse(40, 83, 37, 25), VerticalGradient(58, 90, f.robe, Darker(f.robe, 0.5f)));
  fillInFlat(Polygon({{33, 62}, {47, 62}, {40, 74}}), f.trim);
  fillInFlat(Polygon({{35, 62}, {45, 62}, {40, 70}}), Darker(f.skin, 0.15f));
  // Neck and head.
  fillIn(Box(32.5f, 46, 47.5f, 62, 4), Flat(Darker(f.skin, 0.18f)));
  const Shape head = Ellipse(40, 38, 13, 16);
  fillIn(head, Radial(36, 33, 20, Lighter(f.skin, 0.12f), Darker(f.skin, 0.2f)));
  fillIn(Union(Ellipse(27.5f, 39, 2.5f, 4), Ellipse(52.5f, 39, 2.5f, 4)), Flat(Darker(f.skin, 0.12f)));
  // Hair on top.
  if (f.headwear != Headwear::kHood && f.headwear != Headwear::kHelm && f.headwear != Headwear::kHornedHelm)
    fillIn(Subtract(Ellipse(40, 30, 14.5f, 11), Box(24, 30, 56, 60)),
           VerticalGradient(18, 34, Lighter(f.hair, 0.15f), f.hair));
  // The face: brows, eyes, nose, mouth.
  fillInFlat(Union(Segment(32, 34, 37.5f, 33.5f, 1.6f), Segment(42.5f, 33.5f, 48, 34, 1.6f)), Darker(f.hair, 0.2f));
  fillInFlat(Union(Ellipse(35, 38, 2.6f, 1.6f), Ellipse(45, 38, 2.6f, 1.6f)), Rgb(245, 245, 240));
  fillInFlat(Union(Circle(35.3f, 38, 1.2f), Circle(45.3f, 38, 1.2f)), f.eyes);
  fillInFlat(Polygon({{40, 39}, {42.3f, 45.5f}, {38.5f, 45.5f}}), Darker(f.skin, 0.22f));
  fillInFlat(Segment(36.5f, 49.5f, 43.5f, 49.5f, 1.4f), Darker(f.skin, 0.45f));
  if (f.wrinkles) {
    fillInFlat(Union(Segment(31, 30, 36, 29.5f, 0.7f), Segment(44, 29.5f, 49, 30, 0.7f)), Darker(f.skin, 0.25f));
    fillInFlat(Union(Segment(31, 40.5f, 33, 42, 0.7f), Segment(49, 40.5f, 47, 42, 0.7f)), Darker(f.skin, 0.25f));
  }
  switch (f.beard) {
    case Beard::kShort:
      fillIn(Subtract(Union(Ellipse(40, 49, 12, 8), Box(27.5f, 40, 29.5f, 48)), Ellipse(40, 48.5f, 4.5f, 2.2f)),
             Flat(f.beardColour));
      fillIn(Box(27.5f, 40, 29.5f, 49, 1), Flat(f.beardColour));
      fillIn(Box(50.5f, 40, 52.5f, 49, 1), Flat(f.beardColour));
      break;
    case Beard::kLong:
      fillIn(Subtract(Polygon({{27, 42}, {53, 42}, {50, 62}, {40, 76}, {30, 62}}), Ellipse(40, 48.5f, 4.5f, 2.2f)),
             VerticalGradient(42, 76, f.beardColour, Darker(f.beardColour, 0.25f)));
      break;
    case Beard::kMoustache:
      fillInFlat(Union(Segment(40, 47, 33, 50, 2), Segment(40, 47, 47, 50, 2)), f.beardColour);
      fillInFlat(Segment(40, 52, 40, 55, 2), f.beardColour);
      break;
    case Beard::kStubble:
      fillIn(Intersect(head, Box(24, 43, 56, 60)), Flat(Mix(f.skin, f.beardColour, 0.35f)));
      fillInFlat(Segment(36.5f, 49.5f, 43.5f, 49.5f, 1.4f), Darker(f.skin, 0.45f));
      break;
    case Beard::kNone:
      break;
  }
  // Headwear.
  switch (f.headwear) {
    case Headwear::kWizardHat:
      fillIn(Polygon({{22, 27}, {58, 27}, {46, 6}, {40, -2}, {37, 8}}),
             VerticalGradient(0, 28, Lighter(f.hat, 0.2f), f.hat));
      fillIn(Ellipse(40, 27, 21, 3.5f), Flat(Darker(f.hat, 0.25f)));
      fillIn(Star(44, 15, 3.2f, 1.3f, 5), Flat(Rgb(250, 220, 110)));
      break;
    case Headwear::kHood:
      fillIn(Subtract(Union(Ellipse(40, 36, 20, 23), Polygon({{19, 40}, {61, 40}, {66, 80}, {14, 80}})),
                      Ellipse(40, 41, 13, 17)),
             Radial(36, 26, 40, Lighter(f.hat, 0.2f), Darker(f.hat, 0.45f)));
      if (std::string(f.file) == "Weaver")
        for (int i = 0; i < 3; ++i) fillIn(Ring(40, 20, 6 + i * 5, 0.6f), Flat(Lighter(f.hat, 0.45f)));
      break;
    case Headwear::kHelm:
    case Headwear::kHornedHelm: {
      const Shape helm = Subtract(Ellipse(40, 32, 16, 18), Box(27, 33, 53, 60, 3));
      fillIn(Union(helm, Box(23.5f, 30, 29, 50, 2)), Ball(36, 24, 22, f.hat));
      fillIn(Box(51, 30, 56.5f, 50, 2), Ball(36, 24, 26, f.hat));
      fillIn(Box(38.5f, 14, 41.5f, 33, 1), Flat(Lighter(f.hat, 0.3f)));
      if (f.headwear == Headwear::kHornedHelm) {
        fillIn(Path({{27, 22}, {17, 14}, {15, 3}}, 4.5f), Flat(Rgb(225, 215, 190)));
        fillIn(Path({{53, 22}, {63, 14}, {65, 3}}, 4.5f), Flat(Rgb(225, 215, 190)));
      } else {
        fillIn(Path({{40, 14}, {44, 6}, {52, 3}, {58, 6}}, 4),
               Flat(std::string(f.file) == "Paladin" ? Rgb(240, 240, 255) : Rgb(200, 40, 40)));
      }
      break;
    }
    case Headwear::kCrown:
      fillIn(Polygon({{26, 26}, {54, 26}, {56, 12}, {49, 19}, {45, 9}, {40, 18}, {35, 9}, {31, 19}, {24, 12}}),
             VerticalGradient(9, 26, Lighter(f.hat, 0.3f), Darker(f.hat, 0.2f)));
      fillIn(Union({Circle(40, 22, 1.8f), Circle(32, 22.5f, 1.4f), Circle(48, 22.5f, 1.4f)}), Flat(Rgb(200, 30, 50)));
      break;
    case Headwear::kCirclet:
      fillIn(Intersect(Ring(40, 38, 15, 1.6f), Box(20, 20, 60, 30)), Flat(f.hat));
      fillIn(Drop(40, 27, 2.2f), Flat(Rgb(80, 220, 160)));
      break;
    case Headwear::kLeaves:
      for (int i = 0; i < 7; ++i) {
        const float a = kPi + i * kPi / 6, x = 40 + 15 * std::cos(a), y = 32 + 11 * std::sin(a);
        fillIn(Turn(Ellipse(x, y, 4.5f, 2.2f), x, y, a + kPi / 2), Flat(i % 2 ? f.hat : Darker(f.hat, 0.25f)));
      }
      break;
    case Headwear::kCap:
      fillIn(Union(Ellipse(40, 25, 15, 8), Ellipse(48, 28, 12, 3)),
             VerticalGradient(17, 31, Lighter(f.hat, 0.2f), f.hat));
      break;
    case Headwear::kNone:
      break;
  }
  // A gold rim round the portrait.
  r.Fill(Ring(40, 40, 38.4f, 2.2f), VerticalGradient(0, 80, Rgb(250, 220, 130), Rgb(140, 100, 40)));
  return r;
}

// Faded: what the gauge shows above the wizard's health.
Raster Faded(const Raster& portrait) {
  Raster r = portrait;
  r.Recolour([](Colour c) { return Mix(Grey(c), Rgb(30, 30, 50), 0.45f); });
  return r;
}

// The two portraits side by side on pure blue, which the panel keys away.
RgbPicture PortraitPicture(const FaceLook& face) {
  const Raster full = Portrait(face), faded = Faded(full);
  RgbPicture picture(164, kPortraitSize);
  for (int y = 0; y < kPortraitSize; ++y)
    for (int x = 0; x < 164; ++x) picture.Set(x, y, 0, 0, 255);
  auto put = [&](const Raster& r, int atX) {
    for (int y = 0; y < kPortraitSize; ++y) {
      for (int x = 0; x < kPortraitSize; ++x) {
        if (r.AlphaAt(x, y) < 0.5f) continue;
        const Colour c = r.ColourAt(x, y);
        auto byte = [](float v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 255.0f))); };
        uint8_t red = byte(c.r), green = byte(c.g), blue = byte(c.b);
        // Nothing of the portrait may take the key colour.
        if (red < 8 && green < 8 && blue >= 248) green = 8;
        picture.Set(atX + x, y, red, green, blue);
      }
    }
  };
  put(full, 0);
  put(faded, 81);
  return picture;
}

// The screen angle of a point of the mana bar, measured from the bar's start.
float BarAngle(float x, float y) {
  float a = std::atan2(y - kFaceCentreY, x - kFaceCentreX) * 180 / kPi - kArcStart;
  while (a < 0) a += 360;
  while (a >= 360) a -= 360;
  return a;
}

// Step i of the bar in one of its looks: the pixels of the ring whose angle falls in the step,
// shaded as a tube, with dark edges.
std::vector<uint8_t> ManaStepFrame(int step, Colour colour) {
  const float from = step * kArcSweep / kManaSteps, to = (step + 1) * kArcSweep / kManaSteps;
  const int left = static_cast<int>(kFaceCentreX - kRingOuter) - 1,
            top = static_cast<int>(kFaceCentreY - kRingOuter) - 1;
  const int size = static_cast<int>(2 * kRingOuter) + 3;
  Canvas canvas(size, size);
  int minX = size, minY = size, maxX = -1, maxY = -1;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const float px = left + x + 0.5f, py = top + y + 0.5f;
      const float d = std::sqrt((px - kFaceCentreX) * (px - kFaceCentreX) + (py - kFaceCentreY) * (py - kFaceCentreY));
      if (d < kRingInner || d > kRingOuter) continue;
      const float a = BarAngle(px, py);
      if (a < from || a >= to) continue;
      const float across = (d - kRingInner) / (kRingOuter - kRingInner);  // 0 inner edge .. 1 outer edge
      const float light = 1 - std::fabs(across - 0.4f) * 1.6f;
      Colour c = Mix(Darker(colour, 0.55f), Lighter(colour, 0.35f), std::clamp(light, 0.0f, 1.0f));
      if (across < 0.14f || across > 0.86f) c = Darker(colour, 0.7f);
      canvas.Set(x, y, Cell565(c));
      minX = std::min(minX, x), minY = std::min(minY, y), maxX = std::max(maxX, x), maxY = std::max(maxY, y);
    }
  }
  if (maxX < 0) minX = minY = maxX = maxY = 0;
  Canvas cut(maxX - minX + 1, maxY - minY + 1);
  for (int y = minY; y <= maxY; ++y)
    for (int x = minX; x <= maxX; ++x)
      if (canvas.Opaque(x, y)) cut.Set(x - minX, y - minY, canvas.At(x, y));
  // Printed at the bar's corner, the hotspot places the step where it belongs.
  return EncodeFrame(cut, kBarCornerX - (left + minX), kBarCornerY - (top + minY), -1);
}

void WriteManaSprite(Context& ctx, const char* path, Colour colour) {
  SpriteFileWriter writer;
  for (int step = 0; step < kManaSteps; ++step) writer.AddFrame(ManaStepFrame(step, colour));
  ctx.WriteFile(path, writer.Bytes());
}

}  // namespace

FORGE_STEP(WizardFacePanelArt) {
  for (const FaceLook& face : kFaces)
    ctx.WriteFile(std::string("bitmaps\\") + face.file + ".bmp", MakeBmp24(PortraitPicture(face)));
  WriteManaSprite(ctx, "sprites\\ManaYellow.spr", Rgb(255, 214, 60));
  WriteManaSprite(ctx, "sprites\\ManaDullYellow.spr", Rgb(150, 112, 50));
  WriteManaSprite(ctx, "sprites\\manablack.spr", Rgb(44, 40, 54));
  IniText ini;
  ini.Comment("The wizard face panel's tooltip: its labels of health, maximum mana, spell cost and mana");
  ini.Section("STRINGS")
      .Key("STR_00", "Health")
      .Key("STR_01", "Max Mana")
      .Key("STR_02", "Spell Cost")
      .Key("STR_03", "Mana");
  ctx.WriteText("cfg\\wizardface.cfg", ini.Text());
}

icon::Raster WizardPortrait(int portrait) { return Portrait(kFaces[static_cast<size_t>(((portrait % 12) + 12) % 12)]); }

}  // namespace forge
