// The battle options, load game and save game screens: their layouts, their backgrounds (dark
// panels behind every group of widgets, so the light captions read), and the message box
// picture "bitmaps\dlgback.bmp".
#include "forge/CampaignMenus.h"

#include <array>
#include <string>

#include "forge/Forge.h"
#include "forge/Painting.h"
#include "forge/Pictures.h"

namespace forge {

namespace {

constexpr const char* kTitleFont = "DejaVuSerif-Bold.ttf";
const Colour kGoldTop = Rgb(255, 240, 170);
const Colour kGoldBottom = Rgb(214, 150, 40);
const Colour kInk = Rgb(38, 20, 6);
const Colour kParchment = Rgb(236, 222, 184);
const Colour kPlaqueRim = Rgb(120, 84, 36);
const std::array<int, 3> kLabelColour = {246, 230, 190};

Widget& AddButton(ScreenLayout& layout, int number, LayoutRect rect, const char* caption) {
  Widget& button = layout.Add(WidgetKind::kTextButton, number, rect);
  button.font = "LARGE";
  button.text = caption;
  return button;
}

Widget& AddLabel(ScreenLayout& layout, int number, LayoutRect rect, const char* text, const char* flags = "LEFT") {
  Widget& label = layout.Add(WidgetKind::kText, number, rect);
  label.text = text;
  label.textFlags = flags;
  label.colours = {kLabelColour};
  return label;
}

// A night sky over hills: the common ground of the campaign's menus.
Painting MenuGround(uint32_t seed, const char* title) {
  Painting p;
  p.VerticalGradient(
      0, 460, {{0.0f, Rgb(10, 12, 30)}, {0.5f, Rgb(40, 32, 70)}, {0.85f, Rgb(96, 60, 90)}, {1.0f, Rgb(160, 100, 90)}});
  p.Stars(380, 160, seed);
  p.Ridge(470, 80, 120, seed + 1, Rgb(40, 30, 60), 0.4f, 0.6f);
  p.Ridge(540, 50, 80, seed + 2, Rgb(22, 18, 34), 0.6f, 0.3f);
  p.Vignette(0.6f);
  p.Text(title, kTitleFont, 44, 400, 70, kGoldTop, kGoldBottom, kInk, 2.2f, 3.0f);
  return p;
}

void Plaques(Painting& p, const ScreenLayout& layout) {
  for (const Widget& w : layout.Widgets()) {
    const float l = static_cast<float>(w.rect800.left), t = static_cast<float>(w.rect800.top),
                r = static_cast<float>(w.rect800.right), b = static_cast<float>(w.rect800.bottom);
    if (w.kind == WidgetKind::kTextButton)
      p.Panel(l, t, r, b, 4, kParchment, 1.0f, kPlaqueRim, 1.5f);
    else if (w.kind == WidgetKind::kListBox || w.kind == WidgetKind::kEditBox)
      // A mid tone: the controls print in black, and the list lights its chosen line.
      p.Panel(l - 4, t - 4, r + 4, b + 4, 6, Rgb(196, 176, 136), 1.0f, Rgb(196, 150, 60), 1.5f);
    else if (w.kind == WidgetKind::kRadioButton)
      // The radio buttons' captions print in black too.
      p.Panel(l - 2, t - 1, r, b + 1, 4, Rgb(222, 206, 166), 1.0f, kPlaqueRim, 1.0f);
  }
}

}  // namespace

ScreenLayout BattleOptionsLayout() {
  ScreenLayout layout("BattleOptionsScreen", "Battle Options");
  AddButton(layout, 1, {230, 530, 390, 568}, "Accept");
  AddButton(layout, 2, {410, 530, 570, 568}, "Cancel");
  // The group headings, then the radio captions' row labels and the two sliders' labels.
  const char* headings[] = {"Resolution", "Animations", "Dialogue Speed", "Frame Rate", "Battle View"};
  for (int i = 0; i < 5; ++i) AddLabel(layout, i + 1, {80, 120 + 56 * i, 270, 146 + 56 * i}, headings[i]);
  AddLabel(layout, 6, {80, 410, 270, 436}, "Music Volume");
  AddLabel(layout, 7, {80, 460, 270, 486}, "Effects Volume");
  AddLabel(layout, 8, {120, 92, 680, 114}, "Choices take effect when accepted", "CENTRE");
  AddLabel(layout, 9, {560, 410, 720, 436}, "(music player)");
  AddLabel(layout, 10, {560, 460, 720, 486}, "(sounds)");
  AddLabel(layout, 11, {120, 500, 680, 522}, "Escape leaves without changes", "CENTRE");
  Widget& music = layout.Add(WidgetKind::kSliderBar, 1, {290, 412, 540, 436});
  music.minValue = 0, music.maxValue = 15, music.step = 1;
  Widget& effects = layout.Add(WidgetKind::kSliderBar, 2, {290, 462, 540, 486});
  effects.minValue = 2500, effects.maxValue = 5000, effects.step = 50;
  const char* radios[12] = {"800 x 600", "640 x 480", "Full",   "Reduced", "Slow",      "Normal",
                            "Fast",      "20 fps",    "17 fps", "14 fps",  "Above bar", "Full view"};
  const int row[12] = {0, 0, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4};
  const int column[12] = {0, 1, 0, 1, 0, 1, 2, 0, 1, 2, 0, 1};
  for (int i = 0; i < 12; ++i) {
    const int left = 290 + 150 * column[i], top = 120 + 56 * row[i];
    Widget& radio = layout.Add(WidgetKind::kRadioButton, i + 1, {left, top, left + 140, top + 26});
    radio.text = radios[i];
  }
  return layout;
}

namespace {

ScreenLayout SavedGameLayout(const char* folder, const char* title, const char* action, const char* busy) {
  ScreenLayout layout(folder, title);
  layout.Global("BackgroundFile", title);
  AddButton(layout, 1, {230, 520, 390, 558}, action);
  AddButton(layout, 2, {410, 520, 570, 558}, "Cancel");
  layout.Add(WidgetKind::kEditBox, 1, {200, 120, 600, 150}).text = "";
  layout.Add(WidgetKind::kListBox, 1, {200, 176, 600, 460}).font = "LARGE";
  AddLabel(layout, 1, {120, 280, 680, 320}, busy, "CENTRE").font = "LARGE";
  AddLabel(layout, 2, {120, 474, 680, 500}, "Choose a game, or type a name", "CENTRE");
  return layout;
}

}  // namespace

ScreenLayout LoadGameLayout() { return SavedGameLayout("LoadGame", "Load Game", "Load", "Loading..."); }
ScreenLayout SaveGameLayout() { return SavedGameLayout("SaveGame", "Save Game", "Save", "Saving..."); }

namespace {

FORGE_STEP(BattleOptionsScreen) {
  const ScreenLayout layout = BattleOptionsLayout();
  layout.Write(ctx);
  Painting p = MenuGround(71, "Battle Options");
  p.Panel(60, 104, 740, 504, 12, Rgb(12, 10, 24), 0.75f, Rgb(196, 150, 60), 2.0f);
  Plaques(p, layout);
  for (const auto& [width, height] : {std::pair{800, 600}, std::pair{640, 480}}) {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const std::string dash = std::to_string(width) + "-" + std::to_string(height);
    WriteJpeg(ctx.ClaimFile("Interface\\BattleOptionsScreen\\" + size + "\\Battle Options Screen " + dash + ".JPG"),
              p.Reduce(width, height), 92);
  }
}

FORGE_STEP(LoadAndSaveScreens) {
  for (const auto& [layout, seed] : {std::pair{LoadGameLayout(), 81u}, std::pair{SaveGameLayout(), 91u}}) {
    layout.Write(ctx);
    const bool load = layout.Path().find("LoadGame") != std::string::npos;
    Painting p = MenuGround(seed, load ? "Load Game" : "Save Game");
    p.Panel(170, 100, 630, 510, 12, Rgb(12, 10, 24), 0.75f, Rgb(196, 150, 60), 2.0f);
    Plaques(p, layout);
    WriteMenuBackground(ctx, load ? "Interface\\LoadGame\\" : "Interface\\SaveGame\\", load ? "Load Game" : "Save Game",
                        p);
  }
}

// The message box: a parchment plate in a gold frame, 320 x 160; its text prints in black.
FORGE_STEP(DialogBackground) {
  RgbPicture box(320, 160);
  for (int y = 0; y < 160; ++y)
    for (int x = 0; x < 320; ++x) {
      const bool rim = x < 3 || y < 3 || x >= 317 || y >= 157;
      const int shade = 232 - (y * 24) / 160;
      if (rim)
        box.Set(x, y, 196, 150, 60);
      else
        box.Set(x, y, static_cast<uint8_t>(shade), static_cast<uint8_t>(shade - 14), static_cast<uint8_t>(shade - 48));
    }
  ctx.WriteFile("bitmaps\\dlgback.bmp", MakeBmp24(box));
}

}  // namespace

}  // namespace forge
