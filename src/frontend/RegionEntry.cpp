#include "frontend/RegionEntry.h"

#include <cstdio>
#include <vector>

#include "core/DataFile.h"
#include "core/ErrorBox.h"
#include "core/GameSettings.h"
#include "core/Options.h"
#include "core/Random.h"
#include "frontend/CharacterScreen.h"
#include "frontend/FrontEndBattle.h"
#include "frontend/FrontEndWizards.h"
#include "frontend/Grimoire.h"
#include "frontend/RealmView.h"
#include "frontend/ScreenTable.h"
#include "graphics/Display.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "ui/Cursor.h"
#include "ui/RadioButton.h"

CRegionEntryScreen* g_regionEntry = nullptr;

namespace {

constexpr int kRadioButtons = 4;
constexpr int kStandardButtons = 3;
constexpr int kHideInFirstRegion[] = {1, 2};  // the spell box and character buttons
constexpr int kGrimoireStandardButton = 0;
constexpr int kCharacterStandardButton = 2;

std::vector<MenuWidget> RegionEntryWidgets() {
  return {{kWidgetTextButton, 1, true},     {kWidgetTextButton, 2, true},     {kWidgetStandardButton, 1, true},
          {kWidgetStandardButton, 2, true}, {kWidgetStandardButton, 3, true}, {kWidgetRadioButton, 1, true},
          {kWidgetRadioButton, 2, true},    {kWidgetRadioButton, 3, true},    {kWidgetRadioButton, 4, true},
          {kWidgetText, 1, false}};
}

std::string RegionPicture(const std::string& realm, int region) {
  char path[512];
  std::snprintf(path, sizeof path, "Interface\\RegionEntry\\%ix%i\\%s_Region_%02d.JPG", ScreenWidth(), ScreenHeight(),
                realm.c_str(), region);
  return path;
}

}  // namespace

std::string RegionNameFromText(const std::string& text, int region) {
  if (region <= 0) return CRegionEntryScreen::kInvalidRegionName;
  size_t at = 0;
  for (int k = region - 1; k > 0; --k) {
    const size_t feed = text.find('\n', at);
    if (feed == std::string::npos) return CRegionEntryScreen::kInvalidRegionName;
    at = feed + 1;
  }
  if (at < text.size() && (text[at] == '\r' || text[at] == '\n')) ++at;
  if (at >= text.size()) return CRegionEntryScreen::kInvalidRegionName;
  const size_t end = text.find_first_of(std::string("\r\n\0", 3), at);
  return text.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

int DifficultyButton(int difficulty) { return difficulty < 0 ? 0 : difficulty > 2 ? 3 : difficulty; }

CRegionEntryScreen::CRegionEntryScreen()
    : CFrontEndMenu(kScreenRegionEntry, "Interface\\RegionEntry\\", "screen (Region Entry).cfg", RegionEntryWidgets()) {
}

std::string CRegionEntryScreen::BackgroundPath() const {
  const std::string picture = RegionPicture(realmName, region);
  if (platform::FileExists(picture)) return picture;
  return RegionPicture("Moorland", 1);
}

void CRegionEntryScreen::Enter() {
  if (loaded) return;
  closeRequested = 0;
  Load();
  pendingPush = nullptr;
}

void CRegionEntryScreen::Exit() {
  Unload();
  pendingPush = nullptr;
}

void CRegionEntryScreen::Suspend() { Exit(); }

void CRegionEntryScreen::Resume() {
  if (loaded) return;
  SetCursorKind(kCursorNormal);
  Load();
}

void CRegionEntryScreen::PrepareQuickBattle(int newRegion, const char* newRealm) {
  const std::string realm = newRealm ? newRealm : "";
  if (newRegion != region || realm != realmName) {
    region = newRegion;
    realmName = realm;
    ReadRegionNames();
  }
  mode = kFromQuickBattle;
}

void CRegionEntryScreen::ReadRegionNames() {
  if (realmName.empty()) return;
  char path[512];
  std::snprintf(path, sizeof path, "Realms\\%s\\regionNames.txt", realmName.c_str());
  CDataFile file;
  if (!file.Open(path, "rb")) ShowFileLoadError(path);
  const int size = file.GetSize(0);
  if (size < 0) ShowFileLoadError(path);
  std::string text(static_cast<size_t>(size), '\0');
  if (size > 0 && !file.ReadAll(text.data())) ShowFileLoadError(path);
  regionName = RegionNameFromText(text, region);
}

void CRegionEntryScreen::AfterLoad() {
  if (mode == kFromQuickBattle) {
    for (int b = 0; b < kStandardButtons; ++b) WithdrawControl(kWidgetStandardButton, b);
    for (int r = 0; r < kRadioButtons; ++r) WithdrawControl(kWidgetRadioButton, r);
  } else {
    if (platform::EqualNoCase(realmName, "moorland") && region == 1)
      for (int b : kHideInFirstRegion) WithdrawControl(kWidgetStandardButton, b);
    auto* radio = static_cast<CRadioButton*>(ControlOf(kWidgetRadioButton, DifficultyButton(g_difficulty)));
    if (radio && radio->group) radio->group->Select(radio, false);
  }
  if (CTextLabel* label = Label(0); label && !regionName.empty()) label->SetText(regionName.c_str());
}

void CRegionEntryScreen::OnClick(int type, int index) {
  if (!loaded) return;
  if (type == kWidgetRadioButton) return;
  if (mode != kFromQuickBattle)
    for (int r = 0; r < kRadioButtons; ++r)
      if (auto* radio = static_cast<CRadioButton*>(ControlOf(kWidgetRadioButton, r)); radio && radio->Selected())
        g_difficulty = r;
  if (type == kWidgetStandardButton && index == kCharacterStandardButton && g_characterScreen) {
    LeaveTo(g_characterScreen);
    return;
  }
  if (type == kWidgetTextButton && index == kGoOn) {
    GoOn();
  } else if (type == kWidgetTextButton && index == kBack) {
    // Refusing the battle that waits in the player's own region leaves the campaign.
    if (mode == kFromRealmView && !elsewhere && g_realmView) {
      g_realmView->leaveRequested = 1;
      g_realmView->battlePending = 0;
    }
    LeaveClosing();
  }
  // The grimoire opens at the region's own section.
  if (type == kWidgetStandardButton && index == kGrimoireStandardButton && mode != kFromQuickBattle && g_grimoire) {
    g_grimoire->RequestOpen(CRealmView::RealmIndex(realmName.c_str()), region);
    pendingPush = g_grimoire;
    BeginFadeOut();
  }
}

void CRegionEntryScreen::GoOn() {
  if (mode == kFromQuickBattle) {
    BattleSetupRecord setup;
    setup.region = g_gameSettings.regionIndex;
    // No one else seeds a quick battle: the map and the battle take their seeds here.
    setup.mapSeed = static_cast<int32_t>(g_random.Next() & 0x7fffffffu);
    setup.battleSeed = static_cast<int32_t>((g_random.Next() & 0x7fffffffu) % 9999u);
    setup.armies = FrontEndWizards().CountInGroup(setup.region) + 1;
    setup.players = 1;
    setup.localArmy = 0;
    g_lastBattleSetup = setup;
    pendingPush = FrontEndBattle().LoadBattle(setup);
  } else if (g_realmView) {
    g_realmView->ChooseRegion(region);
  }
  LeaveClosing();
}
