// The end of a battle: the defeat messages (cfg\battle defeat messages.cfg), the realms'
// outcome texts and region titles (Interface\BattleEnd\<realm>.cfg), the victory and defeat
// screens with their pictures at both resolutions, the results screen of quick and network
// battles and the Experience Processing screen.
#include <cstdio>
#include <string>
#include <vector>

#include "forge/BattleEndLayouts.h"
#include "forge/Forge.h"
#include "forge/IniText.h"
#include "forge/Painting.h"

namespace forge {

namespace {

constexpr const char* kTitleFont = "DejaVuSerif-Bold.ttf";
const Colour kCream = Rgb(244, 232, 200);
const Colour kGold = Rgb(250, 214, 120);
const Colour kInk = Rgb(38, 20, 6);

Widget& AddLabel(ScreenLayout& layout, int number, LayoutRect rect, const std::string& text, const char* flags,
                 Colour colour, const char* font = "") {
  Widget& label = layout.Add(WidgetKind::kText, number, rect);
  label.text = text;
  label.textFlags = flags;
  label.font = font;
  label.colours = {{static_cast<int>(colour.r), static_cast<int>(colour.g), static_cast<int>(colour.b)}};
  return label;
}

Widget& AddButton(ScreenLayout& layout, int number, LayoutRect rect, const char* text) {
  Widget& button = layout.Add(WidgetKind::kTextButton, number, rect);
  button.font = "LARGE";
  button.text = text;
  return button;
}

// --- the victory and defeat screens -------------------------------------------------------------

constexpr int kPanelLeft = 160, kPanelTop = 118, kPanelRight = 640, kPanelBottom = 590;
constexpr int kRowTop = 186, kRowPitch = 32;
constexpr int kTotalTop = kRowTop + 7 * kRowPitch + 12;

Painting BattleEndPicture(bool victory) {
  Painting p;
  if (victory) {
    p.VerticalGradient(0, 420, {{0.0f, Rgb(40, 60, 120)}, {0.5f, Rgb(220, 140, 70)}, {1.0f, Rgb(255, 214, 130)}});
    p.Glow(400, 400, 70, 260, Rgb(255, 244, 200), Rgb(255, 190, 90), 0.7f);
    p.Ridge(430, 70, 140, 11, Rgb(70, 60, 70), 0.4f, 0.35f);
    p.Ridge(500, 40, 90, 12, Rgb(44, 52, 40), 0.5f, 0.3f);
    p.Mist(380, 470, Rgb(255, 220, 170), 0.35f, 13);
  } else {
    p.VerticalGradient(0, 430, {{0.0f, Rgb(14, 10, 16)}, {0.6f, Rgb(70, 28, 24)}, {1.0f, Rgb(120, 50, 30)}});
    p.Glow(620, 390, 30, 200, Rgb(200, 90, 50), Rgb(140, 40, 20), 0.5f);
    p.Ridge(440, 80, 120, 21, Rgb(26, 20, 24), 0.5f, 0.2f);
    p.Ridge(510, 40, 80, 22, Rgb(18, 14, 16), 0.6f, 0.15f);
    p.Mist(360, 480, Rgb(90, 80, 80), 0.45f, 23);
  }
  p.Vignette(0.55f);
  // The heading's band, then the panel the awards stand on.
  p.Rect(0, 14, 800, 66, Rgb(8, 6, 12), 0.45f);
  const Colour rim = victory ? Rgb(214, 170, 70) : Rgb(150, 70, 50);
  p.Panel(kPanelLeft, kPanelTop, kPanelRight, kPanelBottom, 12, Rgb(12, 10, 20), 0.72f, rim, 2.0f);
  // A thin rule under the column heads and above the total.
  p.Rect(kPanelLeft + 24, kRowTop - 4, kPanelRight - 24, kRowTop - 2, rim, 0.7f);
  p.Rect(kPanelLeft + 24, kTotalTop - 6, kPanelRight - 24, kTotalTop - 4, rim, 0.7f);
  // The button's well.
  p.Panel(320, 540, 480, 580, 4, Rgb(236, 222, 184), 1.0f, Rgb(120, 84, 36), 1.5f);
  return p;
}

}  // namespace

ScreenLayout BattleEndLayout(bool victory) {
  ScreenLayout layout("BattleEnd", victory ? "Battle End - Victory" : "Battle End - Defeat");
  const int left = kPanelLeft + 28, split = 500, right = kPanelRight - 28;
  AddLabel(layout, 1, {left, kRowTop - 30, split, kRowTop - 6}, "Deeds of the battle", "LEFT", kGold);
  AddLabel(layout, 2, {split, kRowTop - 30, right, kRowTop - 6}, "Experience", "RIGHT", kGold);
  for (int row = 0; row < 7; ++row) {
    const int top = kRowTop + kRowPitch * row;
    AddLabel(layout, 3 + 2 * row, {left, top, split, top + kRowPitch - 4}, "", "LEFT", kCream);
    AddLabel(layout, 4 + 2 * row, {split, top, right - 52, top + kRowPitch - 4}, "", "RIGHT", kCream);
  }
  AddLabel(layout, 17, {left, kTotalTop, split, kTotalTop + 28}, victory ? "Experience gained" : "No experience gained",
           "LEFT", kGold);
  AddLabel(layout, 18, {split, kTotalTop, right - 58, kTotalTop + 28}, "", "RIGHT", kGold);
  AddLabel(layout, 19, {right - 50, kTotalTop, right + 8, kTotalTop + 28}, "", "LEFT", Rgb(200, 190, 170));
  AddLabel(layout, 20, {left, kTotalTop + 36, right, kTotalTop + 100}, "", "CENTRE", Rgb(255, 180, 150));
  AddButton(layout, 1, {320, 540, 480, 580}, "Continue");
  return layout;
}

// --- the results screen ----------------------------------------------------------------------

namespace {

constexpr int kResultsRowTop = 168, kResultsRowPitch = 86;
constexpr int kColumns[6] = {170, 390, 465, 545, 655, 740};  // name, kills, deaths, handicap, score

Painting QuickBattleEndPicture() {
  Painting p;
  p.VerticalGradient(0, 600, {{0.0f, Rgb(16, 14, 34)}, {0.6f, Rgb(40, 28, 48)}, {1.0f, Rgb(62, 36, 30)}});
  p.Stars(260, 140, 31);
  p.Ridge(540, 50, 110, 32, Rgb(24, 18, 26), 0.5f, 0.3f);
  p.Vignette(0.6f);
  p.Text("Battle Results", kTitleFont, 40, 400, 70, Rgb(255, 240, 170), Rgb(214, 150, 40), kInk, 2.0f, 3.0f);
  const Colour rim = Rgb(196, 150, 60);
  p.Panel(60, 110, 760, kResultsRowTop + 4 * kResultsRowPitch + 10, 10, Rgb(12, 10, 24), 0.72f, rim, 2.0f);
  // The rows' portraits bring their own rims: a row without a player leaves nothing behind.
  for (int row = 1; row < 4; ++row) {
    const float top = static_cast<float>(kResultsRowTop + kResultsRowPitch * row);
    p.Rect(80, top - 11, 740, top - 10, rim, 0.35f);
  }
  // The buttons' plates are the screen's to paint: one of them may be taken away.
  return p;
}

}  // namespace

ScreenLayout QuickBattleEndLayout() {
  ScreenLayout layout("QuickBattleEnd", "Quick Battle End");
  layout.Global("BackgroundFile", "Quick Battle End");
  AddLabel(layout, 1, {80, 86, 720, 106}, "Ranked by score: handicap adds to it", "CENTRE", Rgb(200, 190, 170), "TINY");
  const char* heads[5] = {"Player", "Kills", "Deaths", "Handicap", "Score"};
  for (int c = 0; c < 5; ++c)
    AddLabel(layout, 2 + c, {kColumns[c], 122, kColumns[c + 1], 146}, heads[c], c == 0 ? "LEFT" : "CENTRE", kGold);
  for (int row = 0; row < 4; ++row) {
    const int top = kResultsRowTop + kResultsRowPitch * row;
    for (int c = 0; c < 5; ++c)
      AddLabel(layout, 7 + 5 * row + c, {kColumns[c], top + 18, kColumns[c + 1], top + 46}, "",
               c == 0 ? "LEFT" : "CENTRE", kCream, c == 0 ? "LARGE" : "");
  }
  AddButton(layout, 1, {90, 530, 330, 570}, "Keep Watching");
  AddButton(layout, 2, {90, 530, 330, 570}, "Back to Battle");
  AddButton(layout, 3, {470, 530, 710, 570}, "Leave Battle");
  for (int row = 0; row < 4; ++row) {
    const int top = kResultsRowTop + kResultsRowPitch * row;
    layout.Add(WidgetKind::kPictureBox, row + 1, {90, top, 154, top + 64}).spriteIndexes = {-1};
  }
  return layout;
}

// --- Experience Processing -------------------------------------------------------------------

namespace {

Painting ExperiencePicture() {
  Painting p;
  p.VerticalGradient(0, 600, {{0.0f, Rgb(8, 8, 24)}, {0.7f, Rgb(30, 24, 60)}, {1.0f, Rgb(50, 30, 60)}});
  p.Stars(600, 260, 41);
  p.Glow(400, 260, 60, 200, Rgb(200, 220, 255), Rgb(90, 110, 220), 0.6f);
  p.Vignette(0.6f);
  p.Text("Experience Processing", kTitleFont, 40, 400, 90, Rgb(220, 230, 255), Rgb(120, 140, 220), kInk, 2.0f, 3.0f);
  // The progress bar's frame (the bar itself, 598 x 36 at 101, 564).
  p.Panel(95, 558, 705, 600, 6, Rgb(10, 10, 20), 0.85f, Rgb(150, 160, 220), 2.0f);
  return p;
}

}  // namespace

ScreenLayout ExperienceProcessingLayout() {
  ScreenLayout layout("ExperienceProcessing", "Experience Processing");
  layout.Global("BackgroundFile", "Experience Processing");
  AddLabel(layout, 1, {100, 470, 700, 540}, "The wizards ponder what the battle taught them...", "CENTRE",
           Rgb(220, 226, 255), "LARGE");
  return layout;
}

namespace {

// The realms' outcome texts and the titles of their regions (ITEM_<region - 1>).
struct RealmTitles {
  const char* realm;
  const char* victory;
  const char* defeat;
  std::vector<const char*> titles;
};
const RealmTitles kRealmTitles[] = {
    {"moorland",
     "Victory",
     "Defeat",
     {"The Standing Stones", "The Keep of Cadoc", "The Great Moor", "The Barrows", "The Northern Fells", "Sallow Marsh",
      "The High Crags"}},
    {"multiplayer", "Victory", "Defeat", {"Moor Gate", "Castle Reach", "The Great Moor", "Cliffs of Ash", "Lakeside"}},
};

const char* const kDefeatMessages[] = {
    "Your wizard has fallen, and the army scatters.",
    "%s has been slain, and the battle is lost.",
    "The time for the battle ran out.",
    "Your army has been destroyed.",
    "%s has fled the field.",
};

FORGE_STEP(BattleEndScreens) {
  IniText messages;
  messages.Comment("Why a battle was lost, shown on the defeat screen; %s names who");
  messages.Section("STRINGS");
  for (int n = 0; n < static_cast<int>(std::size(kDefeatMessages)); ++n) {
    char key[8];
    std::snprintf(key, sizeof key, "STR_%02d", n);
    messages.Key(key, kDefeatMessages[n]);
  }
  ctx.WriteText("cfg\\battle defeat messages.cfg", messages.Text());

  for (const RealmTitles& realm : kRealmTitles) {
    IniText ini;
    ini.Comment("The end screen's heading: the outcome, then the region's title (ITEM_<region - 1>)");
    ini.Section("HEADER");
    ini.Key("VictoryText", realm.victory).Key("DefeatText", realm.defeat);
    for (int n = 0; n < static_cast<int>(realm.titles.size()); ++n) {
      ini.Section("ITEM_" + std::to_string(n));
      ini.Key("Title", realm.titles[n]);
    }
    ctx.WriteText(std::string("Interface\\BattleEnd\\") + realm.realm + ".cfg", ini.Text());
  }

  for (bool victory : {true, false}) {
    BattleEndLayout(victory).Write(ctx);
    WriteMenuBackground(ctx, "Interface\\BattleEnd\\", victory ? "Battle Victory Screen" : "Battle Defeat Screen",
                        BattleEndPicture(victory));
  }
  QuickBattleEndLayout().Write(ctx);
  WriteMenuBackground(ctx, "Interface\\QuickBattleEnd\\", "Quick Battle End", QuickBattleEndPicture());
  ExperienceProcessingLayout().Write(ctx);
  WriteMenuBackground(ctx, "Interface\\ExperienceProcessing\\", "Experience Processing", ExperiencePicture());
}

}  // namespace

}  // namespace forge
