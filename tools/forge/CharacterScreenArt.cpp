// The character screen: its layout (with the step costs), its background, the wizard's face
// at each rank tier on a pure blue ground that the game keys out, and its sprite file:
//
// Interface\CharacterScreen\<w>x<h>\sprites.spr, frames: 0 step down, 1 pressed, 2 step up,
//   3 pressed (20 x 20), 4 a talisman held, 5 a talisman slot empty (10 x 14)
#include <array>
#include <cmath>
#include <string>

#include "forge/CampaignMenus.h"
#include "forge/Canvas.h"
#include "forge/Forge.h"
#include "forge/InterfaceArt.h"
#include "forge/Painting.h"
#include "forge/Pictures.h"
#include "forge/SpriteWriter.h"

namespace forge {

namespace {

constexpr const char* kTitleFont = "DejaVuSerif-Bold.ttf";
constexpr int kRowTop = 132, kRowPitch = 56;
const std::array<int, 3> kLabelColour = {246, 230, 190};
const char* const kNames[6] = {"Mana", "Health", "Control", "Law", "Neutral", "Vrask"};
const char* const kCostTokens[6] = {"VAR_MANACOST", "VAR_HEALTHCOST",  "VAR_CONTROLCOST",
                                    "VAR_LAWCOST",  "VAR_NEUTRALCOST", "VAR_VRASKCOST"};

Widget& Label(ScreenLayout& layout, int number, LayoutRect rect, const char* text, const char* flags) {
  Widget& label = layout.Add(WidgetKind::kText, number, rect);
  label.text = text;
  label.textFlags = flags;
  label.colours = {kLabelColour};
  return label;
}

}  // namespace

ScreenLayout CharacterScreenLayout() {
  ScreenLayout layout("CharacterScreen", "Character Screen");
  const char* captions[2] = {"Accept", "Cancel"};
  for (int i = 0; i < 2; ++i) {
    Widget& button = layout.Add(WidgetKind::kTextButton, i + 1, {470 + 160 * i, 530, 610 + 160 * i, 568});
    button.font = "LARGE";
    button.text = captions[i];
  }
  Label(layout, 1, {440, 90, 600, 112}, "Experience", "LEFT");
  Label(layout, 2, {600, 90, 784, 112}, "VAR_EXPERIENCE", "RIGHT");
  for (int a = 0; a < 6; ++a) {
    const int top = kRowTop + kRowPitch * a;
    Label(layout, 3 + 2 * a, {440, top, 540, top + 24}, kNames[a], "LEFT");
    Label(layout, 4 + 2 * a, {724, top, 784, top + 24}, kCostTokens[a], "RIGHT");
  }
  Label(layout, 15, {690, 112, 784, 130}, "Cost", "RIGHT");
  Label(layout, 16, {20, 430, 420, 500}, "Spend experience between battles: each step costs more than the last",
        "CENTRE");
  const int maxima[3][2] = {{0, 250}, {0, 400}, {0, 60}};
  const std::array<int, 3> ramps[3][2] = {
      {{{30, 40, 140}}, {{90, 160, 255}}}, {{{140, 20, 20}}, {{250, 90, 70}}}, {{{30, 110, 30}}, {{140, 230, 110}}}};
  for (int b = 0; b < 3; ++b) {
    const int top = kRowTop + kRowPitch * b + 4;
    Widget& bar = layout.Add(WidgetKind::kStatBar, b + 1, {572, top, 692, top + 16});
    bar.minValue = maxima[b][0];
    bar.maxValue = maxima[b][1];
    bar.colours = {ramps[b][0], ramps[b][1], {{240, 220, 120}}};
  }
  for (int b = 0; b < 3; ++b) {
    const int top = kRowTop + kRowPitch * (b + 3) + 3;
    Widget& bar = layout.Add(WidgetKind::kSpriteBar, b + 1, {572, top, 692, top + 18});
    bar.minValue = 0;
    bar.maxValue = 7;
    bar.spriteIndexes = {4, 5};
  }
  for (int a = 0; a < 6; ++a) {
    const int top = kRowTop + kRowPitch * a + 2;
    layout.Add(WidgetKind::kStandardButton, 2 * a + 1, {546, top, 566, top + 20}).spriteIndexes = {0, 1, 0};
    layout.Add(WidgetKind::kStandardButton, 2 * a + 2, {698, top, 718, top + 20}).spriteIndexes = {2, 3, 2};
  }
  layout.Section("STEPS_COSTS", {{"Mana_IncrementAmount", "5"},
                                 {"Health_IncrementAmount", "5"},
                                 {"Control_IncrementAmount", "1"},
                                 {"Talisman_IncrementAmount", "1"},
                                 {"Mana_InitialCost", "1.0"},
                                 {"Health_InitialCost", "1.0"},
                                 {"Control_InitialCost", "2.0"},
                                 {"Talisman_InitialCost", "10.0"},
                                 {"Mana_LinearComponent", "1.0"},
                                 {"Health_LinearComponent", "1.0"},
                                 {"Control_LinearComponent", "1.0"},
                                 {"Talisman_LinearComponent", "4.0"},
                                 {"Mana_ExponentialComponent", "1.0"},
                                 {"Health_ExponentialComponent", "1.0"},
                                 {"Control_ExponentialComponent", "1.2"},
                                 {"Talisman_ExponentialComponent", "1.5"}});
  return layout;
}

namespace {

// A wizard's bust on pure blue: robe, face, beard and a pointed hat whose colour and stars
// grow with the rank tier.
RgbPicture WizardFace(int tier, int width, int height) {
  RgbPicture face(width, height);
  const float sx = width / 400.0f, sy = height / 300.0f;
  const std::array<uint8_t, 3> hats[3] = {{{70, 60, 110}}, {{40, 80, 150}}, {{120, 30, 110}}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const float u = x / sx, v = y / sy;  // 400 x 300 units
      uint8_t r = 0, g = 0, b = 255;
      auto inEllipse = [&](float cx, float cy, float rx, float ry) {
        return (u - cx) * (u - cx) / (rx * rx) + (v - cy) * (v - cy) / (ry * ry) <= 1.0f;
      };
      if (v > 220 && inEllipse(200, 330, 150, 120)) r = hats[tier][0] / 2, g = hats[tier][1] / 2, b = 60;  // robe
      if (inEllipse(200, 160, 56, 68)) r = 230, g = 190, b = 160;                                          // face
      if (v > 175 && inEllipse(200, 210, 50, 62)) r = g = b = static_cast<uint8_t>(220 + tier * 10);       // beard
      if (inEllipse(178, 148, 7, 5) || inEllipse(222, 148, 7, 5)) r = 30, g = 30, b = 50;                  // eyes
      const float half = 70 * (v - 20) / 90;                                                               // hat
      if (v >= 20 && v <= 110 && std::fabs(u - 200) <= half) r = hats[tier][0], g = hats[tier][1], b = hats[tier][2];
      if (v > 104 && v <= 118 && std::fabs(u - 200) <= 92) r = hats[tier][0], g = hats[tier][1], b = hats[tier][2];
      for (int s = 0; s <= tier; ++s)
        if (inEllipse(185 + 15 * s, 80 - 12 * (s % 2), 5, 5)) r = 250, g = 220, b = 90;  // stars of rank
      face.Set(x, y, r, g, b);
    }
  return face;
}

// Narrow enough that a row of eight fits the bar at 640 x 480 too.
Canvas Talisman(const InterfacePalette& p, bool held) {
  Canvas c(10, 14);
  c.FillEllipse(0, 1, 10, 12, held ? p.gold + 18 : p.stone + 6);
  c.FillEllipse(3, 4, 4, 5, held ? p.red + 10 : p.stone + 2);
  return c;
}

FORGE_STEP(CharacterScreen) {
  const ScreenLayout layout = CharacterScreenLayout();
  layout.Write(ctx);
  Painting p;
  p.VerticalGradient(0, 600, {{0.0f, Rgb(16, 12, 30)}, {0.6f, Rgb(44, 30, 56)}, {1.0f, Rgb(70, 44, 50)}});
  p.Stars(300, 90, 113);
  p.Vignette(0.6f);
  p.Text("Character", kTitleFont, 44, 400, 62, Rgb(255, 240, 170), Rgb(214, 150, 40), Rgb(38, 20, 6), 2.2f, 3.0f);
  p.Panel(14, 100, 426, 420, 12, Rgb(12, 10, 24), 0.6f, Rgb(196, 150, 60), 2.0f);
  p.Panel(430, 84, 790, 480, 12, Rgb(12, 10, 24), 0.75f, Rgb(196, 150, 60), 2.0f);
  for (const Widget& w : layout.Widgets())
    if (w.kind == WidgetKind::kTextButton)
      p.Panel(static_cast<float>(w.rect800.left), static_cast<float>(w.rect800.top),
              static_cast<float>(w.rect800.right), static_cast<float>(w.rect800.bottom), 4, Rgb(236, 222, 184), 1.0f,
              Rgb(120, 84, 36), 1.5f);

  InterfacePalette palette;
  SpriteFileWriter sprites;
  sprites.AddPalette(palette.builder.Bytes());
  for (int direction : {2, 3})
    for (bool pressed : {false, true})
      sprites.AddFrame(EncodeFrame(ArrowButton(palette, 20, direction, pressed), 0, 0, 0));
  for (bool held : {true, false}) sprites.AddFrame(EncodeFrame(Talisman(palette, held), 0, 0, 0));

  for (const auto& [width, height] : {std::pair{800, 600}, std::pair{640, 480}}) {
    const std::string folder =
        "Interface\\CharacterScreen\\" + std::to_string(width) + "x" + std::to_string(height) + "\\";
    WriteJpeg(ctx.ClaimFile(folder + "CharacterScreen.JPG"), p.Reduce(width, height), 92);
    for (int tier = 0; tier < 3; ++tier)
      WriteJpeg(ctx.ClaimFile(folder + "WizardFace" + std::to_string(tier) + ".JPG"),
                WizardFace(tier, width == 800 ? 400 : 320, width == 800 ? 300 : 240), 95);
    ctx.WriteFile(folder + "sprites.spr", sprites.Bytes());
  }
}

}  // namespace

}  // namespace forge
