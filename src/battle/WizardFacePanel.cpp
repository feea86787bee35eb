#include "battle/WizardFacePanel.h"

#include <algorithm>
#include <cstdio>

#include "battle/PanelBattle.h"
#include "battle/SelectBar.h"
#include "core/ErrorBox.h"
#include "core/Preferences.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "ui/Control.h"
#include "ui/ControlArt.h"

CWizardFacePanel g_wizardFacePanel;

const char* const kPortraitFiles[kPortraitCount] = {
    "bitmaps\\Edric Young.bmp", "bitmaps\\Edric Middle.bmp", "bitmaps\\Edric Old.bmp", "bitmaps\\druid.bmp",
    "bitmaps\\Enchantress.bmp", "bitmaps\\Apprentice.bmp",   "bitmaps\\Weaver.bmp",    "bitmaps\\champion.bmp",
    "bitmaps\\Paladin.bmp",     "bitmaps\\Overlord.bmp",     "bitmaps\\Usurper.bmp",   "bitmaps\\warden.bmp"};

namespace {

constexpr int kPortraitWidth = 164;
constexpr int kFadedColumn = 81;
constexpr int kGaugeX = 102;  // where the gauge stands on the select bar's surface
constexpr int kGaugeY = 30;
constexpr int kManaBarLeft = 82;  // the mana bar's part of the select bar's surface
constexpr int kManaBarRight = 202;
constexpr int kGameQuickBattle = 1;
constexpr int kGameNetworkBattle = 2;

void LoadManaSprite(CSprite& sprite, const char* path, const char* name) {
  if (sprite.IsLoaded() || sprite.Load(path, 2)) return;
  char text[64];
  std::snprintf(text, sizeof text, "Could not load %s", name);
  platform::ShowMessageBox(text, "INITIALISATION ERROR", WarningBoxFlags());
}

// value x steps / maximum within 0..steps, worked wide: a wizard's values may be as large as
// an int holds.
int Share(int64_t value, int steps, int maximum) {
  return static_cast<int>(std::clamp<int64_t>(value * steps / std::max(maximum, 1), 0, steps));
}

}  // namespace

void CWizardFacePanel::Init() {
  LoadManaSprite(manaYellow, "sprites\\ManaYellow.spr", "ManaYellow.spr");
  LoadManaSprite(manaDullYellow, "sprites\\ManaDullYellow.spr", "ManaDullYellow.spr");
  LoadManaSprite(manaBlack, "sprites\\manablack.spr", "manablack.spr");
  texts.Free();
  if (!texts.Load("cfg\\wizardface.cfg") || texts.Count() == 0)
    platform::ShowMessageBox("Unable to load wizardface.cfg", "LOAD ERROR", WarningBoxFlags());
  PlaceForResolution();
}

void CWizardFacePanel::PlaceForResolution() {
  const int left = g_prefs.isHighRes ? 680 : 520, top = g_prefs.isHighRes ? 460 : 340;
  Register({left, top, left + 115, top + 140}, active);
}

void CWizardFacePanel::Activate() {
  flag = 1;
  active = index != -1 ? 1 : 0;
}

void CWizardFacePanel::Release() {
  portrait.restorer = nullptr;
  restore_.reset();
  portrait.Release();
  wizard_ = -1;
  flag = 0;
  Deactivate();
}

void CWizardFacePanel::Load() {
  // The resolution may have changed since the last battle.
  PlaceForResolution();
  if (!CreatePanelSurface(portrait, kPortraitWidth, kGaugeSize, 0, 0)) return;
  if (!restore_)
    restore_ = std::make_unique<CPanelRestoreCallback>([this] {
      LoadPortrait();
      RedrawHealthGauge();
    });
  portrait.restorer = restore_.get();
  LoadPortrait();
}

void CWizardFacePanel::LoadPortrait() {
  portrait.Fill(kPanelKeyColour);
  portrait.SetColourKey(0, 0, 255);
  const int gameType = g_panelBattle->GameType(), army = g_panelBattle->LocalArmy();
  int entry = 0;
  if (gameType == kGameQuickBattle || gameType == kGameNetworkBattle) {
    if (army < 0) return;
    entry = g_panelBattle->ArmyPortrait(army);
    if (entry < 0 || entry >= kPortraitCount) entry = 0;
  } else {
    PanelWizardState state;
    if (wizard_ >= 0 && g_panelBattle->GetWizard(wizard_, state)) entry = std::clamp(state.rankTier, 0, 2);
  }
  if (portrait.LoadBitmap(kPortraitFiles[entry]) || (entry != 0 && portrait.LoadBitmap(kPortraitFiles[0]))) return;
  platform::ShowMessageBox("Could not load wizard face bmp", "INITIALISATION ERROR", WarningBoxFlags());
  platform::ExitProcess(1);
}

void CWizardFacePanel::SetHealthMax(int maximum) { healthMax = std::max(maximum, 1); }
void CWizardFacePanel::SetManaValue(int value) { mana = value; }

void CWizardFacePanel::CopyGauge(int left, int top, int right, int bottom, int atY) {
  if (top >= bottom) return;
  CopyPanelRect(portrait, {left, top, right, bottom}, g_selectBar.barSurface, kGaugeX, atY, true);
}

void CWizardFacePanel::UpdateHealthGauge(int value) {
  value = std::clamp(value, 0, healthMax);
  const int filled = Share(value, kGaugeSize, healthMax), top = kGaugeSize - filled;
  if (value < health) {
    if (filled != kGaugeSize) CopyGauge(kFadedColumn, 0, kFadedColumn + kGaugeSize, top, kGaugeY);
  } else if (filled != 0) {
    CopyGauge(0, top, kGaugeSize, kGaugeSize, kGaugeY + top);
  }
  health = value;
  RequestPanelRedraw();
}

void CWizardFacePanel::RedrawHealthGauge() {
  const int filled = Share(std::clamp(health, 0, healthMax), kGaugeSize, healthMax), top = kGaugeSize - filled;
  CopyGauge(kFadedColumn, 0, kFadedColumn + kGaugeSize, top, kGaugeY);
  CopyGauge(0, top, kGaugeSize, kGaugeSize, kGaugeY + top);
  lastYellowEnd = 0;
  lastFilledEnd = kManaBarSteps;
  PaintManaBar();
}

void CWizardFacePanel::SetManaLevel(int value) {
  mana = value / 256;
  PaintManaBar();
}

void CWizardFacePanel::SetManaLimit(int maximum) {
  manaMax = maximum;
  PaintManaBar();
}

void CWizardFacePanel::SetSpellCost(int cost) {
  spellCost = cost;
  PaintManaBar();
}

int CWizardFacePanel::YellowEnd() const {
  if (mana == spellCost) return 1;
  return Share(int64_t{mana} - spellCost, kManaBarSteps, manaMax);
}

int CWizardFacePanel::FilledEnd() const { return Share(mana, kManaBarSteps, manaMax); }

void CWizardFacePanel::PaintManaBar() {
  if (wizard_ < 0) return;
  const int yellowEnd = YellowEnd(), filledEnd = FilledEnd();
  SurfacePrinting printing(&g_selectBar.barSurface, {kManaBarLeft, 0, kManaBarRight, 140});
  if (!printing) return;
  // Each frame is one step of the bar, placed by its own offset from the bar's corner.
  for (int i = lastYellowEnd; i < yellowEnd; ++i) PrintControlFrame(&manaYellow, i, kManaBarLeft, 0);
  for (int i = yellowEnd; i < filledEnd; ++i) PrintControlFrame(&manaDullYellow, i, kManaBarLeft, 0);
  for (int i = filledEnd; i < lastFilledEnd; ++i) PrintControlFrame(&manaBlack, i, kManaBarLeft, 0);
  lastYellowEnd = yellowEnd;
  lastFilledEnd = filledEnd;
  RequestPanelRedraw();
}

void CWizardFacePanel::OnMouse(int flags, CMouseEvent) {
  if ((flags & MF_LEFT_UP) && wizard_ >= 0) {
    g_selectBar.PressSelected();
    if (g_panelBattle->SelectWizardAlone(wizard_)) g_panelBattle->FocusOnWizard(wizard_);
  }
  if ((flags & MF_ENTER) && wizard_ >= 0) {
    char text[256];
    std::snprintf(text, sizeof text, "%s : %i\n%s : %i\n%s : %i", texts.Get(0), health, texts.Get(1), manaMax,
                  texts.Get(3), mana);
    g_panelBattle->ShowTooltipText(text);
  }
  if (flags & MF_LEAVE) {
    RestartTooltipTimer();
    RequestPanelRedraw();
  }
}
