#include "frontend/SinglePlayerBattle.h"

#include <cstdio>
#include <cstring>

#include "core/ErrorBox.h"
#include "core/GameSettings.h"
#include "core/Options.h"
#include "core/PlayerSlot.h"
#include "core/Preferences.h"
#include "core/Random.h"
#include "core/StringTable.h"
#include "frontend/MultiplayerRegions.h"
#include "frontend/QuickBattleDefaults.h"
#include "frontend/QuickBattleMagic.h"
#include "frontend/QuickBattleMenu.h"
#include "frontend/RegionEntry.h"
#include "frontend/ScreenTable.h"
#include "frontend/SpellBoxHandOver.h"
#include "graphics/Display.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "ui/Button.h"
#include "ui/Cursor.h"
#include "ui/EditBox.h"
#include "ui/SliderBar.h"

CSinglePlayerBattleScreen* g_singlePlayerBattle = nullptr;

namespace {

constexpr int kPictureBoxes = 6;
constexpr const char* kWizardNamesFile = "Interface\\SinglePlayerBattle\\wizardnames.cfg";

// The button sprite's frames: colour c from 3c, the remove button from 24, portrait p from 27 + 3p;
// each normal, highlighted, pressed.
int ColourFrame(int colour) { return 3 * colour; }
int PortraitFrame(int portrait) { return 27 + 3 * portrait; }

std::vector<MenuWidget> SetUpWidgets() {
  std::vector<MenuWidget> widgets;
  for (int n = 1; n <= 3; ++n) widgets.push_back({kWidgetTextButton, n, true});
  for (int n = 1; n <= 4; ++n) widgets.push_back({kWidgetStandardButton, n, true});
  for (int n = 1; n <= 17; ++n) widgets.push_back({kWidgetSliderBar, n, true});
  for (int n = 1; n <= 40; ++n) widgets.push_back({kWidgetText, n, false});
  for (int n = 1; n <= kPictureBoxes; ++n) widgets.push_back({kWidgetPictureBox, n, false});
  widgets.push_back({kWidgetEditBox, 1, true});  // the player's name, last in the focus order
  return widgets;
}

[[noreturn]] void FailSetUp(const char* text) {
  platform::ShowMessageBox(text, "ERROR", WarningBoxFlags());
  platform::ExitProcess(1);
}

void SetButtonFrames(CButton* button, int normal) {
  if (!button) return;
  button->SetFrames(normal, normal + 2, -1);
  button->SetAltFrames(-1, normal + 1, -1);
}

}  // namespace

CSinglePlayerBattleScreen::CSinglePlayerBattleScreen()
    : CFrontEndMenu(kScreenSinglePlayerBattle, "Interface\\SinglePlayerBattle\\", "screen (Single Player Battle).cfg",
                    SetUpWidgets()) {}

CSinglePlayerBattleScreen::~CSinglePlayerBattleScreen() { Unload(); }

CSliderBar* CSinglePlayerBattleScreen::Slider(int index) const {
  return static_cast<CSliderBar*>(ControlOf(kWidgetSliderBar, index));
}

void CSinglePlayerBattleScreen::Enter() {
  if (loaded) return;
  closeRequested = 0;
  pendingPush = nullptr;
  pendingPopTo = nullptr;
  goToBattle = 0;
  ResetPlayerSlots();
  Load();
}

void CSinglePlayerBattleScreen::Suspend() {
  // Above it the map selection tells it the chosen map, so it stays loaded for that one.
  if (!mapSelectionAbove_) Unload();
  mapSelectionAbove_ = false;
}

void CSinglePlayerBattleScreen::Resume() {
  pendingPush = nullptr;
  if (loaded || pendingPopTo) return;
  if (goToBattle) {
    HandOverToRegionEntry();
    return;
  }
  SetCursorKind(kCursorNormal);
  Load();
}

void CSinglePlayerBattleScreen::Unload() {
  if (!loaded) return;
  CFrontEndMenu::Unload();
  for (CPictureBox& picture : pictures_) picture = CPictureBox{};
  buttonSprite_.Free();
  wizardNames_.reset();
}

void CSinglePlayerBattleScreen::AfterLoad() {
  char spritePath[256];
  std::snprintf(spritePath, sizeof spritePath,
                "Interface\\MultiplayerBattleSetup\\MultiPBattle Screen buttons %i-%i.spr", ScreenWidth(),
                ScreenHeight());
  if (!buttonSprite_.Load(spritePath, 2)) FailSetUp("Unable to load sprite in mutliPbattle screen");
  wizardNames_ = std::make_unique<CStringTable>();
  if (!wizardNames_->Load(kWizardNamesFile) || wizardNames_->Count() < kSlotPortraits)
    FailSetUp("Unable to load wizard names in single play battle");

  for (int b = 0; b < 4; ++b)
    if (auto* button = static_cast<CButton*>(ControlOf(kWidgetStandardButton, b)))
      button->SetFrameSprite(&buttonSprite_);
  SetButtonFrames(static_cast<CButton*>(ControlOf(kWidgetStandardButton, kRemoveRow2)), 24);
  SetButtonFrames(static_cast<CButton*>(ControlOf(kWidgetStandardButton, kRemoveRow3)), 24);
  for (int i = 0; i < kPictureBoxes; ++i) {
    const CWidgetConfig* config = WidgetConfig(kWidgetPictureBox, i);
    pictures_[i].Create(config ? config->Rect() : platform::Rect{}, &buttonSprite_, 0);
    pictures_[i].SetSurface(&g_backBuffer);
  }
  for (bool& removed : removed_) removed = false;

  SettingRange ranges[kGameSettingsTuningFields];
  CSliderBar* rules[kGameSettingsTuningFields];
  for (int n = 0; n < kRuleSliders; ++n) rules[n] = Slider(n);
  SettingRangesOf(rules, ranges);
  LoadQuickBattleDefaults(QuickBattleSection::kSingle, ranges);

  char mapName[kRegionNameSize];
  if (!GetMultiplayerRegionName(g_gameSettings.regionIndex, mapName)) {
    std::snprintf(mapName, sizeof mapName, "No Map");
    g_gameSettings.regionIndex = 0;
  }
  if (CTextLabel* label = Label(13)) label->SetText(mapName);

  SetUpPlayers();
  for (int n = 0; n < kRuleSliders; ++n) {
    const int value = *GameSettingsField(g_gameSettings, n + 1);
    if (CSliderBar* slider = Slider(n)) slider->PlaceValue(value);
    if (CTextLabel* label = Label(27 + n)) label->SetNumber(value);
  }
  for (int row = 0; row < kPlayerSlotCount; ++row) {
    if (CSliderBar* slider = Slider(kFirstHandicapSlider + row)) slider->PlaceValue(0);
    if (CTextLabel* label = Label(4 + row)) label->SetNumber(0);
  }
}

void CSinglePlayerBattleScreen::SetUpPlayers() {
  CPlayerSlot& player = g_playerSlots[0];
  player.SetName(g_prefs.playerName.c_str());
  player.portrait = 0;
  player.handicap = 0;
  player.colour = 0;
  ShowRow(0);
  for (int row = 1; row < kPlayerSlotCount; ++row) {
    CPlayerSlot& slot = g_playerSlots[row];
    const int32_t drawn = static_cast<int32_t>((g_random.Next() & 0x7fffffffu) % kSlotPortraits);
    slot.portrait = NextFreeLook(g_playerSlots, kPlayerSlotCount, SlotLook::kPortrait, drawn);
    slot.SetName(wizardNames_->Get(slot.portrait));
    slot.handicap = 0;
    slot.colour = NextFreeLook(g_playerSlots, kPlayerSlotCount, SlotLook::kColour, 0);
    ShowRow(row);
  }
}

void CSinglePlayerBattleScreen::ShowRow(int row) {
  const CPlayerSlot& slot = g_playerSlots[row];
  if (row == 0) {
    // The player's name is typed in its box; the label under it stays empty.
    CEditBox* box = NameBox();
    if (box) box->SetText(slot.name);
    if (CTextLabel* name = Label(0)) name->SetText(box ? "" : slot.name);
  } else if (CTextLabel* name = Label(row)) {
    name->SetText(slot.name);
  }
  if (row == 0) {
    SetButtonFrames(static_cast<CButton*>(ControlOf(kWidgetStandardButton, kPortrait)), PortraitFrame(slot.portrait));
    SetButtonFrames(static_cast<CButton*>(ControlOf(kWidgetStandardButton, kColour)), ColourFrame(slot.colour));
    return;
  }
  // An empty row shows no pictures.
  pictures_[row - 1].SetFrame(slot.portrait >= 0 ? PortraitFrame(slot.portrait) : -1);
  pictures_[row + 2].SetFrame(slot.colour >= 0 ? ColourFrame(slot.colour) : -1);
}

void CSinglePlayerBattleScreen::RemoveRow(int row) {
  if (row < 2 || row >= kPlayerSlotCount || removed_[row]) return;
  removed_[row] = true;
  CPlayerSlot& slot = g_playerSlots[row];
  slot.SetName(kNoPlayerName);
  slot.portrait = -1;
  slot.handicap = 0;
  slot.colour = -1;
  WithdrawControl(kWidgetSliderBar, kFirstHandicapSlider + row);
  WithdrawControl(kWidgetStandardButton, row);  // the remove button of the row
  if (CTextLabel* handicap = Label(4 + row)) handicap->SetText("");
  ShowRow(row);
}

void CSinglePlayerBattleScreen::Draw() {
  CFrontEndMenu::Draw();
  for (CPictureBox& picture : pictures_) picture.Draw();
}

void CSinglePlayerBattleScreen::OnClick(int type, int index) {
  if (!loaded) return;
  if (type == kWidgetSliderBar) {
    OnSlider(index);
  } else if (type == kWidgetStandardButton) {
    CPlayerSlot& player = g_playerSlots[0];
    if (index == kPortrait) {
      player.portrait = NextFreeLook(g_playerSlots, kPlayerSlotCount, SlotLook::kPortrait, player.portrait);
      ShowRow(0);
    } else if (index == kColour) {
      player.colour = NextFreeLook(g_playerSlots, kPlayerSlotCount, SlotLook::kColour, player.colour);
      ShowRow(0);
    } else {
      RemoveRow(index);
    }
  } else if (type == kWidgetEditBox) {
    KeepPlayerName();
  } else if (type == kWidgetTextButton) {
    if (index == kBack) {
      LeaveClosing();
    } else if (index == kChooseMap || (index == kStart && g_gameSettings.regionIndex == 0)) {
      // With no map chosen, Start asks for one first.
      g_mapSelection->SetCaller(kScreenSinglePlayerBattle, this);
      mapSelectionAbove_ = true;
      LeaveTo(g_mapSelection);
    } else if (index == kStart) {
      Start();
    }
  }
}

void CSinglePlayerBattleScreen::OnSlider(int index) {
  CSliderBar* slider = Slider(index);
  if (!slider) return;
  const int value = slider->value;
  if (index < kRuleSliders) {
    *GameSettingsField(g_gameSettings, index + 1) = value;
    if (CTextLabel* label = Label(27 + index)) label->SetNumber(value);
    if (index == kLivesSlider)
      for (CPlayerSlot& slot : g_playerSlots) slot.lives = value;
    return;
  }
  const int row = index - kFirstHandicapSlider;
  if (row < 0 || row >= kPlayerSlotCount || removed_[row]) return;
  g_playerSlots[row].handicap = value;
  if (CTextLabel* label = Label(4 + row)) label->SetNumber(value);
}

void CSinglePlayerBattleScreen::ShowMapName(const char* name) {
  if (CTextLabel* label = Label(13)) label->SetText(name);
}

CEditBox* CSinglePlayerBattleScreen::NameBox() const { return static_cast<CEditBox*>(ControlOf(kWidgetEditBox, 0)); }

void CSinglePlayerBattleScreen::KeepPlayerName() {
  const CEditBox* box = NameBox();
  if (!box) return;
  std::string name = box->Text();
  name.erase(0, name.find_first_not_of(' '));
  name.erase(name.find_last_not_of(' ') + 1);
  // An emptied box keeps the name the player had.
  if (!name.empty()) {
    g_playerSlots[0].SetName(name.c_str());
    if (g_prefs.playerName != g_playerSlots[0].name) {
      g_prefs.playerName = g_playerSlots[0].name;
      g_prefs.Save();
    }
  }
  ShowRow(0);
}

void CSinglePlayerBattleScreen::Start() {
  KeepPlayerName();
  const bool talismans =
      g_gameSettings.lawTalisman > 0 || g_gameSettings.neutralTalisman > 0 || g_gameSettings.vraskTalisman > 0;
  if (g_gameSettings.magicItems > 0 && talismans) {
    DealQuickBattleMagic(g_gameSettings, g_playerSlots, g_random);
    if (CScreen* spellBox = OpenTimedSpellBox(0, g_gameSettings.selectionTime)) {
      goToBattle = 1;
      LeaveTo(spellBox);
      return;
    }
  }
  BeginFadeOut();
  HandOverToRegionEntry();
}

void CSinglePlayerBattleScreen::HandOverToRegionEntry() {
  SaveQuickBattleDefaults(QuickBattleSection::kSingle);
  g_networkGame = 0;
  g_gameMode = kGameModeQuickBattle;
  // Every player starts with the lives of the rules, whether or not their slider moved.
  for (CPlayerSlot& slot : g_playerSlots) slot.lives = g_gameSettings.lives;
  g_regionEntry->PrepareQuickBattle(g_gameSettings.regionIndex, g_realmName);
  pendingPush = g_regionEntry;
  pendingPopTo = g_quickBattleMenu;
}
