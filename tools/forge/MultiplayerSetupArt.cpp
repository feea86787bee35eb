// The screens of a network battle's set-up: the battle set-up screen with its hosting and
// joining parts (three layout files under Interface\MultiplayerBattleSetup\), the three
// session screens that lead to it (join, game selection, set game), their backgrounds at both
// resolutions, and the picture shown while the battle loads.
#include <string>

#include "forge/Forge.h"
#include "forge/MultiplayerSetupLayouts.h"
#include "forge/Painting.h"
#include "forge/Pictures.h"

namespace forge {

namespace {

constexpr const char* kTitleFont = "DejaVuSerif-Bold.ttf";
const Colour kCream = Rgb(244, 232, 200);
const Colour kGoldText = Rgb(250, 214, 120);
const Colour kInk = Rgb(38, 20, 6);

// The players' rows: portrait and colour buttons as large as the shared button sprite's frames
// (the single-player set-up's), the name above the handicap.
constexpr int kRowTop[4] = {70, 150, 230, 310};
constexpr int kSliderTop = 76, kSliderPitch = 28;

LayoutRect PortraitRect(int row) { return {30, kRowTop[row], 94, kRowTop[row] + 64}; }
LayoutRect ColourRect(int row) { return {105, kRowTop[row] + 18, 145, kRowTop[row] + 46}; }
LayoutRect RemoveRect(int row) { return {355, kRowTop[row], 380, kRowTop[row] + 25}; }
LayoutRect HandicapRect(int row) { return {160, kRowTop[row] + 36, 300, kRowTop[row] + 60}; }

Widget& AddLabel(ScreenLayout& layout, int number, LayoutRect rect, const std::string& text, const char* flags,
                 Colour colour, const char* font = "") {
  Widget& label = layout.Add(WidgetKind::kText, number, rect);
  label.text = text;
  label.textFlags = flags;
  label.font = font;
  label.colours = {{static_cast<int>(colour.r), static_cast<int>(colour.g), static_cast<int>(colour.b)}};
  return label;
}

Widget& AddButton(ScreenLayout& layout, int number, LayoutRect rect, const char* caption) {
  Widget& button = layout.Add(WidgetKind::kTextButton, number, rect);
  button.font = "LARGE";
  button.text = caption;
  return button;
}

void AddConnectionChoice(ScreenLayout& layout, int top) {
  const char* connections[3] = {"Local network", "Internet", "Direct"};
  for (int r = 0; r < 3; ++r)
    layout.Add(WidgetKind::kRadioButton, r + 1, {300, top + 36 * r, 560, top + 30 + 36 * r}).text = connections[r];
}

// The two sides' own buttons stand on one strip: the host's map and Start buttons side by side,
// the joining side's Ready across the whole of it, so that neither side shows an empty plate.
const LayoutRect kSideButtons{420, 500, 780, 536};

void PaintPlate(Painting& p, LayoutRect rect) {
  p.Panel(static_cast<float>(rect.left), static_cast<float>(rect.top), static_cast<float>(rect.right),
          static_cast<float>(rect.bottom), 4, Rgb(236, 222, 184), 1.0f, Rgb(120, 84, 36), 1.5f);
}

// Parchment under the widgets whose text is dark ink: buttons, edit boxes, lists and the
// captions of radio buttons.
void PaintPlates(Painting& p, const ScreenLayout& layout) {
  for (const Widget& w : layout.Widgets())
    if (w.kind == WidgetKind::kTextButton || w.kind == WidgetKind::kEditBox || w.kind == WidgetKind::kListBox ||
        w.kind == WidgetKind::kRadioButton)
      PaintPlate(p, w.rect800);
}

Painting NightSky(const char* title, uint32_t seed) {
  Painting p;
  p.VerticalGradient(0, 600, {{0.0f, Rgb(14, 18, 44)}, {0.6f, Rgb(34, 30, 60)}, {1.0f, Rgb(64, 36, 40)}});
  p.Stars(220, 140, seed);
  p.Ridge(560, 50, 110, seed + 3, Rgb(26, 20, 30), 0.5f, 0.3f);
  p.Vignette(0.6f);
  p.Text(title, kTitleFont, 38, 400, 46, Rgb(255, 240, 170), Rgb(214, 150, 40), kInk, 2.0f, 3.0f);
  return p;
}

Painting SetupBackground() {
  Painting p = NightSky("Multiplayer Battle", 61);
  const Colour glass = Rgb(12, 10, 24), rim = Rgb(196, 150, 60);
  p.Panel(15, 60, 395, 416, 10, glass, 0.7f, rim, 2.0f);
  p.Panel(15, 422, 395, 590, 10, glass, 0.7f, rim, 2.0f);
  p.Panel(405, 60, 785, 496, 10, glass, 0.7f, rim, 2.0f);
  for (int row = 0; row < 4; ++row) {
    const LayoutRect pr = PortraitRect(row), cr = ColourRect(row);
    p.Panel(pr.left - 3.0f, pr.top - 3.0f, pr.right + 3.0f, pr.bottom + 3.0f, 34, Rgb(4, 4, 10), 0.8f, Rgb(90, 70, 40),
            1.0f);
    p.Panel(cr.left - 2.0f, cr.top - 2.0f, cr.right + 2.0f, cr.bottom + 2.0f, 4, Rgb(4, 4, 10), 0.8f, Rgb(90, 70, 40),
            1.0f);
  }
  // The players' names are dark ink (red once ready) on parchment.
  for (int row = 0; row < 4; ++row)
    p.Panel(156, kRowTop[row] + 2.0f, 349, kRowTop[row] + 30.0f, 4, Rgb(236, 222, 184), 1.0f, Rgb(120, 84, 36), 1.5f);
  // Plates under the set-up's own text buttons and edit box, and the strip of the hosting and
  // joining parts, which stand on the same picture.
  PaintPlates(p, MultiplayerSetupLayout());
  PaintPlate(p, kSideButtons);
  return p;
}

Painting SessionBackground(const char* title, const ScreenLayout& layout, uint32_t seed) {
  Painting p = NightSky(title, seed);
  p.Panel(200, 120, 600, 520, 12, Rgb(12, 10, 24), 0.72f, Rgb(196, 150, 60), 2.0f);
  PaintPlates(p, layout);
  return p;
}

Painting LoadPicture() {
  Painting p = NightSky("The battle is joined", 83);
  p.Glow(400, 330, 40, 160, Rgb(255, 230, 160), Rgb(200, 90, 40), 0.6f);
  p.Text("Waiting for the other wizards", kTitleFont, 22, 400, 520, kCream, kGoldText, kInk, 1.0f, 2.0f);
  return p;
}

// The network screens' message box, "bitmaps\dlgback.bmp": a parchment plate in a gold rim.
RgbPicture DialogBackground() {
  Painting p;
  p.Rect(0, 0, 800, 600, Rgb(12, 10, 24));
  p.Panel(8, 8, 792, 592, 40, Rgb(236, 222, 184), 1.0f, Rgb(196, 150, 60), 14.0f);
  return p.Reduce(360, 180);
}

}  // namespace

ScreenLayout MultiplayerSetupLayout() {
  ScreenLayout layout("MultiplayerBattleSetup", "MultiPlayer Battle Setup");
  layout.Global("BackgroundFile", "Multiplayer Battle Setup");
  for (int row = 0; row < 4; ++row)
    AddLabel(layout, row + 1, {160, kRowTop[row] + 4, 345, kRowTop[row] + 28}, "No Player", "LEFT", Rgb(0, 0, 0));
  for (int row = 0; row < 4; ++row)
    AddLabel(layout, row + 5, {305, kRowTop[row] + 36, 350, kRowTop[row] + 60}, "0", "CENTRE", kCream);
  for (int row = 0; row < 4; ++row)
    AddLabel(layout, row + 9, HandicapRect(row), "Handicap", "LEFT", Rgb(200, 190, 170), "TINY");
  AddLabel(layout, 13, {30, 392, 380, 412}, "", "LEFT", kGoldText);
  AddLabel(layout, 14, {420, 444, 780, 466}, "No Map", "LEFT", kCream, "LARGE");
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
  AddButton(layout, 1, {305, 556, 390, 584}, "Send").font = "";
  AddButton(layout, 2, {605, 552, 780, 590}, "Back");
  layout.Add(WidgetKind::kMessageListBox, 1, {25, 430, 385, 548}).colours = {{244, 232, 200}, {255, 220, 40}};
  layout.Add(WidgetKind::kEditBox, 1, {25, 556, 298, 584}).text = "";
  for (int row = 0; row < 4; ++row)
    layout.Add(WidgetKind::kStandardButton, row + 1, PortraitRect(row)).spriteIndexes = {27, 29, 28};
  for (int row = 0; row < 4; ++row)
    layout.Add(WidgetKind::kStandardButton, row + 5, ColourRect(row)).spriteIndexes = {0, 2, 1};
  for (int row = 0; row < 4; ++row) {
    Widget& slider = layout.Add(WidgetKind::kSliderBar, row + 1, HandicapRect(row));
    slider.minValue = 0;
    slider.maxValue = 100;
    slider.step = 5;
  }
  return layout;
}

ScreenLayout MultiplayerCreateLayout() {
  ScreenLayout layout("MultiplayerBattleSetup", "MultiPlayer Battle Create");
  const int ranges[13][3] = {{50, 1000, 50}, {50, 1000, 50}, {0, 21, 1}, {10, 300, 10}, {0, 7, 1},
                             {0, 7, 1},      {0, 7, 1},      {0, 60, 1}, {1, 9, 1},     {0, 15, 1},
                             {0, 20, 1},     {0, 20, 1},     {5, 100, 5}};
  for (int n = 0; n < 13; ++n) {
    Widget& slider = layout.Add(WidgetKind::kSliderBar, n + 1,
                                {605, kSliderTop + kSliderPitch * n, 720, kSliderTop + kSliderPitch * n + 24});
    slider.minValue = ranges[n][0];
    slider.maxValue = ranges[n][1];
    slider.step = ranges[n][2];
  }
  // The caption is too wide for the large letters of Start.
  AddButton(layout, 1, {kSideButtons.left, kSideButtons.top, 598, kSideButtons.bottom}, "Choose Map").font = "";
  AddButton(layout, 2, {602, kSideButtons.top, kSideButtons.right, kSideButtons.bottom}, "Start");
  for (int row = 1; row < 4; ++row)
    layout.Add(WidgetKind::kStandardButton, row, RemoveRect(row)).spriteIndexes = {24, 26, 25};
  return layout;
}

ScreenLayout MultiplayerJoinLayout() {
  ScreenLayout layout("MultiplayerBattleSetup", "Multiplayer Battle Join");
  // Across the strip where the host has its map and Start buttons.
  AddButton(layout, 1, kSideButtons, "Ready");
  return layout;
}

ScreenLayout JoinMultiplayerLayout() {
  ScreenLayout layout("JoinMultiplayerScreen", "Join Multiplayer Game");
  layout.Global("BackgroundFile", "Join Multiplayer Game");
  AddLabel(layout, 1, {220, 140, 580, 164}, "Your name", "LEFT", kGoldText);
  AddLabel(layout, 2, {220, 236, 580, 260}, "Connection", "LEFT", kGoldText);
  AddLabel(layout, 3, {220, 390, 580, 420}, "Find the battles of your network", "CENTRE", kCream, "TINY");
  AddConnectionChoice(layout, 270);
  AddButton(layout, 1, {410, 450, 580, 490}, "Continue");
  AddButton(layout, 2, {220, 450, 390, 490}, "Back");
  layout.Add(WidgetKind::kEditBox, 1, {220, 172, 580, 204}).text = "";
  return layout;
}

ScreenLayout MultiplayerGameSelectLayout() {
  ScreenLayout layout("MultiplayerGameSelect", "Multiplayer Game Selection");
  layout.Global("BackgroundFile", "Multiplayer Game Selection");
  AddLabel(layout, 1, {220, 134, 580, 160}, "Battles waiting for players", "CENTRE", kGoldText);
  layout.Add(WidgetKind::kListBox, 1, {220, 170, 580, 430}).font = "LARGE";
  AddButton(layout, 1, {410, 450, 580, 490}, "Join");
  AddButton(layout, 2, {220, 450, 390, 490}, "Back");
  return layout;
}

ScreenLayout SetMultiplayerLayout() {
  ScreenLayout layout("SetMultiplayerScreen", "Set Multiplayer Game");
  layout.Global("BackgroundFile", "Set Multiplayer Game");
  AddLabel(layout, 1, {220, 130, 580, 154}, "Name of the battle", "LEFT", kGoldText);
  AddLabel(layout, 2, {220, 200, 580, 224}, "Your name", "LEFT", kGoldText);
  AddLabel(layout, 3, {220, 270, 580, 294}, "Connection", "LEFT", kGoldText);
  AddLabel(layout, 4, {220, 412, 580, 436}, "Others join by the battle's name", "CENTRE", kCream, "TINY");
  layout.Add(WidgetKind::kEditBox, 1, {220, 160, 580, 192}).text = "";
  layout.Add(WidgetKind::kEditBox, 2, {220, 230, 580, 262}).text = "";
  AddConnectionChoice(layout, 300);
  AddButton(layout, 1, {410, 450, 580, 490}, "Create");
  AddButton(layout, 2, {220, 450, 390, 490}, "Back");
  return layout;
}

namespace {

FORGE_STEP(MultiplayerSetupScreens) {
  MultiplayerSetupLayout().Write(ctx);
  MultiplayerCreateLayout().Write(ctx);
  MultiplayerJoinLayout().Write(ctx);
  WriteMenuBackground(ctx, "Interface\\MultiplayerBattleSetup\\", "Multiplayer Battle Setup", SetupBackground());
}

FORGE_STEP(MultiplayerSessionScreens) {
  const ScreenLayout join = JoinMultiplayerLayout(), select = MultiplayerGameSelectLayout(),
                     set = SetMultiplayerLayout();
  join.Write(ctx);
  select.Write(ctx);
  set.Write(ctx);
  WriteMenuBackground(ctx, "Interface\\JoinMultiplayerScreen\\", "Join Multiplayer Game",
                      SessionBackground("Join a Network Battle", join, 71));
  WriteMenuBackground(ctx, "Interface\\MultiplayerGameSelect\\", "Multiplayer Game Selection",
                      SessionBackground("Choose a Battle", select, 73));
  WriteMenuBackground(ctx, "Interface\\SetMultiplayerScreen\\", "Set Multiplayer Game",
                      SessionBackground("Host a Network Battle", set, 79));
  WriteMenuBackground(ctx, "Interface\\MultiplayerBattleLoad\\", "Multiplayer Battle Load", LoadPicture());
  ctx.WriteFile("bitmaps\\dlgback.bmp", MakeBmp24(DialogBackground()));
}

}  // namespace

}  // namespace forge
