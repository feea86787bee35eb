// The battle's messages and their pictures: cfg\messages.cfg (the message lines' and the
// message scroll's texts, STR_00 onward: the locks, the wizards' deaths, the named messages
// and the texts of the message items), bitmaps\smallscroll.bmp (the small parchment of the
// message scroll, 256 x 48 on pure blue, its last 24 columns the rolled-up end on its rod) and
// sprites\SpotIcons.spr (56 portraits of 36 x 36: frames 0-27 the creature types 1-28 in the
// look of an announcement, frame 23 the wizard, frame 26 the alarm of an attack; frames 28-55
// the same in the look of a sighting).
#include <cmath>
#include <cstdio>
#include <string>

#include "forge/CreatureGlyphs.h"
#include "forge/Forge.h"
#include "forge/IconArt.h"
#include "forge/IconShapes.h"
#include "forge/IniText.h"
#include "forge/Painting.h"
#include "forge/Pictures.h"
#include "forge/SpriteWriter.h"

namespace forge {

using namespace icon;

namespace {

const char* const kMessages[] = {
    "The battle begins",
    "The door is locked. A key would open it.",
    "Your creatures are under attack",
    "A place of power has fallen to the enemy",
    "Your wizard is in danger",
    "A wizard has fallen!",
    "has fallen!",
    // The message items, kinds 97-122.
    "Beware the bridge: the river below runs deep.",
    "The old well to the east is dry, but not empty.",
    "Trolls sleep by day in the caves of the hill.",
    "Three stones mark the way to the hidden shrine.",
    "He who holds the tower holds the valley.",
    "The dead do not rest in the marsh.",
    "Mana gathers where the ley lines cross.",
    "The forest elves trust no wizard.",
    "A dragon was seen flying north at dawn.",
    "The gate opens only for the one who carries the key.",
    "Do not linger on the ice.",
    "The champion of law guards the western pass.",
    "Follow the river and you will find the ford.",
    "Fire will not burn in the Deep Wells.",
    "The Usurper's army camps beyond the ridge.",
    "A chest lies buried under the lone oak.",
    "The eye sees all who cross the plain.",
    "Only the brave walk the path of the fallen king.",
    "The heralds bring word: the Circle is broken.",
    "Rest here, traveller. The spring heals all wounds.",
    "The stones remember the wizards of old.",
    "Turn back: nothing but death lies ahead.",
    "The bell in the ruined chapel still rings at night.",
    "Seek the hermit on the hill; he knows the way.",
    "Where the wolves howl, the wizard hides.",
    "The realm remembers those who defend it.",
};

std::string MessagesText() {
  IniText ini;
  ini.Comment("The battle's messages: the message lines and the message scroll show them by number");
  IniText& strings = ini.Section("STRINGS");
  int number = 0;
  for (const char* text : kMessages) {
    char key[16];
    std::snprintf(key, sizeof key, "STR_%02d", number++);
    strings.Key(key, text);
  }
  return ini.Text();
}

constexpr int kScrollWidth = 256, kScrollHeight = 48, kEnd = 24;

RgbPicture SmallScroll() {
  Raster r(kScrollWidth, kScrollHeight);
  const Shader paper = [](float x, float y) {
    const float blotch = FractalNoise(x / 30, y / 30, 23, 3);
    return Mix(Rgb(210, 182, 128), Rgb(244, 230, 190), blotch);
  };
  const Shape sheet = Intersect(Box(4, 6, kScrollWidth - kEnd / 2, kScrollHeight - 6), [](float x, float y) {
    const float wave = 1.5f * std::sin(x / 19);
    return std::max(6 + wave - y, y - (kScrollHeight - 6 - wave));
  });
  r.Fill(Grow(sheet, 0.8f), Rgb(110, 78, 40));
  r.Fill(sheet, paper);
  // The rolled left edge.
  r.Fill(Box(1, 3, 12, kScrollHeight - 3, 5),
         VerticalGradient(3, kScrollHeight - 3, Rgb(236, 214, 166), Rgb(176, 140, 90)));
  r.Fill(Segment(6, 5, 6, kScrollHeight - 5, 1), Rgb(150, 116, 70), 0.6f);
  // The end piece: the rolled-up rest on a dark rod with round knobs.
  const float rod = kScrollWidth - kEnd / 2.0f;
  r.Fill(Segment(rod, 1.5f, rod, kScrollHeight - 1.5f, 4), Rgb(92, 56, 28));
  r.Fill(Box(kScrollWidth - kEnd + 2, 4, kScrollWidth - 2, kScrollHeight - 4, 6), [](float x, float) {
    const float t = (x - (kScrollWidth - kEnd + 2)) / (kEnd - 4);
    const float light = std::cos((t - 0.3f) * 2.4f);
    return light > 0 ? Lighter(Rgb(222, 196, 146), light * 0.3f) : Darker(Rgb(222, 196, 146), -light * 0.4f);
  });
  for (float cy : {2.5f, kScrollHeight - 2.5f}) r.Fill(Ellipse(rod, cy, 6, 2.5f), Rgb(150, 96, 40));
  return r.ToKeyedPicture(Rgb(120, 90, 50));
}

constexpr int kIcon = 36;

Raster SpotIcon(int frame) {
  const bool sighted = frame >= 28;
  const int face = frame % 28;
  Raster r(kIcon, kIcon);
  const Colour rim = sighted ? Rgb(214, 170, 60) : Rgb(170, 176, 190);
  const Colour inner = face == 26 ? Rgb(120, 20, 16) : sighted ? Rgb(40, 54, 40) : Rgb(30, 36, 62);
  r.Fill(Box(0.5f, 0.5f, kIcon - 0.5f, kIcon - 0.5f, 5),
         VerticalGradient(0, kIcon, Lighter(rim, 0.3f), Darker(rim, 0.45f)));
  r.Fill(Box(3, 3, kIcon - 3, kIcon - 3, 3), Radial(kIcon / 2.0f, 12, 24, Lighter(inner, 0.35f), Darker(inner, 0.4f)));
  if (face == 26) {
    // The alarm: crossed swords.
    for (int s : {-1, 1}) {
      r.Outlined(Segment(18 - 10 * s, 8, 18 + 9 * s, 28, 2.6f), Rgb(226, 226, 236), kInk, 1.1f);
      r.Outlined(Segment(18 + 5 * s, 24, 18 + 12 * s, 18, 2.2f), kGold, kInk, 1.0f);
    }
    return r;
  }
  const int type = face == 23 ? 0 : (face + 1) % kCreatureGlyphTypes;
  const Colour body = sighted ? Rgb(246, 232, 180) : kCream;
  r.Outlined(CreatureGlyph(type, 5, 4, 0.84f), VerticalGradient(4, 31, body, Darker(body, 0.3f)), kInk, 1.2f);
  if (sighted) {
    // The sighting: a small open eye in the top-right corner.
    r.Outlined(Ellipse(28.5f, 8, 4.5f, 2.6f), Rgb(250, 250, 240), kInk, 0.9f);
    r.Fill(Circle(28.5f, 8, 1.4f), Rgb(30, 90, 40));
  }
  return r;
}

}  // namespace

FORGE_STEP(BattleMessages) {
  ctx.WriteText("cfg\\messages.cfg", MessagesText());
  ctx.WriteFile("bitmaps\\smallscroll.bmp", MakeBmp24(SmallScroll()));
  SpriteFileWriter icons;
  for (int frame = 0; frame < 56; ++frame) icons.AddFrame(EncodeFrame(SpotIcon(frame).ToCanvas(), 0, 0, -1));
  ctx.WriteFile("sprites\\SpotIcons.spr", icons.Bytes());
}

}  // namespace forge
