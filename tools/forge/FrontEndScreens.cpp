// The front end's menu screens: the main menu, the quick battle menu and the map selection,
// each a layout file and a background painted for it. The buttons' captions print in black,
// so each button stands on a light plaque painted into the background at its rectangle; the
// labels print in light colours over dark ground.
#include <cmath>
#include <string>
#include <vector>

#include "forge/Forge.h"
#include "forge/FrontEndLayouts.h"
#include "forge/Painting.h"

namespace forge {

namespace {

constexpr const char* kTitleFont = "DejaVuSerif-Bold.ttf";

const Colour kGoldTop = Rgb(255, 240, 170);
const Colour kGoldBottom = Rgb(214, 150, 40);
const Colour kInk = Rgb(38, 20, 6);
const Colour kParchment = Rgb(236, 222, 184);
const Colour kPlaqueRim = Rgb(120, 84, 36);

Widget& AddButton(ScreenLayout& layout, int number, LayoutRect rect, const char* caption) {
  Widget& button = layout.Add(WidgetKind::kTextButton, number, rect);
  button.font = "LARGE";
  button.text = caption;
  return button;
}

// A light plaque under every text button of the layout.
void PaintButtonPlaques(Painting& painting, const ScreenLayout& layout) {
  for (const Widget& w : layout.Widgets())
    if (w.kind == WidgetKind::kTextButton)
      painting.Panel(static_cast<float>(w.rect800.left), static_cast<float>(w.rect800.top),
                     static_cast<float>(w.rect800.right), static_cast<float>(w.rect800.bottom), 4, kParchment, 1.0f,
                     kPlaqueRim, 1.5f);
}

// The frame the buttons stand in: dark glass with a gold rim, a little wider than they are.
void PaintButtonFrame(Painting& painting, const ScreenLayout& layout, float margin) {
  float left = 800, top = 600, right = 0, bottom = 0;
  for (const Widget& w : layout.Widgets())
    if (w.kind == WidgetKind::kTextButton) {
      left = std::min(left, static_cast<float>(w.rect800.left));
      top = std::min(top, static_cast<float>(w.rect800.top));
      right = std::max(right, static_cast<float>(w.rect800.right));
      bottom = std::max(bottom, static_cast<float>(w.rect800.bottom));
    }
  painting.Panel(left - margin, top - margin, right + margin, bottom + margin, 12, Rgb(12, 10, 24), 0.72f,
                 Rgb(196, 150, 60), 2.0f);
}

// A keep on a crag: towers with pointed roofs and a few lit windows.
void PaintCastle(Painting& painting, float x, float ground, float scale, const Colour& stone) {
  auto tower = [&](float cx, float width, float height) {
    const float left = x + (cx - width / 2) * scale, right = x + (cx + width / 2) * scale;
    const float top = ground - height * scale;
    painting.Rect(left, top, right, ground + 2, stone);
    painting.Polygon(
        {{left - 3 * scale, top}, {(left + right) / 2, top - width * 1.1f * scale}, {right + 3 * scale, top}}, stone);
  };
  painting.Rect(x - 40 * scale, ground - 40 * scale, x + 60 * scale, ground + 2, stone);
  for (int i = 0; i < 9; ++i)
    painting.Rect(x + (-40 + i * 11) * scale, ground - 46 * scale, x + (-35 + i * 11) * scale, ground - 39 * scale,
                  stone);
  tower(-44, 18, 70);
  tower(8, 24, 105);
  tower(62, 16, 60);
  const Colour window = Rgb(255, 200, 90);
  for (const auto& [wx, wy] : {std::pair{6.0f, 80.0f}, std::pair{10.0f, 60.0f}, std::pair{-45.0f, 50.0f},
                               std::pair{60.0f, 40.0f}, std::pair{30.0f, 22.0f}}) {
    painting.Glow(x + wx * scale, ground - wy * scale, 1.6f * scale, 6 * scale, window, Rgb(255, 160, 60), 0.5f);
  }
}

// A rank of spears with a banner, the silhouette of an army on a ridge.
void PaintArmy(Painting& painting, float left, float right, float ground, const Colour& colour, const Colour& banner,
               uint32_t seed) {
  int i = 0;
  for (float x = left; x < right; x += 7, ++i) {
    const float jitter = 3 * ValueNoise(x / 5.0f, 0.3f, seed);
    painting.Rect(x, ground - 26 - jitter, x + 1.2f, ground, colour);
    painting.Polygon({{x - 2.5f, ground - 10}, {x + 3.7f, ground - 10}, {x + 3.7f, ground}, {x - 2.5f, ground}},
                     colour);
    painting.Glow(x + 0.6f, ground - 13, 2.5f, 0.5f, colour, colour, 0);
  }
  const float pole = (left + right) / 2;
  painting.Rect(pole, ground - 56, pole + 2, ground, colour);
  painting.Polygon({{pole + 2, ground - 56}, {pole + 30, ground - 50}, {pole + 2, ground - 42}}, banner);
}

Painting MainMenuBackground(const ScreenLayout& layout) {
  Painting p;
  p.VerticalGradient(0, 400,
                     {{0.0f, Rgb(8, 10, 34)},
                      {0.45f, Rgb(36, 28, 78)},
                      {0.78f, Rgb(150, 70, 84)},
                      {0.93f, Rgb(236, 146, 86)},
                      {1.0f, Rgb(250, 196, 120)}});
  p.Stars(330, 260, 11);
  p.Glow(664, 196, 24, 120, Rgb(250, 246, 226), Rgb(190, 200, 255), 0.35f);
  p.Ridge(410, 170, 170, 3, Rgb(92, 70, 122), 0.25f, 0.0f);
  p.Mist(330, 420, Rgb(230, 150, 130), 0.35f, 5);
  p.Ridge(455, 95, 110, 8, Rgb(52, 40, 82), 0.35f, 0.9f);
  PaintCastle(p, 138, 420, 1.15f, Rgb(26, 20, 44));
  p.Mist(420, 500, Rgb(120, 90, 140), 0.30f, 9);
  p.Ridge(540, 60, 80, 13, Rgb(26, 22, 38), 0.6f, 0.4f);
  p.Vignette(0.7f);
  p.Text("Realms of Vrask", kTitleFont, 66, 400, 118, kGoldTop, kGoldBottom, kInk, 2.6f, 3.5f);
  PaintButtonFrame(p, layout, 18);
  PaintButtonPlaques(p, layout);
  p.Panel(640, 566, 796, 592, 6, Rgb(10, 8, 20), 0.55f, Rgb(10, 8, 20), 0.0f);
  return p;
}

Painting QuickBattleMenuBackground(const ScreenLayout& layout) {
  Painting p;
  p.VerticalGradient(
      0, 420,
      {{0.0f, Rgb(40, 14, 30)}, {0.4f, Rgb(120, 40, 40)}, {0.75f, Rgb(220, 100, 50)}, {1.0f, Rgb(255, 196, 110)}});
  p.Glow(400, 408, 54, 220, Rgb(255, 236, 170), Rgb(255, 150, 70), 0.55f);
  p.Ridge(430, 110, 150, 21, Rgb(110, 44, 50), 0.2f, 0.0f);
  p.Mist(380, 450, Rgb(255, 170, 110), 0.3f, 23);
  p.Ridge(470, 70, 120, 27, Rgb(56, 22, 32), 0.4f, 0.8f);
  PaintArmy(p, 40, 230, 492, Rgb(24, 10, 16), Rgb(150, 30, 30), 3);
  PaintArmy(p, 575, 765, 496, Rgb(24, 10, 16), Rgb(40, 60, 150), 4);
  p.Ridge(560, 40, 90, 31, Rgb(26, 12, 18), 0.6f, 0.3f);
  p.Vignette(0.7f);
  p.Text("Quick Battle", kTitleFont, 58, 400, 104, kGoldTop, kGoldBottom, kInk, 2.4f, 3.5f);
  p.Panel(130, 150, 670, 196, 10, Rgb(12, 8, 16), 0.6f, Rgb(12, 8, 16), 0.0f);
  PaintButtonFrame(p, layout, 18);
  PaintButtonPlaques(p, layout);
  return p;
}

// Faint contour lines and little mountains drawn on the parchment, and a compass rose.
void PaintOldMap(Painting& p, float left, float top, float right, float bottom) {
  const Colour inkLine = Rgb(130, 96, 58);
  p.ShadeArea(left, top, right, bottom, [&](float x, float y, const Colour& pixel) {
    const float h = FractalNoise(x / 120.0f, y / 120.0f, 41, 4);
    const float contour = std::fabs(std::fmod(h * 14.0f, 1.0f) - 0.5f);
    const float line = std::max(0.0f, 1.0f - contour * 16.0f);
    Colour out = Mix(pixel, inkLine, 0.35f * line);
    if (h < 0.42f) out = Mix(out, Rgb(150, 170, 170), 0.25f);  // water
    return out;
  });
  for (int i = 0; i < 26; ++i) {
    const float x = left + 30 + ValueNoise(i * 1.7f, 0.2f, 5) * (right - left - 60);
    const float y = top + 30 + ValueNoise(i * 2.3f, 0.9f, 6) * (bottom - top - 60);
    p.Polygon({{x - 9, y + 6}, {x, y - 8}, {x + 9, y + 6}}, inkLine, 0.45f);
  }
  const float cx = right - 70, cy = bottom - 70;
  for (int k = 0; k < 8; ++k) {
    const float angle = k * 3.14159265f / 4;
    const float length = k % 2 == 0 ? 46.0f : 26.0f;
    p.Polygon({{cx + std::cos(angle) * length, cy + std::sin(angle) * length},
               {cx + std::cos(angle + 0.35f) * 8, cy + std::sin(angle + 0.35f) * 8},
               {cx, cy},
               {cx + std::cos(angle - 0.35f) * 8, cy + std::sin(angle - 0.35f) * 8}},
              k % 2 == 0 ? Rgb(120, 40, 30) : inkLine, 0.7f);
  }
}

Painting MapSelectionBackground(const ScreenLayout& layout) {
  Painting p;
  p.Shade([](float x, float y, const Colour&) {
    const float grain = FractalNoise(x / 200.0f, y / 14.0f, 61, 4);
    return Mix(Rgb(40, 24, 14), Rgb(84, 52, 28), grain);
  });
  p.Panel(30, 112, 770, 588, 8, Rgb(226, 206, 160), 1.0f, Rgb(110, 70, 30), 2.5f);
  PaintOldMap(p, 34, 116, 766, 584);
  p.Text("Choose a Battlefield", kTitleFont, 46, 400, 80, kGoldTop, kGoldBottom, kInk, 2.2f, 3.0f);
  for (const Widget& w : layout.Widgets())
    if (w.kind == WidgetKind::kListBox)
      // A mid tone: the list brightens its chosen line halfway to white, which pale paper
      // would hide.
      p.Panel(w.rect800.left - 8.0f, w.rect800.top - 8.0f, w.rect800.right + 8.0f, w.rect800.bottom + 8.0f, 6,
              Rgb(176, 148, 104), 1.0f, kPlaqueRim, 2.0f);
  p.Panel(120, 446, 680, 478, 8, Rgb(40, 24, 14), 0.8f, Rgb(40, 24, 14), 0.0f);
  PaintButtonPlaques(p, layout);
  return p;
}

}  // namespace

ScreenLayout MainMenuLayout() {
  ScreenLayout layout("MainScreen", "MainMenu");
  layout.Global("BackgroundFile", "Main Menu");
  const char* captions[] = {"New Campaign", "Load Game", "Quick Battle", "Online Lobby", "Battle Options", "Quit"};
  for (int i = 0; i < 6; ++i) AddButton(layout, i + 1, {285, 178 + 56 * i, 515, 218 + 56 * i}, captions[i]);
  Widget& version = layout.Add(WidgetKind::kText, 1, {650, 568, 796, 590});
  version.font = "TINY";
  version.text = "Version";
  version.textFlags = "LEFT";
  version.colours = {{236, 226, 196}};
  return layout;
}

ScreenLayout QuickBattleMenuLayout() {
  ScreenLayout layout("QuickBattleMainMenu", "Quick Battle Main Menu");
  layout.Global("BackgroundFile", "Quick Battle");
  const char* captions[] = {"Host a Network Battle", "Join a Network Battle", "Single Player Battle", "Back"};
  for (int i = 0; i < 4; ++i) AddButton(layout, i + 1, {220, 240 + 60 * i, 580, 282 + 60 * i}, captions[i]);
  Widget& hint = layout.Add(WidgetKind::kText, 1, {140, 156, 660, 190});
  hint.text = "Fight one battle, alone or against friends";
  hint.textFlags = "CENTRE";
  hint.colours = {{246, 226, 180}};
  return layout;
}

ScreenLayout MapSelectionLayout() {
  ScreenLayout layout("MapSelectionScreen", "Map Selection Screen");
  layout.Global("BackgroundFile", "Map Selection");
  AddButton(layout, 1, {220, 500, 390, 540}, "Accept");
  AddButton(layout, 2, {410, 500, 580, 540}, "Cancel");
  layout.Add(WidgetKind::kListBox, 1, {200, 150, 600, 426}).font = "LARGE";
  Widget& hint = layout.Add(WidgetKind::kText, 1, {130, 448, 670, 476});
  hint.text = "Click a region twice, or choose it and Accept";
  hint.textFlags = "CENTRE";
  hint.colours = {{246, 230, 190}};
  return layout;
}

LayoutPoint WidgetCentre(const ScreenLayout& layout, WidgetKind kind, int number, bool highRes) {
  for (const Widget& w : layout.Widgets())
    if (w.kind == kind && w.number == number) {
      const LayoutRect r = highRes ? w.rect800 : (w.rect640 ? *w.rect640 : ScaledTo640(w.rect800));
      return LayoutPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
  return LayoutPoint{};
}

namespace {

FORGE_STEP(MainMenuScreen) {
  const ScreenLayout layout = MainMenuLayout();
  layout.Write(ctx);
  WriteMenuBackground(ctx, "Interface\\MainScreen\\", "Main Menu", MainMenuBackground(layout));
}

FORGE_STEP(QuickBattleMenuScreen) {
  const ScreenLayout layout = QuickBattleMenuLayout();
  layout.Write(ctx);
  WriteMenuBackground(ctx, "Interface\\QuickBattleMainMenu\\", "Quick Battle", QuickBattleMenuBackground(layout));
}

FORGE_STEP(MapSelectionScreen) {
  const ScreenLayout layout = MapSelectionLayout();
  layout.Write(ctx);
  WriteMenuBackground(ctx, "Interface\\MapSelectionScreen\\", "Map Selection", MapSelectionBackground(layout));
}

}  // namespace

}  // namespace forge
