// The single-player battle set-up screen: its layout, its painted background, the wizard
// names of Interface\SinglePlayerBattle\wizardnames.cfg, and the button sprite it shares with
// the multiplayer set-up ("Interface\MultiplayerBattleSetup\MultiPBattle Screen buttons
// <w>-<h>.spr"): colour c in frames 3c (normal), 3c + 1 (highlighted), 3c + 2 (pressed), the
// remove button in 24-26, portrait p in 27 + 3p to 29 + 3p. Each resolution's frames are as
// large as the buttons of its layout.
#include <algorithm>
#include <cstdio>
#include <string>

#include "forge/Forge.h"
#include "forge/IconArt.h"
#include "forge/IniText.h"
#include "forge/Painting.h"
#include "forge/RasterScaling.h"
#include "forge/SetupScreenLayouts.h"
#include "forge/SpriteWriter.h"
#include "forge/WizardPortraits.h"

namespace forge {

using namespace icon;

namespace {

constexpr const char* kTitleFont = "DejaVuSerif-Bold.ttf";
const Colour kCream = Rgb(244, 232, 200);
const Colour kGoldText = Rgb(250, 214, 120);
const Colour kInk = Rgb(38, 20, 6);

// Where the players' rows stand: row 0 (the player) and rows 1-3 (the opponents).
constexpr int kRowTop[4] = {90, 195, 275, 355};
constexpr int kSliderTop = 95, kSliderPitch = 34;

LayoutRect PortraitRect(int row) { return {30, kRowTop[row], 94, kRowTop[row] + 64}; }
LayoutRect ColourRect(int row) { return {105, kRowTop[row] + 18, 145, kRowTop[row] + 46}; }
LayoutRect RemoveRect(int row) { return {355, kRowTop[row], 380, kRowTop[row] + 25}; }

Widget& AddLabel(ScreenLayout& layout, int number, LayoutRect rect, const std::string& text, const char* flags,
                 Colour colour, const char* font = "") {
  Widget& label = layout.Add(WidgetKind::kText, number, rect);
  label.text = text;
  label.textFlags = flags;
  label.font = font;
  label.colours = {{static_cast<int>(colour.r), static_cast<int>(colour.g), static_cast<int>(colour.b)}};
  return label;
}

LayoutRect RectAt(const LayoutRect& r800, bool highRes) { return highRes ? r800 : ScaledTo640(r800); }

Raster ColourSwatch(int colour, int width, int height, int state) {
  Raster r(width, height);
  const float w = static_cast<float>(width), h = static_cast<float>(height);
  const Colour base = ArmyColour(colour);
  const Colour face = state == 1 ? Lighter(base, 0.25f) : state == 2 ? Darker(base, 0.25f) : base;
  const float shift = state == 2 ? 1.0f : 0.0f;
  r.Fill(Box(0, 0, w, h, 4), state == 1 ? Rgb(255, 236, 160) : Rgb(120, 90, 40));
  r.Fill(Box(2 + shift, 2 + shift, w - 2 + shift, h - 2 + shift, 3),
         VerticalGradient(0, h, Lighter(face, 0.2f), Darker(face, 0.3f)));
  r.Bevel(Box(2, 2, w - 2, h - 2, 3), 3, state == 2 ? -0.35f : 0.35f);
  return r;
}

Raster RemoveButton(int size, int state) {
  Raster r(size, size);
  const float s = static_cast<float>(size), c = s / 2 + (state == 2 ? 0.8f : 0.0f);
  r.Fill(Circle(s / 2, s / 2, s / 2 - 0.5f), state == 1 ? Rgb(255, 236, 160) : Rgb(120, 90, 40));
  r.Fill(Circle(c, c, s / 2 - 2), Ball(c - 2, c - 2, s / 2, state == 2 ? Rgb(120, 20, 20) : Rgb(180, 36, 30)));
  const float arm = s * 0.22f;
  r.Fill(Union(Segment(c - arm, c - arm, c + arm, c + arm, s * 0.12f),
               Segment(c - arm, c + arm, c + arm, c - arm, s * 0.12f)),
         Rgb(250, 240, 220));
  return r;
}

Raster PortraitButton(int portrait, int size, int state) {
  Raster face = WizardPortrait(portrait);
  if (state == 1) face.Recolour([](Colour c) { return Lighter(c, 0.18f); });
  if (state == 2) face.Recolour([](Colour c) { return Darker(c, 0.25f); });
  Raster r = Resized(face, size, size);
  if (state == 1) r.Fill(Ring(size / 2.0f, size / 2.0f, size / 2.0f - 1.2f, 2.4f), Rgb(255, 240, 170));
  return r;
}

void WriteButtonSprite(Context& ctx, bool highRes) {
  const ScreenLayout layout = SinglePlayerBattleLayout();
  const LayoutRect portrait = RectAt(PortraitRect(0), highRes), colour = RectAt(ColourRect(0), highRes),
                   remove = RectAt(RemoveRect(2), highRes);
  SpriteFileWriter writer;
  for (int c = 0; c < 8; ++c)
    for (int state : {0, 1, 2})
      writer.AddFrame(EncodeFrame(
          ColourSwatch(c, colour.right - colour.left, colour.bottom - colour.top, state).ToCanvas(), 0, 0, -1));
  for (int state : {0, 1, 2})
    writer.AddFrame(EncodeFrame(RemoveButton(remove.right - remove.left, state).ToCanvas(), 0, 0, -1));
  for (int p = 0; p < 12; ++p)
    for (int state : {0, 1, 2})
      writer.AddFrame(EncodeFrame(PortraitButton(p, portrait.right - portrait.left, state).ToCanvas(), 0, 0, -1));
  const std::string size = highRes ? "800-600" : "640-480";
  ctx.WriteFile("Interface\\MultiplayerBattleSetup\\MultiPBattle Screen buttons " + size + ".spr", writer.Bytes());
}

Painting SinglePlayerBattleBackground(const ScreenLayout& layout) {
  Painting p;
  p.VerticalGradient(0, 600, {{0.0f, Rgb(20, 16, 40)}, {0.55f, Rgb(46, 30, 50)}, {1.0f, Rgb(70, 40, 34)}});
  p.Stars(200, 120, 17);
  p.Ridge(560, 60, 120, 41, Rgb(30, 20, 30), 0.5f, 0.3f);
  p.Vignette(0.6f);
  p.Text("Single Player Battle", kTitleFont, 40, 400, 46, Rgb(255, 240, 170), Rgb(214, 150, 40), kInk, 2.0f, 3.0f);
  const Colour glass = Rgb(12, 10, 24), rim = Rgb(196, 150, 60);
  p.Panel(15, 58, 395, 440, 10, glass, 0.7f, rim, 2.0f);
  p.Panel(15, 448, 395, 542, 10, glass, 0.7f, rim, 2.0f);
  p.Panel(405, 58, 785, 536, 10, glass, 0.7f, rim, 2.0f);
  // A dark well behind each portrait and colour, so that an empty row reads as empty.
  for (int row = 0; row < 4; ++row) {
    const LayoutRect pr = PortraitRect(row), cr = ColourRect(row);
    p.Panel(pr.left - 3.0f, pr.top - 3.0f, pr.right + 3.0f, pr.bottom + 3.0f, 34, Rgb(4, 4, 10), 0.8f, Rgb(90, 70, 40),
            1.0f);
    p.Panel(cr.left - 2.0f, cr.top - 2.0f, cr.right + 2.0f, cr.bottom + 2.0f, 4, Rgb(4, 4, 10), 0.8f, Rgb(90, 70, 40),
            1.0f);
  }
  // Parchment plates under the buttons and the name box: their text is dark ink.
  for (const Widget& w : layout.Widgets())
    if (w.kind == WidgetKind::kTextButton || w.kind == WidgetKind::kEditBox)
      p.Panel(static_cast<float>(w.rect800.left), static_cast<float>(w.rect800.top),
              static_cast<float>(w.rect800.right), static_cast<float>(w.rect800.bottom), 4, Rgb(236, 222, 184), 1.0f,
              Rgb(120, 84, 36), 1.5f);
  return p;
}

// The names of the computer wizards by portrait number.
const char* const kWizardNames[12] = {
    "Edric the Bright", "Edric the Grey",   "Edric the Old", "Oakheart", "Seline",       "Tam the Quick",
    "Morwen",           "Garrick Ironside", "Sir Aldous",    "Vorgath",  "Lord Cassian", "Brannoch",
};

}  // namespace

Colour ArmyColour(int colour) {
  static const Colour kColours[8] = {Rgb(200, 36, 36),  Rgb(40, 90, 220),  Rgb(40, 170, 60),  Rgb(230, 200, 40),
                                     Rgb(150, 60, 190), Rgb(240, 130, 30), Rgb(40, 190, 200), Rgb(225, 225, 230)};
  return kColours[((colour % 8) + 8) % 8];
}

ScreenLayout SinglePlayerBattleLayout() {
  ScreenLayout layout("SinglePlayerBattle", "Single Player Battle");
  layout.Global("BackgroundFile", "Single Player Battle");
  for (int row = 0; row < 4; ++row)
    AddLabel(layout, row + 1, {160, kRowTop[row] + 4, row >= 2 ? 348 : 380, kRowTop[row] + 28}, "No Player", "LEFT",
             kCream);
  for (int row = 0; row < 4; ++row)
    AddLabel(layout, row + 5, {330, kRowTop[row] + 36, 385, kRowTop[row] + 60}, "0", "CENTRE", kCream);
  AddLabel(layout, 9, {30, 454, 380, 474}, "Battlefield", "LEFT", kGoldText);
  AddLabel(layout, 10, {30, 174, 380, 194}, "Opponents", "LEFT", kGoldText);
  AddLabel(layout, 11, {420, 66, 770, 86}, "Rules of the battle", "LEFT", kGoldText);
  AddLabel(layout, 12, {30, 64, 380, 84}, "Your wizard", "LEFT", kGoldText);
  AddLabel(layout, 13, {30, 421, 380, 437}, "Handicap: fewer items, less mana", "LEFT", Rgb(200, 190, 170), "TINY");
  AddLabel(layout, 14, {30, 476, 380, 498}, "No Map", "LEFT", kCream, "LARGE");
  const char* captions[13] = {"Starting mana", "Starting health",   "Magic items",     "Selection time",
                              "Law talismans", "Neutral talismans", "Vrask talismans", "Time limit",
                              "Lives",         "Places of power",   "Mana sprites",    "Artefacts",
                              "Control limit"};
  for (int n = 0; n < 13; ++n)
    AddLabel(layout, 15 + n, {418, kSliderTop + kSliderPitch * n, 603, kSliderTop + kSliderPitch * n + 24}, captions[n],
             "LEFT", kCream);
  for (int n = 0; n < 13; ++n)
    AddLabel(layout, 28 + n, {725, kSliderTop + kSliderPitch * n, 785, kSliderTop + kSliderPitch * n + 24}, "0",
             "CENTRE", kCream);

  const char* buttons[3] = {"Back", "Start", "Choose Map"};
  const LayoutRect buttonRects[3] = {{420, 548, 590, 588}, {610, 548, 780, 588}, {170, 500, 380, 536}};
  for (int b = 0; b < 3; ++b) {
    Widget& button = layout.Add(WidgetKind::kTextButton, b + 1, buttonRects[b]);
    button.font = "LARGE";
    button.text = buttons[b];
  }
  layout.Add(WidgetKind::kStandardButton, 1, PortraitRect(0)).spriteIndexes = {27, 29, 28};
  layout.Add(WidgetKind::kStandardButton, 2, ColourRect(0)).spriteIndexes = {0, 2, 1};
  layout.Add(WidgetKind::kStandardButton, 3, RemoveRect(2)).spriteIndexes = {24, 26, 25};
  layout.Add(WidgetKind::kStandardButton, 4, RemoveRect(3)).spriteIndexes = {24, 26, 25};
  // The player's name, typed over the first row's name.
  Widget& name = layout.Add(WidgetKind::kEditBox, 1, {156, kRowTop[0] + 2, 340, kRowTop[0] + 30});
  name.text = "";
  for (int row = 1; row < 4; ++row) layout.Add(WidgetKind::kPictureBox, row, PortraitRect(row)).spriteIndexes = {-1};
  for (int row = 1; row < 4; ++row) layout.Add(WidgetKind::kPictureBox, row + 3, ColourRect(row)).spriteIndexes = {-1};

  // Sliders 1-13: the rules, with the ranges of the settings file; 14-17 the handicaps.
  const int ranges[13][3] = {{50, 1000, 50}, {50, 1000, 50}, {0, 21, 1}, {10, 300, 10}, {0, 7, 1},
                             {0, 7, 1},      {0, 7, 1},      {0, 60, 5}, {1, 9, 1},     {0, 15, 1},
                             {0, 20, 1},     {0, 20, 1},     {5, 100, 5}};
  for (int n = 0; n < 13; ++n) {
    Widget& slider = layout.Add(WidgetKind::kSliderBar, n + 1,
                                {605, kSliderTop + kSliderPitch * n, 720, kSliderTop + kSliderPitch * n + 24});
    slider.minValue = ranges[n][0];
    slider.maxValue = ranges[n][1];
    slider.step = ranges[n][2];
  }
  for (int row = 0; row < 4; ++row) {
    Widget& slider = layout.Add(WidgetKind::kSliderBar, 14 + row, {160, kRowTop[row] + 36, 325, kRowTop[row] + 60});
    slider.minValue = 0;
    slider.maxValue = 100;
    slider.step = 5;
  }
  return layout;
}

namespace {

FORGE_STEP(SinglePlayerBattleScreen) {
  const ScreenLayout layout = SinglePlayerBattleLayout();
  layout.Write(ctx);
  WriteMenuBackground(ctx, "Interface\\SinglePlayerBattle\\", "Single Player Battle",
                      SinglePlayerBattleBackground(layout));
  IniText names;
  names.Comment("The computer wizards' names, by portrait number");
  names.Section("STRINGS");
  for (int p = 0; p < 12; ++p) {
    char key[8];
    std::snprintf(key, sizeof key, "STR_%02d", p);
    names.Key(key, kWizardNames[p]);
  }
  ctx.WriteText("Interface\\SinglePlayerBattle\\wizardnames.cfg", names.Text());
}

FORGE_STEP(SetupScreenButtons) {
  WriteButtonSprite(ctx, true);
  WriteButtonSprite(ctx, false);
}

}  // namespace

}  // namespace forge
