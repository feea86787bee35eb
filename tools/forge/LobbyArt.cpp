// The online lobby's login and chat screens: their layout files and their backgrounds at both
// resolutions. Dark ink (edit boxes, lists, buttons) stands on parchment plates; the console's
// light chat colours stand on dark glass.
#include <string>

#include "forge/Forge.h"
#include "forge/LobbyLayouts.h"
#include "forge/Painting.h"
#include "forge/Pictures.h"

namespace forge {

namespace {

constexpr const char* kTitleFont = "DejaVuSerif-Bold.ttf";
constexpr const char* kHintFont = "DejaVuSerif.ttf";
const Colour kCream = Rgb(244, 232, 200);
const Colour kGoldText = Rgb(250, 214, 120);
const Colour kInk = Rgb(38, 20, 6);
const Colour kGlass = Rgb(12, 10, 24);
const Colour kRim = Rgb(196, 150, 60);

// The chat screen's columns: the console on the left, channels and users on the right, two
// rows of buttons along the bottom.
constexpr int kConsoleLeft = 20, kConsoleRight = 520;
constexpr int kListLeft = 540, kListRight = 780;
constexpr int kButtonRowTop[2] = {524, 562};
constexpr int kButtonHeight = 30;

LayoutRect ButtonAt(int row, int column) {
  const int left = 20 + column * 154;
  return {left, kButtonRowTop[row], left + 142, kButtonRowTop[row] + kButtonHeight};
}

Widget& AddLabel(ScreenLayout& layout, int number, LayoutRect rect, const std::string& text, const char* flags,
                 Colour colour) {
  Widget& label = layout.Add(WidgetKind::kText, number, rect);
  label.text = text;
  label.textFlags = flags;
  label.colours = {{static_cast<int>(colour.r), static_cast<int>(colour.g), static_cast<int>(colour.b)}};
  return label;
}

Widget& AddButton(ScreenLayout& layout, int number, LayoutRect rect, const char* caption) {
  Widget& button = layout.Add(WidgetKind::kTextButton, number, rect);
  button.text = caption;
  return button;
}

void PaintPlates(Painting& p, const ScreenLayout& layout) {
  for (const Widget& w : layout.Widgets())
    if (w.kind == WidgetKind::kTextButton || w.kind == WidgetKind::kEditBox || w.kind == WidgetKind::kListBox ||
        w.kind == WidgetKind::kRadioButton)
      p.Panel(static_cast<float>(w.rect800.left), static_cast<float>(w.rect800.top),
              static_cast<float>(w.rect800.right), static_cast<float>(w.rect800.bottom), 4, Rgb(236, 222, 184), 1.0f,
              Rgb(120, 84, 36), 1.5f);
}

Painting LobbySky(const char* title, uint32_t seed) {
  Painting p;
  p.VerticalGradient(0, 600, {{0.0f, Rgb(10, 22, 40)}, {0.55f, Rgb(26, 40, 66)}, {1.0f, Rgb(58, 40, 52)}});
  p.Stars(240, 160, seed);
  p.Glow(660, 70, 16, 70, Rgb(250, 244, 220), Rgb(150, 170, 220), 0.35f);
  p.Ridge(540, 60, 120, seed + 5, Rgb(20, 20, 32), 0.5f, 0.3f);
  p.Vignette(0.6f);
  p.Text(title, kTitleFont, 36, 400, 44, Rgb(255, 240, 170), Rgb(214, 150, 40), kInk, 2.0f, 3.0f);
  return p;
}

Painting LoginBackground(const ScreenLayout& layout) {
  Painting p = LobbySky("The Online Lobby", 87);
  p.Panel(210, 150, 590, 440, 12, kGlass, 0.72f, kRim, 2.0f);
  p.Text("Meet other wizards and set up a battle", kHintFont, 17, 400, 186, kCream, kGoldText, kInk, 1.0f, 1.5f);
  p.Text("Enter logs in, Escape returns to the menu", kHintFont, 15, 400, 412, kCream, kCream, kInk, 1.0f, 1.5f);
  PaintPlates(p, layout);
  return p;
}

Painting ChatBackground(const ScreenLayout& layout) {
  Painting p = LobbySky("The Online Lobby", 89);
  p.Panel(kConsoleLeft - 8.0f, 58, kConsoleRight + 8.0f, 514, 10, kGlass, 0.78f, kRim, 2.0f);
  p.Panel(kListLeft - 8.0f, 58, kListRight + 8.0f, 514, 10, kGlass, 0.72f, kRim, 2.0f);
  // The console itself, darker than its frame.
  p.Panel(kConsoleLeft, 90, kConsoleRight, 470, 4, Rgb(4, 4, 12), 0.85f, Rgb(90, 70, 40), 1.0f);
  p.Text("Players here", kHintFont, 15, (kListLeft + kListRight) / 2.0f, 325, kGoldText, kGoldText, kInk, 1.0f,
         1.5f);
  PaintPlates(p, layout);
  return p;
}

}  // namespace

ScreenLayout LobbyLoginLayout() {
  ScreenLayout layout("LobbyLogin", "Lobby Login");
  layout.Global("BackgroundFile", "Lobby Login");
  AddLabel(layout, 1, {240, 214, 560, 238}, "Lobby name", "LEFT", kGoldText);
  AddLabel(layout, 2, {240, 300, 560, 324}, "Password", "LEFT", kGoldText);
  layout.Add(WidgetKind::kEditBox, 1, {240, 244, 560, 278}).text = "";
  layout.Add(WidgetKind::kEditBox, 2, {240, 330, 560, 364}).text = "";
  return layout;
}

ScreenLayout LobbyChatLayout() {
  ScreenLayout layout("LobbyChat", "Lobby Chat");
  layout.Global("BackgroundFile", "Lobby Chat");
  AddButton(layout, 1, {kConsoleRight - 90, 478, kConsoleRight, 510}, "Act");
  AddButton(layout, 2, ButtonAt(1, 4), "Leave Lobby");
  AddButton(layout, 3, ButtonAt(0, 0), "Join Channel");
  AddButton(layout, 4, ButtonAt(0, 1), "Exit Channel");
  AddButton(layout, 5, ButtonAt(0, 2), "Refresh");
  AddButton(layout, 6, ButtonAt(1, 0), "Ignore");
  AddButton(layout, 7, ButtonAt(1, 1), "Ban");
  AddButton(layout, 8, ButtonAt(1, 2), "Kick");
  AddButton(layout, 9, ButtonAt(1, 3), "Away");
  // Two buttons the screen reads but gives nothing to do: it takes them off at load.
  AddButton(layout, 10, {0, 0, 1, 1}, "");
  AddButton(layout, 11, {0, 0, 1, 1}, "");
  AddButton(layout, 12, ButtonAt(0, 4), "Create Game");
  layout.Add(WidgetKind::kRadioButton, 1, {kListLeft, 64, kListRight, 90}).text = "Chat channels";
  layout.Add(WidgetKind::kRadioButton, 2, {kListLeft, 96, kListRight, 122}).text = "Games";
  layout.Add(WidgetKind::kEditBox, 1, {kConsoleLeft, 478, kConsoleRight - 100, 510}).text = "";
  layout.Add(WidgetKind::kMessageListBox, 1, {kConsoleLeft + 4, 94, kConsoleRight - 4, 466}).colours = {
      {244, 232, 200}, {255, 220, 40}};
  layout.Add(WidgetKind::kListBox, 1, {kListLeft, 130, kListRight, 306});
  layout.Add(WidgetKind::kListBox, 2, {kListLeft, 332, kListRight, 506});
  AddLabel(layout, 1, {kConsoleLeft, 62, kConsoleRight, 86}, "Channel:", "LEFT", kGoldText);
  return layout;
}

namespace {

FORGE_STEP(LobbyScreens) {
  const ScreenLayout login = LobbyLoginLayout(), chat = LobbyChatLayout();
  login.Write(ctx);
  chat.Write(ctx);
  WriteMenuBackground(ctx, "Interface\\LobbyLogin\\", "Lobby Login", LoginBackground(login));
  WriteMenuBackground(ctx, "Interface\\LobbyChat\\", "Lobby Chat", ChatBackground(chat));
}

}  // namespace

}  // namespace forge
