#include "frontend/CharacterScreen.h"

#include <cstdio>
#include <cstring>

#include "core/ErrorBox.h"
#include "creatures/WizardTable.h"
#include "frontend/ScreenTable.h"
#include "graphics/Display.h"
#include "platform/Numbers.h"
#include "ui/Button.h"
#include "ui/Cursor.h"

CCharacterScreen* g_characterScreen = nullptr;

namespace {

constexpr int kTextButtons = 2, kGradientBars = 3, kSpriteBars = 3, kStepButtons = 12;
constexpr int kVarExperience = -1;
constexpr int kFaceTiers = 3;
constexpr int kBlueTolerance = 15;
// Where the face stands on the background, in 800 x 600 (scaled for 640 x 480).
constexpr int kFaceLeft = 20, kFaceTop = 110;

constexpr CostGroup kGroupOf[CCharacterScreen::kAttributes] = {kCostMana,     kCostHealth,   kCostControl,
                                                               kCostTalisman, kCostTalisman, kCostTalisman};

// The label tokens that show a number, and what they show.
struct NumberToken {
  const char* token;
  int shows;
};
constexpr NumberToken kTokens[] = {
    {"VAR_EXPERIENCE", kVarExperience},
    {"VAR_MANACOST", CCharacterScreen::kMana},
    {"VAR_HEALTHCOST", CCharacterScreen::kHealth},
    {"VAR_CONTROLCOST", CCharacterScreen::kControl},
    {"VAR_LAWCOST", CCharacterScreen::kLaw},
    {"VAR_NEUTRALCOST", CCharacterScreen::kNeutral},
    {"VAR_VRASKCOST", CCharacterScreen::kVrask},
};

std::vector<MenuWidget> CharacterWidgets() {
  std::vector<MenuWidget> widgets = MenuOfButtons(kTextButtons, CCharacterScreen::kLabels);
  for (int n = 1; n <= kGradientBars; ++n) widgets.push_back({kWidgetStatBar, n, false});
  for (int n = 1; n <= kSpriteBars; ++n) widgets.push_back({kWidgetSpriteBar, n, false});
  for (int n = 1; n <= kStepButtons; ++n) widgets.push_back({kWidgetStandardButton, n, true});
  return widgets;
}

std::string ArtFolder() {
  char folder[64];
  std::snprintf(folder, sizeof folder, "Interface\\CharacterScreen\\%ix%i\\", ScreenWidth(), ScreenHeight());
  return folder;
}

// The attribute as the wizard holds it.
int32_t& WizardValue(CWizard& wizard, int attribute) {
  switch (attribute) {
    case CCharacterScreen::kMana:
      return wizard.maxMana;
    case CCharacterScreen::kHealth:
      return wizard.maxHealth;
    case CCharacterScreen::kControl:
      return wizard.controlLimit;
    default:
      return wizard.talismans[attribute - CCharacterScreen::kLaw];
  }
}

}  // namespace

CCharacterScreen::CCharacterScreen()
    : CFrontEndMenu(kScreenCharacter, "Interface\\CharacterScreen\\", "screen (Character Screen).cfg",
                    CharacterWidgets()) {}

CWizard* CCharacterScreen::Wizard() const { return g_wizardTable.At(FindPlayerWizardIndex()); }

std::string CCharacterScreen::BackgroundPath() const { return ArtFolder() + "CharacterScreen.JPG"; }

std::string CCharacterScreen::FacePath(int tier) {
  if (tier < 0 || tier >= kFaceTiers) tier = 0;
  return ArtFolder() + "WizardFace" + std::to_string(tier) + ".JPG";
}

void CCharacterScreen::LoadBackgroundPicture() {
  CFrontEndMenu::LoadBackgroundPicture();
  const CWizard* wizard = Wizard();
  const std::string path = FacePath(wizard ? wizard->GetRankTier() : 0);
  const bool high = ScreenWidth() == 800;
  CSurface face;
  SurfaceDesc desc;
  desc.flags = kDescCaps | kDescWidth | kDescHeight;
  desc.caps = kCapsOffscreenPlain | kCapsSystemMemory;
  desc.width = high ? 400 : 320;
  desc.height = high ? 300 : 240;
  face.Create(&desc);
  if (!face.LoadJpeg(path.c_str())) ShowFileLoadError(path.c_str());
  // The picture's blue ground is see-through; a JPEG's blue is never quite pure.
  face.SnapToColourKey(0, 0, 255, kBlueTolerance);
  face.SetColourKey(0, 0, 255);
  if (background) face.BlitToKeyed(background, kFaceLeft * ScreenWidth() / 800, kFaceTop * ScreenHeight() / 600);
  face.Release();
}

void CCharacterScreen::Enter() {
  if (loaded) return;
  closeRequested = 0;
  SetCursorKind(kCursorNormal);
  Load();
  pendingPush = nullptr;
}

void CCharacterScreen::AfterLoad() {
  const std::string spritePath = ArtFolder() + "sprites.spr";
  if (!sprite_.Load(spritePath.c_str(), 2)) ShowFileLoadError(spritePath.c_str());
  costs = StepCosts();
  costs.Read(LayoutFile());

  widgetBars_.clear();
  for (int i = 0; i < kGradientBars; ++i)
    if (const CWidgetConfig* config = WidgetConfig(kWidgetStatBar, i))
      widgetBars_.push_back(MakeWidgetBar(kWidgetStatBar, *config, &sprite_));
  for (int i = 0; i < kSpriteBars; ++i)
    if (const CWidgetConfig* config = WidgetConfig(kWidgetSpriteBar, i))
      widgetBars_.push_back(MakeWidgetBar(kWidgetSpriteBar, *config, &sprite_));
  for (int i = 0; i < kStepButtons; ++i)
    if (auto* button = static_cast<CButton*>(ControlOf(kWidgetStandardButton, i))) button->SetFrameSprite(&sprite_);

  numberLabels_.clear();
  for (int i = 0; i < kLabels; ++i) {
    const CWidgetConfig* config = WidgetConfig(kWidgetText, i);
    for (const NumberToken& token : kTokens)
      if (config && std::strcmp(config->text, token.token) == 0) numberLabels_.emplace_back(i, token.shows);
  }

  CWizard* wizard = Wizard();
  unspent = wizard ? wizard->experience : 0;
  for (int a = 0; a < kAttributes; ++a) {
    const CWidgetConfig* config =
        a < kGradientBars ? WidgetConfig(kWidgetStatBar, a) : WidgetConfig(kWidgetSpriteBar, a - kGradientBars);
    bars[a].maximum = config ? config->maxValue : 0;
    bars[a].value = bars[a].floor = wizard ? WizardValue(*wizard, a) : 0;
  }
  UpdateCostsAndLabels();
}

void CCharacterScreen::Unload() {
  widgetBars_.clear();
  numberLabels_.clear();
  sprite_.Free();
  CFrontEndMenu::Unload();
}

void CCharacterScreen::UpdateCostsAndLabels() {
  for (int a = 0; a < kAttributes; ++a) {
    raiseCosts[a] = costs.RaiseCost(kGroupOf[a], bars[a].value);
    refunds[a] = costs.Refund(kGroupOf[a], bars[a].value);
    if (a < static_cast<int>(widgetBars_.size())) widgetBars_[a].SetValue(bars[a].value);
  }
  for (const auto& [label, shows] : numberLabels_)
    if (CTextLabel* text = Label(label)) text->SetNumber(shows == kVarExperience ? unspent : raiseCosts[shows]);
}

void CCharacterScreen::StepDown(int attribute) {
  Bar& bar = bars[attribute];
  const int next = bar.value - costs.groups[kGroupOf[attribute]].increment;
  if (next < bar.floor || next > bar.maximum) return;
  unspent = platform::SaturatingAdd(unspent, refunds[attribute]);
  bar.value = next;
}

void CCharacterScreen::StepUp(int attribute) {
  if (unspent < raiseCosts[attribute]) return;
  Bar& bar = bars[attribute];
  const int next = platform::SaturatingAdd(bar.value, costs.groups[kGroupOf[attribute]].increment);
  if (next < bar.floor || next > bar.maximum) return;
  unspent -= raiseCosts[attribute];
  bar.value = next;
}

void CCharacterScreen::Accept() {
  CWizard* wizard = Wizard();
  for (Bar& bar : bars) bar.floor = bar.value;
  if (wizard) {
    wizard->experience = unspent;
    for (int a = 0; a < kAttributes; ++a) {
      const int value = bars[a].value;
      WizardValue(*wizard, a) = a < kGradientBars && value < 1 ? 0 : value;
    }
  }
  LeaveClosing();
}

void CCharacterScreen::Cancel() {
  const CWizard* wizard = Wizard();
  unspent = wizard ? wizard->experience : 0;
  for (Bar& bar : bars) bar.value = bar.floor;
  LeaveClosing();
}

void CCharacterScreen::PressButton(int id) {
  if (id == kAccept) {
    Accept();
    return;
  }
  if (id == kCancel) {
    Cancel();
    return;
  }
  const int step = id - kFirstStep;
  if (step < 0 || step >= 2 * kAttributes) return;
  if (step % 2 == 0)
    StepDown(step / 2);
  else
    StepUp(step / 2);
  UpdateCostsAndLabels();
}

void CCharacterScreen::OnClick(int type, int index) {
  if (type == kWidgetTextButton) PressButton(index);
  if (type == kWidgetStandardButton) PressButton(kFirstStep + index);
}

void CCharacterScreen::Draw() {
  CFrontEndMenu::Draw();
  if (!g_backBuffer.IsCreated()) return;
  for (const CWidgetBar& bar : widgetBars_) bar.Draw(&g_backBuffer);
}
