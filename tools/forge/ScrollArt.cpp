// The story scroll: bitmaps\scroll.bmp (520 x 364 on pure blue: the unrolled parchment in
// columns 0-428 with its rolled left edge, and the end piece, the rolled-up rest on its wooden
// rod, in columns 428-520) and text\scrolls.txt (the scrolls the artifacts and the campaign's
// script open, each a header with its name in brackets, a heading between ~HS and ~HE and a
// body between ~BS and ~BE).
#include <algorithm>
#include <cmath>
#include <string>

#include "forge/Forge.h"
#include "forge/IconArt.h"
#include "forge/Painting.h"
#include "forge/Pictures.h"

namespace forge {

using namespace icon;

namespace {

constexpr int kWidth = 520, kHeight = 364;
constexpr float kPaperTop = 26, kPaperBottom = 338;
constexpr float kRollLeft = 430, kRollRight = 494, kRollCentre = (kRollLeft + kRollRight) / 2;

Colour Shade(Colour c, float light) { return light >= 0 ? Lighter(c, light) : Darker(c, -light); }

// Old paper: warm, blotched, darker toward its edges.
Shader Paper() {
  return [](float x, float y) {
    const float blotch = FractalNoise(x / 46, y / 46, 17, 4);
    const float grain = ValueNoise(x / 3, y / 3, 5);
    const float edge = std::min({y - kPaperTop, kPaperBottom - y, x}) / 24;
    Colour c = Mix(Rgb(206, 176, 122), Rgb(242, 226, 184), blotch);
    c = Shade(c, (grain - 0.5f) * 0.08f);
    return edge < 1 ? Darker(c, 0.28f * (1 - std::max(edge, 0.0f))) : c;
  };
}

// A cylinder across x0-x1 lit from the left, its colour by the function of y.
Shader Cylinder(float x0, float x1, Colour colour) {
  return [=](float x, float) {
    const float t = std::clamp((x - x0) / (x1 - x0), 0.0f, 1.0f);
    const float light = std::cos((t - 0.3f) * 2.4f);
    return Shade(colour, light * 0.35f - 0.25f);
  };
}

RgbPicture ScrollPicture() {
  Raster r(kWidth, kHeight);
  // The unrolled sheet with gently waving top and bottom edges.
  const Shape sheet = Intersect(Box(6, kPaperTop - 8, kRollCentre, kPaperBottom + 8), [](float x, float y) {
    const float wave = 3 * std::sin(x / 37) + 2 * std::sin(x / 13 + 1);
    return std::max(kPaperTop + wave - y, y - (kPaperBottom - wave));
  });
  r.Fill(sheet, Paper());
  r.Fill(Grow(sheet, 0.6f), Rgb(120, 86, 44), 0.25f);
  r.Fill(sheet, Paper());
  // The sheet's rolled left edge.
  r.Fill(Box(2, kPaperTop - 4, 20, kPaperBottom + 4, 8), Cylinder(2, 20, Rgb(226, 200, 150)));
  // A faded red rule under the heading's place and a flourish at the foot.
  r.Fill(Segment(60, 62, 320, 62, 1.4f), Rgb(150, 50, 40), 0.55f);
  r.Fill(Path({{110, 312}, {150, 300}, {190, 316}, {230, 300}, {270, 312}}, 1.6f), Rgb(120, 70, 40), 0.6f);
  // The end piece: the rolled-up rest of the sheet on a dark rod with turned knobs.
  r.Fill(Box(kRollCentre - 5, 4, kRollCentre + 5, kHeight - 4, 3),
         Cylinder(kRollCentre - 5, kRollCentre + 5, Rgb(96, 58, 30)));
  r.Fill(Box(kRollLeft, kPaperTop - 10, kRollRight, kPaperBottom + 10, 14),
         Cylinder(kRollLeft, kRollRight, Rgb(232, 208, 158)));
  for (float y : {kPaperTop + 20, kPaperBottom - 20})
    r.Fill(Segment(kRollLeft + 4, y, kRollRight - 4, y, 1.2f), Rgb(150, 110, 60), 0.5f);
  for (float cy : {10.0f, kHeight - 10.0f}) {
    r.Fill(Ellipse(kRollCentre, cy, 16, 9), Ball(kRollCentre - 4, cy - 3, 16, Rgb(120, 70, 34)));
    r.Fill(Ellipse(kRollCentre, cy, 6, 4), Rgb(230, 190, 100), 0.8f);
  }
  return r.ToKeyedPicture(Rgb(120, 90, 50));
}

struct Scroll {
  const char* name;
  const char* heading;  // null: the scroll has none
  const char* body;
};

const Scroll kScrolls[] = {
    {"Welcome", "The Call of the Realm",
     "The old wizards are gone and the realm lies open. Gather your creatures, hold the places of power, and "
     "let no rival wizard stand."},
    {"Tower", "The Broken Tower",
     "Here the Circle kept its watch until the stones fell. Something still stirs in the cellars beneath."},
    {"Amulet", "Amulet of the Deep Wells",
     "Worn close, it draws mana from the earth itself. A wizard who carries it never tires of casting."},
    {"Figurine", "The Carved Figurine",
     "Speak the word upon it and the beast it shows will wake and serve you for a while."},
    {"Bane", "A Bane", "Forged against one kind alone. Those it was made for will not come near the one who holds it."},
    {"Warning", "A Warning",
     "Turn back, traveller. The bridge ahead was cut by the Usurper's men and the river runs deep."},
    {"Truce", "Terms of Truce",
     "Let the fighting cease until the new moon. Any who break this truce shall answer to the Circle."},
    {"Map", "A Torn Map",
     "The ink has run, but three marks remain: a well, a standing stone, and a cave under the hill."},
    {"Prayer", "A Prayer for the Fallen",
     "May the roots keep them, the rain wash them, and the spring bring them home again."},
    {"Recipe", nullptr, "Three measures of nightshade, one of ash, and a single hair from a sleeping troll."},
    {"Victory", "The Realm Remembers",
     "Your banners fly above the valley. The people will tell of this day to their grandchildren."},
    {"Farewell", "Farewell", "The road goes on beyond these hills. Another realm waits, and other wizards with it."},
};

std::string ScrollsText() {
  std::string text = "; The scrolls of artifacts and scripts: each a [name], then ~HS heading ~HE and ~BS body ~BE\n";
  for (const Scroll& s : kScrolls) {
    text += "[" + std::string(s.name) + "]\n";
    if (s.heading) text += "~HS" + std::string(s.heading) + "~HE\n";
    text += "~BS" + std::string(s.body) + "~BE\n\n";
  }
  return text;
}

}  // namespace

FORGE_STEP(StoryScroll) {
  ctx.WriteFile("bitmaps\\scroll.bmp", MakeBmp24(ScrollPicture()));
  ctx.WriteText("text\\scrolls.txt", ScrollsText());
}

}  // namespace forge
