// The battle buttons: the button at the bottom right that shows how many levels of the map the
// view cuts away and steps that cut level when clicked; and the interface a speech hides (the
// select bar, the spot icons and these buttons). All of it is this machine's view: nothing
// here changes the battle.
#include <memory>

#include "battle/Battle.h"
#include "battle/BattleKeys.h"
#include "battle/SelectBar.h"
#include "battle/SpotIcons.h"
#include "core/Preferences.h"
#include "graphics/Display.h"
#include "graphics/SpriteFrame.h"
#include "ui/Control.h"

namespace {

constexpr int kButtonsTooltip = 254;

// The buttons' left-top corner for the resolution.
platform::Rect ButtonsRect(const CSprite& sprite) {
  const bool highRes = g_prefs.isHighRes != 0;
  const int left = highRes ? 630 : 470, top = highRes ? 508 : 388;
  const CSpriteFrame first = sprite.GetFrame(0);
  const int width = first ? first.Width() : 0, height = first ? first.Height() : 0;
  return platform::Rect{left, top, left + width, top + height};
}

}  // namespace

void CBattle::CreateBattleButtons() {
  buttonsShown = 0;
  if (!buttonsSprite.Load("sprites\\battlebuttons.spr", 2)) return;
  if (!buttonsCallback) buttonsCallback = std::make_unique<CFunctionCallback>([this](int) { OnButtonsClick(); });
  if (!buttonsWindow) buttonsWindow = std::make_unique<CButton>();
  CButton& button = *buttonsWindow;
  button.SetSurface(&g_backBuffer);
  button.SetFrameSprite(&buttonsSprite);
  button.tooltipId = kButtonsTooltip;
  ShowBattleButtonsFrame(CurrentBattleButtonsFrame());
  // A reload registers the button again at the place of the resolution now in use.
  if (button.index >= 0) button.Unregister(button.index);
  button.Create(0, ButtonsRect(buttonsSprite), buttonsCallback.get(), nullptr, 1);
  buttonsShown = 1;
}

void CBattle::FreeBattleButtons() {
  buttonsShown = 0;
  buttonsWindow.reset();
  buttonsCallback.reset();
  buttonsSprite.Free();
}

void CBattle::ShowBattleButtonsFrame(int frame) {
  if (!buttonsWindow) return;
  // The sprite's frames picture the cut levels; the pressed button shows the same picture.
  buttonsWindow->SetFrames(frame, frame, -1);
}

void CBattle::DrawBattleButtons() {
  if (buttonsShown && buttonsWindow) buttonsWindow->Draw();
}

void CBattle::HideInterface(int spellKind) {
  g_selectBar.SelectByKind(spellKind);
  g_spotIcons.HideAll();
  if (!buttonsWindow) return;
  buttonsWindow->Deactivate();
  buttonsShown = 0;
}

void CBattle::RestoreInterface() {
  g_selectBar.RefreshAvailability();
  g_spotIcons.ShowAll();
  if (!buttonsWindow) return;
  buttonsWindow->active = buttonsWindow->index >= 0 ? 1 : 0;
  buttonsShown = 1;
}
