// The results screen of quick and network battles.
#include "battle/QuickBattleEndScreen.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "battle/Battle.h"
#include "battle/BattleSystems.h"
#include "battle/Scanner.h"
#include "battle/SelectBar.h"
#include "battle/SpotIcons.h"
#include "core/ErrorBox.h"
#include "core/Main.h"
#include "graphics/Display.h"
#include "graphics/PixelFormat.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "ui/Cursor.h"
#include "ui/RadioButton.h"
#include "ui/WidgetControls.h"

namespace {

// The score a row shows: a handicap of 100 or more multiplies the player's score.
int AdjustedScore(const CPlayerSlot& player) { return (player.handicap / 100 + 1) * player.score; }

}  // namespace

int RankPlayerSlots(const CPlayerSlot slots[kPlayerSlotCount], ResultsRow rows[kPlayerSlotCount]) {
  // Ranked by the score shown, so no row shows more than the one above it; equal scores keep
  // the slots' order.
  int order[kPlayerSlotCount];
  for (int i = 0; i < kPlayerSlotCount; ++i) order[i] = i;
  std::stable_sort(order, order + kPlayerSlotCount,
                   [&](int a, int b) { return AdjustedScore(slots[a]) > AdjustedScore(slots[b]); });
  int count = 0;
  for (int slot : order) {
    const CPlayerSlot& player = slots[slot];
    if (std::strcmp(player.name, "No Player") == 0) continue;
    ResultsRow& row = rows[count++];
    row.slot = slot;
    row.portrait = player.portrait;
    row.name = player.name;
    row.kills = player.kills;
    row.deaths = player.deaths;
    row.handicap = player.handicap;
    row.adjustedScore = AdjustedScore(player);
  }
  return count;
}

namespace {
CQuickBattleEndScreen* g_quickBattleEnd = nullptr;
}  // namespace

CQuickBattleEndScreen& QuickBattleEndScreen() {
  if (!g_quickBattleEnd) g_quickBattleEnd = new CQuickBattleEndScreen;
  return *g_quickBattleEnd;
}

void DestroyQuickBattleEndScreen() {
  delete g_quickBattleEnd;
  g_quickBattleEnd = nullptr;
}

CQuickBattleEndScreen::CQuickBattleEndScreen() {
  id = kQuickBattleEndScreenId;
  fadesOn = 0;  // the battle shows through at once
}

CQuickBattleEndScreen::~CQuickBattleEndScreen() { Unload(); }

void CQuickBattleEndScreen::Enter() {
  if (loaded) return;
  savedCursor = g_cursorKind;
  closeRequested = 0;
  pendingPush = nullptr;
  popupWasOpen_ = g_selectBar.popupOpen;
  if (popupWasOpen_) g_selectBar.TogglePopup();
  scannerWasShown_ = g_scanner.Shown();
  g_scanner.Hide();
  g_spotIcons.HideAll();
  Load();
}

void CQuickBattleEndScreen::Exit() {
  Unload();
  if (popupWasOpen_ && !g_selectBar.popupOpen) g_selectBar.TogglePopup();
  if (scannerWasShown_) g_scanner.Show();
  g_spotIcons.ShowAll();
  SetCursorKind(savedCursor);
}

void CQuickBattleEndScreen::Resume() {
  pendingPush = nullptr;
  if (loaded) return;
  SetCursorKind(kCursorNormal);
  Load();
}

void CQuickBattleEndScreen::ReadConfig(const char* fileName) {
  widgetConfigs.assign(kLabels + kButtons + kPictures, CWidgetConfig{});
  for (int n = 0; n < kLabels; ++n)
    LoadWidgetConfig(fileName, &widgetConfigs[static_cast<size_t>(n)], kWidgetText, n + 1);
  for (int n = 0; n < kButtons; ++n)
    LoadWidgetConfig(fileName, &widgetConfigs[static_cast<size_t>(kLabels + n)], kWidgetTextButton, n + 1);
  for (int n = 0; n < kPictures; ++n)
    LoadWidgetConfig(fileName, &widgetConfigs[static_cast<size_t>(kLabels + kButtons + n)], kWidgetPictureBox, n + 1);
}

std::string CQuickBattleEndScreen::PicturePath() const {
  char stem[256] = {};
  ReadScreenGlobal("BackgroundFile", kLayout, stem);
  char path[512];
  std::snprintf(path, sizeof path, "Interface\\QuickBattleEnd\\%ix%i\\%s %i-%i%s", ScreenWidth(), ScreenHeight(), stem,
                ScreenWidth(), ScreenHeight(), ".JPG");
  return path;
}

void CQuickBattleEndScreen::Load() {
  if (loaded) return;
  ReadConfig(kLayout);
  SurfaceDesc desc;
  desc.flags = kDescCaps | kDescWidth | kDescHeight;
  desc.caps = kCapsOffscreenPlain | kCapsSystemMemory;
  desc.width = ScreenWidth();
  desc.height = ScreenHeight();
  backgroundSurface_.Create(&desc);
  background = &backgroundSurface_;
  const std::string picture = PicturePath();
  if (!backgroundSurface_.LoadJpeg(picture.c_str())) ShowFileLoadError(picture.c_str());
  char sprite[256];
  std::snprintf(sprite, sizeof sprite, "Interface\\MultiplayerBattleSetup\\MultiPBattle Screen buttons %i-%i.spr",
                ScreenWidth(), ScreenHeight());
  if (!buttonsSprite_.IsLoaded() && !buttonsSprite_.Load(sprite, 2)) {
    platform::ShowMessageBox("Unable to load sprite in mutliPbattle screen", "ERROR", WarningBoxFlags());
    platform::ExitProcess(1);
  }
  for (int n = 0; n < kLabels; ++n) labels_[n] = MakeWidgetLabel(widgetConfigs[static_cast<size_t>(n)]);

  callback_ = std::make_unique<CFunctionCallback>([this](int control) { OnButton(control); });
  CRadioGroup noRadios;
  for (int n = 0; n < kButtons; ++n)
    buttons_[n] = MakeWidgetControl(kWidgetTextButton, widgetConfigs[static_cast<size_t>(kLabels + n)], n,
                                    callback_.get(), noRadios);
  // Back to the battle as a spectator (0) or as its player (1); neither once back before.
  if (returned) {
    buttons_[0].reset();
    buttons_[1].reset();
  } else if (hasArmy) {
    buttons_[0].reset();
  } else {
    buttons_[1].reset();
  }
  for (int n = 0; n < kPictures; ++n) {
    pictures_[n].Create(widgetConfigs[static_cast<size_t>(kLabels + kButtons + n)].Rect(), &buttonsSprite_, -1);
    pictures_[n].SetSurface(&g_backBuffer);
  }
  controls.Reserve(kButtons);
  for (int n = 0; n < kButtons; ++n)
    if (buttons_[n]) controls.Add(buttons_[n].get(), n == 2);
  RefreshRows();
  ReportRows();
  loaded = 1;
}

// The rows as the screen first shows them, told on stderr like the battle's set-up: a
// record of the battle for the one who runs the game unattended.
void CQuickBattleEndScreen::ReportRows() const {
  ResultsRow rows[kPlayerSlotCount];
  const int count = RankPlayerSlots(g_playerSlots, rows);
  std::string line = "battle results:";
  for (int r = 0; r < count; ++r) {
    char row[160];
    std::snprintf(row, sizeof row, "%s %s kills %d deaths %d handicap %d score %d", r ? ";" : "", rows[r].name.c_str(),
                  rows[r].kills, rows[r].deaths, rows[r].handicap, rows[r].adjustedScore);
    line += row;
  }
  std::fprintf(stderr, "%s\n", line.c_str());
}

void CQuickBattleEndScreen::Unload() {
  loaded = 0;
  controls.Clear();
  for (auto& button : buttons_) button.reset();
  callback_.reset();
  background = nullptr;
  backgroundSurface_.Release();
  buttonsSprite_.Free();
  widgetConfigs.clear();
}

void CQuickBattleEndScreen::OnButton(int control) {
  closeRequested = 1;
  if (control == 2 && g_battle) g_battle->quitRequested = 1;
}

void CQuickBattleEndScreen::RefreshRows() {
  ResultsRow rows[kPlayerSlotCount];
  const int count = RankPlayerSlots(g_playerSlots, rows);
  for (int r = 0; r < kPictures; ++r) {
    CTextLabel* row = &labels_[kFirstRowLabel + kRowLabels * r];
    if (r >= count) {
      pictures_[r].SetFrame(-1);
      for (int f = 0; f < kRowLabels; ++f) row[f].SetText("");
      continue;
    }
    pictures_[r].SetFrame(rows[r].portrait >= 0 ? kPortraitFrame + 3 * rows[r].portrait : -1);
    row[0].SetText(rows[r].name.c_str());
    row[1].SetNumber(rows[r].kills);
    row[2].SetNumber(rows[r].deaths);
    row[3].SetNumber(rows[r].handicap);
    row[4].SetNumber(rows[r].adjustedScore);
  }
}

void CQuickBattleEndScreen::Draw() {
  if (!g_backBuffer.IsCreated()) return;
  if (background) background->BlitTo(&g_backBuffer, 0, 0);
  for (CTextLabel& label : labels_) label.Draw();
  // Each button stands on a plate of its own (none shows where a button was taken away).
  for (auto& button : buttons_) {
    if (!button) continue;
    const platform::Rect rim = button->rect;
    const platform::Rect face{rim.left + 2, rim.top + 2, rim.right - 2, rim.bottom - 2};
    g_backBuffer.FillRect(&rim, PackColour(120, 84, 36));
    g_backBuffer.FillRect(&face, PackColour(236, 222, 184));
    button->Draw();
  }
  for (CPictureBox& picture : pictures_) picture.Draw();
}

void CQuickBattleEndScreen::AfterDraw() {
  if (!fading) RefreshRows();
  CBattle* battle = g_battle;
  if (!battle || closeRequested) return;
  // A battle that is over leaves once it is on top again.
  // (The results of a quick battle that is over stay until the player leaves.)
  if (battle->quitRequested || battle->leaveRequested || battle->endRequested ||
      (g_aiOnlyEnd && BattleSystems().AIFinished() && !battle->finalResultsShown)) {
    closeRequested = 1;
    return;
  }
  if (battle->finalResultsShown) return;
  // The battle runs on underneath, unseen: its frame without its drawing.
  const int skip = g_skipThisFrame;
  g_skipThisFrame = 1;
  battle->Update();
  g_skipThisFrame = skip;
}
